#include "KnownCells.h"

#include <algorithm>
#include <optional>

namespace automation {

namespace {

// The office's sheet: 1,024 columns and 1,048,576 rows.
constexpr int kLastColumn = 1023;
constexpr int kLastRow = 1048575;
// A sheet's filled cells are read in one call when their box holds no more
// cells than this; otherwise range by range.
constexpr qsizetype kCellsReadAtOnce = 100000;

bool plainText(const QVariant& v)
{
    if (v.typeId() != QMetaType::QString)
        return true;
    const QString s = v.toString();
    return !s.contains(QLatin1Char('\n')) && !s.contains(QLatin1Char('\r'));
}

bool empty(const QVariant& v) { return !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty()); }

} // namespace

template <class F>
void KnownCells::forEachIn(const Cells& cells, const RangeAddress& range, F f)
{
    for (auto it = cells.lower_bound(range.startRow); it != cells.end() && it->first <= range.endRow; ++it)
        for (const Cell& c : it->second)
            if (c.column >= range.startColumn && c.column <= range.endColumn)
                f(it->first, c);
}

KnownCells::Cell& KnownCells::at(Row& row, int column)
{
    auto it = std::lower_bound(row.begin(), row.end(), column, [](const Cell& c, int col) { return c.column < col; });
    if (it == row.end() || it->column != column)
        it = row.insert(it, Cell{column, QVariant(), true});
    return *it;
}

void KnownCells::wipe(Cells& cells, const RangeAddress& range)
{
    for (auto it = cells.lower_bound(range.startRow); it != cells.end() && it->first <= range.endRow;) {
        Row& row = it->second;
        row.erase(std::remove_if(row.begin(), row.end(),
                                 [&](const Cell& c) { return c.column >= range.startColumn && c.column <= range.endColumn; }),
                  row.end());
        it = row.empty() ? cells.erase(it) : std::next(it);
    }
}

bool KnownCells::know(Document& doc, int sheet)
{
    if (knows(sheet))
        return true;
    const std::optional<QList<RangeAddress>> filled = doc.filledCells({sheet, 0, 0, kLastColumn, kLastRow});
    if (!filled)
        return false;
    Cells cells;
    if (!filled->isEmpty()) {
        RangeAddress box = filled->front();
        qsizetype count = 0;
        for (const RangeAddress& r : *filled) {
            box.startRow = std::min(box.startRow, r.startRow);
            box.endRow = std::max(box.endRow, r.endRow);
            box.startColumn = std::min(box.startColumn, r.startColumn);
            box.endColumn = std::max(box.endColumn, r.endColumn);
            count += static_cast<qsizetype>(r.endRow - r.startRow + 1) * (r.endColumn - r.startColumn + 1);
        }
        const qsizetype area = static_cast<qsizetype>(box.endRow - box.startRow + 1) * (box.endColumn - box.startColumn + 1);
        // The cells of `r` from what was read of `part`, which holds them.
        const auto take = [&](const Document::Contents& read, const RangeAddress& part, const RangeAddress& r) {
            for (int row = r.startRow; row <= r.endRow; ++row)
                for (int column = r.startColumn; column <= r.endColumn; ++column)
                    at(cells[row], column).content = read.rows.value(row - part.startRow).value(column - part.startColumn);
            for (const RangeAddress& n : read.notPlain)
                for (int row = std::max(n.startRow, r.startRow); row <= std::min(n.endRow, r.endRow); ++row)
                    for (int column = std::max(n.startColumn, r.startColumn); column <= std::min(n.endColumn, r.endColumn);
                         ++column)
                        at(cells[row], column).plain = false;
        };
        if (area <= std::max(count, kCellsReadAtOnce)) {
            const std::optional<Document::Contents> read = doc.contents(box);
            if (!read)
                return false;
            for (const RangeAddress& r : *filled)
                take(*read, box, r);
        } else {
            for (const RangeAddress& r : *filled) {
                const std::optional<Document::Contents> read = doc.contents(r);
                if (!read)
                    return false;
                take(*read, r, r);
            }
        }
    }
    sheets_[sheet] = std::move(cells);
    return true;
}

QList<RangeAddress> KnownCells::filled(const RangeAddress& range) const
{
    QList<RangeAddress> out;
    const auto sheet = sheets_.find(range.sheet);
    if (sheet != sheets_.end())
        forEachIn(sheet->second, range,
                  [&](int row, const Cell& c) { out.append({range.sheet, c.column, row, c.column, row}); });
    return out;
}

Document::Contents KnownCells::contents(const RangeAddress& range) const
{
    Document::Contents out;
    const int width = range.endColumn - range.startColumn + 1;
    for (int row = range.startRow; row <= range.endRow; ++row)
        out.rows.append(QVariantList(width));
    const auto sheet = sheets_.find(range.sheet);
    if (sheet != sheets_.end())
        forEachIn(sheet->second, range, [&](int row, const Cell& c) {
            out.rows[row - range.startRow][c.column - range.startColumn] = c.content;
            if (!c.plain)
                out.notPlain.append({range.sheet, c.column, row, c.column, row});
        });
    return out;
}

void KnownCells::write(const CellAddress& place, const QList<QVariantList>& rows)
{
    const auto sheet = sheets_.find(place.sheet);
    if (sheet == sheets_.end())
        return;
    Cells& cells = sheet->second;
    auto hint = cells.lower_bound(place.row);
    for (int r = 0; r < rows.size(); ++r) {
        const int rowNumber = place.row + r;
        while (hint != cells.end() && hint->first < rowNumber)
            ++hint;
        if (hint == cells.end() || hint->first != rowNumber)
            hint = cells.emplace_hint(hint, rowNumber, Row());
        Row& row = hint->second;
        for (int i = 0; i < rows[r].size(); ++i) {
            const QVariant& v = rows[r][i];
            const int column = place.column + i;
            if (empty(v)) {
                row.erase(std::remove_if(row.begin(), row.end(), [&](const Cell& c) { return c.column == column; }),
                          row.end());
                continue;
            }
            Cell& c = at(row, column);
            c.content = v.typeId() == QMetaType::QString ? v : QVariant(v.toDouble());
            c.plain = plainText(v);
        }
        if (row.empty())
            hint = cells.erase(hint);
    }
}

void KnownCells::writeFormulas(const CellAddress& place, const QList<QStringList>& rows)
{
    const auto sheet = sheets_.find(place.sheet);
    if (sheet == sheets_.end())
        return;
    for (int r = 0; r < rows.size(); ++r)
        for (int i = 0; i < rows[r].size(); ++i) {
            Cell& c = at(sheet->second[place.row + r], place.column + i);
            c.content = rows[r][i];
            c.plain = false;  // a formula comes back as its result
        }
}

void KnownCells::merged(const RangeAddress& r)
{
    Merges& m = merges_[r.sheet];
    m.ranges.insert({r.startRow, r.startColumn, r.endRow, r.endColumn});
    m.tallest = std::max(m.tallest, r.endRow - r.startRow);
}

bool KnownCells::isMerged(const RangeAddress& r) const
{
    const auto m = merges_.find(r.sheet);
    return m != merges_.end() && m->second.ranges.count({r.startRow, r.startColumn, r.endRow, r.endColumn}) > 0;
}

void KnownCells::forgetMergesIn(const RangeAddress& r)
{
    const auto m = merges_.find(r.sheet);
    if (m == merges_.end())
        return;
    std::set<Merge>& ranges = m->second.ranges;
    for (auto it = ranges.lower_bound({r.startRow - m->second.tallest, 0, 0, 0});
         it != ranges.end() && std::get<0>(*it) <= r.endRow;) {
        const auto [top, left, bottom, right] = *it;
        if (bottom >= r.startRow && left <= r.endColumn && right >= r.startColumn)
            it = ranges.erase(it);
        else
            ++it;
    }
}

void KnownCells::transfer(const CellAddress& to, const RangeAddress& from, bool move)
{
    // The merges inside the range go along; those it lands on are gone.
    std::vector<Merge> mergesTaken;
    if (const auto m = merges_.find(from.sheet); m != merges_.end())
        for (auto it = m->second.ranges.lower_bound({from.startRow, 0, 0, 0});
             it != m->second.ranges.end() && std::get<0>(*it) <= from.endRow; ++it) {
            const auto [top, left, bottom, right] = *it;
            if (bottom <= from.endRow && left >= from.startColumn && right <= from.endColumn)
                mergesTaken.push_back({top - from.startRow, left - from.startColumn, bottom - from.startRow,
                                       right - from.startColumn});
        }
    if (move)
        forgetMergesIn(from);
    forgetMergesIn({to.sheet, to.column, to.row, to.column + from.endColumn - from.startColumn,
                    to.row + from.endRow - from.startRow});
    for (const auto& [top, left, bottom, right] : mergesTaken)
        merged({to.sheet, to.column + left, to.row + top, to.column + right, to.row + bottom});

    std::vector<std::pair<int, Cell>> taken;  // by row from the range's top, column from its left
    const auto source = sheets_.find(from.sheet);
    if (source != sheets_.end()) {
        forEachIn(source->second, from, [&](int row, const Cell& c) {
            Cell moved = c;
            moved.column -= from.startColumn;
            taken.push_back({row - from.startRow, std::move(moved)});
        });
        if (move)
            wipe(source->second, from);
    }
    const auto target = sheets_.find(to.sheet);
    if (target == sheets_.end())
        return;
    wipe(target->second, {to.sheet, to.column, to.row, to.column + from.endColumn - from.startColumn,
                           to.row + from.endRow - from.startRow});
    for (auto& [row, c] : taken) {
        Cell& placed = at(target->second[to.row + row], to.column + c.column);
        placed.content = std::move(c.content);
        placed.plain = c.plain;
    }
}

void KnownCells::removeRows(int sheet, int index, int count)
{
    if (const auto m = merges_.find(sheet); m != merges_.end() && count > 0) {
        forgetMergesIn({sheet, 0, index, kLastColumn, index + count - 1});
        std::set<Merge> moved;
        for (const auto& [top, left, bottom, right] : m->second.ranges)
            moved.insert(top >= index ? Merge{top - count, left, bottom - count, right} : Merge{top, left, bottom, right});
        m->second.ranges = std::move(moved);
    }
    const auto it = sheets_.find(sheet);
    if (it == sheets_.end() || count <= 0)
        return;
    Cells& cells = it->second;
    cells.erase(cells.lower_bound(index), cells.lower_bound(index + count));
    for (auto row = cells.lower_bound(index + count); row != cells.end();) {
        auto node = cells.extract(row++);
        node.key() -= count;
        cells.insert(std::move(node));
    }
}

void KnownCells::insertSheet(int index)
{
    std::map<int, Cells> moved;
    for (auto& [sheet, cells] : sheets_)
        moved[sheet >= index ? sheet + 1 : sheet] = std::move(cells);
    moved[index] = {};
    sheets_ = std::move(moved);
    std::map<int, Merges> mergesMoved;
    for (auto& [sheet, m] : merges_)
        mergesMoved[sheet >= index ? sheet + 1 : sheet] = std::move(m);
    merges_ = std::move(mergesMoved);
}

void KnownCells::removeSheet(int index)
{
    std::map<int, Cells> moved;
    for (auto& [sheet, cells] : sheets_)
        if (sheet != index)
            moved[sheet > index ? sheet - 1 : sheet] = std::move(cells);
    sheets_ = std::move(moved);
    std::map<int, Merges> mergesMoved;
    for (auto& [sheet, m] : merges_)
        if (sheet != index)
            mergesMoved[sheet > index ? sheet - 1 : sheet] = std::move(m);
    merges_ = std::move(mergesMoved);
}

} // namespace automation
