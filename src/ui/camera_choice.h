#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class CameraTether;
namespace Ui {
class TfrmParametri;
}

// The Camera page of the Parameters dialog: where photos come from, the
// cameras found (looked for again every few seconds while the page is
// open), the port, and whether the shutter is fired over the connection.
class CameraChoice : public QObject {
    Q_OBJECT

public:
    CameraChoice(Ui::TfrmParametri& ui, QObject* parent);

    // Looks for cameras through `tether` while the dialog is open.
    void UseTether(CameraTether& tether);
    // Shows the settings' choice when the dialog opens; stops looking when
    // it closes.
    void Show(const QString& port, const QString& model, bool trigger);
    void StopLooking() { rescan_.stop(); }

    // The choice: an empty port for the camera folder only.
    QString Port() const;
    QString Model() const;
    bool Trigger() const;

private:
    void ShowFound(const QStringList& labels, const QStringList& models, const QStringList& ports);
    void FollowChoice();

    Ui::TfrmParametri& ui_;
    CameraTether* tether_ = nullptr;
    QTimer rescan_;
    QString model_;  // of the port shown, when known
    QStringList foundModels_;
    QStringList foundPorts_;
};
