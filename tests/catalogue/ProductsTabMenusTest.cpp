// The products tab's context menus: price copy between departments and into
// one warehouse, hiding and opening products with the cursor rules, and the
// rows of the where-used list.

#include "DepartmentFixture.h"
#include "support/HeldTables.h"

#include "IngSkladDialog.h"
#include "ProductsTabMenus.h"
#include "Unit_IngSklad.h"
#include "Unit_CopyCena.h"
#include "Unit_ProductsTab.h"
#include "ui/Unit_Gauge.h"
#include "grid/Greying.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

void standOn(qint64 firma, qint64 otdel, qint64 group, QWidget* page, qint64 sklad = 0)
{
    Form_Main->SetActivePage(page);
    ProductsTab->Sheet_IngShow();
    CatEnv::at(StructureBox->Q_Firma, firma);
    StructureBox->Timer_OtdelTimer();
    CatEnv::at(StructureBox->Q_Otdel, otdel);
    StructureBox->Timer_SkladTimer();
    if (sklad != 0)
        CatEnv::at(StructureBox->Q_Sklad, sklad);
    ProductsTab->Timer_GrIngTimer();
    CatEnv::at(ProductsTab->Q_GrIng, group);
    ProductsTab->CB_Context_IngClick();
    ProductsTab->CB_Context_IngSkladClick();
}

std::string names(db::Query* q)
{
    QStringList out;
    for (int r = 0; q->active() && r < q->recordCount(); ++r)
        out << q->valueAt(r, q->fieldIndex(QStringLiteral("NAME"))).toString();
    return out.join(QStringLiteral(", ")).toStdString();
}

std::string current(db::Query* q) { return q->field(QStringLiteral("NAME")).asString().toStdString(); }

void standAt(db::Query* q, int row) { q->setRecNo(row); }

} // namespace

TEST(PriceCopy, OnlyZeroPricedRowsTakeTheSourcePricesAndMissingProductsKeepTheirs)
{
    CatEnv env;
    DepartmentShop s(env);
    s.set(s.onion, s.kitchen, QStringLiteral("PERCENT = 10, CENA = 20, METOD_CENA = 1, MY_CENA = 22"));
    s.set(s.carrot, s.kitchen, QStringLiteral("PERCENT = 5, CENA = 10, METOD_CENA = 2, MY_CENA = 11"));
    env.t().exec(QStringLiteral("DELETE FROM ING_SKLAD WHERE KOD = %1").arg(s.row(s.salad, s.kitchen)));
    s.set(s.carrot, s.bar, QStringLiteral("PERCENT = 1, CENA = 2, METOD_CENA = 0, MY_CENA = 7"));
    s.set(s.salad, s.bar, QStringLiteral("PERCENT = 3, CENA = 4, METOD_CENA = 0, MY_CENA = 0"));
    standOn(s.firma, s.bar, s.group, Form_Main->Sheet_All_Ing);

    TForm_CopyCena* f = Form_CopyCena;
    f->Tag = 1;
    f->setResult(QDialog::Rejected);
    f->Btn_OkClick();
    EXPECT_EQ(shown(env.messages), shown(QStringLiteral("Не выбрано подразделение (отдел)")));
    EXPECT_EQ(f->result(), QDialog::Rejected);

    f->KodFirma = s.firma;
    f->KodOtdel = s.kitchen;
    f->P_Firma->setText(QStringLiteral("Кафе"));
    f->P_Otdel->setText(QStringLiteral("Кухня"));
    EXPECT_TRUE(f->CB_Zero->isChecked());
    // Cancelled: nothing changes, the dialog closes all the same.
    const std::string before = s.snapshot();
    env.messages.clear();
    env.answers = {0};
    f->Btn_OkClick();
    EXPECT_EQ(shown(env.messages), shown(QStringLiteral("Вы действительно желаете присвоить продуктам отдела   << Бар >>   "
                                                        "предприятия <<Кафе >>   цены продуктов отдела   << Кухня >>   "
                                                        "предприятия   << Кафе >>  ?")));
    EXPECT_EQ(f->result(), QDialog::Accepted);
    EXPECT_EQ(s.snapshot(), before);

    f->Btn_OkClick();
    EXPECT_EQ(s.num(s.onion, s.bar, QStringLiteral("PERCENT")), 10);
    EXPECT_EQ(s.num(s.onion, s.bar, QStringLiteral("CENA")), 20);
    EXPECT_EQ(s.num(s.onion, s.bar, QStringLiteral("METOD_CENA")), 1);
    EXPECT_EQ(s.num(s.onion, s.bar, QStringLiteral("MY_CENA")), 22);
    EXPECT_EQ(s.num(s.carrot, s.bar, QStringLiteral("MY_CENA")), 7);   // not zero: left alone
    EXPECT_EQ(s.num(s.carrot, s.bar, QStringLiteral("CENA")), 2);
    EXPECT_EQ(s.num(s.salad, s.bar, QStringLiteral("CENA")), 4);       // not in the source
    EXPECT_EQ(s.num(s.onion, s.hall, QStringLiteral("CENA")), 0);      // another enterprise
    EXPECT_EQ(s.num(s.onion, s.kitchen, QStringLiteral("MY_CENA")), 22);

    // Without the box every row of a product in the source is copied.
    f->CB_Zero->setChecked(false);
    f->Btn_OkClick();
    EXPECT_EQ(s.num(s.carrot, s.bar, QStringLiteral("MY_CENA")), 11);
    EXPECT_EQ(s.num(s.carrot, s.bar, QStringLiteral("METOD_CENA")), 2);
    EXPECT_EQ(s.num(s.salad, s.bar, QStringLiteral("MY_CENA")), 0);
    EXPECT_FALSE(Form_Gauge->isVisible());
    f->CB_Zero->setChecked(true);
}

TEST(PriceCopy, WarehouseModeTouchesOnlyTheCurrentWarehouse)
{
    CatEnv env;
    DepartmentShop s(env);
    const qint64 main = env.mainSklad(s.bar);
    const qint64 cold = structure::CreateSklad(s.firma, s.bar, QStringLiteral("Кафе"), QStringLiteral("Бар"),
                                               QStringLiteral("Холодильник"), QString());
    s.set(s.carrot, s.bar, QStringLiteral("KOD_SKLAD = %1").arg(cold));
    for (qint64 ing : {s.onion, s.carrot})
        s.set(ing, s.kitchen, QStringLiteral("PERCENT = 30, CENA = 9, METOD_CENA = 1, MY_CENA = 11.7"));
    standOn(s.firma, s.bar, s.group, Form_Main->Sheet_Sklad_Ing, main);

    TForm_CopyCena* f = Form_CopyCena;
    ModalScript script;
    script.then([&](QWidget* w) {
        ASSERT_EQ(w, f);
        EXPECT_EQ(f->Tag, 2);
        f->KodFirma = s.firma;
        f->KodOtdel = s.kitchen;
        f->P_Firma->setText(QStringLiteral("Кафе"));
        f->P_Otdel->setText(QStringLiteral("Кухня"));
        f->Btn_Ok->click();
    });
    ProductsTabMenus->N2Click();
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].startsWith(QStringLiteral("Вы действительно желаете присвоить продуктам склада   << ") +
                                           env.text(QStringLiteral("SELECT NAME FROM SKLAD WHERE KOD = %1").arg(main)) +
                                           QStringLiteral(" >>   отдела   << Бар >>   предприятия   << Кафе >>")))
        << shown(env.messages);
    EXPECT_EQ(s.num(s.onion, s.bar, QStringLiteral("MY_CENA")), 11.7);
    EXPECT_EQ(s.num(s.carrot, s.bar, QStringLiteral("MY_CENA")), 0);
    // The stock list was reread and shows the copied price.
    db::Query* q = ProductsTab->Q_Ing_Sklad;
    ASSERT_TRUE(q->locate(QStringLiteral("KOD_ING"), QVariant::fromValue<qint64>(s.onion)));
    EXPECT_EQ(q->field(QStringLiteral("MY_CENA")).asDouble(), 11.7);

    // Nothing is copied from the movement sub-tab.
    Form_Main->SetActivePage(Form_Main->Sheet_Move);
    ProductsTabMenus->N1Click();
    EXPECT_EQ(script.pending(), 0u);

    // Copied prices need the right that guards prices: without it no dialog opens.
    Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
    env.t().exec(QStringLiteral("INSERT INTO PERSON (FIO, LOGIN) VALUES ('Повар', 'povar')"));
    env.t().exec(QStringLiteral("INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1) SELECT KOD, 4 FROM PERSON WHERE LOGIN = 'povar'"));
    env.loginAs(QStringLiteral("povar"));
    env.messages.clear();
    ProductsTabMenus->N1Click();
    ProductsTabMenus->N2Click();
    EXPECT_EQ(env.messages, (QStringList{QStringLiteral("Пользователю <<Повар>> данная функция недоступна !"),
                                         QStringLiteral("Пользователю <<Повар>> данная функция недоступна !")}));
    EXPECT_EQ(script.pending(), 0u);
}

TEST(HideAndOpen, TheWholeListIsHiddenInTheCurrentDepartmentOnly)
{
    CatEnv env;
    DepartmentShop s(env);
    standOn(s.firma, s.kitchen, s.group, Form_Main->Sheet_All_Ing);
    EXPECT_EQ(names(ProductsTab->Q_Ing), "Лук репчатый, Морковь, Салат \"Весна\"");
    ProductsTabMenus->N3Click();
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("OPEN_CLOSE = 1 AND KOD_OTDEL = %1").arg(s.kitchen)), 3);
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("OPEN_CLOSE = 1")), 3);
    EXPECT_EQ(names(ProductsTab->Q_Ing), "");
    // An empty list: nothing to hide, nothing to look up.
    ProductsTabMenus->N3Click();
    ProductsTabMenus->N7Click();
    EXPECT_TRUE(env.messages.isEmpty()) << shown(env.messages);

    ProductsTab->CB_Closed1->setChecked(true);
    ProductsTab->CB_Context_IngClick();
    ProductsTabMenus->N4Click();
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("OPEN_CLOSE = 1")), 0);

    // The stock list's "hide all" hides its rows, in this department only.
    Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
    ProductsTab->CB_Context_IngSkladClick();
    EXPECT_EQ(ProductsTab->Q_Ing_Sklad->recordCount(), 3);
    ProductsTabMenus->N5Click();
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("OPEN_CLOSE = 1 AND KOD_OTDEL = %1").arg(s.kitchen)), 3);
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("OPEN_CLOSE = 1")), 3);
    EXPECT_EQ(names(ProductsTab->Q_Ing_Sklad), "");
    ProductsTabMenus->N8Click();
    ProductsTab->CB_Closed2->setChecked(true);
    ProductsTab->CB_Context_IngSkladClick();
    ProductsTabMenus->N6Click();
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("OPEN_CLOSE = 1")), 0);
    EXPECT_TRUE(env.messages.isEmpty()) << shown(env.messages);
}

TEST(HideAndOpen, TheCursorMovesOffAHiddenRow)
{
    CatEnv env;
    DepartmentShop s(env);
    standOn(s.firma, s.kitchen, s.group, Form_Main->Sheet_All_Ing);
    db::Query* q = ProductsTab->Q_Ing;
    ProductsTabMenus->PopupMenu_AllPopup();
    EXPECT_TRUE(ProductsTabMenus->N1_All->isEnabled());
    EXPECT_FALSE(ProductsTabMenus->N2_All->isEnabled());

    // The last row hidden: the row before it; the first: the next one.
    standAt(q, 2);
    ProductsTabMenus->N1_AllClick();
    EXPECT_EQ(names(q), "Лук репчатый, Морковь");
    EXPECT_EQ(current(q), "Морковь");
    standAt(q, 0);
    ProductsTabMenus->N1_AllClick();
    EXPECT_EQ(names(q), "Морковь");
    EXPECT_EQ(current(q), "Морковь");
    EXPECT_EQ(s.num(s.onion, s.kitchen, QStringLiteral("OPEN_CLOSE")), 1);
    EXPECT_EQ(s.num(s.onion, s.bar, QStringLiteral("OPEN_CLOSE")), 0);

    // Hidden rows shown: the cursor stays on the row, which may then be opened.
    ProductsTab->CB_Closed1->setChecked(true);
    ProductsTab->CB_Context_IngClick();
    standAt(q, 1);
    ProductsTabMenus->N1_AllClick();
    EXPECT_EQ(current(q), "Морковь");
    ProductsTabMenus->PopupMenu_AllPopup();
    EXPECT_FALSE(ProductsTabMenus->N1_All->isEnabled());
    EXPECT_TRUE(ProductsTabMenus->N2_All->isEnabled());
    ProductsTabMenus->N2_AllClick();
    EXPECT_EQ(current(q), "Морковь");
    EXPECT_EQ(s.num(s.carrot, s.kitchen, QStringLiteral("OPEN_CLOSE")), 0);

    // The stock list alike, by row.
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = 0"));
    Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
    db::Query* st = ProductsTab->Q_Ing_Sklad;
    ProductsTab->CB_Context_IngSkladClick();
    EXPECT_EQ(names(st), "Лук репчатый, Морковь, Салат \"Весна\"");
    standAt(st, 2);
    ProductsTabMenus->PopupMenu_SkladPopup();
    EXPECT_TRUE(ProductsTabMenus->N1_Sklad->isEnabled());
    EXPECT_FALSE(ProductsTabMenus->N2_Sklad->isEnabled());
    ProductsTabMenus->N1_SkladClick();
    EXPECT_EQ(names(st), "Лук репчатый, Морковь");
    EXPECT_EQ(current(st), "Морковь");
    EXPECT_EQ(s.num(s.salad, s.kitchen, QStringLiteral("OPEN_CLOSE")), 1);
    EXPECT_EQ(s.num(s.salad, s.bar, QStringLiteral("OPEN_CLOSE")), 0);
}

// Each road that writes the stock rows' prices or their visibility holds the
// products, their stock rows and the cards from its first step.
TEST(StockRows, EachPriceAndVisibilityRoadHoldsTheProductsTheirRowsAndTheCards)
{
    CatEnv env;
    DepartmentShop s(env);
    standOn(s.firma, s.bar, s.group, Form_Main->Sheet_Sklad_Ing, env.mainSklad(s.bar));
    const auto copyFrom = [&](int tag) {
        TForm_CopyCena* f = Form_CopyCena;
        f->Tag = tag;
        f->KodFirma = s.firma;
        f->KodOtdel = s.kitchen;
        f->Btn_OkClick();
    };
    const QStringList prices{QStringLiteral("ING"), QStringLiteral("ING_SKLAD"), QStringLiteral("KARTA")};
    ExpectEachHolds({
        {"row prices saved", prices,
         [&] {
             ModalScript script;
             script.then([](QWidget*) {
                 Form_IngSklad->E_Cena->setText(QStringLiteral("12,5"));
                 Form_IngSklad->E_CenaExit();
                 Form_IngSklad->Btn_OkClick();
             });
             ingsklad::EditDepartmentRow(s.row(s.onion, s.bar));
         }},
        {"prices copied from a department", prices, [&] { copyFrom(1); }},
        {"prices copied into a warehouse", prices, [&] { copyFrom(2); }},
        {"stock row hidden", prices, [] { ProductsTabMenus->N1_SkladClick(); }},
        {"stock list hidden", prices, [] { ProductsTabMenus->N5Click(); }},
        {"product hidden", prices,
         [&] {
             standOn(s.firma, s.kitchen, s.group, Form_Main->Sheet_All_Ing);
             ProductsTabMenus->N1_AllClick();
         }},
        {"product list hidden", prices, [] { ProductsTabMenus->N3Click(); }},
    });
    EXPECT_DOUBLE_EQ(s.num(s.carrot, s.bar, QStringLiteral("CENA")), 10);
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("OPEN_CLOSE = 1")), 6);
}

TEST(WhereUsed, TheCardsThatListAProductAndItsOwnSelfRow)
{
    CatEnv env;
    DepartmentShop s(env);
    const costing::Context ctx = engine::ProgramContext();
    const std::vector<costing::UsageRow> carrot = costing::WhereUsed(ctx, s.carrot);
    ASSERT_EQ(carrot.size(), 2u);
    EXPECT_EQ(carrot[0].name.toStdString(), "Морковь");
    EXPECT_EQ(carrot[0].kolvo, 1.0);
    EXPECT_EQ(carrot[1].name.toStdString(), "Салат \"Весна\"");
    EXPECT_EQ(carrot[1].kolvo, 0.2);
    EXPECT_EQ(carrot[1].unit.toStdString(), "кг");

    const qint64 dill = env.ing(QStringLiteral("Укроп"), s.group, s.kg);
    const std::vector<costing::UsageRow> alone = costing::WhereUsed(ctx, dill);
    ASSERT_EQ(alone.size(), 1u);
    EXPECT_EQ(alone[0].name.toStdString(), "Укроп");
    EXPECT_EQ(alone[0].kvoPorc, 1);
    EXPECT_EQ(alone[0].unit.toStdString(), "кг");
    EXPECT_EQ(alone[0].kolvo, 1.0);
    // The salad has no self row: no card uses it.
    EXPECT_TRUE(costing::WhereUsed(ctx, s.salad).empty());
}
