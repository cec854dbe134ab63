#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <cstdlib>
#include <memory>

#include "simulated_shoot.h"
#include "ui/port_discovery.h"

#include "main_controls.h"
#include "test_app_dir.h"
#include "test_main.h"
#include "ui_helpers.h"
#include "ui_parametri.h"

class ParametriTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheSettingsAndOkStoresThem();
    void comPortZeroOpensAtOneAndOkStoresOne();
    void typedComPortInsideRangeIsTakenOutsideIsRefused();
    void comPortAndStepsInvalidGiveTwoMessagesAndEndOnSecondPage();
    void gearRatioBelowOneIsStoredAsOne();
    void gearRatioNotWholeIsRefused();
    void closeBoxWritesNothing();
    void failedWriteIsShownByTheGeneralErrorBox();
    void portListFollowsThePortsAndStoresTheChoice();
    void aShootRunsOnATypedDeviceAndTheVariableStillWins();
    void fastPaceIsOffUntilChosenAndThenStoredWithTheMachineSettings();

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
        ClickToolButton(MainControls(p.main()).tbMain, MainControls(p.main()).Parametri1);
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

void ParametriTest::typedComPortInsideRangeIsTakenOutsideIsRefused() {
    TestProgram p;
    RunDialog(p, [](Ui::TfrmParametri& ui) {
        ui.txtComPort->clear();
        QTest::keyClicks(ui.txtComPort, "12");
        PressOk(ui);
    });
    QCOMPARE(p.main().Options.ComPort, 12);
    QVERIFY(p.dialogs->shown.empty());
    // A port outside 1 to 30, or a motor of no steps, is refused on Ok with
    // the range named, and nothing is taken or written.
    const QString before = p.ReadIni();
    int page = -1;
    bool stillOpen = false;
    RunDialog(p, [&](Ui::TfrmParametri& ui) {
        ui.txtComPort->clear();
        QTest::keyClicks(ui.txtComPort, "31");
        ui.txtBrojKoraka->setText("0");
        PressOk(ui);
        stillOpen = p.windows->frmParametri.isVisible();
        ui.txtBrojKoraka->setText("-48");
        ui.txtComPort->setText("0");
        PressOk(ui);
        page = ui.pgParametri->currentIndex();
    });
    const QString port = "Greška|Please enter COM port number between 1 and 30 !";
    const QString steps = "Greška|Please enter number of steps for the motor, 1 or more !";
    QCOMPARE(p.dialogs->Messages(), (QStringList{port, steps, port, steps}));
    QCOMPARE(p.dialogs->shown[0].icon, Dialogs::Icon::Error);
    QVERIFY(stillOpen);
    QCOMPARE(page, 1);
    QCOMPARE(p.main().Options.ComPort, 12);
    QCOMPARE(p.main().Options.BrojKoraka, 48);
    QCOMPARE(p.ReadIni(), before);
    // The arrow keys move within the range and stop at its end.
    p.dialogs->Clear();
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

namespace {

// Ports that the test plugs in and pulls out while the list is open.
class FakeDiscovery : public PortDiscovery {
public:
    explicit FakeDiscovery(std::shared_ptr<QList<PortEntry>> present)
        : present_(std::move(present)) {}
    QList<PortEntry> Ports() override { return *present_; }

private:
    std::shared_ptr<QList<PortEntry>> present_;
};

const QString kUno = "/dev/serial/by-id/usb-Arduino__www.arduino.cc__0043_7543-if00";
const QString kFtdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

}  // namespace

void ParametriTest::portListFollowsThePortsAndStoresTheChoice() {
    TestProgram p("[Parametri]\r\ncom_port=3\r\n");
    auto present = std::make_shared<QList<PortEntry>>(
        QList<PortEntry>{{kUno, "Arduino (www.arduino.cc), Arduino Uno"}, {"/dev/ttyS0", ""}});
    p.windows->frmParametri.SetPortDiscovery(std::make_unique<FakeDiscovery>(present));
    RunDialog(p, [&](Ui::TfrmParametri& ui) {
        QComboBox* box = ui.cbComDevice;
        QCOMPARE(box->currentText(), QString("COM port number above"));
        QCOMPARE(Items(box), (QStringList{"COM port number above", kUno, "/dev/ttyS0"}));
        QCOMPARE(box->itemData(1, Qt::AccessibleTextRole).toString(),
                 kUno + " (Arduino (www.arduino.cc), Arduino Uno)");
        QCOMPARE(box->accessibleName(), QString("Port:"));
        // Plugged in and pulled out while the list is open.
        present->append({kFtdi, "FTDI, FT232R USB UART"});
        present->removeAt(1);
        QTRY_COMPARE(Items(box), (QStringList{"COM port number above", kUno, kFtdi}));
        box->setCurrentIndex(2);
        PressOk(ui);
    });
    QCOMPARE(p.ReadIni(),
             "[Parametri]\r\ncom_port=3\r\nbr_koraka=48\r\nodnos_prenosa=25\r\n"
             "com_device=" +
                 kFtdi + "\r\n");

    // The choice shows again, also when its device is not plugged in.
    present->clear();
    QString shown;
    RunDialog(p, [&](Ui::TfrmParametri& ui) {
        shown = ui.cbComDevice->currentText();
        PressOk(ui);
    });
    QCOMPARE(shown, kFtdi);
    QVERIFY(p.ReadIni().endsWith("com_device=" + kFtdi + "\r\n"));

    // The first entry hands the choice back to the number: the key goes.
    RunDialog(p, [](Ui::TfrmParametri& ui) {
        ui.cbComDevice->setCurrentIndex(0);
        PressOk(ui);
    });
    QCOMPARE(p.ReadIni(),
             QString("[Parametri]\r\ncom_port=3\r\nbr_koraka=48\r\nodnos_prenosa=25\r\n"));
    QVERIFY(p.main().Options.ComDevice.empty());
}

void ParametriTest::aShootRunsOnATypedDeviceAndTheVariableStillWins() {
    SimulatedShoot s({"--time-scale", "0"});
    unsetenv("ZENTRIVO_COM3");
    const QString typed = QString::fromStdString(s.sim->DevicePath());
    RunDialog(s.program, [&](Ui::TfrmParametri& ui) {
        ui.cbComDevice->setFocus();
        ui.cbComDevice->lineEdit()->selectAll();
        QTest::keyClicks(ui.cbComDevice, typed);
        PressOk(ui);
    });
    QVERIFY(s.program.ReadIni().contains("com_device=" + typed + "\r\n"));
    s.Make("2");
    s.Start();
    QVERIFY(s.WaitForMessage("Information|Process successfully completed !" + NoPhotosCame(2)));
    QCOMPARE(s.Commands().first(), QString("X."));

    // A port mapped from a terminal still wins over the chosen device.
    SimulatedTurntable mapped({"--time-scale", "0"});
    setenv("ZENTRIVO_COM3", mapped.DevicePath().c_str(), 1);
    s.main().shoot().Disconnect();
    const int before = s.Commands().size();
    s.dialogs().Clear();
    s.Start();
    QVERIFY(s.WaitForMessage("Information|Process successfully completed !" + NoPhotosCame(2)));
    QCOMPARE(s.Commands().size(), before);
}

void ParametriTest::fastPaceIsOffUntilChosenAndThenStoredWithTheMachineSettings() {
    TestProgram p;
    bool shownTicked = true;
    QString name;
    QString page;
    RunDialog(p, [&](Ui::TfrmParametri& ui) {
        shownTicked = ui.ckFastPace->isChecked();
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(ui.ckFastPace);
        name = read->text(QAccessible::Name);
        page = ui.pgParametri->tabText(ui.pgParametri->indexOf(ui.ckFastPace->parentWidget()));
        ui.pgParametri->setCurrentIndex(1);
        QTest::mouseClick(ui.ckFastPace, Qt::LeftButton, {},
                          QPoint(6, ui.ckFastPace->height() / 2));
        PressOk(ui);
    });
    QVERIFY(!shownTicked);
    QCOMPARE(name, QString("Fast pace"));
    QCOMPARE(page, QString("Uređaj"));
    QVERIFY(p.main().Options.FastPace);
    QCOMPARE(p.ReadIni(),
             QString("[Parametri]\r\ncom_port=3\r\nbr_koraka=48\r\nodnos_prenosa=25\r\n"
                     "fast_pace=1\r\n"));

    // Read back at the next start, shown ticked, and untouched it is off.
    TestProgram again(p.ReadIni());
    QVERIFY(again.main().Options.FastPace);
    RunDialog(again, [&](Ui::TfrmParametri& ui) {
        shownTicked = ui.ckFastPace->isChecked();
        ui.ckFastPace->setChecked(false);
        PressOk(ui);
    });
    QVERIFY(shownTicked);
    QVERIFY(!again.main().Options.FastPace);
    QVERIFY(again.ReadIni().endsWith("fast_pace=0\r\n"));
}

ZENTRIVO_TEST_MAIN(ParametriTest)
#include "parametri_test.moc"
