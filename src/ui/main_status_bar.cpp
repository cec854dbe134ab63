#include "main_status_bar.h"

#include <QStatusBar>

#include "core/clock_text.h"
#include "device_panel.h"

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

MainStatusBar::MainStatusBar(QStatusBar* bar) : bar_(bar) {
    bar->setSizeGripEnabled(true);
    clock_ = AddTextPanel(bar, 111, "00-00-0000 00:00:00");
    device_ = new DevicePanel(bar);
    device_->setFixedWidth(std::max(180, device_->sizeHint().width()));
    bar->addWidget(device_);
    process_ = AddTextPanel(bar, 135, "Process not started.");
    photos_ = AddTextPanel(bar, 250, "New Photos: 000000");
    photosWidth_ = photos_->width();
    // A screen reader reads a text panel by its text, the time or the state
    // itself; what the panel is comes as its description.
    clock_->setAccessibleDescription("Clock");
    device_->setAccessibleDescription("Device state");
    process_->setAccessibleDescription("Process state");
    photos_->setAccessibleDescription("New photos");
    // The time left of a run keeps to the right edge, clear of the panels
    // before it; empty when no run goes on.
    timeLeft_ = new QLabel(bar);
    timeLeft_->setMinimumWidth(timeLeft_->fontMetrics().horizontalAdvance("Time left: 00:00:00") +
                               8);
    bar->addPermanentWidget(timeLeft_);
    timeLeft_->setAccessibleDescription("Time left");
    // The camera the program downloads from, at the right; shown only while
    // one is chosen.
    camera_ = new QLabel(bar);
    camera_->setAccessibleDescription("Camera");
    camera_->hide();
    bar->addPermanentWidget(camera_);
}

void MainStatusBar::ShowCamera(const QString& text) {
    camera_->setText(text);
    camera_->setVisible(!text.isEmpty());
    // The camera's panel takes the room the photo count does not need, so
    // that both fit the window's width beside the time left.
    photos_->setFixedWidth(
        text.isEmpty() ? photosWidth_
                       : photos_->fontMetrics().horizontalAdvance("New Photos: 000000") + 8);
}

QString MainStatusBar::Text(int panel) const {
    switch (panel) {
        case 0:
            return clock_->text();
        case 1:
            return device_->text();
        case 2:
            return process_->text();
        case 4:
            return timeLeft_->text();
        case 5:
            return camera_->text();
        default:
            return photos_->text();
    }
}

void MainStatusBar::Tick(const QString& processState) {
    clock_->setText(QString::fromStdString(ClockText(LocalNow())));
    process_->setText(processState);
}

void MainStatusBar::ShowDeviceState(int state) {
    device_->setState(state);
    device_->repaint();
    bar_->repaint();
}

void MainStatusBar::ShowPhotos(const QString& text) {
    photos_->setText(text);
    photos_->repaint();
}
