#include "gauge.h"

#include <QPainter>

Gauge::Gauge(QWidget* parent) : QWidget(parent) {
    changed();
}

void Gauge::setRange(int minimum, int maximum) {
    values_.SetRange(minimum, maximum);
    changed();
}

void Gauge::setProgress(int value) {
    values_.SetProgress(value);
    changed();
}

void Gauge::advance() {
    values_.Advance();
    changed();
}

void Gauge::changed() {
    setAccessibleName(QString::fromStdString(zentrivo::PercentText(values_)));
    update();
}

void Gauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    p.fillRect(frame, Qt::white);
    const int filled = (frame.width() - 1) * values_.Percentage() / 100;
    const auto green = zentrivo::kCompletedColour;
    p.fillRect(QRect(frame.left() + 1, frame.top() + 1, filled, frame.height() - 1),
               QColor(green.red, green.green, green.blue));
    p.setPen(Qt::gray);
    p.drawRect(frame);
    p.setPen(Qt::black);
    p.drawText(rect(), Qt::AlignCenter, QString::fromStdString(zentrivo::PercentText(values_)));
}
