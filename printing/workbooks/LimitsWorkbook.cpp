#include "LimitsWorkbook.h"

#include "automation/BufferedDocument.h"
#include "db/Query.h"
#include "engine/EngineDb.h"
#include "engine/Kopecks.h"
#include "engine/Settled.h"

namespace workbooks {

qint64 LimitScopeKey(const LimitOptions& o)
{
    switch (o.scope) {
    case 0:
        return o.sklad;
    case 1:
        return o.otdel;
    case 2:
        return o.firma;
    default:
        return 0;
    }
}

QStringList LimitsSql(const LimitOptions& o)
{
    QStringList sql{
        QStringLiteral("SELECT ING_SKLAD.*, ING.KOD_GROUP, ING.NAME, ING.ED_IZM, ING.KVO_PORC,"),
        QStringLiteral("ING.CENA_COMPUTE, ING.MY_LEVEL, GROUP_ING.NAME AS NAME_G, FIRMA.NAME AS NAME_F, FIRMA.KOD AS KOD_F,"),
        QStringLiteral("OTDEL.NAME AS NAME_O, OTDEL.KOD AS KOD_O, SKLAD.NAME AS NAME_S, ED_IZM.SHORT_NAME from ING_SKLAD"),
        QStringLiteral("LEFT OUTER JOIN ING       ON ING.KOD       = ING_SKLAD.KOD_ING"),
        QStringLiteral("LEFT OUTER JOIN FIRMA     ON FIRMA.KOD     = ING_SKLAD.KOD_FIRMA"),
        QStringLiteral("LEFT OUTER JOIN OTDEL     ON OTDEL.KOD     = ING_SKLAD.KOD_OTDEL"),
        QStringLiteral("LEFT OUTER JOIN SKLAD     ON SKLAD.KOD     = ING_SKLAD.KOD_SKLAD"),
        QStringLiteral("LEFT OUTER JOIN ED_IZM    ON ED_IZM.KOD    = ING.ED_IZM"),
        QStringLiteral("LEFT OUTER JOIN GROUP_ING ON GROUP_ING.KOD = ING.KOD_GROUP")};
    switch (o.scope) {
    case 0:
        sql << QStringLiteral("WHERE ING_SKLAD.KOD_SKLAD = ") + QString::number(o.sklad) + QStringLiteral(" AND");
        break;
    case 1:
        sql << QStringLiteral("WHERE ING_SKLAD.KOD_OTDEL = ") + QString::number(o.otdel) + QStringLiteral(" AND");
        break;
    case 2:
        sql << QStringLiteral("WHERE ING_SKLAD.KOD_FIRMA = ") + QString::number(o.firma) + QStringLiteral(" AND");
        break;
    default:
        sql << QStringLiteral("WHERE");
        break;
    }
    sql << (o.rule == 0 ? QStringLiteral("(ING_SKLAD.LIMIT > ING_SKLAD.KOLVO OR ING_SKLAD.KOLVO < 0)")
                        : QStringLiteral("ING_SKLAD.LIMIT > ING_SKLAD.KOLVO AND ING_SKLAD.LIMIT > 0"));
    sql << QStringLiteral("ORDER BY ING_SKLAD.KOD_FIRMA, ING_SKLAD.KOD_OTDEL, ING_SKLAD.KOD_SKLAD, ING.NAME");
    return sql;
}

std::vector<LimitRow> ReadLimitRows(const engine::Context& ctx, const LimitOptions& o)
{
    auto q = engine::Reader(ctx, LimitsSql(o).join(QLatin1Char('\n')));
    q->open();
    const int kodFirma = q->fieldIndex(QStringLiteral("KOD_FIRMA"));
    const int kodOtdel = q->fieldIndex(QStringLiteral("KOD_OTDEL"));
    const int kodSklad = q->fieldIndex(QStringLiteral("KOD_SKLAD"));
    const int nameF = q->fieldIndex(QStringLiteral("NAME_F"));
    const int nameO = q->fieldIndex(QStringLiteral("NAME_O"));
    const int nameS = q->fieldIndex(QStringLiteral("NAME_S"));
    const int name = q->fieldIndex(QStringLiteral("NAME"));
    const int limit = q->fieldIndex(QStringLiteral("LIMIT"));
    const int kolvo = q->fieldIndex(QStringLiteral("KOLVO"));
    const int cena = q->fieldIndex(QStringLiteral("CENA"));
    std::vector<LimitRow> rows;
    for (q->first(); !q->eof(); q->next()) {
        // The sheet compares the figures as it prints them: 1000 on hand
        // against a limit of 1000,0000001 prints 1000 and 1000, not below it.
        const double printedLimit = engine::Printed(engine::Settled(q->field(limit).asDouble()));
        const double printedKolvo = engine::Printed(engine::Settled(q->field(kolvo).asDouble()));
        const bool below = printedLimit > printedKolvo;
        if (o.rule == 0 ? !(below || printedKolvo < 0) : !(below && printedLimit > 0))
            continue;
        LimitRow r;
        r.kodFirma = q->field(kodFirma).asInt64();
        r.kodOtdel = q->field(kodOtdel).asInt64();
        r.kodSklad = q->field(kodSklad).asInt64();
        r.nameF = q->field(nameF).asString();
        r.nameO = q->field(nameO).asString();
        r.nameS = q->field(nameS).asString();
        r.name = q->field(name).asString();
        r.limit = q->field(limit).asDouble();
        r.kolvo = q->field(kolvo).asDouble();
        r.cena = q->field(cena).asDouble();
        rows.push_back(r);
    }
    return rows;
}

bool limits::Print(const engine::Context& ctx, const Options& options, automation::Office& office,
                   const Progress& progress)
{
    return Write(office, ReadLimitRows(ctx, options), progress);
}

bool limits::Write(automation::Office& office, const std::vector<LimitRow>& rows, const Progress& progress)
{
    return FillAndShow(office, [&](automation::Document& doc) {
        Locked locked(doc);
        doc.setSheetName(0, QStringLiteral("Лимиты"));
        // Each number column holds 999 999 999,99; the first, the last line's number.
        doc.setColumnWidths(0, 0, {NumberColumnWidth(750, rows.size()), 9400, 2800, 2800, 2800});
        doc.setBlockValues({0, 0, 0}, {QVariantList{QStringLiteral("№"), QStringLiteral("Наименование продукта"),
                                                    QStringLiteral("Лимит"), QStringLiteral("Кол-во"),
                                                    QStringLiteral("Цена")}});
        if (progress.start)
            progress.start(static_cast<int>(rows.size()));

        // The fill: a heading row for each new enterprise, department and
        // warehouse, then the numbered product line.
        QList<int> headings;
        int row = 1;  // the row under the header
        {
            automation::BufferedDocument d(doc);
            qint64 firma = -999, otdel = -999, sklad = -999;
            int number = 1;
            const auto heading = [&](const QString& name) {
                PutText(d, {0, 1, row}, name);
                headings << row;
                ++row;
            };
            for (const LimitRow& r : rows) {
                if (progress.step)
                    progress.step(number);
                if (r.kodFirma != firma) {
                    heading(r.nameF);
                    firma = r.kodFirma;
                }
                if (r.kodOtdel != otdel) {
                    heading(r.nameO);
                    otdel = r.kodOtdel;
                }
                if (r.kodSklad != sklad) {
                    heading(r.nameS);
                    sklad = r.kodSklad;
                }
                d.setValue({0, 0, row}, number);
                PutText(d, {0, 1, row}, r.name);
                // As the papers print them: with the decimals they have, up to six.
                d.setValue({0, 2, row}, engine::Printed(engine::Settled(r.limit)));
                d.setValue({0, 3, row}, engine::Printed(engine::Settled(r.kolvo)));
                d.setValue({0, 4, row}, engine::Printed(engine::Settled(r.cena)));
                ++row;
                ++number;
            }
            d.flush();
        }
        const int last = row - 1;
        const automation::Font plain{QStringLiteral("Arial"), 10};
        automation::Font bold = plain;
        bold.weight = automation::kWeightBold;
        doc.setFont({0, 0, 0, 4, last}, plain);
        doc.setFont({0, 0, 0, 4, 0}, bold);
        doc.setHoriJustify({0, 0, 0, 4, 0}, 2);
        for (int h : headings)
            doc.setFont({0, 0, h, 4, h}, bold);
        if (last > 0) {
            doc.setNumberFormat({0, 1, 1, 1, last}, QStringLiteral("@"));
            doc.setWrapped({0, 1, 1, 1, last}, true);  // a long name wraps instead of being cut
            doc.setNumberFormat({0, 2, 1, 3, last}, automation::kQuantityFormat);
            doc.setNumberFormat({0, 4, 1, 4, last}, automation::kPriceFormat);
        }
        doc.setTableBorder({0, 0, 0, 4, last}, ThinFrame());
        // The page last: once the sheet has a page style of its own, the
        // office counts its pages again on every change made after it.
        doc.setPageMargins(0, {PointsToHmm(30), PointsToHmm(10)});
    });
}

} // namespace workbooks
