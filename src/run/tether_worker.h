#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

namespace zentrivo {
class TetheredCamera;
}

// The thread that owns the camera: it opens it, waits for its news in short
// steps so that requests are served between them, downloads each new photo
// and fires the shutter. Every member is used on that thread only.
class TetherWorker : public QObject {
    Q_OBJECT

public:
    TetherWorker();
    ~TetherWorker() override;

    void Use(const QString& port, const QString& model);
    void SetFolder(const QString& folder) { folder_ = folder; }
    void Trigger();
    void Detect();
    void Shutdown();

signals:
    void Opened(const QString& model);
    void NotOpened(const QString& why);
    void Gone(const QString& model, const QString& why);
    void Downloaded(const QString& name);
    void DownloadFailed(const QString& name, const QString& why);
    void Found(const QStringList& labels, const QStringList& models, const QStringList& ports);
    void TriggerFailed(const QString& why);

private:
    void Step();
    void TryOpen();
    void Fetch(const QString& folder, const QString& name);

    std::unique_ptr<zentrivo::TetheredCamera> camera_;
    QTimer stepper_;
    QElapsedTimer sinceAttempt_;
    // Since the camera last announced a photo or was asked for one.
    QElapsedTimer lastNews_;
    QString port_;
    QString model_;
    QString folder_;
    bool everOpened_ = false;
    QString lastProblem_;
};
