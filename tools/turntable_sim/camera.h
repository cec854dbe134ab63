#pragma once

#include <cstdint>

// What the board's shutter line drives. A camera that leaves a photo file in
// a folder for each shot, as one on a memory card does, plugs in here.
class Camera {
public:
    virtual ~Camera() = default;
    // Called once the shutter has been open for `shutter_ms` and has closed,
    // with the turntable standing at `angle_degrees`. Returns at once: the
    // camera stores the photo in its own time.
    virtual void TakePhoto(std::int64_t shutter_ms, double angle_degrees) = 0;
};

// No camera attached: photos are taken into thin air.
class NoCamera final : public Camera {
public:
    void TakePhoto(std::int64_t /*shutter_ms*/, double /*angle_degrees*/) override {}
};
