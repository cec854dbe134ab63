#pragma once

#include <QWidget>

#include "core/process/progress.h"

// A horizontal bar filled from the left in green over the share of its
// range that the progress covers, with the whole percentage in its middle.
class Gauge : public QWidget {
    Q_OBJECT

public:
    explicit Gauge(QWidget* parent = nullptr);

    const zentrivo::ProgressGauge& values() const { return values_; }
    int minimum() const { return values_.minimum; }
    int maximum() const { return values_.maximum; }
    int progress() const { return values_.progress; }

    void setRange(int minimum, int maximum);
    // Kept within minimum and maximum.
    void setProgress(int value);
    void advance();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void changed();

    zentrivo::ProgressGauge values_;
};
