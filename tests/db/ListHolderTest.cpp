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

#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

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
    db::ListHolder::setReloadFailureNotice([&](const QString& text, bool, bool) { told << text; });

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

// What a road announces of a table: the keys its writers noted for every
// statement that changed it, or none (keys unknown) as soon as one statement
// changed it without its keys being noted before the next statement.
TEST(ListHolder, ARoadAnnouncesKeysOnlyWhenEveryChangeOfTheTableWasNotedWithItsKey)
{
    TestDb t;
    for (int k : {101, 102, 103})
        t.exec(QStringLiteral("INSERT INTO ED_IZM (KOD, NAME) VALUES (%1, 'Ед %1')").arg(k));
    db::Transaction other(&t.db(), db::Transaction::writeParams());
    engine::Context road = ContextOn(t);
    road.write = &other;
    const QString ed = QStringLiteral("ED_IZM");
    auto update = [&](int kod) {
        engine::Exec(road, QStringLiteral("UPDATE ED_IZM SET SHORT_NAME = 'x' WHERE KOD = %1").arg(kod));
    };
    struct Case {
        const char* what;
        std::function<void()> writes;
        QSet<qint64> announced;
    };
    const Case cases[] = {
        {"each statement noted", [&] { update(101); engine::NoteChange(road, ed, 101); update(102); engine::NoteChange(road, ed, 102); },
         {101, 102}},
        {"a read between the statement and its note", [&] {
             update(101);
             engine::Keys(road, QStringLiteral("SELECT KOD FROM ED_IZM"));
             engine::NoteChange(road, ed, 101);
         }, {101}},
        {"the second statement not noted", [&] { update(101); engine::NoteChange(road, ed, 101); update(102); }, {}},
        {"the first statement not noted", [&] { update(101); update(102); engine::NoteChange(road, ed, 102); }, {}},
        {"a note without a key", [&] { update(101); engine::NoteChange(road, ed, 101); engine::NoteChange(road, ed); }, {}},
    };
    for (const Case& c : cases) {
        std::vector<engine::ChangeSet> announced;
        auto connection = QObject::connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::committed,
                                           [&](const engine::ChangeSet& x) { announced.push_back(x); });
        {
            WriteTransaction w(road, WriteTransaction::Reserve::Structure);
            c.writes();
            w.commit();
        }
        QObject::disconnect(connection);
        ASSERT_EQ(announced.size(), 1u) << c.what;
        ASSERT_TRUE(announced[0].tables.contains(ed)) << c.what;
        EXPECT_EQ(announced[0].tables.value(ed), c.announced) << c.what;
    }

    // A procedure's tables: the one given keys keeps them, the others are unknown.
    std::vector<engine::ChangeSet> announced;
    QObject scope;  // the listener ends with the test
    QObject::connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::committed, &scope,
                     [&](const engine::ChangeSet& x) { announced.push_back(x); });
    {
        WriteTransaction w(road, WriteTransaction::Reserve::Documents);
        engine::RunProc(road, QStringLiteral("DEL_DOC"), {{QStringLiteral("KOD_DOC"), QStringLiteral("0")},
                                                          {QStringLiteral("OTKAT"), QStringLiteral("1")}});
        engine::NoteChange(road, QStringLiteral("MOVES"), 7);
        w.commit();
    }
    ASSERT_EQ(announced.size(), 1u);
    EXPECT_EQ(announced[0].tables.value(QStringLiteral("MOVES")), QSet<qint64>{7});
    EXPECT_TRUE(announced[0].tables.contains(QStringLiteral("ING_SKLAD")));
    EXPECT_TRUE(announced[0].tables.value(QStringLiteral("ING_SKLAD")).isEmpty());
}

// A list that knows the table of its rows re-reads only the rows whose keys
// the road noted and puts them in place: no reopen, the cursor and the view
// stay. What cannot be merged (a row that would move, one not listed, the
// current row gone, a key-less change) reads the list whole.
TEST(ListHolder, NotedRowsAreReadAgainInPlaceAndWhatCannotBeMergedReadsTheListWhole)
{
    TestDb t;
    for (int k = 101; k <= 110; ++k)
        t.exec(QStringLiteral("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME, GR) VALUES (%1, 'Ед %1', 'e', %2)").arg(k).arg(k % 2));
    db::ListHolder list(&t.db(), &t.read(), nullptr, 10);
    db::DbGrid grid;
    grid.setQuery(list.query());
    list.setGrid(&grid);
    list.setTables({QStringLiteral("ED_IZM")});
    list.setKeyTable(QStringLiteral("ED_IZM"));
    db::Query* q = list.query();
    q->addCalcField(QStringLiteral("LOUD"));
    q->onCalcFields = [](db::Query& x) { x.setCalc(QStringLiteral("LOUD"), x.field(QStringLiteral("SHORT_NAME")).asString().toUpper()); };
    q->setSql(QStringLiteral("SELECT ED_IZM.KOD, ED_IZM.NAME, ED_IZM.SHORT_NAME FROM ED_IZM WHERE GR = :G ORDER BY ED_IZM.NAME"));
    q->param(QStringLiteral("G")).setInt(1);
    q->open();
    ASSERT_EQ(q->recordCount(), 5);  // 101, 103, ... 109
    q->setRecNo(2);
    ASSERT_EQ(CurrentKey(q), 105);
    int reopened = 0, scrolled = 0;
    QList<int> refreshed;
    QObject::connect(&list, &db::ListHolder::reopened, [&] { ++reopened; });
    QObject::connect(q, &db::Query::afterScroll, [&] { ++scrolled; });
    QObject::connect(q, &db::Query::rowRefreshed, [&](int row) { refreshed << row; });

    db::Transaction other(&t.db(), db::Transaction::writeParams());
    engine::Context road = ContextOn(t);
    road.write = &other;
    auto commit = [&](const QString& sql, QList<qint64> keys) {
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        engine::Exec(road, sql);
        for (qint64 k : keys)
            engine::NoteChange(road, QStringLiteral("ED_IZM"), k);
        w.commit();
    };
    auto shortNames = [&] {
        QStringList out;
        for (int r = 0; r < q->recordCount(); ++r)
            out << q->valueAt(r, q->fieldIndex(QStringLiteral("SHORT_NAME"))).toString() +
                       q->valueAt(r, q->fieldIndex(QStringLiteral("LOUD"))).toString();
        return out;
    };

    // Two rows, one of them the current: in place, calculated fields too; a
    // noted key the list does not show (GR 0) changes nothing.
    commit(QStringLiteral("UPDATE ED_IZM SET SHORT_NAME = 'n' WHERE KOD IN (105, 109, 102)"), {105, 109, 102});
    EXPECT_EQ(reopened, 0);
    EXPECT_EQ(scrolled, 0);
    EXPECT_EQ(refreshed, (QList<int>{2, 4}));
    EXPECT_EQ(shortNames(), (QStringList{QStringLiteral("eE"), QStringLiteral("eE"), QStringLiteral("nN"),
                                         QStringLiteral("eE"), QStringLiteral("nN")}));
    EXPECT_EQ(CurrentKey(q), 105);

    // A row no longer listed (another group) leaves in place; the view follows its row.
    commit(QStringLiteral("UPDATE ED_IZM SET GR = 0 WHERE KOD = 101"), {101});
    EXPECT_EQ(reopened, 0);
    EXPECT_EQ(q->recordCount(), 4);
    EXPECT_EQ(CurrentKey(q), 105);
    EXPECT_EQ(q->recNo(), 1);
    EXPECT_EQ(grid.currentIndex().row(), 1);

    // A stand the writer asked for on a listed row: the list moves there, read in place.
    {
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        engine::Exec(road, QStringLiteral("UPDATE ED_IZM SET SHORT_NAME = 's' WHERE KOD = 107"));
        engine::NoteChange(road, QStringLiteral("ED_IZM"), 107);
        list.standOn(QVariant::fromValue<qint64>(109));
        w.commit();
    }
    EXPECT_EQ(reopened, 0);
    EXPECT_EQ(CurrentKey(q), 109);
    q->setRecNo(1);

    struct Whole {
        const char* what;
        QString sql;
        QList<qint64> keys;
        int rows;
    };
    const Whole whole[] = {
        {"a row whose order changes", QStringLiteral("UPDATE ED_IZM SET NAME = 'Ед 000' WHERE KOD = 109"), {109}, 4},
        {"a row that comes into the list", QStringLiteral("UPDATE ED_IZM SET GR = 1 WHERE KOD = 102"), {102}, 5},
        {"keys unknown", QStringLiteral("UPDATE ED_IZM SET SHORT_NAME = 'k' WHERE KOD = 103"), {}, 5},
        {"the current row gone", QStringLiteral("UPDATE ED_IZM SET GR = 0 WHERE KOD = 105"), {105}, 4},
    };
    for (const Whole& w : whole) {
        const int before = reopened;
        commit(w.sql, w.keys);
        EXPECT_EQ(reopened, before + 1) << w.what;
        EXPECT_EQ(q->recordCount(), w.rows) << w.what;
    }
    EXPECT_EQ(q->valueAt(0, q->fieldIndex(QStringLiteral("NAME"))).toString(), QStringLiteral("Ед 000"));  // read whole, it moved first
    EXPECT_EQ(CurrentKey(q), 103);  // the current row gone: its neighbour, the row before

    // Read whole with its rows in another order, the list finds each row by
    // its key where it stands now: merged in its own place, located there.
    commit(QStringLiteral("UPDATE ED_IZM SET SHORT_NAME = 'z' WHERE KOD = 103"), {103});
    commit(QStringLiteral("UPDATE ED_IZM SET NAME = 'Ед 999' WHERE KOD = 109"), {109});
    const int readWhole = reopened;
    commit(QStringLiteral("UPDATE ED_IZM SET SHORT_NAME = 'y' WHERE KOD = 102"), {102});
    EXPECT_EQ(reopened, readWhole);
    EXPECT_EQ(shortNames(), (QStringList{QStringLiteral("yY"), QStringLiteral("zZ"), QStringLiteral("sS"), QStringLiteral("nN")}));
    for (qint64 k : {109, 107, 102, 103}) {
        EXPECT_TRUE(q->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(k)));
        EXPECT_EQ(CurrentKey(q), k);
    }

    // A list of documents that shows their partner's name: a partner renamed
    // by key is none of the list's own rows (one document shares its key), so
    // the list is read whole and every document shows the new name.
    t.exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME) VALUES (7, 'Поставщик')"));
    for (int d : {6, 7, 8})
        t.exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, KOD_PARTNER_EXPORT) VALUES (%1, 'ПН-%1', 7)").arg(d));
    db::ListHolder docs(&t.db(), &t.read(), nullptr, 10);
    docs.setTables({QStringLiteral("DOCS"), QStringLiteral("FIRMA")});
    docs.setKeyTable(QStringLiteral("DOCS"));
    db::Query* d = docs.query();
    d->setSql(QStringLiteral("SELECT DOCS.KOD, DOCS.NAME, FIRMA.NAME AS PARTNER FROM DOCS "
                             "LEFT JOIN FIRMA ON FIRMA.KOD = DOCS.KOD_PARTNER_EXPORT ORDER BY DOCS.KOD"));
    d->open();
    d->setRecNo(1);
    {
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        engine::Exec(road, QStringLiteral("UPDATE FIRMA SET NAME = 'Новый поставщик' WHERE KOD = 7"));
        engine::NoteChange(road, QStringLiteral("FIRMA"), 7);
        w.commit();
    }
    ASSERT_EQ(d->recordCount(), 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(d->valueAt(r, d->fieldIndex(QStringLiteral("PARTNER"))).toString().toStdString(), "Новый поставщик") << r;
    EXPECT_EQ(CurrentKey(d), 7);
}

// A list whose grid is on a hidden tab, or in a window closed after use,
// reads nothing on a commit: it is stale and reloads when shown again. A
// window never shown (being built, or driven without a screen) hides nothing.
TEST(ListHolder, AHiddenListWaitsForItsGridToBeShown)
{
    TestDb t;
    t.exec(QStringLiteral("INSERT INTO ED_IZM (KOD, NAME) VALUES (101, 'Ед 101')"));
    db::Transaction other(&t.db(), db::Transaction::writeParams());
    engine::Context road = ContextOn(t);
    road.write = &other;
    int next = 102;
    auto addRow = [&] {
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        engine::Exec(road, QStringLiteral("INSERT INTO ED_IZM (KOD, NAME) VALUES (%1, 'Ед %1')").arg(next++));
        w.commit();
    };

    QWidget window;
    auto* tabs = new QTabWidget(&window);
    (new QVBoxLayout(&window))->addWidget(tabs);
    auto* grid = new db::DbGrid;
    tabs->addTab(new QWidget, QStringLiteral("Первая"));
    tabs->addTab(grid, QStringLiteral("Список"));
    db::ListHolder list(&t.db(), &t.read(), nullptr, 10);
    grid->setQuery(list.query());
    list.setGrid(grid);
    list.setTables({QStringLiteral("ED_IZM")});
    list.query()->setSql(QStringLiteral("SELECT KOD FROM ED_IZM ORDER BY KOD"));
    bool failing = false;
    list.query()->addCalcField(QStringLiteral("SHOWN"));
    list.query()->onCalcFields = [&failing](db::Query& row) {
        if (failing)
            throw db::DbError(QStringLiteral("сбой чтения"));
        row.setCalc(QStringLiteral("SHOWN"), 1);
    };
    list.query()->open();
    int reopened = 0;
    QObject::connect(&list, &db::ListHolder::reopened, [&] { ++reopened; });

    addRow();  // never shown: at once
    EXPECT_EQ(reopened, 1);
    EXPECT_EQ(list.query()->recordCount(), 2);

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    addRow();  // on the hidden tab
    addRow();
    EXPECT_EQ(reopened, 1);
    EXPECT_TRUE(list.stale());
    tabs->setCurrentIndex(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reopened == 2; }, 1000));
    EXPECT_EQ(list.query()->recordCount(), 4);
    EXPECT_FALSE(list.stale());
    addRow();  // shown: at once
    EXPECT_EQ(reopened, 3);

    window.hide();  // the window closed after use
    addRow();
    EXPECT_EQ(reopened, 3);
    EXPECT_TRUE(list.stale());
    // Opened afresh by its window before the holder's turn: read once.
    window.show();
    list.query()->close();
    list.query()->open();
    QTest::qWait(20);
    EXPECT_EQ(reopened, 3);
    EXPECT_FALSE(list.stale());
    EXPECT_EQ(list.query()->recordCount(), 6);

    // Shown again and not read: the words say why it was read. After a change
    // saved here, that the change is saved; after a road refused for a row
    // found changed elsewhere (alone or after a saved one), nothing of saving.
    QStringList told;
    db::ListHolder::setReloadFailureNotice([&](const QString& text, bool, bool) { told << text; });
    const QString notRead = QStringLiteral("Список на экране не удалось прочитать заново (сбой чтения). Его прежние строки "
                                           "показаны серым.");
    const struct {
        const char* waits;
        bool saved, refused;
        QString words;
    } showings[] = {{"a saved change", true, false, db::ListNotReadAgainText(QStringLiteral("сбой чтения"))},
                    {"a refusal", false, true, notRead},
                    {"a saved change, then a refusal", true, true, notRead}};
    for (const auto& s : showings) {
        SCOPED_TRACE(s.waits);
        window.hide();
        if (s.saved)
            addRow();
        if (s.refused) {
            engine::ChangeSet seen;
            seen.tables[QStringLiteral("ED_IZM")].insert(101);
            engine::ChangeSignal::instance()->seenElsewhere(seen);
        }
        ASSERT_TRUE(list.stale());
        failing = true;
        told.clear();
        window.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty(); }, 1000));
        EXPECT_EQ(told, QStringList{s.words});
        failing = false;
        list.reopen();
    }
    db::ListHolder::setReloadFailureNotice({});
}

// A list read whole that stands on the row it stood on shows that row where
// it was on the screen, whether its holder reads it after a commit or its
// window reads it afresh; rows gone above it do not move it, and the row
// before a row gone takes its place.
TEST(ListHolder, AListReadWholeKeepsItsRowWhereItWasOnTheScreen)
{
    TestDb t;
    t.exec(QStringLiteral("EXECUTE BLOCK AS DECLARE K INTEGER = 1; BEGIN WHILE (K <= 100) DO BEGIN "
                          "INSERT INTO ED_IZM (KOD, NAME) VALUES (1000 + :K, 'М' || LPAD(:K, 3, '0')); K = K + 1; END END"));
    db::ListHolder list(&t.db(), &t.read(), nullptr, 10);
    db::DbGrid grid;
    grid.resize(300, 240);
    grid.setQuery(list.query());
    list.setGrid(&grid);
    list.setTables({QStringLiteral("ED_IZM")});
    db::Query* q = list.query();
    q->setSql(QStringLiteral("SELECT KOD, NAME FROM ED_IZM WHERE KOD > 1000 ORDER BY NAME"));
    q->open();
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    // М041 in the middle of the screen.
    q->setRecNo(40);
    grid.scrollTo(grid.model()->index(36, 0), QAbstractItemView::PositionAtTop);
    const int y = grid.rowViewportPosition(40);
    ASSERT_GT(y, 0);
    auto shownAt = [&] { return grid.rowViewportPosition(grid.currentIndex().row()); };

    db::Transaction other(&t.db(), db::Transaction::writeParams());
    engine::Context road = ContextOn(t);
    road.write = &other;
    {
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        engine::Exec(road, QStringLiteral("DELETE FROM ED_IZM WHERE KOD IN (1010, 1011)"));
        w.commit();
    }
    ASSERT_EQ(q->field(QStringLiteral("NAME")).asString(), QStringLiteral("М041"));
    EXPECT_EQ(q->recNo(), 38);
    EXPECT_EQ(shownAt(), y);

    // The window's own reading afresh, back on its row.
    QTest::qWait(10);
    q->close();
    q->open();
    q->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(1041));
    EXPECT_EQ(shownAt(), y);

    // The row itself gone: its neighbour, the row before, takes its place on the screen.
    QTest::qWait(10);
    {
        WriteTransaction w(road, WriteTransaction::Reserve::Structure);
        engine::Exec(road, QStringLiteral("DELETE FROM ED_IZM WHERE KOD = 1041"));
        w.commit();
    }
    EXPECT_EQ(q->field(QStringLiteral("NAME")).asString(), QStringLiteral("М040"));
    EXPECT_EQ(shownAt(), y);
}

} // namespace
