#include "parametri.h"

#include "accessible_names.h"
#include "camera_choice.h"
#include "core/process/parameter_checks.h"
#include "core/serial/port_choice.h"
#include "core/whole_number.h"
#include "port_list.h"
#include "run/camera_tether.h"
#include "serial_port_discovery.h"
#include "ui_parametri.h"
#include "window_look.h"

TfrmParametri::TfrmParametri(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                          Qt::WindowTitleHint),
      ui(new Ui::TfrmParametri),
      dialogs_(dialogs) {
    ui->setupUi(this);
    portList_ = new PortList(ui->cbComDevice, std::make_unique<SerialPortDiscovery>());
    UseProgramFont(this);
    QFont ratioFont = ui->lblJedanDvotacka->font();
    ratioFont.setPixelSize(13);
    ui->lblJedanDvotacka->setFont(ratioFont);
    ui->udComPort->setBuddy(ui->txtComPort);
    NameByLabels({{ui->txtComPort, ui->lblComPort},
                  {ui->cbComDevice, ui->lblComDevice},
                  {ui->txtBrojKoraka, ui->lblBrojKoraka},
                  {ui->txtOdnosPrenosa, ui->lblOdnosPrenosa}});
    ui->pgParametri->setAccessibleName("Parameters");
    ui->lstCameras->setAccessibleName("Cameras found");
    ui->txtCameraPort->setAccessibleName("Camera port");
    KeepCaptionsWhole(this);
    setFixedSize(314, 273);
    connect(ui->btnOk, &QPushButton::clicked, this, &TfrmParametri::btnOkClick);
    connect(this, &QDialog::finished, portList_, &PortList::StopFollowing);
    if (CameraTether::Available()) {
        cameraChoice_ = new CameraChoice(*ui, this);
        connect(this, &QDialog::finished, cameraChoice_, &CameraChoice::StopLooking);
    } else {
        // No camera library in this build: photos come from the folder.
        ui->pgParametri->removeTab(ui->pgParametri->indexOf(ui->tabCamera));
    }
    connect(ui->cbComDevice, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        // Where ports are named by number, choosing COM5 sets the number 5.
        const std::int32_t number =
            zentrivo::ComNumberOf(ui->cbComDevice->itemText(index).toStdString());
        if (zentrivo::kPortListSetsComNumber && number > 0) {
            ui->udComPort->setPosition(number);
        }
    });
    FormCreate();
}

TfrmParametri::~TfrmParametri() {
    delete ui;
}

std::optional<zentrivo::TOpcije> TfrmParametri::Choose(const zentrivo::TOpcije& current) {
    ShowSettings(current);
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return ChosenSettings(current);
}

void TfrmParametri::ShowSettings(const zentrivo::TOpcije& current) {
    ui->udComPort->setPosition(current.ComPort);
    ui->txtBrojKoraka->setText(QString::number(current.BrojKoraka));
    ui->txtOdnosPrenosa->setText(QString::number(current.OdnosPrenosa));
    portList_->Show(QString::fromStdString(current.ComDevice));
    ui->ckFastPace->setChecked(current.FastPace);
    if (cameraChoice_ != nullptr) {
        cameraChoice_->Show(QString::fromStdString(current.CameraPort),
                            QString::fromStdString(current.CameraModel), current.CameraTrigger);
    }
}

zentrivo::TOpcije TfrmParametri::ChosenSettings(const zentrivo::TOpcije& current) const {
    zentrivo::TOpcije chosen = current;
    chosen.ComPort = ui->udComPort->position();
    chosen.BrojKoraka = zentrivo::WholeNumberOrThrow(ui->txtBrojKoraka->text().toStdString());
    chosen.OdnosPrenosa = zentrivo::WholeNumberOrThrow(ui->txtOdnosPrenosa->text().toStdString());
    // Where the list sets the COM number, the number is the choice.
    if (!zentrivo::kPortListSetsComNumber) {
        chosen.ComDevice = portList_->Chosen().toStdString();
    }
    chosen.FastPace = ui->ckFastPace->isChecked();
    if (cameraChoice_ != nullptr) {
        chosen.CameraPort = cameraChoice_->Port().toStdString();
        chosen.CameraModel = cameraChoice_->Model().toStdString();
        chosen.CameraTrigger = cameraChoice_->Trigger();
    }
    return chosen;
}

void TfrmParametri::SetPortDiscovery(std::unique_ptr<PortDiscovery> discovery) {
    portList_->SetDiscovery(std::move(discovery));
}

void TfrmParametri::UseTether(CameraTether& tether) {
    if (cameraChoice_ != nullptr) {
        cameraChoice_->UseTether(tether);
    }
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
