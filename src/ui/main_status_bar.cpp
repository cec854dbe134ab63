#include <QStatusBar>

#include "clock_text.h"
#include "device_panel.h"
#include "main_window.h"
#include "ui_main_window.h"

using namespace zentrivo;

namespace {

// A panel keeps its designed width unless its text needs more.
QLabel* AddTextPanel(QStatusBar* bar, int width, const QString& widestText) {
    auto* panel = new QLabel(bar);
    panel->setFixedWidth(std::max(width, panel->fontMetrics().horizontalAdvance(widestText) + 8));
    bar->addWidget(panel);
    return panel;
}

}  // namespace

void TfrmMain::SetUpStatusBar() {
    QStatusBar* bar = ui->sbMain;
    bar->setSizeGripEnabled(true);
    sbClock_ = AddTextPanel(bar, 111, "00-00-0000 00:00:00");
    devicePanel_ = new DevicePanel(bar);
    devicePanel_->setFixedWidth(std::max(180, devicePanel_->sizeHint().width()));
    bar->addWidget(devicePanel_);
    sbProcess_ = AddTextPanel(bar, 135, "Process not started.");
    sbPhotos_ = AddTextPanel(bar, 250, "New Photos: 000000");
    // A screen reader reads a text panel by its text, the time or the state
    // itself; what the panel is comes as its description.
    sbClock_->setAccessibleDescription("Clock");
    devicePanel_->setAccessibleDescription("Device state");
    sbProcess_->setAccessibleDescription("Process state");
    sbPhotos_->setAccessibleDescription("New photos");
    // The time left of a run keeps to the right edge, clear of the panels
    // before it; empty when no run goes on.
    sbTimeLeft_ = new QLabel(bar);
    sbTimeLeft_->setMinimumWidth(
        sbTimeLeft_->fontMetrics().horizontalAdvance("Time left: 00:00:00") + 8);
    bar->addPermanentWidget(sbTimeLeft_);
    sbTimeLeft_->setAccessibleDescription("Time left");
}

QString TfrmMain::StatusText(int panel) const {
    switch (panel) {
        case 0:
            return sbClock_->text();
        case 1:
            return devicePanel_->text();
        case 2:
            return sbProcess_->text();
        case 4:
            return sbTimeLeft_->text();
        default:
            return sbPhotos_->text();
    }
}

void TfrmMain::RepaintStatusBar() {
    devicePanel_->setState(DeviceState());
    devicePanel_->repaint();
    ui->sbMain->repaint();
}

void TfrmMain::tmrSatTimer() {
    sbClock_->setText(QString::fromStdString(ClockText(LocalNow())));
    sbProcess_->setText(ProcessStateText(Process.ProcessState));
}
