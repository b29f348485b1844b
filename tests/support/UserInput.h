#pragma once

// Input as a user gives it: the window shown and active, keys sent to the
// control that has the focus, buttons clicked with the mouse.

#include "grid/DatasetModel.h"
#include "ui/Keypad.h"
#include "ui/RadioGroup.h"

#include <QApplication>
#include <QHash>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWidget>

#include <functional>

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
    // Hidden columns have no place on the screen.
    const QModelIndex cell = grid->model()->index(row, grid->datasetModel()->columnOf(field));
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

// Plays a walk through a grid as a user types it, each step to whichever
// control has the focus then: words separated by blanks, "Tab", "Backtab",
// "Up", "Down", "Left", "Right", "Home", "End", "PgUp", "PgDn", "Enter",
// "Esc", "Ins", a click on a cell "@ROW:FIELD", a click on the item N of
// the window's "Изменяемая колонка" "#N", "!" for what another
// workstation does meanwhile (`elsewhere`), and anything else typed
// character by character (digits, ',', letters of a search).
// With Qt::KeypadModifier the digits and Enter are those of the numeric pad.
inline void play(const QString& walk, db::DbGrid* grid, Qt::KeyboardModifiers mods = Qt::NoModifier,
                 const std::function<void()>& elsewhere = {})
{
    static const QHash<QString, Qt::Key> keys{{QStringLiteral("Tab"), Qt::Key_Tab},     {QStringLiteral("Backtab"), Qt::Key_Backtab},
                                              {QStringLiteral("Up"), Qt::Key_Up},       {QStringLiteral("Down"), Qt::Key_Down},
                                              {QStringLiteral("Left"), Qt::Key_Left},   {QStringLiteral("Right"), Qt::Key_Right},
                                              {QStringLiteral("Enter"), Qt::Key_Return}, {QStringLiteral("Esc"), Qt::Key_Escape},
                                              {QStringLiteral("Ins"), Qt::Key_Insert},  {QStringLiteral("Home"), Qt::Key_Home},
                                              {QStringLiteral("End"), Qt::Key_End},     {QStringLiteral("PgUp"), Qt::Key_PageUp},
                                              {QStringLiteral("PgDn"), Qt::Key_PageDown}};
    for (const QString& step : walk.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QWidget* to = QApplication::focusWidget() ? QApplication::focusWidget() : grid;
        if (keys.contains(step)) {
            Qt::Key key = keys.value(step);
            if (key == Qt::Key_Return && (mods & Qt::KeypadModifier))
                key = Qt::Key_Enter;
            QTest::keyClick(to, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : mods & Qt::KeypadModifier);
        } else if (step == QLatin1String("!")) {
            elsewhere();
        } else if (step.startsWith(QLatin1Char('@'))) {
            clickCell(grid, step.mid(1).section(QLatin1Char(':'), 0, 0).toInt(), step.section(QLatin1Char(':'), 1));
        } else if (step.startsWith(QLatin1Char('#'))) {
            for (TRadioGroup* choice : grid->window()->findChildren<TRadioGroup*>())
                if (choice->caption() == QStringLiteral("Изменяемая колонка")) {
                    QAbstractButton* item = choice->button(step.mid(1).toInt());
                    QTest::mouseClick(item, Qt::LeftButton);
                    (void)QTest::qWaitFor([item] { return !item->hasFocus(); }, 1000);  // the keypad gives it back
                }
        } else {
            for (const QChar c : step)
                QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), static_cast<Qt::Key>(c.toUpper().unicode()),
                                    QString(c), mods);
        }
        QApplication::processEvents();
    }
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
