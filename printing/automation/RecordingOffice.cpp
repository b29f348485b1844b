#include "RecordingOffice.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace automation {

QString CellName(int column, int row)
{
    QString letters;
    int c = column + 1;
    while (c > 0) {
        const int rem = (c - 1) % 26;
        letters.prepend(QChar(u'A' + rem));
        c = (c - 1) / 26;
    }
    return letters + QString::number(row + 1);
}

CellAddress ParseCell(const QString& a1, int sheet)
{
    static const QRegularExpression re(QStringLiteral("^([A-Z]{1,3})([0-9]+)$"));
    const auto m = re.match(a1);
    if (!m.hasMatch())
        throw OfficeError("bad cell name: " + a1.toStdString());
    int column = 0;
    for (const QChar ch : m.captured(1))
        column = column * 26 + (ch.unicode() - u'A' + 1);
    return {sheet, column - 1, m.captured(2).toInt() - 1};
}

namespace {

// The digits of |v| (its shortest decimal) rounded to `places` decimals, an
// exact half away from zero: "0.125" to 2 gives "0.13".
QString roundedDigits(double v, int places)
{
    QString d = QString::number(std::fabs(v), 'g', QLocale::FloatingPointShortest);
    if (d.contains(QLatin1Char('e')))  // far from 1: its digits written out
        d = QString::number(std::fabs(v), 'f', 20);
    qsizetype point = d.indexOf(QLatin1Char('.'));
    if (point < 0) {
        point = d.size();
        d += QLatin1Char('.');
    }
    QString fraction = d.mid(point + 1);
    QString whole = d.left(point);
    const bool up = fraction.size() > places && fraction.at(places) >= QLatin1Char('5');
    fraction = fraction.left(places).leftJustified(places, QLatin1Char('0'));
    QString digits = whole + fraction;
    if (up) {
        qsizetype i = digits.size() - 1;
        for (; i >= 0 && digits.at(i) == QLatin1Char('9'); --i)
            digits[i] = QLatin1Char('0');
        if (i < 0)
            digits.prepend(QLatin1Char('1'));
        else
            digits[i] = QChar(digits.at(i).unicode() + 1);
    }
    whole = digits.left(digits.size() - places);
    fraction = digits.right(places);
    return places > 0 ? whole + QLatin1Char('.') + fraction : whole;
}

} // namespace

QString ShownNumber(double v, const QString& code)
{
    static const QRegularExpression fixed(QStringLiteral("^(# ##)?0(,(0*)(#*))?$"));
    const auto m = fixed.match(code);
    if (!m.hasMatch() || !std::isfinite(v))
        return QString::number(v, 'g', 10);
    const int required = static_cast<int>(m.captured(3).size());
    const int places = required + static_cast<int>(m.captured(4).size());
    QString digits = roundedDigits(v, places);
    qsizetype point = digits.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? digits : digits.left(point);
    QString fraction = point < 0 ? QString() : digits.mid(point + 1);
    while (fraction.size() > required && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (m.capturedLength(1) > 0)
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, QChar(0x00A0));
    const bool zero = !std::any_of(digits.cbegin(), digits.cend(), [](QChar c) { return c.isDigit() && c != u'0'; });
    return (v < 0 && !zero ? QStringLiteral("-") : QString()) + whole +
           (fraction.isEmpty() ? QString() : QLatin1Char(',') + fraction);
}

RecordedSheet& RecordedBook::sheet(int index)
{
    if (index < 0 || index >= static_cast<int>(sheets.size()))
        throw OfficeError("no sheet " + std::to_string(index));
    return sheets[static_cast<size_t>(index)];
}

CellState RecordedBook::state(const CellAddress& cell) const
{
    if (cell.sheet < 0 || cell.sheet >= static_cast<int>(sheets.size()))
        throw OfficeError("no sheet " + std::to_string(cell.sheet));
    const RecordedSheet& s = sheets[static_cast<size_t>(cell.sheet)];
    CellState st;
    const auto it = s.cells.find({cell.row, cell.column});
    if (it != s.cells.end())
        st = it->second;
    if (st.formula.isEmpty() && st.content.typeId() == QMetaType::Double)
        st.shown = ShownNumber(st.content.toDouble(), st.numberFormat);
    st.merged = false;
    for (const RangeAddress& m : s.merges)
        if (m.startColumn == cell.column && m.startRow == cell.row)
            st.merged = true;
    return st;
}

QVariant RecordedBook::at(const QString& a1, int sheet) const { return state(ParseCell(a1, sheet)).content; }

CellState RecordedBook::stateAt(const QString& a1, int sheet) const { return state(ParseCell(a1, sheet)); }

QList<std::pair<int, int>> RowRuns(const std::set<int>& rows)
{
    QList<std::pair<int, int>> runs;
    for (const int r : rows) {
        if (!runs.isEmpty() && runs.back().second + 1 == r)
            runs.back().second = r;
        else
            runs.append({r, r});
    }
    return runs;
}

RowsToAdjust RowsToFit(const QList<RangeAddress>& wrapped, const std::function<bool(const CellAddress&)>& startsMerge,
                       const std::map<int, std::set<int>>& fit)
{
    RowsToAdjust rows;
    rows.fit = fit;
    for (const RangeAddress& r : wrapped) {
        auto& to = startsMerge({r.sheet, r.startColumn, r.startRow}) ? rows.grow : rows.fit;
        for (int row = r.startRow; row <= r.endRow; ++row)
            to[r.sheet].insert(row);
    }
    for (auto& [sheet, grown] : rows.grow) {
        const auto fitted = rows.fit.find(sheet);
        if (fitted != rows.fit.end())
            for (const int row : fitted->second)
                grown.erase(row);
    }
    return rows;
}

// ---- document ----

int RecordingDocument::sheetCount() { return static_cast<int>(book_->sheets.size()); }

void RecordingDocument::insertSheet(int index, const QString& name)
{
    RecordedSheet s;
    s.name = name;
    book_->sheets.insert(book_->sheets.begin() + index, s);
}

QString RecordingDocument::sheetName(int sheet) { return book_->sheet(sheet).name; }

// An empty text leaves the cell empty, as the office does.
void RecordingDocument::setString(const CellAddress& cell, const QString& text)
{
    ++book_->cellCalls;
    book_->sheet(cell.sheet).cells[{cell.row, cell.column}].content = text.isEmpty() ? QVariant() : QVariant(text);
}

void RecordingDocument::setValue(const CellAddress& cell, double value)
{
    ++book_->cellCalls;
    book_->sheet(cell.sheet).cells[{cell.row, cell.column}].content = value;
}

void RecordingDocument::setSheetName(int sheet, const QString& name) { book_->sheet(sheet).name = name; }

void RecordingDocument::removeSheet(int sheet)
{
    book_->sheet(sheet);  // checks the index
    book_->sheets.erase(book_->sheets.begin() + sheet);
}

void RecordingDocument::setFormula(const CellAddress& cell, const QString& formula)
{
    ++book_->cellCalls;
    CellState& st = book_->sheet(cell.sheet).cells[{cell.row, cell.column}];
    st.content = formula;
    st.formula = formula;
}

void RecordingDocument::setBlockFormulas(const CellAddress& cell, const QList<QStringList>& rows)
{
    ++book_->rowCalls;
    RecordedSheet& s = book_->sheet(cell.sheet);
    for (int r = 0; r < rows.size(); ++r)
        for (int i = 0; i < rows[r].size(); ++i) {
            CellState& st = s.cells[{cell.row + r, cell.column + i}];
            st.content = rows[r][i];
            st.formula = rows[r][i];
        }
}

void RecordingDocument::setCharColor(const QList<RangeAddress>& ranges, int color)
{
    ++book_->formatCalls;
    for (const RangeAddress& range : ranges)
        forEachCell(range, [&](CellState& st, int, int) { st.charColor = color; });
}

void RecordingDocument::setVertJustify(const RangeAddress& range, int justify)
{
    ++book_->formatCalls;
    forEachCell(range, [&](CellState& st, int, int) { st.vertJustify = justify; });
}

void RecordingDocument::setNumberFormat(const RangeAddress& range, const QString& code)
{
    ++book_->formatCalls;
    forEachCell(range, [&](CellState& st, int, int) { st.numberFormat = code; });
}

void RecordingDocument::setNumberFormatOn(const QList<RangeAddress>& ranges, const QString& code)
{
    if (ranges.isEmpty())
        return;  // the office makes no call either
    for (const RangeAddress& r : ranges)
        setNumberFormat(r, code);
    book_->formatCalls -= static_cast<int>(ranges.size()) - 1;
}

void RecordingDocument::setPageMargins(int sheet, const PageMargins& margins)
{
    ++book_->formatCalls;
    book_->sheet(sheet).margins = margins;
}

PageMargins RecordingDocument::pageMargins(int sheet) { return book_->sheet(sheet).margins; }

void RecordingDocument::setLandscape(int sheet)
{
    ++book_->formatCalls;
    book_->sheet(sheet).landscape = true;
}

void RecordingDocument::setBlockValues(const CellAddress& cell, const QList<QVariantList>& rows)
{
    ++book_->rowCalls;
    RecordedSheet& s = book_->sheet(cell.sheet);
    for (int r = 0; r < rows.size(); ++r)
        for (int i = 0; i < rows[r].size(); ++i) {
            const QVariant& v = rows[r][i];
            const std::pair<int, int> at{cell.row + r, cell.column + i};
            if (!v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty())) {
                // An empty cell stays as it was: nothing is made of it.
                const auto it = s.cells.find(at);
                if (it != s.cells.end())
                    it->second.content = QVariant();
            } else {
                s.cells[at].content = v.typeId() == QMetaType::QString ? v : QVariant(v.toDouble());
            }
        }
}

void RecordingDocument::transfer(const CellAddress& to, const RangeAddress& from, bool move)
{
    // Row by row through the cells of the rows involved: a copy costs what
    // its rows hold, not what the sheet does.
    RecordedSheet& src = book_->sheet(from.sheet);
    std::vector<std::pair<std::pair<int, int>, CellState>> taken;
    for (int row = from.startRow; row <= from.endRow; ++row)
        for (auto it = src.cells.lower_bound({row, from.startColumn});
             it != src.cells.end() && it->first.first == row && it->first.second <= from.endColumn;) {
            taken.push_back({{row - from.startRow, it->first.second - from.startColumn}, it->second});
            it = move ? src.cells.erase(it) : std::next(it);
        }
    QList<RangeAddress> mergesTaken;
    for (int i = src.merges.size() - 1; i >= 0; --i) {
        const RangeAddress m = src.merges[i];
        if (m.startRow >= from.startRow && m.endRow <= from.endRow && m.startColumn >= from.startColumn &&
            m.endColumn <= from.endColumn) {
            mergesTaken.append(m);
            if (move)
                src.merges.removeAt(i);
        }
    }
    RecordedSheet& dst = book_->sheet(to.sheet);
    const int rows = from.endRow - from.startRow;
    const int columns = from.endColumn - from.startColumn;
    for (int row = to.row; row <= to.row + rows; ++row)
        for (auto it = dst.cells.lower_bound({row, to.column});
             it != dst.cells.end() && it->first.first == row && it->first.second <= to.column + columns;)
            it = dst.cells.erase(it);
    for (const auto& [pos, state] : taken)
        dst.cells[{to.row + pos.first, to.column + pos.second}] = state;
    for (const RangeAddress& m : mergesTaken)
        dst.merges.append({to.sheet, m.startColumn - from.startColumn + to.column, m.startRow - from.startRow + to.row,
                           m.endColumn - from.startColumn + to.column, m.endRow - from.startRow + to.row});
}

void RecordingDocument::moveRange(const CellAddress& to, const RangeAddress& from) { transfer(to, from, true); }

void RecordingDocument::copyRange(const CellAddress& to, const RangeAddress& from) { transfer(to, from, false); }

void RecordingDocument::removeRows(int sheet, int index, int count)
{
    RecordedSheet& s = book_->sheet(sheet);
    std::map<std::pair<int, int>, CellState> kept;
    for (auto& [pos, state] : s.cells) {
        if (pos.first < index)
            kept[pos] = state;
        else if (pos.first >= index + count)
            kept[{pos.first - count, pos.second}] = state;
    }
    s.cells.swap(kept);
    QList<RangeAddress> merges;
    for (RangeAddress m : s.merges) {
        if (m.endRow < index) {
            merges.append(m);
        } else if (m.startRow >= index + count) {
            m.startRow -= count;
            m.endRow -= count;
            merges.append(m);
        }
    }
    s.merges = merges;
    book_->log.append(QStringLiteral("removeRows %1 %2").arg(index).arg(count));
}

template <class F>
void RecordingDocument::forEachCell(const RangeAddress& range, F f)
{
    RecordedSheet& s = book_->sheet(range.sheet);
    for (int r = range.startRow; r <= range.endRow; ++r)
        for (int c = range.startColumn; c <= range.endColumn; ++c)
            f(s.cells[{r, c}], r, c);
}

void RecordingDocument::merge(const RangeAddress& range)
{
    ++book_->formatCalls;
    RecordedSheet& s = book_->sheet(range.sheet);
    if (!s.merges.contains(range))
        s.merges.append(range);
}

void RecordingDocument::setColumnWidth(int sheet, int column, int width)
{
    ++book_->formatCalls;
    book_->sheet(sheet).columnWidths[column] = width;
}

void RecordingDocument::fitRowHeights(int sheet, int firstRow, int lastRow)
{
    ++book_->formatCalls;
    RecordedSheet& s = book_->sheet(sheet);
    for (int r = firstRow; r <= lastRow; ++r)
        s.fittedRows.insert(r);
    book_->log.append(QStringLiteral("fitRowHeights %1 %2").arg(firstRow).arg(lastRow));
}

void RecordingDocument::fitRowsAtUnlock(int sheet, int firstRow, int lastRow)
{
    if (book_->controllerLocks == 0) {
        fitRowHeights(sheet, firstRow, lastRow);
        return;
    }
    for (int r = firstRow; r <= lastRow; ++r)
        book_->fittedWhileLocked[sheet].insert(r);
}

void RecordingDocument::keepRowsTogether(int sheet, const QList<std::pair<int, int>>& blocks)
{
    ++book_->formatCalls;
    book_->sheet(sheet).keptTogether.append(blocks);
}

void RecordingDocument::setWrapped(const RangeAddress& range, bool wrapped)
{
    ++book_->formatCalls;
    forEachCell(range, [&](CellState& st, int, int) { st.wrapped = wrapped; });
    if (wrapped && book_->controllerLocks > 0)
        book_->wrappedWhileLocked.append(range);
}

void RecordingDocument::setHoriJustify(const RangeAddress& range, int justify)
{
    ++book_->formatCalls;
    forEachCell(range, [&](CellState& st, int, int) { st.horiJustify = justify; });
}

void RecordingDocument::setFont(const RangeAddress& range, const Font& font)
{
    ++book_->formatCalls;
    forEachCell(range, [&](CellState& st, int, int) {
        st.fontName = font.name;
        st.fontHeight = font.height;
        st.fontWeight = font.weight;
        st.fontPosture = font.posture;
        st.fontUnderline = font.underline;
    });
}

void RecordingDocument::setTableBorder(const RangeAddress& range, const TableBorder& b)
{
    ++book_->formatCalls;
    forEachCell(range, [&](CellState& st, int r, int c) {
        if (b.isTopValid && r == range.startRow)
            st.topWidth = b.top.outerWidth;
        if (b.isBottomValid && r == range.endRow)
            st.bottomWidth = b.bottom.outerWidth;
        if (b.isLeftValid && c == range.startColumn)
            st.leftWidth = b.left.outerWidth;
        if (b.isRightValid && c == range.endColumn)
            st.rightWidth = b.right.outerWidth;
        if (b.isHorizontalValid) {
            if (r < range.endRow)
                st.bottomWidth = b.horizontal.outerWidth;
            if (r > range.startRow)
                st.topWidth = b.horizontal.outerWidth;
        }
        if (b.isVerticalValid) {
            if (c < range.endColumn)
                st.rightWidth = b.vertical.outerWidth;
            if (c > range.startColumn)
                st.leftWidth = b.vertical.outerWidth;
        }
    });
}

void RecordingDocument::setTableBorders(const QList<RangeAddress>& ranges, const TableBorder& border)
{
    for (const RangeAddress& r : ranges)
        setTableBorder(r, border);
    book_->formatCalls -= static_cast<int>(ranges.size()) - 1;
}

// Several ranges in one call count as one call.
void RecordingDocument::setWrappedOn(const QList<RangeAddress>& ranges, bool wrapped)
{
    for (const RangeAddress& r : ranges)
        setWrapped(r, wrapped);
    book_->formatCalls -= static_cast<int>(ranges.size()) - 1;
}

void RecordingDocument::setHoriJustifyOn(const QList<RangeAddress>& ranges, int justify)
{
    for (const RangeAddress& r : ranges)
        setHoriJustify(r, justify);
    book_->formatCalls -= static_cast<int>(ranges.size()) - 1;
}

void RecordingDocument::setFontOn(const QList<RangeAddress>& ranges, const Font& font)
{
    for (const RangeAddress& r : ranges)
        setFont(r, font);
    book_->formatCalls -= static_cast<int>(ranges.size()) - 1;
}

void RecordingDocument::lockControllers()
{
    ++book_->controllerLocks;
    book_->log.append(QStringLiteral("lockControllers"));
}

void RecordingDocument::unlockControllers()
{
    --book_->controllerLocks;
    book_->log.append(QStringLiteral("unlockControllers"));
    if (book_->controllerLocks > 0)
        return;
    const QList<RangeAddress> wrapped = std::move(book_->wrappedWhileLocked);
    book_->wrappedWhileLocked.clear();
    const std::map<int, std::set<int>> fit = std::move(book_->fittedWhileLocked);
    book_->fittedWhileLocked.clear();
    const auto startsMerge = [this](const CellAddress& c) { return book_->state(c).merged; };
    const RowsToAdjust rows = RowsToFit(wrapped, startsMerge, fit);
    for (const auto& [sheet, fit] : rows.fit)
        for (const auto& [first, last] : RowRuns(fit))
            fitRowHeights(sheet, first, last);
    for (const auto& [sheet, grow] : rows.grow)
        for (const auto& [first, last] : RowRuns(grow))
            growRowHeights(sheet, first, last);
}

void RecordingDocument::growRowHeights(int sheet, int firstRow, int lastRow)
{
    ++book_->formatCalls;
    RecordedSheet& s = book_->sheet(sheet);
    for (int r = firstRow; r <= lastRow; ++r)
        s.grownRows.insert(r);
    book_->log.append(QStringLiteral("growRowHeights %1 %2").arg(firstRow).arg(lastRow));
}

void RecordingDocument::addActionLock()
{
    ++book_->actionLocks;
    book_->log.append(QStringLiteral("addActionLock"));
}

void RecordingDocument::removeActionLock()
{
    --book_->actionLocks;
    book_->log.append(QStringLiteral("removeActionLock"));
}

void RecordingDocument::show()
{
    book_->visible = true;
    book_->log.append(QStringLiteral("show"));
}

void RecordingDocument::close()
{
    book_->closed = true;
    book_->log.append(QStringLiteral("close"));
}

void RecordingDocument::storeToFile(const QString& path, const QString& filter)
{
    book_->log.append(QStringLiteral("store ") + filter);
}

CellState RecordingDocument::cellState(const CellAddress& cell) { return book_->state(cell); }

std::optional<QList<RangeAddress>> RecordingDocument::filledCells(const RangeAddress& range)
{
    ++book_->readCalls;
    QList<RangeAddress> out;
    const RecordedSheet& s = book_->sheet(range.sheet);
    for (auto it = s.cells.lower_bound({range.startRow, range.startColumn});
         it != s.cells.end() && it->first.first <= range.endRow; ++it) {
        const auto [row, column] = it->first;
        if (column < range.startColumn || column > range.endColumn)
            continue;
        if (it->second.content.isValid() || !it->second.formula.isEmpty())
            out.append({range.sheet, column, row, column, row});
    }
    return out;
}

std::optional<Document::Contents> RecordingDocument::contents(const RangeAddress& range)
{
    ++book_->readCalls;
    Contents out;
    const RecordedSheet& s = book_->sheet(range.sheet);
    for (int row = range.startRow; row <= range.endRow; ++row) {
        QVariantList values;
        for (int column = range.startColumn; column <= range.endColumn; ++column) {
            const auto it = s.cells.find({row, column});
            if (it == s.cells.end()) {
                values.append(QVariant());
                continue;
            }
            const CellState& c = it->second;
            values.append(c.content);
            // As the office has them: a formula, and a text of several lines
            // (several paragraphs), do not come back from their contents.
            const bool lines = c.content.typeId() == QMetaType::QString &&
                               (c.content.toString().contains(QLatin1Char('\n')) ||
                                c.content.toString().contains(QLatin1Char('\r')));
            if (!c.formula.isEmpty() || lines)
                out.notPlain.append({range.sheet, column, row, column, row});
        }
        out.rows.append(values);
    }
    return out;
}

// ---- office ----

bool RecordingOffice::connect()
{
    if (!reachable)
        return false;
    if (!connected_)
        ++connects;
    connected_ = true;
    return true;
}

void RecordingOffice::disconnect() { connected_ = false; }

std::unique_ptr<Document> RecordingOffice::newCalc()
{
    if (!connected_)
        throw OfficeError("no office connection");
    auto book = std::make_shared<RecordedBook>();
    book->sheets.resize(2);
    book->sheets[0].name = QStringLiteral("Лист1");
    book->sheets[1].name = QStringLiteral("Лист2");
    books.append(book);
    return std::make_unique<RecordingDocument>(book);
}

std::unique_ptr<Document> RecordingOffice::editDocument(const QString& path)
{
    std::unique_ptr<Document> doc = loadDocument(path);
    books.back()->log << QStringLiteral("edit");
    doc->show();
    return doc;
}

std::unique_ptr<Document> RecordingOffice::loadDocument(const QString& path)
{
    if (!connected_)
        throw OfficeError("no office connection");
    if (!QFile::exists(path))
        throw OfficeError("cannot open " + path.toStdString());
    auto book = std::make_shared<RecordedBook>(prototype);
    book->sourcePath = path;
    book->log.clear();
    while (book->sheets.size() < 2) {
        RecordedSheet s;
        s.name = QStringLiteral("Лист%1").arg(book->sheets.size() + 1);
        book->sheets.push_back(s);
    }
    books.append(book);
    return std::make_unique<RecordingDocument>(book);
}

} // namespace automation
