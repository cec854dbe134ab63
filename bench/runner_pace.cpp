// The runner's pace against the simulated turntable with instant replies:
// how long from the moment a reply has been read until the next command is
// written. The 50 ms timer interval is the floor.
//
// Each exchange writes its command and then sleeps before its first read;
// with instant replies the first read finds the reply. So the end of that
// sleep is when the reply is read, and the start of the next exchange's
// first sleep is when the next command has just been written.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "simulated_turntable.h"
#include "ui_main_window.h"
#include "zentrivo_windows.h"

namespace {

using Clock = std::chrono::steady_clock;

// Answers every box with OK and remembers the last text.
class AnsweringDialogs : public Dialogs {
public:
    QString last;
    Answer Message(QWidget*, const QString&, const QString& text, Icon, Buttons) override {
        last = text;
        return Answer::Ok;
    }
    std::optional<QString> InputText(QWidget*, const QString&, const QString&, const QString&,
                                     int) override {
        return std::nullopt;
    }
    std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> OpenFileName(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> SaveFileName(QWidget*, const QString&, const QString&,
                                        const QString&) override {
        return std::nullopt;
    }
    void ShellOpen(const QString&) override {}
};

double Millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int photos = argc > 1 ? std::atoi(argv[1]) : 75;

    SimulatedTurntable sim({"--time-scale", "0"});
    setenv("ZENTRIVO_COM3", sim.DevicePath().c_str(), 1);
    QTemporaryDir dir;
    auto dialogs = std::make_unique<AnsweringDialogs>();
    AnsweringDialogs* answers = dialogs.get();
    ZentrivoWindows windows(dir.path(), std::move(dialogs));
    TfrmMain& w = windows.frmMain;

    struct Poll {
        Clock::time_point slept;  // just after the command was written
        Clock::time_point woke;   // just before the read
    };
    std::vector<Poll> polls;
    w.SetPollSleep([&polls] {
        Poll p;
        p.slept = Clock::now();
        QThread::msleep(10);
        p.woke = Clock::now();
        polls.push_back(p);
    });

    w.ui->ckAutoStart->setChecked(false);
    w.ui->txtBrojSlika->setText(QString::number(photos));
    w.ui->udFocusTrajanje->setPosition(0);
    w.btnKreirajProcesClick();
    const int commands = windows.frmProcesEdit.CommandCount();
    w.btnStartClick();
    while (!answers->last.startsWith("Process successfully completed !")) {
        if (!answers->last.isEmpty()) {
            std::fprintf(stderr, "the run ended with: %s\n", qPrintable(answers->last));
            return 1;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    // polls[0] is the connection test; one poll per command after it.
    std::vector<double> gaps;
    for (std::size_t i = 1; i + 1 < polls.size(); ++i) {
        gaps.push_back(Millis(polls[i + 1].slept - polls[i].woke));
    }
    if (polls.size() != static_cast<std::size_t>(commands) + 1 || gaps.empty()) {
        std::fprintf(stderr, "expected one poll per command, got %zu polls for %d commands\n",
                     polls.size(), commands);
        return 1;
    }
    std::sort(gaps.begin(), gaps.end());
    const double median = gaps[gaps.size() / 2];
    const double worst = gaps.back();
    std::printf("commands played: %d\n", commands);
    std::printf("reply read -> next command written: median %.2f ms, worst %.2f ms, best %.2f ms\n",
                median, worst, gaps.front());
    std::printf("floor 50 ms: median +%.2f ms (goal 5), worst +%.2f ms (goal 15)\n", median - 50,
                worst - 50);
    return 0;
}
