#pragma once

#include <QDialog>
#include <memory>
#include <optional>

#include "core/settings/settings.h"
#include "dialogs.h"
#include "port_discovery.h"

namespace Ui {
class TfrmParametri;
}
class PortList;
class CameraChoice;
class CameraTether;

// The Parameters dialog: the machine settings (COM port, motor steps, gear
// ratio, pace, camera). Made once and reused; each opening shows the
// settings it is given.
class TfrmParametri : public QDialog {
    Q_OBJECT

public:
    TfrmParametri(Dialogs& dialogs, QWidget* parent = nullptr);
    ~TfrmParametri() override;

    Ui::TfrmParametri* ui;

    // Shows `current` and waits for the user: on Ok, `current` with the
    // machine settings as chosen; nothing when the dialog was closed.
    std::optional<zentrivo::TOpcije> Choose(const zentrivo::TOpcije& current);

    void SetPortDiscovery(std::unique_ptr<PortDiscovery> discovery);
    void UseTether(CameraTether& tether);

public slots:
    void btnOkClick();

private:
    void FormCreate();

    void ShowSettings(const zentrivo::TOpcije& current);
    zentrivo::TOpcije ChosenSettings(const zentrivo::TOpcije& current) const;

    Dialogs& dialogs_;
    // The port list: filled when the dialog opens, followed while it is up.
    PortList* portList_;
    // The Camera page; none where the program is built without cameras.
    CameraChoice* cameraChoice_ = nullptr;
};
