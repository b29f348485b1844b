// Reading the whole catalogue into a snapshot, on the transaction. Fetching a
// row costs the client a call into the engine, so the read is bound by those
// calls. Connections beside the transaction sharing the read won about a
// tenth on a first run, but on a catalogue a run has just priced the server
// cleans the old versions under every reader, and the next run took twice as
// long: the read stays on the transaction.

#include "CardSource.h"

#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <algorithm>

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

} // namespace costing
