#pragma once

#include <cstdint>

namespace zentrivo {

enum DeviceStates : std::int32_t {
    kDeviceDisconnected = 0,
    kDevicePortOpen = 1,
    kDeviceConnected = 2,
};

// What the status bar says about the link to the device.
const char* DeviceStateText(std::int32_t state);

// The colour of that text, as 0xRRGGBB: red while disconnected, green once
// the port is open.
std::uint32_t DeviceStateColour(std::int32_t state);

}  // namespace zentrivo
