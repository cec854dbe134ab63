#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

#include "main_controls.h"
#include "test_app_dir.h"
#include "test_main.h"

namespace {

void WriteFile(const QString& path, const QByteArray& bytes = "jpeg") {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The date and time stamp a copy names its folder by, as a pattern.
const QRegularExpression kStamp("^\\d\\d-\\d\\d-\\d{4}_\\d{6}$");

// A program whose camera and destination folders are its own.
struct PhotoProgram {
    PhotoProgram() {
        // Folders as the user's choice gives them: in the system's own form.
        p.main().Options.FotosDir = QDir::toNativeSeparators(camera.path()).toStdString();
        p.main().Options.FotosCopyDir = QDir::toNativeSeparators(dest.path()).toStdString();
    }
    TfrmMain& main() { return p.main(); }
    QString Camera(const QString& name) const {
        return QDir::toNativeSeparators(camera.filePath(name));
    }
    QStringList Listed() const {
        QStringList names;
        for (int i = 0; i < MainControls(p.windows->frmMain).lbFotosList->count(); ++i) {
            names << MainControls(p.windows->frmMain).lbFotosList->item(i)->text();
        }
        return names;
    }
    QStringList SubFolders() const {
        return QDir(dest.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }
    QStringList CopiedInto(const QString& folder) const {
        return QDir(dest.filePath(folder)).entryList(QDir::Files, QDir::Name);
    }
    // Presses "Copy photos" and waits for the copy, which runs beside the
    // window, to be over.
    void Copy() {
        QTest::mouseClick(MainControls(main()).btnFotosKopirajSlike, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!main().shoot().BusyWithPhotos(), 15000);
    }

    TestProgram p;
    QTemporaryDir camera;
    QTemporaryDir dest;
};

}  // namespace

class PhotosTest : public QObject {
    Q_OBJECT

private slots:
    void newPhotosAreListedAndCountedWhileWatching();
    void snapshotPhotosNeverBecomeNewAndGonePhotosStay();
    void aRefreshDueAfterAStopStartsNothing();
    void copyAsksForTheFolderNameAndCleansIt();
    void copyFallsBackToTheStamp();
    void copyFailures();
    void copyWaitsForAPhotoStillBeingWritten();
    void doubleClickOpensAnExistingPhoto();
    void choosingFolders();
};

void PhotosTest::newPhotosAreListedAndCountedWhileWatching() {
    PhotoProgram w;
    w.main().shoot().Photos().Folder().Begin();
    w.main().shoot().Photos().Folder().StartWatching([] { return true; });  // as a started run does
    for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG", "img_0003.jpg"}) {
        WriteFile(w.Camera(name));
        const int before = w.Listed().size();
        QTRY_COMPARE_WITH_TIMEOUT(w.Listed().size(), before + 1, 10000);
    }
    QCOMPARE(w.main().StatusText(3), QString("New Photos: 3"));
    QCOMPARE(w.Listed(), (QStringList{"IMG_0001.JPG", "IMG_0002.JPG", "img_0003.jpg"}));
    w.main().btnStopClick();
    QVERIFY(!w.main().shoot().Photos().Folder().Watching());
}

void PhotosTest::snapshotPhotosNeverBecomeNewAndGonePhotosStay() {
    PhotoProgram w;
    WriteFile(w.Camera("OLD.JPG"));
    WriteFile(w.Camera("notes.txt"));
    w.main().shoot().Photos().Folder().Begin();
    WriteFile(w.Camera("old.jpg"), "rewritten in another case");
    WriteFile(w.Camera("OLD.JPG"), "rewritten");
    WriteFile(w.Camera("A.jpg"));
    WriteFile(w.Camera("B.JPG"));
    w.main().shoot().Photos().Folder().Refresh();
    QCOMPARE(w.Listed().size(), 2);
    QFile::remove(w.Camera(w.Listed()[0]));
    w.main().shoot().Photos().Folder().Refresh();
    QCOMPARE(w.Listed().size(), 2);
    QCOMPARE(w.main().StatusText(3), QString("New Photos: 2"));

    // The gone photo leaves its number out of the copy, and the message
    // says which one it was.
    MainControls(w.main()).ckFotosAutoNameDir->setChecked(true);
    w.Copy();
    const QStringList folders = w.SubFolders();
    QCOMPARE(folders.size(), 1);
    QCOMPARE(w.CopiedInto(folders[0]), QStringList{"2.jpg"});
    QCOMPARE(
        w.p.dialogs->Messages(),
        QStringList{"Error|Not all photos were copied !\r\n1 of 2 photos could not be copied: " +
                    w.Listed()[0]});
}

void PhotosTest::aRefreshDueAfterAStopStartsNothing() {
    PhotoProgram w;
    CameraPhotos& photos = w.main().shoot().Photos().Folder();
    bool running = true;
    photos.StartWatching([&] { return running; });
    // A refresh already due when the run stops does not start the
    // refresher again.
    running = false;
    w.main().btnStopClick();
    w.main().tmrFotosDirRefresherTimer();
    QVERIFY(!photos.Watching());
    // While a run goes on, the refresher starts itself again.
    running = true;
    w.main().tmrFotosDirRefresherTimer();
    QVERIFY(photos.Watching());
}

void PhotosTest::copyAsksForTheFolderNameAndCleansIt() {
    PhotoProgram w;
    w.main().shoot().Photos().Folder().Begin();
    WriteFile(w.Camera("IMG_0001.JPG"), "one");
    WriteFile(w.Camera("IMG_0002.JPG"), "two");
    w.main().shoot().Photos().Folder().Refresh();
    w.p.dialogs->texts = {QString("a/b:c")};
    w.Copy();
    const auto& ask = w.p.dialogs->shown.at(0);
    QCOMPARE(ask.kind, QString("input"));
    QCOMPARE(ask.title, QString("Novi direktorij"));
    QCOMPARE(ask.text, QString("Unesite naziv direktorija:"));
    const QStringList initial = ask.initial.split('|');
    QVERIFY2(kStamp.match(initial[0]).hasMatch(), qPrintable(initial[0]));
    QCOMPARE(initial[1], QString("255"));
    QCOMPARE(w.p.dialogs->Messages(), QStringList{"Copy|Photos successfully copied !"});
    QCOMPARE(w.CopiedInto("abc"), (QStringList{"1.jpg", "2.jpg"}));
    QFile first(w.dest.filePath("abc/1.jpg"));
    QVERIFY(first.open(QIODevice::ReadOnly));
    QCOMPARE(QString(first.readAll()), QString(w.Listed()[0] == "IMG_0001.JPG" ? "one" : "two"));
    // The list stays; a second copy goes into a folder of its own.
    w.p.dialogs->texts = {QString("second")};
    w.Copy();
    QCOMPARE(w.CopiedInto("second").size(), 2);
}

void PhotosTest::copyFallsBackToTheStamp() {
    PhotoProgram w;
    w.main().shoot().Photos().Folder().Begin();
    WriteFile(w.Camera("IMG_0001.JPG"));
    w.main().shoot().Photos().Folder().Refresh();
    QDir(w.dest.path()).mkdir("taken");
    const QString answers[] = {QString("   "), QString("taken"), QString()};
    const QString notices[] = {"Notice\\|Invalid directory name !\\r\\nI will name it: ",
                               "Notice\\|Directory already exists !\\r\\nI will name it: ", ""};
    for (int i = 0; i < 3; ++i) {
        // Each copy within a second names the same folder; start clean.
        for (const QString& folder : w.SubFolders()) {
            if (folder != "taken") {
                QDir(w.dest.filePath(folder)).removeRecursively();
            }
        }
        w.p.dialogs->Clear();
        w.p.dialogs->texts = {answers[i]};
        w.Copy();
        QStringList expected;
        const QStringList messages = w.p.dialogs->Messages();
        if (!notices[i].isEmpty()) {
            QCOMPARE(messages.size(), 2);
            QVERIFY2(QRegularExpression("^" + notices[i] + "\\d\\d-\\d\\d-\\d{4}_\\d{6}$")
                         .match(messages[0])
                         .hasMatch(),
                     qPrintable(messages[0]));
            QCOMPARE(w.p.dialogs->shown[1].icon, Dialogs::Icon::Information);
        } else {
            QCOMPARE(messages.size(), 1);  // Cancel takes the stamp without a notice
        }
        QCOMPARE(messages.last(), QString("Copy|Photos successfully copied !"));
        QStringList stamped = w.SubFolders();
        stamped.removeAll("taken");
        QCOMPARE(stamped.size(), 1);
        QVERIFY(kStamp.match(stamped[0]).hasMatch());
        QCOMPARE(w.CopiedInto(stamped[0]), QStringList{"1.jpg"});
    }
}

void PhotosTest::copyFailures() {
    PhotoProgram w;
    w.main().shoot().Photos().Folder().Begin();
    WriteFile(w.Camera("IMG_0001.JPG"));
    w.main().shoot().Photos().Folder().Refresh();
    // Copies within one second each get a folder of their own.
    MainControls(w.main()).ckFotosAutoNameDir->setChecked(true);
    std::tm now{};
    now.tm_year = 2026 - 1900;
    now.tm_mon = 11;
    now.tm_mday = 6;
    now.tm_hour = 17;
    now.tm_min = 32;
    now.tm_sec = 4;
    w.main().shoot().SetClock([now] { return now; });
    QDir(w.dest.path()).mkdir("06-12-2026_173204");
    w.Copy();
    QCOMPARE(w.p.dialogs->Messages(), QStringList{"Copy|Photos successfully copied !"});
    QCOMPARE(w.SubFolders(), (QStringList{"06-12-2026_173204", "06-12-2026_173204_2"}));
    QCOMPARE(w.CopiedInto("06-12-2026_173204_2"), QStringList{"1.jpg"});
    // A name the file system refuses: the folder cannot be made.
    w.p.dialogs->Clear();
    MainControls(w.main()).ckFotosAutoNameDir->setChecked(false);
    w.p.dialogs->texts = {QString(300, 'x')};
    w.Copy();
    QCOMPARE(w.p.dialogs->Messages(),
             (QStringList{"Error|I could not create a directory for new photos !",
                          "Error|Photos not copied !"}));
    // A destination that is gone: both messages in turn.
    w.p.dialogs->Clear();
    w.main().Options.FotosCopyDir = w.dest.filePath("gone").toStdString();
    w.Copy();
    QCOMPARE(w.p.dialogs->Messages(),
             (QStringList{"Error|First you must choose a directory for new photos to be copied !",
                          "Error|Photos not copied !"}));
    QCOMPARE(w.p.dialogs->shown[0].icon, Dialogs::Icon::Error);
    // With nothing listed the button does nothing.
    w.p.dialogs->Clear();
    w.main().shoot().Photos().Folder().Begin();
    w.Copy();
    QVERIFY(w.p.dialogs->shown.empty());
}

void PhotosTest::copyWaitsForAPhotoStillBeingWritten() {
    PhotoProgram w;
    MainControls(w.main()).ckFotosAutoNameDir->setChecked(true);
    w.main().shoot().Photos().Folder().Begin();
    WriteFile(w.Camera("IMG_0001.JPG"), "a");
    w.main().shoot().Photos().Folder().Refresh();
    // The camera goes on writing while the copy runs: a byte every 20 ms,
    // ten times.
    int writes = 0;
    bool offWhileCopying = false;
    QTimer camera;
    camera.setInterval(20);
    QObject::connect(&camera, &QTimer::timeout, [&] {
        if (writes == 0) {
            // A second press while the copy runs starts nothing.
            offWhileCopying = !MainControls(w.main()).btnFotosKopirajSlike->isEnabled();
            w.main().btnFotosKopirajSlikeClick();
        }
        QFile f(w.Camera("IMG_0001.JPG"));
        f.open(QIODevice::Append);
        f.write("b");
        if (++writes == 10) {
            camera.stop();
        }
    });
    camera.start();
    w.Copy();
    QVERIFY(offWhileCopying);
    QCOMPARE(writes, 10);
    QCOMPARE(w.SubFolders().size(), 1);
    QFile copy(w.dest.filePath(w.SubFolders()[0] + "/1.jpg"));
    QCOMPARE(copy.size(), qint64(11));
    QCOMPARE(w.p.dialogs->Messages(), QStringList{"Copy|Photos successfully copied !"});
    QVERIFY(MainControls(w.main()).btnFotosKopirajSlike->isEnabled());
}

void PhotosTest::doubleClickOpensAnExistingPhoto() {
    PhotoProgram w;
    w.main().shoot().Photos().Folder().Begin();
    WriteFile(w.Camera("IMG_0001.JPG"));
    w.main().shoot().Photos().Folder().Refresh();
    w.main().lbFotosListDblClick();  // nothing selected
    QVERIFY(w.p.dialogs->shown.empty());
    MainControls(w.main()).lbFotosList->setCurrentRow(0);
    w.main().lbFotosListDblClick();
    QCOMPARE(w.p.dialogs->shown.size(), size_t(1));
    QCOMPARE(w.p.dialogs->shown[0].kind, QString("shell"));
    QCOMPARE(w.p.dialogs->shown[0].text, w.Camera("IMG_0001.JPG"));
    QFile::remove(w.Camera("IMG_0001.JPG"));
    w.main().lbFotosListDblClick();
    QCOMPARE(w.p.dialogs->shown.size(), size_t(1));
}

void PhotosTest::choosingFolders() {
    PhotoProgram w;
    // A run watches the camera folder and has found a photo there.
    w.main().shoot().Photos().Folder().Begin();
    WriteFile(w.Camera("IMG_0001.JPG"));
    w.main().shoot().Photos().Folder().Refresh();
    QCOMPARE(w.Listed(), QStringList{"IMG_0001.JPG"});
    // Another card that holds photos already: they are not new, and only
    // photos written to it from now on are.
    const QString card = w.camera.filePath("card");
    QDir().mkdir(card);
    WriteFile(card + "/IMG_0001.JPG");
    WriteFile(card + "/IMG_0002.JPG");
    w.p.dialogs->texts = {card};
    QTest::mouseClick(MainControls(w.main()).btnFotosChooseNewDir, Qt::LeftButton);
    QCOMPARE(w.p.dialogs->shown[0].title, QString("Select Directory"));
    QCOMPARE(w.p.dialogs->shown[0].initial, QDir::toNativeSeparators(w.camera.path()));
    QCOMPARE(w.main().Options.FotosDir, card.toStdString());
    QCOMPARE(MainControls(w.main()).txtFotosSrcDir->text(), card);
    QVERIFY(w.Listed().isEmpty());
    QCOMPARE(w.main().StatusText(3), QString("New Photos: 0"));
    WriteFile(card + "/IMG_0003.JPG");
    w.main().shoot().Photos().Folder().Refresh();
    QCOMPARE(w.Listed(), QStringList{"IMG_0003.JPG"});

    // A typed folder that does not exist: No goes back to choosing, Yes
    // makes it with the folders above it.
    const QString fresh = w.dest.filePath("2026/studio");
    w.p.dialogs->Clear();
    w.p.dialogs->texts = {fresh, fresh};
    w.p.dialogs->answers = {Dialogs::Answer::No, Dialogs::Answer::Yes};
    QTest::mouseClick(MainControls(w.main()).btnFotosChooseDestDir, Qt::LeftButton);
    const QString ask = "Confirm|The specified directory does not exist. Create it?";
    QCOMPARE(w.p.dialogs->Messages(), (QStringList{ask, ask}));
    QCOMPARE(w.p.dialogs->shown[1].icon, Dialogs::Icon::Question);
    QCOMPARE(w.p.dialogs->shown[1].buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(w.p.dialogs->shown[2].kind, QString("folder"));
    QCOMPARE(w.p.dialogs->shown[2].initial, fresh);
    QVERIFY(QFileInfo(fresh).isDir());
    QCOMPARE(w.main().Options.FotosCopyDir, fresh.toStdString());
    QCOMPARE(MainControls(w.main()).txtFotosDestDir->text(), fresh);
    // Cancel changes nothing.
    w.p.dialogs->texts = {QString()};
    QTest::mouseClick(MainControls(w.main()).btnFotosChooseDestDir, Qt::LeftButton);
    QCOMPARE(w.main().Options.FotosCopyDir, fresh.toStdString());
}

ZENTRIVO_TEST_MAIN(PhotosTest)
#include "photos_test.moc"
