#include "work_gate.h"

#include "handler_errors.h"

WorkGate::Hold::Hold(WorkGate& gate) : gate_(gate) {
    gate_.held_ = true;
}

WorkGate::Hold::~Hold() {
    gate_.held_ = false;
    auto actions = std::move(gate_.waiting_);
    gate_.waiting_.clear();
    for (auto& action : actions) {
        QMetaObject::invokeMethod(
            gate_.context_, [run = std::move(action)] { RunGuarded(run); }, Qt::QueuedConnection);
    }
}

void WorkGate::WhenFree(const std::vector<WorkGate*>& gates, std::function<void()> action) {
    for (WorkGate* gate : gates) {
        if (gate->held_) {
            // Asked again when this one is free: another may be held by then.
            gate->waiting_.push_back(
                [gates, action = std::move(action)] { WhenFree(gates, action); });
            return;
        }
    }
    action();
}
