#include "gauge.h"

#include <QPainter>
#include <algorithm>

Gauge::Gauge(QWidget* parent) : QWidget(parent) {
    setAccessibleName("0%");
}

int Gauge::percent() const {
    if (maximum_ == minimum_) {
        return 0;
    }
    return static_cast<int>((static_cast<long long>(progress_) - minimum_) * 100 /
                            (static_cast<long long>(maximum_) - minimum_));
}

void Gauge::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    setProgress(progress_);
}

void Gauge::setProgress(int value) {
    progress_ = std::clamp(value, minimum_, maximum_);
    setAccessibleName(QString::number(percent()) + "%");
    update();
}

void Gauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    p.fillRect(frame, Qt::white);
    const int inner = frame.width() - 1;
    const int filled = inner * percent() / 100;
    p.fillRect(QRect(frame.left() + 1, frame.top() + 1, filled, frame.height() - 1),
               QColor(0, 128, 0));
    p.setPen(Qt::gray);
    p.drawRect(frame);
    p.setPen(Qt::black);
    p.drawText(rect(), Qt::AlignCenter, QString::number(percent()) + "%");
}
