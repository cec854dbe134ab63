#include <QDir>

#include "core/settings/settings_location.h"
#include "main_window.h"
#include "qt_dialogs.h"
#include "zentrivo_application.h"
#include "zentrivo_windows.h"

int main(int argc, char** argv) {
    ZentrivoApplication app(argc, argv);
    const QString programFolder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    const std::string settingsFolder =
        zentrivo::SettingsFolderFor(programFolder.toStdString(), ZENTRIVO_INSTALL_BINDIR);
    ZentrivoWindows windows(QString::fromStdString(settingsFolder), std::make_unique<QtDialogs>());
    windows.frmMain.show();
    return app.exec();
}
