// Product groups and products: the dialogs, the reference checks and the
// moves, on real databases.

#include "CatalogueFixture.h"
#include "support/UserInput.h"

#include "Unit_GrIng.h"
#include "Unit_GrToSklad.h"
#include "Unit_Ing.h"
#include "Unit_MoveIng.h"
#include "Unit_NSection.h"
#include "Unit_ProductsTab.h"
#include "grid/DatasetModel.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_RG.h"
#include "grid/Greying.h"
#include "util/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

// Types text into an edit as keys ('\b' a backspace), so its key and edit handlers run.
void type(QLineEdit* e, const QString& text)
{
    e->end(false);
    for (QChar c : text) {
        const int key = c == QLatin1Char('\b') ? int(Qt::Key_Backspace) : 0;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(e, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(e, &release);
    }
}

// The products tab standing on an enterprise's department, warehouse and group.
void openTab(qint64 firma, qint64 otdel, qint64 sklad, qint64 group)
{
    Form_Main->SetActivePage(Form_Main->Sheet_All_Ing);
    ProductsTab->Sheet_IngShow();
    CatEnv::at(StructureBox->Q_Firma, firma);
    StructureBox->Timer_OtdelTimer();
    CatEnv::at(StructureBox->Q_Otdel, otdel);
    StructureBox->Timer_SkladTimer();
    CatEnv::at(StructureBox->Q_Sklad, sklad);
    ProductsTab->Timer_GrIngTimer();
    if (group)
        CatEnv::at(ProductsTab->Q_GrIng, group);
    ProductsTab->CB_Context_IngClick();
}

// A choice of Form_RG.
std::function<void(QWidget*)> choose(int item)
{
    return [item](QWidget*) {
        if (item < 0) {
            Form_RG->reject();
            return;
        }
        Form_RG->RG->setItemIndex(item);
        Form_RG->accept();
    };
}

struct Shop {
    qint64 kg, veg, milk, firma, kitchen, kitchenSklad, cafe, hall, hallSklad, bar, barSklad;
};

// Two own enterprises; the first has a second department.
Shop makeShop(CatEnv& env)
{
    Shop s{};
    s.kg = env.unit();
    s.veg = env.group(QStringLiteral("Овощи"));
    s.milk = env.group(QStringLiteral("Молочное"));
    s.firma = env.firma(QStringLiteral("Кафе"), QStringLiteral("Кухня"));
    s.kitchen = env.mainOtdel(s.firma);
    s.kitchenSklad = env.mainSklad(s.kitchen);
    s.bar = structure::CreateOtdel(s.firma, QStringLiteral("Кафе"), QStringLiteral("Бар"), QString());
    s.barSklad = env.mainSklad(s.bar);
    s.cafe = env.firma(QStringLiteral("Столовая"), QStringLiteral("Зал"));
    s.hall = env.mainOtdel(s.cafe);
    s.hallSklad = env.mainSklad(s.hall);
    return s;
}

} // namespace

TEST(Group, NewGroupIsKeptInEveryDepartmentsMainWarehouse)
{
    CatEnv env;
    Shop s = makeShop(env);
    const qint64 extra = structure::CreateSklad(s.firma, s.kitchen, QStringLiteral("Кафе"), QStringLiteral("Кухня"),
                                                QStringLiteral("Холодильник"), QString());
    // A department that lost its main warehouse gets no binding.
    env.t().exec(QStringLiteral("UPDATE SKLAD SET FIRST_SKLAD = '0' WHERE KOD = %1").arg(s.hallSklad));

    Form_GrIng->NewMode = 1;
    Form_GrIng->FormShow();
    Form_GrIng->Btn_OkClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Нет наименования группы !"));
    Form_GrIng->E_Name->setText(QStringLiteral("Напитки"));
    Form_GrIng->Btn_OkClick();
    const qint64 g = Form_GrIng->SavedKod;
    EXPECT_EQ(env.messages.last(), QStringLiteral("Группа << Напитки >> добавлена в основной склад подразделений. Для "
                                                  "перемещения её в другой склад воспользуйтесь кнопкой \"Переместить\" "));
    EXPECT_EQ(env.count(QStringLiteral("SKLAD_GRING"), QStringLiteral("KOD_GRING = %1").arg(g)), 2);
    for (qint64 sk : {s.kitchenSklad, s.barSklad})
        EXPECT_EQ(env.count(QStringLiteral("SKLAD_GRING"), QStringLiteral("KOD_GRING = %1 AND KOD_SKLAD = %2").arg(g).arg(sk)), 1);
    EXPECT_EQ(env.count(QStringLiteral("SKLAD_GRING"), QStringLiteral("KOD_SKLAD = %1").arg(extra)), 0);
    EXPECT_EQ(env.logLines(QStringLiteral("Добавлена группа блюд:Напитки")), 1);

    // Renaming keeps the bindings.
    openTab(s.firma, s.kitchen, s.kitchenSklad, g);
    Form_GrIng->NewMode = 0;
    Form_GrIng->FormShow();
    EXPECT_EQ(Form_GrIng->E_Name->text(), QStringLiteral("Напитки"));
    Form_GrIng->E_Name->setText(QStringLiteral("Соки"));
    Form_GrIng->Btn_OkClick();
    EXPECT_EQ(env.text(QStringLiteral("SELECT NAME FROM GROUP_ING WHERE KOD = %1").arg(g)), QStringLiteral("Соки"));
    EXPECT_EQ(env.logLines(QStringLiteral("Изменения в группе блюд:Соки")), 1);
}

TEST(Product, NewProductHasItsSelfCardRowAndARowInEveryDepartment)
{
    CatEnv env;
    Shop s = makeShop(env);
    // In the bar the vegetables are kept in a warehouse of their own.
    const qint64 cold = structure::CreateSklad(s.firma, s.bar, QStringLiteral("Кафе"), QStringLiteral("Бар"),
                                               QStringLiteral("Овощной"), QString());
    products::MoveGroupToSklad(s.veg, cold, s.bar, s.barSklad, QStringLiteral("Овощи"), QStringLiteral("Овощной"));
    openTab(s.firma, s.kitchen, s.kitchenSklad, s.veg);

    TForm_Ing* f = Form_Ing;
    f->NewMode = 1;
    f->FormShow();
    EXPECT_EQ(f->E_Proc->text(), QStringLiteral("100"));
    EXPECT_EQ(f->E_Koef->text(), QStringLiteral("1"));
    EXPECT_EQ(f->E_Section->text(), QStringLiteral("1"));
    EXPECT_EQ(f->E_Max->text(), QStringLiteral("10"));
    f->E_Name->setText(QStringLiteral("Морковь"));
    f->L_Ed->setCurrentIndex(f->L_Ed->findText(QStringLiteral("килограмм")));
    f->E_Time->setText(QString());
    f->E_Alarm->setText(QString());
    type(f->E_Proc, QStringLiteral("\b\b\b80"));
    f->E_Kalories->setText(QStringLiteral("35"));
    f->CB_UseMenu->setChecked(true);
    f->Btn_OkClick();
    ASSERT_EQ(f->result(), QDialog::Accepted) << env.messages.join(QStringLiteral(" | ")).toStdString();
    const qint64 p = f->SavedKod;

    auto ing = env.t().select(QStringLiteral("SELECT * FROM ING WHERE KOD = %1").arg(p));
    EXPECT_EQ(ing->field(QStringLiteral("KOD_GROUP")).asInt64(), s.veg);
    EXPECT_EQ(ing->field(QStringLiteral("ED_IZM")).asInt64(), s.kg);
    EXPECT_DOUBLE_EQ(ing->field(QStringLiteral("VIHOD")).asDouble(), 80.0);
    EXPECT_EQ(ing->field(QStringLiteral("USE_MENU")).asString(), QStringLiteral("+"));
    EXPECT_EQ(ing->field(QStringLiteral("KVO_PORC")).asInt(), 1);
    EXPECT_EQ(ing->field(QStringLiteral("MY_TIME")).asInt(), 0);
    EXPECT_DOUBLE_EQ(ing->field(QStringLiteral("KALORIES")).asDouble(), 35.0);
    EXPECT_EQ(env.count(QStringLiteral("KARTA"), QStringLiteral("KOD_ING_MASTER = %1 AND KOD_ING = %1 AND KOLVO = 1").arg(p)), 1);
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("KOD_ING = %1").arg(p)), 3);
    const struct {
        qint64 otdel, firma, sklad;
    } rows[] = {{s.kitchen, s.firma, s.kitchenSklad}, {s.bar, s.firma, cold}, {s.hall, s.cafe, s.hallSklad}};
    for (const auto& r : rows) {
        auto q = env.t().select(QStringLiteral("SELECT * FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(p).arg(r.otdel));
        ASSERT_EQ(q->recordCount(), 1);
        EXPECT_EQ(q->field(QStringLiteral("KOD_FIRMA")).asInt64(), r.firma);
        EXPECT_EQ(q->field(QStringLiteral("KOD_SKLAD")).asInt64(), r.sklad);
        EXPECT_EQ(q->field(QStringLiteral("KOD_GROUP")).asInt64(), s.veg);
        EXPECT_EQ(q->field(QStringLiteral("OPEN_CLOSE")).asInt() + q->field(QStringLiteral("KOLVO")).asDouble() +
                      q->field(QStringLiteral("CENA")).asDouble() + q->field(QStringLiteral("PERCENT")).asInt(),
                  0);
    }
    EXPECT_EQ(env.logLines(QStringLiteral("Создан новый продукт:Морковь")), 1);
}

TEST(Product, CreatedFromTheTabHiddenElsewhereOnRequest)
{
    CatEnv env;
    Shop s = makeShop(env);
    openTab(s.firma, s.bar, s.barSklad, s.milk);
    ModalScript script;
    script
        .then([](QWidget*) {
            Form_Ing->E_Name->setText(QStringLiteral("Кефир"));
            Form_Ing->L_Ed->setCurrentIndex(0);
            Form_Ing->Btn_OkClick();
        })
        .then(choose(1));
    ProductsTab->Btn_Add_IngClick();
    EXPECT_EQ(script.pending(), 0u);
    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_EQ(Form_RG->RG->items(), (QStringList{QStringLiteral("Продукт видим во всех предприятиях и отделах"),
                                                 QStringLiteral("Для других предприятий и отделов продукт скрыт")}));
    const qint64 p = Form_Ing->SavedKod;
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("KOD_ING = %1 AND OPEN_CLOSE = 1").arg(p)), 2);
    EXPECT_EQ(env.num(QStringLiteral("SELECT OPEN_CLOSE FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(p).arg(s.bar)), 0);
    EXPECT_EQ(cat::KeyOf(ProductsTab->Q_Ing), p);
    EXPECT_EQ(Form_Ing->E_Time->text(), QStringLiteral("0"));

    // Cancel on the choice counts as "visible everywhere".
    script.then([](QWidget*) {
              Form_Ing->E_Name->setText(QStringLiteral("Ряженка"));
              Form_Ing->L_Ed->setCurrentIndex(0);
              Form_Ing->Btn_OkClick();
          })
        .then(choose(-1));
    ProductsTab->Btn_Add_IngClick();
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("KOD_ING = %1 AND OPEN_CLOSE = 0").arg(Form_Ing->SavedKod)), 3);

    // A warehouse without groups: refused before the dialog.
    const qint64 empty = structure::CreateSklad(s.firma, s.bar, QStringLiteral("Кафе"), QStringLiteral("Бар"),
                                                QStringLiteral("Пустой"), QString());
    openTab(s.firma, s.bar, empty, 0);
    EXPECT_FALSE(ProductsTab->Q_Ing->active());
    EXPECT_FALSE(ProductsTab->Grid_Ing->isEnabled());
    ProductsTab->Btn_Add_IngClick();
    EXPECT_TRUE(env.messages.last().startsWith(QStringLiteral("Создать новый продукт можно только в существующей группе")));
    EXPECT_EQ(script.unexpected(), 0);
}

TEST(Product, DialogChecksInOrderAndKeepsYieldAndCoefficientInStep)
{
    CatEnv env;
    Shop s = makeShop(env);
    openTab(s.firma, s.kitchen, s.kitchenSklad, s.veg);
    TForm_Ing* f = Form_Ing;
    f->show();
    f->NewMode = 1;
    f->FormShow();

    // Enter in any field presses OK (refused here for the missing name), never the calculator.
    int calculators = 0;
    f->showKBrutto = [&](double& brutto, double& netto) {
        brutto = 5;
        netto = 4;
        return ++calculators > 0;
    };
    input::showActive(f, nullptr);
    for (QWidget* field : std::initializer_list<QWidget*>{f->E_Name, f->L_Ed, f->E_Proc, f->E_Koef, f->E_Kalories, f->E_DInfo,
                                                         f->E_Section, f->E_Max, f->E_Time, f->E_Alarm, f->CB_UseMenu}) {
        env.messages.clear();
        field->setFocus();
        input::press(Qt::Key_Return);
        EXPECT_EQ(env.messages, QStringList{QStringLiteral("Нет наименования !")}) << field->accessibleName().toStdString();
    }
    EXPECT_EQ(calculators, 0);
    // The calculator's own button opens it; its OK leaves the focus on the next field, where Enter saves.
    f->Button1->setFocus();
    input::press(Qt::Key_Return);
    EXPECT_EQ(calculators, 1);
    EXPECT_EQ(f->E_Koef->text(), QStringLiteral("1,25"));
    env.messages.clear();
    input::press(Qt::Key_Return);
    EXPECT_EQ(calculators, 1);
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Нет наименования !")});
    f->E_Proc->setText(QStringLiteral("100"));
    f->E_Koef->setText(QStringLiteral("1"));

    type(f->E_Koef, QStringLiteral("\b4"));
    EXPECT_EQ(f->E_Koef->text(), QStringLiteral("4"));
    EXPECT_EQ(f->E_Proc->text(), QStringLiteral("25"));
    EXPECT_EQ(f->NormChanged, 1);
    f->E_Proc->clear();
    type(f->E_Proc, QStringLiteral("5x0,.5"));  // a letter and a second separator are dropped
    EXPECT_EQ(f->E_Proc->text(), QStringLiteral("50,5"));
    f->E_Proc->setText(QStringLiteral("50"));
    f->E_ProcKeyUp();
    EXPECT_EQ(f->E_Koef->text(), QStringLiteral("2"));
    f->E_Proc->clear();
    type(f->E_Proc, QStringLiteral("0"));
    EXPECT_TRUE(f->E_Proc->text().isEmpty());
    EXPECT_TRUE(f->E_Koef->text().isEmpty());

    auto refusal = [&](QWidget* focus) {
        const int before = env.count(QStringLiteral("ING"));
        f->Btn_OkClick();
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(env.count(QStringLiteral("ING")), before);
        if (focus) {
            EXPECT_EQ(f->focusWidget(), focus);
        }
        return env.messages.last();
    };
    EXPECT_EQ(refusal(f->E_Name), QStringLiteral("Нет наименования !"));
    f->E_Name->setText(QStringLiteral("Свёкла"));
    EXPECT_EQ(refusal(f->L_Ed), QStringLiteral("Не выбрана единица измерения !"));
    f->L_Ed->setCurrentIndex(0);
    // An empty yield is named as missing, not as out of range.
    EXPECT_EQ(refusal(f->E_Proc), QStringLiteral("Нет процента выхода !"));
    f->E_Proc->setText(QStringLiteral("0"));
    EXPECT_EQ(refusal(f->E_Proc), QStringLiteral("Процент выхода должен быть > 0 !"));
    f->E_Proc->setText(QStringLiteral("80"));
    EXPECT_EQ(refusal(f->E_Koef), QStringLiteral("Нет коэффициента брутто !"));
    f->E_Koef->setText(QStringLiteral("1,25"));
    f->E_Kalories->setText(QStringLiteral("4,5"));
    EXPECT_EQ(refusal(f->E_Kalories), QStringLiteral("В поле количества калорий должно стоять целое положительное число или 0 !"));
    f->E_Kalories->clear();
    for (const QString& bad : {QStringLiteral("0"), QStringLiteral("6")}) {
        f->E_Section->setText(bad);
        EXPECT_TRUE(refusal(nullptr).contains(QStringLiteral("от 1 до 5")));
    }
    f->E_Section->setText(QStringLiteral("-1"));
    EXPECT_EQ(refusal(f->E_Section), QStringLiteral("В поле номера секции должно стоять целое положительное число или 0 !"));
    MyParams->v.obmen = 1;  // TorgService takes any section
    f->E_Section->setText(QStringLiteral("7"));
    f->E_Max->setText(QStringLiteral("1.5"));
    EXPECT_TRUE(refusal(f->E_Max).startsWith(QStringLiteral("В поле максимального процента скидки")));
    f->E_Max->setText(QStringLiteral("5"));
    f->E_Time->setText(QStringLiteral("15"));
    f->E_Alarm->setText(QString());
    EXPECT_TRUE(refusal(f->E_Alarm).startsWith(QStringLiteral("Если Вы установили у блюда максимальное время")));
    f->E_Alarm->setText(QStringLiteral("5"));
    f->Btn_OkClick();
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(env.num(QStringLiteral("SELECT MY_SECTION FROM ING WHERE KOD = %1").arg(f->SavedKod)), 7);
    EXPECT_EQ(env.num(QStringLiteral("SELECT KALORIES FROM ING WHERE KOD = %1").arg(f->SavedKod)), 0);
}

TEST(Product, ChangedYieldReachesOnlyCardsThatFollowTheNorm)
{
    CatEnv env;
    Shop s = makeShop(env);
    MyParams->v.obmen = 1;  // the products have section 0
    const qint64 onion = env.ing(QStringLiteral("Лук"), s.veg, s.kg);
    const qint64 soup = env.ing(QStringLiteral("Суп"), s.veg, s.kg);
    const qint64 salad = env.ing(QStringLiteral("Салат"), s.veg, s.kg);
    env.t().exec(QStringLiteral("UPDATE ING SET MANUAL_BRUTTO = 1, MY_LEVEL = 1 WHERE KOD = %1").arg(salad));
    env.t().exec(QStringLiteral("UPDATE ING SET MY_LEVEL = 1, KALORIES = 583.54077142857 WHERE KOD = %1").arg(soup));
    env.t().exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT) VALUES (%1, %2, 0.1, 100)").arg(soup).arg(onion));
    env.t().exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT) VALUES (%1, %2, 0.1, 90)").arg(salad).arg(onion));
    openTab(s.firma, s.kitchen, s.kitchenSklad, s.veg);
    auto percent = [&](qint64 master) {
        return env.t().scalar(QStringLiteral("SELECT PERCENT FROM KARTA WHERE KOD_ING = %1 AND KOD_ING_MASTER = %2").arg(onion).arg(master)).toDouble();
    };

    // Saving without touching the yield leaves the cards alone.
    CatEnv::at(ProductsTab->Q_Ing, onion);
    ModalScript script;
    script.then([](QWidget*) { Form_Ing->Btn_OkClick(); });
    ProductsTab->Btn_Upd_IngClick();
    EXPECT_DOUBLE_EQ(percent(soup), 100.0);
    EXPECT_EQ(env.logLines(QStringLiteral("Изменён продукт:Лук")), 1);

    script.then([](QWidget*) {
        type(Form_Ing->E_Koef, QStringLiteral("\b\b\b\b1,25"));
        Form_Ing->Btn_OkClick();
    });
    ProductsTab->Btn_Upd_IngClick();
    EXPECT_TRUE(env.messages.last().startsWith(QStringLiteral("Изменилась норма \"Брутто\".")));
    EXPECT_DOUBLE_EQ(percent(soup), 80.0);
    EXPECT_DOUBLE_EQ(percent(salad), 90.0);
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT VIHOD FROM ING WHERE KOD = %1").arg(onion)).toDouble(), 80.0);
    EXPECT_EQ(cat::KeyOf(ProductsTab->Q_Ing), onion);

    // A composite's calories come from its card: the field is off, shows them
    // as the products list does, and keeps them as they are.
    CatEnv::at(ProductsTab->Q_Ing, soup);
    bool kaloriesOff = false;
    QString kalories;
    script.then([&](QWidget*) {
        kaloriesOff = !Form_Ing->E_Kalories->isEnabled();
        kalories = Form_Ing->E_Kalories->text();
        Form_Ing->Btn_OkClick();
    });
    ProductsTab->Btn_Upd_IngClick();
    EXPECT_TRUE(kaloriesOff);
    EXPECT_EQ(kalories, QStringLiteral("583,5"));
    EXPECT_TRUE(Form_Ing->E_Kalories->isEnabled());
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT KALORIES FROM ING WHERE KOD = %1").arg(soup)).toDouble(),
                     583.54077142857);
    EXPECT_EQ(script.unexpected(), 0);
}

TEST(Product, DeletionIsRefusedWhileTheProductIsUsedAnywhere)
{
    CatEnv env;
    Shop s = makeShop(env);
    const qint64 p = env.ing(QStringLiteral("Лук"), s.veg, s.kg);
    const qint64 dish = env.ing(QStringLiteral("Суп"), s.veg, s.kg);

    // Its own card row is no use; any other reference is.
    EXPECT_EQ(products::IngInUse(p), products::IngUse::None);
    const struct {
        QString insert, undo;
        products::IngUse use;
        QString text;
    } refs[] = {
        {QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO) VALUES ({DISH}, {P}, 1)"),
         QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER = {DISH} AND KOD_ING = {P}"), products::IngUse::Karta,
         QStringLiteral("Данный продукт имеется в враскладках блюд, удалите сначала эти блюда !")},
        {QStringLiteral("INSERT INTO INVENT (KOD_DOC, KOD_ING) VALUES (1, {P})"), QStringLiteral("DELETE FROM INVENT"),
         products::IngUse::Invent,
         QStringLiteral("Данный продукт имеется в документах инвентаризации, удалите сначала эти документы !")},
        {QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING) VALUES (1, {P})"), QStringLiteral("DELETE FROM REAL_BLUDO"),
         products::IngUse::Real, QStringLiteral("Данный продукт имеется в документах реализации, удалите сначала эти документы !")},
        {QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING) VALUES (1, {P})"), QStringLiteral("DELETE FROM MOVES"),
         products::IngUse::Moves, QStringLiteral("Данный продукт имеется в документах движения, удалите сначала эти документы !")},
        {QStringLiteral("INSERT INTO MENU_STR (KOD_MENU_RAZDEL, KOD_ING) VALUES (1, {P})"), QStringLiteral("DELETE FROM MENU_STR"),
         products::IngUse::Menu, QStringLiteral("Данный продукт имеется в меню, удалите сначала эти меню !")},
        {QStringLiteral("UPDATE ING_SKLAD SET KOLVO = -1 WHERE KOD_ING = {P} AND KOD_OTDEL = {BAR}"),
         QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 0"), products::IngUse::Stock,
         QStringLiteral("Данный продукт имеет ненулевые остатки на складах !")},
    };
    auto sql = [&](QString text) {
        return text.replace(QStringLiteral("{P}"), Key(p)).replace(QStringLiteral("{DISH}"), Key(dish)).replace(QStringLiteral("{BAR}"), Key(s.bar));
    };
    openTab(s.firma, s.kitchen, s.kitchenSklad, s.veg);
    for (const auto& r : refs) {
        SCOPED_TRACE(r.text.toStdString());
        env.t().exec(sql(r.insert));
        EXPECT_EQ(products::IngInUse(p), r.use);
        CatEnv::at(ProductsTab->Q_Ing, p);
        ProductsTab->Del_Ing_One();
        EXPECT_EQ(env.messages.last(), r.text);
        EXPECT_EQ(env.count(QStringLiteral("ING"), QStringLiteral("KOD = %1").arg(p)), 1);
        env.t().exec(sql(r.undo));
    }

    // Backups of card edits: an abandoned one is no use and goes with the
    // product; one of a card still being edited is a use.
    env.t().exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (999000111, %1, 1)").arg(p));
    EXPECT_EQ(products::IngInUse(p), products::IngUse::None);
    env.t().exec(QStringLiteral("UPDATE ING SET KOD_UPDATE = 999000111, FLAG_UPDATE = 1 WHERE KOD = %1").arg(dish));
    EXPECT_EQ(products::IngInUse(p), products::IngUse::Karta);
    env.t().exec(QStringLiteral("UPDATE ING SET FLAG_UPDATE = 0 WHERE KOD = %1").arg(dish));
    // The product's own backup from an abandoned edit of its card.
    env.t().exec(QStringLiteral("UPDATE ING SET KOD_UPDATE = 999000222 WHERE KOD = %1").arg(p));
    env.t().exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (999000222, %1, 2)").arg(dish));

    ProductsTab->Timer_IngTimer();
    CatEnv::at(ProductsTab->Q_Ing, p);
    env.answers = {0};
    ProductsTab->Del_Ing_One();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Вы уверены что желаете удалить этот продукт ?"));
    EXPECT_EQ(env.count(QStringLiteral("ING"), QStringLiteral("KOD = %1").arg(p)), 1);

    ModalScript script;
    script.then(choose(0));
    ProductsTab->Btn_Del_IngClick();
    EXPECT_EQ(env.count(QStringLiteral("ING"), QStringLiteral("KOD = %1").arg(p)), 0);
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("KOD_ING = %1").arg(p)), 0);
    EXPECT_EQ(env.count(QStringLiteral("KARTA"), QStringLiteral("KOD_ING = %1 OR KOD_ING_MASTER = %1").arg(p)), 0);
    EXPECT_EQ(env.count(QStringLiteral("KARTA"), QStringLiteral("KOD_ING_MASTER = 999000222")), 0);
    EXPECT_EQ(env.count(QStringLiteral("KARTA"), QStringLiteral("KOD_ING = %1").arg(dish)), 1);  // the dish's self row
    EXPECT_EQ(env.logLines(QStringLiteral("Удаление блюда <<Лук>>")), 1);
    EXPECT_EQ(cat::KeyOf(ProductsTab->Q_Ing), dish);  // it was the first row: the list stands on the next one
}

TEST(Product, DeletingTheWholeGroupSkipsTheProductsInUse)
{
    CatEnv env;
    Shop s = makeShop(env);
    const qint64 a = env.ing(QStringLiteral("Лук"), s.veg, s.kg);
    const qint64 b = env.ing(QStringLiteral("Морковь"), s.veg, s.kg);
    env.ing(QStringLiteral("Свёкла"), s.veg, s.kg);
    env.t().exec(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING) VALUES (1, %1)").arg(b));
    openTab(s.firma, s.kitchen, s.kitchenSklad, s.veg);

    ModalScript script;
    script.then(choose(1));
    env.answers = {1, 0};  // thought better of it
    ProductsTab->Btn_Del_IngClick();
    EXPECT_EQ(env.count(QStringLiteral("ING")), 3);
    EXPECT_EQ(env.messages.last(), QStringLiteral("Удаляем из группы всё или одумаемся ?"));

    script.then(choose(1));
    env.answers = {1, 1};
    ProductsTab->Btn_Del_IngClick();
    EXPECT_EQ(env.count(QStringLiteral("ING")), 1);
    EXPECT_EQ(env.count(QStringLiteral("ING"), QStringLiteral("KOD = %1").arg(b)), 1);
    EXPECT_EQ(env.count(QStringLiteral("ING"), QStringLiteral("KOD = %1").arg(a)), 0);
    EXPECT_TRUE(env.messages.last().startsWith(QStringLiteral("Оставшиеся в этой группе продукты удалить не удалось")));
    EXPECT_EQ(env.logLines(QStringLiteral("Удаление всех блюд их группы <<Овощи>>")), 1);
    EXPECT_EQ(ProductsTab->Q_Ing->recordCount(), 1);

    env.t().exec(QStringLiteral("DELETE FROM MOVES"));
    script.then(choose(1));
    ProductsTab->Btn_Del_IngClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Все продукты из группы удалены"));
    EXPECT_EQ(env.count(QStringLiteral("ING")), 0);
}

TEST(Group, DeletionNeedsAnEmptyGroupAndTheRight)
{
    CatEnv env;
    Shop s = makeShop(env);
    const qint64 p = env.ing(QStringLiteral("Лук"), s.veg, s.kg);
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = 1 WHERE KOD_ING = %1").arg(p));
    openTab(s.firma, s.kitchen, s.kitchenSklad, s.veg);
    ProductsTab->Btn_Del_GRClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Удалить можно только пустую группу, т.е. ту, в которой нет продуктов !"));
    EXPECT_EQ(env.count(QStringLiteral("GROUP_ING")), 2);

    CatEnv::at(ProductsTab->Q_GrIng, s.milk);  // the first row: the list stays there and finds the next group
    env.answers = {0};
    ProductsTab->Btn_Del_GRClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Вы уверены что желаете удалить группу <<Молочное>> ?"));
    EXPECT_EQ(env.count(QStringLiteral("GROUP_ING")), 2);
    ProductsTab->Btn_Del_GRClick();
    EXPECT_EQ(env.count(QStringLiteral("GROUP_ING"), QStringLiteral("KOD = %1").arg(s.milk)), 0);
    EXPECT_EQ(env.count(QStringLiteral("SKLAD_GRING"), QStringLiteral("KOD_GRING = %1").arg(s.milk)), 0);
    EXPECT_EQ(env.logLines(QStringLiteral("Удаление группы блюд под названием <<Молочное>>")), 1);
    EXPECT_EQ(cat::KeyOf(ProductsTab->Q_GrIng), s.veg);

    // Without the right nothing is asked.
    env.t().exec(QStringLiteral("INSERT INTO PERSON (FIO, LOGIN) VALUES ('Повар', 'povar')"));
    env.t().exec(QStringLiteral("INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1) SELECT KOD, 2 FROM PERSON WHERE LOGIN = 'povar'"));
    env.loginAs(QStringLiteral("povar"));
    for (auto handler : {&TProductsTab::Btn_Del_GRClick, &TProductsTab::Btn_Add_IngClick, &TProductsTab::Btn_Del_IngClick}) {
        env.messages.clear();
        (ProductsTab->*handler)();
        EXPECT_EQ(env.messages, QStringList{QStringLiteral("Пользователю <<Повар>> данная функция недоступна !")});
    }
}

TEST(Product, MovesToAnotherGroupWithItsDepartmentRows)
{
    CatEnv env;
    Shop s = makeShop(env);
    const qint64 p = env.ing(QStringLiteral("Сыр"), s.veg, s.kg);
    // In the bar dairy lives in a warehouse of its own; the hall does not keep dairy at all.
    const qint64 cold = structure::CreateSklad(s.firma, s.bar, QStringLiteral("Кафе"), QStringLiteral("Бар"),
                                               QStringLiteral("Холодильник"), QString());
    products::MoveGroupToSklad(s.milk, cold, s.bar, s.barSklad, QStringLiteral("Молочное"), QStringLiteral("Холодильник"));
    env.t().exec(QStringLiteral("DELETE FROM SKLAD_GRING WHERE KOD_SKLAD = %1 AND KOD_GRING = %2").arg(s.hallSklad).arg(s.milk));
    openTab(s.firma, s.kitchen, s.kitchenSklad, s.veg);
    CatEnv::at(ProductsTab->Q_Ing, p);

    ModalScript script;
    script.then(choose(0)).then([&](QWidget*) {
        EXPECT_EQ(Form_MoveIng->Panel1->text(), QStringLiteral("Сыр"));
        CatEnv::at(Form_MoveIng->Q_MoveIng, s.milk);
        Form_MoveIng->Btn_OkClick();
    });
    ProductsTab->Btn_Move_IngClick();
    EXPECT_EQ(script.pending(), 0u);
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_GROUP FROM ING WHERE KOD = %1").arg(p)), s.milk);
    auto row = [&](qint64 otdel, const char* col) {
        return env.num(QStringLiteral("SELECT %1 FROM ING_SKLAD WHERE KOD_ING = %2 AND KOD_OTDEL = %3")
                           .arg(QString::fromLatin1(col)).arg(p).arg(otdel));
    };
    EXPECT_EQ(row(s.kitchen, "KOD_GROUP"), s.milk);
    EXPECT_EQ(row(s.kitchen, "KOD_SKLAD"), s.kitchenSklad);
    EXPECT_EQ(row(s.bar, "KOD_GROUP"), s.milk);
    EXPECT_EQ(row(s.bar, "KOD_SKLAD"), cold);
    EXPECT_EQ(row(s.hall, "KOD_GROUP"), s.veg);  // no binding there: unchanged
    EXPECT_EQ(env.logLines(QStringLiteral("Перемещение продукта <<Сыр>> в группу <<Молочное>>")), 1);
    // The product list followed: the product left the group.
    EXPECT_EQ(ProductsTab->Q_Ing->recordCount(), 0);

    // No product in the list: told so.
    script.then(choose(0));
    ProductsTab->Btn_Move_IngClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Не выбран продукт !"));
    EXPECT_EQ(script.unexpected(), 0);
}

TEST(Group, MovesToAnotherWarehouseOfTheDepartment)
{
    CatEnv env;
    Shop s = makeShop(env);
    const qint64 p = env.ing(QStringLiteral("Молоко"), s.milk, s.kg);
    const qint64 cold = structure::CreateSklad(s.firma, s.kitchen, QStringLiteral("Кафе"), QStringLiteral("Кухня"),
                                               QStringLiteral("Холодильник"), QString());
    openTab(s.firma, s.kitchen, s.kitchenSklad, s.milk);
    ModalScript script;
    script.then(choose(1)).then([&](QWidget*) {
        EXPECT_EQ(Form_GrToSklad->Panel1->text(), QStringLiteral("Молочное"));
        EXPECT_EQ(Form_GrToSklad->Q_GrToSklad->recordCount(), 2);
        CatEnv::at(Form_GrToSklad->Q_GrToSklad, cold);
        Form_GrToSklad->Btn_OkClick();
    });
    ProductsTab->Btn_Move_IngClick();
    EXPECT_FALSE(Form_GrToSklad->Q_GrToSklad->active());
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_SKLAD FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(p).arg(s.kitchen)), cold);
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_SKLAD FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(p).arg(s.bar)), s.barSklad);
    EXPECT_EQ(env.count(QStringLiteral("SKLAD_GRING"), QStringLiteral("KOD_GRING = %1 AND KOD_SKLAD = %2").arg(s.milk).arg(cold)), 1);
    EXPECT_EQ(env.count(QStringLiteral("SKLAD_GRING"), QStringLiteral("KOD_GRING = %1 AND KOD_SKLAD = %2").arg(s.milk).arg(s.kitchenSklad)), 0);
    EXPECT_EQ(env.logLines(QStringLiteral("Группа блюд <<Молочное>> перемещена на склад <<Холодильник>>")), 1);
    // The group left this warehouse's list.
    EXPECT_EQ(ProductsTab->Q_GrIng->recordCount(), 1);

    // The section number of a group's products.
    CatEnv::at(ProductsTab->Q_GrIng, s.veg);
    env.ing(QStringLiteral("Лук"), s.veg, s.kg);
    script.then([](QWidget*) {
        Form_NSection->SetItemIndex(2);
        Form_NSection->accept();
    });
    ProductsTab->N9Click();
    EXPECT_EQ(env.num(QStringLiteral("SELECT MY_SECTION FROM ING WHERE KOD_GROUP = %1").arg(s.veg)), 3);
    EXPECT_EQ(env.num(QStringLiteral("SELECT MY_SECTION FROM ING WHERE KOD = %1").arg(p)), 0);
    EXPECT_EQ(env.logLines(QStringLiteral("Продуктам и блюдам группы Овощи значение номера секции заменено на 3")), 1);
}
