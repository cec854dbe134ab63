// Reads or sets one key of an INI file the way Zentrivo does, leaving every
// other line as it is; the demo script uses it to prepare the settings.
//
//   zentrivo_ini get FILE SECTION KEY
//   zentrivo_ini set FILE SECTION KEY VALUE

#include <exception>
#include <iostream>
#include <string>

#include "core/settings/ini_file.h"

int main(int argc, char** argv) {
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "get" && argc == 5) {
        const auto value = zentrivo::IniFile(argv[2]).ReadValue(argv[3], argv[4]);
        if (!value) {
            return 1;
        }
        std::cout << *value << "\n";
        return 0;
    }
    if (verb == "set" && argc == 6) {
        try {
            zentrivo::IniFile file(argv[2]);
            file.WriteString(argv[3], argv[4], argv[5]);
            return 0;
        } catch (const std::exception& e) {
            std::cerr << e.what() << "\n";
            return 1;
        }
    }
    std::cerr << "usage: zentrivo_ini get FILE SECTION KEY\n"
                 "       zentrivo_ini set FILE SECTION KEY VALUE\n";
    return 2;
}
