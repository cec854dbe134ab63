#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A pair of arrow buttons tied to an edit: it moves its position by its
// step within its range, without wrapping round, and writes the position
// into the edit as plain digits. The arrow keys in the edit move it too. A
// number typed into the edit inside the range is the position; one outside
// the range leaves the position last set.
class UpDown : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int singleStep READ singleStep WRITE setSingleStep)
    Q_PROPERTY(int position READ position WRITE setPosition)

public:
    explicit UpDown(QWidget* parent = nullptr);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int singleStep() const { return step_; }
    int position() const;

    void setMinimum(int value);
    void setMaximum(int value);
    void setSingleStep(int value) { step_ = value; }
    // Kept within the range; shown in the edit.
    void setPosition(int value);

    void setBuddy(QLineEdit* edit);

    void stepBy(int steps);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPosition();

    int minimum_ = 0;
    int maximum_ = 100;
    int step_ = 1;
    int position_ = 0;
    QLineEdit* buddy_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
};
