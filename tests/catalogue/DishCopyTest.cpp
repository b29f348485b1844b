// Dish copy from the products tab: what the new product takes from the
// source, its card and department rows, its prices, and what a zero price or
// a cancelled name does.

#include "CatalogueFixture.h"
#include "support/HeldTables.h"

#include "KartaWindows.h"
#include "Unit_ProductsTab.h"
#include "Unit_StructureBox.h"
#include "ui/Unit_Alarm.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Name.h"
#include "grid/Greying.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <tuple>

namespace {

using Row = CatEnv::CardRow;

class DishCopy : public ::testing::Test {
protected:
    DishCopy()
    {
        const qint64 kg = env.unit();
        veg = env.group(QStringLiteral("Овощи"));
        dishes = env.group(QStringLiteral("Блюда"));
        firma = env.firma(QStringLiteral("Кафе"));
        kitchen = env.mainOtdel(firma);
        bar = structure::CreateOtdel(firma, QStringLiteral("Кафе"), QStringLiteral("Бар"), QString());
        potato = env.ing(QStringLiteral("Картофель"), veg, kg);
        carrot = env.ing(QStringLiteral("Морковь"), veg, kg);
        soup = env.ing(QStringLiteral("Суп"), dishes, kg);
        env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 30, MY_CENA = 45 WHERE KOD_ING = %1").arg(potato));
        env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 40, MY_CENA = 60 WHERE KOD_ING = %1").arg(carrot));
        env.t().exec(QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER = %1").arg(soup));
        env.cardRow(soup, potato, 0.25, 87.5, 1);
        env.cardRow(soup, carrot, 0.1, 75, 0);
        env.t().exec(QStringLiteral("UPDATE ING SET MY_LEVEL = 1, USE_MENU = '+', VIHOD = 95, PERCENT_PLUS = 15, "
                                    "PERCENT_SKIDKA = 5, VIHOD_BLUDA = '250/10', DOP_INFO = 'горячее', KVO_PORC = 2, "
                                    "MY_SECTION = 3, CENA_COMPUTE = 0, MANUAL_BRUTTO = 1, RECEPT = 'Варить' WHERE KOD = %1")
                         .arg(soup));
    }

    // The products list on the group, standing on the product.
    void standOn(qint64 group, qint64 product)
    {
        CatEnv::showProducts(firma, kitchen, group);
        ProductsTab->CB_Context_IngClick();
        CatEnv::at(ProductsTab->Q_Ing, product);
    }
    static void typeName(QWidget* w, const QString& name)
    {
        ASSERT_EQ(w, Form_Name);
        EXPECT_EQ(Form_Name->windowTitle(), QStringLiteral("Наименование нового блюда"));
        EXPECT_TRUE(Form_Name->Edit1->text().isEmpty());
        EXPECT_TRUE(Form_Name->Panel2->isHidden());
        Form_Name->Edit1->setText(name);
        Form_Name->BitBtn1->click();
    }
    std::vector<Row> rows(qint64 master) { return env.cardRows(master); }
    qint64 byName(const QString& name)
    {
        auto q = env.t().select(QStringLiteral("SELECT KOD, NAME FROM ING"));
        for (q->first(); !q->eof(); q->next())
            if (q->field(1).asString() == name)
                return q->field(0).asInt64();
        return 0;
    }

    CatEnv env;
    qint64 veg = 0, dishes = 0, firma = 0, kitchen = 0, bar = 0, potato = 0, carrot = 0, soup = 0;
};

TEST_F(DishCopy, TheNewDishTakesTheGeneralColumnsCardAndDepartmentRows)
{
    standOn(dishes, soup);
    // The group list may stand elsewhere (a search spans groups): the copy keeps the source's group.
    const QString name = QStringLiteral("Суп «Д'Артаньян» по-новому");
    {
        ModalScript script;
        script.then([&](QWidget* w) { typeName(w, name); });
        CatEnv::at(ProductsTab->Q_GrIng, veg);
        ProductsTab->Q_Ing->close();
        ProductsTab->CB_Context_Ing->setChecked(true);
        ProductsTab->E_Context_Ing->setText(QStringLiteral("суп"));
        ProductsTab->CB_Context_IngClick();
        CatEnv::at(ProductsTab->Q_Ing, soup);
        ProductsTab->Btn_Copy_Ing->click();
    }
    const qint64 copy = byName(name);
    ASSERT_NE(copy, 0);
    for (const QString& col : {QStringLiteral("KOD_GROUP"), QStringLiteral("MY_LEVEL"), QStringLiteral("USE_MENU"),
                               QStringLiteral("ED_IZM"), QStringLiteral("VIHOD"), QStringLiteral("PERCENT_PLUS"),
                               QStringLiteral("PERCENT_SKIDKA"), QStringLiteral("VIHOD_BLUDA"), QStringLiteral("DOP_INFO"),
                               QStringLiteral("KVO_PORC"), QStringLiteral("MY_SECTION"), QStringLiteral("CENA_COMPUTE")})
        EXPECT_EQ(env.t().scalar(QStringLiteral("SELECT %1 FROM ING WHERE KOD = %2").arg(col).arg(copy)),
                  env.t().scalar(QStringLiteral("SELECT %1 FROM ING WHERE KOD = %2").arg(col).arg(soup)))
            << col.toStdString();
    // Recipe and yield mode are not taken.
    EXPECT_TRUE(env.t().scalar(QStringLiteral("SELECT RECEPT FROM ING WHERE KOD = %1").arg(copy)).isNull());
    EXPECT_EQ(env.num(QStringLiteral("SELECT MANUAL_BRUTTO FROM ING WHERE KOD = %1").arg(copy)), 0);
    // One row per source row, the switched-off one still off.
    EXPECT_EQ(rows(copy), (std::vector<Row>{{potato, 0.25, 87.5, 1}, {carrot, 0.1, 75, 0}}));
    // One row per department, in the source's group, priced.
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("KOD_ING = %1").arg(copy)), 2);
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("KOD_ING = %1 AND KOD_GROUP = %2").arg(copy).arg(dishes)),
              2);
    const double cost = 0.25 * 100 / 87.5 * 30 * 1.15 / 2;
    for (qint64 otdel : {kitchen, bar})
        EXPECT_NEAR(env.t()
                        .scalar(QStringLiteral("SELECT CENA FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2")
                                    .arg(copy)
                                    .arg(otdel))
                        .toDouble(),
                    cost, 1e-9)
            << otdel;
    EXPECT_EQ(env.logLines(QStringLiteral("Копирование блюда <<Суп>> в блюдо <<") + name + QStringLiteral(">>")), 1);
    EXPECT_EQ(ProductsTab->Q_Ing->field(QStringLiteral("KOD")).asInt64(), copy);
}

TEST_F(DishCopy, ARawProductsSelfRowNamesTheCopy)
{
    standOn(veg, potato);
    {
        ModalScript script;
        script.then([](QWidget* w) { typeName(w, QStringLiteral("Картофель молодой")); });
        CopyIngClick();
    }
    const qint64 copy = byName(QStringLiteral("Картофель молодой"));
    ASSERT_NE(copy, 0);
    EXPECT_EQ(rows(copy), (std::vector<Row>{{copy, 1, 100, 1}}));
    EXPECT_EQ(rows(potato), (std::vector<Row>{{potato, 1, 100, 1}}));
}

TEST_F(DishCopy, AZeroPriceStopsThePricesButKeepsTheCopy)
{
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 0 WHERE KOD_ING = %1").arg(potato));
    standOn(dishes, soup);
    bool warned = false;
    {
        ModalScript script;
        script.then([](QWidget* w) { typeName(w, QStringLiteral("Суп 2")); }).then([&](QWidget* w) {
            warned = w == Form_Alarm && Form_Alarm->Memo1->toPlainText().contains(QStringLiteral("Картофель"));
            Form_Alarm->close();
        });
        CopyIngClick();
    }
    EXPECT_TRUE(warned);
    const qint64 copy = byName(QStringLiteral("Суп 2"));
    ASSERT_NE(copy, 0);
    EXPECT_EQ(rows(copy).size(), 2u);
    EXPECT_EQ(env.logLines(QStringLiteral("Копирование блюда <<Суп>> в блюдо <<Суп 2>>")), 1);
}

TEST_F(DishCopy, ACancelledOrUnstorableNameChangesNothing)
{
    standOn(dishes, soup);
    const int products = env.count(QStringLiteral("ING"));
    {
        ModalScript script;
        script.then([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
        CopyIngClick();
    }
    {
        ModalScript script;
        script.then([](QWidget* w) { typeName(w, QStringLiteral("Суп 🍲")); });
        env.messages.clear();
        CopyIngClick();
    }
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].contains(QStringLiteral("🍲")));
    EXPECT_EQ(env.count(QStringLiteral("ING")), products);
    EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE"), QStringLiteral("WHAT_ACTION LIKE 'Копирование%'")), 0);
}

} // namespace

TEST_F(DishCopy, ItsRoadHoldsTheProductsTheirStockRowsAndTheCards)
{
    standOn(dishes, soup);
    ExpectEachHolds({{"dish copied",
                      {QStringLiteral("ING"), QStringLiteral("ING_SKLAD"), QStringLiteral("KARTA")},
                      [&] {
                          ModalScript script;
                          script.then([&](QWidget* w) { typeName(w, QStringLiteral("Суп новый")); });
                          ProductsTab->Btn_Copy_Ing->click();
                      }}});
    EXPECT_NE(byName(QStringLiteral("Суп новый")), 0);
}
