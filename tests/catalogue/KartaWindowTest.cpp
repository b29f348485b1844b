// The card editor as a user drives it, headless on a real database: the lock
// by unposted documents, the edit cycle with its protocol lines, the circle
// refusal, the keypad, the yield mode and the checks and effects of "Запись".

#include "CatalogueFixture.h"

#include "Unit_Karta.h"
#include "Unit_Recept.h"
#include "costing/CardEdit.h"
#include "Unit_ProductsTab.h"
#include "Unit_StructureBox.h"
#include "base/Unit_Base.h"
#include "db/Error.h"
#include "support/NetworkRelay.h"
#include "support/ServerStation.h"
#include "ui/Unit_Net.h"
#include "grid/DatasetModel.h"
#include "ui/Keypad.h"
#include "support/HeldTables.h"
#include "support/UserInput.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_Main.h"
#include "grid/Greying.h"
#include "util/Globals.h"
#include "util/Settings.h"
#include "util/SettingsStore.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

#include <tuple>

namespace {

using Row = CatEnv::CardRow;

class KartaWindow : public ::testing::Test {
protected:
    KartaWindow()
    {
        const qint64 kg = env.unit();
        veg = env.group(QStringLiteral("Овощи"));
        dishes = env.group(QStringLiteral("Блюда"));
        firma = env.firma(QStringLiteral("Кафе"));
        kitchen = env.mainOtdel(firma);
        potato = ingWithNorm(QStringLiteral("Картофель"), veg, kg, 80);
        carrot = ingWithNorm(QStringLiteral("Морковь"), veg, kg, 75);
        onion = ingWithNorm(QStringLiteral("Лук"), veg, kg, 84);
        soup = env.ing(QStringLiteral("Суп \"Д'Артаньян\""), dishes, kg);
        env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 30, MY_CENA = 45 WHERE KOD_ING = %1").arg(potato));
        env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 40, MY_CENA = 60 WHERE KOD_ING = %1").arg(carrot));
        env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 20, MY_CENA = 25 WHERE KOD_ING = %1").arg(onion));
        // The soup's card: potatoes, and carrots switched off.
        env.t().exec(QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER = %1").arg(soup));
        card(soup, potato, 0.25, 80, 1);
        card(soup, carrot, 0.1, 75, 0);
        env.t().exec(QStringLiteral("UPDATE ING SET MY_LEVEL = 1 WHERE KOD = %1").arg(soup));
        standOn(veg);
        f = Form_Karta;
    }

    qint64 ingWithNorm(const QString& name, qint64 group, qint64 unit, double vihod)
    {
        products::IngData d;
        d.name = name;
        d.group = group;
        d.edIzm = unit;
        d.vihod = vihod;
        return products::CreateIng(d, {}, {});
    }
    void card(qint64 master, qint64 ing, double kolvo, double percent, int active)
    {
        env.cardRow(master, ing, kolvo, percent, active);
    }
    void standOn(qint64 group) { CatEnv::showProducts(firma, kitchen, group); }
    std::vector<Row> rows(qint64 master) { return env.cardRows(master); }
    int flag(qint64 p) { return int(env.num(QStringLiteral("SELECT FLAG_UPDATE FROM ING WHERE KOD = %1").arg(p))); }
    int backupRows(qint64 p)
    {
        return int(env.num(QStringLiteral("SELECT COUNT(*) FROM KARTA K JOIN ING I ON K.KOD_ING_MASTER = I.KOD_UPDATE "
                                          "WHERE I.KOD = %1")
                               .arg(p)));
    }
    // Picks the ingredient in the picker (its group shown) and adds it.
    void add(qint64 group, qint64 ing)
    {
        CatEnv::at(f->QG, group);
        f->Timer_KKTimer();
        ASSERT_TRUE(f->QI->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(ing)));
        f->Btn_AddClick();
    }
    void standOnRow(qint64 ing) { ASSERT_TRUE(f->QS->locate(QStringLiteral("KOD_ING"), QVariant::fromValue<qint64>(ing))); }
    void type(const QString& text)
    {
        f->Keypad->E_Klava->setText(text);
        f->Keypad->Btn_OKSClick();
    }
    void unpostedDocument(const QString& table, qint64 ing, int provodka)
    {
        const qint64 doc = env.num(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
        env.t().exec(QStringLiteral("INSERT INTO DOCS (KOD, DOC_TYPE, PROVODKA) VALUES (%1, 2, %2)").arg(doc).arg(provodka));
        env.t().exec(QStringLiteral("INSERT INTO %1 (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO) VALUES (%2, %3, %4, 1)")
                         .arg(table)
                         .arg(doc)
                         .arg(ing)
                         .arg(kitchen));
    }

    CatEnv env;
    qint64 veg = 0, dishes = 0, firma = 0, kitchen = 0, potato = 0, carrot = 0, onion = 0, soup = 0;
    TForm_Karta* f = nullptr;
};

TEST_F(KartaWindow, AProductInAnUnpostedDocumentCannotBeEdited)
{
    for (const QString& table : {QStringLiteral("MOVES"), QStringLiteral("REAL_BLUDO")}) {
        unpostedDocument(table, soup, 1);  // posted ones do not lock
        unpostedDocument(table, soup, 0);
        f->Prepare(soup);
        env.messages.clear();
        f->Btn_EditClick();
        EXPECT_TRUE(env.sawMessage(QStringLiteral("Данный продукт имеется в непроведённых документах, поэтому корректировка "
                                                  "запрещена до проведения или удаления этих документов.")));
        EXPECT_FALSE(f->Editing());
        EXPECT_TRUE(f->Btn_Edit->isEnabled());
        EXPECT_FALSE(f->Btn_Add->isEnabled());
        EXPECT_EQ(flag(soup), 0);
        EXPECT_EQ(backupRows(soup), 0);
        EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE"), QStringLiteral("WHAT_ACTION LIKE 'Разрешены%'")), 0);
        env.t().exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 1"));
    }
    // Posted documents only: the cycle opens.
    f->Prepare(soup);
    f->Btn_EditClick();
    EXPECT_TRUE(f->Editing());
    EXPECT_EQ(flag(soup), 1);
    f->Btn_ExitClick();
    EXPECT_EQ(flag(soup), 0);
}

TEST_F(KartaWindow, CancelGivesBackTheCardAsItWasWithItsProtocolLines)
{
    const std::vector<Row> before = rows(soup);
    f->Prepare(soup);
    EXPECT_EQ(f->windowTitle(),
              QStringLiteral("Калькуляционная карта продукта <<Суп \"Д'Артаньян\">>  (Калькуляционные параметры)"));
    EXPECT_EQ(f->QS->recordCount(), 2);
    f->Btn_EditClick();
    ASSERT_TRUE(f->Editing());
    EXPECT_TRUE(f->Grid_I->isEnabled());

    add(veg, onion);
    EXPECT_EQ(f->QS->field(QStringLiteral("KOD_ING")).asInt64(), onion);
    EXPECT_DOUBLE_EQ(f->QS->field(QStringLiteral("PERCENT")).asDouble(), 84);  // the norm, the yield mode being "Из нормы"
    type(QStringLiteral("0,3"));
    standOnRow(potato);
    env.answers = {1};
    f->Btn_DeleteClick();
    standOnRow(carrot);
    f->Btn_VklClick();
    EXPECT_EQ(rows(soup), (std::vector<Row>{{carrot, 0.1, 75, 1}, {onion, 0.3, 84, 1}}));

    f->Btn_ClearClick();
    EXPECT_FALSE(f->Editing());
    EXPECT_EQ(rows(soup), before);
    EXPECT_EQ(flag(soup), 0);
    EXPECT_EQ(backupRows(soup), 0);
    EXPECT_EQ(f->QS->recordCount(), 2);
    const QString p = QStringLiteral("Суп \"Д'Артаньян\"");
    for (const QString& line :
         {QStringLiteral("Разрешены изменения в К/карте продукта <<") + p + QStringLiteral(">>"),
          QStringLiteral("В К/карту продукта <<") + p + QStringLiteral(">> добавлен продукт <<Лук>>"),
          QStringLiteral("Из К/карты продукта <<") + p + QStringLiteral(">> удалён продукт <<Картофель>>"),
          QStringLiteral("В К/картt продукта <<") + p + QStringLiteral(">> включен продукт <<Морковь>>"),
          QStringLiteral("Отменены изменения в К/карте продукта <<") + p + QStringLiteral(">>")})
        EXPECT_EQ(env.logLines(line), 1) << line.toStdString();
}

TEST_F(KartaWindow, AStaleCycleIsToldAndCanBeTakenOver)
{
    f->Prepare(soup);
    f->Btn_EditClick();
    add(veg, onion);
    // The workstation went away with the cycle open; the card is opened again.
    f->Prepare(soup);
    env.answers = {0};
    env.messages.clear();
    f->Btn_EditClick();
    EXPECT_EQ(env.messages.size(), 1);
    EXPECT_FALSE(f->Editing());
    env.answers = {1};
    f->Btn_EditClick();
    ASSERT_TRUE(f->Editing());
    add(veg, potato);
    f->Btn_ClearClick();
    // Back to the rows before the first start, each once.
    EXPECT_EQ(rows(soup), (std::vector<Row>{{potato, 0.25, 80, 1}, {carrot, 0.1, 75, 0}}));
    EXPECT_EQ(backupRows(soup), 0);
}

TEST_F(KartaWindow, TheWorkstationThatLostTheCycleCanNeitherSaveNorCancel)
{
    const std::vector<Row> before = rows(soup);
    const QString lost = QStringLiteral("Изменения калькуляционной карты продукта <<Суп \"Д'Артаньян\">> перехвачены на другом "
                                        "рабочем месте. Здесь ничего не записано и не отменено: запишите или отмените "
                                        "изменения там, где они продолжаются.");
    // Another workstation (a connection of its own) takes the cycle over.
    auto takeOver = [&] {
        env.t().write().start();
        const qint64 k = costing::StartEditCycle(costing::Context{&env.t().db(), &env.t().read(), &env.t().write()}, soup);
        env.t().write().commit();
        return k;
    };
    for (int action = 0; action < 2; ++action) {
        SCOPED_TRACE(action == 0 ? "cancel" : "save");
        f->Prepare(soup);
        f->Btn_EditClick();
        ASSERT_TRUE(f->Editing());
        add(veg, onion);
        const qint64 theirs = takeOver();
        const std::vector<Row> taken = rows(soup);
        const int lines = env.count(QStringLiteral("LOG_TABLE"), QStringLiteral("1 = 1"));
        env.messages.clear();
        if (action == 0)
            f->Btn_ClearClick();
        else
            f->Btn_OkClick();
        EXPECT_TRUE(env.sawMessage(lost));
        EXPECT_FALSE(f->Editing());
        EXPECT_EQ(rows(soup), taken);
        EXPECT_EQ(flag(soup), 1);
        EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE"), QStringLiteral("1 = 1")), lines);
        EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_UPDATE FROM ING WHERE KOD = %1").arg(soup)), theirs);
        // Leaving the window neither cancels nor says more.
        env.messages.clear();
        f->Btn_ExitClick();
        EXPECT_TRUE(env.messages.isEmpty());
        EXPECT_EQ(rows(soup), taken);

        // The owner's cancel gives back the card exactly as before the first start.
        env.t().write().start();
        costing::CancelEditCycle(costing::Context{&env.t().db(), &env.t().read(), &env.t().write()}, soup);
        env.t().write().commit();
        EXPECT_EQ(rows(soup), before);
        EXPECT_EQ(flag(soup), 0);
        EXPECT_EQ(backupRows(soup), 0);
    }
}

TEST_F(KartaWindow, AnIngredientThatHoldsTheProductIsRefused)
{
    // Three levels: the soup holds a dressing that holds a sauce.
    const qint64 kg = env.num(QStringLiteral("SELECT MIN(KOD) FROM ED_IZM"));
    const qint64 sauce = env.ing(QStringLiteral("Соус"), dishes, kg);
    const qint64 dressing = env.ing(QStringLiteral("Заправка"), dishes, kg);
    env.t().exec(QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER IN (%1, %2)").arg(sauce).arg(dressing));
    card(sauce, onion, 0.1, 100, 1);
    card(dressing, sauce, 0.1, 100, 1);
    card(soup, dressing, 0.1, 100, 1);
    f->Prepare(sauce);
    f->Btn_EditClick();
    env.messages.clear();
    add(dishes, soup);
    EXPECT_TRUE(env.sawMessage(QStringLiteral("Этот ингредиент нелзя включить в калькуляционную карту продукта, так как он "
                                              "сам является составляющей добавляемого ингредиента (циклическая ссылка) !")));
    EXPECT_EQ(rows(sauce), (std::vector<Row>{{onion, 0.1, 100, 1}}));
    // A product that holds nothing of it goes in.
    add(veg, carrot);
    EXPECT_EQ(rows(sauce).size(), 2u);
    f->Btn_ExitClick();
}

TEST_F(KartaWindow, TheKeypadWritesQuantityYieldOrCoefficient)
{
    f->Prepare(soup);
    standOnRow(potato);
    type(QStringLiteral("5"));  // view mode: nothing
    EXPECT_EQ(rows(soup)[0], (Row{potato, 0.25, 80, 1}));
    f->Btn_EditClick();
    f->CB_Next->setChecked(false);
    standOnRow(potato);
    type(QStringLiteral("0,4"));
    EXPECT_DOUBLE_EQ(std::get<1>(rows(soup)[0]), 0.4);
    // A quantity beyond the bound of a line: refused, nothing written.
    Guard([&] { type(QStringLiteral("1000000000000000")); });
    EXPECT_TRUE(env.sawMessage(QStringLiteral("Количество 1000000000000000 вне допустимых пределов (по модулю не больше 1000000).")));
    EXPECT_DOUBLE_EQ(std::get<1>(rows(soup)[0]), 0.4);
    f->Keypad->Clear();
    // The second column takes the yield, or the coefficient when the setting asks for it.
    f->RG_Manual->setItemIndex(1);
    EXPECT_TRUE(f->RG_Kolonka->isEnabled());
    f->RG_Kolonka->setItemIndex(1);
    SetSettingValue(QStringLiteral("brutto"), 0);
    EXPECT_EQ(f->RG_Kolonka->button(1)->text(), QStringLiteral("% Выхода"));
    type(QStringLiteral("90"));
    EXPECT_DOUBLE_EQ(std::get<2>(rows(soup)[0]), 90);
    SetSettingValue(QStringLiteral("brutto"), 1);
    EXPECT_EQ(f->RG_Kolonka->button(1)->text(), QStringLiteral("Коэф. Брутто"));
    type(QStringLiteral("1,25"));
    EXPECT_DOUBLE_EQ(std::get<2>(rows(soup)[0]), 80);
    EXPECT_DOUBLE_EQ(f->QS->field(QStringLiteral("K_BRUTTO")).asDouble(), 1.25);
    EXPECT_DOUBLE_EQ(f->QS->field(QStringLiteral("BRUTTO")).asDouble(), 0.5);
    // Nothing above zero: refused, nothing written, the user kept on the cell.
    env.messages.clear();
    f->Keypad->E_Klava->setText(QStringLiteral("0"));
    EXPECT_FALSE(f->Keypad->TakeBeforeLeaving());
    EXPECT_TRUE(env.sawMessage(QStringLiteral("В поле \"Количество\" должно стоять число больше нуля !")));
    EXPECT_DOUBLE_EQ(std::get<2>(rows(soup)[0]), 80);
    // With the cursor moving on, the next row is current after a value.
    f->CB_Next->setChecked(true);
    f->RG_Kolonka->setItemIndex(0);
    standOnRow(potato);
    type(QStringLiteral("1"));
    EXPECT_EQ(f->QS->field(QStringLiteral("KOD_ING")).asInt64(), carrot);
    // A gross typed on a line without a net has no coefficient to give: refused, nothing written.
    add(veg, onion);
    const std::vector<Row> added = rows(soup);
    f->Grid_Sostav->setCurrentIndex(f->Grid_Sostav->model()->index(f->QS->recNo(), 4));  // "Брутто"
    env.messages.clear();
    Guard([&] { type(QStringLiteral("0,5")); });
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Нетто этой строки не задано, поэтому брутто не из чего пересчитать "
                                                       "в коэффициент. Сначала введите нетто.")});
    EXPECT_EQ(rows(soup), added);
    f->Btn_ExitClick();
}

TEST_F(KartaWindow, YieldFromTheNormResetsEveryRow)
{
    env.t().exec(QStringLiteral("UPDATE ING SET MANUAL_BRUTTO = 1 WHERE KOD = %1").arg(soup));
    env.t().exec(QStringLiteral("UPDATE KARTA SET PERCENT = 50 WHERE KOD_ING_MASTER = %1").arg(soup));
    card(soup, onion, 1, 0, 1);  // a yield of 0 shows no coefficient
    f->Prepare(soup);
    EXPECT_EQ(f->RG_Manual->itemIndex(), 1);
    standOnRow(onion);
    EXPECT_TRUE(f->QS->field(QStringLiteral("K_BRUTTO")).isNull());
    f->Btn_EditClick();
    f->RG_Manual->setItemIndex(0);
    EXPECT_FALSE(f->RG_Kolonka->isEnabled());
    EXPECT_EQ(rows(soup), (std::vector<Row>{{potato, 0.25, 80, 1}, {carrot, 0.1, 75, 0}, {onion, 1, 84, 1}}));
    EXPECT_EQ(env.logLines(QStringLiteral("В К/картt продукта <<Суп \"Д'Артаньян\">> коэффициент перевода в брутто "
                                          "поставлен в положение \"Из нормы ингредиента\"")),
              1);
    f->Btn_ClearClick();
}

TEST_F(KartaWindow, SavingChecksTheHeaderThenStoresLevelAndPrices)
{
    f->Prepare(soup);
    f->Btn_EditClick();
    add(veg, onion);
    type(QStringLiteral("0,5"));
    const struct {
        QString kolvo, percent, message;
    } refusals[] = {
        {QString(), QStringLiteral("0"), QStringLiteral("На какое количество единиц продекта составлена эта раскладка ?")},
        {QStringLiteral("10a"), QStringLiteral("0"),
         QStringLiteral("В опле \"Количество единиц\" должно стоять целое положительное число !")},
        {QStringLiteral("0"), QStringLiteral("0"),
         QStringLiteral("В поле \"Количество единиц\" должно стоять целое положительное число !")},
        {QStringLiteral("2"), QString(),
         QStringLiteral("В поле \"Процент надбавки\" должно стоять целое положительное число или 0 !")},
        {QStringLiteral("2"), QStringLiteral("-5"),
         QStringLiteral("В поле \"Процент надбавки\" должно стоять целое положительное число или 0 !")},
    };
    for (const auto& r : refusals) {
        f->E_Kolvo->setText(r.kolvo);
        f->E_Percent->setText(r.percent);
        env.messages.clear();
        f->Btn_OkClick();
        EXPECT_EQ(env.messages, QStringList{r.message}) << r.kolvo.toStdString();
        EXPECT_EQ(flag(soup), 1);
    }
    f->E_Kolvo->setText(QStringLiteral("2"));
    f->E_Percent->setText(QStringLiteral("10"));
    f->E_Vihod->setText(QStringLiteral("300/20 г"));
    f->RG_Cena->setItemIndex(0);
    env.messages.clear();
    f->Btn_OkClick();
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(f->result(), QDialog::Accepted);
    auto q = env.t().select(
        QStringLiteral("SELECT KVO_PORC, PERCENT_PLUS, VIHOD_BLUDA, MY_LEVEL, FLAG_UPDATE FROM ING WHERE KOD = %1").arg(soup));
    EXPECT_EQ(q->field(0).asInt(), 2);
    EXPECT_EQ(q->field(1).asInt(), 10);
    EXPECT_EQ(q->field(2).asString(), QStringLiteral("300/20 г"));
    EXPECT_EQ(q->field(3).asInt(), 1);
    EXPECT_EQ(q->field(4).asInt(), 0);
    EXPECT_EQ(backupRows(soup), 0);
    // Gross amounts of potatoes at 30 and onions at 20 for two units, with the card's 10 % markup.
    const double cost = (0.25 * 100 / 80 * 30 + 0.5 * 100 / 84 * 20) * 1.1 / 2;
    EXPECT_NEAR(env.t().scalar(QStringLiteral("SELECT CENA FROM ING_SKLAD WHERE KOD_ING = %1").arg(soup)).toDouble(), cost,
                1e-9);
    EXPECT_EQ(env.logLines(QStringLiteral("Записаны изменения в К/карту продукта <<Суп \"Д'Артаньян\">>")), 1);

    // With stock (here a negative one) the prices stay and the user is told why.
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = -2, CENA = 1 WHERE KOD_ING = %1").arg(soup));
    f->Prepare(soup);
    f->Btn_EditClick();
    env.messages.clear();
    f->Btn_OkClick();
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].startsWith(QStringLiteral("Данный продукт на одном из складов имеет не нулевые остатки.")));
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT CENA FROM ING_SKLAD WHERE KOD_ING = %1").arg(soup)).toDouble(), 1);
}

TEST_F(KartaWindow, AnEmptyCardIsSavedWithLevelZeroAndStockPrices)
{
    env.t().exec(QStringLiteral("UPDATE ING SET CENA_COMPUTE = 1 WHERE KOD = %1").arg(soup));
    f->Prepare(soup);
    f->Btn_EditClick();
    env.answers = {1, 1};
    standOnRow(potato);
    f->Btn_DeleteClick();
    f->Btn_DeleteClick();
    EXPECT_TRUE(rows(soup).empty());
    f->Btn_OkClick();
    EXPECT_EQ(f->RG_Cena->itemIndex(), 0);
    EXPECT_EQ(env.num(QStringLiteral("SELECT MY_LEVEL FROM ING WHERE KOD = %1").arg(soup)), 0);
    EXPECT_EQ(env.num(QStringLiteral("SELECT CENA_COMPUTE FROM ING WHERE KOD = %1").arg(soup)), 0);
}

TEST_F(KartaWindow, ClosingTheWindowWithACycleOpenCancelsIt)
{
    const std::vector<Row> before = rows(soup);
    f->Prepare(soup);
    f->show();
    f->Btn_EditClick();
    add(veg, onion);
    f->close();
    EXPECT_EQ(rows(soup), before);
    EXPECT_EQ(flag(soup), 0);
}

TEST_F(KartaWindow, ThePickerSearchesTheTypedTextAsItStands)
{
    const qint64 kg = env.num(QStringLiteral("SELECT MIN(KOD) FROM ED_IZM"));
    const qint64 quoted = env.ing(QStringLiteral("Соус \"O'Neil\" 50%"), dishes, kg);
    env.ing(QStringLiteral("Соус 505"), dishes, kg);
    const qint64 beet = env.ing(QStringLiteral("Свёкла отварная"), dishes, kg);
    f->Prepare(soup);
    input::showActive(f, nullptr);
    f->Btn_EditClick();
    f->CB_Context->setChecked(true);
    const auto found = [&](const QString& text) {
        f->E_Context->setText(text);
        f->CB_ContextClick();
        QList<qint64> keys;
        for (int r = 0; r < f->QI->recordCount(); ++r)
            keys << f->QI->valueAt(r, f->QI->fieldIndex(QStringLiteral("KOD"))).toLongLong();
        return keys;
    };
    EXPECT_EQ(found(QStringLiteral("o'neil")), QList<qint64>{quoted});
    EXPECT_EQ(found(QStringLiteral("0%")), QList<qint64>{quoted});
    EXPECT_EQ(found(QStringLiteral("свекла")), QList<qint64>{beet});  // е and ё alike
    EXPECT_EQ(found(QStringLiteral("' OR 1=1 --")), QList<qint64>{});
    EXPECT_EQ(found(QStringLiteral("суп")), QList<qint64>{});  // the product itself is never offered
    EXPECT_FALSE(f->Grid_G->isEnabled());

    // Typed as a cook types, faster than the list follows: part of a name,
    // Insert, the net quantity, Enter. A search that finds nothing adds
    // nothing and says so; the number typed after it goes to no row.
    f->E_Context->setFocus();
    for (const char* part : {"хрен", "лук"}) {
        f->E_Context->clear();
        env.messages.clear();
        input::typeText(QString::fromUtf8(part));
        input::press(Qt::Key_Insert);
        input::typeThenEnter(QStringLiteral("0,05"), f->Grid_Sostav);
        EXPECT_EQ(QApplication::focusWidget(), f->E_Context) << part;
    }
    EXPECT_EQ(rows(soup), (std::vector<Row>{{potato, 0.25, 80, 1}, {carrot, 0.1, 75, 0}, {onion, 0.05, 84, 1}}));
    f->E_Context->clear();
    input::typeText(QStringLiteral("хрен"));
    input::press(Qt::Key_Insert);
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Поиск \"хрен\" не нашёл ни одного продукта. "
                                                       "В калькуляционную карту ничего не добавлено.")});
    f->Btn_ExitClick();
    f->hide();
}

TEST_F(KartaWindow, TheProductsTabOpensTheCardOfItsCurrentProduct)
{
    CatEnv::at(ProductsTab->Q_GrIng, dishes);
    ProductsTab->CB_Context_IngClick();
    CatEnv::at(ProductsTab->Q_Ing, soup);
    {
        ModalScript script;
        script.then([](QWidget* w) {
            ASSERT_EQ(w, Form_Karta);
            EXPECT_TRUE(Form_Karta->windowTitle().contains(QStringLiteral("<<Суп \"Д'Артаньян\">>")));
            EXPECT_EQ(Form_Karta->QS->recordCount(), 2);
            EXPECT_TRUE(Form_Karta->Btn_Edit->isEnabled());
            Form_Karta->Btn_Exit->click();
        });
        ProductsTab->Btn_Karta->click();
    }
    EXPECT_FALSE(Form_Karta->QS->active());
    EXPECT_EQ(ProductsTab->Q_Ing->field(QStringLiteral("KOD")).asInt64(), soup);
    // Without the right to the cards the user is told so.
    UserRights = 1u << Right::AllIng;
    env.messages.clear();
    ProductsTab->Btn_Karta->click();
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].endsWith(QStringLiteral("данная функция недоступна !")));
}

} // namespace

TEST_F(KartaWindow, TheKeypadAnswersMouseAndKeysAndEnterPressesNoWindowButton)
{
    f->Prepare(soup);
    input::showActive(f, nullptr);  // as its modal loop shows it: viewing first
    f->Btn_EditClick();
    f->CB_Next->setChecked(false);
    f->RG_Kolonka->setItemIndex(0);
    standOnRow(potato);
    f->Grid_Sostav->setFocus();
    int pressed = 0;  // the window's own buttons, not the keypad's
    for (QPushButton* b : f->findChildren<QPushButton*>())
        if (!f->Keypad->isAncestorOf(b))
            QObject::connect(b, &QPushButton::clicked, b, [&pressed] { ++pressed; });

    input::clickKeypad(f->Keypad, QStringLiteral("0,3"));
    EXPECT_DOUBLE_EQ(std::get<1>(rows(soup)[0]), 0.3);
    standOnRow(potato);
    f->Grid_Sostav->setFocus();
    input::typeThenEnter(QStringLiteral("0,6"), f->Grid_Sostav);
    EXPECT_DOUBLE_EQ(std::get<1>(rows(soup)[0]), 0.6);
    EXPECT_EQ(pressed, 0);
    EXPECT_TRUE(f->isVisible());
    f->Btn_ExitClick();
    f->hide();
}

TEST_F(KartaWindow, TypedDigitsLandOnTheChosenRowWhateverTheRowsAboveHold)
{
    f->Prepare(soup);
    input::showActive(f, nullptr);
    f->Btn_EditClick();
    f->CB_Next->setChecked(false);
    f->RG_Kolonka->setItemIndex(0);
    standOnRow(carrot);
    const int carrotRow = f->QS->recNo();

    // The carrots' net quantity, 0,2 from the main row and 0,15 from the numeric pad;
    // the potatoes' 0,25 above starts with the same digits.
    input::clickCell(f->Grid_Sostav, carrotRow, QStringLiteral("KOLVO"));
    input::typeThenEnter(QStringLiteral("0,2"), f->Grid_Sostav);
    EXPECT_EQ(rows(soup)[1], (Row{carrot, 0.2, 75, 0}));
    input::typeThenEnter(QStringLiteral("0,15"), f->Grid_Sostav, Qt::KeypadModifier);
    EXPECT_EQ(rows(soup)[0], (Row{potato, 0.25, 80, 1}));
    EXPECT_EQ(rows(soup)[1], (Row{carrot, 0.15, 75, 0}));
    f->Btn_ExitClick();
    f->hide();
}

// Values typed with the keys and clicks a cook moves by between them, in
// both yield modes: each lands on the cell it was typed for, and the next one
// on the cell the key moved to. The keys move only between the cells that
// take typing (from the norm: the net; by hand also the coefficient and the
// gross), a line's end wrapping to the next line, the last line's staying;
// a click elsewhere stands on the line's cell the column choice names, a
// click on the choice takes the number first (refused, nothing moves). After
// every step the cursor stands on the cell the next number goes to.
TEST_F(KartaWindow, ValuesTypedOneAfterAnotherLandOnTheCellsTheKeysChoose)
{
    const QString refusal = QStringLiteral("В поле \"Количество\" должно стоять число больше нуля !");
    const struct {
        bool manual;  // "Вручную"; else "Из нормы ингредиента"
        bool next;    // "Сдвигать позицию курсора"
        const char* walk;
        const char* rows;  // net/yield of Картофель, Морковь, Лук; the yield typed as the gross coefficient
        bool refused = false;
    } walks[] = {
        {true, true, "@0:KOLVO 0,3 Tab 2 Enter", "0.3/50 0.1/75 0.05/84"},
        {true, false, "@1:KOLVO 0,2 Tab 1,25 Enter", "0.25/80 0.2/80 0.05/84"},
        {true, true, "@0:K_BRUTTO 2 Backtab 0,4 Enter", "0.4/50 0.1/75 0.05/84"},
        {true, true, "@0:KOLVO 0,3 Down 0,2 Enter 0,1 Enter", "0.3/80 0.2/75 0.1/84"},
        {true, false, "@2:KOLVO 0,3 Up 0,2 Enter", "0.25/80 0.2/75 0.3/84"},
        {true, true, "@0:KOLVO 0,3 @1:K_BRUTTO 2 Enter", "0.3/80 0.1/50 0.05/84"},
        {true, true, "@0:KOLVO 0,3 End 0,6 Enter", "0.3/50 0.1/75 0.05/84"},
        {true, false, "@1:KOLVO 0,2 Home Up Tab Tab 0,5 Enter", "0.25/50 0.2/75 0.05/84"},
        {true, false, "@2:KOLVO 0,3 PgUp 0,2 Enter", "0.2/80 0.1/75 0.3/84"},
        {true, false, "@0:K_BRUTTO 2 PgDn 1,25 Enter", "0.25/50 0.1/75 0.05/80"},
        {true, true, "@1:K_BRUTTO 0 Enter 2 @1:KOLVO 0,2 Enter", "0.25/80 0.2/50 0.05/84", true},
        {true, false, "@0:KOLVO 0,3 Tab 2 Tab 0,5 Tab 0,2 Enter", "0.3/60 0.2/75 0.05/84"},
        {true, false, "@1:KOLVO 0,2 Backtab 0,5 Enter", "0.25/50 0.2/75 0.05/84"},
        {true, false, "@0:KOLVO Backtab Left 0,4 Enter @2:BRUTTO Tab Right 0,1 Enter", "0.4/80 0.1/75 0.05/50"},
        {true, false, "@0:KOLVO 0,3 @1:NAME 0,2 Enter @0:K_BRUTTO @2:SHORT_NAME 1,25 Enter", "0.3/80 0.2/75 0.05/80"},
        {true, true, "@0:KOLVO 0 #1 0,3 #1 2 Enter", "0.3/50 0.1/75 0.05/84", true},
        {false, true, "@0:KOLVO 0,15 Tab 2 Enter @1:KOLVO 0,06 Enter", "0.15/80 0.06/75 0.05/84"},
        {false, false, "@0:K_BRUTTO 0,3 Backtab Down 0,2 Enter", "0.3/80 0.2/75 0.05/84"},
        {false, true, "@0:KOLVO 0,3 Down 0 Enter 0,2 Enter", "0.3/80 0.2/75 0.05/84", true},
        {false, false, "@1:KOLVO 0,2 End 0,3 PgDn 0,1 Enter", "0.25/80 0.3/75 0.1/84"},
        {false, false, "@2:KOLVO 0,3 Home PgUp 0,2 Enter", "0.2/80 0.1/75 0.3/84"},
        {false, true, "@1:K_BRUTTO 0,2 @0:K_BRUTTO 0,4 Enter Left 0,5 Right", "0.4/80 0.5/75 0.05/84"},
        {false, false, "@2:KOLVO 0,3 Backtab 0,2 Backtab Backtab 0,1 Enter", "0.1/80 0.2/75 0.3/84"},
        {false, false, "@1:KOLVO Tab Tab 0,3 Tab 0,2 Enter", "0.25/80 0.1/75 0.2/84"},
    };
    card(soup, onion, 0.05, 84, 1);
    for (const auto& walk : walks) {
        SCOPED_TRACE(testing::Message() << walk.walk << (walk.manual ? " by hand" : " from the norm") << " next "
                                        << walk.next);
        f->Prepare(soup);
        input::showActive(f, nullptr);
        f->Btn_EditClick();
        ASSERT_EQ(f->RG_Manual->itemIndex(), 0);
        if (walk.manual)
            f->RG_Manual->button(1)->click();
        ASSERT_EQ(MyParams->v.brutto, 1);
        f->CB_Next->setChecked(walk.next);
        f->Grid_Sostav->setFocus();
        env.messages.clear();

        const QStringList entry = walk.manual ? QStringList{QStringLiteral("Нетто"), QStringLiteral("К.брутто"), QStringLiteral("Брутто")}
                                              : QStringList{QStringLiteral("Нетто")};
        for (const QString& step : QString::fromLatin1(walk.walk).split(QLatin1Char(' '))) {
            input::play(step, f->Grid_Sostav);
            // The cell shown takes typing, the next number goes to it, and the column choice names it.
            const QModelIndex at = f->Grid_Sostav->currentIndex();
            const QString title = f->Grid_Sostav->model()->headerData(at.column(), Qt::Horizontal).toString();
            EXPECT_TRUE(entry.contains(title)) << "after " << step.toStdString() << ": " << title.toStdString();
            EXPECT_EQ(at.row(), f->QS->recNo()) << step.toStdString();
            EXPECT_EQ(f->Keypad->entryColumn(), at.column()) << step.toStdString();
            EXPECT_EQ(f->RG_Kolonka->itemIndex(), title == QStringLiteral("Нетто") ? 0 : 1) << step.toStdString();
        }
        QStringList typed;
        for (const Row& r : rows(soup))
            typed << QString::number(std::get<1>(r)) + QLatin1Char('/') + QString::number(std::get<2>(r));
        EXPECT_EQ(typed.join(QLatin1Char(' ')).toStdString(), walk.rows);
        EXPECT_EQ(env.messages, walk.refused ? QStringList{refusal} : QStringList{});
        EXPECT_TRUE(f->Keypad->E_Klava->text().isEmpty());
        f->Btn_ExitClick();  // the card as it was for the next walk
        f->hide();
    }
}

// Each road of the card editor holds the cards, the products and their stock
// rows from its first step, from opening the cycle to its save or its cancel,
// and so does the recipe's save.
TEST_F(KartaWindow, EachRoadHoldsTheCardsTheProductsAndTheirStockRows)
{
    f->Prepare(soup);
    const QStringList prices{QStringLiteral("KARTA"), QStringLiteral("ING"), QStringLiteral("ING_SKLAD")};
    ExpectEachHolds({
        {"editing opened", prices, [&] { f->Btn_EditClick(); }},
        {"ingredient added", prices, [&] { add(veg, onion); }},
        {"quantity typed", prices, [&] { type(QStringLiteral("0,5")); }},
        {"row switched on", prices,
         [&] {
             standOnRow(carrot);
             f->Btn_VklClick();
         }},
        {"yields by hand", prices, [&] { f->RG_Manual->button(1)->click(); }},
        {"yields from the norm", prices, [&] { f->RG_Manual->button(0)->click(); }},
        {"row removed", prices,
         [&] {
             standOnRow(potato);
             f->Btn_DeleteClick();
         }},
        {"card saved", prices,
         [&] {
             f->E_Kolvo->setText(QStringLiteral("2"));
             f->E_Percent->setText(QStringLiteral("10"));
             f->Btn_OkClick();
         }},
        {"recipe saved", prices,
         [&] {
             Form_Recept->Load(soup);
             Form_Recept->RichEdit1->setPlainText(QStringLiteral("Варить 20 минут"));
             Form_Recept->Btn_OkClick();
         }},
        {"editing opened again and cancelled", prices,
         [&] {
             f->Prepare(soup);
             f->Btn_EditClick();
             f->Btn_ClearClick();
         },
         2},
    });
    EXPECT_EQ(rows(soup), (std::vector<Row>{{carrot, 0.1, 75, 1}, {onion, 0.5, 84, 1}}));
    EXPECT_EQ(flag(soup), 0);
}

// Two workstations on the test server: the other one has the card's cycle
// open with a quantity written. Taking it over here (No is the default, the
// confirmation test shows) does what its question says: the other one can
// neither save nor cancel, what it wrote stays in the card, "Запись" here
// keeps it and "Выход" gives back the card from before its cycle began.
TEST_F(KartaWindow, TakingOverAnotherWorkstationsCycleDoesWhatItsQuestionSays)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    ASSERT_TRUE(env.moveToTestServer());
    standOn(veg);
    ServerStation other(env.t().path());
    const std::vector<Row> before = rows(soup);
    for (const bool save : {false, true}) {
        SCOPED_TRACE(save ? "Запись" : "Выход");
        other.write().start();
        const qint64 theirs = costing::StartEditCycle(other.ctx(), soup);
        costing::SetCardRowValue(other.ctx(), env.num(QStringLiteral("SELECT MIN(KOD) FROM KARTA WHERE KOD_ING_MASTER = %1").arg(soup)),
                                 costing::CardFigure::Net, 0.3);
        other.write().commit();
        const std::vector<Row> theirRows = rows(soup);
        f->Prepare(soup);
        env.messages.clear();
        f->Btn_EditClick();
        EXPECT_EQ(env.messages, QStringList{QStringLiteral(
            "Калькуляционная карта этого продукта уже открыта для изменений: на другом рабочем месте или с прошлого раза, "
            "когда работа программы прервалась. Перехватить эти изменения и продолжить их здесь ? Там их тогда нельзя "
            "будет ни записать, ни отменить. Уже внесённое там остаётся в карте: \"Запись\" здесь сохранит его вместе с "
            "вашими изменениями, а \"Отмена\" или \"Выход\" вернёт карту к виду до начала тех изменений.")});
        other.write().start();
        EXPECT_FALSE(costing::HoldsEditCycle(other.ctx(), soup, theirs));
        other.write().rollback();
        EXPECT_EQ(rows(soup), theirRows);
        add(veg, onion);
        save ? f->Btn_OkClick() : f->Btn_ExitClick();
        const std::vector<Row> kept{{potato, 0.3, 80, 1}, {carrot, 0.1, 75, 0}, {onion, 0, 84, 1}};
        EXPECT_EQ(rows(soup), save ? kept : before);
        EXPECT_EQ(flag(soup), 0);
    }
}

// The network to the server breaks while a card is edited: "Выход" closes the
// window and says what stays, the start page offers "Подключения", which
// connects again without a restart, and the card opened again takes its
// cycle over and can be cancelled.
TEST_F(KartaWindow, ALostConnectionClosesTheCardAndAReconnectTakesItsCycleOver)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    NetworkRelay network;
    ASSERT_TRUE(env.moveToTestServer(&network));
    standOn(veg);
    Form_Main->SetActivePage(Form_Main->Sheet_All_Ing);
    const std::vector<Row> before = rows(soup);
    f->Prepare(soup);
    f->show();
    f->Btn_EditClick();
    add(veg, onion);
    const std::vector<Row> written = rows(soup);
    ASSERT_EQ(written.size(), 3u);

    network.cut();
    env.messages.clear();
    f->Btn_Exit->click();
    EXPECT_FALSE(f->isVisible());
    ASSERT_EQ(env.messages.size(), 2) << env.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(env.messages[0], db::ConnectionLostText());
    EXPECT_TRUE(env.messages[1].startsWith(QStringLiteral("Окно калькуляционной карты продукта <<Суп \"Д'Артаньян\">> "
                                                          "закрыто")));
    EXPECT_EQ(rows(soup), written);
    EXPECT_EQ(flag(soup), 1);
    EXPECT_EQ(Form_Main->ActivePage(), Form_Main->Sheet_Hello);

    // "Подключения", its dialog closed as it stands: connected again, back on the page of the work.
    Msg::setModalHandler([](QDialog* d) {
        EXPECT_EQ(d, Form_Net.made());
        return int(QDialog::Rejected);
    });
    env.messages.clear();
    Form_Main->Btn_Net->click();
    Msg::setModalHandler({});
    EXPECT_TRUE(Form_Base->MyDB->connected());
    EXPECT_EQ(Form_Main->ActivePage(), Form_Main->Sheet_Ing);

    standOn(veg);
    f->Prepare(soup);
    f->show();
    env.answers = {1};  // carry on with the cycle left open
    f->Btn_EditClick();
    ASSERT_TRUE(f->Editing());
    f->Btn_Exit->click();
    EXPECT_EQ(rows(soup), before);
    EXPECT_EQ(flag(soup), 0);
    // Started twice, one row added, cancelled once.
    EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE"), QStringLiteral("WHAT_ACTION LIKE '%К/карт%'")), 4);
}
