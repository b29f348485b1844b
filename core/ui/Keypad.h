#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

class QAbstractItemView;
class QButtonGroup;
class QCheckBox;
class QDialog;

// Enter in a grid, an edit or a keypad key of the window finishes that entry
// only: it never reaches the window's default button. A button acts on Enter
// only while it has the focus itself. Install it before the window's own key
// handlers on the window, so that they still see the key first.
void KeepEnterInControls(QDialog* window);

// The quantity keypad shared by the entry windows: a display, ten digit
// buttons, the decimal comma, backspace and OK, mapped onto the keyboard.
// The window that uses it sets the guard, what a taken number does, where
// the focus returns after a key, and the buttons Insert and Delete click.
class TKeypad : public QWidget {
    Q_OBJECT
public:
    explicit TKeypad(QWidget* parent = nullptr);
    ~TKeypad() override;

    QLineEdit* E_Klava;
    QPushButton* Btn_Zero;
    QPushButton* Btn_One;
    QPushButton* Btn_Two;
    QPushButton* Btn_Three;
    QPushButton* Btn_Four;
    QPushButton* Btn_Five;
    QPushButton* Btn_Six;
    QPushButton* Btn_Seven;
    QPushButton* Btn_Eight;
    QPushButton* Btn_Nine;
    QPushButton* Btn_Koma;
    QPushButton* Btn_Back;
    QPushButton* Btn_OKS;
    QTimer* Timer_rg;  // focus return after a click on a column choice

    // True while the display holds the decimal separator.
    bool CommaTyped = false;

    // Whether entry is possible now; none means always.
    std::function<bool()> guard;
    // Applies a number taken by OK.
    std::function<void(double)> apply;
    // Whether the number OK takes now is a quantity; none means never. A
    // quantity beyond the bound of a line (engine/LineBounds.h) is refused as
    // a text that is no number is: the message. A refused number leaves the
    // display empty, so that the next digits start a number of their own.
    std::function<bool()> takesQuantity;
    // Where the focus goes after a key.
    QPointer<QWidget> focusTarget;
    // The buttons that Insert and Delete click; none leaves the key out.
    QPointer<QAbstractButton> addButton;
    QPointer<QAbstractButton> removeButton;
    // Whether '+' and '-' set the sign.
    bool signKeys = true;
    // Whether OK on an empty display does nothing (else it shows the conversion error).
    bool emptyOkIgnored = false;
    // Whether Enter that took a number leaves the focus where the window's
    // apply put it (where entry goes on), instead of on the focus target.
    bool applyPlacesFocus = false;
    // The grid whose current line a number goes to, and the column of the
    // cell it goes to there (the window's column choice). Tab and Shift+Tab
    // take a number on that cell and move one column from it; the arrows,
    // Home, End, Page Up and Page Down pressed on the keypad's own buttons
    // move in that grid, a number typed taken first. A grid standing on no
    // line takes no number. None: Tab takes the number as OK does.
    QPointer<QAbstractItemView> entryGrid;
    std::function<int()> entryColumn;
    // The entry grid's cursor keeps to the cells that take typing: `columns`
    // gives them now (the window's mode). Tab and Shift+Tab, on the grid or
    // the keypad, step between them, a row's end wrapping to the next line's
    // first and the first to the previous line's last, the last line's end
    // staying; Left and Right step within the line; Home and End go to the
    // line's first and last of them, with Ctrl on the first or last line.
    // From no line these keys stand on the first line's entryColumn() cell.
    // A click, an arrow or anything else that puts the cursor on a cell that
    // takes no typing puts it on that line's entryColumn() cell. Call once
    // entryGrid and entryColumn are set.
    void keepToEntryCells(std::function<QList<int>()> columns);

    // The decimal separator of the program (a Russian workstation's).
    static QChar DecimalSeparator() { return QLatin1Char(','); }
    // The display's text as a number; anything else throws the conversion error.
    static double TextToFloat(const QString& text);

    void DigitClick(int digit);
    void Btn_KomaClick();
    void Btn_BackClick();
    void Btn_OKSClick();
    void Clear();
    // The key handler: acts on the keys of the keypad. True when it took the
    // key, which then must reach no other control; Tab takes a typed number
    // and keeps moving the focus.
    bool KeyDown(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    // Keys a window's own filter hands over: Enter takes the displayed
    // number, Escape clears the display. True when the key was one of them.
    bool EntryKey(int key);
    // The keys of a product search field: those of EntryKey, and Delete,
    // which clicks the remove button when it is enabled.
    bool SearchKey(int key);
    // Whether releasing the key in a search field restarts its typing delay;
    // the arrows only move through the list.
    static bool RestartsSearch(int key);
    // The search boxes above a product list: either one refills the list, and
    // ticking the context search puts the focus into the search field.
    static void bindSearch(QCheckBox* context, QLineEdit* field, QCheckBox* closed, std::function<void()> refill);

    // Installs the key handler on a control of the window.
    void attachKeys(QWidget* control);
    // A number typed for the grid's current cell belongs to that cell: a click
    // on another cell, or a move with the keys, takes it there first, as Tab does.
    void keepCellOf(QAbstractItemView* grid);
    // Takes a number still in the display on the cell it was typed for, before
    // the user leaves that cell; the window stores it and leaves the cursor to
    // the user's move. False when it was refused: the move must not happen.
    bool TakeBeforeLeaving();
    // True while a number is taken that way: the window skips its cursor advance.
    bool LeavingCell() const { return leaving_; }
    // A click on the group returns the focus to the target after 80 ms; the
    // entry grid's cursor stands on the column chosen, by the user or the
    // window. A number in the display is taken on its cell before the user's
    // choice moves the cursor; refused, the choice stays.
    void watchRadioGroup(QButtonGroup* group);
    QPushButton* digitButton(int digit) const { return digits_[static_cast<size_t>(digit)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool guardOk() const;
    void focusTargetNow();
    bool leavesCell(QObject* watched, QEvent* event) const;
    // Takes a number on its cell and then moves in the entry grid as the key
    // does there, from that cell.
    bool moveInEntryGrid(int key, Qt::KeyboardModifiers modifiers);
    // Puts the entry grid's cursor on the cell a number goes to.
    void standOnEntryCell();
    // Tab, Shift+Tab, the side arrows, Home and End between the cells that take typing.
    void stepBetweenEntryCells(int key, Qt::KeyboardModifiers modifiers);
    std::function<QList<int>()> entryColumns_;
    bool snapping_ = false;  // the cursor is being put on an entry cell
    std::array<QPushButton*, 10> digits_{};
    QSet<QObject*> attached_;
    QSet<QObject*> cellWatched_;  // the grids and their viewports whose cells keep their numbers
    bool leaving_ = false;
    bool taken_ = false;  // the last OK stored its number
};
