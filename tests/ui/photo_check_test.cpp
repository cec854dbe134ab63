// "Check that each photo arrives": a run does not turn the table on before
// the camera has stored the photo of the current position, takes it again
// when it does not come, and pauses for the user when it still does not.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

#include "main_controls.h"
#include "simulated_shoot.h"
#include "test_main.h"
#include "ui/up_down.h"

namespace {

const QString kCompleted = "Information|Process successfully completed !";
const QString kCopied = "\r\nPhotos successfully copied !";

// A checked run with the automatic copy into a named sub-folder "spin".
void MakeCheckedRun(SimulatedShoot& s, const QString& photos) {
    QuickPhotos(s.main());
    MainControls(s.main()).udPeriodRotacije->setPosition(2);
    MainControls(s.main()).ckFotosCheck->setChecked(true);
    MainControls(s.main()).ckFotosAutoCopy->setChecked(true);
    s.dialogs().texts = {QString("spin")};
    s.Make(photos);
}

int PhotoCommands(const SimulatedShoot& s) {
    return s.Commands().filter(QRegularExpression("^P")).size();
}

bool WholeJpeg(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = f.readAll();
    return bytes.startsWith("\xFF\xD8") && bytes.endsWith("\xFF\xD9");
}

void CheckSameJpeg(const QString& copyPath, const QString& photoPath) {
    QVERIFY2(WholeJpeg(copyPath), qPrintable(copyPath));
    QFile copy(copyPath);
    QFile photo(photoPath);
    QVERIFY(copy.open(QIODevice::ReadOnly) && photo.open(QIODevice::ReadOnly));
    QVERIFY2(copy.readAll() == photo.readAll(), qPrintable(copyPath + " is not " + photoPath));
}

// The copies are 1.jpg ... N.jpg, the whole JPEGs of the camera's photos
// `frames` in that order, and the set-aside photos `extra` under their own
// names in "extra".
void CheckFrames(SimulatedShoot& s, const QStringList& frames, const QStringList& extra = {}) {
    QStringList expected;
    for (int i = 1; i <= frames.size(); ++i) {
        expected << QString("%1.jpg").arg(i);
    }
    const QDir spin(s.destDir.filePath("spin"));
    QCOMPARE(spin.entryList(QDir::Files, QDir::Name), expected);
    for (int i = 1; i <= frames.size(); ++i) {
        CheckSameJpeg(spin.filePath(expected[i - 1]), s.cameraDir.filePath(frames[i - 1]));
    }
    const QDir aside(spin.filePath("extra"));
    QCOMPARE(aside.entryList(QDir::Files, QDir::Name), extra);
    for (const QString& name : extra) {
        CheckSameJpeg(aside.filePath(name), s.cameraDir.filePath(name));
    }
}

// Every photo of the camera, in the order stored, is a copy.
void CheckCopies(SimulatedShoot& s, int count) {
    const QStringList photos =
        QDir(s.cameraDir.path()).entryList({"*.JPG"}, QDir::Files, QDir::Name);
    QCOMPARE(photos.size(), count);
    CheckFrames(s, photos);
}

bool WhoseNameIs(SimulatedShoot& s, const QString& name) {
    for (const QLabel* label : s.main().statusBar()->findChildren<QLabel*>()) {
        if (label->accessibleDescription() == name && label->text() == s.main().StatusText(4)) {
            return true;
        }
    }
    return false;
}

}  // namespace

class PhotoCheckTest : public QObject {
    Q_OBJECT

private slots:
    void aSkippedPhotoIsTakenAgainLateCutAndRawOnesAreWaitedFor();
    void aPhotoThatNeverComesPausesTheRunUntilTheCameraRecovers();
    void aPhotoThatComesDuringThePauseIsNotTakenAgain();
    void aLateFirstShotIsSetAsideAndNoFrameShifts();
};

void PhotoCheckTest::aSkippedPhotoIsTakenAgainLateCutAndRawOnesAreWaitedFor() {
    // Shot 2 is lost, shot 4 (photo 3) comes 4 s late, shot 5 (photo 4)
    // stops half written for 3 s, and every photo has a RAW twin.
    SimulatedShoot s;
    s.StartSimulator({"--camera-dir", s.cameraDir.path().toStdString(), "--camera-miss", "2",
                      "--camera-late", "4", "--camera-late-ms", "4000", "--camera-cut", "5",
                      "--camera-cut-ms", "3000", "--camera-raw"});
    MakeCheckedRun(s, "4");
    QCOMPARE(s.main().StatusText(4), QString());
    s.Start();
    // The time left shows in its own panel while the run goes on.
    QTRY_VERIFY_WITH_TIMEOUT(s.main().StatusText(4).startsWith("Time left: 0:"), 30000);
    QVERIFY(WhoseNameIs(s, "Time left"));
    // While the lost photo is waited for, the state panel says so, and the
    // time left counts the wait down.
    QTRY_COMPARE_WITH_TIMEOUT(s.main().StatusText(2), QString("Waiting for photo 2 of 4 ..."),
                              15000);
    const QString duringTheWait = s.main().StatusText(4);
    QTRY_VERIFY_WITH_TIMEOUT(s.main().StatusText(4) != duringTheWait, 3000);
    QCOMPARE(s.main().StatusText(2), QString("Waiting for photo 2 of 4 ..."));
    QVERIFY(s.WaitForMessage(
        kCompleted + kCopied + "\r\nPhotos planned: 4, received: 4, taken again: 1", 120000));
    // Only the lost photo was taken again, after the table turned back to
    // its place, and each photo command came after the photo before it had
    // arrived whole.
    QCOMPARE(PhotoCommands(s), 5);
    QString rotationsAndPhotos;
    QList<QDateTime> photoTimes;
    const QStringList commands = s.Commands();
    for (int i = 0; i < commands.size(); ++i) {
        if (commands[i].startsWith('P')) {
            rotationsAndPhotos += 'P';
            photoTimes << s.Times()[i];
        } else if (commands[i].startsWith('R') || commands[i].startsWith('L')) {
            rotationsAndPhotos += commands[i][0];
        }
    }
    QCOMPARE(rotationsAndPhotos, QString("PLPLRPLPLPL"));
    // The camera numbers what it stores: IMG_0002 is photo 2's retake, the
    // third photo command, and must be there before the fourth.
    const QList<QPair<int, int>> storedBefore{{1, 1}, {2, 3}, {3, 4}};
    for (const auto& [shot, command] : storedBefore) {
        const QFileInfo photo(
            s.cameraDir.filePath(QString("IMG_%1.JPG").arg(shot, 4, 10, QChar('0'))));
        QVERIFY2(photo.lastModified() <= photoTimes[command], qPrintable(photo.fileName()));
    }
    CheckCopies(s, 4);
    QCOMPARE(QDir(s.cameraDir.path()).entryList({"*.CR2"}, QDir::Files).size(), 4);
    QCOMPARE(s.main().StatusText(3), QString("New Photos: 4"));
    QCOMPARE(s.main().StatusText(4), QString());

    // The run's log tells each command with its reply, the retake and the end.
    const QDir logs(s.program.dir.filePath("state/zentrivo/logs"));
    const QStringList logNames = logs.entryList({"run_*.log"}, QDir::Files);
    QCOMPARE(logNames.size(), 1);
    QFile logFile(logs.filePath(logNames[0]));
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    const QString log = QString::fromUtf8(logFile.readAll());
    // A command's line is written as it is sent, its reply's when that
    // comes; what happens meanwhile (a photo arriving) stands between them.
    QCOMPARE(log.count(QRegularExpression("  > P\\d{4}\\.\n(?:[0-9:.]+  [^<>].*\n)*"
                                          "[0-9:.]+  < OK\\\\r\\\\n after \\d+ ms\n")),
             5);
    QVERIFY(log.contains("  photo 2 of 4 has not arrived: taken again\n"));
    QVERIFY(log.contains("  new photo in the camera folder: IMG_0004.JPG\n"));
    QVERIFY(log.endsWith(
        "  completed: Process successfully completed ! / Photos successfully copied ! / "
        "Photos planned: 4, received: 4, taken again: 1\n"));
    // "Open Run Logs" opens that folder.
    s.main().findChild<QAction*>("OpenRunLogs")->trigger();
    QCOMPARE(s.dialogs().shown.back().kind, QString("shell"));
    QCOMPARE(s.dialogs().shown.back().text, logs.path());
}

void PhotoCheckTest::aPhotoThatNeverComesPausesTheRunUntilTheCameraRecovers() {
    // The camera stores nothing of photo 2, nor of its two retakes.
    SimulatedShoot s;
    s.StartSimulator({"--camera-dir", s.cameraDir.path().toStdString(), "--camera-miss", "2",
                      "--camera-miss-count", "3"});
    MakeCheckedRun(s, "3");
    s.Start();
    const QString missing =
        "Warning|Photo 2 of 3 did not arrive from the camera, also when taken again !\r\n\r\n"
        "Please check the camera: is it on and awake, is its memory card in place and not full, "
        "is the flash ready, does it still store into the camera folder?\r\n"
        "Then press Continue to take the photo again.";
    QVERIFY(s.WaitForMessage(missing, 90000));
    QCOMPARE(MainControls(s.main()).btnPauza->text(), QString("&Continue"));
    QCOMPARE(PhotoCommands(s), 4);
    const int sentBeforeContinue = s.Commands().size();
    QTest::qWait(500);
    QCOMPARE(s.Commands().size(), sentBeforeContinue);  // paused: the table stays

    QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
    QVERIFY(s.WaitForMessage(
        kCompleted + kCopied + "\r\nPhotos planned: 3, received: 3, taken again: 3", 60000));
    QCOMPARE(PhotoCommands(s), 6);
    CheckCopies(s, 3);
}

void PhotoCheckTest::aPhotoThatComesDuringThePauseIsNotTakenAgain() {
    // Photo 3 comes 34 s late, and both its retakes are lost: the run pauses
    // for it, and the first shot arrives during the pause.
    SimulatedShoot s;
    s.StartSimulator({"--camera-dir", s.cameraDir.path().toStdString(), "--camera-late", "3",
                      "--camera-late-ms", "34000", "--camera-miss", "4", "--camera-miss-count",
                      "2"});
    MakeCheckedRun(s, "3");
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(s.dialogs().Messages().value(0).startsWith(
                                 "Warning|Photo 3 of 3 did not arrive from the camera"),
                             60000);
    // Continue is pressed as soon as the photo shows in the folder.
    const QString late = s.cameraDir.filePath("IMG_0003.JPG");
    bool continued = false;
    WhenReady(
        &s.main(), [&] { return QFile::exists(late); },
        [&] {
            QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
            continued = true;
        });
    QTRY_VERIFY_WITH_TIMEOUT(continued, 30000);
    QVERIFY(s.WaitForMessage(
        kCompleted + kCopied + "\r\nPhotos planned: 3, received: 3, taken again: 2", 30000));
    // Position 3 has the one photo that came; nothing was taken once more.
    QCOMPARE(PhotoCommands(s), 5);
    CheckCopies(s, 3);
}

void PhotoCheckTest::aLateFirstShotIsSetAsideAndNoFrameShifts() {
    // Photo 3 of 6 comes 12 s late: it is taken again at 10 s, the retake
    // comes at once, and the first shot after it, while the table turns on.
    SimulatedShoot s;
    s.StartSimulator({"--camera-dir", s.cameraDir.path().toStdString(), "--camera-late", "3",
                      "--camera-late-ms", "12000"});
    MakeCheckedRun(s, "6");
    s.Start();
    QVERIFY(s.WaitForMessage(
        kCompleted + kCopied + "\r\nPhotos planned: 6, received: 6, taken again: 1, set aside: 1",
        90000));
    QCOMPARE(PhotoCommands(s), 7);
    // Position 3 is the retake; the late first shot is kept aside, and every
    // later frame is the photo taken at its own position.
    CheckFrames(s,
                {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0004.JPG", "IMG_0005.JPG", "IMG_0006.JPG",
                 "IMG_0007.JPG"},
                {"IMG_0003.JPG"});
}

ZENTRIVO_TEST_MAIN(PhotoCheckTest)
#include "photo_check_test.moc"
