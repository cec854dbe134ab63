#include "shoot_display.h"

#include "camera_wait_window.h"
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
    : window_(window), ui_(ui), dialogs_(dialogs), bar_(bar), controls_(ui, resume) {}

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
    controls_.Update([](RunControlState& s) { s.startHeld = true; });
}

void ShootDisplay::RunBegins() {
    controls_.Update([](RunControlState& s) {
        s.running = true;
        s.startHeld = false;
        s.turnBackOpen = false;
        s.resumeOpen = false;
    });
}

void ShootDisplay::RunEnds(bool mayTurnBack) {
    // The process just played may be played again.
    controls_.Update([mayTurnBack](RunControlState& s) {
        s.processMade = true;
        s.running = false;
        s.startHeld = false;
        s.paused = false;
        s.turnBackOpen = s.turnBackOpen || mayTurnBack;
    });
    PhaseChanged(std::string());
    ResetProgress();
    bar_.ShowTimeLeft(QString());
}

void ShootDisplay::PausedChanged(bool paused) {
    controls_.Update([paused](RunControlState& s) { s.paused = paused; });
}

void ShootDisplay::TurnBackOpen(bool open) {
    controls_.Update([open](RunControlState& s) { s.turnBackOpen = open; });
}

void ShootDisplay::ResumeOpen(bool open) {
    controls_.Update([open](RunControlState& s) { s.resumeOpen = open; });
}

void ShootDisplay::CopyOpen(bool open) {
    controls_.Update([open](RunControlState& s) { s.copyOpen = open; });
}

void ShootDisplay::ProcessRestored(int photos) {
    ShowFromStart(photos);
    controls_.Update([](RunControlState& s) { s.processMade = true; });
}

void ShootDisplay::ProcessMade(int photos) {
    ShowFromStart(photos);
    // The new process may be started even while a Start pressed for the one
    // before still waits; the way back belonged to that one.
    controls_.Update([](RunControlState& s) {
        s.processMade = true;
        s.startHeld = false;
        s.turnBackOpen = false;
    });
}

void ShootDisplay::ShowFromStart(int photos) {
    ui_.gProces->setRange(0, photos);
    ResetProgress();
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

void ShootDisplay::ResetProgress() {
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
        cameraWait_ = new CameraWaitWindow(window_, [this](bool copy) {
            if (endCameraWait_) {
                endCameraWait_(copy);
            }
        });
    }
    cameraWait_->ShowWait(whole, expected, offerCopy);
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
