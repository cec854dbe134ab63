#pragma once

#include <QIcon>
#include <QWidget>

// The status bar's device panel: the icon and the coloured text of the
// device state, drawn by the program. Its text is also its accessible name
// so that screen readers can tell the state.
class DevicePanel : public QWidget {
    Q_OBJECT

public:
    explicit DevicePanel(QWidget* parent = nullptr);

    void setState(int state);
    QString text() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int state_ = 0;
    QIcon images_[3];
};
