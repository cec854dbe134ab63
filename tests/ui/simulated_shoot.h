#pragma once

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "simulated_turntable.h"
#include "test_app_dir.h"

// The program against the simulated turntable: COM3 points at the
// simulator, the camera and destination folders are folders of the test's
// own, and every command the simulator receives is logged.
class SimulatedShoot {
public:
    explicit SimulatedShoot(const std::vector<std::string>& simOptions = {});
    ~SimulatedShoot();

    // Replaces the simulator, e.g. after it has hung up.
    void StartSimulator(const std::vector<std::string>& simOptions);

    TfrmMain& main() { return program.main(); }
    ScriptedDialogs& dialogs() { return *program.dialogs; }

    // The commands received so far, and when.
    QStringList Commands() const;
    QList<QDateTime> Times() const;
    // Where the turntable stood after each command, in degrees.
    QStringList Angles() const;
    // The commands that came before the board had answered the one before.
    QStringList SentEarly() const;

    // Sets the number of photos and makes the process without starting it.
    void Make(const QString& photos);
    void Start();
    // Waits until a message box with this title and text has been shown.
    bool WaitForMessage(const QString& titleAndText, int timeoutMs = 30000);

    TestProgram program;
    QTemporaryDir cameraDir;
    QTemporaryDir destDir;
    QString logPath;
    std::unique_ptr<SimulatedTurntable> sim;

private:
    QList<QStringList> LogLines() const;
};

// The line that ends a run on a board without a camera: none of its
// `photos` came.
inline QString NoPhotosCame(int photos) {
    return QString("\r\nOnly 0 of %1 photos came from the camera !").arg(photos);
}

// Focus and delay 0, so that a process is photos and rotations only.
void QuickPhotos(TfrmMain& main);

// True while the simulator turns the first rotation of a process of quick
// photos (X. T D F P L) and the run waits for it.
std::function<bool()> InFirstRotationsWait(SimulatedShoot& s);

// Clicks `button` once that wait has begun and sets `*clicked`.
class QAbstractButton;
void ClickInFirstRotationsWait(SimulatedShoot& s, QAbstractButton* button, bool* clicked);

// The text of the small window of the end of a run's wait for the camera
// while it is up, and its "Copy now".
QString CameraWaitText(SimulatedShoot& s);
class QPushButton;
QPushButton* CopyNow(SimulatedShoot& s);

// Runs `action` once, from inside whichever event loop is running (also the
// one of a command's wait), as soon as `ready` holds.
void WhenReady(QObject* owner, std::function<bool()> ready, std::function<void()> action);
