#include "shoot.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <cstdlib>

#include "ui_main_window.h"
#include "up_down.h"

Shoot::Shoot(const std::vector<std::string>& simOptions) {
    main().Options.FotosDir = cameraDir.path().toStdString();
    main().Options.FotosCopyDir = destDir.path().toStdString();
    main().ui->ckAutoStart->setChecked(false);
    StartSimulator(simOptions);
}

Shoot::~Shoot() {
    unsetenv("ZENTRIVO_COM3");
}

void Shoot::StartSimulator(const std::vector<std::string>& simOptions) {
    logPath = program.dir.filePath(QString("sim-%1.log").arg(QDateTime::currentMSecsSinceEpoch()));
    std::vector<std::string> options{"--log", logPath.toStdString()};
    options.insert(options.end(), simOptions.begin(), simOptions.end());
    sim.reset();
    sim = std::make_unique<SimulatedTurntable>(options);
    setenv("ZENTRIVO_COM3", sim->DevicePath().c_str(), 1);
}

QList<QStringList> Shoot::LogLines() const {
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

QStringList Shoot::Commands() const {
    QStringList commands;
    for (const QStringList& fields : LogLines()) {
        commands << fields.value(1);
    }
    return commands;
}

QStringList Shoot::Angles() const {
    QStringList angles;
    for (const QStringList& fields : LogLines()) {
        angles << fields.value(3);
    }
    return angles;
}

QStringList Shoot::SentEarly() const {
    QStringList early;
    for (const QStringList& fields : LogLines()) {
        if (fields.value(4) == "early") {
            early << fields.value(1);
        }
    }
    return early;
}

QList<QDateTime> Shoot::Times() const {
    QList<QDateTime> times;
    for (const QStringList& fields : LogLines()) {
        times << QDateTime::fromString(fields.value(0), "yyyy-MM-dd HH:mm:ss.zzz");
    }
    return times;
}

void Shoot::Make(const QString& photos) {
    main().ui->txtBrojSlika->setText(photos);
    QTest::mouseClick(main().ui->btnKreirajProces, Qt::LeftButton);
}

void Shoot::Start() {
    QTest::mouseClick(main().ui->btnStart, Qt::LeftButton);
}

void QuickPhotos(TfrmMain& main) {
    main.ui->udFocusTrajanje->setPosition(0);
    main.ui->udMedjuPauza->setPosition(0);
}

std::function<bool()> InFirstRotationsWait(Shoot& s) {
    return [&s] { return s.main().Process.WaitingReply && s.Commands().size() == 6; };
}

void ClickInFirstRotationsWait(Shoot& s, QAbstractButton* button, bool* clicked) {
    WhenReady(&s.main(), InFirstRotationsWait(s), [button, clicked] {
        QTest::mouseClick(button, Qt::LeftButton);
        *clicked = true;
    });
}

void WhenReady(QObject* owner, std::function<bool()> ready, std::function<void()> action) {
    auto* timer = new QTimer(owner);
    timer->setInterval(2);
    QObject::connect(timer, &QTimer::timeout, [timer, ready, action] {
        if (ready()) {
            timer->stop();
            action();
        }
    });
    timer->start();
}

bool Shoot::WaitForMessage(const QString& titleAndText, int timeoutMs) {
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
