#include <QAccessibleValueInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

#include "main_controls.h"
#include "test_app_dir.h"
#include "test_main.h"
#include "ui/device_panel.h"
#include "ui_helpers.h"
#include "ui_proces_edit.h"

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithEveryDefaultAndWritesNothing();
    void statusBarAndClock();
    void readsSettingsIntoControls();
    void closeAnsweredNoChangesNothing();
    void closeAnsweredYesWritesTheSixPreferences();
    void failedWriteAtExitIsShownAndTheProgramStillExits();
    void aboutBox();
    void toolbarSharesTheMenusActions();
    void screenReadersHearThePanelsTheDisplayAndEveryControl();
    void runLogsThatNoProgramOpensAreShownByTheirPath();
};

void MainWindowTest::startsWithEveryDefaultAndWritesNothing() {
    TestProgram p;
    MainControls ui(p.main());
    QCOMPARE(p.main().windowTitle(), QString("Zentrivo - novi_profil.zv"));
    QCOMPARE(p.main().AppTitle(), QString("Zentrivo"));
    QCOMPARE(ui.pcMain->currentIndex(), 0);
    QCOMPARE(ui.pcMain->tabText(0), QString("Rotation"));
    QCOMPARE(ui.pcMain->tabText(1), QString("Photo"));
    QVERIFY(ui.btnKreirajProces->isEnabled());
    for (QWidget* off : std::initializer_list<QWidget*>{ui.btnStart, ui.btnPauza, ui.btnStop,
                                                        ui.btnEditujProces, ui.btnNaPocetak}) {
        QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
    }
    QVERIFY(ui.ckAutoStart->isChecked());
    QVERIFY(!ui.ckAutoPauza->isChecked());
    QVERIFY(!ui.ckFotosAutoCopy->isChecked());
    QVERIFY(!ui.ckFotosAutoNameDir->isChecked());
#ifdef Q_OS_WIN
    const QString photoFolder = "C:";
#else
    const QString photoFolder = QDir::homePath();
#endif
    QCOMPARE(ui.txtFotosSrcDir->text(), photoFolder);
    QCOMPARE(ui.txtFotosDestDir->text(), photoFolder);
    // The shoot parameters start at their designed values.
    QCOMPARE(ui.cbRotiranjeTip->currentIndex(), 0);
    QCOMPARE(ui.txtBrojSlika->text(), QString("30"));
    QCOMPARE(ui.txtPeriodRotacije->text(), QString("5"));
    QVERIFY(ui.btnDirLeft->isChecked());
    QVERIFY(!ui.btnDirRight->isChecked());
    QCOMPARE(ui.txtTrajanjeFokusa->text(), QString("2000"));
    QCOMPARE(ui.txtTrajanjeBlende->text(), QString("50"));
    QCOMPARE(ui.txtMedjuPauza->text(), QString("50"));
    QCOMPARE(ui.lblProgresKoraka->text(), QString("Step 0/0"));
    QVERIFY(p.main().minimumSize() == QSize(837, 530));
    QCOMPARE(p.main().shoot().Process().ProcessState, 0);
    QVERIFY(!p.main().shoot().Process().WaitingReply);
    QVERIFY(!QFile::exists(p.IniPath()));
    QVERIFY(p.dialogs->shown.empty());
}

void MainWindowTest::statusBarAndClock() {
    TestProgram p;
    QCOMPARE(p.main().StatusText(0), QString());
    QCOMPARE(p.main().StatusText(1), QString("Device is disconnected."));
    QCOMPARE(p.main().StatusText(2), QString());
    QCOMPARE(p.main().StatusText(3), QString("New Photos: 0"));
    QCOMPARE(p.main().tmrSat.interval(), 800);
    QVERIFY(p.main().tmrSat.isActive());
    QVERIFY(!p.main().shoot().Photos().Folder().Watching());
    QTRY_VERIFY_WITH_TIMEOUT(!p.main().StatusText(0).isEmpty(), 2000);
    QVERIFY(QRegularExpression("^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d$")
                .match(p.main().StatusText(0))
                .hasMatch());
    QCOMPARE(p.main().StatusText(2), QString("Process not started."));
    QCOMPARE(p.main().devicePanel()->accessibleName(), QString("Device is disconnected."));
}

void MainWindowTest::readsSettingsIntoControls() {
    TestProgram p(
        "[Ostalo]\r\nauto_start=0\r\nauto_pauza=2\r\nfotos_dir=/cam\r\nfotos_copy_dir=/dest\r\n"
        "fotos_auto_copy=1\r\nfotos_auto_name_dir=yes\r\n[Parametri]\r\ncom_port=0x0A\r\n");
    MainControls ui(p.main());
    QVERIFY(!ui.ckAutoStart->isChecked());
    QVERIFY(ui.ckAutoPauza->isChecked());
    QCOMPARE(ui.txtFotosSrcDir->text(), QString("/cam"));
    QCOMPARE(ui.txtFotosDestDir->text(), QString("/dest"));
    QVERIFY(ui.ckFotosAutoCopy->isChecked());
    QVERIFY(!ui.ckFotosAutoNameDir->isChecked());
    QCOMPARE(p.main().Options.ComPort, 10);
}

void MainWindowTest::closeAnsweredNoChangesNothing() {
    TestProgram p("[Ostalo]\r\nforeign=1\r\n");
    p.main().show();
    p.dialogs->answers = {Dialogs::Answer::No};
    MainControls(p.main()).ckAutoPauza->setChecked(true);
    MainControls(p.main()).Izlaz1->trigger();
    QVERIFY(p.main().isVisible());
    QCOMPARE(p.dialogs->Messages(), QStringList{"Close|Are you sure you want to exit ?"});
    QCOMPARE(p.dialogs->shown[0].icon, Dialogs::Icon::Question);
    QCOMPARE(p.dialogs->shown[0].buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(p.ReadIni(), QString("[Ostalo]\r\nforeign=1\r\n"));
}

void MainWindowTest::closeAnsweredYesWritesTheSixPreferences() {
    TestProgram p("; mine\r\n[Ostalo]\r\nforeign=1\r\n");
    p.main().show();
    MainControls ui(p.main());
    ui.ckAutoStart->setChecked(false);
    ui.ckAutoPauza->setChecked(true);
    ui.ckFotosAutoNameDir->setChecked(true);
    p.main().Options.FotosDir = "/cam";
    p.main().Options.FotosCopyDir = "/dest";
    p.dialogs->answers = {Dialogs::Answer::Yes};
    QVERIFY(p.main().close());
    QVERIFY(!p.main().isVisible());
    QVERIFY(!p.main().tmrSat.isActive());
    QCOMPARE(p.ReadIni(),
             QString("; mine\r\n[Ostalo]\r\nforeign=1\r\nauto_start=0\r\nauto_pauza=1\r\n"
                     "fotos_dir=/cam\r\nfotos_copy_dir=/dest\r\nfotos_auto_copy=0\r\n"
                     "fotos_auto_name_dir=1\r\n"));
}

void MainWindowTest::failedWriteAtExitIsShownAndTheProgramStillExits() {
    TestProgram p;
    QDir(p.dir.path()).mkdir("opcije.ini");  // a folder where the file should be
    p.main().show();
    p.dialogs->answers = {Dialogs::Answer::Yes};
    QVERIFY(p.main().close());
    const QStringList messages = p.dialogs->Messages();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages[1], "Zentrivo|Unable to write to " + p.IniPath());
    QCOMPARE(p.dialogs->shown[1].icon, Dialogs::Icon::Error);
}

void MainWindowTest::aboutBox() {
    TestProgram p;
    MainControls(p.main()).Oprogramu1->trigger();
    QCOMPARE(p.dialogs->shown.size(), size_t(1));
    QCOMPARE(p.dialogs->shown[0].title, QString("About"));
    QCOMPARE(p.dialogs->shown[0].icon, Dialogs::Icon::Information);
    QVERIFY(p.dialogs->shown[0].text.startsWith("Zentrivo "));
    QVERIFY(p.dialogs->shown[0].text.contains("README"));
}

void MainWindowTest::toolbarSharesTheMenusActions() {
    TestProgram p;
    MainControls ui(p.main());
    for (const char* name : {"tbNovi", "tbUcitaj", "tbSnimi", "bParametri"}) {
        auto* button = ui.tbMain->findChild<QToolButton*>(name);
        QVERIFY2(button != nullptr, name);
        QVERIFY(button->defaultAction() != nullptr);
    }
    QCOMPARE(ui.tbMain->findChild<QToolButton*>("tbSnimi")->defaultAction(), ui.Snimi1);
    QCOMPARE(ui.Snimi1->text(), QString("&Save Profile As..."));
}

void MainWindowTest::screenReadersHearThePanelsTheDisplayAndEveryControl() {
    TestProgram p;
    MainControls ui(p.main());
    p.main().show();
    p.main().tmrSatTimer();
    // Each status panel is heard by what it shows.
    QStringList panels;
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(ui.sbMain);
    for (int i = 0; i < bar->childCount(); ++i) {
        panels << bar->child(i)->text(QAccessible::Name);
    }
    for (int panel = 0; panel < 4; ++panel) {
        QVERIFY2(panels.contains(p.main().StatusText(panel)), qPrintable(panels.join(" | ")));
    }
    QVERIFY(panels.contains("Process not started."));
    QVERIFY(panels.contains("New Photos: 0"));

    // The gauge is a progress bar with its value and range; the pie tells
    // its counts.
    ui.ckAutoStart->setChecked(false);
    ui.txtBrojSlika->setText("4");
    QTest::mouseClick(ui.btnKreirajProces, Qt::LeftButton);
    p.main().AdvanceProgress();
    QAccessibleInterface* gauge = QAccessible::queryAccessibleInterface(ui.gProces);
    QCOMPARE(gauge->role(), QAccessible::ProgressBar);
    QCOMPARE(gauge->text(QAccessible::Name), QString("Process progress"));
    QCOMPARE(gauge->text(QAccessible::Value), QString("25%"));
    QAccessibleValueInterface* value = gauge->valueInterface();
    QVERIFY(value != nullptr);
    QCOMPARE(value->currentValue().toInt(), 1);
    QCOMPARE(value->minimumValue().toInt(), 0);
    QCOMPARE(value->maximumValue().toInt(), 4);
    QAccessibleInterface* pie = QAccessible::queryAccessibleInterface(ui.ChartProces);
    QCOMPARE(pie->role(), QAccessible::Chart);
    QCOMPARE(pie->text(QAccessible::Name), QString("Process"));
    QCOMPARE(pie->text(QAccessible::Value), QString("Remaining 3, Completed 1"));

    // Every control a user can reach in the three windows has a name.
    const std::initializer_list<QWidget*> windows = {&p.main(), &p.windows->frmProcesEdit,
                                                     &p.windows->frmParametri};
    QStringList nameless;
    for (QWidget* window : windows) {
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (control->window() == window && (control->focusPolicy() & Qt::TabFocus) != 0 &&
                !control->isHidden() && Heard(control).isEmpty()) {
                nameless << window->objectName() + "." + control->objectName() + " (" +
                                control->metaObject()->className() + ")";
            }
        }
    }
    QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(", ")));
    QCOMPARE(Heard(ui.txtBrojSlika), QString("Number of photos to make:"));
    Ui::TfrmProcesEdit& editor = *p.windows->frmProcesEdit.ui;
    QCOMPARE(Heard(editor.txtKomanda), QString("Command:"));
    for (QToolButton* b :
         {editor.btnUp, editor.btnDown, editor.btnDel, editor.btnAdd, editor.btnChange}) {
        QCOMPARE(Heard(b), b->toolTip());
    }
}

void MainWindowTest::runLogsThatNoProgramOpensAreShownByTheirPath() {
    TestProgram p;
    p.dialogs->shellOpens = false;
    p.main().findChild<QAction*>("OpenRunLogs")->trigger();
    const QString folder = p.dir.filePath("state/zentrivo/logs");
    QCOMPARE(p.dialogs->shown.front().kind, QString("shell"));
    QCOMPARE(p.dialogs->Messages(), QStringList{"Run Logs|The run logs are in the folder\r\n" +
                                                QDir::toNativeSeparators(folder)});
    QCOMPARE(p.dialogs->shown.back().icon, Dialogs::Icon::Information);
    QVERIFY(QFileInfo(folder).isDir());
}

ZENTRIVO_TEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
