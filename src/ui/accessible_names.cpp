#include "accessible_names.h"

#include <QAbstractButton>
#include <QLabel>

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
        control->setAccessibleName(label->text().remove('&'));
    }
}
