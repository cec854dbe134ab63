#include "main_window.h"

#include "proces_edit.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QScreen>

#include "accessible_names.h"
#include "core/paths.h"
#include "core/serial/commu.h"
#include "main_status_bar.h"
#include "parametri.h"
#include "shoot_display.h"
#include "ui_main_window.h"
#include "window_look.h"
#include "zentrivo_application.h"

using namespace zentrivo;

// The images live in the static UI library; make sure they are registered
// whichever program links it.
static void LoadImages() {
    Q_INIT_RESOURCE(zentrivo);
}

TfrmMain::TfrmMain(const QString& appDir, std::unique_ptr<Dialogs> dialogs, QWidget* parent)
    : QMainWindow(parent), ui(new Ui::TfrmMain), dialogs_(std::move(dialogs)), AppDir_(appDir) {
    LoadImages();
    ui->setupUi(this);
    SetUpLook();
    statusBar_ = std::make_unique<MainStatusBar>(ui->sbMain);
    AddMenuActions();
    display_ = std::make_unique<ShootDisplay>(this, *ui, *dialogs_, *statusBar_, resumeAction_);
    shoot_ = std::make_unique<Shoot>(Options, AppDir_.toStdString(), *display_);
    display_->OnEndCameraWait([this](bool copy) { shoot_->EndCameraWait(copy); });
    ConnectHandlers();
    SetErrorReporter([this](const QString& text) { ShowUnhandledError(*dialogs_, this, text); });
    // The port layer tells of its own failures in a plain box titled with
    // the window's caption.
    SetCommMessageSink([this](const std::string& text) {
        dialogs_->Notify(this, windowTitle(), QString::fromStdString(text), Dialogs::Icon::None);
    });

    tmrSat.setInterval(800);
    FormCreate();
    tmrSat.start();

    resize(837, 573);
    if (const QScreen* s = screen()) {
        move(s->availableGeometry().center() - rect().center());
    }
}

TfrmMain::~TfrmMain() {
    tmrSat.stop();
    // The shoot closes the port and tells nobody: the window is going.
    shoot_.reset();
    SetErrorReporter(nullptr);
    SetCommMessageSink(nullptr);
    delete ui;
}

void TfrmMain::AttachDialogs(TfrmProcesEdit* procesEdit, TfrmParametri* parametri) {
    frmProcesEdit_ = procesEdit;
    frmParametri_ = parametri;
    parametri->UseTether(shoot_->Photos().Camera());
}

void TfrmMain::FormCreate() {
    SettingsFile = std::make_unique<IniFile>(JoinPath(AppDir_.toStdString(), kSettingsFileName));
    Options = LoadOptions(*SettingsFile, DefaultPhotoFolder());
    ShowOptions();
    FollowChoices();
    ui->pcMain->setCurrentIndex(0);
    AppTitle_ = windowTitle();
    shoot_->WatchCameraFolder();
    shoot_->UseCamera(false);
    DefaultProfile_ = CaptureProfile();
    ProfileName_ = kNewProfileName;
    RefreshCaption();
}

void TfrmMain::SetUpLook() {
    UseProgramFont(this);
    for (QLabel* title : {ui->pnlLeftTitle, ui->Panel2, ui->pnlFolderTitle}) {
        StyleTitleBar(title);
    }
    for (QLabel* phase :
         {ui->lblProcesRotiranje, ui->lblProcesFotografisanje, ui->lblProcesPauza}) {
        StylePhaseLabel(phase);
    }
    QFont stepFont = ui->lblProgresKoraka->font();
    stepFont.setPixelSize(16);
    ui->lblProgresKoraka->setFont(stepFont);
    for (QLineEdit* folder : {ui->txtFotosSrcDir, ui->txtFotosDestDir}) {
        QPalette pal = folder->palette();
        pal.setColor(QPalette::Text, Qt::gray);
        folder->setPalette(pal);
    }
    ui->udPeriodRotacije->setBuddy(ui->txtPeriodRotacije);
    ui->udFocusTrajanje->setBuddy(ui->txtTrajanjeFokusa);
    ui->udTrajanjeBlende->setBuddy(ui->txtTrajanjeBlende);
    ui->udMedjuPauza->setBuddy(ui->txtMedjuPauza);
    ui->ChartProces->setTitle("Process");
    // Fit the pause button to the longer of its two captions.
    ui->btnPauza->setText("&Continue");
    KeepCaptionsWhole(this);
    ui->btnPauza->setText("&Pause");
    // The left pane is as drawn unless a caption on its tabs needs more.
    const int tabsRight =
        std::max(ContentRight(ui->tabRotiranje), ContentRight(ui->tabFotografisanje));
    const int paneWidth = std::max(185, tabsRight + 12);
    ui->pnlLeft->setMinimumWidth(paneWidth);
    ui->pnlLeft->setMaximumWidth(paneWidth);
    ui->pnlProces->installEventFilter(this);
    setWindowIcon(QIcon(":/icons/app.svg"));
    NameToolbarButtons();
    NameForAssistiveTechnology();
}

void TfrmMain::NameToolbarButtons() {
    const std::pair<QAction*, const char*> buttons[] = {{ui->Novi1, "tbNovi"},
                                                        {ui->Uitaj1, "tbUcitaj"},
                                                        {ui->Snimi1, "tbSnimi"},
                                                        {ui->Parametri1, "bParametri"}};
    for (const auto& [action, name] : buttons) {
        if (QWidget* button = ui->tbMain->widgetForAction(action)) {
            button->setObjectName(name);
            button->setAccessibleName(action->text().remove('&'));
        }
    }
}

void TfrmMain::NameForAssistiveTechnology() {
    NameImageButtons(this);
    NameByLabels({{ui->cbRotiranjeTip, ui->lblTipRotacije},
                  {ui->txtBrojSlika, ui->lblBrojSlika},
                  {ui->txtPeriodRotacije, ui->lblPeriodRotacije},
                  {ui->txtTrajanjeFokusa, ui->lblFokus},
                  {ui->txtTrajanjeBlende, ui->lblBlenda},
                  {ui->txtMedjuPauza, ui->lblPauza},
                  {ui->txtFotosSrcDir, ui->lblFotosSrcDir},
                  {ui->txtFotosDestDir, ui->lblFotosDestDir}});
    ui->pcMain->setAccessibleName("Shoot parameters");
    ui->lbFotosList->setAccessibleName("New photos");
    ui->gProces->setAccessibleName("Process progress");
}

void TfrmMain::ConnectHandlers() {
    // Every handler runs guarded: an error it raises is shown here, at its
    // edge, instead of unwinding through the toolkit's own code.
    connect(ui->Izlaz1, &QAction::triggered, this, Guarded(&TfrmMain::Izlaz1Click));
    connect(ui->Oprogramu1, &QAction::triggered, this, Guarded(&TfrmMain::Oprogramu1Click));
    connect(ui->Parametri1, &QAction::triggered, this, Guarded(&TfrmMain::Parametri1Click));
    connect(ui->Novi1, &QAction::triggered, this, Guarded(&TfrmMain::Novi1Click));
    connect(ui->Uitaj1, &QAction::triggered, this, Guarded(&TfrmMain::Uitaj1Click));
    connect(ui->Snimi1, &QAction::triggered, this, Guarded(&TfrmMain::Snimi1Click));
    connect(&tmrSat, &QTimer::timeout, this, Guarded(&TfrmMain::tmrSatTimer));
    connect(ui->btnKreirajProces, &QPushButton::clicked, this,
            Guarded(&TfrmMain::btnKreirajProcesClick));
    connect(ui->btnEditujProces, &QPushButton::clicked, this,
            Guarded(&TfrmMain::btnEditujProcesClick));
    connect(ui->btnStart, &QPushButton::clicked, this, Guarded(&TfrmMain::btnStartClick));
    connect(ui->btnPauza, &QPushButton::clicked, this, Guarded(&TfrmMain::btnPauzaClick));
    connect(ui->btnStop, &QPushButton::clicked, this, Guarded(&TfrmMain::btnStopClick));
    connect(ui->btnNaPocetak, &QToolButton::clicked, this, Guarded(&TfrmMain::btnNaPocetakClick));
    connect(ui->lbFotosList, &QListWidget::itemDoubleClicked, this,
            Guarded(&TfrmMain::lbFotosListDblClick));
    connect(ui->btnFotosChooseNewDir, &QToolButton::clicked, this,
            Guarded(&TfrmMain::btnFotosChooseNewDirClick));
    connect(ui->btnFotosChooseDestDir, &QToolButton::clicked, this,
            Guarded(&TfrmMain::btnFotosChooseDestDirClick));
    connect(ui->btnFotosKopirajSlike, &QPushButton::clicked, this,
            Guarded(&TfrmMain::btnFotosKopirajSlikeClick));
    // Only a choice the user makes runs the rule, not a value set by the
    // program.
    connect(ui->cbRotiranjeTip, &QComboBox::activated, this,
            Guarded(&TfrmMain::cbRotiranjeTipChange));
    ui->txtBrojSlika->installEventFilter(this);
}

void TfrmMain::ShowOptions() {
    ui->ckAutoStart->setChecked(Options.AutoStart);
    ui->ckAutoPauza->setChecked(Options.AutoPauza);
    ui->txtFotosDestDir->setText(QString::fromStdString(Options.FotosCopyDir));
    ui->txtFotosSrcDir->setText(QString::fromStdString(Options.FotosDir));
    ui->ckFotosAutoCopy->setChecked(Options.FotosAutoCopy);
    ui->ckFotosAutoNameDir->setChecked(Options.FotosAutoNameDir);
    ui->ckFotosCheck->setChecked(Options.FotosCheck);
}

void TfrmMain::FollowChoices() {
    // The shoot reads the choices from the settings as they are at each
    // step, so a box ticked during a run counts from then on.
    const std::pair<QCheckBox*, bool TOpcije::*> boxes[] = {
        {ui->ckAutoStart, &TOpcije::AutoStart},
        {ui->ckAutoPauza, &TOpcije::AutoPauza},
        {ui->ckFotosAutoCopy, &TOpcije::FotosAutoCopy},
        {ui->ckFotosAutoNameDir, &TOpcije::FotosAutoNameDir},
        {ui->ckFotosCheck, &TOpcije::FotosCheck}};
    for (const auto& [box, choice] : boxes) {
        connect(box, &QCheckBox::toggled, this,
                [this, member = choice](bool checked) { Options.*member = checked; });
    }
}

TPreferences TfrmMain::CurrentPreferences() const {
    TPreferences p;
    p.AutoStart = ui->ckAutoStart->isChecked();
    p.AutoPauza = ui->ckAutoPauza->isChecked();
    p.FotosDir = Options.FotosDir;
    p.FotosCopyDir = Options.FotosCopyDir;
    p.FotosAutoCopy = ui->ckFotosAutoCopy->isChecked();
    p.FotosAutoNameDir = ui->ckFotosAutoNameDir->isChecked();
    p.FotosCheck = ui->ckFotosCheck->isChecked();
    return p;
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (FormClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

bool TfrmMain::FormClose() {
    if (!SettingsFile) {
        return true;  // already shut down
    }
    // Besides a tick's wait, the connection test and the return to the
    // start wait for the device too; closing in the middle of either would
    // pull the port and the photo lists from under them.
    if (shoot_->WaitingForDevice()) {
        dialogs_->Notify(this, "Error",
                         "Application can not exit right now because it is waiting for a reply "
                         "from the device !\r\n\r\nPlease wait a few seconds and try again.",
                         Dialogs::Icon::Error);
        return false;
    }
    // A copy in hand would lose its folder and its result box.
    if (shoot_->BusyWithPhotos()) {
        dialogs_->Notify(this, "Error", CameraPhotos::BusyText("Application can not exit"),
                         Dialogs::Icon::Error);
        return false;
    }
    if (dialogs_->Message(this, "Close", "Are you sure you want to exit ?", Dialogs::Icon::Question,
                          Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) {
        return false;
    }
    // No timer may tick against what the steps below release.
    tmrSat.stop();
    shoot_->Close();
    try {
        SavePreferences(*SettingsFile, CurrentPreferences());
    } catch (const std::exception& e) {
        // The user asked to leave: say what could not be kept, then leave.
        ShowUnhandledError(*dialogs_, this, QString::fromLocal8Bit(e.what()));
    }
    SettingsFile.reset();
    shoot_->Disconnect();
    return true;
}

void TfrmMain::Izlaz1Click() {
    close();
}

void TfrmMain::Oprogramu1Click() {
    dialogs_->Notify(this, "About",
                     QString("Zentrivo %1, by the Zentrivo developers\r\n"
                             "See README.md in the Zentrivo source folder")
                         .arg(QStringLiteral(ZENTRIVO_VERSION)),
                     Dialogs::Icon::Information);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->pnlProces && event->type() == QEvent::Resize) {
        StretchProcessPanel();
    } else if (watched == ui->txtBrojSlika && event->type() == QEvent::FocusOut &&
               MovesToAnotherControl(*static_cast<QFocusEvent*>(event))) {
        txtBrojSlikaExit();
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TfrmMain::MovesToAnotherControl(const QFocusEvent& event) const {
    // The field is left when the user moves on to another control of this
    // window (Tab, a click, a mnemonic). A menu that opens, a message box or
    // another program taking the focus leave what was typed as it is, so a
    // profile saved from the menu holds the number the field shows.
    switch (event.reason()) {
        case Qt::PopupFocusReason:
        case Qt::ActiveWindowFocusReason:
        case Qt::MenuBarFocusReason:
            return false;
        default:
            break;
    }
    const QWidget* next = QApplication::focusWidget();
    return next != nullptr && next->window() == this;
}

void TfrmMain::StretchProcessPanel() {
    // Drawn for a panel 639 pixels wide: the gauge and the line grow with
    // the panel, the chart keeps to its right edge.
    const int w = ui->pnlProces->width();
    const int grow = w - 639;
    ui->gProces->resize(264 + grow, ui->gProces->height());
    ui->Bevel2->resize(264 + grow, ui->Bevel2->height());
    ui->ChartProces->move(281 + grow, ui->ChartProces->y());
}
