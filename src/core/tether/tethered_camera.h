#pragma once

#include <memory>
#include <string>
#include <vector>

// A camera on this computer (USB) or on the network (PTP/IP), through
// libgphoto2. Blocking calls, none of them safe from two threads: one thread
// owns an object of this class and makes every call, detection included.
namespace zentrivo {

struct DetectedCamera {
    std::string model;  // libgphoto2's model name, "Canon EOS 90D"
    std::string port;   // libgphoto2's port, "usb:001,007"
};

// What a wait for the camera's news gives.
struct CameraEvent {
    enum class Kind { kNothing, kFileAdded, kGone };
    Kind kind = Kind::kNothing;
    std::string folder;  // on the camera, for kFileAdded
    std::string name;
    std::string error;  // why the camera is gone, for kGone
};

class TetheredCamera {
public:
    TetheredCamera();
    ~TetheredCamera();
    TetheredCamera(const TetheredCamera&) = delete;
    TetheredCamera& operator=(const TetheredCamera&) = delete;

    // The cameras libgphoto2 finds on the computer's ports now.
    std::vector<DetectedCamera> Detect();

    // Opens the camera at `port` ("usb:001,007", "ptpip:192.168.1.20"),
    // as `model` when given (empty: the model found at that port). Empty
    // on success, else why not, in words for the user.
    std::string Open(const std::string& port, const std::string& model);
    bool IsOpen() const;
    void Close();
    // The model's name as libgphoto2 reports it.
    const std::string& Model() const { return model_; }

    // Waits up to `ms` for the camera's news.
    CameraEvent Wait(int ms);
    // Downloads one photo into `path`: written under a temporary name beside
    // it and renamed when whole. Empty on success, else why not.
    std::string Download(const std::string& folder, const std::string& name,
                         const std::string& path);
    // Asks the camera to take a photo; the photo comes as a kFileAdded.
    std::string Trigger();

private:
    struct Context;
    std::unique_ptr<Context> context_;  // the library's context, lists and camera
    std::string model_;
};

// What a libgphoto2 error means to the user; "usb:" ports that the desktop
// holds get the advice to free them.
std::string TetherErrorText(int result, const std::string& port);

}  // namespace zentrivo
