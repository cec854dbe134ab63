// turntable_sim: a simulated turntable controller board on a pseudo-terminal.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "camera.h"
#include "command_log.h"
#include "pseudo_terminal.h"
#include "sim_options.h"
#include "sim_session.h"
#include "turntable.h"

int main(int argc, char** argv) {
    const ParsedOptions parsed = ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.ShowHelp) {
        std::cout << kSimUsage;
        return 0;
    }
    if (!parsed.Error.empty()) {
        std::cerr << "turntable_sim: " << parsed.Error << "\n\n" << kSimUsage;
        return 2;
    }
    const SimOptions& options = parsed.Options;
    try {
        CommandLog log(options.LogPath, options.Verbose);
        if (!log.IsOpen()) {
            std::cerr << "turntable_sim: cannot write the log " << options.LogPath << "\n";
            return 2;
        }
        PseudoTerminal line;
        // The first line tells the program, or the test, which device to open.
        std::cout << line.DevicePath() << std::endl;
        Turntable turntable(options.StepsPerRevolution, options.GearRatio);
        NoCamera camera;
        return SimSession(line, options, turntable, camera, log).Run();
    } catch (const std::exception& e) {
        std::cerr << "turntable_sim: " << e.what() << "\n";
        return 1;
    }
}
