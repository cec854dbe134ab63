#include "core/serial/device_connection.h"

#include <utility>

#include "core/serial/device_state.h"
#include "core/serial/port_path.h"
#include "core/serial/port_permission.h"

namespace zentrivo {

DeviceConnection::DeviceConnection(ShowError show_error, RepaintStatus repaint_status)
    : show_error_(std::move(show_error)), repaint_status_(std::move(repaint_status)) {}

DeviceConnection::~DeviceConnection() {
    ClosePort(handle_);
}

bool DeviceConnection::ConnectDevice(std::int32_t com_port, const std::string& chosen_device) {
    if (handle_ == kInvalidPortHandle) {
        // The port layer's own texts are not shown here: one message says it all.
        const std::string name = PortNameFor(com_port, chosen_device);
        handle_ = OpenPort(name, true);
        port_name_ = name;
        const bool opened = !CommFailed();
        const bool ready = opened && ConfigurePort(handle_, kLineBaud, kLineParity, kLineDataBits,
                                                   kLineStopBits, true);
        if (!ready) {
            std::string text = kCannotOpenPortText;
            const std::optional<std::string> hint = opened ? std::nullopt : PermissionHint(name);
            if (hint) {
                text += "\r\n" + *hint;
            }
            // Closed before the message: handlers that run while the box is
            // up must not find a half-opened port.
            DisconnectDevice();
            if (show_error_) {
                show_error_(kCannotOpenPortTitle, text);
            }
            return false;
        }
    }
    SetState(device_state_ == kDeviceDisconnected ? kDevicePortOpen : device_state_);
    return true;
}

void DeviceConnection::DisconnectDevice() {
    ClosePort(handle_);
    handle_ = kInvalidPortHandle;
    port_name_.clear();
    SetState(kDeviceDisconnected);
}

std::string DeviceConnection::PortDevice() const {
    return port_name_.empty() ? std::string() : PortDevicePath(port_name_);
}

void DeviceConnection::MarkDeviceConnected() {
    SetState(kDeviceConnected);
}

void DeviceConnection::SetState(std::int32_t state) {
    device_state_ = state;
    if (repaint_status_) {
        repaint_status_();
    }
}

}  // namespace zentrivo
