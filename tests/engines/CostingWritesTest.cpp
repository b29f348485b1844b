// The recomputation's heavy roads: a catalogue read shared with connections of
// their own, and price blocks sent from a thread of their own.

#include "support/TestDb.h"

#include "costing/BlockUpdate.h"
#include "costing/CardSource.h"

#include "db/Error.h"
#include "db/Query.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

TEST(BlockWriter, RunsBlocksInOrderAndAFailureStopsTheRestAndComesBack)
{
    costing::BlockWriter w;
    std::vector<int> done;
    for (int i = 0; i < 50; ++i)
        w.post([&done, i] { done.push_back(i); });
    w.drain();
    ASSERT_EQ(done.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(done[static_cast<size_t>(i)], i);

    std::atomic<bool> release{false};
    w.post([&release] {
        while (!release)
            std::this_thread::yield();
        throw std::runtime_error("blocked");
    });
    w.post([&done] { done.push_back(-1); });  // queued behind the failure: never runs
    release = true;
    EXPECT_THROW(w.drain(), std::runtime_error);
    EXPECT_THROW(w.post([&done] { done.push_back(-2); }), std::runtime_error);
    EXPECT_EQ(done.size(), 50u);
}

class CostingWrites : public ::testing::Test {
protected:
    TestDb t;

    void table(int rows)
    {
        t.exec(QStringLiteral("CREATE TABLE PRICES (KOD BIGINT NOT NULL PRIMARY KEY, A DOUBLE PRECISION, "
                              "B DOUBLE PRECISION CHECK (B >= 0))"));
        t.write().start();
        db::Query q(&t.db(), &t.write());
        q.setSql(QStringLiteral("INSERT INTO PRICES (KOD, A, B) VALUES (:K, 0, 0)"));
        for (int k = 1; k <= rows; ++k) {
            q.param(QStringLiteral("K")).setInt64(k);
            q.execSql();
        }
        t.write().commit();
    }
    double sum(const char* column)
    {
        return t.scalar(QStringLiteral("SELECT SUM(%1) FROM PRICES").arg(QLatin1String(column))).toDouble();
    }
};

TEST_F(CostingWrites, BlocksSentFromTheWriterLandAsTheyWouldDirectly)
{
    table(300);  // two full blocks and the rest row by row
    t.write().start();
    {
        costing::BlockWriter w;
        costing::BlockUpdate u(&t.db(), &t.write(), QStringLiteral("PRICES"), {QStringLiteral("A"), QStringLiteral("B")},
                               &w);
        for (int k = 1; k <= 300; ++k) {
            const double v[] = {k * 0.5, static_cast<double>(k)};
            u.add(k, v);
        }
        u.flush();
        w.drain();
        EXPECT_EQ(u.rowsSent(), 300);
    }
    // The road announces the table after its commit, so the lists that read it reload.
    EXPECT_TRUE(t.write().changes().contains(QStringLiteral("PRICES")));
    t.write().commit();
    EXPECT_DOUBLE_EQ(sum("A"), 300 * 301 / 4.0);
    EXPECT_DOUBLE_EQ(sum("B"), 300 * 301 / 2.0);
}

TEST_F(CostingWrites, ABlockRefusedOnTheWritersThreadFailsTheRunAndLeavesTheTableAsItWas)
{
    table(300);
    t.write().start();
    bool failed = false;
    try {
        costing::BlockWriter w;
        costing::BlockUpdate u(&t.db(), &t.write(), QStringLiteral("PRICES"), {QStringLiteral("A"), QStringLiteral("B")},
                               &w);
        for (int k = 1; k <= 300; ++k) {
            const double v[] = {1.0, k == 200 ? -1.0 : 1.0};  // the second block breaks the check
            u.add(k, v);
        }
        u.flush();
        w.drain();
    } catch (const db::DbError&) {
        failed = true;
    }
    t.write().rollback();
    EXPECT_TRUE(failed);
    EXPECT_EQ(sum("A"), 0);
    EXPECT_EQ(sum("B"), 0);
}

} // namespace
