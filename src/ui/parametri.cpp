#include "parametri.h"

#include "parameter_checks.h"
#include "ui_parametri.h"
#include "window_look.h"

TfrmParametri::TfrmParametri(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                          Qt::WindowTitleHint),
      ui(new Ui::TfrmParametri),
      dialogs_(dialogs) {
    ui->setupUi(this);
    UseProgramFont(this);
    QFont ratioFont = ui->lblJedanDvotacka->font();
    ratioFont.setPixelSize(13);
    ui->lblJedanDvotacka->setFont(ratioFont);
    ui->udComPort->setBuddy(ui->txtComPort);
    KeepCaptionsWhole(this);
    setFixedSize(314, 273);
    connect(ui->btnOk, &QPushButton::clicked, this, &TfrmParametri::btnOkClick);
    FormCreate();
}

TfrmParametri::~TfrmParametri() {
    delete ui;
}

void TfrmParametri::FormCreate() {
    ui->pgParametri->setCurrentIndex(0);
}

void TfrmParametri::btnOkClick() {
    const auto check = zentrivo::CheckParameters(ui->txtComPort->text().toStdString(),
                                                 ui->txtBrojKoraka->text().toStdString(),
                                                 ui->txtOdnosPrenosa->text().toStdString());
    for (const auto& problem : check.problems) {
        dialogs_.Notify(this, "Greška", QString::fromStdString(problem.message),
                        Dialogs::Icon::Error);
        ui->pgParametri->setCurrentIndex(problem.page);
    }
    if (check.ratioReplacement) {
        ui->txtOdnosPrenosa->setText(QString::fromStdString(*check.ratioReplacement));
    }
    if (check.problems.empty()) {
        accept();
    }
}
