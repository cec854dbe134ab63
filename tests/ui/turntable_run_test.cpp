// What reaches the turntable in a run: how long each command is waited for,
// which reply answers which command, how far and which way the table goes
// back, and what a Stop or Pause during the connection test does.
#include <QPushButton>
#include <QThread>
#include <QToolButton>
#include <atomic>

#include "main_controls.h"
#include "simulated_shoot.h"
#include "test_main.h"
#include "ui/up_down.h"

namespace {

const QString kCompleted = "Information|Process successfully completed !";

}  // namespace

class TurntableRunTest : public QObject {
    Q_OBJECT

private slots:
    void longMovesAndTheWayBackAreWaitedForWholly();
    void repliesInPiecesAnswerOnlyTheirOwnCommand();
    void theWayBackUndoesTheRunThatTurned();
    void stopOrPauseDuringTheConnectionTestHolds();
};

void TurntableRunTest::longMovesAndTheWayBackAreWaitedForWholly() {
    // Everything at a tenth of its time: the board's moves and the 10 ms
    // polls that count out the wait.
    SimulatedShoot s({"--time-scale", "0.1"});
    s.main().shoot().SetPollSleep([] { QThread::usleep(1000); });
    s.main().Options.BrojKoraka = 80;
    s.main().Options.OdnosPrenosa = 5;
    QuickPhotos(s.main());
    MainControls(s.main()).udPeriodRotacije->setPosition(100);
    s.Make("2");  // rotations of 200 steps at 100 ms: 20 s each, far past 1001 polls
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + NoPhotosCame(2), 60000));
    QCOMPARE(s.Commands(), (QStringList{"X.", "T0001.", "D0100.", "F0000.", "P0050.", "L0200.",
                                        "P0050.", "L0200."}));
    // The next photo only once the table had stopped.
    QVERIFY(s.Times()[5].msecsTo(s.Times()[6]) >= 1990);

    // The way back is twice as long; a Start pressed meanwhile waits for it.
    QTest::mouseClick(MainControls(s.main()).btnNaPocetak, Qt::LeftButton);
    QTest::mouseClick(MainControls(s.main()).btnStart, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(s.Commands().size(), 10, 30000);
    QCOMPARE(s.Commands().mid(8), (QStringList{"R0400.", "X."}));
    QVERIFY(s.Times()[8].msecsTo(s.Times()[9]) >= 3990);
    QCOMPARE(s.dialogs().Messages(), QStringList{kCompleted + NoPhotosCame(2)});
    QTest::mouseClick(MainControls(s.main()).btnStop, Qt::LeftButton);
}

void TurntableRunTest::repliesInPiecesAnswerOnlyTheirOwnCommand() {
    // Each reply in two writes, its line end 10 ms after the rest, as a board
    // that prints its answer in two calls; moves at a tenth of their time.
    SimulatedShoot s({"--time-scale", "0.1", "--split-replies", "--split-gap", "10"});
    QuickPhotos(s.main());
    s.Make("3");  // rotations of 400 steps at 5 ms: 200 ms here
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + NoPhotosCame(3)));
    QStringList expected{"X.", "T0001.", "D0005.", "F0000."};
    for (int i = 0; i < 3; ++i) {
        expected << "P0050."
                 << "L0400.";
    }
    QCOMPARE(s.Commands(), expected);
    // No command went out before the board had answered the one before.
    QCOMPARE(s.SentEarly(), QStringList{});
    QCOMPARE(s.dialogs().Messages(), QStringList{kCompleted + NoPhotosCame(3)});
}

void TurntableRunTest::theWayBackUndoesTheRunThatTurned() {
    // The second Start's connection test fails, as on a board that resets
    // when its port opens.
    SimulatedShoot s({"--time-scale", "0", "--error-at", "11"});
    QuickPhotos(s.main());
    s.Make("3");  // three rotations of 400 steps to the left
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + NoPhotosCame(3)));
    QCOMPARE(s.Commands().size(), 10);

    QTest::mouseClick(MainControls(s.main()).btnDirRight, Qt::LeftButton);
    s.Make("2");  // 600 steps to the right, never played
    QVERIFY(!MainControls(s.main()).btnNaPocetak->isEnabled());
    s.Start();
    QVERIFY(s.WaitForMessage("Error|Device did not respond correctly. Please try again !"));
    QVERIFY(MainControls(s.main()).btnNaPocetak->isEnabled());
    QTest::mouseClick(MainControls(s.main()).btnNaPocetak, Qt::LeftButton);
    QTRY_COMPARE(s.Commands().size(), 12);
    QCOMPARE(s.Commands().last(), QString("R1200."));
}

void TurntableRunTest::stopOrPauseDuringTheConnectionTestHolds() {
    SimulatedShoot s({"--time-scale", "0"});
    QuickPhotos(s.main());
    s.Make("2");
    // The press lands while the test's reply is awaited: the first poll of
    // the wait holds until the window has taken it, so the reply is not read
    // before.
    std::atomic<bool> polling{false};
    std::atomic<bool> pressed{true};
    s.main().shoot().SetPollSleep([&] {
        polling = true;
        for (int i = 0; i < 200 && !pressed; ++i) {
            QThread::msleep(10);
        }
        QThread::msleep(10);
    });
    QAbstractButton* pressAt = nullptr;
    const auto pressInTheWait = [&](QAbstractButton* button) {
        pressAt = button;
        polling = false;
        pressed = false;
        WhenReady(
            &s.main(), [&] { return polling.load(); },
            [&] {
                QTest::mouseClick(pressAt, Qt::LeftButton);
                pressed = true;
            });
    };
    MainControls ui(s.main());

    pressInTheWait(ui.btnStop);
    s.Start();
    QTRY_COMPARE(s.Commands(), QStringList{"X."});
    QTest::qWait(300);
    QCOMPARE(s.Commands(), QStringList{"X."});
    QVERIFY(ui.btnStart->isEnabled());
    QVERIFY(!ui.btnPauza->isEnabled());
    QVERIFY(!ui.btnStop->isEnabled());
    QVERIFY(ui.btnKreirajProces->isEnabled());
    QTRY_COMPARE(s.main().StatusText(2), QString("Process not started."));
    QCOMPARE(s.main().StatusText(1), QString("COM port open."));  // as after a refused test

    pressInTheWait(ui.btnPauza);
    s.Start();
    QTRY_COMPARE(s.main().StatusText(2), QString("Process paused..."));
    QCOMPARE(s.main().StatusText(1), QString("Device connected."));
    QCOMPARE(ui.btnPauza->text(), QString("&Continue"));
    QVERIFY(ui.btnPauza->isEnabled());
    QVERIFY(ui.btnStop->isEnabled());
    QTest::qWait(300);
    QCOMPARE(s.Commands(), (QStringList{"X.", "X."}));
    QTest::mouseClick(ui.btnPauza, Qt::LeftButton);
    QVERIFY(s.WaitForMessage(kCompleted + NoPhotosCame(2)));
    QCOMPARE(s.Commands().size(), 2 + 7);
    QCOMPARE(s.dialogs().Messages(), QStringList{kCompleted + NoPhotosCame(2)});
}

ZENTRIVO_TEST_MAIN(TurntableRunTest)
#include "turntable_run_test.moc"
