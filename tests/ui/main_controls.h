#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>
#include <QtGlobal>

#include "ui/gauge.h"
#include "ui/pie_chart.h"
#include "ui/up_down.h"

// The main window's controls, found by their names, as a user's tools find
// them; a control missing from the window fails the test at once.
class MainControls {
public:
    explicit MainControls(QWidget& window) : window_(window) {}

private:
    QWidget& window_;
    template <typename T>
    T* Find(const char* name) const {
        T* control = window_.findChild<T*>(name);
        if (control == nullptr) {
            qFatal("the main window has no control %s", name);
        }
        return control;
    }

public:
    QAction* Novi1 = Find<QAction>("Novi1");
    QAction* Uitaj1 = Find<QAction>("Uitaj1");
    QAction* Snimi1 = Find<QAction>("Snimi1");
    QAction* Parametri1 = Find<QAction>("Parametri1");
    QAction* Izlaz1 = Find<QAction>("Izlaz1");
    QAction* Oprogramu1 = Find<QAction>("Oprogramu1");
    QTabWidget* pcMain = Find<QTabWidget>("pcMain");
    QComboBox* cbRotiranjeTip = Find<QComboBox>("cbRotiranjeTip");
    QLineEdit* txtBrojSlika = Find<QLineEdit>("txtBrojSlika");
    QLineEdit* txtPeriodRotacije = Find<QLineEdit>("txtPeriodRotacije");
    UpDown* udPeriodRotacije = Find<UpDown>("udPeriodRotacije");
    QToolButton* btnDirLeft = Find<QToolButton>("btnDirLeft");
    QToolButton* btnDirRight = Find<QToolButton>("btnDirRight");
    QLineEdit* txtTrajanjeFokusa = Find<QLineEdit>("txtTrajanjeFokusa");
    UpDown* udFocusTrajanje = Find<UpDown>("udFocusTrajanje");
    QLineEdit* txtTrajanjeBlende = Find<QLineEdit>("txtTrajanjeBlende");
    UpDown* udTrajanjeBlende = Find<UpDown>("udTrajanjeBlende");
    QLineEdit* txtMedjuPauza = Find<QLineEdit>("txtMedjuPauza");
    UpDown* udMedjuPauza = Find<UpDown>("udMedjuPauza");
    QLabel* lblProgresKoraka = Find<QLabel>("lblProgresKoraka");
    Gauge* gProces = Find<Gauge>("gProces");
    QPushButton* btnKreirajProces = Find<QPushButton>("btnKreirajProces");
    QPushButton* btnEditujProces = Find<QPushButton>("btnEditujProces");
    QCheckBox* ckAutoStart = Find<QCheckBox>("ckAutoStart");
    QCheckBox* ckAutoPauza = Find<QCheckBox>("ckAutoPauza");
    QPushButton* btnStart = Find<QPushButton>("btnStart");
    QPushButton* btnPauza = Find<QPushButton>("btnPauza");
    QPushButton* btnStop = Find<QPushButton>("btnStop");
    QToolButton* btnNaPocetak = Find<QToolButton>("btnNaPocetak");
    QLabel* lblProcesRotiranje = Find<QLabel>("lblProcesRotiranje");
    QLabel* lblProcesFotografisanje = Find<QLabel>("lblProcesFotografisanje");
    QLabel* lblProcesPauza = Find<QLabel>("lblProcesPauza");
    PieChart* ChartProces = Find<PieChart>("ChartProces");
    QListWidget* lbFotosList = Find<QListWidget>("lbFotosList");
    QLineEdit* txtFotosSrcDir = Find<QLineEdit>("txtFotosSrcDir");
    QToolButton* btnFotosChooseNewDir = Find<QToolButton>("btnFotosChooseNewDir");
    QLineEdit* txtFotosDestDir = Find<QLineEdit>("txtFotosDestDir");
    QToolButton* btnFotosChooseDestDir = Find<QToolButton>("btnFotosChooseDestDir");
    QCheckBox* ckFotosAutoCopy = Find<QCheckBox>("ckFotosAutoCopy");
    QCheckBox* ckFotosAutoNameDir = Find<QCheckBox>("ckFotosAutoNameDir");
    QCheckBox* ckFotosCheck = Find<QCheckBox>("ckFotosCheck");
    QPushButton* btnFotosKopirajSlike = Find<QPushButton>("btnFotosKopirajSlike");
    QMenu* Program1 = Find<QMenu>("Program1");
    QToolBar* tbMain = Find<QToolBar>("tbMain");
    QStatusBar* sbMain = Find<QStatusBar>("sbMain");
};
