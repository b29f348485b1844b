// The isql-style script runner of the schema sources and upgrades.

#include "db/Script.h"
#include "support/TestDb.h"

#include <gtest/gtest.h>

using db::splitScript;

TEST(SplitScript, TerminatorsInsideQuotesAndCommentsDoNotSplit)
{
    const QString script = QStringLiteral(
        "-- header; with a semicolon\n"
        "/* block; comment ^ */ INSERT INTO T VALUES ('a;b', 'it''s; ^ here');\n"
        "SELECT \"odd;name\" FROM T -- trailing; comment\n"
        ";\n"
        "  \n;;\n"
        "UPDATE T SET A = 1");
    EXPECT_EQ(splitScript(script),
              (QStringList{"INSERT INTO T VALUES ('a;b', 'it''s; ^ here')",
                           "SELECT \"odd;name\" FROM T -- trailing; comment",
                           "UPDATE T SET A = 1"}));
    EXPECT_TRUE(splitScript(QStringLiteral("  -- only a comment; here\n/* and; another */ ")).isEmpty());
}

TEST(SplitScript, SetTermChangesTheTerminatorAndIsNoStatement)
{
    const QString body = QStringLiteral(
        "CREATE PROCEDURE P (A INTEGER) RETURNS (B VARCHAR(10))\nAS\n"
        "BEGIN\n  B = '^;'; /* ^ */ -- ^\n  SUSPEND;\nEND");
    const QString script = QStringLiteral("CREATE TABLE T (A INTEGER);\n"
                                          "set term ^ ;\n") +
                           body + QStringLiteral("^\n"
                                                 "/* before */ SET TERM ; ^\n"
                                                 "COMMIT;\n"
                                                 "SET TERM !! ;\nEXECUTE BLOCK AS BEGIN END!!\nSET TERM ;!!\n"
                                                 "DROP TABLE T;");
    EXPECT_EQ(splitScript(script), (QStringList{"CREATE TABLE T (A INTEGER)", body, "COMMIT",
                                                "EXECUTE BLOCK AS BEGIN END", "DROP TABLE T"}));
}

TEST(RunScript, RunsStatementsAndCommitsWhereTheScriptSays)
{
    TestDb t;
    t.write().start();
    db::runScript(t.db(), t.write(),
                  QStringLiteral("CREATE TABLE SCRATCH (KOD INTEGER, S VARCHAR(10));\n"
                                 "COMMIT;\n"
                                 "INSERT INTO SCRATCH VALUES (1, ':X; ^');\n"
                                 "SET TERM ^ ;\n"
                                 "CREATE PROCEDURE SCRATCH_ADD (A INTEGER) AS\n"
                                 "BEGIN\n  INSERT INTO SCRATCH (KOD, S) VALUES (:A, 'p;');\nEND^\n"
                                 "SET TERM ; ^\n"
                                 "COMMIT WORK;\n"
                                 "EXECUTE PROCEDURE SCRATCH_ADD(2);\n"));
    EXPECT_TRUE(t.write().active());
    // The statements after the last COMMIT wait for the caller's commit.
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT LIST(KOD || '=' || S, ' ') FROM SCRATCH")).toString(), QStringLiteral("1=:X; ^"));
    t.write().commit();
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(*) FROM SCRATCH")).toInt(), 2);

    // A failing statement stops the script with the server's text.
    t.write().start();
    EXPECT_THROW(db::runScript(t.db(), t.write(),
                               QStringLiteral("INSERT INTO SCRATCH VALUES (3, 'x');\nINSERT INTO NO_SUCH VALUES (1);\n"
                                              "INSERT INTO SCRATCH VALUES (4, 'y');")),
                 db::DbError);
    t.write().rollback();
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(*) FROM SCRATCH")).toInt(), 2);
}
