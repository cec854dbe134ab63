#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/serial/device.h"
#include "core/serial/device_connection.h"
#include "core/settings/settings.h"
#include "port_worker.h"
#include "shoot_log.h"
#include "shoot_observer.h"
#include "work_gate.h"

// The link to the controller board: the port, opened and closed as the
// settings say, one command's exchange at a time, and a watch that notices a
// board that went away while nothing is sent.
class DeviceLink : public QObject {
    Q_OBJECT

public:
    DeviceLink(const zentrivo::TOpcije& options, ShootObserver& observer, ShootLog& log,
               QObject* parent = nullptr);
    ~DeviceLink() override;

    // Opens the port unless it is open; true when it is.
    bool Connect();
    void Disconnect();
    // The board answered the connection test.
    void MarkConnected();
    // 0 disconnected, 1 port open, 2 device connected.
    int State() const { return device_->DeviceState(); }
    // What the open port was opened by, and the device it reached.
    const std::string& PortName() const { return device_->PortName(); }
    std::string PortDevice() const { return device_->PortDevice(); }

    // Held from before a command is written until `done` has judged and
    // counted its reply: whatever must not come between waits for it.
    WorkGate& Gate() { return gate_; }
    const WorkGate& Gate() const { return gate_; }

    using Done = std::function<void(const zentrivo::ExchangeResult&)>;
    // Sends one command and waits for its reply on the port's own thread;
    // `done` runs here with the result, logged, once it is in. One exchange
    // at a time: the next waits for the gate.
    void Exchange(const std::string& command, std::int32_t pollLimit, bool quietWrite, Done done);
    // How a poll waits between reads; 10 ms unless a test shortens it. Runs
    // on the port's thread.
    void SetPollSleep(std::function<void()> sleep) { pollSleep_ = std::move(sleep); }

    // Closes the port of a device that went away and tells the user, with
    // the port layer's text on a second line.
    void ReportLost(bool inConnectionTest);
    // What happens when the watch finds the device gone between exchanges.
    void OnGone(std::function<void()> handler) { onGone_ = std::move(handler); }

private:
    void Watch();

    const zentrivo::TOpcije& options_;
    ShootObserver& observer_;
    ShootLog& log_;
    std::unique_ptr<zentrivo::DeviceConnection> device_;
    std::function<void()> pollSleep_;
    std::function<void()> onGone_;
    // The port carries one exchange at a time.
    WorkGate gate_{this};
    std::optional<WorkGate::Hold> exchanging_;
    // A close asked for while an exchange reads the port comes after it.
    bool closeAfterExchange_ = false;
    QTimer watch_;
    PortWorker worker_;
};
