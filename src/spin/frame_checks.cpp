#include "frame_checks.h"

#include <cmath>
#include <cstdio>

namespace zentrivo {

namespace {

std::string AreaDoubt(const std::vector<FrameCheck>& checks, std::size_t i) {
    const std::size_t n = checks.size();
    // The turn is a loop: the last frame's neighbour is the first.
    const FrameCheck& before = checks[(i + n - 1) % n];
    const FrameCheck& after = checks[(i + 1) % n];
    if (n < 3 || !before.hasProduct || !after.hasProduct) {
        return {};
    }
    const double neighbours = (before.area + after.area) / 2;
    if (neighbours <= 0) {
        return {};
    }
    const double share = (checks[i].area - neighbours) / neighbours;
    if (std::abs(share) <= kAreaShareFromNeighbours) {
        return {};
    }
    char percent[16];
    std::snprintf(percent, sizeof percent, "%.0f", std::abs(share) * 100);
    return std::string("the product is ") + percent + " % " + (share > 0 ? "larger" : "smaller") +
           " than in the frames beside it.";
}

}  // namespace

std::vector<std::string> FrameDoubts(const std::vector<FrameCheck>& checks,
                                     const std::vector<std::filesystem::path>& photos) {
    std::vector<std::string> doubts;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        std::string why;
        if (!checks[i].hasProduct) {
            why = "no product was found.";
        } else if (checks[i].touchesEdge) {
            why = "the product touches the frame's edge.";
        } else {
            why = AreaDoubt(checks, i);
        }
        if (!why.empty()) {
            const std::string photo = i < photos.size() ? photos[i].filename().string() : "";
            doubts.push_back("Frame " + std::to_string(i + 1) + " (" + photo +
                             ") looks wrong: " + why);
        }
    }
    return doubts;
}

}  // namespace zentrivo
