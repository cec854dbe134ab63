#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "camera.h"
#include "camera_faults.h"
#include "ptp_card.h"
#include "ptp_responder.h"
#include "ptpip_server.h"
#include "shot_queue.h"

// How the tethered camera behaves; shots are counted from 1, 0 is "never".
struct PtpIpSettings {
    std::chrono::milliseconds Delay{0};  // from the shot until the photo is announced
    std::size_t PhotoBytes = 0;          // pad each JPEG to this size
    CameraFaults Faults;  // photos lost, late, doubled by a RAW; the camera gone, a download failed
};

// A camera tethered over PTP/IP, as one on Wi-Fi: each photo goes onto its
// card (DCIM/100ZNTRV/IMG_0001.JPG, ...) and is announced to the connected
// program with an ObjectAdded event, which then downloads it. The program
// can also fire it with InitiateCapture: the photo is then taken at the
// angle the turntable stands at, and CaptureComplete follows it.
class PtpIpCamera final : public Camera {
public:
    static constexpr const char* kModel = "Zentrivo Sim PTP/IP Camera";

    // `angle_now` tells where the turntable stands, from any thread.
    PtpIpCamera(const PtpIpSettings& settings, std::function<double()> angle_now);
    ~PtpIpCamera() override;
    PtpIpCamera(const PtpIpCamera&) = delete;
    PtpIpCamera& operator=(const PtpIpCamera&) = delete;

    // What libgphoto2 is given as the port: ptpip:127.0.0.1:PORT:PORT.
    std::string PortString() const;

    void TakePhoto(std::int64_t shutter_ms, double angle_degrees) override;

private:
    // Counts the shot and queues it; one while the camera is away is lost,
    // as a camera switched off takes none.
    void Expose(double angle_degrees, std::optional<std::uint32_t> transaction);
    void Store(const Shot& shot);

    const PtpIpSettings settings_;
    PtpCard card_;
    PtpResponder responder_;
    // Before the server: a program may fire the camera as soon as it listens.
    ShotQueue queue_;
    PtpIpServer server_;
};
