#include "shoot.h"

#include <algorithm>
#include <utility>

#include "core/clock_text.h"
#include "core/serial/device.h"
#include "handler_errors.h"

using namespace zentrivo;

Shoot::Shoot(const TOpcije& options, const std::string& settingsFolder, ShootObserver& observer,
             QObject* parent)
    : QObject(parent),
      options_(options),
      settingsFolder_(settingsFolder),
      observer_(observer),
      clock_(&LocalNow),
      device_(options, observer, log_),
      photos_(options, commands_, observer, log_, [this] { return Now(); }),
      journal_(settingsFolder, [this] { return Now(); }),
      ticker_(options, [this] { Tick(); }) {
    device_.OnGone([this] { DeviceGone(); });
    connect(&photos_, &PhotoSession::CameraLost, this, &Shoot::CameraLost);
    RefreshResume();
}

Shoot::~Shoot() {
    ticker_.Stop();
}

std::tm Shoot::Now() const {
    return clock_();
}

void Shoot::ProcessMade(std::int32_t stepsPerPhoto, const std::string& directionLetter,
                        std::int32_t periodMs) {
    process_.StepsPerPhoto = stepsPerPhoto;
    process_.DirectionLetter = directionLetter;
    madePeriodMs_ = periodMs;
}

void Shoot::ForgetInterruptedRun() {
    EndJournal();
}

void Shoot::Start() {
    // A run with the chosen camera silent would lose every photo it takes.
    if (!Running() && photos_.CameraAbsent() &&
        !observer_.AskYesNo("Start", photos_.CameraAbsentText())) {
        resume_.Drop();
        return;
    }
    // A press while a reply is awaited, or while the photos of the last run
    // are collected and copied, starts the run once that is done: the new
    // run's snapshot must not empty the list under them.
    if (device_.Gate().Busy() || photos_.Busy()) {
        observer_.StartHeld();
    }
    WorkGate::WhenFree({&device_.Gate(), &photos_.Gate()}, [this] { Begin(); });
}

void Shoot::Begin() {
    observer_.RunBegins();
    // A Stop pressed from here until the test is judged ends this Start.
    const std::uint64_t stopsBefore = stops_;
    if (!device_.Connect()) {
        Stop();
        return;
    }
    log_.Begin(Now(), device_.PortName(), device_.PortDevice(), options_.FotosCheck,
               options_.FotosDir);
    device_.Exchange(
        kTestCommand, kTestPollLimit, true,
        [this, stopsBefore](const ExchangeResult& test) { Tested(test, stopsBefore); });
}

bool Shoot::ReportFailedTest(const ExchangeResult& test) {
    switch (test.Outcome) {
        case ExchangeOutcome::SendFailed:
            observer_.ShowMessage("Error", "Error during sending a test command to COM port.",
                                  ShootObserver::Icon::None);
            device_.Disconnect();
            return true;
        case ExchangeOutcome::DeviceLost:
            device_.ReportLost(true);
            return true;
        case ExchangeOutcome::Accepted:
            return false;
        default:
            observer_.ShowMessage("Error", "Device did not respond correctly. Please try again !",
                                  ShootObserver::Icon::Error);
            return true;
    }
}

void Shoot::Tested(const ExchangeResult& test, std::uint64_t stopsBefore) {
    // Stopped during the test: the Stop has reset the controls, and no run
    // begins; a port that failed is still told of.
    const bool portFailed =
        test.Outcome == ExchangeOutcome::SendFailed || test.Outcome == ExchangeOutcome::DeviceLost;
    if (stops_ != stopsBefore && !portFailed) {
        return;
    }
    if (ReportFailedTest(test)) {
        Stop();
        return;
    }
    ticker_.PauseFrom(test);
    photos_.BeginRun([this] { return process_.ProcessState != kProcessNotStarted; });
    device_.MarkConnected();

    process_.Remaining = commands_.CommandCount();
    process_.CurrentIndex = 0;
    process_.RotationsDone = 0;
    rotationsShown_ = 0;
    wayBack_.Plan(ReturnPlan{process_.DirectionLetter, process_.StepsPerPhoto, madePeriodMs_});
    photosTaken_ = 0;
    pace_.BeginRun();
    const std::optional<RunJournal> resume = resume_.Take();
    if (!resume) {
        journal_.Begin(commands_.Commands(), wayBack_.Planned(), photos_.KnownNames());
        RefreshResume();
    } else {
        ApplyResume(*resume);
    }
    // Paused during the test: the run begins paused, as the user asked.
    if (process_.ProcessState != kProcessPaused) {
        process_.ProcessState = kProcessStarted;
    }
    ticker_.Schedule();
}

void Shoot::PauseOrContinue() {
    if (process_.ProcessState == kProcessPaused) {
        if (photos_.CameraGoneFromRun()) {
            observer_.ShowMessage("Warning", photos_.CameraGoneText(),
                                  ShootObserver::Icon::Warning);
            return;
        }
        observer_.PausedChanged(false);
        process_.ProcessState = kProcessStarted;
        log_.Write("continued");
        // A tick still waiting for its reply goes on by itself; a second
        // one must not start beside it.
        WorkGate::WhenFree({&device_.Gate()}, [this] { ticker_.Again(); });
    } else {
        observer_.PausedChanged(true);
        process_.ProcessState = kProcessPaused;
        log_.Write("paused");
    }
}

void Shoot::Stop() {
    ++stops_;
    process_.ProcessState = kProcessNotStarted;
    photos_.EndRun();
    observer_.RunEnds(process_.RotationsDone > 0);
    resume_.Drop();
    if (!completing_) {
        log_.End("stopped");
    }
    journal_.Stop();
    RefreshResume();
}

void Shoot::Tick() {
    ticker_.Arrived();
    if (process_.ProcessState != kProcessStarted) {
        return;
    }
    // A resumed run sets the controller up again before its next command.
    const bool setup = resume_.SettingUp();
    const bool complete =
        !setup && (process_.Remaining <= 0 || process_.CurrentIndex >= commands_.CommandCount());
    // The end of the run waits for a copy in hand to finish, so that its own
    // copy never runs inside another.
    std::vector<WorkGate*> needed{&device_.Gate()};
    if (complete) {
        needed.push_back(&photos_.Gate());
    }
    if (device_.Gate().Busy() || (complete && photos_.Busy())) {
        WorkGate::WhenFree(needed, [this] { ticker_.Again(); });
        return;
    }
    const std::string command = setup      ? resume_.Next()
                                : complete ? std::string()
                                           : commands_.CommandAt(process_.CurrentIndex);
    if (!setup && !PhotoAccountedFor(command, complete)) {
        return;
    }
    if (complete) {
        Complete();
        return;
    }
    Play(command);
}

void Shoot::Play(const std::string& command) {
    const bool setup = resume_.SettingUp();
    const std::string letter = command.substr(0, 1);
    const bool turn = letter == "R" || letter == "L";
    const bool rotation = turn && !setup;
    if (!setup) {
        photos_.Sending(command, process_.CurrentIndex);
    }
    // The table moves only once a crash from now on would find it counted
    // as moved.
    if (rotation) {
        journal_.RotationGoesOut(JournalPlace());
    } else if (turn) {
        journal_.TurningToPlace();
    }
    observer_.PhaseChanged(letter);
    const auto sent = std::chrono::steady_clock::now();
    process_.WaitingReply = true;
    device_.Exchange(command, pace_.PollLimit(command), false,
                     [this, command, setup, sent](const ExchangeResult& result) {
                         process_.WaitingReply = false;
                         Played(command, setup, sent, result);
                     });
}

void Shoot::Played(const std::string& command, bool setup,
                   std::chrono::steady_clock::time_point sent, const ExchangeResult& result) {
    const std::string letter = command.substr(0, 1);
    const bool photo = letter == "P";
    const bool rotation = (letter == "R" || letter == "L") && !setup;
    if (ReportFailedExchange(command, result)) {
        Stop();
        return;
    }
    ticker_.PauseFrom(result);
    pace_.Accepted(command);
    pace_.Measured(command, sent);
    const std::size_t next = static_cast<std::size_t>(process_.CurrentIndex) + (setup ? 0 : 1);
    if (process_.ProcessState != kProcessNotStarted) {
        observer_.TimeLeftChanged(pace_.TimeLeft(commands_.Commands(), next, ticker_.GapMs()));
    }
    if (setup) {
        resume_.SetUp();
        ticker_.Schedule();
        return;
    }
    if (photo) {
        ++photosTaken_;
        photos_.Taken();
    }
    if (rotation) {
        const bool stillStarted = process_.ProcessState == kProcessStarted;
        ++process_.RotationsDone;
        if (stillStarted && process_.RotationsDone > rotationsShown_) {
            rotationsShown_ = process_.RotationsDone;
            observer_.ProgressAdvanced();
        }
        journal_.RotationDone(JournalPlace());
        // A run stopped or paused during the wait stays as the user left it.
        if (stillStarted && options_.AutoPauza) {
            PauseOrContinue();
        }
        // Stopped during this rotation: the turntable has still turned, so
        // the way back is open.
        if (process_.ProcessState == kProcessNotStarted) {
            observer_.TurnBackOpen(true);
        }
    }
    --process_.Remaining;
    ++process_.CurrentIndex;
    ticker_.Schedule();
}

void Shoot::Close() {
    if (process_.ProcessState != kProcessNotStarted) {
        journal_.Stop();  // the moment the run stopped, for a resume
    }
    log_.End("the program was closed");
    ticker_.Stop();
    photos_.EndRun();
}

ShootJournal::Place Shoot::JournalPlace() const {
    return ShootJournal::Place{process_.CurrentIndex, process_.RotationsDone, photos_.Retaken(),
                               photos_.Names(), photos_.SetAside()};
}

void Shoot::EndJournal() {
    journal_.End();
    RefreshResume();
}

void Shoot::RefreshResume() {
    observer_.ResumeOpen(process_.ProcessState == kProcessNotStarted && journal_.Exists());
}
