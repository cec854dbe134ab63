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

// Fills *size, or *image when it is given; false with the decoder's text in
// trap.text on failure.
bool Decode(const std::string& bytes, int longEdge, JpegSize* size, RgbImage* image,
            ErrorTrap& trap) {
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
    if (size != nullptr) {
        size->width = static_cast<int>(info.image_width);
        size->height = static_cast<int>(info.image_height);
        for (jpeg_saved_marker_ptr m = info.marker_list; m != nullptr; m = m->next) {
            if (m->marker == JPEG_APP0 + 1 && m->data_length > 6 &&
                std::memcmp(m->data, "Exif", 4) == 0) {
                size->orientation = ExifOrientation(m->data, m->data_length);
                break;
            }
        }
    }
    if (image != nullptr) {
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
        *image =
            RgbImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = image->row(static_cast<int>(info.output_scanline));
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
    }
    jpeg_destroy_decompress(&info);
    return !trap.damaged;
}

bool Encode(const RgbImage& image, int quality, unsigned char** buffer, unsigned long* length,
            ErrorTrap& trap) {
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
    RgbImage image;
    if (!Decode(bytes, longEdge, stored, &image, trap)) {
        Unreadable(path, trap);
    }
    return image;
}

void WriteJpeg(const RgbImage& image, const std::filesystem::path& path, int quality) {
    ErrorTrap trap;
    SetTrap(trap);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    const bool encoded = Encode(image, quality, &buffer, &length, trap);
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
