// Feeds arbitrary bytes as opcije.ini to the INI reader and the settings
// loader. Nothing may crash, hang or read out of bounds, and every value
// read must be the documented default or a value the file really holds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings/ini_file.h"
#include "core/settings/settings.h"
#include "fuzz_input_file.h"
#include "value_oracle.h"

using namespace zentrivo;
using namespace zentrivo::fuzz;

namespace {

constexpr const char* kDefaultFolder = "C:";

struct IntegerKey {
    const char* section;
    const char* key;
};

constexpr IntegerKey kIntegerKeys[] = {
    {keys::kParametri, "com_port"},         {keys::kParametri, "br_koraka"},
    {keys::kParametri, "odnos_prenosa"},    {keys::kOstalo, "auto_start"},
    {keys::kOstalo, "auto_pauza"},          {keys::kOstalo, "fotos_auto_copy"},
    {keys::kOstalo, "fotos_auto_name_dir"},
};

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

void CheckLoadedOptions(std::string_view bytes, const TOpcije& o) {
    ExpectIntegerFromFile(bytes, "com_port", o.ComPort, 3);
    ExpectIntegerFromFile(bytes, "br_koraka", o.BrojKoraka, 48);
    ExpectIntegerFromFile(bytes, "odnos_prenosa", o.OdnosPrenosa, 25);
    ExpectBoolFromFile(bytes, "auto_start", o.AutoStart, true);
    ExpectBoolFromFile(bytes, "auto_pauza", o.AutoPauza, false);
    ExpectTextFromFile(bytes, "fotos_dir", o.FotosDir, kDefaultFolder);
    ExpectTextFromFile(bytes, "fotos_copy_dir", o.FotosCopyDir, kDefaultFolder);
    ExpectBoolFromFile(bytes, "fotos_auto_copy", o.FotosAutoCopy, false);
    ExpectBoolFromFile(bytes, "fotos_auto_name_dir", o.FotosAutoNameDir, false);
}

// The same keys read straight from the INI reader, each with two fallbacks
// that no value in a small file is likely to hit: both reads must find the
// same line, or both must miss.
void CheckRawReads(std::string_view bytes, const IniFile& ini) {
    constexpr std::int32_t kFallbackA = -7654321;
    constexpr std::int32_t kFallbackB = 7654321;
    for (const IntegerKey& k : kIntegerKeys) {
        const std::int32_t a = ini.ReadInteger(k.section, k.key, kFallbackA);
        const std::int32_t b = ini.ReadInteger(k.section, k.key, kFallbackB);
        ExpectSameFind(k.key, a, kFallbackA, b, kFallbackB);
        ExpectIntegerFromFile(bytes, k.key, a, kFallbackA);
        // Section and key names match in any letter case.
        const std::int32_t upper =
            ini.ReadInteger(AsciiUpper(k.section), AsciiUpper(k.key), kFallbackA);
        ExpectSameFind(k.key, a, kFallbackA, upper, kFallbackA);
    }
    const std::string unset = "\x01 not in any file";
    for (const char* key : {"fotos_dir", "fotos_copy_dir"}) {
        ExpectTextFromFile(bytes, key, ini.ReadString(keys::kOstalo, key, unset), unset);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = WriteInputFile("opcije.ini", data, size);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const IniFile ini(path);
    CheckLoadedOptions(bytes, LoadOptions(ini, kDefaultFolder));
    CheckRawReads(bytes, ini);
    return 0;
}
