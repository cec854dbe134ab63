#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "test_app_dir.h"
#include "test_main.h"
#include "ui_helpers.h"
#include "ui_main_window.h"
#include "ui_parametri.h"

class ParametriTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheSettingsAndOkStoresThem();
    void comPortZeroOpensAtOneAndOkStoresOne();
    void typedComPortInsideRangeIsTakenOutsideIsNot();
    void comPortAndStepsInvalidGiveTwoMessagesAndEndOnSecondPage();
    void gearRatioBelowOneIsStoredAsOne();
    void gearRatioNotWholeIsRefused();
    void closeBoxWritesNothing();
    void failedWriteIsShownByTheGeneralErrorBox();

private:
    // Opens the dialog from the toolbar, lets `fill` act in it, presses Ok
    // and closes it with the close box if it stays open.
    static void RunDialog(TestProgram& p, std::function<void(Ui::TfrmParametri&)> fill) {
        TfrmParametri& d = p.windows->frmParametri;
        WhenDialogOpens([&d, fill] {
            fill(*d.ui);
            if (d.isVisible()) {
                d.reject();
            }
        });
        ClickToolButton(p.main().ui->tbMain, p.main().ui->Parametri1);
    }
    static void PressOk(Ui::TfrmParametri& ui) { QTest::mouseClick(ui.btnOk, Qt::LeftButton); }
};

void ParametriTest::opensWithTheSettingsAndOkStoresThem() {
    TestProgram p("[Parametri]\r\ncom_port=7\r\nbr_koraka=200\r\nodnos_prenosa=60\r\n");
    QString shown;
    RunDialog(p, [&](Ui::TfrmParametri& ui) {
        shown = ui.txtComPort->text() + "," + ui.txtBrojKoraka->text() + "," +
                ui.txtOdnosPrenosa->text();
        QCOMPARE(p.windows->frmParametri.windowTitle(), QString("Parameters"));
        ui.txtBrojKoraka->setText("24");
        PressOk(ui);
    });
    QCOMPARE(shown, QString("7,200,60"));
    QCOMPARE(p.main().Options.BrojKoraka, 24);
    QCOMPARE(p.ReadIni(),
             QString("[Parametri]\r\ncom_port=7\r\nbr_koraka=24\r\nodnos_prenosa=60\r\n"));
}

void ParametriTest::comPortZeroOpensAtOneAndOkStoresOne() {
    TestProgram p("[Parametri]\r\ncom_port=0\r\n");
    QCOMPARE(p.main().Options.ComPort, 0);
    QString shown;
    RunDialog(p, [&](Ui::TfrmParametri& ui) {
        shown = ui.txtComPort->text();
        PressOk(ui);
    });
    QCOMPARE(shown, QString("1"));
    QCOMPARE(p.main().Options.ComPort, 1);
    QCOMPARE(p.ReadIni(),
             QString("[Parametri]\r\ncom_port=1\r\nbr_koraka=48\r\nodnos_prenosa=25\r\n"));
}

void ParametriTest::typedComPortInsideRangeIsTakenOutsideIsNot() {
    TestProgram p;
    RunDialog(p, [](Ui::TfrmParametri& ui) {
        ui.txtComPort->clear();
        QTest::keyClicks(ui.txtComPort, "12");
        PressOk(ui);
    });
    QCOMPARE(p.main().Options.ComPort, 12);
    RunDialog(p, [](Ui::TfrmParametri& ui) {
        ui.txtComPort->clear();
        QTest::keyClicks(ui.txtComPort, "31");
        PressOk(ui);
    });
    QCOMPARE(p.main().Options.ComPort, 12);
    // The arrow keys move within the range and stop at its end.
    RunDialog(p, [](Ui::TfrmParametri& ui) {
        ui.txtComPort->setFocus();
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(ui.txtComPort, Qt::Key_Up);
        }
        PressOk(ui);
    });
    QCOMPARE(p.main().Options.ComPort, 30);
    QVERIFY(p.dialogs->shown.empty());
}

void ParametriTest::comPortAndStepsInvalidGiveTwoMessagesAndEndOnSecondPage() {
    TestProgram p;
    int page = -1;
    bool stillOpen = false;
    RunDialog(p, [&](Ui::TfrmParametri& ui) {
        ui.txtComPort->setText("abc");
        ui.txtBrojKoraka->setText("");
        PressOk(ui);
        page = ui.pgParametri->currentIndex();
        stillOpen = p.windows->frmParametri.isVisible();
    });
    QCOMPARE(p.dialogs->Messages(),
             (QStringList{"Greška|Please enter COM port number !",
                          "Greška|Please enter number of steps for the motor !"}));
    QCOMPARE(p.dialogs->shown[0].icon, Dialogs::Icon::Error);
    QCOMPARE(page, 1);
    QVERIFY(stillOpen);
    QVERIFY(p.ReadIni().isEmpty());
    QCOMPARE(p.main().Options.ComPort, 3);
}

void ParametriTest::gearRatioBelowOneIsStoredAsOne() {
    for (const char* ratio : {"0", "-5"}) {
        TestProgram p;
        RunDialog(p, [&](Ui::TfrmParametri& ui) {
            ui.txtOdnosPrenosa->setText(ratio);
            PressOk(ui);
        });
        QVERIFY(p.dialogs->shown.empty());
        QCOMPARE(p.main().Options.OdnosPrenosa, 1);
        QVERIFY(p.ReadIni().contains("odnos_prenosa=1\r\n"));
    }
}

void ParametriTest::gearRatioNotWholeIsRefused() {
    TestProgram p;
    int page = -1;
    RunDialog(p, [&](Ui::TfrmParametri& ui) {
        ui.pgParametri->setCurrentIndex(0);
        ui.txtOdnosPrenosa->setText("2.5");
        PressOk(ui);
        page = ui.pgParametri->currentIndex();
    });
    QCOMPARE(p.dialogs->Messages(),
             QStringList{"Greška|Please enter a whole number for Gear Ratio !"});
    QCOMPARE(page, 1);
    QCOMPARE(p.main().Options.OdnosPrenosa, 25);
}

void ParametriTest::closeBoxWritesNothing() {
    TestProgram p;
    RunDialog(p, [](Ui::TfrmParametri& ui) { ui.txtBrojKoraka->setText("99"); });
    QCOMPARE(p.main().Options.BrojKoraka, 48);
    QVERIFY(p.ReadIni().isEmpty());
    // Values typed into a dialog that was closed without Ok are forgotten.
    QString shown;
    RunDialog(p, [&](Ui::TfrmParametri& ui) { shown = ui.txtBrojKoraka->text(); });
    QCOMPARE(shown, QString("48"));
}

void ParametriTest::failedWriteIsShownByTheGeneralErrorBox() {
    TestProgram p;
    QDir(p.dir.path()).mkdir("opcije.ini");
    RunDialog(p, [](Ui::TfrmParametri& ui) {
        ui.txtBrojKoraka->setText("24");
        PressOk(ui);
    });
    QCOMPARE(p.dialogs->Messages(), QStringList{"Zentrivo|Unable to write to " + p.IniPath()});
    QCOMPARE(p.dialogs->shown[0].icon, Dialogs::Icon::Error);
    // The values taken stay in effect, and the program carries on.
    QCOMPARE(p.main().Options.BrojKoraka, 24);
    QVERIFY(p.main().tmrSat.isActive());
}

ZENTRIVO_TEST_MAIN(ParametriTest)
#include "parametri_test.moc"
