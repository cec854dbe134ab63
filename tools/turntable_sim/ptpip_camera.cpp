#include "ptpip_camera.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "jpeg_encoder.h"
#include "ptp_codes.h"
#include "turntable_picture.h"

namespace {

constexpr std::uint32_t kNoTransaction = 0xFFFFFFFF;

std::string PhotoName(int number, const char* extension) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.%s", number, extension);
    return name;
}

}  // namespace

PtpIpCamera::PtpIpCamera(const PtpIpSettings& settings, std::function<double()> angle_now)
    : settings_(settings),
      responder_(
          kModel, card_,
          [this, angle_now](std::uint32_t transaction) { Expose(angle_now(), transaction); },
          settings.Faults.FailDownload, settings.Faults.FailDownloadTimes),
      queue_(settings.Delay, settings.Faults, 0, [this](const Shot& shot) { Store(shot); }),
      server_(kModel, responder_) {}

PtpIpCamera::~PtpIpCamera() {
    // The photos still pending are stored and announced while the
    // connection is still there.
    queue_.Stop();
}

std::string PtpIpCamera::PortString() const {
    const std::string port = std::to_string(server_.Port());
    return "ptpip:127.0.0.1:" + port + ":" + port;
}

void PtpIpCamera::TakePhoto(std::int64_t /*shutter_ms*/, double angle_degrees) {
    Expose(angle_degrees, std::nullopt);
}

void PtpIpCamera::Expose(double angle_degrees, std::optional<std::uint32_t> transaction) {
    if (server_.Away()) {
        queue_.Miss();
        return;
    }
    if (queue_.Take(angle_degrees, transaction) == settings_.Faults.Drop) {
        const std::int64_t back_in = settings_.Faults.DropMs;
        server_.GoAway(back_in < 0 ? std::nullopt
                                   : std::optional(std::chrono::milliseconds(back_in)));
    }
}

void PtpIpCamera::Store(const Shot& shot) {
    const int number = shot.FileNumber;
    std::string jpeg =
        PaddedJpeg(TurntablePhoto(shot.AngleDegrees, number, shot.Number), settings_.PhotoBytes);
    // The RAW twin's content matters to no one, only that it is another file
    // of the same exposure. Made first, so the photo's bytes move to the card
    // without a copy.
    const std::string raw = settings_.Faults.Raw ? "RAW " + jpeg : std::string();
    const std::uint32_t handle =
        card_.Add(PhotoName(number, "JPG"), ptp::kExifJpeg, std::move(jpeg), shot.Number,
                  kPictureWidth, kPictureHeight);
    const std::uint32_t transaction = shot.Transaction.value_or(kNoTransaction);
    server_.Announce(ptp::kObjectAdded, transaction, handle);
    if (settings_.Faults.Raw) {
        const std::uint32_t raw_handle =
            card_.Add(PhotoName(number, "CR2"), ptp::kCanonRaw, raw, shot.Number, 0, 0);
        server_.Announce(ptp::kObjectAdded, transaction, raw_handle);
    }
    if (shot.Transaction) {
        server_.Announce(ptp::kCaptureComplete, *shot.Transaction, *shot.Transaction);
    }
}
