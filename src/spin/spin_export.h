#pragma once

#include "spin_request.h"

namespace zentrivo {

// Exports the source's photos as a 360-degree view in the chosen formats:
// in the target folder, index.html, spin.js and frames/1.jpg ... for the
// viewer, spin.webp and spin.mp4. The photos are read at reduced size and
// resized on every core; the WebP and the video take the frames in order
// meanwhile. Nothing is shown: `progress` hears of each frame and may stop
// the export. Either every chosen file is in place, or none is new.
SpinResult ExportSpin(const SpinRequest& request, const SpinProgressFunction& progress = {});

}  // namespace zentrivo
