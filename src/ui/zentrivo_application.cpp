#include "zentrivo_application.h"

#include "dialogs.h"
#include "run/handler_errors.h"

ZentrivoApplication::ZentrivoApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // No display name: Qt would add it to every title the window system
    // shows ("Error — Zentrivo"), and each window's caption stands alone.
    setApplicationName(kAppTitle);
    // Lets the desktop match the window to its menu entry and icon.
    setDesktopFileName(ZENTRIVO_APP_ID);
}

bool ZentrivoApplication::notify(QObject* receiver, QEvent* event) {
    // The last net, for an error raised outside a guarded handler.
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

void ShowUnhandledError(Dialogs& dialogs, QWidget* owner, const QString& text) {
    dialogs.Notify(owner, kAppTitle, text, Dialogs::Icon::Error);
}
