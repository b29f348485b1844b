// The cursor over a query's rows, its scroll handlers and calculated fields.

#include "support/TestDb.h"

#include <gtest/gtest.h>

using db::Query;

namespace {

class QueryCursorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        t.exec(QStringLiteral("EXECUTE BLOCK AS BEGIN\n"
                              "  INSERT INTO ING (KOD, NAME, VIHOD) VALUES (10, 'Борщ', 1.5);\n"
                              "  INSERT INTO ING (KOD, NAME, VIHOD) VALUES (20, 'суп', 2);\n"
                              "  INSERT INTO ING (KOD, NAME, VIHOD) VALUES (30, 'Каша', NULL);\n"
                              "  INSERT INTO ING (KOD, NAME, VIHOD) VALUES (40, 'Чай', 4);\nEND"));
        q = std::make_unique<Query>(&t.db(), &t.read());
        q->setSql(QStringLiteral("SELECT kod, Name, VIHOD FROM ING ORDER BY KOD"));
    }
    qint64 kod() const { return q->field("KOD").asInt64(); }

    TestDb t;
    std::unique_ptr<Query> q;
};

} // namespace

TEST_F(QueryCursorTest, MovesAndReportsBofAndEof)
{
    q->open();
    EXPECT_EQ(q->recordCount(), 4);
    EXPECT_TRUE(q->bof());
    EXPECT_FALSE(q->eof());
    EXPECT_EQ(kod(), 10);

    QList<qint64> seen;
    for (; !q->eof(); q->next())
        seen.append(kod());
    EXPECT_EQ(seen, (QList<qint64>{10, 20, 30, 40}));
    EXPECT_EQ(q->recNo(), 3);  // next at the end stays on the last row
    EXPECT_EQ(kod(), 40);

    q->prior();
    EXPECT_FALSE(q->eof());
    EXPECT_EQ(kod(), 30);
    q->first();
    q->next();
    EXPECT_FALSE(q->bof());
    q->prior();
    q->prior();
    EXPECT_TRUE(q->bof());
    EXPECT_EQ(kod(), 10);
    q->last();
    EXPECT_TRUE(q->eof());
    EXPECT_EQ(kod(), 40);

    q->setRecNo(1);
    EXPECT_EQ(kod(), 20);
    EXPECT_FALSE(q->bof() || q->eof());
    q->setRecNo(7);
    EXPECT_EQ(q->recNo(), 1);

    // Fields by name regardless of case.
    EXPECT_EQ(q->fieldIndex(QStringLiteral("nAmE")), 1);
    EXPECT_EQ((*q)["name"].asString(), QStringLiteral("суп"));
    EXPECT_THROW(q->field(QStringLiteral("NO_SUCH")), db::DbError);

    // No rows: both ends at once, nothing current.
    q->close();
    q->setSql(QStringLiteral("SELECT KOD FROM ING WHERE KOD < 0"));
    q->open();
    EXPECT_TRUE(q->isEmpty());
    EXPECT_TRUE(q->bof() && q->eof());
    EXPECT_EQ(q->recNo(), -1);
    EXPECT_TRUE(q->field("KOD").isNull());
    q->next();
    q->last();
    EXPECT_TRUE(q->eof());
    EXPECT_EQ(q->recNo(), -1);
}

TEST_F(QueryCursorTest, LocatesByKeyAndByText)
{
    q->open();
    EXPECT_TRUE(q->locate(QStringLiteral("kod"), 30));
    EXPECT_EQ(q->recNo(), 2);
    EXPECT_TRUE(q->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(10)));
    EXPECT_EQ(q->recNo(), 0);
    EXPECT_TRUE(q->locate(QStringLiteral("KOD"), QStringLiteral("40")));
    EXPECT_EQ(q->recNo(), 3);
    EXPECT_FALSE(q->eof());
    EXPECT_TRUE(q->locate(QStringLiteral("VIHOD"), 2));
    EXPECT_EQ(kod(), 20);

    EXPECT_FALSE(q->locate(QStringLiteral("NAME"), QStringLiteral("СУП")));
    EXPECT_EQ(kod(), 20);  // not found: the cursor stays
    q->first();
    EXPECT_TRUE(q->locate(QStringLiteral("NAME"), QStringLiteral("СУП"), true));
    EXPECT_EQ(kod(), 20);
    EXPECT_FALSE(q->locate(QStringLiteral("NAME"), QStringLiteral("Ка"), true));
    EXPECT_TRUE(q->locate(QStringLiteral("NAME"), QStringLiteral("ка"), true, true));
    EXPECT_EQ(kod(), 30);
    EXPECT_FALSE(q->locate(QStringLiteral("KOD"), 35));
    EXPECT_EQ(kod(), 30);
    EXPECT_THROW(q->locate(QStringLiteral("NO_SUCH"), 1), db::DbError);
}

TEST_F(QueryCursorTest, ScrollHandlersFireOncePerMove)
{
    QStringList log;
    // Before-scroll sees the row being left, after-scroll the row arrived at.
    Query* x = q.get();
    QObject::connect(x, &Query::beforeScroll, [&] { log << QStringLiteral("B%1").arg(x->recNo()); });
    QObject::connect(x, &Query::afterScroll, [&] { log << QStringLiteral("A%1").arg(x->recNo()); });
    QObject::connect(x, &Query::afterOpen, [&] { log << QStringLiteral("O%1").arg(x->recordCount()); });
    QObject::connect(x, &Query::beforeClose, [&] { log << QStringLiteral("C%1").arg(x->active()); });
    QObject::connect(x, &Query::afterClose, [&] { log << QStringLiteral("X%1").arg(x->active()); });

    q->open();
    EXPECT_EQ(log, (QStringList{"O4", "A0"}));
    log.clear();
    q->next();
    q->last();
    q->locate(QStringLiteral("KOD"), 10);
    q->setRecNo(2);
    q->setRecNo(2);  // no move
    q->locate(QStringLiteral("KOD"), 99);  // no move
    q->prior();
    q->first();
    EXPECT_EQ(log, (QStringList{"B0", "A1", "B1", "A3", "B3", "A0", "B0", "A2", "B2", "A1", "B1", "A0"}));

    log.clear();
    q->close();
    EXPECT_EQ(log, (QStringList{"C1", "X0"}));
    EXPECT_EQ(q->recordCount(), 0);
    log.clear();
    q->close();  // already closed
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(QueryCursorTest, CalculatedFieldsAreFilledForEveryRow)
{
    q->addCalcField(QStringLiteral("Label"));
    q->addCalcField(QStringLiteral("DOUBLE_YIELD"), db::FieldKind::Float);
    int calls = 0;
    q->onCalcFields = [&](Query& x) {
        ++calls;
        x.setCalc(QStringLiteral("LABEL"), x.field("NAME").asString() + QLatin1Char('#') + x.field("KOD").asString());
        if (!x.field("VIHOD").isNull())
            x.setCalc(QStringLiteral("double_yield"), x.field("VIHOD").asDouble() * 2);
    };
    q->open();
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(q->recNo(), 0);  // filling rows does not move the cursor
    const int col = q->fieldIndex(QStringLiteral("label"));
    ASSERT_EQ(col, 3);
    EXPECT_TRUE(q->fieldInfo(col).calculated);
    QStringList labels;
    QList<double> yields;
    for (q->first(); !q->eof(); q->next()) {
        labels << q->field("LABEL").asString();
        yields << q->field("DOUBLE_YIELD").asDouble();
    }
    EXPECT_EQ(labels, (QStringList{"Борщ#10", "суп#20", "Каша#30", "Чай#40"}));
    EXPECT_EQ(yields, (QList<double>{3, 4, 0, 8}));

    // A field declared after the statement first ran is there when it opens again.
    q->close();
    q->addCalcField(QStringLiteral("LATE"));
    const auto earlier = q->onCalcFields;
    q->onCalcFields = [&](Query& x) {
        earlier(x);
        x.setCalc(QStringLiteral("LATE"), x.field("KOD").asInt64() + 1);
    };
    q->open();
    ASSERT_EQ(q->fieldIndex(QStringLiteral("LATE")), 5);
    q->last();
    EXPECT_EQ(q->field("LATE").asInt64(), 41);
    EXPECT_EQ(q->field("LABEL").asString(), QStringLiteral("Чай#40"));
}
