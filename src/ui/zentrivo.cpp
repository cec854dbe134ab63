#include <QDir>

#include "main_window.h"
#include "qt_dialogs.h"
#include "zentrivo_application.h"
#include "zentrivo_windows.h"

int main(int argc, char** argv) {
    ZentrivoApplication app(argc, argv);
    ZentrivoWindows windows(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()),
                            std::make_unique<QtDialogs>());
    windows.frmMain.show();
    return app.exec();
}
