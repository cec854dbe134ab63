#include "camera_wait_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CameraWaitWindow::CameraWaitWindow(QWidget* parent, std::function<void(bool copy)> end)
    : QDialog(parent) {
    setObjectName("CameraWait");
    setWindowTitle("Waiting for the camera");
    setModal(false);
    text_ = new QLabel(this);
    text_->setObjectName("lblCameraWait");
    copyNow_ = new QPushButton("Copy now", this);
    copyNow_->setObjectName("btnCopyNow");
    auto* stop = new QPushButton("Stop waiting", this);
    stop->setObjectName("btnStopWaiting");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copyNow_);
    buttons->addWidget(stop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
    connect(copyNow_, &QPushButton::clicked, this, [end] { end(true); });
    connect(stop, &QPushButton::clicked, this, [end] { end(false); });
    // Closing the window stops the wait as "Stop waiting" does.
    connect(this, &QDialog::rejected, this, [end] { end(false); });
}

void CameraWaitWindow::ShowWait(int whole, int expected, bool offerCopy) {
    text_->setText(QString("Waiting for the camera: %1 of %2 photos").arg(whole).arg(expected));
    copyNow_->setVisible(offerCopy);
    if (!isVisible()) {
        show();
    }
}
