#pragma once

// What the cells of a document's sheets hold, kept on our side: each sheet
// is read from the office once, when first asked about, and follows from
// then on every write, copy, move and removal of rows made through its
// owner. A print that writes a block around labels already on the sheet (a
// card's header copied among its lines) knows them without asking the
// office again. Only right while every change of the cells' contents goes
// through the owner. Besides, the ranges merged through the owner, and those
// its copies and moves brought along, are kept: merging one again changes
// nothing, and the office need not be asked to.

#include "Spreadsheet.h"

#include <QList>
#include <QVariant>

#include <map>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace automation {

class KnownCells {
public:
    // Reads the sheet from `doc` unless it is known; false when the office
    // cannot tell what it holds.
    bool know(Document& doc, int sheet);
    bool knows(int sheet) const { return sheets_.count(sheet) > 0; }

    // As Document::filledCells and Document::contents, for a known sheet.
    QList<RangeAddress> filled(const RangeAddress& range) const;
    Document::Contents contents(const RangeAddress& range) const;

    // The values of a block written from `at` (an empty text or an invalid
    // value leaves its cell empty), and formulas.
    void write(const CellAddress& at, const QList<QVariantList>& rows);
    void writeFormulas(const CellAddress& at, const QList<QStringList>& rows);
    // A copy or a move of `from` whose top-left cell lands on `to`; the
    // source sheet must be known when the target one is.
    void transfer(const CellAddress& to, const RangeAddress& from, bool move);
    void removeRows(int sheet, int index, int count);
    // A new sheet is known empty; the sheets after it move on by one.
    void insertSheet(int index);
    void removeSheet(int index);
    void clear()
    {
        sheets_.clear();
        merges_.clear();
    }

    // The range was merged (through the owner or by a copy of a merged range).
    void merged(const RangeAddress& range);
    bool isMerged(const RangeAddress& range) const;

private:
    struct Cell {
        int column = 0;
        QVariant content;   // a QString or a double; invalid for a note alone
        bool plain = true;  // written back as its content, it comes back whole
    };
    using Row = std::vector<Cell>;  // by column
    using Cells = std::map<int, Row>;  // by row; no row without a cell

    // The cells of range, row by row.
    template <class F>
    static void forEachIn(const Cells& cells, const RangeAddress& range, F f);
    // The cell of the row at column, made empty when it is not there.
    static Cell& at(Row& row, int column);
    // Empties the cells of range.
    static void wipe(Cells& cells, const RangeAddress& range);

    // Merged ranges as (first row, first column, last row, last column).
    using Merge = std::tuple<int, int, int, int>;
    struct Merges {
        std::set<Merge> ranges;
        int tallest = 0;  // rows below its first the tallest one spans
    };
    // Forgets the merges sharing a cell with range, which a copy or move writes over.
    void forgetMergesIn(const RangeAddress& range);

    std::map<int, Cells> sheets_;  // the known sheets
    std::map<int, Merges> merges_;  // by sheet
};

} // namespace automation
