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
    // No display name: Qt would add it to every title the window system
    // shows ("Error — Zentrivo"), and each window's caption stands alone.
    setApplicationName(kAppTitle);
    // Lets the desktop match the window to its menu entry and icon.
    setDesktopFileName(ZENTRIVO_APP_ID);
}

void RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ZentrivoApplication::ReportError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ZentrivoApplication::ReportError("Unknown error");
    }
}

bool ZentrivoApplication::notify(QObject* receiver, QEvent* event) {
    // The last net, for an error raised outside a guarded handler.
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
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
