// Golden runners of the turnover statements and the inventory sheet: the
// options of a case folder (tests/fixtures/report_turnover_* and
// report_inventory_*) printed on the shipped samples, each paper read as an
// accountant reads it (support/PaperCheck.h); the statement by operations
// also lists the exchange records it wrote.

#include "reports/Invent.h"
#include "reports/TurnoverReports.h"
#include "support/PaperCheck.h"
#include "support/ReportGolden.h"

#include "exchange/Dbf.h"
#include "exchange/Obmen.h"

#include <QFile>
#include <QJsonArray>

namespace {

QDate dateOf(const QJsonValue& v) { return QDate::fromString(v.toString(), QStringLiteral("dd.MM.yyyy")); }

reports::TurnoverOptions turnoverOptions(const QJsonObject& j)
{
    reports::TurnoverOptions o;
    o.start = dateOf(j.value(QStringLiteral("start")));
    o.end = dateOf(j.value(QStringLiteral("end")));
    o.firma = j.value(QStringLiteral("firma")).toInteger();
    o.allFirma = o.firma == 0;
    o.firmaName = j.value(QStringLiteral("firmaName")).toString();
    o.otdel = j.value(QStringLiteral("otdel")).toInteger();
    o.allOtdel = o.otdel == 0;
    o.otdelName = j.value(QStringLiteral("otdelName")).toString();
    o.provodka = j.value(QStringLiteral("provodka")).toInt();
    o.docType = j.value(QStringLiteral("docType")).toInt();
    o.balances = j.value(QStringLiteral("balances")).toBool();
    o.shortForm = o.balances;
    o.ing = j.value(QStringLiteral("ing")).toInteger();
    o.allIng = o.ing == 0;
    o.ingCaption = j.value(QStringLiteral("ingCaption")).toString();
    for (const QJsonValue& p : j.value(QStringLiteral("partners")).toArray()) {
        o.partners << p.toObject().value(QStringLiteral("kod")).toInteger();
        o.partnerNames << p.toObject().value(QStringLiteral("name")).toString();
    }
    o.selectedPartners = !o.partners.isEmpty();
    o.excludePartners = j.value(QStringLiteral("excludePartners")).toBool();
    return o;
}

} // namespace

TARELIA_GOLDEN_RUNNER(turnover_operations)
{
    golden.useTemplate(QStringLiteral("turnover_operations"));
    reports::turnover::Options o = turnoverOptions(golden.options);
    o.shortForm = false;
    QString path;
    if (golden.options.value(QStringLiteral("export")).toBool()) {
        path = golden.t.folder() + QStringLiteral("/obmen.dbf");
        exchange::obmen::CreateTable(path);
    }
    std::unique_ptr<exchange::obmen::Export> exported;
    if (!path.isEmpty())
        exported = std::make_unique<exchange::obmen::Export>(golden.ctx(), path);
    reports::RunStandardReport(golden.ctx(), golden.office, golden.cache(),
                               reports::turnover::Build(golden.ctx(), o, exported.get()));
    papercheck::Paper paper;
    paper.captions = 'E';
    paper.across = {{'H', 'G', 'I'}, {'J', 'G', 'K'}};
    paper.summed = QStringLiteral("IK");
    papercheck::ExpectReads(golden.office, paper);
    if (!exported)
        return;
    exported->close();
    const QString missing = exported->missingCodes() ? exported->warningText() : QString();
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const auto table = exchange::dbf::Read(f.readAll());
    if (!table) {
        golden.notes << QStringLiteral("exchange table unreadable");
        return;
    }
    for (const auto& record : table->records) {
        QStringList fields;
        for (const QByteArray& raw : record)
            fields << exchange::dbf::TextOf(raw).trimmed();
        golden.notes << QStringLiteral("obmen: ") + fields.join(QStringLiteral(" | "));
    }
    for (const QString& line : missing.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        golden.notes << QStringLiteral("warning: ") + line;
}

TARELIA_GOLDEN_RUNNER(turnover_products)
{
    golden.useTemplate(QStringLiteral("turnover_products"));
    reports::turnover::Options o = turnoverOptions(golden.options);
    o.shortForm = true;
    reports::RunStandardReport(golden.ctx(), golden.office, golden.cache(), reports::turnover::Build(golden.ctx(), o));
    papercheck::Paper paper;
    paper.summed = QStringLiteral("FH");
    papercheck::ExpectReads(golden.office, paper);
}

TARELIA_GOLDEN_RUNNER(inventory)
{
    golden.useTemplate(QStringLiteral("inventory"));
    reports::RunStandardReport(golden.ctx(), golden.office, golden.cache(),
                               reports::invent::Build(golden.ctx(), {golden.options.value(QStringLiteral("document")).toInteger()}));
    papercheck::Paper paper;
    // Book and counted, at the stock prices and at the selling price; the
    // surplus or shortage at the new stock price and at the selling price.
    paper.across = {{'D', 'E', 'F'}, {'G', 'H', 'I'}, {'D', 'M', 'N'}, {'G', 'M', 'O'},
                    {'J', 'H', 'L', 'K'}, {'J', 'M', 'P', 'K'}};
    paper.differences = {{'G', 'D', 'J', 'K'}};
    paper.totals = {{QStringLiteral("Результат инвентаризации:"), 'L', 'F', 'G'},
                    {QStringLiteral("Фактический остаток по учётным ценам:"), 'I', 'F', 'G'},
                    {QStringLiteral("Фактический остаток по ценам продажи:"), 'O', 'F', 'G'},
                    {QStringLiteral("Результат по ценам продажи:"), 'P', 'F', 'G'}};
    paper.names = reports::MoneyNamesOf(golden.ctx());
    papercheck::ExpectReads(golden.office, paper);
}
