#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <ctime>
#include <functional>
#include <memory>

#include "camera_photos.h"
#include "core/settings/settings.h"
#include "shoot_observer.h"

// Copies the new photos of the camera folder into a new sub-folder of the
// destination folder, asking for its name when the settings say so. The
// files are copied on a thread of their own, so that the windows and a run
// go on meanwhile.
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
    };
    using Done = std::function<void(const Outcome&)>;
    // Copies the photos listed now; `done` runs here once the copy is over.
    // The caller holds the photo work until then.
    void Copy(Done done);
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
    QThread* copying_ = nullptr;
    // The photo work of a copy on request, held until its result is told.
    std::unique_ptr<CameraPhotos::Work> onRequest_;
};
