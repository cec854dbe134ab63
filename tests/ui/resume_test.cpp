// "Resume Interrupted Run...": a run ended early goes on from the photo it
// stopped at, also after the program was ended without its closing steps,
// and ends with every photo copied in order, each taken where it belongs.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <cmath>

#include "main_controls.h"
#include "simulated_shoot.h"
#include "test_main.h"
#include "ui/proces_edit.h"
#include "ui/up_down.h"

namespace {

const QString kCompleted = "Information|Process successfully completed !";

QAction* ResumeAction(SimulatedShoot& s) {
    return s.main().findChild<QAction*>("ResumeInterruptedRun");
}

QString JournalPath(SimulatedShoot& s) {
    return s.program.dir.filePath("zentrivo_run.journal");
}

QByteArray JournalOnDisk(SimulatedShoot& s) {
    QFile f(JournalPath(s));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The photo options of a checked run copied into the sub-folder "spin",
// again after each restart (a killed program never saved them).
void SetUp(SimulatedShoot& s) {
    s.main().Options.FotosDir = s.cameraDir.path().toStdString();
    s.main().Options.FotosCopyDir = s.destDir.path().toStdString();
    MainControls(s.main()).ckAutoStart->setChecked(false);
    MainControls(s.main()).ckFotosCheck->setChecked(true);
    MainControls(s.main()).ckFotosAutoCopy->setChecked(true);
    s.dialogs().texts = {QString("spin")};
}

// The place of the `n`-th rotation in the command list.
int RotationIndex(SimulatedShoot& s, int n) {
    const std::vector<std::string> commands = s.program.windows->frmProcesEdit.Commands();
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if ((commands[i][0] == 'L' || commands[i][0] == 'R') && --n == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Presses Stop while the controller carries out rotation `n`; `during`
// runs first, at that moment.
void StopDuringRotation(SimulatedShoot& s, int n, std::function<void()> during = {}) {
    const int index = RotationIndex(s, n);
    bool stopped = false;
    WhenReady(
        &s.main(),
        [&] {
            return s.main().shoot().Process().CurrentIndex == index &&
                   s.main().shoot().Process().WaitingReply;
        },
        [&] {
            if (during) {
                during();
            }
            QTest::mouseClick(MainControls(s.main()).btnStop, Qt::LeftButton);
            stopped = true;
        });
    QTRY_VERIFY_WITH_TIMEOUT(stopped, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!s.main().shoot().Process().WaitingReply, 30000);
}

void Resume(SimulatedShoot& s, const QString& question) {
    QVERIFY(ResumeAction(s)->isEnabled());
    s.dialogs().answers = {Dialogs::Answer::Yes};
    ResumeAction(s)->trigger();
    QVERIFY2(s.dialogs().Messages().value(0).startsWith(question),
             qPrintable(s.dialogs().Messages().value(0)));
}

// Each photo taken where it belongs, once (a photo taken again is taken at
// the same place): at 0°, 45°, ... for eight, turning as the run turns.
void CheckPhotoPlaces(SimulatedShoot& s, int photos) {
    QStringList places;
    const QStringList commands = s.Commands();
    const QStringList angles = s.Angles();
    int sign = 0;
    for (int i = 0; i < commands.size(); ++i) {
        if (commands[i].startsWith('P') && (places.isEmpty() || places.last() != angles[i])) {
            places << angles[i];
        } else if (sign == 0 && (commands[i].startsWith('L') || commands[i].startsWith('R'))) {
            sign = commands[i].startsWith('R') ? 1 : -1;
        }
    }
    QStringList expected;
    for (int i = 0; i < photos; ++i) {
        const double angle = std::fmod(360.0 + sign * 360.0 * i / photos, 360.0);
        expected << QString::number(angle, 'f', 2);
    }
    QCOMPARE(places, expected);
}

void CheckCopies(SimulatedShoot& s, int photos) {
    QStringList expected;
    for (int i = 1; i <= photos; ++i) {
        expected << QString("%1.jpg").arg(i);
    }
    QCOMPARE(QDir(s.destDir.filePath("spin")).entryList(QDir::Files, QDir::Name), expected);
    QCOMPARE(QDir(s.cameraDir.path()).entryList({"*.JPG"}, QDir::Files).size(), photos);
    QVERIFY(!QFile::exists(JournalPath(s)));
    QVERIFY(!ResumeAction(s)->isEnabled());
}

}  // namespace

class ResumeTest : public QObject {
    Q_OBJECT

private slots:
    void aStoppedRunTurnedBackResumesAfterARestart();
    void aKilledRunResumesFromTheRotationItWasIn();
};

void ResumeTest::aStoppedRunTurnedBackResumesAfterARestart() {
    // Photo 2 is lost once and taken again.
    SimulatedShoot s;
    s.StartSimulator({"--camera-dir", s.cameraDir.path().toStdString(), "--camera-miss", "2"});
    SetUp(s);
    QuickPhotos(s.main());
    MainControls(s.main()).udPeriodRotacije->setPosition(2);
    QVERIFY(!ResumeAction(s)->isEnabled());
    s.Make("8");
    s.Start();
    StopDuringRotation(s, 4);
    QVERIFY(ResumeAction(s)->isEnabled());
    QTest::mouseClick(MainControls(s.main()).btnNaPocetak, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.Angles().last() == "0.00", 30000);
    QTRY_VERIFY(!MainControls(s.main()).btnNaPocetak->isEnabled());
    const int beforeResume = s.Commands().size();

    s.program.Restart();
    SetUp(s);
    Resume(s, "Resume Interrupted Run|The last run stopped at ");
    QCOMPARE(s.dialogs().Messages().value(0).section(", ", -1),
             QString("at photo 5 of 8.\r\n\r\nDo you want to go on from photo 5 ?"));
    QVERIFY(s.WaitForMessage(
        kCompleted + "\r\nPhotos successfully copied !\r\nPhotos planned: 8, received: 8, taken "
                     "again: 1",
        120000));
    // The controller is set up again, the table turned back to photo 5's
    // place, and the run goes on from there.
    const QStringList resumed = s.Commands().mid(beforeResume);
    const QString rotation = s.Commands().at(5);
    const QString forward =
        rotation.left(1) + QString("%1.").arg(4 * rotation.mid(1, 4).toInt(), 4, 10, QChar('0'));
    QCOMPARE(resumed.mid(1, 5), (QStringList{s.Commands().at(1), s.Commands().at(2),
                                             s.Commands().at(3), forward, s.Commands().at(4)}));
    CheckPhotoPlaces(s, 8);
    CheckCopies(s, 8);
}

void ResumeTest::aKilledRunResumesFromTheRotationItWasIn() {
    SimulatedShoot s;
    s.StartSimulator({"--camera-dir", s.cameraDir.path().toStdString()});
    SetUp(s);
    // A damaged journal is set aside with a message.
    {
        QFile damaged(JournalPath(s));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("Zentrivo run journal 1\nphotos_done=3\n");
    }
    s.program.Restart();
    SetUp(s);
    QVERIFY(ResumeAction(s)->isEnabled());
    ResumeAction(s)->trigger();
    QCOMPARE(s.dialogs().Messages(),
             QStringList{"Error|The journal of the interrupted run is damaged and can not be "
                         "used. It has been set aside."});
    QVERIFY(!ResumeAction(s)->isEnabled());
    s.dialogs().Clear();

    QuickPhotos(s.main());
    MainControls(s.main()).udPeriodRotacije->setPosition(2);
    s.Make("8");
    s.Start();
    // The program dies while the table turns from photo 5 to photo 6: the
    // journal is what was on the disk at that moment.
    QByteArray journalAtDeath;
    StopDuringRotation(s, 5, [&] { journalAtDeath = JournalOnDisk(s); });
    const int beforeResume = s.Commands().size();
    s.program.Restart();
    {
        QFile f(JournalPath(s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(journalAtDeath);
    }
    SetUp(s);
    Resume(s, "Resume Interrupted Run|The last run stopped at ");
    QVERIFY(s.dialogs().Messages().value(0).contains("at photo 6 of 8."));
    QVERIFY(s.WaitForMessage(
        kCompleted + "\r\nPhotos successfully copied !\r\nPhotos planned: 8, received: 8, taken "
                     "again: 0",
        120000));
    // No turn: the controller finished the rotation it had been given.
    QCOMPARE(s.Commands().at(beforeResume + 4).left(1), QString("P"));
    CheckPhotoPlaces(s, 8);
    CheckCopies(s, 8);
}

ZENTRIVO_TEST_MAIN(ResumeTest)
#include "resume_test.moc"
