#include <QCoreApplication>

#include "commu.h"
#include "main_window.h"
#include "process_record.h"

using namespace zentrivo;

namespace {

const char* kLostInRun = "Device was disconnected. Terminating process.";
const char* kLostInTest = "Device was disconnected. Please check the cable and try again !";

}  // namespace

void TfrmMain::SetUpDevice() {
    device_ = std::make_unique<DeviceConnection>(
        [this](const std::string& title, const std::string& text) {
            dialogs_->Notify(this, QString::fromStdString(title), QString::fromStdString(text),
                             Dialogs::Icon::Error);
        },
        [this] { RepaintStatusBar(); });
    // A port left open while nothing is sent (a pause, after a run) is
    // looked at a few times a second, so that a device pulled out then is
    // noticed as soon as one pulled out during a wait.
    portWatch_.setInterval(250);
    // The port layer tells of its own failures in a plain box titled with
    // the window's caption.
    SetCommMessageSink([this](const std::string& text) {
        dialogs_->Notify(this, windowTitle(), QString::fromStdString(text), Dialogs::Icon::None);
    });
}

bool TfrmMain::ConnectDevice() {
    const bool open = device_->ConnectDevice(Options.ComPort, Options.ComDevice);
    if (open) {
        portWatch_.start();
    }
    return open;
}

void TfrmMain::WatchPort() {
    if (device_->Handle() == kInvalidPortHandle) {
        portWatch_.stop();
        return;
    }
    // An exchange notices a lost device by itself, at its next poll.
    if (portGate_.Busy() || !DeviceGone(device_->Handle())) {
        return;
    }
    if (Process.ProcessState == kProcessNotStarted) {
        // Nothing is interrupted: the status bar tells it, and the next
        // Start opens the port again.
        DisconnectDevice();
        return;
    }
    ReportLostDevice(false);
    btnStopClick();
}

void TfrmMain::ReportLostDevice(bool inConnectionTest) {
    // Closed first, so that the status bar says so while the box is up.
    DisconnectDevice();
    const QString text = inConnectionTest ? kLostInTest : kLostInRun;
    dialogs_->Notify(this, "Error", text + "\r\n" + QString::fromStdString(CommErrorText()),
                     Dialogs::Icon::Error);
}

void TfrmMain::DisconnectDevice() {
    device_->DisconnectDevice();
}

int TfrmMain::DeviceState() const {
    return device_->DeviceState();
}

ExchangeResult TfrmMain::Exchange(const std::string& command, std::int32_t pollLimit,
                                  bool quietWrite, bool markWaiting) {
    const auto sent = std::chrono::steady_clock::now();
    ExchangeResult result = ExchangeCommand(
        device_->Handle(), command, pollLimit, quietWrite,
        markWaiting ? &Process.WaitingReply : nullptr, [] { QCoreApplication::processEvents(); },
        pollSleep_, Options.FastPace ? ExchangePace::Fast : ExchangePace::Standard);
    LogExchange(command, result, sent);
    return result;
}
