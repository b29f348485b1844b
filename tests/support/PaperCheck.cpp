#include "PaperCheck.h"

#include "engine/Kopecks.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>

namespace papercheck {

namespace {

using Wide = __int128;

int columnOf(Column c) { return c - 'A'; }

QString cellName(Column c, int row) { return QString(QLatin1Char(c)) + QString::number(row + 1); }

const QVariant& at(const QList<QVariantList>& cells, int row, Column c)
{
    static const QVariant none;
    const int col = columnOf(c);
    if (row < 0 || row >= cells.size() || col < 0 || col >= cells[row].size())
        return none;
    return cells[row][col];
}

bool isNumber(const QVariant& v) { return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int; }

qint64 units(const QVariant& v, int places) { return engine::Units(v.toDouble(), places); }

Wide magnitude(Wide v) { return v < 0 ? -v : v; }

// The level of a caption: 4 the group ... 1 the enterprise, 0 the whole
// paper; -1 not a caption of a sum.
int levelOf(const QString& caption)
{
    const QString c = caption.trimmed();
    if (!c.startsWith(QStringLiteral("Итого"), Qt::CaseInsensitive))
        return -1;
    static const std::array<std::pair<const char16_t*, int>, 4> levels{
        {{u"по группе", 4}, {u"по складу", 3}, {u"по подразделению", 2}, {u"по предприятию", 1}}};
    for (const auto& [words, level] : levels)
        if (c.contains(QString::fromUtf16(words)))
            return level;
    return 0;
}

// Quantities and prices are read to the decimals the papers print.
constexpr int kFigurePlaces = engine::kPrintedPlaces;

QString figure(qint64 unitsOf, int places)
{
    return QString::number(static_cast<double>(unitsOf) / std::pow(10.0, places), 'f', places);
}

} // namespace

QList<QVariantList> CellsOf(const automation::RecordedSheet& sheet)
{
    QList<QVariantList> rows;
    for (const auto& [pos, state] : sheet.cells) {
        const auto [row, column] = pos;
        while (rows.size() <= row)
            rows.append(QVariantList{});
        QVariantList& r = rows[row];
        while (r.size() <= column)
            r.append(QVariant());
        r[column] = state.content;
    }
    return rows;
}

QStringList Check(const QList<QVariantList>& cells, const Paper& paper, int* lines)
{
    QStringList faults;
    int seen = 0;
    std::array<QVector<qint64>, 5> sinceLast;  // per level, per summed column, in kopecks
    for (auto& s : sinceLast)
        s.fill(0, paper.summed.size());
    QVector<qint64> all(paper.totals.size(), 0);
    qint64 grandTotal = 0;
    bool grandSeen = false;

    for (int row = 0; row < cells.size(); ++row) {
        if (isNumber(at(cells, row, paper.lineMark))) {
            ++seen;
            for (const Across& a : paper.across) {
                QVariant q = at(cells, row, a.quantity);
                if (!q.isValid() && a.negatedQuantity && isNumber(at(cells, row, a.negatedQuantity)))
                    q = -at(cells, row, a.negatedQuantity).toDouble();
                const QVariant& p = at(cells, row, a.price);
                const QVariant& s = at(cells, row, a.amount);
                if (!q.isValid() && !s.isValid())
                    continue;  // the other direction's pair, or nothing to read across
                if (!isNumber(q) || !isNumber(s)) {
                    faults << QStringLiteral("%1: a quantity without its amount or an amount without its quantity")
                                  .arg(cellName(a.amount, row));
                    continue;
                }
                if (!isNumber(p))
                    continue;  // no price printed: nothing to multiply
                const qint64 qf = units(q, kFigurePlaces), pf = units(p, kFigurePlaces), a2 = units(s, 2);
                // In units of the product of the two last places: half a
                // kopeck for each stored line the printed row stands for.
                const Wide kopeck = Wide(engine::Units(0.01, 2 * kFigurePlaces));
                const Wide off = magnitude(Wide(qf) * pf - Wide(a2) * kopeck);
                if (2 * off > kopeck * std::max(1, paper.linesPerRow))
                    faults << QStringLiteral("%1: %2 × %3 does not read across to the printed %4")
                                  .arg(cellName(a.amount, row), figure(qf, kFigurePlaces), figure(pf, kFigurePlaces),
                                       figure(a2, 2));
            }
            constexpr int f = kFigurePlaces;
            for (const Difference& d : paper.differences) {
                if (d.samePrice && units(at(cells, row, d.samePrice), f) != units(at(cells, row, d.samePriceToo), f))
                    continue;
                const qint64 diff = units(at(cells, row, d.minuend), f) - units(at(cells, row, d.subtrahend), f);
                const QVariant& into = at(cells, row, d.into);
                if (isNumber(into) && units(into, f) != diff)
                    faults << QStringLiteral("%1: %2 is not %3 − %4").arg(cellName(d.into, row), figure(units(into, f), f),
                                                                        cellName(d.minuend, row), cellName(d.subtrahend, row));
                const QVariant& negated = d.intoNegated ? at(cells, row, d.intoNegated) : QVariant();
                if (isNumber(negated) && units(negated, f) != -diff)
                    faults << QStringLiteral("%1: %2 is not %3 − %4")
                                  .arg(cellName(d.intoNegated, row), figure(units(negated, f), f),
                                       cellName(d.subtrahend, row), cellName(d.minuend, row));
            }
            for (int i = 0; i < paper.summed.size(); ++i) {
                const qint64 a = units(at(cells, row, paper.summed.at(i).toLatin1()), 2);
                for (auto& s : sinceLast)
                    s[i] += a;
            }
            for (int i = 0; i < paper.totals.size(); ++i)
                all[i] += units(at(cells, row, paper.totals[i].of), 2);
            continue;
        }

        const QVariant& caption = at(cells, row, paper.captions);
        int level = caption.typeId() == QMetaType::QString ? levelOf(caption.toString()) : -1;
        if (paper.bareSubtotals && !caption.isValid() && !paper.summed.isEmpty() &&
            std::all_of(paper.summed.cbegin(), paper.summed.cend(),
                        [&](QChar c) { return isNumber(at(cells, row, c.toLatin1())); }))
            level = 4;
        if (level >= 0) {
            for (int i = 0; i < paper.summed.size(); ++i) {
                const Column c = paper.summed.at(i).toLatin1();
                const qint64 printed = units(at(cells, row, c), 2);
                if (printed != sinceLast[level][i])
                    faults << QStringLiteral("%1: %2 \"%3\" is not the sum of the printed amounts above it, %4")
                                  .arg(cellName(c, row), figure(printed, 2), caption.toString(),
                                       figure(sinceLast[level][i], 2));
                if (level == 0 && i == 0) {
                    grandTotal = printed;
                    grandSeen = true;
                }
            }
            for (int l = level; l < 5; ++l)
                sinceLast[l].fill(0);
        }
        for (int i = 0; i < paper.totals.size(); ++i) {
            const CaptionedTotal& t = paper.totals[i];
            if (caption.toString().trimmed() != t.caption)
                continue;
            const qint64 printed = units(at(cells, row, t.at), 2);
            if (printed != all[i])
                faults << QStringLiteral("%1: \"%2\" %3 is not the sum of column %4, %5")
                              .arg(cellName(t.at, row), t.caption, figure(printed, 2), QString(QLatin1Char(t.of)),
                                   figure(all[i], 2));
            const QString words = words::AmountInWords(static_cast<double>(printed) / 100.0, paper.names);
            if (at(cells, row, t.words).toString() != words)
                faults << QStringLiteral("%1: the words are not %2").arg(cellName(t.words, row), words);
        }
        if (!paper.wordsCaption.isEmpty() && caption.toString().trimmed() == paper.wordsCaption) {
            QString text;
            for (int c = columnOf(paper.captions) + 1; c < cells[row].size() && text.isEmpty(); ++c)
                text = cells[row][c].toString();
            const QString words = words::AmountInWords(static_cast<double>(grandTotal) / 100.0, paper.names);
            if (!grandSeen || text != words)
                faults << QStringLiteral("row %1: \"%2\" is not the printed total, %3").arg(row + 1).arg(text, words);
        }
        if (!paper.wordsPrefix.isEmpty()) {
            for (const QVariant& v : cells[row]) {
                const QString text = v.toString();
                if (v.typeId() != QMetaType::QString || !text.startsWith(paper.wordsPrefix))
                    continue;
                const QString words = paper.wordsPrefix +
                                      words::AmountInWords(static_cast<double>(grandTotal) / 100.0, paper.names);
                if (!grandSeen || text != words)
                    faults << QStringLiteral("row %1: \"%2\" is not the printed total, %3")
                                  .arg(row + 1)
                                  .arg(text, words);
            }
        }
    }
    if (!std::isnan(paper.ledger)) {
        // In hundred-thousandths: half a kopeck a line, each rounded once.
        const qint64 ledger = engine::Units(paper.ledger, 5);
        if (!grandSeen || magnitude(Wide(grandTotal) * 1000 - ledger) > Wide(500) * seen)
            faults << QStringLiteral("the total %1 does not agree with the ledger's %2 over %3 lines")
                          .arg(figure(grandTotal, 2), QString::number(paper.ledger, 'f', 6))
                          .arg(seen);
    }
    if (lines)
        *lines = seen;
    return faults;
}

QList<QStringList> ShownOf(const automation::RecordedSheet& sheet)
{
    QList<QStringList> rows;
    for (const auto& [pos, state] : sheet.cells) {
        const auto [row, column] = pos;
        if (state.content.typeId() != QMetaType::Double || !state.formula.isEmpty())
            continue;
        while (rows.size() <= row)
            rows.append(QStringList{});
        QStringList& r = rows[row];
        while (r.size() <= column)
            r.append(QString());
        r[column] = automation::ShownNumber(state.content.toDouble(), state.numberFormat);
    }
    return rows;
}

QList<QStringList> ShownOf(automation::Document& document, const QList<QVariantList>& cells)
{
    QList<QStringList> rows;
    for (int row = 0; row < cells.size(); ++row) {
        QStringList r;
        for (int column = 0; column < cells[row].size(); ++column)
            r.append(isNumber(cells[row][column]) ? document.cellState({0, column, row}).shown : QString());
        rows.append(r);
    }
    return rows;
}

QStringList CheckShown(const QList<QVariantList>& cells, const QList<QStringList>& shown, const Paper& paper)
{
    QStringList faults;
    const auto expect = [&](int row, Column c, int fewest, int most, const char* kind) {
        if (!isNumber(at(cells, row, c)))
            return;
        const int col = columnOf(c);
        const QString text = row < shown.size() && col < shown[row].size() ? shown[row][col] : QString();
        static const QRegularExpression figure(QStringLiteral("^-?\\d{1,3}([ \u00A0]?\\d{3})*(,(\\d+))?$"));
        const auto m = figure.match(text);
        const qsizetype places = m.captured(3).size();
        // What it shows reads as the figure, to the places it has (a column
        // showing four decimals cuts 142,633867 to 142,6339).
        QString digits = text;
        digits.remove(QLatin1Char(' ')).remove(QChar(0x00A0)).replace(QLatin1Char(','), QLatin1Char('.'));
        const int figurePlaces = most == 2 ? 2 : kFigurePlaces;
        const bool same = units(QVariant(digits.toDouble()), figurePlaces) == units(at(cells, row, c), figurePlaces);
        if (!m.hasMatch() || places < fewest || places > most || !same)
            faults << QStringLiteral("%1: %2 shows as \"%3\", not as %4").arg(cellName(c, row)).arg(at(cells, row, c).toDouble()).arg(text, QLatin1String(kind));
    };
    for (int row = 0; row < cells.size(); ++row) {
        if (isNumber(at(cells, row, paper.lineMark))) {
            for (const Across& a : paper.across) {
                expect(row, a.quantity, 0, kFigurePlaces, "a quantity");
                if (a.negatedQuantity)
                    expect(row, a.negatedQuantity, 0, kFigurePlaces, "a quantity");
                expect(row, a.price, 2, kFigurePlaces, "a price");
                expect(row, a.amount, 2, 2, "an amount");
            }
            for (const QChar c : paper.quantities)
                expect(row, c.toLatin1(), 0, kFigurePlaces, "a quantity");
        }
        for (const QChar c : paper.summed)
            expect(row, c.toLatin1(), 2, 2, "an amount");
    }
    return faults;
}

QStringList CheckColumnFormats(const automation::RecordedSheet& sheet, const Paper& paper)
{
    QStringList faults;
    const QList<QVariantList> cells = CellsOf(sheet);
    std::map<int, QString> first;  // by column: the format of its first figure on a table line
    for (int row = 0; row < cells.size(); ++row) {
        const bool line = isNumber(at(cells, row, paper.lineMark));
        const QVariant& caption = at(cells, row, paper.captions);
        const bool sum = !line && ((caption.typeId() == QMetaType::QString && levelOf(caption.toString()) >= 0) ||
                                   (paper.bareSubtotals && !caption.isValid()));
        for (int column = 0; column < cells[row].size(); ++column) {
            const Column c = static_cast<Column>('A' + column);
            if (!isNumber(cells[row][column]) || c == paper.lineMark || (sum && !paper.summed.contains(QLatin1Char(c))))
                continue;
            if (!line && !sum)
                continue;
            // A price or a quantity with more decimals than an older
            // template's column shows takes the papers' own format.
            const QString format = sheet.cells.at({row, column}).numberFormat;
            if (format == automation::kPriceFormat || format == automation::kQuantityFormat)
                continue;
            const auto [known, added] = first.try_emplace(column, format);
            if (format.isEmpty() || (!added && known->second != format))
                faults << QStringLiteral("%1: format \"%2\", not its column's \"%3\"").arg(cellName(c, row), format, known->second);
        }
    }
    return faults;
}

int ExpectReads(const automation::RecordingOffice& office, const Paper& paper)
{
    int lines = 0;
    const automation::RecordedSheet& sheet = office.books.back()->sheets.at(0);
    const QList<QVariantList> cells = CellsOf(sheet);
    const QStringList faults = Check(cells, paper, &lines) + CheckShown(cells, ShownOf(sheet), paper) +
                               CheckColumnFormats(sheet, paper);
    EXPECT_TRUE(faults.isEmpty()) << "the paper does not add up:\n" << faults.join(QLatin1Char('\n')).toStdString();
    return lines;
}

Paper Waybill(const words::MoneyNames& names)
{
    Paper paper;
    paper.captions = 'E';
    paper.across = {{'D', 'E', 'F'}};
    paper.summed = QStringLiteral("F");
    paper.wordsPrefix = QStringLiteral("Сумма прописью: ");
    paper.names = names;
    return paper;
}

} // namespace papercheck
