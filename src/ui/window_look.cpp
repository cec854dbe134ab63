#include "window_look.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>

void UseProgramFont(QWidget* window) {
    QFont f = window->font();
    f.setPixelSize(11);
    window->setFont(f);
}

void StyleTitleBar(QLabel* title) {
    title->setAutoFillBackground(true);
    QPalette pal = title->palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    pal.setColor(QPalette::WindowText, Qt::white);
    title->setPalette(pal);
    QFont f = title->font();
    f.setPixelSize(13);
    f.setBold(true);
    title->setFont(f);
}

void StylePhaseLabel(QLabel* label) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(128, 0, 0));
    label->setPalette(pal);
    QFont f = label->font();
    f.setPixelSize(13);
    f.setBold(true);
    label->setFont(f);
    label->adjustSize();
}

namespace {

bool PlacedByPixel(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    return parent != nullptr && !w->isWindow() &&
           (parent->layout() == nullptr || parent->layout()->indexOf(w) < 0);
}

// The size a control needs to show its caption whole, or its own size when
// it has no caption to keep.
QSize NeededSize(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->wordWrap()) {
            return {label->width(), label->heightForWidth(label->width())};
        }
        return label->sizeHint();
    }
    if (qobject_cast<QCheckBox*>(w) != nullptr) {
        return w->sizeHint();
    }
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        // Styles give push buttons a generous minimum width; only the
        // caption and its image count here.
        const QString text = QString(button->text()).remove('&');
        int width = button->fontMetrics().horizontalAdvance(text) + 14;
        if (!button->icon().isNull()) {
            width += button->iconSize().width() + 4;
        }
        return {width, button->height()};
    }
    return w->size();
}

bool Overlap(int a0, int a1, int b0, int b1) {
    return a0 < b1 && b0 < a1;
}

void FitChildren(QWidget* parent) {
    QList<QWidget*> placed;
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w != nullptr && PlacedByPixel(w)) {
            placed << w;
        }
    }
    for (QWidget* w : placed) {
        const QRect old = w->geometry();
        const QSize need = NeededSize(w);
        const int dx = std::max(0, need.width() - old.width());
        const int dy = std::max(0, need.height() - old.height());
        if (dx == 0 && dy == 0) {
            continue;
        }
        w->resize(old.width() + dx, old.height() + dy);
        // Make room: what stood right of it on its row moves right, what
        // stood below it moves down.
        for (QWidget* other : placed) {
            if (other == w) {
                continue;
            }
            const QRect g = other->geometry();
            if (dx > 0 && g.left() >= old.right() - 1 &&
                Overlap(g.top(), g.bottom(), old.top(), old.bottom())) {
                other->move(g.left() + dx, g.top());
            } else if (dy > 0 && g.top() >= old.bottom() - 1 &&
                       Overlap(g.left(), g.right(), old.left(), old.right())) {
                other->move(g.left(), g.top() + dy);
            }
        }
    }
}

}  // namespace

void KeepCaptionsWhole(QWidget* root) {
    FitChildren(root);
    for (QWidget* w : root->findChildren<QWidget*>()) {
        FitChildren(w);
    }
}

int ContentRight(const QWidget* container) {
    int right = 0;
    for (QObject* o : container->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w != nullptr && !w->isWindow()) {
            right = std::max(right, w->geometry().right() + 1);
        }
    }
    return right;
}
