#pragma once

// What the program's write road holds while it is open: at the start of each
// road on the data module's write transaction, another transaction of the
// same attachment tries a no-wait change of one row of each table named (a
// table with rows), as another workstation would. A table the road reserves
// refuses it.

#include "base/Unit_Base.h"
#include "db/Error.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QObject>
#include <QStringList>

#include <gtest/gtest.h>

#include <ibase.h>

#include <functional>
#include <memory>
#include <vector>

class HeldTables {
public:
    explicit HeldTables(QStringList tables) : tables_(std::move(tables))
    {
        db::Transaction* write = Form_Base->TransactionWrite;
        connection_ = QObject::connect(write, &db::Transaction::started, [this] { probe(); });
    }
    ~HeldTables() { QObject::disconnect(connection_); }
    HeldTables(const HeldTables&) = delete;
    HeldTables& operator=(const HeldTables&) = delete;

    // How many roads started while the probe listened.
    int roads() const { return roads_; }
    // The tables another workstation could change while one of those roads was open.
    const QStringList& open() const { return open_; }

private:
    void probe()
    {
        ++roads_;
        db::Database* database = Form_Base->MyDB;
        for (const QString& table : tables_) {
            db::Transaction other(database, {isc_tpb_write, isc_tpb_concurrency, isc_tpb_nowait});
            other.start();
            db::Query q(database, &other);
            q.setSql(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET KOD = KOD ROWS 1"));
            try {
                q.execSql();
                if (!open_.contains(table))
                    open_ << table;
            } catch (const db::DbError&) {
            }
            other.rollback();
        }
    }

    QStringList tables_;
    QStringList open_;
    int roads_ = 0;
    QMetaObject::Connection connection_;
};

// One handler of a window: what it does, the tables its road changes, the
// handler as the user sets it off, and how many roads it opens.
struct HeldRoad {
    const char* what;
    QStringList tables;
    std::function<void()> run;
    int roads = 1;
};

// Runs each handler in turn while the probe listens: each opens its roads,
// and none of its tables is open to another workstation while they are.
inline void ExpectEachHolds(const std::vector<HeldRoad>& handlers)
{
    for (const HeldRoad& h : handlers) {
        HeldTables held(h.tables);
        h.run();
        EXPECT_EQ(held.roads(), h.roads) << h.what;
        EXPECT_TRUE(held.open().isEmpty()) << h.what << ": " << held.open().join(QLatin1Char(' ')).toStdString();
    }
}
