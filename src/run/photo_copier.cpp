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
      clock_(std::move(clock)) {}

PhotoCopier::~PhotoCopier() {
    if (copying_ != nullptr) {
        copying_->wait();
        delete copying_;
    }
}

namespace {

PhotoCopier::Outcome OutcomeOf(const CopyResult& result) {
    PhotoCopier::Outcome outcome;
    outcome.done = result.done;
    if (result.done && !result.notCopied.empty()) {
        // Never report a photo as copied that was not: say how many, and
        // which.
        QStringList names;
        for (std::size_t i = 0; i < result.notCopied.size() && i < 10; ++i) {
            names << Q(result.notCopied[i]);
        }
        if (result.notCopied.size() > 10) {
            names << QString("and %1 more").arg(result.notCopied.size() - 10);
        }
        outcome.missed = QString("%1 of %2 photos could not be copied: %3")
                             .arg(result.notCopied.size())
                             .arg(result.count)
                             .arg(names.join(", "));
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

}  // namespace

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

    // The files on the copy's own thread: each photo is waited for there
    // until the camera has written it, and the progress told here.
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
    auto result = std::make_shared<CopyResult>();
    copying_ = QThread::create([request, target = *target, progress, result] {
        *result = CopyPhotosInto(request, target, progress);
    });
    // Owned here too, so that a program that ends before its deferred
    // deletion leaves nothing behind.
    copying_->setParent(this);
    connect(copying_, &QThread::finished, this, [this, result, done = std::move(done)] {
        copying_->wait();
        std::exchange(copying_, nullptr)->deleteLater();
        observer_.PhotoStatus(Q(NewPhotosText(photos_.NewCount())));
        RunGuarded([&] { done(OutcomeOf(*result)); });
    });
    copying_->start();
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
