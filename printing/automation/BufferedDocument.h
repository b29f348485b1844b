#pragma once

// A document that gathers the values written into one row and sends them in
// one range write when the row is left, and applies a format that repeats
// within the row (the same line under the row, the same font on the same
// range) once. The stored document comes out as with one call per cell.

#include "Spreadsheet.h"

#include <QList>

#include <map>

namespace automation {

class BufferedDocument : public Document {
public:
    explicit BufferedDocument(Document& inner) : inner_(inner) {}
    ~BufferedDocument() override;

    // Sends the pending row.
    void flush();

    int sheetCount() override;
    void insertSheet(int index, const QString& name) override;
    QString sheetName(int sheet) override;
    void setString(const CellAddress& cell, const QString& text) override;
    void setValue(const CellAddress& cell, double value) override;
    void setRowValues(const CellAddress& cell, const QVariantList& values) override;
    void moveRange(const CellAddress& to, const RangeAddress& from) override;
    void copyRange(const CellAddress& to, const RangeAddress& from) override;
    void removeRows(int sheet, int index, int count) override;
    void merge(const RangeAddress& range) override;
    void setWrapped(const RangeAddress& range, bool wrapped) override;
    void setHoriJustify(const RangeAddress& range, int justify) override;
    void setFont(const RangeAddress& range, const Font& font) override;
    void setTableBorder(const RangeAddress& range, const TableBorder& border) override;
    void lockControllers() override;
    void unlockControllers() override;
    void addActionLock() override;
    void removeActionLock() override;
    void show() override;
    void close() override;
    void storeToFile(const QString& path, const QString& filter) override;
    CellState cellState(const CellAddress& cell) override;

private:
    void put(const CellAddress& cell, const QVariant& value);
    // True when the same format was already applied since the row began;
    // otherwise remembers it and forgets formats of that kind it may override.
    bool repeated(int kind, const RangeAddress& range, const QString& params);

    struct Applied {
        int kind;
        RangeAddress range;
        QString params;
    };

    Document& inner_;
    bool pending_ = false;
    int sheet_ = 0;
    int row_ = 0;
    std::map<int, QVariant> values_;  // by column
    QList<Applied> applied_;  // formats applied to the current format row
    int formatSheet_ = -1;
    int formatRow_ = -1;
};

} // namespace automation
