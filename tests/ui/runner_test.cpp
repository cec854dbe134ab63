#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include "gauge.h"
#include "shoot.h"
#include "test_main.h"
#include "ui_main_window.h"
#include "up_down.h"

namespace {

const QString kCompleted = "Information|Process successfully completed !";

// Waits until the simulator has received `count` commands.
bool WaitForCommands(Shoot& s, int count, int timeoutMs = 20000) {
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
    Shoot s({"--time-scale", "0"});
    s.Make("30");
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted));
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
    QCOMPARE(s.main().Process.RotationsDone, 30);
    QCOMPARE(s.main().Process.Remaining, 0);
    QCOMPARE(s.main().Process.ProcessState, 0);
    QCOMPARE(s.main().DeviceState(), 2);
    QCOMPARE(s.main().ui->lblProgresKoraka->text(), QString("Step 0/30"));
    QVERIFY(s.main().ui->btnStart->isEnabled());
    QVERIFY(!s.main().ui->btnStop->isEnabled());
    QVERIFY(!s.main().tmrFotosDirRefresher.isActive());

    // Back to the beginning: one revolution the other way.
    QVERIFY(s.main().ui->btnNaPocetak->isEnabled());
    QTest::mouseClick(s.main().ui->btnNaPocetak, Qt::LeftButton);
    QTRY_COMPARE(s.Commands().size(), 95);
    QCOMPARE(s.Commands().last(), QString("R1200."));
    QVERIFY(!s.main().ui->btnNaPocetak->isEnabled());
    QCOMPARE(s.dialogs().Messages(), QStringList{kCompleted});
}

void RunnerTest::returnOfMoreThan9999StepsKeepsEveryDigit() {
    Shoot s({"--time-scale", "0"});
    s.main().Options.BrojKoraka = 200;
    s.main().Options.OdnosPrenosa = 60;
    QuickPhotos(s.main());
    s.Make("1");
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted));
    QCOMPARE(s.Commands().mid(4), (QStringList{"P0050.", "L12000."}));
    QTest::mouseClick(s.main().ui->btnNaPocetak, Qt::LeftButton);
    QTRY_COMPARE(s.Commands().last(), QString("R12000."));
}

void RunnerTest::autoPauseAfterEveryRotationIncludingTheLast() {
    Shoot s({"--time-scale", "0"});
    QuickPhotos(s.main());
    s.main().ui->ckAutoPauza->setChecked(true);
    s.Make("2");
    s.Start();
    QTRY_COMPARE_WITH_TIMEOUT(s.main().Process.ProcessState, 2, 10000);
    QCOMPARE(s.main().Process.RotationsDone, 1);
    QCOMPARE(s.main().ui->btnPauza->text(), QString("&Continue"));
    QTRY_COMPARE(s.main().StatusText(2), QString("Process paused..."));
    const int sent = s.Commands().size();
    QTest::qWait(200);
    QCOMPARE(s.Commands().size(), sent);

    QTest::mouseClick(s.main().ui->btnPauza, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(s.main().Process.RotationsDone, 2, 10000);
    QTRY_COMPARE(s.main().Process.ProcessState, 2);
    QCOMPARE(s.main().Process.Remaining, 0);
    QTest::qWait(200);
    QVERIFY(!s.dialogs().Messages().contains(kCompleted));

    QTest::mouseClick(s.main().ui->btnPauza, Qt::LeftButton);
    QVERIFY(s.WaitForMessage(kCompleted));
    QCOMPARE(s.main().ui->btnPauza->text(), QString("&Pause"));
}

void RunnerTest::stopDuringARotationsWait() {
    Shoot s;  // a rotation of 600 steps of 5 ms takes three seconds
    QuickPhotos(s.main());
    s.Make("2");
    bool stopped = false;
    QString labelAtStop;
    bool stillWaiting = false;
    WhenReady(&s.main(), InFirstRotationsWait(s), [&] {
        QCOMPARE(s.Commands().last(), QString("L0600."));  // X. T D F P L
        QTest::mouseClick(s.main().ui->btnStop, Qt::LeftButton);
        labelAtStop = s.main().ui->lblProgresKoraka->text();
        stillWaiting = s.main().Process.WaitingReply;
        stopped = true;
    });
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(stopped, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!s.main().Process.WaitingReply, 10000);
    QCOMPARE(labelAtStop, QString("Step 0/2"));
    QVERIFY(stillWaiting);
    QCOMPARE(s.main().Process.RotationsDone, 1);
    QCOMPARE(s.main().Process.CurrentIndex, 5);
    QTest::qWait(300);
    QCOMPARE(s.Commands().size(), 6);
    QVERIFY(s.main().ui->btnNaPocetak->isEnabled());
    QCOMPARE(s.main().ui->lblProgresKoraka->text(), QString("Step 0/2"));
    QVERIFY(s.dialogs().Messages().isEmpty());
}

void RunnerTest::pauseDuringARotationsWait() {
    Shoot s;
    QuickPhotos(s.main());
    s.Make("2");
    bool paused = false;
    ClickInFirstRotationsWait(s, s.main().ui->btnPauza, &paused);
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(paused, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(s.main().Process.RotationsDone, 1, 10000);
    QCOMPARE(s.main().ui->gProces->progress(), 0);
    QCOMPARE(s.main().ui->lblProgresKoraka->text(), QString("Step 0/2"));
    QCOMPARE(s.main().Process.ProcessState, 2);
    QTest::mouseClick(s.main().ui->btnStop, Qt::LeftButton);
}

void RunnerTest::errorReplyEndsTheRunWithThePortOpen() {
    Shoot s({"--time-scale", "0", "--error-at", "3"});  // X. T0001. D0005.
    s.Make("30");
    s.Start();
    QVERIFY(s.WaitForMessage("Error|Device did not respond correctly. Terminating process."));
    QCOMPARE(s.dialogs().shown.back().icon, Dialogs::Icon::Error);
    QCOMPARE(s.main().DeviceState(), 2);
    QCOMPARE(s.main().Process.CurrentIndex, 1);
    QVERIFY(s.main().ui->btnStart->isEnabled());
    QTest::qWait(200);
    QCOMPARE(s.Commands().size(), 3);
}

void RunnerTest::silenceEndsTheRunAfterThePollLimit() {
    Shoot s({"--time-scale", "0", "--silent-from", "3"});
    // Each poll is told which command the board has received last, so the
    // silent one's polls are counted however long the others took.
    int polls = 0;
    int pollsAfterTheSilentOne = 0;
    s.main().SetPollSleep([&] {
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
    QCOMPARE(s.main().DeviceState(), 2);
}

void RunnerTest::hangUpClosesThePortAndTheNextStartOpensIt() {
    // The simulator hangs up after the first rotation, while the run pauses.
    Shoot s({"--time-scale", "0", "--hangup-after", "6"});
    QuickPhotos(s.main());
    s.main().ui->ckAutoPauza->setChecked(true);
    s.Make("2");
    s.Start();
    QTRY_COMPARE_WITH_TIMEOUT(s.main().Process.ProcessState, 2, 10000);
    QCOMPARE(s.sim->WaitForExit(), 0);
    QCOMPARE(s.Commands().back(), QString("HANGUP"));
    // Noticed with nothing pressed: the run ends, the port is closed.
    QVERIFY(
        s.WaitForMessage("Error|Device was disconnected. Terminating process.\r\n"
                         "error reading from serial port: 5 (Input/output error)"));
    QCOMPARE(s.dialogs().Messages().size(), 1);
    QCOMPARE(s.dialogs().shown[0].icon, Dialogs::Icon::Error);
    QCOMPARE(s.main().DeviceState(), 0);
    QCOMPARE(s.main().StatusText(1), QString("Device is disconnected."));
    QVERIFY(s.main().ui->btnStart->isEnabled());
    QVERIFY(!s.main().ui->btnPauza->isEnabled());
    QVERIFY(s.main().ui->btnNaPocetak->isEnabled());

    s.StartSimulator({"--time-scale", "0"});
    s.dialogs().Clear();
    s.Start();
    QTRY_COMPARE(s.main().DeviceState(), 2);
    QCOMPARE(s.main().StatusText(1), QString("Device connected."));
    QTest::mouseClick(s.main().ui->btnStop, Qt::LeftButton);
}

void RunnerTest::failedConnectionTestKeepsThePortOpen() {
    Shoot s({"--time-scale", "0", "--error-at", "1"});
    s.Make("30");
    s.Start();
    QVERIFY(s.WaitForMessage("Error|Device did not respond correctly. Please try again !"));
    QCOMPARE(s.main().DeviceState(), 1);
    QCOMPARE(s.main().Process.ProcessState, 0);
    QVERIFY(s.main().ui->btnStart->isEnabled());
    // No device at all on the port number.
    unsetenv("ZENTRIVO_COM3");
    s.main().DisconnectDevice();
    s.main().Options.ComPort = 29;
    s.dialogs().Clear();
    s.Start();
    QCOMPARE(s.dialogs().Messages(),
             QStringList{"Parameters|I can not open COM port. Please check parameters !"});
    QCOMPARE(s.main().DeviceState(), 0);
}

void RunnerTest::completionCopiesThePhotosFoundWhenAsked() {
    Shoot s({"--time-scale", "0"});
    QuickPhotos(s.main());
    s.main().ui->ckFotosAutoCopy->setChecked(true);
    s.main().ui->ckFotosAutoNameDir->setChecked(true);
    QFile old(s.cameraDir.filePath("OLD.JPG"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.close();
    s.main().ui->ckAutoPauza->setChecked(true);
    s.Make("2");
    s.Start();
    QTRY_COMPARE_WITH_TIMEOUT(s.main().Process.ProcessState, 2, 10000);
    // The camera writes its photos while the run waits.
    for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG"}) {
        QFile f(s.cameraDir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(name);
    }
    QTest::mouseClick(s.main().ui->btnPauza, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(s.main().Process.RotationsDone, 2, 10000);
    QTest::mouseClick(s.main().ui->btnPauza, Qt::LeftButton);
    QVERIFY(s.WaitForMessage(kCompleted + "\r\nPhotos successfully copied !"));
    const QStringList folders = QDir(s.destDir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(folders.size(), 1);
    QDir copied(s.destDir.filePath(folders[0]));
    QCOMPARE(copied.entryList(QDir::Files), (QStringList{"1.jpg", "2.jpg"}));
    // Numbered in the order of the list, which is the order found.
    QCOMPARE(s.main().ui->lbFotosList->count(), 2);
    for (int i = 0; i < 2; ++i) {
        QFile copy(copied.filePath(QString("%1.jpg").arg(i + 1)));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(copy.readAll()), s.main().ui->lbFotosList->item(i)->text());
    }
}

void RunnerTest::stopThenStartDuringAWaitWaitsForTheReply() {
    Shoot s;
    QuickPhotos(s.main());
    s.Make("2");
    bool restarted = false;
    bool startHeldBack = false;
    WhenReady(&s.main(), InFirstRotationsWait(s), [&] {
        QTest::mouseClick(s.main().ui->btnStop, Qt::LeftButton);
        QTest::mouseClick(s.main().ui->btnStart, Qt::LeftButton);
        startHeldBack = !s.main().ui->btnStart->isEnabled() && s.Commands().size() == 6;
        restarted = true;
    });
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(restarted, 10000);
    QVERIFY(startHeldBack);
    QVERIFY(WaitForCommands(s, 8));  // the new run's test and first command
    const QList<QDateTime> times = s.Times();
    QCOMPARE(s.Commands().mid(6, 2), (QStringList{"X.", "T0001."}));
    QVERIFY(times[5].msecsTo(times[6]) >= 2900);  // only after the rotation's reply
    QCOMPARE(s.main().Process.RotationsDone, 0);
    QCOMPARE(s.main().Process.ProcessState, 1);
    QTest::mouseClick(s.main().ui->btnStop, Qt::LeftButton);
}

void RunnerTest::pauseThenContinueDuringAWaitStartsNoSecondTick() {
    Shoot s;
    QuickPhotos(s.main());
    s.Make("2");
    bool continued = false;
    WhenReady(&s.main(), InFirstRotationsWait(s), [&] {
        QTest::mouseClick(s.main().ui->btnPauza, Qt::LeftButton);
        QTest::mouseClick(s.main().ui->btnPauza, Qt::LeftButton);
        continued = true;
    });
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(continued, 10000);
    QVERIFY(WaitForCommands(s, 7));
    const QList<QDateTime> times = s.Times();
    QVERIFY(times[5].msecsTo(times[6]) >= 2900);
    QCOMPARE(s.Commands()[6], QString("P0050."));
    QCOMPARE(s.main().ui->gProces->progress(), 1);
    QTest::mouseClick(s.main().ui->btnStop, Qt::LeftButton);
}

void RunnerTest::closeIsRefusedWhileAReplyIsAwaited() {
    Shoot s;
    QuickPhotos(s.main());
    s.Make("2");
    s.main().show();
    bool refused = false;
    WhenReady(&s.main(), InFirstRotationsWait(s), [&] {
        refused = !s.main().close();
        QTest::mouseClick(s.main().ui->btnStop, Qt::LeftButton);
    });
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(!s.dialogs().Messages().isEmpty(), 10000);
    QVERIFY(refused);
    QCOMPARE(s.dialogs().Messages().size(), 1);
    QVERIFY(s.dialogs().Messages()[0].startsWith("Error|Application can not exit right now"));
    QCOMPARE(s.main().DeviceState(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(!s.main().Process.WaitingReply, 10000);
    QVERIFY(s.main().isVisible());
}

void RunnerTest::photosOfTheSimulatedCameraAreListedAndCopied() {
    // Each photo takes its 2 s of focus, so the watch sees them come.
    Shoot s;
    s.StartSimulator({"--camera-dir", s.cameraDir.path().toStdString(), "--camera-delay", "20",
                      "--camera-slow-write", "0"});
    s.main().ui->udMedjuPauza->setPosition(0);
    s.Make("3");
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(s.main().ui->lbFotosList->count() >= 1, 8000);
    QVERIFY(!s.dialogs().Messages().contains(kCompleted));
    QVERIFY(s.WaitForMessage(kCompleted));
    QTRY_COMPARE(QDir(s.cameraDir.path()).entryList(QDir::Files).size(), 3);
    s.main().RefreshNewPhotos();
    QCOMPARE(s.main().ui->lbFotosList->count(), 3);
    QCOMPARE(s.main().StatusText(3), QString("New Photos: 3"));
    s.main().ui->ckFotosAutoNameDir->setChecked(true);
    QTest::mouseClick(s.main().ui->btnFotosKopirajSlike, Qt::LeftButton);
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
