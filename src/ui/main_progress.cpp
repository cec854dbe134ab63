#include "main_window.h"
#include "progress.h"
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

}  // namespace

void TfrmMain::ShowProgress() {
    const ProgressGauge& g = ui->gProces->values();
    ui->lblProgresKoraka->setText(QString::fromStdString(StepText(g)));
    // The pie is rebuilt, never edited: "Remaining" first, then "Completed".
    ui->ChartProces->clear();
    for (const PieSlice& slice : PieSlices(g)) {
        ui->ChartProces->add(slice.label, static_cast<int>(slice.value), ToQColor(slice.colour));
    }
}

void TfrmMain::ResetProgress() {
    ui->gProces->setProgress(0);
    ShowProgress();
}

void TfrmMain::AdvanceProgress() {
    ui->gProces->advance();
    ShowProgress();
}

void TfrmMain::HighlightPhase(const QString& letter) {
    const Phase phase = PhaseForLetter(letter.toStdString());
    Underline(ui->lblProcesRotiranje, phase == Phase::kRotation);
    Underline(ui->lblProcesFotografisanje, phase == Phase::kPhotography);
    Underline(ui->lblProcesPauza, phase == Phase::kPause);
}
