#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zentrivo {

// What finishing found in one frame of a turn.
struct FrameCheck {
    bool hasProduct = false;
    bool touchesEdge = false;
    double area = 0;  // the product's mask, in pixels
};

// A turn's product changes little from one frame to the next: a mask much
// larger or smaller than its neighbours' is a cut that went wrong (a
// shadow taken for product, a part lost to the backdrop).
constexpr double kAreaShareFromNeighbours = 0.25;

// One line for each frame whose product looks wrong, in frame order:
// "Frame 3 (3.jpg) looks wrong: the product touches the frame's edge."
std::vector<std::string> FrameDoubts(const std::vector<FrameCheck>& checks,
                                     const std::vector<std::filesystem::path>& photos);

}  // namespace zentrivo
