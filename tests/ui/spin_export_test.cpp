#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "main_controls.h"
#include "simulated_shoot.h"
#include "spin/ffmpeg_process.h"
#include "spin/jpeg_file.h"
#include "test_app_dir.h"
#include "test_main.h"
#include "ui/spin_export_dialog.h"
#include "ui/up_down.h"
#include "ui_helpers.h"
#include "ui_spin_export_dialog.h"

namespace {

QStringList Files(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

// A folder of `count` photos of 640 x 480, 1.jpg ... as a copy leaves them.
void WritePhotos(const QString& folder, int count) {
    for (int n = 1; n <= count; ++n) {
        zentrivo::RgbImage photo(640, 480);
        std::fill(photo.pixels.begin(), photo.pixels.end(), static_cast<std::uint8_t>(n * 5));
        zentrivo::WriteJpeg(photo, QDir(folder).filePath(QString("%1.jpg").arg(n)).toStdString(),
                            90);
    }
}

}  // namespace

class SpinExportTest : public QObject {
    Q_OBJECT

private slots:
    void aShootIsExportedFromTheFileMenuAndOpened();
    void cancelAndFailuresLeaveNothingAndSayWhy();
    void withoutFfmpegTheDialogSaysSo();
    void finishingWhitensAndFramesTheStillsWhereTheBuildCan();
    void aCleanPlateIsOnePhotoOfTheStillTableOfferedToTheExport();
    void afterARestartTheNewestCopyIsOfferedWithItsCount();
    void duringARunTheExportIsRefusedAndNewProfileLeavesTheRun();
};

void SpinExportTest::aShootIsExportedFromTheFileMenuAndOpened() {
    SimulatedShoot s;
    s.StartSimulator({"--camera-dir", s.cameraDir.path().toStdString(), "--camera-delay", "20",
                      "--camera-slow-write", "0", "--time-scale", "0.05"});
    MainControls(s.main()).udMedjuPauza->setPosition(0);
    s.Make("4");
    s.Start();
    QVERIFY(s.WaitForMessage("Information|Process successfully completed !"));
    QTRY_COMPARE(QDir(s.cameraDir.path()).entryList(QDir::Files).size(), 4);
    s.main().shoot().Photos().Folder().Refresh();
    MainControls(s.main()).ckFotosAutoNameDir->setChecked(true);
    QTest::mouseClick(MainControls(s.main()).btnFotosKopirajSlike, Qt::LeftButton);
    QVERIFY(s.WaitForMessage("Copy|Photos successfully copied !"));
    const QStringList copies = QDir(s.destDir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(copies.size(), 1);
    const QString copied = s.destDir.filePath(copies[0]);

    // The item sits in the File menu above "Exit", apart from the others.
    QStringList items;
    QAction* exportItem = nullptr;
    for (QAction* a : MainControls(s.main()).Program1->actions()) {
        items << a->text();
        if (a->text() == "Export 360° View...") {
            exportItem = a;
        }
    }
    QStringList expected{"&New Profile",
                         "&Load Profile",
                         "&Save Profile As...",
                         "",
                         "&Parameters",
                         "",
                         "Resume Interrupted Run...",
                         "Export 360° View...",
                         "",
                         "&Exit"};
    if (zentrivo::FinishingBuilt()) {
        expected.insert(7, "Take a Clean Plate...");
    }
    QCOMPARE(items, expected);

    const bool haveFfmpeg = zentrivo::FindProgram("ffmpeg").has_value();
    const QString target = QDir(copied).filePath("360");
    bool checked = false;
    s.dialogs().answers = {Dialogs::Answer::Yes};  // open the result
    s.dialogs().Clear();
    WhenDialogOpens([&] {
        auto* dialog = qobject_cast<SpinExportDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->windowTitle(), QString("Export 360° View"));
        // Offered: the photos just copied, exported beside them.
        QCOMPARE(dialog->ui->sourceEdit->text(), copied);
        QCOMPARE(dialog->ui->targetEdit->text(), target);
        QCOMPARE(dialog->ui->photoCountLabel->text(), QString("4 photos"));
        QCOMPARE(dialog->ui->mp4Check->isChecked(), haveFfmpeg);
        dialog->ui->longEdgeSpin->setValue(160);
        dialog->ui->reverseCheck->setChecked(true);
        QTest::mouseClick(dialog->ui->exportButton, Qt::LeftButton);
        QCOMPARE(dialog->ui->closeButton->text(), QString("Cancel"));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->Exporting(), 60000);
        QCOMPARE(dialog->ui->statusLabel->text(), QString("Done: 4 frames of 160 x 120 pixels."));
        QCOMPARE(dialog->ui->closeButton->text(), QString("Close"));
        QTest::mouseClick(dialog->ui->closeButton, Qt::LeftButton);
        checked = true;
    });
    exportItem->trigger();
    QVERIFY(checked);

    QCOMPARE(s.dialogs().Messages(), QStringList{"Export 360° View|The 360° view is ready in\r\n" +
                                                 target + "\r\n\r\nOpen it now?"});
    QCOMPARE(s.dialogs().shown.back().kind, QString("shell"));
    QCOMPARE(s.dialogs().shown.back().text, QDir(target).filePath("index.html"));
    QStringList made{"frames", "index.html", "spin.js", "spin.webp"};
    if (haveFfmpeg) {
        made.insert(3, "spin.mp4");
    }
    QCOMPARE(Files(target), made);
    QCOMPARE(Files(QDir(target).filePath("frames")),
             (QStringList{"1.jpg", "2.jpg", "3.jpg", "4.jpg"}));
    // The copied photos themselves are as they were.
    QCOMPARE(Files(copied), (QStringList{"1.jpg", "2.jpg", "3.jpg", "360", "4.jpg"}));
}

void SpinExportTest::cancelAndFailuresLeaveNothingAndSayWhy() {
    QTemporaryDir photos;
    WritePhotos(photos.path(), 24);
    ScriptedDialogs dialogs;
    SpinExportDialog dialog(dialogs, photos.path());
    const QString target = QDir(photos.path()).filePath("360");
    QCOMPARE(dialog.ui->targetEdit->text(), target);

    // Cancel at once: stopped before the first frame, whatever the machine.
    QTest::mouseClick(dialog.ui->exportButton, Qt::LeftButton);
    QTest::mouseClick(dialog.ui->closeButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Exporting(), 60000);
    QCOMPARE(dialog.ui->statusLabel->text(), QString("Cancelled; nothing was written."));
    QVERIFY(!QDir(target).exists());
    QVERIFY(dialogs.shown.empty());

    // A damaged photo is named, and nothing is left half-made.
    QFile damaged(QDir(photos.path()).filePath("9.jpg"));
    QVERIFY(damaged.resize(damaged.size() / 2));
    dialog.ui->framesCombo->setCurrentIndex(3);
    QVERIFY(dialog.ui->frameCountSpin->isEnabled());
    QCOMPARE(dialog.ui->frameCountSpin->maximum(), 24);
    dialog.ui->frameCountSpin->setValue(12);  // every 2nd: 1.jpg, 3.jpg, ... 23.jpg
    QTest::mouseClick(dialog.ui->exportButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Exporting(), 60000);
    QCOMPARE(
        dialogs.Messages(),
        QStringList{"Error|The photo \"9.jpg\" could not be read: Premature end of JPEG file"});
    QCOMPARE(dialog.ui->statusLabel->text(), QString("Not exported."));
    QVERIFY(!QDir(target).exists());

    // Every 3rd photo, 1.jpg, 4.jpg, ... 22.jpg, leaves it out.
    dialog.ui->framesCombo->setCurrentIndex(2);
    dialog.ui->htmlCheck->setChecked(false);
    dialog.ui->mp4Check->setChecked(false);
    dialogs.Clear();
    dialogs.answers = {Dialogs::Answer::No};
    QTest::mouseClick(dialog.ui->exportButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Exporting(), 60000);
    QCOMPARE(dialog.ui->statusLabel->text(), QString("Done: 8 frames of 640 x 480 pixels."));
    QCOMPARE(Files(target), QStringList{"spin.webp"});
    QCOMPARE(dialogs.shown.size(), 1u);  // the offer to open it, declined

    dialogs.Clear();
    dialog.ui->sourceEdit->clear();
    QCOMPARE(dialog.ui->targetEdit->text(), QString());
    QCOMPARE(dialog.ui->photoCountLabel->text(), QString("No JPEG photos in this folder."));
    QTest::mouseClick(dialog.ui->exportButton, Qt::LeftButton);
    QCOMPARE(dialogs.Messages(), QStringList{"Error|Choose the folder that holds the photos."});
}

void SpinExportTest::withoutFfmpegTheDialogSaysSo() {
    QTemporaryDir emptyPath;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", emptyPath.path().toUtf8());
    ScriptedDialogs dialogs;
    SpinExportDialog dialog(dialogs, emptyPath.path());
    qputenv("PATH", path);
    dialog.show();
    QVERIFY(!dialog.ui->mp4Check->isEnabled());
    QVERIFY(!dialog.ui->mp4Check->isChecked());
    QVERIFY(dialog.ui->ffmpegNote->isVisible());
    QCOMPARE(dialog.ui->ffmpegNote->text(),
             QString("MP4 needs the ffmpeg program, which is not installed."));
}

void SpinExportTest::finishingWhitensAndFramesTheStillsWhereTheBuildCan() {
    QTemporaryDir photos;
    WritePhotos(photos.path(), 4);
    ScriptedDialogs dialogs;
    SpinExportDialog dialog(dialogs, photos.path());
    dialog.show();
    Ui::SpinExportDialog& ui = *dialog.ui;
    QCOMPARE(ui.finishGroup->title(), QString("Finishing"));
    QCOMPARE(ui.backgroundLabel->text(), QString("&Background:"));
    QCOMPARE(ui.shadowLabel->text(), QString("Sha&dow:"));
    QCOMPARE(ui.framingLabel->text(), QString("Framin&g:"));
    QCOMPARE(ui.fillLabel->text(), QString("F&ill:"));
    QCOMPARE(ui.plateLabel->text(), QString("Pl&ate:"));
    QCOMPARE(ui.stillsCheck->text(),
             QString("Finished &stills (stills/1.jpg, ...; PNG when transparent)"));
    QStringList names;
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui.backgroundCombo, ui.shadowCombo, ui.framingCombo, ui.fillSpin, ui.plateFileLabel,
             ui.choosePlateButton, ui.noPlateButton}) {
        names << w->accessibleName();
    }
    QCOMPARE(names, (QStringList{"Background", "Shadow", "Framing", "Fill", "Plate file",
                                 "Choose plate...", "No plate"}));
    const auto items = [](QComboBox* combo) {
        QStringList texts;
        for (int i = 0; i < combo->count(); ++i) {
            texts << combo->itemText(i);
        }
        return texts;
    };
    QCOMPARE(items(ui.backgroundCombo), (QStringList{"As shot", "White", "Transparent"}));
    QCOMPARE(items(ui.shadowCombo), (QStringList{"Keep", "Drop"}));
    QCOMPARE(items(ui.framingCombo), (QStringList{"As shot", "One box for all frames"}));
    QCOMPARE(ui.fillSpin->minimum(), 1);
    QCOMPARE(ui.fillSpin->maximum(), 100);
    QCOMPARE(ui.fillSpin->value(), 85);
    QCOMPARE(ui.plateFileLabel->text(), QString("None"));
    // It still fits the smallest screen it is made for.
    QVERIFY(dialog.sizeHint().width() <= 1280 && dialog.sizeHint().height() <= 760);

    // As it opens, the photos are used as shot, as before.
    const zentrivo::SpinRequest asShot = dialog.Request();
    QVERIFY(!asShot.finish.Any());
    QVERIFY(!asShot.finish.dropShadow && !asShot.finish.stills && asShot.finish.plate.empty());
    QCOMPARE(asShot.finish.fillPercent, 85);
    QVERIFY(!ui.shadowCombo->isEnabled() && !ui.fillSpin->isEnabled());
    QVERIFY(!ui.stillsCheck->isEnabled() && !ui.choosePlateButton->isEnabled());

    if (!zentrivo::FinishingBuilt()) {
        // The Windows program: offered greyed, with the reason.
        QVERIFY(!ui.finishGroup->isEnabled());
        QVERIFY(ui.finishNote->isVisible());
        QCOMPARE(ui.finishNote->text(), QString("Finishing is not part of this build."));
        return;
    }
    QVERIFY(ui.finishGroup->isEnabled());
    QVERIFY(!ui.finishNote->isVisible());

    ui.backgroundCombo->setCurrentIndex(1);
    QVERIFY(ui.shadowCombo->isEnabled() && !ui.fillSpin->isEnabled());
    ui.framingCombo->setCurrentIndex(1);
    QVERIFY(ui.fillSpin->isEnabled());
    ui.shadowCombo->setCurrentIndex(1);
    ui.fillSpin->setValue(70);

    // The plate is chosen through the program's file dialog, shown by its
    // name, and can be taken away again.
    const QString plate = QDir(photos.path()).filePath("1.jpg");
    dialogs.texts = {plate};
    QTest::mouseClick(ui.choosePlateButton, Qt::LeftButton);
    QCOMPARE(dialogs.shown.size(), 1u);
    QCOMPARE(dialogs.shown[0].kind, QString("open"));
    QCOMPARE(ui.plateFileLabel->text(), QString("1.jpg"));
    zentrivo::SpinRequest finished = dialog.Request();
    QCOMPARE(finished.finish.background, zentrivo::SpinFinish::Background::kWhite);
    QCOMPARE(finished.finish.framing, zentrivo::SpinFinish::Framing::kSpin);
    QVERIFY(finished.finish.dropShadow);
    QCOMPARE(finished.finish.fillPercent, 70);
    QCOMPARE(QString::fromStdString(finished.finish.plate.u8string()), plate);
    QTest::mouseClick(ui.noPlateButton, Qt::LeftButton);
    QCOMPARE(ui.plateFileLabel->text(), QString("None"));
    QVERIFY(dialog.Request().finish.plate.empty());

    // White, one box for all frames, and stills: numbered JPEGs on disk.
    ui.stillsCheck->setChecked(true);
    ui.longEdgeSpin->setValue(160);
    ui.htmlCheck->setChecked(false);
    ui.mp4Check->setChecked(false);
    dialogs.Clear();
    dialogs.answers = {Dialogs::Answer::No};
    QTest::mouseClick(ui.exportButton, Qt::LeftButton);
    QVERIFY(!ui.finishGroup->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Exporting(), 60000);
    QVERIFY(ui.finishGroup->isEnabled());
    // Plain grey photos hold no product: the summary names each frame.
    QString summary = "Done: 4 frames of 160 x 160 pixels.";
    for (int n = 1; n <= 4; ++n) {
        summary += QString("\nFrame %1 (%1.jpg) looks wrong: no product was found.").arg(n);
    }
    QCOMPARE(ui.statusLabel->text(), summary);
    const QString target = QDir(photos.path()).filePath("360");
    QCOMPARE(Files(target), (QStringList{"spin.webp", "stills"}));
    QCOMPARE(Files(QDir(target).filePath("stills")),
             (QStringList{"1.jpg", "2.jpg", "3.jpg", "4.jpg"}));
}

void SpinExportTest::aCleanPlateIsOnePhotoOfTheStillTableOfferedToTheExport() {
    if (!zentrivo::FinishingBuilt()) {
        QSKIP("Finishing is not part of this build.");
    }
    SimulatedShoot s;
    // The plate's photo is written in two parts, a second apart; a photo
    // the folder held before is not it.
    s.StartSimulator({"--camera-dir", s.cameraDir.path().toStdString(), "--camera-delay", "20",
                      "--camera-cut", "1", "--camera-cut-ms", "1000", "--time-scale", "0.05"});
    WritePhotos(s.cameraDir.path(), 1);
    QAction* plateItem = s.main().findChild<QAction*>("TakeCleanPlate");
    QVERIFY(plateItem != nullptr);
    const QString plate = QDir::toNativeSeparators(s.main().shoot().CleanPlateFile());
    s.dialogs().answers = {Dialogs::Answer::Yes};
    plateItem->trigger();
    QVERIFY(s.WaitForMessage("Take a Clean Plate|The clean plate is kept:\r\n" + plate +
                             "\r\n\r\nThe 360° export offers it as the table's plate."));
    QCOMPARE(s.dialogs().shown.front().title, QString("Take a Clean Plate"));
    QVERIFY(
        s.dialogs().shown.front().text.startsWith("Please take the product off the turntable."));

    // With no process made, the controller set up as the window's
    // parameters would make it, one photo, and the table never turned; the
    // process is still to be made.
    QCOMPARE(s.Commands(), (QStringList{"X.", "T0001.", "D0005.", "F2000.", "P0050."}));
    QVERIFY(s.main().shoot().Commands().Commands().empty());
    // The plate is the camera's new photo, whole.
    const QStringList stored = QDir(s.cameraDir.path()).entryList({"IMG_*"}, QDir::Files);
    QCOMPARE(stored.size(), 1);
    QFile kept(plate);
    QFile photo(s.cameraDir.filePath(stored[0]));
    QVERIFY(kept.open(QIODevice::ReadOnly) && photo.open(QIODevice::ReadOnly));
    const QByteArray bytes = kept.readAll();
    QCOMPARE(bytes, photo.readAll());
    QVERIFY(bytes.contains("shot=1 place=0.00"));
    QVERIFY(bytes.endsWith("\xFF\xD9"));

    // The export offers the table's plate once its finishing would take
    // it, and the framed spin's own size until the user sets one.
    bool checked = false;
    WhenDialogOpens([&] {
        auto* dialog = qobject_cast<SpinExportDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        Ui::SpinExportDialog& ui = *dialog->ui;
        QVERIFY(!ui.tablePlateButton->isEnabled());
        ui.backgroundCombo->setCurrentIndex(1);
        QVERIFY(ui.tablePlateButton->isEnabled());
        QTest::mouseClick(ui.tablePlateButton, Qt::LeftButton);
        QCOMPARE(ui.plateFileLabel->text(), QString("The table's"));
        QCOMPARE(QString::fromStdString(dialog->Request().finish.plate.u8string()),
                 QDir::fromNativeSeparators(plate));
        QCOMPARE(ui.longEdgeSpin->value(), 1200);
        ui.framingCombo->setCurrentIndex(1);
        QCOMPARE(ui.longEdgeSpin->value(), 2000);
        ui.framingCombo->setCurrentIndex(0);
        QCOMPARE(ui.longEdgeSpin->value(), 1200);
        ui.longEdgeSpin->setValue(800);
        ui.framingCombo->setCurrentIndex(1);
        QCOMPARE(ui.longEdgeSpin->value(), 800);
        QTest::mouseClick(ui.closeButton, Qt::LeftButton);
        checked = true;
    });
    s.main().findChild<QAction*>("ExportSpinView")->trigger();
    QVERIFY(checked);
}

void SpinExportTest::afterARestartTheNewestCopyIsOfferedWithItsCount() {
    // The destination as a restarted program finds it: two copies, the
    // newer of five photos, and a folder changed later that holds none.
    TestProgram p;
    QTemporaryDir destination;
    p.main().Options.FotosCopyDir = destination.path().toStdString();
    const auto made = [&](const QString& name, int photos, int hoursAgo) {
        const QString folder = destination.filePath(name);
        QDir().mkpath(folder);
        WritePhotos(folder, photos);
        std::filesystem::last_write_time(
            std::filesystem::u8path(folder.toStdString()),
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(hoursAgo));
        return folder;
    };
    made("older", 3, 3);
    const QString newer = made("newer", 5, 2);
    made("notes", 0, 1);
    WritePhotos(destination.path(), 2);  // loose photos are no copy

    bool checked = false;
    WhenDialogOpens([&] {
        auto* dialog = qobject_cast<SpinExportDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->ui->sourceEdit->text(), newer);
        QCOMPARE(dialog->ui->photoCountLabel->text(), QString("5 photos"));
        dialog->ui->framesCombo->setCurrentIndex(3);
        QCOMPARE(dialog->ui->frameCountSpin->value(), 5);
        QCOMPARE(dialog->ui->frameCountSpin->maximum(), 5);
        QTest::mouseClick(dialog->ui->closeButton, Qt::LeftButton);
        checked = true;
    });
    p.main().findChild<QAction*>("ExportSpinView")->trigger();
    QVERIFY(checked);
}

void SpinExportTest::duringARunTheExportIsRefusedAndNewProfileLeavesTheRun() {
    const QString refused =
        "Export 360° View|A run is going on. Stop the run first, then export the 360° view.";
    // Each rotation takes the board 200 ms; the run pauses after each.
    SimulatedShoot s({"--time-scale", "0.1"});
    QuickPhotos(s.main());
    MainControls ui(s.main());
    ui.ckAutoPauza->setChecked(true);
    s.Make("3");
    QAction* exportItem = s.main().findChild<QAction*>("ExportSpinView");
    bool opened = false;
    const auto closeIfOpened = [&opened] {
        WhenDialogOpens([&opened] {
            if (auto* d = qobject_cast<SpinExportDialog*>(QApplication::activeModalWidget())) {
                opened = true;
                d->reject();
            }
        });
    };

    // While the table turns.
    bool triedRunning = false;
    WhenReady(&s.main(), InFirstRotationsWait(s), [&] {
        closeIfOpened();
        exportItem->trigger();
        triedRunning = true;
    });
    s.Start();
    QTRY_VERIFY(triedRunning);
    QTRY_COMPARE(s.main().shoot().Process().ProcessState, 2);
    QCOMPARE(s.dialogs().Messages(), QStringList{refused});

    // While it is paused: the export is refused, New Profile resets the
    // parameters and leaves the run as it was.
    closeIfOpened();
    exportItem->trigger();
    QTest::qWait(50);
    ui.Novi1->trigger();
    QCOMPARE(ui.txtBrojSlika->text(), QString("30"));
    QCOMPARE(s.main().shoot().Process().ProcessState, 2);
    QCOMPARE(s.dialogs().Messages(), (QStringList{refused, refused}));
    QVERIFY(!opened);

    // Once stopped, the export opens.
    QTest::mouseClick(ui.btnStop, Qt::LeftButton);
    closeIfOpened();
    exportItem->trigger();
    QVERIFY(opened);
    QCOMPARE(s.dialogs().Messages(), (QStringList{refused, refused}));
}

ZENTRIVO_TEST_MAIN(SpinExportTest)
#include "spin_export_test.moc"
