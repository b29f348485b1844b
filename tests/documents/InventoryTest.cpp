// Inventories on a real database: the fill procedure and its options, the
// posting procedure, and the window's refusals, keypad entry and posting.

#include "catalogue/CatalogueFixture.h"
#include "util/Unit_Util.h"

#include "Unit_DocInv.h"
#include "Unit_Invent.h"
#include "Unit_ZaprosInv.h"
#include "grid/ListHolder.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_RG.h"
#include "support/HeldTables.h"
#include "support/UserInput.h"
#include "engine/Context.h"
#include "engine/DocumentClaim.h"
#include "inventory/Inventory.h"
#include "util/Clock.h"
#include "util/Settings.h"

#include <QPushButton>

#include <cmath>

namespace {

struct Stock {
    double kolvo, cena, myCena;
};

class InvEnv : public CatEnv {
public:
    InvEnv()
    {
        firmaKod = firma(QStringLiteral("Столовая"));
        otdel = mainOtdel(firmaKod);
        sklad = mainSklad(otdel);
        ed = unit();
        grp = group(QStringLiteral("Овощи"));
    }
    qint64 product(const QString& name, Stock s, int openClose = 0)
    {
        const qint64 k = ing(name, grp, ed);
        t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = %1, CENA = %2, MY_CENA = %3, OPEN_CLOSE = %4 "
                                "WHERE KOD_ING = %5 AND KOD_OTDEL = %6")
                     .arg(s.kolvo, 0, 'g', 17)
                     .arg(s.cena, 0, 'g', 17)
                     .arg(s.myCena, 0, 'g', 17)
                     .arg(openClose)
                     .arg(k)
                     .arg(otdel));
        return k;
    }
    qint64 inventory(const QDate& date, const QTime& time, qint64 warehouse = 0, int provodka = 0)
    {
        t().exec(QStringLiteral("INSERT INTO DOCS (NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                "KOD_PARTNER_IMPORT, INT_PARAM1, INT_PARAM2, EDIT_CENA, PROVODKA) VALUES "
                                "('Инв', '%1', '%2', 1, %3, %3, %4, %5, 2, %6)")
                     .arg(date.toString(Qt::ISODate), time.toString(Qt::ISODate))
                     .arg(firmaKod)
                     .arg(otdel)
                     .arg(warehouse == -1 ? QStringLiteral("NULL") : QString::number(warehouse))
                     .arg(provodka));
        return num(QStringLiteral("SELECT MAX(KOD) FROM DOCS"));
    }
    inventory::InvDoc doc(qint64 kod)
    {
        auto q = t().select(QStringLiteral("SELECT * FROM DOCS WHERE KOD = %1").arg(kod));
        inventory::InvDoc d;
        d.kod = kod;
        d.otdel = q->field(QStringLiteral("INT_PARAM1")).asInt64();
        d.sklad = q->field(QStringLiteral("INT_PARAM2")).asInt64();
        d.date = q->field(QStringLiteral("DATE_DOC")).asDate();
        d.time = q->field(QStringLiteral("TIME_DOC")).asTime();
        return d;
    }
    void fill(qint64 docKod, inventory::FillOptions o, bool clear = false)
    {
        WriteTransaction w(inventory::kRoad);
        inventory::Fill(engine::ProgramContext(), doc(docKod), o, clear);
        w.commit();
    }
    // line values of a product: KOLVO, MY_KOLVO, CENA, MY_CENA, CENA_P
    QList<double> line(qint64 docKod, qint64 ingKod)
    {
        auto q = t().select(QStringLiteral("SELECT KOLVO, MY_KOLVO, CENA, MY_CENA, CENA_P FROM INVENT WHERE KOD_DOC = %1 "
                                           "AND KOD_ING = %2")
                                .arg(docKod)
                                .arg(ingKod));
        if (q->isEmpty())
            return {};
        return {q->field(0).asDouble(), q->field(1).asDouble(), q->field(2).asDouble(), q->field(3).asDouble(),
                q->field(4).asDouble()};
    }
    // Opens the inventories as the products tab's button does, without the modal loop.
    void openWindow()
    {
        Form_Invent->OpenDocs();
        Form_Invent->FormShow();
    }
    qint64 firmaKod, otdel, sklad, ed, grp;
};

const QDate kDay(2026, 3, 10);
const QTime kNoon(12, 0);

} // namespace

TEST(InventoryFill, OptionsDecideTheCountedQuantityAndWhichProductsComeIn)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7});
    const qint64 onion = env.product(QStringLiteral("Лук"), {-2, 3, 4});
    const qint64 hidden = env.product(QStringLiteral("Чеснок"), {1, 9, 9}, 1);
    const qint64 inv = env.inventory(kDay, kNoon);

    env.fill(inv, {false, true, false});
    EXPECT_EQ(env.line(inv, potato), (QList<double>{10, 0, 5, 5, 7}));
    EXPECT_EQ(env.line(inv, onion), (QList<double>{-2, 0, 3, 3, 4}));
    EXPECT_TRUE(env.line(inv, hidden).isEmpty());
    EXPECT_EQ(env.num(QStringLiteral("SELECT PROVODKA FROM DOCS WHERE KOD = %1").arg(inv)), 1);

    env.fill(inv, {true, true, true}, true);
    EXPECT_EQ(env.line(inv, potato), (QList<double>{10, 10, 5, 5, 7}));
    EXPECT_EQ(env.line(inv, onion), (QList<double>{-2, 0, 3, 3, 4}));
    EXPECT_EQ(env.line(inv, hidden), (QList<double>{1, 1, 9, 9, 9}));
    EXPECT_EQ(env.count(QStringLiteral("INVENT"), QStringLiteral("KOD_DOC = %1").arg(inv)), 3);

    env.fill(inv, {true, false, false}, true);
    EXPECT_EQ(env.line(inv, onion), (QList<double>{-2, -2, 3, 3, 4}));
}

TEST(InventoryFill, AWarehouseRestrictsAndANullWarehouseMeansTheWholeDepartment)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7});
    const qint64 onion = env.product(QStringLiteral("Лук"), {4, 3, 4});
    env.t().exec(QStringLiteral("INSERT INTO SKLAD (NAME, KOD_OTDEL) VALUES ('Холодильник', %1)").arg(env.otdel));
    const qint64 cold = env.num(QStringLiteral("SELECT KOD FROM SKLAD WHERE NAME = 'Холодильник'"));
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOD_SKLAD = %1 WHERE KOD_ING = %2").arg(cold).arg(onion));

    const qint64 byWarehouse = env.inventory(kDay, kNoon, cold);
    env.fill(byWarehouse, {});
    EXPECT_TRUE(env.line(byWarehouse, potato).isEmpty());
    EXPECT_FALSE(env.line(byWarehouse, onion).isEmpty());

    // A posted and un-posted inventory keeps a null warehouse: it counts the whole department.
    const qint64 reposted = env.inventory(kDay, kNoon.addSecs(60), -1, 0);
    env.fill(reposted, {});
    EXPECT_EQ(env.count(QStringLiteral("INVENT"), QStringLiteral("KOD_DOC = %1").arg(reposted)), 2);
}

TEST(InventoryPost, StockTakesTheCountedValuesAndDifferencesBecomeMoves)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7.5});
    const qint64 onion = env.product(QStringLiteral("Лук"), {10, 3, 4});
    const qint64 beet = env.product(QStringLiteral("Свёкла"), {1, 2, 3});
    const qint64 inv = env.inventory(kDay, kNoon);
    env.fill(inv, {});
    env.t().exec(QStringLiteral("UPDATE INVENT SET MY_KOLVO = 8, MY_CENA = 6 WHERE KOD_ING = %1").arg(potato));
    env.t().exec(QStringLiteral("UPDATE INVENT SET MY_CENA = 3.5 WHERE KOD_ING = %1").arg(onion));
    env.t().exec(QStringLiteral("UPDATE INVENT SET MY_KOLVO = 4 WHERE KOD_ING = %1").arg(beet));
    {
        WriteTransaction w(inventory::kRoad);
        inventory::Post(engine::ProgramContext(), env.doc(inv));
        w.commit();
    }
    auto moves = env.t().select(QStringLiteral("SELECT KOD_ING, TYPE_MOVES, KOLVO, CENA, OLD_CENA, KOD_OTDEL FROM MOVES "
                                               "WHERE KOD_DOC = %1 ORDER BY KOD_ING")
                                    .arg(inv));
    ASSERT_EQ(moves->recordCount(), 2);
    EXPECT_EQ(moves->field(0).asInt64(), potato);
    EXPECT_EQ(moves->field(1).asInt(), 2);
    EXPECT_DOUBLE_EQ(moves->field(2).asDouble(), 2);
    EXPECT_DOUBLE_EQ(moves->field(3).asDouble(), 6);
    EXPECT_DOUBLE_EQ(moves->field(4).asDouble(), 5);
    EXPECT_EQ(moves->field(5).asInt64(), env.otdel);
    moves->next();
    EXPECT_EQ(moves->field(0).asInt64(), beet);
    EXPECT_EQ(moves->field(1).asInt(), 1);
    EXPECT_DOUBLE_EQ(moves->field(2).asDouble(), 3);

    auto stock = [&](qint64 k) {
        auto q = env.t().select(QStringLiteral("SELECT KOLVO, CENA, MY_CENA FROM ING_SKLAD WHERE KOD_ING = %1").arg(k));
        return QList<double>{q->field(0).asDouble(), q->field(1).asDouble(), q->field(2).asDouble()};
    };
    EXPECT_EQ(stock(potato), (QList<double>{8, 6, 7.5}));
    EXPECT_EQ(stock(onion), (QList<double>{10, 3.5, 4}));
    EXPECT_EQ(stock(beet), (QList<double>{4, 2, 3}));
    EXPECT_EQ(env.num(QStringLiteral("SELECT PROVODKA FROM DOCS WHERE KOD = %1").arg(inv)), 11);
    EXPECT_TRUE(env.t().scalar(QStringLiteral("SELECT INT_PARAM2 FROM DOCS WHERE KOD = %1").arg(inv)).isNull());
}

TEST(InventoryWindow, PostingChecksItsRefusalsInOrder)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7});
    const qint64 inv = env.inventory(kDay, kNoon);
    env.openWindow();
    env.messages.clear();
    Form_Invent->Btn_ProvodkaClick();
    EXPECT_EQ(env.messages.value(0),
              QStringLiteral("Документ не содержит записей, воспользуйтесь кнопкой \"Заполнить\" "));

    env.fill(inv, {});
    env.openWindow();
    // Every line unchanged and the unchanged lines to be deleted: refused, lines kept.
    env.messages.clear();
    env.answers = {1};
    Form_Invent->Btn_ProvodkaClick();
    ASSERT_EQ(env.messages.size(), 2);
    EXPECT_TRUE(env.messages[1].startsWith(QStringLiteral("Документ пустой. Фактические количества")));
    EXPECT_EQ(env.count(QStringLiteral("INVENT"), QStringLiteral("KOD_DOC = %1").arg(inv)), 1);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());

    // A later posted receipt does not block; a later posted inventory of the department does.
    env.t().exec(QStringLiteral("INSERT INTO DOCS (NAME, DATE_DOC, TIME_DOC, DOC_TYPE, INT_PARAM1, PROVODKA) VALUES "
                                "('Приход', '2026-04-01', '10:00', 5, %1, 11)")
                     .arg(env.otdel));
    EXPECT_FALSE(inventory::LaterPostedInventory(engine::ProgramContext(), env.doc(inv)));
    const qint64 later = env.inventory(kDay, kNoon.addSecs(1), 0, 11);
    env.t().exec(QStringLiteral("INSERT INTO INVENT (KOD_DOC, KOD_ING) VALUES (%1, %2)").arg(later).arg(potato));
    env.openWindow();
    env.messages.clear();
    Form_Invent->Btn_ProvodkaClick();
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Нельзя провести документ инветаризации подразделения, так - как "
                                                       "имеются более поздние документы движения по этому подразделению !")});
}

TEST(InventoryWindow, KeypadEntryAndPostingWithItsProtocolLine)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7});
    const qint64 onion = env.product(QStringLiteral("Лук"), {3, 2, 2});
    env.t().exec(QStringLiteral("UPDATE ING SET MY_LEVEL = 1 WHERE KOD = %1").arg(onion));
    const qint64 inv = env.inventory(kDay, kNoon);
    env.fill(inv, {});
    env.openWindow();
    ASSERT_TRUE(Form_Invent->Q_Inv->locate(QStringLiteral("KOD_ING"), QVariant::fromValue<qint64>(potato)));

    TKeypad* k = Form_Invent->Keypad;
    Form_Invent->RadioGroup1->setItemIndex(0);
    k->DigitClick(8);
    k->Btn_OKSClick();
    Form_Invent->RadioGroup1->setItemIndex(1);
    Form_Invent->Q_Inv->locate(QStringLiteral("KOD_ING"), QVariant::fromValue<qint64>(potato));
    k->DigitClick(6);
    k->Btn_KomaClick();
    k->DigitClick(5);
    k->Btn_OKSClick();
    EXPECT_EQ(env.line(inv, potato), (QList<double>{10, 8, 5, 6.5, 7}));
    // A counted quantity beyond the bound of a line is refused and leaves the display.
    Form_Invent->RadioGroup1->setItemIndex(0);
    k->E_Klava->setText(QStringLiteral("1000000000000000"));
    Guard([k] { k->Btn_OKSClick(); });
    EXPECT_EQ(env.messages.last(), QStringLiteral("Количество 1000000000000000 вне допустимых пределов (по модулю не больше 1000000)."));
    EXPECT_TRUE(k->E_Klava->text().isEmpty());
    EXPECT_EQ(env.line(inv, potato), (QList<double>{10, 8, 5, 6.5, 7}));
    Form_Invent->RadioGroup1->setItemIndex(1);
    // Counted prices of a composite product are refused.
    env.messages.clear();
    Form_Invent->Q_Inv->locate(QStringLiteral("KOD_ING"), QVariant::fromValue<qint64>(onion));
    k->DigitClick(9);
    EXPECT_FALSE(k->TakeBeforeLeaving());  // kept on its cell
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Продукт является составным, его складская цена расчитывается "
                                                       "на основе цен сотавляющих !")});
    EXPECT_EQ(env.line(inv, onion)[3], 2);
    EXPECT_TRUE(k->E_Klava->text().isEmpty());

    // Unchanged lines deleted, then the posting confirmed.
    env.messages.clear();
    env.answers = {1, 1};
    Form_Invent->Btn_ProvodkaClick();
    EXPECT_EQ(env.count(QStringLiteral("INVENT"), QStringLiteral("KOD_DOC = %1").arg(inv)), 1);
    EXPECT_EQ(env.num(QStringLiteral("SELECT PROVODKA FROM DOCS WHERE KOD = %1").arg(inv)), 11);
    EXPECT_EQ(env.logLines(QStringLiteral("Проведён документ инвентаризации № Инв")), 1);
    EXPECT_TRUE(env.messages.last().startsWith(QStringLiteral("Если в документе инвентаризации Вы изменяли")));
    EXPECT_FALSE(Form_Invent->Btn_Provodka->isEnabled());
    // A posted document takes no typed values.
    k->DigitClick(1);
    EXPECT_TRUE(k->E_Klava->text().isEmpty());

    // Cancelling the posting question rolls the deletion of unchanged lines back.
    const qint64 second = env.inventory(kDay.addDays(1), kNoon);
    env.fill(second, {});
    env.openWindow();
    Form_Invent->Q_Docs->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(second));
    Form_Invent->Q_DocsAfterScroll();
    Form_Invent->LoadInvLines();
    env.t().exec(QStringLiteral("UPDATE INVENT SET MY_KOLVO = 1 WHERE KOD_DOC = %1 AND KOD_ING = %2").arg(second).arg(potato));
    env.answers = {1, 0};
    Form_Invent->Btn_ProvodkaClick();
    EXPECT_EQ(env.count(QStringLiteral("INVENT"), QStringLiteral("KOD_DOC = %1").arg(second)), 2);
    EXPECT_EQ(env.num(QStringLiteral("SELECT PROVODKA FROM DOCS WHERE KOD = %1").arg(second)), 1);
}

TEST(InventoryHeader, CreationRefusedWhileADocumentIsOpenAndTheLockDate)
{
    InvEnv env;
    env.inventory(kDay, kNoon);
    env.openWindow();
    Form_Base->OpenRead(StructureBox->Q_Firma, QStringLiteral("SELECT * FROM FIRMA WHERE LOCAL_FIRMA = 1 ORDER BY NAME"));
    ASSERT_FALSE(StructureBox->Q_Firma->isEmpty());
    // The refusal names the kinds of the documents that stand in the way.
    const auto refusal = [](const char* kinds) {
        return QStringLiteral("Документ инвентаризации нельзя создать пока есть непроведённые документы %1! Нужно эти "
                              "документы провести или удалить.")
            .arg(QString::fromUtf8(kinds));
    };
    const struct {
        const char* types;  // the unposted documents besides the inventory
        bool inventoryPosted;
        const char* kinds;
    } blockers[] = {{"", false, "инвентаризации"}, {"3", true, "реализации"}, {"2,3,6", true, "производства, реализации и движения"}};
    for (const auto& b : blockers) {
        SCOPED_TRACE(b.kinds);
        env.t().exec(QStringLiteral("DELETE FROM DOCS WHERE DOC_TYPE <> 1"));
        env.t().exec(QStringLiteral("UPDATE DOCS SET PROVODKA = %1").arg(b.inventoryPosted ? 11 : 0));
        for (const QString& type : QString::fromLatin1(b.types).split(QLatin1Char(','), Qt::SkipEmptyParts))
            env.t().exec(QStringLiteral("INSERT INTO DOCS (NAME, DOC_TYPE, PROVODKA) VALUES ('Д', %1, 0)").arg(type));
        env.messages.clear();
        Guard([] { Form_Invent->Btn_AddClick(); });
        EXPECT_EQ(env.messages, QStringList{refusal(b.kinds)});
    }
    env.t().exec(QStringLiteral("DELETE FROM DOCS WHERE DOC_TYPE <> 1"));
    // One made while the header dialog was open (here: the inventory un-posted
    // again) is found by the road that creates the new one.
    env.t().exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 0"));
    TForm_DocInv* d = Form_DocInv;
    d->PrepareNew(env.firmaKod, QStringLiteral("Столовая"), env.otdel, QStringLiteral("Кухня"));
    d->E_Name->setText(QStringLiteral("Инвентаризация кладовой"));
    const int docs = env.count(QStringLiteral("DOCS"));
    env.messages.clear();
    Guard([d] { d->Btn_OkClick(); });
    EXPECT_EQ(env.messages, QStringList{refusal("инвентаризации")});
    EXPECT_EQ(env.count(QStringLiteral("DOCS")), docs);
    env.t().exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 11"));

    MyParams->v.DateDocEdit = true;
    MyParams->v.MyDateDocEdit = kDay;
    d->PrepareNew(env.firmaKod, QStringLiteral("Столовая"), env.otdel, QStringLiteral("Кухня"));
    d->DateTimePicker1->setDate(kDay.addDays(-1));
    env.messages.clear();
    d->Btn_OkClick();
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Администратор установил запрет на создание и корректировку "
                                                       "документов ранше даты: 10.03.2026")});
    const int before = env.count(QStringLiteral("DOCS"));
    d->DateTimePicker1->setDate(kDay);
    d->E_Name->setText(QStringLiteral("Инвентаризация кладовой"));
    d->Btn_OkClick();
    EXPECT_EQ(env.count(QStringLiteral("DOCS")), before + 1);
    auto q = env.t().select(QStringLiteral("SELECT * FROM DOCS WHERE KOD = %1").arg(d->KodDoc));
    EXPECT_EQ(q->field(QStringLiteral("DOC_TYPE")).asInt(), 1);
    EXPECT_EQ(q->field(QStringLiteral("INT_PARAM2")).asInt64(), 0);
    EXPECT_EQ(q->field(QStringLiteral("EDIT_CENA")).asInt(), 2);
    EXPECT_EQ(env.logLines(QStringLiteral("Создан документ инвентаризации № Инвентаризация кладовой")), 1);

    // Header checks in order; the warehouse check is skipped with all warehouses.
    d->PrepareNew(0, QString(), 0, QString());
    d->CB_AllSklads->setChecked(false);
    d->CB_AllSkladsClick();
    d->E_Name->clear();
    env.messages.clear();
    d->Btn_OkClick();
    d->KodFirma = env.firmaKod;
    d->Btn_OkClick();
    d->KodOtdel = env.otdel;
    d->Btn_OkClick();
    d->CB_AllSklads->setChecked(true);
    d->CB_AllSkladsClick();
    d->Btn_OkClick();
    EXPECT_EQ(env.messages, (QStringList{QStringLiteral("Не выбрано предприятие !"),
                                         QStringLiteral("Не выбрано подразделение (отдел) !"),
                                         QStringLiteral("Не выбран склад !"), QStringLiteral("Нет наименования документа !")}));
    EXPECT_EQ(env.count(QStringLiteral("DOCS")), before + 1);

    // The fill options: "Ставить ноль" hides the negative-stock box.
    Form_ZaprosInv->RadioGroup1->setItemIndex(0);
    Form_ZaprosInv->RadioGroup1Click();
    EXPECT_FALSE(Form_ZaprosInv->CheckBox1->isVisibleTo(Form_ZaprosInv));
}

// The fill dialog opens on OK whatever had the focus when it closed: a Space
// pressed out of habit fills in the book quantity, never zeros.
TEST(InventoryWindow, TheFillDialogOpensOnOk)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {4, 5, 7});
    const qint64 inv = env.inventory(kDay, kNoon);
    env.openWindow();
    for (const bool leftOnZero : {true, false}) {
        ModalScript script;
        script.then([&](QWidget* w) {
            input::showActive(w, nullptr);
            EXPECT_EQ(QApplication::focusWidget(), Form_ZaprosInv->BitBtn1);
            if (leftOnZero) {
                QTest::mouseClick(Form_ZaprosInv->RadioGroup1->button(0), Qt::LeftButton);
                QTest::mouseClick(Form_ZaprosInv->BitBtn2, Qt::LeftButton);
            } else {
                input::press(Qt::Key_Space);
            }
        });
        Form_Invent->Btn_ZapolnitClick();
    }
    EXPECT_EQ(env.line(inv, potato), (QList<double>{4, 4, 5, 5, 7}));
}

TEST(InventoryWindow, CreatingFillsAndEditingTheHeaderEmptiesAndRefills)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {-2, 5, 7});
    Form_Base->OpenRead(StructureBox->Q_Firma, QStringLiteral("SELECT * FROM FIRMA WHERE LOCAL_FIRMA = 1 ORDER BY NAME"));
    Form_Base->OpenRead(StructureBox->Q_Otdel, QStringLiteral("SELECT * FROM OTDEL WHERE KOD_FIRMA = %1").arg(env.firmaKod));
    Clock::setSource([] { return QDateTime(kDay, kNoon); });
    env.openWindow();
    {
        ModalScript script;
        script.then([](QWidget*) { Form_DocInv->Btn_Ok->click(); })
            .then([](QWidget*) {
                Form_ZaprosInv->RadioGroup1->setItemIndex(0);
                Form_ZaprosInv->BitBtn1->click();
            });
        Form_Invent->Btn_AddClick();
    }
    const qint64 inv = env.num(QStringLiteral("SELECT MAX(KOD) FROM DOCS WHERE DOC_TYPE = 1"));
    EXPECT_EQ(env.line(inv, potato), (QList<double>{-2, 0, 5, 5, 7}));
    EXPECT_EQ(env.logLines(QStringLiteral("Создан документ инвентаризации № Инвентаризация")), 1);
    EXPECT_EQ(env.logLines(QStringLiteral("Заполнена табличная часть документа № Инвентаризация")), 1);
    EXPECT_EQ(Form_Invent->Q_Inv->recordCount(), 1);
    EXPECT_EQ(env.text(QStringLiteral("SELECT DATE_DOC FROM DOCS WHERE KOD = %1").arg(inv)), QStringLiteral("2026-03-10"));

    // The header edited: the lines emptied, then filled again with the book quantity.
    env.answers = {1, 1};
    {
        ModalScript script;
        script.then([](QWidget*) {
                  Form_DocInv->E_Name->setText(QStringLiteral("Инв. склада"));
                  Form_DocInv->Btn_Ok->click();
              })
            .then([](QWidget*) {
                Form_ZaprosInv->RadioGroup1->setItemIndex(1);
                Form_ZaprosInv->CheckBox1->setChecked(false);
                Form_ZaprosInv->BitBtn1->click();
            });
        Form_Invent->Btn_UpdClick();
    }
    EXPECT_EQ(env.line(inv, potato), (QList<double>{-2, -2, 5, 5, 7}));
    EXPECT_EQ(env.logLines(QStringLiteral("Изменён документ инвентаризации № Инв. склада")), 1);
    EXPECT_EQ(env.logLines(QStringLiteral("Очищена табличная часть документа № Инвентаризация")), 1);
    EXPECT_EQ(env.logLines(QStringLiteral("Заполнена табличная часть документа № Инв. склада")), 1);
    Clock::setSource({});
}

// Each road of the inventories window holds the documents, the counted lines,
// the movement lines and the stock from its first step. Earlier posted
// documents give each table a row to probe.
TEST(InventoryWindow, EachRoadHoldsTheDocumentsTheirLinesAndTheStock)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7});
    const qint64 earlier = env.inventory(kDay.addDays(-5), kNoon, 0, 11);
    env.t().exec(QStringLiteral("INSERT INTO INVENT (KOD_DOC, KOD_ING) VALUES (%1, %2)").arg(earlier).arg(potato));
    env.t().exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, TIME_DOC, DOC_TYPE, INT_PARAM1, PROVODKA) VALUES "
                                "(900001, 'Приход', '2026-03-07', '10:00', 5, %1, 11)")
                     .arg(env.otdel));
    env.t().exec(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) VALUES (900001, %1, %2, 1, 5)")
                     .arg(potato)
                     .arg(env.otdel));
    Form_Base->OpenRead(StructureBox->Q_Firma, QStringLiteral("SELECT * FROM FIRMA WHERE LOCAL_FIRMA = 1 ORDER BY NAME"));
    Form_Base->OpenRead(StructureBox->Q_Otdel, QStringLiteral("SELECT * FROM OTDEL WHERE KOD_FIRMA = %1").arg(env.firmaKod));
    Clock::setSource([] { return QDateTime(kDay, kNoon); });
    env.openWindow();
    const auto header = [](QWidget*) { Form_DocInv->Btn_Ok->click(); };
    const auto fill = [](QWidget*) { Form_ZaprosInv->BitBtn1->click(); };
    const auto choose = [](int item) {
        return [item](QWidget*) {
            Form_RG->RG->setItemIndex(item);
            Form_RG->BitBtn1->click();
        };
    };
    const auto counted = [&](int column, const QString& value) {
        Form_Invent->RadioGroup1->setItemIndex(column);
        Form_Invent->Q_Inv->locate(QStringLiteral("KOD_ING"), QVariant::fromValue<qint64>(potato));
        Form_Invent->Keypad->E_Klava->setText(value);
        Form_Invent->Keypad->Btn_OKSClick();
    };
    const QStringList stock{QStringLiteral("DOCS"), QStringLiteral("INVENT"), QStringLiteral("MOVES"),
                            QStringLiteral("ING_SKLAD")};
    ExpectEachHolds({
        {"inventory made, then filled", stock,
         [&] {
             ModalScript script;
             script.then(header).then(fill);
             Form_Invent->Btn_AddClick();
         },
         2},
        {"quantity counted", stock, [&] { counted(0, QStringLiteral("8")); }},
        {"price counted", stock, [&] { counted(1, QStringLiteral("6,5")); }},
        {"line refreshed", stock,
         [&] {
             ModalScript script;
             script.then(choose(0));
             Form_Invent->Btn_RefreshClick();
         }},
        {"every line refreshed", stock,
         [&] {
             ModalScript script;
             script.then(choose(1));
             Form_Invent->Btn_RefreshClick();
         }},
        {"header changed with its lines emptied, then filled", stock,
         [&] {
             ModalScript script;
             script.then(header).then(fill);
             Form_Invent->Btn_UpdClick();
         },
         2},
        {"lines filled", stock,
         [&] {
             ModalScript script;
             script.then(fill);
             Form_Invent->Btn_ZapolnitClick();
         }},
        {"inventory posted", stock,
         [&] {
             counted(0, QStringLiteral("9"));
             env.answers = {0, 1};
             Form_Invent->Btn_ProvodkaClick();
         },
         2},
    });
    Clock::setSource({});
    EXPECT_EQ(env.count(QStringLiteral("DOCS"), QStringLiteral("DOC_TYPE = 1 AND PROVODKA = 11")), 2);
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT KOLVO FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2")
                                        .arg(potato)
                                        .arg(env.otdel))
                         .toDouble(),
                     9);
}

TEST(InventoryWindow, FillingWhileTheSearchHidesEveryLineDoesNotDoubleTheLines)
{
    InvEnv env;
    env.product(QStringLiteral("Картофель"), {10, 5, 7});
    env.product(QStringLiteral("Лук"), {3, 2, 2});
    const qint64 inv = env.inventory(kDay, kNoon);
    env.fill(inv, {});
    env.openWindow();
    ASSERT_EQ(Form_Invent->Q_Inv->recordCount(), 2);
    Form_Invent->CB_Context_Inv->setChecked(true);
    Form_Invent->E_Context_Inv->setText(QStringLiteral("картофёль"));  // е and ё alike
    Form_Invent->CB_Context_InvClick();
    EXPECT_EQ(Form_Invent->Q_Inv->recordCount(), 1);

    // A search that matches nothing: the list is empty, the document is not.
    Form_Invent->E_Context_Inv->setText(QStringLiteral("Свёкла"));
    Form_Invent->CB_Context_InvClick();
    ASSERT_EQ(Form_Invent->Q_Inv->recordCount(), 0);

    env.messages.clear();
    env.answers = {1};
    {
        ModalScript script;
        script.then([](QWidget*) { Form_ZaprosInv->BitBtn1->click(); });
        Form_Invent->Btn_ZapolnitClick();
    }
    EXPECT_TRUE(env.sawMessage(QStringLiteral("Документ не пустой. Вы действительно желаете заново перенести "
                                              "состояние склада в документ ?")));
    EXPECT_EQ(env.count(QStringLiteral("INVENT"), QStringLiteral("KOD_DOC = %1").arg(inv)), 2);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
}

TEST(InventoryWindow, ADocumentWhoseLinesTheSearchHidesIsStillPosted)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7});
    const qint64 inv = env.inventory(kDay, kNoon);
    env.fill(inv, {});
    env.t().exec(QStringLiteral("UPDATE INVENT SET MY_KOLVO = 8 WHERE KOD_DOC = %1").arg(inv));
    env.openWindow();
    Form_Invent->CB_Context_Inv->setChecked(true);
    Form_Invent->E_Context_Inv->setText(QStringLiteral("Свёкла"));
    Form_Invent->CB_Context_InvClick();
    ASSERT_EQ(Form_Invent->Q_Inv->recordCount(), 0);

    env.messages.clear();
    env.answers = {0, 1};
    Form_Invent->Btn_ProvodkaClick();
    EXPECT_FALSE(env.sawMessage(QStringLiteral("Документ не содержит записей, воспользуйтесь кнопкой \"Заполнить\" ")));
    EXPECT_EQ(env.num(QStringLiteral("SELECT PROVODKA FROM DOCS WHERE KOD = %1").arg(inv)), 11);
    EXPECT_EQ(env.line(inv, potato), (QList<double>{10, 8, 5, 5, 7}));
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOLVO FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2")
                          .arg(potato)
                          .arg(env.otdel)),
              8);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
}

TEST(InventoryPost, TheCleanUpKeepsALineWhoseCountedPriceAloneChangedAndRefreshingReadsTheStockPrice)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7});
    const qint64 onion = env.product(QStringLiteral("Лук"), {10, 3, 4});
    const qint64 inv = env.inventory(kDay, kNoon);
    env.fill(inv, {});
    env.t().exec(QStringLiteral("UPDATE INVENT SET MY_CENA = 3.5 WHERE KOD_ING = %1").arg(onion));
    {
        WriteTransaction w(inventory::kRoad);
        EXPECT_EQ(inventory::DeleteUnchangedLines(engine::ProgramContext(), inv), 1);
        w.commit();
    }
    EXPECT_TRUE(env.line(inv, potato).isEmpty());
    ASSERT_FALSE(env.line(inv, onion).isEmpty());

    // The book values come again from the stock row: its stock price, not its selling price.
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 11, CENA = 3.2, MY_CENA = 4.4 WHERE KOD_ING = %1").arg(onion));
    const qint64 line = env.num(QStringLiteral("SELECT KOD FROM INVENT WHERE KOD_DOC = %1").arg(inv));
    {
        WriteTransaction w(inventory::kRoad);
        inventory::RefreshBookValues(engine::ProgramContext(), inv, line);
        w.commit();
    }
    EXPECT_EQ(env.line(inv, onion), (QList<double>{11, 10, 3.2, 3.5, 4.4}));
}

TEST(InventoryPost, AnotherInventoryPostedAtTheVerySameMomentDoesNotBlockPosting)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7});
    const qint64 inv = env.inventory(kDay, kNoon);
    const qint64 same = env.inventory(kDay, kNoon, 0, 11);
    env.t().exec(QStringLiteral("INSERT INTO INVENT (KOD_DOC, KOD_ING) VALUES (%1, %2)").arg(same).arg(potato));
    EXPECT_FALSE(inventory::LaterPostedInventory(engine::ProgramContext(), env.doc(inv)));
    const qint64 later = env.inventory(kDay, kNoon.addSecs(1), 0, 11);
    env.t().exec(QStringLiteral("INSERT INTO INVENT (KOD_DOC, KOD_ING) VALUES (%1, %2)").arg(later).arg(potato));
    EXPECT_TRUE(inventory::LaterPostedInventory(engine::ProgramContext(), env.doc(inv)));
}

TEST(InventoryWindow, AnInventoryPostedOnAnotherWorkstationSinceTheListWasReadIsRefusedWhole)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7});
    const qint64 inv = env.inventory(kDay, kNoon);
    env.fill(inv, {});
    env.t().exec(QStringLiteral("UPDATE INVENT SET MY_KOLVO = 12 WHERE KOD_DOC = %1").arg(inv));
    env.openWindow();
    ASSERT_EQ(Form_Invent->Q_Docs->field(QStringLiteral("PROVODKA")).asInt(), 1);

    // Another workstation (a connection of its own) posts it meanwhile.
    env.t().write().start();
    inventory::Post(engine::Context{&env.t().db(), &env.t().read(), &env.t().write()}, env.doc(inv));
    env.t().write().commit();
    const int lines = env.count(QStringLiteral("LOG_TABLE"), QStringLiteral("1 = 1"));

    env.messages.clear();
    env.answers = {1, 1};
    Form_Invent->Btn_ProvodkaClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Документ уже проведён !!!"));
    EXPECT_EQ(env.count(QStringLiteral("MOVES"), QStringLiteral("KOD_DOC = %1").arg(inv)), 1);
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOLVO FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(potato).arg(env.otdel)),
              12);
    EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE"), QStringLiteral("1 = 1")), lines);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());

    // A count typed on the posted inventory is refused too, through the keypad's guard.
    env.messages.clear();
    EXPECT_FALSE(Guard([] { Form_Invent->Btn_OKSClick(3); }));
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Нельзя вносить изменения в проведённые акты инвентаризации !")});
    EXPECT_EQ(env.line(inv, potato), (QList<double>{10, 12, 5, 5, 7}));
}

// "Обновить" on a line replaced elsewhere is refused in words; the next takes
// the product's new line, a counted price nobody typed following the book.
TEST(InventoryWindow, RefreshingALineReplacedElsewhereIsRefusedAndTheNextTakesItsNewLine)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7});
    env.product(QStringLiteral("Лук"), {4, 3, 4});
    const qint64 inv = env.inventory(kDay, kNoon);
    env.fill(inv, {});
    env.openWindow();
    ASSERT_TRUE(Form_Invent->Q_Inv->locate(QStringLiteral("KOD_ING"), QVariant::fromValue<qint64>(potato)));
    env.t().exec(QStringLiteral("DELETE FROM INVENT WHERE KOD_DOC = %1").arg(inv));  // filled anew elsewhere
    env.t().exec(QStringLiteral("EXECUTE PROCEDURE ADD_ING_TO_INV (1, %1, 0, %2, 1, 0)").arg(env.otdel).arg(inv));
    env.t().exec(QStringLiteral("UPDATE INVENT SET MY_KOLVO = 9 WHERE KOD_ING = %1").arg(potato));
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 12, CENA = 6, MY_CENA = 8 WHERE KOD_ING = %1").arg(potato));
    const auto refreshLine = [] {
        ModalScript script;
        script.then([](QWidget*) { Form_RG->BitBtn1->click(); });  // the line chosen
        Form_Invent->Btn_Refresh->click();
    };
    env.messages.clear();
    refreshLine();
    EXPECT_EQ(env.messages, QStringList{engine::LineGoneText()});
    EXPECT_EQ(env.line(inv, potato), (QList<double>{10, 9, 5, 5, 7}));
    EXPECT_EQ(Form_Invent->Q_Inv->field(QStringLiteral("KOD_ING")).asInt64(), potato);

    env.messages.clear();
    refreshLine();
    EXPECT_EQ(env.messages, QStringList{});
    EXPECT_EQ(env.line(inv, potato), (QList<double>{12, 9, 6, 6, 8}));
}

// Since the fill, documents of the department were posted and un-posted and
// stock re-priced: the book moved for all four lines. The posting asks
// first, listing them with both figures, with No as the default: No posts
// nothing. Agreed, a book that moves again before the road opens is refused
// and nothing is written; agreed to what stands, the differences come from
// the stock as it is, and a counted price nobody typed follows its price.
TEST(InventoryWindow, ABookMovedSinceTheFillIsPostedOnlyAsTheUserAgreedToIt)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {93.3333, 5, 7});
    const qint64 onion = env.product(QStringLiteral("Лук"), {12, 2, 3});
    const qint64 carrot = env.product(QStringLiteral("Морковь"), {4, 1, 1});
    const qint64 beet = env.product(QStringLiteral("Свёкла"), {281.75, 3.333333, 5});
    const qint64 inv = env.inventory(kDay, kNoon);
    env.fill(inv, {});
    env.t().exec(QStringLiteral("UPDATE INVENT SET MY_KOLVO = 6.37, MY_CENA = 2.5 WHERE KOD_DOC = %1 AND KOD_ING = %2").arg(inv).arg(onion));
    env.t().exec(QStringLiteral("UPDATE INVENT SET MY_KOLVO = 280 WHERE KOD_DOC = %1 AND KOD_ING = %2").arg(inv).arg(beet));
    auto book = [&](qint64 ing, double value, const char* column = "KOLVO") {
        env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET %1 = %2 WHERE KOD_ING = %3").arg(QLatin1String(column)).arg(value, 0, 'g', 17).arg(ing));
    };
    book(potato, 43.333333);
    book(onion, 11.99);
    book(onion, 2.2, "CENA");
    book(carrot, 1.25, "CENA");
    book(beet, 4.07, "CENA");  // a receipt posted again with the weighted average
    env.openWindow();

    QList<Msg::Request> asked;
    std::deque<int> answers;
    std::function<void()> whileAsked;  // the other workstation, while the user reads the question
    Msg::setResponder([&](const Msg::Request& r) {
        asked.append(r);
        if (r.kind != Msg::Kind::Confirm)
            return 0;
        if (r.text.startsWith(QStringLiteral("После заполнения документа")) && whileAsked)
            whileAsked();
        const int a = answers.front();
        answers.pop_front();
        return a;
    });
    const int protocol = env.count(QStringLiteral("LOG_TABLE"));
    const QString state = QStringLiteral("SELECT PROVODKA, (SELECT COUNT(*) FROM MOVES WHERE KOD_DOC = D.KOD), (SELECT KOLVO FROM "
                                         "ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = D.INT_PARAM1) FROM DOCS D WHERE KOD = %2")
                              .arg(potato)
                              .arg(inv);
    auto post = [&](std::deque<int> given) {  // keep every line; the book's question; the posting's
        asked.clear();
        answers = std::move(given);
        Form_Invent->Btn_Provodka->click();
        EXPECT_TRUE(answers.empty());
        EXPECT_FALSE(Form_Base->TransactionWrite->active());
        auto q = env.t().select(state);
        return (QStringList{q->field(0).asString(), q->field(1).asString(), db::formatFloat(q->field(2).asDouble())}.join(QLatin1Char('|')))
            .toStdString();
    };

    EXPECT_EQ(post({0, 0}), "1|0|43,333333");
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[1].cancelDefault);
    EXPECT_EQ(asked[1].text.section(QLatin1Char('\n'), 1, 5).toStdString(),
              "Картофель: в документе 93,3333, на складе 43,333333\n"
              "Лук: в документе 12, на складе 11,99; цена в документе 2, на складе 2,2\n"
              "Морковь: цена в документе 1, на складе 1,25\nСвёкла: цена в документе 3,333333, на складе 4,07\n");

    whileAsked = [&] { book(onion, 11.98); };
    EXPECT_EQ(post({0, 1, 1}), "1|0|43,333333");
    EXPECT_EQ(asked.last().text.toStdString(),
              "Пока документ проводился, остатки или цены по учёту в подразделении изменились на другом рабочем месте:\n"
              "Картофель: в документе 93,3333, на складе 43,333333\n"
              "Лук: в документе 12, на складе 11,98; цена в документе 2, на складе 2,2\n"
              "Морковь: цена в документе 1, на складе 1,25\nСвёкла: цена в документе 3,333333, на складе 4,07\n"
              "Ничего не записано: проведите документ ещё раз.");
    whileAsked = [&] { book(carrot, 1.3, "CENA"); };  // a price alone moved again
    EXPECT_EQ(post({0, 1, 1}), "1|0|43,333333");
    whileAsked = nullptr;
    EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE")), protocol);

    EXPECT_EQ(post({0, 1, 1}), "11|3|93,3333");
    // Each difference at its price and the price it replaced: a re-pricing
    // stays where no price was typed, and the line reads across.
    auto moves = env.t().select(
        QStringLiteral("SELECT TYPE_MOVES, KOLVO, CENA, OLD_CENA FROM MOVES WHERE KOD_DOC = %1 ORDER BY TYPE_MOVES, KOLVO").arg(inv));
    QStringList posted;
    for (moves->first(); !moves->eof(); moves->next())
        for (int i = 0; i < 4; ++i)
            posted << db::formatFloat(std::round(moves->field(i).asDouble() * 1e6) / 1e6);
    EXPECT_EQ(posted.join(QLatin1Char(' ')).toStdString(), "1 49,999967 5 5 2 1,75 4,07 4,07 2 5,61 2,5 2,2");
    EXPECT_EQ(env.t().scalar(QStringLiteral("SELECT CENA FROM ING_SKLAD WHERE KOD_ING = %1").arg(carrot)).toDouble(), 1.3);
    EXPECT_EQ(env.line(inv, beet), (QList<double>{281.75, 280, 4.07, 4.07, 5}));
}

TEST(InventoryWindow, EnterAndTheKeypadsButtonsFinishTheCountOnly)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7});
    const qint64 inv = env.inventory(kDay, kNoon);
    env.fill(inv, {});
    env.openWindow();
    ASSERT_TRUE(Form_Invent->Q_Inv->locate(QStringLiteral("KOD_ING"), QVariant::fromValue<qint64>(potato)));
    Form_Invent->CB_Next->setChecked(false);
    Form_Invent->RadioGroup1->setItemIndex(0);
    input::showActive(Form_Invent, Form_Invent->Grid_Inv);
    env.messages.clear();
    int pressed = 0;  // the window's own buttons, not the keypad's
    for (QPushButton* b : Form_Invent->findChildren<QPushButton*>())
        if (!Form_Invent->Keypad->isAncestorOf(b))
            QObject::connect(b, &QPushButton::clicked, b, [&pressed] { ++pressed; });

    // A counted value and Enter: the count only, no window button ("Создать" and its refusal).
    input::typeThenEnter(QStringLiteral("8"), Form_Invent->Grid_Inv);
    EXPECT_EQ(env.line(inv, potato)[1], 8);
    EXPECT_EQ(env.messages, QStringList{});
    EXPECT_EQ(pressed, 0);
    EXPECT_TRUE(Form_Invent->isVisible());

    // The keypad by mouse: a counted price of 6,5.
    Form_Invent->RadioGroup1->setItemIndex(1);
    input::clickKeypad(Form_Invent->Keypad, QStringLiteral("6,5"));
    EXPECT_EQ(env.line(inv, potato)[3], 6.5);
    // OK on an empty display does nothing.
    QTest::mouseClick(Form_Invent->Keypad->Btn_OKS, Qt::LeftButton);
    EXPECT_EQ(env.messages, QStringList{});
    EXPECT_EQ(env.line(inv, potato)[3], 6.5);

    // Escape clears the display and leaves the window open, from the lines
    // and from the name filter, a number typed or not.
    Form_Invent->CB_Context_Inv->click();
    EXPECT_EQ(QApplication::focusWidget(), Form_Invent->E_Context_Inv);  // the letters typed next search
    for (QWidget* from : {static_cast<QWidget*>(Form_Invent->Grid_Inv), static_cast<QWidget*>(Form_Invent->E_Context_Inv)}) {
        for (const char* typed : {"", "5"}) {
            from->setFocus();
            Form_Invent->Keypad->E_Klava->setText(QString::fromLatin1(typed));
            input::press(Qt::Key_Escape);
            EXPECT_TRUE(Form_Invent->Keypad->E_Klava->text().isEmpty());
            EXPECT_TRUE(Form_Invent->isVisible()) << from->accessibleName().toStdString() << " '" << typed << "'";
        }
    }
    EXPECT_EQ(pressed, 0);
    Form_Invent->hide();
}

TEST(InventoryWindow, TypedDigitsLandOnTheChosenCellAndNeverSwitchTheDocument)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7});
    const qint64 onion = env.product(QStringLiteral("Лук"), {10, 3, 4});
    const qint64 inv = env.inventory(kDay, kNoon);
    env.inventory(kDay.addDays(1), kNoon);
    env.fill(inv, {});
    env.t().exec(QStringLiteral("UPDATE INVENT SET MY_KOLVO = 7 WHERE KOD_ING = %1").arg(potato));
    env.openWindow();
    TForm_Invent* w = Form_Invent;
    w->CB_Next->setChecked(false);
    input::showActive(w, w->Grid_Inv);
    const int onionRow = w->Q_Inv->locate(QStringLiteral("KOD_ING"), QVariant::fromValue<qint64>(onion)) ? w->Q_Inv->recNo() : -1;

    // The onion's count with main-row digits, its price with the numeric pad's.
    input::clickCell(w->Grid_Inv, onionRow, QStringLiteral("MY_KOLVO"));
    input::typeThenEnter(QStringLiteral("72"), w->Grid_Inv);
    input::clickCell(w->Grid_Inv, onionRow, QStringLiteral("MY_CENA"));
    input::typeThenEnter(QStringLiteral("5,5"), w->Grid_Inv, Qt::KeypadModifier);
    EXPECT_EQ(env.line(inv, potato), (QList<double>{10, 7, 5, 5, 7}));
    EXPECT_EQ(env.line(inv, onion), (QList<double>{10, 72, 3, 5.5, 4}));

    // A digit typed on the document list stays on the keypad: the list keeps its document.
    w->Grid_Doc->setFocus();
    QTest::keyClick(w->Grid_Doc, Qt::Key_1);
    EXPECT_EQ(Form_Invent->Q_Docs->field(QStringLiteral("KOD")).asInt64(), inv);
    EXPECT_EQ(w->Keypad->E_Klava->text(), QStringLiteral("1"));
    w->hide();
}

// Counts typed with the keys a kitchen moves by between them: each lands on
// the cell it was typed for, and the next one on the cell the key moved to,
// where the cursor stands after every key. Another workstation filling the document anew ("!") has the count refused;
// the next goes on the same product's new line, or on no line (a key moving
// from there stands on the first). A number typed in the search after a count is a count.
TEST(InventoryWindow, CountsTypedOneAfterAnotherLandOnTheCellsTheKeysChoose)
{
    enum Elsewhere { Nothing, Refilled, RefilledWithoutLuk };
    struct Run {
        bool next;    // "Сдвигать позицию курсора"
        bool numPad;  // the numeric pad's digits and Enter, or the main row's
        bool byKey;   // the lists re-read the rows the count noted, or read whole
        const char* walk;
        const char* counted;  // counted quantity/price of Картофель, Лук, Морковь, Свёкла
        Elsewhere elsewhere = Nothing;
        bool search = false;  // the search on, and the walk starting in it
    };
    const Run runs[] = {
        {true, false, true, "@1:MY_KOLVO 11 Enter 22 Enter 33 Enter", "7/5 11/5 22/5 33/5"},
        {true, true, false, "@1:MY_KOLVO 11 Enter 22 Enter 33 Enter", "7/5 11/5 22/5 33/5"},
        {false, false, false, "@1:MY_KOLVO 11 Enter 22 Enter 33 Enter", "7/5 33/5 50/5 0/5"},
        {false, true, true, "@1:MY_KOLVO 11 Enter 22 Enter 33 Enter", "7/5 33/5 50/5 0/5"},
        {true, false, true, "@0:MY_KOLVO 4 Tab 35 Enter", "4/35 0/5 50/5 0/5"},
        {false, false, false, "@0:MY_KOLVO 3 Tab 25 Enter", "3/25 0/5 50/5 0/5"},
        {true, true, true, "@0:MY_CENA 6 Backtab 8 Enter", "8/6 0/5 50/5 0/5"},
        {true, false, true, "@0:MY_KOLVO 4 Down 6 Enter 9 Up 2 Enter", "4/5 2/5 9/5 0/5"},
        {false, true, false, "@3:MY_KOLVO 4 Up Up 1 Enter", "7/5 1/5 50/5 4/5"},
        {true, false, true, "@0:MY_KOLVO 4 @2:MY_CENA 9 Enter 3 Enter", "4/5 0/5 50/9 0/3"},
        {true, false, true, "@2:MY_KOLVO 5 Home 8 Enter", "7/5 0/5 8/5 0/5"},
        {false, true, false, "@3:MY_KOLVO 4 End 1 Enter", "7/5 0/5 50/5 4/1"},
        {true, false, true, "@0:MY_CENA Tab 7 Enter", "7/5 7/5 50/5 0/5"},
        {false, true, false, "@0:MY_CENA 6 Tab 7 Enter", "7/6 7/5 50/5 0/5"},
        {false, false, true, "@3:MY_CENA 2 Tab 3 Enter", "7/5 0/5 50/5 0/3"},
        {false, false, false, "@1:MY_KOLVO Backtab 9 Enter", "7/9 0/5 50/5 0/5"},
        {false, false, true, "@2:MY_CENA 3 Right 4 Left Left 6 Enter", "7/5 0/5 6/4 0/5"},
        {false, true, true, "@0:MY_CENA @1:NAME 4 Enter @2:CENA_P 8 Enter", "7/5 0/4 50/8 0/5"},
        {true, false, true, "мор Down 17 Enter 2,5 Enter", "7/5 0/5 2.5/5 0/5", Nothing, true},
        {false, false, true, "@3:MY_KOLVO 4 PgUp 1 Enter", "1/5 0/5 50/5 4/5"},
        {true, false, false, "@0:MY_CENA 6 PgDn 2 Enter", "7/6 0/5 50/5 0/2"},
        {true, false, true, "@1:MY_KOLVO ! 11 Enter 22 Enter", "10/5 22/5 10/5 10/5", Refilled},
        {false, true, false, "@1:MY_KOLVO 4 Down ! 11 Enter 22 Enter", "10/5 10/5 22/5 10/5", Refilled},
        {true, false, true, "@1:MY_KOLVO ! 11 Enter 22 Enter Down 33 Enter @1:MY_KOLVO 3 Enter", "33/5 - 3/5 10/5",
         RefilledWithoutLuk},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(testing::Message() << run.walk << " next " << run.next << ", numeric pad " << run.numPad
                                        << ", by key " << run.byKey);
        InvEnv env;
        const QStringList names{QStringLiteral("Картофель"), QStringLiteral("Лук"), QStringLiteral("Морковь"),
                                QStringLiteral("Свёкла")};
        QList<qint64> products;
        for (const QString& name : names)
            products << env.product(name, {10, 5, 7});
        const qint64 inv = env.inventory(kDay, kNoon);
        env.fill(inv, {false, true, false});
        const double counted[] = {7, 0, 50, 0};
        for (int i = 0; i < 4; ++i)
            env.t().exec(QStringLiteral("UPDATE INVENT SET MY_KOLVO = %1 WHERE KOD_ING = %2").arg(counted[i]).arg(products[i]));
        env.openWindow();
        TForm_Invent* w = Form_Invent;
        w->CB_Next->setChecked(run.next);
        if (!run.byKey) {
            w->List_Docs->setKeyTable(QString());
            w->List_Inv->setKeyTable(QString());
        }
        // The lines follow a move of the documents after the window's pause, shortened here.
        w->Timer_Invent->setInterval(10);
        input::showActive(w, w->Grid_Inv);
        if (run.search)
            QTest::mouseClick(w->CB_Context_Inv, Qt::LeftButton);

        const auto refill = [&] {
            if (run.elsewhere == RefilledWithoutLuk)
                env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = 1 WHERE KOD_ING = %1").arg(products[1]));
            env.t().exec(QStringLiteral("DELETE FROM INVENT WHERE KOD_DOC = %1").arg(inv));
            env.t().exec(QStringLiteral("EXECUTE PROCEDURE ADD_ING_TO_INV (1, %1, 0, %2, 1, 0)").arg(env.otdel).arg(inv));
        };
        const auto& columns = w->Grid_Inv->datasetModel()->columns();
        for (const QString& step : QString::fromUtf8(run.walk).split(QLatin1Char(' '))) {
            input::play(step, w->Grid_Inv, run.numPad ? Qt::KeypadModifier : Qt::NoModifier, refill);
            while (w->Timer_Invent->isActive())  // the search's lines, read once the typing rests
                QTest::qWait(5);
            const QModelIndex at = w->Grid_Inv->currentIndex();
            if (at.isValid()) {
                EXPECT_EQ(columns[at.column()].field.toStdString(), w->RadioGroup1->itemIndex() == 1 ? "MY_CENA" : "MY_KOLVO")
                    << "after " << step.toStdString();
            }
        }
        QTest::qWait(50);
        QStringList lines;
        for (const qint64 product : products) {
            const QList<double> l = env.line(inv, product);
            lines << (l.isEmpty() ? QStringLiteral("-") : QString::number(l[1]) + QLatin1Char('/') + QString::number(l[3]));
        }
        EXPECT_EQ(lines.join(QLatin1Char(' ')).toStdString(), run.counted);
        // Each line shows what it holds: a count noted under another key
        // would leave the grid on the old one.
        const int ingColumn = w->Q_Inv->fieldIndex(QStringLiteral("KOD_ING"));
        for (int c = 0; c < columns.size(); ++c) {
            if (columns[c].field != QLatin1String("MY_KOLVO") && columns[c].field != QLatin1String("MY_CENA"))
                continue;
            for (int r = 0; r < w->Q_Inv->recordCount(); ++r) {
                const QList<double> l = env.line(inv, w->Q_Inv->valueAt(r, ingColumn).toLongLong());
                const double stored = l.value(columns[c].field == QLatin1String("MY_KOLVO") ? 1 : 3);
                EXPECT_EQ(w->Grid_Inv->model()->index(r, c).data().toString().toStdString(),
                          db::formatNumber(stored, columns[c].displayFormat).toStdString())
                    << r << " " << columns[c].field.toStdString();
            }
        }
        EXPECT_EQ(env.messages, run.elsewhere == Nothing ? QStringList{} : QStringList{engine::LineGoneText()});
        EXPECT_TRUE(w->Keypad->E_Klava->text().isEmpty());
        EXPECT_EQ(w->Q_Docs->field(QStringLiteral("KOD")).asInt64(), inv);
        w->hide();
    }
}

// A count still in the display when the user clicks another cell is taken on
// the line it was typed for.
TEST(InventoryWindow, ACountLeftInTheDisplayGoesToTheLineItWasTypedFor)
{
    InvEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), {10, 5, 7});
    const qint64 onion = env.product(QStringLiteral("Лук"), {10, 3, 4});
    const qint64 inv = env.inventory(kDay, kNoon);
    env.fill(inv, {});
    env.openWindow();
    TForm_Invent* w = Form_Invent;
    w->CB_Next->setChecked(false);
    input::showActive(w, w->Grid_Inv);
    auto rowOf = [w](qint64 ing) {
        return w->Q_Inv->locate(QStringLiteral("KOD_ING"), QVariant::fromValue<qint64>(ing)) ? w->Q_Inv->recNo() : -1;
    };
    const int onionRow = rowOf(onion);
    const int potatoRow = rowOf(potato);

    input::clickCell(w->Grid_Inv, onionRow, QStringLiteral("MY_KOLVO"));
    input::press(Qt::Key_3);
    input::clickCell(w->Grid_Inv, potatoRow, QStringLiteral("MY_CENA"));
    EXPECT_EQ(env.line(inv, onion)[1], 3);
    EXPECT_TRUE(w->Keypad->E_Klava->text().isEmpty());
    input::press(Qt::Key_Return);
    EXPECT_EQ(env.line(inv, potato), (QList<double>{10, 10, 5, 5, 7}));
    w->hide();
}
