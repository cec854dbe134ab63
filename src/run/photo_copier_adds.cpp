// Photos added to the last copy: a copy of a run made before every photo
// had come leaves those positions out, and gets their photos once they come,
// in the same sub-folder, each under its own position's number.
#include <QFileInfo>
#include <algorithm>
#include <memory>
#include <utility>

#include "core/path_checks.h"
#include "core/paths.h"
#include "photo_copier.h"

using namespace zentrivo;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

bool AnyOf(const std::vector<std::string>& photos) {
    return std::any_of(photos.begin(), photos.end(),
                       [](const std::string& photo) { return !photo.empty(); });
}

}  // namespace

bool PhotoCopier::AddsToLast() const {
    return copied_.LeftOut() && photos_.Ledger() != nullptr &&
           IsExistingFolder(lastFolder_.toStdString());
}

void PhotoCopier::Add(std::vector<std::string> photos, Added done) {
    CopyRequest request;
    request.cameraFolder = options_.FotosDir;
    request.photos = std::move(photos);
    request.addOnly = true;
    for (const std::string& name : request.photos) {
        if (!name.empty()) {
            photos_.FirstLook(JoinPath(request.cameraFolder, name));
        }
    }
    auto result = std::make_shared<CopyResult>();
    OnOwnThread([request, target = lastFolder_.toStdString(), progress = Progress(),
                 result] { *result = CopyPhotosInto(request, target, progress); },
                [this, request, result, done = std::move(done)] {
                    copied_.Added(request.photos, result->notCopied);
                    const std::string folder = QFileInfo(lastFolder_).fileName().toStdString();
                    std::vector<std::string> added;
                    for (std::size_t i = 0; i < request.photos.size(); ++i) {
                        const std::string& name = request.photos[i];
                        if (name.empty()) {
                            continue;
                        }
                        const std::string copy = std::to_string(i + 1) + ".jpg";
                        const bool copied =
                            std::find(result->notCopied.begin(), result->notCopied.end(), name) ==
                            result->notCopied.end();
                        photos_.Log().Write(name + (copied ? " added" : " could not be added") +
                                            " to the copy " + folder + " as " + copy);
                        if (copied) {
                            added.push_back(copy);
                        }
                    }
                    done(added, Outcome::Of(*result));
                });
}

void PhotoCopier::AddLate() {
    if (!AddsToLast()) {
        return;
    }
    // Only a photo the run's end would have taken as come: whole.
    std::vector<std::string> photos =
        copied_.ToAdd(photos_.Ledger()->Frames(),
                      [this](const std::string& name) { return photos_.ArrivedWhole(name); });
    if (!AnyOf(photos)) {
        return;
    }
    late_ = std::make_unique<CameraPhotos::Work>(photos_);
    Add(std::move(photos),
        [this](const std::vector<std::string>&, const Outcome&) { late_.reset(); });
}

void PhotoCopier::AddMissing() {
    std::vector<std::string> photos =
        copied_.ToAdd(photos_.Ledger()->Frames(), [](const std::string&) { return true; });
    const Added tell = [this](const std::vector<std::string>& added, const Outcome& outcome) {
        onRequest_.reset();
        TellAdded(added, outcome);
    };
    if (!AnyOf(photos)) {
        Outcome nothing;
        nothing.done = true;
        tell({}, nothing);
        return;
    }
    Add(std::move(photos), tell);
}

void PhotoCopier::TellAdded(const std::vector<std::string>& added, const Outcome& outcome) {
    const QString copy = "the copy \"" + QFileInfo(lastFolder_).fileName() + "\"";
    QString text = added.empty() ? "Nothing was added to " + copy +
                                       ": no photo has come for the positions it is missing."
                                 : "Added to " + copy + ": " + NameList(added);
    text += outcome.Problems();
    const std::vector<std::string> missing = copied_.MissingLines();
    for (const std::string& line : missing) {
        text += "\r\n" + Q(line);
    }
    if (!outcome.whole()) {
        observer_.ShowMessage("Error", text, ShootObserver::Icon::Error);
    } else if (!missing.empty()) {
        observer_.ShowMessage("Warning", text, ShootObserver::Icon::Warning);
    } else {
        observer_.ShowMessage("Information", text, ShootObserver::Icon::Information);
    }
}
