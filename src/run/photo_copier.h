#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "camera_photos.h"
#include "core/photos/copied_positions.h"
#include "core/photos/photo_copy.h"
#include "core/settings/settings.h"
#include "shoot_observer.h"

// Copies the new photos of the camera folder into a new sub-folder of the
// destination folder, asking for its name when the settings say so. The
// files are copied on a thread of their own, so that the windows and a run
// go on meanwhile. A copy of a run that left positions out (their photos
// had not come yet) is added to later, in the same sub-folder: by "Copy
// photos", and after "Copy now" as the photos come.
class PhotoCopier : public QObject {
    Q_OBJECT

public:
    PhotoCopier(const zentrivo::TOpcije& options, CameraPhotos& photos, ShootObserver& observer,
                std::function<std::tm()> clock, QObject* parent = nullptr);
    // Waits for a copy in hand.
    ~PhotoCopier() override;

    struct Outcome {
        bool done = false;   // the sub-folder was made and the copying ran
        QString missed;      // which photos could not be copied, if any
        QString incomplete;  // which copies hold a photo cut short, if any
        bool whole() const { return done && missed.isEmpty() && incomplete.isEmpty(); }
        // The lines that tell what went wrong, each on its own line.
        QString Problems() const;
        static Outcome Of(const zentrivo::CopyResult& result);
    };
    using Done = std::function<void(const Outcome&)>;
    // Copies the photos listed now; `done` runs here once the copy is over.
    // The caller holds the photo work until then.
    void Copy(Done done);
    // "Copy photos": the photos stored so far, with the result told; after
    // a copy that left positions out, those that have come since, added to
    // it.
    void CopyOnRequest();

    // The sub-folder the last copy made; empty before one.
    const QString& LastFolder() const { return lastFolder_; }

private:
    // Runs `work` on the copy's own thread, then `finished` here.
    void OnOwnThread(std::function<void()> work, std::function<void()> finished);
    // For the copy's thread: the progress told here, and each photo waited
    // for until the camera has written it.
    zentrivo::CopyDialogs Progress();

    // Whether the last copy left positions out, to be added to its folder.
    bool AddsToLast() const;
    using Added = std::function<void(const std::vector<std::string>& added, const Outcome&)>;
    // Adds `photos` (by position, empty where none) to the last copy's
    // folder, never over a file there, and logs each; `added` are the copies
    // made, by position.
    void Add(std::vector<std::string> photos, Added done);
    // After "Copy now": the photos of the positions left out that have
    // arrived whole since.
    void AddLate();
    // "Copy photos" after a copy that left positions out.
    void AddMissing();
    void TellAdded(const std::vector<std::string>& added, const Outcome& outcome);

    const zentrivo::TOpcije& options_;
    CameraPhotos& photos_;
    ShootObserver& observer_;
    std::function<std::tm()> clock_;
    QString lastFolder_;
    QThread* copying_ = nullptr;
    // The photo work of a copy on request, held until its result is told.
    std::unique_ptr<CameraPhotos::Work> onRequest_;
    // What the last copy holds of a run's positions.
    zentrivo::CopiedPositions copied_;
    // The photo work of photos added as they come.
    std::unique_ptr<CameraPhotos::Work> late_;
};

// "a, b, c" for up to ten names, then "and 3 more".
QString NameList(const std::vector<std::string>& names);
