#include "zentrivo_application.h"

#include <exception>

#include "dialogs.h"

namespace {
std::function<void(const QString&)>& Reporter() {
    static std::function<void(const QString&)> reporter;
    return reporter;
}
}  // namespace

ZentrivoApplication::ZentrivoApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(kAppTitle);
    setApplicationDisplayName(kAppTitle);
}

bool ZentrivoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ReportError("Unknown error");
    }
    return false;
}

void ZentrivoApplication::SetErrorReporter(std::function<void(const QString&)> reporter) {
    Reporter() = std::move(reporter);
}

void ZentrivoApplication::ReportError(const QString& text) {
    if (Reporter()) {
        Reporter()(text);
    }
}

void ShowUnhandledError(Dialogs& dialogs, QWidget* owner, const QString& text) {
    dialogs.Notify(owner, kAppTitle, text, Dialogs::Icon::Error);
}
