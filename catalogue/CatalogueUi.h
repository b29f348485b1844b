#pragma once

#include <QString>
#include <QList>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <initializer_list>

class QAbstractButton;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QObject;
class QPushButton;
class QWidget;
namespace db {
class DbGrid;
class Query;
struct GridColumn;
} // namespace db

// Small helpers shared by the catalogue windows.
namespace cat {

// An edit or grid that can be switched off: disabled it takes the button-face
// colour, enabled the window colour again.
void SetActive(QWidget* w, bool on);

// True when every character is a digit 0-9 (an empty text passes).
bool AllDigits(const QString& s);

// A dialog's refusal: the message, then the focus back into the offending
// field (when one is given).
void Refuse(const QString& text, QWidget* focus);
// True when the edit holds text; otherwise refuses with the text on the edit.
bool Filled(QLineEdit* edit, const QString& refusal);

// The cell style of a product list: a hidden product's row (OPEN_CLOSE above
// 0) has the button-face background; other rows and roles keep their look.
QVariant HiddenRowStyle(const db::Query& q, int row, const QString& field, int role);

// A dialog's bottom row: the first button at the left, the others at the right.
QHBoxLayout* ButtonRow(QPushButton* left, std::initializer_list<QPushButton*> right);
// The sunken, centred caption over a picker's list, naming what is moved.
QLabel* CaptionPanel(QWidget* parent);

// A read-only field showing a chosen name: a name longer than the field
// shows its start, not its end, whenever it is set.
void ShowNamesFromStart(QLineEdit* field);
// A picker's list: a query on the data module's read transaction, owned by
// owner and shown in the grid as the one stretched column NAME under title.
db::Query* NameList(QObject* owner, db::DbGrid* grid, const QString& title);

// A number typed with the decimal comma (a point is taken too); ok is false
// for anything else, an empty text included.
double ParseDecimal(const QString& s, bool* ok = nullptr);

// A number in the shortest form with up to `decimals` places and the decimal comma ("0.#####").
QString FormatDecimal(double v, int decimals);

// Sets a grid's columns, each at least as wide as its whole title; a grid of
// one column (or with keepWide, any grid) is kept wide enough to show them all.
void SetColumns(db::DbGrid* grid, QList<db::GridColumn> columns, bool keepWide = false);
// Widths of a date ("dd.mm.yyyy") and a time ("hh:mm:ss") column that show them whole in the grid's
// font, at least the design width; columns grow further with the font when the window zooms.
int DateColumnWidth(const QWidget* grid, int designWidth = 80);
int TimeColumnWidth(const QWidget* grid, int designWidth = 65);
// The width of a column that shows a value as wide as `sample` ("000000,00") whole, likewise.
int ValueColumnWidth(const QWidget* grid, const QString& sample, int designWidth);
// The width of a column that shows whole, likewise, the widest figure a
// kitchen's lines hold in a display format: a price (db::kPriceDisplay) of a
// million with four decimals or of ten thousand with six, a quantity
// (db::kQuantityDisplay) of a thousand with six, a sum ("0.00", "#.00") of a
// hundred million, a yield or a coefficient ("0.###") of a thousand with three.
int FigureColumnWidth(const QWidget* grid, const QString& displayFormat, int designWidth);

// The shared choice dialog Form_RG with the radio group's caption and items,
// the first preselected: the index chosen on OK, -1 on Cancel.
int ChooseRG(const QString& caption, const QStringList& items);

// A list that is open and holds a row.
bool HasRow(const db::Query* q);
// KOD of the current row, 0 without one.
qint64 KeyOf(const db::Query* q);
// A list just read afresh goes back to the row of `key` (KOD) when it still
// lists it, so a rerun of the same list keeps the user's row; otherwise it
// stays on its first row.
void StandAgain(db::Query* q, qint64 key);
// Moves a list one row back unless it stands on its first row, and returns
// the key (KOD) of the row it then stands on; 0 for an empty list.
qint64 StepBackKey(db::Query* q);

// Insert in a product search field above an entry grid. A list still behind
// the typed text (its typing delay running) is read first with `refill`, so
// that the product added is the one the text finds; then `add` is clicked
// while it is enabled. A product added leaves the focus on `entry`, where its
// number is typed. A search that found nothing adds nothing (the add
// button's handler says so, NothingFoundText) and the user stays in the
// search, text and all, so that a number typed next goes to no line.
void InsertFromSearch(const db::Query* found, QAbstractButton* add, QWidget* entry, bool listBehind,
                      const std::function<void()>& refill);
// What the add button says when its list offers no product: "Поиск "…" не
// нашёл ни одного продукта." with the context search on, otherwise that the
// list is empty, followed by `nothingAdded` (where nothing went).
QString NothingFoundText(bool searching, const QString& typed, const QString& nothingAdded);

// The background of a switched-off menu section (IS_ACTIVE = 0) in a list of
// sections, for every window that shows them; nothing for other rows and roles.
QVariant RazdelCellStyle(const db::Query& q, int row, const QString& field, int role);

} // namespace cat
