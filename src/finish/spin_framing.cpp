#include "spin_framing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <opencv2/imgproc.hpp>

#include "image_mats.h"
#include "scaled_warp.h"

namespace zentrivo {
namespace {

// Colour times alpha, so that blending neighbours while scaling does not
// pull in the colour of pixels that are not there.
void Premultiply(cv::Mat& rgba, bool undo) {
    for (int y = 0; y < rgba.rows; ++y) {
        for (int x = 0; x < rgba.cols; ++x) {
            cv::Vec4f& p = rgba.at<cv::Vec4f>(y, x);
            const float factor = undo ? (p[3] > 0 ? 1 / p[3] : 0) : p[3];
            for (int c = 0; c < 3; ++c) {
                p[c] = std::min(p[c] * factor, 255.0f);
            }
        }
    }
}

ProductBox Union(const std::vector<ProductBox>& boxes, ProductBox all) {
    for (const ProductBox& box : boxes) {
        all.left = std::min(all.left, box.left);
        all.top = std::min(all.top, box.top);
        all.right = std::max(all.right, box.right);
        all.bottom = std::max(all.bottom, box.bottom);
    }
    return all;
}

// Half the output's side less the margin kept round a kept shadow and its
// product: 16 px, so that a JPEG's outermost blocks (16 px for its colour,
// counted from the top left, so at most 16 from any edge) hold nothing but
// white and do not ring, or 1 % of a large output.
double Room(int side) {
    const double margin = std::max(16.0, 0.01 * side);
    return std::max(side / 2.0 - margin, side / 4.0);
}

}  // namespace

SpinFraming PlanSpinFraming(const std::vector<ProductBox>& boxes, int frameWidth, int frameHeight,
                            const FramingOptions& options) {
    return PlanSpinFraming(boxes, boxes, frameWidth, frameHeight, options);
}

SpinFraming PlanSpinFraming(const std::vector<ProductBox>& boxes,
                            const std::vector<ProductBox>& whole, int frameWidth, int frameHeight,
                            const FramingOptions& options) {
    SpinFraming framing;
    framing.width = options.width;
    framing.height = options.height;
    if (boxes.empty()) {
        framing.centreX = frameWidth / 2.0;
        framing.centreY = frameHeight / 2.0;
        framing.scale = std::min(static_cast<double>(options.width) / frameWidth,
                                 static_cast<double>(options.height) / frameHeight);
        return framing;
    }
    const ProductBox all = Union(boxes, boxes.front());
    const ProductBox kept = Union(whole, all);
    framing.anyProduct = true;
    framing.centreX = (all.left + all.right) / 2;
    framing.centreY = (kept.top + kept.bottom) / 2;
    // A product of a pixel or less would be blown up without end.
    const double filling = options.fill * std::min(options.width / std::max(all.width(), 1.0),
                                                   options.height / std::max(all.height(), 1.0));
    framing.scale = filling;
    if (kept.left < all.left || kept.top < all.top || kept.right > all.right ||
        kept.bottom > all.bottom) {
        // The shadow's rim spreads by up to a frame pixel more when
        // resampled. A dropped shadow leaves the fill as asked, even 100 %.
        const double reachX =
            std::max(framing.centreX - kept.left, kept.right - framing.centreX) + 1;
        const double reachY = kept.height() / 2 + 1;
        framing.scale =
            std::min({filling, Room(options.width) / reachX, Room(options.height) / reachY});
    }
    return framing;
}

FrameRegion FramedRegion(const SpinFraming& framing, int frameWidth, int frameHeight) {
    if (!framing.anyProduct) {
        return {};
    }
    // An output pixel's centre i + 0.5 shows the frame at
    // (i + 0.5 - width / 2) / scale + centre; shrinking averages 1 / scale
    // pixels around it, and the interpolation one more on either side.
    const double reach = 2 + std::ceil(1 / framing.scale);
    const double halfWidth = framing.width / (2 * framing.scale);
    const double halfHeight = framing.height / (2 * framing.scale);
    const int left = std::max(0, static_cast<int>(std::floor(framing.centreX - halfWidth - reach)));
    const int top = std::max(0, static_cast<int>(std::floor(framing.centreY - halfHeight - reach)));
    const int right =
        std::min(frameWidth, static_cast<int>(std::ceil(framing.centreX + halfWidth + reach)));
    const int bottom =
        std::min(frameHeight, static_cast<int>(std::ceil(framing.centreY + halfHeight + reach)));
    if (right <= left || bottom <= top) {
        return {};
    }
    return {left, top, right - left, bottom - top};
}

SpinFraming WithinRegion(SpinFraming framing, const FrameRegion& region) {
    if (!region.empty()) {
        framing.centreX -= region.left;
        framing.centreY -= region.top;
    }
    return framing;
}

namespace {

// `source` cropped and scaled as `framing` says into `framed`, made unless
// it is already of the output's size and `source`'s type; `beyond` where
// the frame ends.
void Frame(cv::Mat source, const SpinFraming& framing, cv::Mat& framed, const cv::Scalar& beyond) {
    // Coordinates here are continuous, a pixel's centre at index + 0.5: a
    // frame point p lands on (p - centre) * scale + the output's middle.
    double factorX = 1;
    double factorY = 1;
    if (framing.scale < 1) {
        // Shrinking by interpolation alone would alias; average first.
        const int width = std::max(1, static_cast<int>(std::lround(source.cols * framing.scale)));
        const int height = std::max(1, static_cast<int>(std::lround(source.rows * framing.scale)));
        factorX = static_cast<double>(width) / source.cols;
        factorY = static_cast<double>(height) / source.rows;
        cv::Mat shrunk;
        cv::resize(source, shrunk, cv::Size(width, height), 0, 0, cv::INTER_AREA);
        source = shrunk;
    }
    const double scaleX = framing.scale / factorX;
    const double scaleY = framing.scale / factorY;
    const cv::Matx23d toOutput(
        scaleX, 0, (0.5 / factorX - framing.centreX) * framing.scale + framing.width / 2.0 - 0.5, 0,
        scaleY, (0.5 / factorY - framing.centreY) * framing.scale + framing.height / 2.0 - 0.5);
    if (source.depth() == CV_8U) {
        framed.create(framing.height, framing.width, source.type());
        WarpScaled(source, toOutput, framed, cv::saturate_cast<std::uint8_t>(beyond[0]));
        return;
    }
    cv::warpAffine(source, framed, toOutput, cv::Size(framing.width, framing.height),
                   cv::INTER_LINEAR, cv::BORDER_CONSTANT, beyond);
}

// Opaque, every alpha is 255 and premultiplying changes nothing: the bytes
// are scaled as they are, in a fraction of the time. OpenCV's weights on
// bytes sum to one exactly, so white stays 255.
template <class Picture>
Picture FramedBytes(const Picture& finished, const SpinFraming& framing, int type) {
    const cv::Mat source(finished.height, finished.width, type,
                         const_cast<std::uint8_t*>(finished.pixels.data()), finished.stride());
    Picture out(framing.width, framing.height, Unfilled{});
    cv::Mat framed(out.height, out.width, type, out.pixels.data(), out.stride());
    Frame(source, framing, framed, cv::Scalar::all(255));
    return out;
}

}  // namespace

RgbaImage ApplyFraming(const RgbaImage& finished, const SpinFraming& framing, bool transparent) {
    if (!transparent) {
        return FramedBytes(finished, framing, CV_8UC4);
    }
    cv::Mat source = ToFloatMat(finished);
    Premultiply(source, false);
    cv::Mat framed;
    Frame(source, framing, framed, cv::Scalar(0, 0, 0, 0));
    Premultiply(framed, true);
    return ToRgbaImage(framed);
}

RgbImage ApplyFraming(const RgbImage& finished, const SpinFraming& framing) {
    return FramedBytes(finished, framing, CV_8UC3);
}

FinishedSpin FinishSpin(const std::vector<RgbImage>& frames, const RgbImage* plate,
                        const FinishOptions& finish, const FramingOptions& framing) {
    std::vector<FinishedFrame> finished;
    std::vector<ProductBox> boxes;
    std::vector<ProductBox> whole;
    for (const RgbImage& frame : frames) {
        finished.push_back(FinishFrame(frame, plate, finish));
        if (finished.back().hasProduct) {
            boxes.push_back(finished.back().box);
            whole.push_back(finished.back().withShadow);
        }
    }
    FinishedSpin spin;
    if (frames.empty()) {
        return spin;
    }
    spin.framing =
        PlanSpinFraming(boxes, whole, frames.front().width, frames.front().height, framing);
    for (const FinishedFrame& frame : finished) {
        spin.frames.push_back({ApplyFraming(frame.image, spin.framing, finish.transparent),
                               frame.hasProduct, frame.touchesEdge});
    }
    return spin;
}

}  // namespace zentrivo
