// A camera the program downloads from itself, over PTP/IP on the loopback:
// the simulator's tethered camera keeps its photos on its card and announces
// each one; the run downloads it into the camera folder and copies it.
#include <QDir>
#include <QFile>
#include <QtTest>

#include "shoot_rig.h"

namespace {

const QString kCompleted = "Information|Process successfully completed !";

bool WholeJpeg(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = f.readAll();
    return bytes.startsWith("\xFF\xD8") && bytes.endsWith("\xFF\xD9");
}

// A rig whose camera is the simulator's tethered one, connected.
void Tether(ShootRig& rig) {
    const std::string line = rig.Simulator().NextLine();
    QVERIFY2(line.rfind("camera: ptpip:", 0) == 0, line.c_str());
    rig.options.CameraPort = line.substr(std::string("camera: ").size());
    rig.options.CameraModel = "PTP/IP Camera";
    rig.shoot.UseCamera(true);
    QTRY_COMPARE_WITH_TIMEOUT(rig.observer.camera, QString("Camera: PTP/IP Camera"), 20000);
}

// A checked shoot of three photos, copied by itself, ends as a success.
void ShootThreeCheckedAndCopied(ShootRig& rig) {
    rig.options.FotosCheck = true;
    rig.options.FotosAutoCopy = true;
    rig.options.FotosAutoNameDir = true;
    rig.Make(3);
    rig.shoot.Start();
    QVERIFY(rig.WaitForMessage(kCompleted + "\r\nPhotos successfully copied !\r\n"
                                            "Photos planned: 3, received: 3, taken again: 0"));
}

QStringList CameraFolder(const ShootRig& rig) {
    return QDir(rig.camera.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

}  // namespace

class TetherTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void eachAnnouncedPhotoIsDownloadedWholeAndCopiedInOrder();
    void aPhotoThatCannotBeDownloadedIsNamedAndTakenAgain();
    void withoutTheCheckAPhotoThatCannotBeDownloadedIsNamedAtItsPlace();
    void aCameraWithoutACableIsFiredOverTheConnection();
    void aCameraThatGoesAwayPausesTheRunAndTakesItsLostPhotoAgainOnceBack();
    void aStartWithTheCameraSilentAsksFirst();
};

void TetherTest::initTestCase() {
    // The camera library keeps its settings in the home folder.
    static QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
}

void TetherTest::eachAnnouncedPhotoIsDownloadedWholeAndCopiedInOrder() {
    // The first download of the second photo fails, and is tried again.
    ShootRig rig(
        {"--camera-ptpip", "--camera-fail-download", "2", "--camera-photo-bytes", "300000"});
    Tether(rig);
    ShootThreeCheckedAndCopied(rig);
    QCOMPARE(CameraFolder(rig), (QStringList{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
    const QStringList copies = rig.CopiedPhotos();
    QCOMPARE(copies.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QString copy = QDir(rig.copies.path()).filePath(copies[i]);
        QVERIFY(copy.endsWith(QString("/%1.jpg").arg(i + 1)));
        QVERIFY(WholeJpeg(copy));
        QFile a(copy);
        QFile b(QDir(rig.camera.path()).filePath(CameraFolder(rig)[i]));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(a.size(), qint64(300000));
        QVERIFY(a.readAll() == b.readAll());
    }
    QVERIFY(rig.observer.messages.filter("could not be downloaded").isEmpty());
}

void TetherTest::aPhotoThatCannotBeDownloadedIsNamedAndTakenAgain() {
    // Both tries at the second photo fail: the user reads its name, and the
    // photo check takes it again, so every position still has its photo.
    ShootRig rig(
        {"--camera-ptpip", "--camera-fail-download", "2", "--camera-fail-download-times", "2"});
    Tether(rig);
    rig.options.FotosCheck = true;
    rig.options.FotosAutoCopy = true;
    rig.options.FotosAutoNameDir = true;
    rig.Make(3);
    rig.shoot.Start();
    QVERIFY(
        rig.WaitForMessage("Error|The photo IMG_0002.JPG could not be downloaded from the "
                           "camera, also when tried again:\r\n"));
    QVERIFY(rig.WaitForMessage(kCompleted + "\r\nPhotos successfully copied !\r\n"
                                            "Photos planned: 3, received: 3, taken again: 1"));
    // Nothing half downloaded is left behind.
    QCOMPARE(CameraFolder(rig), (QStringList{"IMG_0001.JPG", "IMG_0003.JPG", "IMG_0004.JPG"}));
    const QStringList copies = rig.CopiedPhotos();
    QCOMPARE(copies.size(), 3);
    QFile second(QDir(rig.copies.path()).filePath(copies[1]));
    QFile retake(QDir(rig.camera.path()).filePath("IMG_0003.JPG"));
    QVERIFY(copies[1].endsWith("/2.jpg"));
    QVERIFY(second.open(QIODevice::ReadOnly) && retake.open(QIODevice::ReadOnly));
    QVERIFY(second.readAll() == retake.readAll());
}

void TetherTest::withoutTheCheckAPhotoThatCannotBeDownloadedIsNamedAtItsPlace() {
    // Both tries at the second photo fail and nothing takes it again: the
    // end names the camera's file on the line of its position, and the
    // photos after it keep their own numbers.
    ShootRig rig(
        {"--camera-ptpip", "--camera-fail-download", "2", "--camera-fail-download-times", "2"});
    Tether(rig);
    rig.options.FotosAutoCopy = true;
    rig.options.FotosAutoNameDir = true;
    rig.Make(3);
    rig.shoot.Start();
    // The end does not wait for the photo the camera could not hand over
    // (it would wait 30 s for the camera folder to stay the same).
    QVERIFY(rig.WaitForMessage(kCompleted, 20000));
    QCOMPARE(rig.observer.messages.filter("could not be downloaded").size(), 2);
    QVERIFY(rig.observer.messages.filter("could not be downloaded")[0].startsWith(
        "Error|The photo IMG_0002.JPG could not be downloaded from the camera, also when tried "
        "again:\r\n"));
    QCOMPARE(rig.observer.messages.last(),
             kCompleted +
                 "\r\nPhotos successfully copied !\r\nOnly 2 of 3 photos came from the "
                 "camera !\r\nPhoto 2 of 3 did not come from the camera: 2.jpg is missing "
                 "(IMG_0002.JPG could not be downloaded)");
    QCOMPARE(CameraFolder(rig), (QStringList{"IMG_0001.JPG", "IMG_0003.JPG"}));
    QCOMPARE(rig.CopiedStamps(),
             (QStringList{"1.jpg shot=1 place=0.00", "3.jpg shot=3 place=120.00"}));
}

void TetherTest::aCameraWithoutACableIsFiredOverTheConnection() {
    ShootRig rig({"--camera-ptpip", "--camera-no-cable"});
    Tether(rig);
    rig.options.CameraTrigger = true;
    ShootThreeCheckedAndCopied(rig);
    // The controller's commands stay as they are; each photo was taken
    // over the connection after its photo command.
    QCOMPARE(rig.Received().filter(QRegularExpression("^P")).size(), 3);
    QCOMPARE(CameraFolder(rig), (QStringList{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
    QCOMPARE(rig.CopiedPhotos().size(), 3);
}

void TetherTest::aCameraThatGoesAwayPausesTheRunAndTakesItsLostPhotoAgainOnceBack() {
    // The camera is switched off at the third shot, which is lost, and on
    // again 3 s later. The run does not check each photo.
    ShootRig rig({"--camera-ptpip", "--camera-drop", "3", "--camera-drop-ms", "3000"});
    Tether(rig);
    rig.options.FotosAutoCopy = true;
    rig.options.FotosAutoNameDir = true;
    rig.Make(4);
    rig.shoot.Start();
    QVERIFY(rig.WaitForMessage("Warning|The camera PTP/IP Camera is no longer connected"));
    QVERIFY(rig.observer.paused);
    QCOMPARE(rig.observer.camera, QString("Camera: not found"));
    QCOMPARE(CameraFolder(rig), (QStringList{"IMG_0001.JPG", "IMG_0002.JPG"}));
    // The table waits for the camera, and Continue is refused while it is
    // gone: the photos would go nowhere.
    const int sent = rig.Received().size();
    rig.shoot.PauseOrContinue();
    QVERIFY(rig.observer.paused);
    QVERIFY(rig.observer.messages.last().startsWith(
        "Warning|The camera PTP/IP Camera is still not connected: photos taken now would be "
        "lost."));
    QCOMPARE(rig.Received().size(), sent);
    // Back, the photo lost is taken again at its own place before the run
    // goes on, and every copy holds the angle of its number.
    QTRY_COMPARE_WITH_TIMEOUT(rig.observer.camera, QString("Camera: PTP/IP Camera"), 30000);
    rig.shoot.PauseOrContinue();
    QVERIFY(rig.WaitForMessage(kCompleted + "\r\nPhotos successfully copied !", 60000));
    QCOMPARE(rig.observer.messages.last(), kCompleted + "\r\nPhotos successfully copied !");
    // (Which shot took photo 3 again depends on whether the board fired once
    // more before the run paused: that shot is lost too.)
    QCOMPARE(rig.CopiedStamps().replaceInStrings(QRegularExpression(" shot=\\d+"), ""),
             (QStringList{"1.jpg place=0.00", "2.jpg place=270.00", "3.jpg place=180.00",
                          "4.jpg place=90.00"}));
    QCOMPARE(rig.observer.progress, 4);
}

void TetherTest::aStartWithTheCameraSilentAsksFirst() {
    ShootRig rig({"--time-scale", "0"});
    rig.options.CameraPort = "ptpip:127.0.0.1:1:1";  // nothing listens there
    rig.options.CameraModel = "PTP/IP Camera";
    rig.shoot.UseCamera(false);
    // Pressed at once, before the first try to connect has ended.
    rig.Make(2);
    rig.observer.answers = {false};
    rig.shoot.Start();
    QCOMPARE(rig.observer.questions.size(), 1);
    QVERIFY2(rig.observer.questions[0].startsWith(
                 "Start|The camera ptpip:127.0.0.1:1:1 does not answer"),
             qPrintable(rig.observer.questions[0]));
    QVERIFY(!rig.shoot.Running());
    QVERIFY(rig.Received().isEmpty());
    // Going on with the camera folder alone is the user's to choose.
    rig.observer.answers = {true};
    rig.shoot.Start();
    QVERIFY(rig.WaitForMessage(kCompleted));
}

QTEST_GUILESS_MAIN(TetherTest)
#include "tether_test.moc"
