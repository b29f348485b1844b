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

// A production of 2,000 lines prints in memory in about the time its
// reading takes, and every card comes out whole: its header copied and
// filled, its rows numbered from 1 under it, its end block below them; the
// rows of each copied header fitted (the title's larger type), and each card
// kept on one page from its header to its end block.
TEST_F(TechCards, TwoThousandCardsEachWholeAndKeptOnItsPage)
{
    cards();
    constexpr int kDishes = 40;
    constexpr int kLines = 2000;
    QList<qint64> dishes;
    QList<int> rowsOf;
    for (int i = 0; i < kDishes; ++i) {
        const QString name = QStringLiteral("Блюдо %1").arg(i);
        const qint64 dish = c.dish(name, 1);
        const int rows = 2 + i % 7;
        for (int r = 0; r < rows; ++r)
            c.card(dish, c.raw(name + QStringLiteral(", продукт %1").arg(r), 1), 1 + r);
        dishes << dish;
        rowsOf << rows;
    }
    const qint64 d = doc(QStringLiteral("1"), QDate(2026, 12, 7), 7, 0);
    for (int k = 0; k < kLines; ++k)
        line(d, dishes[k % kDishes], 1 + k % 3, 0);
    ASSERT_TRUE(print(d, 1));

    const automation::RecordedBook& b = office.last();
    const automation::RecordedSheet& sheet = b.sheets.at(0);
    QList<int> starts;
    for (const auto& [pos, st] : sheet.cells)
        if (pos.second == 0 && st.content == QVariant(QStringLiteral("Шапка")))
            starts << pos.first;
    ASSERT_EQ(starts.size(), kLines);
    ASSERT_EQ(sheet.keptTogether.size(), kLines);
    const auto textAt = [&](int row, int column) {
        const auto it = sheet.cells.find({row, column});
        return it == sheet.cells.end() ? QString() : it->second.content.toString();
    };
    for (int k = 0; k < kLines; ++k) {
        const int top = starts[k];
        const int rows = rowsOf[k % kDishes];
        const QString dish = QStringLiteral("Блюдо %1").arg(k % kDishes);
        ASSERT_EQ(textAt(top + 3, 1), dish) << "card " << k;
        for (int r = 0; r < rows; ++r) {
            ASSERT_EQ(textAt(top + 7 + r, 0), QString::number(r + 1)) << "card " << k;
            ASSERT_TRUE(textAt(top + 7 + r, 1).startsWith(dish + QStringLiteral(", продукт"))) << "card " << k;
        }
        ASSERT_EQ(textAt(top + 7 + rows, 0), QStringLiteral("Итого")) << "card " << k;
        ASSERT_EQ(textAt(top + 7 + rows + 4, 0), QStringLiteral("Подпись")) << "card " << k;
        ASSERT_EQ(sheet.keptTogether[k], std::make_pair(top, top + 7 + rows + 4)) << "card " << k;
        for (int r = top; k > 0 && r < top + 7; ++r) {
            ASSERT_TRUE(sheet.fittedRows.count(r)) << "card " << k << " row " << r;
        }
    }
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
