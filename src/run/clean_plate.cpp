#include "clean_plate.h"

#include <QDir>
#include <filesystem>
#include <optional>
#include <utility>

#include "core/atomic_file.h"
#include "core/paths.h"
#include "core/photos/photo_arrival.h"
#include "core/photos/photo_copy.h"

using namespace zentrivo;

namespace {

constexpr int kLookMs = 100;

QString Native(const std::string& path) {
    return QDir::toNativeSeparators(QString::fromStdString(path));
}

}  // namespace

CleanPlate::CleanPlate(CameraPhotos& photos, std::vector<std::string> commands,
                       std::string cameraFolder, std::string platePath, QObject* parent)
    : QObject(parent),
      hold_(photos),
      commands_(std::move(commands)),
      cameraFolder_(std::move(cameraFolder)),
      platePath_(std::move(platePath)) {
    look_.setInterval(kLookMs);
    connect(&look_, &QTimer::timeout, this, &CleanPlate::Look);
}

void CleanPlate::Begin() {
    BeginPhotoWatch(watch_, cameraFolder_);
}

void CleanPlate::AwaitPhoto(Done done) {
    done_ = std::move(done);
    giveUp_ = std::chrono::steady_clock::now() + kLongest;
    look_.start();
    Look();
}

void CleanPlate::Look() {
    RefreshNewPhotos(watch_, cameraFolder_);
    for (const std::string& name : watch_.NewPhotos.Names()) {
        const std::string path = JoinPath(cameraFolder_, name);
        if (!IsWholeJpeg(path) || !settle_.Settled(path)) {
            continue;
        }
        const std::optional<std::string> bytes = ReadWholeFile(path);
        const std::string folder = std::filesystem::u8path(platePath_).parent_path().u8string();
        if (!bytes || !CreateFolderWithParents(folder) ||
            !WriteFileAtomically(platePath_, *bytes)) {
            End({}, "The photo " + QString::fromStdString(name) +
                        " could not be kept as the clean plate in\r\n" + Native(platePath_));
        } else {
            End(name, {});
        }
        return;
    }
    if (std::chrono::steady_clock::now() >= giveUp_) {
        End({}, "No whole photo came into the camera folder\r\n" + Native(cameraFolder_) +
                    "\r\nwithin " + QString::number(kLongest.count()) +
                    " s. Please check that the camera is switched on and stores its photos "
                    "there, then take the clean plate again.");
    }
}

void CleanPlate::End(const std::string& name, const QString& problem) {
    look_.stop();
    if (Done done = std::exchange(done_, nullptr)) {
        done(name, problem);
    }
}
