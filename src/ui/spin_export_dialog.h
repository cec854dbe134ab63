#pragma once

#include <QDialog>
#include <atomic>
#include <thread>

#include "dialogs.h"
#include "spin/spin_request.h"

namespace Ui {
class SpinExportDialog;
}

// "Export 360° View...": the photos of a turn made into a viewer, an
// animated WebP and a video. The export runs beside the window, which shows
// its progress and can cancel it; every message goes through `Dialogs`.
class SpinExportDialog : public QDialog {
    Q_OBJECT

public:
    // `source` is offered first: the folder of the last copy, as a rule.
    SpinExportDialog(Dialogs& dialogs, const QString& source, QWidget* parent = nullptr);
    // Cancels an export still running and waits for it to stop.
    ~SpinExportDialog() override;

    // The clean plate taken from the table, offered when it is there.
    void OfferTablePlate(const QString& path);

    Ui::SpinExportDialog* ui;
    bool Exporting() const { return worker_.joinable(); }
    zentrivo::SpinRequest Request() const;

public slots:
    void Export();
    void CloseOrCancel();
    void reject() override;

private:
    void ChooseFolder(bool source);
    void SourceChanged();
    void ShowProgress(const zentrivo::SpinProgress& progress);
    void Finished(const zentrivo::SpinResult& result);
    void SetInputsEnabled(bool enabled);
    // The "Finishing" group, in spin_export_finishing.cpp.
    void SetUpFinishing();
    void UpdateFinishing();
    void ChoosePlate();
    zentrivo::SpinFinish Finish() const;

    Dialogs& dialogs_;
    bool targetFollowsSource_ = true;
    QString plate_;       // the empty table's photo; empty: none
    QString tablePlate_;  // the plate taken from the table; empty: none
    // The long edge is the framing's default until the user sets it.
    bool longEdgeFollowsFraming_ = true;
    std::atomic<bool> cancel_{false};
    std::thread worker_;
};
