// The export dialog's "Finishing" group: the product cut from its backdrop
// and framed alike in every frame, where the build can do it.
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>

#include "spin_export_dialog.h"
#include "ui_spin_export_dialog.h"

using namespace zentrivo;

namespace {

constexpr const char* kPlateFilter = "JPEG photo (*.jpg;*.jpeg)|*.jpg;*.jpeg|All files (*.*)|*.*";
constexpr const char* kNotBuiltText = "Finishing is not part of this build.";

}  // namespace

void SpinExportDialog::SetUpFinishing() {
    ui->backgroundCombo->setAccessibleName("Background");
    ui->shadowCombo->setAccessibleName("Shadow");
    ui->framingCombo->setAccessibleName("Framing");
    ui->fillSpin->setAccessibleName("Fill");
    ui->plateFileLabel->setAccessibleName("Plate file");
    ui->choosePlateButton->setAccessibleName("Choose plate...");
    ui->noPlateButton->setAccessibleName("No plate");
    ui->tablePlateButton->setAccessibleName("Table's plate");
    const bool built = FinishingBuilt();
    ui->finishGroup->setEnabled(built);
    ui->finishNote->setText(built ? QString() : QString(kNotBuiltText));
    ui->finishNote->setVisible(!built);

    const auto update = [this] { UpdateFinishing(); };
    connect(ui->backgroundCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, update);
    connect(ui->framingCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
        // One box for the spin is cropped from photos larger than a plain
        // export's frames: its own default size, until the user sets one.
        if (longEdgeFollowsFraming_) {
            const QSignalBlocker quiet(ui->longEdgeSpin);
            ui->longEdgeSpin->setValue(
                ui->framingCombo->currentIndex() == 0 ? SpinRequest{}.longEdge : kFramedLongEdge);
        }
        UpdateFinishing();
    });
    connect(ui->longEdgeSpin, qOverload<int>(&QSpinBox::valueChanged), this,
            [this] { longEdgeFollowsFraming_ = false; });
    connect(ui->tablePlateButton, &QPushButton::clicked, this, [this] {
        plate_ = tablePlate_;
        UpdateFinishing();
    });
    connect(ui->choosePlateButton, &QPushButton::clicked, this, &SpinExportDialog::ChoosePlate);
    connect(ui->noPlateButton, &QPushButton::clicked, this, [this] {
        plate_.clear();
        UpdateFinishing();
    });
    UpdateFinishing();
}

void SpinExportDialog::UpdateFinishing() {
    // Each control only where the export takes it, so that no choice the
    // dialog offers is refused as a bad request.
    const bool cut = ui->backgroundCombo->currentIndex() != 0;
    const bool framed = ui->framingCombo->currentIndex() != 0;
    ui->shadowCombo->setEnabled(cut);
    ui->fillSpin->setEnabled(framed);
    ui->choosePlateButton->setEnabled(cut || framed);
    ui->noPlateButton->setEnabled((cut || framed) && !plate_.isEmpty());
    ui->tablePlateButton->setEnabled((cut || framed) && !tablePlate_.isEmpty() &&
                                     plate_ != tablePlate_);
    ui->stillsCheck->setEnabled(cut || framed);
    ui->plateFileLabel->setText(plate_.isEmpty()        ? QString("None")
                                : plate_ == tablePlate_ ? QString("The table's")
                                                        : QFileInfo(plate_).fileName());
    ui->plateFileLabel->setToolTip(QDir::toNativeSeparators(plate_));
}

void SpinExportDialog::OfferTablePlate(const QString& path) {
    tablePlate_ = QFileInfo::exists(path) ? path : QString();
    UpdateFinishing();
}

void SpinExportDialog::ChoosePlate() {
    if (const auto chosen = dialogs_.OpenFileName(this, kPlateFilter, "jpg")) {
        plate_ = *chosen;
        UpdateFinishing();
    }
}

SpinFinish SpinExportDialog::Finish() const {
    SpinFinish finish;
    if (!FinishingBuilt()) {
        return finish;  // as shot, as the build can do no other
    }
    // In the order of the combo box's items.
    constexpr SpinFinish::Background kBackgrounds[] = {SpinFinish::Background::kAsShot,
                                                       SpinFinish::Background::kWhite,
                                                       SpinFinish::Background::kTransparent};
    finish.background = kBackgrounds[std::max(0, ui->backgroundCombo->currentIndex())];
    finish.framing = ui->framingCombo->currentIndex() == 0 ? SpinFinish::Framing::kAsShot
                                                           : SpinFinish::Framing::kSpin;
    if (!finish.Any()) {
        return finish;
    }
    finish.dropShadow = finish.background != SpinFinish::Background::kAsShot &&
                        ui->shadowCombo->currentIndex() == 1;
    if (finish.framing == SpinFinish::Framing::kSpin) {
        finish.fillPercent = ui->fillSpin->value();
    }
    if (!plate_.isEmpty()) {
        finish.plate = std::filesystem::u8path(QDir::cleanPath(plate_).toStdString());
    }
    finish.stills = ui->stillsCheck->isChecked();
    return finish;
}
