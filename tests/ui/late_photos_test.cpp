// The end of a run without the photo check, against a camera that is slow:
// photos that come late or are written in two parts are waited for and
// copied whole, a camera that stores nothing is told, and the wait can be
// cut short from its small window.
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

#include "main_controls.h"
#include "simulated_shoot.h"
#include "test_main.h"
#include "ui/camera_wait_window.h"
#include "ui/up_down.h"

namespace {

const QString kCompleted = "Information|Process successfully completed !";
const QString kCopied = "\r\nPhotos successfully copied !";

// A run of quick photos (three unless told) copied by itself into a dated
// sub-folder.
void MakeCopiedRun(SimulatedShoot& s, const std::vector<std::string>& camera,
                   const QString& photos = "3") {
    std::vector<std::string> options{"--camera-dir", s.cameraDir.path().toStdString()};
    options.insert(options.end(), camera.begin(), camera.end());
    s.StartSimulator(options);
    QuickPhotos(s.main());
    MainControls(s.main()).udPeriodRotacije->setPosition(2);
    MainControls(s.main()).ckFotosAutoCopy->setChecked(true);
    MainControls(s.main()).ckFotosAutoNameDir->setChecked(true);
    s.Make(photos);
}

QStringList CopyFolders(SimulatedShoot& s) {
    return QDir(s.destDir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

// Each copy of `folder` with the shot of the camera it holds: "2.jpg=2".
QStringList ShotsIn(SimulatedShoot& s, const QString& folder) {
    const QDir copies(s.destDir.filePath(folder));
    QStringList shots;
    for (const QString& copy : copies.entryList(QDir::Files, QDir::Name)) {
        QFile f(copies.filePath(copy));
        const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        const QRegularExpressionMatch m =
            QRegularExpression("zentrivo-sim shot=(\\d+) ").match(QString::fromLatin1(bytes));
        shots << copy + "=" + (m.hasMatch() && bytes.endsWith("\xFF\xD9") ? m.captured(1) : "?");
    }
    return shots;
}

// Whether the camera has stored its photo `number` whole.
bool Stored(SimulatedShoot& s, int number) {
    QFile f(s.cameraDir.filePath(QString("IMG_%1.JPG").arg(number, 4, 10, QChar('0'))));
    return f.open(QIODevice::ReadOnly) && f.readAll().endsWith("\xFF\xD9");
}

// The copies of the run, each the whole photo of the camera at its place,
// dated as the camera's file.
void CheckWholeCopies(SimulatedShoot& s, int count) {
    const QStringList folders = QDir(s.destDir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(folders.size(), 1);
    const QDir copies(s.destDir.filePath(folders[0]));
    QCOMPARE(copies.entryList(QDir::Files).size(), count);
    for (int i = 1; i <= count; ++i) {
        QFile copy(copies.filePath(QString("%1.jpg").arg(i)));
        QFile photo(s.cameraDir.filePath(QString("IMG_%1.JPG").arg(i, 4, 10, QChar('0'))));
        QVERIFY(copy.open(QIODevice::ReadOnly) && photo.open(QIODevice::ReadOnly));
        const QByteArray bytes = copy.readAll();
        QCOMPARE(bytes, photo.readAll());
        QVERIFY(bytes.endsWith("\xFF\xD9"));
        QCOMPARE(QFileInfo(copy).lastModified(), QFileInfo(photo).lastModified());
    }
}

}  // namespace

class LatePhotosTest : public QObject {
    Q_OBJECT

private slots:
    void aPhotoWrittenInTwoPartsIsWaitedForAndCopiedWhole();
    void aPhotoLateBySecondsIsStillCopied();
    void aCameraThatStoresNothingIsNoSuccess();
    void copyNowNamesAPhotoStillCutShort();
    void aPhotoAfterCopyNowJoinsThatCopyUnderItsOwnNumber();
    void copyPhotosAddsToTheCopyThatLeftAPhotoOut();
    void theWaitWindowEndsTheWaitWithOrWithoutTheCopy();
};

void LatePhotosTest::aPhotoWrittenInTwoPartsIsWaitedForAndCopiedWhole() {
    // The last photo stops half written and is finished 8 s later.
    SimulatedShoot s;
    MakeCopiedRun(s, {"--camera-cut", "3", "--camera-cut-ms", "8000"});
    // The wait runs its own events: what it shows is looked at from there.
    QString shown;
    WhenReady(
        &s.main(), [&] { return CameraWaitText(s).endsWith("2 of 3 photos"); },
        [&] { shown = CameraWaitText(s); });
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + kCopied, 30000));
    QCOMPARE(shown, QString("Waiting for the camera: 2 of 3 photos"));
    QCOMPARE(s.dialogs().Messages(), QStringList{kCompleted + kCopied});
    QVERIFY(CameraWaitText(s).isEmpty());
    CheckWholeCopies(s, 3);
}

void LatePhotosTest::aPhotoLateBySecondsIsStillCopied() {
    // The last photo is stored 8 s after the others.
    SimulatedShoot s;
    MakeCopiedRun(s, {"--camera-late", "3", "--camera-late-ms", "8000"});
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + kCopied, 40000));
    QCOMPARE(s.dialogs().Messages(), QStringList{kCompleted + kCopied});
    CheckWholeCopies(s, 3);
}

void LatePhotosTest::aCameraThatStoresNothingIsNoSuccess() {
    SimulatedShoot s;
    MakeCopiedRun(s, {"--camera-miss", "1", "--camera-miss-count", "0"});
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + "\r\nOnly 0 of 3 photos came from the camera !", 30000));
    QVERIFY(QDir(s.destDir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

void LatePhotosTest::copyNowNamesAPhotoStillCutShort() {
    // The last photo stops half written for a minute; the user copies what
    // is there.
    SimulatedShoot s;
    MakeCopiedRun(s, {"--camera-cut", "3", "--camera-cut-ms", "60000"});
    QString title;
    WhenReady(
        &s.main(), [&] { return CameraWaitText(s) == "Waiting for the camera: 2 of 3 photos"; },
        [&] {
            title = s.main().findChild<QDialog*>("CameraWait")->windowTitle();
            QTest::mouseClick(CopyNow(s), Qt::LeftButton);
        });
    s.Start();
    QVERIFY(s.WaitForMessage(
        kCompleted + "\r\nThere was an error during copying of photos !\r\n3.jpg is incomplete",
        30000));
    QCOMPARE(title, QString("Waiting for the camera"));
    QVERIFY(CameraWaitText(s).isEmpty());
    const QStringList folders = QDir(s.destDir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(folders.size(), 1);
    QCOMPARE(QDir(s.destDir.filePath(folders[0])).entryList(QDir::Files, QDir::Name),
             (QStringList{"1.jpg", "2.jpg", "3.jpg"}));
}

void LatePhotosTest::aPhotoAfterCopyNowJoinsThatCopyUnderItsOwnNumber() {
    // The second photo is stored 5 s late, the fourth never; the user copies
    // the two that are there.
    SimulatedShoot s;
    MakeCopiedRun(s, {"--camera-late", "2", "--camera-late-ms", "5000", "--camera-miss", "4"}, "4");
    WhenReady(
        &s.main(), [&] { return CameraWaitText(s) == "Waiting for the camera: 2 of 4 photos"; },
        [&] { QTest::mouseClick(CopyNow(s), Qt::LeftButton); });
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + kCopied +
                                 "\r\nOnly 2 of 4 photos came from the camera !"
                                 "\r\nPhoto 2 of 4 did not come from the camera: 2.jpg is missing"
                                 "\r\nPhoto 4 of 4 did not come from the camera: 4.jpg is missing",
                             30000));
    const QStringList folders = CopyFolders(s);
    QCOMPARE(folders.size(), 1);
    QCOMPARE(ShotsIn(s, folders[0]), (QStringList{"1.jpg=1", "3.jpg=3"}));

    // The late photo joins that copy under its own number once it is whole.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(s.destDir.filePath(folders[0] + "/2.jpg")), 20000);
    QTRY_COMPARE(ShotsIn(s, folders[0]), (QStringList{"1.jpg=1", "2.jpg=2", "3.jpg=3"}));
    // "Copy photos" makes no second copy of the product: it says what is
    // still missing.
    QTRY_VERIFY(MainControls(s.main()).btnFotosKopirajSlike->isEnabled());
    QTest::mouseClick(MainControls(s.main()).btnFotosKopirajSlike, Qt::LeftButton);
    QVERIFY(s.WaitForMessage("Warning|Nothing was added to the copy \"" + folders[0] +
                             "\": no photo has come for the positions it is missing."
                             "\r\nPhoto 4 of 4 did not come from the camera: 4.jpg is missing"));
    QCOMPARE(CopyFolders(s), folders);
    QCOMPARE(ShotsIn(s, folders[0]), (QStringList{"1.jpg=1", "2.jpg=2", "3.jpg=3"}));
}

void LatePhotosTest::copyPhotosAddsToTheCopyThatLeftAPhotoOut() {
    // The last photo is stored 5 s late; the user stops waiting for it, the
    // run copying nothing by itself, and copies the two there.
    SimulatedShoot s;
    MakeCopiedRun(s, {"--camera-late", "3", "--camera-late-ms", "5000"});
    MainControls(s.main()).ckFotosAutoCopy->setChecked(false);
    WhenReady(
        &s.main(), [&] { return CameraWaitText(s) == "Waiting for the camera: 2 of 3 photos"; },
        [&] {
            QTest::mouseClick(s.main().findChild<QPushButton*>("btnStopWaiting"), Qt::LeftButton);
        });
    s.Start();
    QVERIFY(s.WaitForMessage(kCompleted + "\r\nOnly 2 of 3 photos came from the camera !"
                                          "\r\nPhoto 3 of 3 did not come from the camera: 3.jpg "
                                          "is missing"));
    auto* copyPhotos = MainControls(s.main()).btnFotosKopirajSlike;
    QTest::mouseClick(copyPhotos, Qt::LeftButton);
    QVERIFY(s.WaitForMessage("Copy|Photos successfully copied !"));
    const QStringList folders = CopyFolders(s);
    QCOMPARE(folders.size(), 1);

    // Once the photo is there, "Copy photos" adds it to that copy.
    QTRY_VERIFY_WITH_TIMEOUT(Stored(s, 3), 20000);
    QTest::mouseClick(copyPhotos, Qt::LeftButton);
    QVERIFY(s.WaitForMessage("Information|Added to the copy \"" + folders[0] + "\": 3.jpg"));
    QCOMPARE(CopyFolders(s), folders);
    QCOMPARE(ShotsIn(s, folders[0]), (QStringList{"1.jpg=1", "2.jpg=2", "3.jpg=3"}));
    // A whole copy is not added to: the next is a copy of its own.
    s.dialogs().Clear();
    QTest::mouseClick(copyPhotos, Qt::LeftButton);
    QVERIFY(s.WaitForMessage("Copy|Photos successfully copied !"));
    QCOMPARE(CopyFolders(s).size(), 2);
}

void LatePhotosTest::theWaitWindowEndsTheWaitWithOrWithoutTheCopy() {
    QWidget main;
    QList<bool> ends;
    auto* wait = new CameraWaitWindow(&main, [&ends](bool copy) { ends << copy; });
    const auto* text = wait->findChild<QLabel*>("lblCameraWait");
    auto* copyNow = wait->findChild<QPushButton*>("btnCopyNow");
    auto* stop = wait->findChild<QPushButton*>("btnStopWaiting");
    // "Copy now" only when the run copies by itself; the main window stays
    // usable meanwhile.
    wait->ShowWait(1, 3, false);
    QVERIFY(wait->isVisible() && !wait->isModal());
    QCOMPARE(text->text(), QString("Waiting for the camera: 1 of 3 photos"));
    QVERIFY(!copyNow->isVisible());
    QTest::mouseClick(stop, Qt::LeftButton);
    wait->ShowWait(2, 3, true);
    QCOMPARE(text->text(), QString("Waiting for the camera: 2 of 3 photos"));
    QTest::mouseClick(copyNow, Qt::LeftButton);
    // The close box stops the wait as "Stop waiting" does; the end of the
    // wait hiding the window tells nothing.
    wait->close();
    wait->ShowWait(3, 3, false);
    wait->hide();
    QCOMPARE(ends, (QList<bool>{false, true, false}));
}

ZENTRIVO_TEST_MAIN(LatePhotosTest)
#include "late_photos_test.moc"
