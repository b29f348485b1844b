#include "BookDump.h"

#include <QLocale>

#include <algorithm>
#include <tuple>
#include <set>

namespace automation {

namespace {

QString quoted(const QString& s)
{
    QString out = s;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    out.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    out.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QString number(double v) { return QString::number(v, 'g', QLocale::FloatingPointShortest); }

QString rangeName(const RangeAddress& r)
{
    const QString a = CellName(r.startColumn, r.startRow);
    if (r.startColumn == r.endColumn && r.startRow == r.endRow)
        return a;
    return a + QLatin1Char(':') + CellName(r.endColumn, r.endRow);
}

QString justifyName(int j)
{
    switch (j) {
    case 1: return QStringLiteral("left");
    case 2: return QStringLiteral("centre");
    case 3: return QStringLiteral("right");
    default: return QStringLiteral("standard");
    }
}

QString fontText(const CellState& s)
{
    QString t = QStringLiteral("font %1 %2").arg(quoted(s.fontName), number(s.fontHeight));
    if (s.fontWeight >= kWeightBold)
        t += QStringLiteral(" bold");
    if (s.fontPosture != 0)
        t += QStringLiteral(" italic");
    if (s.fontUnderline != 0)
        t += QStringLiteral(" underline");
    return t;
}

QString borderText(const CellState& s)
{
    if (!s.topWidth && !s.bottomWidth && !s.leftWidth && !s.rightWidth)
        return {};
    return QStringLiteral("border top %1 bottom %2 left %3 right %4")
        .arg(s.topWidth)
        .arg(s.bottomWidth)
        .arg(s.leftWidth)
        .arg(s.rightWidth);
}

// The cells of one format text as rectangles: from the first cell not yet
// taken (row by row), as far right as the text runs, then as far down as the
// whole run repeats.
QStringList rectangles(const std::map<std::pair<int, int>, QString>& cells)
{
    std::map<QString, std::set<std::pair<int, int>>> byText;
    for (const auto& [pos, text] : cells)
        byText[text].insert(pos);
    QList<std::pair<std::pair<int, int>, QString>> out;  // top-left, line
    for (auto& [text, left] : byText) {
        while (!left.empty()) {
            const auto [row, column] = *left.begin();
            int endColumn = column;
            while (left.count({row, endColumn + 1}))
                ++endColumn;
            int endRow = row;
            for (;;) {
                bool whole = true;
                for (int c = column; c <= endColumn && whole; ++c)
                    whole = left.count({endRow + 1, c}) > 0;
                if (!whole)
                    break;
                ++endRow;
            }
            for (int r = row; r <= endRow; ++r)
                for (int c = column; c <= endColumn; ++c)
                    left.erase({r, c});
            out.append({{row, column}, rangeName({0, column, row, endColumn, endRow}) + QLatin1Char(' ') + text});
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList lines;
    for (const auto& o : out)
        lines.append(o.second);
    return lines;
}

QString rowRuns(const std::set<int>& rows)
{
    QStringList runs;
    for (auto it = rows.begin(); it != rows.end();) {
        const int first = *it;
        int last = first;
        ++it;
        while (it != rows.end() && *it == last + 1) {
            last = *it;
            ++it;
        }
        runs.append(first == last ? QString::number(first + 1) : QStringLiteral("%1-%2").arg(first + 1).arg(last + 1));
    }
    return runs.join(QStringLiteral(", "));
}

void dumpSheet(QStringList& out, int index, const RecordedSheet& s)
{
    out.append(QStringLiteral("sheet %1 %2").arg(index + 1).arg(quoted(s.name)));
    if (!s.columnWidths.empty()) {
        QStringList widths;
        for (const auto& [column, width] : s.columnWidths)
            widths.append(QStringLiteral("%1 %2").arg(CellName(column, 0).chopped(1)).arg(width));
        out.append(QStringLiteral("  columns ") + widths.join(QStringLiteral(", ")));
    }
    if (!s.merges.isEmpty()) {
        QList<RangeAddress> merges = s.merges;
        std::sort(merges.begin(), merges.end(), [](const RangeAddress& a, const RangeAddress& b) {
            return std::tie(a.startRow, a.startColumn, a.endRow, a.endColumn) <
                   std::tie(b.startRow, b.startColumn, b.endRow, b.endColumn);
        });
        QStringList names;
        for (const RangeAddress& m : merges)
            names.append(rangeName(m));
        out.append(QStringLiteral("  merges ") + names.join(QStringLiteral(", ")));
    }
    if (s.landscape)
        out.append(QStringLiteral("  landscape"));
    if (s.margins.left >= 0 || s.margins.right >= 0)
        out.append(QStringLiteral("  margins left %1 right %2").arg(s.margins.left).arg(s.margins.right));
    if (!s.fittedRows.empty())
        out.append(QStringLiteral("  fitted rows ") + rowRuns(s.fittedRows));
    if (!s.grownRows.empty())
        out.append(QStringLiteral("  grown rows ") + rowRuns(s.grownRows));
    if (!s.keptTogether.isEmpty()) {
        QStringList blocks;
        for (const auto& [first, last] : s.keptTogether)
            blocks << QString::number(first + 1) + QLatin1Char('-') + QString::number(last + 1);
        out.append(QStringLiteral("  rows kept on one page ") + blocks.join(QStringLiteral(", ")));
    }
    std::map<std::pair<int, int>, QString> wrap, justify, vjustify, font, colour, numbers, border;
    for (const auto& [pos, st] : s.cells) {
        const auto [row, column] = pos;
        const QVariant& v = st.content;
        if (!st.formula.isEmpty()) {
            out.append(QStringLiteral("  %1 formula %2").arg(CellName(column, row), quoted(st.formula)));
        } else if (v.isValid()) {
            if (v.typeId() == QMetaType::QString)
                out.append(QStringLiteral("  %1 text %2").arg(CellName(column, row), quoted(v.toString())));
            else
                out.append(QStringLiteral("  %1 number %2").arg(CellName(column, row), number(v.toDouble())));
        }
        if (st.wrapped)
            wrap[pos] = QStringLiteral("wrap");
        if (st.horiJustify != 0)
            justify[pos] = QStringLiteral("align ") + justifyName(st.horiJustify);
        if (st.vertJustify != 0)
            vjustify[pos] = QStringLiteral("vertical ") + QStringList{"standard", "top", "centre", "bottom"}.value(st.vertJustify);
        if (!st.fontName.isEmpty() || st.fontHeight != 0)
            font[pos] = fontText(st);
        if (st.charColor >= 0)
            colour[pos] = QStringLiteral("colour #") + QString::number(st.charColor, 16).toUpper().rightJustified(6, QLatin1Char('0'));
        // A number format shows only on what a cell holds.
        if (!st.numberFormat.isEmpty() && (v.isValid() || !st.formula.isEmpty()))
            numbers[pos] = QStringLiteral("number format ") + quoted(st.numberFormat);
        const QString b = borderText(st);
        if (!b.isEmpty())
            border[pos] = b;
    }
    for (const auto* kind : {&wrap, &justify, &vjustify, &font, &colour, &numbers, &border})
        for (const QString& line : rectangles(*kind))
            out.append(QStringLiteral("  format ") + line);
}

} // namespace

QString DumpBook(const RecordedBook& book)
{
    QStringList out;
    if (!book.sourcePath.isEmpty())
        out.append(QStringLiteral("from template"));
    for (size_t i = 0; i < book.sheets.size(); ++i)
        dumpSheet(out, static_cast<int>(i), book.sheets[i]);
    QStringList state;
    state.append(book.visible ? QStringLiteral("shown") : QStringLiteral("not shown"));
    if (book.closed)
        state.append(QStringLiteral("closed"));
    if (book.controllerLocks != 0 || book.actionLocks != 0)
        state.append(QStringLiteral("locks left %1/%2").arg(book.controllerLocks).arg(book.actionLocks));
    out.append(state.join(QStringLiteral(", ")));
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString DumpBooks(const RecordingOffice& office)
{
    if (office.books.isEmpty())
        return QStringLiteral("no workbook\n");
    QString out;
    for (int i = 0; i < office.books.size(); ++i) {
        if (office.books.size() > 1)
            out += QStringLiteral("== workbook %1\n").arg(i + 1);
        out += DumpBook(*office.books[i]);
    }
    return out;
}

} // namespace automation
