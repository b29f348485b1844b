// The posting engine on a fresh database: the preparation of a document,
// the split transfer with its write-off lines, and un-posting of every pair
// back to the rows as they were before the posting.

#include "documents/PostingFixture.h"
#include "deletion/Deletion.h"

#include <QCryptographicHash>

using posting::DocType::Issue;
using posting::DocType::Production;
using posting::DocType::ProductionWriteOff;
using posting::DocType::Receipt;
using posting::DocType::Transfer;

namespace {

class Engine : public ::testing::Test, public PostDb {
protected:
    posting::PostOutcome post(qint64 doc, int rule)
    {
        begin();
        const posting::PostOutcome out = posting::PostMovement(ctx(), doc, rule);
        if (out.posted)
            commit();
        else
            t.write().rollback();
        return out;
    }
    qint64 unpost(qint64 doc, int otkat)
    {
        begin();
        const qint64 kept = posting::UnpostDocument(ctx(), doc, otkat);
        commit();
        return kept;
    }
    qint64 docValue(qint64 doc, const char* column)
    {
        return num(QStringLiteral("SELECT %1 FROM DOCS WHERE KOD = %2").arg(QLatin1String(column)).arg(doc));
    }
    int lines(qint64 doc) { return static_cast<int>(num(QStringLiteral("SELECT COUNT(*) FROM MOVES WHERE KOD_DOC = %1").arg(doc))); }
    int docs() { return static_cast<int>(num(QStringLiteral("SELECT COUNT(*) FROM DOCS"))); }

    // A salad of 0.2 potatoes and 0.1 onions (gross by 80 % yield for the
    // potatoes), with stock of everything in the kitchen.
    struct Salad {
        qint64 dish, potato, onion;
    };
    Salad salad(double dishStock = 0)
    {
        Salad s;
        s.potato = raw(QStringLiteral("Картофель"), stockOf(100, 20.00, 25.00));
        s.onion = raw(QStringLiteral("Лук"), stockOf(100, 30.00, 35.00));
        s.dish = dish(QStringLiteral("Салат \"Осенний\""), 1, stockOf(dishStock, 10.00, 60.00));
        card(s.dish, s.potato, 0.2, 80);
        card(s.dish, s.onion, 0.1);
        commit();
        return s;
    }
};

} // namespace

// ---- preparing ----

TEST_F(Engine, LinesWithoutQuantityAreDroppedAndTheRestPostedInTheDocumentsDepartment)
{
    const qint64 a = raw(QStringLiteral("Мука"), stockOf(10, 50.00));
    const qint64 b2 = raw(QStringLiteral("Соль"), stockOf(10, 5.00));
    const qint64 d = doc(Receipt, kitchen);
    line(d, a, 30, 58.00, bar);
    line(d, b2, 0, 5.00);
    const qint64 none = line(d, b2, 1, 5.00);
    exec(QStringLiteral("UPDATE MOVES SET KOLVO = NULL WHERE KOD = %1").arg(none));

    const posting::PostOutcome out = post(d, 1);
    EXPECT_TRUE(out.posted);
    EXPECT_EQ(lines(d), 1);
    EXPECT_EQ(num(QStringLiteral("SELECT KOD_OTDEL FROM MOVES WHERE KOD_DOC = %1").arg(d)), kitchen);
    EXPECT_EQ(docValue(d, "EDIT_CENA"), 1);
    EXPECT_EQ(docValue(d, "PROVODKA"), 11);
    EXPECT_DOUBLE_EQ(stock(a, kitchen).cena, 56.00);
    EXPECT_DOUBLE_EQ(stock(b2, kitchen).kolvo, 10);
}

TEST_F(Engine, ADocumentWhoseLinesAllLackAQuantityIsNotPostedAndKeepsItsLines)
{
    const qint64 a = raw(QStringLiteral("Мука"), stockOf(10, 50.00));
    const qint64 d = doc(Receipt, kitchen);
    line(d, a, 0, 58.00);
    line(d, a, 0, 59.00);
    commit();
    const Snapshot before = snapshot();
    EXPECT_FALSE(post(d, 2).posted);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(lines(d), 2);
}

TEST_F(Engine, ADocumentIsPostedAndUnpostedOnlyOnceWhateverAStaleListSays)
{
    const qint64 a = raw(QStringLiteral("Мука"), stockOf(10, 50.00));
    const qint64 d = doc(Transfer, kitchen, bar, 0, 1);
    line(d, a, 3, 50.00);
    post(d, 0);
    const Snapshot posted = snapshot();
    begin();
    EXPECT_THROW(posting::PostMovement(ctx(), d, 0), std::runtime_error);
    t.write().rollback();
    const qint64 kept = unpost(d, 0);
    const Snapshot unposted = snapshot();
    begin();
    EXPECT_THROW(posting::UnpostDocument(ctx(), kept, 0), std::runtime_error);
    t.write().rollback();
    EXPECT_EQ(snapshot(), unposted);
    EXPECT_FALSE(posted == unposted);
    EXPECT_DOUBLE_EQ(stock(a, kitchen).kolvo, 10);
}

// ---- transfers ----

TEST_F(Engine, TransferOfFinishedProductsIsPairedByTheServerAndUnpostedFromEitherHalf)
{
    for (int half = 0; half < 2; ++half) {
        SCOPED_TRACE(half == 0 ? "sender" : "receiver");
        PostDb fresh;
        const qint64 a = fresh.raw(QStringLiteral("Сыр"), stockOf(20, 100.00, 100.00), stockOf(10, 50.00, 50.00));
        const qint64 d = fresh.doc(Transfer, fresh.kitchen, fresh.bar, 0, 1);
        fresh.line(d, a, 5, 100.00);
        fresh.commit();
        const Snapshot before = fresh.snapshot();
        const int docsBefore = static_cast<int>(fresh.num(QStringLiteral("SELECT COUNT(*) FROM DOCS")));

        fresh.begin();
        const posting::PostOutcome out = posting::PostMovement(fresh.ctx(), d, 0);
        fresh.commit();
        ASSERT_NE(out.pair, 0);
        EXPECT_EQ(fresh.num(QStringLiteral("SELECT COUNT(*) FROM DOCS")), docsBefore + 1);
        EXPECT_DOUBLE_EQ(fresh.stock(a, fresh.kitchen).kolvo, 15);
        EXPECT_DOUBLE_EQ(fresh.stock(a, fresh.bar).kolvo, 15);

        fresh.begin();
        const qint64 kept = posting::UnpostDocument(fresh.ctx(), half == 0 ? d : out.pair, 0);
        fresh.commit();
        EXPECT_EQ(kept, out.pair);
        EXPECT_EQ(fresh.snapshot(), before);
    }
}

TEST_F(Engine, SplitTransferWritesOffTheRawIngredientsAndReceivesTheDish)
{
    const Salad s = salad();
    const qint64 d = doc(Transfer, kitchen, bar, 0, 0, 1);
    line(d, s.dish, 10, 60.00);
    const int docsBefore = docs();

    const posting::PostOutcome out = post(d, 2);
    ASSERT_TRUE(out.posted);
    const qint64 n = out.pair;
    EXPECT_EQ(docs(), docsBefore + 1);
    // The sending department gives 10 x 0.25 potatoes and 10 x 0.1 onions.
    EXPECT_DOUBLE_EQ(stock(s.potato, kitchen).kolvo, 97.5);
    EXPECT_DOUBLE_EQ(stock(s.onion, kitchen).kolvo, 99);
    EXPECT_DOUBLE_EQ(stock(s.dish, kitchen).kolvo, 0);
    // The receiving department gets the dishes at the document's price.
    EXPECT_DOUBLE_EQ(stock(s.dish, bar).kolvo, 10);
    EXPECT_DOUBLE_EQ(stock(s.dish, bar).cena, 60.00);
    EXPECT_DOUBLE_EQ(stock(s.potato, bar).kolvo, 0);

    // Both are transfers naming each other; the receipt kept the mode and the price kind.
    EXPECT_EQ(docValue(d, "DOC_TYPE"), 4);
    EXPECT_EQ(docValue(n, "DOC_TYPE"), 4);
    EXPECT_EQ(docValue(d, "INT_PARAM3"), n);
    EXPECT_EQ(docValue(n, "INT_PARAM3"), d);
    EXPECT_EQ(docValue(n, "PROVODKA"), 11);
    EXPECT_EQ(docValue(d, "PROVODKA"), 11);
    EXPECT_EQ(docValue(n, "P"), 0);
    EXPECT_EQ(docValue(n, "TYPE_CENA"), 1);
    EXPECT_EQ(docValue(n, "INT_PARAM1"), bar);
    EXPECT_EQ(lines(d), 2);
    EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM MOVES WHERE KOD_DOC = %1 AND TYPE_MOVES = 2 AND KOD_OTDEL = %2")
                      .arg(d)
                      .arg(kitchen)),
              2);
    EXPECT_EQ(num(QStringLiteral("SELECT KOD_ING FROM MOVES WHERE KOD_DOC = %1 AND TYPE_MOVES = 1").arg(n)), s.dish);
}

TEST_F(Engine, SplitTransferTakesFinishedDishesFromStockFirst)
{
    const Salad s = salad(4);
    const qint64 d = doc(Transfer, kitchen, bar, 0, 3);
    line(d, s.dish, 10, 60.00);
    post(d, 0);
    EXPECT_DOUBLE_EQ(stock(s.dish, kitchen).kolvo, 0);
    EXPECT_DOUBLE_EQ(stock(s.potato, kitchen).kolvo, 100 - 6 * 0.25);
    EXPECT_DOUBLE_EQ(stock(s.dish, bar).kolvo, 10);
}

TEST_F(Engine, UnpostingEitherHalfOfASplitTransferRestoresTheRowsAsTheyWere)
{
    for (int half = 0; half < 2; ++half) {
        for (int rule : {0, 1}) {
            SCOPED_TRACE(QStringLiteral("half %1, rule %2").arg(half).arg(rule).toStdString());
            PostDb f;
            const qint64 potato = f.raw(QStringLiteral("Картофель"), stockOf(100, 20.00, 20.00));
            const qint64 dish = f.dish(QStringLiteral("Пюре"), 1, stockOf(0, 0));
            f.exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 3, CENA = 40, MY_CENA = 40 WHERE KOD_ING = %1 AND KOD_OTDEL = %2")
                       .arg(dish)
                       .arg(f.bar));
            f.card(dish, potato, 0.3);
            const qint64 d = f.doc(Transfer, f.kitchen, f.bar, 0, 0, 1);
            f.line(d, dish, 2, 50.00);
            f.line(d, dish, 0, 50.00);  // dropped by the posting, like any empty line
            f.exec(QStringLiteral("DELETE FROM MOVES WHERE KOLVO = 0"));
            const Snapshot before = f.snapshot();

            f.begin();
            const posting::PostOutcome out = posting::PostMovement(f.ctx(), d, rule);
            f.commit();
            if (rule == 1) {
                EXPECT_DOUBLE_EQ(f.stock(dish, f.bar).cena, 44.00);
            }

            f.begin();
            const qint64 kept = posting::UnpostDocument(f.ctx(), half == 0 ? d : out.pair, rule);
            f.commit();
            EXPECT_EQ(kept, out.pair);
            EXPECT_EQ(f.snapshot(), before);
            // Posted again, it splits again the same way.
            f.begin();
            posting::PostMovement(f.ctx(), kept, 0);
            f.commit();
            EXPECT_DOUBLE_EQ(f.stock(potato, f.kitchen).kolvo, 99.4);
            EXPECT_DOUBLE_EQ(f.stock(dish, f.bar).kolvo, 5);
        }
    }
}

TEST_F(Engine, ASplitTransferWhoseExpansionWroteNothingIsStillUnpostedWhole)
{
    // A dish without active card rows: the sender's half has no lines at all.
    const qint64 empty = dish(QStringLiteral("Пустое блюдо"), 1);
    const qint64 d = doc(Transfer, kitchen, bar, 0, 0);
    line(d, empty, 3, 10.00);
    commit();
    const Snapshot before = snapshot();
    const posting::PostOutcome out = post(d, 0);
    EXPECT_EQ(lines(d), 0);
    begin();
    for (qint64 half : {d, out.pair})
        EXPECT_EQ(posting::TransferReceiver(ctx(), half, half == d ? out.pair : d), out.pair);
    commit();
    EXPECT_EQ(unpost(d, 0), out.pair);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(lines(out.pair), 1);
    EXPECT_EQ(docValue(out.pair, "INT_PARAM1"), kitchen);
}

// ---- production pairs ----

TEST_F(Engine, UnpostingEitherHalfOfAProductionPairKeepsTheWriteOff)
{
    for (int half = 0; half < 2; ++half) {
        SCOPED_TRACE(half);
        PostDb f;
        const qint64 a = f.raw(QStringLiteral("Картофель"), stockOf(10, 20.00, 20.00));
        const qint64 dishKod = f.dish(QStringLiteral("Пюре"), 1, stockOf(0, 0));
        const qint64 w = f.doc(ProductionWriteOff, 0);
        const qint64 o = f.doc(Production, 0, 0, 0);
        f.exec(QStringLiteral("UPDATE DOCS SET INT_PARAM3 = %1 WHERE KOD = %2").arg(o).arg(w));
        f.exec(QStringLiteral("UPDATE DOCS SET INT_PARAM3 = %1 WHERE KOD = %2").arg(w).arg(o));
        f.line(o, dishKod, 5, 30.00, f.kitchen);
        f.line(w, a, 1.5, 20.00, f.kitchen);
        f.begin();
        posting::ProvodkaMove(f.ctx(), o);
        posting::ProvodkaMove(f.ctx(), w);
        f.commit();
        f.begin();
        const qint64 kept = posting::UnpostDocument(f.ctx(), half == 0 ? w : o, 0);
        f.commit();
        EXPECT_EQ(kept, w);
        EXPECT_EQ(f.num(QStringLiteral("SELECT COUNT(*) FROM DOCS WHERE KOD = %1").arg(o)), 0);
        EXPECT_EQ(f.num(QStringLiteral("SELECT PROVODKA FROM DOCS WHERE KOD = %1").arg(w)), 0);
        EXPECT_DOUBLE_EQ(f.stock(a, f.kitchen).kolvo, 10);
        EXPECT_DOUBLE_EQ(f.stock(dishKod, f.kitchen).kolvo, 0);
    }
}

TEST_F(Engine, ALongSplitTransferWritesOffTheSameAsShortOnes)
{
    // Past twenty lines the expansion reads the department at once: the
    // write-offs must come out as line by line.
    const Salad s = salad();
    const qint64 longDoc = doc(Transfer, kitchen, bar, 0, 0);
    for (int i = 0; i < 25; ++i)
        line(longDoc, i % 2 ? s.dish : s.onion, 1, 60.00);
    post(longDoc, 0);
    // 12 salads (0.25 potatoes, 0.1 onions each) and 13 onions.
    EXPECT_DOUBLE_EQ(stock(s.potato, kitchen).kolvo, 100 - 12 * 0.25);
    EXPECT_DOUBLE_EQ(stock(s.onion, kitchen).kolvo, 100 - 12 * 0.1 - 13);
    EXPECT_DOUBLE_EQ(stock(s.dish, bar).kolvo, 12);
    EXPECT_DOUBLE_EQ(stock(s.onion, bar).kolvo, 13);

    const qint64 shortDoc = doc(Transfer, kitchen, bar, 0, 0);
    line(shortDoc, s.dish, 12, 60.00);
    line(shortDoc, s.onion, 13, 60.00);
    post(shortDoc, 0);
    EXPECT_DOUBLE_EQ(stock(s.potato, kitchen).kolvo, 100 - 2 * 12 * 0.25);
    EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM MOVES WHERE KOD_DOC = %1").arg(longDoc)),
              num(QStringLiteral("SELECT COUNT(*) FROM MOVES WHERE KOD_DOC = %1").arg(shortDoc)));
}

TEST_F(Engine, ALongSplitTransferIsWrittenToTheLastByteAsItAlwaysWas)
{
    // Every column of every line, stock row and document that two long split
    // transfers write (one from the sending department's stock first),
    // against a fingerprint taken before the posting was made faster.
    const Salad s = salad(3);
    const qint64 dressing = dish(QStringLiteral("Заправка"), 1, stockOf(0.5, 12.5, 14));
    card(dressing, s.onion, 0.05, 90);
    card(dressing, s.potato, 0.01);
    const qint64 bowl = dish(QStringLiteral("Боул"), 2, stockOf(1, 80));
    card(bowl, s.dish, 0.5);
    card(bowl, dressing, 0.2, 95);
    card(bowl, s.onion, 0.03);
    const qint64 items[] = {bowl, s.dish, dressing, s.onion};
    for (int mode : {0, 2}) {
        const qint64 d = doc(Transfer, kitchen, bar, 0, mode);
        for (int i = 0; i < 23; ++i)
            line(d, items[(i * 3) % 4], 0.5 + i % 3, 60.00 + i * 0.37);
        post(d, 1 + mode / 2);
    }
    commit();
    const std::string tables =
        TableText(t, QStringLiteral("SELECT * FROM MOVES ORDER BY KOD")) + "\n" +
        TableText(t, QStringLiteral("SELECT * FROM ING_SKLAD ORDER BY KOD")) + "\n" +
        TableText(t, QStringLiteral("SELECT KOD, NAME, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, INT_PARAM1, "
                                    "INT_PARAM2, INT_PARAM3, PROVODKA, EDIT_CENA, TYPE_CENA, P FROM DOCS ORDER BY KOD"));
    EXPECT_EQ(QCryptographicHash::hash(QByteArray::fromStdString(tables), QCryptographicHash::Sha1).toHex().toStdString(),
              "996ce4b32dd0d8aa09ede22ae6089ffda39d2d32")
        << tables;
}

// ---- posting again after un-posting: the prices a later restore gives back ----

namespace {

void deleteWithOldPrices(PostDb& env, qint64 doc)
{
    env.begin();
    deletion::Options o;
    o.rollback = true;
    o.restorePrices = true;
    deletion::DeleteWithPair(env.ctx(), doc, o);
    env.commit();
}

} // namespace

TEST_F(Engine, ATransferPostedAgainAndDeletedWithOldPricesNeverRepricesTheSender)
{
    // Kitchen 100 @ 40, bar 10 @ 50; 5 kitchen -> bar by the weighted average.
    const qint64 a = raw(QStringLiteral("Сыр"), stockOf(100, 40.00, 40.00), stockOf(10, 50.00, 50.00));
    const qint64 d = doc(Transfer, kitchen, bar, 0, 1);
    line(d, a, 5, 40.00);
    commit();
    const posting::PostOutcome first = post(d, 1);
    const qint64 kept = unpost(first.pair, 0);  // keeping the prices: the bar stays at 46.67
    const Stock barBefore = stock(a, bar);
    EXPECT_DOUBLE_EQ(barBefore.cena, 46.67);
    const posting::PostOutcome again = post(kept, 1);
    ASSERT_NE(again.pair, 0);
    EXPECT_NE(stock(a, bar).cena, barBefore.cena);
    // The sender's lines changed no price and carry none a restore could take.
    EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM MOVES WHERE KOD_DOC = %1 AND OLD_CENA IS NOT NULL").arg(kept)), 0);

    deleteWithOldPrices(*this, kept);
    EXPECT_EQ(docs(), 0);
    const Stock k = stock(a, kitchen);
    EXPECT_DOUBLE_EQ(k.kolvo, 100);
    EXPECT_DOUBLE_EQ(k.cena, 40.00);
    const Stock b = stock(a, bar);
    EXPECT_DOUBLE_EQ(b.kolvo, 10);
    EXPECT_DOUBLE_EQ(b.cena, barBefore.cena);
}

TEST_F(Engine, AReceiptTurnedIntoAnIssueAndDeletedWithOldPricesKeepsThePriceTheIssueNeverChanged)
{
    const qint64 a = raw(QStringLiteral("Мука"), stockOf(10, 50.00, 50.00));
    const qint64 d = doc(Receipt, kitchen, 0, 0);
    line(d, a, 10, 70.00);
    commit();
    post(d, 2);  // the document's price: 20 @ 70
    unpost(d, 0);
    EXPECT_DOUBLE_EQ(stock(a, kitchen).cena, 70.00);
    exec(QStringLiteral("UPDATE DOCS SET DOC_TYPE = 6 WHERE KOD = %1").arg(d));
    post(d, 2);
    EXPECT_DOUBLE_EQ(stock(a, kitchen).kolvo, 0);
    EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM MOVES WHERE KOD_DOC = %1 AND OLD_CENA IS NOT NULL").arg(d)), 0);

    deleteWithOldPrices(*this, d);
    const Stock s = stock(a, kitchen);
    EXPECT_DOUBLE_EQ(s.kolvo, 10);
    EXPECT_DOUBLE_EQ(s.cena, 70.00);
}

TEST_F(Engine, AReceiptPostedAgainGivesBackThePriceBeforeThatPosting)
{
    const qint64 a = raw(QStringLiteral("Мука"), stockOf(10, 50.00, 50.00));
    const qint64 d = doc(Receipt, kitchen, 0, 0);
    line(d, a, 10, 70.00);
    commit();
    post(d, 2);
    unpost(d, 0);  // 10 @ 70 kept
    exec(QStringLiteral("UPDATE MOVES SET CENA = 90 WHERE KOD_DOC = %1").arg(d));
    post(d, 2);
    EXPECT_DOUBLE_EQ(stock(a, kitchen).cena, 90.00);
    unpost(d, 1);
    EXPECT_DOUBLE_EQ(stock(a, kitchen).cena, 70.00);
    post(d, 2);
    deleteWithOldPrices(*this, d);
    EXPECT_DOUBLE_EQ(stock(a, kitchen).cena, 70.00);
    EXPECT_DOUBLE_EQ(stock(a, kitchen).kolvo, 10);
}

// ---- pairs across enterprises and deletion of a production pair ----

TEST_F(Engine, ASplitTransferToAnotherEnterpriseSwapsThemOnTheReceiptAndBackAfterUnposting)
{
    const Salad s = salad();
    begin();
    const qint64 other = b->firma(QStringLiteral("Кафе на вокзале"));
    const qint64 hall = b->otdel(other, QStringLiteral("Зал"));
    b->sklad(s.dish, other, hall, {});
    commit();
    const qint64 d = doc(Transfer, kitchen, hall, 0, 0, 1);
    exec(QStringLiteral("UPDATE DOCS SET KOD_PARTNER_IMPORT = %1 WHERE KOD = %2").arg(other).arg(d));
    line(d, s.dish, 2, 60.00);

    const posting::PostOutcome out = post(d, 2);
    ASSERT_NE(out.pair, 0);
    // The receipt is the receiving enterprise's: its own first, the sender second.
    EXPECT_EQ(docValue(out.pair, "KOD_PARTNER_EXPORT"), other);
    EXPECT_EQ(docValue(out.pair, "KOD_PARTNER_IMPORT"), firma);
    EXPECT_EQ(docValue(d, "KOD_PARTNER_EXPORT"), firma);
    EXPECT_EQ(docValue(d, "KOD_PARTNER_IMPORT"), other);
    EXPECT_DOUBLE_EQ(stock(s.dish, hall).kolvo, 2);

    const qint64 kept = unpost(d, 0);
    EXPECT_EQ(kept, out.pair);
    EXPECT_EQ(docValue(kept, "KOD_PARTNER_EXPORT"), firma);
    EXPECT_EQ(docValue(kept, "KOD_PARTNER_IMPORT"), other);
    EXPECT_EQ(docValue(kept, "INT_PARAM1"), kitchen);
    EXPECT_EQ(docValue(kept, "INT_PARAM2"), hall);
    EXPECT_DOUBLE_EQ(stock(s.dish, hall).kolvo, 0);
    EXPECT_DOUBLE_EQ(stock(s.potato, kitchen).kolvo, 100);
}

TEST_F(Engine, DeletingAPostedProductionWriteOffTakesItsOutputWithItAndRollsBothBack)
{
    const Salad s = salad();
    const Snapshot before = snapshot();
    // The pair as production posting leaves it: the write-off of the
    // ingredients and the output of the dish, naming each other.
    const qint64 off = doc(ProductionWriteOff, kitchen);
    line(off, s.potato, 0.5, 20.00, kitchen);
    line(off, s.onion, 0.2, 30.00, kitchen);
    const qint64 made = doc(Production, kitchen);
    line(made, s.dish, 2, 10.00, kitchen);
    exec(QStringLiteral("UPDATE DOCS SET INT_PARAM3 = %1 WHERE KOD = %2").arg(made).arg(off));
    exec(QStringLiteral("UPDATE DOCS SET INT_PARAM3 = %1 WHERE KOD = %2").arg(off).arg(made));
    begin();
    posting::ProvodkaMove(ctx(), off);
    posting::ProvodkaMove(ctx(), made);
    commit();
    EXPECT_DOUBLE_EQ(stock(s.potato, kitchen).kolvo, 99.5);
    EXPECT_DOUBLE_EQ(stock(s.dish, kitchen).kolvo, 2);

    begin();
    deletion::Options o;
    o.rollback = true;
    deletion::DeleteWithPair(ctx(), off, o);
    commit();
    EXPECT_EQ(docs(), 0);
    EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM MOVES")), 0);
    EXPECT_EQ(snapshot(), before);
}
