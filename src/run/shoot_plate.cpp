// "Take a Clean Plate": one photo of the empty table, taken through the
// controller as a run takes its first, kept as the camera folder's plate for
// the finishing of the 360° export.
#include <QDir>
#include <QTimer>

#include "core/photos/clean_plate.h"
#include "core/photos/photo_arrival.h"
#include "core/serial/device.h"
#include "shoot.h"

using namespace zentrivo;

namespace {

const char* kPlateTitle = "Take a Clean Plate";

}  // namespace

QString Shoot::CleanPlateFile() const {
    return QString::fromStdString(CleanPlatePath(settingsFolder_, options_.FotosDir));
}

void Shoot::TakeCleanPlate(const std::vector<std::string>& process) {
    if (Running() || plate_) {
        observer_.ShowMessage(kPlateTitle,
                              Running() ? "A run is going on. Stop the run first, then take the "
                                          "clean plate."
                                        : "The clean plate is being taken: its photo is awaited.",
                              ShootObserver::Icon::Warning);
        return;
    }
    std::vector<std::string> commands = CleanPlateCommands(process);
    if (commands.empty()) {
        observer_.ShowMessage(
            kPlateTitle,
            "The process takes no photo. Add a photo command to it, then take the clean plate.",
            ShootObserver::Icon::Warning);
        return;
    }
    if (!observer_.AskYesNo(
            kPlateTitle,
            "Please take the product off the turntable.\r\n\r\nThe camera takes one photo of the "
            "empty table, as the process takes its photos, and it is kept as the clean plate of "
            "the camera folder\r\n" +
                QDir::toNativeSeparators(QString::fromStdString(options_.FotosDir)) +
                "\r\n\r\nTake the clean plate now ?")) {
        return;
    }
    WorkGate::WhenFree({&device_.Gate(), &photos_.Gate()},
                       [this, commands] { BeginPlate(commands); });
}

void Shoot::BeginPlate(const std::vector<std::string>& commands) {
    // A Start pressed meanwhile got the controller first.
    if (Running() || plate_) {
        return;
    }
    if (!device_.Connect()) {
        return;
    }
    plate_ = std::make_unique<CleanPlate>(photos_.Folder(), commands, options_.FotosDir,
                                          CleanPlateFile().toStdString());
    device_.Exchange(kTestCommand, kTestPollLimit, true, [this](const ExchangeResult& test) {
        if (ReportFailedTest(test)) {
            EndPlate();
            return;
        }
        device_.MarkConnected();
        PlayPlate(0);
    });
}

void Shoot::PlayPlate(std::size_t at) {
    const std::string command = plate_->Commands()[at];
    const bool photo = IsPhotoCommand(command);
    if (photo) {
        plate_->Begin();
    }
    observer_.PhaseChanged(command.substr(0, 1));
    device_.Exchange(
        command, pace_.PollLimit(command), false,
        [this, at, command, photo](const ExchangeResult& result) {
            observer_.PhaseChanged({});
            if (ReportFailedExchange(command, result)) {
                EndPlate();
                return;
            }
            pace_.Accepted(command);
            if (!photo) {
                QTimer::singleShot(ticker_.GapMs(), this, [this, at] { PlayPlate(at + 1); });
                return;
            }
            photos_.FireCamera();
            plate_->AwaitPhoto([this](const std::string& name, const QString& problem) {
                PlateEnds(name, problem);
            });
        });
}

void Shoot::PlateEnds(const std::string& name, const QString& problem) {
    if (name.empty()) {
        observer_.ShowMessage(kPlateTitle, problem, ShootObserver::Icon::Warning);
    } else {
        // The plate is no photo of the run before it, should that run's
        // photos be copied after.
        photos_.Folder().NotOfTheRun(name);
        observer_.ShowMessage(kPlateTitle,
                              "The clean plate is kept:\r\n" +
                                  QDir::toNativeSeparators(CleanPlateFile()) +
                                  "\r\n\r\nThe 360° export offers it as the table's plate.",
                              ShootObserver::Icon::Information);
    }
    EndPlate();
}

void Shoot::EndPlate() {
    // Ended from inside the plate's own timer, as a rule: it goes once that
    // has returned. The photo work is free from then on.
    if (plate_) {
        plate_.release()->deleteLater();
    }
}
