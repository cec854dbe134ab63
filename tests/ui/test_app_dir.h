#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "scripted_dialogs.h"
#include "ui/zentrivo_windows.h"

// The program's three windows on a folder of their own, with dialogs that
// a test scripts. The settings file lives in that folder.
struct TestProgram {
    explicit TestProgram(const QString& iniContent = QString());

    // Ends the program without its closing steps, as a crash or a kill
    // would, and starts it again on the same folder.
    void Restart();

    QString ProgramFolder() const;
    QString IniPath() const;
    QString ReadIni() const;

    QTemporaryDir dir;
    ScriptedDialogs* dialogs;  // owned by the main window
    std::unique_ptr<ZentrivoWindows> windows;
    TfrmMain& main() { return windows->frmMain; }
};
