// The runner's pace against the simulated turntable with instant replies,
// at the usual pace and at the fast pace ("Fast pace" on the Parameters
// dialog's device tab), measured on the wire: the simulator logs, to the
// microsecond, when each command arrived, and answers it at once.
//
//   runner_pace [PHOTOS...]     the default shoot of each number of photos
//                               (24 and 72 unless given), at both paces
//
// For each run it prints the gaps from one command's arrival (its reply
// leaves within microseconds) to the next command's, median and worst, the
// protocol time from the connection test to the last command, and that time
// per photo; then the same gaps by the letter of the command answered, to
// show where the time goes, beside the floor of each pace (the usual pace's
// 50 ms timer and 10 ms pause before its first read; nothing at the fast). Goals: about 184 ms a
// photo at the usual pace (50 ms timer and 10 ms poll per command); at the fast pace a median gap
// under 1 ms and under 5 ms a photo. Shown on the display Qt finds (bench/runner_pace.sh runs it
// under Xvfb), offscreen when there is none.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

#include "answering_dialogs.h"
#include "main_controls.h"
#include "simulated_turntable.h"
#include "ui/zentrivo_windows.h"

namespace {

struct Figures {
    int commands = 0;
    double medianGapMs = 0;
    double worstGapMs = 0;
    double protocolMs = 0;
    // By the letter of the command answered: its gaps, sorted.
    std::map<char, std::vector<double>> byLetter;
};

struct Arrival {
    double ms;
    char letter;
};

// When each logged command arrived, in ms from the first day's midnight
// (the first field is "yyyy-MM-dd HH:mm:ss.uuuuuu"), and its letter.
std::vector<Arrival> ArrivalTimes(const QString& logPath) {
    std::vector<Arrival> times;
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly)) {
        return times;
    }
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QList<QByteArray> clock = line.split('\t').value(0).split(' ').value(1).split(':');
        if (clock.size() != 3) {
            continue;
        }
        double ms =
            ((clock[0].toDouble() * 60 + clock[1].toDouble()) * 60 + clock[2].toDouble()) * 1000;
        if (!times.empty() && ms < times.back().ms) {
            ms += 24 * 3600 * 1000.0;  // past midnight
        }
        const QByteArray command = line.split('\t').value(1);
        times.push_back({ms, command.isEmpty() ? '?' : command[0]});
    }
    return times;
}

std::optional<Figures> PlayShoot(int photos, bool fast) {
    QTemporaryDir dir;
    const QString logPath = dir.filePath("turntable.log");
    SimulatedTurntable sim(
        {"--time-scale", "0", "--log", logPath.toStdString(), "--log-microseconds"});
    setenv("ZENTRIVO_COM3", sim.DevicePath().c_str(), 1);
    // Chosen as a user does: the setting in the settings file.
    QFile ini(dir.filePath("opcije.ini"));
    if (!ini.open(QIODevice::WriteOnly) ||
        ini.write(fast ? "[Parametri]\r\nfast_pace=1\r\n" : "[Parametri]\r\n") < 0) {
        return std::nullopt;
    }
    ini.close();
    QDir(dir.path()).mkdir("camera");

    auto dialogs = std::make_unique<AnsweringDialogs>();
    AnsweringDialogs* answers = dialogs.get();
    ZentrivoWindows windows(dir.path(), std::move(dialogs));
    TfrmMain& w = windows.frmMain;
    w.Options.FotosDir = dir.filePath("camera").toStdString();
    w.show();
    MainControls(w).ckAutoStart->setChecked(false);
    MainControls(w).txtBrojSlika->setText(QString::number(photos));
    w.btnKreirajProcesClick();
    w.btnStartClick();
    if (!AwaitCompletion(*answers)) {
        return std::nullopt;
    }

    const std::vector<Arrival> times = ArrivalTimes(logPath);
    if (times.size() != static_cast<std::size_t>(windows.frmProcesEdit.CommandCount()) + 1) {
        std::fprintf(stderr, "the log holds %zu commands, the process %d and the test\n",
                     times.size(), windows.frmProcesEdit.CommandCount());
        return std::nullopt;
    }
    Figures f;
    std::vector<double> gaps;
    for (std::size_t i = 1; i < times.size(); ++i) {
        gaps.push_back(times[i].ms - times[i - 1].ms);
        f.byLetter[times[i - 1].letter].push_back(gaps.back());
    }
    std::sort(gaps.begin(), gaps.end());
    for (auto& [letter, letterGaps] : f.byLetter) {
        std::sort(letterGaps.begin(), letterGaps.end());
    }
    f.commands = static_cast<int>(times.size());
    f.medianGapMs = gaps[gaps.size() / 2];
    f.worstGapMs = gaps.back();
    f.protocolMs = times.back().ms - times.front().ms;
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    OffscreenWithoutDisplay();
    QApplication app(argc, argv);
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) {
        counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty()) {
        counts = {24, 72};
    }

    std::printf("window system: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("%6s  %-5s  %8s  %11s  %10s  %12s  %9s\n", "photos", "pace", "commands",
                "median gap", "worst gap", "protocol", "a photo");
    for (const int photos : counts) {
        for (const bool fast : {false, true}) {
            const auto f = PlayShoot(photos, fast);
            if (!f) {
                return 1;
            }
            std::printf("%6d  %-5s  %8d  %8.2f ms  %7.2f ms  %9.1f ms  %6.2f ms   (floor %d ms)\n",
                        photos, fast ? "fast" : "usual", f->commands, f->medianGapMs, f->worstGapMs,
                        f->protocolMs, f->protocolMs / photos, fast ? 0 : 60);
            for (const auto& [letter, gaps] : f->byLetter) {
                std::printf("%15s after %c: %4zu gaps, median %7.2f ms, worst %7.2f ms\n", "",
                            letter, gaps.size(), gaps[gaps.size() / 2], gaps.back());
            }
            std::fflush(stdout);
        }
    }
    return 0;
}
