#include "ProductNames.h"

#include "db/Query.h"
#include "engine/EngineDb.h"

namespace reports {

ProductNames::ProductNames(const engine::Context& ctx) : ctx_(ctx) {}

ProductNames::~ProductNames() = default;

const ProductNames::Entry& ProductNames::of(qint64 product)
{
    if (!loaded_) {
        // One read of the whole catalogue costs less than one read per product of a long report.
        loaded_ = true;
        auto q = engine::Reader(ctx_, QStringLiteral("SELECT ING.KOD, ING.NAME, ED_IZM.SHORT_NAME, ED_IZM.KOD FROM ING "
                                                     "LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM"));
        q->open();
        known_.reserve(q->recordCount());
        for (q->first(); !q->eof(); q->next()) {
            Entry e;
            e.name = q->field(1).asString();
            e.unit = q->field(2).asString();
            e.hasUnit = !q->field(3).isNull();
            known_.insert(q->field(0).asInt64(), e);
        }
    }
    static const Entry none;
    auto it = known_.constFind(product);
    return it == known_.constEnd() ? none : *it;
}

} // namespace reports
