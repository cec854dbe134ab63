#include "core/settings/profile.h"

#include <filesystem>

namespace zentrivo {

namespace {
constexpr const char* kRotiranje = "Rotiranje";
constexpr const char* kFotografisanje = "Fotografisanje";
}  // namespace

TProfil LoadProfile(const IniFile& file, const TProfil& d) {
    TProfil p;
    p.TipRotacije = file.ReadInteger(kRotiranje, "tip_rotacije", d.TipRotacije);
    p.ZeljeniBrFotografija =
        file.ReadInteger(kRotiranje, "zeljeni_br_fotografija", d.ZeljeniBrFotografija);
    p.PeriodRotacije = file.ReadInteger(kRotiranje, "period_rotacije", d.PeriodRotacije);
    p.SmjerRotacije = file.ReadInteger(kRotiranje, "smjer_rotacije", d.SmjerRotacije);
    p.TrajanjeFokusa = file.ReadInteger(kFotografisanje, "trajanje_fokusa", d.TrajanjeFokusa);
    p.TrajanjeBlende = file.ReadInteger(kFotografisanje, "trajanje_blende", d.TrajanjeBlende);
    p.MedjuPauza = file.ReadInteger(kFotografisanje, "medju_pauza", d.MedjuPauza);
    return p;
}

void SaveProfile(IniFile& file, const TProfil& p) {
    file.WriteInteger(kRotiranje, "tip_rotacije", p.TipRotacije);
    file.WriteInteger(kRotiranje, "zeljeni_br_fotografija", p.ZeljeniBrFotografija);
    file.WriteInteger(kRotiranje, "period_rotacije", p.PeriodRotacije);
    file.WriteInteger(kRotiranje, "smjer_rotacije", p.SmjerRotacije);
    file.WriteInteger(kFotografisanje, "trajanje_fokusa", p.TrajanjeFokusa);
    file.WriteInteger(kFotografisanje, "trajanje_blende", p.TrajanjeBlende);
    file.WriteInteger(kFotografisanje, "medju_pauza", p.MedjuPauza);
}

std::string FileNamePart(const std::string& path) {
    return std::filesystem::u8path(path).filename().u8string();
}

}  // namespace zentrivo
