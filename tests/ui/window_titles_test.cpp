// The titles the window system shows, read back from the X server: Qt may
// add to a window's caption on its way there, which the caption itself
// never shows. Runs under Xvfb (see CMakeLists.txt).
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>

#include "test_app_dir.h"
#include "test_main.h"
#include "ui/qt_dialogs.h"
#include "ui_helpers.h"

namespace {

// The title of the window as the window system holds it (_NET_WM_NAME).
QString TitleShown(QWidget* window) {
    QProcess xprop;
    xprop.start("xprop", {"-id", QString::number(window->winId()), "_NET_WM_NAME"});
    if (!xprop.waitForFinished(10000)) {
        return "(xprop did not answer)";
    }
    // _NET_WM_NAME(UTF8_STRING) = "Zentrivo - novi_profil.zv"
    const QString line = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const int first = line.indexOf('"');
    return first < 0 ? line : line.mid(first + 1, line.lastIndexOf('"') - first - 1);
}

}  // namespace

class WindowTitlesTest : public QObject {
    Q_OBJECT

private slots:
    void everyTitleBarShowsItsCaptionAlone();
};

void WindowTitlesTest::everyTitleBarShowsItsCaptionAlone() {
    if (QGuiApplication::platformName() != "xcb") {
        QSKIP("needs an X server: run under xvfb-run with QT_QPA_PLATFORM=xcb");
    }
    TestProgram p;
    p.main().show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.main()));
    QTRY_COMPARE(TitleShown(&p.main()), QString("Zentrivo - novi_profil.zv"));
    for (QWidget* dialog :
         std::initializer_list<QWidget*>{&p.windows->frmParametri, &p.windows->frmProcesEdit}) {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QTRY_COMPARE(TitleShown(dialog), dialog->windowTitle());
        dialog->hide();
    }
    QCOMPARE(p.windows->frmParametri.windowTitle(), QString("Parameters"));
    QCOMPARE(p.windows->frmProcesEdit.windowTitle(), QString("Process Editor"));

    // A message box the program shows.
    QString boxTitle;
    WhenDialogOpens([&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        if (QTest::qWaitForWindowExposed(box)) {
            QTRY_VERIFY(!TitleShown(box).isEmpty());
            boxTitle = TitleShown(box);
        }
        box->accept();
    });
    QtDialogs().Notify(&p.main(), "Error", "Photos not copied !", Dialogs::Icon::Error);
    QCOMPARE(boxTitle, QString("Error"));
}

ZENTRIVO_TEST_MAIN(WindowTitlesTest)
#include "window_titles_test.moc"
