#include "png_file.h"

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "jpeg_file.h"

namespace zentrivo {

namespace {

void PutBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xff));
    }
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    const auto* bytes = reinterpret_cast<const Bytef*>(typed.data());
    PutBigEndian(out, static_cast<std::uint32_t>(
                          crc32(crc32(0, Z_NULL, 0), bytes, static_cast<uInt>(typed.size()))));
}

}  // namespace

void WritePng(const RgbaImage& image, const std::filesystem::path& path) {
    // Each row starts with its filter, none: the stills are photos, which
    // no simple filter shrinks by much, and zlib does the rest.
    std::vector<std::uint8_t> rows;
    rows.reserve((image.stride() + 1) * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        rows.push_back(0);
        rows.insert(rows.end(), image.row(y), image.row(y) + image.stride());
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, rows.data(),
                  static_cast<uLong>(rows.size()), 6) != Z_OK) {
        throw ImageFileError("The still \"" + path.filename().string() +
                             "\" could not be compressed.");
    }
    packed.resize(packedSize);

    std::string header;
    PutBigEndian(header, static_cast<std::uint32_t>(image.width));
    PutBigEndian(header, static_cast<std::uint32_t>(image.height));
    header +=
        std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    WriteWholeFile(path, png);
}

}  // namespace zentrivo
