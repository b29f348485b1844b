// The movement list's query, and the document header dialog, copying and
// re-pricing with the program's windows.

#include "support/ListTables.h"
#include "MoveEnv.h"
#include "support/HeldTables.h"

#include "MovementDb.h"
#include "Unit_DocMove.h"
#include "Unit_IngToDoc.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_Name.h"
#include "ui/Unit_RG.h"
#include "db/Transaction.h"
#include "engine/WriteRoad.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// ---- the list ----

TEST(MoveList, EveryDocumentWithoutAnyConditionHasNoWhereClause)
{
    movement::ListFilter f;
    f.detail = 0;
    const movement::ListQuery q = movement::DocsMoveQuery(f);
    EXPECT_FALSE(q.lines.join(QLatin1Char(' ')).contains(QStringLiteral("WHERE")));
    EXPECT_TRUE(q.params.isEmpty());
    EXPECT_EQ(q.lines.last(), QStringLiteral("ORDER BY DATE_DOC, TIME_DOC, NAME, DOC_TYPE"));
}

TEST(MoveList, TheLockDateCutsThePeriodAndTheConditionsJoinWithAnd)
{
    movement::ListFilter f;
    f.allDates = false;
    f.start = QDate(2026, 11, 1);
    f.finish = QDate(2026, 12, 31);
    f.lockOn = true;
    f.lockDate = QDate(2026, 12, 1);
    f.type = 8;
    f.detail = 2;
    f.otdel = 4711;
    const movement::ListQuery q = movement::DocsMoveQuery(f);
    const QStringList where = q.lines.mid(q.lines.indexOf(QStringLiteral("WHERE")));
    ASSERT_GE(where.size(), 5);
    EXPECT_EQ(where[1], QStringLiteral("DATE_DOC >= :DS AND DATE_DOC <= :DE"));
    EXPECT_EQ(where[2], QStringLiteral("AND ((DOC_TYPE = 5) or (DOC_TYPE = 6) or (DOC_TYPE = 7))"));
    EXPECT_EQ(where[3], QStringLiteral("AND INT_PARAM1 = :K"));
    ASSERT_EQ(q.params.size(), 3);
    EXPECT_EQ(q.params[0].second.toDate(), QDate(2026, 12, 1));
    EXPECT_EQ(q.params[2].second, QVariant(QStringLiteral("4711")));

    // All dates with the lock: only from the lock date on.
    f.allDates = true;
    f.type = 0;
    f.detail = 0;
    const movement::ListQuery all = movement::DocsMoveQuery(f);
    EXPECT_TRUE(all.lines.contains(QStringLiteral("DATE_DOC >= :DSAdm")));
    EXPECT_EQ(movement::PeriodCaption(true, {}, {}), QStringLiteral("Любая дата документа"));
    EXPECT_EQ(movement::PeriodCaption(false, QDate(2026, 12, 1), QDate(2026, 12, 7)),
              QStringLiteral("01.12.2026 <...> 07.12.2026"));
}

TEST(MoveText, CharactersTheDatabaseCannotHoldAreNamedOnce)
{
    EXPECT_EQ(movement::CharsOutsideCp1251(QStringLiteral("Накладная №5 'А' € 20%")), QString());
    EXPECT_EQ(movement::CharsOutsideCp1251(QStringLiteral("中 ✓ 中")), QStringLiteral("中✓"));
}

namespace {

class MoveDocuments : public ::testing::Test {
protected:
    MoveEnv env;

    // Fills the header dialog for a document of the given kind and saves it.
    static std::function<void(QWidget*)> header(int typeItem, qint64 firma, qint64 otdel, qint64 partner, qint64 otdel1,
                                                const QString& name)
    {
        return [=](QWidget* w) {
            auto* f = qobject_cast<TForm_DocMove*>(w);
            ASSERT_NE(f, nullptr);
            f->RG_Typ->setItemIndex(typeItem);
            f->KodFirma = firma;
            f->KodOtdel = otdel;
            f->KodFirma1 = partner;
            f->KodOtdel1 = otdel1;
            f->E_Name->setText(name);
            f->Btn_Ok->click();
            if (f->isVisible())
                f->reject();
        };
    }
    static std::function<void(QWidget*)> chooseRG(int item)
    {
        return [item](QWidget* w) {
            auto* rg = qobject_cast<TForm_RG*>(w);
            ASSERT_NE(rg, nullptr);
            rg->RG->setItemIndex(item);
            rg->BitBtn1->click();
        };
    }
    void newDoc(std::function<void(QWidget*)> fill)
    {
        ModalScript script;
        script.then(chooseRG(0)).then(std::move(fill));
        Guard([] { MoveTab->Btn_NewDocMoveClick(); });
    }
};

} // namespace

TEST_F(MoveDocuments, TheHeaderIsCheckedInOrderAndSavedWithItsProtocolLine)
{
    Form_Base->OpenRead(StructureBox->Q_Firma, QStringLiteral("SELECT * FROM FIRMA WHERE LOCAL_FIRMA = 1 ORDER BY NAME"));
    newDoc(header(0, env.firmaKod, env.kitchen, 0, 0, QString()));
    EXPECT_EQ(env.messages.last(), QStringLiteral("Не выбрано предприятие контрагент !"));
    newDoc(header(0, env.firmaKod, env.kitchen, env.partnerKod, 0, QString()));
    EXPECT_EQ(env.messages.last(), QStringLiteral("Нет номера документа !"));
    newDoc(header(2, env.firmaKod, env.kitchen, env.firmaKod, 0, QStringLiteral("1")));
    EXPECT_EQ(env.messages.last(),
              QStringLiteral("Не выбрано принимающее подразделение (отдел) для документа внутреннего перемещения !"));
    newDoc(header(2, env.firmaKod, env.kitchen, env.firmaKod, env.kitchen, QStringLiteral("1")));
    EXPECT_EQ(env.messages.last(), QStringLiteral("Нельзя сделать внутреннее перемещение внутри одного и тогоже подразделения !"));
    newDoc(header(0, env.firmaKod, env.kitchen, env.partnerKod, 0, QStringLiteral("Накл. 中")));
    EXPECT_TRUE(env.messages.last().contains(QStringLiteral("中")));
    EXPECT_EQ(env.count(QStringLiteral("DOCS")), 0);

    const QString name = QStringLiteral("Накладная №5 'А' от ООО \"Поставщик\"");
    newDoc(header(1, env.firmaKod, env.kitchen, env.partnerKod, 0, name));
    ASSERT_EQ(env.count(QStringLiteral("DOCS")), 1);
    const qint64 kod = env.num(QStringLiteral("SELECT KOD FROM DOCS"));
    EXPECT_EQ(env.text(QStringLiteral("SELECT NAME FROM DOCS")), name);
    EXPECT_EQ(env.docField(kod, "DOC_TYPE"), 6);
    EXPECT_EQ(env.docField(kod, "TYPE_CENA"), 1);  // an issue fills with selling prices unless told
    EXPECT_EQ(env.docField(kod, "INT_PARAM2"), 0);
    EXPECT_EQ(env.logLines(QStringLiteral("Создан документ движения № ") + name), 1);
    EXPECT_EQ(env.current(), kod);
}

// The header dialog opens on the document's number, and Tab walks its
// controls as they stand on the screen, top to bottom, left to right.
TEST_F(MoveDocuments, TheHeaderOpensOnTheNumberAndTabsInVisualOrder)
{
    Form_Base->OpenRead(StructureBox->Q_Firma, QStringLiteral("SELECT * FROM FIRMA WHERE LOCAL_FIRMA = 1 ORDER BY NAME"));
    QStringList walked;
    auto walk = [&](QWidget* w) {
        auto* f = qobject_cast<TForm_DocMove*>(w);
        ASSERT_NE(f, nullptr);
        QApplication::setActiveWindow(f);
        const std::vector<std::pair<QWidget*, QString>> controls{
            {f->Btn_Firma, QStringLiteral("Выбор предприятия")}, {f->Btn_Otdel, QStringLiteral("Выбор отдела")},
            {f->E_Name, QStringLiteral("№")},           {f->DateDoc, QStringLiteral("Дата")},
            {f->TimeDoc, QStringLiteral("Время")},       {f->RG_Typ, QStringLiteral("Действие")},
            {f->RG_TypeCena, QStringLiteral("Цены")},    {f->Btn_Firma1, QStringLiteral("Выбор контрагента")},
            {f->Btn_Otdel1, QStringLiteral("Выбор принимающего")}, {f->RG_Proizv, QStringLiteral("Что списываем")},
            {f->Btn_Ok, QStringLiteral("OK")},           {f->Btn_Cancel, QStringLiteral("Выход")}};
        auto nameOf = [&](QWidget* focus) {
            for (const auto& [c, name] : controls)
                if (c == focus || c->isAncestorOf(focus))
                    return name;
            return QStringLiteral("?");
        };
        walked << nameOf(f->focusWidget());
        // A date or a time steps through its parts first; each control is named once.
        for (int i = 0; i < 30 && (walked.size() < 2 || walked.last() != walked.first()); ++i) {
            QTest::keyClick(f->focusWidget(), Qt::Key_Tab);
            const QString now = nameOf(f->focusWidget());
            if (now != walked.last())
                walked << now;
        }
        f->reject();
    };
    ModalScript script;
    script.then(chooseRG(0)).then(walk);
    Guard([] { MoveTab->Btn_NewDocMoveClick(); });
    // A receipt: the receiving department and the write-off choice are hidden.
    EXPECT_EQ(walked.join(QStringLiteral(" > ")).toStdString(),
              "№ > Дата > Время > Действие > Цены > Выбор контрагента > OK > Выход > Выбор предприятия > Выбор отдела > №");
}

TEST_F(MoveDocuments, ANewDocumentWaitsForEveryInventoryToBePosted)
{
    env.doc(1, env.kitchen);
    Guard([] { MoveTab->Btn_NewDocMoveClick(); });
    EXPECT_EQ(env.messages.last(), QStringLiteral("Нельзя создать документ ДВИЖЕНИЯ пока имеются непроведённые документы "
                                                  "ИНВЕНТАРИЗАЦИИ ! Сначала нужно эти документы провести или удалить."));
}

TEST_F(MoveDocuments, TypeChangesClearThePartnerOnlyAroundTransfers)
{
    TForm_DocMove* f = Form_DocMove;
    f->PrepareNew(env.firmaKod, QStringLiteral("Столовая"), env.kitchen, QStringLiteral("Кухня"));
    f->KodFirma1 = env.partnerKod;
    f->RG_Typ->setItemIndex(1);
    EXPECT_EQ(f->KodFirma1, env.partnerKod);
    EXPECT_EQ(f->RG_TypeCena->itemIndex(), 1);
    f->RG_Typ->setItemIndex(2);
    EXPECT_EQ(f->KodFirma1, 0);
    EXPECT_FALSE(f->RG_Proizv->isHidden());
    EXPECT_EQ(f->L_OtdelCaption->text(), QStringLiteral("Передающее подразделение (отдел)"));
    f->KodFirma1 = env.firmaKod;
    f->KodOtdel1 = env.bar;
    f->RG_Typ->setItemIndex(0);
    EXPECT_EQ(f->KodFirma1, 0);
    EXPECT_EQ(f->KodOtdel1, 0);
    EXPECT_TRUE(f->RG_Proizv->isHidden());
    EXPECT_EQ(f->RG_TypeCena->itemIndex(), 0);
}

TEST_F(MoveDocuments, APostedDocumentsHeaderIsShownReadOnly)
{
    const qint64 d = env.doc(4, env.kitchen, env.bar, 2);
    env.t().exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 11 WHERE KOD = %1").arg(d));
    env.select(d);
    ModalScript script;
    script.then([&](QWidget* w) {
        auto* f = qobject_cast<TForm_DocMove*>(w);
        ASSERT_NE(f, nullptr);
        for (QWidget* c : std::initializer_list<QWidget*>{f->Btn_Firma, f->Btn_Otdel, f->Btn_Firma1, f->Btn_Otdel1, f->RG_Typ,
                                                          f->RG_TypeCena, f->E_Name, f->DateDoc, f->RG_Proizv})
            EXPECT_FALSE(c->isEnabled());
        EXPECT_EQ(f->RG_Typ->itemIndex(), 2);
        EXPECT_EQ(f->RG_Proizv->itemIndex(), 2);
        EXPECT_EQ(f->KodOtdel1, env.bar);
        EXPECT_EQ(f->L_Otdel1->text(), QStringLiteral("Бар"));
        f->reject();
    });
    Guard([] { MoveTab->Btn_UpdDocMoveClick(); });
}

TEST_F(MoveDocuments, ACopyWithoutQuantityTakesTheCurrentPricesAndKeepsTheWriteOffMode)
{
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 21.00, 30.00);
    const qint64 d = env.doc(4, env.kitchen, env.bar, 3, 1, QStringLiteral("ВП-1"));
    env.line(d, potato, 7, 99.00);
    env.select(d);
    StandInStatement standIn(MoveTab->Q_Moves);
    MoveTab->Q_Moves->setSql(QStringLiteral("SELECT * FROM MOVES WHERE KOD_DOC = %1").arg(d));
    MoveTab->Q_Moves->open();
    {
        ModalScript script;
        script.then(chooseRG(1)).then([](QWidget* w) {
            auto* n = qobject_cast<TForm_Name*>(w);
            ASSERT_NE(n, nullptr);
            n->Edit1->setText(QStringLiteral("ВП-2"));
            n->BitBtn1->click();
        });
        Guard([] { MoveTab->Btn_NewDocMoveClick(); });
    }
    const qint64 copy = env.num(QStringLiteral("SELECT KOD FROM DOCS WHERE NAME = 'ВП-2'"));
    ASSERT_NE(copy, 0);
    EXPECT_EQ(env.docField(copy, "P"), 3);
    EXPECT_EQ(env.docField(copy, "TYPE_CENA"), 1);
    EXPECT_EQ(env.docField(copy, "INT_PARAM2"), env.bar);
    EXPECT_EQ(env.docField(copy, "PROVODKA"), 0);
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOLVO FROM MOVES WHERE KOD_DOC = %1").arg(copy)), 0);
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT CENA FROM MOVES WHERE KOD_DOC = %1").arg(copy)).toDouble(), 30.00);
    EXPECT_EQ(env.logLines(QStringLiteral("Создание нового документа движения копированием")), 1);
    EXPECT_EQ(env.current(), copy);

    const qint64 inv = env.doc(1, env.kitchen, 0, 0, 0, QStringLiteral("И-1"));
    env.t().exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 11 WHERE KOD = %1").arg(inv));
    env.select(inv);
    {
        ModalScript script;
        script.then(chooseRG(2));
        Guard([] { MoveTab->Btn_NewDocMoveClick(); });
    }
    EXPECT_TRUE(env.messages.last().startsWith(QStringLiteral("Создание документов при помощи копирования допускается")));
}

TEST_F(MoveDocuments, ChangingThePriceKindRepricesTheLinesAfterAskingAndLogsIt)
{
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 21.00, 30.00);
    const qint64 d = env.doc(5, env.kitchen, 0, 0, 0, QStringLiteral("П-9"));
    env.line(d, potato, 7, 99.00);
    env.select(d);
    StandInStatement standIn(MoveTab->Q_Moves);
    MoveTab->Q_Moves->setSql(QStringLiteral("SELECT * FROM MOVES WHERE KOD_DOC = %1").arg(d));
    MoveTab->Q_Moves->open();
    env.answers = {0, 1};
    ModalScript script;
    script.then([](QWidget* w) {
        auto* f = qobject_cast<TForm_DocMove*>(w);
        ASSERT_NE(f, nullptr);
        f->RG_TypeCena->setItemIndex(1);  // declined
        f->RG_TypeCena->setItemIndex(0);
        f->RG_TypeCena->setItemIndex(1);  // taken
        f->reject();                      // the change stays even so
    });
    Guard([] { MoveTab->Btn_UpdDocMoveClick(); });
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT CENA FROM MOVES WHERE KOD_DOC = %1").arg(d)).toDouble(), 30.00);
    EXPECT_EQ(env.logLines(QStringLiteral("Цены продуктов в документе движения № П-9, изменены на ПРОДАЖНЫЕ.")), 1);
}

// Each road of the header dialog and of the tab's copy holds the documents
// and their lines from its first step.
TEST_F(MoveDocuments, EachHeaderRoadHoldsTheDocumentsAndTheirLines)
{
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 21.00, 30.00);
    const qint64 d = env.doc(5, env.kitchen, 0, 0, 0, QStringLiteral("П-9"));
    env.line(d, potato, 7, 99.00);
    StandInStatement standIn(MoveTab->Q_Moves);
    const auto onDocument = [&] {
        env.select(d);
        MoveTab->Q_Moves->setSql(QStringLiteral("SELECT * FROM MOVES WHERE KOD_DOC = %1").arg(d));
        MoveTab->Q_Moves->open();
    };
    const auto edited = [](std::function<void(TForm_DocMove*)> step) {
        return [step](QWidget* w) {
            auto* f = qobject_cast<TForm_DocMove*>(w);
            ASSERT_NE(f, nullptr);
            step(f);
            if (f->isVisible())
                f->reject();
        };
    };
    const auto named = [](const QString& name) {
        return [name](QWidget*) {
            Form_Name->Edit1->setText(name);
            Form_Name->BitBtn1->click();
        };
    };
    const QStringList documents{QStringLiteral("DOCS"), QStringLiteral("MOVES")};
    ExpectEachHolds({
        {"document made", documents,
         [&] {
             onDocument();
             ModalScript script;
             script.then(chooseRG(0)).then(header(1, env.firmaKod, env.kitchen, env.partnerKod, 0, QStringLiteral("Р-1")));
             Guard([] { MoveTab->Btn_NewDocMoveClick(); });
         }},
        {"header changed", documents,
         [&] {
             onDocument();
             ModalScript script;
             script.then(edited([](TForm_DocMove* f) {
                 f->E_Name->setText(QStringLiteral("П-10"));
                 f->Btn_Ok->click();
             }));
             Guard([] { MoveTab->Btn_UpdDocMoveClick(); });
         }},
        {"lines repriced", documents,
         [&] {
             onDocument();
             ModalScript script;
             script.then(edited([](TForm_DocMove* f) { f->RG_TypeCena->setItemIndex(1); }));
             Guard([] { MoveTab->Btn_UpdDocMoveClick(); });
         }},
        {"document copied", documents,
         [&] {
             onDocument();
             ModalScript script;
             script.then(chooseRG(2)).then(named(QStringLiteral("П-11")));
             Guard([] { MoveTab->Btn_NewDocMoveClick(); });
         }},
    });
    EXPECT_EQ(env.text(QStringLiteral("SELECT NAME FROM DOCS WHERE KOD = %1").arg(d)), QStringLiteral("П-10"));
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT CENA FROM MOVES WHERE KOD_DOC = %1").arg(d)).toDouble(), 30.00);
    EXPECT_EQ(env.count(QStringLiteral("DOCS")), 3);
}

TEST_F(MoveDocuments, OnlyUnpostedMovementDocumentsAreFilledHere)
{
    const qint64 sale = env.doc(3, 0);
    const qint64 posted = env.doc(5, env.kitchen);
    env.t().exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 11 WHERE KOD = %1").arg(posted));
    env.select(sale);
    Guard([] { MoveTab->Btn_ZapolClick(); });
    EXPECT_EQ(env.messages.last(), QStringLiteral("Документы реализации и производства заполняются в окне \"Поризводство и реализация\" !"));
    env.select(posted);
    Guard([] { MoveTab->Btn_ZapolClick(); });
    EXPECT_EQ(env.messages.last(), QStringLiteral("Нельзя вносить изменения в проведённый документ !!!"));
    // A production's write-off, not posted yet, is refused as its production is: no lines window opens.
    const qint64 writeOff = env.doc(7, env.kitchen);
    env.select(writeOff);
    env.messages.clear();
    ModalScript none;
    Guard([] { MoveTab->Btn_ZapolClick(); });
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Документы реализации и производства заполняются в окне \"Поризводство и реализация\" !")});
}

TEST_F(MoveDocuments, ACommitOnAnotherRoadRefreshesTheOpenListsOnTheirRowsARolledBackOneNothing)
{
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 20.00);
    const qint64 first = env.doc(5, env.kitchen, 0, 0, 0, QStringLiteral("П-1"));
    const qint64 second = env.doc(5, env.kitchen, 0, 0, 0, QStringLiteral("П-3"));
    env.line(second, potato, 1, 20.00);
    const qint64 counted = env.line(second, potato, 2, 20.00);
    env.select(second);
    MoveTab->Timer_MovesTimer();  // the document's lines, without waiting for the pause
    MoveTab->Q_Moves->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(counted));
    const int listed = MoveTab->Q_Dvig->recordCount();
    int reloads = 0;
    QObject::connect(MoveTab->List_Dvig, &db::ListHolder::reopened, [&] { ++reloads; });
    QObject::connect(MoveTab->List_Moves, &db::ListHolder::reopened, [&] { ++reloads; });

    // The second road: a write transaction of its own, as an engine or another window runs it.
    db::Transaction other(Form_Base->MyDB, db::Transaction::writeParams());
    engine::Context road = engine::ProgramContext();
    road.write = &other;
    auto change = [&] {
        movement::CopyDocument(road, first, QStringLiteral("П-2"), QDate(2026, 12, 7), QTime(10, 30), true);
        movement::AddLine(road, movement::Claim(road, second), env.kitchen, potato, 0);
    };

    {
        WriteTransaction w(road, movement::kRoad);
        change();
    }  // left without a commit: rolled back
    EXPECT_EQ(reloads, 0);
    EXPECT_EQ(MoveTab->Q_Dvig->recordCount(), listed);
    EXPECT_EQ(MoveTab->Q_Moves->recordCount(), 2);

    {
        WriteTransaction w(road, movement::kRoad);
        change();
        w.commit(QStringLiteral("Движение"), QStringLiteral("Создание нового документа движения копированием"));
    }
    // Reloaded by the time the commit returns, each list on the row it stood on.
    EXPECT_EQ(reloads, 2);
    EXPECT_EQ(MoveTab->Q_Dvig->recordCount(), listed + 1);
    EXPECT_EQ(env.current(), second);
    EXPECT_EQ(MoveTab->Q_Dvig->recNo(), listed);  // the copy is listed above it
    EXPECT_EQ(MoveTab->Q_Moves->recordCount(), 3);
    EXPECT_EQ(cat::KeyOf(MoveTab->Q_Moves), counted);
    EXPECT_FALSE(MoveTab->Grid_Dvig->greyed());

    // A typed quantity names its line: the lines' list reads that line again in place.
    int refreshed = 0;
    QObject::connect(MoveTab->Q_Moves, &db::Query::rowRefreshed, [&] { ++refreshed; });
    reloads = 0;
    {
        WriteTransaction w(road, movement::kRoad);
        movement::SetLineValue(road, movement::Claim(road, second), counted, QStringLiteral("KOLVO"), 7);
        w.commit();
    }
    EXPECT_EQ(reloads, 0);
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(cat::KeyOf(MoveTab->Q_Moves), counted);
    EXPECT_DOUBLE_EQ(MoveTab->Q_Moves->field(QStringLiteral("KOLVO")).asDouble(), 7);
}
