// Deleting documents on a real database: pairs go together, the rollback
// undoes quantities (and prices when asked, by each document's own price
// rule), an unposted document never changes stock; the dialog's presets.

#include "catalogue/CatalogueFixture.h"

#include "Unit_DelDoc.h"
#include "deletion/Deletion.h"
#include "engine/WriteRoad.h"
#include "grid/ListHolder.h"
#include "util/Settings.h"
#include "support/HeldTables.h"

namespace {

struct Row {
    double kolvo, cena, myCena;
    bool operator==(const Row& o) const { return kolvo == o.kolvo && cena == o.cena && myCena == o.myCena; }
};

class DelEnv : public CatEnv {
public:
    DelEnv()
    {
        own = firma(QStringLiteral("Столовая"));
        kitchen = mainOtdel(own);
        t().exec(QStringLiteral("INSERT INTO OTDEL (NAME, KOD_FIRMA) VALUES ('Бар', %1)").arg(own));
        bar = num(QStringLiteral("SELECT KOD FROM OTDEL WHERE NAME = 'Бар'"));
        potato = ing(QStringLiteral("Картофель"), group(QStringLiteral("Овощи")), unit());
        // A new department got no row for the product yet: give it one.
        if (count(QStringLiteral("ING_SKLAD"), QStringLiteral("KOD_ING = %1 AND KOD_OTDEL = %2").arg(potato).arg(bar)) == 0)
            t().exec(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_OTDEL, KOD_FIRMA) VALUES (%1, %2, %3)")
                         .arg(potato)
                         .arg(bar)
                         .arg(own));
        setStock(kitchen, {10, 50, 60});
        setStock(bar, {4, 40, 45});
    }
    void setStock(qint64 otdel, Row r)
    {
        t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = %1, CENA = %2, MY_CENA = %3 WHERE KOD_ING = %4 AND KOD_OTDEL = %5")
                     .arg(r.kolvo)
                     .arg(r.cena)
                     .arg(r.myCena)
                     .arg(potato)
                     .arg(otdel));
    }
    Row stock(qint64 otdel)
    {
        auto q = t().select(QStringLiteral("SELECT KOLVO, CENA, MY_CENA FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2")
                                .arg(potato)
                                .arg(otdel));
        return {q->field(0).asDouble(), q->field(1).asDouble(), q->field(2).asDouble()};
    }
    // A document of one line, posted through the server's procedure when asked.
    qint64 doc(int type, qint64 from, qint64 to, double kolvo, double cena, int editCena, bool post)
    {
        t().exec(QStringLiteral("INSERT INTO DOCS (NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                "KOD_PARTNER_IMPORT, INT_PARAM1, INT_PARAM2, EDIT_CENA, PROVODKA) VALUES "
                                "('Д-%1', '2026-05-01', '10:00', %1, %2, %2, %3, %4, %5, 0)")
                     .arg(type)
                     .arg(own)
                     .arg(from)
                     .arg(to)
                     .arg(editCena));
        const qint64 d = num(QStringLiteral("SELECT MAX(KOD) FROM DOCS"));
        t().exec(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) VALUES (%1, %2, %3, %4, %5)")
                     .arg(d)
                     .arg(potato)
                     .arg(from)
                     .arg(kolvo)
                     .arg(cena));
        if (post)
            t().exec(QStringLiteral("EXECUTE PROCEDURE PROVODKA_MOVE (%1)").arg(d));
        return d;
    }
    void remove(qint64 kod, deletion::Options o)
    {
        WriteTransaction w(deletion::kRoad);
        deletion::DeleteWithPair(w.context(), kod, o);
        w.commit();
    }
    qint64 own, kitchen, bar, potato;
};

} // namespace

TEST(Deletion, APostedTransferWithRollbackUndoesBothSidesAndOldPricesOnRequest)
{
    DelEnv env;
    const qint64 transfer = env.doc(4, env.kitchen, env.bar, 3, 70, 2, true);
    const qint64 receiver = env.num(QStringLiteral("SELECT INT_PARAM3 FROM DOCS WHERE KOD = %1").arg(transfer));
    ASSERT_NE(receiver, 0);
    ASSERT_EQ(env.stock(env.kitchen).kolvo, 7);
    ASSERT_EQ(env.stock(env.bar).kolvo, 7);
    const double barSelling = env.stock(env.bar).myCena;

    env.remove(transfer, {true, true});
    EXPECT_EQ(env.stock(env.kitchen), (Row{10, 50, 60}));
    // The receiver's quantity and stock price go back; its selling price stays.
    EXPECT_EQ(env.stock(env.bar), (Row{4, 40, barSelling}));
    EXPECT_EQ(env.count(QStringLiteral("DOCS"), QStringLiteral("KOD IN (%1, %2)").arg(transfer).arg(receiver)), 0);
    EXPECT_EQ(env.count(QStringLiteral("MOVES"), QStringLiteral("KOD_DOC IN (%1, %2)").arg(transfer).arg(receiver)), 0);
}

TEST(Deletion, WithoutRollbackStockStaysAndAnUnpostedDocumentNeverTouchesIt)
{
    DelEnv env;
    const qint64 transfer = env.doc(4, env.kitchen, env.bar, 3, 70, 2, true);
    const qint64 receiver = env.num(QStringLiteral("SELECT INT_PARAM3 FROM DOCS WHERE KOD = %1").arg(transfer));
    const Row k = env.stock(env.kitchen), b = env.stock(env.bar);
    // Deleting from the receiver's side takes the sender along too.
    env.remove(receiver, {false, false});
    EXPECT_EQ(env.stock(env.kitchen), k);
    EXPECT_EQ(env.stock(env.bar), b);
    EXPECT_EQ(env.count(QStringLiteral("DOCS"), QStringLiteral("KOD IN (%1, %2)").arg(transfer).arg(receiver)), 0);

    const qint64 draft = env.doc(5, env.kitchen, 0, 8, 99, 2, false);
    env.remove(draft, {true, true});
    EXPECT_EQ(env.stock(env.kitchen), k);
    EXPECT_EQ(env.count(QStringLiteral("DOCS"), QStringLiteral("KOD = %1").arg(draft)), 0);
}

TEST(Deletion, EachHalfOfAPairIsRolledBackByItsOwnPriceRule)
{
    EXPECT_EQ(deletion::RollbackMode({false, true}, 11, 2), 0);
    EXPECT_EQ(deletion::RollbackMode({true, true}, 0, 2), 0);
    EXPECT_EQ(deletion::RollbackMode({true, true}, 11, 0), 1);
    EXPECT_EQ(deletion::RollbackMode({true, true}, 11, 1), 2);
    EXPECT_EQ(deletion::RollbackMode({true, false}, 11, 2), 1);

    // A receipt with the document price, then deleted with prices: the old price comes back.
    DelEnv env;
    const qint64 receipt = env.doc(5, env.kitchen, 0, 10, 80, 2, true);
    ASSERT_EQ(env.stock(env.kitchen).cena, 80);
    // A receipt that kept prices gets no price restore even when asked.
    const qint64 keep = env.doc(5, env.kitchen, 0, 5, 20, 0, true);
    env.remove(keep, {true, true});
    EXPECT_EQ(env.stock(env.kitchen).kolvo, 20);
    EXPECT_EQ(env.stock(env.kitchen).cena, 80);
    env.remove(receipt, {true, true});
    EXPECT_EQ(env.stock(env.kitchen).kolvo, 10);
    EXPECT_EQ(env.stock(env.kitchen).cena, 50);
}

TEST(Deletion, APostedInventoryAndASaleByTheSameRules)
{
    DelEnv env;
    // A sale takes the line's department.
    const qint64 sale = env.doc(3, env.kitchen, 0, 2, 100, 0, true);
    EXPECT_EQ(env.stock(env.kitchen).kolvo, 8);
    env.remove(sale, {true, false});
    EXPECT_EQ(env.stock(env.kitchen).kolvo, 10);

    env.t().exec(QStringLiteral("INSERT INTO DOCS (NAME, DOC_TYPE, INT_PARAM1, PROVODKA, EDIT_CENA) VALUES ('Инв', 1, %1, 0, 2)")
                     .arg(env.kitchen));
    const qint64 inv = env.num(QStringLiteral("SELECT MAX(KOD) FROM DOCS"));
    env.t().exec(QStringLiteral("INSERT INTO INVENT (KOD_DOC, KOD_ING, KOLVO, MY_KOLVO, CENA, MY_CENA) VALUES (%1, %2, 10, 7, 50, 55)")
                     .arg(inv)
                     .arg(env.potato));
    env.t().exec(QStringLiteral("EXECUTE PROCEDURE INVENT_PROVODKA (%1, %2)").arg(inv).arg(env.kitchen));
    ASSERT_EQ(env.stock(env.kitchen), (Row{7, 55, 60}));
    env.remove(inv, {true, true});
    EXPECT_EQ(env.stock(env.kitchen), (Row{10, 50, 60}));
    EXPECT_EQ(env.count(QStringLiteral("INVENT"), QStringLiteral("KOD_DOC = %1").arg(inv)), 0);
}

TEST(DeleteDialog, PresetsRefusalsProtocolAndTheCursor)
{
    DelEnv env;
    const qint64 a = env.doc(5, env.kitchen, 0, 1, 10, 0, true);
    const qint64 b = env.doc(5, env.kitchen, 0, 1, 10, 0, false);
    db::ListHolder holder(Form_Base->MyDB, Form_Base->TransactionRead);
    holder.setTables({QStringLiteral("DOCS")});
    db::Query& list = *holder.query();
    list.setSql(QStringLiteral("SELECT * FROM DOCS WHERE DOC_TYPE = 5 ORDER BY KOD"));
    list.open();
    TForm_DelDoc* d = Form_DelDoc;
    d->List = &list;

    // Only with rollback: ticked and locked; for an unposted document cleared and locked.
    MyParams->v.DelOtkatOnly = true;
    d->FormShow();
    EXPECT_TRUE(d->CB_Otkat->isChecked());
    EXPECT_FALSE(d->CB_Otkat->isEnabled());
    list.locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(b));
    d->FormShow();
    EXPECT_FALSE(d->CB_Otkat->isChecked());
    EXPECT_FALSE(d->CB_Otkat->isEnabled());
    EXPECT_TRUE(env.messages.isEmpty());
    MyParams->v.DelOtkatOnly = false;

    // The production and sales tab deletes one document at a time; prices only for one document.
    d->SalesTab = true;
    d->RG->setItemIndex(1);
    d->RGClick();
    EXPECT_EQ(d->RG->itemIndex(), 0);
    d->SalesTab = false;
    d->RG->setItemIndex(1);
    d->RadioGroup1->setItemIndex(1);
    d->RadioGroup1Click();
    EXPECT_EQ(d->RadioGroup1->itemIndex(), 0);
    EXPECT_EQ(env.messages, (QStringList{QStringLiteral("Удаление нескольких документов возможно в окне Продукты и блюда ==> Движение !"),
                                         QStringLiteral("Опцию восстановления цен можно применять только при удалении "
                                                        "одного документа. При удалении списком эта опция не работает !")}));

    // Declining the confirmation changes nothing.
    env.messages.clear();
    d->RG->setItemIndex(0);
    env.answers = {0};
    d->DeleteDocs(&list);
    EXPECT_EQ(env.count(QStringLiteral("DOCS"), QStringLiteral("KOD = %1").arg(b)), 1);

    // The second row deleted: the cursor goes to the row above it.
    list.locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(b));
    d->DeleteDocs(&list);
    EXPECT_EQ(env.count(QStringLiteral("DOCS"), QStringLiteral("KOD = %1").arg(b)), 0);
    EXPECT_EQ(list.field(QStringLiteral("KOD")).asInt64(), a);
    EXPECT_EQ(env.logLines(QStringLiteral("Удалён документ № Д-5 от 01.05.2026; ")), 1);

    // Every listed document, with rollback.
    d->FormShow();
    d->CB_Otkat->setChecked(true);  // answered OK
    d->RG->setItemIndex(1);
    d->Info = {QStringLiteral("01.05.2026 - 31.05.2026"), QStringLiteral("Приход"), 2, QStringLiteral("Столовая"),
               QStringLiteral("Кухня")};
    d->DeleteDocs(&list);
    EXPECT_EQ(env.count(QStringLiteral("DOCS"), QStringLiteral("DOC_TYPE = 5")), 0);
    EXPECT_EQ(env.stock(env.kitchen).kolvo, 10);
    EXPECT_EQ(env.logLines(QStringLiteral("Удалены документы по условию: Период = 01.05.2026 - 31.05.2026 Тип документов - "
                                          "Приход; подразделение <<Кухня>> предприятия <<Столовая>>; Откат; ")),
              1);
}

TEST(Deletion, AFailurePartWayLeavesBothHalvesAndTheStockAsTheyWere)
{
    DelEnv env;
    const qint64 transfer = env.doc(4, env.kitchen, env.bar, 3, 70, 2, true);
    const qint64 receiver = env.num(QStringLiteral("SELECT INT_PARAM3 FROM DOCS WHERE KOD = %1").arg(transfer));
    const Row k = env.stock(env.kitchen), b = env.stock(env.bar);
    // The sender's header refuses to go: the receiver, deleted first, must come back.
    env.t().exec(QStringLiteral("CREATE EXCEPTION E_TEST_KEEP 'kept'"));
    env.t().exec(QStringLiteral("CREATE TRIGGER T_TEST_KEEP FOR DOCS BEFORE DELETE AS BEGIN "
                                "IF (OLD.KOD = %1) THEN EXCEPTION E_TEST_KEEP; END")
                     .arg(transfer));
    EXPECT_THROW(env.remove(transfer, {true, true}), std::exception);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
    EXPECT_EQ(env.count(QStringLiteral("DOCS"), QStringLiteral("KOD IN (%1, %2)").arg(transfer).arg(receiver)), 2);
    EXPECT_EQ(env.count(QStringLiteral("MOVES"), QStringLiteral("KOD_DOC IN (%1, %2)").arg(transfer).arg(receiver)), 2);
    EXPECT_EQ(env.stock(env.kitchen), k);
    EXPECT_EQ(env.stock(env.bar), b);
}

// While the deletion window's road is open, another workstation can change
// none of the documents, their lines or the stock it undoes.
TEST(DeleteDialog, ItsRoadHoldsTheDocumentsAndTheStock)
{
    DelEnv env;
    const qint64 a = env.doc(5, env.kitchen, 0, 1, 10, 0, true);
    env.doc(5, env.kitchen, 0, 1, 10, 0, true);
    db::ListHolder holder(Form_Base->MyDB, Form_Base->TransactionRead);
    holder.setTables({QStringLiteral("DOCS")});
    db::Query& list = *holder.query();
    list.setSql(QStringLiteral("SELECT * FROM DOCS WHERE DOC_TYPE = 5 ORDER BY KOD"));
    list.open();
    list.locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(a));
    TForm_DelDoc* d = Form_DelDoc;
    d->List = &list;
    d->FormShow();
    d->RG->setItemIndex(0);
    HeldTables held({QStringLiteral("DOCS"), QStringLiteral("MOVES"), QStringLiteral("ING_SKLAD")});
    d->DeleteDocs(&list);
    EXPECT_EQ(held.roads(), 1);
    EXPECT_TRUE(held.open().isEmpty()) << held.open().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(env.count(QStringLiteral("DOCS"), QStringLiteral("KOD = %1").arg(a)), 0);
}
