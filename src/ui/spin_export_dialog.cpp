#include "spin_export_dialog.h"

#include <QDir>
#include <QPushButton>

#include "spin/ffmpeg_process.h"
#include "spin/frame_list.h"
#include "spin/spin_export.h"
#include "spin/spin_output.h"
#include "ui_spin_export_dialog.h"
#include "window_look.h"

using namespace zentrivo;

namespace {

constexpr const char* kTitle = "Export 360° View";

std::filesystem::path ToPath(const QString& folder) {
    return std::filesystem::u8path(QDir::cleanPath(folder.trimmed()).toStdString());
}

QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.u8string());
}

}  // namespace

SpinExportDialog::SpinExportDialog(Dialogs& dialogs, const QString& source, QWidget* parent)
    : QDialog(parent), ui(new Ui::SpinExportDialog), dialogs_(dialogs) {
    ui->setupUi(this);
    UseProgramFont(this);
    for (QToolButton* choose : {ui->chooseSourceButton, ui->chooseTargetButton}) {
        choose->setAccessibleName(choose->toolTip());
    }
    ui->sourceEdit->setAccessibleName("Photos");
    ui->targetEdit->setAccessibleName("Export to");

    const bool haveFfmpeg = FindProgram("ffmpeg").has_value();
    ui->mp4Check->setEnabled(haveFfmpeg);
    ui->mp4Check->setChecked(haveFfmpeg);
    ui->ffmpegNote->setText(haveFfmpeg ? QString() : QString(kNoFfmpegText));
    ui->ffmpegNote->setVisible(!haveFfmpeg);

    connect(ui->chooseSourceButton, &QToolButton::clicked, this, [this] { ChooseFolder(true); });
    connect(ui->chooseTargetButton, &QToolButton::clicked, this, [this] { ChooseFolder(false); });
    connect(ui->sourceEdit, &QLineEdit::textChanged, this, &SpinExportDialog::SourceChanged);
    connect(ui->targetEdit, &QLineEdit::textEdited, this, [this] { targetFollowsSource_ = false; });
    connect(ui->framesCombo, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int choice) { ui->frameCountSpin->setEnabled(choice == 3); });
    SetUpFinishing();
    connect(ui->exportButton, &QPushButton::clicked, this, &SpinExportDialog::Export);
    connect(ui->closeButton, &QPushButton::clicked, this, &SpinExportDialog::CloseOrCancel);

    ui->sourceEdit->setText(source);
    SourceChanged();
}

SpinExportDialog::~SpinExportDialog() {
    cancel_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
    delete ui;
}

void SpinExportDialog::SourceChanged() {
    const QString source = ui->sourceEdit->text().trimmed();
    if (targetFollowsSource_) {
        // Beside the photos it shows, unless the user says otherwise.
        ui->targetEdit->setText(source.isEmpty() ? QString() : QDir(source).filePath("360"));
    }
    std::size_t photos = 0;
    try {
        if (!source.isEmpty() && QDir(source).exists()) {
            photos = ListTurnPhotos(ToPath(source)).size();
        }
    } catch (const std::exception&) {
        photos = 0;
    }
    ui->photoCountLabel->setText(photos == 0   ? QString("No JPEG photos in this folder.")
                                 : photos == 1 ? QString("1 photo")
                                               : QString("%1 photos").arg(photos));
    if (photos > 0) {
        // Counted afresh for each folder, so that "This many" never offers a
        // number left from another one.
        ui->frameCountSpin->setMaximum(static_cast<int>(photos));
        ui->frameCountSpin->setValue(static_cast<int>(photos));
    }
}

void SpinExportDialog::ChooseFolder(bool source) {
    QLineEdit* edit = source ? ui->sourceEdit : ui->targetEdit;
    const auto chosen = dialogs_.ChooseFolder(this, "Select Directory", edit->text());
    if (!chosen) {
        return;
    }
    if (!source) {
        targetFollowsSource_ = false;
    }
    edit->setText(QDir::toNativeSeparators(*chosen));
}

SpinRequest SpinExportDialog::Request() const {
    SpinRequest r;
    r.source = ToPath(ui->sourceEdit->text());
    r.target = ToPath(ui->targetEdit->text());
    switch (ui->framesCombo->currentIndex()) {
        case 1:
        case 2:
            r.frames.kind = FrameChoice::Kind::kEvery;
            r.frames.every = ui->framesCombo->currentIndex() + 1;
            break;
        case 3:
            r.frames.kind = FrameChoice::Kind::kCount;
            r.frames.count = ui->frameCountSpin->value();
            break;
        default:
            break;
    }
    r.longEdge = ui->longEdgeSpin->value();
    r.turnMilliseconds = static_cast<int>(ui->turnSpin->value() * 1000 + 0.5);
    r.reverse = ui->reverseCheck->isChecked();
    r.formats.html = ui->htmlCheck->isChecked();
    r.formats.webp = ui->webpCheck->isChecked();
    r.formats.mp4 = ui->mp4Check->isChecked();
    r.finish = Finish();
    return r;
}

void SpinExportDialog::SetInputsEnabled(bool enabled) {
    for (QWidget* input : std::initializer_list<QWidget*>{
             ui->sourceEdit, ui->chooseSourceButton, ui->framesCombo, ui->longEdgeSpin,
             ui->turnSpin, ui->reverseCheck, ui->htmlCheck, ui->webpCheck, ui->targetEdit,
             ui->chooseTargetButton, ui->exportButton}) {
        input->setEnabled(enabled);
    }
    ui->frameCountSpin->setEnabled(enabled && ui->framesCombo->currentIndex() == 3);
    ui->mp4Check->setEnabled(enabled && ui->ffmpegNote->text().isEmpty());
    // The group's own controls keep their states; the group's switch covers them.
    ui->finishGroup->setEnabled(enabled && FinishingBuilt());
    ui->closeButton->setText(enabled ? "Close" : "Cancel");
}

void SpinExportDialog::Export() {
    if (Exporting()) {
        return;
    }
    const SpinRequest request = Request();
    if (const std::string why = CheckSpinRequest(request); !why.empty()) {
        dialogs_.Notify(this, "Error", QString::fromStdString(why), Dialogs::Icon::Error);
        return;
    }
    cancel_ = false;
    SetInputsEnabled(false);
    ui->progressBar->setValue(0);
    ui->statusLabel->setText("Reading the photos...");
    worker_ = std::thread([this, request] {
        const SpinResult result = ExportSpin(request, [this](const SpinProgress& p) {
            QMetaObject::invokeMethod(
                this, [this, p] { ShowProgress(p); }, Qt::QueuedConnection);
            return !cancel_;
        });
        QMetaObject::invokeMethod(
            this, [this, result] { Finished(result); }, Qt::QueuedConnection);
    });
}

void SpinExportDialog::ShowProgress(const SpinProgress& progress) {
    if (!Exporting()) {
        return;  // a report that arrived after the end
    }
    ui->progressBar->setMaximum(progress.total);
    ui->progressBar->setValue(progress.done);
    ui->statusLabel->setText(QString("%1: %2 of %3")
                                 .arg(QString::fromStdString(progress.stage))
                                 .arg(progress.done)
                                 .arg(progress.total));
}

void SpinExportDialog::Finished(const SpinResult& result) {
    worker_.join();
    SetInputsEnabled(true);
    switch (result.status) {
        case SpinStatus::kDone: {
            ui->progressBar->setValue(ui->progressBar->maximum());
            QString summary = QString("Done: %1 frames of %2 x %3 pixels.")
                                  .arg(result.frames)
                                  .arg(result.width)
                                  .arg(result.height);
            // Frames whose product the finishing could not place well, for
            // the user to look at before publishing the view.
            for (const std::string& doubt : result.doubts) {
                summary += "\n" + QString::fromStdString(doubt);
            }
            ui->statusLabel->setText(summary);
            const QString folder = FromPath(result.written.front().parent_path());
            if (dialogs_.Message(
                    this, kTitle, "The 360° view is ready in\r\n" + folder + "\r\n\r\nOpen it now?",
                    Dialogs::Icon::Question, Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes) {
                // The viewer if there is one, else the first file made.
                std::filesystem::path open = result.written.front();
                for (const auto& path : result.written) {
                    if (path.filename() == kViewerPageName) {
                        open = path;
                    }
                }
                if (open.filename() == kFramesFolderName) {
                    open = open.parent_path();
                }
                dialogs_.ShellOpen(FromPath(open));
            }
            break;
        }
        case SpinStatus::kCancelled:
            ui->progressBar->setValue(0);
            ui->statusLabel->setText("Cancelled; nothing was written.");
            break;
        case SpinStatus::kBadRequest:
        case SpinStatus::kFailed:
            ui->progressBar->setValue(0);
            ui->statusLabel->setText("Not exported.");
            dialogs_.Notify(this, "Error", QString::fromStdString(result.message),
                            Dialogs::Icon::Error);
            break;
    }
}

void SpinExportDialog::CloseOrCancel() {
    if (Exporting()) {
        cancel_ = true;
        ui->statusLabel->setText("Cancelling...");
    } else {
        accept();
    }
}

void SpinExportDialog::reject() {
    // Escape or the close box: an export running is cancelled first.
    if (Exporting()) {
        CloseOrCancel();
    } else {
        QDialog::reject();
    }
}
