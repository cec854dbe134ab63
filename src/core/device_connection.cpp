#include "device_connection.h"

#include <utility>

#include "device_state.h"

namespace zentrivo {

std::string ComPortName(std::int32_t com_port) {
    return "COM" + std::to_string(com_port);
}

DeviceConnection::DeviceConnection(ShowError show_error, RepaintStatus repaint_status)
    : show_error_(std::move(show_error)), repaint_status_(std::move(repaint_status)) {}

DeviceConnection::~DeviceConnection() {
    ClosePort(handle_);
}

bool DeviceConnection::ConnectDevice(std::int32_t com_port) {
    if (handle_ == kInvalidPortHandle) {
        // The port layer's own texts are not shown here: one message says it all.
        handle_ = OpenPort(ComPortName(com_port), true);
        const bool ready = !CommFailed() && ConfigurePort(handle_, kLineBaud, kLineParity,
                                                          kLineDataBits, kLineStopBits, true);
        if (!ready) {
            // Closed before the message: handlers that run while the box is
            // up must not find a half-opened port.
            DisconnectDevice();
            if (show_error_) {
                show_error_(kCannotOpenPortTitle, kCannotOpenPortText);
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
    SetState(kDeviceDisconnected);
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
