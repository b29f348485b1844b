#pragma once

// Input as a user gives it: the window shown and active, keys sent to the
// control that has the focus, buttons clicked with the mouse.

#include "grid/DatasetModel.h"
#include "ui/Keypad.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QWidget>

namespace input {

// Shows the window, makes it the active one and puts the focus on `focus`.
inline void showActive(QWidget* window, QWidget* focus)
{
    window->show();
    QApplication::setActiveWindow(window);
    (void)QTest::qWaitForWindowActive(window, 1000);
    if (focus)
        focus->setFocus();
    QApplication::processEvents();
}

// Each character of `text` and then Enter, each to whichever control has the focus then.
inline void typeThenEnter(const QString& text, QWidget* fallback)
{
    auto target = [fallback] {
        QWidget* f = QApplication::focusWidget();
        return f ? f : fallback;
    };
    for (const QChar c : text)
        QTest::keyClick(target(), c.toLatin1());
    QTest::keyClick(target(), Qt::Key_Return);
}

// Clicks the keypad's buttons for `text` (digits and ',') and then its OK, with the mouse.
inline void clickKeypad(TKeypad* pad, const QString& text)
{
    for (const QChar c : text) {
        QPushButton* b = c == QLatin1Char(',') ? pad->Btn_Koma : pad->digitButton(c.digitValue());
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QTest::mouseClick(pad->Btn_OKS, Qt::LeftButton);
}

} // namespace input
