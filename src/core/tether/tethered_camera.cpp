#include "core/tether/tethered_camera.h"

#include "core/quiet_broken_pipe.h"
#include "core/tether/network_probe.h"
#include "core/tether/standard_streams.h"

#include <gphoto2/gphoto2.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace zentrivo {

namespace fs = std::filesystem;

namespace {

// A camera on the network that has not answered by then is not there.
constexpr int kProbeMs = 3000;

// libgphoto2 loads and unloads its drivers through libltdl, whose list of
// loaded modules is one for the process and not safe from two threads: a
// camera made while another is let go (one window closing as the next
// opens) must wait for it.
std::recursive_mutex& DriverLock() {
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace

struct TetheredCamera::Context {
    GPContext* context = gp_context_new();
    CameraAbilitiesList* abilities = nullptr;
    GPPortInfoList* ports = nullptr;
    Camera* camera = nullptr;

    ~Context() {
        const std::lock_guard<std::recursive_mutex> driver(DriverLock());
        if (ports != nullptr) {
            gp_port_info_list_free(ports);
        }
        if (abilities != nullptr) {
            gp_abilities_list_free(abilities);
        }
        gp_context_unref(context);
    }
    // The lists of drivers and ports are read once; reading them costs
    // more than a look for cameras.
    bool Load() {
        if (abilities == nullptr) {
            if (gp_abilities_list_new(&abilities) < GP_OK ||
                gp_abilities_list_load(abilities, context) < GP_OK) {
                return false;
            }
        }
        if (ports == nullptr) {
            if (gp_port_info_list_new(&ports) < GP_OK || gp_port_info_list_load(ports) < GP_OK) {
                return false;
            }
        }
        return true;
    }
};

namespace {

bool IsUsb(const std::string& port) {
    return port.rfind("usb:", 0) == 0;
}

// Keeps the photos on the camera's card, where the camera lets it choose:
// a connection lost in the middle then loses nothing.
void KeepOnCard(Camera* camera, GPContext* context) {
    CameraWidget* widget = nullptr;
    if (gp_camera_get_single_config(camera, "capturetarget", &widget, context) < GP_OK) {
        return;
    }
    const int choices = gp_widget_count_choices(widget);
    for (int i = 0; i < choices; ++i) {
        const char* choice = nullptr;
        if (gp_widget_get_choice(widget, i, &choice) >= GP_OK && choice != nullptr &&
            std::string(choice).find("card") != std::string::npos) {
            gp_widget_set_value(widget, choice);
            gp_camera_set_single_config(camera, "capturetarget", widget, context);
            break;
        }
    }
    gp_widget_free(widget);
}

}  // namespace

std::string TetherErrorText(int result, const std::string& port) {
    if (IsUsb(port) && (result == GP_ERROR_IO_USB_CLAIM || result == GP_ERROR_IO_LOCK)) {
        return "Another program holds the camera (the desktop opens cameras as drives). "
               "Unmount or eject the camera in the file manager, close other photo programs, "
               "then choose the camera again.";
    }
    return gp_result_as_string(result);
}

bool TetheredCamera::IsOpen() const {
    return context_->camera != nullptr;
}

TetheredCamera::TetheredCamera()
    : context_(
          (KeepStandardStreamsTaken(), HearBrokenPipesAsErrors(), std::make_unique<Context>())) {}

TetheredCamera::~TetheredCamera() {
    Close();
}

std::vector<DetectedCamera> TetheredCamera::Detect() {
    const std::lock_guard<std::recursive_mutex> driver(DriverLock());
    std::vector<DetectedCamera> found;
    CameraList* list = nullptr;
    if (gp_list_new(&list) < GP_OK) {
        return found;
    }
    if (gp_camera_autodetect(list, context_->context) >= GP_OK) {
        for (int i = 0; i < gp_list_count(list); ++i) {
            const char* model = nullptr;
            const char* port = nullptr;
            gp_list_get_name(list, i, &model);
            gp_list_get_value(list, i, &port);
            if (model != nullptr && port != nullptr) {
                found.push_back({model, port});
            }
        }
    }
    gp_list_free(list);
    return found;
}

std::string TetheredCamera::Open(const std::string& port, const std::string& model) {
    const std::lock_guard<std::recursive_mutex> driver(DriverLock());
    Close();
    if (!context_->Load()) {
        return "The camera drivers could not be read.";
    }
    Camera* camera = nullptr;
    if (gp_camera_new(&camera) < GP_OK) {
        return "The camera could not be prepared.";
    }
    const auto fail = [&](int result) {
        gp_camera_free(camera);
        return TetherErrorText(result, port);
    };
    if (!model.empty()) {
        const int index = gp_abilities_list_lookup_model(context_->abilities, model.c_str());
        CameraAbilities abilities;
        if (index < GP_OK) {
            gp_camera_free(camera);
            return "No camera driver is known for the model \"" + model + "\".";
        }
        gp_abilities_list_get_abilities(context_->abilities, index, &abilities);
        gp_camera_set_abilities(camera, abilities);
    }
    const int portIndex = gp_port_info_list_lookup_path(context_->ports, port.c_str());
    if (portIndex < GP_OK) {
        gp_camera_free(camera);
        return "The camera port \"" + port + "\" is not known.";
    }
    GPPortInfo info;
    gp_port_info_list_get_info(context_->ports, portIndex, &info);
    gp_camera_set_port_info(camera, info);
    if (!NetworkCameraAnswers(port, kProbeMs)) {
        gp_camera_free(camera);
        return "The camera does not answer on the network (connection refused or timed out).";
    }
    const int opened = gp_camera_init(camera, context_->context);
    if (opened < GP_OK) {
        return fail(opened);
    }
    context_->camera = camera;
    CameraAbilities abilities;
    model_ =
        gp_camera_get_abilities(context_->camera, &abilities) >= GP_OK ? abilities.model : model;
    KeepOnCard(context_->camera, context_->context);
    return {};
}

void TetheredCamera::Close() {
    const std::lock_guard<std::recursive_mutex> driver(DriverLock());
    if (context_->camera != nullptr) {
        gp_camera_exit(context_->camera, context_->context);
        gp_camera_free(context_->camera);
        context_->camera = nullptr;
    }
}

CameraEvent TetheredCamera::Wait(int ms) {
    CameraEvent event;
    if (context_->camera == nullptr) {
        event.kind = CameraEvent::Kind::kGone;
        return event;
    }
    CameraEventType type = GP_EVENT_UNKNOWN;
    void* data = nullptr;
    const int result =
        gp_camera_wait_for_event(context_->camera, ms, &type, &data, context_->context);
    if (result < GP_OK) {
        event.kind = CameraEvent::Kind::kGone;
        event.error = gp_result_as_string(result);
        std::free(data);
        return event;
    }
    if (type == GP_EVENT_FILE_ADDED && data != nullptr) {
        const auto* path = static_cast<const CameraFilePath*>(data);
        event.kind = CameraEvent::Kind::kFileAdded;
        event.folder = path->folder;
        event.name = path->name;
    }
    std::free(data);
    return event;
}

std::string TetheredCamera::Download(const std::string& folder, const std::string& name,
                                     const std::string& path) {
    if (context_->camera == nullptr) {
        return "The camera is not connected.";
    }
    // Whoever watches the folder sees the photo only once it is whole.
    const fs::path target = fs::u8path(path);
    const fs::path partial = target.parent_path() / ("." + target.filename().u8string() + ".part");
    const std::string unwritable =
        "The photo could not be written into " + target.parent_path().u8string();
    // The library writes each piece into the part file as it comes, as
    // gphoto2 does: holding a large photo whole in memory and writing it out
    // after its last byte would add a copy and that whole write to the time
    // every download takes.
    const int fd = open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return unwritable + ".";
    }
    CameraFile* file = nullptr;
    if (gp_file_new_from_fd(&file, fd) < GP_OK) {
        close(fd);
        std::error_code ec;
        fs::remove(partial, ec);
        return "Out of memory.";
    }
    const int got = gp_camera_file_get(context_->camera, folder.c_str(), name.c_str(),
                                       GP_FILE_TYPE_NORMAL, file, context_->context);
    // Closes the part file.
    gp_file_free(file);
    std::string problem;
    std::error_code ec;
    if (got == GP_ERROR_IO_WRITE) {
        problem = unwritable + ".";
    } else if (got < GP_OK) {
        problem = gp_result_as_string(got);
    } else {
        fs::rename(partial, target, ec);
        if (ec) {
            problem = unwritable + ": " + ec.message() + ".";
        }
    }
    if (!problem.empty()) {
        fs::remove(partial, ec);
    }
    return problem;
}

std::string TetheredCamera::Trigger() {
    if (context_->camera == nullptr) {
        return "The camera is not connected.";
    }
    const int result = gp_camera_trigger_capture(context_->camera, context_->context);
    return result < GP_OK ? gp_result_as_string(result) : std::string();
}

}  // namespace zentrivo
