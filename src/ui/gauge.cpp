#include "gauge.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPainter>

namespace {

// What a screen reader is told of the gauge: a progress bar with its value,
// its range and its percentage, as the platform's own gauge tells it.
class GaugeAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit GaugeAccessible(Gauge* gauge) : QAccessibleWidget(gauge, QAccessible::ProgressBar) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return QString::fromStdString(zentrivo::PercentText(gauge()->values()));
        }
        return QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return gauge()->progress(); }
    void setCurrentValue(const QVariant&) override {}  // the user cannot move it
    QVariant maximumValue() const override { return gauge()->maximum(); }
    QVariant minimumValue() const override { return gauge()->minimum(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    Gauge* gauge() const { return static_cast<Gauge*>(widget()); }
};

QAccessibleInterface* GaugeInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("Gauge") && object != nullptr && object->isWidgetType()) {
        return new GaugeAccessible(static_cast<Gauge*>(object));
    }
    return nullptr;
}

}  // namespace

Gauge::Gauge(QWidget* parent) : QWidget(parent) {
    static const bool registered = (QAccessible::installFactory(&GaugeInterface), true);
    (void)registered;
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
    QAccessibleValueChangeEvent event(this, values_.progress);
    QAccessible::updateAccessibility(&event);
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
