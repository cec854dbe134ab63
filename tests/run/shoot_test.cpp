// The shoot at its own interface, without a window: the commands on the
// wire, the photos left on disk and what the user is told.
#include <QCoreApplication>
#include <QFile>
#include <QtTest>
#include <algorithm>
#include <vector>

#include "core/clock_text.h"
#include "shoot_rig.h"

namespace {

const QString kCompleted = "Information|Process successfully completed !";

QStringList Played(const QStringList& perPhoto, int photos) {
    QStringList played{"X.", "T0001.", "D0005.", "F0000."};
    for (int i = 0; i < photos; ++i) {
        played << perPhoto;
    }
    return played;
}

// The first of the commands received from `from` to before `to` that came
// sooner than the usual pace allows after the one before it: the 10 ms
// before the read of the reply and the 50 ms after it. The board stamps a
// command when it reads it, and a busy machine may have it read one a little
// late, so 3 ms of the 60 are left to that: a pause or a poll left out still
// shows as 50 ms or less. Empty when none did.
QString ShortGap(const ShootRig& rig, int from, int to) {
    const QStringList received = rig.Received();
    const QList<double> at = rig.ReceivedAtMs();
    for (int i = from; i < to; ++i) {
        if (at[i] - at[i - 1] < 57.0) {
            return QString("%1 came %2 ms after %3")
                .arg(received[i])
                .arg(at[i] - at[i - 1])
                .arg(received[i - 1]);
        }
    }
    return {};
}

}  // namespace

class ShootTest : public QObject {
    Q_OBJECT

private slots:
    void aWholeShootPlaysEveryCommandCopiesEveryPhotoAndTurnsBack();
    void theFastPaceSendsEachCommandAsSoonAsItsReplyIsIn();
    void pauseHoldsTheTableContinueGoesOnAndStopEndsTheRun();
    void aPhotoThatNeverCameIsTakenAgainAtItsOwnPlace();
    void withoutTheCheckEveryCopyHoldsItsOwnExposure();
    void aRunCutShortByALostBoardGoesOnFromItsJournal();
    void theRunLogStampsEachCommandAsSentAndNamesItsDevice();
    void aResumeNamesTheMomentTheRunStoppedAndIsLogged();
    void theTimeLeftFollowsABoardFasterThanItsCommandsTake();
};

void ShootTest::aWholeShootPlaysEveryCommandCopiesEveryPhotoAndTurnsBack() {
    ShootRig rig({"--time-scale", "0", "--log-microseconds"});
    rig.options.FotosAutoCopy = true;
    rig.Make(3);
    rig.shoot.Start();
    QVERIFY(rig.WaitForMessage(kCompleted));
    QCOMPARE(rig.observer.messages, QStringList{kCompleted + "\r\nPhotos successfully copied !"});
    QCOMPARE(rig.Received(), Played({"P0050.", "L0400."}, 3));
    // A board answering at once still gets its pause.
    const QString shortGap = ShortGap(rig, 1, rig.Received().size());
    QVERIFY2(shortGap.isEmpty(), qPrintable(shortGap));
    const QStringList copied = rig.CopiedPhotos();
    QCOMPARE(copied.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QVERIFY2(copied[i].endsWith(QString("/%1.jpg").arg(i + 1)), qPrintable(copied.join(" ")));
    }
    QCOMPARE(rig.shoot.Process().ProcessState, 0);
    QCOMPARE(rig.shoot.Process().RotationsDone, 3);
    QCOMPARE(rig.observer.deviceState, 2);
    QVERIFY(!rig.observer.running);
    // A completed run leaves nothing to resume.
    QVERIFY(!QFile::exists(rig.settings.filePath("zentrivo_run.journal")));
    QVERIFY(!rig.observer.resumeOpen);

    // The way back turns the three rotations back in one move.
    QVERIFY(rig.observer.turnBackOpen);
    rig.shoot.TurnBack();
    QTRY_COMPARE(rig.Received().value(10), QString("R1200."));
    QVERIFY(!rig.observer.turnBackOpen);
    QCOMPARE(rig.observer.messages.size(), 1);
}

void ShootTest::theFastPaceSendsEachCommandAsSoonAsItsReplyIsIn() {
    // Against a board that answers at once the gap between commands is the
    // program's own; the usual pace's 50 ms would make the median 60.
    ShootRig rig({"--time-scale", "0", "--log-microseconds"});
    rig.options.FastPace = true;
    rig.Make(30);
    rig.shoot.Start();
    QVERIFY(rig.WaitForMessage(kCompleted));
    QCOMPARE(rig.Received(), Played({"P0050.", "L0040."}, 30));
    const QList<double> at = rig.ReceivedAtMs();
    std::vector<double> gaps;
    for (int i = 1; i < at.size(); ++i) {
        gaps.push_back(at[i] - at[i - 1]);
    }
    std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
    QVERIFY2(gaps[gaps.size() / 2] < 25.0, qPrintable(QString::number(gaps[gaps.size() / 2])));
}

void ShootTest::pauseHoldsTheTableContinueGoesOnAndStopEndsTheRun() {
    ShootRig rig({"--time-scale", "0"});
    rig.options.AutoPauza = true;
    rig.Make(3);
    rig.shoot.Start();
    QTRY_VERIFY(rig.observer.paused);
    QCOMPARE(rig.shoot.Process().ProcessState, 2);
    QCOMPARE(rig.shoot.Process().RotationsDone, 1);
    QCOMPARE(rig.observer.progress, 1);
    // Nothing goes to the board while the run is paused.
    const int sent = rig.Received().size();
    QTest::qWait(300);
    QCOMPARE(rig.Received().size(), sent);

    rig.shoot.PauseOrContinue();
    QVERIFY(!rig.observer.paused);
    QTRY_COMPARE(rig.shoot.Process().RotationsDone, 2);
    QTRY_VERIFY(rig.observer.paused);
    QCOMPARE(rig.observer.progress, 2);

    rig.shoot.Stop();
    QCOMPARE(rig.shoot.Process().ProcessState, 0);
    QVERIFY(!rig.observer.running);
    QVERIFY(rig.observer.turnBackOpen);
    // The run ended early after two rotations: it may be resumed.
    QVERIFY(rig.observer.resumeOpen);
    QVERIFY(rig.observer.messages.isEmpty());
    QTest::qWait(200);
    QCOMPARE(rig.Received(), Played({"P0050.", "L0400."}, 2));
}

void ShootTest::aPhotoThatNeverCameIsTakenAgainAtItsOwnPlace() {
    ShootRig rig({"--time-scale", "0", "--camera-miss", "2"});
    rig.options.FotosCheck = true;
    rig.options.FotosAutoCopy = true;
    rig.Make(3);
    rig.shoot.Start();
    QVERIFY(rig.WaitForMessage(kCompleted));
    // The table turns on while the camera stores; the photo that did not
    // come is taken again once the table is back at its place.
    QCOMPARE(rig.Received(),
             (QStringList{"X.", "T0001.", "D0005.", "F0000.", "P0050.", "L0400.", "P0050.",
                          "L0400.", "R0400.", "P0050.", "L0400.", "P0050.", "L0400."}));
    QCOMPARE(rig.observer.messages,
             QStringList{kCompleted +
                         "\r\nPhotos successfully copied !\r\nPhotos planned: 3, received: 3, "
                         "taken again: 1"});
    QCOMPARE(rig.CopiedPhotos().size(), 3);
}

void ShootTest::withoutTheCheckEveryCopyHoldsItsOwnExposure() {
    // The second photo never comes and the fourth comes 2 s late, after the
    // fifth: each copy still holds the exposure of its own number.
    ShootRig rig({"--time-scale", "0.1", "--camera-miss", "2", "--camera-late", "4",
                  "--camera-late-ms", "2000"});
    rig.options.FotosAutoCopy = true;
    rig.options.FotosAutoNameDir = true;
    rig.Make(5);
    rig.shoot.Start();
    // The end waits for the fifth photo that will never come: the user
    // copies once the four are in.
    QTRY_VERIFY_WITH_TIMEOUT(rig.observer.cameraWait == "4 of 5", 30000);
    rig.shoot.EndCameraWait(true);
    QVERIFY(rig.WaitForMessage(kCompleted));
    QCOMPARE(
        rig.observer.messages,
        QStringList{kCompleted +
                    "\r\nPhotos successfully copied !\r\nOnly 4 of 5 photos came from the "
                    "camera !\r\nPhoto 2 of 5 did not come from the camera: 2.jpg is missing"});
    QCOMPARE(rig.CopiedStamps(),
             (QStringList{"1.jpg shot=1 place=0.00", "3.jpg shot=3 place=216.00",
                          "4.jpg shot=4 place=144.00", "5.jpg shot=5 place=72.00"}));
}

void ShootTest::aRunCutShortByALostBoardGoesOnFromItsJournal() {
    // The board turns the second rotation, then goes away without a reply.
    // The camera has stored both photos by then.
    ShootRig rig({"--time-scale", "0.1", "--camera-delay", "0", "--hangup-at", "8"});
    rig.options.FotosAutoCopy = true;
    rig.Make(3);
    rig.shoot.Start();
    QVERIFY(rig.WaitForMessage("Error|Device was disconnected. Terminating process."));
    QCOMPARE(rig.shoot.Process().ProcessState, 0);
    QCOMPARE(rig.observer.deviceState, 0);
    QVERIFY(rig.observer.resumeOpen);

    // Back on another port: the controller is set up again, and the run goes
    // on with photo 3, the rotation it did not answer taken as made.
    rig.StartSimulator({"--time-scale", "0", "--camera-delay", "0"});
    rig.observer.messages.clear();
    rig.observer.answers = {true};
    rig.shoot.ResumeInterrupted();
    QCOMPARE(rig.observer.questions.size(), 1);
    QVERIFY2(rig.observer.questions[0].contains("at photo 3 of 3"),
             qPrintable(rig.observer.questions[0]));
    QVERIFY(rig.WaitForMessage(kCompleted));
    QCOMPARE(rig.observer.messages, QStringList{kCompleted + "\r\nPhotos successfully copied !"});
    QCOMPARE(rig.Received().mid(8),
             (QStringList{"X.", "T0001.", "D0005.", "F0000.", "P0050.", "L0400."}));
    QCOMPARE(rig.CopiedPhotos().size(), 3);
    QVERIFY(!QFile::exists(rig.settings.filePath("zentrivo_run.journal")));
}

void ShootTest::theRunLogStampsEachCommandAsSentAndNamesItsDevice() {
    // Each rotation takes the board 200 ms.
    ShootRig rig({"--time-scale", "0.1"});
    const QString device = QString::fromStdString(rig.options.ComDevice);
    qputenv("ZENTRIVO_COM3", device.toUtf8());
    rig.Make(3);
    rig.shoot.Start();
    QVERIFY(rig.WaitForMessage(kCompleted));
    qunsetenv("ZENTRIVO_COM3");

    const QStringList log = rig.RunLogLines();
    QVERIFY2(log.value(0).contains(": a run begins on COM3 (" + device + "), photo check off"),
             qPrintable(log.value(0)));
    // "hh:mm:ss.zzz  text"
    const auto at = [](const QString& line) {
        return QTime::fromString(line.left(12), "HH:mm:ss.zzz");
    };
    const int sent = log.indexOf(QRegularExpression(".*  > L0400\\.$"));
    QVERIFY(sent > 0);
    const int reply = log.indexOf(QRegularExpression(".*  < OK.* after \\d+ ms$"), sent);
    QVERIFY(reply > sent);
    const int ms = QRegularExpression("after (\\d+) ms$").match(log[reply]).captured(1).toInt();
    QVERIFY2(ms >= 200, qPrintable(log[reply]));
    // The command carries the moment it went out, its reply the moment that came.
    QVERIFY2(at(log[sent]) < at(log[reply]), qPrintable(log[sent] + " / " + log[reply]));
}

void ShootTest::aResumeNamesTheMomentTheRunStoppedAndIsLogged() {
    ShootRig rig({"--time-scale", "0", "--log-microseconds"});
    std::tm now{};
    now.tm_year = 126;
    now.tm_mon = 11;
    now.tm_mday = 8;
    now.tm_hour = 10;
    rig.shoot.SetClock([&now] { return now; });
    rig.options.AutoPauza = true;
    rig.Make(3);
    rig.shoot.Start();
    QTRY_VERIFY(rig.observer.paused);
    rig.shoot.Stop();  // after photo 1, at 10:00:00
    const QString stopped = QString::fromStdString(zentrivo::ClockText(now));
    // The way back is taken five minutes later.
    now.tm_min = 5;
    rig.shoot.TurnBack();
    QTRY_COMPARE(rig.Received().value(6), QString("R0400."));

    rig.options.AutoPauza = false;
    rig.observer.answers = {true};
    rig.shoot.ResumeInterrupted();
    QCOMPARE(rig.observer.questions.size(), 1);
    QVERIFY2(
        rig.observer.questions[0].startsWith("Resume Interrupted Run|The last run stopped at " +
                                             stopped + ", at photo 2 of 3."),
        qPrintable(rig.observer.questions[0]));
    QVERIFY(rig.WaitForMessage(kCompleted));
    // The controller is set up again and the table turned to photo 2's
    // place at the pace of a Start: a board that needs its pause gets it.
    const int test = rig.Received().lastIndexOf("X.");
    QCOMPARE(rig.Received().mid(test, 6),
             (QStringList{"X.", "T0001.", "D0005.", "F0000.", "L0400.", "P0050."}));
    const QString shortGap = ShortGap(rig, test + 1, test + 6);
    QVERIFY2(shortGap.isEmpty(), qPrintable(shortGap));
    const QStringList resumed =
        rig.RunLogLines().filter(QRegularExpression("  resumes the run that stopped at "));
    QCOMPARE(resumed.size(), 1);
    QVERIFY2(
        resumed[0].endsWith("resumes the run that stopped at " + stopped + ", from photo 2 of 3"),
        qPrintable(resumed[0]));
}

void ShootTest::theTimeLeftFollowsABoardFasterThanItsCommandsTake() {
    // The board answers every command at once, though each rotation should
    // take 2 s and each photo 50 ms: what is left after the first rotation
    // (two photos and two rotations) takes well under a second, not 4 s.
    ShootRig rig({"--time-scale", "0"});
    rig.options.AutoPauza = true;
    rig.Make(3);
    rig.shoot.Start();
    QTRY_VERIFY(rig.observer.paused);
    const QRegularExpressionMatch left =
        QRegularExpression("^Time left: 0:(\\d\\d)$").match(rig.observer.timeLeft);
    QVERIFY2(left.hasMatch(), qPrintable(rig.observer.timeLeft));
    QVERIFY2(left.captured(1).toInt() <= 2, qPrintable(rig.observer.timeLeft));
    rig.shoot.Stop();
}

QTEST_GUILESS_MAIN(ShootTest)
#include "shoot_test.moc"
