#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

namespace db {
class Query;
}

namespace costing {

// One product amount of an expansion.
struct RIng {
    qint64 KOD_ING = 0;    // product (ING.KOD)
    qint64 KOD_OTDEL = 0;  // department whose ING_SKLAD row gave the prices
    int MY_LEVEL = 0;      // 0 raw for this list, above 0 composite (to be expanded)
    int DEPTH = 0;         // 0 the start node; a child: expansion pass + 1
    int EXPANDED = 0;      // 1 once the node's card rows were added
    int KVO_PORC = 0;      // units the node product's own card is written for
    double PERCENT = 0;    // yield percent of the card row that brought the node
    double BRUTTO = 0;     // gross amount: what is taken from stock
    double NETTO = 0;      // net amount
    double PRICE = 0;      // unit price chosen by the price flag (CENA or MY_CENA)
    double CENA = 0;       // stock unit price
    double KALORIES = 0;   // calories per unit
    QString NAME;
};

// A list of amounts in list order: the head is the first node. Builders put
// new nodes at the head, so a list holds the nodes of later expansion passes
// before those of earlier ones. Iteration runs from the head.
//
// The nodes are kept tail first in one vector, so putting a node at the head
// is cheap and a node's position (index()) never changes while the list grows.
class AmountList {
public:
    using iterator = std::vector<RIng>::reverse_iterator;
    using const_iterator = std::vector<RIng>::const_reverse_iterator;

    iterator begin() { return nodes_.rbegin(); }
    iterator end() { return nodes_.rend(); }
    const_iterator begin() const { return nodes_.rbegin(); }
    const_iterator end() const { return nodes_.rend(); }

    bool empty() const { return nodes_.empty(); }
    int size() const { return static_cast<int>(nodes_.size()); }
    void clear() { nodes_.clear(); }

    // Puts a node at the head and returns it.
    RIng& pushHead(RIng node)
    {
        nodes_.push_back(std::move(node));
        return nodes_.back();
    }
    // Puts a blank node at the head, to be filled in place.
    RIng& pushHead() { return nodes_.emplace_back(); }
    RIng& head() { return nodes_.back(); }
    const RIng& head() const { return nodes_.back(); }

    // The i-th node counted from the head.
    RIng& operator[](int i) { return nodes_[nodes_.size() - 1 - static_cast<size_t>(i)]; }
    const RIng& operator[](int i) const { return nodes_[nodes_.size() - 1 - static_cast<size_t>(i)]; }

    // Stable positions: 0 is the tail (the oldest node), size() - 1 the head.
    RIng& atIndex(int index) { return nodes_[static_cast<size_t>(index)]; }
    const RIng& atIndex(int index) const { return nodes_[static_cast<size_t>(index)]; }

    // Appends the other list's nodes after this list's last node.
    void append(AmountList&& other);

    // Tail-first storage, for the list operations.
    std::vector<RIng>& storage() { return nodes_; }
    const std::vector<RIng>& storage() const { return nodes_; }

private:
    std::vector<RIng> nodes_;
};

// Folds into each node every later node with the same product, department,
// level and exactly the same price: gross and net amounts summed, the deeper
// DEPTH kept. The head node always stays.
void MergeAmountList(AmountList& list);

// The nodes in the reverse order (printing restores card order with it).
AmountList CopyAmountList(AmountList&& list);

// One raw node per row of a dataset with KOD_ING, KOLVO, CENA and KOD_OTDEL,
// each put at the head: BRUTTO := KOLVO, PRICE and CENA := CENA, NAME "None".
AmountList AmountListFromDataset(db::Query& rows);

// Sums over the raw nodes (MY_LEVEL 0), head first: price x gross and calories x gross.
struct RawSums {
    double cost = 0;
    double kalories = 0;
};
RawSums SumRawNodes(const AmountList& list);

} // namespace costing
