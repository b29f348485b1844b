// Text at the database: Cyrillic through Windows-1251 columns and scrambled
// byte strings through the same columns, byte for byte.

#include "db/Codec.h"
#include "support/TestDb.h"

#include <gtest/gtest.h>

using db::Query;

namespace {

const QString kAlphabet = QStringLiteral("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя№");

class TextTest : public ::testing::Test {
protected:
    std::unique_ptr<Query> writer(const QString& sql)
    {
        if (!t.write().active())
            t.write().start();
        auto q = std::make_unique<Query>(&t.db(), &t.write());
        q->setSql(sql);
        return q;
    }
    TestDb t;
};

} // namespace

TEST_F(TextTest, CyrillicTextAndTrailingBlanksRoundTrip)
{
    auto ins = writer(QStringLiteral("INSERT INTO ING (KOD, NAME, DOP_INFO, RECEPT) VALUES (1, :N, :D, :R)"));
    ins->param("N").setString(kAlphabet);
    ins->param("D").setString(QStringLiteral("Суп «Харчо»  "));
    ins->param("R").setString(kAlphabet + QStringLiteral("\r\n  "));
    ins->execSql();
    t.write().commit();

    // The server sees the same characters: its own upper case and lengths agree.
    auto q = t.select(QStringLiteral("SELECT NAME, DOP_INFO, RECEPT, UPPER(NAME) AS U, CHAR_LENGTH(NAME) AS L,"
                                     " OCTET_LENGTH(DOP_INFO) AS B FROM ING WHERE NAME STARTING WITH 'АБВ'"));
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->field("NAME").asString(), kAlphabet);
    EXPECT_EQ(q->field("NAME").asBytes(), db::toCp1251(kAlphabet));
    EXPECT_EQ(q->field("U").asString(), kAlphabet.toUpper());
    EXPECT_EQ(q->field("L").asInt(), kAlphabet.size());
    EXPECT_EQ(q->field("DOP_INFO").asString(), QStringLiteral("Суп «Харчо»  "));
    EXPECT_EQ(q->field("B").asInt(), 13);
    EXPECT_EQ(q->field("RECEPT").asString(), kAlphabet + QStringLiteral("\r\n  "));

    // Bound text finds the row: the parameter carries the column's character set.
    auto f = t.select(QStringLiteral("SELECT KOD FROM ING WHERE DOP_INFO = 'Суп «Харчо»'"));
    EXPECT_EQ(f->recordCount(), 1);  // trailing blanks do not count in comparisons
    auto p = std::make_unique<Query>(&t.db(), &t.read());
    p->setSql(QStringLiteral("SELECT KOD FROM ING WHERE UPPER(NAME) = UPPER(:N)"));
    p->param("N").setString(kAlphabet.toLower());
    p->open();
    EXPECT_EQ(p->recordCount(), 1);
}

TEST_F(TextTest, EveryByteValueSurvivesInAWindows1251Column)
{
    // A scrambled password is its plain bytes XOR-ed with a keystream, so any
    // byte may occur in it, zero and 0x98 (no character in Windows-1251) included.
    QList<int> refused;
    for (int b = 0; b < 256; ++b) {
        const QByteArray value = QByteArray(1, static_cast<char>(b)) + "x" + QByteArray(1, static_cast<char>(b));
        auto ins = writer(QStringLiteral("INSERT INTO PERSON (KOD, LOGIN, PASSW) VALUES (:K, 'u', :P)"));
        ins->param("K").setInt(b + 1);
        ins->param("P").setBytes(value);
        try {
            ins->execSql();
        } catch (const db::DbError& e) {
            refused.append(b);
            ADD_FAILURE() << "byte 0x" << QByteArray::number(b, 16).constData() << " refused: " << e.what();
        }
    }
    t.write().commit();
    EXPECT_TRUE(refused.isEmpty());

    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    auto q = t.select(QStringLiteral("SELECT KOD, PASSW, OCTET_LENGTH(PASSW) AS N FROM PERSON WHERE LOGIN = 'u' ORDER BY KOD"));
    ASSERT_EQ(q->recordCount(), 256 - refused.size());
    for (; !q->eof(); q->next()) {
        const int b = q->field("KOD").asInt() - 1;
        const QByteArray want = QByteArray(1, static_cast<char>(b)) + "x" + QByteArray(1, static_cast<char>(b));
        EXPECT_EQ(q->field("N").asInt(), 3) << "byte " << b;
        EXPECT_EQ(q->field("PASSW").asBytes(), want) << "byte " << b;
    }

    // The server compares them as stored: a log-in may look a password up.
    auto find = std::make_unique<Query>(&t.db(), &t.read());
    find->setSql(QStringLiteral("SELECT KOD FROM PERSON WHERE PASSW = :P"));
    for (int b : {0x00, 0x20, 0x98, 0xFF}) {
        find->close();
        find->param("P").setBytes(QByteArray(1, static_cast<char>(b)) + "x" + QByteArray(1, static_cast<char>(b)));
        find->open();
        ASSERT_EQ(find->recordCount(), 1) << "byte " << b;
        EXPECT_EQ(find->field("KOD").asInt(), b + 1);
    }

    // The same bytes, all in one value, through a column without character set.
    auto ins = writer(QStringLiteral("INSERT INTO LOG_TABLE (KOD, WHAT_ACTION) VALUES (:K, :A)"));
    ins->param("K").setInt(1);
    ins->param("A").setBytes(all.left(220));
    ins->execSql();
    ins->param("K").setInt(2);
    ins->param("A").setBytes(all.mid(220) + "  ");
    ins->execSql();
    t.write().commit();
    auto log = t.select(QStringLiteral("SELECT WHAT_ACTION FROM LOG_TABLE ORDER BY KOD"));
    EXPECT_EQ(log->field(0).asBytes(), all.left(220));
    log->next();
    EXPECT_EQ(log->field(0).asBytes(), all.mid(220) + "  ");
}
