#pragma once

#include <QDialog>

#include "dialogs.h"

namespace Ui {
class TfrmParametri;
}

// The Parameters dialog: the machine settings (COM port, motor steps, gear
// ratio). Made once and reused; it keeps its controls between openings.
class TfrmParametri : public QDialog {
    Q_OBJECT

public:
    TfrmParametri(Dialogs& dialogs, QWidget* parent = nullptr);
    ~TfrmParametri() override;

    Ui::TfrmParametri* ui;

public slots:
    void btnOkClick();

private:
    void FormCreate();

    Dialogs& dialogs_;
};
