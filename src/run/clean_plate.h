#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "camera_photos.h"
#include "core/photos/photo_settle.h"
#include "core/photos/photo_watch.h"

// The photo of the empty table, from the moment its photo command goes out
// to the file kept: the first new photo of the camera folder that is whole,
// copied to where the folder's plate is kept.
class CleanPlate : public QObject {
    Q_OBJECT

public:
    // How long the photo is waited for, as the end of a run waits for its
    // last.
    static constexpr std::chrono::seconds kLongest{30};

    // `commands` take the photo; the photo work of `photos` is held until
    // the plate is done with, so that a Start, a copy and the program's end
    // wait for it.
    CleanPlate(CameraPhotos& photos, std::vector<std::string> commands, std::string cameraFolder,
               std::string platePath, QObject* parent = nullptr);

    const std::vector<std::string>& Commands() const { return commands_; }

    // The camera folder from now: what it holds is not the plate.
    void Begin();
    // Looks until the new photo is whole, then keeps it: `done` gets the
    // photo's name, or empty and why not.
    using Done = std::function<void(const std::string& name, const QString& problem)>;
    void AwaitPhoto(Done done);

private:
    void Look();
    void End(const std::string& name, const QString& problem);

    CameraPhotos::Work hold_;
    const std::vector<std::string> commands_;
    const std::string cameraFolder_;
    const std::string platePath_;
    zentrivo::PhotoWatch watch_;
    zentrivo::PhotoSettle settle_{zentrivo::kPhotoSettleTime};
    std::chrono::steady_clock::time_point giveUp_;
    QTimer look_;
    Done done_;
};
