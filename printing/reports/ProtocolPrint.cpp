#include "ProtocolPrint.h"

#include "db/Query.h"

namespace reports::ProtocolPrint {

namespace {

// Keeps the document's locks while it is filled; releases them on the way out.
class Locked {
public:
    explicit Locked(automation::Document& d) : d_(d)
    {
        d_.lockControllers();
        d_.addActionLock();
    }
    ~Locked()
    {
        try {
            d_.removeActionLock();
            d_.unlockControllers();
        } catch (...) {
        }
    }

private:
    automation::Document& d_;
};

} // namespace

QList<Line> LinesOf(const db::Query& shown)
{
    QList<Line> lines;
    if (!shown.active())
        return lines;
    const int date = shown.fieldIndex(QStringLiteral("MY_DATE"));
    const int time = shown.fieldIndex(QStringLiteral("MY_TIME"));
    const int fio = shown.fieldIndex(QStringLiteral("P_FIO"));
    const int arm = shown.fieldIndex(QStringLiteral("ARM"));
    const int action = shown.fieldIndex(QStringLiteral("WHAT_ACTION"));
    auto text = [&](int row, int column) { return column < 0 ? QString() : shown.valueAt(row, column).toString(); };
    lines.reserve(shown.recordCount());
    for (int r = 0; r < shown.recordCount(); ++r) {
        Line l;
        const QDate d = date < 0 ? QDate() : shown.valueAt(r, date).toDate();
        const QTime t = time < 0 ? QTime() : shown.valueAt(r, time).toTime();
        l.date = d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
        l.time = t.isValid() ? t.toString(QStringLiteral("hh:mm:ss")) : QString();
        l.fio = text(r, fio);
        l.arm = text(r, arm);
        l.action = text(r, action);
        lines.append(l);
    }
    return lines;
}

bool Print(automation::Office& office, const Options& options, const Progress& progress)
{
    const QList<Line>& lines = options.lines;
    ProgressShown gauge(progress, static_cast<int>(lines.size()));
    if (!office.connect())
        return false;
    std::unique_ptr<automation::Document> doc;
    try {
        doc = office.newCalc();
    } catch (const automation::OfficeError&) {
        doc.reset();
    }
    if (!doc) {
        office.disconnect();
        return false;
    }
    const int lastRow = static_cast<int>(lines.size());  // 0-based: the header is row 0
    try {
        {
            // Unlocking fits the heights of the rows given wrapped text.
            Locked locked(*doc);
            static const int widths[] = {2200, 1600, 3000, 3000, 8500};
            for (int i = 0; i < 5; ++i)
                doc->setColumnWidth(0, i, widths[i]);
            doc->setBlockValues({0, 0, 0}, {QVariantList{QStringLiteral("Дата"), QStringLiteral("Время"),
                                                         QStringLiteral("Фио"), QStringLiteral("Окно программы"),
                                                         QStringLiteral("Действия")}});
            // The action column wraps down to the last written row.
            doc->setWrapped({0, 4, 0, 4, lastRow}, true);

            QList<QVariantList> block;
            block.reserve(kBlockRows);
            int written = 0;
            const auto send = [&] {
                if (block.isEmpty())
                    return;
                doc->setBlockValues({0, 0, 1 + written}, block);
                written += static_cast<int>(block.size());
                block.clear();
                gauge.step(written);
            };
            for (const Line& l : lines) {
                block.append(QVariantList{l.date, l.time, l.fio, l.arm, l.action});
                if (block.size() == kBlockRows)
                    send();
            }
            send();

            automation::BorderLine line;
            line.outerWidth = 35;
            line.innerWidth = 0;
            line.color = 1;
            automation::TableBorder border;
            border.top = border.bottom = border.left = border.right = border.horizontal = border.vertical = line;
            border.isTopValid = border.isBottomValid = border.isLeftValid = border.isRightValid =
                border.isHorizontalValid = border.isVerticalValid = true;
            doc->setTableBorder({0, 0, 0, 4, lastRow}, border);
        }
    } catch (...) {
        // An unfinished workbook is not left to the user.
        try {
            doc->close();
            office.disconnect();
        } catch (...) {
        }
        throw;
    }
    gauge.close();
    doc->show();
    office.disconnect();
    return true;
}

} // namespace reports::ProtocolPrint
