#include "camera_photos.h"

#include <QThread>
#include <algorithm>
#include <chrono>
#include <utility>

#include "core/path_checks.h"
#include "core/paths.h"
#include "core/photos/photo_listing.h"
#include "handler_errors.h"

using namespace zentrivo;
using namespace std::chrono_literals;

namespace {

// How long a copy waits at most for the camera to finish writing a photo.
constexpr auto kLongestWait = 5s;

// How often the end of a run looks for the camera's last photos.
constexpr int kArrivalLookMs = 250;

}  // namespace

CameraPhotos::CameraPhotos(const TOpcije& options, ShootObserver& observer, ShootLog& log,
                           QObject* parent)
    : QObject(parent), options_(options), observer_(observer), log_(log) {
    refresher_.setInterval(3000);
    connect(&refresher_, &QTimer::timeout, this, [this] { RunGuarded([this] { WatchTick(); }); });
    lastLook_.setSingleShot(true);
    connect(&lastLook_, &QTimer::timeout, this, [this] {
        RunGuarded([this] {
            LookAgain(*lastWait_);
            LookAtLast();
        });
    });
    lateLook_.setSingleShot(true);
    connect(&lateLook_, &QTimer::timeout, this, [this] { RunGuarded([this] { LookLate(); }); });
}

CameraPhotos::Work::Work(CameraPhotos& photos) : photos_(photos), hold_(photos.gate_) {
    photos_.observer_.CopyOpen(false);
}

CameraPhotos::Work::~Work() {
    photos_.observer_.CopyOpen(true);
}

QString CameraPhotos::BusyText(const QString& refused) {
    return refused +
           " right now because it is busy with the photos !\r\n\r\n"
           "Please wait a few seconds and try again.";
}

void CameraPhotos::ShowCount() {
    observer_.PhotoStatus(QString::fromStdString(NewPhotosText(watch_.NewCount())));
}

void CameraPhotos::Begin() {
    // A new run has begun its own log by now.
    EndLateLook(false);
    BeginPhotoWatch(watch_, options_.FotosDir);
    looks_.Clear();
    downloads_.clear();
    // A new watch knows nothing of a run's positions.
    ledgerOn_ = false;
    ledger_.Clear();
    ShowCount();
    observer_.PhotosCleared();
    emit WatchBegun();
}

void CameraPhotos::Refresh() {
    if (!IsExistingFolder(options_.FotosDir)) {
        return;
    }
    std::vector<std::string> added = TakeDownloads();
    for (std::string& name : RefreshNewPhotos(watch_, options_.FotosDir)) {
        added.push_back(std::move(name));
    }
    Added(added);
}

void CameraPhotos::Added(const std::vector<std::string>& added) {
    for (const std::string& name : added) {
        observer_.PhotoAdded(QString::fromStdString(name));
        log_.Write("new photo in the camera folder: " + name);
    }
    if (ledgerOn_ && ledger_.KeptByArrival()) {
        ledger_.Place(Names());  // seen now, whole or not
    }
    ShowCount();
}

void CameraPhotos::Downloaded(const std::string& name) {
    downloads_.push_back(name);
    if (!Busy() && IsExistingFolder(options_.FotosDir)) {
        Added(TakeDownloads());
        PlaceWhole();
    }
}

std::vector<std::string> CameraPhotos::TakeDownloads() {
    std::vector<std::string> added = watch_.Refresh(std::exchange(downloads_, {}));
    // The program wrote and closed each itself: whole, nothing to wait for.
    std::vector<std::string> paths;
    for (const std::string& name : added) {
        paths.push_back(JoinPath(options_.FotosDir, name));
    }
    arrivals_.Accept(paths);
    return added;
}

void CameraPhotos::DownloadFailed(const std::string& name) {
    if (ledgerOn_) {
        ledger_.DownloadFailed(name);
    }
}

void CameraPhotos::LookForArrivals() {
    Refresh();
    std::vector<std::string> paths;
    for (const std::string& name : Names()) {
        paths.push_back(JoinPath(options_.FotosDir, name));
    }
    arrivals_.Look(paths);
    PlaceWhole();
}

void CameraPhotos::PlaceWhole() {
    if (ledgerOn_) {
        std::vector<std::string> whole;
        for (const std::string& name : Names()) {
            if (arrivals_.Arrived(JoinPath(options_.FotosDir, name))) {
                whole.push_back(name);
            }
        }
        ledger_.Place(whole);
    }
}

bool CameraPhotos::ArrivedWhole(const std::string& name) const {
    return arrivals_.Arrived(JoinPath(options_.FotosDir, name));
}

void CameraPhotos::KeepLedger(bool checked, int planned) {
    ledgerOn_ = true;
    planned_ = planned;
    if (!checked) {
        ledger_.ByArrival();
    } else {
        ledger_.Clear();
    }
}

std::vector<std::string> CameraPhotos::Unplaced() const {
    std::vector<std::string> names = ledger_.SetAside();
    for (const std::string& name : Names()) {
        if (!ledger_.Placed(name)) {
            names.push_back(name);
        }
    }
    return names;
}

void CameraPhotos::Resume(const RunJournal& journal) {
    const ResumedPhotos resumed = PhotosToResume(journal, ListFiles(options_.FotosDir));
    watch_.Begin(resumed.known);
    watch_.Refresh(resumed.received);
    observer_.PhotosCleared();
    std::vector<std::string> paths;
    for (const std::string& name : Names()) {
        observer_.PhotoAdded(QString::fromStdString(name));
        paths.push_back(JoinPath(options_.FotosDir, name));
    }
    arrivals_.Accept(paths);
    if (ledgerOn_) {
        // The photos of the positions done, in name order, as the camera
        // took them; any other one stays set aside.
        ledger_.Restore(journal.PhotosDone, Names(), journal.PhotosSetAside);
    }
    Refresh();
}

std::uint64_t CameraPhotos::Signature() const {
    std::uint64_t signature = NewCount() * 1000003u + Arrived();
    for (const std::string& name : Names()) {
        signature = signature * 31u + SampleFile(JoinPath(options_.FotosDir, name)).size;
    }
    return signature;
}

void CameraPhotos::AwaitLast(std::size_t taken, bool offerCopy, std::function<void(bool)> done) {
    waitAnswer_.reset();
    LookForArrivals();
    lastWait_ = LastWait{
        taken, offerCopy, std::move(done), Signature(), std::chrono::steady_clock::now(), false};
    LookAtLast();
}

void CameraPhotos::LookAgain(LastWait& wait) {
    LookForArrivals();
    if (Signature() != wait.signature) {
        wait.signature = Signature();
        wait.lastChange = std::chrono::steady_clock::now();
    }
}

bool CameraPhotos::MorePhotos(const LastWait& wait) const {
    const auto quiet = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - wait.lastChange);
    // A photo the camera could not hand over will not come by waiting.
    const std::size_t lost = ledgerOn_ ? ledger_.FailedDownloads().Count() : 0;
    return AwaitMorePhotos(wait.taken - std::min(lost, wait.taken), Arrived(), NewCount(), quiet);
}

void CameraPhotos::LookAtLast() {
    LastWait& wait = *lastWait_;
    const bool more = MorePhotos(wait);
    if (!waitAnswer_ && more) {
        wait.shown = true;
        observer_.WaitingForCamera(static_cast<int>(Arrived()), static_cast<int>(wait.taken),
                                   wait.offerCopy);
        lastLook_.start(kArrivalLookMs);
        return;
    }
    lastLook_.stop();
    if (wait.shown) {
        observer_.CameraWaitEnded();
    }
    const std::function<void(bool)> done = std::move(wait.done);
    if (more && waitAnswer_.value_or(false)) {
        // "Copy now": the photos still to come are not given up on.
        late_ = std::move(wait);
        log_.Hold();
        log_.Write("copied before every photo came: photos that come now are added to the copy");
        lateLook_.start(kArrivalLookMs);
    }
    lastWait_.reset();
    done(waitAnswer_.value_or(true));
}

void CameraPhotos::LookLate() {
    // A copy in hand has the folder to itself; the time still counts.
    if (!Busy()) {
        LookAgain(*late_);
        emit LateLook();
        if (!Busy() && !MorePhotos(*late_)) {
            EndLateLook(true);
            return;
        }
    }
    lateLook_.start(kArrivalLookMs);
}

void CameraPhotos::EndLateLook(bool logged) {
    if (!late_) {
        return;
    }
    lateLook_.stop();
    if (logged) {
        log_.Write("no longer looking for photos to add to the copy: " + std::to_string(Arrived()) +
                   " of " + std::to_string(late_->taken) + " came from the camera");
    }
    late_.reset();
    log_.Release();
}

void CameraPhotos::EndWait(bool copy) {
    waitAnswer_ = copy;
    if (lastWait_) {
        // Ended at once, from the event loop rather than the click.
        lastLook_.start(0);
    }
}

bool CameraPhotos::WaitUntilWritten(const std::string& path) {
    const auto pause = [] { QThread::msleep(50); };
    const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
    if (!looks_.WaitUntilSettled(path, kLongestWait, pause)) {
        return false;
    }
    // A camera may pause in the middle of a photo: one begun and not ended
    // is waited for within the same time, then copied and named as cut short.
    while (IsCutShortJpeg(path) && std::chrono::steady_clock::now() < deadline) {
        pause();
    }
    return true;
}

void CameraPhotos::StopWatching() {
    refresher_.stop();
    EndLateLook(true);
}

void CameraPhotos::StartWatching(std::function<bool()> goesOn) {
    goesOn_ = std::move(goesOn);
    refresher_.start();
}

void CameraPhotos::WatchTick() {
    refresher_.stop();
    Refresh();
    // A Stop handled while the refresh let events run must hold.
    if (goesOn_ && goesOn_()) {
        refresher_.start();
    }
}
