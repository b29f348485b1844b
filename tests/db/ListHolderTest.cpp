// A list held by its holder follows what write roads commit: a commit that
// changed a table it reads reloads it at its row, a rollback or a change
// elsewhere leaves it alone.

#include "db/Query.h"
#include "db/Database.h"
#include "db/Transaction.h"
#include "engine/Changes.h"
#include "engine/EngineDb.h"
#include "engine/WriteRoad.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "support/EngineEnv.h"

#include <QTest>

#include <memory>

#include <gtest/gtest.h>

namespace {

qint64 CurrentKey(db::Query* q) { return q->field(QStringLiteral("KOD")).asInt64(); }

TEST(ListHolder, ACommitOnAnotherRoadReloadsTheOpenListAtItsRowARollbackOrAnotherTableNothing)
{
    TestDb t;
    for (int k : {101, 102, 103})
        t.exec(QStringLiteral("INSERT INTO ED_IZM (KOD, NAME) VALUES (%1, 'Ед %1')").arg(k));

    db::ListHolder list(&t.db(), &t.read(), nullptr, 10);
    db::DbGrid grid;
    grid.setQuery(list.query());
    list.setGrid(&grid);
    list.setTables({QStringLiteral("ed_izm")});
    list.query()->setSql(QStringLiteral("SELECT KOD, NAME FROM ED_IZM WHERE KOD > 100 ORDER BY NAME"));
    list.query()->open();
    list.query()->setRecNo(1);
    ASSERT_EQ(CurrentKey(list.query()), 102);
    int reopened = 0;
    QObject::connect(&list, &db::ListHolder::reopened, [&] { ++reopened; });
    std::vector<engine::ChangeSet> announced;
    QObject::connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::committed, &list,
                     [&](const engine::ChangeSet& c) { announced.push_back(c); });

    // The second road: a write transaction of its own on the connection.
    db::Transaction other(&t.db(), db::Transaction::writeParams());
    engine::Context road = ContextOn(t);
    road.write = &other;
    const QString addFirst = QStringLiteral("INSERT INTO ED_IZM (KOD, NAME) VALUES (104, 'Ед 100')");

    {
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        engine::Exec(road, addFirst);
        list.standOn(103);  // forgotten with the road
    }  // left without a commit: rolled back
    QTest::qWait(40);
    EXPECT_TRUE(announced.empty());
    EXPECT_EQ(reopened, 0);
    EXPECT_FALSE(grid.greyed());
    EXPECT_EQ(list.query()->recordCount(), 3);

    // Only the protocol table changes: the list stays.
    {
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        w.commit(QStringLiteral("Тест"), QStringLiteral("Строка протокола"));
    }
    QTest::qWait(40);
    ASSERT_EQ(announced.size(), 1u);
    EXPECT_TRUE(announced[0].touches({QStringLiteral("LOG_TABLE")}));
    EXPECT_EQ(reopened, 0);

    {
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        engine::Exec(road, addFirst);
        w.commit(QStringLiteral("Тест"), QStringLiteral("Добавлена единица"));
    }
    ASSERT_EQ(announced.size(), 2u);
    EXPECT_TRUE(announced[1].touches({QStringLiteral("ED_IZM"), QStringLiteral("LOG_TABLE")}));
    EXPECT_EQ(reopened, 1);  // at once, by the time the handler goes on
    EXPECT_FALSE(grid.greyed());
    EXPECT_EQ(list.query()->recordCount(), 4);
    EXPECT_EQ(CurrentKey(list.query()), 102);  // the same row, now the third
    EXPECT_EQ(list.query()->recNo(), 2);

    // A change no statement names (a procedure's) is noted by its writer, with its key.
    {
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        engine::NoteChange(road, QStringLiteral("Ed_Izm"), 103);
        w.commit();
    }
    ASSERT_EQ(announced.size(), 3u);
    EXPECT_EQ(announced[2].tables.value(QStringLiteral("ED_IZM")), QSet<qint64>{103});
    EXPECT_EQ(reopened, 2);

    // A row the writer has just added: the list stands on it after the reload.
    {
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        engine::Exec(road, QStringLiteral("INSERT INTO ED_IZM (KOD, NAME) VALUES (105, 'Ед 105')"));
        list.standOn(105);
        w.commit();
    }
    EXPECT_EQ(CurrentKey(list.query()), 105);

    // A move in a master list: the grid greys, the reload waits for the timer.
    list.scheduleReload();
    EXPECT_TRUE(grid.greyed());
    EXPECT_TRUE(QTest::qWaitFor([&] { return reopened == 4; }, 2000));
    EXPECT_FALSE(grid.greyed());
    EXPECT_EQ(CurrentKey(list.query()), 105);

    // A closed list waits for nothing.
    list.query()->close();
    {
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        engine::Exec(road, QStringLiteral("DELETE FROM ED_IZM WHERE KOD = 104"));
        w.commit();
    }
    EXPECT_FALSE(list.reloadPending());
    EXPECT_FALSE(grid.greyed());
}

TEST(ListHolder, AListThatCannotBeReadAgainKeepsItsRowsGreyedAndTheCommitStillReachesEveryList)
{
    TestDb t;
    for (int k : {101, 102, 103})
        t.exec(QStringLiteral("INSERT INTO ED_IZM (KOD, NAME) VALUES (%1, 'Ед %1')").arg(k));
    QStringList told;
    db::ListHolder::setReloadFailureNotice([&](const QString& text) { told << text; });

    // Three lists of the same table; the first and the last fail to read while `failing` is set.
    bool failing = false;
    std::vector<std::unique_ptr<db::ListHolder>> lists;
    std::vector<std::unique_ptr<db::DbGrid>> grids;
    for (int i = 0; i < 3; ++i) {
        lists.push_back(std::make_unique<db::ListHolder>(&t.db(), &t.read(), nullptr, 10));
        grids.push_back(std::make_unique<db::DbGrid>());
        db::Query* q = lists[i]->query();
        grids[i]->setQuery(q);
        lists[i]->setGrid(grids[i].get());
        lists[i]->setTables({QStringLiteral("ED_IZM")});
        q->setSql(QStringLiteral("SELECT KOD, NAME FROM ED_IZM WHERE KOD > 100 ORDER BY KOD"));
        q->addCalcField(QStringLiteral("SHOWN"));
        q->onCalcFields = [&failing, i](db::Query& row) {
            if (failing && i != 1)
                throw db::DbError(QStringLiteral("сбой чтения"));
            row.setCalc(QStringLiteral("SHOWN"), 1);
        };
        q->open();
        q->setRecNo(1);
    }
    int ended = 0;
    QObject::connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::ended, lists[0].get(), [&] { ++ended; });

    db::Transaction other(&t.db(), db::Transaction::writeParams());
    engine::Context road = ContextOn(t);
    road.write = &other;
    failing = true;
    EXPECT_NO_THROW({
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        engine::Exec(road, QStringLiteral("INSERT INTO ED_IZM (KOD, NAME) VALUES (104, 'Ед 104')"));
        lists[0]->standOn(103);
        w.commit();
    });
    EXPECT_EQ(ended, 1);
    // Told once for the road, though two lists failed.
    EXPECT_EQ(told, QStringList{db::ListNotReadAgainText(QStringLiteral("сбой чтения"))});
    for (int i : {0, 2}) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(lists[i]->query()->active());
        EXPECT_EQ(lists[i]->query()->recordCount(), 3);
        EXPECT_EQ(CurrentKey(lists[i]->query()), 102);
        EXPECT_TRUE(grids[i]->greyed());
    }
    EXPECT_EQ(lists[1]->query()->recordCount(), 4);
    EXPECT_EQ(CurrentKey(lists[1]->query()), 102);
    EXPECT_FALSE(grids[1]->greyed());

    // The next commit reads them again: released, on their row; the row the
    // failed road asked for is not taken up.
    failing = false;
    {
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        engine::Exec(road, QStringLiteral("INSERT INTO ED_IZM (KOD, NAME) VALUES (105, 'Ед 105')"));
        w.commit();
    }
    EXPECT_EQ(ended, 2);
    EXPECT_EQ(told.size(), 1);
    for (int i : {0, 2}) {
        EXPECT_EQ(lists[i]->query()->recordCount(), 5);
        EXPECT_EQ(CurrentKey(lists[i]->query()), 102);
        EXPECT_FALSE(grids[i]->greyed());
    }

    db::ListHolder::setReloadFailureNotice({});
}

TEST(ListHolder, AProcedureAnnouncesTheTablesItsBodyAndWhatItRunsChange)
{
    // What one body names as written; comments are not statements.
    const QStringList written = db::Database::writtenBy(QStringLiteral(
        "BEGIN -- update NOTHING here\n /* DELETE FROM NOR_THIS */ UPDATE OR INSERT INTO ing_sklad (KOD) VALUES (1);\n"
        " UPDATE \"MOVES\" SET KOLVO = 0; EXECUTE PROCEDURE MY_ROUND :Q RETURNING_VALUES :Q;\n"
        " DELETE FROM MOVES WHERE KOD = 0; INSERT INTO DOCS (KOD) VALUES (2); END"));
    EXPECT_EQ(written, (QStringList{QStringLiteral("ING_SKLAD"), QStringLiteral("MOVES"),
                                    QStringLiteral("PROCEDURE MY_ROUND"), QStringLiteral("DOCS")}));

    TestDb t;
    db::ListHolder list(&t.db(), &t.read(), nullptr, 10);
    list.setTables({QStringLiteral("REAL_BLUDO")});
    list.query()->setSql(QStringLiteral("SELECT KOD FROM REAL_BLUDO"));
    list.query()->open();
    int reopened = 0;
    QObject::connect(&list, &db::ListHolder::reopened, [&] { ++reopened; });
    std::vector<engine::ChangeSet> announced;
    QObject::connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::committed, &list,
                     [&](const engine::ChangeSet& c) { announced.push_back(c); });

    db::Transaction other(&t.db(), db::Transaction::writeParams());
    engine::Context road = ContextOn(t);
    road.write = &other;
    {
        WriteTransaction w(road, WriteTransaction::Reserve::Documents);
        engine::RunProc(road, QStringLiteral("DEL_DOC"), {{QStringLiteral("KOD_DOC"), QStringLiteral("0")},
                                                          {QStringLiteral("OTKAT"), QStringLiteral("1")}});
        w.commit();
    }
    ASSERT_EQ(announced.size(), 1u);
    for (const char* table : {"ING_SKLAD", "MOVES", "REAL_BLUDO", "INVENT"})
        EXPECT_TRUE(announced[0].touches({QString::fromLatin1(table)})) << table;
    EXPECT_FALSE(announced[0].touches({QStringLiteral("DOCS")}));
    EXPECT_EQ(reopened, 1);
}

} // namespace
