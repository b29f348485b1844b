// One turnover on every paper that shows it: the waybills of a month's
// receipts and issues, both turnover statements, the production and sales
// statements of each document and of the period, and the consumption the
// sales wrote off. Every paper prints the sum of the lines' own amounts, so
// their totals agree to the kopeck (summing a product's quantities over
// documents or lines first would make 190,84 of 143,35 + 47,50).

#include "support/ReportGolden.h"
#include "support/TemplateFixture.h"

#include "reports/Statements.h"
#include "reports/TurnoverReports.h"
#include "reports/Waybill.h"

#include "db/Query.h"
#include "engine/EngineDb.h"

#include <gtest/gtest.h>

namespace {

const char* const kData[] = {
    "INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (101, 'Столовая №1', 1)",
    "INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (102, 'Поставщик Альфа', 0)",
    "INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (103, 'Покупатель Бета', 0)",
    "INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME, FIRST_OTDEL) VALUES (201, 101, 'Кухня', '1')",
    "INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (301, 'Килограмм', 'кг')",
    "INSERT INTO GROUP_ING (KOD, NAME) VALUES (401, 'Овощи')",
    "INSERT INTO GROUP_ING (KOD, NAME) VALUES (402, 'Салаты')",
    "INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM, MY_LEVEL) VALUES (501, 401, 'Капуста', 301, 0)",
    "INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM, MY_LEVEL) VALUES (502, 401, 'Морковь', 301, 0)",
    "INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM, MY_LEVEL) VALUES (503, 401, 'Укроп', 301, 0)",
    "INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM, MY_LEVEL) VALUES (601, 402, 'Салат из капусты', 301, 1)",
    "INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM, MY_LEVEL) VALUES (602, 402, 'Соус томатный', 301, 1)",
    // A receipt with dill in two lines at one price, three issues.
    "INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, INT_PARAM1, PROVODKA) "
    "VALUES (1001, 'П-1', '2026-01-10', 5, 101, 102, 201, 11)",
    "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (1001, 501, 201, 5.005, 142.633867, 1)",
    "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (1001, 503, 201, 0.1, 0.15, 1)",
    "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (1001, 503, 201, 0.2, 0.15, 1)",
    "INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, INT_PARAM1, PROVODKA) "
    "VALUES (1002, 'Р-1', '2026-01-12', 6, 101, 103, 201, 11)",
    "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (1002, 501, 201, 1.005, 142.633867, 2)",
    "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (1002, 502, 201, 0.125, 10.1, 2)",
    "INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, INT_PARAM1, PROVODKA) "
    "VALUES (1003, 'Р-2', '2026-01-13', 6, 101, 103, 201, 11)",
    "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (1003, 501, 201, 0.333, 142.633867, 2)",
    "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (1003, 502, 201, 0.125, 10.1, 2)",
    "INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, INT_PARAM1, PROVODKA) "
    "VALUES (1004, 'Р-3', '2026-01-14', 6, 101, 103, 201, 11)",
    "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (1004, 502, 201, 0.125, 10.1, 2)",
    // Two posted sales: salads and a sauce sold by weight, and the raw
    // products their posting wrote off.
    "INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, PROVODKA, P) VALUES (2001, 'С-1', '2026-01-20', 3, 101, 11, 0)",
    "INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, PROVODKA, P) VALUES (2002, 'С-2', '2026-01-21', 3, 101, 11, 0)",
    "INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) VALUES (2001, 601, 201, 1.005, 142.633867, 100.005)",
    "INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) VALUES (2001, 602, 201, 0.125, 10.1, 7.07)",
    "INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) VALUES (2001, 602, 201, 0.125, 10.1, 7.07)",
    "INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) VALUES (2002, 601, 201, 0.333, 142.633867, 100.005)",
    "INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) VALUES (2002, 602, 201, 0.125, 10.1, 7.07)",
    "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (2001, 501, 201, 1.005, 142.633867, 2)",
    "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (2001, 502, 201, 0.125, 10.1, 2)",
    "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (2001, 502, 201, 0.125, 10.1, 2)",
    "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (2002, 501, 201, 0.333, 142.633867, 2)",
    "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (2002, 502, 201, 0.125, 10.1, 2)",
};

class SameTurnover : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* sql : kData)
            c.t.exec(QString::fromUtf8(sql));
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

    // The period's receipts and issues by operations or by products, of one type of document (0: all).
    std::pair<qint64, qint64> turnover(bool byProducts, int docType)
    {
        reports::TurnoverOptions o;
        o.start = QDate(2026, 1, 1);
        o.end = QDate(2026, 1, 31);
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
}

} // namespace
