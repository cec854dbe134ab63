#include "finished_frames.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "exif_orientation.h"
#include "finish/bare_box.h"
#include "kept_picture.h"
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

// The viewer, the WebP animation and the video are made of RGB frames, so
// a transparent frame is shown there on white; only the stills keep the
// alpha.
RgbImage OnWhite(const RgbaImage& image) {
    RgbImage out(image.width, image.height, Unfilled{});
    for (std::size_t i = 0, j = 0; j < image.pixels.size(); i += 3, j += 4) {
        const int alpha = image.pixels[j + 3];
        if (alpha == 255) {  // all of a frame finished on white
            std::copy_n(&image.pixels[j], 3, &out.pixels[i]);
            continue;
        }
        for (int c = 0; c < 3; ++c) {
            out.pixels[i + c] = static_cast<std::uint8_t>(
                (image.pixels[j + c] * alpha + 255 * (255 - alpha) + 127) / 255);
        }
    }
    return out;
}

// The least part of `picture`, placed at (left, top), outside which it is
// bare: all that is worth keeping of a frame's finished part. On white,
// its alpha is all 255 and is not kept.
KeptPicture Trimmed(const RgbaImage& picture, int left, int top, bool transparent) {
    const PixelRect box = NotBareBox(picture.pixels.data(), picture.stride(), picture.width,
                                     picture.height, 4, transparent ? 0 : 255);
    KeptPicture kept;
    kept.channels = transparent ? 4 : 3;
    if (box.empty()) {
        return kept;
    }
    kept.left = left + box.left;
    kept.top = top + box.top;
    kept.width = box.width;
    kept.height = box.height;
    kept.pixels = PictureBytes(kept.stride() * static_cast<std::size_t>(kept.height));
    for (int y = 0; y < kept.height; ++y) {
        const std::uint8_t* from =
            picture.row(box.top + y) + 4 * static_cast<std::size_t>(box.left);
        std::uint8_t* to = kept.pixels.data() + kept.stride() * static_cast<std::size_t>(y);
        if (transparent) {
            std::copy_n(from, kept.stride(), to);
            continue;
        }
        for (int x = 0; x < kept.width; ++x, from += 4, to += 3) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
    return kept;
}

// `region` of a frame, bare but for what `kept` holds of it; `Picture` has
// as many bytes a pixel as `kept`.
template <class Picture>
Picture Placed(const KeptPicture& kept, const PixelRect& region, std::uint8_t bare) {
    Picture out(region.width, region.height, Unfilled{});
    std::fill(out.pixels.begin(), out.pixels.end(), bare);
    const auto channels = static_cast<std::size_t>(kept.channels);
    const int left = std::max(kept.left, region.left);
    const int right = std::min(kept.left + kept.width, region.left + region.width);
    const int top = std::max(kept.top, region.top);
    const int bottom = std::min(kept.top + kept.height, region.top + region.height);
    for (int y = top; y < bottom; ++y) {
        const std::uint8_t* from =
            kept.row(y - kept.top) + channels * static_cast<std::size_t>(left - kept.left);
        std::copy_n(
            from, channels * static_cast<std::size_t>(std::max(0, right - left)),
            out.row(y - region.top) + channels * static_cast<std::size_t>(left - region.left));
    }
    return out;
}

}  // namespace

FrameFinisher::FrameFinisher(const SpinRequest& request, std::size_t frames, JpegSize shape)
    : request_(request),
      checks_(frames),
      boxes_(frames),
      withShadow_(frames),
      prepared_(std::async(std::launch::async, PrepareFinishing)) {
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
    checks_[index] = {finished.hasProduct, finished.touchesEdge, finished.productArea};
    boxes_[index] = finished.box;
    withShadow_[index] = finished.withShadow;
}

fs::path FrameFinisher::KeptPath(std::size_t index) const {
    return kept_ / (std::to_string(index + 1) + ".part");
}

void FrameFinisher::SurveyAndFinish(std::size_t index, const RgbImage& frame) {
    // `frame` is as the decoder gave it, at least the working size. It is
    // decided as a frame read at the survey's size would be, and only the
    // part that holds the product is made the working size and finished.
    const FrameDecisions decisions =
        DecideFrameAt(frame, decided_.width, decided_.height, survey_.width, PlateAt(plate_),
                      !request_.finish.dropShadow);
    const FrameRegion where = DecidedPart(decisions, work_.width, work_.height);
    KeptPicture kept;
    if (where.empty()) {
        Record(index, {});
    } else {
        const RgbImage part =
            ResizePartByArea(frame, 0, 0, {frame.width, frame.height}, work_, where);
        const FinishedFrame finished = FinishDecided(part, where, work_.width, work_.height,
                                                     PlateAt(plate_), decisions, Options());
        Record(index, finished);
        kept = Trimmed(finished.image, where.left, where.top, Options().transparent);
    }
    WriteKeptPicture(kept, KeptPath(index));
}

RgbImage FrameFinisher::Survey(std::size_t index, RgbImage frame) {
    if (FinishesInSurvey()) {
        SurveyAndFinish(index, frame);
        return {};
    }
    // Framing alone: only where the product is.
    FinishedFrame found;
    DecideFrame(frame, PlateAt(plate_), !request_.finish.dropShadow, &found,
                std::max(decided_.width, decided_.height));
    Record(index, found);
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
    if (request_.finish.background == SpinFinish::Background::kAsShot) {
        if (!NeedsSurvey()) {
            return Delivered(index, frame, stills);
        }
        // Framed only: the survey found the product.
        return Delivered(index, ApplyFraming(frame, WithinRegion(framing_, FramedPart())), stills);
    }
    FinishedFrame finished = FinishFrame(frame, PlateAt(plate_), Options());
    Record(index, finished);
    return Delivered(index, finished.image, stills);
}

RgbImage FrameFinisher::FinishKept(std::size_t index, const fs::path& stills) {
    const fs::path path = KeptPath(index);
    KeptPicture kept = ReadKeptPicture(path);
    std::error_code ignored;  // the folder goes at the end in any case
    fs::remove(path, ignored);
    const bool transparent = request_.finish.background == SpinFinish::Background::kTransparent;
    FrameRegion region = FramedPart();
    if (region.empty()) {
        region = {0, 0, work_.width, work_.height};
    }
    const SpinFraming framing = WithinRegion(framing_, region);
    if (transparent) {
        return Delivered(index, ApplyFraming(Placed<RgbaImage>(kept, region, 0), framing, true),
                         stills);
    }
    if (framing_.scale >= 1 && kept.width > 0) {
        // Enlarged, the crop reads only the region, and what it reads
        // beyond the kept part is white whether it was placed there or not:
        // the part is framed as it was kept.
        RgbImage part;
        part.width = kept.width;
        part.height = kept.height;
        part.pixels = std::move(kept.pixels);
        return Delivered(index,
                         ApplyFraming(part, WithinRegion(framing_, {kept.left, kept.top, kept.width,
                                                                    kept.height})),
                         stills);
    }
    return Delivered(index, ApplyFraming(Placed<RgbImage>(kept, region, 255), framing), stills);
}

RgbImage FrameFinisher::Delivered(std::size_t index, const RgbaImage& picture,
                                  const fs::path& stills) const {
    if (request_.finish.background != SpinFinish::Background::kTransparent) {
        return Delivered(index, OnWhite(picture), stills);
    }
    if (!stills.empty()) {
        WritePng(picture, stills / (std::to_string(index + 1) + ".png"));
    }
    return OnWhite(picture);
}

RgbImage FrameFinisher::Delivered(std::size_t index, RgbImage onWhite,
                                  const fs::path& stills) const {
    if (!stills.empty()) {
        WriteJpeg(onWhite, stills / (std::to_string(index + 1) + ".jpg"), kStillQuality,
                  JpegColour::kEveryPixel);
    }
    return onWhite;
}

std::vector<std::string> FrameFinisher::Doubts(const std::vector<fs::path>& photos) const {
    return FrameDoubts(checks_, photos);
}

}  // namespace zentrivo
