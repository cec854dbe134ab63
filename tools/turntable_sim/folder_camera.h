#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "camera.h"
#include "camera_faults.h"
#include "shot_queue.h"

// A camera storing onto a memory card, seen as a folder: each photo becomes
// a JPEG named as cameras name them, IMG_0001.JPG, IMG_0002.JPG, ...,
// numbered on from the highest such name already there (in any letter case),
// so that photos of earlier sessions are never overwritten. The number is
// given at the exposure, so a shot stored late still sorts where it was
// taken.
//
// A photo's file appears `delay` after the shot, under its final name, and
// is then written in four parts spread over `write_time`, so whoever watches
// the folder can meet a photo that is still growing. The writing runs on a
// thread of its own: the board answers without waiting for the camera.
// `faults` make it lose, delay, cut short or double photos on purpose.
class FolderCamera final : public Camera {
public:
    // Throws std::runtime_error when `folder` is not an existing folder.
    FolderCamera(const std::string& folder, std::chrono::milliseconds delay,
                 std::chrono::milliseconds write_time, const CameraFaults& faults = {});
    // Stores the photos still pending first, as a camera finishes its card
    // writes before it is switched off.
    ~FolderCamera() override;
    FolderCamera(const FolderCamera&) = delete;
    FolderCamera& operator=(const FolderCamera&) = delete;

    void TakePhoto(std::int64_t shutter_ms, double angle_degrees) override;

private:
    void Store(const Shot& shot);

    const std::string folder_;
    const std::chrono::milliseconds write_time_;
    const CameraFaults faults_;
    ShotQueue queue_;  // last: its thread stores with everything above
};
