// The server ends a workstation's attachment in the middle of a posting (as a
// dropped network or a restarted server does): the failure is known for what
// it is, the user is told so in words, and nothing of the posting is kept.

#include "PostingFixture.h"

#include "base/Unit_Base.h"
#include "db/Error.h"
#include "engine/DocumentClaim.h"
#include "db/Query.h"
#include "engine/EngineDb.h"
#include "engine/WriteRoad.h"
#include "support/AppEnv.h"
#include "support/NetworkRelay.h"
#include "support/ServerStation.h"
#include "util/Unit_Util.h"

#include <optional>

TEST(ConnectionLoss, APostingWhoseConnectionDropsIsToldInWordsAndKeepsNothing)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    PostDb f;
    const qint64 flour = f.raw(QStringLiteral("Мука"), stockOf(10, 50.00, 60.00));
    const qint64 d = f.doc(posting::DocType::Receipt, f.kitchen);
    f.line(d, flour, 5, 55.00);
    f.commit();
    const QString path = f.t.path();
    f.t.disconnect();

    ServerStation kitchen(path), admin(path);
    db::Query id(&kitchen.db(), &kitchen.read());
    id.setSql(QStringLiteral("SELECT CURRENT_CONNECTION FROM RDB$DATABASE"));
    id.open();
    const qint64 attachment = id.field(0).asInt64();
    id.close();

    long code = 0;
    QString shown;
    {
        const engine::Context ctx = kitchen.ctx();
        WriteTransaction w(ctx, WriteTransaction::Reserve::Documents);
        engine::ClaimDocument(ctx, d);
        // The server drops the workstation while its posting is under way.
        admin.write().start();
        engine::Exec(admin.ctx(), QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = %1").arg(attachment));
        admin.write().commit();
        try {
            posting::PostMovement(ctx, d, 1);
            w.commit(QStringLiteral("Движение"), QStringLiteral("Проводка документа № 12/1"));
            ADD_FAILURE() << "the posting went on without its connection";
        } catch (const db::DbError& e) {
            code = e.gdsCode();
            shown = db::IsConnectionLost(code) ? db::ConnectionLostText(QStringLiteral("Документ не проведён")) : e.message();
        }
    }
    EXPECT_TRUE(db::IsConnectionLost(code)) << code;
    EXPECT_EQ(shown, QStringLiteral("Связь с сервером базы данных потеряна. Документ не проведён: ничего не сохранено. "
                                    "Проверьте сеть и сервер и подключитесь к базе данных заново."));

    admin.refresh();
    db::Query q(&admin.db(), &admin.read());
    q.setSql(QStringLiteral("SELECT D.PROVODKA, S.KOLVO, S.CENA FROM DOCS D, ING_SKLAD S "
                            "WHERE D.KOD = %1 AND S.KOD_ING = %2 AND S.KOD_OTDEL = %3")
                 .arg(d)
                 .arg(flour)
                 .arg(f.kitchen));
    q.open();
    EXPECT_EQ(q.field(0).asInt(), 0);
    EXPECT_DOUBLE_EQ(q.field(1).asDouble(), 10);
    EXPECT_DOUBLE_EQ(q.field(2).asDouble(), 50.00);
}

TEST(ConnectionLoss, EveryWriteRoadTellsALostConnectionInRussian)
{
    AppEnv env;
    // The client library's own text, as a dropped server gives it: a road
    // under way lost its change; a handler that only read (a list's reload, a
    // row clicked) has no change to call lost.
    for (const bool road : {true, false}) {
        for (long code : {335544721L, 335544726L, 335544727L, 335544741L, 335544856L, 335544648L}) {
            env.messages.clear();
            Form_Base->FormCreate();  // connected again: a read tells a loss once until then
            EXPECT_FALSE(Guard([&] {
                std::optional<WriteTransaction> w;
                if (road)
                    w.emplace(WriteTransaction::Reserve::Catalogue);
                throw db::DbError(QStringLiteral("Error reading data from the connection."), code);
            }));
            ASSERT_EQ(env.messages.size(), 1);
            EXPECT_EQ(env.messages[0], road ? db::ConnectionLostText() : db::ConnectionLostReadingText()) << code;
            EXPECT_TRUE(env.messages[0].startsWith(QStringLiteral("Связь с сервером базы данных потеряна")));
            EXPECT_EQ(env.messages[0].contains(QStringLiteral("сохран")), road) << code;
        }
    }
    // Another workstation's lock, whatever the road: told in words, never the server's text.
    for (long code : {335544336L, 335544345L, 335544451L, 335544510L}) {
        env.messages.clear();
        EXPECT_FALSE(Guard([&] {
            throw db::DbError(QStringLiteral("deadlock\nupdate conflicts with concurrent update\n"
                                             "concurrent transaction number is 1327"),
                              code);
        }));
        EXPECT_EQ(env.messages, QStringList{QStringLiteral("Изменения не записаны: другой пользователь в это время "
                                                           "изменяет те же данные. Ничего не записано, повторите "
                                                           "действие немного позже.")})
            << code;
    }
    // Any other server error is shown as the server gives it.
    env.messages.clear();
    EXPECT_FALSE(Guard([&] { throw db::DbError(QStringLiteral("violation of PRIMARY or UNIQUE KEY"), 335544665L); }));
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("violation of PRIMARY or UNIQUE KEY")});
}

TEST(ConnectionLoss, AChangeThatCommittedBeforeTheConnectionDroppedIsToldSaved)
{
    AppEnv env;
    TestDb& t = env.testDb();
    Form_Base->QRead1->close();
    Form_Base->QRead1->setSql(QStringLiteral("SELECT CURRENT_CONNECTION FROM RDB$DATABASE"));
    Form_Base->QRead1->open();
    const qint64 attachment = Form_Base->QRead1->field(0).asInt64();
    Form_Base->QRead1->close();

    // A change under way when the connection drops is lost, and said to be.
    EXPECT_FALSE(Guard([&] {
        WriteTransaction w(WriteTransaction::Reserve::Catalogue);
        throw db::DbError(QStringLiteral("Error reading data from the connection."), 335544726L);
    }));
    EXPECT_EQ(env.messages, QStringList{db::ConnectionLostText()});
    env.messages.clear();

    // The change commits with its line; the connection drops as the lists are read again.
    EXPECT_FALSE(Guard([&] {
        {
            WriteTransaction w(WriteTransaction::Reserve::Catalogue);
            engine::Exec(w.context(), QStringLiteral("INSERT INTO GROUP_ING (KOD, NAME) VALUES (1, 'Овощи')"));
            w.commit(QStringLiteral("Продукты и блюда"), QStringLiteral("Добавлена группа продуктов:Овощи"));
        }
        t.exec(QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = %1").arg(attachment));
        Form_Base->QRead1->setSql(QStringLiteral("SELECT KOD FROM GROUP_ING"));
        Form_Base->QRead1->open();
    }));
    EXPECT_EQ(env.messages, QStringList{db::ConnectionLostAfterSaveText()});
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(*) FROM GROUP_ING")).toInt(), 1);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE WHERE WHAT_ACTION = 'Добавлена группа продуктов:Овощи'")).toInt(), 1);

}

TEST(ConnectionLoss, AConnectionLostWhileTheCommitIsUnderWayIsToldAsMaybeSaved)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    NetworkRelay network;
    AppEnv env;
    ASSERT_TRUE(env.moveToTestServer(&network));
    const QString action = QStringLiteral("Добавлена группа продуктов:Овощи");

    // The commit request reaches the server, which commits; its answer is lost on the way back.
    EXPECT_FALSE(Guard([&] {
        WriteTransaction w(WriteTransaction::Reserve::Catalogue);
        engine::Exec(w.context(), QStringLiteral("INSERT INTO GROUP_ING (KOD, NAME) VALUES (1, 'Овощи')"));
        engine::WriteLogLine(w.context(), QStringLiteral("Продукты и блюда"), action);
        network.loseNextAnswer();
        w.commit();
    }));
    EXPECT_EQ(env.messages, QStringList{db::ConnectionLostDuringCommitText()});
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
    // Saved indeed: "nothing saved" would have sent the user to do it twice.
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT COUNT(*) FROM GROUP_ING WHERE KOD = 1")).toInt(), 1);
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE WHERE WHAT_ACTION = '%1'").arg(action)).toInt(), 1);
}
