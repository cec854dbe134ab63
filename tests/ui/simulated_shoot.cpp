#include "simulated_shoot.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <cstdlib>

#include "main_controls.h"
#include "ui/up_down.h"

SimulatedShoot::SimulatedShoot(const std::vector<std::string>& simOptions) {
    main().Options.FotosDir = cameraDir.path().toStdString();
    main().Options.FotosCopyDir = destDir.path().toStdString();
    MainControls(main()).ckAutoStart->setChecked(false);
    StartSimulator(simOptions);
}

SimulatedShoot::~SimulatedShoot() {
    unsetenv("ZENTRIVO_COM3");
}

void SimulatedShoot::StartSimulator(const std::vector<std::string>& simOptions) {
    logPath = program.dir.filePath(QString("sim-%1.log").arg(QDateTime::currentMSecsSinceEpoch()));
    std::vector<std::string> options{"--log", logPath.toStdString()};
    options.insert(options.end(), simOptions.begin(), simOptions.end());
    sim.reset();
    sim = std::make_unique<SimulatedTurntable>(options);
    setenv("ZENTRIVO_COM3", sim->DevicePath().c_str(), 1);
}

QList<QStringList> SimulatedShoot::LogLines() const {
    QList<QStringList> lines;
    QFile f(logPath);
    if (!f.open(QIODevice::ReadOnly)) {
        return lines;
    }
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (!line.isEmpty()) {
            lines << QString::fromLatin1(line).split('\t');
        }
    }
    return lines;
}

QStringList SimulatedShoot::Commands() const {
    QStringList commands;
    for (const QStringList& fields : LogLines()) {
        commands << fields.value(1);
    }
    return commands;
}

QStringList SimulatedShoot::Angles() const {
    QStringList angles;
    for (const QStringList& fields : LogLines()) {
        angles << fields.value(3);
    }
    return angles;
}

QStringList SimulatedShoot::SentEarly() const {
    QStringList early;
    for (const QStringList& fields : LogLines()) {
        if (fields.value(4) == "early") {
            early << fields.value(1);
        }
    }
    return early;
}

QList<QDateTime> SimulatedShoot::Times() const {
    QList<QDateTime> times;
    for (const QStringList& fields : LogLines()) {
        times << QDateTime::fromString(fields.value(0), "yyyy-MM-dd HH:mm:ss.zzz");
    }
    return times;
}

void SimulatedShoot::Make(const QString& photos) {
    MainControls(main()).txtBrojSlika->setText(photos);
    QTest::mouseClick(MainControls(main()).btnKreirajProces, Qt::LeftButton);
}

void SimulatedShoot::Start() {
    QTest::mouseClick(MainControls(main()).btnStart, Qt::LeftButton);
}

void QuickPhotos(TfrmMain& main) {
    MainControls(main).udFocusTrajanje->setPosition(0);
    MainControls(main).udMedjuPauza->setPosition(0);
}

std::function<bool()> InFirstRotationsWait(SimulatedShoot& s) {
    // The run awaits the rotation's reply and the simulator has logged the
    // rotation, which it does just before it answers: the moment between
    // that line and the end of the wait.
    return [&s] {
        return s.main().shoot().Process().WaitingReply &&
               s.main().shoot().Process().CurrentIndex == 4 && s.Commands().size() == 6;
    };
}

void ClickInFirstRotationsWait(SimulatedShoot& s, QAbstractButton* button, bool* clicked) {
    WhenReady(&s.main(), InFirstRotationsWait(s), [button, clicked] {
        QTest::mouseClick(button, Qt::LeftButton);
        *clicked = true;
    });
}

void WhenReady(QObject* owner, std::function<bool()> ready, std::function<void()> action) {
    auto* timer = new QTimer(owner);
    // Looked at in every pass of the event loop: the moment may last no
    // longer than one pass (a reply that is whole at once ends its wait in
    // the same pass).
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer, ready, action] {
        if (ready()) {
            timer->stop();
            action();
        }
    });
    timer->start();
}

bool SimulatedShoot::WaitForMessage(const QString& titleAndText, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!dialogs().Messages().contains(titleAndText)) {
        if (clock.elapsed() > timeoutMs) {
            qWarning() << "messages so far:" << dialogs().Messages();
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

QString CameraWaitText(SimulatedShoot& s) {
    const auto* wait = s.main().findChild<QDialog*>("CameraWait");
    return wait != nullptr && wait->isVisible() ? wait->findChild<QLabel*>("lblCameraWait")->text()
                                                : QString();
}

QPushButton* CopyNow(SimulatedShoot& s) {
    return s.main().findChild<QDialog*>("CameraWait")->findChild<QPushButton*>("btnCopyNow");
}
