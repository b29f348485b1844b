// Posting of production and sales documents by the posting engine on a real
// database: what each write-off mode takes, the paired production output,
// lines without quantity, and un-posting that gives everything back.

#include "documents/PostingFixture.h"

#include "costing/CostingError.h"
#include "posting/RealPosting.h"

#include <QCryptographicHash>

namespace {

class RealDb : public PostDb {
public:
    // A line at the selling price cena and the stock price cenaSklad (a null QVariant: none).
    qint64 realLine(qint64 doc, qint64 ing, double kolvo, double cena, qint64 otdel = 0, QVariant cenaSklad = 0.0)
    {
        begin();
        db::Query q(&t.db(), &t.write());
        q.setSql(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                                "VALUES (:D, :I, :O, :Q, :C, :CS)"));
        if (cenaSklad.isNull())
            q.param(QStringLiteral("CS")).setNull();
        else
            q.param(QStringLiteral("CS")).setDouble(cenaSklad.toDouble());
        q.param(QStringLiteral("D")).setInt64(doc);
        q.param(QStringLiteral("I")).setInt64(ing);
        q.param(QStringLiteral("O")).setInt64(otdel ? otdel : kitchen);
        q.param(QStringLiteral("Q")).setDouble(kolvo);
        q.param(QStringLiteral("C")).setDouble(cena);
        q.execSql();
        return num(QStringLiteral("SELECT MAX(KOD) FROM REAL_BLUDO"));
    }
    posting::RealOutcome post(qint64 doc, int rule = 0)
    {
        begin();
        const posting::RealOutcome out = posting::PostRealDocument(ctx(), doc, rule);
        commit();
        return out;
    }
    // The write-off lines of a document: product -> (quantity, price).
    std::map<qint64, std::pair<double, double>> writeOffs(qint64 doc)
    {
        commit();
        auto q = t.select(QStringLiteral("SELECT KOD_ING, KOLVO, CENA, TYPE_MOVES FROM MOVES WHERE KOD_DOC = %1").arg(doc));
        std::map<qint64, std::pair<double, double>> out;
        for (q->first(); !q->eof(); q->next()) {
            EXPECT_EQ(q->field(3).asInt(), 2);
            auto& v = out[q->field(0).asInt64()];
            v.first += q->field(1).asDouble();
            v.second = q->field(2).asDouble();
        }
        return out;
    }
    std::string realLines()
    {
        commit();
        return TableText(t, QStringLiteral("SELECT KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD FROM REAL_BLUDO ORDER BY KOD"));
    }
    std::string allDocs()
    {
        commit();
        return TableText(t, QStringLiteral("SELECT * FROM DOCS ORDER BY KOD"));
    }
    std::string allMoves()
    {
        commit();
        return TableText(t, QStringLiteral("SELECT * FROM MOVES ORDER BY KOD"));
    }
};

constexpr int kSale = posting::DocType::Sales;
constexpr int kProduction = posting::DocType::ProductionWriteOff;

} // namespace

TEST(RealPosting, ASaleOfFinishedDishesWritesThemOffAtTheLinePriceToTheKopeck)
{
    RealDb d;
    const qint64 soup = d.dish(QStringLiteral("Суп"), 1, stockOf(20, 10));
    const qint64 tea = d.dish(QStringLiteral("Чай"), 1, stockOf(20, 3));
    const qint64 x = d.doc(kSale, 0, 0, 0, posting::WriteOffMode::Finished);
    d.realLine(x, soup, 3, 12.3456);
    d.realLine(x, tea, 2, 0.125);  // an exact half goes to the even kopeck
    const posting::RealOutcome out = d.post(x);
    EXPECT_TRUE(out.posted);
    EXPECT_EQ(out.output, 0);
    const auto w = d.writeOffs(x);
    ASSERT_EQ(w.size(), 2u);
    EXPECT_DOUBLE_EQ(w.at(soup).first, 3);
    EXPECT_DOUBLE_EQ(w.at(soup).second, 12.35);
    EXPECT_DOUBLE_EQ(w.at(tea).second, 0.12);
    EXPECT_DOUBLE_EQ(d.stock(soup, d.kitchen).kolvo, 17);
    EXPECT_EQ(d.num(QStringLiteral("SELECT PROVODKA FROM DOCS WHERE KOD = %1").arg(x)), 11);
    // The lines stay as they were entered.
    EXPECT_DOUBLE_EQ(d.value(QStringLiteral("SELECT CENA FROM REAL_BLUDO WHERE KOD_DOC = %1 AND KOD_ING = %2").arg(x).arg(soup)).toDouble(),
                     12.3456);
}

TEST(RealPosting, AProductionWritesOffTheIngredientsGrossAndReceivesTheDishesInAPair)
{
    RealDb d;
    const qint64 a = d.raw(QStringLiteral("Картофель"), stockOf(10, 20));
    const qint64 dish = d.dish(QStringLiteral("Пюре"), 1, stockOf(0, 0));
    d.card(dish, a, 0.2, 80);
    const qint64 x = d.doc(kProduction, 0, 0, 0, posting::WriteOffMode::Ingredients);
    d.realLine(x, dish, 10, 12.3456, 0, 4.25);
    const posting::RealOutcome out = d.post(x, 2);
    ASSERT_TRUE(out.posted);
    ASSERT_NE(out.output, 0);

    const auto w = d.writeOffs(x);
    ASSERT_EQ(w.size(), 1u);
    EXPECT_NEAR(w.at(a).first, 2.5, 1e-9);  // net 2 at a yield of 80 %
    EXPECT_NEAR(d.stock(a, d.kitchen).kolvo, 7.5, 1e-9);
    // The output brings the ten dishes in at the line's stock price.
    EXPECT_NEAR(d.stock(dish, d.kitchen).kolvo, 10, 1e-9);
    EXPECT_DOUBLE_EQ(d.value(QStringLiteral("SELECT CENA FROM MOVES WHERE KOD_DOC = %1").arg(out.output)).toDouble(), 4.25);
    // The two name each other; the output carries the price rule and the header.
    EXPECT_EQ(d.num(QStringLiteral("SELECT INT_PARAM3 FROM DOCS WHERE KOD = %1").arg(x)), out.output);
    EXPECT_EQ(d.num(QStringLiteral("SELECT INT_PARAM3 FROM DOCS WHERE KOD = %1").arg(out.output)), x);
    EXPECT_EQ(d.num(QStringLiteral("SELECT DOC_TYPE FROM DOCS WHERE KOD = %1").arg(out.output)), 2);
    EXPECT_EQ(d.num(QStringLiteral("SELECT EDIT_CENA FROM DOCS WHERE KOD = %1").arg(out.output)), 2);
    EXPECT_EQ(d.num(QStringLiteral("SELECT PROVODKA FROM DOCS WHERE KOD = %1").arg(out.output)), 11);
    EXPECT_EQ(d.value(QStringLiteral("SELECT NAME FROM DOCS WHERE KOD = %1").arg(out.output)).toString(), QStringLiteral("12/1"));
}

TEST(RealPosting, ProducedDishesComeInAtTheirCostUnderEveryPriceRule)
{
    // A goulash costing 92.99 sells at 139.50 (a markup of 50 %, prices in
    // steps of 50 kopecks). Ten more made must leave both as they were under
    // every price rule of the output: a selling price taken as the cost would
    // make it 139.50 / 209.00. A line without a stock price comes in at the
    // cost the dish has.
    for (const int rule : {0, 1, 2}) {
        for (const QVariant& cenaSklad : {QVariant(92.99), QVariant()}) {
            SCOPED_TRACE(::testing::Message() << "rule " << rule << (cenaSklad.isNull() ? ", no stock price" : ""));
            RealDb d;
            const qint64 beef = d.raw(QStringLiteral("Говядина"), stockOf(50, 400));
            const qint64 goulash = d.dish(QStringLiteral("Гуляш"), 1, stockOf(4, 92.99, 139.50, 50));
            d.card(goulash, beef, 0.2);
            const qint64 x = d.doc(kProduction, 0, 0, 0, posting::WriteOffMode::Ingredients);
            d.realLine(x, goulash, 10, 139.50, 0, cenaSklad);
            const posting::RealOutcome out = d.post(x, rule);
            ASSERT_TRUE(out.posted);
            EXPECT_DOUBLE_EQ(d.value(QStringLiteral("SELECT CENA FROM MOVES WHERE KOD_DOC = %1").arg(out.output)).toDouble(),
                             92.99);
            const RealDb::Stock s = d.stock(goulash, d.kitchen);
            EXPECT_NEAR(s.kolvo, 14, 1e-9);
            EXPECT_DOUBLE_EQ(s.cena, 92.99);
            EXPECT_DOUBLE_EQ(s.myCena, 139.50);
        }
    }
}

TEST(RealPosting, StockModesTakeFromStockFirstAndModeZeroNever)
{
    // Dish D is 1 of semi-finished S and 0.1 of raw B; S is 0.5 of raw A.
    // 3 of D and 4 of S are in stock; the document makes or sells 10 of D.
    auto run = [](int mode, int type) {
        RealDb d;
        const qint64 a = d.raw(QStringLiteral("Мука"), stockOf(100, 10));
        const qint64 b = d.raw(QStringLiteral("Соль"), stockOf(100, 1));
        const qint64 s = d.dish(QStringLiteral("Тесто"), 1, stockOf(4, 6));
        d.card(s, a, 0.5);
        const qint64 dish = d.dish(QStringLiteral("Пирог"), 2, stockOf(3, 30));
        d.card(dish, s, 1);
        d.card(dish, b, 0.1);
        const qint64 x = d.doc(type, 0, 0, 0, mode);
        d.realLine(x, dish, 10, 50);
        d.post(x);
        std::map<QString, double> named;
        for (const auto& [k, v] : d.writeOffs(x))
            named[d.value(QStringLiteral("SELECT NAME FROM ING WHERE KOD = %1").arg(k)).toString()] = v.first;
        return named;
    };
    using W = std::map<QString, double>;
    auto expectSame = [](const W& got, const W& want) {
        ASSERT_EQ(got.size(), want.size());
        for (const auto& [name, q] : want)
            EXPECT_NEAR(got.at(name), q, 1e-9) << name.toStdString();
    };
    // Production keeps the dish it makes out of its own stock: the 4 of dough
    // in stock go first, the other 6 are made of flour.
    expectSame(run(2, kProduction), W{{QStringLiteral("Тесто"), 4}, {QStringLiteral("Мука"), 3}, {QStringLiteral("Соль"), 1}});
    // A sale takes the 3 dishes in stock, then makes 7.
    expectSame(run(2, kSale), W{{QStringLiteral("Пирог"), 3}, {QStringLiteral("Тесто"), 4}, {QStringLiteral("Мука"), 1.5},
                                {QStringLiteral("Соль"), 0.7}});
    // Without making: the semi-finished product is written off as itself.
    expectSame(run(3, kProduction), W{{QStringLiteral("Тесто"), 10}, {QStringLiteral("Соль"), 1}});
    // Mode 0 never looks at stock, whatever is there and whatever the type.
    for (const int type : {kProduction, kSale})
        expectSame(run(0, type), W{{QStringLiteral("Мука"), 5}, {QStringLiteral("Соль"), 1}});
}

TEST(RealPosting, LinesWithoutQuantityAreDroppedAndADocumentOfNothingElseIsNotPosted)
{
    RealDb d;
    const qint64 soup = d.dish(QStringLiteral("Суп"), 1, stockOf(20, 10));
    const qint64 tea = d.dish(QStringLiteral("Чай"), 1, stockOf(20, 3));
    const qint64 x = d.doc(kSale, 0, 0, 0, posting::WriteOffMode::Finished, 0, QStringLiteral("Р-1"));
    d.realLine(x, soup, 0, 10);
    d.realLine(x, tea, -2, 3);  // a negative line is posted as it stands
    d.post(x);
    EXPECT_EQ(d.num(QStringLiteral("SELECT COUNT(*) FROM REAL_BLUDO WHERE KOD_DOC = %1").arg(x)), 1);
    EXPECT_DOUBLE_EQ(d.stock(tea, d.kitchen).kolvo, 22);

    const qint64 y = d.doc(kProduction, 0, 0, 0, 0, 0, QStringLiteral("П-1"));
    d.realLine(y, soup, 0, 10);
    d.realLine(y, tea, 0, 3);
    const RealDb::Snapshot before = d.snapshot();
    const std::string lines = d.realLines();
    d.begin();
    const posting::RealOutcome out = posting::PostRealDocument(d.ctx(), y, 0);
    EXPECT_FALSE(out.posted);
    d.t.write().rollback();
    EXPECT_EQ(d.snapshot(), before);
    EXPECT_EQ(d.realLines(), lines);

    // Lines that never got a quantity (null) count as none, like zeros.
    d.exec(QStringLiteral("UPDATE REAL_BLUDO SET KOLVO = NULL WHERE KOD_DOC = %1").arg(y));
    const std::string nulls = d.realLines();
    d.begin();
    EXPECT_FALSE(posting::PostRealDocument(d.ctx(), y, 0).posted);
    d.t.write().rollback();
    EXPECT_EQ(d.snapshot(), before);
    EXPECT_EQ(d.realLines(), nulls);
}

TEST(RealPosting, ACyclicCardOrAPostedDocumentIsRefused)
{
    RealDb d;
    const qint64 p = d.dish(QStringLiteral("Соус"), 1, stockOf(0, 0));
    const qint64 q = d.dish(QStringLiteral("Основа"), 1, stockOf(0, 0));
    d.card(p, q, 1);
    d.card(q, p, 1);
    const qint64 x = d.doc(kSale, 0, 0, 0, 0);
    d.realLine(x, p, 1, 10);
    d.begin();
    try {
        posting::PostRealDocument(d.ctx(), x, 0);
        ADD_FAILURE() << "a cyclic card was expanded";
    } catch (const costing::CardError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("Соус")) || e.text().contains(QStringLiteral("Основа"))) << e.text().toStdString();
    }
    d.t.write().rollback();

    const qint64 y = d.doc(kSale, 0, 0, 0, 1);
    d.realLine(y, p, 1, 10);
    d.post(y);
    d.begin();
    EXPECT_THROW(posting::PostRealDocument(d.ctx(), y, 0), std::runtime_error);
    d.t.write().rollback();
}

TEST(RealPosting, UnpostingAProductionOrASaleRestoresStockDocumentsAndLinesExactly)
{
    for (const int type : {kProduction, kSale}) {
        SCOPED_TRACE(type);
        RealDb d;
        const qint64 a = d.raw(QStringLiteral("Картофель"), stockOf(10, 20, 26, 30));
        const qint64 s = d.dish(QStringLiteral("Заготовка"), 1, stockOf(1, 15, 15));
        d.card(s, a, 0.3);
        const qint64 dish = d.dish(QStringLiteral("Пюре"), 2, stockOf(2, 40, 40));
        d.card(dish, s, 1, 80);
        d.card(dish, a, 0.1);
        const qint64 x = d.doc(type, 0, 0, 0, 2);
        d.realLine(x, dish, 3, 55);
        d.realLine(x, a, 0, 26);
        d.realLine(x, s, 1, 20);
        d.begin();
        d.exec(QStringLiteral("DELETE FROM REAL_BLUDO WHERE KOLVO = 0"));
        const RealDb::Snapshot before = d.snapshot();
        const std::string docs = d.allDocs(), moves = d.allMoves(), lines = d.realLines();
        d.post(x, 1);
        EXPECT_NE(d.snapshot(), before);
        d.begin();
        EXPECT_EQ(posting::UnpostDocument(d.ctx(), x, 1), x);
        d.commit();
        EXPECT_EQ(d.snapshot(), before);
        EXPECT_EQ(d.allDocs(), docs);
        EXPECT_EQ(d.allMoves(), moves);
        EXPECT_EQ(d.realLines(), lines);
    }
}

TEST(RealPosting, ALongDocumentReadsItsCardTreesAndWritesOffWhatShortOnesWould)
{
    // Past twenty lines the expansion reads the card trees of the document's
    // products at once; what it writes off must not depend on that road.
    auto writeOffByName = [](bool oneLongDocument) {
        RealDb d;
        const qint64 flour = d.raw(QStringLiteral("Мука"), stockOf(1000, 10));
        const qint64 salt = d.raw(QStringLiteral("Соль"), stockOf(1000, 1));
        const qint64 egg = d.raw(QStringLiteral("Яйцо"), stockOf(1000, 8));
        d.raw(QStringLiteral("Не в документе"), stockOf(5, 5));
        const qint64 dough = d.dish(QStringLiteral("Тесто"), 1, stockOf(50, 6));
        d.card(dough, flour, 0.5, 80);
        d.card(dough, egg, 0.1);
        const qint64 pie = d.dish(QStringLiteral("Пирог"), 2, stockOf(0, 30));
        d.card(pie, dough, 1);
        d.card(pie, salt, 0.1);
        const qint64 bun = d.dish(QStringLiteral("Булка"), 1, stockOf(0, 30));
        d.card(bun, dough, 0.3);
        std::map<QString, double> named;
        auto collect = [&](qint64 x) {
            for (const auto& [k, v] : d.writeOffs(x))
                named[d.value(QStringLiteral("SELECT NAME FROM ING WHERE KOD = %1").arg(k)).toString()] += v.first;
        };
        const int lines = 25;
        qint64 x = d.doc(kProduction, 0, 0, 0, posting::WriteOffMode::Ingredients);
        for (int i = 0; i < lines; ++i) {
            if (!oneLongDocument && i == 12) {
                d.post(x);
                collect(x);
                x = d.doc(kProduction, 0, 0, 0, posting::WriteOffMode::Ingredients);
            }
            d.realLine(x, i % 2 ? pie : bun, 1 + i, 40);
        }
        d.post(x);
        collect(x);
        return named;
    };
    const auto longRoad = writeOffByName(true);
    const auto shortRoad = writeOffByName(false);
    ASSERT_EQ(longRoad.size(), 3u);
    ASSERT_EQ(longRoad.size(), shortRoad.size());
    for (const auto& [name, q] : shortRoad)
        EXPECT_NEAR(longRoad.at(name), q, 1e-9) << name.toStdString();
}

TEST(RealPosting, ALongProductionIsWrittenToTheLastByteAsItAlwaysWas)
{
    // Every column of every line, stock row and document that posting two
    // long productions writes (the card trees read at once, lines in the
    // order of the tab's list, two departments, average and line prices, one
    // from stock first), against a fingerprint of the posting as it stands,
    // so that making it faster changes nothing it writes.
    RealDb d;
    const qint64 flour = d.raw(QStringLiteral("Мука"), stockOf(1000, 10.37), stockOf(5, 11));
    const qint64 salt = d.raw(QStringLiteral("Соль"), stockOf(1000, 1.3));
    const qint64 egg = d.raw(QStringLiteral("Яйцо"), stockOf(1000, 8.11), stockOf(40, 9));
    const qint64 milk = d.raw(QStringLiteral("Молоко"), stockOf(3, 61.2));
    const qint64 dough = d.dish(QStringLiteral("Тесто"), 1, stockOf(2.5, 6.4, 7, 30));
    d.card(dough, flour, 0.5, 80);
    d.card(dough, egg, 0.1);
    d.card(dough, milk, 0.25, 95);
    const qint64 cream = d.dish(QStringLiteral("Крем"), 1, stockOf(1, 20));
    d.card(cream, milk, 0.3);
    d.card(cream, egg, 0.2, 90);
    const qint64 pie = d.dish(QStringLiteral("Щи"), 2, stockOf(0, 30, 45, 50));
    d.card(pie, dough, 1);
    d.card(pie, salt, 0.1);
    const qint64 cake = d.dish(QStringLiteral("Блины"), 2, stockOf(1, 50));
    d.card(cake, dough, 0.4);
    d.card(cake, cream, 0.3, 97);
    const qint64 bun = d.dish(QStringLiteral("Ватрушка"), 1, stockOf(0, 30));
    d.card(bun, dough, 0.3);
    d.card(bun, cream, 0.1);
    const qint64 dishes[] = {pie, cake, bun};
    for (int mode : {posting::WriteOffMode::Ingredients, posting::WriteOffMode::FinishedAndMade}) {
        const qint64 x = d.doc(kProduction, 0, 0, 0, mode);
        for (int i = 0; i < 24; ++i)
            d.realLine(x, dishes[(i * 7) % 3], 0.5 + i % 4, 40 + i * 1.01, i % 5 == 4 ? d.bar : d.kitchen, 25 + i * 0.73);
        d.post(x, 1 + mode / 2);
    }
    d.commit();
    const std::string tables =
        d.allMoves() + "\n" + TableText(d.t, QStringLiteral("SELECT * FROM ING_SKLAD ORDER BY KOD")) + "\n" +
        TableText(d.t, QStringLiteral("SELECT KOD, NAME, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, INT_PARAM1, "
                                      "INT_PARAM2, INT_PARAM3, PROVODKA, EDIT_CENA, TYPE_CENA, P FROM DOCS ORDER BY KOD"));
    EXPECT_EQ(QCryptographicHash::hash(QByteArray::fromStdString(tables), QCryptographicHash::Sha1).toHex().toStdString(),
              "81bd651fb26a299dd9c3a2f9af2ad426115d7c78")
        << tables;
}

TEST(RealPosting, AProductionOfManyProductsWritesOffEachOfThemOnceAtItsQuantityAndPrice)
{
    // 150 products on one card: more write-off lines than go to the server
    // at once, so every line of every batch and of the rest must land once,
    // with its own product, quantity and price.
    RealDb d;
    const int n = 150;
    const qint64 dish = d.dish(QStringLiteral("Сборная солянка"), 1, stockOf(0, 0));
    std::vector<qint64> products;
    for (int i = 0; i < n; ++i) {
        products.push_back(d.raw(QStringLiteral("Продукт %1").arg(i), stockOf(1000, 1 + i * 0.01)));
        d.card(dish, products.back(), 0.01 * (i + 1));
    }
    const qint64 x = d.doc(kProduction, 0, 0, 0, posting::WriteOffMode::Ingredients);
    d.realLine(x, dish, 2, 40);
    d.post(x);

    const auto w = d.writeOffs(x);
    EXPECT_EQ(d.num(QStringLiteral("SELECT COUNT(*) FROM MOVES WHERE KOD_DOC = %1").arg(x)), n);
    ASSERT_EQ(w.size(), static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        const qint64 p = products[static_cast<size_t>(i)];
        EXPECT_NEAR(w.at(p).first, 0.02 * (i + 1), 1e-9);
        EXPECT_NEAR(w.at(p).second, 1 + i * 0.01, 1e-9);
        EXPECT_NEAR(d.stock(p, d.kitchen).kolvo, 1000 - 0.02 * (i + 1), 1e-9);
    }
}
