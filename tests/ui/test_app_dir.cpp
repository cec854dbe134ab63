#include "test_app_dir.h"

#include <QFile>

TestProgram::TestProgram(const QString& iniContent) {
    // Run logs go into the test's own folder, never the user's.
    qputenv("XDG_STATE_HOME", dir.filePath("state").toUtf8());
    if (!iniContent.isNull()) {
        QFile f(dir.filePath("opcije.ini"));
        f.open(QIODevice::WriteOnly);
        f.write(iniContent.toLatin1());
    }
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    windows = std::make_unique<ZentrivoWindows>(dir.path(), std::move(scripted));
}

void TestProgram::Restart() {
    windows.reset();
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    windows = std::make_unique<ZentrivoWindows>(dir.path(), std::move(scripted));
}

QString TestProgram::IniPath() const {
    return dir.filePath("opcije.ini");
}

QString TestProgram::ReadIni() const {
    QFile f(IniPath());
    if (!f.open(QIODevice::ReadOnly)) {
        return QString();
    }
    return QString::fromLatin1(f.readAll());
}
