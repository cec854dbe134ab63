#pragma once

#include <QString>
#include <functional>

#include "dialogs.h"
#include "main_status_bar.h"
#include "run/shoot_observer.h"
#include "run_controls.h"

namespace Ui {
class TfrmMain;
}
class CameraWaitWindow;
class QAction;
class QWidget;

// The shoot as the main window shows it: its controls, progress, phase,
// status bar and photo list follow the run, and its messages and questions
// go through the window's dialogs.
class ShootDisplay : public ShootObserver {
public:
    ShootDisplay(QWidget* window, Ui::TfrmMain& ui, Dialogs& dialogs, MainStatusBar& bar,
                 QAction* resume);

    void ShowMessage(const QString& title, const QString& text, Icon icon) override;
    bool AskYesNo(const QString& title, const QString& text) override;
    std::optional<QString> AskText(const QString& caption, const QString& prompt,
                                   const QString& initial, int maxLength) override;

    void StartHeld() override;
    void RunBegins() override;
    void RunEnds(bool mayTurnBack) override;
    void PausedChanged(bool paused) override;
    void TurnBackOpen(bool open) override;
    void ResumeOpen(bool open) override;
    void CopyOpen(bool open) override;
    void ProcessRestored(int photos) override;

    void PhaseChanged(const std::string& letter) override;
    void ProgressAdvanced() override;
    void DeviceStateChanged(int state) override;
    void TimeLeftChanged(const QString& text) override { bar_.ShowTimeLeft(text); }

    void PhotosCleared() override;
    void PhotoAdded(const QString& name) override;
    void PhotoStatus(const QString& text) override { bar_.ShowPhotos(text); }
    void WaitingForCamera(int whole, int expected, bool offerCopy) override;
    void CameraWaitEnded() override;
    void CameraStateChanged(const QString& text) override;

    // Who ends the wait for the camera: true with the copy.
    void OnEndCameraWait(std::function<void(bool copy)> end) { endCameraWait_ = std::move(end); }

    // "Make Process" made a process of `photos` photos: it is shown from
    // its start, and may be edited and started.
    void ProcessMade(int photos);

private:
    // The gauge, its step text and the pie, from the gauge's values.
    void ShowProgress();
    // The gauge and the pie of a process of `photos` photos, none taken.
    void ShowFromStart(int photos);
    void ResetProgress();

    QWidget* window_;
    Ui::TfrmMain& ui_;
    Dialogs& dialogs_;
    MainStatusBar& bar_;
    RunControls controls_;
    std::function<void(bool)> endCameraWait_;
    // Made when first needed.
    CameraWaitWindow* cameraWait_ = nullptr;
};
