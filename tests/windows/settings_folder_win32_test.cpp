// Where the settings file lives on Windows: beside a program that was
// unpacked anywhere the user may write, in %APPDATA%\Zentrivo for one
// installed under Program Files, whatever that folder's rights.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>

#include "core/settings/settings_location.h"
#include "temp_dir.h"

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

TEST(SettingsFolderOnWindows, BesideAnUnpackedProgramInsideProgramFilesInTheUsersAppData) {
    TempDir unpacked;
    EXPECT_EQ(zentrivo::SettingsFolderFor(unpacked.Path(), ""), unpacked.Path());

    const std::string appData = Variable("APPDATA");
    const std::string programFiles = Variable("ProgramFiles");
    ASSERT_FALSE(appData.empty());
    ASSERT_FALSE(programFiles.empty());
    // Wine lets anyone write under Program Files; the rule must not lean on
    // the folder's rights.
    const std::string installed = programFiles + "\\Zentrivo";
    EXPECT_EQ(zentrivo::SettingsFolderFor(installed, ""), appData + "\\Zentrivo");
    std::string otherCase = installed;
    for (char& c : otherCase) {
        c = c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(zentrivo::SettingsFolderFor(otherCase, ""), appData + "\\Zentrivo");
}

}  // namespace
