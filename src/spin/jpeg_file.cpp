#include "jpeg_file.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

// jpeglib.h needs size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>

namespace zentrivo {

namespace {

std::FILE* OpenForWriting(const std::filesystem::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

std::string Named(const std::filesystem::path& path) {
    return "\"" + path.filename().string() + "\"";
}

// libjpeg reports a fatal error by calling error_exit, which must not
// return: it jumps back to the setjmp of the function that started the
// work. Those functions keep only plain locals between the jump's ends.
struct ErrorTrap {
    jpeg_error_mgr manager;  // first, so the library's pointer is ours
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
    bool damaged;
};

void JumpOnError(j_common_ptr info) {
    auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
    (*info->err->format_message)(info, trap->text);
    std::longjmp(trap->jump, 1);
}

// The decoder carries on past a cut-off or corrupt file with a warning and
// fills the rest with grey; for a frame of a turn that is a wrong picture.
void TrapDamage(j_common_ptr info, int level) {
    auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
    if (level >= 0 || trap->damaged) {
        return;
    }
    switch (info->err->msg_code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_MUST_RESYNC:
        case JWRN_NOT_SEQUENTIAL:
        case JWRN_BOGUS_PROGRESSION:
            trap->damaged = true;
            (*info->err->format_message)(info, trap->text);
            break;
        default:
            break;
    }
}

void SetTrap(ErrorTrap& trap) {
    jpeg_std_error(&trap.manager);
    trap.manager.error_exit = JumpOnError;
    trap.manager.emit_message = TrapDamage;
    trap.text[0] = '\0';
    trap.damaged = false;
}

// Beyond a cut at its side the decoder may smooth a column's colour
// differently; so many more columns are decoded and left out.
constexpr int kCutSlack = 16;

void ReadOrientation(jpeg_decompress_struct& info, JpegSize& size) {
    size.width = static_cast<int>(info.image_width);
    size.height = static_cast<int>(info.image_height);
    for (jpeg_saved_marker_ptr m = info.marker_list; m != nullptr; m = m->next) {
        if (m->marker == JPEG_APP0 + 1 && m->data_length > 6 &&
            std::memcmp(m->data, "Exif", 4) == 0) {
            size.orientation = ExifOrientation(m->data, m->data_length);
            break;
        }
    }
}

// Decodes the rows and columns of `part` that are wanted, the others
// skipped over; the part's place is set to what was decoded.
void ReadPart(jpeg_decompress_struct& info, const JpegSize& stored, const PartWanted* wanted,
              DecodedPart& part) {
    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    part.whole = {width, height};
    PixelRect rect{0, 0, width, height};
    if (wanted != nullptr) {
        const PixelRect asked = (*wanted)(stored, part.whole);
        if (!asked.empty()) {
            const int left = std::clamp(asked.left - kCutSlack, 0, width - 1);
            const int right = std::clamp(asked.left + asked.width + kCutSlack, left + 1, width);
            const int top = std::clamp(asked.top, 0, height - 1);
            const int bottom = std::clamp(asked.top + asked.height, top + 1, height);
            rect = {left, top, right - left, bottom - top};
        }
    }
    if (rect.width < width) {
        auto x = static_cast<JDIMENSION>(rect.left);
        auto w = static_cast<JDIMENSION>(rect.width);
        jpeg_crop_scanline(&info, &x, &w);
        rect.left = static_cast<int>(x);
        rect.width = static_cast<int>(w);
    }
    part.left = rect.left;
    part.top = rect.top;
    part.image = RgbImage(rect.width, rect.height, Unfilled{});
    if (rect.top > 0) {
        jpeg_skip_scanlines(&info, static_cast<JDIMENSION>(rect.top));
    }
    while (static_cast<int>(info.output_scanline) < rect.top + rect.height) {
        JSAMPROW row = part.image.row(static_cast<int>(info.output_scanline) - rect.top);
        jpeg_read_scanlines(&info, &row, 1);
    }
    if (info.output_scanline < info.output_height) {
        jpeg_skip_scanlines(&info, info.output_height - info.output_scanline);
    }
}

// Fills *size, or *part when it is given (all of the picture unless
// `wanted` says otherwise); false with the decoder's text in trap.text on
// failure.
bool Decode(const std::string& bytes, int longEdge, JpegSize* size, DecodedPart* part,
            ErrorTrap& trap, const PartWanted* wanted = nullptr) {
    jpeg_decompress_struct info;
    info.err = &trap.manager;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xffff);
    jpeg_read_header(&info, TRUE);
    JpegSize stored;
    ReadOrientation(info, stored);
    if (size != nullptr) {
        *size = stored;
    }
    if (part != nullptr) {
        info.out_color_space = JCS_RGB;
        for (unsigned eighths = 1; eighths <= 8; ++eighths) {
            info.scale_num = eighths;
            info.scale_denom = 8;
            jpeg_calc_output_dimensions(&info);
            if (static_cast<int>(std::max(info.output_width, info.output_height)) >= longEdge) {
                break;
            }
        }
        jpeg_start_decompress(&info);
        ReadPart(info, stored, wanted, *part);
        jpeg_finish_decompress(&info);
    }
    jpeg_destroy_decompress(&info);
    return !trap.damaged;
}

bool Encode(const RgbImage& image, int quality, JpegColour colour, unsigned char** buffer,
            unsigned long* length, ErrorTrap& trap) {
    jpeg_compress_struct info;
    info.err = &trap.manager;
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, length);
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (colour == JpegColour::kEveryPixel) {
        for (int c = 0; c < info.num_components; ++c) {
            info.comp_info[c].h_samp_factor = 1;
            info.comp_info[c].v_samp_factor = 1;
        }
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto row = const_cast<JSAMPROW>(image.row(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

[[noreturn]] void Unreadable(const std::filesystem::path& path, const ErrorTrap& trap) {
    throw ImageFileError("The photo " + Named(path) + " could not be read: " + trap.text);
}

}  // namespace

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    if (in) {
        bytes << in.rdbuf();
    }
    if (!in || in.bad()) {
        throw ImageFileError("The file " + Named(path) + " could not be opened.");
    }
    return bytes.str();
}

void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
    // Through stdio rather than a stream, which keeps no reason for a failure:
    // the system's own (a full disk, no permission) is what the user needs.
    std::FILE* out = OpenForWriting(path);
    int error = out == nullptr ? errno : 0;
    if (out != nullptr) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
            std::fflush(out) != 0) {
            error = errno;
        }
        if (std::fclose(out) != 0 && error == 0) {
            error = errno;
        }
    }
    if (error != 0) {
        throw std::filesystem::filesystem_error("write", path,
                                                std::error_code(error, std::generic_category()));
    }
}

JpegSize ReadJpegSize(const std::filesystem::path& path) {
    const std::string bytes = ReadWholeFile(path);
    ErrorTrap trap;
    SetTrap(trap);
    JpegSize size;
    if (!Decode(bytes, 0, &size, nullptr, trap)) {
        Unreadable(path, trap);
    }
    return size;
}

RgbImage DecodeJpegAtLeast(const std::filesystem::path& path, int longEdge, JpegSize* stored) {
    const std::string bytes = ReadWholeFile(path);
    ErrorTrap trap;
    SetTrap(trap);
    DecodedPart part;
    if (!Decode(bytes, longEdge, stored, &part, trap)) {
        Unreadable(path, trap);
    }
    return std::move(part.image);
}

DecodedPart DecodeJpegPart(const std::filesystem::path& path, int longEdge,
                           const PartWanted& wanted, JpegSize* stored) {
    const std::string bytes = ReadWholeFile(path);
    ErrorTrap trap;
    SetTrap(trap);
    DecodedPart part;
    if (!Decode(bytes, longEdge, stored, &part, trap, &wanted)) {
        Unreadable(path, trap);
    }
    return part;
}

void WriteJpeg(const RgbImage& image, const std::filesystem::path& path, int quality,
               JpegColour colour) {
    ErrorTrap trap;
    SetTrap(trap);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    const bool encoded = Encode(image, quality, colour, &buffer, &length, trap);
    std::string bytes;
    if (encoded) {
        bytes.assign(reinterpret_cast<const char*>(buffer), length);
    }
    std::free(buffer);
    if (!encoded) {
        throw ImageFileError("The frame " + path.string() + " could not be made: " + trap.text);
    }
    WriteWholeFile(path, bytes);
}

}  // namespace zentrivo
