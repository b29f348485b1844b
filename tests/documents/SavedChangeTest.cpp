// Once a write road's commit has returned, its change is saved whatever
// fails after it: each road that changes documents, stock, cards or prices,
// clicked as a user clicks it, with something failing right after the commit
// (a receiver of the change that throws, or the network to the server
// broken), tells the change as saved and keeps its lists'
// former rows, greyed, where they could not be read again. The reads that
// find the connection gone after it tell so once, until the user connects
// again and the lists are read again.

#include "MoveEnv.h"

#include "Unit_Compute.h"
#include "Unit_DelDoc.h"
#include "Unit_Invent.h"
#include "Unit_Karta.h"
#include "Unit_Provodka.h"
#include "Unit_RealTab.h"
#include "engine/Changes.h"
#include "grid/DatasetModel.h"
#include "inventory/Inventory.h"
#include "support/NetworkRelay.h"
#include "support/ServerStation.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_Main.h"
#include "util/Messages.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <string>
#include <stdexcept>

namespace {

class RoadEnv : public MoveEnv {
public:
    qint64 scalar(const QString& sql) { return num(sql); }
    bool logged(const QString& action)
    {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE WHERE WHAT_ACTION = '%1'").arg(action)) == 1;
    }
    // A receipt of flour, posted by the server's procedure when asked.
    qint64 receipt(int type, bool posted)
    {
        const qint64 flour = product(QStringLiteral("Мука"), 10, 50.00, 55.00);
        const qint64 d = doc(type, kitchen);
        line(d, flour, 4, 52.00);
        if (posted)
            t().exec(QStringLiteral("EXECUTE PROCEDURE PROVODKA_MOVE (%1)").arg(d));
        return d;
    }

    qint64 subject = 0;  // the document or product the road changes
};

// The modal dialogs a handler opens, each acted on by its step in turn and
// closed if the step left it open (a road that failed may leave its own open).
class Dialogs {
public:
    explicit Dialogs(std::vector<std::function<void(QWidget*)>> steps) : steps_(std::move(steps))
    {
        Msg::setModalHandler([this](QDialog* d) {
            d->setResult(QDialog::Rejected);
            QPointer<QDialog> shown = d;
            d->show();
            if (next_ < steps_.size())
                steps_[next_++](d);
            if (shown && shown->isVisible())
                shown->reject();
            return shown ? shown->result() : int(QDialog::Rejected);
        });
    }
    ~Dialogs() { Msg::setModalHandler({}); }

private:
    std::vector<std::function<void(QWidget*)>> steps_;
    size_t next_ = 0;
};

struct Road {
    const char* name;
    // Data and windows as the user has them before the click.
    std::function<void(RoadEnv&)> prepare;
    std::vector<std::function<void(QWidget*)>> dialogs;
    std::function<void()> click;
    std::function<bool(RoadEnv&)> saved;
    // The list on screen that the change reloads, and its grid.
    std::function<db::Query*()> list;
    std::function<db::DbGrid*()> grid;
};

std::vector<Road> Roads()
{
    const auto okDelProv = [](QWidget* w) { static_cast<TForm_DelProv*>(w)->Btn_Ok->click(); };
    return {
        {"movement posting", [](RoadEnv& e) {
             e.subject = e.receipt(5, false);
             Form_Main->show();
             Form_Main->SetActivePage(Form_Main->Sheet_Move);
             e.select(e.subject);
         },
         {choose<TForm_Provodka>(0)}, [] { MoveTab->Btn_Provodka->click(); },
         [](RoadEnv& e) {
             return e.docField(e.subject, "PROVODKA") == 11 && e.logged(QStringLiteral("Проводка документа № П-1 от 07.12.2026"));
         },
         [] { return MoveTab->Q_Dvig; }, [] { return MoveTab->Grid_Dvig; }},
        {"movement un-posting", [](RoadEnv& e) {
             e.subject = e.receipt(6, true);
             e.select(e.subject);
         },
         {okDelProv}, [] { MoveTab->Btn_Provodka->click(); },
         [](RoadEnv& e) {
             return e.docField(e.subject, "PROVODKA") == 0 &&
                    e.logged(QStringLiteral("Отмена проводки документа № П-1 от 07.12.2026"));
         },
         [] { return MoveTab->Q_Dvig; }, [] { return MoveTab->Grid_Dvig; }},
        {"deletion with rollback", [](RoadEnv& e) {
             e.subject = e.receipt(5, true);
             e.select(e.subject);
         },
         {[](QWidget*) {
             Form_DelDoc->CB_Otkat->setChecked(true);
             Form_DelDoc->Btn_Ok->click();
         }},
         [] { MoveTab->Btn_DelDocMove->click(); },
         [](RoadEnv& e) {
             return e.count(QStringLiteral("DOCS"), QStringLiteral("KOD = %1").arg(e.subject)) == 0 &&
                    e.logged(QStringLiteral("Удалён документ № П-1 от 07.12.2026; Откат; "));
         },
         [] { return MoveTab->Q_Dvig; }, [] { return MoveTab->Grid_Dvig; }},
        {"sales posting", [](RoadEnv& e) {
             const qint64 soup = e.product(QStringLiteral("Суп"), 10, 7.5, 20);
             e.subject = e.doc(3, 0, 0, 1, 0, QStringLiteral("Р-5"));
             e.t().exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) "
                                       "VALUES (%1, %2, %3, 2, 20)")
                            .arg(e.subject)
                            .arg(soup)
                            .arg(e.kitchen));
             RealTab->ShowDocument(e.subject);
             RealTab->Timer_Real->stop();
             RealTab->Open_RealBludo();
         },
         {}, [] { RealTab->Btn_Provodka_Real->click(); },
         [](RoadEnv& e) { return e.docField(e.subject, "PROVODKA") == 11 && e.logged(QStringLiteral("Проводка документа № Р-5")); },
         [] { return RealTab->Q_Docs_Real; }, [] { return RealTab->Grid_DocReal; }},
        {"inventory posting", [](RoadEnv& e) {
             e.product(QStringLiteral("Картофель"), 10, 5, 7);
             e.t().exec(QStringLiteral("INSERT INTO DOCS (NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                       "KOD_PARTNER_IMPORT, INT_PARAM1, EDIT_CENA, PROVODKA) VALUES "
                                       "('Инв', '2026-12-08', '12:00', 1, %1, %1, %2, 2, 0)")
                            .arg(e.firmaKod)
                            .arg(e.kitchen));
             e.subject = e.scalar(QStringLiteral("SELECT MAX(KOD) FROM DOCS"));
             {
                 WriteTransaction w(WriteTransaction::Reserve::Documents);
                 inventory::InvDoc d;
                 d.kod = e.subject;
                 d.otdel = e.kitchen;
                 d.date = QDate(2026, 12, 8);
                 d.time = QTime(12, 0);
                 inventory::Fill(w.context(), d, {}, false);
                 w.commit();
             }
             Form_Invent->OpenDocs();
             Form_Invent->FormShow();
             e.answers = {0, 1};  // unchanged lines kept; posting confirmed
         },
         {}, [] { Form_Invent->Btn_Provodka->click(); },
         [](RoadEnv& e) {
             return e.docField(e.subject, "PROVODKA") == 11 && e.logged(QStringLiteral("Проведён документ инвентаризации № Инв"));
         },
         [] { return Form_Invent->Q_Docs; }, [] { return Form_Invent->Grid_Doc; }},
        {"costing card save", [](RoadEnv& e) {
             const qint64 potato = e.product(QStringLiteral("Картофель"), 0, 30, 45);
             e.subject = e.dish(QStringLiteral("Суп"), {{potato, 0.25}});
             CatEnv::showProducts(e.firmaKod, e.kitchen, e.gr);
             Form_Karta->Prepare(e.subject);
             Form_Karta->Btn_EditClick();
         },
         {}, [] { Form_Karta->Btn_Ok->click(); },
         [](RoadEnv& e) {
             return e.scalar(QStringLiteral("SELECT FLAG_UPDATE FROM ING WHERE KOD = %1").arg(e.subject)) == 0 &&
                    e.logged(QStringLiteral("Записаны изменения в К/карту продукта <<Суп>>"));
         },
         [] { return ProductsTab->Q_Ing; }, [] { return ProductsTab->Grid_Ing; }},
        {"price recomputation", [](RoadEnv& e) {
             const qint64 potato = e.product(QStringLiteral("Картофель"), 0, 30, 45);
             e.subject = e.dish(QStringLiteral("Пюре"), {{potato, 0.5}});
             // The stock list of the kitchen's group, as "Наличие на складах и цены" shows it.
             Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
             ProductsTab->Sheet_IngShow();
             CatEnv::at(StructureBox->Q_Firma, e.firmaKod);
             StructureBox->Timer_OtdelTimer();
             CatEnv::at(StructureBox->Q_Otdel, e.kitchen);
             StructureBox->Timer_SkladTimer();
             ProductsTab->Timer_GrIngTimer();
             CatEnv::at(ProductsTab->Q_GrIng, e.gr);
             ProductsTab->CB_Context_IngSkladClick();
             Form_Compute->RadioGroup1->setItemIndex(2);
             Form_Compute->RG_Ing->setItemIndex(2);
         },
         {[](QWidget*) { Form_Compute->BitBtn1->click(); }}, [] { ProductsTab->Btn_Calc->click(); },
         [](RoadEnv& e) {
             return e.scalar(QStringLiteral("SELECT COUNT(*) FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2 "
                                            "AND CENA = 15").arg(e.subject).arg(e.kitchen)) == 1 &&
                    e.logged(QStringLiteral("Расчёт цен"));
         },
         [] { return ProductsTab->Q_Ing_Sklad; }, [] { return ProductsTab->Grid_Ing_Sklad; }},
    };
}

bool toldLost(const QStringList& messages)
{
    for (const QString& m : messages)
        if (m.contains(QStringLiteral("ничего не сохранено")) || m.contains(QStringLiteral("не проведён")) ||
            m.contains(QStringLiteral("могли быть")))
            return true;
    return false;
}

TEST(SavedChange, AReceiverThatThrowsAfterTheCommitLeavesEveryRoadSavedAndToldSo)
{
    for (const Road& road : Roads()) {
        SCOPED_TRACE(road.name);
        RoadEnv env;
        road.prepare(env);
        env.messages.clear();
        int ended = 0;
        QObject ctx;
        QObject::connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::ended, &ctx, [&] { ++ended; });
        QObject::connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::committed, &ctx,
                         [](const engine::ChangeSet&) { throw std::runtime_error("сбой после записи"); });
        {
            Dialogs dialogs(road.dialogs);
            road.click();
        }
        EXPECT_TRUE(road.saved(env));
        EXPECT_EQ(env.messages.count(db::FailedAfterSaveText(QStringLiteral("сбой после записи"))), 1)
            << env.messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_FALSE(toldLost(env.messages)) << env.messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_GE(ended, 1);
        EXPECT_FALSE(Form_Base->TransactionWrite->active());
    }
}

TEST(SavedChange, TheNetworkLostRightAfterTheCommitLeavesEveryRoadSavedAndItsListGreyed)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    for (const Road& road : Roads()) {
        SCOPED_TRACE(road.name);
        NetworkRelay network;
        RoadEnv env;
        ASSERT_TRUE(env.moveToTestServer(&network));
        road.prepare(env);
        env.messages.clear();
        db::Query* list = road.list();
        ASSERT_TRUE(list->active());
        const int rows = list->recordCount();
        ASSERT_GT(rows, 0);

        // The workstation's network breaks the moment its commit returns.
        db::Transaction* write = Form_Base->TransactionWrite;
        const quint64 commits = write->commits();
        QObject ctx;
        QObject::connect(write, &db::Transaction::ended, &ctx, [&] {
            if (write->commits() == commits + 1)
                network.cut();
        });
        {
            Dialogs dialogs(road.dialogs);
            road.click();
        }
        EXPECT_TRUE(road.saved(env));
        EXPECT_TRUE(env.messages.contains(db::ConnectionLostAfterSaveText())) << env.messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_FALSE(toldLost(env.messages)) << env.messages.join(QLatin1Char('\n')).toStdString();
        // The list still shows what it showed, greyed.
        EXPECT_TRUE(list->active());
        EXPECT_EQ(list->recordCount(), rows);
        EXPECT_TRUE(road.grid()->greyed());
        EXPECT_FALSE(write->active());

        // The user stays a moment and moves on the list, twice: the windows'
        // timers read their detail lists again (the movement lines 400 ms
        // after a move), and so does the keep-alive. They find the connection
        // gone, which the user has been told: the start page is in front, and
        // nothing more is said.
        const auto reads = [&] {
            QTest::qWait(500);
            for (int move = 0; move < 2; ++move) {
                if (list->recordCount() > 1)
                    list->recNo() > 0 ? list->prior() : list->next();
                QTest::qWait(500);
            }
            Form_Base->Timer_Timer->setInterval(20);
            Form_Base->Timer_Timer->start();
            QTest::qWait(100);
            Form_Base->Timer_Timer->stop();
            Form_Base->Timer_Timer->setInterval(900000);
        };
        reads();
        EXPECT_FALSE(toldLost(env.messages)) << env.messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(env.messages.filter(QStringLiteral("Связь с сервером")), QStringList{db::ConnectionLostAfterSaveText()});
        EXPECT_EQ(Form_Main->ActivePage(), Form_Main->Sheet_Hello);
        if (std::string(road.name) != "movement posting")
            continue;

        // "Подключения" connects again: back on the movement tab, its list is
        // read again, and a connection lost after it is told again, once.
        Msg::setModalHandler([](QDialog*) { return int(QDialog::Rejected); });
        Form_Main->Btn_Net->click();
        Msg::setModalHandler({});
        ASSERT_TRUE(Form_Base->MyDB->connected());
        QTest::qWait(500);
        EXPECT_TRUE(list->active());
        EXPECT_EQ(list->recordCount(), rows);
        EXPECT_FALSE(road.grid()->greyed());
        network.cut();
        env.messages.clear();
        reads();
        EXPECT_EQ(env.messages, QStringList{db::ConnectionLostReadingText()});
        Form_Main->hide();
    }
}

} // namespace
