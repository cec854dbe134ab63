#include "device_panel.h"

#include <QPainter>
#include <algorithm>

#include "core/serial/device_state.h"

DevicePanel::DevicePanel(QWidget* parent) : QWidget(parent) {
    images_[0] = QIcon(":/icons/state_disconnected.svg");
    images_[1] = QIcon(":/icons/state_port_open.svg");
    images_[2] = QIcon(":/icons/state_connected.svg");
    setState(0);
}

void DevicePanel::setState(int state) {
    state_ = std::clamp(state, 0, 2);
    setAccessibleName(text());
}

QString DevicePanel::text() const {
    return zentrivo::DeviceStateText(state_);
}

QSize DevicePanel::sizeHint() const {
    return {16 + 2 + fontMetrics().horizontalAdvance(text()) + 4, 17};
}

void DevicePanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, palette().button());
    p.setPen(QColor::fromRgb(zentrivo::DeviceStateColour(state_)));
    p.setFont(font());
    p.setClipRect(r);
    p.drawText(r.adjusted(16 + 2, 1, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text());
    images_[state_].paint(&p, QRect(r.left() + 1, r.top() + (r.height() - 16) / 2, 16, 16));
}
