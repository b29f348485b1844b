// The golden cases of the workbooks the program lays out without a template:
// the stock limits sheet, the where-used sheet and the statistics with the
// order.

#include "support/ReportGolden.h"

#include "workbooks/IngUsageWorkbook.h"
#include "workbooks/LimitsWorkbook.h"
#include "workbooks/StatWorkbook.h"

#include <QDate>

// Golden cases "limits": options "scope" 0-3, "rule" 0-1 and the current
// "sklad", "otdel", "firma" keys.
TARELIA_GOLDEN_RUNNER(limits)
{
    workbooks::limits::Options o;
    o.scope = golden.options.value(QStringLiteral("scope")).toInt(2);
    o.rule = golden.options.value(QStringLiteral("rule")).toInt(1);
    o.sklad = golden.options.value(QStringLiteral("sklad")).toInteger(0);
    o.otdel = golden.options.value(QStringLiteral("otdel")).toInteger(0);
    o.firma = golden.options.value(QStringLiteral("firma")).toInteger(0);
    golden.notes << QStringLiteral("%1 rows").arg(workbooks::ReadLimitRows(golden.ctx(), o).size());
    if (!workbooks::limits::Print(golden.ctx(), o, golden.office))
        golden.notes << automation::OfficeUnreachableText();
}

// Golden cases "where_used": options "ing" (the product's key) and "name".
TARELIA_GOLDEN_RUNNER(where_used)
{
    const workbooks::usage::Options o{golden.options.value(QStringLiteral("ing")).toInteger(0),
                                      golden.options.value(QStringLiteral("name")).toString()};
    if (!workbooks::usage::Print(golden.ctx(), o, golden.office))
        golden.notes << automation::OfficeUnreachableText();
}

// Golden cases "stat": options as the window holds them ("allFirma",
// "firma", "allOtdel", "otdel", "start"/"end" dd.MM.yyyy, "local",
// "rawOnly", "okrug", "red", "percent", "days"; the window's defaults where
// left out).
TARELIA_GOLDEN_RUNNER(stat)
{
    const QJsonObject& j = golden.options;
    workbooks::stat::Options o;
    o.allFirma = j.value(QStringLiteral("allFirma")).toBool(true);
    o.firma = j.value(QStringLiteral("firma")).toInteger(0);
    o.allOtdel = j.value(QStringLiteral("allOtdel")).toBool(true);
    o.otdel = j.value(QStringLiteral("otdel")).toInteger(0);
    o.start = QDate::fromString(j.value(QStringLiteral("start")).toString(), QStringLiteral("dd.MM.yyyy"));
    o.end = QDate::fromString(j.value(QStringLiteral("end")).toString(), QStringLiteral("dd.MM.yyyy"));
    o.local = j.value(QStringLiteral("local")).toBool(true);
    o.rawOnly = j.value(QStringLiteral("rawOnly")).toBool(true);
    o.okrug = j.value(QStringLiteral("okrug")).toBool(true);
    o.red = j.value(QStringLiteral("red")).toBool(true);
    o.percent = j.value(QStringLiteral("percent")).toInt(5);
    o.days = j.value(QStringLiteral("days")).toInt(7);
    if (!workbooks::stat::Print(golden.ctx(), o, golden.office))
        golden.notes << automation::OfficeUnreachableText();
}
