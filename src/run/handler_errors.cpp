#include "handler_errors.h"

#include <exception>

namespace {
std::function<void(const QString&)>& Reporter() {
    static std::function<void(const QString&)> reporter;
    return reporter;
}
}  // namespace

void RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ReportError("Unknown error");
    }
}

void SetErrorReporter(std::function<void(const QString&)> reporter) {
    Reporter() = std::move(reporter);
}

void ReportError(const QString& text) {
    if (Reporter()) {
        Reporter()(text);
    }
}
