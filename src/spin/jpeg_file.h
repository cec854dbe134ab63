#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "exif_orientation.h"
#include "image_resize.h"
#include "rgb_image.h"

namespace zentrivo {

// A photo that could not be read or a frame that could not be written; the
// text names the file.
class ImageFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct JpegSize {
    int width = 0;  // as stored
    int height = 0;
    int orientation = 1;  // Exif: how to turn it upright
    int UprightWidth() const { return SwapsSides(orientation) ? height : width; }
    int UprightHeight() const { return SwapsSides(orientation) ? width : height; }
};

// The size and orientation stored in a JPEG's header; throws ImageFileError.
JpegSize ReadJpegSize(const std::filesystem::path& path);

// Decodes a JPEG as RGB at the smallest of the decoder's scales (1/8, 2/8,
// ... 16/8) whose long edge is still at least `longEdge`, so a 24-megapixel
// photo wanted at 1200 pixels is read at a quarter of its size, which is
// several times faster. A damaged or cut-off file throws ImageFileError
// rather than giving a picture with a grey part. The picture is as stored;
// `stored`, when given, receives its size and orientation.
RgbImage DecodeJpegAtLeast(const std::filesystem::path& path, int longEdge,
                           JpegSize* stored = nullptr);

// Part of a decoded picture, and where it lies in the whole.
struct DecodedPart {
    RgbImage image;
    int left = 0;
    int top = 0;
    PixelSize whole;
};

// Given the photo's stored size and orientation and the size it decodes
// at, the part of the decoded picture that is wanted; empty for all of it.
using PartWanted = std::function<PixelRect(const JpegSize& stored, PixelSize decoded)>;

// As DecodeJpegAtLeast, but only the part `wanted` asks for, and a few
// columns either side of it: a crop of a large photo is read in a fraction
// of the time. The file is still read to its end, so damage anywhere in it
// is told as there.
DecodedPart DecodeJpegPart(const std::filesystem::path& path, int longEdge,
                           const PartWanted& wanted, JpegSize* stored = nullptr);

// How finely a JPEG keeps colour. Halved (as cameras do) is smaller; kept
// for every pixel, a coloured edge does not tint the pure white beside it.
enum class JpegColour { kHalved, kEveryPixel };

// Writes `image` as a baseline JPEG of the given quality (1-100); throws
// ImageFileError when it cannot be encoded, as WriteWholeFile when it
// cannot be written.
void WriteJpeg(const RgbImage& image, const std::filesystem::path& path, int quality,
               JpegColour colour = JpegColour::kHalved);

// The whole file, or throws ImageFileError naming it.
std::string ReadWholeFile(const std::filesystem::path& path);
// Writes `bytes` as `path`; throws std::filesystem::filesystem_error with
// the path and the system's reason.
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace zentrivo
