#pragma once

#include <QLabel>
#include <QString>

class DevicePanel;
class QStatusBar;

// The main window's status bar: the clock, the device state, the process
// state, the new photos and, at the right, the time left of a run and the
// camera the program downloads from.
class MainStatusBar {
public:
    explicit MainStatusBar(QStatusBar* bar);

    // The text of panel 0 to 4, in that order.
    QString Text(int panel) const;
    DevicePanel* Device() const { return device_; }

    // The clock's tick: the time and what the run is doing.
    void Tick(const QString& processState);
    void ShowDeviceState(int state);
    void ShowPhotos(const QString& text);
    void ShowTimeLeft(const QString& text) { timeLeft_->setText(text); }
    // Panel 5: "Camera: <model>"; hidden when empty.
    void ShowCamera(const QString& text);

private:
    QStatusBar* bar_;
    QLabel* clock_ = nullptr;
    DevicePanel* device_ = nullptr;
    QLabel* process_ = nullptr;
    QLabel* photos_ = nullptr;
    QLabel* timeLeft_ = nullptr;
    QLabel* camera_ = nullptr;
    int photosWidth_ = 0;
};
