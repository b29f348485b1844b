// The golden cases of the costing card, the two statements and the
// technological cards (tests/fixtures/report_costing_*, report_statement_*,
// report_tech_cards*), printed on the shipped sample templates.

#include "support/ReportGolden.h"

#include "reports/CostingCard.h"
#include "reports/Statements.h"
#include "reports/TechCards.h"

#include "engine/Clock.h"

namespace {

QDate dateOption(const QJsonObject& o, const char* key)
{
    return QDate::fromString(o.value(QLatin1String(key)).toString(), QStringLiteral("dd.MM.yyyy"));
}

reports::statements::Options statementOptions(const QJsonObject& o)
{
    reports::statements::Options s;
    s.what = o.contains(QStringLiteral("start")) ? 1 : 0;
    s.document = o.value(QStringLiteral("document")).toInteger(0);
    s.start = dateOption(o, "start");
    s.finish = dateOption(o, "finish");
    s.type = o.value(QStringLiteral("type")).toInt(0);
    s.provodka = o.value(QStringLiteral("provodka")).toInt(0);
    s.byGroup = o.value(QStringLiteral("groups")).toBool(false);
    return s;
}

} // namespace

TARELIA_GOLDEN_RUNNER(costing_card)
{
    golden.useTemplate(QStringLiteral("costing_card"));
    reports::card::Options o;
    o.product = golden.options.value(QStringLiteral("product")).toInteger();
    o.firmaName = golden.options.value(QStringLiteral("firma")).toString();
    o.otdel = golden.options.value(QStringLiteral("otdel")).toInteger();
    o.otdelName = golden.options.value(QStringLiteral("otdelName")).toString();
    o.mode = golden.options.value(QStringLiteral("mode")).toInt();
    o.priceChoice = golden.options.value(QStringLiteral("price")).toInt();
    const engine::Context ctx = golden.ctx();
    golden.notes << QStringLiteral("%1 nodes").arg(reports::card::Rows(ctx, o).size());
    reports::card::Print(ctx, o, golden.office, golden.cache());
}

TARELIA_GOLDEN_RUNNER(products_statement)
{
    golden.useTemplate(QStringLiteral("products_statement"));
    const reports::statements::Options o = statementOptions(golden.options);
    reports::statements::Print(golden.ctx(), o, golden.office, golden.cache());
}

TARELIA_GOLDEN_RUNNER(ingredients_statement)
{
    golden.useTemplate(QStringLiteral("ingredients_statement"));
    reports::statements::Options o = statementOptions(golden.options);
    o.ingredients = true;
    const engine::Context ctx = golden.ctx();
    golden.notes << QStringLiteral("%1 nodes").arg(reports::IngredientsOf(ctx, o).size());
    reports::statements::Print(ctx, o, golden.office, golden.cache());
}

TARELIA_GOLDEN_RUNNER(tech_cards)
{
    golden.useTemplate(QStringLiteral("tech_cards"));
    reports::techcards::Options o;
    o.document = golden.options.value(QStringLiteral("document")).toInteger();
    o.mode = golden.options.value(QStringLiteral("mode")).toInt(1);
    if (!reports::techcards::Print(golden.ctx(), o, golden.office, golden.cache()))
        golden.notes << QStringLiteral("no lines of positive quantity");
}
