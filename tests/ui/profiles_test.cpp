#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "main_controls.h"
#include "simulated_shoot.h"
#include "test_app_dir.h"
#include "test_main.h"
#include "ui/qt_dialogs.h"
#include "ui/up_down.h"
#include "ui_helpers.h"

namespace {

QString ReadFile(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromLatin1(f.readAll());
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

// Every parameter control, as one text.
QString Controls(TfrmMain& w) {
    MainControls ui(w);
    return QString("%1|%2|%3|%4|%5|%6|%7")
        .arg(ui.cbRotiranjeTip->currentIndex())
        .arg(ui.txtBrojSlika->text(), ui.txtPeriodRotacije->text(),
             ui.btnDirRight->isChecked() ? "R" : (ui.btnDirLeft->isChecked() ? "L" : "-"),
             ui.txtTrajanjeFokusa->text(), ui.txtTrajanjeBlende->text(), ui.txtMedjuPauza->text());
}

const QString kStartUp = "0|30|5|L|2000|50|50";

}  // namespace

class ProfilesTest : public QObject {
    Q_OBJECT

private slots:
    void saveRightAfterStartUpWritesTheNineLines();
    void saveKeepsForeignKeysAndCancelChangesNothing();
    void replacingAFileIsAskedAndANonProfileIsRefused();
    void loadTakesMissingKeysFromTheStartUpValues();
    void loadAppliesNoLimitsOfItsOwn();
    void newProfileRestoresTheStartUpValues();
    void numberOfPhotosThatIsNoNumberStopsTheSave();
    void unwritableFileKeepsTheName();
    void nameWithoutExtensionGetsZv();
    void loadWhilePausedKeepsTheRunningProcess();
};

void ProfilesTest::saveRightAfterStartUpWritesTheNineLines() {
    TestProgram p;
    const QString path = p.dir.filePath("studio.zv");
    p.dialogs->texts = {path};
    ClickToolButton(MainControls(p.main()).tbMain, MainControls(p.main()).Snimi1);
    const auto& save = p.dialogs->shown.at(0);
    QCOMPARE(save.kind, QString("save"));
    QCOMPARE(save.title, QString("novi_profil.zv"));  // the proposed name
    QCOMPARE(save.text, QString("zv"));
    QCOMPARE(save.initial, QString("Zentrivo profil (*.zv)|*.zv|Svi fajlovi (*.*)|*.*"));
    QCOMPARE(ReadFile(path),
             QString("[Rotiranje]\r\ntip_rotacije=0\r\nzeljeni_br_fotografija=30\r\n"
                     "period_rotacije=5\r\nsmjer_rotacije=0\r\n[Fotografisanje]\r\n"
                     "trajanje_fokusa=2000\r\ntrajanje_blende=50\r\nmedju_pauza=50\r\n"));
    QCOMPARE(p.main().windowTitle(), QString("Zentrivo - studio.zv"));
    // The next save proposes the name just used.
    p.dialogs->Clear();
    ClickToolButton(MainControls(p.main()).tbMain, MainControls(p.main()).Snimi1);
    QCOMPARE(p.dialogs->shown.at(0).title, QString("studio.zv"));
}

void ProfilesTest::saveKeepsForeignKeysAndCancelChangesNothing() {
    TestProgram p;
    const QString path = p.dir.filePath("p.zv");
    WriteFile(path, "[Rotiranje]\r\nmine=7\r\nsmjer_rotacije=1\r\n");
    QTest::mouseClick(MainControls(p.main()).btnDirRight, Qt::LeftButton);
    p.dialogs->texts = {path};
    p.dialogs->answers = {Dialogs::Answer::Yes};  // replace it
    MainControls(p.main()).Snimi1->trigger();
    QCOMPARE(ReadFile(path),
             QString("[Rotiranje]\r\nmine=7\r\nsmjer_rotacije=1\r\ntip_rotacije=0\r\n"
                     "zeljeni_br_fotografija=30\r\nperiod_rotacije=5\r\n[Fotografisanje]\r\n"
                     "trajanje_fokusa=2000\r\ntrajanje_blende=50\r\nmedju_pauza=50\r\n"));
    p.dialogs->texts = {QString()};
    MainControls(p.main()).Snimi1->trigger();
    MainControls(p.main()).Uitaj1->trigger();
    QCOMPARE(p.main().windowTitle(), QString("Zentrivo - p.zv"));
    // A name under which no file exists changes nothing.
    p.dialogs->texts = {p.dir.filePath("none.zv")};
    MainControls(p.main()).Uitaj1->trigger();
    QCOMPARE(p.main().windowTitle(), QString("Zentrivo - p.zv"));
    QCOMPARE(p.dialogs->Messages(),
             QStringList{"Confirm Save As|p.zv already exists.\r\nDo you want to replace it?"});
}

void ProfilesTest::replacingAFileIsAskedAndANonProfileIsRefused() {
    TestProgram p;
    MainControls ui(p.main());
    const QString path = p.dir.filePath("studio.zv");
    WriteFile(path, "[Rotiranje]\r\nzeljeni_br_fotografija=8\r\n");
    // No goes back to the save dialog, Yes replaces the file.
    p.dialogs->texts = {path, path};
    p.dialogs->answers = {Dialogs::Answer::No, Dialogs::Answer::Yes};
    ui.Snimi1->trigger();
    const QString ask = "Confirm Save As|studio.zv already exists.\r\nDo you want to replace it?";
    QCOMPARE(p.dialogs->Messages(), (QStringList{ask, ask}));
    QCOMPARE(p.dialogs->shown.size(), size_t(4));
    QCOMPARE(p.dialogs->shown[1].icon, Dialogs::Icon::Warning);
    QCOMPARE(p.dialogs->shown[1].buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(p.dialogs->shown[2].kind, QString("save"));
    QCOMPARE(p.dialogs->shown[2].title, QString("studio.zv"));
    QVERIFY(ReadFile(path).contains("zeljeni_br_fotografija=30\r\n"));
    QCOMPARE(p.main().windowTitle(), QString("Zentrivo - studio.zv"));

    // A photo chosen by mistake: loading it changes nothing, saving over it
    // writes nothing into it.
    const QString photo = p.dir.filePath("IMG_0001.JPG");
    const QByteArray jpeg = QByteArray::fromHex("ffd8ffe000104a46494600010100000100");
    WriteFile(photo, jpeg);
    ui.txtBrojSlika->setText("60");
    p.dialogs->Clear();
    p.dialogs->texts = {photo, photo};
    p.dialogs->answers = {Dialogs::Answer::Yes};
    ui.Uitaj1->trigger();
    ui.Snimi1->trigger();
    const QString refusal = "Error|This file is not a profile !\r\n" + photo;
    QCOMPARE(p.dialogs->Messages(), (QStringList{refusal, refusal}));
    QCOMPARE(p.dialogs->shown[1].icon, Dialogs::Icon::Error);
    QCOMPARE(Controls(p.main()), QString("0|60|5|L|2000|50|50"));
    QCOMPARE(p.main().windowTitle(), QString("Zentrivo - studio.zv"));
    QFile unchanged(photo);
    QVERIFY(unchanged.open(QIODevice::ReadOnly));
    QCOMPARE(unchanged.readAll(), jpeg);

    // A text file without the profile's sections is a profile of defaults.
    const QString notes = p.dir.filePath("notes.txt");
    WriteFile(notes, "just some notes\r\n");
    p.dialogs->Clear();
    p.dialogs->texts = {notes};
    ui.Uitaj1->trigger();
    QVERIFY(p.dialogs->Messages().isEmpty());
    QCOMPARE(Controls(p.main()), kStartUp);
    QCOMPARE(p.main().windowTitle(), QString("Zentrivo - notes.txt"));
}

void ProfilesTest::loadTakesMissingKeysFromTheStartUpValues() {
    TestProgram p;
    MainControls ui(p.main());
    ui.cbRotiranjeTip->setCurrentIndex(1);
    ui.txtBrojSlika->setText("60");
    ui.udPeriodRotacije->setPosition(9);
    QTest::mouseClick(ui.btnDirRight, Qt::LeftButton);
    const QString path = p.dir.filePath("photo-only.zv");
    WriteFile(path, "[Fotografisanje]\r\ntrajanje_fokusa=0\r\ntrajanje_blende=100\r\n");
    p.dialogs->texts = {path};
    ClickToolButton(ui.tbMain, ui.Uitaj1);
    QCOMPARE(Controls(p.main()), QString("0|30|5|L|0|100|50"));
    QCOMPARE(p.main().windowTitle(), QString("Zentrivo - photo-only.zv"));
    const auto& open = p.dialogs->shown.at(0);
    QCOMPARE(open.kind, QString("open"));
    QCOMPARE(open.initial, QString("Zentrivo profil (*.zv)|*.zv|Svi fajlovi (*.*)|*.*"));
    QCOMPARE(open.text, QString("zv"));
}

void ProfilesTest::loadAppliesNoLimitsOfItsOwn() {
    for (const char* direction : {"2", "-1"}) {
        TestProgram p;
        const QString path = p.dir.filePath("odd.zv");
        WriteFile(path,
                  QByteArray("[Rotiranje]\r\ntip_rotacije=5\r\nzeljeni_br_fotografija=5000\r\n"
                             "period_rotacije=500\r\nsmjer_rotacije=") +
                      direction + "\r\n[Fotografisanje]\r\ntrajanje_blende=0\r\n");
        QTest::mouseClick(MainControls(p.main()).btnDirRight, Qt::LeftButton);
        p.dialogs->texts = {path};
        MainControls(p.main()).Uitaj1->trigger();
        QCOMPARE(Controls(p.main()), QString("-1|5000|100|L|2000|5|50"));
        // Saving it back writes left as 0.
        const QString again = p.dir.filePath("again.zv");
        p.dialogs->texts = {again};
        MainControls(p.main()).Snimi1->trigger();
        QVERIFY(ReadFile(again).contains("smjer_rotacije=0\r\n"));
        // The number of photos is refused only at Make Process.
        MainControls(p.main()).ckAutoStart->setChecked(false);
        QTest::mouseClick(MainControls(p.main()).btnKreirajProces, Qt::LeftButton);
        QCOMPARE(p.dialogs->Messages(),
                 QStringList{"Error|It is not possible to make that many photos !\r\n"
                             "I can make maximum of 1200 photos with current rotation type."});
    }
}

void ProfilesTest::newProfileRestoresTheStartUpValues() {
    TestProgram p;
    MainControls ui(p.main());
    const QString path = p.dir.filePath("x.zv");
    WriteFile(path,
              "[Rotiranje]\r\ntip_rotacije=1\r\nzeljeni_br_fotografija=8\r\n"
              "period_rotacije=20\r\nsmjer_rotacije=1\r\n[Fotografisanje]\r\n"
              "trajanje_fokusa=10\r\ntrajanje_blende=15\r\nmedju_pauza=100\r\n");
    p.dialogs->texts = {path};
    ui.Uitaj1->trigger();
    QCOMPARE(Controls(p.main()), QString("1|8|20|R|10|15|100"));
    ClickToolButton(ui.tbMain, ui.Novi1);
    QCOMPARE(Controls(p.main()), kStartUp);
    QCOMPARE(p.main().windowTitle(), QString("Zentrivo - novi_profil.zv"));
}

void ProfilesTest::numberOfPhotosThatIsNoNumberStopsTheSave() {
    TestProgram p;
    MainControls(p.main()).txtBrojSlika->setText("3x");
    ClickToolButton(MainControls(p.main()).tbMain, MainControls(p.main()).Snimi1);
    QCOMPARE(p.dialogs->shown.size(), size_t(1));
    QCOMPARE(p.dialogs->Messages(), QStringList{"Zentrivo|'3x' is not a valid integer value"});
    QCOMPARE(p.dialogs->shown[0].icon, Dialogs::Icon::Error);
}

void ProfilesTest::unwritableFileKeepsTheName() {
    TestProgram p;
    const QString path = p.dir.filePath("folder.zv");
    QDir(p.dir.path()).mkdir("folder.zv");
    p.dialogs->texts = {path};
    ClickToolButton(MainControls(p.main()).tbMain, MainControls(p.main()).Snimi1);
    QCOMPARE(p.dialogs->Messages(), QStringList{"Zentrivo|Unable to write to " + path});
    QCOMPARE(p.main().windowTitle(), QString("Zentrivo - novi_profil.zv"));
}

void ProfilesTest::nameWithoutExtensionGetsZv() {
    QCOMPARE(WithDefaultExtension("/home/a/studio", "zv"), QString("/home/a/studio.zv"));
    QCOMPARE(WithDefaultExtension("/home/a/studio.zv", "zv"), QString("/home/a/studio.zv"));
    QCOMPARE(WithDefaultExtension("/home/a/studio.txt", "zv"), QString("/home/a/studio.txt"));
}

void ProfilesTest::loadWhilePausedKeepsTheRunningProcess() {
    SimulatedShoot s({"--time-scale", "0"});
    MainControls(s.main()).udFocusTrajanje->setPosition(0);
    MainControls(s.main()).udMedjuPauza->setPosition(0);
    MainControls(s.main()).ckAutoPauza->setChecked(true);
    s.Make("1");
    s.Start();
    QTRY_COMPARE_WITH_TIMEOUT(s.main().shoot().Process().ProcessState, 2, 10000);
    const QString path = s.program.dir.filePath("other.zv");
    WriteFile(path,
              "[Rotiranje]\r\nzeljeni_br_fotografija=4\r\n[Fotografisanje]\r\n"
              "trajanje_blende=200\r\n");
    s.dialogs().texts = {path};
    MainControls(s.main()).Uitaj1->trigger();
    QCOMPARE(MainControls(s.main()).txtBrojSlika->text(), QString("4"));
    QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
    QVERIFY(s.WaitForMessage("Information|Process successfully completed !" + NoPhotosCame(1)));
    QCOMPARE(s.Commands(), (QStringList{"X.", "T0001.", "D0005.", "F0000.", "P0050.", "L1200."}));
}

ZENTRIVO_TEST_MAIN(ProfilesTest)
#include "profiles_test.moc"
