#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <atomic>

#include "main_controls.h"
#include "simulated_shoot.h"
#include "test_main.h"
#include "ui/gauge.h"
#include "ui/up_down.h"

namespace {

const QString kCompleted = "Information|Process successfully completed !";

// Waits until the simulator has received `count` commands.
bool WaitForCommands(SimulatedShoot& s, int count, int timeoutMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (s.Commands().size() < count) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

}  // namespace

class RunnerTest : public QObject {
    Q_OBJECT

private slots:
    void defaultProcessReachesTheControllerInOrderAndTurnsBack();
    void returnOfMoreThan9999StepsKeepsEveryDigit();
    void autoPauseAfterEveryRotationIncludingTheLast();
    void stopDuringARotationsWait();
    void pauseDuringARotationsWait();
    void errorReplyEndsTheRunWithThePortOpen();
    void silenceEndsTheRunAfterThePollLimit();
    void hangUpClosesThePortAndTheNextStartOpensIt();
    void failedConnectionTestKeepsThePortOpen();
    void completionCopiesThePhotosFoundWhenAsked();
    void stopThenStartDuringAWaitWaitsForTheReply();
    void pauseThenContinueDuringAWaitStartsNoSecondTick();
    void closeIsRefusedWhileAReplyIsAwaited();
    void photosOfTheSimulatedCameraAreListedAndCopied();
};

void RunnerTest::defaultProcessReachesTheControllerInOrderAndTurnsBack() {
    SimulatedShoot s({"--time-scale", "0"});
    s.Make("30");
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + NoPhotosCame(30)));
    QStringList expected{"X.", "T0001.", "D0005.", "F2000."};
    for (int i = 0; i < 30; ++i) {
        expected << "P0050."
                 << "W0050."
                 << "L0040.";
    }
    QCOMPARE(s.Commands(), expected);
    const QList<QDateTime> times = s.Times();
    for (int i = 1; i < times.size(); ++i) {
        QVERIFY2(times[i - 1].msecsTo(times[i]) >= 49, qPrintable(QString::number(i)));
    }
    QCOMPARE(s.main().shoot().Process().RotationsDone, 30);
    QCOMPARE(s.main().shoot().Process().Remaining, 0);
    QCOMPARE(s.main().shoot().Process().ProcessState, 0);
    QCOMPARE(s.main().shoot().DeviceState(), 2);
    QCOMPARE(MainControls(s.main()).lblProgresKoraka->text(), QString("Step 0/30"));
    QVERIFY(MainControls(s.main()).btnStart->isEnabled());
    QVERIFY(!MainControls(s.main()).btnStop->isEnabled());
    QVERIFY(!s.main().shoot().Photos().Folder().Watching());

    // Back to the beginning: one revolution the other way.
    QVERIFY(MainControls(s.main()).btnNaPocetak->isEnabled());
    QTest::mouseClick(MainControls(s.main()).btnNaPocetak, Qt::LeftButton);
    QTRY_COMPARE(s.Commands().size(), 95);
    QCOMPARE(s.Commands().last(), QString("R1200."));
    QVERIFY(!MainControls(s.main()).btnNaPocetak->isEnabled());
    QCOMPARE(s.dialogs().Messages(), QStringList{kCompleted + NoPhotosCame(30)});
}

void RunnerTest::returnOfMoreThan9999StepsKeepsEveryDigit() {
    SimulatedShoot s({"--time-scale", "0"});
    s.main().Options.BrojKoraka = 200;
    s.main().Options.OdnosPrenosa = 60;
    QuickPhotos(s.main());
    s.Make("1");
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + NoPhotosCame(1)));
    QCOMPARE(s.Commands().mid(4), (QStringList{"P0050.", "L12000."}));
    QTest::mouseClick(MainControls(s.main()).btnNaPocetak, Qt::LeftButton);
    QTRY_COMPARE(s.Commands().last(), QString("R12000."));
}

void RunnerTest::autoPauseAfterEveryRotationIncludingTheLast() {
    SimulatedShoot s({"--time-scale", "0"});
    QuickPhotos(s.main());
    MainControls(s.main()).ckAutoPauza->setChecked(true);
    s.Make("2");
    s.Start();
    QTRY_COMPARE_WITH_TIMEOUT(s.main().shoot().Process().ProcessState, 2, 10000);
    QCOMPARE(s.main().shoot().Process().RotationsDone, 1);
    QCOMPARE(MainControls(s.main()).btnPauza->text(), QString("&Continue"));
    QTRY_COMPARE(s.main().StatusText(2), QString("Process paused..."));
    const int sent = s.Commands().size();
    QTest::qWait(200);
    QCOMPARE(s.Commands().size(), sent);

    QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(s.main().shoot().Process().RotationsDone, 2, 10000);
    QTRY_COMPARE(s.main().shoot().Process().ProcessState, 2);
    QCOMPARE(s.main().shoot().Process().Remaining, 0);
    QTest::qWait(200);
    QVERIFY(!s.dialogs().Messages().contains(kCompleted + NoPhotosCame(2)));

    QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
    QVERIFY(s.WaitForMessage(kCompleted + NoPhotosCame(2)));
    QCOMPARE(MainControls(s.main()).btnPauza->text(), QString("&Pause"));
}

void RunnerTest::stopDuringARotationsWait() {
    SimulatedShoot s;  // a rotation of 600 steps of 5 ms takes three seconds
    QuickPhotos(s.main());
    s.Make("2");
    bool stopped = false;
    QString labelAtStop;
    bool stillWaiting = false;
    WhenReady(&s.main(), InFirstRotationsWait(s), [&] {
        QCOMPARE(s.Commands().last(), QString("L0600."));  // X. T D F P L
        QTest::mouseClick(MainControls(s.main()).btnStop, Qt::LeftButton);
        labelAtStop = MainControls(s.main()).lblProgresKoraka->text();
        stillWaiting = s.main().shoot().Process().WaitingReply;
        stopped = true;
    });
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(stopped, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!s.main().shoot().Process().WaitingReply, 10000);
    QCOMPARE(labelAtStop, QString("Step 0/2"));
    QVERIFY(stillWaiting);
    QCOMPARE(s.main().shoot().Process().RotationsDone, 1);
    QCOMPARE(s.main().shoot().Process().CurrentIndex, 5);
    QTest::qWait(300);
    QCOMPARE(s.Commands().size(), 6);
    QVERIFY(MainControls(s.main()).btnNaPocetak->isEnabled());
    QCOMPARE(MainControls(s.main()).lblProgresKoraka->text(), QString("Step 0/2"));
    QVERIFY(s.dialogs().Messages().isEmpty());
}

void RunnerTest::pauseDuringARotationsWait() {
    SimulatedShoot s;
    QuickPhotos(s.main());
    s.Make("2");
    bool paused = false;
    ClickInFirstRotationsWait(s, MainControls(s.main()).btnPauza, &paused);
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(paused, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(s.main().shoot().Process().RotationsDone, 1, 10000);
    QCOMPARE(MainControls(s.main()).gProces->progress(), 0);
    QCOMPARE(MainControls(s.main()).lblProgresKoraka->text(), QString("Step 0/2"));
    QCOMPARE(s.main().shoot().Process().ProcessState, 2);
    QTest::mouseClick(MainControls(s.main()).btnStop, Qt::LeftButton);
}

void RunnerTest::errorReplyEndsTheRunWithThePortOpen() {
    SimulatedShoot s({"--time-scale", "0", "--error-at", "3"});  // X. T0001. D0005.
    s.Make("30");
    s.Start();
    QVERIFY(s.WaitForMessage("Error|Device did not respond correctly. Terminating process."));
    QCOMPARE(s.dialogs().shown.back().icon, Dialogs::Icon::Error);
    QCOMPARE(s.main().shoot().DeviceState(), 2);
    QCOMPARE(s.main().shoot().Process().CurrentIndex, 1);
    QVERIFY(MainControls(s.main()).btnStart->isEnabled());
    QTest::qWait(200);
    QCOMPARE(s.Commands().size(), 3);
}

void RunnerTest::silenceEndsTheRunAfterThePollLimit() {
    SimulatedShoot s({"--time-scale", "0", "--silent-from", "3"});
    // Each poll is told which command the board has received last, so the
    // silent one's polls are counted however long the others took.
    std::atomic<int> polls{0};
    std::atomic<int> pollsAfterTheSilentOne{0};
    s.main().shoot().SetPollSleep([&] {
        ++polls;
        if (s.Commands().size() == 3) {
            ++pollsAfterTheSilentOne;
        }
        QThread::usleep(500);
    });
    s.Make("30");
    s.Start();
    QVERIFY(s.WaitForMessage("Error|Device did not respond in time. Terminating process."));
    QCOMPARE(s.dialogs().shown.back().icon, Dialogs::Icon::Error);
    // The two answered exchanges took a poll or more each; the silent one
    // took all 1001 and no more.
    QVERIFY(polls >= 1001 + 2);
    QVERIFY(pollsAfterTheSilentOne <= 1001);
    QCOMPARE(s.Commands(), (QStringList{"X.", "T0001.", "D0005."}));
    QCOMPARE(s.main().shoot().DeviceState(), 2);
}

void RunnerTest::hangUpClosesThePortAndTheNextStartOpensIt() {
    // The simulator hangs up after the first rotation, while the run pauses.
    SimulatedShoot s({"--time-scale", "0", "--hangup-after", "6"});
    QuickPhotos(s.main());
    MainControls(s.main()).ckAutoPauza->setChecked(true);
    s.Make("2");
    s.Start();
    QTRY_COMPARE_WITH_TIMEOUT(s.main().shoot().Process().ProcessState, 2, 10000);
    QCOMPARE(s.sim->WaitForExit(), 0);
    QCOMPARE(s.Commands().back(), QString("HANGUP"));
    // Noticed with nothing pressed: the run ends, the port is closed.
    QVERIFY(
        s.WaitForMessage("Error|Device was disconnected. Terminating process.\r\n"
                         "error reading from serial port: 5 (Input/output error)"));
    QCOMPARE(s.dialogs().Messages().size(), 1);
    QCOMPARE(s.dialogs().shown[0].icon, Dialogs::Icon::Error);
    QCOMPARE(s.main().shoot().DeviceState(), 0);
    QCOMPARE(s.main().StatusText(1), QString("Device is disconnected."));
    QVERIFY(MainControls(s.main()).btnStart->isEnabled());
    QVERIFY(!MainControls(s.main()).btnPauza->isEnabled());
    QVERIFY(MainControls(s.main()).btnNaPocetak->isEnabled());

    s.StartSimulator({"--time-scale", "0"});
    s.dialogs().Clear();
    s.Start();
    QTRY_COMPARE(s.main().shoot().DeviceState(), 2);
    QCOMPARE(s.main().StatusText(1), QString("Device connected."));
    QTest::mouseClick(MainControls(s.main()).btnStop, Qt::LeftButton);
}

void RunnerTest::failedConnectionTestKeepsThePortOpen() {
    SimulatedShoot s({"--time-scale", "0", "--error-at", "1"});
    s.Make("30");
    s.Start();
    QVERIFY(s.WaitForMessage("Error|Device did not respond correctly. Please try again !"));
    QCOMPARE(s.main().shoot().DeviceState(), 1);
    QCOMPARE(s.main().shoot().Process().ProcessState, 0);
    QVERIFY(MainControls(s.main()).btnStart->isEnabled());
    // No device at all on the port number.
    unsetenv("ZENTRIVO_COM3");
    s.main().shoot().Disconnect();
    s.main().Options.ComPort = 29;
    s.dialogs().Clear();
    s.Start();
    QCOMPARE(s.dialogs().Messages(),
             QStringList{"Parameters|I can not open COM port. Please check parameters !"});
    QCOMPARE(s.main().shoot().DeviceState(), 0);
}

void RunnerTest::completionCopiesThePhotosFoundWhenAsked() {
    SimulatedShoot s({"--time-scale", "0"});
    QuickPhotos(s.main());
    MainControls(s.main()).ckFotosAutoCopy->setChecked(true);
    MainControls(s.main()).ckFotosAutoNameDir->setChecked(true);
    QFile old(s.cameraDir.filePath("OLD.JPG"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.close();
    MainControls(s.main()).ckAutoPauza->setChecked(true);
    s.Make("2");
    s.Start();
    QTRY_COMPARE_WITH_TIMEOUT(s.main().shoot().Process().ProcessState, 2, 10000);
    // The camera writes each photo while the run waits after it: whole
    // JPEGs that hold their own names.
    const auto jpeg = [](const QString& name) { return "\xFF\xD8" + name.toLatin1() + "\xFF\xD9"; };
    const auto write = [&](const char* name) {
        QFile f(s.cameraDir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(jpeg(name));
    };
    write("IMG_0001.JPG");
    QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(s.main().shoot().Process().RotationsDone, 2, 10000);
    write("IMG_0002.JPG");
    QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
    QVERIFY(s.WaitForMessage(kCompleted + "\r\nPhotos successfully copied !"));
    const QStringList folders = QDir(s.destDir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(folders.size(), 1);
    QDir copied(s.destDir.filePath(folders[0]));
    QCOMPARE(copied.entryList(QDir::Files), (QStringList{"1.jpg", "2.jpg"}));
    // Numbered in the order of the list, which is the order found.
    QCOMPARE(MainControls(s.main()).lbFotosList->count(), 2);
    for (int i = 0; i < 2; ++i) {
        QFile copy(copied.filePath(QString("%1.jpg").arg(i + 1)));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), jpeg(MainControls(s.main()).lbFotosList->item(i)->text()));
    }
}

void RunnerTest::stopThenStartDuringAWaitWaitsForTheReply() {
    SimulatedShoot s;
    QuickPhotos(s.main());
    s.Make("2");
    bool restarted = false;
    bool startHeldBack = false;
    WhenReady(&s.main(), InFirstRotationsWait(s), [&] {
        QTest::mouseClick(MainControls(s.main()).btnStop, Qt::LeftButton);
        QTest::mouseClick(MainControls(s.main()).btnStart, Qt::LeftButton);
        startHeldBack = !MainControls(s.main()).btnStart->isEnabled() && s.Commands().size() == 6;
        restarted = true;
    });
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(restarted, 10000);
    QVERIFY(startHeldBack);
    QVERIFY(WaitForCommands(s, 8));  // the new run's test and first command
    const QList<QDateTime> times = s.Times();
    QCOMPARE(s.Commands().mid(6, 2), (QStringList{"X.", "T0001."}));
    QVERIFY(times[5].msecsTo(times[6]) >= 2900);  // only after the rotation's reply
    QCOMPARE(s.main().shoot().Process().RotationsDone, 0);
    QCOMPARE(s.main().shoot().Process().ProcessState, 1);
    QTest::mouseClick(MainControls(s.main()).btnStop, Qt::LeftButton);
}

void RunnerTest::pauseThenContinueDuringAWaitStartsNoSecondTick() {
    SimulatedShoot s;
    QuickPhotos(s.main());
    s.Make("2");
    bool continued = false;
    WhenReady(&s.main(), InFirstRotationsWait(s), [&] {
        QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
        QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
        continued = true;
    });
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(continued, 10000);
    QVERIFY(WaitForCommands(s, 7));
    const QList<QDateTime> times = s.Times();
    QVERIFY(times[5].msecsTo(times[6]) >= 2900);
    QCOMPARE(s.Commands()[6], QString("P0050."));
    QCOMPARE(MainControls(s.main()).gProces->progress(), 1);
    QTest::mouseClick(MainControls(s.main()).btnStop, Qt::LeftButton);
}

void RunnerTest::closeIsRefusedWhileAReplyIsAwaited() {
    SimulatedShoot s;
    QuickPhotos(s.main());
    s.Make("2");
    s.main().show();
    bool refused = false;
    WhenReady(&s.main(), InFirstRotationsWait(s), [&] {
        refused = !s.main().close();
        QTest::mouseClick(MainControls(s.main()).btnStop, Qt::LeftButton);
    });
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(!s.dialogs().Messages().isEmpty(), 10000);
    QVERIFY(refused);
    QCOMPARE(s.dialogs().Messages().size(), 1);
    QVERIFY(s.dialogs().Messages()[0].startsWith("Error|Application can not exit right now"));
    QCOMPARE(s.main().shoot().DeviceState(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(!s.main().shoot().Process().WaitingReply, 10000);
    QVERIFY(s.main().isVisible());
}

void RunnerTest::photosOfTheSimulatedCameraAreListedAndCopied() {
    // Each photo takes its 2 s of focus, so the watch sees them come.
    SimulatedShoot s;
    s.StartSimulator({"--camera-dir", s.cameraDir.path().toStdString(), "--camera-delay", "20",
                      "--camera-slow-write", "0"});
    MainControls(s.main()).udMedjuPauza->setPosition(0);
    s.Make("3");
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(MainControls(s.main()).lbFotosList->count() >= 1, 8000);
    QVERIFY(!s.dialogs().Messages().contains(kCompleted));
    QVERIFY(s.WaitForMessage(kCompleted));
    QTRY_COMPARE(QDir(s.cameraDir.path()).entryList(QDir::Files).size(), 3);
    s.main().shoot().Photos().Folder().Refresh();
    QCOMPARE(MainControls(s.main()).lbFotosList->count(), 3);
    QCOMPARE(s.main().StatusText(3), QString("New Photos: 3"));
    MainControls(s.main()).ckFotosAutoNameDir->setChecked(true);
    QTest::mouseClick(MainControls(s.main()).btnFotosKopirajSlike, Qt::LeftButton);
    QVERIFY(s.WaitForMessage("Copy|Photos successfully copied !"));
    const QStringList folders = QDir(s.destDir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(folders.size(), 1);
    QDir copied(s.destDir.filePath(folders[0]));
    QCOMPARE(copied.entryList(QDir::Files, QDir::Name), (QStringList{"1.jpg", "2.jpg", "3.jpg"}));
    for (int i = 1; i <= 3; ++i) {
        QFile copy(copied.filePath(QString("%1.jpg").arg(i)));
        QFile photo(s.cameraDir.filePath(QString("IMG_%1.JPG").arg(i, 4, 10, QChar('0'))));
        QVERIFY(copy.open(QIODevice::ReadOnly) && photo.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), photo.readAll());
    }
}

ZENTRIVO_TEST_MAIN(RunnerTest)
#include "runner_test.moc"
