// The fast pace against the simulated turntable: the same commands as at
// the usual pace, each only after the whole reply to the one before, and
// Stop, Pause and the automatic pause as they are at the usual pace.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "main_controls.h"
#include "simulated_shoot.h"
#include "test_main.h"
#include "ui/gauge.h"
#include "ui/up_down.h"

namespace {

const QString kCompleted = "Information|Process successfully completed !";

// X., the set-up and then each photo's commands.
QStringList ShootCommands(int photos, const QStringList& set_up, const QStringList& per_photo) {
    QStringList commands{"X."};
    commands << set_up;
    for (int i = 0; i < photos; ++i) {
        commands << per_photo;
    }
    return commands;
}

// Quick photos of two turns of 600 steps at 5 ms, at a quarter of the time:
// 750 ms a rotation, long enough to press a button while it is awaited.
void MakeTwoSlowRotations(SimulatedShoot& s) {
    s.main().Options.FastPace = true;
    QuickPhotos(s.main());
    s.Make("2");
}

}  // namespace

class FastPaceTest : public QObject {
    Q_OBJECT

private slots:
    void sameCommandsEachAfterTheWholeReplyAndTheUsualGapsWhenOff();
    void stopDuringARotationEndsTheRunAsAtTheUsualPace();
    void pauseAndTheAutomaticPauseHoldTheNextCommand();
};

void FastPaceTest::sameCommandsEachAfterTheWholeReplyAndTheUsualGapsWhenOff() {
    // A command written before the board had sent its whole reply to the
    // one before is marked early by the simulator.
    SimulatedShoot s({"--time-scale", "0"});
    s.main().Options.FastPace = true;
    s.Make("30");
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + NoPhotosCame(30)));
    QCOMPARE(s.Commands(),
             ShootCommands(30, {"T0001.", "D0005.", "F2000."}, {"P0050.", "W0050.", "L0040."}));
    QCOMPARE(s.SentEarly(), QStringList{});
    QCOMPARE(s.dialogs().Messages(), QStringList{kCompleted + NoPhotosCame(30)});
    QCOMPARE(s.main().shoot().Process().RotationsDone, 30);
    QCOMPARE(MainControls(s.main()).lblProgresKoraka->text(), QString("Step 0/30"));
    QVERIFY(MainControls(s.main()).btnNaPocetak->isEnabled());

    // The box off again: the next run keeps the usual pause between commands.
    s.main().Options.FastPace = false;
    QuickPhotos(s.main());
    s.Make("2");
    s.dialogs().Clear();
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + NoPhotosCame(2)));
    const QList<QDateTime> times = s.Times().mid(94);
    QCOMPARE(times.size(), 8);
    for (int i = 1; i < times.size(); ++i) {
        QVERIFY2(times[i - 1].msecsTo(times[i]) >= 50, qPrintable(QString::number(i)));
    }
}

void FastPaceTest::stopDuringARotationEndsTheRunAsAtTheUsualPace() {
    SimulatedShoot s({"--time-scale", "0.25"});
    MakeTwoSlowRotations(s);
    bool stopped = false;
    QString labelAtStop;
    WhenReady(&s.main(), InFirstRotationsWait(s), [&] {
        QTest::mouseClick(MainControls(s.main()).btnStop, Qt::LeftButton);
        labelAtStop = MainControls(s.main()).lblProgresKoraka->text();
        stopped = true;
    });
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(stopped, 10000);
    QCOMPARE(labelAtStop, QString("Step 0/2"));
    // The rotation's reply is still collected and counted; nothing follows.
    QTRY_COMPARE_WITH_TIMEOUT(s.main().shoot().Process().RotationsDone, 1, 10000);
    QTRY_VERIFY(!s.main().shoot().Process().WaitingReply);
    QTest::qWait(300);
    QCOMPARE(s.Commands(), ShootCommands(1, {"T0001.", "D0005.", "F0000."}, {"P0050.", "L0600."}));
    QCOMPARE(s.main().shoot().Process().CurrentIndex, 5);
    QVERIFY(MainControls(s.main()).btnNaPocetak->isEnabled());
    QVERIFY(MainControls(s.main()).btnStart->isEnabled());
    QCOMPARE(MainControls(s.main()).lblProgresKoraka->text(), QString("Step 0/2"));
    QVERIFY(s.dialogs().Messages().isEmpty());
}

void FastPaceTest::pauseAndTheAutomaticPauseHoldTheNextCommand() {
    // Pause pressed while the first rotation is awaited: the rotation counts,
    // the gauge stays, and nothing more goes out until Continue.
    SimulatedShoot s({"--time-scale", "0.25"});
    MakeTwoSlowRotations(s);
    bool paused = false;
    ClickInFirstRotationsWait(s, MainControls(s.main()).btnPauza, &paused);
    s.Start();
    QTRY_VERIFY_WITH_TIMEOUT(paused, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(s.main().shoot().Process().RotationsDone, 1, 10000);
    QTest::qWait(300);
    QCOMPARE(s.Commands().size(), 6);
    QCOMPARE(s.main().shoot().Process().ProcessState, 2);
    QCOMPARE(MainControls(s.main()).gProces->progress(), 0);
    QTRY_COMPARE(s.main().StatusText(2), QString("Process paused..."));
    QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
    QVERIFY(s.WaitForMessage(kCompleted + NoPhotosCame(2)));
    QCOMPARE(s.Commands(), ShootCommands(2, {"T0001.", "D0005.", "F0000."}, {"P0050.", "L0600."}));

    // The automatic pause after each rotation, also the last, with instant
    // replies: the run waits each time until Continue.
    SimulatedShoot quick({"--time-scale", "0"});
    quick.main().Options.FastPace = true;
    QuickPhotos(quick.main());
    MainControls(quick.main()).ckAutoPauza->setChecked(true);
    quick.Make("2");
    quick.Start();
    for (int rotations = 1; rotations <= 2; ++rotations) {
        QTRY_COMPARE_WITH_TIMEOUT(quick.main().shoot().Process().RotationsDone, rotations, 10000);
        QTRY_COMPARE(quick.main().shoot().Process().ProcessState, 2);
        QTest::qWait(200);
        QCOMPARE(quick.Commands().size(), 4 + 2 * rotations);
        QCOMPARE(MainControls(quick.main()).btnPauza->text(), QString("&Continue"));
        QVERIFY(quick.dialogs().Messages().isEmpty());
        QTest::mouseClick(MainControls(quick.main()).btnPauza, Qt::LeftButton);
    }
    QVERIFY(quick.WaitForMessage(kCompleted + NoPhotosCame(2)));
    QCOMPARE(quick.Commands().size(), 8);
    QCOMPARE(quick.SentEarly(), QStringList{});
}

ZENTRIVO_TEST_MAIN(FastPaceTest)
#include "fast_pace_test.moc"
