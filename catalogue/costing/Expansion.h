#pragma once

#include "AmountList.h"
#include "CardSource.h"
#include "CostingError.h"

#include <QStringList>

#include <unordered_map>
#include <vector>

namespace db {
class Query;
}

namespace costing {

// The stock still available during one operation, by (product, department):
// read at the first look-up of a pair, then spent by what the operation takes.
using StockCache = std::unordered_map<std::pair<qint64, qint64>, double, KeyPairHash>;

// The card expansion: turns a quantity of a product in a department into the
// amounts of what it is made of, level by level down to raw products.
//
// One Expander serves one operation (a posting, a print, a recomputation): it
// holds the operation's stock cache, so what one row takes from stock is no
// longer there for the next, and the zero-price watch with the lines it wrote.
// A walk that meets a product among its own ancestors, a card row without
// yield or a card for zero units throws CardError naming the products.
class Expander {
public:
    explicit Expander(CardSource& source) : source_(source) {}

    // Zero-price watch: 50 off; below 5 the one-level expansions list every
    // raw product with a stock price of 0 or less and set it to 1.
    int ZeroPriceWatch = 50;
    QStringList ZeroPriceLines;
    // Off: the nodes carry no NAME, for a run that only sums them; the
    // zero-price lines and the errors name the products all the same.
    bool NodeNames = true;

    // The master's active card rows in the department, one node each put at
    // the head: amounts for `amount` of the parent whose card is written for
    // parentKvoPorc units; DEPTH = pass + 1; price flag 0 stock prices, else selling prices.
    AmountList& ExpandOneLevel(int parentKvoPorc, int pass, qint64 master, qint64 otdel, double amount, int priceFlag,
                               AmountList& list);

    // Full expansion of a quantity, merged. Stock mode 0 no stock; 1 and 2 the
    // product and every composite first from stock; 3 the product from stock,
    // its composite ingredients written off as themselves. The production flag
    // keeps the product itself out of the stock.
    AmountList ExpandToRaw(qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode, bool production);
    // The same into the caller's list, whose storage serves again: a run
    // expands thousands of products one after another.
    AmountList& ExpandToRawInto(AmountList& list, qint64 ing, qint64 otdel, double quantity, int priceFlag,
                                int stockMode, bool production);
    // The same with NO_ING products counting as raw at every level, the start product included.
    AmountList ExpandToRawNoIng(qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode,
                                bool production);
    // ExpandToRawNoIng of every row (KOD_ING, KOD_OTDEL, KOLVO, CENA_COMPUTE), first
    // to last, the lists joined in row order and merged once more.
    AmountList ExpandDocumentRows(int stockMode, bool production, db::Query& rows);

    // Stock still available in this operation (negative stock counts as none).
    double GetStockCached(qint64 ing, qint64 otdel);
    // Takes an amount from the cached stock; false when the pair was never looked up.
    bool TakeFromStockCache(qint64 ing, qint64 otdel, double amount);
    void ClearStockCache() { stock_.clear(); }

    // The master's active card rows in any department, one node each at the head.
    AmountList& AddCardChildren(int depth, AmountList& list, qint64 master);
    // Depth of the product's card tree; 0 for an empty card or when the first
    // active card row is the product itself (the self row of a raw product).
    int ComputeLevel(qint64 ing);
    // True when the candidate occurs nowhere in the host's composition, on
    // the source's active card rows as they are (Composition.h).
    bool IsNotInComposition(qint64 host, qint64 candidate);

    CardSource& source() { return source_; }

private:
    void addChildren(AmountList& list, int pass, qint64 master, qint64 otdel, int parentKvoPorc, double amount,
                     int priceFlag, bool noIng, std::vector<int>* parents, int parentIndex);
    void applyStock(AmountList& list, int fromIndex, int mode, std::vector<int>* parents);
    AmountList expandToRaw(qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode, bool production,
                           bool noIng);
    void expandInto(AmountList& list, qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode,
                    bool production, bool noIng);
    // Walks the level tree of a product; stops early when stop(kod) says so.
    template <typename Visit>
    void walkLevels(qint64 root, AmountList& list, Visit visit);
    [[noreturn]] void throwCycle(const AmountList& list, const std::vector<int>& parents, int index, qint64 root);

    CardSource& source_;
    StockCache stock_;
    std::vector<LevelChild> levelRows_;
    std::vector<int> parents_;  // an expansion's node parents, kept for the next
};

} // namespace costing
