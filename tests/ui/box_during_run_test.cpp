// A message box the user opens while the run waits for the board's reply:
// the table keeps turning behind it, and the run's log keeps the board's
// real reply times rather than the time the box stayed up.
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>

#include "main_controls.h"
#include "simulated_shoot.h"
#include "test_main.h"

namespace {

const int kPhotos = 30;
const QString kCompleted = "Information|Process successfully completed !";

// The reply delays ("after N ms") of the only run log there is.
QList<int> ReplyDelays(SimulatedShoot& s) {
    const QDir logs(s.program.dir.filePath("state/zentrivo/logs"));
    const QStringList names = logs.entryList({"run_*.log"}, QDir::Files);
    QList<int> delays;
    QFile log(names.size() == 1 ? logs.filePath(names[0]) : QString());
    if (log.open(QIODevice::ReadOnly)) {
        const QRegularExpression after("  < .* after (\\d+) ms\n");
        auto it = after.globalMatch(QString::fromUtf8(log.readAll()));
        while (it.hasNext()) {
            delays << it.next().captured(1).toInt();
        }
    }
    return delays;
}

}  // namespace

class BoxDuringRunTest : public QObject {
    Q_OBJECT

private slots:
    void anAboutBoxOpenedWhileAReplyIsAwaitedLeavesTheTableTurning();
};

void BoxDuringRunTest::anAboutBoxOpenedWhileAReplyIsAwaitedLeavesTheTableTurning() {
    // Moves at a quarter of their time, rotations of 40 steps in 50 ms: the
    // run lasts about 5 s. The camera stores each photo at once, so the end
    // of the run does not wait for it.
    SimulatedShoot s;
    s.StartSimulator({"--time-scale", "0.25", "--camera-dir", s.cameraDir.path().toStdString(),
                      "--camera-delay", "20", "--camera-slow-write", "0"});
    QuickPhotos(s.main());
    s.Make(QString::number(kPhotos));

    // The user reads the About box for 2 s; a real box's own event loop
    // runs meanwhile.
    QDateTime opened;
    QDateTime closed;
    s.dialogs().whileOpen = [&](const ScriptedDialogs::Shown& shown) {
        if (shown.title != "About") {
            return;
        }
        opened = QDateTime::currentDateTime();
        QEventLoop box;
        QTimer::singleShot(2000, &box, &QEventLoop::quit);
        box.exec();
        closed = QDateTime::currentDateTime();
    };
    // Opened from the Help menu while the first rotation's reply is awaited,
    // from inside whichever event loop is running then, as a click lands.
    WhenReady(&s.main(), InFirstRotationsWait(s),
              [&] { MainControls(s.main()).Oprogramu1->trigger(); });
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted, 60000));
    QVERIFY(opened.isValid() && closed.isValid());
    QCOMPARE(s.dialogs().Messages().size(), 2);  // the About box and the end
    QCOMPARE(s.Commands().size(), 4 + 2 * kPhotos);

    // The board went on receiving commands while the box was up.
    int duringBox = 0;
    for (const QDateTime& t : s.Times()) {
        duringBox += t > opened && t < closed ? 1 : 0;
    }
    QVERIFY2(duringBox >= 3, qPrintable(QString("%1 commands came during the box's %2 ms")
                                            .arg(duringBox)
                                            .arg(opened.msecsTo(closed))));

    // Every reply is logged with the board's own delay, none with the box's.
    const QList<int> delays = ReplyDelays(s);
    QCOMPARE(delays.size(), s.Commands().size());
    const int longest = *std::max_element(delays.begin(), delays.end());
    QVERIFY2(longest < 1000, qPrintable(QString("a reply logged after %1 ms").arg(longest)));
}

ZENTRIVO_TEST_MAIN(BoxDuringRunTest)
#include "box_during_run_test.moc"
