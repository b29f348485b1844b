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

#include <ibase.h>

#include <memory>

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
    // The tables another workstation could change while the first road was open.
    const QStringList& open() const { return open_; }

private:
    void probe()
    {
        if (roads_++ > 0)
            return;
        db::Database* database = Form_Base->MyDB;
        for (const QString& table : tables_) {
            db::Transaction other(database, {isc_tpb_write, isc_tpb_concurrency, isc_tpb_nowait});
            other.start();
            db::Query q(database, &other);
            q.setSql(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET KOD = KOD ROWS 1"));
            try {
                q.execSql();
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
