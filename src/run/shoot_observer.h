#pragma once

#include <QString>
#include <optional>
#include <string>

// What a shoot tells whoever shows it, and the answers it asks for. Each
// call comes at the moment the run changes, so a message is up only once
// the controls already show the change.
class ShootObserver {
public:
    enum class Icon { None, Information, Warning, Error };

    virtual ~ShootObserver() = default;

    // A box with an OK button.
    virtual void ShowMessage(const QString& title, const QString& text, Icon icon) = 0;
    // A Yes/No question; true on Yes.
    virtual bool AskYesNo(const QString& title, const QString& text) = 0;
    // A one-line text; nothing on Cancel.
    virtual std::optional<QString> AskText(const QString& caption, const QString& prompt,
                                           const QString& initial, int maxLength) = 0;

    // Start was pressed while other work is in hand: the run begins once it
    // is done.
    virtual void StartHeld() = 0;
    virtual void RunBegins() = 0;
    // The run ended; the way back to the start is open when it turned.
    virtual void RunEnds(bool mayTurnBack) = 0;
    virtual void PausedChanged(bool paused) = 0;
    virtual void TurnBackOpen(bool open) = 0;
    virtual void ResumeOpen(bool open) = 0;
    virtual void CopyOpen(bool open) = 0;
    // A run resumed from its journal: its commands are back, `photos` of them.
    virtual void ProcessRestored(int photos) = 0;

    // The command under way ("P", "L", ...; empty for none).
    virtual void PhaseChanged(const std::string& letter) = 0;
    virtual void ProgressAdvanced() = 0;
    virtual void DeviceStateChanged(int state) = 0;
    virtual void TimeLeftChanged(const QString& text) = 0;

    // The new photos of the camera folder.
    virtual void PhotosCleared() = 0;
    virtual void PhotoAdded(const QString& name) = 0;
    virtual void PhotoStatus(const QString& text) = 0;

    // The end of a run waits for the camera: `whole` of `expected` photos are
    // there. The user may end the wait (see Shoot::EndCameraWait); the copy
    // is offered only when the run copies by itself.
    virtual void WaitingForCamera(int whole, int expected, bool offerCopy) = 0;
    virtual void CameraWaitEnded() = 0;

    // The camera the program downloads from: "Camera: <model>", "Camera:
    // not found"; empty when photos come from the camera folder only.
    virtual void CameraStateChanged(const QString& text) = 0;
};
