#pragma once

#include "engine/WriteRoad.h"
#include "AmountList.h"

#include <QStringList>
#include <QtGlobal>

#include <functional>

#include "engine/Context.h"
#include "engine/Progress.h"

namespace costing {

// The reservation of every road that changes prices or cards: the recomputation,
// the card editor, a stock row's prices, a dish's copy (engine/WriteRoad.h).
inline constexpr WriteTransaction::Reserve kRoad = WriteTransaction::Reserve::Prices;

// The context every engine takes (engine/Context.h): the program passes
// engine::ProgramContext(); tests and benchmarks their own.
using Context = engine::Context;

// What a recomputation covers.
struct RecomputeScope {
    // Not 0: every department row of this product, the stock price always
    // recomputed and hidden composites skipped; the fields below are ignored.
    qint64 product = 0;
    int where = 1;  // 0 the department, 1 the enterprise, 2 every enterprise
    int what = 2;   // 0 the selected product, 1 the selected group, 2 every product
    qint64 firma = 0;
    qint64 otdel = 0;
    qint64 selectedProduct = 0;
    qint64 selectedGroup = 0;
    bool keepStockPrice = true;  // a row with stock keeps its stock price
    bool skipHidden = true;      // hidden composites are not recomputed
    // Threads the run takes beside its own (the thread that sends the price
    // writes of a run over more than one product): -1 only on cores the
    // machine has to spare at the start, 0 none, more whatever the load.
    int helpers = -1;
};

// The two row lists of a recomputation: the level query and the price query.
QStringList LevelQueryText(const RecomputeScope& scope);
QStringList PriceQueryText(const RecomputeScope& scope);

struct RecomputeResult {
    bool aborted = false;             // a composite holds a raw product without a price
    QStringList warnings;             // the lines for the warning window
    bool manualPriceWarning = false;  // a price set by hand is below the computed cost
    int zeroPriceWatch = 50;          // the watch as the run leaves it
    int levelsChanged = 0;            // products whose level was corrected
    int rowsPriced = 0;
};

// How a run reads the cards. The memory road reads what the run needs once
// (for one product: only its card tree and department rows) and is what the
// program uses; the literal road asks the database at every node and serves
// as the reference the memory road is checked against: it lives with the
// tests and runs only once installed (RecomputeRoad.h).
enum class Road { Memory, Literal };

// Levels, cost prices, selling prices and calories of the scope's department
// rows, written on ctx.write (which must be active; nothing is committed).
// An abort on a zero price keeps what earlier rows wrote. A fault of the cards
// throws CardError before the faulty row writes anything.
RecomputeResult RecomputePrices(const Context& ctx, const RecomputeScope& scope, const engine::Progress& progress = {},
                                Road road = Road::Memory);

} // namespace costing
