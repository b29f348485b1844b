// The generic row writer, the protocol writer and the rights loader on a real database.

#include "support/AppEnv.h"

#include "base/Unit_Base.h"
#include "db/Error.h"
#include "db/Query.h"
#include "engine/EngineDb.h"
#include "engine/RowRefusal.h"
#include "engine/ShownRow.h"
#include "engine/WriteRoad.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QDialog>

#include <gtest/gtest.h>

namespace {

qint64 lastGen(TestDb& t) { return t.scalar(QStringLiteral("SELECT GEN_ID(MY_GEN, 0) FROM RDB$DATABASE")).toLongLong(); }

} // namespace

TEST(RowWriter, BuildsTheStatementsLineByLine)
{
    R_Record ins(QStringLiteral("T"));
    ins.addString(QStringLiteral("A"), QStringLiteral("x")).addInt(QStringLiteral("B"), 1).addFloat(QStringLiteral("C"), 2);
    EXPECT_EQ(InsertRecordSql(ins), (QStringList{"INSERT INTO T (KOD,", "  A,", "  B,", "  C)", "VALUES (:PKOD,", "  :PA,",
                                                 "  :PB,", "  :PC)"}));
    R_Record upd(QStringLiteral("ED_IZM"), 17);
    upd.addString(QStringLiteral("NAME"), QStringLiteral("кг")).addLiteralNull(QStringLiteral("GR"));
    EXPECT_EQ(UpdateRecordSql(upd), (QStringList{"UPDATE ED_IZM SET", "  NAME = :PNAME,", "  GR = NULL", "WHERE KOD = 17"}));

    // Sixty fields are the most; the sixty-first and an empty record are programming errors.
    R_Record big(QStringLiteral("T"));
    for (int i = 0; i < R_Record::kMaxFields; ++i)
        big.addInt(QStringLiteral("F%1").arg(i), i);
    EXPECT_THROW(big.addInt(QStringLiteral("F60"), 60), std::logic_error);
    EXPECT_THROW(InsertRecordSql(R_Record(QStringLiteral("T"))), std::logic_error);
}

TEST(RowWriter, InsertsWithGeneratedKeysAndUpdatesByKey)
{
    AppEnv env;
    TestDb& t = env.testDb();
    WriteTransaction w(WriteTransaction::Reserve::Catalogue);
    R_Record r(QStringLiteral("ING"));
    r.addString(QStringLiteral("NAME"), QStringLiteral("Картофель"))
        .addInt(QStringLiteral("KOD_GROUP"), 5000000000LL)  // keys travel as 64-bit
        .addInt(QStringLiteral("MY_LEVEL"), -5)
        .addFloat(QStringLiteral("VIHOD"), 80.5)
        .addNull(QStringLiteral("DOP_INFO"));
    const qint64 k1 = Form_Util->InsertRecord(r);
    const qint64 k2 = Form_Util->InsertRecord(r);
    EXPECT_LT(k1, k2);
    // Not visible to another connection before the commit.
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(*) FROM ING")).toInt(), 0);
    R_Record u(QStringLiteral("ING"), k2);
    u.addString(QStringLiteral("NAME"), QStringLiteral("Морковь")).addLiteralNull(QStringLiteral("VIHOD"));
    Form_Util->UpdateRecord(u);
    // A key no row has (deleted elsewhere) changes nothing and is refused;
    // a row saved without what its dialog showed of it is a programming error.
    R_Record gone = u;
    gone.KOD = k2 + 100;
    EXPECT_THROW(Form_Util->UpdateRecord(gone), engine::RowRefusal);
    EXPECT_THROW(engine::ClaimShownRow(w.context(), engine::ShownRow(), QStringLiteral("ING"), k2), std::logic_error);
    w.commit();

    auto q = t.select(QStringLiteral("SELECT * FROM ING ORDER BY KOD"));
    ASSERT_EQ(q->recordCount(), 2);
    EXPECT_EQ(q->field(QStringLiteral("KOD")).asInt64(), k1);
    EXPECT_EQ(q->field(QStringLiteral("KOD_GROUP")).asInt64(), 5000000000LL);
    EXPECT_EQ(q->field(QStringLiteral("MY_LEVEL")).asInt(), -5);
    EXPECT_DOUBLE_EQ(q->field(QStringLiteral("VIHOD")).asDouble(), 80.5);
    EXPECT_TRUE(q->field(QStringLiteral("DOP_INFO")).isNull());
    q->next();
    EXPECT_EQ(q->field(QStringLiteral("NAME")).asString(), QStringLiteral("Морковь"));
    EXPECT_TRUE(q->field(QStringLiteral("VIHOD")).isNull());
}

TEST(RowWriter, ARolledBackInsertStillUsesItsKey)
{
    AppEnv env;
    qint64 k;
    {
        WriteTransaction w(WriteTransaction::Reserve::Catalogue);
        R_Record r(QStringLiteral("GROUP_ING"));
        r.addString(QStringLiteral("NAME"), QStringLiteral("Овощи"));
        k = Form_Util->InsertRecord(r);
    }  // left without a commit: rolled back
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT COUNT(*) FROM GROUP_ING")).toInt(), 0);
    EXPECT_GE(lastGen(env.testDb()), k);
}

TEST(ReadTransaction, TheProgramsLongLivedReaderRefusesEveryChangeYetDrawsKeys)
{
    // Read-only, so the server can collect old record versions while the
    // program runs; a change that slipped onto it would be refused, not lost.
    AppEnv env;
    ASSERT_TRUE(Form_Base->TransactionRead->active());
    TestDb& t = env.testDb();
    const QString state = QStringLiteral("SELECT (SELECT COUNT(*) FROM GROUP_ING) || ':' || COUNT(*) || ':' || "
                                         "SUM(COALESCE(INTEGER_PARAM, 0)) FROM MY_PARAM");
    const QString before = t.scalar(state).toString();
    for (const char* sql : {"INSERT INTO GROUP_ING (NAME) VALUES ('Овощи')", "UPDATE MY_PARAM SET INTEGER_PARAM = 7",
                            "DELETE FROM MY_PARAM WHERE NAME_PARAM = 'obmen'"}) {
        db::Query q(Form_Base->MyDB, Form_Base->TransactionRead);
        q.setSql(QString::fromUtf8(sql));
        EXPECT_THROW(q.execSql(), db::DbError) << sql;
    }
    Form_Base->TransactionRead->commit();
    Form_Base->TransactionRead->start();
    EXPECT_EQ(t.scalar(state).toString(), before);
    // The row writer draws its keys on it.
    db::Query key(Form_Base->MyDB, Form_Base->TransactionRead);
    key.setSql(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    key.open();
    EXPECT_GT(key.field(0).asInt64(), 0);
}

TEST(ProtocolWriter, TheChangeAndItsLineCommitTogetherOrNotAtAll)
{
    AppEnv env;
    env.loginAs(QStringLiteral("Администратор"));
    TestDb& t = env.testDb();
    const QString longName = QString(300, QChar(0x0416));  // longer than every protocol column

    // A long text is cut to its column: the user's change is never refused for it.
    engine::Context longUser = engine::ProgramContext();
    longUser.user.fio = longName;
    longUser.user.login = longName;
    EXPECT_TRUE(Guard([&] {
        WriteTransaction w(longUser, WriteTransaction::Reserve::Catalogue);
        Form_Base->QWrite1->setSql(QStringLiteral("INSERT INTO GROUP_ING (NAME) VALUES ('Овощи')"));
        Form_Base->QWrite1->execSql();
        w.commit(longName, QStringLiteral("Создание группы <<") + longName + QStringLiteral(">>"));
    }));
    auto q = t.select(QStringLiteral("SELECT * FROM LOG_TABLE"));
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->field(QStringLiteral("P_FIO")).asString().size(), 50);
    EXPECT_EQ(q->field(QStringLiteral("P_LOGIN")).asString().size(), 20);
    EXPECT_EQ(q->field(QStringLiteral("ARM")).asString().size(), 40);
    EXPECT_EQ(q->field(QStringLiteral("WHAT_ACTION")).asString().size(), 220);
    EXPECT_EQ(q->field(QStringLiteral("K_LOGIN")).asInt64(), CurrentUserKod);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(*) FROM GROUP_ING")).toInt(), 1);

    // A failing change shows the server's text, and neither it nor a line is written.
    env.messages.clear();
    EXPECT_FALSE(Guard([&] {
        WriteTransaction w(WriteTransaction::Reserve::Catalogue);
        Form_Base->QWrite1->setSql(QStringLiteral("INSERT INTO GROUP_ING (NAME) VALUES ('Фрукты')"));
        Form_Base->QWrite1->execSql();
        Form_Base->QWrite1->setSql(QStringLiteral("INSERT INTO NO_SUCH_TABLE (X) VALUES (1)"));
        Form_Base->QWrite1->execSql();
        w.commit(QStringLiteral("Продукты и блюда"), QStringLiteral("x"));
    }));
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].contains(QStringLiteral("NO_SUCH_TABLE")));
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(*) FROM GROUP_ING")).toInt(), 1);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE")).toInt(), 1);

    // A protocol line outside a road fails and writes nothing.
    EXPECT_FALSE(Guard([] { engine::WriteLogLine(engine::ProgramContext(), QStringLiteral("Система"), QStringLiteral("x")); }));
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE")).toInt(), 1);
}

TEST(Rights, LoadedFromPolicyRowsOntoTheirBits)
{
    AppEnv env;
    TestDb& t = env.testDb();
    t.exec(QStringLiteral("INSERT INTO PERSON (KOD, FIO, LOGIN) VALUES (900, 'Повар', 'cook')"));
    t.exec(QStringLiteral("INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1) VALUES (900, 2)"));
    t.exec(QStringLiteral("INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1) VALUES (900, 13)"));
    t.exec(QStringLiteral("INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1) VALUES (900, 99)"));
    Form_Util->LoadUserRights(900);
    EXPECT_EQ(UserRights, (1u << Right::Ing) | (1u << Right::Karta));
    EXPECT_TRUE(HasRight(Right::Karta));
    EXPECT_FALSE(HasRight(Right::AllIng));

    CurrentUserFio = QStringLiteral("Повар");
    env.messages.clear();
    EXPECT_FALSE(CheckRight(Right::DeleteProduct));
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Пользователю <<Повар>> данная функция недоступна !")});

    // Every right number maps onto its bit; the all-rights bit stands in for each.
    const int bits[17] = {-1, 8, 0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 13, 14, 15, 7, 6};
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(RightBit(n), bits[n]) << n;
    EXPECT_EQ(RightBit(0), -1);
    UserRights = 1u << Right::All;
    for (int b = 0; b < 16; ++b)
        EXPECT_TRUE(HasRight(b));
}

TEST(WriteRoad, CommitWritesTheProtocolLineAndTheChangeTogetherOrNeither)
{
    AppEnv env;
    TestDb& t = env.testDb();
    engine::Context ctx{&t.db(), &t.read(), &t.write()};
    ctx.user = engine::User{QStringLiteral("Иванова А. П."), QStringLiteral("Повар"), 7};
    auto change = [&](const QString& name) {
        db::Query q(ctx.database, ctx.write);
        q.setSql(QStringLiteral("INSERT INTO GROUP_ING (NAME) VALUES (:N)"));
        q.param(QStringLiteral("N")).setString(name);
        q.execSql();
    };
    auto groups = [&] { return t.scalar(QStringLiteral("SELECT COUNT(*) FROM GROUP_ING")).toInt(); };
    auto lines = [&] { return t.scalar(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE")).toInt(); };
    const int groups0 = groups(), lines0 = lines();

    {
        WriteTransaction w(ctx, WriteTransaction::Reserve::Catalogue);
        change(QStringLiteral("Овощи"));
        w.commit(QStringLiteral("Продукты и блюда"), QStringLiteral("Создание группы <<Овощи>>"));
    }
    EXPECT_FALSE(t.write().active());
    EXPECT_EQ(groups(), groups0 + 1);
    ASSERT_EQ(lines(), lines0 + 1);
    auto q = t.select(QStringLiteral("SELECT ARM, WHAT_ACTION, P_LOGIN, P_FIO, K_LOGIN FROM LOG_TABLE ORDER BY KOD DESC"));
    EXPECT_EQ(q->field(0).asString(), QStringLiteral("Продукты и блюда"));
    EXPECT_EQ(q->field(1).asString(), QStringLiteral("Создание группы <<Овощи>>"));
    EXPECT_EQ(q->field(2).asString(), QStringLiteral("Повар"));
    EXPECT_EQ(q->field(3).asString(), QStringLiteral("Иванова А. П."));
    EXPECT_EQ(q->field(4).asString(), QStringLiteral("7"));
    q.reset();

    // The line refused: the change goes with it.
    t.exec(QStringLiteral("ALTER TABLE LOG_TABLE ADD CONSTRAINT CHK_NO_REFUSAL CHECK (WHAT_ACTION <> 'Отказ')"));
    EXPECT_THROW(
        {
            WriteTransaction w(ctx, WriteTransaction::Reserve::Catalogue);
            change(QStringLiteral("Фрукты"));
            w.commit(QStringLiteral("Продукты и блюда"), QStringLiteral("Отказ"));
        },
        db::DbError);
    EXPECT_FALSE(t.write().active());
    EXPECT_EQ(groups(), groups0 + 1);
    EXPECT_EQ(lines(), lines0 + 1);

    // The change refused: no line is written.
    EXPECT_THROW(
        {
            WriteTransaction w(ctx, WriteTransaction::Reserve::Catalogue);
            change(QString(300, QLatin1Char('x')));
            w.commit(QStringLiteral("Продукты и блюда"), QStringLiteral("Создание группы"));
        },
        db::DbError);
    EXPECT_EQ(groups(), groups0 + 1);
    EXPECT_EQ(lines(), lines0 + 1);

    // A road opened while the write transaction is busy is a programming error; the pending work stays.
    t.write().start();
    change(QStringLiteral("Ягоды"));
    EXPECT_THROW(WriteTransaction w(ctx, WriteTransaction::Reserve::Catalogue), std::logic_error);
    EXPECT_TRUE(t.write().active());
    t.write().commit();
    EXPECT_EQ(groups(), groups0 + 2);
}

// Nothing waits on the user inside an open road: a message or a window asked
// for meanwhile fails the test. In use, a road that wrote outside its
// reservation keeps its change and tells the slip, once committed, where the
// program's other faults are told.
TEST(WriteRoad, NothingWaitsOnTheUserInsideARoadAndASlipIsToldOnceCommitted)
{
    AppEnv env;
    {
        WriteTransaction w(WriteTransaction::Reserve::Catalogue);
        EXPECT_THROW(Msg::notice(QStringLiteral("Внутри")), std::logic_error);
        EXPECT_THROW(Msg::confirm(QStringLiteral("Внутри ?")), std::logic_error);
        QDialog dialog;
        EXPECT_THROW(Msg::execModal(&dialog), std::logic_error);
        w.commit();
    }
    Msg::notice(QStringLiteral("После"));
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("После")});

    env.messages.clear();
    WriteTransaction::refuseUnreservedWrites = false;
    const bool done = Guard([] {
        WriteTransaction w(WriteTransaction::Reserve::Catalogue);
        engine::Exec(w.context(), QStringLiteral("INSERT INTO MENU (NAME) VALUES ('Обед')"));
        w.commit(QStringLiteral("Меню"), QStringLiteral("Создано меню Обед"));
    });
    WriteTransaction::refuseUnreservedWrites = true;
    EXPECT_TRUE(done);
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Ошибка программы: изменения записаны в таблицу MENU, которую эта "
                                                       "операция не резервирует заранее. Изменения сохранены; сообщите "
                                                       "об этой ошибке разработчикам программы.")});
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT COUNT(*) FROM MENU")).toInt(), 1);
}
