// The technological cards against the in-memory office: cards one below the
// other with copied headers and end blocks, the recipe, both modes.

#include "printing/CostingReportsFixture.h"

#include "reports/TechCards.h"

using namespace templates;

namespace {

class TechCards : public CostingReports {
protected:
    void cards(int recept = -1)
    {
        std::initializer_list<Var> base = {
            {"date", LocHeader, "A2"},  {"firma", LocHeader, "B2"}, {"otdel", LocHeader, "C2"},
            {"fo", LocHeader, "B3"},    {"bludo", LocHeader, "B4"}, {"kolvo", LocHeader, "D4"},
            {"vihod", LocHeader, "E4"}, {"nstr", LocTable, "A1"},   {"ing", LocTable, "B1"},
            {"brutto", LocTable, "C1"}, {"netto", LocTable, "D1"},  {"edizm", LocTable, "E1"},
            {"s3", LocTable, "F1", 1, "г"}};
        form = layout(10, base, 1001);
        if (recept >= 0) {
            TemplateVariable v = PlacedVariable(QStringLiteral("recept"), LocTable, QStringLiteral("B1"));
            v.ENABLED = recept;
            InsertVariable(c.t, form, v);
        }
    }
    bool print(qint64 document, int mode)
    {
        reports::techcards::Options o;
        o.document = document;
        o.mode = mode;
        return reports::techcards::Print(ctx(), o, office, cache());
    }
    // Three raw products on the card of a dish for one portion.
    qint64 dishOfThree(const QString& name)
    {
        const qint64 dish = c.dish(name, 1);
        c.card(dish, c.raw(name + QStringLiteral(" 1"), 1), 1);
        c.card(dish, c.raw(name + QStringLiteral(" 2"), 1), 2, 50);
        c.card(dish, c.raw(name + QStringLiteral(" 3"), 1), 3);
        return dish;
    }

    qint64 form = 0;
};

TEST_F(TechCards, TwoCardsOfThreeRowsOneBelowTheOther)
{
    cards();
    const qint64 g = unit(QStringLiteral("г"));
    const qint64 soup = dishOfThree(QStringLiteral("Суп"));
    const qint64 tea = dishOfThree(QStringLiteral("Чай"));
    ing(soup, QStringLiteral("VIHOD_BLUDA = '300'"));
    c.exec(QStringLiteral("UPDATE ING SET ED_IZM = %1 WHERE NAME = 'Суп 1'").arg(g));
    const qint64 d = doc(QStringLiteral("1"), QDate(2026, 12, 7), 7, 0);
    line(d, soup, 3, 0);
    line(d, tea, 1, 0);
    ASSERT_TRUE(print(d, 1));

    // First card: its header fills the template's own header, rows 8 to 10, end block 11 to 15.
    EXPECT_EQ(text("A1"), QStringLiteral("Шапка"));
    EXPECT_EQ(text("B2"), QStringLiteral("Столовая"));
    EXPECT_EQ(text("C2"), QStringLiteral("Кухня"));
    EXPECT_EQ(text("B3"), QStringLiteral("Столовая, Кухня"));
    EXPECT_EQ(text("B4"), QStringLiteral("Суп"));
    EXPECT_EQ(at("D4"), QVariant(3.0));
    EXPECT_EQ(text("E4"), QStringLiteral("300"));
    EXPECT_EQ(column('B', 8, 10), (QStringList{QStringLiteral("Суп 1"), QStringLiteral("Суп 2"), QStringLiteral("Суп 3")}));
    // Three portions of a one-portion card: every amount tripled; 50 % yield doubles the gross.
    EXPECT_EQ(at("C9"), QVariant(12.0));
    EXPECT_EQ(at("D9"), QVariant(6.0));
    EXPECT_EQ(text("E8"), QStringLiteral("г"));
    EXPECT_EQ(text("E9"), QString());
    EXPECT_EQ(text("F8"), QStringLiteral("г"));
    EXPECT_EQ(text("A11"), QStringLiteral("Итого"));
    EXPECT_EQ(text("A15"), QStringLiteral("Подпись"));
    // Second card: the header copied to rows 17 to 23 and filled there, rows 24 to 26, end block 27 to 31.
    EXPECT_EQ(text("A17"), QStringLiteral("Шапка"));
    EXPECT_EQ(text("B20"), QStringLiteral("Чай"));
    EXPECT_EQ(at("D20"), QVariant(1.0));
    EXPECT_EQ(column('A', 24, 26), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(text("B24"), QStringLiteral("Чай 1"));
    EXPECT_EQ(text("A27"), QStringLiteral("Итого"));
    EXPECT_EQ(text("A31"), QStringLiteral("Подпись"));
    // One grid from the first card's first row over all cards: A8:F32.
    EXPECT_GT(office.last().stateAt(QStringLiteral("F32")).bottomWidth, 0);
    EXPECT_GT(office.last().stateAt(QStringLiteral("A8")).leftWidth, 0);
    EXPECT_EQ(office.last().stateAt(QStringLiteral("F33")).bottomWidth, 0);
    EXPECT_TRUE(office.last().visible);
}

TEST_F(TechCards, RecipeLinesBelowTheEndBlockAndTheNextCardBelowThem)
{
    cards(1);
    const qint64 soup = dishOfThree(QStringLiteral("Суп"));
    const qint64 tea = dishOfThree(QStringLiteral("Чай"));
    recipe(soup, QStringLiteral("Варить\nПосолить"));
    const qint64 d = doc(QStringLiteral("1"), QDate(2026, 12, 7), 7, 0);
    line(d, soup, 1, 0);
    line(d, tea, 1, 0);
    ASSERT_TRUE(print(d, 1));
    // End block 11..15, returned row 17; the recipe from row 16, then two rows on.
    EXPECT_EQ(text("B16"), QStringLiteral("Варить"));
    EXPECT_EQ(text("B17"), QStringLiteral("Посолить"));
    EXPECT_EQ(text("A20"), QStringLiteral("Шапка"));
    EXPECT_EQ(text("B23"), QStringLiteral("Чай"));
    EXPECT_EQ(text("B27"), QStringLiteral("Чай 1"));

    // An empty recipe still moves the next card one row lower than a disabled recipe would.
    recipe(soup, QString());
    ASSERT_TRUE(print(d, 1));
    EXPECT_EQ(text("A18"), QStringLiteral("Шапка"));
    EXPECT_EQ(text("B25"), QStringLiteral("Чай 1"));
}

TEST_F(TechCards, OneLevelShowsSemiFinishedAndNoIngCountsAsRaw)
{
    cards();
    const qint64 flour = c.raw(QStringLiteral("Мука"), 10);
    const qint64 jam = c.raw(QStringLiteral("Варенье"), 10);
    const qint64 dough = c.dish(QStringLiteral("Тесто"), 1);
    c.card(dough, flour, 0.5);
    const qint64 bought = c.dish(QStringLiteral("Крем покупной"), 1);
    c.card(bought, flour, 1);
    c.exec(QStringLiteral("UPDATE ING_SKLAD SET NO_ING = 1 WHERE KOD_ING = %1").arg(bought));
    const qint64 pie = c.dish(QStringLiteral("Пирог"), 2);
    c.card(pie, dough, 2);
    c.card(pie, jam, 1);
    c.card(pie, bought, 1);
    const qint64 d = doc(QStringLiteral("1"), QDate(2026, 12, 7), 7, 0);
    line(d, pie, 2, 0);
    line(d, bought, 1, 0);

    ASSERT_TRUE(print(d, 2));
    EXPECT_EQ(column('B', 8, 10), (QStringList{QStringLiteral("П.Ф. - Тесто"), QStringLiteral("Варенье"),
                                               QStringLiteral("П.Ф. - Крем покупной")}));
    EXPECT_EQ(at("C8"), QVariant(4.0));

    ASSERT_TRUE(print(d, 1));
    QStringList first = column('B', 8, 10);
    first.sort();
    EXPECT_EQ(first, (QStringList{QStringLiteral("Варенье"), QStringLiteral("Крем покупной"), QStringLiteral("Мука")}));
    EXPECT_EQ(text("A11"), QStringLiteral("Итого"));
    // A dish marked NO_ING is its own single row, for the line's quantity.
    EXPECT_EQ(text("B24"), QStringLiteral("Крем покупной"));
    EXPECT_EQ(at("C24"), QVariant(1.0));
    EXPECT_EQ(text("A25"), QStringLiteral("Итого"));
}

TEST_F(TechCards, ADocumentWithoutPositiveLinesOpensNothing)
{
    cards();
    const qint64 soup = dishOfThree(QStringLiteral("Суп"));
    const qint64 d = doc(QStringLiteral("1"), QDate(2026, 12, 7), 7, 0);
    line(d, soup, 0, 0);
    line(d, soup, -1, 0);
    EXPECT_FALSE(print(d, 1));
    EXPECT_TRUE(office.books.isEmpty());
}

} // namespace
