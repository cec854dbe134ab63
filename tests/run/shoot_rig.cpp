#include "shoot_rig.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include "core/process/process.h"

bool RecordingObserver::AskYesNo(const QString& title, const QString& text) {
    questions << title + "|" + text;
    if (answers.empty()) {
        return false;
    }
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
}

ShootRig::ShootRig(const std::vector<std::string>& simOptions)
    : shoot(options, settings.path().toStdString(), observer) {
    // The run logs go beside the settings, not into the user's own.
    qputenv("XDG_STATE_HOME", settings.filePath("state").toUtf8());
    options.FotosDir = camera.path().toStdString();
    options.FotosCopyDir = copies.path().toStdString();
    StartSimulator(simOptions);
}

void ShootRig::StartSimulator(const std::vector<std::string>& simOptions) {
    const QString log = settings.filePath(QString("sim-%1.log").arg(logs_.size()));
    logs_ << log;
    std::vector<std::string> all{"--log", log.toStdString(), "--camera-dir",
                                 camera.path().toStdString()};
    all.insert(all.end(), simOptions.begin(), simOptions.end());
    sim_.reset();
    sim_ = std::make_unique<SimulatedTurntable>(all);
    options.ComDevice = sim_->DevicePath();
}

void MakeQuickProcess(const zentrivo::TOpcije& options, int photos, Shoot& shoot) {
    zentrivo::ShootParameters p;
    p.photosText = std::to_string(photos);
    p.focusText = "0";
    p.delayText = "0";
    const auto made = zentrivo::GenerateProcess(
        p, zentrivo::MaxPhotos(options.BrojKoraka, options.OdnosPrenosa, false));
    shoot.Commands().SetCommands(made.commands);
    shoot.ProcessMade(made.StepsPerPhoto, made.DirectionLetter, made.PeriodMs);
}

void ShootRig::Make(int photos) {
    MakeQuickProcess(options, photos, shoot);
}

// The simulator's log lines of commands: "yyyy-MM-dd HH:mm:ss.zzz" (or
// more digits), a tab, the command, ...
QList<QList<QByteArray>> ShootRig::CommandLines() const {
    QList<QList<QByteArray>> lines;
    for (const QString& path : logs_) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (const QByteArray& line : f.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() > 1 && fields[1] != "HANGUP") {
                lines << fields;
            }
        }
    }
    return lines;
}

QStringList ShootRig::Received() const {
    QStringList received;
    for (const QList<QByteArray>& fields : CommandLines()) {
        received << QString::fromLatin1(fields[1]);
    }
    return received;
}

QList<double> ShootRig::ReceivedAtMs() const {
    QList<double> times;
    for (const QList<QByteArray>& fields : CommandLines()) {
        const QList<QByteArray> clock = fields[0].split(' ').value(1).split(':');
        times << ((clock.value(0).toDouble() * 60 + clock.value(1).toDouble()) * 60 +
                  clock.value(2).toDouble()) *
                     1000;
    }
    return times;
}

bool ShootRig::WaitForMessage(const QString& start, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        for (const QString& message : observer.messages) {
            if (message.startsWith(start)) {
                return true;
            }
        }
        if (clock.elapsed() > timeoutMs) {
            qWarning() << "messages so far:" << observer.messages;
            return false;
        }
        QTest::qWait(10);
    }
}

QStringList ShootRig::CopiedPhotos() const {
    QStringList copied;
    const QDir root(copies.path());
    for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QString& name : QDir(root.filePath(folder)).entryList(QDir::Files, QDir::Name)) {
            copied << folder + "/" + name;
        }
    }
    return copied;
}

QStringList ShootRig::CopiedStamps() const {
    QStringList stamps;
    for (const QString& copy : CopiedPhotos()) {
        QFile f(QDir(copies.path()).filePath(copy));
        const QRegularExpressionMatch m =
            QRegularExpression("zentrivo-sim (shot=\\d+ place=[0-9.]+)")
                .match(f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString());
        stamps << copy.section('/', 1) + " " + (m.hasMatch() ? m.captured(1) : "unstamped");
    }
    return stamps;
}

QStringList ShootRig::RunLogLines() const {
    QStringList lines;
    const QDir logs(settings.filePath("state/zentrivo/logs"));
    for (const QString& name : logs.entryList({"run_*.log"}, QDir::Files, QDir::Name)) {
        QFile f(logs.filePath(name));
        if (f.open(QIODevice::ReadOnly)) {
            lines << QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
        }
    }
    return lines;
}
