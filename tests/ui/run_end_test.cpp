// The end of a run and the copies: the camera's last photos, which come
// after the last command, and one piece of photo work at a time whatever the
// user presses meanwhile.
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "main_controls.h"
#include "simulated_shoot.h"
#include "test_main.h"
#include "ui/up_down.h"

namespace {

const QString kCompleted = "Information|Process successfully completed !";
const QString kCopied = "\r\nPhotos successfully copied !";
const QString kBusy =
    " right now because it is busy with the photos !\r\n\r\nPlease wait a few seconds and try "
    "again.";

void AddToFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::Append));
    f.write(bytes);
}

QStringList Folders(const SimulatedShoot& s) {
    return QDir(s.destDir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

QStringList FilesIn(const SimulatedShoot& s, const QString& folder) {
    return QDir(s.destDir.filePath(folder)).entryList(QDir::Files, QDir::Name);
}

// A run of two photos that pauses after each rotation, played instantly,
// with the automatic copy on; it waits paused after its last rotation.
void RunToTheLastPause(SimulatedShoot& s) {
    QuickPhotos(s.main());
    MainControls(s.main()).ckAutoPauza->setChecked(true);
    MainControls(s.main()).ckFotosAutoCopy->setChecked(true);
    s.Make("2");
    s.Start();
    QTRY_COMPARE_WITH_TIMEOUT(s.main().shoot().Process().ProcessState, 2, 10000);
    QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(s.main().shoot().Process().Remaining, 0, 10000);
    QTRY_COMPARE(s.main().shoot().Process().ProcessState, 2);
}

}  // namespace

class RunEndTest : public QObject {
    Q_OBJECT

private slots:
    void closeRefusedWhileWaitingForTheDevice();
    void lastPhotosAreAwaitedCopiedAndCounted();
    void startMakeCopyAndExitWaitForTheEndOfARun();
    void aCopyNeverRunsInsideAnother();
};

void RunEndTest::lastPhotosAreAwaitedCopiedAndCounted() {
    // Each photo is stored 1.5 s after its exposure, so the last ones come
    // after the last rotation; the second is never stored.
    SimulatedShoot s;
    s.StartSimulator({"--camera-dir", s.cameraDir.path().toStdString(), "--camera-delay", "1500",
                      "--camera-slow-write", "0", "--camera-miss", "2"});
    QuickPhotos(s.main());
    // Rotations of 240 steps, 0.96 s: photos a second apart are told apart
    // by their times also on a machine too busy to see each at once.
    MainControls(s.main()).udPeriodRotacije->setPosition(4);
    MainControls(s.main()).ckFotosAutoCopy->setChecked(true);
    MainControls(s.main()).ckFotosAutoNameDir->setChecked(true);
    s.Make("5");
    // Once the four photos are in, the user copies them without waiting out
    // the camera.
    WhenReady(
        &s.main(), [&] { return CameraWaitText(s) == "Waiting for the camera: 4 of 5 photos"; },
        [&] { QTest::mouseClick(CopyNow(s), Qt::LeftButton); });
    s.Start();
    // The photo that never came leaves its number out: every later frame
    // keeps its own angle.
    QVERIFY(s.WaitForMessage(kCompleted + kCopied +
                                 "\r\nOnly 4 of 5 photos came from the camera !"
                                 "\r\nPhoto 2 of 5 did not come from the camera: 2.jpg is missing",
                             60000));
    QCOMPARE(s.dialogs().shown.back().icon, Dialogs::Icon::Warning);
    QCOMPARE(s.main().StatusText(3), QString("New Photos: 4"));
    const QStringList folders = Folders(s);
    QCOMPARE(folders.size(), 1);
    QCOMPARE(FilesIn(s, folders[0]), (QStringList{"1.jpg", "3.jpg", "4.jpg", "5.jpg"}));
    for (int i = 1; i <= 4; ++i) {
        const int position = i == 1 ? 1 : i + 1;
        QFile copy(s.destDir.filePath(folders[0] + QString("/%1.jpg").arg(position)));
        QFile photo(s.cameraDir.filePath(QString("IMG_%1.JPG").arg(i, 4, 10, QChar('0'))));
        QVERIFY(copy.open(QIODevice::ReadOnly) && photo.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), photo.readAll());
    }

    // The card shows one more photo later, the photo of no position the
    // copy left out: "Copy photos" adds nothing to it, makes no second copy
    // of the product, and says what is still missing.
    QFile::copy(s.cameraDir.filePath("IMG_0004.JPG"), s.cameraDir.filePath("IMG_0005.JPG"));
    QTest::mouseClick(MainControls(s.main()).btnFotosKopirajSlike, Qt::LeftButton);
    QVERIFY(s.WaitForMessage("Warning|Nothing was added to the copy \"" + folders[0] +
                             "\": no photo has come for the positions it is missing."
                             "\r\nPhoto 2 of 5 did not come from the camera: 2.jpg is missing"));
    QCOMPARE(Folders(s), folders);
    QCOMPARE(FilesIn(s, folders[0]), (QStringList{"1.jpg", "3.jpg", "4.jpg", "5.jpg"}));
}

void RunEndTest::startMakeCopyAndExitWaitForTheEndOfARun() {
    SimulatedShoot s({"--time-scale", "0"});
    s.main().show();
    MainControls(s.main()).ckFotosAutoNameDir->setChecked(true);
    RunToTheLastPause(s);
    // Of the two photos only one ever reaches the card, so the end of the
    // run looks for the other until the user copies what is there.
    AddToFile(s.cameraDir.filePath("IMG_0001.JPG"), "first");
    bool pressed = false;
    bool startHeld = false;
    WhenReady(
        &s.main(), [&] { return !MainControls(s.main()).btnFotosKopirajSlike->isEnabled(); },
        [&] {
            QTest::mouseClick(MainControls(s.main()).btnStart, Qt::LeftButton);
            QTest::mouseClick(MainControls(s.main()).btnFotosKopirajSlike, Qt::LeftButton);
            QTest::mouseClick(MainControls(s.main()).btnKreirajProces, Qt::LeftButton);
            s.main().close();
            startHeld = !MainControls(s.main()).btnStart->isEnabled() && s.Commands().size() == 8;
            pressed = true;
        });
    WhenReady(
        &s.main(), [&] { return pressed && !CameraWaitText(s).isEmpty(); },
        [&] { QTest::mouseClick(CopyNow(s), Qt::LeftButton); });
    QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
    QVERIFY(s.WaitForMessage(kCompleted + kCopied +
                             "\r\nOnly 1 of 2 photos came from the camera !" +
                             "\r\nPhoto 2 of 2 did not come from the camera: 2.jpg is missing"));
    QVERIFY(pressed);
    QVERIFY(startHeld);
    QCOMPARE(s.dialogs().Messages().mid(0, 2),
             (QStringList{"Error|A new process can not be made" + kBusy,
                          "Error|Application can not exit" + kBusy}));
    const QStringList folders = Folders(s);
    QCOMPARE(folders.size(), 1);
    QCOMPARE(FilesIn(s, folders[0]), QStringList{"1.jpg"});
    // The Start pressed meanwhile begins the next run once the copy is done.
    QTRY_COMPARE(s.Commands().size(), 9);
    QCOMPARE(s.Commands().last(), QString("X."));
    QTRY_VERIFY(MainControls(s.main()).btnStop->isEnabled());
    QTest::mouseClick(MainControls(s.main()).btnStop, Qt::LeftButton);
    QVERIFY(s.main().isVisible());
}

void RunEndTest::aCopyNeverRunsInsideAnother() {
    SimulatedShoot s({"--time-scale", "0"});
    s.main().show();
    RunToTheLastPause(s);
    AddToFile(s.cameraDir.filePath("IMG_0001.JPG"),
              "\xFF\xD8"
              "first\xFF\xD9");
    AddToFile(s.cameraDir.filePath("IMG_0002.JPG"),
              "\xFF\xD8"
              "b");
    s.dialogs().texts = {QString("by hand"), QString("at the end")};
    // The camera is still writing the second photo when "Copy photos" is
    // pressed: a byte every 20 ms, then its end. At the first byte the user
    // lets the run finish and tries to leave.
    int passes = 0;
    bool buttonStayedOff = true;
    QTimer camera;
    camera.setInterval(20);
    QObject::connect(&camera, &QTimer::timeout, [&] {
        if (passes == 0) {
            QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
            s.main().close();
        }
        buttonStayedOff =
            buttonStayedOff && !MainControls(s.main()).btnFotosKopirajSlike->isEnabled();
        AddToFile(s.cameraDir.filePath("IMG_0002.JPG"), "b");
        if (++passes == 10) {
            AddToFile(s.cameraDir.filePath("IMG_0002.JPG"), "\xFF\xD9");
            camera.stop();
        }
    });
    camera.start();
    QTest::mouseClick(MainControls(s.main()).btnFotosKopirajSlike, Qt::LeftButton);
    QVERIFY(s.WaitForMessage(kCompleted + kCopied));
    QCOMPARE(passes, 10);
    QVERIFY(buttonStayedOff);
    QCOMPARE(s.dialogs().Messages(),
             (QStringList{"Error|Application can not exit" + kBusy,
                          "Copy|Photos successfully copied !", kCompleted + kCopied}));
    QCOMPARE(Folders(s), (QStringList{"at the end", "by hand"}));
    for (const QString& folder : Folders(s)) {
        QCOMPARE(FilesIn(s, folder), (QStringList{"1.jpg", "2.jpg"}));
        QCOMPARE(QFileInfo(s.destDir.filePath(folder + "/2.jpg")).size(), qint64(15));
    }
    QVERIFY(MainControls(s.main()).btnFotosKopirajSlike->isEnabled());
    QVERIFY(s.main().isVisible());
}

void RunEndTest::closeRefusedWhileWaitingForTheDevice() {
    // A board that never answers: the connection test waits for it.
    SimulatedShoot s({"--silent-from", "1"});
    TestProgram& p = s.program;
    p.main().show();
    s.Make("2");
    bool refused = false;
    WhenReady(
        &p.main(), [&] { return p.main().shoot().WaitingForDevice(); },
        [&] { refused = !p.main().close(); });
    s.Start();
    QTRY_VERIFY(refused);
    QCOMPARE(p.dialogs->Messages().value(0),
             QString("Error|Application can not exit right now because it is waiting for a "
                     "reply from the device !\r\n\r\nPlease wait a few seconds and try again."));
    QCOMPARE(p.dialogs->shown[0].icon, Dialogs::Icon::Error);
    QVERIFY(p.main().isVisible());
    QVERIFY(p.main().tmrSat.isActive());
    QVERIFY(!QFile::exists(p.IniPath()));
}

ZENTRIVO_TEST_MAIN(RunEndTest)
#include "run_end_test.moc"
