// What "Check that each photo arrives" costs: the same shoot played in the
// program's window twice against the simulator at its own speed, with its
// camera storing a JPEG for each photo command in the camera folder, once
// with the check off and once on. Prints the time from Start to the end of
// the run (its completion message) for each and the ratio; the goal is a run
// with the check on within 1.15 times the run with it off.
//
//   photo_check_cost [PHOTOS]    the default shoot of PHOTOS (30) photos

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "answering_dialogs.h"
#include "main_controls.h"
#include "simulated_turntable.h"
#include "ui/zentrivo_windows.h"

namespace {

// Milliseconds from Start to the completion message.
std::optional<double> PlayShoot(int photos, bool check) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("camera");
    const QString camera = dir.filePath("camera");
    SimulatedTurntable sim({"--camera-dir", camera.toStdString()});
    setenv("ZENTRIVO_COM3", sim.DevicePath().c_str(), 1);

    auto dialogs = std::make_unique<AnsweringDialogs>();
    AnsweringDialogs* answers = dialogs.get();
    ZentrivoWindows windows(dir.path(), std::move(dialogs));
    TfrmMain& w = windows.frmMain;
    w.Options.FotosDir = camera.toStdString();
    w.show();
    MainControls(w).ckAutoStart->setChecked(false);
    MainControls(w).ckFotosCheck->setChecked(check);
    MainControls(w).txtBrojSlika->setText(QString::number(photos));
    w.btnKreirajProcesClick();
    QElapsedTimer clock;
    clock.start();
    w.btnStartClick();
    if (!AwaitCompletion(*answers)) {
        return std::nullopt;
    }
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    std::printf("check %-3s  %8.0f ms  %6.0f ms a photo   %s\n", check ? "on" : "off", ms,
                ms / photos, qPrintable(QString(answers->last).replace("\r\n", " / ")));
    std::fflush(stdout);
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    OffscreenWithoutDisplay();
    QApplication app(argc, argv);
    const int photos = argc > 1 ? std::atoi(argv[1]) : 30;
    const auto off = PlayShoot(photos, false);
    const auto on = PlayShoot(photos, true);
    if (!off || !on) {
        return 1;
    }
    std::printf("on / off: %.2f (goal: at most 1.15)\n", *on / *off);
    return 0;
}
