#include "spin_request.h"

#include <sstream>

namespace zentrivo {

std::string CheckSpinRequest(const SpinRequest& request) {
    std::ostringstream why;
    if (request.source.empty()) {
        why << "Choose the folder that holds the photos.";
    } else if (request.target.empty()) {
        why << "Choose the folder to export into.";
    } else if (!request.formats.html && !request.formats.webp && !request.formats.mp4) {
        why << "Choose at least one format: HTML viewer, WebP or MP4.";
    } else if (request.longEdge < kSmallestLongEdge || request.longEdge > kLargestLongEdge) {
        why << "The long edge must be from " << kSmallestLongEdge << " to " << kLargestLongEdge
            << " pixels.";
    } else if (request.turnMilliseconds < kShortestTurnMilliseconds ||
               request.turnMilliseconds > kLongestTurnMilliseconds) {
        why << "One turn must take from " << kShortestTurnMilliseconds / 1000.0 << " to "
            << kLongestTurnMilliseconds / 1000 << " seconds.";
    } else if (request.frames.kind == FrameChoice::Kind::kEvery && request.frames.every < 1) {
        why << "Take every photo, or every 2nd, 3rd, ... photo.";
    } else if (request.frames.kind == FrameChoice::Kind::kCount && request.frames.count < 1) {
        why << "The number of frames must be at least 1.";
    }
    return why.str();
}

bool ParseSpinFormats(const std::string& list, SpinFormats& formats) {
    SpinFormats chosen{false, false, false};
    std::istringstream names(list);
    std::string name;
    bool any = false;
    while (std::getline(names, name, ',')) {
        if (name == "html") {
            chosen.html = true;
        } else if (name == "webp") {
            chosen.webp = true;
        } else if (name == "mp4") {
            chosen.mp4 = true;
        } else {
            return false;
        }
        any = true;
    }
    if (!any) {
        return false;
    }
    formats = chosen;
    return true;
}

}  // namespace zentrivo
