// A run whose program dies the instant a rotation goes out: the board still
// makes the move, and a resume from what the disk held at that instant must
// take every angle once, in its place, and leave the table where a run
// without the crash leaves it. The program is a child process of this test,
// killed by the simulated board itself the moment the command arrives.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <cstdio>
#include <memory>

#include "shoot_rig.h"

namespace {

constexpr int kPhotos = 6;
const QString kCompleted = "Information|Process successfully completed !";

// The child: a run (or, with "resume", the resume of the interrupted one) in
// the given folders against the given port, which writes its process id
// beside the settings first and ends when the run completes, printing what
// the user was told.
int RunChild(const QStringList& args) {
    const QString settings = args.value(0);
    qputenv("XDG_STATE_HOME", QDir(settings).filePath("state").toUtf8());
    zentrivo::TOpcije options;
    options.FotosDir = args.value(1).toStdString();
    options.FotosCopyDir = args.value(2).toStdString();
    options.ComDevice = args.value(3).toStdString();
    options.FotosCheck = args.value(4) == "check";
    options.FotosAutoCopy = true;
    RecordingObserver observer;
    Shoot shoot(options, settings.toStdString(), observer);
    {
        QFile pid(QDir(settings).filePath("program.pid"));
        if (!pid.open(QIODevice::WriteOnly)) {
            return 3;
        }
        pid.write(QByteArray::number(QCoreApplication::applicationPid()));
    }
    if (args.value(5) == "resume") {
        observer.answers = {true};
        shoot.ResumeInterrupted();
        if (observer.questions.isEmpty()) {
            std::printf("no run to resume\n");
            return 4;
        }
    } else {
        MakeQuickProcess(options, kPhotos, shoot);
        shoot.Start();
    }
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (const QString& message : observer.messages) {
            if (message.startsWith(kCompleted) || message.startsWith("Error")) {
                std::printf("%s\n", qPrintable(observer.messages.join("\n")));
                QCoreApplication::exit(message.startsWith("Error") ? 2 : 0);
            }
        }
    });
    watch.start(20);
    return QCoreApplication::exec();
}

// A shoot of six photos in folders of its own, against a board that kills
// the program at the rotations given (counted over every program that
// drives it).
struct CrashRig {
    explicit CrashRig(const QString& kills) {
        logPath = settings.filePath("sim.log");
        sim = std::make_unique<SimulatedTurntable>(std::vector<std::string>{
            "--log", logPath.toStdString(), "--camera-dir", camera.path().toStdString(),
            "--time-scale", "0.05", "--camera-delay", "50", "--camera-slow-write", "20",
            "--kill-at-rotation", kills.toStdString(), "--kill-pid-file",
            settings.filePath("program.pid").toStdString()});
    }

    // Runs the program until it completes or is killed; true when it was
    // killed. `output` gets what it printed.
    bool Run(bool check, bool resume, QString* output = nullptr) {
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QCoreApplication::applicationFilePath(),
                      {"--child", settings.path(), camera.path(), copies.path(),
                       QString::fromStdString(sim->DevicePath()), check ? "check" : "no-check",
                       resume ? "resume" : "new"});
        if (!program.waitForFinished(120000)) {
            program.kill();
            program.waitForFinished();
        }
        if (output) {
            *output = QString::fromUtf8(program.readAllStandardOutput()).trimmed();
        }
        return program.exitStatus() == QProcess::CrashExit;
    }

    // The simulator's log: command and the table's place after it.
    QList<QStringList> Log() const {
        QList<QStringList> lines;
        QFile f(logPath);
        if (f.open(QIODevice::ReadOnly)) {
            for (const QString& line : QString::fromLatin1(f.readAll()).split('\n')) {
                const QStringList fields = line.split('\t');
                if (fields.size() >= 4 && fields[1] != "HANGUP") {
                    lines << QStringList{fields[1], fields[3]};
                }
            }
        }
        return lines;
    }
    int Rotations() const {
        int n = 0;
        for (const QStringList& line : Log()) {
            n += line[0].startsWith('L') || line[0].startsWith('R') ? 1 : 0;
        }
        return n;
    }

    QTemporaryDir settings;
    QTemporaryDir camera;
    QTemporaryDir copies;
    QString logPath;
    std::unique_ptr<SimulatedTurntable> sim;
};

// Where the table stood for a photo, as the simulated camera stamps it.
QString PlaceOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return "unreadable";
    }
    const QRegularExpressionMatch m = QRegularExpression("zentrivo-sim shot=\\d+ place=([0-9.]+)")
                                          .match(QString::fromLatin1(f.readAll()));
    return m.hasMatch() ? m.captured(1) : "no stamp";
}

}  // namespace

class CrashResumeTest : public QObject {
    Q_OBJECT

private slots:
    void aProgramKilledAsARotationGoesOutResumesWithEveryAngleInItsPlace_data();
    void aProgramKilledAsARotationGoesOutResumesWithEveryAngleInItsPlace();
};

void CrashResumeTest::aProgramKilledAsARotationGoesOutResumesWithEveryAngleInItsPlace_data() {
    QTest::addColumn<QString>("kills");
    QTest::addColumn<bool>("check");
    for (int k = 1; k <= kPhotos; ++k) {
        QTest::addRow("rotation %d", k) << QString::number(k) << (k % 2 == 0);
    }
    // Killed again in the run resumed after the first crash.
    QTest::addRow("rotations 2 and 4") << QString("2,4") << false;
    QTest::addRow("rotations 3 and 5, checked") << QString("3,5") << true;
}

void CrashResumeTest::aProgramKilledAsARotationGoesOutResumesWithEveryAngleInItsPlace() {
    QFETCH(QString, kills);
    QFETCH(bool, check);
    CrashRig rig(kills);
    bool resume = false;
    // Started again at once, while the board still finishes the move it
    // was given.
    for (int crash = 0; crash < kills.count(',') + 1; ++crash) {
        QVERIFY2(rig.Run(check, resume), "the program was not killed");
        resume = true;
    }
    QString told;
    QVERIFY2(!rig.Run(check, true, &told), "the resumed run was killed");
    QVERIFY2(told.startsWith(kCompleted + "\r\nPhotos successfully copied !"), qPrintable(told));

    // Every angle once, each numbered copy at its own.
    const QList<QStringList> log = rig.Log();
    int sign = 0;
    for (const QStringList& line : log) {
        if (sign == 0 && (line[0].startsWith('L') || line[0].startsWith('R'))) {
            sign = line[0].startsWith('R') ? 1 : -1;
        }
    }
    const QDir copies(rig.copies.path());
    const QStringList folders = copies.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(folders.size(), 1);
    const QDir copied(copies.filePath(folders[0]));
    QStringList places;
    QStringList expected;
    QStringList names;
    for (int i = 1; i <= kPhotos; ++i) {
        names << QString("%1.jpg").arg(i);
        places << PlaceOf(copied.filePath(names.last()));
        expected << QString::number(std::fmod(360.0 + sign * 360.0 * (i - 1) / kPhotos, 360.0), 'f',
                                    2);
    }
    QCOMPARE(copied.entryList(QDir::Files, QDir::Name), names);
    QCOMPARE(places, expected);
    // No photo taken twice, and the table where a whole run leaves it: six
    // rotations, back at its first place.
    QCOMPARE(QDir(rig.camera.path()).entryList({"*.JPG"}, QDir::Files).size(), kPhotos);
    QCOMPARE(rig.Rotations(), kPhotos);
    QCOMPARE(log.last().value(1), QString("0.00"));
    QVERIFY(!QFile::exists(rig.settings.filePath("zentrivo_run.journal")));
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == "--child") {
        return RunChild(args.mid(2));
    }
    CrashResumeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "crash_resume_test.moc"
