// The products tab's two lists: what they show, their context search with
// hostile text, hidden rows and colouring.

#include "CatalogueFixture.h"

#include "Unit_ProductsTab.h"
#include "grid/DatasetModel.h"
#include "ui/Unit_Main.h"
#include "grid/Greying.h"

#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QLineEdit>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

QStringList names(db::Query* q)
{
    QStringList out;
    if (!q->active())
        return out;
    for (int r = 0; r < q->recordCount(); ++r)
        out << q->valueAt(r, q->fieldIndex(QStringLiteral("NAME"))).toString();
    return out;
}

struct Catalogue {
    qint64 firma, kitchen, kitchenSklad, bar, barSklad, veg, milk;
    qint64 onion, carrot, milkP, kefir, odd, pct, quote;
};

// Kitchen and bar of one enterprise; vegetables and dairy with a few awkward names.
Catalogue makeCatalogue(CatEnv& env)
{
    Catalogue c{};
    const qint64 kg = env.unit();
    c.veg = env.group(QStringLiteral("Овощи"));
    c.milk = env.group(QStringLiteral("Молочное"));
    c.firma = env.firma(QStringLiteral("Кафе"));
    c.kitchen = env.mainOtdel(c.firma);
    c.kitchenSklad = env.mainSklad(c.kitchen);
    c.bar = structure::CreateOtdel(c.firma, QStringLiteral("Кафе"), QStringLiteral("Бар"), QString());
    c.barSklad = env.mainSklad(c.bar);
    c.onion = env.ing(QStringLiteral("Лук репчатый"), c.veg, kg);
    c.carrot = env.ing(QStringLiteral("Морковь"), c.veg, kg);
    c.milkP = env.ing(QStringLiteral("Молоко 3,2%"), c.milk, kg);
    c.kefir = env.ing(QStringLiteral("Кефир ЁЖИК"), c.milk, kg);
    c.odd = env.ing(QStringLiteral("Сыр_плавленый"), c.milk, kg);
    c.pct = env.ing(QStringLiteral("Сливки 10%"), c.milk, kg);
    c.quote = env.ing(QStringLiteral("Чай \"O'Brien\""), c.milk, kg);
    return c;
}

void standOn(qint64 firma, qint64 otdel, qint64 sklad, qint64 group, QWidget* page)
{
    Form_Main->SetActivePage(page);
    ProductsTab->Sheet_IngShow();
    CatEnv::at(StructureBox->Q_Firma, firma);
    StructureBox->Timer_OtdelTimer();
    CatEnv::at(StructureBox->Q_Otdel, otdel);
    StructureBox->Timer_SkladTimer();
    CatEnv::at(StructureBox->Q_Sklad, sklad);
    ProductsTab->Timer_GrIngTimer();
    CatEnv::at(ProductsTab->Q_GrIng, group);
}

} // namespace

TEST(ProductList, ShowsTheGroupOrTheSearchAcrossGroupsOfTheDepartment)
{
    CatEnv env;
    Catalogue c = makeCatalogue(env);
    TProductsTab* tab = ProductsTab;
    db::Query* q = ProductsTab->Q_Ing;
    standOn(c.firma, c.kitchen, c.kitchenSklad, c.veg, Form_Main->Sheet_All_Ing);
    tab->CB_Context_IngClick();
    EXPECT_EQ(names(q), (QStringList{QStringLiteral("Лук репчатый"), QStringLiteral("Морковь")}));
    EXPECT_TRUE(tab->Grid_Ing->isEnabled());
    EXPECT_FALSE(tab->E_Context_Ing->isEnabled());
    EXPECT_EQ(tab->DBEdit3->text(), QStringLiteral("Овощи"));

    // Hidden in this department: gone unless asked for.
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = 1 WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(c.carrot).arg(c.kitchen));
    tab->CB_Context_IngClick();
    EXPECT_EQ(names(q), QStringList{QStringLiteral("Лук репчатый")});
    tab->CB_Closed1->setChecked(true);
    tab->CB_Context_IngClick();
    EXPECT_EQ(names(q).size(), 2);

    // Search: any group, any letter case, Cyrillic included, only products of this department.
    env.t().exec(QStringLiteral("DELETE FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(c.milkP).arg(c.kitchen));
    tab->CB_Context_Ing->setChecked(true);
    tab->E_Context_Ing->setText(QStringLiteral("мо"));
    tab->CB_Context_IngClick();
    EXPECT_EQ(names(q), QStringList{QStringLiteral("Морковь")});
    EXPECT_FALSE(tab->Grid_GrIng->isEnabled());
    EXPECT_FALSE(tab->Grid_Sklad1->isEnabled());
    EXPECT_TRUE(tab->E_Context_Ing->isEnabled());
    tab->E_Context_Ing->setText(QStringLiteral("ёжик"));
    ProductsTab->Timer_Context_IngTimer();  // what the typing delay runs
    EXPECT_EQ(names(q), QStringList{QStringLiteral("Кефир ЁЖИК")});
    EXPECT_EQ(tab->DBEdit3->text(), QStringLiteral("Молочное"));

    // Leaving the sub-tab unticks the search and returns to the group.
    tab->Sheet_All_IngHide();
    EXPECT_FALSE(tab->CB_Context_Ing->isChecked());
    EXPECT_EQ(names(q).size(), 2);
    EXPECT_TRUE(tab->Grid_GrIng->isEnabled());

    // No department (key 0): nothing; no group: closed and off.
    StructureBox->Q_Otdel->close();
    tab->CB_Context_IngClick();
    EXPECT_TRUE(q->active());
    EXPECT_TRUE(names(q).isEmpty());
    ProductsTab->Q_GrIng->close();
    tab->CB_Context_IngClick();
    EXPECT_FALSE(q->active());
    EXPECT_FALSE(tab->Grid_Ing->isEnabled());

    // The builder is what the data module's start lists and the product timer run.
    standOn(c.firma, c.bar, c.barSklad, c.milk, Form_Main->Sheet_All_Ing);
    q->close();
    ProductsTab->Timer_IngTimer();
    EXPECT_EQ(names(q).size(), 5);
}

TEST(StockList, ShowsTheWarehouseAndGroupOrSearchesTheDepartment)
{
    CatEnv env;
    Catalogue c = makeCatalogue(env);
    TProductsTab* tab = ProductsTab;
    db::Query* q = ProductsTab->Q_Ing_Sklad;
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 10, MY_CENA = 15, KOLVO = 2 WHERE KOD_ING = %1").arg(c.onion));
    standOn(c.firma, c.bar, c.barSklad, c.veg, Form_Main->Sheet_Sklad_Ing);
    tab->CB_Context_IngSkladClick();
    EXPECT_EQ(names(q), (QStringList{QStringLiteral("Лук репчатый"), QStringLiteral("Морковь")}));
    EXPECT_NEAR(q->field(QStringLiteral("PPPP")).asDouble(), 50.0, 1e-9);
    EXPECT_EQ(q->field(QStringLiteral("KOD_OTDEL")).asInt64(), c.bar);

    tab->CB_Context_IngSklad->setChecked(true);
    tab->E_Context_IngSklad->setText(QStringLiteral("ЛИВК"));
    ProductsTab->Timer_Context_IngSkladTimer();
    EXPECT_EQ(names(q), QStringList{QStringLiteral("Сливки 10%")});
    EXPECT_FALSE(tab->Grid_GrIng->isEnabled());
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = 1 WHERE KOD_ING = %1").arg(c.pct));
    tab->CB_Context_IngSkladClick();
    EXPECT_TRUE(names(q).isEmpty());
    tab->CB_Closed2->setChecked(true);
    tab->CB_Context_IngSkladClick();
    EXPECT_EQ(names(q).size(), 1);

    tab->Sheet_Sklad_IngHide();
    EXPECT_FALSE(tab->CB_Context_IngSklad->isChecked());
    EXPECT_EQ(names(q).size(), 2);

    // A warehouse without groups gives a closed, greyed list.
    const qint64 empty = structure::CreateSklad(c.firma, c.bar, QStringLiteral("Кафе"), QStringLiteral("Бар"),
                                                QStringLiteral("Пустой"), QString());
    standOn(c.firma, c.bar, empty, 0, Form_Main->Sheet_Sklad_Ing);
    tab->CB_Context_IngSkladClick();
    EXPECT_FALSE(q->active());
    EXPECT_FALSE(tab->Grid_Ing_Sklad->isEnabled());
}

TEST(ContextSearch, HostileTextIsSearchedForAsTextAndChangesNothing)
{
    CatEnv env;
    Catalogue c = makeCatalogue(env);
    TProductsTab* tab = ProductsTab;
    standOn(c.firma, c.kitchen, c.kitchenSklad, c.milk, Form_Main->Sheet_All_Ing);
    const int products = env.count(QStringLiteral("ING"));
    const int rows = env.count(QStringLiteral("ING_SKLAD"));
    const struct {
        QString text;
        QStringList found;
    } cases[] = {
        {QStringLiteral("'"), {QStringLiteral("Чай \"O'Brien\"")}},
        {QStringLiteral("\""), {QStringLiteral("Чай \"O'Brien\"")}},
        {QStringLiteral("%"), {QStringLiteral("Молоко 3,2%"), QStringLiteral("Сливки 10%")}},
        {QStringLiteral("_"), {QStringLiteral("Сыр_плавленый")}},
        {QStringLiteral("10%"), {QStringLiteral("Сливки 10%")}},
        {QStringLiteral("ежик"), {QStringLiteral("Кефир ЁЖИК")}},
        {QStringLiteral("плавлёный"), {QStringLiteral("Сыр_плавленый")}},
        {QStringLiteral("'; DELETE FROM ING; --"), {}},
        {QStringLiteral("' OR '1'='1"), {}},
        {QStringLiteral(":S"), {}},
        {QString(100, QLatin1Char('x')), {}},
    };
    tab->CB_Context_Ing->setChecked(true);
    tab->CB_Context_IngSklad->setChecked(true);
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.text.toStdString());
        env.messages.clear();
        tab->E_Context_Ing->setText(cs.text);
        tab->CB_Context_IngClick();
        EXPECT_EQ(names(ProductsTab->Q_Ing), cs.found);
        tab->E_Context_IngSklad->setText(cs.text);
        tab->CB_Context_IngSkladClick();
        EXPECT_EQ(names(ProductsTab->Q_Ing_Sklad), cs.found);
        EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QStringLiteral(" | ")).toStdString();
    }
    EXPECT_EQ(env.count(QStringLiteral("ING")), products);
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD")), rows);
}

TEST(ProductGrids, ColourCompositesHiddenRowsAndStock)
{
    CatEnv env;
    Catalogue c = makeCatalogue(env);
    env.t().exec(QStringLiteral("UPDATE ING SET MY_LEVEL = 2 WHERE KOD = %1").arg(c.carrot));
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = 1, KOLVO = -3 WHERE KOD_ING = %1").arg(c.onion));
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 5 WHERE KOD_ING = %1").arg(c.carrot));
    TProductsTab* tab = ProductsTab;
    tab->CB_Closed1->setChecked(true);
    tab->CB_Closed2->setChecked(true);
    standOn(c.firma, c.kitchen, c.kitchenSklad, c.veg, Form_Main->Sheet_All_Ing);
    tab->CB_Context_IngClick();
    tab->CB_Context_IngSkladClick();

    // Rows: 0 "Лук репчатый" (raw, hidden, stock -3), 1 "Морковь" (composite, stock 5).
    auto cell = [](db::DbGrid* g, int row, int role) { return g->datasetModel()->index(row, 0).data(role); };
    const QColor face = QPalette().color(QPalette::Button);
    db::DbGrid* ing = tab->Grid_Ing;
    EXPECT_EQ(cell(ing, 0, Qt::BackgroundRole).value<QColor>(), face);
    EXPECT_FALSE(cell(ing, 1, Qt::BackgroundRole).isValid());
    EXPECT_FALSE(cell(ing, 0, Qt::FontRole).isValid());
    EXPECT_TRUE(cell(ing, 1, Qt::FontRole).value<QFont>().bold());

    db::DbGrid* stock = tab->Grid_Ing_Sklad;
    EXPECT_EQ(cell(stock, 0, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(cell(stock, 0, Qt::BackgroundRole).value<QColor>(), face);
    EXPECT_FALSE(cell(stock, 0, Qt::FontRole).isValid());
    const QFont composite = cell(stock, 1, Qt::FontRole).value<QFont>();
    EXPECT_TRUE(composite.bold());
    EXPECT_FALSE(composite.italic());
    EXPECT_FALSE(cell(stock, 1, Qt::ForegroundRole).isValid());
    // Zero stock in italics (a composite's in bold italics).
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 0"));
    tab->CB_Context_IngSkladClick();
    EXPECT_TRUE(cell(stock, 0, Qt::FontRole).value<QFont>().italic());
    EXPECT_FALSE(cell(stock, 0, Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(cell(stock, 1, Qt::FontRole).value<QFont>().italic());
    EXPECT_TRUE(cell(stock, 1, Qt::FontRole).value<QFont>().bold());
}
