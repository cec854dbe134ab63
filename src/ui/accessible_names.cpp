#include "accessible_names.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

void NameImageButtons(QWidget* window) {
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (b->text().isEmpty() && !b->toolTip().isEmpty()) {
            b->setAccessibleName(b->toolTip());
        }
    }
}

void NameByLabels(std::initializer_list<std::pair<QWidget*, QLabel*>> labelled) {
    for (const auto& [control, label] : labelled) {
        label->setBuddy(control);
        const QString name = label->text().remove('&');
        control->setAccessibleName(name);
        // Typing into an editable list happens in its edit, which takes the
        // focus and so needs the name too.
        if (auto* list = qobject_cast<QComboBox*>(control); list && list->lineEdit()) {
            list->lineEdit()->setAccessibleName(name);
        }
    }
}
