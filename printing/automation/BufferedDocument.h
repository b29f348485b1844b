#pragma once

// A document that gathers the values written into its rows and sends them
// as blocks: rows one after another go as one range write over their rows
// and columns when the office tells that the cells among them that get no
// value hold nothing (a heading, the table rows and a subtotal in one call),
// otherwise rows with the same cells go as one block each. The same line
// drawn under many rows, consecutive or not, goes in one call, and a format
// repeated within a row (the same font on the same range) is applied once. A
// wrap, an alignment, a font or a number format given to the same columns of
// rows one after another waits and goes as one call over the run of rows, so
// a formatted table variable costs one call, not one per row. Merges wait for the values
// of their rows. Rows waiting around labels and headings already on the
// sheet (a card's header among its lines) go as one block with those cells
// written back as they are, where each holds a plain number or a text of one
// line; otherwise they keep them by going around them. A copy or a move of a
// block sends first what waits on its
// source and target cells and leaves the rest waiting, so blocks copied below
// one another (a card after a card) do not cut the writes into a call each.
// What the cells hold around the values is read from the office once a
// sheet and followed from then on (KnownCells): every change of the cells'
// contents goes through this document while it is used. The stored document
// is the same as with one call per cell.

#include "KnownCells.h"
#include "Spreadsheet.h"

#include <QList>

#include <functional>
#include <map>
#include <optional>

namespace automation {

class BufferedDocument : public Document {
public:
    explicit BufferedDocument(Document& inner) : inner_(inner) {}
    ~BufferedDocument() override;

    // Sends everything pending.
    void flush();

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
    void setColumnWidth(int sheet, int column, int width) override;
    void setColumnWidths(int sheet, int firstColumn, const QList<int>& widths) override;
    void fitRowHeights(int sheet, int firstRow, int lastRow) override;
    void fitRowsAtUnlock(int sheet, int firstRow, int lastRow) override;
    void keepRowsTogether(int sheet, const QList<std::pair<int, int>>& blocks, const QList<int>& kinds = {}) override;
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
    QString numberFormat(const CellAddress& cell) override;
    void setPageMargins(int sheet, const PageMargins& margins) override;
    PageMargins pageMargins(int sheet) override;
    void setLandscape(int sheet) override;
    void storeToFile(const QString& path, const QString& filter) override;
    CellState cellState(const CellAddress& cell) override;
    std::optional<QList<RangeAddress>> filledCells(const RangeAddress& range) override;
    std::optional<Contents> contents(const RangeAddress& range) override;

private:
    void put(const CellAddress& cell, const QVariant& value);
    // The office's writes, followed by what is known of the cells.
    void sendOne(const CellAddress& cell, const QVariant& value);
    void sendBlock(const CellAddress& cell, const QList<QVariantList>& rows);
    // What the cells of a box hold, from what is known of its sheet where
    // the sheet could be read once, otherwise as the office tells.
    std::optional<QList<RangeAddress>> filledIn(const RangeAddress& box);
    std::optional<Contents> contentsOf(const RangeAddress& box);
    void flushValues();
    // Sends every value waiting in one block over their rows and columns when
    // the cells among them that get no value hold nothing, or only what can
    // be written back unchanged; `filled` is left with what the office told
    // of the box's cells, if it was asked.
    bool sendAsOneBlock(std::optional<QList<RangeAddress>>& filled);
    // Sends the rows from it to end as the cells lie: runs of the same cells in one call each.
    void sendRows(std::map<int, std::map<int, QVariant>>::const_iterator it,
                  std::map<int, std::map<int, QVariant>>::const_iterator end);
    void flushBorders();
    // Some waiting line shares a cell with range.
    bool bordersIn(const RangeAddress& range) const;
    void flushFormats();
    // Adds a wrap, alignment or font to the pending runs.
    void addFormat(int kind, const RangeAddress& range, const QString& params, const Font& font, int value);
    // Sends the values when some of them lie in the rows of range.
    void flushValuesIn(const RangeAddress& range);
    // Sends what waits on the cells of range: values, formats, lines.
    void flushIn(const RangeAddress& range);
    // Before a copy or move from `from` to `to`.
    void beforeTransfer(const CellAddress& to, const RangeAddress& from);
    // True when the same format was already applied in this row; otherwise
    // remembers it and forgets formats of that kind it may override.
    bool repeated(int kind, const RangeAddress& range, const QString& params);

    struct Applied {
        int kind;
        RangeAddress range;
        QString params;
    };

    Document& inner_;
    KnownCells known_;  // what the sheets' cells hold, read once a sheet
    QList<std::function<void()>> rowRequests_;  // rows to fit, blocks to keep on a page
    int sheet_ = 0;
    std::map<int, std::map<int, QVariant>> values_;  // by row, then column
    QList<RangeAddress> borderRanges_;
    TableBorder border_;
    int borderFirstRow_ = -1;  // the highest row of the waiting lines
    int borderLastRow_ = -1;  // the lowest row of the waiting lines
    // The last font and lines given, with their texts for comparing.
    struct {
        Font font;
        QString text;
    } fontKey_;
    struct {
        TableBorder border;
        QString text;
    } borderKey_;
    QList<Applied> applied_;  // formats applied to the current format row
    struct Pending {
        int kind;
        RangeAddress range;  // grows by rows while the same format follows
        QString params;
        Font font;
        int value;  // wrapped, or the alignment
    };
    QList<Pending> formats_;
    int formatsLastRow_ = -1;  // the lowest row of the waiting formats
    int formatSheet_ = -1;
    int formatRow_ = -1;
};

} // namespace automation
