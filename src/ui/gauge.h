#pragma once

#include <QWidget>

// A horizontal bar filled from the left in green over the share of its
// range that the progress covers, with the whole percentage in its middle.
class Gauge : public QWidget {
    Q_OBJECT

public:
    explicit Gauge(QWidget* parent = nullptr);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int progress() const { return progress_; }
    int percent() const;

    void setRange(int minimum, int maximum);
    // Kept within minimum and maximum.
    void setProgress(int value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int minimum_ = 0;
    int maximum_ = 0;
    int progress_ = 0;
};
