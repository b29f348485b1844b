#pragma once

// A printed paper checked as an accountant reads it: every table line reads
// across (its quantity times its price, as printed with the decimals they
// have, gives its amount within half a kopeck), every difference is the
// difference of the figures
// beside it, every subtotal and total is the sum of the printed amounts
// above it, the amount in words is the printed total, and the total agrees
// with the ledger's sum of stored quantity times stored price. The paper is
// given as its cells (rows of values, as the office returns a range) and a
// description of its columns.

#include "automation/RecordingOffice.h"
#include "words/AmountInWords.h"

#include <QList>
#include <QStringList>
#include <QVariantList>
#include <QVector>

#include <limits>

namespace papercheck {

// A column by its letter.
using Column = char;

struct Across {
    Column quantity, price, amount;
    // Where `quantity` is empty, the figure here stands for it negated (a
    // shortage beside its surplus column: the amount is the difference's).
    Column negatedQuantity = 0;
};

// On a line, `into` holds minuend − subtrahend and `intoNegated` its
// negation, each where it is printed; with `samePrice` set, only on lines
// whose two price columns print the same (the amount of a difference at one
// price is the difference of the amounts at it).
struct Difference {
    Column minuend, subtrahend, into, intoNegated = 0;
    Column samePrice = 0, samePriceToo = 0;
};

// A total on a row of its own caption: the sum of column `of` over every
// line, in column `at`, and its words in column `words`.
struct CaptionedTotal {
    QString caption;
    Column of, at, words;
};

struct Paper {
    Column lineMark = 'A';  // a number here makes a row a table line
    Column captions = 'B';  // where "Итого ..." captions stand
    QVector<Across> across;
    // Columns of quantities with no price beside them (a technological
    // card's gross and net): they only show as quantities.
    QString quantities;
    QVector<Difference> differences;
    // The amount columns each "Итого ..." row sums: a subtotal of a level
    // ("по группе", "по складу", "по подразделению", "по предприятию") the
    // lines since the last subtotal of its level or an outer one, any other
    // ("Итого:", "ИТОГО:", "Итого за период:") every line.
    QString summed;
    QVector<CaptionedTotal> totals;
    // A text beginning so spells the total of summed[0] after it.
    QString wordsPrefix;
    // A caption standing before the amount in words on a row of its own
    // ("Сумма прописью:"): the next text on that row spells the total of
    // summed[0].
    QString wordsCaption;
    words::MoneyNames names;
    // A printed row may stand for up to this many stored lines (a row of a
    // period's statement): its amount, the sum of theirs each rounded once,
    // reads across within half a kopeck for each.
    int linesPerRow = 1;
    // A row with no line mark and no caption whose summed columns hold
    // numbers is a subtotal of the innermost group (one printed without a
    // caption).
    bool bareSubtotals = false;
    // The ledger's sum of the lines' stored quantities times their stored
    // prices (NaN: not checked): the total of summed[0] agrees with it
    // within half a kopeck a line.
    double ledger = std::numeric_limits<double>::quiet_NaN();
};

// The sheet's cells from its first row and column, as a range's contents.
QList<QVariantList> CellsOf(const automation::RecordedSheet& sheet);

// What does not add up, a line each ("F12: 3 × 0,335 = 1,01, printed 1,00");
// empty when the paper reads as it should. `lines` counts the table lines seen.
QStringList Check(const QList<QVariantList>& cells, const Paper& paper, int* lines = nullptr);

// The numbers of a sheet as the office shows them (in their cells' number
// formats), in the shape of CellsOf; empty where a cell holds no number.
QList<QStringList> ShownOf(const automation::RecordedSheet& sheet);
// The same of a document's first sheet, for its cells as contents() gave them.
QList<QStringList> ShownOf(automation::Document& document, const QList<QVariantList>& cells);

// The figures that do not show as the papers print them, a line each: on
// every table line a quantity with the decimal comma and up to six
// decimals, a price with two to six, an amount with two; every summed
// figure (subtotals and totals too) with two; each reading as the figure
// the cell holds, to those places. A cell nobody formatted shows otherwise
// ("22.8").
QStringList CheckShown(const QList<QVariantList>& cells, const QList<QStringList>& shown, const Paper& paper);

// The figures whose number format is not their column's, a line each: on
// every table line and every subtotal and total, a figure takes the format
// its column's first figure on a table line has, however far below the
// rows the template formats in advance it stands, or the papers' format of
// a price or a quantity (one with more decimals than an older template's
// column shows).
QStringList CheckColumnFormats(const automation::RecordedSheet& sheet, const Paper& paper);

// A test failure naming every fault of the office's last workbook's first
// sheet, in its figures, in how they show and in their columns' formats;
// the number of table lines checked.
int ExpectReads(const automation::RecordingOffice& office, const Paper& paper);

// The waybill as a paper: quantity, price and amount in D, E and F, the
// captions in E, the amount in words after "Сумма прописью: ".
Paper Waybill(const words::MoneyNames& names);

} // namespace papercheck
