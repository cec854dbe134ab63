#include "jpeg_encoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace {

// Where the n-th coefficient of a block goes in the file's zigzag order: the
// index (row * 8 + column) of that coefficient in the 8x8 block.
constexpr int kZigzag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

// The example luminance quantisation table of the JPEG standard, by row.
constexpr std::uint8_t kQuant[64] = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
};

// The example luminance Huffman tables: how many codes there are of each
// length from 1 to 16 bits, then the symbols in the order of their codes.
constexpr std::uint8_t kDcCounts[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
constexpr std::uint8_t kDcSymbols[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
constexpr std::uint8_t kAcCounts[16] = {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D};
constexpr std::uint8_t kAcSymbols[162] = {
    0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61,
    0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xA1, 0x08, 0x23, 0x42, 0xB1, 0xC1, 0x15, 0x52,
    0xD1, 0xF0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0A, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x25,
    0x26, 0x27, 0x28, 0x29, 0x2A, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45,
    0x46, 0x47, 0x48, 0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64,
    0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x83,
    0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99,
    0x9A, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6,
    0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3,
    0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8,
    0xE9, 0xEA, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA,
};
constexpr int kEndOfBlock = 0x00;
constexpr int kSixteenZeros = 0xF0;

struct HuffmanCode {
    std::uint32_t Bits = 0;
    int Length = 0;
};
using HuffmanTable = std::array<HuffmanCode, 256>;

// The codes a decoder derives from the counts: within one length they count
// up; each longer length goes on from the next code, doubled.
HuffmanTable MakeTable(const std::uint8_t (&counts)[16], const std::uint8_t* symbols) {
    HuffmanTable table{};
    std::uint32_t code = 0;
    for (int length = 1; length <= 16; ++length) {
        for (int i = 0; i < counts[length - 1]; ++i) {
            table[*symbols++] = {code++, length};
        }
        code <<= 1;
    }
    return table;
}

// The entropy-coded bits, most significant first; a 0xFF byte is followed by
// a zero byte so that it cannot be read as a marker.
class BitWriter {
public:
    explicit BitWriter(std::string& out) : out_(out) {}

    void Put(std::uint32_t bits, int count) {
        buffer_ = (buffer_ << count) | (bits & ((1u << count) - 1));
        count_ += count;
        while (count_ >= 8) {
            const auto byte = static_cast<char>((buffer_ >> (count_ - 8)) & 0xFF);
            out_ += byte;
            if (byte == '\xFF') {
                out_ += '\0';
            }
            count_ -= 8;
        }
        buffer_ &= (1u << count_) - 1;
    }
    void Put(const HuffmanCode& code) { Put(code.Bits, code.Length); }

    // The last byte is filled up with one bits.
    void Finish() { Put(0x7F, (8 - count_) % 8); }

private:
    std::string& out_;
    std::uint32_t buffer_ = 0;
    int count_ = 0;
};

// A coefficient is coded as its size class and then that many bits: the value
// itself when positive, its ones' complement when negative.
int SizeClass(int value) {
    int size = 0;
    for (int magnitude = std::abs(value); magnitude != 0; magnitude >>= 1) {
        ++size;
    }
    return size;
}

void PutCoefficient(BitWriter& out, int value, int size) {
    out.Put(static_cast<std::uint32_t>(value >= 0 ? value : value + (1 << size) - 1), size);
}

// One direction of the DCT-II: eight samples `stride` apart become eight
// coefficients `stride` apart.
void Dct8(const double* samples, double* coefficients, int stride) {
    static const auto basis = [] {
        std::array<std::array<double, 8>, 8> c{};
        const double pi = std::acos(-1.0);
        for (int u = 0; u < 8; ++u) {
            const double scale = u == 0 ? std::sqrt(0.125) : 0.5;
            for (int x = 0; x < 8; ++x) {
                c[u][x] = scale * std::cos((2 * x + 1) * u * pi / 16);
            }
        }
        return c;
    }();
    for (int u = 0; u < 8; ++u) {
        double sum = 0;
        for (int x = 0; x < 8; ++x) {
            sum += basis[u][x] * samples[x * stride];
        }
        coefficients[u * stride] = sum;
    }
}

// The two-dimensional DCT of an 8x8 block: along the rows, then the columns.
void ForwardDct(const double (&samples)[64], double (&coefficients)[64]) {
    double rows[64];
    for (int y = 0; y < 8; ++y) {
        Dct8(samples + y * 8, rows + y * 8, 1);
    }
    for (int u = 0; u < 8; ++u) {
        Dct8(rows + u, coefficients + u, 8);
    }
}

class BlockEncoder {
public:
    explicit BlockEncoder(std::string& out)
        : bits_(out),
          dc_(MakeTable(kDcCounts, kDcSymbols)),
          ac_(MakeTable(kAcCounts, kAcSymbols)) {}

    // The block whose top left corner is (left, top); past the picture's
    // right and bottom edges the last column and row are repeated.
    void Encode(const GrayImage& image, int left, int top) {
        double samples[64];
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const int column = std::min(left + x, image.Width - 1);
                const int row = std::min(top + y, image.Height - 1);
                samples[y * 8 + x] = image.At(column, row) - 128.0;
            }
        }
        double coefficients[64];
        ForwardDct(samples, coefficients);
        int quantised[64];
        for (int i = 0; i < 64; ++i) {
            const int at = kZigzag[i];
            quantised[i] = static_cast<int>(std::lround(coefficients[at] / kQuant[at]));
        }
        // The DC coefficient is sent as the change from the previous block's.
        const int change = quantised[0] - previous_dc_;
        previous_dc_ = quantised[0];
        bits_.Put(dc_[SizeClass(change)]);
        PutCoefficient(bits_, change, SizeClass(change));
        int zeros = 0;
        for (int i = 1; i < 64; ++i) {
            if (quantised[i] == 0) {
                ++zeros;
                continue;
            }
            for (; zeros >= 16; zeros -= 16) {
                bits_.Put(ac_[kSixteenZeros]);
            }
            const int size = SizeClass(quantised[i]);
            bits_.Put(ac_[(zeros << 4) | size]);
            PutCoefficient(bits_, quantised[i], size);
            zeros = 0;
        }
        if (zeros > 0) {
            bits_.Put(ac_[kEndOfBlock]);
        }
    }

    void Finish() { bits_.Finish(); }

private:
    BitWriter bits_;
    HuffmanTable dc_;
    HuffmanTable ac_;
    int previous_dc_ = 0;
};

void PutWord(std::string& out, int value) {
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

// A marker segment: the marker, the length (which counts itself) and the body.
void PutSegment(std::string& out, int marker, const std::string& body) {
    PutWord(out, marker);
    PutWord(out, static_cast<int>(body.size()) + 2);
    out += body;
}

std::string Bytes(const std::uint8_t* bytes, std::size_t count) {
    return std::string(reinterpret_cast<const char*>(bytes), count);
}

std::string Headers(int width, int height) {
    std::string out;
    PutWord(out, 0xFFD8);  // start of image
    PutSegment(out, 0xFFE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
    std::string quant(1, '\0');  // 8-bit table 0
    for (const int at : kZigzag) {
        quant += static_cast<char>(kQuant[at]);
    }
    PutSegment(out, 0xFFDB, quant);
    std::string frame("\x08", 1);  // 8 bits a sample
    PutWord(frame, height);
    PutWord(frame, width);
    frame += std::string("\x01\x01\x11\x00", 4);  // one component, 1x1, table 0
    PutSegment(out, 0xFFC0, frame);
    PutSegment(out, 0xFFC4,
               std::string("\x00", 1) + Bytes(kDcCounts, 16) + Bytes(kDcSymbols, 12) + "\x10" +
                   Bytes(kAcCounts, 16) + Bytes(kAcSymbols, 162));
    // The scan: component 1 with tables 0, coefficients 0 to 63.
    PutSegment(out, 0xFFDA, std::string("\x01\x01\x00\x00\x3F\x00", 6));
    return out;
}

}  // namespace

std::string EncodeGrayJpeg(const GrayImage& image) {
    if (image.Width < 1 || image.Height < 1 || image.Width > 0xFFFF || image.Height > 0xFFFF ||
        image.Pixels.size() !=
            static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height)) {
        throw std::invalid_argument("a JPEG picture is 1 to 65535 pixels each way");
    }
    std::string out = Headers(image.Width, image.Height);
    BlockEncoder blocks(out);
    for (int top = 0; top < image.Height; top += 8) {
        for (int left = 0; left < image.Width; left += 8) {
            blocks.Encode(image, left, top);
        }
    }
    blocks.Finish();
    PutWord(out, 0xFFD9);  // end of image
    return out;
}

namespace {

constexpr std::size_t kAfterJfif = 20;  // start of image and the JFIF segment
constexpr std::size_t kOverhead = 4;    // a segment's marker and length

}  // namespace

std::string CommentedJpeg(const std::string& jpeg, const std::string& text) {
    if (jpeg.size() < kAfterJfif || text.size() > 0xFFFF - 2) {
        return jpeg;
    }
    std::string out(jpeg, 0, kAfterJfif);
    PutWord(out, 0xFFFE);
    PutWord(out, static_cast<int>(text.size()) + 2);
    out += text;
    out.append(jpeg, kAfterJfif, std::string::npos);
    return out;
}

std::string PaddedJpeg(const std::string& jpeg, std::size_t size) {
    constexpr std::size_t kLongestBody = 0xFFFF - 2;
    if (jpeg.size() < kAfterJfif || size < jpeg.size() + kOverhead) {
        return jpeg;
    }
    std::string out;
    out.reserve(size);
    out.append(jpeg, 0, kAfterJfif);
    std::size_t missing = size - jpeg.size();
    while (missing >= kOverhead) {
        std::size_t body = std::min(missing - kOverhead, kLongestBody);
        // Never leave less than a segment's overhead still missing.
        const std::size_t left = missing - kOverhead - body;
        if (left > 0 && left < kOverhead) {
            body -= kOverhead;
        }
        PutWord(out, 0xFFFE);  // a comment
        PutWord(out, static_cast<int>(body) + 2);
        out.append(body, 'Z');
        missing -= kOverhead + body;
    }
    out.append(jpeg, kAfterJfif, std::string::npos);
    return out;
}
