// Reading the whole catalogue into a snapshot: on the transaction alone, or
// shared with helper connections that read parts of the tables at the same
// time. Fetching a row costs the client a call into the engine, so the read
// is bound by those calls; connections of their own make them side by side.

#include "CardSource.h"

#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace costing {

namespace {

QString departmentCondition(const std::vector<qint64>& departments)
{
    if (departments.empty())
        return {};
    QStringList keys;
    for (qint64 d : departments)
        keys << QString::number(d);
    return QStringLiteral("KOD_OTDEL IN (") + keys.join(QLatin1Char(',')) + QStringLiteral(")");
}

} // namespace

CatalogueSnapshot::CatalogueSnapshot(db::Database* database, db::Transaction* transaction,
                                     const std::vector<qint64>& departments)
{
    db::Query q(database, transaction);
    // Whole tables are read as they lie and put in key order here: asked to
    // sort, the server walks the primary-key index page by page.
    readProductsInto(q, QString(), ings_);
    inKeyOrder(ings_);
    indexProducts();
    const QString deps = departmentCondition(departments);
    readDepartmentRowsInto(q, deps.isEmpty() ? QString() : QStringLiteral(" WHERE ") + deps, sklad_);
    inKeyOrder(sklad_);
    indexDepartmentRows();
    KartaRows rows;
    readCards(q, QString(), rows);
    takeCards(rows);
    linkCards();
    readDepartments(q);
}

CatalogueSnapshot CatalogueSnapshot::Whole(db::Database* database, db::Transaction* transaction,
                                           const std::vector<qint64>& departments, int helpers)
{
    if (helpers <= 0)
        return CatalogueSnapshot(database, transaction, departments);
    return CatalogueSnapshot(database, transaction, WholeTag{}, departments, helpers);
}

CatalogueSnapshot::CatalogueSnapshot(db::Database* database, db::Transaction* transaction, WholeTag,
                                     const std::vector<qint64>& departments, int helpers)
{
    // A table a part, each read whole as it lies by one connection: the
    // department rows (most of the catalogue), the products, the cards. No
    // page is read by two connections, so the old versions of a row changed
    // since are collected by one, not fought over by several; cut finer (by
    // department, through its index) every connection went through every page
    // and the read got slower than one connection's. Every part lands in a
    // list of its own, and the snapshot comes out the same whoever read what.
    db::Query q(database, transaction);
    struct Part {
        enum Kind { Products, Cards, Rows } kind;
        QString tail;
        std::vector<Product> products;
        KartaRows cards;
        std::vector<DepartmentRow> rows;
        bool done = false;
    };
    const QString deps = departmentCondition(departments);
    std::vector<Part> parts;  // the largest first
    parts.push_back({Part::Rows, deps.isEmpty() ? QString() : QStringLiteral(" WHERE ") + deps, {}, {}, {}, false});
    parts.push_back({Part::Cards, QString(), {}, {}, {}, false});
    parts.push_back({Part::Products, QString(), {}, {}, {}, false});
    auto read = [](Part& p, db::Query& q) {
        p.products.clear();
        p.cards.clear();
        p.rows.clear();
        switch (p.kind) {
        case Part::Products:
            readProductsInto(q, p.tail, p.products);
            break;
        case Part::Cards:
            readCards(q, p.tail, p.cards);
            break;
        case Part::Rows:
            readDepartmentRowsInto(q, p.tail, p.rows);
            break;
        }
        p.done = true;
    };
    // The run's own connection reads the first part at once; each helper is
    // dealt one of the others before it attaches, so that a part waits for
    // its connection rather than two connections racing for it. Parts left
    // over go to whichever connection is free first.
    const int threads = std::min(helpers, static_cast<int>(parts.size()) - 1);
    std::atomic<size_t> next{1 + static_cast<size_t>(threads)};
    auto work = [&](Part& first, db::Query& q) {
        read(first, q);
        for (size_t i = next++; i < parts.size(); i = next++)
            read(parts[i], q);
    };

    const QString name = database->attachedName();
    const db::ConnectParams params = database->params();
    std::vector<std::thread> helperThreads;
    for (int h = 0; h < threads; ++h) {
        helperThreads.emplace_back([&, mine = &parts[static_cast<size_t>(h) + 1]] {
            // A helper that cannot attach, or fails reading, leaves what it
            // took unread: the run's own connection reads it once the others are through.
            try {
                db::Database own;
                own.setDatabaseName(name);
                own.setParams(params);
                own.open();
                db::Transaction read(&own, db::Transaction::readParams());
                read.start();
                {
                    db::Query q(&own, &read);
                    work(*mine, q);
                }
                read.commit();
                own.close();
            } catch (...) {
            }
        });
    }
    std::exception_ptr failed;
    try {
        work(parts.front(), q);
    } catch (...) {
        failed = std::current_exception();
    }
    for (std::thread& t : helperThreads)
        t.join();
    if (failed)
        std::rethrow_exception(failed);
    for (Part& p : parts)
        if (!p.done)
            read(p, q);
    KartaRows cards;
    for (Part& p : parts) {
        if (p.kind == Part::Products)
            ings_ = std::move(p.products);
        else if (p.kind == Part::Cards)
            cards = std::move(p.cards);
    }
    size_t total = 0;
    for (const Part& p : parts)
        total += p.rows.size();
    sklad_.reserve(total);
    for (Part& p : parts)
        sklad_.insert(sklad_.end(), p.rows.begin(), p.rows.end());

    inKeyOrder(ings_);
    indexProducts();
    inKeyOrder(sklad_);
    indexDepartmentRows();
    takeCards(cards);
    linkCards();
    readDepartments(q);
}

} // namespace costing
