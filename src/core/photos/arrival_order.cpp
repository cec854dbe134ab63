#include "core/photos/arrival_order.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "core/photos/photo_listing.h"

namespace zentrivo {

namespace {

// As many photos placed as can be, then as near the camera's usual delay
// as can be in all.
struct Score {
    int placed = 0;
    std::int64_t off = 0;
    bool operator<(const Score& other) const {  // worse than
        return placed != other.placed ? placed < other.placed : off > other.off;
    }
};

enum class Step : unsigned char { Aside, Empty, Placed };

// The camera's usual delay: the shortest one of the photos taken in order
// with none missing. A photo missing only makes the later ones look later,
// never sooner, so the shortest is that of a photo in its own place.
std::int64_t UsualDelay(const std::vector<SeenPhoto>& seen,
                        const std::vector<std::int64_t>& exposedMs) {
    std::int64_t usual = std::numeric_limits<std::int64_t>::max();
    for (std::size_t i = 0; i < seen.size() && i < exposedMs.size(); ++i) {
        if (static_cast<int>(i) < seen[i].window) {
            usual = std::min(usual, seen[i].seenMs - exposedMs[i]);
        }
    }
    return usual == std::numeric_limits<std::int64_t>::max() ? 0 : usual;
}

}  // namespace

FramePlan PlanFrames(std::vector<SeenPhoto> seen, const std::vector<std::int64_t>& exposedMs) {
    std::stable_sort(seen.begin(), seen.end(), [](const SeenPhoto& a, const SeenPhoto& b) {
        return PhotoNameBefore(a.name, b.name);
    });
    const std::int64_t usual = UsualDelay(seen, exposedMs);
    const std::size_t m = seen.size();
    const std::size_t n = exposedMs.size();
    // best[i][p]: the first i photos over positions 1..p. On a tie the
    // earlier photo keeps its position: a first shot stored late serves as
    // well as a second file of the same exposure.
    std::vector<std::vector<Score>> best(m + 1, std::vector<Score>(n + 1));
    std::vector<std::vector<Step>> step(m + 1, std::vector<Step>(n + 1, Step::Aside));
    for (std::size_t i = 1; i <= m; ++i) {
        const SeenPhoto& photo = seen[i - 1];
        for (std::size_t p = 1; p <= n; ++p) {
            best[i][p] = best[i - 1][p];
            step[i][p] = Step::Aside;
            if (best[i][p] < best[i][p - 1]) {
                best[i][p] = best[i][p - 1];
                step[i][p] = Step::Empty;
            }
            if (static_cast<int>(p) <= photo.window) {
                Score placed = best[i - 1][p - 1];
                const std::int64_t delay = photo.seenMs - exposedMs[p - 1];
                const std::int64_t off = delay > usual ? delay - usual : usual - delay;
                ++placed.placed;
                placed.off += off;
                if (best[i][p] < placed) {
                    best[i][p] = placed;
                    step[i][p] = Step::Placed;
                }
            }
        }
    }
    FramePlan plan;
    plan.frames.assign(n, std::string());
    std::size_t i = m;
    std::size_t p = n;
    while (i > 0) {
        if (p == 0 || step[i][p] == Step::Aside) {
            plan.aside.push_back(seen[i - 1].name);
            --i;
        } else if (step[i][p] == Step::Empty) {
            --p;
        } else {
            plan.frames[p - 1] = seen[i - 1].name;
            --i;
            --p;
        }
    }
    std::reverse(plan.aside.begin(), plan.aside.end());
    while (!plan.frames.empty() && plan.frames.back().empty()) {
        plan.frames.pop_back();
    }
    return plan;
}

int FailedPosition(const std::string& name, int window, const std::vector<std::string>& frames) {
    // The positions between the last photo named before it and the first
    // named after it.
    int low = 1;
    int high = window;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const int position = static_cast<int>(i) + 1;
        if (frames[i].empty()) {
            continue;
        }
        if (PhotoNameBefore(frames[i], name)) {
            low = std::max(low, position + 1);
        } else {
            high = std::min(high, position - 1);
        }
    }
    if (low != high) {
        return 0;
    }
    const bool empty = static_cast<std::size_t>(low) > frames.size() ||
                       frames[static_cast<std::size_t>(low) - 1].empty();
    return empty ? low : 0;
}

}  // namespace zentrivo
