#pragma once

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QToolBar>
#include <QWidget>
#include <QtTest>
#include <functional>

// Runs `step` once the next modal dialog has opened (from inside its event
// loop), so a test can fill it in and close it.
inline void WhenDialogOpens(std::function<void()> step) {
    QTimer::singleShot(0, qApp, std::move(step));
}

// Clicks the toolbar button of an action, as the user would.
inline void ClickToolButton(QToolBar* bar, QAction* action) {
    QWidget* button = bar->widgetForAction(action);
    QVERIFY(button != nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

// What a screen reader is told of a widget: its name, or another of its texts.
inline QString Heard(QWidget* widget, QAccessible::Text text = QAccessible::Name) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface != nullptr ? iface->text(text) : QString();
}
