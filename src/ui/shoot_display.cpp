#include "shoot_display.h"

#include <QAction>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/process/progress.h"
#include "ui_main_window.h"

using namespace zentrivo;

namespace {

void Underline(QLabel* label, bool on) {
    QFont f = label->font();
    f.setUnderline(on);
    label->setFont(f);
}

QColor ToQColor(const SliceColour& c) {
    return QColor(c.red, c.green, c.blue);
}

Dialogs::Icon DialogIcon(ShootObserver::Icon icon) {
    switch (icon) {
        case ShootObserver::Icon::Information:
            return Dialogs::Icon::Information;
        case ShootObserver::Icon::Warning:
            return Dialogs::Icon::Warning;
        case ShootObserver::Icon::Error:
            return Dialogs::Icon::Error;
        case ShootObserver::Icon::None:
            break;
    }
    return Dialogs::Icon::None;
}

}  // namespace

ShootDisplay::ShootDisplay(QWidget* window, Ui::TfrmMain& ui, Dialogs& dialogs, MainStatusBar& bar,
                           QAction* resume)
    : window_(window), ui_(ui), dialogs_(dialogs), bar_(bar), resume_(resume) {}

void ShootDisplay::ShowMessage(const QString& title, const QString& text, Icon icon) {
    dialogs_.Notify(window_, title, text, DialogIcon(icon));
}

bool ShootDisplay::AskYesNo(const QString& title, const QString& text) {
    return dialogs_.Message(window_, title, text, Dialogs::Icon::Question,
                            Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
}

std::optional<QString> ShootDisplay::AskText(const QString& caption, const QString& prompt,
                                             const QString& initial, int maxLength) {
    return dialogs_.InputText(window_, caption, prompt, initial, maxLength);
}

void ShootDisplay::StartHeld() {
    ui_.btnStart->setEnabled(false);
}

void ShootDisplay::RunBegins() {
    ui_.btnStart->setEnabled(false);
    ui_.btnPauza->setEnabled(true);
    ui_.btnStop->setEnabled(true);
    ui_.btnKreirajProces->setEnabled(false);
    ui_.btnEditujProces->setEnabled(false);
    ui_.btnNaPocetak->setEnabled(false);
    resume_->setEnabled(false);
}

void ShootDisplay::RunEnds(bool mayTurnBack) {
    ui_.btnKreirajProces->setEnabled(true);
    ui_.btnEditujProces->setEnabled(true);
    ui_.btnStart->setEnabled(true);
    ui_.btnPauza->setEnabled(false);
    ui_.btnStop->setEnabled(false);
    ui_.btnPauza->setText("&Pause");
    PhaseChanged(std::string());
    ProgressReset();
    if (mayTurnBack) {
        ui_.btnNaPocetak->setEnabled(true);
    }
    bar_.ShowTimeLeft(QString());
}

void ShootDisplay::PausedChanged(bool paused) {
    ui_.btnPauza->setText(paused ? "&Continue" : "&Pause");
}

void ShootDisplay::TurnBackOpen(bool open) {
    ui_.btnNaPocetak->setEnabled(open);
}

void ShootDisplay::ResumeOpen(bool open) {
    resume_->setEnabled(open);
}

void ShootDisplay::CopyOpen(bool open) {
    ui_.btnFotosKopirajSlike->setEnabled(open);
}

void ShootDisplay::ProcessRestored(int photos) {
    ui_.gProces->setRange(0, photos);
    ProgressReset();
    ui_.btnEditujProces->setEnabled(true);
}

void ShootDisplay::PhaseChanged(const std::string& letter) {
    const Phase phase = PhaseForLetter(letter);
    Underline(ui_.lblProcesRotiranje, phase == Phase::kRotation);
    Underline(ui_.lblProcesFotografisanje, phase == Phase::kPhotography);
    Underline(ui_.lblProcesPauza, phase == Phase::kPause);
}

void ShootDisplay::ShowProgress() {
    const ProgressGauge& g = ui_.gProces->values();
    ui_.lblProgresKoraka->setText(QString::fromStdString(StepText(g)));
    // The pie is rebuilt, never edited: "Remaining" first, then "Completed".
    ui_.ChartProces->clear();
    for (const PieSlice& slice : PieSlices(g)) {
        ui_.ChartProces->add(slice.label, static_cast<int>(slice.value), ToQColor(slice.colour));
    }
}

void ShootDisplay::ProgressReset() {
    ui_.gProces->setProgress(0);
    ShowProgress();
}

void ShootDisplay::ProgressAdvanced() {
    ui_.gProces->advance();
    ShowProgress();
}

void ShootDisplay::DeviceStateChanged(int state) {
    bar_.ShowDeviceState(state);
}

void ShootDisplay::WaitingForCamera(int whole, int expected, bool offerCopy) {
    if (cameraWait_ == nullptr) {
        // Not modal: the main window stays usable, and the run goes on
        // looking at the folder while the window is up.
        cameraWait_ = new QDialog(window_);
        cameraWait_->setObjectName("CameraWait");
        cameraWait_->setWindowTitle("Waiting for the camera");
        cameraWait_->setModal(false);
        cameraWaitText_ = new QLabel(cameraWait_);
        cameraWaitText_->setObjectName("lblCameraWait");
        copyNow_ = new QPushButton("Copy now", cameraWait_);
        copyNow_->setObjectName("btnCopyNow");
        auto* stop = new QPushButton("Stop waiting", cameraWait_);
        stop->setObjectName("btnStopWaiting");
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(copyNow_);
        buttons->addWidget(stop);
        auto* layout = new QVBoxLayout(cameraWait_);
        layout->addWidget(cameraWaitText_);
        layout->addLayout(buttons);
        const auto end = [this](bool copy) {
            if (endCameraWait_) {
                endCameraWait_(copy);
            }
        };
        QObject::connect(copyNow_, &QPushButton::clicked, cameraWait_, [end] { end(true); });
        QObject::connect(stop, &QPushButton::clicked, cameraWait_, [end] { end(false); });
        // Closing the window stops the wait as "Stop waiting" does.
        QObject::connect(cameraWait_, &QDialog::rejected, cameraWait_, [end] { end(false); });
    }
    cameraWaitText_->setText(
        QString("Waiting for the camera: %1 of %2 photos").arg(whole).arg(expected));
    copyNow_->setVisible(offerCopy);
    if (!cameraWait_->isVisible()) {
        cameraWait_->show();
    }
}

void ShootDisplay::CameraStateChanged(const QString& text) {
    bar_.ShowCamera(text);
}

void ShootDisplay::CameraWaitEnded() {
    if (cameraWait_ != nullptr) {
        cameraWait_->hide();
    }
}

void ShootDisplay::PhotosCleared() {
    ui_.lbFotosList->clear();
}

void ShootDisplay::PhotoAdded(const QString& name) {
    ui_.lbFotosList->addItem(name);
}
