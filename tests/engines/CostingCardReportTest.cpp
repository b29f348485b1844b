// The costing card print against the in-memory office: the card's rows in
// both modes, the end block's markups and money texts, the recipe lines.

#include "printing/CostingReportsFixture.h"

#include "reports/CostingCard.h"

using namespace templates;

namespace {

class CostingCardReport : public CostingReports {
protected:
    void SetUp() override
    {
        layout(7,
               {{"date", LocHeader, "A2"},          {"firma", LocHeader, "B3"},       {"otdel", LocHeader, "B4"},
                {"name_b", LocHeader, "B5"},        {"nstr", LocTable, "A1"},         {"name_i", LocTable, "B1"},
                {"kolvo", LocTable, "C1"},          {"kolvo_n", LocTable, "D1"},      {"cena_s", LocTable, "E1"},
                {"cena_p", LocTable, "F1"},         {"sum_i_s", LocTable, "G1"},      {"sum_i_p", LocTable, "H1"},
                {"kalories_kk", LocTable, "I1"},    {"s5", LocTable, "J1", 1, "*"},   {"porc", LocEnd, "B1"},
                {"itogo_s", LocEnd, "G1"},          {"itogo_p", LocEnd, "H1"},        {"nac_p_s", LocEnd, "B2"},
                {"nac_p_p", LocEnd, "C2"},          {"nac_s_s", LocEnd, "D2"},        {"nac_ps_s", LocEnd, "E2"},
                {"nac_s_p", LocEnd, "F2"},          {"nac_ps_p", LocEnd, "G2"},       {"vihod", LocEnd, "B3"},
                {"kalories_sum", LocEnd, "C3"},     {"cena_b", LocEnd, "D3"},         {"recept", LocEnd, "A4"}},
               701);
    }

    reports::card::Options options(qint64 product, int mode, int priceChoice = 1)
    {
        reports::card::Options o;
        o.product = product;
        o.firmaName = QStringLiteral("Столовая");
        o.otdel = c.otdel;
        o.otdelName = QStringLiteral("Кухня");
        o.mode = mode;
        o.priceChoice = priceChoice;
        return o;
    }

    void print(const reports::card::Options& o)
    {
        const engine::Context x = ctx();
        reports::card::Print(x, o, office, cache());
    }
};

TEST(CardMoneyText, RoundsToEvenHundredthsUnpaddedWithOneSign)
{
    const QString r = QStringLiteral("руб.");
    const QString k = QStringLiteral("коп.");
    EXPECT_EQ(reports::CardMoneyText(50, r, k), QStringLiteral("50руб. 0коп."));
    EXPECT_EQ(reports::CardMoneyText(0.05, r, k), QStringLiteral("0руб. 5коп."));
    EXPECT_EQ(reports::CardMoneyText(125.5, r, k), QStringLiteral("125руб. 50коп."));
    EXPECT_EQ(reports::CardMoneyText(-1.5, r, k), QStringLiteral("-1руб. 50коп."));
    EXPECT_EQ(reports::CardMoneyText(-0.07, r, k), QStringLiteral("-0руб. 7коп."));
    EXPECT_EQ(reports::CardMoneyText(0.125, r, k), QStringLiteral("0руб. 12коп."));  // 12.5 hundredths, to even
    EXPECT_EQ(reports::CardMoneyText(0.375, r, k), QStringLiteral("0руб. 38коп."));
    EXPECT_EQ(reports::MemoLines(QStringLiteral("Нарезать\r\nОбжарить\r\n")),
              (QStringList{QStringLiteral("Нарезать"), QStringLiteral("Обжарить")}));
    EXPECT_TRUE(reports::MemoLines(QString()).isEmpty());
}

TEST_F(CostingCardReport, OwnRowsWithSemiFinishedMarkedAndTheEndBlock)
{
    // Two portions sold at 150; the card costs 200 at stock prices and 240 at selling prices.
    const qint64 meat = c.raw(QStringLiteral("Говядина"), 40, 50, 2);
    const qint64 sauce = c.dish(QStringLiteral("Соус"), 1);
    const qint64 tomato = c.raw(QStringLiteral("Томат"), 10, 10);
    c.card(sauce, tomato, 1);
    const qint64 dish = c.dish(QStringLiteral("Гуляш"), 2, 2);
    c.exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 20, MY_CENA = 20 WHERE KOD_ING = %1").arg(sauce));
    c.exec(QStringLiteral("UPDATE ING_SKLAD SET MY_CENA = 150 WHERE KOD_ING = %1").arg(dish));
    c.card(dish, meat, 4, 80);   // net 4, gross 5: 200 at stock, 250 at selling prices
    c.card(dish, sauce, 0.5);    // gross 0.5 at 20 each way... see the sums below
    ing(dish, QStringLiteral("VIHOD_BLUDA = '250/50', KALORIES = 310"));
    recipe(dish, QStringLiteral("Нарезать\r\nОбжарить\r\nТушить"));
    print(options(dish, 0));

    EXPECT_TRUE(at("A2").isValid());
    EXPECT_EQ(text("B3"), QStringLiteral("Столовая"));
    EXPECT_EQ(text("B4"), QStringLiteral("Кухня"));
    EXPECT_EQ(text("B5"), QStringLiteral("Гуляш"));
    EXPECT_EQ(at("A8"), QVariant(1.0));
    EXPECT_EQ(text("B8"), QStringLiteral("Говядина"));
    EXPECT_EQ(at("C8"), QVariant(5.0));
    EXPECT_EQ(at("D8"), QVariant(4.0));
    EXPECT_EQ(at("E8"), QVariant(40.0));
    EXPECT_EQ(at("F8"), QVariant(50.0));
    EXPECT_EQ(at("G8"), QVariant(200.0));
    EXPECT_EQ(at("H8"), QVariant(250.0));
    EXPECT_EQ(at("I8"), QVariant(10.0));
    EXPECT_EQ(text("J8"), QStringLiteral("*"));
    EXPECT_EQ(text("B9"), QStringLiteral("П.Ф. - Соус"));
    EXPECT_EQ(at("C9"), QVariant(0.5));
    // End block from row 10: S_s = 210, S_p = 260, N = 2, P = 150.
    EXPECT_EQ(text("A10"), QStringLiteral("Итого"));
    EXPECT_EQ(text("B10"), QStringLiteral("2"));
    EXPECT_EQ(at("G10"), QVariant(210.0));
    EXPECT_EQ(at("H10"), QVariant(260.0));
    EXPECT_NEAR(at("B11").toDouble(), 150 * 100 / 105.0 - 100, 1e-9);
    EXPECT_NEAR(at("C11").toDouble(), 150 * 100 / 130.0 - 100, 1e-9);
    EXPECT_EQ(text("D11"), QStringLiteral("45руб. 0коп."));
    EXPECT_EQ(text("E11"), QStringLiteral("90руб. 0коп."));
    EXPECT_EQ(text("F11"), QStringLiteral("20руб. 0коп."));
    EXPECT_EQ(text("G11"), QStringLiteral("40руб. 0коп."));
    EXPECT_EQ(text("B12"), QStringLiteral("250/50"));
    EXPECT_EQ(at("C12"), QVariant(310.0));
    EXPECT_EQ(text("D12"), QStringLiteral("150руб. 0коп."));
    EXPECT_EQ(text("A13"), QStringLiteral("Нарезать"));
    EXPECT_EQ(text("A14"), QStringLiteral("Обжарить"));
    EXPECT_EQ(text("A15"), QStringLiteral("Тушить"));
    // The grid covers the card's rows only.
    EXPECT_GT(office.last().stateAt(QStringLiteral("F9")).bottomWidth, 0);
    EXPECT_EQ(office.last().stateAt(QStringLiteral("F10")).bottomWidth, 0);
}

TEST_F(CostingCardReport, EndBlockOfThePartsExample)
{
    // P 150, N 2, S_s 200, S_p 240: 50 % and 25 %.
    const qint64 a = c.raw(QStringLiteral("Мука"), 100, 120);
    const qint64 dish = c.dish(QStringLiteral("Блины"), 1, 2);
    c.exec(QStringLiteral("UPDATE ING_SKLAD SET MY_CENA = 150 WHERE KOD_ING = %1").arg(dish));
    c.card(dish, a, 2);
    print(options(dish, 0));
    // One row at 8, the end block from row 9.
    EXPECT_EQ(at("G9"), QVariant(200.0));
    EXPECT_EQ(at("H9"), QVariant(240.0));
    EXPECT_EQ(at("B10"), QVariant(50.0));
    EXPECT_EQ(at("C10"), QVariant(25.0));
    EXPECT_EQ(text("D10"), QStringLiteral("50руб. 0коп."));
    EXPECT_EQ(text("E10"), QStringLiteral("100руб. 0коп."));
    EXPECT_EQ(text("F10"), QStringLiteral("30руб. 0коп."));
    EXPECT_EQ(text("G10"), QStringLiteral("60руб. 0коп."));
    EXPECT_EQ(text("D11"), QStringLiteral("150руб. 0коп."));
}

TEST_F(CostingCardReport, DownToRawProductsMergesTheSameProductAndLeavesCompositesOut)
{
    const qint64 oil = c.raw(QStringLiteral("Масло"), 10, 12);
    const qint64 onion = c.raw(QStringLiteral("Лук"), 2, 3);
    const qint64 fry = c.dish(QStringLiteral("Зажарка"), 1);
    c.card(fry, onion, 1);
    c.card(fry, oil, 0.5);
    const qint64 dough = c.dish(QStringLiteral("Тесто"), 1);
    c.card(dough, oil, 0.25);
    const qint64 pie = c.dish(QStringLiteral("Пирог"), 2);
    c.card(pie, fry, 1);
    c.card(pie, dough, 2);
    print(options(pie, 1));

    // Raw rows only; the oil of both semi-finished products is one row (0.5 + 2 x 0.25).
    QStringList names;
    for (int r = 8; r <= 9; ++r)
        names << office.last().at(QStringLiteral("B%1").arg(r)).toString();
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("Лук"), QStringLiteral("Масло")}));
    const int oilRow = text("B8") == QStringLiteral("Масло") ? 8 : 9;
    EXPECT_EQ(office.last().at(QStringLiteral("C%1").arg(oilRow)), QVariant(1.0));
    EXPECT_EQ(office.last().at(QStringLiteral("H%1").arg(oilRow)), QVariant(12.0));
    EXPECT_EQ(at("A9"), QVariant(2.0));
    EXPECT_EQ(text("A10"), QStringLiteral("Итого"));
    EXPECT_EQ(at("G10"), QVariant(12.0));  // 1 x 10 + 1 x 2 at stock prices

    // A raw product itself prints one row: itself, for its portions.
    print(options(onion, 1));
    EXPECT_EQ(text("B8"), QStringLiteral("Лук"));
    EXPECT_EQ(at("C8"), QVariant(1.0));
    EXPECT_EQ(text("A9"), QStringLiteral("Итого"));
}

TEST_F(CostingCardReport, ACardWithoutRowsInTheDepartmentPrintsTheEndBlockWithoutPercentages)
{
    const qint64 dish = c.dish(QStringLiteral("Пустое"), 1, 1);
    c.exec(QStringLiteral("UPDATE ING_SKLAD SET MY_CENA = 1.5 WHERE KOD_ING = %1").arg(dish));
    print(options(dish, 0));
    EXPECT_EQ(text("A8"), QStringLiteral("Итого"));
    EXPECT_FALSE(at("B9").isValid());
    EXPECT_FALSE(at("C9").isValid());
    EXPECT_EQ(text("D9"), QStringLiteral("1руб. 50коп."));
    EXPECT_EQ(text("A11"), QString());  // no recipe

    // Without a selling-price row the price is 0 and the markups negative, with one sign.
    const qint64 a = c.raw(QStringLiteral("Соль"), 1.5, 1.5);
    const qint64 other = c.dish(QStringLiteral("Без цены"), 1);
    c.card(other, a, 1);
    print(options(other, 0));
    EXPECT_EQ(at("B10"), QVariant(-100.0));
    EXPECT_EQ(text("D10"), QStringLiteral("-1руб. 50коп."));
}

} // namespace
