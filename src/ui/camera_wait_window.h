#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

// The small window of the end of a run's wait for the camera: how many of
// the photos are there, "Copy now" when the run copies by itself, and "Stop
// waiting". Not modal: the main window stays usable, and the run goes on
// looking at the folder while the window is up.
class CameraWaitWindow : public QDialog {
    Q_OBJECT

public:
    // `end` ends the wait: true with the copy.
    CameraWaitWindow(QWidget* parent, std::function<void(bool copy)> end);

    // Shows the count, and the window when it is not up yet.
    void ShowWait(int whole, int expected, bool offerCopy);

private:
    QLabel* text_;
    QPushButton* copyNow_;
};
