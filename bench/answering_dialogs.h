#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstdio>
#include <optional>

#include "ui/dialogs.h"

// Answers every box with OK and remembers the last text; every other dialog
// is cancelled. For the benchmarks that play the whole window.
class AnsweringDialogs : public Dialogs {
public:
    QString last;
    Answer Message(QWidget*, const QString&, const QString& text, Icon, Buttons) override {
        last = text;
        return Answer::Ok;
    }
    std::optional<QString> InputText(QWidget*, const QString&, const QString&, const QString&,
                                     int) override {
        return std::nullopt;
    }
    std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> OpenFileName(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> SaveFileName(QWidget*, const QString&, const QString&,
                                        const QString&) override {
        return std::nullopt;
    }
    bool ShellOpen(const QString&) override { return true; }
};

// Offscreen when there is no display to show the window on.
inline void OffscreenWithoutDisplay() {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

// Runs the event loop until the run's completion message; false, with the
// message that ended the run instead, when another one came first.
inline bool AwaitCompletion(const AnsweringDialogs& answers) {
    while (!answers.last.startsWith("Process successfully completed !")) {
        if (!answers.last.isEmpty()) {
            std::fprintf(stderr, "the run ended with: %s\n", qPrintable(answers.last));
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}
