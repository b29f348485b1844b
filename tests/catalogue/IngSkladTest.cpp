// The department parameters dialog of a product: the prices it computes for
// each method, that showing it writes nothing, the save with its protocol
// line, carrying prices and codes into other departments, and its refusals.

#include "DepartmentFixture.h"

#include "IngSkladDialog.h"
#include "costing/CostingError.h"
#include "Unit_IngSklad.h"
#include "Unit_ProductsTab.h"
#include "db/Error.h"
#include "engine/EngineDb.h"
#include "engine/WriteRoad.h"
#include "support/ServerStation.h"
#include "support/UserInput.h"
#include "ui/Unit_Alarm.h"
#include "util/Unit_Util.h"
#include "ui/RadioGroup.h"
#include "grid/Greying.h"
#include "util/Settings.h"
#include "util/SettingsStore.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <ibase.h>

#include <gtest/gtest.h>

namespace {

// The dialog filled for a row as its opener does it, without the modal loop.
TForm_IngSklad* show(qint64 kod)
{
    TForm_IngSklad* f = Form_IngSklad;
    const auto row = costing::ReadDepartmentRow(engine::ProgramContext(), kod);
    EXPECT_TRUE(row.has_value());
    f->Preset_RG_All(row->myLevel, row->metod);
    f->RowKod = kod;
    f->FormShow();
    return f;
}

void rounding(int step, int rule)
{
    SetSettingValue(QStringLiteral("okrugl1"), step);
    SetSettingValue(QStringLiteral("okrugl2"), rule);
}

QString lastLog(CatEnv& env)
{
    return env.text(QStringLiteral("SELECT FIRST 1 WHAT_ACTION FROM LOG_TABLE ORDER BY KOD DESC"));
}

} // namespace

TEST(IngSkladPrices, RawProductByEachMethod)
{
    CatEnv env;
    DepartmentShop s(env);
    rounding(2, 0);  // to the rouble, mathematically
    const struct {
        const char* row;
        const char* cena;
        const char* raschot;
        const char* prod;
        const char* markup;
    } cases[] = {
        {"CENA = 100, PERCENT = 25, METOD_CENA = 1, MY_CENA = 3", "100,00", "125,00", "125,00", "25 % от скл."},
        {"CENA = 10, PERCENT = 37, METOD_CENA = 0, MY_CENA = 0", "10,00", "13,70", "14,00", "40 % от скл."},
        {"CENA = 10, PERCENT = 37, METOD_CENA = 2, MY_CENA = 50", "10,00", "13,70", "50,00", "400 % от скл."},
        {"CENA = 10, PERCENT = 37, METOD_CENA = 2, MY_CENA = 0", "10,00", "13,70", "13,70", "37 % от скл."},
        {"CENA = 0, PERCENT = 37, METOD_CENA = 1, MY_CENA = 9", "0,00", "0,00", "0,00", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        s.set(s.onion, s.bar, QString::fromLatin1(c.row));
        TForm_IngSklad* f = show(s.row(s.onion, s.bar));
        EXPECT_EQ(f->Panel1->text(), QStringLiteral("Лук репчатый"));
        EXPECT_EQ(f->E_Cena->text(), QString::fromLatin1(c.cena));
        EXPECT_EQ(f->E_Cena_Raschot->text(), QString::fromLatin1(c.raschot));
        EXPECT_EQ(f->E_CenaProd->text(), QString::fromLatin1(c.prod));
        EXPECT_EQ(f->L_Proc->text(), QString::fromUtf8(c.markup));
        // A raw product's stock price is typed; its price may be carried elsewhere.
        EXPECT_FALSE(f->E_Cena->isReadOnly());
        EXPECT_TRUE(f->RG_All->isEnabled());
        EXPECT_EQ(f->RG_All->itemIndex(), 0);
    }

    // Typed stock price and markup follow at once; only a price by hand is typed.
    s.set(s.onion, s.bar, QStringLiteral("CENA = 10, PERCENT = 0, METOD_CENA = 1"));
    TForm_IngSklad* f = show(s.row(s.onion, s.bar));
    EXPECT_TRUE(f->E_CenaProd->isReadOnly());
    f->E_Cena->setText(QStringLiteral("8,4"));
    EXPECT_TRUE(f->E_CenaExit());
    f->E_Proc->setText(QStringLiteral("50"));
    EXPECT_TRUE(f->E_ProcExit());
    EXPECT_EQ(f->E_Cena_Raschot->text(), QStringLiteral("12,60"));
    EXPECT_EQ(f->E_CenaProd->text(), QStringLiteral("12,60"));
    f->R_Metod->setItemIndex(0);
    EXPECT_EQ(f->E_CenaProd->text(), QStringLiteral("13,00"));
    f->R_Metod->setItemIndex(2);
    EXPECT_FALSE(f->E_CenaProd->isReadOnly());
    f->E_CenaProd->setText(QStringLiteral("21"));
    f->E_CenaProdKeyUp();
    EXPECT_EQ(f->L_Proc->text(), QStringLiteral("150 % от скл."));
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QStringLiteral(" | ")).toStdString();
}

TEST(IngSkladPrices, CompositeCostComesFromItsCardWithTheCardMarkup)
{
    CatEnv env;
    DepartmentShop s(env);
    rounding(1, 0);  // to 50 kopecks
    // The card: onion 0.5 at 50 % yield (gross 1.0 x 20) and carrot 0.2 x 10 = 22, with 10 % = 24.20.
    s.set(s.salad, s.kitchen, QStringLiteral("CENA = 3, MY_CENA = 4, PERCENT = 50, METOD_CENA = 1"));
    TForm_IngSklad* f = show(s.row(s.salad, s.kitchen));
    EXPECT_EQ(f->E_Cena->text(), QStringLiteral("24,20"));
    EXPECT_EQ(f->E_Cena_Raschot->text(), QStringLiteral("36,30"));
    EXPECT_EQ(f->E_CenaProd->text(), QStringLiteral("36,30"));
    EXPECT_TRUE(f->E_Cena->isReadOnly());
    EXPECT_TRUE(f->E_CenaProd->isReadOnly());
    EXPECT_FALSE(f->RG_All->isEnabled());
    f->R_Metod->setItemIndex(0);
    EXPECT_EQ(f->E_CenaProd->text(), QStringLiteral("36,50"));

    // By hand both prices are writable and the price may go to other departments.
    f->R_Metod->setItemIndex(2);
    EXPECT_EQ(f->E_CenaProd->text(), QStringLiteral("4,00"));
    EXPECT_FALSE(f->E_Cena->isReadOnly());
    EXPECT_FALSE(f->E_CenaProd->isReadOnly());
    EXPECT_TRUE(f->RG_All->isEnabled());

    // The cost is the one of the row's own department.
    s.set(s.onion, s.bar, QStringLiteral("CENA = 40"));
    f = show(s.row(s.salad, s.bar));
    EXPECT_EQ(f->E_Cena->text(), QStringLiteral("44,00"));

    // A card that holds itself is refused with its products named, not computed.
    env.t().exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) VALUES (%1, %1, 1, 100, 1)")
                     .arg(s.salad));
    EXPECT_THROW(costing::CompositeCost(engine::ProgramContext(), *costing::ReadDepartmentRow(engine::ProgramContext(),
                                                                                                s.row(s.salad, s.kitchen))),
                 costing::CardError);
}

TEST(IngSkladOpen, ShowingAndCancellingWritesNothing)
{
    CatEnv env;
    DepartmentShop s(env);
    // Everything opening used to rewrite: a price beyond the kopeck, a stocked
    // composite's outdated price, and barcodes that differ by department while
    // the barcode switch is on.
    s.set(s.onion, s.kitchen, QStringLiteral("CENA = 10.555, PERCENT = 10, METOD_CENA = 0, MY_CENA = 1, S_KOD = '111'"));
    s.set(s.onion, s.bar, QStringLiteral("S_KOD = '222'"));
    s.set(s.salad, s.kitchen, QStringLiteral("CENA = 3, MY_CENA = 4, KOLVO = 5, PERCENT = 50, METOD_CENA = 0"));
    SetSettingValue(QStringLiteral("ShtrihKodAllOtdel"), true);
    SetSettingValue(QStringLiteral("Kod1SAllOtdel"), true);
    const std::string before = s.snapshot();

    for (qint64 kod : {s.row(s.onion, s.kitchen), s.row(s.salad, s.kitchen)}) {
        QString caption;
        bool ticked = false;
        ModalScript script;
        script.then([&](QWidget* w) {
            auto* f = qobject_cast<TForm_IngSklad*>(w);
            ASSERT_NE(f, nullptr);
            caption = f->windowTitle();
            ticked = f->CB_ShtrihKod->isChecked();
            f->Btn_Exit->click();
        });
        const ingsklad::Outcome out = ingsklad::EditDepartmentRow(kod);
        EXPECT_FALSE(out.accepted);
        EXPECT_EQ(caption, QStringLiteral("Индивидуальные параметры продукта.  Код: ") + QString::number(kod));
        EXPECT_TRUE(ticked);
        EXPECT_EQ(Form_IngSklad->windowTitle(), QStringLiteral("Индивидуальные параметры продукта"));
        EXPECT_EQ(s.snapshot(), before);
    }
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QStringLiteral(" | ")).toStdString();
    // A product without a row in the department opens nothing.
    env.t().exec(QStringLiteral("DELETE FROM ING_SKLAD WHERE KOD = %1").arg(s.row(s.carrot, s.hall)));
    EXPECT_FALSE(ingsklad::EditProductInDepartment(s.carrot, s.hall).accepted);
}

TEST(IngSkladSave, OkWritesTheRowRecomputesTheProductAndLogs)
{
    CatEnv env;
    DepartmentShop s(env);
    rounding(1, 0);
    s.set(s.onion, s.bar, QStringLiteral("CENA = 30, PERCENT = 50, METOD_CENA = 1, MY_CENA = 0"));
    s.set(s.onion, s.kitchen, QStringLiteral("LIMIT = 7, KOD_KASSA = 3"));
    TForm_IngSklad* f = show(s.row(s.onion, s.kitchen));
    f->E_Cena->setText(QStringLiteral("12,5"));
    f->E_CenaExit();
    f->E_Proc->setText(QStringLiteral("20"));
    f->E_ProcExit();
    f->R_Metod->setItemIndex(1);
    f->RG_NoIng->setItemIndex(1);
    f->E_Kassa->setText(QStringLiteral("0"));
    f->E_Skod->setText(QStringLiteral("  4600001"));
    f->E_1S->setText(QStringLiteral("Б-17'"));
    f->E_Limit->clear();
    f->Btn_OkClick();
    EXPECT_EQ(f->result(), QDialog::Accepted);
    EXPECT_EQ(f->OkPressed, 0);
    EXPECT_DOUBLE_EQ(s.num(s.onion, s.kitchen, QStringLiteral("CENA")), 12.5);
    EXPECT_DOUBLE_EQ(s.num(s.onion, s.kitchen, QStringLiteral("MY_CENA")), 15.0);
    EXPECT_EQ(s.num(s.onion, s.kitchen, QStringLiteral("PERCENT")), 20);
    EXPECT_EQ(s.num(s.onion, s.kitchen, QStringLiteral("METOD_CENA")), 1);
    EXPECT_EQ(s.num(s.onion, s.kitchen, QStringLiteral("NO_ING")), 1);
    EXPECT_EQ(s.num(s.onion, s.kitchen, QStringLiteral("KOD_KASSA")), 0);
    EXPECT_EQ(s.value(s.onion, s.kitchen, QStringLiteral("S_KOD")).toString(), QStringLiteral("4600001"));
    EXPECT_EQ(s.value(s.onion, s.kitchen, QStringLiteral("KOD_1S")).toString(), QStringLiteral("Б-17'"));
    EXPECT_EQ(s.num(s.onion, s.kitchen, QStringLiteral("LIMIT")), 0);  // an empty minimum stores 0
    // The raw product's other rows were recomputed from their own stock price.
    EXPECT_DOUBLE_EQ(s.num(s.onion, s.bar, QStringLiteral("MY_CENA")), 45.0);
    EXPECT_DOUBLE_EQ(s.num(s.onion, s.bar, QStringLiteral("CENA")), 30.0);
    EXPECT_EQ(shown(lastLog(env)), shown(QStringLiteral("Изменение цен <<Лук репчатый>> Цена = 12,50; % Надб.= 20; "
                                                        "Расч.цена = 15,00; Прод.цена = 15,00; % надб. без округл.")));
    EXPECT_EQ(env.logLines(lastLog(env)), 1);
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QStringLiteral(" | ")).toStdString();

    // A composite priced by hand keeps its stock price, and the line tells the one kept; its card now costs (12.50 + 2) x 1.1.
    s.set(s.salad, s.kitchen, QStringLiteral("CENA = 7, MY_CENA = 80, METOD_CENA = 2"));
    f = show(s.row(s.salad, s.kitchen));
    f->E_CenaProd->setText(QStringLiteral("99,90"));
    f->Btn_OkClick();
    EXPECT_DOUBLE_EQ(s.num(s.salad, s.kitchen, QStringLiteral("CENA")), 7.0);
    EXPECT_DOUBLE_EQ(s.num(s.salad, s.kitchen, QStringLiteral("MY_CENA")), 99.9);
    EXPECT_EQ(shown(lastLog(env)), shown(QStringLiteral("Изменение цен <<Салат \"Весна\">> Цена = 7,00; % Надб.= 0; "
                                                        "Расч.цена = 15,95; Прод.цена = 99,90; цена уст. в ручную")));
    // The three method endings.
    EXPECT_TRUE(costing::PriceChangeLogText(QStringLiteral("x"), {}, {}, {}, {}, 0).endsWith(QStringLiteral("; % надб. с округл.")));
    EXPECT_TRUE(costing::PriceChangeLogText(QStringLiteral("x"), {}, {}, {}, {}, 1).endsWith(QStringLiteral("; % надб. без округл.")));
    EXPECT_TRUE(costing::PriceChangeLogText(QStringLiteral("x"), {}, {}, {}, {}, 2).endsWith(QStringLiteral("; цена уст. в ручную")));
}

// A stock price or a markup typed and confirmed at once, without leaving its
// field: whichever way OK is given, the dialog shows the prices recomputed
// from it as saved, stores what it shows, and the protocol line tells the
// stored figures.
TEST(IngSkladSave, OkRecomputesWhatItShowsBeforeSaving)
{
    CatEnv env;
    DepartmentShop s(env);
    rounding(1, 0);  // to 50 kopecks
    const struct {
        QLineEdit* TForm_IngSklad::*field;
        const char* typed;
        int ok;             // Enter in the field, 0 a click on OK, or the key on OK
        const char* shown;  // stock, calculated and selling price as the dialog shows them after OK
        double cena, myCena;
        int percent = 25, cardMarkup = 0;  // the row's markup; the product's card markup, which a raw product has none of
        int metod = 0;
        double stock = 40;  // the stock price before
    } ways[] = {
        {&TForm_IngSklad::E_Cena, "44,44", Qt::Key_Return, "44,44 55,55 55,50", 44.44, 55.5},
        {&TForm_IngSklad::E_Proc, "30", 0, "40,00 52,00 52,00", 40, 52},
        {&TForm_IngSklad::E_Cena, "10,333", Qt::Key_Space, "10,333 12,91625 13,00", 10.333, 13},
        {&TForm_IngSklad::E_Cena, "44,44", Qt::Key_Return, "44,44 53,328 53,50", 44.44, 53.5, 20, 30},
        {&TForm_IngSklad::E_Cena, "44,44", Qt::Key_Return, "44,44 53,328 53,328", 44.44, 53.328, 20, 30, 1},
        {&TForm_IngSklad::E_Proc, "10", 0, "2,345678 2,580246 2,580246", 2.345678, 2.345678 * 1.1, 25, 0, 1, 2.345678},
    };
    for (const auto& w : ways) {
        SCOPED_TRACE(w.typed);
        s.set(s.onion, s.kitchen, QStringLiteral("CENA = %1, PERCENT = %2, METOD_CENA = %3, MY_CENA = 50")
                                      .arg(w.stock, 0, 'f', 6).arg(w.percent).arg(w.metod));
        s.exec(QStringLiteral("UPDATE ING SET PERCENT_PLUS = %1 WHERE KOD = %2").arg(w.cardMarkup).arg(s.onion));
        TForm_IngSklad* f = Form_IngSklad;
        f->Preset_RG_All(0, 0);
        f->RowKod = s.row(s.onion, s.kitchen);
        input::showActive(f, nullptr);
        ASSERT_EQ(f->E_Cena->text(), db::formatNumber(w.stock, db::kPriceDisplay));
        QTest::mouseClick(f->*w.field, Qt::LeftButton);
        input::press(Qt::Key_A, Qt::ControlModifier);
        input::typeText(QString::fromLatin1(w.typed));
        env.messages.clear();
        if (w.ok == Qt::Key_Space)
            f->Btn_Ok->setFocus(Qt::ShortcutFocusReason);
        if (w.ok)
            input::press(Qt::Key(w.ok));
        else
            QTest::mouseClick(f->Btn_Ok, Qt::LeftButton);
        EXPECT_EQ(f->result(), QDialog::Accepted);
        EXPECT_FALSE(f->isVisible());
        EXPECT_EQ(shown(env.messages), "");
        const QStringList prices{f->E_Cena->text(), f->E_Cena_Raschot->text(), f->E_CenaProd->text()};
        EXPECT_EQ(shown(prices.join(QLatin1Char(' '))), w.shown);
        EXPECT_DOUBLE_EQ(s.num(s.onion, s.kitchen, QStringLiteral("CENA")), w.cena);
        EXPECT_DOUBLE_EQ(s.num(s.onion, s.kitchen, QStringLiteral("MY_CENA")), w.myCena);
        EXPECT_EQ(shown(lastLog(env)), shown(QStringLiteral("Изменение цен <<Лук репчатый>> Цена = %1; % Надб.= %2; Расч.цена = %3; "
                                                            "Прод.цена = %4; % надб. %5")
                                                 .arg(prices[0], f->E_Proc->text(), prices[1], prices[2],
                                                      w.metod ? QStringLiteral("без округл.") : QStringLiteral("с округл."))));
    }
}

TEST(IngSkladSave, PricesGoToOtherDepartmentsByTheChoice)
{
    CatEnv env;
    DepartmentShop s(env);
    const QString reminder = QStringLiteral("Производилась замена цен в нескольких подразделениях. После завершения замен всех "
                                            "цен, незабудте сделать перерасчёт (кнопка \"Расчёт цен\")");
    for (qint64 o : {s.kitchen, s.bar, s.hall})
        s.set(s.onion, o, QStringLiteral("CENA = 5, METOD_CENA = 1"));
    const struct {
        int where;
        const char* cena;
        double kitchen, bar, hall;
    } cases[] = {{0, "25", 25, 5, 5}, {1, "26", 26, 26, 5}, {2, "27", 27, 27, 27}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        env.messages.clear();
        TForm_IngSklad* f = show(s.row(s.onion, s.kitchen));
        f->RG_All->setItemIndex(c.where);
        f->E_Cena->setText(QString::fromLatin1(c.cena));
        f->Btn_OkClick();
        EXPECT_DOUBLE_EQ(s.num(s.onion, s.kitchen, QStringLiteral("CENA")), c.kitchen);
        EXPECT_DOUBLE_EQ(s.num(s.onion, s.bar, QStringLiteral("CENA")), c.bar);
        EXPECT_DOUBLE_EQ(s.num(s.onion, s.hall, QStringLiteral("CENA")), c.hall);
        EXPECT_EQ(shown(env.messages), shown(c.where > 0 ? QStringList{reminder} : QStringList{}));
    }

    // A price by hand goes only to the rows priced by hand, and only when the user agrees.
    const QString question = QStringLiteral("У продукта цена установлена вручную а так же выбрана опция замены цен в других "
                                            "подразделениях. Менять ли в них продажные цены, если они тоже ручные ?");
    s.set(s.salad, s.kitchen, QStringLiteral("CENA = 7, MY_CENA = 100, METOD_CENA = 2"));
    s.set(s.salad, s.bar, QStringLiteral("CENA = 8, MY_CENA = 90, METOD_CENA = 2"));
    s.set(s.salad, s.hall, QStringLiteral("CENA = 9, MY_CENA = 5, METOD_CENA = 0"));
    for (int answer : {0, 1}) {
        SCOPED_TRACE(answer);
        env.messages.clear();
        env.answers = {answer};
        TForm_IngSklad* f = show(s.row(s.salad, s.kitchen));
        EXPECT_TRUE(f->RG_All->isEnabled());
        f->RG_All->setItemIndex(2);
        f->E_CenaProd->setText(QStringLiteral("120"));
        f->Btn_OkClick();
        EXPECT_EQ(shown(env.messages), shown((QStringList{question, reminder})));
        EXPECT_DOUBLE_EQ(s.num(s.salad, s.kitchen, QStringLiteral("MY_CENA")), 120.0);
        EXPECT_DOUBLE_EQ(s.num(s.salad, s.bar, QStringLiteral("MY_CENA")), answer ? 120.0 : 90.0);
        EXPECT_DOUBLE_EQ(s.num(s.salad, s.hall, QStringLiteral("MY_CENA")), 5.0);
        // A composite's stock price stays with its card.
        EXPECT_DOUBLE_EQ(s.num(s.salad, s.bar, QStringLiteral("CENA")), 8.0);
    }
}

TEST(IngSkladCodes, CodesAreUniqueAndGoToEveryRowOfTheProduct)
{
    CatEnv env;
    DepartmentShop s(env);
    const qint64 kod = s.row(s.onion, s.kitchen);
    s.set(s.carrot, s.bar, QStringLiteral("KOD_KASSA = 5, S_KOD = '777', KOD_1S = 'A1'"));
    s.set(s.onion, s.bar, QStringLiteral("S_KOD = '555'"));
    const QString kassaTaken = QStringLiteral("Такой код для кассы уже присвоен блюду < Морковь >  Поставте блюду уникальный "
                                              "код для кассы или ноль!");
    const QString barcodeTaken = QStringLiteral("Такой Штрих-Код код присвоен блюду < Морковь >  Поставте блюду уникальный "
                                                "Штрих/Код или удалите его!");
    const QString accountingTaken =
        QStringLiteral("Такой код для 1C уже присвоен блюду < Морковь >  Поставте блюду уникальный код для 1C !");

    // Each refusal names the holder and writes nothing; with a box ticked the
    // code is checked in every department before it goes to all of them.
    const struct {
        bool barcodeAll, accountingAll;
        const char* kassa;
        const char* skod;
        const char* kod1s;
        QString refusal;
    } refused[] = {
        {false, false, "5", "", "", kassaTaken},
        {false, false, "0", "777", "", barcodeTaken},
        {true, false, "0", "777", "", barcodeTaken},
        {false, false, "0", "", "A1", accountingTaken},
        {false, true, "0", "", "A1", accountingTaken},
        {false, false, "0", "555", "", QStringLiteral("Такой Штрих-Код код присвоен блюду < Лук репчатый >  Поставте блюду "
                                                      "уникальный Штрих/Код или удалите его!")},
    };
    const std::string before = s.snapshot();
    for (const auto& c : refused) {
        SCOPED_TRACE(c.refusal.toStdString());
        env.messages.clear();
        TForm_IngSklad* f = show(kod);
        f->CB_ShtrihKod->setChecked(c.barcodeAll);
        f->CB_Kod1S->setChecked(c.accountingAll);
        f->E_Kassa->setText(QString::fromLatin1(c.kassa));
        f->E_Skod->setText(QString::fromLatin1(c.skod));
        f->E_1S->setText(QString::fromLatin1(c.kod1s));
        f->setResult(QDialog::Rejected);
        f->Btn_OkClick();
        EXPECT_EQ(shown(env.messages), shown(QStringList{c.refusal}));
        EXPECT_EQ(f->result(), QDialog::Rejected);
        EXPECT_EQ(s.snapshot(), before);
    }

    // Ticked, a code the product alone holds goes to all its rows: " 555" is the onion's own.
    TForm_IngSklad* f = show(kod);
    f->CB_ShtrihKod->setChecked(true);
    f->CB_Kod1S->setChecked(true);
    f->E_Kassa->setText(QStringLiteral("0"));
    f->E_Skod->setText(QStringLiteral(" 555"));
    f->E_1S->setText(QStringLiteral("Лук-1"));
    env.messages.clear();
    f->Btn_OkClick();
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QStringLiteral(" | ")).toStdString();
    for (qint64 o : {s.kitchen, s.bar, s.hall}) {
        EXPECT_EQ(s.value(s.onion, o, QStringLiteral("S_KOD")).toString(), QStringLiteral("555"));
        EXPECT_EQ(s.value(s.onion, o, QStringLiteral("KOD_1S")).toString(), QStringLiteral("Лук-1"));
    }
    EXPECT_TRUE(lastLog(env).endsWith(QStringLiteral(" Этот продукт получил единый ШтрихКод 555 Этот продукт получил единый "
                                                     "код 1С Лук-1")));
    // Point-of-sale code 0 is never checked; text the database cannot hold is refused.
    s.set(s.carrot, s.bar, QStringLiteral("KOD_KASSA = 0"));
    f = show(kod);
    f->E_1S->setText(QStringLiteral("код€✓"));
    env.messages.clear();
    f->Btn_OkClick();
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].endsWith(QStringLiteral("✓"))) << env.messages[0].toStdString();
}

TEST(IngSkladFields, BadFieldsAreRefusedOneByOne)
{
    CatEnv env;
    DepartmentShop s(env);
    const qint64 kod = s.row(s.onion, s.kitchen);
    const std::string before = s.snapshot();
    const struct {
        const char* field;
        const char* text;
        QString refusal;
    } cases[] = {
        {"E_CenaProd", "", QStringLiteral("Нет цены продажи !")},
        {"E_Cena", "1,2,3", QStringLiteral("В поле цены должно стоять положительное число !")},
        {"E_Cena", "-5", QStringLiteral("В поле цены должно стоять положительное число !")},
        {"E_Cena", ",", QStringLiteral("В поле цены должно стоять положительное число !")},
        {"E_CenaProd", "1e5", QStringLiteral("В поле цены продажи должно стоять положительное число !")},
        {"E_Proc", "2,5", QStringLiteral("В поле процента выхода должно стоять целое положительное число или ноль !")},
        {"E_Kassa", "1 2", QStringLiteral("В поле кода кассы должно стоять целое положительное число или ноль !")},
        {"E_Limit", "много", QStringLiteral("В поле минимального количества на складе должно стоять положительное число или ноль !")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.text);
        TForm_IngSklad* f = show(kod);
        QLineEdit* e = std::string(c.field) == "E_Cena"       ? f->E_Cena
                       : std::string(c.field) == "E_CenaProd" ? f->E_CenaProd
                       : std::string(c.field) == "E_Proc"     ? f->E_Proc
                       : std::string(c.field) == "E_Kassa"    ? f->E_Kassa
                                                              : f->E_Limit;
        e->setText(QString::fromUtf8(c.text));
        env.messages.clear();
        f->Btn_OkClick();
        EXPECT_EQ(shown(env.messages), shown(QStringList{c.refusal}));
        EXPECT_EQ(s.snapshot(), before);
    }
}

TEST(IngSkladSwitches, TickingAsksAndStoresTheSettingWithItsLine)
{
    CatEnv env;
    DepartmentShop s(env);
    TForm_IngSklad* f = show(s.row(s.onion, s.kitchen));
    const auto stored = [&] { return env.count(QStringLiteral("MY_PARAM"), QStringLiteral("NAME_PARAM = 'ShtrihKodAllOtdel'")); };

    env.answers = {0};
    f->CB_ShtrihKod->setChecked(true);
    f->CB_ShtrihKodClick();
    EXPECT_FALSE(f->CB_ShtrihKod->isChecked());
    EXPECT_EQ(stored(), 0);
    EXPECT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].contains(QStringLiteral("Ok, ШтрихКод который Вы видите")));

    f->CB_ShtrihKod->setChecked(true);
    f->CB_ShtrihKodClick();
    EXPECT_EQ(stored(), 1);
    EXPECT_TRUE(MyParams->v.ShtrihKodAllOtdel);
    EXPECT_EQ(shown(lastLog(env)), shown(QStringLiteral("Разрешено иметь единый ШтрихКод во всех подразделениях")));
    f->CB_ShtrihKod->setChecked(false);
    f->CB_ShtrihKodClick();
    EXPECT_EQ(stored(), 0);
    EXPECT_EQ(shown(lastLog(env)), shown(QStringLiteral("Запрещено иметь единый ШтрихКод во всех подразделениях")));

    // A later showing shows the setting.
    f->CB_ShtrihKod->setChecked(true);
    f->CB_ShtrihKodClick();
    f = show(s.row(s.onion, s.bar));
    EXPECT_TRUE(f->CB_ShtrihKod->isChecked());
}

TEST(IngSkladOpen, StockTabOpensTheCurrentRowAndFollowsAHiddenOne)
{
    CatEnv env;
    DepartmentShop s(env);
    TProductsTab* tab = ProductsTab;
    Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
    tab->Sheet_IngShow();
    CatEnv::at(StructureBox->Q_Firma, s.firma);
    StructureBox->Timer_OtdelTimer();
    CatEnv::at(StructureBox->Q_Otdel, s.kitchen);
    StructureBox->Timer_SkladTimer();
    ProductsTab->Timer_GrIngTimer();
    CatEnv::at(ProductsTab->Q_GrIng, s.group);
    tab->CB_Context_IngSkladClick();
    db::Query* q = ProductsTab->Q_Ing_Sklad;
    ASSERT_EQ(q->recordCount(), 3);  // Лук, Морковь, Салат
    q->setRecNo(1);
    ModalScript script;
    script.then([](QWidget* w) {
        auto* f = qobject_cast<TForm_IngSklad*>(w);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->Panel1->text(), QStringLiteral("Морковь"));
        f->RG_OpenClose->setItemIndex(1);
        f->Btn_Ok->click();
    });
    tab->Btn_Upd_IngSkladClick();
    EXPECT_EQ(s.num(s.carrot, s.kitchen, QStringLiteral("OPEN_CLOSE")), 1);
    EXPECT_EQ(q->recordCount(), 2);
    EXPECT_EQ(q->field(QStringLiteral("KOD_ING")).asInt64(), s.onion);
}

// Two workstations on the test server. The save's recomputation warns of a
// price set by hand below the cost: the warning shows once the save has
// committed, so the other workstation saves meanwhile. A save that finds the
// other's road holding the prices waits a bounded time and gives up in the
// conflict's words, writing nothing.
TEST(IngSkladServer, WarningsWaitForTheCommitAndAHeldRoadIsWaitedForABoundedTime)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    CatEnv env;
    DepartmentShop s(env);
    s.set(s.onion, s.kitchen, QStringLiteral("CENA = 20, PERCENT = 0, METOD_CENA = 2, MY_CENA = 15"));
    const QString path = env.testDb().path();
    ASSERT_TRUE(env.moveToTestServer());
    ServerStation other(path);
    const qint64 carrot = s.row(s.carrot, s.kitchen);
    const auto prices = [&] { return env.count(QStringLiteral("LOG_TABLE"), QStringLiteral("WHAT_ACTION STARTING WITH 'Изм'")); };

    // While the warning shows, the other workstation changes a stock row and its protocol, not waiting.
    bool otherSaved = false;
    {
        ModalScript script;
        script.then([&](QWidget* w) {
            EXPECT_TRUE(Form_Alarm->Memo1->toPlainText().contains(QStringLiteral("<< Лук репчатый >>")));
            db::Transaction nowait(&other.db(), {isc_tpb_write, isc_tpb_concurrency, isc_tpb_nowait});
            engine::Context ctx = other.ctx();
            ctx.write = &nowait;
            nowait.start();
            engine::Exec(ctx, QStringLiteral("UPDATE ING_SKLAD SET MY_CENA = 14 WHERE KOD = %1").arg(carrot));
            engine::WriteLogLine(ctx, QStringLiteral("Продукты и блюда"), QStringLiteral("Изменение цен <<Морковь>>"));
            nowait.commit();
            otherSaved = true;
            w->close();
        });
        TForm_IngSklad* f = show(s.row(s.onion, s.kitchen));
        EXPECT_TRUE(Guard([&] { f->Btn_OkClick(); }));
    }
    EXPECT_TRUE(otherSaved) << "the other workstation waited on the warning window";
    EXPECT_DOUBLE_EQ(s.num(s.carrot, s.kitchen, QStringLiteral("MY_CENA")), 14);
    EXPECT_EQ(prices(), 2);

    // The other workstation's road holds the prices: this save waits its bound, then refuses in words.
    const int waitBefore = WriteTransaction::reservationWait;
    WriteTransaction::reservationWait = 1;
    {
        WriteTransaction held(other.ctx(), costing::kRoad);
        engine::Exec(other.ctx(), QStringLiteral("UPDATE ING_SKLAD SET LIMIT = 3 WHERE KOD = %1").arg(carrot));
        env.messages.clear();
        TForm_IngSklad* f = show(s.row(s.onion, s.kitchen));
        f->E_CenaProd->setText(QStringLiteral("16,00"));
        EXPECT_FALSE(Guard([&] { f->Btn_OkClick(); }));
        held.rollback();
    }
    WriteTransaction::reservationWait = waitBefore;
    EXPECT_EQ(env.messages, QStringList{db::LockConflictText()});
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
    EXPECT_DOUBLE_EQ(s.num(s.onion, s.kitchen, QStringLiteral("MY_CENA")), 15);
    EXPECT_EQ(prices(), 2);
}
