#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "dialogs.h"
#include "run/command_list.h"

namespace Ui {
class TfrmProcesEdit;
}

// The Process Editor. Its list box holds the process itself: the only copy
// of the commands, which Make Process fills and the runner plays, so every
// change made here is in effect at once.
class TfrmProcesEdit : public QDialog, public CommandList {
    Q_OBJECT

public:
    TfrmProcesEdit(Dialogs& dialogs, QWidget* parent = nullptr);
    ~TfrmProcesEdit() override;

    Ui::TfrmProcesEdit* ui;

    std::vector<std::string> Commands() const override;
    void SetCommands(const std::vector<std::string>& commands) override;
    int CommandCount() const override;
    std::string CommandAt(int index) const override;

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
    void Show(const std::vector<std::string>& commands, int selected);
    bool Refused(const std::optional<std::string>& refusal);
    void RefreshCount();

    Dialogs& dialogs_;
};
