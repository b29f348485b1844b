// One turnover on every paper that shows it: the waybills of a month's
// receipts and issues, both turnover statements, the production and sales
// statements of each document and of the period, and the consumption the
// sales wrote off. Every paper prints the sum of the lines' own amounts, so
// their totals agree to the kopeck (summing a product's quantities over
// documents or lines first would make 190,84 of 143,35 + 47,50).

#include "support/ReportGolden.h"
#include "support/TemplateFixture.h"

#include "reports/Invent.h"
#include "reports/Statements.h"
#include "reports/TurnoverReports.h"
#include "reports/Waybill.h"

#include "db/Query.h"
#include "db/Script.h"
#include "engine/EngineDb.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// The month of tests/fixtures/same_turnover.sql: a receipt with dill in two
// lines at one price, three issues of cabbage and carrots, two posted sales of
// salads and a sauce by weight with the raw products they wrote off.
class SameTurnover : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile data(QStringLiteral(TARELIA_FIXTURES "/same_turnover.sql"));
        ASSERT_TRUE(data.open(QIODevice::ReadOnly));
        c.t.write().start();
        db::runScript(c.t.db(), c.t.write(), QString::fromUtf8(data.readAll()));
        c.t.write().commit();
        RefreshRead(c.t);
    }

    // The figure in `column` of the last workbook's row captioned `caption`, in kopecks.
    qint64 total(const char* caption, char column)
    {
        const automation::RecordedSheet& sheet = c.office.last().sheets.at(0);
        for (const auto& [at, cell] : sheet.cells)
            if (cell.content.toString().trimmed() == QString::fromUtf8(caption))
                return engine::Units(c.office.last().state({0, column - 'A', at.first}).content.toDouble(), 2);
        ADD_FAILURE() << "no row " << caption;
        return -1;
    }

    qint64 waybill(qint64 doc)
    {
        c.useTemplate(QStringLiteral("waybill"));
        reports::RunStandardReport(c.ctx(), c.office, c.cache(), reports::waybill::Build(c.ctx(), {doc}));
        return total("Итого:", 'F');
    }

    // The month's receipts and issues by operations or by products, of one type of document (0: all).
    std::pair<qint64, qint64> turnover(bool byProducts, int docType, int month = 1)
    {
        reports::TurnoverOptions o;
        o.start = QDate(2026, month, 1);
        o.end = o.start.addMonths(1).addDays(-1);
        o.docType = docType;
        o.shortForm = byProducts;
        c.useTemplate(byProducts ? QStringLiteral("turnover_products") : QStringLiteral("turnover_operations"));
        reports::RunStandardReport(c.ctx(), c.office, c.cache(), reports::turnover::Build(c.ctx(), o));
        return byProducts ? std::pair{total("Итого за период:", 'F'), total("Итого за период:", 'H')}
                          : std::pair{total("Итого за период:", 'I'), total("Итого за период:", 'K')};
    }

    // A statement of one document (its lines as the tab lists them) or, with doc 0, of the month.
    qint64 statement(bool ingredients, qint64 doc)
    {
        reports::statements::Options o;
        o.ingredients = ingredients;
        o.document = doc;
        o.what = doc == 0 ? 1 : 0;
        o.start = QDate(2026, 1, 1);
        o.finish = QDate(2026, 1, 31);
        if (doc != 0 && !ingredients) {
            auto q = engine::Reader(c.ctx(), QStringLiteral("SELECT KOLVO, CENA, CENA_SKLAD FROM REAL_BLUDO WHERE KOD_DOC = %1 "
                                                            "ORDER BY KOD").arg(doc));
            q->open();
            for (q->first(); !q->eof(); q->next())
                o.lines.append({QStringLiteral("Блюдо"), QStringLiteral("кг"), q->field(0).asDouble(), std::nullopt,
                                q->field(1).asDouble(), q->field(2).asDouble()});
        }
        c.useTemplate(ingredients ? QStringLiteral("ingredients_statement") : QStringLiteral("products_statement"));
        reports::statements::Print(c.ctx(), o, c.office, c.cache());
        return total("Итого:", 'F');
    }

    GoldenCase c;
};

TEST_F(SameTurnover, EveryPaperPrintsTheSumOfItsLinesAmounts)
{
    const qint64 received = waybill(1001);
    const qint64 issued = waybill(1002) + waybill(1003) + waybill(1004);
    EXPECT_EQ(received, 71388 + 2 + 3);        // 713,88 of cabbage, 0,02 + 0,03 of dill
    EXPECT_EQ(issued, 14335 + 4750 + 3 * 126);  // 143,35 + 47,50 of cabbage, 1,26 of carrots three times
    const qint64 consumed = statement(true, 2001) + statement(true, 2002);
    EXPECT_EQ(consumed, 19085 + 3 * 126);
    EXPECT_EQ(statement(true, 0), consumed);

    for (bool byProducts : {false, true}) {
        SCOPED_TRACE(byProducts ? "by products" : "by operations");
        EXPECT_EQ(turnover(byProducts, 0), std::pair(received, issued + consumed));
        EXPECT_EQ(turnover(byProducts, 6), std::pair(qint64(0), issued));
        EXPECT_EQ(turnover(byProducts, 3), std::pair(qint64(0), consumed));
    }

    const qint64 sold = statement(false, 2001) + statement(false, 2002);
    EXPECT_EQ(sold, 19085 + 3 * 126);
    EXPECT_EQ(statement(false, 0), sold);

    // February's inventory sheet: its result is what its posting wrote.
    c.useTemplate(QStringLiteral("inventory"));
    reports::RunStandardReport(c.ctx(), c.office, c.cache(), reports::invent::Build(c.ctx(), {3001}));
    const qint64 result = total("Результат инвентаризации:", 'F');
    EXPECT_EQ(result, 71 - 583);  // 0,005 × 142,633867 in, 1,75 × 3,333333 out
    for (bool byProducts : {false, true}) {
        const auto [in, out] = turnover(byProducts, 1, 2);
        EXPECT_EQ(in - out, result) << (byProducts ? "by products" : "by operations");
    }
}

} // namespace
