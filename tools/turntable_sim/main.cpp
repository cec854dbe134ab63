// turntable_sim: a simulated turntable controller board on a pseudo-terminal.
#include <chrono>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "camera.h"
#include "command_log.h"
#include "folder_camera.h"
#include "pseudo_terminal.h"
#include "ptpip_camera.h"
#include "sim_options.h"
#include "sim_session.h"
#include "turntable.h"

namespace {

// The camera the options ask for; `port` is set to the tethered camera's
// libgphoto2 port, if it is one.
std::unique_ptr<Camera> MakeCamera(const SimOptions& options, const Turntable& turntable,
                                   std::string& port) {
    if (options.CameraPtpIp) {
        PtpIpSettings settings;
        settings.Delay = std::chrono::milliseconds(options.CameraDelayMs);
        settings.PhotoBytes = static_cast<std::size_t>(options.CameraPhotoBytes);
        settings.Faults = options.Camera;
        auto camera = std::make_unique<PtpIpCamera>(
            settings, [&turntable] { return turntable.AngleDegrees(); });
        port = camera->PortString();
        return camera;
    }
    if (options.CameraDir.empty()) {
        return std::make_unique<NoCamera>();
    }
    return std::make_unique<FolderCamera>(
        options.CameraDir, std::chrono::milliseconds(options.CameraDelayMs),
        std::chrono::milliseconds(options.CameraSlowWriteMs), options.Camera);
}

}  // namespace

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
        CommandLog log(options.LogPath, options.Verbose, options.LogMicroseconds);
        if (!log.IsOpen()) {
            std::cerr << "turntable_sim: cannot write the log " << options.LogPath << "\n";
            return 2;
        }
        Turntable turntable(options.StepsPerRevolution, options.GearRatio);
        // Made before the device path is printed, so that a camera folder
        // that is not there stops the simulator before anyone connects.
        std::string camera_port;
        std::unique_ptr<Camera> camera = MakeCamera(options, turntable, camera_port);
        PseudoTerminal line;
        // The first line tells the program, or the test, which device to open;
        // the second, for a tethered camera, where to find that.
        std::cout << line.DevicePath() << std::endl;
        if (!camera_port.empty()) {
            std::cout << "camera: " << camera_port << std::endl;
        }
        return SimSession(line, options, turntable, *camera, log).Run();
    } catch (const std::exception& e) {
        std::cerr << "turntable_sim: " << e.what() << "\n";
        return 1;
    }
}
