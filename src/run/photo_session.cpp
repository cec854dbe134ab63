#include "photo_session.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "core/path_checks.h"
#include "core/photos/photo_arrival.h"

using namespace zentrivo;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

PhotoSession::PhotoSession(const TOpcije& options, const CommandList& commands,
                           ShootObserver& observer, ShootLog& log, std::function<std::tm()> clock,
                           QObject* parent)
    : QObject(parent),
      options_(options),
      commands_(commands),
      observer_(observer),
      log_(log),
      photos_(options, observer, log),
      copier_(options, photos_, observer, std::move(clock)) {
    FollowTether();
}

void PhotoSession::FollowTether() {
    connect(&tether_, &CameraTether::StateChanged, this, [this](const QString& text) {
        log_.Write("camera: " + text.toStdString());
        observer_.CameraStateChanged(text);
    });
    connect(&tether_, &CameraTether::Downloaded, this, [this](const QString& name) {
        log_.Write("downloaded from the camera: " + name.toStdString());
        photos_.Downloaded(name.toStdString());
    });
    connect(&tether_, &CameraTether::DownloadFailed, this,
            [this](const QString& name, const QString& why) {
                log_.Write("not downloaded from the camera: " + name.toStdString() + ": " +
                           why.toStdString());
                photos_.DownloadFailed(name.toStdString());
                observer_.ShowMessage("Error",
                                      "The photo " + name +
                                          " could not be downloaded from the camera, also when "
                                          "tried again:\r\n" +
                                          why,
                                      ShootObserver::Icon::Error);
            });
    connect(&tether_, &CameraTether::NotConnected, this, [this](const QString& why) {
        why_ = why;
        log_.Write("camera not connected: " + why.toStdString());
        if (std::exchange(tellCameraProblem_, false)) {
            observer_.ShowMessage("Warning",
                                  "The camera " + Q(options_.CameraPort) +
                                      " could not be connected:\r\n" + why +
                                      "\r\n\r\nThe program keeps trying while it is chosen.",
                                  ShootObserver::Icon::Warning);
        }
    });
    connect(&tether_, &CameraTether::Lost, this, [this](const QString& model, const QString& why) {
        log_.Write("the camera went away: " + why.toStdString());
        lostModel_ = model;
        // The check takes its own photo again; without it, the photos lost
        // are taken again once the camera is back.
        lostInRun_ = cameraInRun_ && !check_.On();
        emit CameraLost(
            "The camera " + model + " is no longer connected (" + why +
            ").\r\n\r\nPlease check that it is switched on and awake, its cable or network, and "
            "that no other program has taken it. The photos downloaded so far are kept.\r\n"
            "Then press Continue.");
    });
    connect(&tether_, &CameraTether::TriggerFailed, this, [this](const QString& why) {
        log_.Write("the camera did not fire: " + why.toStdString());
    });
}

void PhotoSession::UseCamera(bool chosenNow) {
    tellCameraProblem_ = chosenNow;
    why_.clear();
    tether_.SetFolder(Q(options_.FotosDir));
    tether_.Use(Q(options_.CameraPort), Q(options_.CameraModel));
}

void PhotoSession::WatchCameraFolder() {
    photos_.Begin();
    tether_.SetFolder(Q(options_.FotosDir));
}

QString PhotoSession::CameraAbsentText() const {
    // A Start right after the camera was chosen may come before its first
    // try has ended: it is asked about all the same.
    return "The camera " + Q(options_.CameraPort) + " does not answer" +
           (why_.isEmpty() ? QString(".") : ":\r\n" + why_) +
           "\r\n\r\nPlease check that it is switched on and awake, its cable or network (a "
           "camera on the network is given as \"ptpip:\" and its address), and that no other "
           "program has taken it.\r\n\r\nDo you want to start with the photos of the camera "
           "folder alone ?";
}

QString PhotoSession::CameraGoneText() const {
    return "The camera " + lostModel_ +
           " is still not connected: photos taken now would be lost.\r\n\r\nPlease check that "
           "it is switched on and awake, its cable or network, then press Continue again.";
}

void PhotoSession::BeginRun(std::function<bool()> goesOn) {
    cameraInRun_ = tether_.Chosen() && tether_.Connected();
    lostInRun_ = false;
    WatchCameraFolder();
    photos_.StartWatching(std::move(goesOn));
    check_.Begin(options_.FotosCheck);
    photos_.ClearArrivals();
    photos_.KeepLedger(options_.FotosCheck, PhotoCommandCount(commands_.Commands()));
}

void PhotoSession::Resume(const RunJournal& journal) {
    photos_.Resume(journal);
    check_.SetRetaken(journal.Retaken);
}

void PhotoSession::Sending(const std::string& command, int index) {
    if (command.rfind('P', 0) != 0) {
        return;
    }
    // What has come by now was taken for an earlier position.
    if (!check_.On()) {
        photos_.Refresh();
        photos_.Exposed(Position(index));
    } else if (check_.BeginsPhoto()) {
        photos_.LookForArrivals();
        photos_.Exposed(Position(index));
        check_.NewPhoto(index, photos_.NewCount());
    }
}

void PhotoSession::Taken() {
    check_.Taken();
    FireCamera();
}

void PhotoSession::FireCamera() {
    if (options_.CameraTrigger && tether_.Chosen()) {
        tether_.Trigger();
    }
}

int PhotoSession::Position(int commandIndex) const {
    return PhotoNumberAt(commands_.Commands(), static_cast<std::size_t>(commandIndex));
}

std::string PhotoSession::PhotoText() const {
    return std::to_string(Position(check_.PhotoIndex())) + " of " +
           std::to_string(PhotoCommandCount(commands_.Commands()));
}

PhotoSession::Answer PhotoSession::TakeAgainFrom(int index, int at) {
    Answer answer;
    // The check holds every turn it could not undo, so a plan is there
    // for it; without the check, the run goes on and the end names the
    // photos missing.
    const std::optional<RetakePlan> plan = PlanRetake(
        commands_.Commands(), static_cast<std::size_t>(index), static_cast<std::size_t>(at));
    if (plan) {
        answer.kind = Answer::Kind::TakeAgain;
        answer.index = index;
        answer.retake = *plan;
    }
    return answer;
}

PhotoSession::Answer PhotoSession::AfterCameraBack(int at) {
    lostInRun_ = false;
    photos_.Refresh();
    const int exposed = at > 0 ? Position(at - 1) : 0;
    const PhotoLedger* ledger = photos_.Ledger();
    const int first = ledger != nullptr ? static_cast<int>(ledger->Frames().size()) + 1 : 0;
    if (ledger == nullptr || first > exposed) {
        return {};
    }
    Answer answer =
        TakeAgainFrom(static_cast<int>(PhotoCommandIndex(commands_.Commands(), first)), at);
    if (answer.kind == Answer::Kind::TakeAgain) {
        log_.Write("the camera is back: photos " + std::to_string(first) + " to " +
                   std::to_string(exposed) + " are taken again");
        photos_.Rewind(first);
    }
    return answer;
}

PhotoSession::Answer PhotoSession::BeforeMove(const std::string& command, bool complete, int at) {
    Answer answer;
    if (lostInRun_ && tether_.Connected()) {
        answer = AfterCameraBack(at);
        if (answer.kind != Answer::Kind::GoOn) {
            return answer;
        }
    }
    if (!check_.Holds(command, complete)) {
        return answer;
    }
    photos_.LookForArrivals();
    switch (check_.Judge(photos_.Served(Position(check_.PhotoIndex())), photos_.NewCount(),
                         PhotoCheck::Clock::now())) {
        case PhotoCheck::Verdict::Arrived:
            return answer;
        case PhotoCheck::Verdict::TakeAgain:
            // Back to the photo command: the photo and its pause once more.
            log_.Write("photo " + PhotoText() + " has not arrived: taken again");
            return TakeAgainFrom(check_.PhotoIndex(), at);
        case PhotoCheck::Verdict::AskUser:
            // Taken three times and still missing: the user looks at the camera.
            log_.Write("photo " + PhotoText() + " has not arrived, also when taken again");
            answer.kind = Answer::Kind::Pause;
            answer.text = Q(PhotoMissingText(Position(check_.PhotoIndex()),
                                             PhotoCommandCount(commands_.Commands())));
            return answer;
        case PhotoCheck::Verdict::LookAgain:
            break;
    }
    answer.kind = Answer::Kind::Wait;
    answer.waitMs = std::max<std::int64_t>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  check_.Deadline() - PhotoCheck::Clock::now())
                                                  .count());
    return answer;
}

QString PhotoSession::WaitingText() const {
    if (!check_.Waiting()) {
        return {};
    }
    return Q("Waiting for photo " + PhotoText() + " ...");
}

std::vector<std::string> PhotoSession::SetAside() const {
    return photos_.Ledger() ? photos_.Ledger()->SetAside() : std::vector<std::string>{};
}

void PhotoSession::EndBegins() {
    ending_ = std::make_unique<CameraPhotos::Work>(photos_);
}

void PhotoSession::Finish(int taken, bool copy, Told done) {
    auto copyAtEnd = [this, taken, copy, done = std::move(done)](bool copyNow) {
        if (copyNow && photos_.NewCount() > 0) {
            copier_.Copy([this, taken, done](const PhotoCopier::Outcome& outcome) {
                Copied(&outcome, taken, false, done);
            });
        } else {
            // The user stopped the wait without the copy the run would make.
            Copied(nullptr, taken, copy && photos_.NewCount() > 0, done);
        }
    };
    if (check_.On()) {
        // Every photo has been accounted for already.
        photos_.Refresh();
        copyAtEnd(copy);
        return;
    }
    photos_.AwaitLast(static_cast<std::size_t>(std::max(taken, 0)), copy,
                      // Without the copy when the user stopped waiting: they copy later.
                      [copy, copyAtEnd](bool goOn) { copyAtEnd(copy && goOn); });
}

void PhotoSession::Copied(const PhotoCopier::Outcome* copied, int taken, bool copySkipped,
                          const Told& done) {
    QString lines;
    bool flawed = copySkipped;
    if (copied != nullptr && copied->whole()) {
        lines += "\r\nPhotos successfully copied !";
    } else if (copied != nullptr) {
        lines += "\r\nThere was an error during copying of photos !" + copied->Problems();
        flawed = true;
    }
    const PhotoLedger* ledger = photos_.Ledger();
    if (check_.On()) {
        lines += "\r\n" + CheckSummary();
        flawed = flawed || ledger->Received() < PhotoCommandCount(commands_.Commands()) ||
                 !ledger->SetAside().empty();
    } else if (IsExistingFolder(options_.FotosDir)) {
        // A camera that stored nothing is told as plainly as one that
        // lost a photo.
        const std::string missing =
            MissingPhotosLine(static_cast<std::size_t>(std::max(taken, 0)), photos_.NewCount());
        if (!missing.empty()) {
            lines += "\r\n" + Q(missing);
        }
        // A camera that stored nothing is told by the line above alone.
        if (ledger != nullptr && photos_.NewCount() > 0) {
            photos_.Refresh();
            const PhotoLedger::FailedPhotos failed = ledger->FailedDownloads();
            std::vector<std::string> named =
                MissingFrameLines(ledger->Frames(), taken, PhotoCommandCount(commands_.Commands()),
                                  failed.byPosition);
            // Not tied to one position the run took for sure, it is named
            // apart rather than on a position it may not be.
            std::vector<std::string> apart = failed.unplaced;
            for (std::size_t i = static_cast<std::size_t>(std::max(taken, 0));
                 i < failed.byPosition.size(); ++i) {
                if (!failed.byPosition[i].empty()) {
                    apart.push_back(failed.byPosition[i]);
                }
            }
            for (const std::string& name : apart) {
                named.push_back(name + " could not be downloaded from the camera.");
            }
            for (const std::string& line : named) {
                lines += "\r\n" + Q(line);
            }
            flawed = flawed || !named.empty() || !ledger->SetAside().empty();
        }
        flawed = flawed || !missing.empty();
    }
    if (copySkipped) {
        lines += "\r\nThe photos were not copied: \"Copy photos\" copies them.";
    }
    ending_.reset();
    done(lines, flawed);
}

QString PhotoSession::CheckSummary() {
    photos_.LookForArrivals();
    const PhotoLedger& ledger = *photos_.Ledger();
    return Q(PhotoCheckLine(PhotoCommandCount(commands_.Commands()),
                            static_cast<std::size_t>(ledger.Received()), check_.Retaken(),
                            ledger.SetAside().size()));
}
