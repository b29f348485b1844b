// The production and sales statements against the in-memory office: the
// period's rows and groups, the headers, the consumption of a period, of a
// posted and of an unposted document.

#include "printing/CostingReportsFixture.h"

#include "reports/Statements.h"

using namespace templates;

namespace {

class Statements : public CostingReports {
protected:
    void products()
    {
        layout(8,
               {{"name_dr", LocHeader, "B2"},   {"name_dp", LocHeader, "C2"},   {"date_d", LocHeader, "D2"},
                {"pok", LocHeader, "B3"},       {"inn_pok", LocHeader, "C3"},   {"all_pok", LocHeader, "B4"},
                {"rs_b_pok", LocHeader, "B5"},  {"nstr", LocTable, "A1"},       {"name", LocTable, "B1"},
                {"ed_izm", LocTable, "C1"},     {"kolvo", LocTable, "D1"},      {"cena", LocTable, "E1"},
                {"summa", LocTable, "F1"},      {"cena_skl", LocTable, "G1"},   {"sum_skl", LocTable, "H1"},
                {"sum_all", LocEnd, "F1"},      {"sum_skl_doc", LocEnd, "H1"},  {"sum_txt", LocEnd, "B3"}},
               801);
    }
    void ingredients()
    {
        layout(9,
               {{"name_dr", LocHeader, "B2"}, {"date_d", LocHeader, "D2"},   {"pok", LocHeader, "B3"},
                {"nstr", LocTable, "A1"},     {"name", LocTable, "B1"},      {"ed_izm", LocTable, "C1"},
                {"kolvo", LocTable, "D1"},    {"cena", LocTable, "E1"},      {"summa", LocTable, "F1"},
                {"sum_all", LocEnd, "F1"},    {"sum_txt", LocEnd, "B3"}},
               901);
    }
    reports::statements::Options period(int type = 0, int provodka = 0, bool byGroup = false)
    {
        reports::statements::Options o;
        o.what = 1;
        o.start = QDate(2011, 3, 1);
        o.finish = QDate(2011, 3, 31);
        o.type = type;
        o.provodka = provodka;
        o.byGroup = byGroup;
        return o;
    }
    reports::statements::Options current(qint64 document)
    {
        reports::statements::Options o;
        o.document = document;
        return o;
    }
    void printProducts(const reports::statements::Options& o)
    {
        const engine::Context x = ctx();
        reports::statements::Print(x, o, office, cache());
    }
    void printIngredients(const reports::statements::Options& o)
    {
        const engine::Context x = ctx();
        reports::statements::Options ingredients = o;
        ingredients.ingredients = true;
        reports::statements::Print(x, ingredients, office, cache());
    }
};

TEST_F(Statements, PeriodOfProductsGroupedWithSubtotalsTwoPricesAndWords)
{
    products();
    const qint64 kg = unit(QStringLiteral("кг"));
    const qint64 soups = group(QStringLiteral("Супы"));
    const qint64 hot = group(QStringLiteral("Горячее"));
    const qint64 borsch = c.dish(QStringLiteral("Борщ"), 1);
    const qint64 shchi = c.dish(QStringLiteral("Щи"), 1);
    const qint64 steak = c.dish(QStringLiteral("Стейк"), 1);
    ing(borsch, QStringLiteral("KOD_GROUP = %1, ED_IZM = %2").arg(soups).arg(kg));
    ing(shchi, QStringLiteral("KOD_GROUP = %1").arg(soups));
    ing(steak, QStringLiteral("KOD_GROUP = %1").arg(hot));
    const qint64 d1 = doc(QStringLiteral("1"), QDate(2011, 3, 1), 3, 0);
    line(d1, borsch, 2, 100, 40);
    line(d1, steak, 1, 300, 150);
    const qint64 d2 = doc(QStringLiteral("2"), QDate(2011, 3, 31), 3, 0);
    line(d2, borsch, 1, 100, 40);
    line(d2, borsch, 1, 120, 40);  // another price: another row
    line(d2, shchi, 1, 80, 30);
    const qint64 late = doc(QStringLiteral("3"), QDate(2011, 4, 1), 3, 0);
    line(late, steak, 5, 300, 150);
    const qint64 production = doc(QStringLiteral("4"), QDate(2011, 3, 10), 7, 0);
    line(production, steak, 7, 300, 150);
    const qint64 unposted = doc(QStringLiteral("5"), QDate(2011, 3, 10), 3, 0);
    line(unposted, steak, 9, 300, 150);
    c.exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 11 WHERE KOD IN (%1, %2, %3, %4)").arg(d1).arg(d2).arg(late).arg(production));

    printProducts(period(0, 0, true));
    EXPECT_EQ(text("B2"), QStringLiteral("01.03.2011 / 31.03.2011"));
    EXPECT_FALSE(at("B3").isValid());
    // Groups by name: Горячее, then Супы; each heading, its rows, its subtotal.
    EXPECT_EQ(column('B', 8, 15), (QStringList{QStringLiteral("Горячее"), QStringLiteral("Стейк"), QString(),
                                               QStringLiteral("Супы"), QStringLiteral("Борщ"), QStringLiteral("Борщ"),
                                               QStringLiteral("Щи"), QString()}));
    EXPECT_EQ(column('A', 9, 9), QStringList{QStringLiteral("1")});
    EXPECT_EQ(column('A', 12, 14), (QStringList{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}));
    EXPECT_EQ(at("D12"), QVariant(3.0));  // borsch at 100 over both documents
    EXPECT_EQ(at("E13"), QVariant(120.0));
    EXPECT_EQ(text("C12"), QStringLiteral("кг"));
    EXPECT_EQ(at("F10"), QVariant(300.0));
    EXPECT_EQ(at("H10"), QVariant(150.0));
    EXPECT_EQ(at("F15"), QVariant(500.0));
    EXPECT_EQ(at("H15"), QVariant(190.0));
    EXPECT_EQ(text("A16"), QStringLiteral("Итого"));
    EXPECT_EQ(at("F16"), QVariant(800.0));
    EXPECT_EQ(at("H16"), QVariant(340.0));
    EXPECT_EQ(text("B18"), QStringLiteral("Восемьсот руб. 0коп."));

    // Production and the unposted documents, without groups.
    printProducts(period(1, 2));
    EXPECT_EQ(text("B8"), QStringLiteral("Стейк"));
    EXPECT_EQ(text("A9"), QStringLiteral("Итого"));
    EXPECT_EQ(at("D8"), QVariant(7.0));
    printProducts(period(0, 1));
    EXPECT_EQ(at("D8"), QVariant(9.0));
}

TEST_F(Statements, GroupingWithoutRowsStillPlacesAZeroSubtotal)
{
    products();
    printProducts(period(0, 0, true));
    EXPECT_EQ(at("F8"), QVariant(0.0));
    EXPECT_EQ(text("A9"), QStringLiteral("Итого"));
}

TEST_F(Statements, CurrentDocumentHeaderNamesTheEnterpriseAndTheKindOfDocument)
{
    products();
    c.exec(QStringLiteral("UPDATE FIRMA SET INN = '7701', KPP = '001', ADDR_JUR = 'Москва', RS = '4070', BANK = 'Банк' "
                          "WHERE KOD = %1").arg(c.firma));
    const qint64 dish = c.dish(QStringLiteral("Компот"), 1);
    const qint64 d = doc(QStringLiteral("П-7"), QDate(2011, 3, 5), 7, 0);
    line(d, dish, 2, 10, 4);
    reports::ProductLine l;
    l.name = QStringLiteral("Компот");
    l.kolvo = 2;
    l.cena = 10;
    l.cenaSklad = 4;
    const engine::Context x = ctx();
    reports::statements::Options o = current(d);
    o.lines = {l};
    reports::statements::Print(x, o, office, cache());
    EXPECT_FALSE(at("B2").isValid());
    EXPECT_EQ(text("C2"), QStringLiteral("П-7"));
    EXPECT_EQ(text("D2"), QStringLiteral("05.03.2011"));
    EXPECT_EQ(text("B3"), QStringLiteral("Столовая"));
    EXPECT_EQ(text("C3"), QStringLiteral("7701/001"));
    EXPECT_EQ(text("B4"), QStringLiteral("Столовая, ИНН/КПП: 7701/001, Москва"));
    EXPECT_EQ(text("B5"), QStringLiteral("4070 в Банк"));
    EXPECT_EQ(at("H8"), QVariant(8.0));
}

TEST_F(Statements, IngredientsOfAPeriodArePostedWriteOffsMergedUnderThePeriodHeader)
{
    ingredients();
    const qint64 kg = unit(QStringLiteral("кг"));
    const qint64 flour = c.raw(QStringLiteral("Мука"), 10);
    const qint64 salt = c.raw(QStringLiteral("Соль"), 1);
    const qint64 mystery = c.raw(QStringLiteral("Без единицы"), 1);
    ing(flour, QStringLiteral("ED_IZM = %1").arg(kg));
    ing(salt, QStringLiteral("ED_IZM = %1").arg(kg));
    const qint64 d1 = doc(QStringLiteral("1"), QDate(2011, 3, 2), 3, 0);
    move(d1, flour, 1, 10);
    move(d1, salt, 0.5, 1);
    const qint64 d2 = doc(QStringLiteral("2"), QDate(2011, 3, 3), 7, 0);
    move(d2, flour, 2, 10);
    move(d2, mystery, 1, 1);
    const qint64 d3 = doc(QStringLiteral("3"), QDate(2011, 3, 4), 3, 0);
    move(d3, flour, 100, 10);  // not posted: never counts
    c.exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 11 WHERE KOD IN (%1, %2)").arg(d1).arg(d2));

    printIngredients(period(2, 1));
    EXPECT_EQ(text("B2"), QStringLiteral("01.03.2011 / 31.03.2011"));
    EXPECT_FALSE(at("D2").isValid());
    // Reverse of the query's order, merged rows at the place of the first in list order.
    EXPECT_EQ(column('A', 8, 10), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    QMap<QString, double> kolvo;
    for (int r = 8; r <= 10; ++r)
        kolvo[office.last().at(QStringLiteral("B%1").arg(r)).toString()] =
            office.last().at(QStringLiteral("D%1").arg(r)).toDouble();
    EXPECT_EQ(kolvo.value(QStringLiteral("Мука")), 3.0);
    EXPECT_EQ(kolvo.value(QStringLiteral("Соль")), 0.5);
    EXPECT_TRUE(kolvo.contains(QString()));  // a product without a unit row prints without name
    EXPECT_EQ(at("F11"), QVariant(31.5));
    EXPECT_EQ(text("B13"), QStringLiteral("Тридцать один руб. 50коп."));

    // Sales only.
    printIngredients(period(0));
    EXPECT_EQ(text("A10"), QStringLiteral("Итого"));
    EXPECT_EQ(at("F10"), QVariant(10.5));
}

TEST_F(Statements, IngredientsOfTheCurrentDocumentPostedOrExpanded)
{
    ingredients();
    const qint64 flour = c.raw(QStringLiteral("Мука"), 10);
    const qint64 egg = c.raw(QStringLiteral("Яйцо"), 5);
    const qint64 dough = c.dish(QStringLiteral("Тесто"), 1);
    c.card(dough, flour, 0.5);
    c.card(dough, egg, 1);
    const qint64 pie = c.dish(QStringLiteral("Пирог"), 2, 2);
    c.card(pie, dough, 2);
    c.card(pie, egg, 2);
    const qint64 unposted = doc(QStringLiteral("Р-1"), QDate(2011, 3, 5), 3, 0);
    line(unposted, pie, 4, 100);
    line(unposted, dough, 0, 100);  // no quantity: not expanded
    printIngredients(current(unposted));
    EXPECT_EQ(text("B2"), QStringLiteral("Р-1"));
    EXPECT_EQ(text("D2"), QStringLiteral("05.03.2011"));
    EXPECT_EQ(text("B3"), QStringLiteral("Столовая"));
    // 4 pies of a 2-portion card: 4 dough (2 flour, 4 eggs) and 4 eggs; only raw rows print.
    EXPECT_EQ(text("A10"), QStringLiteral("Итого"));
    EXPECT_EQ(at("F10"), QVariant(2 * 10 + 8 * 5.0));
    EXPECT_EQ(column('A', 8, 9), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));

    const qint64 posted = doc(QStringLiteral("Р-2"), QDate(2011, 3, 6), 3, 0);
    line(posted, pie, 4, 100);
    move(posted, flour, 7, 10);
    c.exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 11 WHERE KOD = %1").arg(posted));
    printIngredients(current(posted));
    EXPECT_EQ(at("D8"), QVariant(7.0));
    EXPECT_EQ(text("A9"), QStringLiteral("Итого"));
}

} // namespace

namespace {

TEST_F(Statements, GroupKeysBeyondThirtyTwoBitsStayApart)
{
    products();
    // Two groups whose keys agree in their low 32 bits.
    c.exec(QStringLiteral("INSERT INTO GROUP_ING (KOD, NAME) VALUES (4294967301, 'Первая')"));
    c.exec(QStringLiteral("INSERT INTO GROUP_ING (KOD, NAME) VALUES (5, 'Вторая')"));
    const qint64 a = c.dish(QStringLiteral("Блюдо А"), 1);
    const qint64 b = c.dish(QStringLiteral("Блюдо Б"), 1);
    ing(a, QStringLiteral("KOD_GROUP = 4294967301"));
    ing(b, QStringLiteral("KOD_GROUP = 5"));
    const qint64 d = doc(QStringLiteral("1"), QDate(2011, 3, 2), 3, 0);
    line(d, a, 1, 10);
    line(d, b, 1, 20);
    c.exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 11 WHERE KOD = %1").arg(d));
    printProducts(period(0, 0, true));
    EXPECT_EQ(column('B', 8, 13), (QStringList{QStringLiteral("Вторая"), QStringLiteral("Блюдо Б"), QString(),
                                               QStringLiteral("Первая"), QStringLiteral("Блюдо А"), QString()}));
    EXPECT_EQ(at("F10"), QVariant(20.0));
    EXPECT_EQ(at("F13"), QVariant(10.0));
}

} // namespace
