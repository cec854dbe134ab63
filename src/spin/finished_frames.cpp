#include "finished_frames.h"

#include <algorithm>
#include <cmath>

#include "exif_orientation.h"
#include "png_file.h"

namespace zentrivo {

namespace fs = std::filesystem;

namespace {

constexpr int kStillQuality = 92;
// The survey reads the frames at no more than this long edge (a quarter of
// a 24-megapixel photo: the decoder's own scale, no resize), or half the
// working size if that is larger; the product's box is read there, off by a
// fraction of a working pixel at most. What is product and shadow, smooth
// things, is decided at half that size, in a quarter of the time; only the
// edge is read again at the working size.
constexpr int kSurveyLongEdge = 1500;
constexpr int kDecidedLongEdge = kSurveyLongEdge / 2;

ProductBox Scaled(const ProductBox& box, double x, double y) {
    return {box.left * x, box.top * y, box.right * x, box.bottom * y};
}

RgbaImage Opaque(const RgbImage& frame) {
    RgbaImage out(frame.width, frame.height);
    for (std::size_t i = 0, j = 0; i < frame.pixels.size(); i += 3, j += 4) {
        std::copy_n(&frame.pixels[i], 3, &out.pixels[j]);
        out.pixels[j + 3] = 255;
    }
    return out;
}

// The viewer, the WebP animation and the video are made of RGB frames, so
// a transparent frame is shown there on white; only the stills keep the
// alpha.
RgbImage OnWhite(const RgbaImage& image) {
    RgbImage out(image.width, image.height);
    for (std::size_t i = 0, j = 0; j < image.pixels.size(); i += 3, j += 4) {
        const int alpha = image.pixels[j + 3];
        for (int c = 0; c < 3; ++c) {
            out.pixels[i + c] = static_cast<std::uint8_t>(
                (image.pixels[j + c] * alpha + 255 * (255 - alpha) + 127) / 255);
        }
    }
    return out;
}

double MaskArea(const std::vector<std::uint8_t>& product) {
    double sum = 0;
    for (const std::uint8_t p : product) {
        sum += p;
    }
    return sum / 255;
}

}  // namespace

FrameFinisher::FrameFinisher(const SpinRequest& request, std::size_t frames, JpegSize shape)
    : request_(request), checks_(frames), boxes_(frames), withShadow_(frames), decisions_(frames) {
    const int width = shape.UprightWidth();
    const int height = shape.UprightHeight();
    if (NeedsSurvey()) {
        // Square, the long edge on a side; read at twice that, as far as the
        // photos go, so the crop around the product is still sharp.
        output_ = {request.longEdge, request.longEdge};
        work_ = FitLongEdge(width, height, std::min(2 * request.longEdge, kLargestLongEdge));
    } else {
        output_ = FitLongEdge(width, height, request.longEdge);
        work_ = output_;
    }
    const int workLongEdge = std::max(work_.width, work_.height);
    survey_ = FitLongEdge(work_.width, work_.height,
                          std::max(workLongEdge / 2, std::min(workLongEdge, kSurveyLongEdge)));
    const int surveyLongEdge = std::max(survey_.width, survey_.height);
    decided_ =
        FitLongEdge(survey_.width, survey_.height,
                    std::max(surveyLongEdge / 2, std::min(surveyLongEdge, kDecidedLongEdge)));
    if (request.finish.plate.empty()) {
        return;
    }
    JpegSize stored;
    const RgbImage decoded =
        DecodeJpegAtLeast(request.finish.plate, std::max(work_.width, work_.height), &stored);
    const double wanted = static_cast<double>(width) / height;
    const double found = static_cast<double>(stored.UprightWidth()) / stored.UprightHeight();
    if (std::abs(found - wanted) > 0.01 * wanted) {
        throw ImageFileError("The plate \"" + request.finish.plate.filename().string() +
                             "\" is not the shape of the photos of the turn.");
    }
    const bool swap = SwapsSides(stored.orientation);
    plate_ = Upright(
        ResizeByArea(decoded, swap ? work_.height : work_.width, swap ? work_.width : work_.height),
        stored.orientation);
    if (NeedsSurvey()) {
        // A spin's frames are decided at one size, and the plate's part in
        // that, and in finishing them, is made from it there once.
        plate_ = ResizeByArea(plate_, decided_.width, decided_.height);
    }
}

FinishOptions FrameFinisher::Options() const {
    FinishOptions options;
    options.keepShadow = !request_.finish.dropShadow;
    options.transparent = request_.finish.background == SpinFinish::Background::kTransparent;
    return options;
}

const RgbImage* FrameFinisher::PlateAt(const RgbImage& plate) {
    return plate.pixels.empty() ? nullptr : &plate;
}

void FrameFinisher::Record(std::size_t index, const FinishedFrame& finished) {
    checks_[index] = {finished.hasProduct, finished.touchesEdge, MaskArea(finished.product)};
    boxes_[index] = finished.box;
    withShadow_[index] = finished.withShadow;
}

RgbImage FrameFinisher::Survey(std::size_t index, RgbImage frame) {
    // What is product and shadow is decided here, once, and kept for the
    // second pass, which then only reads the edge at the working size.
    const bool finishing = request_.finish.background != SpinFinish::Background::kAsShot;
    FinishedFrame found;
    FrameDecisions decisions = DecideFrame(frame, PlateAt(plate_), !request_.finish.dropShadow,
                                           &found, std::max(decided_.width, decided_.height));
    Record(index, found);
    if (finishing) {
        decisions_[index] = std::move(decisions);
    }
    const double x = static_cast<double>(work_.width) / survey_.width;
    const double y = static_cast<double>(work_.height) / survey_.height;
    boxes_[index] = Scaled(boxes_[index], x, y);
    withShadow_[index] = Scaled(withShadow_[index], x, y);
    return {};
}

void FrameFinisher::PlanFraming() {
    std::vector<ProductBox> found;
    std::vector<ProductBox> whole;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (checks_[i].hasProduct) {
            found.push_back(boxes_[i]);
            whole.push_back(withShadow_[i]);
        }
    }
    FramingOptions options;
    options.fill = request_.finish.fillPercent / 100.0;
    options.width = output_.width;
    options.height = output_.height;
    framing_ = PlanSpinFraming(found, whole, work_.width, work_.height, options);
}

PixelRect FrameFinisher::FramedPart() const {
    if (!NeedsSurvey()) {
        return {};
    }
    return FramedRegion(framing_, work_.width, work_.height);
}

RgbImage FrameFinisher::Finish(std::size_t index, const RgbImage& frame, const fs::path& stills) {
    const bool transparent = request_.finish.background == SpinFinish::Background::kTransparent;
    const FrameRegion region = FramedPart();
    RgbaImage picture;
    if (request_.finish.background == SpinFinish::Background::kAsShot) {
        picture = Opaque(frame);
        if (NeedsSurvey()) {
            // Framed only: the survey found the product.
            picture = ApplyFraming(picture, WithinRegion(framing_, region), transparent);
        }
    } else if (NeedsSurvey()) {
        // Only what the crop shows is finished; the survey's checks of the
        // whole frame stand.
        const FrameDecisions decisions = std::move(decisions_[index]);
        const FinishedFrame finished = FinishDecided(frame, region, work_.width, work_.height,
                                                     PlateAt(plate_), decisions, Options());
        picture = ApplyFraming(finished.image, WithinRegion(framing_, region), transparent);
    } else {
        FinishedFrame finished = FinishFrame(frame, PlateAt(plate_), Options());
        Record(index, finished);
        picture = std::move(finished.image);
    }
    RgbImage onWhite = OnWhite(picture);
    if (!stills.empty()) {
        const std::string name = std::to_string(index + 1);
        if (transparent) {
            WritePng(picture, stills / (name + ".png"));
        } else {
            WriteJpeg(onWhite, stills / (name + ".jpg"), kStillQuality);
        }
    }
    return onWhite;
}

std::vector<std::string> FrameFinisher::Doubts(const std::vector<fs::path>& photos) const {
    return FrameDoubts(checks_, photos);
}

}  // namespace zentrivo
