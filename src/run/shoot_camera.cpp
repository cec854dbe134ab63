// The shoot and the camera it downloads from itself.
#include "core/path_checks.h"
#include "shoot.h"

using namespace zentrivo;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void Shoot::FollowTether() {
    connect(&tether_, &CameraTether::StateChanged, this, [this](const QString& text) {
        log_.Write("camera: " + text.toStdString());
        observer_.CameraStateChanged(text);
    });
    connect(&tether_, &CameraTether::Downloaded, this, [this](const QString& name) {
        log_.Write("downloaded from the camera: " + name.toStdString());
        if (!photos_.Busy()) {
            photos_.Refresh();
        }
    });
    connect(&tether_, &CameraTether::DownloadFailed, this,
            [this](const QString& name, const QString& why) {
                log_.Write("not downloaded from the camera: " + name.toStdString() + ": " +
                           why.toStdString());
                observer_.ShowMessage("Error",
                                      "The photo " + name +
                                          " could not be downloaded from the camera, also when "
                                          "tried again:\r\n" +
                                          why,
                                      ShootObserver::Icon::Error);
            });
    connect(&tether_, &CameraTether::NotConnected, this, [this](const QString& why) {
        log_.Write("camera not connected: " + why.toStdString());
        if (std::exchange(tellCameraProblem_, false)) {
            observer_.ShowMessage("Warning",
                                  "The camera " + Q(options_.CameraPort) +
                                      " could not be connected:\r\n" + why +
                                      "\r\n\r\nThe program keeps trying while it is chosen.",
                                  ShootObserver::Icon::Warning);
        }
    });
    connect(&tether_, &CameraTether::Lost, this, &Shoot::CameraLost);
    connect(&tether_, &CameraTether::TriggerFailed, this, [this](const QString& why) {
        log_.Write("the camera did not fire: " + why.toStdString());
    });
}

void Shoot::UseCamera(bool chosenNow) {
    tellCameraProblem_ = chosenNow;
    tether_.SetFolder(Q(options_.FotosDir));
    tether_.Use(Q(options_.CameraPort), Q(options_.CameraModel));
}

void Shoot::WatchCameraFolder() {
    photos_.Begin();
    tether_.SetFolder(Q(options_.FotosDir));
}

void Shoot::CameraLost(const QString& model, const QString& why) {
    log_.Write("the camera went away: " + why.toStdString());
    if (process_.ProcessState == kProcessNotStarted) {
        return;
    }
    // Photos taken without the camera would be lost: the table waits.
    if (process_.ProcessState == kProcessStarted) {
        PauseOrContinue();
    }
    observer_.ShowMessage(
        "Warning",
        "The camera " + model + " is no longer connected (" + why +
            ").\r\n\r\nPlease check that it is switched on and awake, its cable or network, and "
            "that no other program has taken it. The photos downloaded so far are kept.\r\n"
            "Then press Continue.",
        ShootObserver::Icon::Warning);
}
