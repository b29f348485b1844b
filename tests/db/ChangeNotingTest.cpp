// Every way a statement writes is noted on its transaction, so that the
// lists of the tables it changed hear of the commit; and, in the tests, a
// statement that changed a table it did not note is caught.

#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "support/TestDb.h"
#include "support/UnnotedWrites.h"

#include <gtest/gtest.h>

namespace {

TEST(ChangeNoting, EveryWayAStatementWritesIsNotedAndAWriteNobodyNotedIsCaught)
{
    TestDb t;
    // A procedure that writes and answers a row, one that runs it through a
    // SELECT, and one that runs the second.
    t.exec(QStringLiteral("CREATE PROCEDURE T_MARK RETURNS (K BIGINT) AS BEGIN "
                          "UPDATE GROUP_ING SET NAME = NAME; K = 1; SUSPEND; END"));
    t.exec(QStringLiteral("CREATE PROCEDURE T_MARK_SELECTED AS DECLARE K BIGINT; BEGIN "
                          "SELECT K FROM T_MARK INTO :K; END"));
    t.exec(QStringLiteral("CREATE PROCEDURE T_MARK_NESTED AS BEGIN EXECUTE PROCEDURE T_MARK_SELECTED; END"));
    t.exec(QStringLiteral("INSERT INTO GROUP_ING (KOD, NAME) VALUES (1, 'Овощи')"));
    t.exec(QStringLiteral("INSERT INTO ED_IZM (KOD, NAME) VALUES (1, 'кг')"));

    QStringList caught;
    db::Query::setUnnotedWritesHandler([&](const QString&, const QStringList& tables) { caught << tables; });
    const auto run = [&](const QString& sql) {
        t.write().start();
        db::Query q(&t.db(), &t.write());
        q.setSql(sql);
        q.execSql();
        const auto noted = t.write().changes();
        t.write().rollback();
        return noted;
    };
    const struct {
        const char* sql;
        const char* table;
    } cases[] = {
        {"/* the unit's name */ UPDATE ED_IZM SET NAME = 'кг' WHERE KOD = 1", "ED_IZM"},
        {"-- the unit\nUPDATE ED_IZM SET NAME = 'кг' WHERE KOD = 1", "ED_IZM"},
        {"EXECUTE BLOCK AS BEGIN UPDATE GROUP_ING SET NAME = NAME; END", "GROUP_ING"},
        {"EXECUTE BLOCK AS DECLARE K BIGINT; BEGIN SELECT K FROM T_MARK INTO :K; END", "GROUP_ING"},
        {"EXECUTE PROCEDURE T_MARK_SELECTED", "GROUP_ING"},
        {"EXECUTE PROCEDURE T_MARK_NESTED", "GROUP_ING"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_TRUE(run(QString::fromUtf8(c.sql)).contains(QString::fromLatin1(c.table)));
    }
    EXPECT_TRUE(caught.isEmpty()) << caught.join(QLatin1Char(' ')).toStdString();

    // A write no statement names (a trigger of the test's own that changes
    // another table) is caught, and so is nothing else.
    t.exec(QStringLiteral("CREATE TRIGGER T_UNIT_TOUCHES_GROUPS FOR ED_IZM AFTER UPDATE AS BEGIN "
                          "UPDATE GROUP_ING SET NAME = NAME; END"));
    caught.clear();
    run(QStringLiteral("UPDATE ED_IZM SET NAME = 'кг' WHERE KOD = 1"));
    EXPECT_EQ(caught, QStringList{QStringLiteral("GROUP_ING")});
    FailUnnotedWrites();
}

} // namespace
