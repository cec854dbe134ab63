// Feeds arbitrary bytes as a profile file to the profile loader. Nothing may
// crash, hang or read out of bounds, and every parameter read must be the
// default it was given or a value the file really holds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings/ini_file.h"
#include "core/settings/profile.h"
#include "fuzz_input_file.h"
#include "value_oracle.h"

using namespace zentrivo;
using namespace zentrivo::fuzz;

namespace {

// A profile seen as its keys, in the order of the file.
struct Field {
    const char* key;
    std::int32_t TProfil::*member;
};

constexpr Field kFields[] = {
    {"tip_rotacije", &TProfil::TipRotacije},
    {"zeljeni_br_fotografija", &TProfil::ZeljeniBrFotografija},
    {"period_rotacije", &TProfil::PeriodRotacije},
    {"smjer_rotacije", &TProfil::SmjerRotacije},
    {"trajanje_fokusa", &TProfil::TrajanjeFokusa},
    {"trajanje_blende", &TProfil::TrajanjeBlende},
    {"medju_pauza", &TProfil::MedjuPauza},
};

// Defaults that no value in a small file is likely to hit, so that a key the
// loader found and a key it missed can be told apart.
TProfil UnlikelyDefaults(std::int32_t base) {
    TProfil p;
    std::int32_t next = base;
    for (const Field& f : kFields) {
        p.*f.member = next;
        next += base < 0 ? -1 : 1;
    }
    return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = WriteInputFile("profil.zv", data, size);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const IniFile ini(path);

    const TProfil startUp;  // the start-up values the window hands the loader
    const TProfil loaded = LoadProfile(ini, startUp);
    const TProfil defaultsA = UnlikelyDefaults(-7654321);
    const TProfil defaultsB = UnlikelyDefaults(7654321);
    const TProfil readA = LoadProfile(ini, defaultsA);
    const TProfil readB = LoadProfile(ini, defaultsB);

    for (const Field& f : kFields) {
        ExpectIntegerFromFile(bytes, f.key, loaded.*f.member, startUp.*f.member);
        ExpectSameFind(f.key, loaded.*f.member, startUp.*f.member, readA.*f.member,
                       defaultsA.*f.member);
        ExpectSameFind(f.key, readA.*f.member, defaultsA.*f.member, readB.*f.member,
                       defaultsB.*f.member);
        ExpectIntegerFromFile(bytes, f.key, readA.*f.member, defaultsA.*f.member);
    }
    return 0;
}
