#include "Composition.h"

#include "db/Query.h"
#include "db/Transaction.h"

#include <unordered_set>

namespace costing {

bool IsNotInComposition(qint64 host, qint64 candidate, const CardParts& parts)
{
    std::unordered_set<qint64> seen{host};
    std::vector<qint64> todo{host};
    std::vector<qint64> found;
    while (!todo.empty()) {
        const qint64 master = todo.back();
        todo.pop_back();
        found.clear();
        parts(master, found);
        for (qint64 part : found) {
            if (part == master)
                continue;  // a raw product's self row
            if (part == candidate)
                return false;
            if (seen.insert(part).second)
                todo.push_back(part);
        }
    }
    return true;
}

bool IsNotInComposition(const engine::Context& ctx, qint64 host, qint64 candidate)
{
    db::Transaction* t = ctx.write && ctx.write->active() ? ctx.write : ctx.read;
    db::Query q(ctx.database, t);
    q.setSql(QStringLiteral("SELECT KOD_ING FROM KARTA WHERE KOD_ING_MASTER = :M AND KOD_ING IS NOT NULL ORDER BY KOD"));
    return IsNotInComposition(host, candidate, [&](qint64 master, std::vector<qint64>& parts) {
        q.close();
        q.param(QStringLiteral("M")).setInt64(master);
        q.open();
        for (q.first(); !q.eof(); q.next())
            parts.push_back(q.field(0).asInt64());
    });
}

} // namespace costing
