// Enterprises, departments, warehouses and units: the dialogs, the settings
// tab's structure box and the server procedures behind them.

#include "CatalogueFixture.h"
#include "support/HeldTables.h"

#include "Unit_Ed.h"
#include "Unit_Firma.h"
#include "Unit_Otdel.h"
#include "Unit_SelectFirma.h"
#include "Unit_Sklad.h"
#include "Unit_StructureBox.h"
#include "grid/DatasetModel.h"
#include "grid/Greying.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace {

// The settings tab's lists standing on an enterprise, a department and a warehouse.
void standOn(qint64 firma, qint64 otdel = 0, qint64 sklad = 0)
{
    StructureBox->Sheet_SetupShow();
    CatEnv::at(StructureBox->Q_Firma, firma);
    StructureBox->Timer_OtdelTimer();
    if (otdel) {
        CatEnv::at(StructureBox->Q_Otdel, otdel);
        StructureBox->Timer_SkladTimer();
    }
    if (sklad)
        CatEnv::at(StructureBox->Q_Sklad, sklad);
}

} // namespace

TEST(Enterprise, OwnOneGetsMainDepartmentWarehouseGroupsAndProductRows)
{
    CatEnv env;
    const qint64 kg = env.unit();
    const qint64 veg = env.group(QStringLiteral("Овощи"));
    const qint64 milk = env.group(QStringLiteral("Молочное"));
    const qint64 potato = env.ing(QStringLiteral("Картофель"), veg, kg);
    const qint64 butter = env.ing(QStringLiteral("Масло"), milk, kg);

    TForm_Firma* f = Form_Firma;
    f->NewMode = 1;
    f->FormShow();
    EXPECT_FALSE(f->CB_Local->isChecked());
    EXPECT_FALSE(f->E_Otdel->isEnabled());
    f->E_Name->setText(QStringLiteral("ООО \"Ромашка\""));
    f->E_INN->setText(QStringLiteral("7701"));
    f->M_DInfo->setPlainText(QStringLiteral("строка 1\nстрока 2"));
    f->CB_Local->click();
    EXPECT_TRUE(f->E_Otdel->isEnabled());
    f->E_Otdel->setText(QStringLiteral("Кухня"));
    f->E_Sklad->setText(QStringLiteral("Склад кухни"));
    f->Btn_OkClick();
    ASSERT_EQ(f->result(), QDialog::Accepted);

    const qint64 firma = f->SavedKod;
    EXPECT_EQ(env.num(QStringLiteral("SELECT LOCAL_FIRMA FROM FIRMA WHERE KOD = %1").arg(firma)), 1);
    EXPECT_EQ(env.text(QStringLiteral("SELECT INFO FROM FIRMA WHERE KOD = %1").arg(firma)), QStringLiteral("строка 1\nстрока 2"));
    ASSERT_EQ(env.count(QStringLiteral("OTDEL"), QStringLiteral("KOD_FIRMA = %1").arg(firma)), 1);
    const qint64 otdel = env.mainOtdel(firma);
    EXPECT_EQ(env.text(QStringLiteral("SELECT NAME FROM OTDEL WHERE KOD = %1").arg(otdel)), QStringLiteral("Кухня"));
    const qint64 sklad = env.mainSklad(otdel);
    EXPECT_EQ(env.text(QStringLiteral("SELECT NAME FROM SKLAD WHERE KOD = %1").arg(sklad)), QStringLiteral("Склад кухни"));
    EXPECT_EQ(env.count(QStringLiteral("SKLAD_GRING"), QStringLiteral("KOD_SKLAD = %1").arg(sklad)), 2);
    for (qint64 p : {potato, butter}) {
        const qint64 row = env.ingSklad(p, otdel);
        ASSERT_GT(row, 0);
        EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_SKLAD FROM ING_SKLAD WHERE KOD = %1").arg(row)), sklad);
        EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_FIRMA FROM ING_SKLAD WHERE KOD = %1").arg(row)), firma);
        EXPECT_EQ(env.num(QStringLiteral("SELECT OPEN_CLOSE + KOLVO + CENA + PERCENT FROM ING_SKLAD WHERE KOD = %1").arg(row)), 0);
    }
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_GROUP FROM ING_SKLAD WHERE KOD_ING = %1").arg(butter)), milk);
    EXPECT_EQ(env.logLines(QStringLiteral("Создание предприятия <<ООО \"Ромашка\">>")), 1);

    // A partner gets no department, warehouse or product row.
    f->NewMode = 1;
    f->FormShow();
    f->E_Name->setText(QStringLiteral("Поставщик"));
    f->Btn_OkClick();
    const qint64 partner = f->SavedKod;
    EXPECT_EQ(env.num(QStringLiteral("SELECT LOCAL_FIRMA FROM FIRMA WHERE KOD = %1").arg(partner)), 0);
    EXPECT_EQ(env.count(QStringLiteral("OTDEL"), QStringLiteral("KOD_FIRMA = %1").arg(partner)), 0);
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD")), 2);

    // Editing: own or partner never changes, the main names are not asked.
    standOn(firma);
    f->NewMode = 0;
    f->FormShow();
    EXPECT_EQ(f->E_Name->text(), QStringLiteral("ООО \"Ромашка\""));
    EXPECT_TRUE(f->CB_Local->isChecked());
    EXPECT_FALSE(f->CB_Local->isEnabled());
    EXPECT_FALSE(f->E_Otdel->isEnabled());
    f->E_Phone->setText(QStringLiteral("555-01-02"));
    f->Btn_OkClick();
    EXPECT_EQ(env.text(QStringLiteral("SELECT PHONE FROM FIRMA WHERE KOD = %1").arg(firma)), QStringLiteral("555-01-02"));
    EXPECT_EQ(env.count(QStringLiteral("OTDEL"), QStringLiteral("KOD_FIRMA = %1").arg(firma)), 1);
    EXPECT_EQ(env.logLines(QStringLiteral("Изменение реквизитов предприятия <<ООО \"Ромашка\">>")), 1);
}

TEST(Enterprise, RefusesMissingNamesWithTheFocusOnTheField)
{
    CatEnv env;
    TForm_Firma* f = Form_Firma;
    f->show();
    f->NewMode = 1;
    f->FormShow();
    f->Btn_OkClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Нет наименования предприятия !"));
    EXPECT_EQ(f->focusWidget(), f->E_Name);
    f->E_Name->setText(QStringLiteral("Своё"));
    f->CB_Local->click();
    f->Btn_OkClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Нет наименования основного подразделения (отдела) предприятия !"));
    EXPECT_EQ(f->focusWidget(), f->E_Otdel);
    f->E_Otdel->setText(QStringLiteral("Кухня"));
    f->Btn_OkClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Нет наименования основного склада предприятия !"));
    EXPECT_EQ(f->focusWidget(), f->E_Sklad);
    EXPECT_TRUE(f->isVisible());
    f->reject();
    EXPECT_EQ(env.count(QStringLiteral("FIRMA")), 0);
    // Unticking empties and greys the main names again.
    f->NewMode = 1;
    f->FormShow();
    f->CB_Local->click();
    f->E_Otdel->setText(QStringLiteral("x"));
    f->CB_Local->click();
    EXPECT_TRUE(f->E_Otdel->text().isEmpty());
    EXPECT_FALSE(f->E_Otdel->isEnabled());
}

TEST(Enterprise, IsCreatedWithItsStructureInOneTransaction)
{
    CatEnv env;
    const qint64 kg = env.unit();
    env.ing(QStringLiteral("Соль"), env.group(QStringLiteral("Бакалея")), kg);
    // The product rows fail: nothing of the enterprise may stay.
    env.t().exec(QStringLiteral("CREATE EXCEPTION E_TEST 'no rows'"));
    env.t().exec(QStringLiteral("CREATE TRIGGER T_FAIL FOR ING_SKLAD BEFORE INSERT AS BEGIN EXCEPTION E_TEST; END"));
    EXPECT_FALSE(Guard([&] { env.firma(QStringLiteral("Неудачное")); }));
    EXPECT_EQ(env.count(QStringLiteral("FIRMA")), 0);
    EXPECT_EQ(env.count(QStringLiteral("OTDEL")), 0);
    EXPECT_EQ(env.count(QStringLiteral("SKLAD")), 0);
    EXPECT_EQ(env.count(QStringLiteral("SKLAD_GRING")), 0);
    EXPECT_EQ(env.logLines(QStringLiteral("Создание предприятия <<Неудачное>>")), 0);
}

TEST(Department, NewOneGetsQuotedMainWarehouseAndTheMainDepartmentsPrices)
{
    CatEnv env;
    const qint64 kg = env.unit();
    const qint64 g1 = env.group(QStringLiteral("Овощи"));
    const qint64 g2 = env.group(QStringLiteral("Мясо"));
    const qint64 firma = env.firma(QStringLiteral("Кафе"));
    const qint64 kitchen = env.mainOtdel(firma);
    const qint64 p1 = env.ing(QStringLiteral("Лук"), g1, kg);
    const qint64 p2 = env.ing(QStringLiteral("Говядина"), g2, kg);
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 12.5, MY_CENA = 20, PERCENT = 60, METOD_CENA = 2, KOLVO = 7 "
                                "WHERE KOD_ING = %1").arg(p1));
    standOn(firma);

    ModalScript script;
    script.then([](QWidget*) {
        Form_Otdel->E_Name->setText(QStringLiteral("Бар"));
        Form_Otdel->M_Info->setPlainText(QStringLiteral("второй этаж"));
        Form_Otdel->Btn_OkClick();
    });
    StructureBox->Btn_Add_OtdelClick();
    EXPECT_EQ(script.pending(), 0u);
    EXPECT_TRUE(env.sawMessage(QStringLiteral("Всем продуктам нового отдела будут присвоены цены основного раздела "
                                              "предприятия. В дальнейшем Вы сможете их поменять.")));
    const qint64 bar = Form_Otdel->SavedKod;
    EXPECT_EQ(cat::KeyOf(StructureBox->Q_Otdel), bar);
    EXPECT_EQ(env.text(QStringLiteral("SELECT FIRST_OTDEL FROM OTDEL WHERE KOD = %1").arg(bar)), QStringLiteral("0"));
    const qint64 sklad = env.mainSklad(bar);
    ASSERT_GT(sklad, 0);
    EXPECT_EQ(env.text(QStringLiteral("SELECT NAME FROM SKLAD WHERE KOD = %1").arg(sklad)), QStringLiteral("\"Бар\""));
    EXPECT_EQ(env.text(QStringLiteral("SELECT DOP_INFO FROM SKLAD WHERE KOD = %1").arg(sklad)), QStringLiteral(" "));
    EXPECT_EQ(env.count(QStringLiteral("SKLAD_GRING"), QStringLiteral("KOD_SKLAD = %1").arg(sklad)), 2);
    const qint64 r1 = env.ingSklad(p1, bar);
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_SKLAD FROM ING_SKLAD WHERE KOD = %1").arg(r1)), sklad);
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT CENA FROM ING_SKLAD WHERE KOD = %1").arg(r1)).toDouble(), 12.5);
    EXPECT_EQ(env.num(QStringLiteral("SELECT MY_CENA FROM ING_SKLAD WHERE KOD = %1").arg(r1)), 20);
    EXPECT_EQ(env.num(QStringLiteral("SELECT PERCENT FROM ING_SKLAD WHERE KOD = %1").arg(r1)), 60);
    EXPECT_EQ(env.num(QStringLiteral("SELECT METOD_CENA FROM ING_SKLAD WHERE KOD = %1").arg(r1)), 2);
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOLVO FROM ING_SKLAD WHERE KOD = %1").arg(r1)), 0);  // stock is not copied
    EXPECT_GT(env.ingSklad(p2, bar), 0);
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("KOD_OTDEL = %1").arg(kitchen)), 2);
    EXPECT_EQ(env.logLines(QStringLiteral("Создание подразделения <<Бар>> в структуре предприятия <<Кафе>>")), 1);

    // "Отмена" refills from the current row even for a new department.
    Form_Otdel->NewMode = 1;
    Form_Otdel->FormShow();
    EXPECT_TRUE(Form_Otdel->E_Name->text().isEmpty());
    Form_Otdel->Btn_OtmenaClick();
    EXPECT_EQ(Form_Otdel->E_Name->text(), QStringLiteral("Бар"));
    EXPECT_EQ(Form_Otdel->M_Info->toPlainText(), QStringLiteral("второй этаж"));

    // A department name longer than a warehouse name may be: the main
    // warehouse takes its first 98 characters in quotes, the department is made.
    const QString longName = QString(200, QChar(0x0411)) + QStringLiteral("!!!");
    const qint64 wide = structure::CreateOtdel(firma, QStringLiteral("Кафе"), longName, QString());
    EXPECT_EQ(env.text(QStringLiteral("SELECT NAME FROM OTDEL WHERE KOD = %1").arg(wide)), longName);
    EXPECT_EQ(env.text(QStringLiteral("SELECT NAME FROM SKLAD WHERE KOD = %1").arg(env.mainSklad(wide))),
              QStringLiteral("\"") + longName.left(98) + QStringLiteral("\""));
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("KOD_OTDEL = %1").arg(wide)), 2);
}

TEST(Department, DeletionIsRefusedWhileAnythingNamesIt)
{
    CatEnv env;
    const qint64 kg = env.unit();
    const qint64 g = env.group(QStringLiteral("Овощи"));
    const qint64 firma = env.firma(QStringLiteral("Кафе"));
    const qint64 kitchen = env.mainOtdel(firma);
    const qint64 bar = structure::CreateOtdel(firma, QStringLiteral("Кафе"), QStringLiteral("Бар"), QString());
    const qint64 p = env.ing(QStringLiteral("Лук"), g, kg);

    standOn(firma, kitchen);
    StructureBox->Btn_Del_OtdelClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Этот отдел является основным, его нельзя удалить, можно только переименовать !"));

    const struct {
        QString insert;
        QString refusal;
    } refs[] = {
        {QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL) VALUES (1, {ING}, {OTDEL})"),
         QStringLiteral("Имеются документы движения содержащие в проводках этот отдел. Удаление невозможно !")},
        {QStringLiteral("INSERT INTO MENU_RAZDEL (KOD_MENU, KOD_OTDEL) VALUES ({ING}, {OTDEL})"),
         QStringLiteral("Имеются меню, разделы которых ссылаются на этот отдел. Удаление невозможно !")},
        {QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL) VALUES (1, {ING}, {OTDEL})"),
         QStringLiteral("Имеются документы производства и реализации, содержащие этот отдел. Удаление невозможно !")},
        {QStringLiteral("INSERT INTO DOCS (DOC_TYPE, INT_PARAM1, INT_PARAM2) VALUES (5, {OTDEL}, 0)"),
         QStringLiteral("Имеются документы, в которых указан этот отдел. Удаление невозможно !")},
        // The receiving department of a transfer.
        {QStringLiteral("INSERT INTO DOCS (DOC_TYPE, INT_PARAM1, INT_PARAM2) VALUES (4, 1, {OTDEL})"),
         QStringLiteral("Имеются документы, в которых указан этот отдел. Удаление невозможно !")},
    };
    const QStringList tables = {"MOVES", "MENU_RAZDEL", "REAL_BLUDO", "DOCS", "DOCS"};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(refs[i].refusal.toStdString());
        env.t().exec(QString(refs[i].insert).replace(QStringLiteral("{ING}"), Key(p)).replace(QStringLiteral("{OTDEL}"), Key(bar)));
        standOn(firma, bar);
        env.answers = {1, 1};
        StructureBox->Btn_Del_OtdelClick();
        EXPECT_EQ(env.messages.last(), refs[i].refusal);
        EXPECT_EQ(env.count(QStringLiteral("OTDEL"), QStringLiteral("KOD = %1").arg(bar)), 1);
        env.t().exec(QStringLiteral("DELETE FROM ") + tables[i]);
    }

    // Stock in it: asked twice, Cancel on the second keeps it.
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = -2 WHERE KOD_OTDEL = %1").arg(bar));
    standOn(firma, bar);
    env.messages.clear();
    env.answers = {1, 0};
    StructureBox->Btn_Del_OtdelClick();
    ASSERT_EQ(env.messages.size(), 2);
    EXPECT_EQ(env.messages[1], QStringLiteral("У данного подразделения имеются не нулевые остатки на складах !  Продолжать удаление ?"));
    EXPECT_EQ(env.count(QStringLiteral("OTDEL"), QStringLiteral("KOD = %1").arg(bar)), 1);

    const qint64 barSklad = env.mainSklad(bar);
    env.answers = {1, 1};
    StructureBox->Btn_Del_OtdelClick();
    EXPECT_EQ(env.count(QStringLiteral("OTDEL"), QStringLiteral("KOD = %1").arg(bar)), 0);
    EXPECT_EQ(env.count(QStringLiteral("SKLAD"), QStringLiteral("KOD_OTDEL = %1").arg(bar)), 0);
    EXPECT_EQ(env.count(QStringLiteral("SKLAD_GRING"), QStringLiteral("KOD_SKLAD = %1").arg(barSklad)), 0);
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("KOD_OTDEL = %1").arg(bar)), 0);
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("KOD_OTDEL = %1").arg(kitchen)), 1);
    EXPECT_EQ(env.logLines(QStringLiteral("Удаление подразделения <<Бар>> из структуры предприятия <<Кафе>>")), 1);
    EXPECT_EQ(cat::KeyOf(StructureBox->Q_Otdel), kitchen);  // the list no longer shows it
}

TEST(Enterprise, DeletionRefusalsAndTheStockQuestion)
{
    CatEnv env;
    const qint64 kg = env.unit();
    const qint64 p = env.ing(QStringLiteral("Лук"), env.group(QStringLiteral("Овощи")), kg);
    const qint64 firma = env.firma(QStringLiteral("Кафе"));
    const qint64 other = env.firma(QStringLiteral("Столовая"));

    const struct {
        QString insert;
        QString refusal;
    } refs[] = {
        {QStringLiteral("INSERT INTO DOCS (DOC_TYPE, KOD_PARTNER_EXPORT) VALUES (5, %1)"),
         QStringLiteral("Данное предприятие имеет документы движения. Для того чтоб удалить это предприятие, сначала "
                        "удалите у него все документы движения !")},
        {QStringLiteral("INSERT INTO DOCS (DOC_TYPE, KOD_PARTNER_IMPORT) VALUES (5, %1)"),
         QStringLiteral("Данное предприятие является контрагентом в документах движения других предприятий. Для того "
                        "чтоб удалить это предприятие, сначала удалите эти документы !")},
        {QStringLiteral("INSERT INTO MENU (KOD_FIRMA) VALUES (%1)"),
         QStringLiteral("Имеются меню, привязанные к удаляемому предприятию. Для удаления предприятия сначало нужно "
                        "удалить эти меню !")},
    };
    const QStringList tables = {"DOCS", "DOCS", "MENU"};
    for (int i = 0; i < 3; ++i) {
        env.t().exec(refs[i].insert.arg(firma));
        standOn(firma);
        StructureBox->Btn_Del_FirmaClick();
        EXPECT_EQ(env.messages.last(), refs[i].refusal);
        EXPECT_EQ(env.count(QStringLiteral("FIRMA"), QStringLiteral("KOD = %1").arg(firma)), 1);
        env.t().exec(QStringLiteral("DELETE FROM ") + tables[i]);
    }

    // Cancel on the first question changes nothing.
    standOn(firma);
    env.answers = {0};
    StructureBox->Btn_Del_FirmaClick();
    EXPECT_EQ(env.count(QStringLiteral("FIRMA"), QStringLiteral("KOD = %1").arg(firma)), 1);

    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 3 WHERE KOD_FIRMA = %1").arg(firma));
    env.messages.clear();
    env.answers = {1, 0};
    StructureBox->Btn_Del_FirmaClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("У данного предприятие имеются не нулевые остатки на складах !  Продолжать удаление ?"));
    EXPECT_EQ(env.count(QStringLiteral("FIRMA"), QStringLiteral("KOD = %1").arg(firma)), 1);

    env.answers = {1, 1};
    StructureBox->Btn_Del_FirmaClick();
    EXPECT_EQ(env.count(QStringLiteral("FIRMA"), QStringLiteral("KOD = %1").arg(firma)), 0);
    EXPECT_EQ(env.count(QStringLiteral("OTDEL"), QStringLiteral("KOD_FIRMA = %1").arg(firma)), 0);
    EXPECT_EQ(env.count(QStringLiteral("SKLAD"), QStringLiteral("KOD_FIRMA = %1").arg(firma)), 0);
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD"), QStringLiteral("KOD_FIRMA = %1").arg(firma)), 0);
    EXPECT_EQ(env.count(QStringLiteral("SKLAD_GRING")), 1);  // the other enterprise's binding stays
    EXPECT_EQ(env.ingSklad(p, env.mainOtdel(other)) > 0, true);
    EXPECT_EQ(env.logLines(QStringLiteral("Удаление предприятия <<Кафе>>")), 1);
    EXPECT_EQ(cat::KeyOf(StructureBox->Q_Firma), other);

    // With zero stock only the first question is asked.
    standOn(other);
    env.messages.clear();
    env.answers = {1};
    StructureBox->Btn_Del_FirmaClick();
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Вы уверены что хотите удалить предприятие ?")});
    EXPECT_EQ(env.count(QStringLiteral("FIRMA")), 0);
}

TEST(Warehouse, DeletionRefusalsAndGroupsMovingToTheMainWarehouse)
{
    CatEnv env;
    const qint64 kg = env.unit();
    const qint64 g = env.group(QStringLiteral("Овощи"));
    const qint64 firma = env.firma(QStringLiteral("Кафе"));
    const qint64 otdel = env.mainOtdel(firma);
    const qint64 main = env.mainSklad(otdel);
    const qint64 cold = structure::CreateSklad(firma, otdel, QStringLiteral("Кафе"), QStringLiteral("Кухня"),
                                               QStringLiteral("Холодильник"), QString());
    EXPECT_EQ(env.text(QStringLiteral("SELECT FIRST_SKLAD FROM SKLAD WHERE KOD = %1").arg(cold)), QStringLiteral("0"));

    standOn(firma, otdel, main);
    StructureBox->Btn_Del_SkladClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Этот склад является основным, его нельзя удалить, можно только переименовать !"));

    // A product row kept there.
    const qint64 p = env.ing(QStringLiteral("Лук"), g, kg);
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOD_SKLAD = %1 WHERE KOD_ING = %2").arg(cold).arg(p));
    standOn(firma, otdel, cold);
    StructureBox->Btn_Del_SkladClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Нельзя удалить склад, в котором имеются продукты. Сначала переместите все "
                                                  "продукты этого склада на другой !!!"));
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOD_SKLAD = %1 WHERE KOD_ING = %2").arg(main).arg(p));

    // An inventory of this warehouse.
    env.t().exec(QStringLiteral("INSERT INTO DOCS (DOC_TYPE, INT_PARAM1, INT_PARAM2) VALUES (1, %1, %2)").arg(otdel).arg(cold));
    StructureBox->Btn_Del_SkladClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Имеются документы инвентаризации этого склада. Удаление невозможно !"));
    env.t().exec(QStringLiteral("DELETE FROM DOCS"));

    env.t().exec(QStringLiteral("UPDATE SKLAD_GRING SET KOD_SKLAD = %1 WHERE KOD_SKLAD = %2").arg(cold).arg(main));
    standOn(firma, otdel, cold);
    env.answers = {0};
    StructureBox->Btn_Del_SkladClick();
    EXPECT_EQ(env.count(QStringLiteral("SKLAD"), QStringLiteral("KOD = %1").arg(cold)), 1);
    StructureBox->Btn_Del_SkladClick();
    EXPECT_EQ(env.count(QStringLiteral("SKLAD"), QStringLiteral("KOD = %1").arg(cold)), 0);
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_SKLAD FROM SKLAD_GRING WHERE KOD_GRING = %1").arg(g)), main);
    EXPECT_EQ(env.logLines(QStringLiteral("Удаление склада <<Холодильник>>. Предприятие <<Кафе>>, подразделение <<Кухня>>")), 1);
    EXPECT_EQ(cat::KeyOf(StructureBox->Q_Sklad), main);
}

TEST(Unit, UsedUnitIsKeptAndNamedInTheRefusal)
{
    CatEnv env;
    const qint64 kg = env.unit(QStringLiteral("килограмм"), QStringLiteral("кг"));
    const qint64 pc = env.unit(QStringLiteral("штука"), QStringLiteral("шт"));
    env.ing(QStringLiteral("Лук"), env.group(QStringLiteral("Овощи")), kg);
    StructureBox->Sheet_SetupShow();
    StructureBox->Q_Ed->close();
    StructureBox->Q_Ed->open();
    CatEnv::at(StructureBox->Q_Ed, kg);
    StructureBox->Btn_Del_EdClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Единицу  \"килограмм\"  удалить невозможно, так как она используется в "
                                                  "ингредиентах !"));
    EXPECT_EQ(env.count(QStringLiteral("ED_IZM")), 2);

    CatEnv::at(StructureBox->Q_Ed, pc);
    StructureBox->Btn_Del_EdClick();
    EXPECT_EQ(env.count(QStringLiteral("ED_IZM")), 1);
    EXPECT_EQ(env.logLines(QStringLiteral("Удаление единицы измерения: штука (шт)")), 1);
    EXPECT_EQ(cat::KeyOf(StructureBox->Q_Ed), kg);

    // The unit dialog: both names are required.
    Form_Ed->NewMode = 1;
    Form_Ed->FormShow();
    Form_Ed->E_Name->setText(QStringLiteral("литр"));
    Form_Ed->Btn_OkClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Нет сокращённого наименования единицы !"));
    Form_Ed->E_SName->setText(QStringLiteral("л"));
    Form_Ed->Btn_OkClick();
    EXPECT_EQ(env.text(QStringLiteral("SELECT SHORT_NAME FROM ED_IZM WHERE KOD = %1").arg(Form_Ed->SavedKod)), QStringLiteral("л"));
}

// Each road of the structure box and its dialogs holds the structure, the
// units and the stock rows made or deleted with it from its first step.
TEST(StructureBox, EachRoadHoldsTheStructureTheUnitsAndTheStockRows)
{
    CatEnv env;
    const qint64 kg = env.unit();
    const qint64 pc = env.unit(QStringLiteral("штука"), QStringLiteral("шт"));
    env.ing(QStringLiteral("Лук"), env.group(QStringLiteral("Овощи")), kg);
    const qint64 firma = env.firma(QStringLiteral("Кафе"));
    const qint64 kitchen = env.mainOtdel(firma);
    const qint64 bar = structure::CreateOtdel(firma, QStringLiteral("Кафе"), QStringLiteral("Бар"), QString());
    const auto dialog = [](TNameInfoDialog* d, const QString& name) {
        return [d, name](QWidget*) {
            d->E_Name->setText(name);
            d->Btn_OkClick();
        };
    };
    const auto firmaDialog = [](std::function<void(TForm_Firma*)> fill) {
        return [fill](QWidget*) {
            fill(Form_Firma);
            Form_Firma->Btn_OkClick();
        };
    };
    const QStringList structure{QStringLiteral("FIRMA"), QStringLiteral("OTDEL"), QStringLiteral("SKLAD"),
                                QStringLiteral("SKLAD_GRING"), QStringLiteral("ED_IZM"), QStringLiteral("ING_SKLAD")};
    qint64 cold = 0;
    ExpectEachHolds({
        {"enterprise made", structure,
         [&] {
             standOn(firma);
             ModalScript script;
             script.then(firmaDialog([](TForm_Firma* f) {
                 f->E_Name->setText(QStringLiteral("Бистро"));
                 f->CB_Local->click();
                 f->E_Otdel->setText(QStringLiteral("Зал"));
                 f->E_Sklad->setText(QStringLiteral("Склад зала"));
             }));
             StructureBox->Btn_Add_FirmaClick();
         }},
        {"enterprise changed", structure,
         [&] {
             standOn(firma);
             ModalScript script;
             script.then(firmaDialog([](TForm_Firma* f) { f->E_Phone->setText(QStringLiteral("555-01-02")); }));
             StructureBox->Btn_Upd_FirmaClick();
         }},
        {"department changed", structure,
         [&] {
             standOn(firma, bar);
             ModalScript script;
             script.then(dialog(Form_Otdel, QStringLiteral("Бар у входа")));
             StructureBox->Btn_Upd_OtdelClick();
         }},
        {"warehouse made", structure,
         [&] {
             standOn(firma, kitchen);
             ModalScript script;
             script.then(dialog(Form_Sklad, QStringLiteral("Холодильник")));
             StructureBox->Btn_Add_SkladClick();
             cold = Form_Sklad->SavedKod;
         }},
        {"warehouse changed", structure,
         [&] {
             standOn(firma, kitchen, cold);
             ModalScript script;
             script.then(dialog(Form_Sklad, QStringLiteral("Холодильная камера")));
             StructureBox->Btn_Upd_SkladClick();
         }},
        {"warehouse deleted", structure,
         [&] {
             standOn(firma, kitchen, cold);
             StructureBox->Btn_Del_SkladClick();
         }},
        {"department deleted", structure,
         [&] {
             standOn(firma, bar);
             StructureBox->Btn_Del_OtdelClick();
         }},
        {"unit deleted", structure,
         [&] {
             CatEnv::at(StructureBox->Q_Ed, pc);
             StructureBox->Btn_Del_EdClick();
         }},
        {"enterprise deleted", structure,
         [&] {
             standOn(env.num(QStringLiteral("SELECT KOD FROM FIRMA WHERE NAME = 'Бистро'")));
             StructureBox->Btn_Del_FirmaClick();
         }},
    });
    EXPECT_EQ(env.count(QStringLiteral("FIRMA")), 1);
    EXPECT_EQ(env.count(QStringLiteral("OTDEL")), 1);
    EXPECT_EQ(env.count(QStringLiteral("SKLAD")), 1);
    EXPECT_EQ(env.count(QStringLiteral("ED_IZM")), 1);
    EXPECT_EQ(env.text(QStringLiteral("SELECT PHONE FROM FIRMA WHERE KOD = %1").arg(firma)), QStringLiteral("555-01-02"));
}

TEST(StructureLists, ACommitReloadsTheBoxListsOnTheirRowsAndAWaitingMoveOfTheEnterpriseFollowsIt)
{
    CatEnv env;
    env.unit(QStringLiteral("килограмм"), QStringLiteral("кг"));
    const qint64 pc = env.unit(QStringLiteral("штука"), QStringLiteral("шт"));
    const qint64 cafe = env.firma(QStringLiteral("Кафе"), QStringLiteral("Кухня"), QStringLiteral("Склад кухни"));
    const qint64 canteen = env.firma(QStringLiteral("Столовая"), QStringLiteral("Зал"), QStringLiteral("Склад зала"));
    const qint64 hall = env.mainOtdel(canteen);
    structure::CreateOtdel(canteen, QStringLiteral("Столовая"), QStringLiteral("Буфет"), QString());
    const qint64 store = env.mainSklad(hall);
    structure::CreateSklad(canteen, hall, QStringLiteral("Столовая"), QStringLiteral("Зал"), QStringLiteral("Аптечка"),
                           QString());
    Form_Main->SetActivePage(Form_Main->Sheet_Setup);
    // Every list stands on its second row, so that a reload that lost the row shows.
    standOn(canteen, hall, store);
    CatEnv::at(StructureBox->Q_Ed, pc);

    // A write on its own road, not the box's handlers: each list shows it at
    // once, on the same row (a master's reload then reloads its details after
    // their pause, as a move does: the details go first).
    structure::FirmaData canteenData;
    canteenData.name = QStringLiteral("Столовая №1");
    canteenData.local = true;
    const struct {
        db::Query* list;
        std::function<void()> write;
        qint64 row;
        QString name;
    } cases[] = {
        {StructureBox->Q_Sklad,
         [&] {
             structure::UpdateSklad(store, canteen, hall, canteenData.name, QStringLiteral("Зал"),
                                    QStringLiteral("Склад №2"), QString(), engine::ShownRow::byKey(QStringLiteral("SKLAD"), store, {}));
         },
         store, QStringLiteral("Склад №2")},
        {StructureBox->Q_Otdel,
         [&] { structure::UpdateOtdel(hall, canteen, canteenData.name, QStringLiteral("Зал №2"), QString(), engine::ShownRow::byKey(QStringLiteral("OTDEL"), hall, {})); }, hall,
         QStringLiteral("Зал №2")},
        {StructureBox->Q_Ed, [&] { structure::UpdateEd(pc, QStringLiteral("штуки"), QStringLiteral("шт"), engine::ShownRow::byKey(QStringLiteral("ED_IZM"), pc, {})); }, pc,
         QStringLiteral("штуки")},
        {StructureBox->Q_Firma, [&] { structure::UpdateFirma(canteen, canteenData, engine::ShownRow::byKey(QStringLiteral("FIRMA"), canteen, {})); }, canteen, canteenData.name},
    };
    for (const auto& c : cases) {
        c.write();
        EXPECT_EQ(cat::KeyOf(c.list), c.row) << c.name.toStdString();
        EXPECT_EQ(c.list->field(QStringLiteral("NAME")).asString(), c.name);
        EXPECT_EQ(c.list->recNo(), 1) << c.name.toStdString();
    }

    // A move to another enterprise waits for its pause; a commit that reloads
    // the departments meanwhile brings that enterprise's, and its warehouses.
    CatEnv::at(StructureBox->Q_Firma, cafe);
    ASSERT_TRUE(StructureBox->List_Otdel->timer()->isActive());
    EXPECT_TRUE(StructureBox->Grid_Otdel->greyed());
    structure::UpdateOtdel(hall, canteen, canteenData.name, QStringLiteral("Зал"), QString(),
                           engine::ShownRow::byKey(QStringLiteral("OTDEL"), hall, {}));
    EXPECT_FALSE(StructureBox->List_Otdel->timer()->isActive());
    EXPECT_EQ(cat::KeyOf(StructureBox->Q_Otdel), env.mainOtdel(cafe));
    EXPECT_EQ(cat::KeyOf(StructureBox->Q_Sklad), env.mainSklad(env.mainOtdel(cafe)));
    EXPECT_FALSE(StructureBox->Grid_Otdel->greyed());
    EXPECT_FALSE(StructureBox->Grid_Sklad->greyed());
    EXPECT_FALSE(StructureBox->List_Sklad->timer()->isActive());
}

TEST(EnterprisePicker, FiltersByKindAndSearchesTheTypedTextAsText)
{
    CatEnv env;
    env.firma(QStringLiteral("Кафе \"Ёлочка\""));
    env.firma(QStringLiteral("Молочный завод"), {}, {}, false);
    env.firma(QStringLiteral("50% Скидка"), {}, {}, false);
    env.firma(QStringLiteral("O'Brien"), {}, {}, false);
    TForm_SelectFirma* f = Form_SelectFirma;
    auto names = [f] {
        QStringList out;
        for (f->Q_Vibor->first(); !f->Q_Vibor->eof(); f->Q_Vibor->next())
            out << f->Q_Vibor->field(QStringLiteral("NAME")).asString();
        return out;
    };
    f->Prepare(QStringLiteral("Выбор предприятия"), 1);
    EXPECT_EQ(names(), QStringList{QStringLiteral("Кафе \"Ёлочка\"")});
    EXPECT_FALSE(f->E_Context->isEnabled());
    f->Prepare(QStringLiteral("Выбор контрагента"), 0);
    EXPECT_EQ(names().size(), 3);
    f->Prepare(QStringLiteral("Выбор контрагента"), 3);
    EXPECT_EQ(names().size(), 4);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Выбор контрагента"));

    f->CB_Context->setChecked(true);
    f->CB_ContextClick();
    EXPECT_TRUE(f->E_Context->isEnabled());
    const struct {
        QString text;
        QStringList found;
    } cases[] = {
        {QStringLiteral("мОлОЧ"), {QStringLiteral("Молочный завод")}},
        {QStringLiteral("ёЛ"), {QStringLiteral("Кафе \"Ёлочка\"")}},
        {QStringLiteral("%"), {QStringLiteral("50% Скидка")}},
        {QStringLiteral("'"), {QStringLiteral("O'Brien")}},
        {QStringLiteral("_"), {}},
        {QStringLiteral("'; DELETE FROM FIRMA; --"), {}},
    };
    for (const auto& c : cases) {
        f->E_Context->setText(c.text);
        Form_SelectFirma->Timer_ViborTimer();  // the typing delay's handler
        EXPECT_EQ(names(), c.found) << c.text.toStdString();
    }
    f->LocalFilter = 0;
    f->E_Context->setText(QStringLiteral("кафе"));
    f->CB_ContextClick();
    EXPECT_TRUE(names().isEmpty());  // the own enterprise is not a partner
    EXPECT_EQ(env.count(QStringLiteral("FIRMA")), 4);
}
