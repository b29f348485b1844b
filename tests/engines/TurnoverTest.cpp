// The turnover statement: its exact text for given options, the order of the
// refusals, what it selects on a small kitchen, and both forms filled into
// the in-memory office.

#include "automation/RecordingOffice.h"
#include "reports/TurnoverReports.h"
#include "support/EngineEnv.h"
#include "support/TemplateFixture.h"
#include "support/TurnoverData.h"

#include "engine/Clock.h"
#include "exchange/Dbf.h"
#include "exchange/Obmen.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace templates;
using namespace turnoverdata;
using reports::TurnoverOptions;

namespace {

QStringList lines(const char* text) { return QString::fromUtf8(text).split(QLatin1Char('\n')); }

const char* const kSelect = "SELECT DOCS.DATE_DOC,\n"
                            "   DOCS.NAME AS NAME_D,\n"
                            "   exp.NAME AS F_From,\n"
                            "   exp.KOD AS F_From_Kod,\n"
                            "   imp.NAME AS F_To,\n"
                            "   MOVES.KOD_ING,\n"
                            "   MOVES.KOD_OTDEL,\n"
                            "   IIF(DOCS.PROVODKA > 10, COALESCE(MOVES.TYPE_MOVES, CASE WHEN DOCS.DOC_TYPE IN (2, 5) "
                            "THEN 1 WHEN DOCS.DOC_TYPE IN (3, 4, 6, 7) THEN 2 END), CASE WHEN DOCS.DOC_TYPE IN (2, 5) "
                            "THEN 1 WHEN DOCS.DOC_TYPE IN (3, 4, 6, 7) THEN 2 END) AS TYPE_MOVES,\n"
                            "   MOVES.KOLVO,\n"
                            "   MOVES.SUMMA,\n"
                            "   MOVES.CENA,\n"
                            "   OTDEL.NAME AS NAME_O,\n"
                            "   ING.KOD_GROUP,\n"
                            "   ING.NAME AS NAME_ING,\n"
                            "   GROUP_ING.NAME AS NAME_G,\n"
                            "   ED_IZM.SHORT_NAME\n"
                            " FROM DOCS\n"
                            " LEFT OUTER JOIN FIRMA exp  ON DOCS.KOD_PARTNER_EXPORT = exp.KOD\n"
                            " LEFT OUTER JOIN FIRMA imp  ON DOCS.KOD_PARTNER_IMPORT = imp.KOD\n"
                            " LEFT OUTER JOIN MOVES      ON MOVES.KOD_DOC = DOCS.KOD\n"
                            " LEFT OUTER JOIN OTDEL      ON OTDEL.KOD = MOVES.KOD_OTDEL\n"
                            " LEFT OUTER JOIN ING        ON ING.KOD = MOVES.KOD_ING\n"
                            " LEFT OUTER JOIN GROUP_ING  ON GROUP_ING.KOD = ING.KOD_GROUP\n"
                            " LEFT OUTER JOIN ED_IZM     ON ED_IZM.KOD = ING.ED_IZM\n"
                            " WHERE DOCS.DATE_DOC >= :DS AND DOCS.DATE_DOC <= :DE";
const char* const kOrder = " ORDER BY 4, 3, 7, 12, 13, 15, 6, 14, 16, 11, 1, 8, 5, 2";

TurnoverOptions period(const QDate& from, const QDate& to)
{
    TurnoverOptions o;
    o.start = from;
    o.end = to;
    return o;
}

} // namespace

TEST(TurnoverStatement, TextForEveryOption)
{
    TurnoverOptions o = period(QDate(2026, 1, 1), QDate(2026, 1, 31));
    EXPECT_EQ(reports::TurnoverStatementLines(o),
              lines(kSelect) + QStringList{QStringLiteral("AND DOCS.PROVODKA > 10")} + lines(kOrder));

    // Chosen enterprise, department and product, unposted, receipts + issues, two partners included.
    o.allFirma = false;
    o.firma = Stolovaya;
    o.allOtdel = false;
    o.otdel = Kuhnya;
    o.allIng = false;
    o.ing = Kartofel;
    o.provodka = 1;
    o.docType = 8;
    o.selectedPartners = true;
    o.partners = {Alfa, Beta};
    EXPECT_EQ(reports::TurnoverStatementLines(o),
              lines(kSelect) +
                  lines("AND ING.KOD = 501\n"
                        "AND exp.KOD = 101\n"
                        "AND MOVES.KOD_OTDEL + 0 = 201\n"
                        "AND DOCS.PROVODKA < 10\n"
                        "AND ((DOCS.DOC_TYPE = 5) or (DOCS.DOC_TYPE = 6) or (DOCS.DOC_TYPE = 7))\n"
                        "AND \n"
                        "(\n"
                        " imp.KOD = 102\n"
                        "OR  imp.KOD = 103\n"
                        ")") +
                  lines(kOrder));

    // A group, every posting state, one document type, the partners excluded.
    o.allFirma = o.allOtdel = true;
    o.ingIsGroup = true;
    o.ing = Myaso;
    o.provodka = 2;
    o.docType = 6;
    o.excludePartners = true;
    EXPECT_EQ(reports::TurnoverStatementLines(o), lines(kSelect) +
                                                      lines("AND ING.KOD_GROUP = 402\n"
                                                            "AND DOCS.DOC_TYPE = 6\n"
                                                            "AND \n"
                                                            " imp.KOD <> 102\n"
                                                            "AND  imp.KOD <> 103") +
                                                      lines(kOrder));
}

TEST(TurnoverStatement, RefusalsInOrderWithTheirFocus)
{
    TurnoverOptions o = period(QDate(2026, 2, 1), QDate(2026, 1, 1));
    o.allFirma = false;
    o.allOtdel = false;
    o.allIng = false;
    o.selectedPartners = true;
    auto refusal = [&] { return reports::CheckTurnoverOptions(o); };
    ASSERT_TRUE(refusal());
    EXPECT_EQ(refusal()->message, QStringLiteral("Не выбрано предприятие !"));
    EXPECT_EQ(refusal()->focus, reports::TurnoverFocus::Firma);
    o.firma = Stolovaya;
    EXPECT_EQ(refusal()->message, QStringLiteral("Не выбрано подразделение(отдел) !"));
    EXPECT_EQ(refusal()->focus, reports::TurnoverFocus::Otdel);
    o.otdel = Kuhnya;
    EXPECT_EQ(refusal()->message, QStringLiteral("Не выбрана детализация выборки по продуктам !"));
    EXPECT_EQ(refusal()->focus, reports::TurnoverFocus::Ing);
    o.ing = Morkov;
    EXPECT_EQ(refusal()->message, QStringLiteral("Дата начала периода не может быть больше дата конца периода !"));
    EXPECT_EQ(refusal()->focus, reports::TurnoverFocus::DateStart);
    o.end = o.start;  // one day is a period
    EXPECT_EQ(refusal()->message, QStringLiteral("Выбрана опция обработки документов выбранных партнёров, однако ни "
                                                 "один партнёр не выбран !"));
    EXPECT_EQ(refusal()->focus, reports::TurnoverFocus::Partners);
    o.partners = {Alfa};
    EXPECT_FALSE(refusal());
    // All enterprises: the department is not asked for.
    TurnoverOptions all = period(QDate(2026, 1, 1), QDate(2026, 1, 1));
    all.allOtdel = false;
    EXPECT_FALSE(reports::CheckTurnoverOptions(all));
}

// ---- on a database ----

namespace {

class TurnoverDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        Catalogue(x);
        Clock::setSource([] { return QDateTime(QDate(2026, 3, 2), QTime(9, 0)); });
    }
    void TearDown() override { Clock::setSource({}); }

    QVector<reports::TurnoverRow> rows(const TurnoverOptions& o)
    {
        RefreshRead(env.t);
        return reports::ReadTurnoverRows(env.ctx(), o);
    }
    static QStringList docs(const QVector<reports::TurnoverRow>& rows)
    {
        QStringList names;
        for (const auto& r : rows)
            if (!names.contains(r.nameDoc))
                names << r.nameDoc;
        names.sort();
        return names;
    }

    EngineEnv env;
    Exec x = [this](const QString& sql) { env.t.exec(sql); };
};

} // namespace

TEST_F(TurnoverDb, SelectionsByPostingTypePartnersAndPeriod)
{
    const QDate d(2026, 1, 15);
    Doc(x, 1001, QStringLiteral("П-1"), d, 5, Alfa, Stolovaya, Kuhnya, 11);     // receipt, posted
    Doc(x, 1002, QStringLiteral("Р-1"), d, 6, Stolovaya, Beta, Kuhnya, 0);      // issue, new
    Doc(x, 1003, QStringLiteral("И-1"), d, 1, Stolovaya, 0, Kuhnya, 1);         // inventory, filled
    Doc(x, 1004, QStringLiteral("ВП-1"), d, 4, Stolovaya, 0, Bar, 11);          // transfer, posted
    Doc(x, 1005, QStringLiteral("РП-1"), d.addDays(1), 7, Stolovaya, 0, Kuhnya, 11);  // write-off, next day
    Doc(x, 1006, QStringLiteral("Пустой"), d, 5, Alfa, Stolovaya, Kuhnya, 11);  // no lines
    Move(x, 1001, Kartofel, Kuhnya, 10, 20, 1);
    Move(x, 1002, Kartofel, Kuhnya, 3, 10.5, 2);
    Move(x, 1003, Morkov, Kuhnya, 1, 30, 1);
    Move(x, 1004, Govyadina, Bar, 2, 400, 1);
    Move(x, 1005, Morkov, Kuhnya, 4, 30, 2);

    TurnoverOptions o = period(QDate(2026, 1, 1), QDate(2026, 1, 31));
    o.provodka = 2;
    EXPECT_EQ(docs(rows(o)), (QStringList{QStringLiteral("ВП-1"), QStringLiteral("И-1"), QStringLiteral("П-1"),
                                          QStringLiteral("Р-1"), QStringLiteral("РП-1")}));  // no row of "Пустой"
    o.provodka = 1;  // new (0) and filled (1) documents
    EXPECT_EQ(docs(rows(o)), (QStringList{QStringLiteral("И-1"), QStringLiteral("Р-1")}));
    o.provodka = 0;
    EXPECT_EQ(docs(rows(o)), (QStringList{QStringLiteral("ВП-1"), QStringLiteral("П-1"), QStringLiteral("РП-1")}));

    o.provodka = 2;
    o.docType = 8;  // receipts, issues and production write-offs, not transfers
    EXPECT_EQ(docs(rows(o)), (QStringList{QStringLiteral("П-1"), QStringLiteral("Р-1"), QStringLiteral("РП-1")}));
    o.docType = 0;

    o.selectedPartners = true;
    o.partners = {Beta, Beta};  // twice: the same statement
    EXPECT_EQ(docs(rows(o)), QStringList{QStringLiteral("Р-1")});
    o.excludePartners = true;  // documents without an importer drop out too
    EXPECT_EQ(docs(rows(o)), QStringList{QStringLiteral("П-1")});
    o.selectedPartners = false;

    o.start = o.end = d.addDays(1);
    EXPECT_EQ(docs(rows(o)), QStringList{QStringLiteral("РП-1")});

    o = period(QDate(2026, 1, 1), QDate(2026, 1, 31));
    o.allIng = false;
    o.ing = Ovoshchi;
    o.ingIsGroup = true;
    o.provodka = 2;
    EXPECT_EQ(docs(rows(o)), (QStringList{QStringLiteral("И-1"), QStringLiteral("П-1"), QStringLiteral("Р-1"),
                                          QStringLiteral("РП-1")}));
    o.ingIsGroup = false;  // the same key as a product matches nothing
    EXPECT_TRUE(rows(o).isEmpty());
}

TEST_F(TurnoverDb, RowsSumOneProductAtOnePriceInOneDocument)
{
    Doc(x, 1001, QStringLiteral("П-1"), QDate(2026, 1, 10), 5, Alfa, Stolovaya, Kuhnya, 11);
    Move(x, 1001, Kartofel, Kuhnya, 2, 20, 1);
    Move(x, 1001, Kartofel, Kuhnya, 3, 20, 1);
    Move(x, 1001, Kartofel, Kuhnya, 1, 25, 1);
    const auto r = rows(period(QDate(2026, 1, 1), QDate(2026, 1, 31)));
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[0].cena, 20);
    EXPECT_EQ(r[0].sum.printedQuantity(), 5);
    EXPECT_EQ(r[1].cena, 25);
    EXPECT_EQ(r[0].firmaFrom, QStringLiteral("Поставщик Альфа"));
    EXPECT_EQ(r[0].firmaTo, QStringLiteral("Столовая №1"));
    EXPECT_EQ(r[0].shortName, QStringLiteral("кг"));
}

// The stock of Картофель in Кухня, by hand: 100 received the day before the
// period; in it 30 received on its first day, 12 issued, 8 sold on its last
// day; after it 6 sold, 4 written off by production, 13 received: 113 now.
// Sales and production name no department on the document, only on their
// lines. Not posted: a receipt of 50 in the period, an issue of 5 after it.
TEST_F(TurnoverDb, BalancesAreTheStockBeforeAndAfterThePeriodFromPostedLines)
{
    Stock(x, Kartofel, Stolovaya, Kuhnya, 113);
    Doc(x, 1001, QStringLiteral("П-0"), QDate(2025, 12, 31), 5, Stolovaya, Alfa, Kuhnya, 11);
    Move(x, 1001, Kartofel, Kuhnya, 100, 20, 1);
    Doc(x, 1002, QStringLiteral("П-1"), QDate(2026, 1, 1), 5, Stolovaya, Alfa, Kuhnya, 11);
    Move(x, 1002, Kartofel, Kuhnya, 30, 20, 1);
    Doc(x, 1003, QStringLiteral("Р-1"), QDate(2026, 1, 15), 6, Stolovaya, Beta, Kuhnya, 11);
    Move(x, 1003, Kartofel, Kuhnya, 12, 20, 2);
    Doc(x, 1004, QStringLiteral("Реал-1"), QDate(2026, 1, 31), 3, Stolovaya, 0, 0, 11);
    Move(x, 1004, Kartofel, Kuhnya, 8, 20, 2);
    Doc(x, 1005, QStringLiteral("Реал-2"), QDate(2026, 2, 1), 3, Stolovaya, 0, 0, 11);
    Move(x, 1005, Kartofel, Kuhnya, 6, 20, 2);
    Doc(x, 1006, QStringLiteral("РП-1"), QDate(2026, 2, 10), 7, Stolovaya, 0, 0, 11);
    Move(x, 1006, Kartofel, Kuhnya, 4, 20, 2);
    Doc(x, 1007, QStringLiteral("П-2"), QDate(2026, 2, 11), 5, Stolovaya, Alfa, Kuhnya, 11);
    Move(x, 1007, Kartofel, Kuhnya, 13, 20, 1);
    Doc(x, 1008, QStringLiteral("П-3"), QDate(2026, 1, 20), 5, Stolovaya, Alfa, Kuhnya, 0);
    Move(x, 1008, Kartofel, Kuhnya, 50, 20, 0);
    Doc(x, 1009, QStringLiteral("Р-2"), QDate(2026, 2, 12), 6, Stolovaya, Beta, Kuhnya, 0);
    Move(x, 1009, Kartofel, Kuhnya, 5, 20, 0);

    struct Case {
        const char* what;
        int docType, provodka;
        double in, out;
    };
    // Whatever the columns show, the balances stay 100 and 110.
    const Case cases[] = {{"posted, every type", 0, 0, 30, 20},
                          {"receipts only", 5, 0, 30, 0},
                          {"sales only", 3, 0, 0, 8},
                          {"posted and not", 0, 2, 80, 20},
                          {"not posted", 0, 1, 50, 0}};
    for (const Case& c : cases) {
        TurnoverOptions o = period(QDate(2026, 1, 1), QDate(2026, 1, 31));
        o.shortForm = o.balances = true;
        o.docType = c.docType;
        o.provodka = c.provodka;
        const auto products = reports::SumTurnoverProducts(rows(o));
        ASSERT_EQ(products.size(), 1) << c.what;
        EXPECT_EQ(products[0].in.printedQuantity(), c.in) << c.what;
        EXPECT_EQ(products[0].out.printedQuantity(), c.out) << c.what;
        EXPECT_EQ(products[0].ostStart(), 100) << c.what;
        EXPECT_EQ(products[0].ostEnd(), 110) << c.what;
        // The same sums as the statement by operations gives.
        o.shortForm = o.balances = false;
        const auto byOperations = reports::SumTurnoverProducts(rows(o));
        ASSERT_EQ(byOperations.size(), 1) << c.what;
        EXPECT_EQ(byOperations[0].in.kopecks(), products[0].in.kopecks()) << c.what;
        EXPECT_EQ(byOperations[0].out.kopecks(), products[0].out.kopecks()) << c.what;
    }
}

// A line not posted yet has no direction: it goes where its document's
// posting will move it, a transfer's own lines out of the sender.
TEST_F(TurnoverDb, LinesNotPostedYetGoWhereTheirPostingWillMoveThem)
{
    const int expected[8] = {0, 0, 1, 2, 2, 1, 2, 2};  // by document type 2..7
    for (int type = 2; type <= 7; ++type) {
        Doc(x, 1000 + type, QStringLiteral("Д-%1").arg(type), QDate(2026, 1, 10), type, Stolovaya, 0, Kuhnya, 0);
        Move(x, 1000 + type, Kartofel, Kuhnya, type, 10, 0);
    }
    TurnoverOptions o = period(QDate(2026, 1, 1), QDate(2026, 1, 31));
    o.provodka = 1;
    const auto r = rows(o);
    ASSERT_EQ(r.size(), 6);
    for (const auto& t : r)
        EXPECT_EQ(t.typeMoves, expected[static_cast<int>(t.sum.printedQuantity())]) << t.nameDoc.toStdString();
    o.shortForm = true;
    const auto products = reports::SumTurnoverProducts(rows(o));
    ASSERT_EQ(products.size(), 1);
    EXPECT_EQ(products[0].in.printedQuantity(), 2 + 5);
    EXPECT_EQ(products[0].out.printedQuantity(), 3 + 4 + 6 + 7);
}

TEST_F(TurnoverDb, BalancesFromTheStockNowAndThePostedMovesAfterThePeriod)
{
    Stock(x, Kartofel, Stolovaya, Kuhnya, 10);
    Doc(x, 1001, QStringLiteral("П-1"), QDate(2026, 1, 10), 5, Stolovaya, 0, Kuhnya, 11);
    Move(x, 1001, Kartofel, Kuhnya, 4, 20, 1);
    Move(x, 1001, Kartofel, Kuhnya, 2, 22, 1);
    Doc(x, 1002, QStringLiteral("Р-1"), QDate(2026, 1, 12), 6, Stolovaya, Beta, Kuhnya, 11);
    Move(x, 1002, Kartofel, Kuhnya, 2, 20, 2);
    // After the period: posted receipts 4, posted issue 1, and an unposted issue that does not count.
    Doc(x, 1003, QStringLiteral("П-2"), QDate(2026, 2, 3), 5, Alfa, Stolovaya, Kuhnya, 11);
    Move(x, 1003, Kartofel, Kuhnya, 4, 20, 1);
    Doc(x, 1004, QStringLiteral("Р-2"), QDate(2026, 2, 4), 6, Stolovaya, Beta, Kuhnya, 11);
    Move(x, 1004, Kartofel, Kuhnya, 1, 20, 2);
    Doc(x, 1005, QStringLiteral("Р-3"), QDate(2026, 2, 5), 6, Stolovaya, Beta, Kuhnya, 0);
    Move(x, 1005, Kartofel, Kuhnya, 5, 20, 2);

    TurnoverOptions o = period(QDate(2026, 1, 1), QDate(2026, 1, 31));
    o.shortForm = o.balances = true;
    const auto r = rows(o);
    const auto products = reports::SumTurnoverProducts(r);
    ASSERT_EQ(products.size(), 1);
    EXPECT_EQ(products[0].in.printedQuantity(), 6);
    EXPECT_EQ(products[0].out.printedQuantity(), 2);
    EXPECT_EQ(products[0].in.kopecks(), (4 * 20 + 2 * 22) * 100);  // two prices, one product row, in kopecks
    EXPECT_EQ(products[0].ostEnd(), 7);
    EXPECT_EQ(products[0].ostStart(), 3);
}

// The statement by products comes named and ordered as the statement by
// operations summed per product: by enterprise, department, group and
// product key, nulls first (a product without a group, one whose group or
// whose document's enterprise is gone), whatever order the keys were made in;
// a hundred and fifty more products are named as the first.
TEST_F(TurnoverDb, ProductsComeInTheOrderAndWithTheNamesOfTheOperationsSummed)
{
    x(QStringLiteral("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (499, 402, 'Баранина', 302)"));
    x(QStringLiteral("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (504, NULL, 'Соль', 302)"));
    x(QStringLiteral("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (505, 409, 'Укроп', NULL)"));
    const QDate d(2026, 1, 10);
    Doc(x, 1001, QStringLiteral("П-1"), d, 5, Alfa, Stolovaya, Kuhnya, 11);
    Doc(x, 1002, QStringLiteral("Р-1"), d, 6, Stolovaya, Beta, Kuhnya, 11);
    Doc(x, 1003, QStringLiteral("П-2"), d, 5, Gamma, Stolovaya, Sklad, 11);
    Doc(x, 1004, QStringLiteral("П-3"), d, 5, 999, Stolovaya, Bar, 11);  // its enterprise is gone
    Doc(x, 1005, QStringLiteral("Р-2"), d, 6, Stolovaya, Beta, Bar, 0);  // not posted: no direction yet
    for (qint64 doc : {1001, 1002, 1003, 1004, 1005}) {
        const qint64 otdel = doc == 1003 ? Sklad : doc >= 1004 ? Bar : Kuhnya;
        const int type = doc == 1005 ? 0 : doc == 1002 ? 2 : 1;
        for (qint64 ing : {qint64(Govyadina), qint64(Morkov), qint64(504), qint64(Kartofel), qint64(505), qint64(499)}) {
            Move(x, doc, ing, otdel, 1 + ing % 4, 10 + doc % 3, type);
            Move(x, doc, ing, Bar, 0.5, 30 - ing % 5, type);
        }
    }
    x(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (1001, 501, 201, 2, NULL, 1)"));
    for (int i = 0; i < 150; ++i) {
        x(QStringLiteral("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (%1, 401, 'Овощ %1', 301)").arg(600 + i));
        Move(x, 1001, 600 + i, Kuhnya, 1, 10, 1);
    }

    TurnoverOptions o = period(QDate(2026, 1, 1), QDate(2026, 1, 31));
    o.provodka = 2;
    o.shortForm = true;
    const auto productRows = rows(o);
    o.shortForm = false;
    const auto operationRows = rows(o);
    const auto byProducts = reports::SumTurnoverProducts(productRows);
    const auto byOperations = reports::SumTurnoverProducts(operationRows);
    auto describe = [](const QVector<reports::TurnoverProduct>& products) {
        QStringList out;
        for (const auto& p : products)
            out << QStringLiteral("%1 %2|%3 %4|%5 %6|%7 %8 %9|in %10 %11 out %12 %13")
                       .arg(p.last->firmaFromKod, p.last->firmaFrom, p.last->otdelKod, p.last->nameOtdel,
                            p.last->groupKod, p.last->nameGroup)
                       .arg(p.last->ing)
                       .arg(p.last->nameIng, p.last->shortName)
                       .arg(p.in.printedQuantity())
                       .arg(p.in.kopecks())
                       .arg(p.out.printedQuantity())
                       .arg(p.out.kopecks());
        return out;
    };
    EXPECT_EQ(describe(byProducts), describe(byOperations));
    ASSERT_GT(byProducts.size(), 170);
    EXPECT_EQ(byProducts.front().last->firmaFromKod, QString());  // the gone enterprise's lines first
    EXPECT_EQ(byProducts.front().last->groupKod, QString());      // and in it the product without a group
}

// ---- filled into the in-memory office ----

namespace {

class TurnoverPrint : public TurnoverDb {
protected:
    void SetUp() override
    {
        TurnoverDb::SetUp();
        automation::RecordedBook b;
        b.sheets.resize(1);
        b.sheets[0].cells[{7, 0}].content = QStringLiteral("Итого");
        office.prototype = b;
    }

    qint64 layout(int list)
    {
        const qint64 form = InsertTemplate(env.t, list, TableLayout(QStringLiteral("Ведомость"), 600 + list));
        auto v = [&](const char* name, int loc, const char* cell) {
            InsertVariable(env.t, form, PlacedVariable(QString::fromLatin1(name), loc, QString::fromLatin1(cell)));
        };
        v("name_d", LocHeader, "B2");
        v("date", LocHeader, "E2");
        v("firma", LocHeader, "B3");
        v("otdel", LocHeader, "B4");
        v("firma2", LocGroup, "A1");
        v("otdel2", LocGroup, "B1");
        v("group2", LocGroup, "C1");
        for (const char* level : {"g", "o", "f"}) {
            InsertVariable(env.t, form, PlacedVariable(QStringLiteral("sum_p_") + QLatin1String(level), LocGroup,
                                                       QStringLiteral("E1")));
            InsertVariable(env.t, form, PlacedVariable(QStringLiteral("sum_r_") + QLatin1String(level), LocGroup,
                                                       QStringLiteral("F1")));
        }
        v("nstr", LocTable, "A1");
        v("name", LocTable, "B1");
        v("kolvo_p", LocTable, "C1");
        v("summa_p", LocTable, "D1");
        v("kolvo_r", LocTable, "E1");
        v("summa_r", LocTable, "F1");
        v("sum_all_p", LocEnd, "D1");
        v("sum_all_r", LocEnd, "F1");
        return form;
    }

    void run(const reports::StandardReport& r)
    {
        RefreshRead(env.t);
        reports::RunStandardReport(env.ctx(), office, env.t.folder() + QStringLiteral("templates/"), r);
    }
    QVariant at(const char* a1) { return office.last().at(QString::fromLatin1(a1)); }

    automation::RecordingOffice office;
};

} // namespace

TEST_F(TurnoverPrint, ByOperationsLevelsFollowTheOptionsAndAnIssueFillsTheOutColumns)
{
    const qint64 form = layout(3);
    for (const char* name : {"ed_izm", "date_op", "cena", "n_doc", "contra"})
        InsertVariable(env.t, form, PlacedVariable(QString::fromLatin1(name), LocTable, QStringLiteral("G1")));
    Doc(x, 1001, QStringLiteral("Р-1"), QDate(2026, 1, 15), 6, Stolovaya, Beta, Kuhnya, 11);
    Move(x, 1001, Kartofel, Kuhnya, 3, 10.5, 2);
    Doc(x, 1002, QStringLiteral("П-1"), QDate(2026, 1, 16), 5, Gamma, Stolovaya, Sklad, 11);
    Move(x, 1002, Govyadina, Sklad, 2, 400, 1);
    Move(x, 1002, Morkov, Sklad, 1, 30, 1);
    TurnoverOptions o = period(QDate(2026, 1, 1), QDate(2026, 1, 31));
    QVector<reports::TurnoverRow> seen;
    RefreshRead(env.t);
    run(reports::turnover::Report(o, reports::ReadTurnoverRows(env.ctx(), o), [&](const reports::TurnoverRow& r) { seen << r; }));
    EXPECT_EQ(at("B2"), QStringLiteral("01.01.2026 / 31.01.2026"));
    EXPECT_EQ(at("E2"), QStringLiteral("02.03.2026"));
    EXPECT_EQ(at("B3"), QStringLiteral("Все предприятия"));
    EXPECT_EQ(at("B4"), QStringLiteral("Все подразделения"));
    EXPECT_EQ(at("A8"), QStringLiteral("Столовая №1"));
    EXPECT_EQ(at("B9"), QStringLiteral("Кухня"));
    EXPECT_EQ(at("C10"), QStringLiteral("Овощи"));
    EXPECT_EQ(at("A11"), QVariant(1.0));
    EXPECT_FALSE(at("C11").isValid());  // no in-quantity on an issue
    EXPECT_FALSE(at("D11").isValid());
    EXPECT_EQ(at("E11"), QVariant(3.0));
    EXPECT_EQ(at("F11"), QVariant(31.5));
    EXPECT_EQ(at("F12"), QVariant(31.5));  // group, department, enterprise subtotals
    EXPECT_EQ(at("F13"), QVariant(31.5));
    EXPECT_EQ(at("F14"), QVariant(31.5));
    EXPECT_EQ(at("A15"), QStringLiteral("Кафе Гамма"));
    EXPECT_EQ(at("B16"), QStringLiteral("Склад"));
    // Groups ordered by key: Овощи (401) before Мясо (402).
    EXPECT_EQ(at("C17"), QStringLiteral("Овощи"));
    EXPECT_EQ(at("D18"), QVariant(30.0));
    EXPECT_EQ(at("C20"), QStringLiteral("Мясо"));
    EXPECT_EQ(at("D21"), QVariant(800.0));
    EXPECT_EQ(at("E24"), QVariant(830.0));  // Кафе Гамма's in-sum
    EXPECT_EQ(at("A25"), QStringLiteral("Итого"));
    EXPECT_EQ(at("D25"), QVariant(830.0));
    EXPECT_EQ(at("F25"), QVariant(31.5));
    EXPECT_EQ(seen.size(), 3);

    // One enterprise and one department: group headings and subtotals only.
    o.allFirma = o.allOtdel = false;
    o.firma = Stolovaya;
    o.firmaName = QStringLiteral("Столовая №1");
    o.otdel = Kuhnya;
    o.otdelName = QStringLiteral("Кухня");
    run(reports::turnover::Build(env.ctx(), o));
    EXPECT_EQ(at("B3"), QStringLiteral("Столовая №1"));
    EXPECT_EQ(at("B4"), QStringLiteral("Кухня"));
    EXPECT_EQ(at("C8"), QStringLiteral("Овощи"));
    EXPECT_EQ(at("B9"), QStringLiteral("Картофель"));
    EXPECT_EQ(at("F10"), QVariant(31.5));
    EXPECT_EQ(at("A11"), QStringLiteral("Итого"));
}

TEST_F(TurnoverPrint, ByProductsOneRowPerProductAndDepartmentWithBalances)
{
    const qint64 form = layout(4);
    InsertVariable(env.t, form, PlacedVariable(QStringLiteral("ost_start"), LocTable, QStringLiteral("G1")));
    InsertVariable(env.t, form, PlacedVariable(QStringLiteral("ost_end"), LocTable, QStringLiteral("H1")));
    InsertVariable(env.t, form, PlacedVariable(QStringLiteral("ed_izm"), LocTable, QStringLiteral("I1")));
    Stock(x, Kartofel, Stolovaya, Kuhnya, 10);
    Stock(x, Kartofel, Stolovaya, Bar, 1);
    Doc(x, 1001, QStringLiteral("П-1"), QDate(2026, 1, 10), 5, Stolovaya, 0, Kuhnya, 11);
    Move(x, 1001, Kartofel, Kuhnya, 4, 20, 1);
    Move(x, 1001, Kartofel, Kuhnya, 2, 22, 1);
    Move(x, 1001, Kartofel, Bar, 1, 20, 1);  // the same product in the next department
    Doc(x, 1002, QStringLiteral("Р-1"), QDate(2026, 1, 12), 6, Stolovaya, 0, Kuhnya, 11);
    Move(x, 1002, Kartofel, Kuhnya, 2, 20, 2);
    Doc(x, 1003, QStringLiteral("П-2"), QDate(2026, 2, 3), 5, Stolovaya, 0, Kuhnya, 11);
    Move(x, 1003, Kartofel, Kuhnya, 4, 20, 1);
    Doc(x, 1004, QStringLiteral("Р-2"), QDate(2026, 2, 4), 6, Stolovaya, 0, Kuhnya, 11);
    Move(x, 1004, Kartofel, Kuhnya, 1, 20, 2);
    TurnoverOptions o = period(QDate(2026, 1, 1), QDate(2026, 1, 31));
    o.shortForm = o.balances = true;
    run(reports::turnover::Build(env.ctx(), o));
    EXPECT_EQ(at("A8"), QStringLiteral("Столовая №1"));
    EXPECT_EQ(at("B9"), QStringLiteral("Кухня"));
    EXPECT_EQ(at("C10"), QStringLiteral("Овощи"));
    EXPECT_EQ(at("A11"), QVariant(1.0));
    EXPECT_EQ(at("B11"), QStringLiteral("Картофель"));
    EXPECT_EQ(at("C11"), QVariant(6.0));
    EXPECT_EQ(at("D11"), QVariant(124.0));
    EXPECT_EQ(at("E11"), QVariant(2.0));
    EXPECT_EQ(at("F11"), QVariant(40.0));
    EXPECT_EQ(at("G11"), QVariant(3.0));
    EXPECT_EQ(at("H11"), QVariant(7.0));
    EXPECT_EQ(at("I11"), QStringLiteral("кг"));
    EXPECT_EQ(at("E12"), QVariant(124.0));  // Овощи of Кухня, closed before the department
    EXPECT_EQ(at("E13"), QVariant(124.0));  // Кухня
    EXPECT_EQ(at("B14"), QStringLiteral("Бар"));
    EXPECT_EQ(at("C15"), QStringLiteral("Овощи"));
    EXPECT_EQ(at("A16"), QVariant(2.0));  // the Bar's own product row
    EXPECT_EQ(at("C16"), QVariant(1.0));
    EXPECT_EQ(at("G16"), QVariant(0.0));
    EXPECT_EQ(at("H16"), QVariant(1.0));
    EXPECT_EQ(at("A20"), QStringLiteral("Итого"));
    EXPECT_EQ(at("D20"), QVariant(144.0));
    EXPECT_EQ(at("F20"), QVariant(40.0));

    // Without balances the balance cells stay empty.
    o.balances = false;
    run(reports::turnover::Build(env.ctx(), o));
    EXPECT_EQ(at("C11"), QVariant(6.0));
    EXPECT_FALSE(at("G11").isValid());
    EXPECT_FALSE(at("H11").isValid());
}

TEST_F(TurnoverPrint, NoRowsGiveTheHeaderAndZeroTotals)
{
    layout(3);
    run(reports::turnover::Build(env.ctx(), period(QDate(2026, 1, 1), QDate(2026, 1, 31))));
    EXPECT_EQ(at("A8"), QStringLiteral("Итого"));
    EXPECT_EQ(at("D8"), QVariant(0.0));
    EXPECT_EQ(at("F8"), QVariant(0.0));
}

TEST_F(TurnoverPrint, ExportWritesOneRecordPerStatementRowAndListsProductsWithoutCode)
{
    layout(3);
    Stock(x, Kartofel, Stolovaya, Kuhnya, 0, QStringLiteral("1С-501"), 77);
    Stock(x, Morkov, Stolovaya, Kuhnya, 0);  // no accounting code, a name typed on two lines
    x(QStringLiteral("UPDATE ING SET NAME = 'Морковь' || ASCII_CHAR(10) || 'мытая' WHERE KOD = 502"));
    Doc(x, 1001, QStringLiteral("П-1"), QDate(2026, 1, 10), 5, Stolovaya, 0, Kuhnya, 11);
    Move(x, 1001, Kartofel, Kuhnya, 2, 20, 1);
    Move(x, 1001, Kartofel, Kuhnya, 3, 20, 1);  // summed into one record
    Move(x, 1001, Morkov, Kuhnya, 1, 30, 1);
    Doc(x, 1002, QStringLiteral("Р-1"), QDate(2026, 1, 11), 6, Stolovaya, Beta, Kuhnya, 11);
    Move(x, 1002, Morkov, Kuhnya, 0.5, 30, 2);
    Doc(x, 1003, QStringLiteral("Пустой"), QDate(2026, 1, 12), 5, Stolovaya, 0, Kuhnya, 11);  // no lines
    const QString path = env.t.folder() + QStringLiteral("/obmen.dbf");
    exchange::obmen::CreateTable(path);
    RefreshRead(env.t);
    exchange::obmen::Export exported(env.ctx(), path);
    reports::RunStandardReport(env.ctx(), office, env.t.folder() + QStringLiteral("templates/"),
                               reports::turnover::Build(env.ctx(), period(QDate(2026, 1, 1), QDate(2026, 1, 31)), &exported));
    exported.close();
    const QString missing = exported.missingCodes() ? exported.warningText() : QString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const auto table = exchange::dbf::Read(f.readAll());
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->records.size(), 3);
    auto text = [&](int r, const char* field) {
        return exchange::dbf::TextOf(table->records[r][table->fieldIndex(field)]);
    };
    auto number = [&](int r, const char* field) {
        bool ok = true;
        return exchange::dbf::NumberOf(table->records[r][table->fieldIndex(field)], &ok).value_or(-1);
    };
    // In the statement's order: Картофель, then Морковь's receipt and issue.
    EXPECT_EQ(text(0, "TYPE"), QStringLiteral("+"));
    EXPECT_EQ(text(0, "KOD"), QStringLiteral("77"));
    EXPECT_EQ(text(0, "KOD1S"), QStringLiteral("1С-501"));
    EXPECT_EQ(number(0, "KOLVO"), 5);
    EXPECT_EQ(number(0, "CENA"), 20);
    EXPECT_EQ(text(0, "DOC"), QStringLiteral("П-1"));
    EXPECT_EQ(exchange::dbf::DateOf(table->records[0][table->fieldIndex("DATE")]), QDate(2026, 1, 10));
    EXPECT_EQ(text(1, "KOD1S"), QString());
    EXPECT_EQ(text(2, "TYPE"), QStringLiteral("-"));
    EXPECT_EQ(number(2, "KOLVO"), 0.5);
    EXPECT_EQ(text(2, "DOC"), QStringLiteral("Р-1"));
    EXPECT_EQ(missing, exchange::obmen::MissingCodesHeading() + QStringLiteral("\n\nМорковь мытая\nМорковь мытая"));
    EXPECT_EQ(at("B11"), QStringLiteral("Картофель"));
}
