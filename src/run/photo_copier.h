#pragma once

#include <QString>
#include <ctime>
#include <functional>

#include "camera_photos.h"
#include "core/settings/settings.h"
#include "shoot_observer.h"

// Copies the new photos of the camera folder into a new sub-folder of the
// destination folder, asking for its name when the settings say so.
class PhotoCopier {
public:
    PhotoCopier(const zentrivo::TOpcije& options, CameraPhotos& photos, ShootObserver& observer,
                std::function<std::tm()> clock);

    struct Outcome {
        bool done = false;   // the sub-folder was made and the copying ran
        QString missed;      // which photos could not be copied, if any
        QString incomplete;  // which copies hold a photo cut short, if any
        bool whole() const { return done && missed.isEmpty() && incomplete.isEmpty(); }
        // The lines that tell what went wrong, each on its own line.
        QString Problems() const;
    };
    // Copies the photos listed now; the caller holds the photo work.
    Outcome Copy();
    // "Copy photos": the photos stored so far, with the result told.
    void CopyOnRequest();

    // The sub-folder the last copy made; empty before one.
    const QString& LastFolder() const { return lastFolder_; }

private:
    const zentrivo::TOpcije& options_;
    CameraPhotos& photos_;
    ShootObserver& observer_;
    std::function<std::tm()> clock_;
    QString lastFolder_;
};
