#include "camera_tether.h"

#ifdef ZENTRIVO_TETHER
#include "tether_worker.h"
#endif

CameraTether::CameraTether(QObject* parent) : QObject(parent) {
#ifdef ZENTRIVO_TETHER
    auto* worker = new TetherWorker;
    worker->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &TetherWorker::Opened, this,
            [this](const QString& model) { Connect(true, model); });
    connect(worker, &TetherWorker::NotOpened, this, [this](const QString& why) {
        Connect(false, model_);
        emit NotConnected(why);
    });
    connect(worker, &TetherWorker::Gone, this, [this](const QString& model, const QString& why) {
        Connect(false, model);
        emit Lost(model, why);
    });
    connect(worker, &TetherWorker::Downloaded, this, &CameraTether::Downloaded);
    connect(worker, &TetherWorker::DownloadFailed, this, &CameraTether::DownloadFailed);
    connect(worker, &TetherWorker::Found, this, &CameraTether::CamerasFound);
    connect(worker, &TetherWorker::TriggerFailed, this, &CameraTether::TriggerFailed);
    worker_ = worker;
    thread_.setObjectName("camera");
    thread_.start();
#endif
}

CameraTether::~CameraTether() {
#ifdef ZENTRIVO_TETHER
    // The camera is let go on its own thread before that thread ends.
    QMetaObject::invokeMethod(
        worker_, [w = static_cast<TetherWorker*>(worker_)] { w->Shutdown(); },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
#endif
}

bool CameraTether::Available() {
#ifdef ZENTRIVO_TETHER
    return true;
#else
    return false;
#endif
}

QString CameraTether::StateText() const {
    if (!Chosen()) {
        return {};
    }
    return connected_ ? "Camera: " + model_ : "Camera: not found";
}

void CameraTether::Connect(bool connected, const QString& model) {
    const QString before = StateText();
    connected_ = connected;
    if (!model.isEmpty()) {
        model_ = model;
    }
    if (StateText() != before) {
        emit StateChanged(StateText());
    }
}

void CameraTether::Use(const QString& port, const QString& model) {
    const QString before = StateText();
    port_ = port;
    model_ = model;
    connected_ = false;
#ifdef ZENTRIVO_TETHER
    QMetaObject::invokeMethod(
        worker_, [w = static_cast<TetherWorker*>(worker_), port, model] { w->Use(port, model); });
#endif
    if (StateText() != before) {
        emit StateChanged(StateText());
    }
}

void CameraTether::SetFolder(const QString& folder) {
#ifdef ZENTRIVO_TETHER
    QMetaObject::invokeMethod(
        worker_, [w = static_cast<TetherWorker*>(worker_), folder] { w->SetFolder(folder); });
#else
    Q_UNUSED(folder);
#endif
}

void CameraTether::Trigger() {
#ifdef ZENTRIVO_TETHER
    QMetaObject::invokeMethod(worker_, [w = static_cast<TetherWorker*>(worker_)] { w->Trigger(); });
#endif
}

void CameraTether::Detect() {
#ifdef ZENTRIVO_TETHER
    QMetaObject::invokeMethod(worker_, [w = static_cast<TetherWorker*>(worker_)] { w->Detect(); });
#endif
}
