#pragma once

#include <string>

namespace zentrivo {

// Whether a camera on the network answers at all at `port` ("ptpip:HOST",
// "ptpip:HOST:PORT..."), by a connection of its own that is closed at once;
// true for any other port, and for one it can not read.
//
// libgphoto2 closes its sockets when a connection is refused and again when
// the camera is let go, so the second close can take a descriptor that
// another part of the program has opened since (the event loop's own): a
// camera switched off is found out here first, without it.
bool NetworkCameraAnswers(const std::string& port, int timeoutMs);

}  // namespace zentrivo
