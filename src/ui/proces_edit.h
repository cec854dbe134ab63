#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "dialogs.h"
#include "run/command_list.h"

namespace Ui {
class TfrmProcesEdit;
}

// The Process Editor. It edits the run's own list of commands, which Make
// Process fills and the run plays, so every change made here is in effect at
// once; its list box shows that list.
class TfrmProcesEdit : public QDialog {
    Q_OBJECT

public:
    TfrmProcesEdit(Dialogs& dialogs, CommandList& commands, QWidget* parent = nullptr);
    ~TfrmProcesEdit() override;

    Ui::TfrmProcesEdit* ui;

    // What the list box shows.
    std::vector<std::string> Commands() const;
    int CommandCount() const;
    std::string CommandAt(int index) const;

public slots:
    void FormActivate();
    void btnUpClick();
    void btnDownClick();
    void btnDelClick();
    void lbKomandeDblClick();
    void btnChangeClick();
    void btnAddClick();

protected:
    bool event(QEvent* e) override;

private:
    int Selected() const;
    void Move(int (*operation)(std::vector<std::string>&, int));
    // Keeps `commands` as the run's list, and shows it.
    void Keep(std::vector<std::string> commands, int selected);
    void Show(const std::vector<std::string>& commands);
    bool Refused(const std::optional<std::string>& refusal);
    void RefreshCount();

    Dialogs& dialogs_;
    CommandList& commands_;
};
