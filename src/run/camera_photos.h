#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/journal/run_journal.h"
#include "core/photos/photo_arrival.h"
#include "core/photos/photo_ledger.h"
#include "core/photos/photo_settle.h"
#include "core/photos/photo_watch.h"
#include "core/settings/settings.h"
#include "shoot_log.h"
#include "shoot_observer.h"
#include "work_gate.h"

// The camera folder: which of its photos are new since the watch began, which
// of them have arrived whole, and a look every few seconds while a run goes
// on. The folder is the settings' camera folder at each look.
class CameraPhotos : public QObject {
    Q_OBJECT

public:
    CameraPhotos(const zentrivo::TOpcije& options, ShootObserver& observer, ShootLog& log,
                 QObject* parent = nullptr);

    // Watches the folder from what it holds now: those photos are not new.
    void Begin();
    // Adds the photos stored since the last look.
    void Refresh();
    // The program downloaded `name` into the folder itself, whole: it is
    // added as a photo arrived whole, without a look at the folder. While
    // the photo work is busy it waits for the next look.
    void Downloaded(const std::string& name);
    // `name` is no photo of a run: the program took it for itself.
    void NotOfTheRun(const std::string& name) { watch_.KnownPhotos.Add(name); }
    // The camera's file `name` could not be downloaded: a run by arrival
    // names it at its position when that photo is missing.
    void DownloadFailed(const std::string& name);
    // Refreshes, and looks again at each new photo not yet arrived whole.
    void LookForArrivals();
    std::size_t Arrived() const { return arrivals_.Complete(); }
    // Whether the new photo `name` has arrived whole.
    bool ArrivedWhole(const std::string& name) const;
    void ClearArrivals() { arrivals_.Clear(); }
    // A run of `planned` photos keeps which photo is whose position, and
    // sets aside those that are no position's: as each photo is waited for
    // when `checked`, else by the order and the moment the photos came.
    // Until the next Begin.
    void KeepLedger(bool checked, int planned);
    int Planned() const { return planned_; }
    // The first photo command of `position` is about to be sent.
    void Exposed(int position) { ledger_.Exposed(position, Names()); }
    bool Served(int position) const { return ledger_.Served(position); }
    // The run went back to take `position` and those after it again.
    void Rewind(int position) { ledger_.Rewind(position); }
    const zentrivo::PhotoLedger* Ledger() const { return ledgerOn_ ? &ledger_ : nullptr; }
    // The new photos that belong to no position: set aside, or not placed
    // yet (they came after the run's last look).
    std::vector<std::string> Unplaced() const;
    // A resumed run: the photos it had before it stopped count as new and
    // arrived, those the camera stored since it stopped as new.
    void Resume(const zentrivo::RunJournal& journal);
    // The end of a run without the check: waits while photos are missing
    // or still written, showing the wait, then calls `done`: false when the
    // user stopped waiting without the copy.
    void AwaitLast(std::size_t taken, bool offerCopy, std::function<void(bool copy)> done);
    // Ends that wait, with or without the copy. "Copy now" copies what is
    // there, and the folder is still looked at for as long as the wait would
    // have lasted, or until the next Begin or StopWatching: see LateLook.
    void EndWait(bool copy);

    // A first look at a photo, so that it may settle while others are copied.
    void FirstLook(const std::string& path) { looks_.Look(path); }
    // Waits, a few seconds at most, until the camera has written the photo.
    // Blocks: for the copy's own thread.
    bool WaitUntilWritten(const std::string& path);

    const std::vector<std::string>& Names() const { return watch_.NewPhotos.Names(); }
    const std::vector<std::string>& KnownNames() const { return watch_.KnownPhotos.Names(); }
    std::size_t NewCount() const { return watch_.NewCount(); }

    // Looks every few seconds while `goesOn` holds.
    void StartWatching(std::function<bool()> goesOn);
    void StopWatching();
    bool Watching() const { return refresher_.isActive(); }
    void WatchTick();

    // One piece of photo work at a time: a copy, or the end of a run from its
    // last look at the folder to its copy.
    bool Busy() const { return gate_.Busy(); }
    WorkGate& Gate() { return gate_; }
    // Holds the gate, with "Copy photos" closed meanwhile.
    class Work {
    public:
        explicit Work(CameraPhotos& photos);
        ~Work();
        Work(const Work&) = delete;
        Work& operator=(const Work&) = delete;

    private:
        CameraPhotos& photos_;
        WorkGate::Hold hold_;
    };
    // "<refused> right now because it is busy with the photos ! ..."
    static QString BusyText(const QString& refused);

    ShootLog& Log() { return log_; }

signals:
    // The folder is watched anew: its photos are of no earlier run.
    void WatchBegun();
    // After "Copy now", a look at the folder while the photo work is free: a
    // photo that has arrived whole since may be added to the copy now, with
    // the photo work held meanwhile.
    void LateLook();

private:
    void ShowCount();
    // Tells of the new photos `added`, and places them.
    void Added(const std::vector<std::string>& added);
    // The downloads not added yet, added to the new photos: those that were
    // not there.
    std::vector<std::string> TakeDownloads();
    // The ledger of a checked run gets the new photos arrived whole.
    void PlaceWhole();
    // What changes when the camera writes: the new photos, those whole, and
    // their bytes.
    std::uint64_t Signature() const;
    struct LastWait;
    // Looks for arrivals and notes when the folder last changed.
    void LookAgain(LastWait& wait);
    // Whether the end of a run would still wait for photos.
    bool MorePhotos(const LastWait& wait) const;
    // One look of the end of a run's wait for its last photos.
    void LookAtLast();
    // One look after "Copy now".
    void LookLate();
    // Ends it, with a line in the log when `logged`.
    void EndLateLook(bool logged);

    const zentrivo::TOpcije& options_;
    ShootObserver& observer_;
    ShootLog& log_;
    zentrivo::PhotoWatch watch_;
    zentrivo::PhotoSettle looks_{zentrivo::kPhotoSettleTime};
    zentrivo::PhotoArrivals arrivals_;
    zentrivo::PhotoLedger ledger_;
    bool ledgerOn_ = false;
    QTimer refresher_;
    std::function<bool()> goesOn_;
    // The end of a run's wait for its last photos, while it lasts.
    struct LastWait {
        std::size_t taken = 0;
        bool offerCopy = false;
        std::function<void(bool)> done;
        std::uint64_t signature = 0;
        std::chrono::steady_clock::time_point lastChange;
        bool shown = false;
    };
    std::optional<LastWait> lastWait_;
    QTimer lastLook_;
    std::optional<bool> waitAnswer_;
    // The same wait, cut short by "Copy now", while it would have lasted.
    std::optional<LastWait> late_;
    QTimer lateLook_;
    int planned_ = 0;
    std::vector<std::string> downloads_;  // downloaded, not added yet
    WorkGate gate_{this};
};
