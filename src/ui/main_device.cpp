#include <QCoreApplication>

#include "commu.h"
#include "main_window.h"

using namespace zentrivo;

void TfrmMain::SetUpDevice() {
    device_ = std::make_unique<DeviceConnection>(
        [this](const std::string& title, const std::string& text) {
            dialogs_->Notify(this, QString::fromStdString(title), QString::fromStdString(text),
                             Dialogs::Icon::Error);
        },
        [this] { RepaintStatusBar(); });
    // The port layer tells of its own failures in a plain box titled with
    // the window's caption.
    SetCommMessageSink([this](const std::string& text) {
        dialogs_->Notify(this, windowTitle(), QString::fromStdString(text), Dialogs::Icon::None);
    });
}

bool TfrmMain::ConnectDevice() {
    return device_->ConnectDevice(Options.ComPort);
}

void TfrmMain::DisconnectDevice() {
    device_->DisconnectDevice();
}

int TfrmMain::DeviceState() const {
    return device_->DeviceState();
}

ExchangeResult TfrmMain::Exchange(const std::string& command, std::int32_t pollLimit,
                                  bool quietWrite, bool markWaiting) {
    return ExchangeCommand(
        device_->Handle(), command, pollLimit, quietWrite,
        markWaiting ? &Process.WaitingReply : nullptr, [] { QCoreApplication::processEvents(); },
        pollSleep_);
}
