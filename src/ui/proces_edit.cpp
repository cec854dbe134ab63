#include "proces_edit.h"

#include <QEvent>

#include "accessible_names.h"
#include "core/process/command_check.h"
#include "ui_proces_edit.h"
#include "window_look.h"

using namespace zentrivo;

TfrmProcesEdit::TfrmProcesEdit(Dialogs& dialogs, CommandList& commands, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint),
      ui(new Ui::TfrmProcesEdit),
      dialogs_(dialogs),
      commands_(commands) {
    ui->setupUi(this);
    UseProgramFont(this);
    QFont listFont("Courier New");
    listFont.setStyleHint(QFont::Monospace);
    listFont.setPixelSize(12);
    listFont.setBold(true);
    ui->lbKomande->setFont(listFont);
    QPalette memo = ui->Memo1->palette();
    memo.setColor(QPalette::Base, palette().color(QPalette::Midlight));
    ui->Memo1->setPalette(memo);
    setFixedSize(444, 360);
    NameImageButtons(this);
    NameByLabels({{ui->txtKomanda, ui->lblKomanda}});
    ui->lbKomande->setAccessibleName("Commands");
    ui->Memo1->setAccessibleName("Command reference");
    connect(ui->btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->btnUp, &QToolButton::clicked, this, &TfrmProcesEdit::btnUpClick);
    connect(ui->btnDown, &QToolButton::clicked, this, &TfrmProcesEdit::btnDownClick);
    connect(ui->btnDel, &QToolButton::clicked, this, &TfrmProcesEdit::btnDelClick);
    connect(ui->btnChange, &QToolButton::clicked, this, &TfrmProcesEdit::btnChangeClick);
    connect(ui->btnAdd, &QToolButton::clicked, this, &TfrmProcesEdit::btnAddClick);
    connect(ui->lbKomande, &QListWidget::itemDoubleClicked, this,
            &TfrmProcesEdit::lbKomandeDblClick);
    // Make Process and a resumed run set the list from outside.
    commands_.OnChange([this] { Show(commands_.Commands()); });
    Show(commands_.Commands());
}

TfrmProcesEdit::~TfrmProcesEdit() {
    commands_.OnChange({});
    delete ui;
}

bool TfrmProcesEdit::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        FormActivate();
    }
    return QDialog::event(e);
}

std::vector<std::string> TfrmProcesEdit::Commands() const {
    std::vector<std::string> commands;
    commands.reserve(static_cast<std::size_t>(ui->lbKomande->count()));
    for (int i = 0; i < ui->lbKomande->count(); ++i) {
        commands.push_back(ui->lbKomande->item(i)->text().toStdString());
    }
    return commands;
}

int TfrmProcesEdit::CommandCount() const {
    return ui->lbKomande->count();
}

std::string TfrmProcesEdit::CommandAt(int index) const {
    return ui->lbKomande->item(index)->text().toStdString();
}

int TfrmProcesEdit::Selected() const {
    return ui->lbKomande->selectedItems().isEmpty() ? -1 : ui->lbKomande->currentRow();
}

void TfrmProcesEdit::Show(const std::vector<std::string>& commands) {
    QStringList items;
    items.reserve(static_cast<int>(commands.size()));
    for (const std::string& c : commands) {
        items << QString::fromStdString(c);
    }
    ui->lbKomande->clear();
    ui->lbKomande->addItems(items);
}

void TfrmProcesEdit::Keep(std::vector<std::string> commands, int selected) {
    // Shown by the list's own notice, then the selection put back.
    commands_.SetCommands(std::move(commands));
    if (selected >= 0) {
        ui->lbKomande->setCurrentRow(selected);
    }
}

bool TfrmProcesEdit::Refused(const std::optional<std::string>& refusal) {
    if (!refusal) {
        return false;
    }
    dialogs_.Notify(this, kCommandErrorCaption, QString::fromStdString(*refusal),
                    Dialogs::Icon::Error);
    return true;
}

void TfrmProcesEdit::RefreshCount() {
    ui->lblBrKomandi->setText(
        QString::fromStdString(CommandCountText(static_cast<std::size_t>(CommandCount()))));
}

void TfrmProcesEdit::FormActivate() {
    RefreshCount();
}

void TfrmProcesEdit::Move(int (*operation)(std::vector<std::string>&, int)) {
    auto commands = commands_.Commands();
    const int before = Selected();
    const int after = operation(commands, before);
    if (after != before) {
        Keep(std::move(commands), after);
    }
}

void TfrmProcesEdit::btnUpClick() {
    Move(MoveCommandUp);
}

void TfrmProcesEdit::btnDownClick() {
    Move(MoveCommandDown);
}

void TfrmProcesEdit::btnDelClick() {
    const int before = Selected();
    if (before < 0) {
        return;
    }
    auto commands = commands_.Commands();
    const int selected = DeleteCommand(commands, before);
    Keep(std::move(commands), selected);
    RefreshCount();
}

void TfrmProcesEdit::lbKomandeDblClick() {
    if (const auto text = CommandToEdit(commands_.Commands(), Selected())) {
        ui->txtKomanda->setText(QString::fromStdString(*text));
    }
}

void TfrmProcesEdit::btnChangeClick() {
    auto commands = commands_.Commands();
    const auto edit = ReplaceCommand(commands, Selected(), ui->txtKomanda->text().toStdString());
    if (!Refused(edit.refusal) && edit.selected >= 0) {
        Keep(std::move(commands), edit.selected);
    }
}

void TfrmProcesEdit::btnAddClick() {
    auto commands = commands_.Commands();
    const auto edit = AddCommand(commands, Selected(), ui->txtKomanda->text().toStdString());
    if (Refused(edit.refusal)) {
        return;
    }
    Keep(std::move(commands), edit.selected);
    // The count never lags behind the list.
    RefreshCount();
}
