#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "clean_plate.h"
#include "command_list.h"
#include "core/journal/run_journal.h"
#include "core/process/process_record.h"
#include "core/process/retake_plan.h"
#include "core/process/return_command.h"
#include "core/settings/settings.h"
#include "device_link.h"
#include "photo_session.h"
#include "run_pace.h"
#include "run_resume.h"
#include "shoot_journal.h"
#include "shoot_log.h"
#include "shoot_observer.h"
#include "shoot_ticker.h"
#include "way_back.h"

// The shoot as it happens: Start with its connection test, one command a
// tick with its reply awaited, Pause, Continue and Stop, the end of the run
// with its photos, the way back to the start, and a run resumed from its
// journal. It reads the settings as they are at each step, and tells the
// observer of every change.
class Shoot : public QObject {
    Q_OBJECT

public:
    // `settingsFolder` holds the settings file, and the journal beside it.
    Shoot(const zentrivo::TOpcije& options, const std::string& settingsFolder,
          ShootObserver& observer, QObject* parent = nullptr);
    ~Shoot() override;

    // The list the run plays, which the Process Editor edits.
    CommandList& Commands() { return commands_; }
    // The local time that names logs, journals and copies; the clock unless
    // a test sets one.
    void SetClock(std::function<std::tm()> clock) { clock_ = std::move(clock); }
    void SetPollSleep(std::function<void()> sleep) { device_.SetPollSleep(std::move(sleep)); }

    // A new process was made from these: the run ended early before it is
    // no longer resumed.
    void ProcessMade(std::int32_t stepsPerPhoto, const std::string& directionLetter,
                     std::int32_t periodMs);
    void ForgetInterruptedRun();

    void Start();
    void PauseOrContinue();
    void Stop();
    // One step of the run: the next command, or the end.
    void Tick();
    // Turns the table back to where the run began.
    void TurnBack();
    // "Resume Interrupted Run...": asks, then starts from the journal.
    void ResumeInterrupted();
    // "Take a Clean Plate": asks, then one photo of the empty table, taken
    // as `commands` take their first, kept as the camera folder's plate.
    void TakeCleanPlate(const std::vector<std::string>& commands);
    // Where the plate of the camera folder of the settings is kept.
    QString CleanPlateFile() const;
    // "Copy photos".
    void CopyPhotos() { photos_.CopyOnRequest(); }
    // Ends the end of a run's wait for the camera, with the copy or without.
    void EndCameraWait(bool copy) { photos_.EndWait(copy); }
    // The camera of the settings, and the camera folder: see PhotoSession.
    void UseCamera(bool chosenNow) { photos_.UseCamera(chosenNow); }
    void WatchCameraFolder() { photos_.WatchCameraFolder(); }

    // Whether a reply is awaited, or photos are collected or copied: the
    // program must not close then.
    bool WaitingForDevice() const { return process_.WaitingReply || device_.Gate().Busy(); }
    bool BusyWithPhotos() const { return photos_.Busy(); }
    // The program closes: no timer ticks, the log ends, the port closes.
    void Close();

    // A run is going on, started or paused: the camera, the pace and an
    // export wait for its end.
    bool Running() const { return process_.ProcessState != zentrivo::kProcessNotStarted; }
    const zentrivo::TProces& Process() const { return process_; }
    // What the run is doing, for the status bar: its state, or the photo it
    // waits for.
    QString StateText() const;
    int DeviceState() const { return device_.State(); }
    void Disconnect() { device_.Disconnect(); }
    // The camera folder's timer: new photos listed, while a run goes on.
    void RefreshPhotos() { photos_.RefreshPhotos(); }
    // The photos of the run, from the camera to the copy.
    PhotoSession& Photos() { return photos_; }
    const QString& LastCopyFolder() const { return photos_.LastCopyFolder(); }

private:
    void Begin();
    // The connection test's reply: the run begins, unless it failed or a
    // Stop came since `stopsBefore`.
    void Tested(const zentrivo::ExchangeResult& test, std::uint64_t stopsBefore);
    // Tells the user why the connection test failed; true when it did.
    bool ReportFailedTest(const zentrivo::ExchangeResult& test);
    void Play(const std::string& command);
    // The reply to `command`, sent at `sent`; `setup` when it set the
    // controller up for a resumed run.
    void Played(const std::string& command, bool setup, std::chrono::steady_clock::time_point sent,
                const zentrivo::ExchangeResult& result);
    // Tells the user why an exchange failed; true when it did.
    bool ReportFailedExchange(const std::string& command, const zentrivo::ExchangeResult& result);
    void Complete();
    // Tells the end of a run, with the lines its photos added.
    void Completed(const QString& photoLines, bool flawed);
    void DeviceGone();
    // Ends the run, then tells the user that the device went away.
    void EndForLostDevice();
    // Whether the run may send `command` (or complete) now; false when it
    // waits for the photo or has paused for the user. May rewind the run to
    // take the photo again.
    bool PhotoAccountedFor(const std::string& command, bool complete);
    // Goes back to the photo command at `index`, the table turned back first.
    void TakeAgain(std::int32_t index, const zentrivo::RetakePlan& plan);
    // At a Start that resumes: the photos so far restored, and the commands
    // that set the controller up as the run had it, to be played first.
    void ApplyResume(const zentrivo::RunJournal& journal);
    // Where the run stands, for the journal.
    ShootJournal::Place JournalPlace() const;
    void EndJournal();
    void RefreshResume();
    std::tm Now() const;
    void CameraLost(const QString& message);
    void BeginPlate(const std::vector<std::string>& commands);
    void PlayPlate(std::size_t at);
    void PlateEnds(const std::string& name, const QString& problem);
    void EndPlate();

    const zentrivo::TOpcije& options_;
    const std::string settingsFolder_;
    ShootObserver& observer_;
    CommandList commands_;
    std::function<std::tm()> clock_;

    zentrivo::TProces process_;
    ShootLog log_;
    DeviceLink device_;
    PhotoSession photos_;
    ShootJournal journal_;
    RunPace pace_;
    ShootTicker ticker_;
    RunResume resume_{journal_, observer_};
    WayBack wayBack_{device_, pace_, journal_};

    // The step period of the last made process.
    std::int32_t madePeriodMs_ = 0;
    // Photo commands the controller accepted since the last Start, less
    // those taken again.
    std::int32_t photosTaken_ = 0;
    // Rotations the progress shows: a rotation made again after the table
    // turned back for a photo does not count twice.
    std::int32_t rotationsShown_ = 0;
    bool completing_ = false;  // the end of a run stops it, and logs its own end
    // Stops so far: a Start tells by it whether one came during its test.
    std::uint64_t stops_ = 0;
    // The clean plate being taken.
    std::unique_ptr<CleanPlate> plate_;
};
