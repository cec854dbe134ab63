#pragma once

#include <string>
#include <string_view>

namespace zentrivo::ini {

// How an INI file's bytes hold its text. Windows reads a file that starts
// with a UTF-16 byte-order mark (what Notepad saves as "Unicode") as UTF-16
// and writes it back in UTF-16; every other file is read and written byte
// for byte.
enum class TextEncoding { kBytes, kUtf16LE, kUtf16BE };

struct DecodedText {
    TextEncoding encoding = TextEncoding::kBytes;
    // The file's text without its byte-order mark: UTF-8 for a UTF-16 file,
    // else the bytes themselves.
    std::string text;
    // A last byte of a UTF-16 file that completes no character, kept so that
    // writing the file back changes nothing the program did not write.
    std::string oddByte;
};

DecodedText DecodeText(std::string_view bytes);

// The bytes of `decoded` in its own encoding, byte-order mark included. A
// UTF-16 file's lines that were read and not changed come back byte for
// byte, even a half of a broken surrogate pair.
std::string EncodeText(const DecodedText& decoded);

// Whether decoded file text reads as text: no NUL byte and no control
// character other than the tab, the line ends, the form feed and the old
// end-of-file mark (Ctrl+Z). A photo or any other binary file fails at once.
bool IsPlainText(std::string_view text);

}  // namespace zentrivo::ini
