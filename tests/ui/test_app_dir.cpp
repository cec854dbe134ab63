#include "test_app_dir.h"

#include <QDir>
#include <QFile>

TestProgram::TestProgram(const QString& iniContent) {
    // Run logs go into the test's own folder, never the user's.
    qputenv("XDG_STATE_HOME", dir.filePath("state").toUtf8());
    qputenv("LOCALAPPDATA", QDir::toNativeSeparators(dir.filePath("state")).toUtf8());
    if (!iniContent.isNull()) {
        QFile f(dir.filePath("opcije.ini"));
        f.open(QIODevice::WriteOnly);
        f.write(iniContent.toLatin1());
    }
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    windows = std::make_unique<ZentrivoWindows>(ProgramFolder(), std::move(scripted));
}

void TestProgram::Restart() {
    windows.reset();
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    windows = std::make_unique<ZentrivoWindows>(ProgramFolder(), std::move(scripted));
}

QString TestProgram::ProgramFolder() const {
    // In the system's own form, as the program is handed its folder.
    return QDir::toNativeSeparators(dir.path());
}

QString TestProgram::IniPath() const {
    return QDir::toNativeSeparators(dir.filePath("opcije.ini"));
}

QString TestProgram::ReadIni() const {
    QFile f(IniPath());
    if (!f.open(QIODevice::ReadOnly)) {
        return QString();
    }
    return QString::fromLatin1(f.readAll());
}
