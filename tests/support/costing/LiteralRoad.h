#pragma once

#include "costing/AmountList.h"

#include <QStringList>

#include <list>
#include <memory>

namespace db {
class Database;
class Transaction;
class Query;
} // namespace db

namespace costing {

// The card expansion read node by node: one query per expanded node, per
// first stock look-up and per level walk step, a list built at its head and
// walked whole at every pass, merged pairwise. Slow on large catalogues; kept
// as the reference the in-memory road (Expander over a CatalogueSnapshot) is
// checked against, and for measuring it. Tests and benchmarks only.
class LiteralRoad {
public:
    LiteralRoad(db::Database* database, db::Transaction* transaction);
    ~LiteralRoad();

    int ZeroPriceWatch = 50;
    QStringList ZeroPriceLines;

    AmountList ExpandToRaw(qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode, bool production);
    AmountList ExpandToRawNoIng(qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode,
                                bool production);
    AmountList ExpandDocumentRows(int stockMode, bool production, db::Query& rows);
    int ComputeLevel(qint64 ing);
    bool IsNotInComposition(qint64 host, qint64 candidate);
    void ClearStockCache() { stock_.clear(); }

private:
    using List = std::list<RIng>;
    struct StockNode {
        qint64 ing;
        qint64 otdel;
        double kolvo;
    };
    void expandOneLevel(int kvoPorc, int pass, qint64 master, qint64 otdel, double amount, int priceFlag, List& list,
                        bool noIng);
    List expandToRaw(qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode, bool production,
                     bool noIng);
    void applyStock(List& list, int mode);
    double getStockCached(qint64 ing, qint64 otdel);
    void takeFromStockCache(qint64 ing, qint64 otdel, double amount);
    void addCardChildren(int depth, List& list, qint64 master);
    List levelTree(qint64 ing);
    static void merge(List& list);
    static AmountList toAmountList(List&& list);

    std::unique_ptr<db::Query> q1_;
    std::unique_ptr<db::Query> q2_;
    std::list<StockNode> stock_;
};

// Installs the price recomputation on this road as the one Road::Literal runs.
void InstallLiteralRoad();

} // namespace costing
