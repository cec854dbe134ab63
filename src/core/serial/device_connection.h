#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/serial/commu.h"
#include "core/serial/port_choice.h"

// The main window's link to the controller: the open port and DeviceState
// (see device_state.h), with the opening and closing of the port. The window
// plugs in its message box and its status-bar repaint.
namespace zentrivo {

inline constexpr char kCannotOpenPortTitle[] = "Parameters";
inline constexpr char kCannotOpenPortText[] = "I can not open COM port. Please check parameters !";

// The fixed line settings of the controller: 57600 baud, 8N1.
inline constexpr char kLineBaud[] = "57600";
inline constexpr char kLineParity[] = "N";
inline constexpr char kLineDataBits[] = "8";
inline constexpr char kLineStopBits[] = "1";

class DeviceConnection {
public:
    // Shows an error message with the error icon: (title, text).
    using ShowError = std::function<void(const std::string& title, const std::string& text)>;
    // Repaints the status bar's device panel at once.
    using RepaintStatus = std::function<void()>;

    DeviceConnection(ShowError show_error, RepaintStatus repaint_status);
    // Closes a port still open, without repainting.
    ~DeviceConnection();
    DeviceConnection(const DeviceConnection&) = delete;
    DeviceConnection& operator=(const DeviceConnection&) = delete;

    // Makes sure the port is open and configured; true when it is. The port
    // is "COM<com_port>" or the device chosen from the port list, as
    // PortNameFor decides. An open port is kept as it is, even when the
    // choice has changed since. A port that cannot be opened or configured
    // is reported, closed and marked disconnected; when the user lacks the
    // rights to its device, the message says so on a line of its own.
    bool ConnectDevice(std::int32_t com_port, const std::string& chosen_device = {});

    // Closes the port (harmless when none is open) and marks the device
    // disconnected.
    void DisconnectDevice();

    // The controller answered the connection test: DeviceState 2.
    void MarkDeviceConnected();

    // The open port, or kInvalidPortHandle. Pass it straight to
    // ExchangeCommand, which follows it through the wait.
    const PortHandle& Handle() const { return handle_; }

    // 0 disconnected, 1 COM port open, 2 device connected.
    std::int32_t DeviceState() const { return device_state_; }

    // The name the open port was opened by ("COM3", or a chosen device),
    // and the device that name reached (/dev/pts/0); empty when closed.
    const std::string& PortName() const { return port_name_; }
    std::string PortDevice() const;

private:
    void SetState(std::int32_t state);

    ShowError show_error_;
    RepaintStatus repaint_status_;
    PortHandle handle_ = kInvalidPortHandle;
    std::string port_name_;
    std::int32_t device_state_ = 0;
};

}  // namespace zentrivo
