#include "device_link.h"

#include "core/serial/commu.h"
#include "handler_errors.h"

using namespace zentrivo;

namespace {

const char* kLostInRun = "Device was disconnected. Terminating process.";
const char* kLostInTest = "Device was disconnected. Please check the cable and try again !";

}  // namespace

DeviceLink::DeviceLink(const TOpcije& options, ShootObserver& observer, ShootLog& log,
                       QObject* parent)
    : QObject(parent), options_(options), observer_(observer), log_(log) {
    device_ = std::make_unique<DeviceConnection>(
        [this](const std::string& title, const std::string& text) {
            observer_.ShowMessage(QString::fromStdString(title), QString::fromStdString(text),
                                  ShootObserver::Icon::Error);
        },
        [this] { observer_.DeviceStateChanged(device_->DeviceState()); });
    // A port left open while nothing is sent (a pause, after a run) is
    // looked at a few times a second, so that a device pulled out then is
    // noticed as soon as one pulled out during a wait.
    watch_.setInterval(250);
    connect(&watch_, &QTimer::timeout, this, [this] { RunGuarded([this] { Watch(); }); });
}

DeviceLink::~DeviceLink() {
    watch_.stop();
}

bool DeviceLink::Connect() {
    const bool open = device_->ConnectDevice(options_.ComPort, options_.ComDevice);
    if (open) {
        watch_.start();
    }
    return open;
}

void DeviceLink::Disconnect() {
    if (gate_.Busy()) {
        closeAfterExchange_ = true;
        return;
    }
    device_->DisconnectDevice();
}

void DeviceLink::MarkConnected() {
    device_->MarkDeviceConnected();
}

void DeviceLink::Watch() {
    if (device_->Handle() == kInvalidPortHandle) {
        watch_.stop();
        return;
    }
    // An exchange notices a lost device by itself, at its next poll.
    if (gate_.Busy() || !DeviceGone(device_->Handle())) {
        return;
    }
    if (onGone_) {
        onGone_();
    }
}

void DeviceLink::ReportLost(bool inConnectionTest) {
    // Closed first, so that the status bar says so while the box is up.
    Disconnect();
    const QString text = inConnectionTest ? kLostInTest : kLostInRun;
    observer_.ShowMessage("Error", text + "\r\n" + QString::fromStdString(CommErrorText()),
                          ShootObserver::Icon::Error);
}

void DeviceLink::Exchange(const std::string& command, std::int32_t pollLimit, bool quietWrite,
                          Done done) {
    exchanging_.emplace(gate_);
    log_.Sent(command);
    const auto sent = std::chrono::steady_clock::now();
    PortWorker::Request request;
    request.port = device_->Handle();
    request.command = command;
    request.pollLimit = pollLimit;
    request.quietWrite = quietWrite;
    request.pace = options_.FastPace ? ExchangePace::Fast : ExchangePace::Standard;
    request.sleep = pollSleep_;
    worker_.Run(std::move(request), this,
                [this, sent, done = std::move(done)](const ExchangeResult& result) {
                    log_.Replied(result, sent);
                    RunGuarded([&] { done(result); });
                    exchanging_.reset();
                    if (std::exchange(closeAfterExchange_, false)) {
                        Disconnect();
                    }
                });
}
