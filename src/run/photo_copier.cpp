#include "photo_copier.h"

#include <QStringList>
#include <memory>
#include <utility>

#include "handler_errors.h"

#include "core/paths.h"
#include "core/photos/photo_copy.h"
#include "core/photos/photo_watch.h"

using namespace zentrivo;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

QString PhotoCopier::Outcome::Problems() const {
    QString lines;
    for (const QString& line : {missed, incomplete}) {
        if (!line.isEmpty()) {
            lines += "\r\n" + line;
        }
    }
    return lines;
}

PhotoCopier::PhotoCopier(const TOpcije& options, CameraPhotos& photos, ShootObserver& observer,
                         std::function<std::tm()> clock, QObject* parent)
    : QObject(parent),
      options_(options),
      photos_(photos),
      observer_(observer),
      clock_(std::move(clock)) {
    // The positions of a copy are those of the run whose photos are listed.
    connect(&photos_, &CameraPhotos::WatchBegun, this, [this] { copied_.Clear(); });
    connect(&photos_, &CameraPhotos::LateLook, this, &PhotoCopier::AddLate);
}

PhotoCopier::~PhotoCopier() {
    if (copying_ != nullptr) {
        copying_->wait();
        delete copying_;
    }
}

QString NameList(const std::vector<std::string>& names) {
    QStringList listed;
    for (std::size_t i = 0; i < names.size() && i < 10; ++i) {
        listed << Q(names[i]);
    }
    if (names.size() > 10) {
        listed << QString("and %1 more").arg(names.size() - 10);
    }
    return listed.join(", ");
}

PhotoCopier::Outcome PhotoCopier::Outcome::Of(const CopyResult& result) {
    PhotoCopier::Outcome outcome;
    outcome.done = result.done;
    if (result.done && !result.notCopied.empty()) {
        // Never report a photo as copied that was not: say how many, and
        // which.
        outcome.missed = QString("%1 of %2 photos could not be copied: %3")
                             .arg(result.notCopied.size())
                             .arg(result.count)
                             .arg(NameList(result.notCopied));
    }
    if (!result.incomplete.empty()) {
        QStringList names;
        for (const std::string& name : result.incomplete) {
            names << Q(name);
        }
        outcome.incomplete =
            names.join(", ") + (names.size() == 1 ? " is incomplete" : " are incomplete");
    }
    return outcome;
}

CopyDialogs PhotoCopier::Progress() {
    CopyDialogs progress;
    progress.beforeCopy = [this](std::size_t number, std::size_t count, const std::string& source) {
        QMetaObject::invokeMethod(
            this,
            [this, number, count] {
                observer_.PhotoStatus(QString("Copying photo %1 of %2...").arg(number).arg(count));
            },
            Qt::QueuedConnection);
        return photos_.WaitUntilWritten(source);
    };
    return progress;
}

void PhotoCopier::OnOwnThread(std::function<void()> work, std::function<void()> finished) {
    copying_ = QThread::create(std::move(work));
    // Owned here too, so that a program that ends before its deferred
    // deletion leaves nothing behind.
    copying_->setParent(this);
    connect(copying_, &QThread::finished, this, [this, finished = std::move(finished)] {
        copying_->wait();
        std::exchange(copying_, nullptr)->deleteLater();
        observer_.PhotoStatus(Q(NewPhotosText(photos_.NewCount())));
        RunGuarded(finished);
    });
    copying_->start();
}

void PhotoCopier::Copy(Done done) {
    CopyRequest request;
    request.cameraFolder = options_.FotosDir;
    request.destinationFolder = options_.FotosCopyDir;
    request.autoName = options_.FotosAutoNameDir;
    request.now = clock_();
    if (const PhotoLedger* ledger = photos_.Ledger()) {
        // One photo per position, numbered by its position; the others
        // are kept beside them.
        request.photos = ledger->Frames();
        request.setAside = photos_.Unplaced();
    } else {
        request.photos = photos_.Names();
    }
    for (const std::string& name : photos_.Names()) {
        // A first look at every photo now, so that while the first ones are
        // copied the others settle, and only a photo the camera is still
        // writing is waited for.
        photos_.FirstLook(JoinPath(request.cameraFolder, name));
    }

    // The folder's name is asked here, with the boxes of the window.
    CopyDialogs asks;
    asks.askFolderName = [this](const std::string& stamp) -> std::optional<std::string> {
        const auto typed =
            observer_.AskText("Novi direktorij", "Unesite naziv direktorija:", Q(stamp), 255);
        if (!typed) {
            return std::nullopt;
        }
        return typed->toStdString();
    };
    asks.showMessage = [this](MessageKind kind, const std::string& title, const std::string& text) {
        observer_.ShowMessage(Q(title), Q(text),
                              kind == MessageKind::kError ? ShootObserver::Icon::Error
                                                          : ShootObserver::Icon::Information);
    };
    const std::optional<std::string> target = MakeCopyFolder(request, asks);
    if (!target) {
        done(Outcome{});
        return;
    }
    lastFolder_ = Q(*target);

    // The positions of the run as the copy is made: one left out may get
    // its photo later.
    const int exposed = photos_.Ledger() != nullptr ? photos_.Ledger()->LastExposed() : -1;
    auto result = std::make_shared<CopyResult>();
    OnOwnThread([request, target = *target, progress = Progress(),
                 result] { *result = CopyPhotosInto(request, target, progress); },
                [this, request, exposed, result, done = std::move(done)] {
                    if (exposed < 0) {
                        copied_.Clear();
                    } else {
                        copied_.Made(exposed, photos_.Planned(), request.photos, result->notCopied);
                    }
                    done(Outcome::Of(*result));
                });
}

void PhotoCopier::CopyOnRequest() {
    if (photos_.Busy()) {
        return;  // one copy at a time; the button is closed meanwhile
    }
    onRequest_ = std::make_unique<CameraPhotos::Work>(photos_);
    // Photos stored since the last refresh are copied too.
    photos_.Refresh();
    if (photos_.NewCount() == 0) {
        onRequest_.reset();
        return;
    }
    if (AddsToLast()) {
        AddMissing();
        return;
    }
    Copy([this](const Outcome& outcome) {
        onRequest_.reset();
        if (!outcome.done) {
            observer_.ShowMessage("Error", "Photos not copied !", ShootObserver::Icon::Error);
        } else if (!outcome.whole()) {
            observer_.ShowMessage("Error", "Not all photos were copied !" + outcome.Problems(),
                                  ShootObserver::Icon::Error);
        } else {
            observer_.ShowMessage("Copy", "Photos successfully copied !",
                                  ShootObserver::Icon::Information);
        }
    });
}
