#include "spin_request.h"

#include <sstream>
#include <utility>

namespace zentrivo {

namespace {

std::string CheckFinish(const SpinFinish& finish) {
#ifndef ZENTRIVO_FINISH
    const SpinFinish asShot;
    if (finish.Any() || finish.dropShadow || finish.stills || !finish.plate.empty() ||
        finish.fillPercent != asShot.fillPercent) {
        return "Finishing (background, shadow, framing) is not part of this build.";
    }
#endif
    if (finish.fillPercent < 1 || finish.fillPercent > 100) {
        return "The product must fill from 1 to 100 % of a framed frame.";
    }
    if (finish.dropShadow && finish.background == SpinFinish::Background::kAsShot) {
        return "The shadow can be dropped only on a white or transparent background.";
    }
    if ((finish.stills || !finish.plate.empty()) && !finish.Any()) {
        return "Stills and a plate are for finished frames: choose a white or transparent "
               "background, or spin framing.";
    }
    return {};
}

}  // namespace

bool FinishingBuilt() {
#ifdef ZENTRIVO_FINISH
    return true;
#else
    return false;
#endif
}

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
    } else {
        why << CheckFinish(request.finish);
    }
    return why.str();
}

bool ParseBackground(const std::string& word, SpinFinish::Background& background) {
    using B = SpinFinish::Background;
    for (const auto& [name, value] : {std::pair{"as-shot", B::kAsShot},
                                      {"white", B::kWhite},
                                      {"transparent", B::kTransparent}}) {
        if (word == name) {
            background = value;
            return true;
        }
    }
    return false;
}

bool ParseShadow(const std::string& word, bool& dropShadow) {
    if (word != "keep" && word != "drop") {
        return false;
    }
    dropShadow = word == "drop";
    return true;
}

bool ParseFraming(const std::string& word, SpinFinish::Framing& framing) {
    if (word != "as-shot" && word != "spin") {
        return false;
    }
    framing = word == "spin" ? SpinFinish::Framing::kSpin : SpinFinish::Framing::kAsShot;
    return true;
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
