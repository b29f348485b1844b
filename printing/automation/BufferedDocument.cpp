#include "BufferedDocument.h"

#include <algorithm>
#include <vector>

namespace automation {

namespace {

bool overlaps(const RangeAddress& a, const RangeAddress& b)
{
    return a.sheet == b.sheet && a.startRow <= b.endRow && b.startRow <= a.endRow && a.startColumn <= b.endColumn &&
           b.startColumn <= a.endColumn;
}

QString lineText(const BorderLine& l) { return QStringLiteral("%1/%2/%3").arg(l.color).arg(l.innerWidth).arg(l.outerWidth); }

QString borderText(const TableBorder& b)
{
    return QStringList{lineText(b.top),
                       lineText(b.bottom),
                       lineText(b.left),
                       lineText(b.right),
                       lineText(b.horizontal),
                       lineText(b.vertical),
                       QStringLiteral("%1%2%3%4%5%6")
                           .arg(b.isTopValid)
                           .arg(b.isBottomValid)
                           .arg(b.isLeftValid)
                           .arg(b.isRightValid)
                           .arg(b.isHorizontalValid)
                           .arg(b.isVerticalValid)}
        .join(QLatin1Char(';'));
}

enum Kind { Merge, Wrap, Justify, FontKind, Border, Numbers };

} // namespace

BufferedDocument::~BufferedDocument()
{
    try {
        flush();
    } catch (...) {
    }
}

void BufferedDocument::flush()
{
    flushValues();
    flushFormats();
    flushBorders();
    const QList<std::function<void()>> requests = std::move(rowRequests_);
    rowRequests_.clear();
    for (const auto& request : requests)
        request();
}

void BufferedDocument::flushFormats()
{
    // Runs of one kind with different formats never share a cell, so each
    // format goes in one call over all its runs.
    QList<Pending> formats = formats_;
    formats_.clear();
    for (int i = 0; i < formats.size(); ++i) {
        if (formats[i].kind < 0)
            continue;
        const Pending f = formats[i];
        QList<RangeAddress> ranges{f.range};
        for (int j = i + 1; j < formats.size(); ++j)
            if (formats[j].kind == f.kind && formats[j].params == f.params && formats[j].range.sheet == f.range.sheet) {
                ranges.append(formats[j].range);
                formats[j].kind = -1;
            }
        switch (f.kind) {
        case Wrap:
            if (ranges.size() == 1)
                inner_.setWrapped(f.range, f.value != 0);
            else
                inner_.setWrappedOn(ranges, f.value != 0);
            break;
        case Justify:
            if (ranges.size() == 1)
                inner_.setHoriJustify(f.range, f.value);
            else
                inner_.setHoriJustifyOn(ranges, f.value);
            break;
        case FontKind:
            if (ranges.size() == 1)
                inner_.setFont(f.range, f.font);
            else
                inner_.setFontOn(ranges, f.font);
            break;
        case Numbers:
            if (ranges.size() == 1)
                inner_.setNumberFormat(f.range, f.params);
            else
                inner_.setNumberFormatOn(ranges, f.params);
            break;
        default:
            break;
        }
    }
}

namespace {

constexpr int kMaxPendingFormats = 2000;

} // namespace

void BufferedDocument::addFormat(int kind, const RangeAddress& range, const QString& params, const Font& font, int value)
{
    // Below every waiting run and not next to one, a range neither extends
    // nor shares a cell with any.
    const bool below = formats_.isEmpty() || range.startRow > formatsLastRow_ + 1;
    for (int i = below ? -1 : formats_.size() - 1; i >= 0; --i) {
        Pending& p = formats_[i];
        if (p.kind != kind)
            continue;
        const bool sameColumns = p.range.sheet == range.sheet && p.range.startColumn == range.startColumn &&
                                 p.range.endColumn == range.endColumn;
        if (sameColumns && p.params == params) {
            if (range.startRow >= p.range.startRow && range.endRow <= p.range.endRow)
                return;  // already given
            if (range.startRow == p.range.endRow + 1) {
                p.range.endRow = range.endRow;
                formatsLastRow_ = std::max(formatsLastRow_, range.endRow);
                return;
            }
        }
        // Another format of the kind on some of the same cells: what came first goes first.
        if (overlaps(p.range, range)) {
            flushFormats();
            break;
        }
    }
    if (formats_.size() >= kMaxPendingFormats)
        flushFormats();
    formatsLastRow_ = formats_.isEmpty() ? range.endRow : std::max(formatsLastRow_, range.endRow);
    formats_.append({kind, range, params, font, value});
}

namespace {

constexpr int kMaxPendingRows = 2000;
constexpr qsizetype kMaxPendingBorders = 20000;

bool isText(const QVariant& v) { return v.typeId() == QMetaType::QString; }

} // namespace

namespace {

using Row = std::map<int, QVariant>;

// Rows whose cells form one run of the same columns go as one block.
bool contiguous(const Row& row) { return row.rbegin()->first - row.begin()->first + 1 == static_cast<int>(row.size()); }

bool sameColumns(const Row& a, const Row& b)
{
    if (a.size() != b.size())
        return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j)
        if (i->first != j->first)
            return false;
    return true;
}

// A band's block may hold at most this many cells per value written (and a
// few more): empty cells cost the office little, but not nothing.
constexpr qsizetype kMaxBlockPerValue = 4;
constexpr qsizetype kBlockSlack = 64;
// Asking the office which cells hold something costs about two calls: it is
// worth it when the blocks save at least that many.
constexpr int kCallsWorthAsking = 2;
// Asking as well what the cells hold costs about four more.
constexpr int kCallsWorthReading = 6;

// How many calls sendRows makes for the rows from it to end.
int callsFor(std::map<int, Row>::const_iterator it, std::map<int, Row>::const_iterator end)
{
    int calls = 0;
    while (it != end) {
        const Row& cells = it->second;
        auto next = std::next(it);
        int row = it->first;
        while (next != end && next->first == row + 1 && sameColumns(next->second, cells)) {
            ++row;
            ++next;
        }
        int runs = 1;
        for (auto c = cells.begin(), n = std::next(c); n != cells.end(); ++c, ++n)
            if (n->first != c->first + 1)
                ++runs;
        calls += runs;
        it = next;
    }
    return calls;
}

} // namespace

void BufferedDocument::sendOne(const CellAddress& cell, const QVariant& v)
{
    if (isText(v))
        inner_.setString(cell, v.toString());
    else
        inner_.setValue(cell, v.toDouble());
    known_.write(cell, {QVariantList{v}});
}

void BufferedDocument::sendBlock(const CellAddress& cell, const QList<QVariantList>& rows)
{
    inner_.setBlockValues(cell, rows);
    known_.write(cell, rows);
}

std::optional<QList<RangeAddress>> BufferedDocument::filledIn(const RangeAddress& box)
{
    if (known_.know(inner_, box.sheet))
        return known_.filled(box);
    return inner_.filledCells(box);
}

std::optional<Document::Contents> BufferedDocument::contentsOf(const RangeAddress& box)
{
    if (known_.know(inner_, box.sheet))
        return known_.contents(box);
    return inner_.contents(box);
}

void BufferedDocument::sendRows(std::map<int, Row>::const_iterator it, std::map<int, Row>::const_iterator end)
{
    auto rowValues = [](const Row& row) {
        QVariantList list;
        list.reserve(static_cast<qsizetype>(row.size()));
        for (const auto& [column, v] : row)
            list.append(v);
        return list;
    };
    while (it != end) {
        const int firstRow = it->first;
        const Row& cells = it->second;
        if (contiguous(cells)) {
            QList<QVariantList> block{rowValues(cells)};
            auto next = std::next(it);
            int row = firstRow;
            while (next != end && next->first == row + 1 && sameColumns(next->second, cells)) {
                block.append(rowValues(next->second));
                ++row;
                ++next;
            }
            if (block.size() == 1 && cells.size() == 1) {
                const QVariant& v = cells.begin()->second;
                sendOne({sheet_, cells.begin()->first, firstRow}, v);
            } else {
                sendBlock({sheet_, cells.begin()->first, firstRow}, block);
            }
            it = next;
            continue;
        }
        // Rows with the same gapped cells, one after another: each run of
        // adjacent columns goes down all of them in one call.
        std::vector<const Row*> rows{&cells};
        auto next = std::next(it);
        while (next != end && next->first == firstRow + static_cast<int>(rows.size()) &&
               sameColumns(next->second, cells)) {
            rows.push_back(&next->second);
            ++next;
        }
        auto c = cells.begin();
        while (c != cells.end()) {
            const int start = c->first;
            int width = 0;
            while (c != cells.end() && c->first == start + width) {
                ++width;
                ++c;
            }
            if (width == 1 && rows.size() == 1) {
                const QVariant& v = cells.at(start);
                sendOne({sheet_, start, firstRow}, v);
                continue;
            }
            QList<QVariantList> block;
            for (const Row* row : rows) {
                QVariantList values;
                for (int column = start; column < start + width; ++column)
                    values.append(row->at(column));
                block.append(values);
            }
            sendBlock({sheet_, start, firstRow}, block);
        }
        it = next;
    }
}

bool BufferedDocument::sendAsOneBlock(std::optional<QList<RangeAddress>>& filled)
{
    RangeAddress box{sheet_, values_.cbegin()->second.begin()->first, values_.cbegin()->first,
                     values_.cbegin()->second.rbegin()->first, values_.crbegin()->first};
    qsizetype count = 0;
    for (const auto& [row, cells] : values_) {
        box.startColumn = std::min(box.startColumn, cells.begin()->first);
        box.endColumn = std::max(box.endColumn, cells.rbegin()->first);
        count += static_cast<qsizetype>(cells.size());
    }
    const qsizetype area =
        static_cast<qsizetype>(box.endRow - box.startRow + 1) * (box.endColumn - box.startColumn + 1);
    if (area > count * kMaxBlockPerValue + kBlockSlack)
        return false;
    // Asking what the box holds, and what its kept cells hold, costs about
    // as much as a few writes.
    if (callsFor(values_.cbegin(), values_.cend()) <= kCallsWorthReading)
        return false;
    filled = filledIn(box);
    if (!filled)
        return false;
    // The cells of the box that hold something and get no value: a label of
    // the template, a heading between the table's rows.
    QList<CellAddress> kept;
    for (const RangeAddress& f : *filled)
        for (int row = f.startRow; row <= f.endRow; ++row) {
            const auto cells = values_.find(row);
            for (int column = f.startColumn; column <= f.endColumn; ++column)
                if (cells == values_.end() || !cells->second.count(column))
                    kept.append({sheet_, column, row});
        }
    std::optional<Contents> held;
    if (!kept.isEmpty()) {
        // They go back with the values, as they are, where a plain value or
        // text brings them back whole.
        held = contentsOf(box);
        if (!held || !held->notPlain.isEmpty())
            return false;
        for (const CellAddress& c : kept) {
            const QVariant& v = held->rows[c.row - box.startRow][c.column - box.startColumn];
            if (!v.isValid() || (isText(v) && v.toString().isEmpty()))
                return false;  // an empty text: the write would leave no text at all
        }
    }
    QList<QVariantList> block;
    block.reserve(box.endRow - box.startRow + 1);
    for (int row = box.startRow; row <= box.endRow; ++row) {
        QVariantList line = held ? held->rows[row - box.startRow] : QVariantList(box.endColumn - box.startColumn + 1);
        const auto cells = values_.find(row);
        if (cells != values_.end())
            for (const auto& [column, v] : cells->second)
                line[column - box.startColumn] = v;
        block.append(std::move(line));
    }
    sendBlock({sheet_, box.startColumn, box.startRow}, block);
    return true;
}

void BufferedDocument::flushValues()
{
    if (values_.empty())
        return;
    // All the rows waiting as one block over their rows and columns, where
    // what their other cells hold can go back with them unchanged.
    std::optional<QList<RangeAddress>> filledBox;
    if (sendAsOneBlock(filledBox)) {
        values_.clear();
        return;
    }
    // Bands: runs of rows one after another. A band the rows above would send
    // in several calls (a heading, the table rows, a subtotal row) goes as
    // one block over its rows and columns, its cells without a value left
    // empty, when the office tells that none of those holds anything.
    struct Band {
        std::map<int, Row>::const_iterator begin, end;
        RangeAddress box;
        qsizetype values = 0;
        bool asBlock = false;  // worth asking about: more than one call, not too many cells left empty
    };
    QList<Band> bands;
    for (auto it = values_.cbegin(); it != values_.cend();) {
        Band band{it, it, {sheet_, it->second.begin()->first, it->first, it->second.rbegin()->first, it->first}};
        for (; it != values_.cend() && it->first <= band.box.endRow + 1; ++it) {
            band.box.endRow = it->first;
            band.box.startColumn = std::min(band.box.startColumn, it->second.begin()->first);
            band.box.endColumn = std::max(band.box.endColumn, it->second.rbegin()->first);
            band.values += static_cast<qsizetype>(it->second.size());
        }
        band.end = it;
        bands.append(band);
    }
    RangeAddress asked{};
    bool any = false;
    int saved = 0;
    for (Band& b : bands) {
        const qsizetype area =
            static_cast<qsizetype>(b.box.endRow - b.box.startRow + 1) * (b.box.endColumn - b.box.startColumn + 1);
        if (area > b.values * kMaxBlockPerValue + kBlockSlack)
            continue;
        const int calls = callsFor(b.begin, b.end);
        b.asBlock = calls > 1;
        if (!b.asBlock)
            continue;
        saved += calls - 1;
        if (!any)
            asked = b.box;
        asked.startRow = std::min(asked.startRow, b.box.startRow);
        asked.endRow = std::max(asked.endRow, b.box.endRow);
        asked.startColumn = std::min(asked.startColumn, b.box.startColumn);
        asked.endColumn = std::max(asked.endColumn, b.box.endColumn);
        any = true;
    }
    std::optional<QList<RangeAddress>> filled;
    if (any && saved >= kCallsWorthAsking)
        filled = filledBox ? filledBox : filledIn(asked);
    for (const Band& b : bands) {
        bool asBlock = filled && b.asBlock;
        // A filled cell of the block that gets no value would lose what it holds.
        for (int i = 0; asBlock && i < filled->size(); ++i) {
            const RangeAddress& f = filled->at(i);
            if (!overlaps(f, b.box))
                continue;
            const int lastRow = std::min(f.endRow, b.box.endRow);
            for (int row = std::max(f.startRow, b.box.startRow); asBlock && row <= lastRow; ++row) {
                const Row& cells = values_.at(row);
                for (int column = std::max(f.startColumn, b.box.startColumn);
                     column <= std::min(f.endColumn, b.box.endColumn); ++column)
                    if (!cells.count(column)) {
                        asBlock = false;
                        break;
                    }
            }
        }
        if (!asBlock) {
            sendRows(b.begin, b.end);
            continue;
        }
        QList<QVariantList> block;
        block.reserve(b.box.endRow - b.box.startRow + 1);
        for (auto it = b.begin; it != b.end; ++it) {
            QVariantList values(b.box.endColumn - b.box.startColumn + 1);
            for (const auto& [column, v] : it->second)
                values[column - b.box.startColumn] = v;
            block.append(std::move(values));
        }
        sendBlock({sheet_, b.box.startColumn, b.box.startRow}, block);
    }
    values_.clear();
}

void BufferedDocument::flushBorders()
{
    if (borderRanges_.isEmpty())
        return;
    const QList<RangeAddress> ranges = borderRanges_;
    borderRanges_.clear();
    if (ranges.size() == 1)
        inner_.setTableBorder(ranges.front(), border_);
    else
        inner_.setTableBorders(ranges, border_);
}

void BufferedDocument::flushValuesIn(const RangeAddress& range)
{
    if (values_.empty() || range.sheet != sheet_)
        return;
    const auto it = values_.lower_bound(range.startRow);
    if (it != values_.end() && it->first <= range.endRow)
        flushValues();
}

void BufferedDocument::put(const CellAddress& cell, const QVariant& value)
{
    // A full buffer goes when a new row starts, so that no row is split.
    if (!values_.empty() &&
        (cell.sheet != sheet_ || (static_cast<int>(values_.size()) >= kMaxPendingRows && !values_.count(cell.row))))
        flushValues();
    sheet_ = cell.sheet;
    values_[cell.row][cell.column] = value;
}

bool BufferedDocument::repeated(int kind, const RangeAddress& range, const QString& params)
{
    if (range.sheet != formatSheet_ || range.startRow != formatRow_) {
        applied_.clear();
        formatSheet_ = range.sheet;
        formatRow_ = range.startRow;
    }
    for (const Applied& a : applied_)
        if (a.kind == kind && a.range == range && a.params == params)
            return true;
    for (int i = applied_.size() - 1; i >= 0; --i)
        if (applied_[i].kind == kind && overlaps(applied_[i].range, range))
            applied_.removeAt(i);
    applied_.append({kind, range, params});
    return false;
}

int BufferedDocument::sheetCount()
{
    flush();
    return inner_.sheetCount();
}

void BufferedDocument::insertSheet(int index, const QString& name)
{
    flush();
    applied_.clear();
    formatSheet_ = -1;
    inner_.insertSheet(index, name);
    known_.insertSheet(index);
}

QString BufferedDocument::sheetName(int sheet)
{
    flush();
    return inner_.sheetName(sheet);
}

void BufferedDocument::setString(const CellAddress& cell, const QString& text) { put(cell, text); }

void BufferedDocument::setValue(const CellAddress& cell, double value) { put(cell, value); }

void BufferedDocument::setFormula(const CellAddress& cell, const QString& formula)
{
    flush();
    inner_.setFormula(cell, formula);
    known_.writeFormulas(cell, {QStringList{formula}});
}

void BufferedDocument::setBlockValues(const CellAddress& cell, const QList<QVariantList>& rows)
{
    for (int r = 0; r < rows.size(); ++r)
        for (int i = 0; i < rows[r].size(); ++i)
            put({cell.sheet, cell.column + i, cell.row + r}, rows[r][i]);
}

void BufferedDocument::flushIn(const RangeAddress& range)
{
    flushValuesIn(range);
    if (range.startRow <= formatsLastRow_ &&
        std::any_of(formats_.cbegin(), formats_.cend(), [&](const Pending& p) { return overlaps(p.range, range); }))
        flushFormats();
    if (bordersIn(range))
        flushBorders();
}

bool BufferedDocument::bordersIn(const RangeAddress& range) const
{
    return !borderRanges_.isEmpty() && range.startRow <= borderLastRow_ && range.endRow >= borderFirstRow_ &&
           std::any_of(borderRanges_.cbegin(), borderRanges_.cend(), [&](const RangeAddress& r) { return overlaps(r, range); });
}

void BufferedDocument::beforeTransfer(const CellAddress& to, const RangeAddress& from)
{
    flushIn(from);
    flushIn({to.sheet, to.column, to.row, to.column + from.endColumn - from.startColumn,
             to.row + from.endRow - from.startRow});
    applied_.clear();
}

void BufferedDocument::moveRange(const CellAddress& to, const RangeAddress& from)
{
    beforeTransfer(to, from);
    if (known_.knows(to.sheet))
        known_.know(inner_, from.sheet);
    inner_.moveRange(to, from);
    known_.transfer(to, from, true);
}

void BufferedDocument::copyRange(const CellAddress& to, const RangeAddress& from)
{
    beforeTransfer(to, from);
    if (known_.knows(to.sheet))
        known_.know(inner_, from.sheet);
    inner_.copyRange(to, from);
    known_.transfer(to, from, false);
}

void BufferedDocument::removeRows(int sheet, int index, int count)
{
    flush();
    applied_.clear();
    inner_.removeRows(sheet, index, count);
    known_.removeRows(sheet, index, count);
}

// A range merged already (by this document, or brought along by a copy of
// a merged one: a card's recipe rows copied below it) is left to the office
// as it is: it would refuse to merge it again. Lines waiting on other cells
// keep waiting.
void BufferedDocument::merge(const RangeAddress& range)
{
    if (repeated(Merge, range, QString()) || known_.isMerged(range))
        return;
    flushValuesIn(range);
    if (bordersIn(range))
        flushBorders();
    inner_.merge(range);
    known_.merged(range);
}

void BufferedDocument::setColumnWidth(int sheet, int column, int width)
{
    inner_.setColumnWidth(sheet, column, width);
}

void BufferedDocument::setColumnWidths(int sheet, int firstColumn, const QList<int>& widths)
{
    inner_.setColumnWidths(sheet, firstColumn, widths);
}

void BufferedDocument::fitRowHeights(int sheet, int firstRow, int lastRow)
{
    flush();
    inner_.fitRowHeights(sheet, firstRow, lastRow);
}

// Both go after the values waiting, when they are sent: the rows are to be
// fitted, and the pages made, on what the rows hold.
void BufferedDocument::fitRowsAtUnlock(int sheet, int firstRow, int lastRow)
{
    rowRequests_.append([=, this] { inner_.fitRowsAtUnlock(sheet, firstRow, lastRow); });
}

void BufferedDocument::keepRowsTogether(int sheet, const QList<std::pair<int, int>>& blocks, const QList<int>& kinds)
{
    rowRequests_.append([=, this] { inner_.keepRowsTogether(sheet, blocks, kinds); });
}

void BufferedDocument::setWrapped(const RangeAddress& range, bool wrapped)
{
    addFormat(Wrap, range, QString::number(wrapped), {}, wrapped ? 1 : 0);
}

void BufferedDocument::setHoriJustify(const RangeAddress& range, int justify)
{
    addFormat(Justify, range, QString::number(justify), {}, justify);
}

void BufferedDocument::setFont(const RangeAddress& range, const Font& f)
{
    // A table's formats repeat row after row: the text of the last one is kept.
    if (fontKey_.text.isEmpty() || !(fontKey_.font == f))
        fontKey_ = {f, QStringLiteral("%1|%2|%3|%4|%5")
                           .arg(f.name)
                           .arg(f.height)
                           .arg(f.weight)
                           .arg(f.posture)
                           .arg(f.underline)};
    addFormat(FontKind, range, fontKey_.text, f, 0);
}

void BufferedDocument::setTableBorder(const RangeAddress& range, const TableBorder& b)
{
    if (borderKey_.text.isEmpty() || !(borderKey_.border == b))
        borderKey_ = {b, borderText(b)};
    if (repeated(Border, range, borderKey_.text))
        return;
    // Lines of the same kind on ranges of a sheet that share no cell wait to
    // go together, in one call; anything else sends them first (a range
    // sharing cells with a waiting one takes its lines after it, as it came).
    // Lines come row after row: a range below every waiting one shares nothing.
    const auto sharesCells = [&] { return bordersIn(range); };
    if (!borderRanges_.isEmpty() && (!(border_ == b) || borderRanges_.front().sheet != range.sheet ||
                                     borderRanges_.size() >= kMaxPendingBorders || sharesCells()))
        flushBorders();
    if (borderRanges_.isEmpty()) {
        borderFirstRow_ = range.startRow;
        borderLastRow_ = range.endRow;
    }
    border_ = b;
    borderRanges_.append(range);
    borderFirstRow_ = std::min(borderFirstRow_, range.startRow);
    borderLastRow_ = std::max(borderLastRow_, range.endRow);
}

void BufferedDocument::setTableBorders(const QList<RangeAddress>& ranges, const TableBorder& border)
{
    for (const RangeAddress& r : ranges)
        setTableBorder(r, border);
}

void BufferedDocument::lockControllers()
{
    flush();
    inner_.lockControllers();
}

void BufferedDocument::unlockControllers()
{
    flush();
    inner_.unlockControllers();
}

void BufferedDocument::addActionLock()
{
    flush();
    inner_.addActionLock();
}

void BufferedDocument::removeActionLock()
{
    flush();
    inner_.removeActionLock();
}

void BufferedDocument::show()
{
    flush();
    inner_.show();
}

void BufferedDocument::close()
{
    values_.clear();
    borderRanges_.clear();
    formats_.clear();
    applied_.clear();
    rowRequests_.clear();
    known_.clear();
    inner_.close();
}

void BufferedDocument::setSheetName(int sheet, const QString& name)
{
    flush();
    inner_.setSheetName(sheet, name);
}

void BufferedDocument::removeSheet(int sheet)
{
    flush();
    applied_.clear();
    formatSheet_ = -1;
    inner_.removeSheet(sheet);
    known_.removeSheet(sheet);
}

void BufferedDocument::setBlockFormulas(const CellAddress& cell, const QList<QStringList>& rows)
{
    if (rows.isEmpty())
        return;
    flushValuesIn({cell.sheet, cell.column, cell.row, cell.column, cell.row + static_cast<int>(rows.size()) - 1});
    inner_.setBlockFormulas(cell, rows);
    known_.writeFormulas(cell, rows);
}

void BufferedDocument::setCharColor(const QList<RangeAddress>& ranges, int color)
{
    for (const RangeAddress& r : ranges)
        flushValuesIn(r);
    inner_.setCharColor(ranges, color);
}

void BufferedDocument::setVertJustify(const RangeAddress& range, int justify)
{
    flushValuesIn(range);
    inner_.setVertJustify(range, justify);
}

void BufferedDocument::setNumberFormat(const RangeAddress& range, const QString& code)
{
    addFormat(Numbers, range, code, {}, 0);
}

void BufferedDocument::setNumberFormatOn(const QList<RangeAddress>& ranges, const QString& code)
{
    for (const RangeAddress& r : ranges)
        setNumberFormat(r, code);
}

QString BufferedDocument::numberFormat(const CellAddress& cell)
{
    flush();
    return inner_.numberFormat(cell);
}

void BufferedDocument::setPageMargins(int sheet, const PageMargins& margins) { inner_.setPageMargins(sheet, margins); }

PageMargins BufferedDocument::pageMargins(int sheet) { return inner_.pageMargins(sheet); }

void BufferedDocument::setLandscape(int sheet) { inner_.setLandscape(sheet); }

void BufferedDocument::storeToFile(const QString& path, const QString& filter)
{
    flush();
    inner_.storeToFile(path, filter);
}

CellState BufferedDocument::cellState(const CellAddress& cell)
{
    flush();
    return inner_.cellState(cell);
}

std::optional<QList<RangeAddress>> BufferedDocument::filledCells(const RangeAddress& range)
{
    flush();
    return inner_.filledCells(range);
}

std::optional<Document::Contents> BufferedDocument::contents(const RangeAddress& range)
{
    flush();
    return inner_.contents(range);
}

} // namespace automation
