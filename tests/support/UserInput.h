#pragma once

// Input as a user gives it: the window shown and active, keys sent to the
// control that has the focus, buttons clicked with the mouse.

#include "grid/DatasetModel.h"
#include "ui/Keypad.h"

#include <QApplication>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
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

// Each character of `text` (Cyrillic letters too) to whichever control has the focus then.
inline void typeText(const QString& text)
{
    for (const QChar c : text) {
        const auto key = static_cast<Qt::Key>(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), key, QString(c), Qt::NoModifier);
    }
}

// One key to the control that has the focus.
inline void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, mods);
}

// Each character of `text` and then Enter, each to whichever control has the focus then.
// With Qt::KeypadModifier the keys are those of the numeric pad, its Enter included.
inline void typeThenEnter(const QString& text, QWidget* fallback, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    auto target = [fallback] {
        QWidget* f = QApplication::focusWidget();
        return f ? f : fallback;
    };
    for (const QChar c : text)
        QTest::keyClick(target(), c.toLatin1(), mods);
    QTest::keyClick(target(), mods & Qt::KeypadModifier ? Qt::Key_Enter : Qt::Key_Return, mods);
}

// Clicks with the mouse the grid's cell of the query's `row` in the column showing `field`.
inline void clickCell(db::DbGrid* grid, int row, const QString& field)
{
    const QList<db::GridColumn>& cols = grid->datasetModel()->columns();
    int column = 0;
    while (column < cols.size() && cols[column].field != field)
        ++column;
    const QModelIndex cell = grid->model()->index(row, column);
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
}

// Clicks with the mouse the tab of `page`, then lets what its showing started run.
inline void clickTab(QTabWidget* tabs, QWidget* page)
{
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tabs->indexOf(page)).center());
    QApplication::processEvents();
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
