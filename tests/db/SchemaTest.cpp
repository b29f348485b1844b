// The shipped database against its golden description, and the keys its triggers give.

#include "support/TestDb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

// One line per column: table, column, type, length, NOT NULL, default.
QString describeSchema(TestDb& t)
{
    auto q = t.select(QStringLiteral(
        "SELECT TRIM(RF.RDB$RELATION_NAME) AS TBL, TRIM(RF.RDB$FIELD_NAME) AS COL, F.RDB$FIELD_TYPE AS FT, "
        "F.RDB$FIELD_SUB_TYPE AS ST, COALESCE(F.RDB$CHARACTER_LENGTH, F.RDB$FIELD_LENGTH) AS LEN, "
        "COALESCE(CS.RDB$CHARACTER_SET_NAME, '') AS CS, "
        "COALESCE(RF.RDB$NULL_FLAG, F.RDB$NULL_FLAG, 0) AS NN, "
        "CAST(COALESCE(RF.RDB$DEFAULT_SOURCE, F.RDB$DEFAULT_SOURCE, '') AS VARCHAR(200)) AS DEF, "
        "CAST(COALESCE(F.RDB$COMPUTED_SOURCE, '') AS VARCHAR(200)) AS COMP "
        "FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
        "JOIN RDB$RELATIONS R ON R.RDB$RELATION_NAME = RF.RDB$RELATION_NAME "
        "LEFT JOIN RDB$CHARACTER_SETS CS ON CS.RDB$CHARACTER_SET_ID = F.RDB$CHARACTER_SET_ID "
        "WHERE COALESCE(R.RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1, RF.RDB$FIELD_POSITION"));
    QString out;
    for (; !q->eof(); q->next()) {
        static const QHash<int, QString> types{{7, "SMALLINT"},  {8, "INTEGER"}, {10, "FLOAT"},    {12, "DATE"},
                                               {13, "TIME"},     {14, "CHAR"},   {16, "BIGINT"},   {27, "DOUBLE"},
                                               {35, "TIMESTAMP"}, {37, "VARCHAR"}, {261, "BLOB"}};
        const int ft = q->field("FT").asInt();
        QString type = types.value(ft, QString::number(ft));
        if (ft == 37 || ft == 14)
            type += QStringLiteral("(%1) %2").arg(q->field("LEN").asInt()).arg(q->field("CS").asString().trimmed());
        if (ft == 261)
            type += QStringLiteral(" SUB_TYPE %1").arg(q->field("ST").asInt());
        out += QStringLiteral("%1.%2 %3%4%5%6\n")
                   .arg(q->field("TBL").asString(), q->field("COL").asString(), type,
                        q->field("NN").asInt() ? QStringLiteral(" NOT NULL") : QString(),
                        q->field("DEF").asString().isEmpty() ? QString() : QLatin1Char(' ') + q->field("DEF").asString().simplified(),
                        q->field("COMP").asString().isEmpty() ? QString() : QStringLiteral(" COMPUTED ") + q->field("COMP").asString().simplified());
    }
    return out;
}

} // namespace

TEST(Schema, MatchesItsGoldenDescription)
{
    TestDb t;
    const QString actual = describeSchema(t);
    const QString path = QStringLiteral(TARELIA_FIXTURES "/schema.txt");
    if (qEnvironmentVariableIsSet("TARELIA_UPDATE_GOLDEN")) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(actual.toUtf8());
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_EQ(actual.toStdString(), QString::fromUtf8(f.readAll()).toStdString());
}

TEST(Schema, ShipsVersion42WithItsLists)
{
    TestDb t;
    EXPECT_EQ(t.scalar("SELECT MAX(NUMBER_VER) FROM MY_VERSION").toInt(), 42);
    EXPECT_EQ(t.scalar("SELECT NAME_VER FROM MY_VERSION WHERE NUMBER_VER = 42").toString(), QStringLiteral("5.6.11"));
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM MY_VERSION WHERE NUMBER_VER BETWEEN 3 AND 42").toInt(), 40);
    EXPECT_EQ(t.scalar("SELECT OPIS FROM MY_VERSION WHERE NUMBER_VER = 3").toString(),
              QStringLiteral("Добавление поля \"P\" в DOCS для организации производства во время внутреннего перемещения"));
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM PRINT_SPISOK").toInt(), 10);
    EXPECT_EQ(t.scalar("SELECT COUNT(DISTINCT KOD_SPISOK) FROM PRINT_SPISOK").toInt(), 10);
    for (const char* key : {"okrugl1", "okrugl2", "rod", "rub", "kop", "pkdd", "mkdd", "pkkk", "pkpr", "brutto", "obmen",
                            "my_language", "DisMenuTab", "DisMenuHead", "DisMenuTail", "MyDateDocEdit"})
        EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(*) FROM MY_PARAM WHERE NAME_PARAM = '%1'").arg(key)).toInt(), 1) << key;
    EXPECT_EQ(t.scalar("SELECT INTEGER_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'okrugl1'").toInt(), 1);
    EXPECT_EQ(t.scalar("SELECT INTEGER_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'brutto'").toInt(), 1);
}

TEST(Schema, InsertsWithoutKeyNeverCollideWithDrawnKeys)
{
    TestDb t;
    // Rows left to the database and keys drawn by the program interleave.
    QSet<qint64> keys;
    for (int i = 0; i < 20; ++i) {
        t.exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (1, 2, 3)"));
        keys.insert(t.scalar("SELECT MAX(KOD) FROM KARTA").toLongLong());
        const qint64 drawn = t.scalar("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE").toLongLong();
        EXPECT_FALSE(keys.contains(drawn));
        t.exec(QStringLiteral("INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (%1, 1, 2, 3)").arg(drawn));
        keys.insert(drawn);
    }
    EXPECT_EQ(t.scalar("SELECT COUNT(DISTINCT KOD) FROM KARTA").toInt(), 40);
    // The defaults the program's inserts rely on.
    auto q = t.select("SELECT IS_ACTIVE, PERCENT FROM KARTA");
    EXPECT_EQ(q->field("IS_ACTIVE").asInt(), 1);
    t.exec("INSERT INTO ING (NAME) VALUES ('x')");
    auto ing = t.select("SELECT MANUAL_BRUTTO, MY_LEVEL, KALORIES FROM ING");
    EXPECT_EQ(ing->field("MANUAL_BRUTTO").asInt(), 0);
    EXPECT_EQ(ing->field("MY_LEVEL").asInt(), 0);
    EXPECT_EQ(ing->field("KALORIES").asDouble(), 0.0);
    t.exec("INSERT INTO MENU_STR (KOD_MENU_RAZDEL, KOD_ING) VALUES (1, 1)");
    EXPECT_EQ(t.scalar("SELECT MY_ACTIVE FROM MENU_STR").toInt(), 1);
    EXPECT_TRUE(t.scalar("SELECT NO_ROUND FROM MENU_STR").isNull());
}

TEST(Schema, DatabaseInAFolderWithACyrillicNameOpens)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Кафе «Ромашка»");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/basecalc.fdb");
    db::Database::create(path);
    db::Database d;
    d.setDatabaseName(db::Database::localServerListens() ? path : QStringLiteral("localhost:") + path);
    ASSERT_NO_THROW(d.open());
    EXPECT_TRUE(d.connected());
    d.close();
}
