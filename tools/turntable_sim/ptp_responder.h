#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ptp_card.h"

// A PTP operation as the program asks for it.
struct PtpRequest {
    std::uint16_t Code = 0;
    std::uint32_t Transaction = 0;
    std::vector<std::uint32_t> Params;

    std::uint32_t Param(std::size_t index) const {
        return index < Params.size() ? Params[index] : 0;
    }
};

// The camera's answer: a response code with its parameters, and maybe data
// before it: `Size` bytes of `Data` from `Offset` on.
struct PtpAnswer {
    std::uint16_t Code = 0;
    std::vector<std::uint32_t> Params;
    bool HasData = false;
    std::shared_ptr<const std::string> Data;
    std::size_t Offset = 0;
    std::size_t Size = 0;
};

// Answers the operations of a PTP session on the card: those the generic
// PTP driver of libgphoto2 uses to connect, list, download and capture.
// Used from one thread, the one that serves the connection.
class PtpResponder {
public:
    // `capture` is called for InitiateCapture with its transaction; the
    // photo comes later, as a photo of the board's does. The first
    // `fail_times` downloads of the JPEG of shot `fail_download_shot` fail
    // (0: none does).
    PtpResponder(const std::string& model, PtpCard& card,
                 std::function<void(std::uint32_t transaction)> capture,
                 std::int64_t fail_download_shot, std::int64_t fail_times);

    PtpAnswer Answer(const PtpRequest& request);
    // The program has gone: a new one must open its own session.
    void EndSession() { session_ = 0; }

private:
    PtpAnswer DeviceInfo() const;
    PtpAnswer StorageIds() const;
    PtpAnswer StorageInfo(const PtpRequest& request) const;
    PtpAnswer ObjectHandles(const PtpRequest& request, bool count_only) const;
    PtpAnswer ObjectInfo(const PtpRequest& request) const;
    PtpAnswer Download(const PtpRequest& request, bool partial);

    const std::string model_;
    PtpCard& card_;
    const std::function<void(std::uint32_t)> capture_;
    const std::int64_t fail_download_shot_;
    const std::int64_t fail_times_;
    std::map<std::uint32_t, std::int64_t> failed_;  // downloads failed so far, by handle
    std::uint32_t session_ = 0;                     // 0: no session open
};
