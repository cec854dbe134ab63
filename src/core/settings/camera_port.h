#pragma once

#include <string>

namespace zentrivo {

// The camera port as the camera library names it, from what the user typed:
// a bare host or address ("192.168.1.20", "camera.local") is a camera on the
// network, so "ptpip:" is put before it; a port with its kind ("usb:001,007",
// "ptpip:...") and anything else is kept as typed.
std::string CameraPortFor(const std::string& typed);

}  // namespace zentrivo
