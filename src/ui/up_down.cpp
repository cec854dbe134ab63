#include "up_down.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

#include "core/whole_number.h"

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setAccessibleName("Up");
    down_->setAccessibleName("Down");
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

int UpDown::position() const {
    // As the platform's up-down does, the edit's text is read when the
    // position is asked for: a number inside the range is taken, anything
    // else leaves the position last set.
    if (buddy_ != nullptr) {
        const auto typed = zentrivo::ParseWholeNumber(buddy_->text().toStdString());
        if (typed && *typed >= minimum_ && *typed <= maximum_) {
            return *typed;
        }
    }
    return position_;
}

void UpDown::setMinimum(int value) {
    minimum_ = value;
    maximum_ = std::max(maximum_, minimum_);
    setPosition(position_);
}

void UpDown::setMaximum(int value) {
    maximum_ = value;
    minimum_ = std::min(minimum_, maximum_);
    setPosition(position_);
}

void UpDown::setPosition(int value) {
    position_ = std::clamp(value, minimum_, maximum_);
    showPosition();
}

void UpDown::setBuddy(QLineEdit* edit) {
    buddy_ = edit;
    if (buddy_ == nullptr) {
        return;
    }
    buddy_->installEventFilter(this);
    showPosition();
}

void UpDown::stepBy(int steps) {
    const long long next =
        static_cast<long long>(position()) + static_cast<long long>(steps) * step_;
    position_ = static_cast<int>(std::clamp<long long>(next, minimum_, maximum_));
    showPosition();
}

void UpDown::showPosition() {
    if (buddy_ != nullptr) {
        buddy_->setText(QString::number(position_));
    }
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}
