#include <QCoreApplication>
#include <QListWidget>
#include <QThread>
#include <chrono>

#include "clock_text.h"
#include "main_window.h"
#include "path_checks.h"
#include "paths.h"
#include "photo_copy.h"
#include "photo_settle.h"
#include "photo_watch.h"
#include "ui_main_window.h"

using namespace zentrivo;
using namespace std::chrono_literals;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// How long a photo must have stayed unchanged before it is copied, and how
// long a copy waits at most for the camera to finish writing one.
constexpr auto kSettled = 500ms;
constexpr auto kLongestWait = 5s;

}  // namespace

void TfrmMain::BeginPhotoWatch() {
    zentrivo::BeginPhotoWatch(*Photos_, Options.FotosDir);
    sbPhotos_->setText(Q(NewPhotosText(0)));
    ui->lbFotosList->clear();
}

void TfrmMain::RefreshNewPhotos() {
    if (!IsExistingFolder(Options.FotosDir)) {
        return;
    }
    for (const std::string& name : zentrivo::RefreshNewPhotos(*Photos_, Options.FotosDir)) {
        ui->lbFotosList->addItem(Q(name));
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

void TfrmMain::ChooseFolder(std::string& folder, QLineEdit* shownIn) {
    const QString start = Q(folder.empty() ? DefaultPhotoFolder() : folder);
    const auto chosen = dialogs_->ChooseFolder(this, "Select Directory", start);
    if (chosen && IsExistingFolder(chosen->toStdString())) {
        folder = chosen->toStdString();
        shownIn->setText(*chosen);
    }
}

void TfrmMain::btnFotosChooseNewDirClick() {
    ChooseFolder(Options.FotosDir, ui->txtFotosSrcDir);
}

void TfrmMain::btnFotosChooseDestDirClick() {
    ChooseFolder(Options.FotosCopyDir, ui->txtFotosDestDir);
}

bool TfrmMain::WaitUntilWritten(const std::string& path) {
    FileSample last = SampleFile(path);
    if (QuietFor(last, kSettled)) {
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
    auto unchangedSince = std::chrono::steady_clock::now();
    while (last.exists && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents();
        QThread::msleep(50);
        const FileSample now = SampleFile(path);
        if (!SameSample(now, last)) {
            last = now;
            unchangedSince = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - unchangedSince >= kSettled ||
                   QuietFor(now, kSettled)) {
            return true;
        }
    }
    return false;
}

TfrmMain::CopyOutcome TfrmMain::CopyNewPhotos() {
    CopyRequest request;
    request.cameraFolder = Options.FotosDir;
    request.destinationFolder = Options.FotosCopyDir;
    request.autoName = ui->ckFotosAutoNameDir->isChecked();
    request.now = LocalNow();
    for (int i = 0; i < ui->lbFotosList->count(); ++i) {
        request.photos.push_back(ui->lbFotosList->item(i)->text().toStdString());
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

    copying_ = true;
    ui->btnFotosKopirajSlike->setEnabled(false);
    const CopyResult result = zentrivo::CopyNewPhotos(request, asks);
    copying_ = false;
    ui->btnFotosKopirajSlike->setEnabled(true);
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
    if (ui->lbFotosList->count() == 0 || copying_) {
        return;
    }
    const CopyOutcome outcome = CopyNewPhotos();
    if (!outcome.done) {
        dialogs_->Notify(this, "Error", "Photos not copied !", Dialogs::Icon::Error);
    } else if (!outcome.missed.isEmpty()) {
        dialogs_->Notify(this, "Error", "Not all photos were copied !\r\n" + outcome.missed,
                         Dialogs::Icon::Error);
    } else {
        dialogs_->Notify(this, "Copy", "Photos successfully copied !", Dialogs::Icon::Information);
    }
}
