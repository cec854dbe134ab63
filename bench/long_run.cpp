// A long run of the whole program against the simulated turntable: a
// process of 2,400 photos in half steps, the simulator's camera writing a
// real JPEG for every shot, the photos copied into a sub-folder named by
// date and time when the process completes. It checks that the program's
// memory and open descriptors stay level over the run and that every photo
// arrives, numbered, where it should.
//
//   long_run [--photos N] [--slack-mb X] [--keep] [FOLDER]
//
// The run's folders are made in a new folder inside FOLDER (default: the
// current one), removed afterwards unless --keep or a check fails.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "main_controls.h"
#include "scripted_dialogs.h"
#include "self_footprint.h"
#include "simulated_turntable.h"
#include "ui/zentrivo_windows.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kHalfStepping = "Half-stepping (double resolution)";
constexpr const char* kCompleted =
    "Process successfully completed !\r\nPhotos successfully copied !";
constexpr int kMarkPhotos = 100;
constexpr int kReportEvery = 400;
constexpr auto kStallLimit = std::chrono::seconds(60);

struct RunOptions {
    int photos = 2400;
    double slackMb = 4.0;
    bool keep = false;
    std::string base = ".";
};

// The texts of the message boxes shown so far.
std::vector<QString> MessagesShown(const ScriptedDialogs& dialogs) {
    std::vector<QString> texts;
    for (const ScriptedDialogs::Shown& box : dialogs.shown) {
        if (box.kind == "message") {
            texts.push_back(box.text);
        }
    }
    return texts;
}

// Whether anything but a message box or a folder chooser was shown.
bool AskedMore(const ScriptedDialogs& dialogs) {
    for (const ScriptedDialogs::Shown& box : dialogs.shown) {
        if (box.kind != "message" && box.kind != "folder") {
            return true;
        }
    }
    return false;
}

bool ParseArguments(int argc, char** argv, RunOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--photos" && i + 1 < argc) {
            options.photos = std::atoi(argv[++i]);
        } else if (word == "--slack-mb" && i + 1 < argc) {
            options.slackMb = std::atof(argv[++i]);
        } else if (word == "--keep") {
            options.keep = true;
        } else if (!word.empty() && word[0] != '-') {
            options.base = word;
        } else {
            return false;
        }
    }
    return options.photos >= kMarkPhotos;
}

double Mb(long kb) {
    return kb / 1024.0;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void PrintFootprint(const char* when, const Footprint& f) {
    std::printf("%-26s RSS %7.1f MB  peak %7.1f MB  heap in use %7.1f MB  open fds %zu\n", when,
                Mb(f.residentKb), Mb(f.peakResidentKb), Mb(f.heapInUseKb), f.fds.size());
    std::fflush(stdout);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string CameraName(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.JPG", number);
    return name;
}

// Checks that `destination` holds one new sub-folder with exactly 1.jpg ...
// N.jpg, each a JPEG and each the same bytes as the camera's photo of that
// number. Returns what is wrong, empty when all is well.
std::string CheckCopies(const fs::path& camera, const fs::path& destination, int photos,
                        int& copied) {
    copied = 0;
    std::vector<fs::path> subFolders;
    for (const auto& entry : fs::directory_iterator(destination)) {
        subFolders.push_back(entry.path());
    }
    if (subFolders.size() != 1 || !fs::is_directory(subFolders[0])) {
        return "the destination holds " + std::to_string(subFolders.size()) +
               " entries, not one new sub-folder";
    }
    const fs::path target = subFolders[0];
    std::printf("new sub-folder: %s\n", target.filename().c_str());
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(target)) {
        ++entries;
    }
    std::string problems;
    int reported = 0;
    auto note = [&](const std::string& what) {
        if (++reported <= 10) {
            problems += "\n  " + what;
        }
    };
    for (int n = 1; n <= photos; ++n) {
        const fs::path copy = target / (std::to_string(n) + ".jpg");
        if (!fs::is_regular_file(copy)) {
            note(copy.filename().string() + " is missing");
            continue;
        }
        const std::string bytes = ReadFile(copy);
        if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
            static_cast<unsigned char>(bytes[1]) != 0xD8) {
            note(copy.filename().string() + " does not start with FF D8");
            continue;
        }
        if (bytes != ReadFile(camera / CameraName(n))) {
            note(copy.filename().string() + " differs from the camera's " + CameraName(n));
            continue;
        }
        ++copied;
    }
    if (entries != static_cast<std::size_t>(photos)) {
        note("the sub-folder holds " + std::to_string(entries) + " entries");
    }
    if (reported > 10) {
        problems += "\n  and " + std::to_string(reported - 10) + " more";
    }
    return problems;
}

std::size_t CountEntries(const fs::path& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        ++n;
    }
    return n;
}

bool Verdict(bool pass, const char* goal, const std::string& detail) {
    std::printf("%s %s: %s\n", pass ? "PASS" : "FAIL", goal, detail.c_str());
    return pass;
}

}  // namespace

int main(int argc, char** argv) {
    RunOptions options;
    if (!ParseArguments(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--photos N (at least %d)] [--slack-mb X] [--keep] [FOLDER]\n",
                     argv[0], kMarkPhotos);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir work(QString::fromStdString(options.base) + "/long_run-XXXXXX");
    if (!work.isValid()) {
        std::fprintf(stderr, "cannot make a folder in %s\n", options.base.c_str());
        return 2;
    }
    const fs::path root = work.path().toStdString();
    const fs::path camera = root / "camera";
    const fs::path destination = root / "photos";
    const fs::path appDir = root / "app";
    for (const fs::path& folder : {camera, destination, appDir}) {
        fs::create_directory(folder);
    }
    std::printf("run folder: %s\n", root.c_str());

    SimulatedTurntable sim({"--time-scale", "0", "--camera-dir", camera.string(), "--camera-delay",
                            "20", "--camera-slow-write", "0"});
    setenv("ZENTRIVO_COM3", sim.DevicePath().c_str(), 1);
    // Every box is answered OK; the two folder choosers get the run's folders.
    auto scripted = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs& user = *scripted;
    user.texts = {QString::fromStdString(camera.string()),
                  QString::fromStdString(destination.string())};
    ZentrivoWindows windows(QString::fromStdString(appDir.string()), std::move(scripted));
    TfrmMain& w = windows.frmMain;

    // The user's way: rotation type, number of photos, the two folders
    // chosen, both boxes ticked.
    MainControls(w).ckAutoStart->setChecked(false);
    MainControls(w).cbRotiranjeTip->setCurrentIndex(1);
    w.cbRotiranjeTipChange();
    MainControls(w).txtBrojSlika->setText(QString::number(options.photos));
    w.txtBrojSlikaExit();
    w.btnFotosChooseNewDirClick();
    w.btnFotosChooseDestDirClick();
    MainControls(w).ckFotosAutoCopy->setChecked(true);
    MainControls(w).ckFotosAutoNameDir->setChecked(true);
    if (MainControls(w).cbRotiranjeTip->currentText() != kHalfStepping ||
        MainControls(w).txtBrojSlika->text() != QString::number(options.photos) ||
        w.Options.FotosDir != camera.string() || w.Options.FotosCopyDir != destination.string()) {
        std::fprintf(stderr, "the window did not take the run's settings\n");
        return 1;
    }
    w.btnKreirajProcesClick();
    if (!MessagesShown(user).empty()) {
        std::fprintf(stderr, "making the process said: %s\n",
                     qPrintable(MessagesShown(user).front()));
        return 1;
    }
    const int commands = windows.frmProcesEdit.CommandCount();
    std::printf("process: %d photos, %s, %d commands\n", options.photos, kHalfStepping, commands);
    std::fflush(stdout);

    const Clock::time_point started = Clock::now();
    w.btnStartClick();
    std::optional<Footprint> atMark;
    int reportedRotations = 0;
    int lastRotations = -1;
    Clock::time_point lastChange = Clock::now();
    bool stalled = false;
    std::optional<Clock::time_point> lastRotation;
    while (MessagesShown(user).empty()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const int done = w.shoot().Process().RotationsDone;
        if (done != lastRotations) {
            lastRotations = done;
            lastChange = Clock::now();
            if (done == options.photos) {
                lastRotation = lastChange;
            }
        } else if (Clock::now() - lastChange > kStallLimit) {
            stalled = true;
            break;
        }
        if (!atMark && done >= kMarkPhotos) {
            atMark = TakeFootprint();
            PrintFootprint("after 100 photos:", *atMark);
            reportedRotations = done;
        } else if (atMark && done >= reportedRotations + kReportEvery) {
            reportedRotations = done - done % kReportEvery;
            const std::string when = "after " + std::to_string(reportedRotations) + " photos:";
            PrintFootprint(when.c_str(), TakeFootprint());
        }
    }
    const Clock::time_point ended = Clock::now();
    const double runSeconds = Seconds(ended - started);
    QCoreApplication::processEvents();
    const Footprint atEnd = TakeFootprint();
    PrintFootprint("at the end:", atEnd);

    const std::vector<QString> messages = MessagesShown(user);
    const QString ending = messages.empty() ? QString("(none)") : messages.front();
    std::printf("run time: %.1f s (%.1f ms a command)\n", runSeconds, runSeconds * 1000 / commands);
    if (lastRotation) {
        std::printf("from the last rotation to the closing message (the copy): %.1f s\n",
                    Seconds(ended - *lastRotation));
    }
    std::printf("closing message: %s\n", qPrintable(QString(ending).replace("\r\n", " | ")));

    bool pass = true;
    pass &= Verdict(!stalled && messages.size() == 1 && ending == kCompleted && !AskedMore(user),
                    "completion",
                    stalled ? "no rotation for 60 s at " + std::to_string(lastRotations) + " photos"
                            : std::to_string(w.shoot().Process().RotationsDone) + " rotations, " +
                                  std::to_string(messages.size()) + " message(s)" +
                                  (AskedMore(user) ? ", and a question" : ""));
    if (!atMark) {
        atMark = TakeFootprint();
    }
    const double growthMb = Mb(atEnd.residentKb - atMark->residentKb);
    char memory[160];
    std::snprintf(memory, sizeof memory,
                  "RSS %.1f MB at the end, %.1f MB after 100 photos: %+.1f MB (limit %.1f MB)",
                  Mb(atEnd.residentKb), Mb(atMark->residentKb), growthMb, options.slackMb);
    pass &= Verdict(growthMb <= options.slackMb, "memory", memory);

    std::string leaked;
    for (const auto& [fd, target] : atEnd.fds) {
        if (atMark->fds.count(fd) == 0 || atMark->fds.at(fd) != target) {
            leaked += "\n  fd " + std::to_string(fd) + " -> " + target;
        }
    }
    pass &= Verdict(leaked.empty() && atEnd.fds.size() <= atMark->fds.size(), "descriptors",
                    std::to_string(atEnd.fds.size()) + " open at the end, " +
                        std::to_string(atMark->fds.size()) + " after 100 photos" + leaked);

    const std::size_t shot = CountEntries(camera);
    int copied = 0;
    const std::string copyProblems = CheckCopies(camera, destination, options.photos, copied);
    pass &= Verdict(shot == static_cast<std::size_t>(options.photos), "camera",
                    std::to_string(shot) + " photos in the camera folder");
    pass &= Verdict(copyProblems.empty() && copied == options.photos, "photos",
                    std::to_string(copied) + " of " + std::to_string(options.photos) +
                        " copied as 1.jpg ... " + std::to_string(options.photos) +
                        ".jpg, each a JPEG equal to the camera's photo" + copyProblems);

    if (!pass || options.keep) {
        work.setAutoRemove(false);
        std::printf("kept the run folder: %s\n", root.c_str());
    }
    return pass ? 0 : 1;
}
