#pragma once

#include <cstdint>

// The numbers of the picture transfer protocol (PTP) and of its carriage
// over TCP (PTP/IP) that the simulated tethered camera speaks.
namespace ptp {

// PTP/IP packet types: the first two are the length and the type, both
// 32-bit little-endian, then the payload.
enum PacketType : std::uint32_t {
    kInitCommandRequest = 1,
    kInitCommandAck = 2,
    kInitEventRequest = 3,
    kInitEventAck = 4,
    kInitFail = 5,
    kOperationRequest = 6,
    kOperationResponse = 7,
    kEvent = 8,
    kStartData = 9,
    kData = 10,
    kCancel = 11,
    kEndData = 12,
    kProbeRequest = 13,
    kProbeResponse = 14,
};

// What an operation request says of its data phase.
constexpr std::uint32_t kDataToCamera = 2;

enum Operation : std::uint16_t {
    kGetDeviceInfo = 0x1001,
    kOpenSession = 0x1002,
    kCloseSession = 0x1003,
    kGetStorageIds = 0x1004,
    kGetStorageInfo = 0x1005,
    kGetNumObjects = 0x1006,
    kGetObjectHandles = 0x1007,
    kGetObjectInfo = 0x1008,
    kGetObject = 0x1009,
    kInitiateCapture = 0x100E,
    kGetDevicePropDesc = 0x1014,
    kGetDevicePropValue = 0x1015,
    kGetPartialObject = 0x101B,
};

enum Response : std::uint16_t {
    kOk = 0x2001,
    kGeneralError = 0x2002,
    kSessionNotOpen = 0x2003,
    kOperationNotSupported = 0x2005,
    kInvalidStorageId = 0x2008,
    kInvalidObjectHandle = 0x2009,
    kDevicePropNotSupported = 0x200A,
    kInvalidParentObject = 0x201A,
    kInvalidParameter = 0x201D,
    kSessionAlreadyOpen = 0x201E,
};

enum EventCode : std::uint16_t {
    kObjectAdded = 0x4002,
    kCaptureComplete = 0x400D,
};

enum ObjectFormat : std::uint16_t {
    kAssociation = 0x3001,
    kExifJpeg = 0x3801,
    // Canon's CR2, the RAW files the camera names IMG_0001.CR2. Not the
    // undefined format: libgphoto2 refuses to download files of that one.
    kCanonRaw = 0xB103,
};

constexpr std::uint16_t kGenericFolder = 0x0001;  // the association type of a folder
constexpr std::uint32_t kAll = 0xFFFFFFFF;        // any storage; as a parent, the root

}  // namespace ptp
