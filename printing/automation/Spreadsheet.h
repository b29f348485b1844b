#pragma once

// The narrow spreadsheet interface the template engine and the workbooks
// talk to. Rows, columns and sheets count from 0; ranges are inclusive.
// The program drives LibreOffice Calc through UnoOffice; the engine's tests
// use RecordingOffice, which keeps the whole document in memory.

#include "engine/PrintedPlaces.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <stdexcept>

namespace automation {

struct CellAddress {
    int sheet = 0;
    int column = 0;
    int row = 0;
};

struct RangeAddress {
    int sheet = 0;
    int startColumn = 0;
    int startRow = 0;
    int endColumn = 0;
    int endRow = 0;
    bool operator==(const RangeAddress&) const = default;
};

// One line of a border; widths in hundredths of a millimetre.
struct BorderLine {
    int color = 0;
    int innerWidth = 0;
    int outerWidth = 0;
    bool operator==(const BorderLine&) const = default;
};

// The lines of a range: its outer edges and the lines between its cells.
// Only the lines marked valid are changed.
struct TableBorder {
    BorderLine top, bottom, left, right, horizontal, vertical;
    bool isTopValid = false, isBottomValid = false, isLeftValid = false, isRightValid = false,
         isHorizontalValid = false, isVerticalValid = false;
    bool operator==(const TableBorder&) const = default;
};

// Font weights as the office counts them.
constexpr float kWeightNormal = 100.0f;
constexpr float kWeightBold = 150.0f;

struct Font {
    QString name;
    double height = 10;  // points
    float weight = kWeightNormal;
    int posture = 0;     // 0 upright, 1 oblique
    int underline = 0;   // 0 none, 1 single
    bool operator==(const Font&) const = default;
};

// What a cell holds and how it looks, as read back from a document.
struct CellState {
    QVariant content;  // QString for text, double for a number, invalid when empty
    bool merged = false;     // the cell starts a merged area
    bool wrapped = false;
    int horiJustify = 0;     // 0 standard, 1 left, 2 centre, 3 right
    QString fontName;
    double fontHeight = 0;
    float fontWeight = kWeightNormal;
    int fontPosture = 0;
    int fontUnderline = 0;
    int topWidth = 0, bottomWidth = 0, leftWidth = 0, rightWidth = 0;  // outer widths of its edges
    QString formula;          // the formula of a formula cell (content then holds it too)
    double formulaValue = 0;  // what the office computed for it (a recording computes nothing)
    int rowHeight = 0;       // height of its row, hundredths of a millimetre (0: not known)
    int vertJustify = 0;     // 0 standard, 1 top, 2 centre, 3 bottom
    int charColor = -1;      // 0xRRGGBB; -1 automatic
    QString numberFormat;    // format code in the Russian notation ("0,###"); empty: standard
    QString shown;           // the cell as the office shows it, a number in its format
};

// The papers' number formats: a price with two to six decimals, a
// quantity with up to six ("0,00####", "0,######").
inline const QString kPriceFormat = engine::PriceFormat(QLatin1Char(','));
inline const QString kQuantityFormat = engine::QuantityFormat(QLatin1Char(','));

// Left and right page margins of a sheet, in hundredths of a millimetre.
struct PageMargins {
    int left = -1;   // -1: as the office has it
    int right = -1;
    bool operator==(const PageMargins&) const = default;
};

// The spreadsheet program failed (it cannot be reached, a document cannot be
// loaded, a call was refused). what() is the office's or our text.
class OfficeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The spreadsheet program stopped (it crashed or was ended) while a document
// was being made: nothing was made, and the print is to be made again, when
// the next connect starts a new office. what() is OfficeStoppedText().
class OfficeStopped : public OfficeError {
public:
    OfficeStopped();
};

// One open spreadsheet document.
class Document {
public:
    virtual ~Document() = default;

    virtual int sheetCount() = 0;
    // Inserts a sheet named name at index.
    virtual void insertSheet(int index, const QString& name) = 0;
    virtual QString sheetName(int sheet) = 0;

    virtual void setString(const CellAddress& cell, const QString& text) = 0;
    virtual void setValue(const CellAddress& cell, double value) = 0;
    // A formula in the office's English notation, e.g. "=SUM(F4:F9)"; the office computes it.
    virtual void setFormula(const CellAddress& cell, const QString& formula) = 0;
    // A block of cells from cell rightwards and downwards, in one call: rows
    // of equal length, each value a QString or a double; an empty text or an
    // invalid value leaves its cell empty (so does an empty text in setString).
    virtual void setBlockValues(const CellAddress& cell, const QList<QVariantList>& rows) = 0;

    // Moves the range's content and formats so that its top-left cell lands on to.
    virtual void moveRange(const CellAddress& to, const RangeAddress& from) = 0;
    virtual void copyRange(const CellAddress& to, const RangeAddress& from) = 0;
    virtual void removeRows(int sheet, int index, int count) = 0;

    virtual void merge(const RangeAddress& range) = 0;
    virtual void setWrapped(const RangeAddress& range, bool wrapped) = 0;
    virtual void setHoriJustify(const RangeAddress& range, int justify) = 0;
    virtual void setFont(const RangeAddress& range, const Font& font) = 0;
    virtual void setTableBorder(const RangeAddress& range, const TableBorder& border) = 0;
    // The same lines on several ranges, each range taken as on its own.
    virtual void setTableBorders(const QList<RangeAddress>& ranges, const TableBorder& border) = 0;
    // The same wrap, alignment or font on several ranges of a sheet; an office
    // that can sets them in one call.
    virtual void setWrappedOn(const QList<RangeAddress>& ranges, bool wrapped)
    {
        for (const RangeAddress& r : ranges)
            setWrapped(r, wrapped);
    }
    virtual void setHoriJustifyOn(const QList<RangeAddress>& ranges, int justify)
    {
        for (const RangeAddress& r : ranges)
            setHoriJustify(r, justify);
    }
    virtual void setFontOn(const QList<RangeAddress>& ranges, const Font& font)
    {
        for (const RangeAddress& r : ranges)
            setFont(r, font);
    }
    // Width of a column in hundredths of a millimetre.
    virtual void setColumnWidth(int sheet, int column, int width) = 0;
    // The widths of the columns from firstColumn on, one after another, in
    // one call; an office that can sets columns of the same width together.
    virtual void setColumnWidths(int sheet, int firstColumn, const QList<int>& widths)
    {
        for (int i = 0; i < widths.size(); ++i)
            setColumnWidth(sheet, firstColumn + i, widths[i]);
    }
    // Gives the rows firstRow to lastRow the heights their contents need, so
    // that wrapped texts show every line. Called once the document is
    // unlocked: while it is locked the office adjusts no height.
    virtual void fitRowHeights(int sheet, int firstRow, int lastRow) {}
    // As fitRowHeights, but called while the document is locked it waits for
    // the unlock. A range copied over other rows takes no row heights along:
    // its copy asks for this.
    virtual void fitRowsAtUnlock(int sheet, int firstRow, int lastRow) {}
    // Each block of rows (first, last) is printed on one page where it fits
    // on one: a page that would split it ends before it instead. Called while
    // the document is locked, it waits for the unlock, when the rows have
    // their heights. `kinds`, when given, has a number for each block: blocks
    // of one kind hold the same texts in the same formats, and so do the rows
    // from each down to the next block, so an office measures one of them.
    virtual void keepRowsTogether(int sheet, const QList<std::pair<int, int>>& blocks, const QList<int>& kinds = {})
    {
    }

    // Screen updates and actions held while the document is filled.
    virtual void lockControllers() = 0;
    virtual void unlockControllers() = 0;
    virtual void addActionLock() = 0;
    virtual void removeActionLock() = 0;
    // Makes the document's window visible; from here it belongs to the user.
    virtual void show() = 0;
    // Closes the document without saving.
    virtual void close() = 0;

    // Workbooks the program lays out itself. Each throws OfficeError on a
    // document that cannot do it.
    virtual void setSheetName(int sheet, const QString& name);
    // Removes the sheet with what it holds.
    virtual void removeSheet(int sheet);
    // Formulas for a block of cells from cell rightwards and downwards, in one call.
    virtual void setBlockFormulas(const CellAddress& cell, const QList<QStringList>& rows);
    // Colour of the characters of several ranges, in one call; 0xRRGGBB.
    virtual void setCharColor(const QList<RangeAddress>& ranges, int color);
    // 0 standard, 1 top, 2 centre, 3 bottom.
    virtual void setVertJustify(const RangeAddress& range, int justify);
    // A number format code in the Russian notation (decimal comma): "0,00".
    virtual void setNumberFormat(const RangeAddress& range, const QString& code);
    // The same format on several ranges of a sheet; an office that can sets it in one call.
    virtual void setNumberFormatOn(const QList<RangeAddress>& ranges, const QString& code)
    {
        for (const RangeAddress& r : ranges)
            setNumberFormat(r, code);
    }
    // The number format of a cell as setNumberFormat takes it; empty for the standard one.
    virtual QString numberFormat(const CellAddress& cell) { return cellState(cell).numberFormat; }
    // Page margins of the sheet's printed pages (a page style of its own).
    virtual void setPageMargins(int sheet, const PageMargins& margins);
    virtual PageMargins pageMargins(int sheet);
    // The sheet's pages printed across (landscape, a page style of its own).
    virtual void setLandscape(int sheet);

    // The cells of range holding anything a range write would wipe (a value,
    // a text, a formula or a note), as ranges; nothing when the office cannot
    // tell, and then any cell may hold something.
    virtual std::optional<QList<RangeAddress>> filledCells(const RangeAddress& range)
    {
        Q_UNUSED(range);
        return std::nullopt;
    }

    // What the cells of range hold, to be written back unchanged with the
    // values around them: their contents row by row (a QString for a text, a
    // double for a number, invalid when empty) and the cells whose contents
    // a value written over them would not bring back (formulas, notes, texts
    // of several lines or with formatting of their own). Nothing when the
    // office cannot tell.
    struct Contents {
        QList<QVariantList> rows;
        QList<RangeAddress> notPlain;
    };
    virtual std::optional<Contents> contents(const RangeAddress& range)
    {
        Q_UNUSED(range);
        return std::nullopt;
    }

    // Stores a copy: filter as the office names it ("MS Excel 97", "calc8", "Calc MS Excel 2007 XML").
    virtual void storeToFile(const QString& path, const QString& filter) = 0;
    virtual CellState cellState(const CellAddress& cell) = 0;
};

// The spreadsheet program: one connection kept while documents are made.
class Office {
public:
    virtual ~Office() = default;
    // True when the program can be reached; a second call reuses the connection.
    // An office started for it that ends before it can be reached throws
    // OfficeStopped: it is there, and the print is to be made again.
    virtual bool connect() = 0;
    virtual void disconnect() = 0;
    virtual bool connected() const = 0;
    // A new hidden workbook with at least two sheets.
    virtual std::unique_ptr<Document> newCalc() = 0;
    // A hidden untitled copy of the file (the file itself stays as it is),
    // given at least two sheets. Throws OfficeError when it cannot be opened.
    virtual std::unique_ptr<Document> loadDocument(const QString& path) = 0;
    // The file itself, shown for the user to edit and save. Throws OfficeError
    // when it cannot be opened as a spreadsheet.
    virtual std::unique_ptr<Document> editDocument(const QString& path) = 0;
    // Whether the connected office can show text in the font family (an
    // office knows the fonts that were there when it started); true when it
    // cannot tell.
    virtual bool hasFont(const QString& family)
    {
        Q_UNUSED(family);
        return true;
    }
};

// A text for one line of a cell: each line break (CR LF, CR or LF) becomes a
// blank. A row of a sheet has the height of one line; a name typed with a
// line break would show only one of its lines there, or run into the next row.
QString OneLine(QString s);

// The text shown when the spreadsheet program cannot be reached.
QString OfficeUnreachableText();
// The text shown when the spreadsheet program stopped during a print.
QString OfficeStoppedText();

} // namespace automation
