// The write transaction's table reservation, and the closing protocol line
// when the server has dropped the program's connection.

#include "support/AppEnv.h"

#include "base/Unit_Base.h"
#include "db/Error.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "engine/WriteRoad.h"
#include "ui/Unit_Main.h"
#include "util/Unit_Util.h"

#include <ibase.h>

#include <gtest/gtest.h>

TEST(WriteRoadLocks, TheWriteTransactionReservesTheTablesItWrites)
{
    AppEnv env;
    TestDb& t = env.testDb();
    t.exec(QStringLiteral("INSERT INTO GROUP_ING (KOD, NAME) VALUES (1, 'Овощи')"));
    t.exec(QStringLiteral("INSERT INTO GROUP_ING (KOD, NAME) VALUES (2, 'Фрукты')"));

    // Another workstation's change of another row of the same table, not waiting.
    db::Transaction other(&t.db(), {isc_tpb_write, isc_tpb_concurrency, isc_tpb_nowait});
    auto otherUpdate = [&] {
        other.start();
        db::Query q(&t.db(), &other);
        q.setSql(QStringLiteral("UPDATE GROUP_ING SET NAME = 'Ягоды' WHERE KOD = 2"));
        try {
            q.execSql();
        } catch (const db::DbError&) {
            other.rollback();
            return false;
        }
        other.commit();
        return true;
    };
    {
        WriteTransaction w(WriteTransaction::Reserve::Catalogue);
        Form_Base->QWrite1->setSql(QStringLiteral("UPDATE GROUP_ING SET NAME = 'Корнеплоды' WHERE KOD = 1"));
        Form_Base->QWrite1->execSql();
        EXPECT_FALSE(otherUpdate()) << "the program's write transaction left its table open to others";
        w.rollback();
    }
    EXPECT_TRUE(otherUpdate());
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT NAME FROM GROUP_ING WHERE KOD = 1")).toString(), QStringLiteral("Овощи"));
}

TEST(WriteRoadLocks, ClosingWhenTheServerDroppedTheConnection)
{
    AppEnv env;
    TestDb& t = env.testDb();
    Form_Base->QRead1->close();
    Form_Base->QRead1->setSql(QStringLiteral("SELECT CURRENT_CONNECTION FROM RDB$DATABASE"));
    Form_Base->QRead1->open();
    const qint64 id = Form_Base->QRead1->field(0).asInt64();
    Form_Base->QRead1->close();
    // The server ends the program's attachment; the program still believes it is connected.
    t.exec(QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = %1").arg(id));
    ASSERT_TRUE(Form_Base->MyDB->connected());

    Form_Main->FormClose();  // the closing line cannot be written: the program closes all the same
    EXPECT_FALSE(Form_Base->MyDB->connected());
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE WHERE WHAT_ACTION = 'Закрытие программы'")).toInt(), 0);
}
