#include "pie_chart.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QtMath>
#include <algorithm>

namespace {

// What a screen reader is told of the pie: a chart named by its title whose
// value and description are its slices with their counts.
class PieAccessible : public QAccessibleWidget {
public:
    explicit PieAccessible(PieChart* chart) : QAccessibleWidget(chart, QAccessible::Chart) {}

    QString text(QAccessible::Text t) const override {
        const auto* chart = static_cast<const PieChart*>(widget());
        switch (t) {
            case QAccessible::Name:
                return chart->accessibleName().isEmpty() ? chart->title() : chart->accessibleName();
            case QAccessible::Value:
            case QAccessible::Description:
                return chart->SlicesText();
            default:
                return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface* PieInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("PieChart") && object != nullptr && object->isWidgetType()) {
        return new PieAccessible(static_cast<PieChart*>(object));
    }
    return nullptr;
}

}  // namespace

PieChart::PieChart(QWidget* parent) : QWidget(parent) {
    static const bool registered = (QAccessible::installFactory(&PieInterface), true);
    (void)registered;
    setFocusPolicy(Qt::TabFocus);
    setAutoFillBackground(false);
    describe();
}

void PieChart::setTitle(const QString& title) {
    title_ = title;
    describe();
    update();
}

void PieChart::clear() {
    slices_.clear();
    describe();
    update();
}

void PieChart::add(const QString& label, int value, const QColor& colour) {
    slices_.push_back({label, value, colour});
    describe();
    update();
}

QString PieChart::SlicesText() const {
    QStringList parts;
    for (const Slice& s : slices_) {
        parts << s.label + " " + QString::number(s.value);
    }
    return parts.join(", ");
}

void PieChart::describe() {
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void PieChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);

    QFont titleFont = font();
    titleFont.setBold(true);
    p.setFont(titleFont);
    const int titleHeight = QFontMetrics(titleFont).height() + 4;
    p.setPen(Qt::black);
    p.drawText(QRect(0, 2, width(), titleHeight), Qt::AlignCenter, title_);
    p.setFont(font());

    long long total = 0;
    for (const Slice& s : slices_) {
        total += std::max(0, s.value);
    }
    if (slices_.isEmpty()) {
        return;
    }

    // Room around the circle for the marks and their arrows.
    const QFontMetrics fm(font());
    const int markRoom = fm.height() + 14;
    const int markWidth = fm.horizontalAdvance("Remaining 0000") + 12;
    const int side =
        std::max(10, std::min(width() - 2 * markWidth, height() - titleHeight - 2 * markRoom));
    const QRectF circle((width() - side) / 2.0, titleHeight + (height() - titleHeight - side) / 2.0,
                        side, side);
    const QPointF centre = circle.center();
    const double radius = side / 2.0;

    double startDegrees = 90.0;  // Qt measures counter-clockwise from three o'clock
    for (const Slice& s : slices_) {
        const double span =
            total > 0 ? 360.0 * std::max(0, s.value) / static_cast<double>(total) : 0;
        if (span > 0) {
            p.setPen(QPen(Qt::black, 0.5));
            p.setBrush(s.colour);
            if (span >= 360.0) {
                p.drawEllipse(circle);
            } else {
                p.drawPie(circle, qRound(startDegrees * 16), qRound(-span * 16));
            }
        }
        const double mid = qDegreesToRadians(startDegrees - span / 2.0);
        const QPointF edge(centre.x() + radius * std::cos(mid),
                           centre.y() - radius * std::sin(mid));
        const QPointF tip(centre.x() + (radius + 8) * std::cos(mid),
                          centre.y() - (radius + 8) * std::sin(mid));
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(edge, tip);

        const QString text = s.label + " " + QString::number(s.value);
        QRectF box(0, 0, fm.horizontalAdvance(text) + 6, fm.height() + 2);
        box.moveCenter(tip);
        const double dx = std::cos(mid);
        const double dy = -std::sin(mid);
        box.translate(dx * box.width() / 2.0, dy * box.height() / 2.0);
        p.setBrush(QColor(255, 255, 225));
        p.drawRect(box);
        p.drawText(box, Qt::AlignCenter, text);
        startDegrees -= span;
    }
}
