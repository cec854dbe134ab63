#include "ptp_responder.h"

#include <algorithm>
#include <utility>

#include "ptp_codes.h"
#include "ptp_data.h"

namespace {

PtpAnswer Plain(std::uint16_t code, std::vector<std::uint32_t> params = {}) {
    PtpAnswer answer;
    answer.Code = code;
    answer.Params = std::move(params);
    return answer;
}

PtpAnswer WithData(std::string data) {
    PtpAnswer answer = Plain(ptp::kOk);
    answer.HasData = true;
    answer.Size = data.size();
    answer.Data = std::make_shared<const std::string>(std::move(data));
    return answer;
}

// The operations the camera answers, as its device info lists them; the
// others are refused as not supported.
const std::vector<std::uint16_t> kOperations = {
    ptp::kGetDeviceInfo,    ptp::kOpenSession,       ptp::kCloseSession,
    ptp::kGetStorageIds,    ptp::kGetStorageInfo,    ptp::kGetNumObjects,
    ptp::kGetObjectHandles, ptp::kGetObjectInfo,     ptp::kGetObject,
    ptp::kInitiateCapture,  ptp::kGetDevicePropDesc, ptp::kGetDevicePropValue,
    ptp::kGetPartialObject,
};

bool Supported(std::uint16_t code) {
    return std::find(kOperations.begin(), kOperations.end(), code) != kOperations.end();
}

}  // namespace

PtpResponder::PtpResponder(const std::string& model, PtpCard& card,
                           std::function<void(std::uint32_t)> capture,
                           std::int64_t fail_download_shot, std::int64_t fail_times)
    : model_(model),
      card_(card),
      capture_(std::move(capture)),
      fail_download_shot_(fail_download_shot),
      fail_times_(fail_times) {}

PtpAnswer PtpResponder::Answer(const PtpRequest& request) {
    switch (request.Code) {
        case ptp::kGetDeviceInfo:
            return DeviceInfo();
        case ptp::kOpenSession:
            if (request.Param(0) == 0) {
                return Plain(ptp::kInvalidParameter);
            }
            if (session_ != 0) {
                return Plain(ptp::kSessionAlreadyOpen, {session_});
            }
            session_ = request.Param(0);
            return Plain(ptp::kOk);
        default:
            break;
    }
    if (!Supported(request.Code)) {
        return Plain(ptp::kOperationNotSupported);
    }
    if (session_ == 0) {
        return Plain(ptp::kSessionNotOpen);
    }
    switch (request.Code) {
        case ptp::kCloseSession:
            session_ = 0;
            return Plain(ptp::kOk);
        case ptp::kGetStorageIds:
            return StorageIds();
        case ptp::kGetStorageInfo:
            return StorageInfo(request);
        case ptp::kGetNumObjects:
            return ObjectHandles(request, true);
        case ptp::kGetObjectHandles:
            return ObjectHandles(request, false);
        case ptp::kGetObjectInfo:
            return ObjectInfo(request);
        case ptp::kGetObject:
            return Download(request, false);
        case ptp::kGetPartialObject:
            return Download(request, true);
        case ptp::kInitiateCapture:
            capture_(request.Transaction);
            return Plain(ptp::kOk);
        default:
            // The camera has no properties to show or set.
            return Plain(ptp::kDevicePropNotSupported);
    }
}

PtpAnswer PtpResponder::DeviceInfo() const {
    return WithData(PtpWriter()
                        .U16(100)  // PTP 1.00
                        .U32(0)    // no vendor extension
                        .U16(0)
                        .String("")
                        .U16(0)  // standard functional mode
                        .U16Array(kOperations)
                        .U16Array({ptp::kObjectAdded, ptp::kCaptureComplete})
                        .U16Array({})  // no device properties
                        .U16Array({ptp::kExifJpeg})
                        .U16Array({ptp::kExifJpeg, ptp::kCanonRaw, ptp::kAssociation})
                        .String("Zentrivo")
                        .String(model_)
                        .String("1.0")
                        .String("ZS0000001")
                        .Data());
}

PtpAnswer PtpResponder::StorageIds() const {
    return WithData(PtpWriter().U32Array({PtpCard::kStorageId}).Data());
}

PtpAnswer PtpResponder::StorageInfo(const PtpRequest& request) const {
    if (request.Param(0) != PtpCard::kStorageId) {
        return Plain(ptp::kInvalidStorageId);
    }
    return WithData(card_.StorageInfo());
}

PtpAnswer PtpResponder::ObjectHandles(const PtpRequest& request, bool count_only) const {
    const std::uint32_t storage = request.Param(0);
    if (storage != ptp::kAll && storage != PtpCard::kStorageId) {
        return Plain(ptp::kInvalidStorageId);
    }
    const auto handles = card_.Handles(request.Param(1), request.Param(2));
    if (!handles) {
        return Plain(ptp::kInvalidParentObject);
    }
    if (count_only) {
        return Plain(ptp::kOk, {static_cast<std::uint32_t>(handles->size())});
    }
    return WithData(PtpWriter().U32Array(*handles).Data());
}

PtpAnswer PtpResponder::ObjectInfo(const PtpRequest& request) const {
    const auto object = card_.Find(request.Param(0));
    if (!object) {
        return Plain(ptp::kInvalidObjectHandle);
    }
    return WithData(PtpCard::ObjectInfo(*object));
}

PtpAnswer PtpResponder::Download(const PtpRequest& request, bool partial) {
    const auto object = card_.Find(request.Param(0));
    if (!object || !object->Bytes) {
        return Plain(ptp::kInvalidObjectHandle);
    }
    if (object->Shot == fail_download_shot_ && object->Format == ptp::kExifJpeg) {
        std::int64_t& failed = failed_[object->Handle];
        if (failed < fail_times_) {
            ++failed;
            return Plain(ptp::kGeneralError);
        }
    }
    PtpAnswer answer = Plain(ptp::kOk);
    answer.HasData = true;
    answer.Data = object->Bytes;
    answer.Size = object->Size();
    if (partial) {
        answer.Offset = std::min<std::size_t>(request.Param(1), object->Size());
        answer.Size = std::min<std::size_t>(request.Param(2), object->Size() - answer.Offset);
        answer.Params = {static_cast<std::uint32_t>(answer.Size)};
    }
    return answer;
}
