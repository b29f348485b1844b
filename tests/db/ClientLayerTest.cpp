// Values, parameters, text, procedures and transactions of the Firebird client
// layer against a fresh shipped database.

#include "db/Codec.h"
#include "db/Script.h"
#include "support/ServerStation.h"
#include "support/TestDb.h"

#include <gtest/gtest.h>

#include <functional>

using db::DbError;
using db::FieldKind;
using db::Query;

namespace {

class ClientLayerTest : public ::testing::Test {
protected:
    // A statement on the test's write transaction, started when needed.
    std::unique_ptr<Query> writer(const QString& sql)
    {
        if (!t.write().active())
            t.write().start();
        auto q = std::make_unique<Query>(&t.db(), &t.write());
        q->setSql(sql);
        return q;
    }
    qint64 insertIng(const QString& name)
    {
        auto q = writer(QStringLiteral("INSERT INTO ING (NAME) VALUES (:N) RETURNING KOD"));
        q->param("N").setString(name);
        q->execSql();
        return q->field("KOD").asInt64();
    }
    qint64 nextKey()
    {
        auto q = writer(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
        q->open();
        return q->field(0).asInt64();
    }
    static QByteArray around(int byte) { return QByteArray(1, char(byte)) + "x" + QByteArray(1, char(byte)); }

    TestDb t;
};

} // namespace

TEST_F(ClientLayerTest, EveryColumnTypeRoundTripsThroughParamsAndFields)
{
    QString recipe;  // several blob segments long
    for (int i = 0; i < 3000; ++i)
        recipe += QStringLiteral("Шаг %1: варить; ").arg(i);
    QByteArray shablon;
    for (int i = 0; i < 100000; ++i)
        shablon.append(static_cast<char>(i * 7));

    // Each value goes with its own size, whatever the column's (a 64-bit integer
    // into a SMALLINT, a DOUBLE into an INTEGER), with parameters behind them.
    auto ing = writer(QStringLiteral("INSERT INTO ING (KOD, NAME, MY_LEVEL, MY_SECTION, PERCENT_PLUS, KVO_PORC, VIHOD,"
                                     " RECEPT, DOP_INFO, ED_IZM)"
                                     " VALUES (:KOD, :NAME, :LVL, :SECT, :PLUS, :PORC, :VIHOD, :RECEPT, :DOP, :ED)"));
    ing->param("KOD").setInt64(9'000'000'000'123LL);
    ing->param("NAME").setString(QStringLiteral("Котлета по-киевски"));
    ing->param("LVL").setInt(-3);
    ing->param("SECT").setInt(5);
    ing->param("PLUS").setDouble(7.0);
    ing->param("PORC").setInt(2147483647);
    ing->param("VIHOD").setDouble(1.0 / 3.0);
    ing->param("RECEPT").setString(recipe);
    ing->param("DOP").setString(QStringLiteral("x"));
    ing->param("DOP").setNull();  // ED stays unbound
    ing->execSql();
    EXPECT_EQ(ing->rowsAffected(), 1);

    auto par = writer(QStringLiteral("INSERT INTO MY_PARAM (NAME_PARAM, DATE_PARAM, MEMO_PARAM) VALUES ('t', :D, :M)"));
    par->param("D").setDate(QDate(2024, 2, 29));
    par->param("M").setString(QString());  // an empty text blob is not NULL
    par->execSql();
    auto log = writer(QStringLiteral("INSERT INTO LOG_TABLE (MY_DATE, MY_TIME, K_LOGIN) VALUES (:D, :T, :K)"));
    log->param("D").setDateTime(QDateTime(QDate(1899, 12, 30), QTime(10, 0)));
    log->param("T").setTime(QTime(23, 59, 58, 765));
    log->param("K").setInt64(-1);
    log->execSql();
    auto form = writer(QStringLiteral("INSERT INTO PRINT_FORMS (NAME_SHABLON, SHABLON) VALUES ('f', :S)"));
    form->param("S").setBytes(shablon);
    form->execSql();
    t.write().commit();

    auto q = t.select(QStringLiteral("SELECT * FROM ING"));
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->field("KOD").value(), QVariant::fromValue<qint64>(9'000'000'000'123LL));
    EXPECT_EQ(q->field("NAME").value(), QVariant(QStringLiteral("Котлета по-киевски")));
    EXPECT_EQ(q->field("MY_LEVEL").asInt(), -3);
    EXPECT_EQ(q->field("MY_SECTION").asInt(), 5);
    EXPECT_EQ(q->field("PERCENT_PLUS").value(), QVariant::fromValue<qint64>(7));
    EXPECT_EQ(q->field("KVO_PORC").asInt64(), 2147483647);
    EXPECT_EQ(q->field("VIHOD").asDouble(), 1.0 / 3.0);
    EXPECT_EQ(q->field("RECEPT").info().kind, FieldKind::TextBlob);
    EXPECT_EQ(q->field("RECEPT").asString(), recipe);
    EXPECT_TRUE(q->field("DOP_INFO").isNull());
    EXPECT_FALSE(q->field("ED_IZM").value().isValid());

    q = t.select(QStringLiteral("SELECT DATE_PARAM, MEMO_PARAM FROM MY_PARAM WHERE NAME_PARAM = 't'"));
    EXPECT_EQ(q->field("DATE_PARAM").asDate(), QDate(2024, 2, 29));
    EXPECT_FALSE(q->field("MEMO_PARAM").isNull());
    q = t.select(QStringLiteral("SELECT MY_DATE, MY_TIME, K_LOGIN FROM LOG_TABLE"));
    EXPECT_EQ(q->field("K_LOGIN").asInt64(), -1);
    EXPECT_EQ(q->field("MY_DATE").asDate(), QDate(1899, 12, 30));
    EXPECT_EQ(q->field("MY_TIME").asTime(), QTime(23, 59, 58, 765));
    q = t.select(QStringLiteral("SELECT SHABLON, OCTET_LENGTH(SHABLON) AS N FROM PRINT_FORMS"));
    EXPECT_EQ(q->field("SHABLON").info().kind, FieldKind::BinaryBlob);
    EXPECT_EQ(q->field("N").asInt(), shablon.size());
    EXPECT_EQ(q->field("SHABLON").asBytes(), shablon);
}

TEST_F(ClientLayerTest, NamedParametersBindByNameAndConvert)
{
    // One name twice, bound case-insensitively; an unbound one is NULL;
    // text for an INTEGER column is converted by the server.
    auto ins = writer(QStringLiteral("INSERT INTO MY_PARAM (NAME_PARAM, STRING_PARAM, INTEGER_PARAM, DATE_PARAM)"
                                     " VALUES (:Name, :name, :Val, :Missing)"));
    EXPECT_EQ(ins->paramNames(), (QStringList{"NAME", "VAL", "MISSING"}));
    ins->param("NAME").setString(QString(20, QChar(0x0416)));  // twenty bytes in Windows-1251: fits
    ins->param("val").setString(QStringLiteral("42"));
    ins->execSql();
    EXPECT_THROW(ins->param("NOPE"), DbError);

    // Colons inside literals and comments are no parameters.
    auto q = writer(QStringLiteral("SELECT STRING_PARAM, INTEGER_PARAM, DATE_PARAM, '12:30 :X' AS T\n"
                                   "FROM MY_PARAM /* :Y */ WHERE NAME_PARAM = :K -- :Z"));
    EXPECT_EQ(q->paramNames(), QStringList{"K"});
    q->param("k").setString(QString(20, QChar(0x0416)));
    q->open();
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->field("STRING_PARAM").asString(), QString(20, QChar(0x0416)));
    EXPECT_EQ(q->field("INTEGER_PARAM").value(), QVariant::fromValue<qint64>(42));
    EXPECT_TRUE(q->field("DATE_PARAM").isNull());
    EXPECT_EQ(q->field("T").asString(), QStringLiteral("12:30 :X"));

    // Too long for its column: the server's text, nothing written.
    ins->param("NAME").setString(QString(21, QChar(0x0416)));
    try {
        ins->execSql();
        ADD_FAILURE() << "a 21-character text went into VARCHAR(20)";
    } catch (const DbError& e) {
        EXPECT_NE(e.gdsCode(), 0);
        EXPECT_TRUE(e.message().contains(QStringLiteral("string right truncation"))) << e.what();
    }
    t.write().commit();
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(*) FROM MY_PARAM WHERE INTEGER_PARAM = 42")).toInt(), 1);
}

TEST_F(ClientLayerTest, AStatementRunAgainBindsEachRunsOwnValues)
{
    // One prepared statement run with values whose kinds change between runs:
    // a null after a value and a value after a null, a fraction where an
    // integer went, a text into a SMALLINT, a blob from short to long; each
    // run's row must hold exactly its own values.
    struct Run {
        QVariant name, level, vihod, recept, info;
    };
    const QString longRecept = QString(5000, QChar(0x0431));
    const std::vector<Run> runs = {
        {QStringLiteral("Суп с длинным названием"), 1, 3, QStringLiteral("кратко"), QString(200, QChar('i'))},
        {QStringLiteral("Суп"), QVariant(), 2.5, longRecept, QStringLiteral("a")},
        {QVariant(), QStringLiteral("4"), QVariant(), QVariant(), QVariant()},
        {QStringLiteral("Щи"), 5, 1.25, QStringLiteral("р"), QStringLiteral("bb")},
    };
    auto ins = writer(QStringLiteral("INSERT INTO ING (KOD, NAME, MY_LEVEL, VIHOD, RECEPT, DOP_INFO)"
                                     " VALUES (:K, :N, :L, :V, :R, :D)"));
    auto find = writer(QStringLiteral("SELECT KOD FROM ING WHERE NAME = :N"));
    std::vector<qint64> keys;
    for (const Run& r : runs) {
        keys.push_back(nextKey());
        ins->param("K").setInt64(keys.back());
        ins->param("N").setValue(r.name);
        ins->param("L").setValue(r.level);
        ins->param("V").setValue(r.vihod);
        ins->param("R").setValue(r.recept);
        ins->param("D").setValue(r.info);
        ins->execSql();
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(i);
        const Run& r = runs[i];
        auto q = writer(QStringLiteral("SELECT NAME, MY_LEVEL, VIHOD, RECEPT, DOP_INFO FROM ING WHERE KOD = %1").arg(keys[i]));
        q->open();
        EXPECT_EQ(q->field("NAME").value(), r.name.isNull() ? QVariant() : QVariant(r.name.toString()));
        EXPECT_EQ(q->field("MY_LEVEL").value(), r.level.isNull() ? QVariant() : QVariant::fromValue<qint64>(r.level.toInt()));
        EXPECT_EQ(q->field("VIHOD").value(), r.vihod.isNull() ? QVariant() : QVariant(r.vihod.toDouble()));
        EXPECT_EQ(q->field("RECEPT").value(), r.recept.isNull() ? QVariant() : QVariant(r.recept.toString()));
        EXPECT_EQ(q->field("DOP_INFO").value(), r.info.isNull() ? QVariant() : QVariant(r.info.toString()));
    }
    // A read statement, too, finds each run's text, each longer than the last.
    for (size_t i = runs.size(); i-- > 0;) {
        if (runs[i].name.isNull())
            continue;
        SCOPED_TRACE(i);
        find->close();
        find->param("N").setValue(runs[i].name);
        find->open();
        ASSERT_EQ(find->recordCount(), 1);
        EXPECT_EQ(find->field("KOD").asInt64(), keys[i]);
    }
}

TEST_F(ClientLayerTest, CyrillicTextAndTrailingBlanksRoundTrip)
{
    const QString abc = QStringLiteral("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя№");
    auto ins = writer(QStringLiteral("INSERT INTO ING (NAME, DOP_INFO, RECEPT) VALUES (:N, :D, :R)"));
    ins->param("N").setString(abc);
    ins->param("D").setString(QStringLiteral("Суп «Харчо»  "));
    ins->param("R").setString(abc + QStringLiteral("\r\n  "));
    ins->execSql();
    t.write().commit();

    // The server sees the same characters: its upper case and lengths agree.
    auto q = std::make_unique<Query>(&t.db(), &t.read());
    q->setSql(QStringLiteral("SELECT NAME, DOP_INFO, RECEPT, UPPER(NAME) AS U, CHAR_LENGTH(NAME) AS L FROM ING"
                             " WHERE UPPER(NAME) = UPPER(:N) AND DOP_INFO = 'Суп «Харчо»'"));
    q->param("N").setString(abc.toLower());
    q->open();
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->field("NAME").asString(), abc);
    EXPECT_EQ(q->field("NAME").asBytes(), db::toCp1251(abc));
    EXPECT_EQ(q->field("U").asString(), abc.toUpper());
    EXPECT_EQ(q->field("L").asInt(), abc.size());
    EXPECT_EQ(q->field("DOP_INFO").asString(), QStringLiteral("Суп «Харчо»  "));
    EXPECT_EQ(q->field("RECEPT").asString(), abc + QStringLiteral("\r\n  "));
}

TEST_F(ClientLayerTest, EveryByteValueSurvivesInAWindows1251Column)
{
    // A scrambled password is its plain bytes XOR-ed with a keystream: any byte
    // may occur in it, zero and 0x98 (no character in Windows-1251) included.
    auto ins = writer(QStringLiteral("INSERT INTO PERSON (KOD, LOGIN, PASSW) VALUES (:K, 'u', :P)"));
    for (int b = 0; b < 256; ++b) {
        ins->param("K").setInt(1000000 + b);
        ins->param("P").setBytes(around(b));
        try {
            ins->execSql();
        } catch (const DbError& e) {
            ADD_FAILURE() << "byte " << b << " refused: " << e.what();
        }
    }
    t.write().commit();

    auto q = t.select(QStringLiteral("SELECT KOD, PASSW, OCTET_LENGTH(PASSW) AS N FROM PERSON WHERE LOGIN = 'u' ORDER BY KOD"));
    ASSERT_EQ(q->recordCount(), 256);
    for (; !q->eof(); q->next()) {
        const int b = q->field("KOD").asInt() - 1000000;
        EXPECT_EQ(q->field("N").asInt(), 3) << "byte " << b;
        EXPECT_EQ(q->field("PASSW").asBytes(), around(b)) << "byte " << b;
    }

    // The server compares them as stored: a log-in may look a password up.
    auto find = std::make_unique<Query>(&t.db(), &t.read());
    find->setSql(QStringLiteral("SELECT KOD FROM PERSON WHERE PASSW = :P"));
    for (int b : {0x00, 0x98, 0xFF}) {
        find->close();
        find->param("P").setBytes(around(b));
        find->close();
        find->open();
        EXPECT_EQ(find->field("KOD").asInt(), 1000000 + b);
    }
}

TEST_F(ClientLayerTest, ExecuteProcedureGivesItsOutputValues)
{
    t.write().start();
    db::runScript(t.db(), t.write(),
                  QStringLiteral("SET TERM ^ ;\n"
                                 "CREATE PROCEDURE TEST_TWICE (A BIGINT, B VARCHAR(20))\n"
                                 "RETURNS (S BIGINT, T VARCHAR(40))\nAS\n"
                                 "BEGIN\n  S = :A * 2;\n  T = B || '; готово';\nEND^\n"
                                 "SET TERM ; ^\nCOMMIT;\n"));
    t.write().commit();

    // Keys go to procedures as decimal text.
    auto q = writer(QStringLiteral("EXECUTE PROCEDURE TEST_TWICE(:A, :B)"));
    q->param("A").setString(QStringLiteral("4500000000"));
    q->param("B").setString(QStringLiteral("Борщ"));
    q->execSql();
    EXPECT_EQ(q->field("S").asInt64(), 9000000000LL);
    EXPECT_EQ(q->field("t").asString(), QStringLiteral("Борщ; готово"));
}

TEST_F(ClientLayerTest, ReaderSeesCommittedRowsAndKeysNeverCollide)
{
    const qint64 lost = insertIng(QStringLiteral("откат"));
    t.write().rollback();
    const qint64 first = insertIng(QStringLiteral("Чай"));
    EXPECT_GT(first, lost);  // the rolled-back insert used its value up

    auto reader = t.select(QStringLiteral("SELECT COUNT(*) FROM ING"));
    EXPECT_EQ(reader->field(0).asInt(), 0);
    t.write().commit();
    reader->close();
    reader->open();
    EXPECT_EQ(reader->field(0).asInt(), 1);

    // Keys the program draws and keys the triggers fill come from one generator.
    QSet<qint64> keys{first};
    for (int i = 0; i < 3; ++i) {
        const qint64 drawn = nextKey();
        auto own = writer(QStringLiteral("INSERT INTO ING (KOD, NAME) VALUES (:K, 'свой')"));
        own->param("K").setInt64(drawn);
        own->execSql();
        keys << drawn << insertIng(QStringLiteral("авто"));
    }
    t.write().commit();
    EXPECT_EQ(keys.size(), 7);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(DISTINCT KOD) FROM ING")).toInt(), 7);
}

// A read the server fails after its first rows (row 500 divides by zero) raises,
// whichever way the rows are taken, on the embedded engine and over the
// network: a list or a paper never takes its first rows for the whole result.
// A list read again keeps the rows it had.
TEST_F(ClientLayerTest, AReadTheServerFailsAfterItsFirstRowsRaises)
{
    const QString sql = QStringLiteral("WITH RECURSIVE R (N) AS (SELECT 1 FROM RDB$DATABASE UNION ALL"
                                       " SELECT N + 1 FROM R WHERE N < 900)"
                                       " SELECT N, 1000 / (CAST(:F AS INTEGER) - N) AS Q FROM R");
    auto expectFails = [](const char* how, const std::function<void()>& read) {
        try {
            read();
            ADD_FAILURE() << how << ": a read failing on row 500 ended as complete";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("divide by zero"))) << how << ": " << e.what();
        }
    };
    std::vector<QString> connections{QString()};
    if (HaveTestServer())
        connections.push_back(ServerConnection(t.path()));
    for (const QString& connection : connections) {
        SCOPED_TRACE(connection.isEmpty() ? "embedded" : "server");
        if (!connection.isEmpty())
            t.reconnect(connection, ServerParams());
        t.read().commit();
        t.read().start();
        Query q(&t.db(), &t.read());
        q.setSql(sql);
        q.param("F").setInt(500);
        int streamed = 0;
        expectFails("streamed", [&] { q.stream([&streamed](const db::RowView&) { ++streamed; }); });
        EXPECT_GT(streamed, 0) << "the failure came before the first row";
        expectFails("opened", [&] { q.open(); });
        EXPECT_FALSE(q.active());
        expectFails("run", [&] { q.execSql(); });

        q.param("F").setInt(1000);
        q.open();
        ASSERT_EQ(q.recordCount(), 900);
        q.param("F").setInt(500);
        expectFails("read again", [&] { q.refresh(); });
        EXPECT_TRUE(q.active());
        EXPECT_EQ(q.recordCount(), 900);
    }
}

TEST(DatabaseName, LocalServerNameFallsBackToTheEmbeddedEngine)
{
    if (db::Database::localServerListens(3050) || db::Database::localServerListens(3051))
        GTEST_SKIP() << "a Firebird server listens on this computer";
    using db::Database;
    EXPECT_EQ(Database::resolveName(QStringLiteral("localhost:/x/y.fdb")), QStringLiteral("/x/y.fdb"));
    EXPECT_EQ(Database::resolveName(QStringLiteral("LocalHost:/x/y.fdb")), QStringLiteral("/x/y.fdb"));
    EXPECT_EQ(Database::resolveName(QStringLiteral("localhost/3051:/x/y.fdb")), QStringLiteral("/x/y.fdb"));
    for (const char* same : {"/x/y.fdb", "server:/srv/db/basecalc.fdb", "127.0.0.1:/x/y.fdb", "localhost2:/x/y.fdb",
                             "localhost", "localhost/abc:/x/y.fdb"})
        EXPECT_EQ(Database::resolveName(QString::fromLatin1(same)), QString::fromLatin1(same));

    TestDb t;
    Database other;
    other.setDatabaseName(QStringLiteral("localhost:") + t.path());
    // A server expected: the name goes to the silent server and fails, nothing opens in-process.
    other.setEmbeddedFallback(false);
    EXPECT_THROW(other.open(), db::DbError);
    EXPECT_FALSE(other.connected());
    other.setEmbeddedFallback(true);
    other.open();
    EXPECT_EQ(other.attachedName(), t.path());
}

// An attachment made ahead serves the next open of the same name and
// parameters and no other: another database or other parameters are attached
// as asked, and the one made ahead is dropped.
TEST(DatabaseName, AnAttachmentMadeAheadServesOnlyTheSameNameAndParameters)
{
    using db::Database;
    TestDb t;
    auto ask = [](Database& d, const char* sql) {
        db::Transaction tr(&d, db::Transaction::readParams());
        tr.start();
        db::Query q(&d, &tr);
        q.setSql(QString::fromLatin1(sql));
        q.open();
        const QVariant v = q.field(0).value();
        q.close();
        tr.commit();
        return v;
    };
    const char* attachments = "SELECT COUNT(*) FROM MON$ATTACHMENTS WHERE MON$SYSTEM_FLAG = 0";
    const int before = ask(t.db(), attachments).toInt();
    TestDb elsewhere;
    db::ConnectParams utf8;
    utf8.lcCtype = QStringLiteral("UTF8");
    const struct {
        const char* what;
        QString name;
        db::ConnectParams params;
    } cases[] = {{"the same", t.path(), {}}, {"another database", elsewhere.path(), {}}, {"another character set", t.path(), utf8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Database::attachAhead(c.name, c.params);
        Database d;
        d.setDatabaseName(t.path());
        d.open();
        EXPECT_EQ(ask(d, "SELECT RDB$GET_CONTEXT('SYSTEM', 'DB_NAME') FROM RDB$DATABASE").toString(), t.path());
        EXPECT_EQ(ask(d, "SELECT MON$CHARACTER_SET_ID FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION")
                      .toInt(),
                  52);  // WIN1251
        EXPECT_EQ(ask(d, attachments).toInt(), before + 1);
    }
    // One that failed is told by the open that takes it.
    const QString missing = t.folder() + QStringLiteral("/missing.fdb");
    Database::attachAhead(missing, {});
    Database m;
    m.setDatabaseName(missing);
    EXPECT_THROW(m.open(), db::DbError);
}
