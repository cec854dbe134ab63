// The file and folder dialogs the user sees, driven as a user drives them.
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>

#include "core/settings/profile.h"
#include "test_main.h"
#include "ui/qt_dialogs.h"
#include "ui_helpers.h"

namespace {

QFileDialog* OpenFileDialog() {
    return qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
}

// Closes the dialog at the end of a step that failed before confirming it,
// so that a failure never leaves the test waiting on an open dialog.
struct ClosedAtEnd {
    QFileDialog* dialog;
    ~ClosedAtEnd() {
        if (dialog != nullptr && dialog->isVisible()) {
            dialog->reject();
        }
    }
};

// Presses the dialog's Open or Choose button.
void Confirm(QFileDialog* dialog) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
    QVERIFY(buttons != nullptr);
    QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
}

// The names the dialog's list shows now, each with its place in the list.
QMap<QString, QRect> Listed(QFileDialog* dialog) {
    QMap<QString, QRect> names;
    auto* view = dialog->findChild<QListView*>("listView");
    if (view == nullptr || view->model() == nullptr) {
        return names;
    }
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row) {
        const QModelIndex index = view->model()->index(row, 0, root);
        names.insert(index.data().toString(), view->visualRect(index));
    }
    return names;
}

}  // namespace

class QtDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void allFilesListsAndOpensNamesWithoutADot();
    void aTypedFolderThatDoesNotExistComesBack();
};

void QtDialogsTest::allFilesListsAndOpensNamesWithoutADot() {
#ifdef Q_OS_WIN
    QSKIP("Windows opens files with its own dialog, which a test cannot drive.");
#endif
    QTemporaryDir dir;
    for (const char* name : {"studio.zv", "notes"}) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QtDialogs dialogs;
    QStringList profilesOnly;
    QStringList allFiles;
    WhenDialogOpens([&] {
        QFileDialog* d = OpenFileDialog();
        ClosedAtEnd closed{d};
        QVERIFY(d != nullptr);
        d->setDirectory(dir.path());
        QTRY_VERIFY(Listed(d).contains("studio.zv"));
        profilesOnly = Listed(d).keys();
        d->selectNameFilter(d->nameFilters().value(1));
        QTRY_VERIFY(Listed(d).contains("notes"));
        allFiles = Listed(d).keys();
        auto* view = d->findChild<QListView*>("listView");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, Listed(d)["notes"].center());
        Confirm(d);
    });
    const auto chosen =
        dialogs.OpenFileName(nullptr, zentrivo::kProfileFilter, zentrivo::kProfileExtension);
    QCOMPARE(profilesOnly, QStringList{"studio.zv"});
    QCOMPARE(allFiles, (QStringList{"notes", "studio.zv"}));
    QVERIFY(chosen.has_value());
    QCOMPARE(QDir::cleanPath(*chosen), QDir::cleanPath(dir.filePath("notes")));
}

void QtDialogsTest::aTypedFolderThatDoesNotExistComesBack() {
    QTemporaryDir dir;
    const QString typed = dir.filePath("2026/studio");
    QtDialogs dialogs;
    WhenDialogOpens([&] {
        QFileDialog* d = OpenFileDialog();
        ClosedAtEnd closed{d};
        QVERIFY(d != nullptr);
        auto* name = d->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(name != nullptr);
        name->setText(typed);
        Confirm(d);
    });
    const auto chosen = dialogs.ChooseFolder(nullptr, "Select Directory", dir.path());
    QVERIFY(chosen.has_value());
    QCOMPARE(QDir::cleanPath(QDir::fromNativeSeparators(*chosen)), QDir::cleanPath(typed));
    QVERIFY(!QFileInfo::exists(typed));  // the window asks before it is made
}

ZENTRIVO_TEST_MAIN(QtDialogsTest)
#include "qt_dialogs_test.moc"
