// A photographer chooses a camera in the Parameters dialog, shoots, and gets
// every photo copied, with no other program: the simulator's camera is a
// PTP/IP camera on the loopback that keeps its photos on its card.
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include "main_controls.h"
#include "run/camera_tether.h"
#include "simulated_shoot.h"
#include "test_main.h"
#include "ui_helpers.h"
#include "ui_parametri.h"

namespace {

// Chooses the camera at `port` on the Camera page (the camera folder only
// when empty), firing over the connection when `trigger`.
void ChooseCamera(SimulatedShoot& s, const QString& port, bool trigger) {
    TfrmParametri& d = s.program.windows->frmParametri;
    WhenDialogOpens([&d, port, trigger] {
        Ui::TfrmParametri& ui = *d.ui;
        ui.pgParametri->setCurrentWidget(ui.tabCamera);
        QRadioButton* from = port.isEmpty() ? ui.rbPhotosFromFolder : ui.rbPhotosFromCamera;
        QTest::mouseClick(from, Qt::LeftButton, {}, QPoint(6, from->height() / 2));
        if (!port.isEmpty()) {
            QTest::keyClicks(ui.txtCameraPort, port);
        }
        ui.ckCameraTrigger->setChecked(trigger);
        QTest::mouseClick(ui.btnOk, Qt::LeftButton);
        if (d.isVisible()) {
            d.reject();
        }
    });
    ClickToolButton(MainControls(s.main()).tbMain, MainControls(s.main()).Parametri1);
}

// The simulator's camera, tethered; its port as the simulator prints it.
QString StartTetheredCamera(SimulatedShoot& s, const std::vector<std::string>& options) {
    std::vector<std::string> all{"--camera-ptpip"};
    all.insert(all.end(), options.begin(), options.end());
    s.StartSimulator(all);
    const std::string line = s.sim->NextLine();
    return QString::fromStdString(line).remove("camera: ");
}

}  // namespace

class TetherWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void aChosenCameraIsStoredShownKeptThroughTheRunAndEveryPhotoCopied();

private:
    QTemporaryDir home_;
};

void TetherWindowTest::init() {
    if (!CameraTether::Available()) {
        QSKIP("built without libgphoto2");
    }
    // The camera library keeps its settings in the home folder.
    qputenv("HOME", home_.path().toUtf8());
}

void TetherWindowTest::aChosenCameraIsStoredShownKeptThroughTheRunAndEveryPhotoCopied() {
    SimulatedShoot s;
    const QString port = StartTetheredCamera(s, {});
    QVERIFY(port.startsWith("ptpip:127.0.0.1:"));
    QCOMPARE(s.main().StatusText(5), QString());
    ChooseCamera(s, port, false);
    QVERIFY(s.program.ReadIni().contains("[Ostalo]\r\ncamera_port=" + port +
                                         "\r\ncamera_model=PTP/IP Camera\r\ncamera_trigger=0\r\n"));
    QTRY_COMPARE_WITH_TIMEOUT(s.main().StatusText(5), QString("Camera: PTP/IP Camera"), 20000);

    QuickPhotos(s.main());
    MainControls ui(s.main());
    ui.ckFotosAutoCopy->setChecked(true);
    ui.ckFotosAutoNameDir->setChecked(true);
    ui.ckAutoPauza->setChecked(true);
    s.Make("3");
    s.Start();
    QTRY_COMPARE_WITH_TIMEOUT(s.main().shoot().Process().ProcessState, 2, 20000);

    // Paused after photo 1, the camera cannot be switched off under the run:
    // the rest of its photos would never be downloaded.
    const QString ini = s.program.ReadIni();
    ChooseCamera(s, "", true);
    QCOMPARE(s.dialogs().Messages(),
             QStringList{"Parameters|A run is going on. The camera and the pace stay as they "
                         "are: stop the run first, then change them."});
    QCOMPARE(s.program.ReadIni(), ini);
    QCOMPARE(s.main().StatusText(5), QString("Camera: PTP/IP Camera"));
    ui.ckAutoPauza->setChecked(false);
    QTest::mouseClick(ui.btnPauza, Qt::LeftButton);
    QVERIFY(
        s.WaitForMessage("Information|Process successfully completed !\r\n"
                         "Photos successfully copied !",
                         60000));
    // Downloaded whole under the camera's names, nothing half written left.
    QCOMPARE(QDir(s.cameraDir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
    const QStringList folders = QDir(s.destDir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(folders.size(), 1);
    QCOMPARE(QDir(s.destDir.filePath(folders[0])).entryList(QDir::Files, QDir::Name),
             (QStringList{"1.jpg", "2.jpg", "3.jpg"}));
}

ZENTRIVO_TEST_MAIN(TetherWindowTest)
#include "tether_window_test.moc"
