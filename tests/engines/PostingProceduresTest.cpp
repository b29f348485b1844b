// The server's posting procedures on a fresh database: every document type,
// every price rule, transfers with their pair, cancellation with and without
// the old prices, and the three modes of line removal.

#include "documents/PostingFixture.h"

using posting::DocType::Issue;
using posting::DocType::Production;
using posting::DocType::ProductionWriteOff;
using posting::DocType::Receipt;
using posting::DocType::Sales;
using posting::DocType::Transfer;

namespace {

class Procedures : public ::testing::Test, public PostDb {
protected:
    void post(qint64 doc)
    {
        begin();
        posting::ProvodkaMove(ctx(), doc);
        commit();
    }
    void unpost(qint64 doc, int otkat)
    {
        begin();
        posting::DeleteProvodka(ctx(), doc, otkat);
        commit();
    }
    void delDoc(qint64 doc, int otkat)
    {
        begin();
        posting::DelDoc(ctx(), doc, otkat);
        commit();
    }
    QVariant lineValue(qint64 line, const char* column)
    {
        return value(QStringLiteral("SELECT %1 FROM MOVES WHERE KOD = %2").arg(QLatin1String(column)).arg(line));
    }
    qint64 docValue(qint64 doc, const char* column)
    {
        return num(QStringLiteral("SELECT %1 FROM DOCS WHERE KOD = %2").arg(QLatin1String(column)).arg(doc));
    }
};

} // namespace

// ---- receiving: the three price rules ----

TEST_F(Procedures, WeightedAverageReceiptGivesFortyAtFiftySixAndTheSellingPriceThroughMyRound)
{
    // Markup 33 %, step 50 kopecks, mathematical rounding: 56.00 * 1.33 = 74.48 -> 74.50.
    const qint64 ing = raw(QStringLiteral("Мука"), stockOf(10, 50.00, 66.50, 33));
    const qint64 d = doc(Receipt, kitchen, 0, 1);
    // The line's own department is not where a receipt goes.
    const qint64 l = line(d, ing, 30, 58.00, bar);
    post(d);

    const Stock s = stock(ing, kitchen);
    EXPECT_DOUBLE_EQ(s.kolvo, 40);
    EXPECT_DOUBLE_EQ(s.cena, 56.00);
    EXPECT_DOUBLE_EQ(s.myCena, 74.50);
    EXPECT_DOUBLE_EQ(stock(ing, bar).kolvo, 0);
    EXPECT_DOUBLE_EQ(lineValue(l, "OLD_CENA").toDouble(), 50.00);
    EXPECT_EQ(lineValue(l, "TYPE_MOVES").toInt(), 1);
    EXPECT_EQ(docValue(d, "PROVODKA"), 11);
}

TEST_F(Procedures, ReceiptKeepingThePriceRecordsNoOldPriceAndTheDocumentPriceReplacesIt)
{
    const qint64 kept = raw(QStringLiteral("Соль"), stockOf(10, 50.00, 60.00, 33));
    const qint64 replaced = raw(QStringLiteral("Сахар"), stockOf(10, 50.00, 60.00, 33));
    const qint64 d0 = doc(Receipt, kitchen, 0, 0);
    const qint64 l0 = line(d0, kept, 30, 58.00);
    const qint64 d2 = doc(Receipt, kitchen, 0, 2);
    const qint64 l2 = line(d2, replaced, 30, 58.00);
    post(d0);
    post(d2);

    const Stock a = stock(kept, kitchen);
    EXPECT_DOUBLE_EQ(a.kolvo, 40);
    EXPECT_DOUBLE_EQ(a.cena, 50.00);
    EXPECT_DOUBLE_EQ(a.myCena, 60.00);
    EXPECT_TRUE(lineValue(l0, "OLD_CENA").isNull());

    // 58.00 * 1.33 = 77.14 -> 77.00 to the 50-kopeck step.
    const Stock b = stock(replaced, kitchen);
    EXPECT_DOUBLE_EQ(b.kolvo, 40);
    EXPECT_DOUBLE_EQ(b.cena, 58.00);
    EXPECT_DOUBLE_EQ(b.myCena, 77.00);
    EXPECT_DOUBLE_EQ(lineValue(l2, "OLD_CENA").toDouble(), 50.00);
}

TEST_F(Procedures, WeightedAverageTakesWholeKopecksAndTheLinePriceWithoutStock)
{
    // (1 * 10.00 + 2 * 10.01) / 3 = 10.00666... -> 10.01 by the rounding cast.
    const qint64 cast = raw(QStringLiteral("Перец"), stockOf(1, 10.00));
    const qint64 none = raw(QStringLiteral("Лук"), stockOf(0, 20.00));
    const qint64 owed = raw(QStringLiteral("Морковь"), stockOf(-5, 20.00));
    const qint64 d = doc(Receipt, kitchen, 0, 1);
    line(d, cast, 2, 10.01);
    line(d, none, 4, 30.00);
    line(d, owed, 4, 30.00);
    // Without stock the line's price is taken as it stands, kopeck fractions too.
    const qint64 salt = raw(QStringLiteral("Соль"), stockOf(0, 1.00));
    line(d, salt, 1, 12.345);
    post(d);
    EXPECT_DOUBLE_EQ(stock(salt, kitchen).cena, 12.345);
    EXPECT_DOUBLE_EQ(stock(cast, kitchen).cena, 10.01);
    EXPECT_DOUBLE_EQ(stock(none, kitchen).cena, 30.00);
    EXPECT_DOUBLE_EQ(stock(owed, kitchen).cena, 30.00);
    EXPECT_DOUBLE_EQ(stock(owed, kitchen).kolvo, -1);
}

TEST_F(Procedures, WeightedAverageThatWouldDivideByZeroTakesTheLinePrice)
{
    // Stock 10 and a line of -10: nothing is left to average over.
    const qint64 ing = raw(QStringLiteral("Масло"), stockOf(10, 50.00));
    const qint64 d = doc(Receipt, kitchen, 0, 1);
    line(d, ing, -10, 58.00);
    post(d);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).kolvo, 0);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).cena, 58.00);
}

TEST_F(Procedures, LinesInAnotherOrderThanTheirStockRowsEndEveryRowAndLineAsLineByLine)
{
    // The lines stand in another order than the stock rows of their products;
    // one product comes on two lines, one has two rows in the kitchen (the
    // later key second), one has no row there at all.
    const qint64 a = raw(QStringLiteral("Мука"), stockOf(10, 10.00, 10.00));
    const qint64 c = raw(QStringLiteral("Сахар"), stockOf(10, 10.00, 10.00));
    const qint64 none = raw(QStringLiteral("Соль"));
    exec(QStringLiteral("DELETE FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(none).arg(kitchen));
    begin();
    b->sklad(c, firma, kitchen, stockOf(30, 20.00, 20.00));
    const qint64 c1Row = num(QStringLiteral("SELECT MIN(KOD) FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(c).arg(kitchen));
    const qint64 c2Row = num(QStringLiteral("SELECT MAX(KOD) FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(c).arg(kitchen));

    const qint64 d = doc(Receipt, kitchen, 0, 1);
    const qint64 c1 = line(d, c, 10, 40.00);
    const qint64 n1 = line(d, none, 10, 5.00);
    const qint64 a1 = line(d, a, 10, 30.00);
    const qint64 c2 = line(d, c, 20, 10.00);
    const qint64 a2 = line(d, a, 20, 50.00);
    post(d);

    // Line by line: a1 (10 + 10 at 30) -> 20.00, a2 (20 + 20 at 50) -> 35.00.
    const Stock sa = stock(a, kitchen);
    EXPECT_DOUBLE_EQ(sa.kolvo, 40);
    EXPECT_DOUBLE_EQ(sa.cena, 35.00);
    EXPECT_DOUBLE_EQ(sa.myCena, 35.00);
    EXPECT_DOUBLE_EQ(lineValue(a1, "OLD_CENA").toDouble(), 10.00);
    EXPECT_DOUBLE_EQ(lineValue(a2, "OLD_CENA").toDouble(), 20.00);
    // Each row of the product takes both lines on its own quantity and price:
    // the first 10 at 10 -> 25.00 -> 17.50, the second 30 at 20 -> 25.00 -> 20.00.
    auto row = [&](qint64 kod, const char* column) {
        return value(QStringLiteral("SELECT %1 FROM ING_SKLAD WHERE KOD = %2").arg(QLatin1String(column)).arg(kod)).toDouble();
    };
    EXPECT_DOUBLE_EQ(row(c1Row, "KOLVO"), 40);
    EXPECT_DOUBLE_EQ(row(c1Row, "CENA"), 17.50);
    EXPECT_DOUBLE_EQ(row(c1Row, "MY_CENA"), 17.50);
    EXPECT_DOUBLE_EQ(row(c2Row, "KOLVO"), 60);
    EXPECT_DOUBLE_EQ(row(c2Row, "CENA"), 20.00);
    EXPECT_DOUBLE_EQ(row(c2Row, "MY_CENA"), 20.00);
    // A line keeps what the first row had before it.
    EXPECT_DOUBLE_EQ(lineValue(c1, "OLD_CENA").toDouble(), 10.00);
    EXPECT_DOUBLE_EQ(lineValue(c2, "OLD_CENA").toDouble(), 25.00);
    EXPECT_TRUE(lineValue(n1, "OLD_CENA").isNull());
    for (qint64 l : {c1, n1, a1, c2, a2})
        EXPECT_EQ(lineValue(l, "TYPE_MOVES").toInt(), 1);
    EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM ING_SKLAD WHERE KOD_ING = %1").arg(none)), 1);

    // Keeping the price, every row of the product takes the quantity.
    const qint64 k = doc(Receipt, kitchen, 0, 0);
    const qint64 k1 = line(k, c, 5, 99.00);
    post(k);
    EXPECT_DOUBLE_EQ(row(c1Row, "KOLVO"), 45);
    EXPECT_DOUBLE_EQ(row(c2Row, "KOLVO"), 65);
    EXPECT_DOUBLE_EQ(row(c1Row, "CENA"), 17.50);
    EXPECT_TRUE(lineValue(k1, "OLD_CENA").isNull());
}

TEST_F(Procedures, MissingPriceRuleQuantityAndPriceCountAsZero)
{
    const qint64 ing = raw(QStringLiteral("Рис"), stockOf(10, 50.00, 60.00));
    const qint64 other = raw(QStringLiteral("Греча"), stockOf(10, 50.00, 60.00));
    const qint64 d = doc(Receipt, kitchen, 0, 0);
    line(d, ing, 5, 70.00);
    const qint64 empty = line(d, other, 0, 0);
    exec(QStringLiteral("UPDATE DOCS SET EDIT_CENA = NULL WHERE KOD = %1").arg(d));
    t.exec(QStringLiteral("UPDATE MOVES SET KOLVO = NULL, CENA = NULL WHERE KOD = %1").arg(empty));
    post(d);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).kolvo, 15);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).cena, 50.00);
    const Stock s = stock(other, kitchen);
    EXPECT_DOUBLE_EQ(s.kolvo, 10);
    EXPECT_DOUBLE_EQ(s.cena, 50.00);
    EXPECT_DOUBLE_EQ(s.myCena, 60.00);
}

// ---- going out ----

TEST_F(Procedures, IssueSalesAndWriteOffTakeStockOutWithoutTouchingPrices)
{
    const qint64 ing = raw(QStringLiteral("Молоко"), stockOf(10, 40.00, 50.00), stockOf(10, 40.00, 50.00));
    // An issue leaves the document's department, whatever the line says.
    const qint64 issue = doc(Issue, kitchen);
    const qint64 l = line(issue, ing, 12, 99.00, bar);
    post(issue);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).kolvo, -2);  // more than on hand: stock goes negative
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).cena, 40.00);
    EXPECT_DOUBLE_EQ(stock(ing, bar).kolvo, 10);
    EXPECT_EQ(lineValue(l, "TYPE_MOVES").toInt(), 2);
    EXPECT_TRUE(lineValue(l, "OLD_CENA").isNull());

    // Sales and production write-offs leave the department of each line.
    const qint64 sale = doc(Sales, 0);
    line(sale, ing, 3, 50.00, bar);
    const qint64 writeOff = doc(ProductionWriteOff, 0);
    line(writeOff, ing, 1, 40.00, kitchen);
    post(sale);
    post(writeOff);
    EXPECT_DOUBLE_EQ(stock(ing, bar).kolvo, 7);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).kolvo, -3);
    EXPECT_DOUBLE_EQ(stock(ing, bar).cena, 40.00);
}

TEST_F(Procedures, ProductionOutputComesIntoTheDepartmentOfEachLine)
{
    const qint64 ing = raw(QStringLiteral("Котлета"), stockOf(0, 0), stockOf(2, 30.00));
    const qint64 d = doc(Production, 0, 0, 1);
    line(d, ing, 3, 40.00, kitchen);
    line(d, ing, 2, 35.00, bar);
    post(d);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).kolvo, 3);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).cena, 40.00);
    EXPECT_DOUBLE_EQ(stock(ing, bar).kolvo, 4);
    EXPECT_DOUBLE_EQ(stock(ing, bar).cena, 32.50);
}

// ---- transfers ----

TEST_F(Procedures, TransferMakesExactlyOneReceiverDocumentWithTheLinesCopied)
{
    const qint64 ing = raw(QStringLiteral("Сыр"), stockOf(20, 100.00, 120.00), stockOf(10, 50.00, 60.00));
    const qint64 d = doc(Transfer, kitchen, bar, 1, 1, 1);
    const qint64 l = line(d, ing, 10, 80.00, kitchen);
    const qint64 docsBefore = num(QStringLiteral("SELECT COUNT(*) FROM DOCS"));
    post(d);

    EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM DOCS")), docsBefore + 1);
    const qint64 n = docValue(d, "INT_PARAM3");
    ASSERT_NE(n, 0);
    EXPECT_EQ(docValue(n, "INT_PARAM3"), d);
    EXPECT_EQ(docValue(n, "DOC_TYPE"), 4);
    EXPECT_EQ(docValue(n, "PROVODKA"), 11);
    EXPECT_EQ(docValue(n, "INT_PARAM1"), bar);
    EXPECT_EQ(docValue(n, "INT_PARAM2"), kitchen);
    EXPECT_EQ(docValue(n, "KOD_PARTNER_EXPORT"), firma);
    EXPECT_EQ(docValue(n, "EDIT_CENA"), 1);
    // The receiver's document keeps what the transfer writes off and its price kind.
    EXPECT_EQ(docValue(n, "P"), 1);
    EXPECT_EQ(docValue(n, "TYPE_CENA"), 1);
    EXPECT_EQ(value(QStringLiteral("SELECT NAME FROM DOCS WHERE KOD = %1").arg(n)).toString(), QStringLiteral("12/1"));

    EXPECT_EQ(lineValue(l, "TYPE_MOVES").toInt(), 2);
    EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM MOVES WHERE KOD_DOC = %1 AND TYPE_MOVES = 1 AND KOD_OTDEL = %2")
                      .arg(n)
                      .arg(bar)),
              1);
    // The sender's price never changes; the receiver averages 10 @ 50 + 10 @ 80.
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).kolvo, 10);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).cena, 100.00);
    EXPECT_DOUBLE_EQ(stock(ing, bar).kolvo, 20);
    EXPECT_DOUBLE_EQ(stock(ing, bar).cena, 65.00);
}

// ---- cancelling ----

TEST_F(Procedures, CancellingAnUnpostedOrFilledDocumentChangesNothing)
{
    const qint64 ing = raw(QStringLiteral("Чай"), stockOf(10, 5.00));
    const qint64 d = doc(Issue, kitchen);
    line(d, ing, 4, 5.00, kitchen, 2);
    const Snapshot before = snapshot();
    unpost(d, 1);
    exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 1 WHERE KOD = %1").arg(d));
    const Snapshot filled = snapshot();
    unpost(d, 1);
    EXPECT_EQ(snapshot(), filled);
    EXPECT_EQ(before.stock, filled.stock);
}

TEST_F(Procedures, CancellingAReceiptKeepsItsLinesAndRestoresPricesOnlyWhenAsked)
{
    const qint64 ing = raw(QStringLiteral("Мука"), stockOf(10, 50.00, 66.50, 33));
    const qint64 d = doc(Receipt, kitchen, 0, 1);
    line(d, ing, 30, 58.00);
    const Snapshot before = snapshot();
    post(d);
    unpost(d, 0);
    Stock s = stock(ing, kitchen);
    EXPECT_DOUBLE_EQ(s.kolvo, 10);
    EXPECT_DOUBLE_EQ(s.cena, 56.00);
    EXPECT_EQ(docValue(d, "PROVODKA"), 0);
    EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM MOVES WHERE KOD_DOC = %1").arg(d)), 1);

    post(d);
    unpost(d, 1);
    // Posted again at 56.00: the old price of that posting comes back.
    s = stock(ing, kitchen);
    EXPECT_DOUBLE_EQ(s.kolvo, 10);
    EXPECT_DOUBLE_EQ(s.cena, 56.00);
    EXPECT_DOUBLE_EQ(s.myCena, 74.50);

    // A fresh one from 50.00 goes all the way back, selling price through MY_ROUND.
    exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 50, MY_CENA = 66.50 WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(ing).arg(kitchen));
    post(d);
    unpost(d, 1);
    EXPECT_EQ(snapshot().stock, before.stock);
}

TEST_F(Procedures, ADocumentPostedKeepingPricesNeverHasThemRestored)
{
    const qint64 ing = raw(QStringLiteral("Соль"), stockOf(10, 50.00, 60.00));
    const qint64 d = doc(Receipt, kitchen, 0, 0);
    line(d, ing, 30, 58.00);
    post(d);
    exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 70 WHERE KOD_ING = %1").arg(ing));
    unpost(d, 1);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).cena, 70.00);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).kolvo, 10);
}

TEST_F(Procedures, CancellingRestoresThePriceBeforeTheFirstOfSeveralLinesOfOneProduct)
{
    const qint64 ing = raw(QStringLiteral("Кофе"), stockOf(10, 100.00, 100.00));
    const qint64 d = doc(Receipt, kitchen, 0, 2);
    line(d, ing, 5, 120.00);
    line(d, ing, 5, 140.00);
    const Snapshot before = snapshot();
    post(d);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).cena, 140.00);
    unpost(d, 1);
    EXPECT_EQ(snapshot().stock, before.stock);
}

TEST_F(Procedures, CancellingProductionSalesAndWriteOffsRemovesTheirLines)
{
    const qint64 ing = raw(QStringLiteral("Суп"), stockOf(10, 20.00, 30.00));
    const qint64 out = doc(Production, 0, 0, 0);
    line(out, ing, 5, 20.00, kitchen);
    const qint64 sale = doc(Sales, 0);
    line(sale, ing, 2, 30.00, kitchen);
    const qint64 writeOff = doc(ProductionWriteOff, 0);
    line(writeOff, ing, 1, 20.00, kitchen);
    for (qint64 d : {out, sale, writeOff})
        post(d);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).kolvo, 12);
    for (qint64 d : {out, sale, writeOff}) {
        unpost(d, 0);
        EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM MOVES WHERE KOD_DOC = %1").arg(d)), 0);
        EXPECT_EQ(docValue(d, "PROVODKA"), 0);
    }
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).kolvo, 10);
}

TEST_F(Procedures, CancellingTheReceiverOfATransferTurnsItBackIntoTheSendersDocument)
{
    const qint64 ing = raw(QStringLiteral("Сыр"), stockOf(20, 100.00, 100.00), stockOf(10, 50.00, 50.00));
    const qint64 d = doc(Transfer, kitchen, bar, 2, 1);
    line(d, ing, 10, 80.00, kitchen);
    post(d);
    const qint64 n = docValue(d, "INT_PARAM3");
    // The sender's half goes as un-posting does it: quantities back, lines away.
    delDoc(d, 1);
    exec(QStringLiteral("DELETE FROM DOCS WHERE KOD = %1").arg(d));
    unpost(n, 1);

    EXPECT_EQ(docValue(n, "PROVODKA"), 0);
    EXPECT_EQ(docValue(n, "INT_PARAM1"), kitchen);
    EXPECT_EQ(docValue(n, "INT_PARAM2"), bar);
    EXPECT_EQ(value(QStringLiteral("SELECT INT_PARAM3 FROM DOCS WHERE KOD = %1").arg(n)), QVariant());
    EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM MOVES WHERE KOD_DOC = %1 AND KOD_OTDEL = %2").arg(n).arg(kitchen)), 1);
    const Stock k = stock(ing, kitchen);
    const Stock b = stock(ing, bar);
    EXPECT_DOUBLE_EQ(k.kolvo, 20);
    EXPECT_DOUBLE_EQ(k.cena, 100.00);
    EXPECT_DOUBLE_EQ(b.kolvo, 10);
    EXPECT_DOUBLE_EQ(b.cena, 50.00);
}

// ---- removing lines ----

TEST_F(Procedures, DelDocRemovesLinesWithoutRollbackWithQuantitiesOrWithOldStockPrices)
{
    const qint64 ing = raw(QStringLiteral("Мука"), stockOf(10, 50.00, 66.50, 33));
    auto postedReceipt = [&] {
        const qint64 d = doc(Receipt, kitchen, 0, 1);
        line(d, ing, 30, 58.00);
        post(d);
        return d;
    };

    const qint64 none = postedReceipt();
    exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC) VALUES (%1)").arg(none));
    t.exec(QStringLiteral("INSERT INTO INVENT (KOD_DOC) VALUES (%1)").arg(none));
    delDoc(none, 0);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).kolvo, 40);
    for (const char* table : {"MOVES", "REAL_BLUDO", "INVENT"})
        EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE KOD_DOC = %2").arg(QLatin1String(table)).arg(none)), 0)
            << table;
    EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM DOCS WHERE KOD = %1").arg(none)), 1);

    // 40 @ 56.00 -> +30 @ 58.00 = 70 @ 56.86; quantities only.
    const qint64 qty = postedReceipt();
    delDoc(qty, 1);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).kolvo, 40);
    EXPECT_DOUBLE_EQ(stock(ing, kitchen).cena, 56.86);

    // With old prices: the stock price comes back, the selling price stays.
    const double selling = stock(ing, kitchen).myCena;
    const qint64 prices = postedReceipt();
    const double sellingAfter = stock(ing, kitchen).myCena;
    delDoc(prices, 2);
    const Stock s = stock(ing, kitchen);
    EXPECT_DOUBLE_EQ(s.kolvo, 40);
    EXPECT_DOUBLE_EQ(s.cena, 56.86);
    EXPECT_DOUBLE_EQ(s.myCena, sellingAfter);
    EXPECT_NE(selling, 0);
}

