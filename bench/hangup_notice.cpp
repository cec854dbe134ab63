// How long after the turntable's board goes away the program tells the
// user: from the moment the simulator hangs up its line (the HANGUP line of
// its log) until the message box saying the device was disconnected, with
// the program's own 10 ms polls and port watch. Three moments of a run:
// during a rotation's wait, during a pause, and during the return to the
// start. Each is played RUNS times (default 10); prints the median and the
// worst.
//
//   hangup_notice [RUNS]

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "main_controls.h"
#include "scripted_dialogs.h"
#include "simulated_turntable.h"
#include "ui/up_down.h"
#include "ui/zentrivo_windows.h"

namespace {

const QString kLost = "Device was disconnected. Terminating process.";

// Remembers when the first disconnection message came.
class TimedDialogs : public ScriptedDialogs {
public:
    qint64 lostAt = 0;
    Answer Message(QWidget* owner, const QString& title, const QString& text, Icon icon,
                   Buttons buttons) override {
        if (lostAt == 0 && text.startsWith(kLost)) {
            lostAt = QDateTime::currentMSecsSinceEpoch();
        }
        return ScriptedDialogs::Message(owner, title, text, icon, buttons);
    }
};

// The time of the simulator's hang-up, from the last line of its log.
qint64 HangUpTime(const QString& logPath) {
    QFile f(logPath);
    if (!f.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() > 1 && fields[1] == "HANGUP") {
            return QDateTime::fromString(QString::fromLatin1(fields[0]), "yyyy-MM-dd HH:mm:ss.zzz")
                .toMSecsSinceEpoch();
        }
    }
    return 0;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 30000) {
    const qint64 giveUp = QDateTime::currentMSecsSinceEpoch() + timeoutMs;
    while (!done()) {
        if (QDateTime::currentMSecsSinceEpoch() > giveUp) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

enum class Moment { Rotation, Pause, Return };

// One run of two photos; the board goes away at the given moment. Returns
// the milliseconds from the hang-up to the message, or -1.
qint64 PlayOnce(Moment moment) {
    QTemporaryDir dir;
    const QString log = dir.filePath("sim.log");
    // Commands: X T D F P W L P W L, then the return's R.
    const char* when = moment == Moment::Rotation ? "--hangup-at"
                       : moment == Moment::Pause  ? "--hangup-after"
                                                  : "--hangup-at";
    const char* number = moment == Moment::Return ? "11" : "7";
    SimulatedTurntable sim({"--time-scale", "0.25", "--log", log.toStdString(), when, number});
    setenv("ZENTRIVO_COM3", sim.DevicePath().c_str(), 1);
    auto owned = std::make_unique<TimedDialogs>();
    TimedDialogs* dialogs = owned.get();
    ZentrivoWindows windows(dir.path(), std::move(owned));
    TfrmMain& w = windows.frmMain;
    MainControls(w).ckAutoStart->setChecked(false);
    MainControls(w).ckAutoPauza->setChecked(moment == Moment::Pause);
    MainControls(w).udFocusTrajanje->setPosition(0);
    MainControls(w).txtBrojSlika->setText("2");
    w.btnKreirajProcesClick();
    w.btnStartClick();
    if (moment == Moment::Return) {
        if (!WaitFor([&] { return MainControls(w).btnNaPocetak->isEnabled(); })) {
            return -1;
        }
        MainControls(w).btnNaPocetak->click();
    }
    if (!WaitFor([&] { return dialogs->lostAt != 0; })) {
        return -1;
    }
    const qint64 hungUp = HangUpTime(log);
    return hungUp == 0 ? -1 : dialogs->lostAt - hungUp;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const struct {
        Moment moment;
        const char* name;
    } moments[] = {{Moment::Rotation, "during a rotation's wait"},
                   {Moment::Pause, "during a pause"},
                   {Moment::Return, "during the return"}};
    int failed = 0;
    for (const auto& m : moments) {
        std::vector<qint64> delays;
        for (int i = 0; i < runs; ++i) {
            const qint64 delay = PlayOnce(m.moment);
            if (delay < 0) {
                ++failed;
            } else {
                delays.push_back(delay);
            }
        }
        if (delays.empty()) {
            std::printf("%-26s no run ended with the message\n", m.name);
            continue;
        }
        std::sort(delays.begin(), delays.end());
        std::printf(
            "%-26s hang-up -> message: median %lld ms, worst %lld ms, best %lld ms (%zu runs)\n",
            m.name, static_cast<long long>(delays[delays.size() / 2]),
            static_cast<long long>(delays.back()), static_cast<long long>(delays.front()),
            delays.size());
    }
    return failed == 0 ? 0 : 1;
}
