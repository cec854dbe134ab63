#include "camera_choice.h"

#include <algorithm>

#include <QListWidget>

#include "run/camera_tether.h"
#include "ui_parametri.h"

namespace {

// How often the page looks for cameras: one plugged in shows within that.
constexpr int kRescanMs = 2000;

// A network camera is always the library's generic PTP/IP camera.
QString ModelForTypedPort(const QString& port) {
    return port.startsWith("ptpip:") ? "PTP/IP Camera" : QString();
}

}  // namespace

CameraChoice::CameraChoice(Ui::TfrmParametri& ui, QObject* parent) : QObject(parent), ui_(ui) {
    rescan_.setInterval(kRescanMs);
    connect(&rescan_, &QTimer::timeout, this, [this] {
        if (tether_ != nullptr) {
            tether_->Detect();
        }
    });
    connect(ui_.lstCameras, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < foundPorts_.size()) {
            ui_.txtCameraPort->setText(foundPorts_[row]);
            model_ = foundModels_[row];
            ui_.rbPhotosFromCamera->setChecked(true);
        }
    });
    connect(ui_.txtCameraPort, &QLineEdit::textEdited, this, [this](const QString& port) {
        const int found = foundPorts_.indexOf(port.trimmed());
        model_ = found >= 0 ? foundModels_[found] : ModelForTypedPort(port.trimmed());
        if (!port.trimmed().isEmpty()) {
            ui_.rbPhotosFromCamera->setChecked(true);
        }
    });
    connect(ui_.rbPhotosFromCamera, &QRadioButton::toggled, this, [this] { FollowChoice(); });
    FollowChoice();
}

void CameraChoice::UseTether(CameraTether& tether) {
    tether_ = &tether;
    connect(&tether, &CameraTether::CamerasFound, this, &CameraChoice::ShowFound);
}

void CameraChoice::Show(const QString& port, const QString& model, bool trigger) {
    ui_.rbPhotosFromCamera->setChecked(!port.isEmpty());
    ui_.rbPhotosFromFolder->setChecked(port.isEmpty());
    ui_.txtCameraPort->setText(port);
    ui_.ckCameraTrigger->setChecked(trigger);
    model_ = model;
    FollowChoice();
    if (tether_ != nullptr) {
        tether_->Detect();
        rescan_.start();
    }
}

void CameraChoice::ShowFound(const QStringList& labels, const QStringList& models,
                             const QStringList& ports) {
    // The same cameras again: the user's place in the list stays.
    if (ports == foundPorts_ && models == foundModels_ &&
        ui_.lstCameras->count() == std::max<qsizetype>(labels.size(), 1)) {
        return;
    }
    foundModels_ = models;
    foundPorts_ = ports;
    const QSignalBlocker quiet(ui_.lstCameras);
    ui_.lstCameras->clear();
    ui_.lstCameras->addItems(labels);
    if (labels.isEmpty()) {
        // An empty white box reads as still looking.
        auto* none = new QListWidgetItem("No camera found", ui_.lstCameras);
        none->setFlags(Qt::NoItemFlags);
    }
    const int chosen = ports.indexOf(ui_.txtCameraPort->text().trimmed());
    ui_.lstCameras->setCurrentRow(chosen);
}

void CameraChoice::FollowChoice() {
    const bool camera = ui_.rbPhotosFromCamera->isChecked();
    for (QWidget* w :
         {static_cast<QWidget*>(ui_.lstCameras), static_cast<QWidget*>(ui_.txtCameraPort),
          static_cast<QWidget*>(ui_.ckCameraTrigger)}) {
        w->setEnabled(camera);
    }
}

QString CameraChoice::Port() const {
    return ui_.rbPhotosFromCamera->isChecked() ? ui_.txtCameraPort->text().trimmed() : QString();
}

QString CameraChoice::Model() const {
    return Port().isEmpty() ? QString() : model_;
}

bool CameraChoice::Trigger() const {
    return !Port().isEmpty() && ui_.ckCameraTrigger->isChecked();
}
