// The golden cases of the costing card, the two statements and the
// technological cards (tests/fixtures/report_costing_*, report_statement_*,
// report_tech_cards*), printed on the shipped sample templates. The papers
// with money are read as an accountant reads them (support/PaperCheck.h);
// a case's options "ledger" is a statement giving the ledger's sum their
// total must agree with.

#include "support/PaperCheck.h"
#include "support/ReportGolden.h"

#include "reports/CostingCard.h"
#include "reports/Statements.h"
#include "reports/TechCards.h"

#include "db/Query.h"
#include "engine/Clock.h"
#include "engine/EngineDb.h"

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

// Reads the workbook as an accountant, against the case's ledger if it names
// one; options "linesPerRow": the most stored lines a printed row stands for.
void expectReads(GoldenCase& golden, papercheck::Paper paper)
{
    paper.linesPerRow = golden.options.value(QStringLiteral("linesPerRow")).toInt(1);
    const QString ledger = golden.options.value(QStringLiteral("ledger")).toString();
    if (!ledger.isEmpty()) {
        auto q = engine::Reader(golden.ctx(), ledger);
        q->open();
        paper.ledger = q->field(0).asDouble();
    }
    paper.names = reports::MoneyNamesOf(golden.ctx());
    golden.notes << QStringLiteral("%1 lines").arg(papercheck::ExpectReads(golden.office, paper));
}

// The statements: a line's quantity, price and sum, the stock price and sum
// beside them; subtotals of groups without a caption; the words on a row of their own.
papercheck::Paper statementPaper(bool ingredients)
{
    papercheck::Paper paper;
    paper.across = {{'D', 'E', 'F'}};
    paper.summed = QStringLiteral("F");
    if (!ingredients) {
        paper.across.append({'D', 'G', 'H'});
        paper.summed = QStringLiteral("FH");
        paper.bareSubtotals = true;
    }
    paper.wordsCaption = QStringLiteral("Сумма прописью:");
    return paper;
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
    papercheck::Paper paper;
    paper.across = {{'C', 'E', 'G'}, {'C', 'F', 'H'}};
    paper.summed = QStringLiteral("GH");
    expectReads(golden, paper);
}

// Without a period: the current document, its lines as the production tab lists them.
TARELIA_GOLDEN_RUNNER(products_statement)
{
    golden.useTemplate(QStringLiteral("products_statement"));
    reports::statements::Options o = statementOptions(golden.options);
    const engine::Context ctx = golden.ctx();
    if (o.what == 0) {
        auto q = engine::Reader(ctx, QStringLiteral("SELECT ING.NAME, ED_IZM.SHORT_NAME, REAL_BLUDO.KOLVO, REAL_BLUDO.CENA, "
                                                    "REAL_BLUDO.CENA_SKLAD FROM REAL_BLUDO "
                                                    "JOIN ING ON ING.KOD = REAL_BLUDO.KOD_ING "
                                                    "LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM "
                                                    "WHERE REAL_BLUDO.KOD_DOC = ") +
                                         QString::number(o.document) + QStringLiteral(" ORDER BY REAL_BLUDO.KOD"));
        q->open();
        for (q->first(); !q->eof(); q->next()) {
            reports::ProductLine l;
            l.name = q->field(0).asString();
            l.shortName = q->field(1).asString();
            l.kolvo = q->field(2).asDouble();
            l.cena = q->field(3).asDouble();
            l.cenaSklad = q->field(4).asDouble();
            o.lines.append(l);
        }
    }
    reports::statements::Print(ctx, o, golden.office, golden.cache());
    expectReads(golden, statementPaper(false));
}

TARELIA_GOLDEN_RUNNER(ingredients_statement)
{
    golden.useTemplate(QStringLiteral("ingredients_statement"));
    reports::statements::Options o = statementOptions(golden.options);
    o.ingredients = true;
    const engine::Context ctx = golden.ctx();
    golden.notes << QStringLiteral("%1 nodes").arg(reports::IngredientsOf(ctx, o).size());
    reports::statements::Print(ctx, o, golden.office, golden.cache());
    expectReads(golden, statementPaper(true));
}

TARELIA_GOLDEN_RUNNER(tech_cards)
{
    golden.useTemplate(QStringLiteral("tech_cards"));
    reports::techcards::Options o;
    o.document = golden.options.value(QStringLiteral("document")).toInteger();
    o.mode = golden.options.value(QStringLiteral("mode")).toInt(1);
    if (!reports::techcards::Print(golden.ctx(), o, golden.office, golden.cache()))
        golden.notes << QStringLiteral("no lines of positive quantity");
    papercheck::Paper paper;
    paper.quantities = QStringLiteral("CD");
    golden.notes << QStringLiteral("%1 lines").arg(papercheck::ExpectReads(golden.office, paper));
}
