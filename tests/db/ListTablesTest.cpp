// A held list is checked, as it opens, against the tables its statement
// reads by the server's plan: joined tables and those of a subquery count,
// and a subscription that misses one (or names one it does not read) fails
// the test that opened the list.

#include "db/Query.h"
#include "grid/ListHolder.h"
#include "support/ListTables.h"
#include "support/TestDb.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

TEST(ListTables, AHeldListIsCheckedAgainstTheTablesItsStatementReads)
{
    TestDb t;
    db::ListHolder list(&t.db(), &t.read());
    db::Query* q = list.query();
    const auto open = [&](const QStringList& tables, const QString& sql) {
        list.setTables(tables);
        q->close();
        q->setSql(sql);
        q->open();
    };
    const QString joined = QStringLiteral("SELECT ING.NAME, E.SHORT_NAME FROM ING LEFT OUTER JOIN ED_IZM E ON E.KOD = ING.ED_IZM");
    EXPECT_NONFATAL_FAILURE(open({QStringLiteral("ED_IZM")}, joined), "subscribes to ED_IZM but reads ED_IZM ING");
    EXPECT_NONFATAL_FAILURE(open({QStringLiteral("ING"), QStringLiteral("ed_izm"), QStringLiteral("KARTA")}, joined),
                            "subscribes to ED_IZM ING KARTA but reads ED_IZM ING");
    open({QStringLiteral("ing"), QStringLiteral("ED_IZM")}, joined);

    // A table read only by a subquery of the select list is read too.
    const QString counted = QStringLiteral("SELECT E.*, (SELECT COUNT(*) FROM ING WHERE ING.ED_IZM = E.KOD) AS N FROM ED_IZM E");
    EXPECT_NONFATAL_FAILURE(open({QStringLiteral("ED_IZM")}, counted), "reads ED_IZM ING");
    open({QStringLiteral("ED_IZM"), QStringLiteral("ING")}, counted);

    // A test's own statement standing in for the window's is left alone.
    StandInStatement standIn(q);
    open({QStringLiteral("KARTA")}, QStringLiteral("SELECT 1 AS KOD FROM RDB$DATABASE"));
}

} // namespace
