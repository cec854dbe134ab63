#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

#include "main_controls.h"
#include "test_app_dir.h"
#include "test_main.h"
#include "ui/gauge.h"
#include "ui/pie_chart.h"
#include "ui/up_down.h"
#include "ui_helpers.h"
#include "ui_proces_edit.h"

namespace {

QStringList ListItems(QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->item(i)->text();
    }
    return items;
}

QString Slices(PieChart* chart) {
    QStringList parts;
    for (const auto& s : chart->slices()) {
        parts << QString("%1=%2:%3").arg(s.label).arg(s.value).arg(s.colour.name());
    }
    return parts.join(",");
}

}  // namespace

class ProcessTest : public QObject {
    Q_OBJECT

private slots:
    void displayBeforeAnyProcess();
    void makeProcessFillsTheEditorAndTheDisplay();
    void failedCheckLeavesTheEarlierProcessUntouched();
    void tooManyPhotosAfterLoweringTheSteps();
    void divisorRuleOnLeavingTheFieldAndOnRotationType();
    void divisorRuleOnlyWhenAnotherControlTakesTheFocus();
    void upDownsKeepTheirRangeAndStep();
    void advancingPastTheMaximumStopsThere();
    void phaseLabelsUnderlineTheCurrentPhase();
    void editorWorksOnTheOneProcessList();

private:
    static void Make(TestProgram& p) {
        MainControls(p.main()).ckAutoStart->setChecked(false);
        QTest::mouseClick(MainControls(p.main()).btnKreirajProces, Qt::LeftButton);
    }
};

void ProcessTest::displayBeforeAnyProcess() {
    TestProgram p;
    QCOMPARE(MainControls(p.main()).lblProgresKoraka->text(), QString("Step 0/0"));
    QCOMPARE(Heard(MainControls(p.main()).gProces, QAccessible::Value), QString("0%"));
    QVERIFY(MainControls(p.main()).ChartProces->slices().isEmpty());
    QCOMPARE(MainControls(p.main()).ChartProces->title(), QString("Process"));
}

void ProcessTest::makeProcessFillsTheEditorAndTheDisplay() {
    TestProgram p;
    Make(p);
    QStringList expected{"T0001.", "D0005.", "F2000."};
    for (int i = 0; i < 30; ++i) {
        expected << "P0050."
                 << "W0050."
                 << "L0040.";
    }
    QCOMPARE(ListItems(p.windows->frmProcesEdit.ui->lbKomande), expected);
    QCOMPARE(MainControls(p.main()).lblProgresKoraka->text(), QString("Step 0/30"));
    QCOMPARE(MainControls(p.main()).gProces->maximum(), 30);
    QCOMPARE(MainControls(p.main()).gProces->progress(), 0);
    QCOMPARE(Slices(MainControls(p.main()).ChartProces),
             QString("Remaining=30:#ff0000,Completed=0:#008000"));
    QCOMPARE(p.main().shoot().Process().StepsPerPhoto, 40);
    QCOMPARE(p.main().shoot().Process().DirectionLetter, std::string("L"));
    QVERIFY(MainControls(p.main()).btnStart->isEnabled());
    QVERIFY(MainControls(p.main()).btnEditujProces->isEnabled());
    QVERIFY(!MainControls(p.main()).btnPauza->isEnabled());
    QVERIFY(!MainControls(p.main()).btnStop->isEnabled());
    QVERIFY(p.dialogs->shown.empty());

    // Half-stepping to the right without delay or focus.
    MainControls(p.main()).cbRotiranjeTip->setCurrentIndex(1);
    QTest::mouseClick(MainControls(p.main()).btnDirRight, Qt::LeftButton);
    QVERIFY(!MainControls(p.main()).btnDirLeft->isChecked());
    MainControls(p.main()).udFocusTrajanje->setPosition(0);
    MainControls(p.main()).udMedjuPauza->setPosition(0);
    Make(p);
    const QStringList made = ListItems(p.windows->frmProcesEdit.ui->lbKomande);
    QCOMPARE(made.size(), 63);
    QCOMPARE(made.mid(0, 5), (QStringList{"T0000.", "D0005.", "F0000.", "P0050.", "R0080."}));
    QCOMPARE(p.main().shoot().Process().DirectionLetter, std::string("R"));
}

void ProcessTest::failedCheckLeavesTheEarlierProcessUntouched() {
    TestProgram p;
    Make(p);
    MainControls(p.main()).pcMain->setCurrentIndex(0);
    MainControls(p.main()).txtTrajanjeBlende->setText("");
    Make(p);
    QCOMPARE(p.dialogs->Messages(), QStringList{"Error|Please enter duration of shutter !"});
    QCOMPARE(p.dialogs->shown[0].icon, Dialogs::Icon::Error);
    QCOMPARE(MainControls(p.main()).pcMain->currentIndex(), 1);
    QCOMPARE(p.windows->frmProcesEdit.CommandCount(), 93);
    QVERIFY(MainControls(p.main()).btnStart->isEnabled());
    QCOMPARE(MainControls(p.main()).lblProgresKoraka->text(), QString("Step 0/30"));

    p.dialogs->Clear();
    MainControls(p.main()).txtBrojSlika->setText("");
    Make(p);
    QCOMPARE(p.dialogs->Messages(), QStringList{"Greška|Please enter number of photos to make !"});
    QCOMPARE(MainControls(p.main()).pcMain->currentIndex(), 0);
}

void ProcessTest::tooManyPhotosAfterLoweringTheSteps() {
    TestProgram p;
    MainControls(p.main()).txtBrojSlika->setText("1200");
    p.main().Options.BrojKoraka = 24;  // as the Parameters dialog leaves it
    MainControls(p.main()).pcMain->setCurrentIndex(1);
    Make(p);
    QCOMPARE(p.dialogs->Messages(),
             QStringList{"Error|It is not possible to make that many photos !\r\n"
                         "I can make maximum of 600 photos with current rotation type."});
    QCOMPARE(MainControls(p.main()).pcMain->currentIndex(), 0);
    QCOMPARE(p.windows->frmProcesEdit.CommandCount(), 0);
    QVERIFY(!MainControls(p.main()).btnStart->isEnabled());
}

void ProcessTest::divisorRuleOnLeavingTheFieldAndOnRotationType() {
    TestProgram p;
    p.main().show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.main()));
    QLineEdit* field = MainControls(p.main()).txtBrojSlika;
    field->setFocus();
    field->setText("31");
    // Pressing Make Process takes the focus from the field first.
    Make(p);
    QCOMPARE(field->text(), QString("40"));
    QCOMPARE(p.windows->frmProcesEdit.CommandCount(), 3 + 3 * 40);

    field->setText("2400");
    QComboBox* type = MainControls(p.main()).cbRotiranjeTip;
    type->setCurrentIndex(1);
    emit type->activated(1);
    QCOMPARE(field->text(), QString("2400"));
    type->setCurrentIndex(0);
    emit type->activated(0);
    QCOMPARE(field->text(), QString("1200"));
    field->setText("-3");
    p.main().txtBrojSlikaExit();
    QCOMPARE(field->text(), QString("1"));
}

void ProcessTest::divisorRuleOnlyWhenAnotherControlTakesTheFocus() {
    TestProgram p;
    p.main().show();
    p.main().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&p.main()));
    QLineEdit* field = MainControls(p.main()).txtBrojSlika;
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, "7");
    // The File menu opens, and Save Profile As saves the number shown.
    QMenu* file = MainControls(p.main()).Program1;
    file->popup(p.main().mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(file));
    QCOMPARE(field->text(), QString("7"));
    const QString path = p.dir.filePath("seven.zv");
    p.dialogs->texts = {path};
    MainControls(p.main()).Snimi1->trigger();
    file->close();
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().contains("zeljeni_br_fotografija=7\r\n"));
    // Another window taking the focus, a message box or another program,
    // leaves the field as typed too.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(field->text(), QString("7"));
    p.main().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&p.main()));
    // A text that is no number is named when saving, as the field holds it.
    field->setText("abc");
    MainControls(p.main()).Snimi1->trigger();
    QCOMPARE(p.dialogs->Messages(), QStringList{"Zentrivo|'abc' is not a valid integer value"});
    // Tab to the next control runs the rule.
    QCOMPARE(QApplication::focusWidget(), field);
    field->setText("7");
    QTest::keyClick(field, Qt::Key_Tab);
    QCOMPARE(field->text(), QString("8"));
}

void ProcessTest::upDownsKeepTheirRangeAndStep() {
    TestProgram p;
    MainControls ui(p.main());
    ui.udPeriodRotacije->stepBy(500);
    QCOMPARE(ui.txtPeriodRotacije->text(), QString("100"));
    ui.udPeriodRotacije->stepBy(-500);
    QCOMPARE(ui.txtPeriodRotacije->text(), QString("2"));
    QTest::keyClick(ui.txtTrajanjeBlende, Qt::Key_Up);
    QCOMPARE(ui.txtTrajanjeBlende->text(), QString("55"));
    ui.udTrajanjeBlende->stepBy(1000);
    QCOMPARE(ui.txtTrajanjeBlende->text(), QString("1000"));
    QTest::keyClick(ui.txtMedjuPauza, Qt::Key_Down);
    QTest::keyClick(ui.txtMedjuPauza, Qt::Key_Down);
    QCOMPARE(ui.txtMedjuPauza->text(), QString("0"));
    ui.udFocusTrajanje->stepBy(1);
    QCOMPARE(ui.txtTrajanjeFokusa->text(), QString("2005"));
    QVERIFY(ui.txtPeriodRotacije->isReadOnly());
    MainControls(p.main()).ckAutoStart->setChecked(false);
    QTest::mouseClick(MainControls(p.main()).btnKreirajProces, Qt::LeftButton);
    QCOMPARE(p.windows->frmProcesEdit.CommandAt(1), std::string("D0002."));
    QCOMPARE(p.windows->frmProcesEdit.CommandAt(3), std::string("P1000."));
    QCOMPARE(p.windows->frmProcesEdit.CommandCount(), 3 + 2 * 30);  // no W with a delay of 0
}

void ProcessTest::advancingPastTheMaximumStopsThere() {
    TestProgram p;
    MainControls(p.main()).txtBrojSlika->setText("2");
    Make(p);
    for (int i = 0; i < 3; ++i) {
        p.main().AdvanceProgress();
    }
    QCOMPARE(MainControls(p.main()).lblProgresKoraka->text(), QString("Step 2/2"));
    QCOMPARE(Heard(MainControls(p.main()).gProces, QAccessible::Value), QString("100%"));
    QCOMPARE(Slices(MainControls(p.main()).ChartProces),
             QString("Remaining=0:#ff0000,Completed=2:#008000"));
    // Making it again starts it from nothing.
    Make(p);
    QCOMPARE(MainControls(p.main()).lblProgresKoraka->text(), QString("Step 0/2"));
    QCOMPARE(Slices(MainControls(p.main()).ChartProces),
             QString("Remaining=2:#ff0000,Completed=0:#008000"));
}

void ProcessTest::phaseLabelsUnderlineTheCurrentPhase() {
    TestProgram p;
    MainControls ui(p.main());
    auto underlined = [&] {
        return QString("%1%2%3")
            .arg(ui.lblProcesRotiranje->font().underline())
            .arg(ui.lblProcesFotografisanje->font().underline())
            .arg(ui.lblProcesPauza->font().underline());
    };
    p.main().HighlightPhase("L");
    QCOMPARE(underlined(), QString("100"));
    p.main().HighlightPhase("P");
    QCOMPARE(underlined(), QString("010"));
    p.main().HighlightPhase("W");
    QCOMPARE(underlined(), QString("001"));
    p.main().HighlightPhase("F");
    QCOMPARE(underlined(), QString("000"));
    QVERIFY(ui.lblProcesPauza->font().bold());
}

void ProcessTest::editorWorksOnTheOneProcessList() {
    TestProgram p;
    Make(p);
    TfrmProcesEdit& editor = p.windows->frmProcesEdit;
    Ui::TfrmProcesEdit& ui = *editor.ui;
    QCOMPARE(
        ui.Memo1->toPlainText(),
        QString("T0001. = normalni korak\nT0000. = polu korak\n"
                "D0nnn. = period rotacije (nnn) ms\nFnnnn. = trajanje fokusa (nnnn) ms\n"
                "Lnnnn. = rotiranje lijevo (nnnn) koraka\nRnnnn. = rotiranje desno (nnnn) koraka\n"
                "Pnnnn. = otvaranje blende - fotografisanje (nnnn) ms\nWnnnn. = pauza (nnnn) ms"));
    QString countOnOpen;
    WhenDialogOpens([&] {
        editor.FormActivate();
        countOnOpen = ui.lblBrKomandi->text();
        // Replace with nothing selected says nothing, even for a bad text.
        ui.txtKomanda->setText("bad");
        QTest::mouseClick(ui.btnChange, Qt::LeftButton);
        ui.lbKomande->setCurrentRow(92);
        QTest::mouseClick(ui.btnDel, Qt::LeftButton);
        ui.txtKomanda->setText("t0001.");
        QTest::mouseClick(ui.btnAdd, Qt::LeftButton);
        ui.txtKomanda->setText("Tabcd.");
        QTest::mouseClick(ui.btnAdd, Qt::LeftButton);
        ui.txtKomanda->setText("W0100.");
        QTest::mouseClick(ui.btnAdd, Qt::LeftButton);
        ui.lbKomande->setCurrentRow(0);
        QTest::mouseClick(ui.btnDown, Qt::LeftButton);
        editor.lbKomandeDblClick();
        ui.txtKomanda->setText("T0000.");
        QTest::mouseClick(ui.btnChange, Qt::LeftButton);
        QTest::mouseClick(ui.btnOk, Qt::LeftButton);
    });
    QTest::mouseClick(MainControls(p.main()).btnEditujProces, Qt::LeftButton);
    QCOMPARE(countOnOpen, QString("Number of commands: 93"));
    QCOMPARE(p.dialogs->Messages(),
             (QStringList{"Greška|Command not supported !",
                          "Greška|Command must have 4 digits between the letter and the dot !"}));
    const QStringList items = ListItems(ui.lbKomande);
    QCOMPARE(items.size(), 93);
    QCOMPARE(items.mid(0, 3), (QStringList{"D0005.", "T0000.", "F2000."}));
    QCOMPARE(items.mid(90), (QStringList{"P0050.", "W0050.", "W0100."}));
    QCOMPARE(ui.lblBrKomandi->text(), QString("Number of commands: 93"));
    QCOMPARE(ui.lbKomande->currentRow(), 1);
    // The display made by Make Process stays as it was.
    QCOMPARE(MainControls(p.main()).lblProgresKoraka->text(), QString("Step 0/30"));
}

ZENTRIVO_TEST_MAIN(ProcessTest)
#include "process_test.moc"
