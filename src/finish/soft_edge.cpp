#include "soft_edge.h"

#include <algorithm>

#include <opencv2/imgproc.hpp>

#include "gaussian_blur.h"
#include "normalised_blur.h"

namespace zentrivo {
namespace {

// The edge is a thin line through a large picture: it is read in tiles,
// and only in those it crosses. Each tile is read with as much of the
// picture around it as its filters reach (a blur of ten pixels, an erosion
// of four), so it comes out as if the whole were read.
constexpr int kTile = 64;
constexpr int kTileHalo = 10;

// The width, in pixels, of the neighbourhood whose sure colours are mixed.
constexpr double kNeighbourhood = 2.5;
// Shares this close to none or all are the lens's blur and JPEG's ringing
// spilling a hard edge onto its neighbours, not product: they would leave a
// faint halo on the white. The stretch keeps the half-way point, so the
// edge does not move; it only gets as crisp as the product's own.
constexpr float kHaze = 0.3f;

cv::Mat Grown(const cv::Mat& mask, int by) {
    cv::Mat out;
    cv::dilate(mask, out, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)), {-1, -1}, by);
    return out;
}

cv::Mat Shrunk(const cv::Mat& mask, int by) {
    cv::Mat out;
    cv::erode(mask, out, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)), {-1, -1}, by,
              cv::BORDER_CONSTANT, cv::Scalar(255));
    return out;
}

struct LocalColour {
    cv::Mat colour;  // CV_32FC3: the mean colour of the sure pixels nearby
    cv::Mat weight;  // CV_32F: how much sure colour was found nearby
};

LocalColour NearbyColour(const cv::Mat& frame, const cv::Mat& sure) {
    LocalColour local;
    local.colour = NormalisedBlur(frame, sure, kNeighbourhood, &local.weight);
    return local;
}

// How much of `pixel` is the product's colour `f`, the rest being the
// backdrop's `b`. Where the two differ in hue the backdrop may also be
// darker than `b` by any amount (the contact shadow right at the product's
// foot, which the nearby backdrop shows less deep): the pixel is then taken
// as share * f + rest * b with the rest free. Otherwise it is the place of
// the pixel on the line from b to f.
float ProductShare(const cv::Vec3f& pixel, const cv::Vec3f& f, const cv::Vec3f& b) {
    const double ff = f.dot(f);
    const double fb = f.dot(b);
    const double bb = b.dot(b);
    const double determinant = ff * bb - fb * fb;
    // determinant / (ff * bb) is one minus the squared cosine of the angle
    // between the colours: near zero, the two say the same and the free
    // darkening would swallow the share.
    if (determinant > 0.15 * ff * bb) {
        return static_cast<float>((bb * pixel.dot(f) - fb * pixel.dot(b)) / determinant);
    }
    const cv::Vec3f line = f - b;
    return (pixel - b).dot(line) / line.dot(line);
}

// Per channel the least of the (lightly smoothed) backdrop pixels within
// four pixels; where there are none, the frame itself.
cv::Mat DarkestNearby(const cv::Mat& frame, const cv::Mat& outside) {
    cv::Mat smooth;
    GaussianSmooth(frame, smooth, 1.0);
    cv::Mat onlyOutside(frame.size(), CV_32FC3, cv::Scalar::all(1e6));
    smooth.copyTo(onlyOutside, outside);
    cv::Mat darkest;
    cv::erode(onlyOutside, darkest, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(9, 9)));
    smooth.copyTo(darkest, darkest > 1e5);
    return darkest;
}

// The backdrop seen nearby is clearly darker than the bare backdrop.
bool InShadow(const cv::Vec3f& seen, const cv::Vec3f& bare) {
    return seen[0] + seen[1] + seen[2] < 0.95f * (bare[0] + bare[1] + bare[2]);
}

}  // namespace

cv::Mat EdgeBand(const cv::Mat& mask) {
    cv::Mat band;
    cv::bitwise_not(Shrunk(mask, kEdgeBandReach), band);
    return band & Grown(mask, kEdgeBandReach);
}

std::vector<cv::Rect> BandParts(const cv::Mat& band, int side) {
    std::vector<cv::Rect> parts;
    const cv::Rect whole(cv::Point(), band.size());
    for (int top = 0; top < band.rows; top += side) {
        for (int left = 0; left < band.cols; left += side) {
            const cv::Rect square = cv::Rect(left, top, side, side) & whole;
            const cv::Rect part = cv::boundingRect(band(square)) + square.tl();
            if (!part.empty()) {
                parts.push_back(part);
            }
        }
    }
    return parts;
}

namespace {

// RefineEdge over the whole of its arguments, views of the same size; only
// the pixels of `inner` are written into `edge`, whose alpha is `inner`'s
// view and whose colours are placed `offset` from the arguments'.
void RefineEdgeAll(const cv::Mat& frame, const cv::Mat& mask, const cv::Mat& bare,
                   const cv::Mat& backdrop, const cv::Rect& inner, const cv::Point& offset,
                   SoftEdge& edge) {
    const cv::Mat inside = Shrunk(mask, kEdgeBandReach);
    cv::Mat outside;
    cv::bitwise_not(Grown(mask, kEdgeBandReach), outside);
    const LocalColour product = NearbyColour(frame, inside);
    const LocalColour nearby = NearbyColour(frame, outside);
    cv::Mat darkest;  // made when a pixel first needs it: most tiles have no shadow

    for (int y = inner.y; y < inner.y + inner.height; ++y) {
        for (int x = inner.x; x < inner.x + inner.width; ++x) {
            if (inside.at<std::uint8_t>(y, x) || outside.at<std::uint8_t>(y, x)) {
                continue;
            }
            // Too little of either side nearby (a thin part, a narrow gap):
            // the hard mask stands.
            if (product.weight.at<float>(y, x) < 0.02f || nearby.weight.at<float>(y, x) < 0.02f) {
                continue;
            }
            float& alpha = edge.alpha.at<float>(y - inner.y, x - inner.x);
            cv::Vec3f b = nearby.colour.at<cv::Vec3f>(y, x);
            if (InShadow(b, backdrop.at<cv::Vec3f>(y, x))) {
                if (bare.at<std::uint8_t>(y, x)) {
                    alpha = 0;
                    continue;
                }
                // The shadow is deepest right at the foot: the darkest
                // backdrop nearby is nearer the truth there than the mean.
                if (darkest.empty()) {
                    darkest = DarkestNearby(frame, outside);
                }
                b = darkest.at<cv::Vec3f>(y, x);
            }
            const cv::Vec3f f = product.colour.at<cv::Vec3f>(y, x);
            const cv::Vec3f line = f - b;
            // Product and backdrop too alike for the line to say anything.
            if (line.dot(line) < 36) {
                continue;
            }
            const float share = ProductShare(frame.at<cv::Vec3f>(y, x), f, b);
            alpha = std::clamp((share - kHaze) / (1 - 2 * kHaze), 0.0f, 1.0f);
            edge.colours.emplace_back(cv::Point(x, y) + offset, f);
        }
    }
}

}  // namespace

void RefineEdge(const cv::Mat& frame, const cv::Mat& mask, const cv::Mat& bare,
                const cv::Mat& backdrop, SoftEdge& edge) {
    const cv::Mat band = EdgeBand(mask);
    const cv::Rect whole(cv::Point(), frame.size());
    for (const cv::Rect& tile : BandParts(band, kTile)) {
        const cv::Rect read =
            (tile + cv::Size(2 * kTileHalo, 2 * kTileHalo) - cv::Point(kTileHalo, kTileHalo)) &
            whole;
        SoftEdge into{edge.alpha(tile), {}};
        RefineEdgeAll(frame(read), mask(read), bare(read), backdrop(read), tile - read.tl(),
                      read.tl(), into);
        edge.colours.insert(edge.colours.end(), into.colours.begin(), into.colours.end());
    }
}

}  // namespace zentrivo
