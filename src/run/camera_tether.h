#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

// A camera on this computer or the network that the program talks to
// itself: while one is chosen, a connection is held and every photo the
// camera announces is downloaded into the camera folder, whole, under the
// camera's name; the shutter may be fired over the connection. Where the
// program is built without libgphoto2 nothing is ever connected.
//
// The camera library is not safe across threads: one thread of its own owns
// the camera and makes every call; this object only queues requests to it
// and passes its news on as signals. Nothing here waits on the camera.
class CameraTether : public QObject {
    Q_OBJECT

public:
    explicit CameraTether(QObject* parent = nullptr);
    ~CameraTether() override;

    // Whether this build can talk to cameras.
    static bool Available();

    // Holds a connection to the camera at `port` (a libgphoto2 port:
    // "usb:001,007", "ptpip:192.168.1.20") as `model`, trying again every
    // few seconds while it is not there; an empty port lets it go.
    void Use(const QString& port, const QString& model);
    // Where downloaded photos go.
    void SetFolder(const QString& folder);
    // Asks the camera to take a photo.
    void Trigger();
    // Looks for cameras; the answer comes as CamerasFound.
    void Detect();

    bool Chosen() const { return !port_.isEmpty(); }
    bool Connected() const { return connected_; }
    const QString& Model() const { return model_; }
    // For the status bar: "Camera: <model>", "Camera: not found"; empty
    // while no camera is chosen.
    QString StateText() const;

signals:
    void StateChanged(const QString& text);
    // Each camera found: "Canon EOS 90D — usb:001,007", its model and port.
    void CamerasFound(const QStringList& labels, const QStringList& models,
                      const QStringList& ports);
    void Downloaded(const QString& name);
    void DownloadFailed(const QString& name, const QString& why);
    // The camera went away after it was connected.
    void Lost(const QString& model, const QString& why);
    // It could not be connected; `why` is for the user.
    void NotConnected(const QString& why);
    void TriggerFailed(const QString& why);

private:
    void Connect(bool connected, const QString& model);

    QThread thread_;
    QObject* worker_ = nullptr;  // lives on thread_
    QString port_;
    QString model_;
    bool connected_ = false;
};
