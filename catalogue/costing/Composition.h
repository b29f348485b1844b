#pragma once

#include "engine/Context.h"

#include <QtGlobal>

#include <functional>
#include <vector>

// Whether a product occurs in another's composition, judged on the card rows
// as they are: every product reached from the host through card rows is
// looked at, whatever the stored levels say (a stale level 0 hides nothing),
// and each once, so a circle already in the data ends the walk instead of
// running round it. A raw product's self row leads nowhere.
namespace costing {

// The products on the master's card rows.
using CardParts = std::function<void(qint64 master, std::vector<qint64>& parts)>;

// True when the candidate occurs nowhere in the host's composition, the
// parts of each card given by `parts`.
bool IsNotInComposition(qint64 host, qint64 candidate, const CardParts& parts);

// The same over every card row in the database, switched-off rows included
// (they may be switched on later). Read on the write transaction when it is
// active, so that rows the operation added so far count.
bool IsNotInComposition(const engine::Context& ctx, qint64 host, qint64 candidate);

} // namespace costing
