#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "camera_photos.h"
#include "camera_tether.h"
#include "command_list.h"
#include "core/journal/run_journal.h"
#include "core/process/retake_plan.h"
#include "core/settings/settings.h"
#include "photo_check.h"
#include "photo_copier.h"
#include "shoot_log.h"
#include "shoot_observer.h"

// The photos of a run, from wherever they come to the copy: the camera
// folder and the camera the program downloads from itself, the check that
// each photo arrives, the wait for the last ones and the copy. The shoot asks
// it one question before each move and tells it when a photo is taken.
class PhotoSession : public QObject {
    Q_OBJECT

public:
    PhotoSession(const zentrivo::TOpcije& options, const CommandList& commands,
                 ShootObserver& observer, ShootLog& log, std::function<std::tm()> clock,
                 QObject* parent = nullptr);

    // Connects to the camera of the settings, or lets one go; `chosenNow`
    // when the user has just chosen it, who is then told why it can not be
    // connected.
    void UseCamera(bool chosenNow);
    // The camera folder of the settings is watched from what it holds now,
    // and downloads go there.
    void WatchCameraFolder();
    // Where cameras are looked for, for the camera choice.
    CameraTether& Camera() { return tether_; }
    // The chosen camera is not connected: not yet, or it did not answer.
    bool CameraAbsent() const {
        return CameraTether::Available() && tether_.Chosen() && !tether_.Connected();
    }
    QString CameraAbsentText() const;
    // The run began with the chosen camera and it is gone: photos taken now
    // would be lost.
    bool CameraGoneFromRun() const { return cameraInRun_ && !tether_.Connected(); }
    QString CameraGoneText() const;

    // A run begins: the folder watched from now, looked at while `goesOn`.
    void BeginRun(std::function<bool()> goesOn);
    // A resumed run: the photos it had and the retakes it counted.
    void Resume(const zentrivo::RunJournal& journal);
    void EndRun() { photos_.StopWatching(); }

    // Before `command` at `index` is sent.
    void Sending(const std::string& command, int index);
    // The controller accepted a photo command.
    void Taken();
    // The controller has fired and waited: a camera fired over its own
    // connection fires now.
    void FireCamera();

    // What the run does before its next move.
    struct Answer {
        enum class Kind {
            GoOn,       // the move may go out
            Wait,       // look again shortly; the photo may take `waitMs` more
            TakeAgain,  // go back to the photo command at `index`, as `retake` says
            Pause,      // pause and show `text`
        };
        Kind kind = Kind::GoOn;
        std::int64_t waitMs = 0;
        int index = 0;
        zentrivo::RetakePlan retake;
        QString text;
    };
    // Before `command` at `at`, the run's place (or the end of the run, when
    // `complete`): whether the photo taken last has been accounted for, and
    // after a camera came back, whether photos went missing while it was
    // gone.
    Answer BeforeMove(const std::string& command, bool complete, int at);
    // "Waiting for photo 2 of 8 ..." while a photo is waited for; else empty.
    QString WaitingText() const;

    // The end of a run begins: from the last look at the camera folder to the
    // end of the copy, a Start waits and a second copy is refused.
    void EndBegins();
    // The end of a run once every command is done: the last photos awaited,
    // copied when `copy`, then `done` gets the lines that tell how it went
    // (each begins with a line break; empty when there is nothing to say),
    // and whether a photo is missing, cut short, set aside or not copied.
    using Told = std::function<void(const QString& lines, bool flawed)>;
    void Finish(int taken, bool copy, Told done);
    // Ends the end of a run's wait for the camera, with the copy or without.
    void EndWait(bool copy) { photos_.EndWait(copy); }

    // "Copy photos".
    void CopyOnRequest() { copier_.CopyOnRequest(); }
    const QString& LastCopyFolder() const { return copier_.LastFolder(); }
    // The camera folder's timer: new photos listed, while a run goes on.
    void RefreshPhotos() { photos_.WatchTick(); }
    // Photos are collected or copied: a new run, or the program's end, waits.
    bool Busy() const { return photos_.Busy(); }
    WorkGate& Gate() { return photos_.Gate(); }

    // For the journal.
    const std::vector<std::string>& Names() const { return photos_.Names(); }
    const std::vector<std::string>& KnownNames() const { return photos_.KnownNames(); }
    std::vector<std::string> SetAside() const;
    int Retaken() const { return check_.Retaken(); }

    // The camera folder itself, for a look from outside a run.
    CameraPhotos& Folder() { return photos_; }

signals:
    // The chosen camera went away: a run going on must wait for it.
    void CameraLost(const QString& message);

private:
    void FollowTether();
    // The photo a command index belongs to, counted from 1.
    int Position(int commandIndex) const;
    // Back to the photo command at `index` from `at`.
    Answer TakeAgainFrom(int index, int at);
    // The camera the run lost is back: the photos of the positions since
    // the last one that came are taken again.
    Answer AfterCameraBack(int at);
    std::string PhotoText() const;  // "2 of 8"
    void Copied(const PhotoCopier::Outcome* copied, int taken, bool copySkipped, const Told& done);
    QString CheckSummary();

    const zentrivo::TOpcije& options_;
    const CommandList& commands_;
    ShootObserver& observer_;
    ShootLog& log_;
    CameraPhotos photos_;
    PhotoCopier copier_;
    CameraTether tether_;
    PhotoCheck check_;
    bool tellCameraProblem_ = false;  // the user has just chosen the camera
    QString why_;                     // why its last try to connect failed
    bool cameraInRun_ = false;        // the run began with it connected
    QString lostModel_;               // the camera that went away last
    bool lostInRun_ = false;          // a run without the check lost it
    // The photo work of a run's end, from its last look to its message.
    std::unique_ptr<CameraPhotos::Work> ending_;
};
