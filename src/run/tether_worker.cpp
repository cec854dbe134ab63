#include "tether_worker.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include "core/tether/tethered_camera.h"

using namespace zentrivo;

namespace {

// How long one wait for the camera's news lasts: requests queued meanwhile
// (a shutter, a look for cameras) wait at most this long, and so does a
// photo's download after its news.
constexpr int kWaitMs = 10;
// How often a chosen camera that is not there is looked for again.
constexpr int kRetryMs = 2000;
// For this long after a photo or a shutter request the camera is watched
// without rest: a run's next photo comes well within it and is fetched the
// moment it is announced, instead of up to a step later.
constexpr int kEagerMs = 10000;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A free name in `folder` for the camera's `name`: a camera that numbers
// from 1 again after a new card must not overwrite an earlier photo.
QString FreePath(const QString& folder, const QString& name) {
    const QDir dir(folder);
    QString candidate = name;
    const QFileInfo info(name);
    for (int n = 2; QFileInfo::exists(dir.filePath(candidate)); ++n) {
        candidate = info.completeBaseName() + QString("_%1").arg(n) +
                    (info.suffix().isEmpty() ? "" : "." + info.suffix());
    }
    return dir.filePath(candidate);
}

}  // namespace

TetherWorker::TetherWorker() : camera_(std::make_unique<TetheredCamera>()), stepper_(this) {
    stepper_.setInterval(0);
    connect(&stepper_, &QTimer::timeout, this, &TetherWorker::Step);
}

TetherWorker::~TetherWorker() = default;

void TetherWorker::Shutdown() {
    stepper_.stop();
    camera_->Close();
}

void TetherWorker::Use(const QString& port, const QString& model) {
    camera_->Close();
    port_ = port;
    model_ = model;
    everOpened_ = false;
    lastProblem_.clear();
    if (port_.isEmpty()) {
        stepper_.stop();
        return;
    }
    sinceAttempt_.invalidate();
    stepper_.start();
}

void TetherWorker::TryOpen() {
    sinceAttempt_.start();
    const std::string problem = camera_->Open(port_.toStdString(), model_.toStdString());
    if (problem.empty()) {
        everOpened_ = true;
        lastProblem_.clear();
        emit Opened(Q(camera_->Model()));
        return;
    }
    // Told once, not at every try.
    if (Q(problem) != lastProblem_) {
        lastProblem_ = Q(problem);
        emit NotOpened(lastProblem_);
    }
}

void TetherWorker::Step() {
    if (!camera_->IsOpen()) {
        if (!sinceAttempt_.isValid() || sinceAttempt_.elapsed() >= kRetryMs) {
            TryOpen();
        } else {
            QThread::msleep(kWaitMs);
        }
        return;
    }
    QElapsedTimer waited;
    waited.start();
    const CameraEvent event = camera_->Wait(kWaitMs);
    // Some connections (PTP/IP) only glance for news and return at once
    // (each glance waits about a millisecond): while photos come, glances
    // follow one another, so a photo waits no longer than with gphoto2;
    // after a quiet spell the rest of the step is slept, not spun.
    const bool eager = lastNews_.isValid() && lastNews_.elapsed() < kEagerMs;
    if (event.kind == CameraEvent::Kind::kNothing && !eager && waited.elapsed() < kWaitMs) {
        QThread::msleep(static_cast<unsigned long>(kWaitMs - waited.elapsed()));
    }
    if (event.kind == CameraEvent::Kind::kFileAdded) {
        lastNews_.start();
        Fetch(Q(event.folder), Q(event.name));
    } else if (event.kind == CameraEvent::Kind::kGone) {
        const QString model = Q(camera_->Model());
        camera_->Close();
        sinceAttempt_.start();
        lastProblem_ = Q(event.error);
        emit Gone(model, Q(event.error));
    }
}

void TetherWorker::Fetch(const QString& folder, const QString& name) {
    if (folder_.isEmpty() || !QFileInfo(folder_).isDir()) {
        emit DownloadFailed(name, "the camera folder \"" + folder_ + "\" does not exist");
        return;
    }
    const QString path = FreePath(folder_, name);
    std::string problem;
    // One retry: a busy camera or a hiccup on the link often passes.
    for (int attempt = 0; attempt < 2; ++attempt) {
        problem = camera_->Download(folder.toStdString(), name.toStdString(), path.toStdString());
        if (problem.empty()) {
            emit Downloaded(QFileInfo(path).fileName());
            return;
        }
    }
    emit DownloadFailed(name, Q(problem));
}

void TetherWorker::Trigger() {
    lastNews_.start();
    const std::string problem =
        camera_->IsOpen() ? camera_->Trigger() : std::string("the camera is not connected");
    if (!problem.empty()) {
        emit TriggerFailed(Q(problem));
    }
}

void TetherWorker::Detect() {
    QStringList labels;
    QStringList models;
    QStringList ports;
    for (const DetectedCamera& found : camera_->Detect()) {
        labels << Q(found.model) + " \u2014 " + Q(found.port);
        models << Q(found.model);
        ports << Q(found.port);
    }
    emit Found(labels, models, ports);
}
