#include <QCoreApplication>
#include <QEventLoop>
#include <QListWidget>
#include <QThread>
#include <QTimer>
#include <chrono>

#include "clock_text.h"
#include "main_window.h"
#include "path_checks.h"
#include "paths.h"
#include "photo_arrival.h"
#include "photo_copy.h"
#include "photo_watch.h"
#include "ui_main_window.h"

using namespace zentrivo;
using namespace std::chrono_literals;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// How long a copy waits at most for the camera to finish writing a photo.
constexpr auto kLongestWait = 5s;

// How often the end of a run looks for the camera's last photos.
constexpr int kArrivalLookMs = 250;

// Lets window events run for `ms` milliseconds.
void RunEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

TfrmMain::PhotoWork::PhotoWork(TfrmMain& window) : window_(window), hold_(window.photoGate_) {
    window_.ui->btnFotosKopirajSlike->setEnabled(false);
}

TfrmMain::PhotoWork::~PhotoWork() {
    window_.ui->btnFotosKopirajSlike->setEnabled(true);
}

QString TfrmMain::BusyWithPhotosText(const QString& refused) const {
    return refused +
           " right now because it is busy with the photos !\r\n\r\n"
           "Please wait a few seconds and try again.";
}

void TfrmMain::BeginPhotoWatch() {
    zentrivo::BeginPhotoWatch(*Photos_, Options.FotosDir);
    photoLooks_.Clear();
    sbPhotos_->setText(Q(NewPhotosText(0)));
    ui->lbFotosList->clear();
}

void TfrmMain::RefreshNewPhotos() {
    if (!IsExistingFolder(Options.FotosDir)) {
        return;
    }
    for (const std::string& name : zentrivo::RefreshNewPhotos(*Photos_, Options.FotosDir)) {
        ui->lbFotosList->addItem(Q(name));
        LogRun("new photo in the camera folder: " + name);
    }
    sbPhotos_->setText(Q(NewPhotosText(Photos_->NewCount())));
    QCoreApplication::processEvents();
}

void TfrmMain::tmrFotosDirRefresherTimer() {
    tmrFotosDirRefresher.stop();
    RefreshNewPhotos();
    // A Stop handled while the refresh let events run must hold.
    if (Process.ProcessState != kProcessNotStarted && Photos_) {
        tmrFotosDirRefresher.start();
    }
}

void TfrmMain::lbFotosListDblClick() {
    QListWidgetItem* item = ui->lbFotosList->currentItem();
    if (ui->lbFotosList->count() == 0 || item == nullptr || !item->isSelected()) {
        return;
    }
    const std::string path = JoinPath(Options.FotosDir, item->text().toStdString());
    if (IsExistingFile(path)) {
        dialogs_->ShellOpen(Q(path));
    }
}

std::optional<std::string> TfrmMain::AskForFolder(const std::string& current) {
    QString start = Q(current.empty() ? DefaultPhotoFolder() : current);
    for (;;) {
        const auto chosen = dialogs_->ChooseFolder(this, "Select Directory", start);
        if (!chosen) {
            return std::nullopt;
        }
        const std::string path = chosen->toStdString();
        if (IsExistingFolder(path)) {
            return path;
        }
        // A typed folder that does not exist yet is made, with every folder
        // above it, once the user agrees; No goes back to choosing.
        if (dialogs_->Message(this, "Confirm", "The specified directory does not exist. Create it?",
                              Dialogs::Icon::Question,
                              Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes) {
            if (CreateFolderWithParents(path)) {
                return path;
            }
            return std::nullopt;
        }
        start = *chosen;
    }
}

bool TfrmMain::ChooseFolder(std::string& folder, QLineEdit* shownIn) {
    const auto chosen = AskForFolder(folder);
    if (!chosen || *chosen == folder) {
        return false;
    }
    folder = *chosen;
    shownIn->setText(Q(*chosen));
    return true;
}

void TfrmMain::btnFotosChooseNewDirClick() {
    // The list holds photos of the folder shown. Another camera folder is
    // watched from what it holds now: its photos are not new, and no copy
    // looks in it for photos found in the folder before. So the folder stays
    // while a copy or the end of a run works on the list.
    if (photoGate_.Busy()) {
        dialogs_->Notify(this, "Error", BusyWithPhotosText("The camera folder can not be changed"),
                         Dialogs::Icon::Error);
        return;
    }
    if (ChooseFolder(Options.FotosDir, ui->txtFotosSrcDir)) {
        BeginPhotoWatch();
    }
}

void TfrmMain::btnFotosChooseDestDirClick() {
    ChooseFolder(Options.FotosCopyDir, ui->txtFotosDestDir);
}

bool TfrmMain::WaitUntilWritten(const std::string& path) {
    return photoLooks_.WaitUntilSettled(path, kLongestWait, [] {
        QCoreApplication::processEvents();
        QThread::msleep(50);
    });
}

void TfrmMain::AwaitLastPhotos() {
    using Clock = std::chrono::steady_clock;
    const auto taken = static_cast<std::size_t>(std::max(photosTaken_, 0));
    RefreshNewPhotos();
    std::size_t received = Photos_->NewCount();
    auto lastArrival = Clock::now();
    while (AwaitMorePhotos(
        taken, received,
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastArrival))) {
        RunEventsFor(kArrivalLookMs);
        RefreshNewPhotos();
        if (Photos_->NewCount() != received) {
            received = Photos_->NewCount();
            lastArrival = Clock::now();
        }
    }
}

TfrmMain::CopyOutcome TfrmMain::CopyNewPhotos() {
    CopyRequest request;
    request.cameraFolder = Options.FotosDir;
    request.destinationFolder = Options.FotosCopyDir;
    request.autoName = ui->ckFotosAutoNameDir->isChecked();
    request.now = clock_ ? clock_() : LocalNow();
    for (int i = 0; i < ui->lbFotosList->count(); ++i) {
        request.photos.push_back(ui->lbFotosList->item(i)->text().toStdString());
        // A first look at every photo now, so that while the first ones are
        // copied the others settle, and only a photo the camera is still
        // writing is waited for.
        photoLooks_.Look(JoinPath(request.cameraFolder, request.photos.back()));
    }

    CopyDialogs asks;
    asks.askFolderName = [this](const std::string& stamp) -> std::optional<std::string> {
        const auto typed = dialogs_->InputText(this, "Novi direktorij",
                                               "Unesite naziv direktorija:", Q(stamp), 255);
        if (!typed) {
            return std::nullopt;
        }
        return typed->toStdString();
    };
    asks.showMessage = [this](MessageKind kind, const std::string& title, const std::string& text) {
        dialogs_->Notify(
            this, Q(title), Q(text),
            kind == MessageKind::kError ? Dialogs::Icon::Error : Dialogs::Icon::Information);
    };
    asks.beforeCopy = [this](std::size_t number, std::size_t count, const std::string& source) {
        sbPhotos_->setText(QString("Copying photo %1 of %2...").arg(number).arg(count));
        sbPhotos_->repaint();
        return WaitUntilWritten(source);
    };

    const CopyResult result = zentrivo::CopyNewPhotos(request, asks);
    sbPhotos_->setText(Q(NewPhotosText(Photos_ ? Photos_->NewCount() : 0)));

    CopyOutcome outcome;
    outcome.done = result.done;
    if (result.done) {
        lastCopyFolder_ = Q(result.target);
    }
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
                             .arg(request.photos.size())
                             .arg(names.join(", "));
    }
    return outcome;
}

void TfrmMain::btnFotosKopirajSlikeClick() {
    if (photoGate_.Busy()) {
        return;  // one copy at a time; the button is disabled meanwhile
    }
    CopyOutcome outcome;
    {
        PhotoWork work(*this);
        // Photos stored since the last refresh are copied too.
        RefreshNewPhotos();
        if (ui->lbFotosList->count() == 0) {
            return;
        }
        outcome = CopyNewPhotos();
    }
    if (!outcome.done) {
        dialogs_->Notify(this, "Error", "Photos not copied !", Dialogs::Icon::Error);
    } else if (!outcome.missed.isEmpty()) {
        dialogs_->Notify(this, "Error", "Not all photos were copied !\r\n" + outcome.missed,
                         Dialogs::Icon::Error);
    } else {
        dialogs_->Notify(this, "Copy", "Photos successfully copied !", Dialogs::Icon::Information);
    }
}
