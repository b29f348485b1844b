#include "ProductNames.h"

#include "db/Query.h"
#include "engine/EngineDb.h"

namespace reports {

ProductNames::ProductNames(const engine::Context& ctx) : ctx_(ctx) {}

ProductNames::~ProductNames() = default;

const ProductNames::Entry& ProductNames::of(qint64 product)
{
    auto it = known_.constFind(product);
    if (it != known_.constEnd())
        return *it;
    if (!q_) {
        q_ = engine::Reader(ctx_, QStringLiteral("SELECT ING.NAME, ED_IZM.SHORT_NAME, ED_IZM.KOD FROM ING "
                                                 "LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM "
                                                 "WHERE ING.KOD = :K"));
        q_->prepare();
    }
    q_->close();
    q_->param(QStringLiteral("K")).setInt64(product);
    q_->open();
    Entry e;
    if (!q_->isEmpty()) {
        e.name = q_->field(0).asString();
        e.unit = q_->field(1).asString();
        e.hasUnit = !q_->field(2).isNull();
    }
    q_->close();
    return *known_.insert(product, e);
}

} // namespace reports
