#include "core/serial/device_state.h"

namespace zentrivo {

const char* DeviceStateText(std::int32_t state) {
    switch (state) {
        case kDevicePortOpen:
            return "COM port open.";
        case kDeviceConnected:
            return "Device connected.";
        default:
            return "Device is disconnected.";
    }
}

std::uint32_t DeviceStateColour(std::int32_t state) {
    return state == kDeviceDisconnected ? 0xFF0000u : 0x008000u;
}

}  // namespace zentrivo
