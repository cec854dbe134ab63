#pragma once

#include <QApplication>
#include <functional>

class Dialogs;
class QWidget;

// The program's name: the application title and the title of the box that
// shows an error no handler caught.
inline constexpr const char* kAppTitle = "Zentrivo";

// The application object. An error that escapes an event handler is shown
// to the user in one place, here, and the program carries on with the next
// event instead of ending.
class ZentrivoApplication : public QApplication {
public:
    ZentrivoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The box that tells the user of an error no handler caught.
void ShowUnhandledError(Dialogs& dialogs, QWidget* owner, const QString& text);
