// The golden runners of the waybill and the stock balance: each case's
// folder names the document or the scope and filters; the sample templates
// lay the workbooks out, and each paper is read as an accountant reads it
// (support/PaperCheck.h).

#include "exchange/Obmen.h"
#include "reports/Ostatki.h"
#include "reports/Waybill.h"
#include "support/PaperCheck.h"
#include "support/ReportGolden.h"

#include <QFile>

TARELIA_GOLDEN_RUNNER(waybill)
{
    golden.useTemplate(QStringLiteral("waybill"));
    const qint64 doc = golden.options.value(QStringLiteral("document")).toInteger();
    std::unique_ptr<exchange::obmen::Export> x;
    const QString path = golden.t.folder() + QStringLiteral("/obmen.dbf");
    if (golden.options.value(QStringLiteral("export")).toBool()) {
        exchange::obmen::CreateTable(path);
        x = std::make_unique<exchange::obmen::Export>(golden.ctx(), path);
    }
    const engine::Context ctx = golden.ctx();
    reports::RunStandardReport(ctx, golden.office, golden.cache(), reports::waybill::Build(ctx, {doc}, x.get()));
    const papercheck::Paper paper = papercheck::Waybill(reports::MoneyNamesOf(ctx));
    papercheck::ExpectReads(golden.office, paper);
    if (!x)
        return;
    x->close();
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const auto table = exchange::dbf::Read(f.readAll());
    golden.notes << QStringLiteral("exchange table: %1 records").arg(table ? table->records.size() : -1);
    if (table)
        for (const auto& rec : table->records) {
            QStringList fields;
            for (const QByteArray& raw : rec)
                fields << exchange::dbf::TextOf(raw);
            golden.notes << fields.join(QLatin1Char('|'));
        }
    if (x->missingCodes())
        golden.notes << x->warningText().split(QLatin1Char('\n'));
}

// Options "template": a flat template of the samples or the fixtures
// ("stock_balance" where left out).
TARELIA_GOLDEN_RUNNER(ostatki)
{
    golden.useTemplate(golden.options.value(QStringLiteral("template")).toString(QStringLiteral("stock_balance")));
    reports::ostatki::Options o;
    const QJsonObject& j = golden.options;
    o.scope = j.value(QStringLiteral("scope")).toInt();
    o.firma = j.value(QStringLiteral("firma")).toInteger();
    o.otdel = j.value(QStringLiteral("otdel")).toInteger();
    o.sklad = j.value(QStringLiteral("sklad")).toInteger();
    o.noMinus = j.value(QStringLiteral("noMinus")).toBool(true);
    o.noZero = j.value(QStringLiteral("noZero")).toBool(true);
    o.noPlus = j.value(QStringLiteral("noPlus")).toBool(false);
    o.noHidden = j.value(QStringLiteral("noHidden")).toBool(true);
    o.svod = j.value(QStringLiteral("svod")).toBool();
    reports::RunStandardReport(golden.ctx(), golden.office, golden.cache(), reports::ostatki::Build(golden.ctx(), o));
    papercheck::Paper paper;
    paper.across = {{'D', 'E', 'G'}, {'D', 'F', 'H'}};
    paper.summed = QStringLiteral("GH");
    papercheck::ExpectReads(golden.office, paper);
}
