#pragma once

#include <QColor>
#include <QString>
#include <QVector>
#include <QWidget>

// A titled, circular pie whose slices run clockwise from the top in the
// order they were added, each with a mark that shows its label and value.
class PieChart : public QWidget {
    Q_OBJECT

public:
    struct Slice {
        QString label;
        int value;
        QColor colour;
    };

    explicit PieChart(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QString title() const { return title_; }

    void clear();
    void add(const QString& label, int value, const QColor& colour);
    const QVector<Slice>& slices() const { return slices_; }
    // "Remaining 27, Completed 3": each slice's label and value, in order.
    QString SlicesText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void describe();

    QString title_;
    QVector<Slice> slices_;
};
