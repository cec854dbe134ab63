#pragma once

namespace zentrivo {

// Opens /dev/null on any of descriptors 0, 1 and 2 that is closed, once.
//
// A program started with a standard stream closed hands that number to the
// next file it opens (the event loop's wake-up, a socket), and libgphoto2
// takes descriptor 0 for a socket it has not opened and closes it when a
// camera is let go: whatever of ours holds 0 would be closed under us.
void KeepStandardStreamsTaken();

}  // namespace zentrivo
