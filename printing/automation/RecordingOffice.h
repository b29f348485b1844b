#pragma once

// A spreadsheet program kept in memory: every document is a set of sheets
// with their cells, formats and merged areas, so that the template engine and
// the reports run and are checked without an office. A number reads back
// shown in its cell's number format (ShownNumber), as the office shows it.

#include "Spreadsheet.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <map>
#include <set>
#include <memory>
#include <utility>
#include <vector>

namespace automation {

struct RecordedSheet {
    QString name;
    std::map<std::pair<int, int>, CellState> cells;  // by (row, column); content and formats
    QList<RangeAddress> merges;
    std::map<int, int> columnWidths;  // by column, hundredths of a millimetre
    PageMargins margins;
    bool landscape = false;
    std::set<int> fittedRows;         // rows whose heights were fitted to their contents
    std::set<int> grownRows;          // rows grown where their merged texts need it, never shrunk
    QList<std::pair<int, int>> keptTogether;  // blocks of rows each printed on one page
};

struct RecordedBook {
    QString sourcePath;  // the file it was loaded from; empty for a new workbook
    std::vector<RecordedSheet> sheets;
    QStringList log;     // lock, unlock, show, close, store, ... in call order
    int cellCalls = 0;   // single-cell writes
    int rowCalls = 0;    // block writes
    int formatCalls = 0; // merge, wrap, alignment, font and border calls
    int readCalls = 0;   // questions about what cells hold (filledCells, contents)
    bool visible = false;
    bool closed = false;
    int controllerLocks = 0;
    int actionLocks = 0;
    // Ranges given wrapped text while the screen was locked: the office
    // adjusts no height then, so their rows are fitted at the unlock (or,
    // where a range starts a merged area, grown: RowsToFit).
    QList<RangeAddress> wrappedWhileLocked;
    // Rows asked to be fitted to their contents while the screen was locked, by sheet.
    std::map<int, std::set<int>> fittedWhileLocked;

    RecordedSheet& sheet(int index);
    CellState state(const CellAddress& cell) const;
    // The content of a cell named A1-style on a sheet, for checks.
    QVariant at(const QString& a1, int sheet = 0) const;
    CellState stateAt(const QString& a1, int sheet = 0) const;
};

class RecordingDocument : public Document {
public:
    explicit RecordingDocument(std::shared_ptr<RecordedBook> book) : book_(std::move(book)) {}

    int sheetCount() override;
    void insertSheet(int index, const QString& name) override;
    QString sheetName(int sheet) override;
    void setString(const CellAddress& cell, const QString& text) override;
    void setValue(const CellAddress& cell, double value) override;
    void setFormula(const CellAddress& cell, const QString& formula) override;
    void setBlockValues(const CellAddress& cell, const QList<QVariantList>& rows) override;
    void moveRange(const CellAddress& to, const RangeAddress& from) override;
    void copyRange(const CellAddress& to, const RangeAddress& from) override;
    void removeRows(int sheet, int index, int count) override;
    void merge(const RangeAddress& range) override;
    void setWrapped(const RangeAddress& range, bool wrapped) override;
    void setHoriJustify(const RangeAddress& range, int justify) override;
    void setFont(const RangeAddress& range, const Font& font) override;
    void setTableBorder(const RangeAddress& range, const TableBorder& border) override;
    void setTableBorders(const QList<RangeAddress>& ranges, const TableBorder& border) override;
    void setWrappedOn(const QList<RangeAddress>& ranges, bool wrapped) override;
    void setHoriJustifyOn(const QList<RangeAddress>& ranges, int justify) override;
    void setFontOn(const QList<RangeAddress>& ranges, const Font& font) override;
    void setColumnWidth(int sheet, int column, int width) override;
    void fitRowHeights(int sheet, int firstRow, int lastRow) override;
    void fitRowsAtUnlock(int sheet, int firstRow, int lastRow) override;
    void keepRowsTogether(int sheet, const QList<std::pair<int, int>>& blocks) override;
    void lockControllers() override;
    void unlockControllers() override;
    void addActionLock() override;
    void removeActionLock() override;
    void show() override;
    void close() override;
    void setSheetName(int sheet, const QString& name) override;
    void removeSheet(int sheet) override;
    void setBlockFormulas(const CellAddress& cell, const QList<QStringList>& rows) override;
    void setCharColor(const QList<RangeAddress>& ranges, int color) override;
    void setVertJustify(const RangeAddress& range, int justify) override;
    void setNumberFormat(const RangeAddress& range, const QString& code) override;
    void setNumberFormatOn(const QList<RangeAddress>& ranges, const QString& code) override;
    void setPageMargins(int sheet, const PageMargins& margins) override;
    PageMargins pageMargins(int sheet) override;
    void setLandscape(int sheet) override;
    void storeToFile(const QString& path, const QString& filter) override;
    CellState cellState(const CellAddress& cell) override;
    std::optional<QList<RangeAddress>> filledCells(const RangeAddress& range) override;
    std::optional<Contents> contents(const RangeAddress& range) override;

    RecordedBook& book() { return *book_; }

private:
    void transfer(const CellAddress& to, const RangeAddress& from, bool move);
    void growRowHeights(int sheet, int firstRow, int lastRow);
    template <class F>
    void forEachCell(const RangeAddress& range, F f);
    std::shared_ptr<RecordedBook> book_;
};

class RecordingOffice : public Office {
public:
    bool connect() override;
    void disconnect() override;
    bool connected() const override { return connected_; }
    std::unique_ptr<Document> newCalc() override;
    // Loads a copy of `prototype` (as the test laid out the template's
    // sheets); the file must exist and is only read.
    std::unique_ptr<Document> loadDocument(const QString& path) override;
    // As loadDocument, the book marked as the file itself and shown.
    std::unique_ptr<Document> editDocument(const QString& path) override;

    bool hasFont(const QString& family) override { return !missingFonts.contains(family); }

    bool reachable = true;  // false: connect() fails as with no office installed
    QStringList missingFonts;  // fonts it cannot show
    int connects = 0;       // successful connect() calls that made a new connection
    RecordedBook prototype; // what loadDocument gives
    QList<std::shared_ptr<RecordedBook>> books;  // every document made, in order
    RecordedBook& last() { return *books.back(); }

private:
    bool connected_ = false;
};

// Rows as runs of consecutive rows (first, last).
QList<std::pair<int, int>> RowRuns(const std::set<int>& rows);
// The rows of wrapped ranges whose heights follow their texts, by sheet: a
// range outside merged areas is fitted to its contents; a range starting a
// merged area only grows where its text needs more than the row has (the
// template may have given that row a height of its own). A row fitted is not
// grown as well.
struct RowsToAdjust {
    std::map<int, std::set<int>> fit;
    std::map<int, std::set<int>> grow;
};
// Rows asked to be fitted besides (`fit`, by sheet) join the fitted ones.
RowsToAdjust RowsToFit(const QList<RangeAddress>& wrapped, const std::function<bool(const CellAddress&)>& startsMerge,
                       const std::map<int, std::set<int>>& fit = {});

// A number as the office shows it in a format code of the Russian notation
// ("0", "0,00", "0,###", "0,00##", "# ##0,00"): the decimal comma, the
// places the code asks for, an exact half away from zero. In the standard
// format (an empty code, or one not of that kind) as the office shows it
// there: up to ten significant digits after a decimal point ("22.8",
// "0.1882352941"), which is what a paper shows of a cell nobody formatted.
QString ShownNumber(double v, const QString& code);

// A1-style reference of a cell, e.g. "F12" for column 5, row 11.
QString CellName(int column, int row);
// Parses "F12" (sheet as given); throws OfficeError for anything else.
CellAddress ParseCell(const QString& a1, int sheet = 0);

} // namespace automation
