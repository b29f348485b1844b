#pragma once

// Posting of production and sales documents: the lines (REAL_BLUDO) stay, the
// document receives what is written off (MOVES, outgoing) by its write-off
// mode, a production write-off gets its paired production output that brings
// the dishes into stock first (at their stock price), and the server's
// posting procedure applies both. Works on ctx.write; nothing here commits or rolls back.

#include "Posting.h"

namespace posting {

// Write-off modes (DOCS.P) of a production or sales document.
namespace WriteOffMode {
constexpr int Ingredients = 0;        // what the dishes are made of, never from stock
constexpr int Finished = 1;           // the dishes themselves at the line's price
constexpr int FinishedAndMade = 2;    // the dishes and semi-finished products from stock first, the rest made
constexpr int FinishedNotMade = 3;    // the dishes from stock, their composite ingredients as themselves
} // namespace WriteOffMode

struct RealOutcome {
    bool posted = false;  // false: every line had no quantity; the caller rolls back
    qint64 output = 0;    // the production output paired with a production write-off
};

// Posts a production write-off (7) or a sales document (3) with the price
// rule of the production output (PriceAction 0, 1 or 2). Lines of quantity 0
// are removed first; a card that cannot be expanded (a cycle, a row without
// yield) throws costing::CardError naming it. A document of another type
// throws std::logic_error; one posted or deleted meanwhile is refused
// (engine::DocumentRefusal).
RealOutcome PostRealDocument(const Context& ctx, qint64 doc, int priceRule);

} // namespace posting
