// Two workstations on the test server, this one through the program's
// windows, the other through its own attachment: a change the other commits
// first makes this one's road refuse in words, write nothing (its protocol
// line neither), and its list shows what the other left.

#include "MoveEnv.h"

#include "Unit_DelDoc.h"
#include "Unit_DocInv.h"
#include "Unit_DocMove.h"
#include "Unit_DocReal.h"
#include "Unit_Invent.h"
#include "Unit_Provodka.h"
#include "Unit_RealTab.h"
#include "deletion/Deletion.h"
#include "engine/DocumentClaim.h"
#include "inventory/Inventory.h"
#include "support/ServerStation.h"
#include "support/UserInput.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QPushButton>

#include <functional>
#include <optional>

namespace {

// A road of the other workstation with its protocol line, run on its
// transaction: another program announces nothing to this one's lists.
void onOther(MoveEnv& env, WriteTransaction::Reserve kind, const std::function<void(const engine::Context&)>& change)
{
    ServerStation other(env.t().path());
    other.write().start(WriteTransaction::params(kind));
    change(other.ctx());
    engine::WriteLogLine(other.ctx(), QStringLiteral("Движение"), QStringLiteral("На другом рабочем месте"));
    other.write().commit();
}

bool listed(db::Query* list, qint64 kod)
{
    for (int r = 0; r < list->recordCount(); ++r)
        if (list->valueAt(r, list->fieldIndex(QStringLiteral("KOD"))).toLongLong() == kod)
            return true;
    return false;
}

// What this workstation's refused road must leave as the other left it.
struct Left {
    explicit Left(MoveEnv& env) : env(env), lines(env.count(QStringLiteral("LOG_TABLE"))), stock(env.snapshot()) {}
    void expectKept(const QString& told)
    {
        EXPECT_EQ(env.messages.last().toStdString(), told.toStdString());
        EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE")), lines);
        EXPECT_EQ(env.snapshot(), stock);
        EXPECT_FALSE(Form_Base->TransactionWrite->active());
    }
    MoveEnv& env;
    int lines;
    PostingSnapshot stock;
};

} // namespace

TEST(RacesServer, ACountTypedOnALineTheOtherWorkstationReplacedLandsNowhere)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    MoveEnv env;
    ASSERT_TRUE(env.moveToTestServer());
    for (const char* name : {"Картофель", "Лук", "Морковь"})
        env.product(QString::fromUtf8(name), 10, 5, 7);
    inventory::InvDoc doc{env.doc(1, env.kitchen, 0, 0, 0, QStringLiteral("Инв")), env.kitchen};
    {
        WriteTransaction w(inventory::kRoad);
        inventory::Fill(w.context(), doc, {}, false);
        w.commit();
    }
    TForm_Invent* window = Form_Invent;
    window->OpenDocs();
    window->FormShow();
    input::showActive(window, window->Grid_Inv);
    input::clickCell(window->Grid_Inv, 1, QStringLiteral("MY_KOLVO"));
    const qint64 product = window->Q_Inv->field(QStringLiteral("KOD_ING")).asInt64();

    // The other workstation fills the document anew: its lines get new keys.
    onOther(env, inventory::kRoad, [&](const engine::Context& c) { inventory::Fill(c, doc, {false, true, false}, true); });
    const QString counts = QStringLiteral("SELECT LIST(MY_KOLVO) FROM INVENT WHERE KOD_DOC = %1").arg(doc.kod);
    const QString before = env.text(counts);
    Left left(env);
    env.messages.clear();
    input::typeThenEnter(QStringLiteral("8"), window->Grid_Inv);
    left.expectKept(engine::LineGoneText());
    // The number typed goes to no other line: the display is empty, and the
    // list stands on the same product's line of the document as it is now,
    // where the next number goes.
    EXPECT_TRUE(window->Keypad->E_Klava->text().isEmpty());
    input::press(Qt::Key_Return);
    EXPECT_EQ(env.text(counts).toStdString(), before.toStdString());
    EXPECT_EQ(env.count(QStringLiteral("INVENT"), QStringLiteral("KOD = %1 AND KOD_ING = %2").arg(cat::KeyOf(window->Q_Inv)).arg(product)), 1);
    input::typeThenEnter(QStringLiteral("9"), window->Grid_Inv);
    EXPECT_EQ(env.count(QStringLiteral("INVENT"), QStringLiteral("KOD_DOC = %1 AND MY_KOLVO = 9 AND KOD_ING = %2").arg(doc.kod).arg(product)), 1);
    window->hide();
}

// The other workstation deletes the document first, with or without its
// rollback; this one's deletion, from the movement tab (a posted receipt, a
// posted transfer's other half, every listed document) or the production
// tab, is refused.
TEST(RacesServer, ADocumentTheOtherWorkstationDeletedIsNotDeletedAgainAndLeavesTheList)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    MoveEnv env;
    ASSERT_TRUE(env.moveToTestServer());
    const qint64 potato = env.product(QStringLiteral("Картофель"), 100, 20, 25);
    struct Race {
        const char* what;
        int type;            // 5 receipt, 4 transfer, 3 sales
        bool otherRollback;  // the other workstation's choice
        bool listed = false;  // this one deletes every document the list shows, the other deleted them all
    };
    for (const Race race : {Race{"receipt, deleted with its rollback", 5, true}, Race{"receipt, deleted as it stood", 5, false},
                            Race{"transfer pair", 4, true}, Race{"sales document", 3, false},
                            Race{"every listed document", 5, true, true}}) {
        SCOPED_TRACE(race.what);
        const qint64 doc = env.doc(race.type, env.kitchen, race.type == 4 ? env.bar : 0, 0, 0, QStringLiteral("Р0"));
        qint64 shown = doc;  // the row this workstation's list stands on
        db::Query* list = MoveTab->Q_Dvig;
        if (race.type == 3) {
            env.t().exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) VALUES (%1, %2, %3, 2, 25)")
                             .arg(doc)
                             .arg(potato)
                             .arg(env.kitchen));
            RealTab->ShowDocument(doc);
            list = RealTab->Q_Docs_Real;
        } else {
            env.line(doc, potato, 10, 20);
            WriteTransaction w(posting::kRoad);
            const qint64 pair = posting::PostMovement(w.context(), doc, 0).pair;
            w.commit();
            shown = pair != 0 ? pair : doc;  // a transfer's receiving half
            env.select(shown);
        }
        ASSERT_EQ(cat::KeyOf(list), shown);
        QList<qint64> gone{doc};
        if (race.listed)
            for (int r = 0; r < list->recordCount(); ++r)
                gone << list->valueAt(r, list->fieldIndex(QStringLiteral("KOD"))).toLongLong();
        onOther(env, deletion::kRoad, [&](const engine::Context& c) {
            ASSERT_TRUE(deletion::DeleteWithPair(c, doc, deletion::Options{race.otherRollback, false}));
            for (qint64 kod : gone)
                deletion::DeleteWithPair(c, kod, deletion::Options{race.otherRollback, false});  // gone already, or with its pair
        });

        Left left(env);
        env.messages.clear();
        {
            ModalScript dialogs;
            dialogs.then([&](QWidget*) {
                if (Form_DelDoc->CB_Otkat->isEnabled())
                    Form_DelDoc->CB_Otkat->setChecked(true);  // confirmed
                Form_DelDoc->RG->setItemIndex(race.listed ? 1 : 0);
                Form_DelDoc->Btn_Ok->click();
            });
            if (race.type == 3)
                RealTab->Btn_Del_RealClick();
            else
                MoveTab->Btn_DelDocMoveClick();
        }
        left.expectKept(race.listed ? QStringLiteral("Документы удалены на другом рабочем месте. Ничего не записано.")
                                    : engine::DocumentGoneText(QStringLiteral("Р0")));
        EXPECT_FALSE(listed(list, doc));
        EXPECT_FALSE(listed(list, shown));
    }
}

// The other workstation posts or un-posts the document first: this one's
// posting or un-posting is refused and the list shows the row as it is now.
TEST(RacesServer, ADocumentPostedOrUnpostedElsewhereIsReadAgainAfterTheRefusal)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    MoveEnv env;
    ASSERT_TRUE(env.moveToTestServer());
    const qint64 potato = env.product(QStringLiteral("Картофель"), 100, 20, 25);
    for (const bool postedHere : {false, true}) {
        SCOPED_TRACE(postedHere ? "un-posting" : "posting");
        const qint64 doc = env.doc(5, env.kitchen);
        env.line(doc, potato, 10, 20);
        if (postedHere)
            env.t().exec(QStringLiteral("EXECUTE PROCEDURE PROVODKA_MOVE (%1)").arg(doc));
        env.select(doc);
        const QString before = MoveTab->Btn_Provodka->text();
        onOther(env, posting::kRoad, [&](const engine::Context& c) {
            if (postedHere)
                posting::UnpostDocument(c, doc, 0);
            else
                posting::PostMovement(c, doc, 0);
        });

        Left left(env);
        env.messages.clear();
        {
            ModalScript dialogs;
            if (postedHere)
                dialogs.then([](QWidget*) { Form_DelProv->Btn_Ok->click(); });
            else
                dialogs.then(choose<TForm_Provodka>(0));
            MoveTab->Btn_Provodka->click();
        }
        left.expectKept(postedHere ? QStringLiteral("Проводка этого документа уже снята.") : QStringLiteral("Документ уже проведён !"));
        EXPECT_EQ(env.current(), doc);
        EXPECT_NE(MoveTab->Btn_Provodka->text(), before);
    }
}

// A header dialog of a receipt, an inventory or a sales document is open here
// while the other workstation changes a column it shows (a race for each) or
// deletes the document. This one's OK, whether the user changed nothing or
// only the date, puts back nothing of what the other committed: it is refused
// naming what changed, writes nothing (no protocol line; an inventory keeps its
// counted lines), and the list shows the row as the other left it. No value
// written over 0 (an inventory's "all warehouses" after a posting and
// un-posting) is no change: the save goes on.
TEST(RacesServer, AHeaderTheOtherWorkstationChangedOrDeletedIsNotWrittenOver)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    MoveEnv env;
    ASSERT_TRUE(env.moveToTestServer());
    env.product(QStringLiteral("Картофель"), 100, 20, 25);  // the inventory's line
    const QString bar = QString::number(env.bar);
    const QString partner = QString::number(env.firma(QStringLiteral("Овощебаза"), QStringLiteral("Склад"), QStringLiteral("Склад"), false));
    const QString sklad = QString::number(env.num(QStringLiteral("SELECT KOD FROM SKLAD WHERE KOD_OTDEL = ") + bar));
    struct Race {
        int type;           // 5 receipt, 1 inventory, 3 sales
        const char* column; // a column the dialog shows
        QString set;        // the other's change of it; empty: it deletes the document
        const char* told;   // what the refusal names; none: no change, saved
        bool dateChanged = false;  // the user's own change here, else none
    };
    std::vector<Race> races{
        {5, "NAME", QStringLiteral("NAME = 'П-1А'"), "№ документа"}, {5, "DATE_DOC", QStringLiteral("DATE_DOC = '2026-12-09'"), "дата"},
        {5, "TIME_DOC", QStringLiteral("TIME_DOC = '13:30'"), "время"}, {5, "DOC_TYPE", QStringLiteral("DOC_TYPE = 6"), "действие"},
        {5, "KOD_PARTNER_EXPORT", QStringLiteral("KOD_PARTNER_EXPORT = ") + partner, "предприятие"},
        {5, "INT_PARAM1", QStringLiteral("INT_PARAM1 = ") + bar, "подразделение (отдел)"},
        {5, "KOD_PARTNER_IMPORT", QStringLiteral("KOD_PARTNER_IMPORT = ") + partner, "предприятие контрагент"},
        {5, "INT_PARAM2", QStringLiteral("INT_PARAM2 = ") + bar, "принимающее подразделение (отдел)"},
        {5, "TYPE_CENA", QStringLiteral("TYPE_CENA = 1"), "цены для заполнения документа"},
        {5, "P", QStringLiteral("P = 1"), "что списываем"}, {5, nullptr, {}, nullptr},
        {1, "NAME", QStringLiteral("NAME = 'П-1А'"), "наименование документа"},
        {1, "DATE_DOC", QStringLiteral("DATE_DOC = '2026-12-09'"), "дата документа"},
        {1, "TIME_DOC", QStringLiteral("TIME_DOC = '13:30'"), "время документа"},
        {1, "KOD_PARTNER_EXPORT", QStringLiteral("KOD_PARTNER_EXPORT = ") + partner, "предприятие"},
        {1, "INT_PARAM1", QStringLiteral("INT_PARAM1 = ") + bar, "подразделение (отдел)"},
        {1, "INT_PARAM2", QStringLiteral("INT_PARAM2 = ") + sklad, "склад"}, {1, "INT_PARAM2", QStringLiteral("INT_PARAM2 = NULL"), nullptr},
        {1, nullptr, {}, nullptr}, {3, "NAME", QStringLiteral("NAME = 'П-1А'"), "№ документа"},
        {3, "DATE_DOC", QStringLiteral("DATE_DOC = '2026-12-09'"), "дата"}, {3, "TIME_DOC", QStringLiteral("TIME_DOC = '13:30'"), "время"},
        {3, "DOC_TYPE", QStringLiteral("DOC_TYPE = 2"), "тип документа"},
        {3, "KOD_PARTNER_EXPORT", QStringLiteral("KOD_PARTNER_EXPORT = ") + partner, "предприятие"},
        {3, "P", QStringLiteral("P = 1"), "что списываем при проводке"}, {3, nullptr, {}, nullptr}};
    for (Race& race : races) {
        race.dateChanged = (&race - races.data()) % 2 == 1;
        SCOPED_TRACE(std::to_string(race.type) + ": " + (race.set.isEmpty() ? "deleted" : race.set.toStdString()) +
                     (race.dateChanged ? ", date saved" : ""));
        const qint64 doc = env.doc(race.type, env.kitchen);
        struct {
            std::function<void()> open;
            QPushButton* ok;
            QDateEdit* date;
            db::Query* list;
        } dialog{[] { MoveTab->Btn_UpdDocMoveClick(); }, Form_DocMove->Btn_Ok, Form_DocMove->DateDoc, MoveTab->Q_Dvig};
        if (race.type == 1) {
            dialog = {[] { Form_Invent->Btn_UpdClick(); }, Form_DocInv->Btn_Ok, Form_DocInv->DateTimePicker1, Form_Invent->Q_Docs};
            WriteTransaction w(inventory::kRoad);
            inventory::Fill(w.context(), inventory::InvDoc{doc, env.kitchen}, {}, false);
            engine::Exec(w.context(), QStringLiteral("UPDATE INVENT SET MY_KOLVO = 93 WHERE KOD_DOC = %1").arg(doc));
            w.commit();
            Form_Invent->OpenDocs();
            Form_Invent->show();
            ASSERT_TRUE(Form_Invent->Q_Docs->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(doc)));
        } else if (race.type == 3) {
            dialog = {[] { RealTab->Btn_Upd_RealClick(); }, Form_DocReal->Btn_Ok, Form_DocReal->Date_Doc, RealTab->Q_Docs_Real};
            RealTab->ShowDocument(doc);
        } else {
            env.select(doc);
        }
        const QString row = QStringLiteral("SELECT NAME || DATE_DOC || TIME_DOC || DOC_TYPE || KOD_PARTNER_EXPORT || KOD_PARTNER_IMPORT || "
                                           "INT_PARAM1 || INT_PARAM2 || TYPE_CENA || P || "
                                           "COALESCE((SELECT LIST(KOD || ':' || MY_KOLVO) FROM INVENT WHERE KOD_DOC = D.KOD), '') "
                                           "FROM DOCS D WHERE KOD = %1")
                                .arg(doc);
        std::optional<Left> left;
        QString leftRow;
        env.messages.clear();
        {
            ModalScript dialogs;
            dialogs.then([&](QWidget* shown) {
                onOther(env, deletion::kRoad, [&](const engine::Context& c) {
                    if (race.set.isEmpty())
                        ASSERT_TRUE(deletion::DeleteWithPair(c, doc, {}));
                    else
                        engine::Exec(c, QStringLiteral("UPDATE DOCS SET %1 WHERE KOD = %2").arg(race.set).arg(doc));
                });
                left.emplace(env);
                leftRow = env.text(row);
                if (race.dateChanged)
                    dialog.date->setDate(QDate(2026, 12, 8));
                dialog.ok->click();  // an inventory's lines to be filled anew: OK
                // Refused, the dialog stays open with what the user chose.
                EXPECT_EQ(shown->isVisible(), !race.column || race.told);
                if (shown->isVisible())
                    static_cast<QDialog*>(shown)->reject();
            });
            if (race.column && !race.told)  // saved, the inventory asks how to fill it anew: not now
                dialogs.then([](QWidget* fill) { static_cast<QDialog*>(fill)->reject(); });
            dialog.open();
        }
        if (race.column && !race.told) {
            EXPECT_EQ(env.text(QStringLiteral("SELECT DATE_DOC FROM DOCS WHERE KOD = %1").arg(doc)),
                      race.dateChanged ? QStringLiteral("2026-12-08") : QStringLiteral("2026-12-07"));
            continue;
        }
        left->expectKept(race.told ? QStringLiteral("Пока окно было открыто, на другом рабочем месте изменили «П-1»: %1. Ничего не "
                                                    "записано: откройте окно снова, чтобы увидеть новые значения.")
                                         .arg(QString::fromUtf8(race.told))
                                   : engine::DocumentGoneText(QStringLiteral("П-1")));
        EXPECT_EQ(env.text(row).toStdString(), leftRow.toStdString());
        if (!race.column) {
            EXPECT_FALSE(listed(dialog.list, doc));
        } else if (cat::KeyOf(dialog.list) == doc) {  // unless the change took it out of the list
            EXPECT_EQ(dialog.list->field(QString::fromLatin1(race.column)).value().toString(),
                      env.t().scalar(QStringLiteral("SELECT %1 FROM DOCS WHERE KOD = %2").arg(QLatin1String(race.column)).arg(doc)).toString());
        }
    }
    Form_Invent->hide();
}
