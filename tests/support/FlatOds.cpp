#include "FlatOds.h"

#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

#include <stdexcept>

namespace {

// "2.2cm", "22mm", "1in", "72pt" in hundredths of a millimetre.
int lengthOf(const QString& text)
{
    static const std::pair<const char*, double> units[] = {{"cm", 1000}, {"mm", 100}, {"in", 2540}, {"pt", 2540.0 / 72}};
    for (const auto& [unit, factor] : units)
        if (text.endsWith(QLatin1String(unit)))
            return qRound(text.chopped(2).toDouble() * factor);
    return 0;
}

QString attr(const QXmlStreamReader& x, const char* name) { return x.attributes().value(QLatin1String(name)).toString(); }

// A number style's format code in the Russian notation, as the office reads
// it back: "0", "0,00", "0,###", "0,00####", "# ##0,00".
QString numberCode(const QXmlStreamReader& x)
{
    const int places = attr(x, "number:decimal-places").toInt();
    const QString minimum = attr(x, "number:min-decimal-places");
    const int shown = minimum.isEmpty() ? places : qMin(places, minimum.toInt());
    QString code = attr(x, "number:grouping") == QLatin1String("true") ? QStringLiteral("# ##0") : QStringLiteral("0");
    if (places > 0)
        code += QLatin1Char(',') + QString(shown, QLatin1Char('0')) + QString(places - shown, QLatin1Char('#'));
    return code;
}

// The text of a cell: its paragraphs joined by line breaks.
QString cellText(QXmlStreamReader& x)
{
    QStringList paragraphs;
    QString current;
    int depth = 1;
    while (depth > 0 && !x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            ++depth;
            if (x.name() == QLatin1String("p"))
                current.clear();
            else if (x.name() == QLatin1String("s"))
                current += QString(qMax(1, attr(x, "table:c").toInt()), QLatin1Char(' '));
            else if (x.name() == QLatin1String("line-break"))
                current += QLatin1Char('\n');
        } else if (x.isEndElement()) {
            --depth;
            if (x.name() == QLatin1String("p"))
                paragraphs.append(current);
        } else if (x.isCharacters()) {
            current += x.text();
        }
    }
    return paragraphs.join(QLatin1Char('\n'));
}

} // namespace

automation::RecordedBook ReadFlatOds(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    QXmlStreamReader x(&f);
    automation::RecordedBook book;
    QHash<QString, int> columnWidthOf;  // column style name -> width
    QHash<QString, QString> numberStyles;  // number style name -> format code
    QHash<QString, QString> dataStyles;    // cell style name -> number style name
    // A cell style's format code (its number style may stand after it).
    const auto formatOf = [&](const QString& cellStyle) { return numberStyles.value(dataStyles.value(cellStyle)); };
    QString styleName;
    int row = 0, column = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        const auto name = x.name();
        if (name == QLatin1String("number-style")) {
            styleName = attr(x, "style:name");
        } else if (name == QLatin1String("number") && x.namespaceUri().endsWith(QLatin1String(":datastyle:1.0"))) {
            numberStyles[styleName] = numberCode(x);
        } else if (name == QLatin1String("style")) {
            styleName = attr(x, "style:name");
            const QString data = attr(x, "style:data-style-name");
            if (!data.isEmpty())
                dataStyles[styleName] = data;
        } else if (name == QLatin1String("table-column-properties")) {
            columnWidthOf[styleName] = lengthOf(attr(x, "style:column-width"));
        } else if (name == QLatin1String("table")) {
            automation::RecordedSheet s;
            s.name = attr(x, "table:name");
            book.sheets.push_back(s);
            row = 0;
            column = 0;
        } else if (name == QLatin1String("table-column")) {
            const int repeated = qMax(1, attr(x, "table:number-columns-repeated").toInt());
            const int width = columnWidthOf.value(attr(x, "table:style-name"));
            if (width > 0 && repeated < 1000)
                for (int i = 0; i < repeated; ++i)
                    book.sheets.back().columnWidths[column + i] = width;
            column += repeated;
        } else if (name == QLatin1String("table-row")) {
            column = 0;
            const int repeated = qMax(1, attr(x, "table:number-rows-repeated").toInt());
            // Rows repeated more than once are empty in a template: only
            // the number formats of their cells are taken (the rows a
            // template formats in advance for its table).
            if (repeated > 1) {
                automation::RecordedSheet& s = book.sheets.back();
                while (x.readNextStartElement()) {
                    const int columns = qMax(1, attr(x, "table:number-columns-repeated").toInt());
                    const QString code = formatOf(attr(x, "table:style-name"));
                    if (!code.isEmpty())
                        for (int r = 0; r < repeated && r < 1000; ++r)
                            for (int i = 0; i < columns && i < 1000; ++i)
                                s.cells[{row + r, column + i}].numberFormat = code;
                    column += columns;
                    x.skipCurrentElement();
                }
                row += repeated;
            } else {
                ++row;
            }
        } else if (name == QLatin1String("table-cell") || name == QLatin1String("covered-table-cell")) {
            automation::RecordedSheet& s = book.sheets.back();
            const int repeated = qMax(1, attr(x, "table:number-columns-repeated").toInt());
            const int spanColumns = attr(x, "table:number-columns-spanned").toInt();
            const int spanRows = attr(x, "table:number-rows-spanned").toInt();
            const int r = row - 1;
            if (spanColumns > 1 || spanRows > 1)
                s.merges.append({static_cast<int>(book.sheets.size()) - 1, column, r,
                                 column + qMax(1, spanColumns) - 1, r + qMax(1, spanRows) - 1});
            const QString type = attr(x, "office:value-type");
            const QString value = attr(x, "office:value");
            const QString code = formatOf(attr(x, "table:style-name"));
            if (!code.isEmpty())
                for (int i = 0; i < repeated && i < 1000; ++i)
                    s.cells[{r, column + i}].numberFormat = code;
            if (name == QLatin1String("table-cell") && !type.isEmpty()) {
                QVariant content;
                if (type == QLatin1String("string"))
                    content = cellText(x);
                else if (!value.isEmpty())
                    content = value.toDouble();
                else
                    content = cellText(x);
                for (int i = 0; i < repeated && i < 1000; ++i)
                    s.cells[{r, column + i}].content = content;
            } else {
                x.skipCurrentElement();
            }
            column += repeated;
        }
    }
    if (x.hasError())
        throw std::runtime_error("bad flat spreadsheet " + path.toStdString() + ": " + x.errorString().toStdString());
    return book;
}
