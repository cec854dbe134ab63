#include "core/photos/copied_positions.h"

#include <algorithm>

#include "core/photos/photo_arrival.h"

namespace zentrivo {

namespace {

// `frames` less those of `notCopied`, over `positions` positions.
std::vector<std::string> CopiedOf(std::vector<std::string> frames, std::size_t positions,
                                  const std::vector<std::string>& notCopied) {
    frames.resize(std::max(positions, frames.size()));
    for (std::string& frame : frames) {
        if (std::find(notCopied.begin(), notCopied.end(), frame) != notCopied.end()) {
            frame.clear();
        }
    }
    return frames;
}

}  // namespace

void CopiedPositions::Made(int exposed, int planned, const std::vector<std::string>& frames,
                           const std::vector<std::string>& notCopied) {
    planned_ = planned;
    copied_ = CopiedOf(frames, static_cast<std::size_t>(std::max(exposed, 0)), notCopied);
}

bool CopiedPositions::LeftOut() const {
    return std::any_of(copied_.begin(), copied_.end(),
                       [](const std::string& photo) { return photo.empty(); });
}

std::vector<std::string> CopiedPositions::ToAdd(
    const std::vector<std::string>& frames,
    const std::function<bool(const std::string&)>& ready) const {
    std::vector<std::string> add(copied_.size());
    for (std::size_t i = 0; i < copied_.size(); ++i) {
        const std::string frame = i < frames.size() ? frames[i] : std::string();
        if (copied_[i].empty()) {
            if (!frame.empty() && ready(frame)) {
                add[i] = frame;
            }
        } else if (frame != copied_[i]) {
            return {};
        }
    }
    return add;
}

void CopiedPositions::Added(const std::vector<std::string>& added,
                            const std::vector<std::string>& notCopied) {
    const std::vector<std::string> copied = CopiedOf(added, copied_.size(), notCopied);
    for (std::size_t i = 0; i < copied_.size(); ++i) {
        if (copied_[i].empty()) {
            copied_[i] = copied[i];
        }
    }
}

std::vector<std::string> CopiedPositions::MissingLines() const {
    return MissingFrameLines(copied_, static_cast<int>(copied_.size()), planned_);
}

}  // namespace zentrivo
