#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/settings/settings.h"
#include "run/shoot.h"
#include "run/shoot_observer.h"
#include "simulated_turntable.h"

// Whoever shows the shoot: it keeps what it was told and answers what it is
// asked from the answers given to it.
class RecordingObserver : public ShootObserver {
public:
    void ShowMessage(const QString& title, const QString& text, Icon) override {
        messages << title + "|" + text;
    }
    bool AskYesNo(const QString& title, const QString& text) override;
    std::optional<QString> AskText(const QString&, const QString&, const QString& initial,
                                   int) override {
        return initial;
    }

    void StartHeld() override {}
    void RunBegins() override { running = true; }
    void RunEnds(bool mayTurnBack) override {
        running = false;
        turnBackOpen = mayTurnBack;
    }
    void PausedChanged(bool isPaused) override { paused = isPaused; }
    void TurnBackOpen(bool open) override { turnBackOpen = open; }
    void ResumeOpen(bool open) override { resumeOpen = open; }
    void CopyOpen(bool) override {}
    void ProcessRestored(int) override { progress = 0; }
    void PhaseChanged(const std::string&) override {}
    void ProgressAdvanced() override { ++progress; }
    void DeviceStateChanged(int state) override { deviceState = state; }
    void TimeLeftChanged(const QString& text) override { timeLeft = text; }
    void PhotosCleared() override { photos.clear(); }
    void PhotoAdded(const QString& name) override { photos << name; }
    void PhotoStatus(const QString& text) override { photoStatus = text; }
    void WaitingForCamera(int whole, int expected, bool) override {
        cameraWait = QString("%1 of %2").arg(whole).arg(expected);
    }
    void CameraWaitEnded() override { cameraWait.clear(); }
    void CameraStateChanged(const QString& text) override { camera = text; }

    QStringList messages;
    QStringList questions;
    std::deque<bool> answers;
    bool running = false;
    bool paused = false;
    bool turnBackOpen = false;
    bool resumeOpen = false;
    int progress = 0;
    int deviceState = 0;
    QString timeLeft;
    QStringList photos;
    QString photoStatus;
    QString cameraWait;
    QString camera;
};

// Makes the commands of a shoot of `photos` photos with focus and delay 0,
// as Make Process does, and gives them to `shoot`.
void MakeQuickProcess(const zentrivo::TOpcije& options, int photos, Shoot& shoot);

// A shoot against the simulated turntable, in folders of its own: the
// settings folder, the camera's and the copies'.
class ShootRig {
public:
    explicit ShootRig(const std::vector<std::string>& simOptions);

    // Replaces the simulator, e.g. after it has hung up.
    void StartSimulator(const std::vector<std::string>& simOptions);
    // Makes the commands of a shoot of `photos` photos, as Make Process does.
    void Make(int photos);
    // The commands the simulator received, in order, over every simulator.
    QStringList Received() const;
    // When each of them came, in milliseconds of the day; to the
    // microsecond when the simulator was started with "--log-microseconds".
    QList<double> ReceivedAtMs() const;
    // Waits until a message starting with `start` has been shown.
    bool WaitForMessage(const QString& start, int timeoutMs = 60000);
    QStringList CopiedPhotos() const;
    // Each copy's name with the shot and the table's place the simulated
    // camera stamped in it: "2.jpg shot=3 place=72.00".
    QStringList CopiedStamps() const;
    SimulatedTurntable& Simulator() { return *sim_; }
    // The lines of the run logs, oldest log first.
    QStringList RunLogLines() const;

    QTemporaryDir settings;
    QTemporaryDir camera;
    QTemporaryDir copies;
    zentrivo::TOpcije options;
    RecordingObserver observer;
    Shoot shoot;

private:
    QList<QList<QByteArray>> CommandLines() const;

    std::unique_ptr<SimulatedTurntable> sim_;
    QStringList logs_;
};
