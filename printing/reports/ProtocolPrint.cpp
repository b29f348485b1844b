#include "ProtocolPrint.h"

#include "db/Query.h"
#include "workbooks/Frame.h"

namespace reports::ProtocolPrint {

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
    const int lastRow = static_cast<int>(lines.size());  // 0-based: the header is row 0
    return workbooks::FillAndShow(office, [&](automation::Document& doc) {
        {
            // Unlocking fits the heights of the rows given wrapped text.
            workbooks::Locked locked(doc);
            // A date and a time fit their columns; the captions, names, windows
            // and actions wrap within theirs down to the last written row, all
            // within the page's width.
            doc.setPageMargins(0, {workbooks::PointsToHmm(30), workbooks::PointsToHmm(10)});
            static const int widths[] = {2300, 1800, 3500, 3500, 8200};
            for (int i = 0; i < 5; ++i)
                doc.setColumnWidth(0, i, widths[i]);
            doc.setBlockValues({0, 0, 0}, {QVariantList{QStringLiteral("Дата"), QStringLiteral("Время"),
                                                        QStringLiteral("Фио"), QStringLiteral("Окно программы"),
                                                        QStringLiteral("Действия")}});
            doc.setWrapped({0, 0, 0, 4, 0}, true);
            if (lastRow > 0)
                doc.setWrapped({0, 2, 1, 4, lastRow}, true);

            QList<QVariantList> block;
            block.reserve(kBlockRows);
            int written = 0;
            const auto send = [&] {
                if (block.isEmpty())
                    return;
                doc.setBlockValues({0, 0, 1 + written}, block);
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

            doc.setTableBorder({0, 0, 0, 4, lastRow}, workbooks::ThinFrame());
        }
        gauge.close();
    });
}

} // namespace reports::ProtocolPrint
