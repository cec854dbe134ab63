// The end of a run without the photo check, against a camera that is slow:
// photos that come late or are written in two parts are waited for and
// copied whole, a camera that stores nothing is told, and the wait can be
// cut short from its small window.
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "main_controls.h"
#include "simulated_shoot.h"
#include "test_main.h"
#include "ui/camera_wait_window.h"
#include "ui/up_down.h"

namespace {

const QString kCompleted = "Information|Process successfully completed !";
const QString kCopied = "\r\nPhotos successfully copied !";

// A run of three quick photos copied by itself into a dated sub-folder.
void MakeCopiedRun(SimulatedShoot& s, const std::vector<std::string>& camera) {
    std::vector<std::string> options{"--camera-dir", s.cameraDir.path().toStdString()};
    options.insert(options.end(), camera.begin(), camera.end());
    s.StartSimulator(options);
    QuickPhotos(s.main());
    MainControls(s.main()).udPeriodRotacije->setPosition(2);
    MainControls(s.main()).ckFotosAutoCopy->setChecked(true);
    MainControls(s.main()).ckFotosAutoNameDir->setChecked(true);
    s.Make("3");
}

// The copies of the run, each the whole photo of the camera at its place,
// dated as the camera's file.
void CheckWholeCopies(SimulatedShoot& s, int count) {
    const QStringList folders = QDir(s.destDir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(folders.size(), 1);
    const QDir copies(s.destDir.filePath(folders[0]));
    QCOMPARE(copies.entryList(QDir::Files).size(), count);
    for (int i = 1; i <= count; ++i) {
        QFile copy(copies.filePath(QString("%1.jpg").arg(i)));
        QFile photo(s.cameraDir.filePath(QString("IMG_%1.JPG").arg(i, 4, 10, QChar('0'))));
        QVERIFY(copy.open(QIODevice::ReadOnly) && photo.open(QIODevice::ReadOnly));
        const QByteArray bytes = copy.readAll();
        QCOMPARE(bytes, photo.readAll());
        QVERIFY(bytes.endsWith("\xFF\xD9"));
        QCOMPARE(QFileInfo(copy).lastModified(), QFileInfo(photo).lastModified());
    }
}

}  // namespace

class LatePhotosTest : public QObject {
    Q_OBJECT

private slots:
    void aPhotoWrittenInTwoPartsIsWaitedForAndCopiedWhole();
    void aPhotoLateBySecondsIsStillCopied();
    void aCameraThatStoresNothingIsNoSuccess();
    void copyNowNamesAPhotoStillCutShort();
    void theWaitWindowEndsTheWaitWithOrWithoutTheCopy();
};

void LatePhotosTest::aPhotoWrittenInTwoPartsIsWaitedForAndCopiedWhole() {
    // The last photo stops half written and is finished 8 s later.
    SimulatedShoot s;
    MakeCopiedRun(s, {"--camera-cut", "3", "--camera-cut-ms", "8000"});
    // The wait runs its own events: what it shows is looked at from there.
    QString shown;
    WhenReady(
        &s.main(), [&] { return CameraWaitText(s).endsWith("2 of 3 photos"); },
        [&] { shown = CameraWaitText(s); });
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + kCopied, 30000));
    QCOMPARE(shown, QString("Waiting for the camera: 2 of 3 photos"));
    QCOMPARE(s.dialogs().Messages(), QStringList{kCompleted + kCopied});
    QVERIFY(CameraWaitText(s).isEmpty());
    CheckWholeCopies(s, 3);
}

void LatePhotosTest::aPhotoLateBySecondsIsStillCopied() {
    // The last photo is stored 8 s after the others.
    SimulatedShoot s;
    MakeCopiedRun(s, {"--camera-late", "3", "--camera-late-ms", "8000"});
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + kCopied, 40000));
    QCOMPARE(s.dialogs().Messages(), QStringList{kCompleted + kCopied});
    CheckWholeCopies(s, 3);
}

void LatePhotosTest::aCameraThatStoresNothingIsNoSuccess() {
    SimulatedShoot s;
    MakeCopiedRun(s, {"--camera-miss", "1", "--camera-miss-count", "0"});
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + "\r\nOnly 0 of 3 photos came from the camera !", 30000));
    QVERIFY(QDir(s.destDir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

void LatePhotosTest::copyNowNamesAPhotoStillCutShort() {
    // The last photo stops half written for a minute; the user copies what
    // is there.
    SimulatedShoot s;
    MakeCopiedRun(s, {"--camera-cut", "3", "--camera-cut-ms", "60000"});
    QString title;
    WhenReady(
        &s.main(), [&] { return CameraWaitText(s) == "Waiting for the camera: 2 of 3 photos"; },
        [&] {
            title = s.main().findChild<QDialog*>("CameraWait")->windowTitle();
            QTest::mouseClick(CopyNow(s), Qt::LeftButton);
        });
    s.Start();
    QVERIFY(s.WaitForMessage(
        kCompleted + "\r\nThere was an error during copying of photos !\r\n3.jpg is incomplete",
        30000));
    QCOMPARE(title, QString("Waiting for the camera"));
    QVERIFY(CameraWaitText(s).isEmpty());
    const QStringList folders = QDir(s.destDir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(folders.size(), 1);
    QCOMPARE(QDir(s.destDir.filePath(folders[0])).entryList(QDir::Files, QDir::Name),
             (QStringList{"1.jpg", "2.jpg", "3.jpg"}));
}

void LatePhotosTest::theWaitWindowEndsTheWaitWithOrWithoutTheCopy() {
    QWidget main;
    QList<bool> ends;
    auto* wait = new CameraWaitWindow(&main, [&ends](bool copy) { ends << copy; });
    const auto* text = wait->findChild<QLabel*>("lblCameraWait");
    auto* copyNow = wait->findChild<QPushButton*>("btnCopyNow");
    auto* stop = wait->findChild<QPushButton*>("btnStopWaiting");
    // "Copy now" only when the run copies by itself; the main window stays
    // usable meanwhile.
    wait->ShowWait(1, 3, false);
    QVERIFY(wait->isVisible() && !wait->isModal());
    QCOMPARE(text->text(), QString("Waiting for the camera: 1 of 3 photos"));
    QVERIFY(!copyNow->isVisible());
    QTest::mouseClick(stop, Qt::LeftButton);
    wait->ShowWait(2, 3, true);
    QCOMPARE(text->text(), QString("Waiting for the camera: 2 of 3 photos"));
    QTest::mouseClick(copyNow, Qt::LeftButton);
    // The close box stops the wait as "Stop waiting" does; the end of the
    // wait hiding the window tells nothing.
    wait->close();
    wait->ShowWait(3, 3, false);
    wait->hide();
    QCOMPARE(ends, (QList<bool>{false, true, false}));
}

ZENTRIVO_TEST_MAIN(LatePhotosTest)
#include "late_photos_test.moc"
