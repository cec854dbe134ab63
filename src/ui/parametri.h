#pragma once

#include <QDialog>
#include <memory>

#include "dialogs.h"
#include "port_discovery.h"

namespace Ui {
class TfrmParametri;
}
class PortList;
class CameraChoice;
class CameraTether;

// The Parameters dialog: the machine settings (COM port, motor steps, gear
// ratio). Made once and reused; it keeps its controls between openings.
class TfrmParametri : public QDialog {
    Q_OBJECT

public:
    TfrmParametri(Dialogs& dialogs, QWidget* parent = nullptr);
    ~TfrmParametri() override;

    Ui::TfrmParametri* ui;

    // The port list: filled when the dialog opens, showing `chosen` (empty
    // for the COM number); what is chosen when it closes.
    void ShowPorts(const QString& chosen);
    QString ChosenPort() const;
    void SetPortDiscovery(std::unique_ptr<PortDiscovery> discovery);
    // The Camera page; none where the program is built without cameras.
    CameraChoice* Camera() const { return cameraChoice_; }
    void UseTether(CameraTether& tether);

public slots:
    void btnOkClick();

private:
    void FormCreate();

    Dialogs& dialogs_;
    PortList* portList_;
    CameraChoice* cameraChoice_ = nullptr;
};
