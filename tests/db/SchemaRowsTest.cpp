// The shipped database's version rows against their texts, and the key that
// every table whose inserts leave KOD out gets from the database.

#include "support/TestDb.h"

#include <QFile>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

TEST(SchemaRows, EveryVersionRowAsWritten)
{
    QFile f(QStringLiteral(TARELIA_FIXTURES "/versions.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QStringList expected;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (!line.startsWith(QLatin1Char('#')))
            expected << line;
    ASSERT_EQ(expected.size(), 40);

    TestDb t;
    auto q = t.select(QStringLiteral("SELECT NUMBER_VER, NAME_VER, OPIS FROM MY_VERSION WHERE NUMBER_VER > 2 ORDER BY NUMBER_VER"));
    QStringList actual;
    for (q->first(); !q->eof(); q->next())
        actual << QStringLiteral("%1\t%2\t%3").arg(q->field(0).asInt()).arg(q->field(1).asString(), q->field(2).asString());
    ASSERT_EQ(actual.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(actual[i].toStdString(), expected[i].toStdString());
}

TEST(SchemaRows, InsertsWithoutKeyGetOneThatNeverMeetsADrawnKey)
{
    TestDb t;
    for (const char* table : {"KARTA", "ING_SKLAD", "MOVES", "INVENT", "REAL_BLUDO", "MENU_STR", "SKLAD_GRING",
                              "LOG_TABLE", "PERSON", "PERSON_POLICY", "MY_PARAM", "PRINT_VARIABLES"}) {
        const QString name = QString::fromLatin1(table);
        QSet<qint64> keys;
        for (int i = 0; i < 3; ++i) {
            const qint64 drawn = t.scalar(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE")).toLongLong();
            t.exec(QStringLiteral("INSERT INTO %1 (KOD) VALUES (%2)").arg(name).arg(drawn));
            keys.insert(drawn);
            t.exec(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(name));
            const qint64 given = t.scalar(QStringLiteral("SELECT MAX(KOD) FROM %1").arg(name)).toLongLong();
            EXPECT_FALSE(keys.contains(given)) << table;
            keys.insert(given);
        }
        EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE KOD IS NULL").arg(name)).toInt(), 0) << table;
        EXPECT_EQ(t.scalar(QStringLiteral("SELECT COUNT(DISTINCT KOD) FROM %1").arg(name)).toInt(),
                  t.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(name)).toInt())
            << table;
    }
}
