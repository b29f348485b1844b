// The recomputation's block writes: key order at the flush, a kept column left
// exactly as it stands (NULL included), the last write of a key winning.

#include "costing/BlockUpdate.h"

#include "support/TestDb.h"

#include "db/Transaction.h"

#include <gtest/gtest.h>

TEST(BlockUpdate, KeptColumnsStayAsTheyStandAndTheLastWriteOfAKeyWins)
{
    TestDb t;
    // More rows than one block holds, so that both statements run.
    for (int i = 1; i <= 300; ++i)
        t.exec(QStringLiteral("INSERT INTO ING_SKLAD (KOD, CENA, MY_CENA) VALUES (%1, %2, %3)")
                   .arg(i)
                   .arg(i % 3 == 0 ? QStringLiteral("NULL") : QString::number(i))
                   .arg(i + 1000));
    t.write().start();
    {
        costing::BlockUpdate u(&t.db(), &t.write(), QStringLiteral("ING_SKLAD"),
                               {QStringLiteral("CENA"), QStringLiteral("MY_CENA")});
        for (int i = 300; i >= 1; --i) {
            const double v[] = {i + 0.5, i + 2000.25};
            u.add(i, v, static_cast<unsigned>(i % 3 == 0 ? 1 : i % 3 == 1 ? 2 : 0));
        }
        const double again[] = {7.75, 0};
        u.add(7, again, 2);
        u.flush();
        EXPECT_EQ(u.rowsSent(), 301);
    }
    t.write().commit();
    auto q = t.select(QStringLiteral("SELECT KOD, CENA, MY_CENA FROM ING_SKLAD ORDER BY KOD"));
    int rows = 0;
    for (q->first(); !q->eof(); q->next(), ++rows) {
        const int k = q->field(0).asInt();
        SCOPED_TRACE(k);
        if (k % 3 == 0) {  // the stock price kept: still NULL
            EXPECT_TRUE(q->field(1).isNull());
            EXPECT_EQ(q->field(2).asDouble(), k + 2000.25);
        } else if (k % 3 == 1) {  // the sale price kept
            EXPECT_EQ(q->field(1).asDouble(), k == 7 ? 7.75 : k + 0.5);
            EXPECT_EQ(q->field(2).asDouble(), k + 1000);
        } else {
            EXPECT_EQ(q->field(1).asDouble(), k + 0.5);
            EXPECT_EQ(q->field(2).asDouble(), k + 2000.25);
        }
    }
    EXPECT_EQ(rows, 300);
}
