#include "AmountList.h"

#include "db/Query.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace costing {

void AmountList::append(AmountList&& other)
{
    // Tail first: the other list's nodes go before ours in storage.
    other.nodes_.insert(other.nodes_.end(), std::make_move_iterator(nodes_.begin()),
                        std::make_move_iterator(nodes_.end()));
    nodes_ = std::move(other.nodes_);
    other.nodes_.clear();
}

namespace {

struct MergeKey {
    qint64 ing;
    qint64 otdel;
    int level;
    double price;
    bool operator==(const MergeKey& o) const
    {
        return ing == o.ing && otdel == o.otdel && level == o.level && price == o.price;
    }
};

struct MergeKeyHash {
    size_t operator()(const MergeKey& k) const
    {
        size_t h = std::hash<qint64>()(k.ing);
        h = h * 1000003u ^ std::hash<qint64>()(k.otdel);
        h = h * 1000003u ^ std::hash<int>()(k.level);
        h = h * 1000003u ^ std::hash<double>()(k.price == 0 ? 0.0 : k.price);
        return h;
    }
};

} // namespace

void MergeAmountList(AmountList& list)
{
    std::vector<RIng>& nodes = list.storage();
    const int n = static_cast<int>(nodes.size());
    if (n < 2)
        return;
    // Walking from the head, the first node of each kind takes in the later
    // ones in list order, which is the order a pairwise fold would add them in.
    std::unordered_map<MergeKey, int, MergeKeyHash> first;
    first.reserve(static_cast<size_t>(n));
    std::vector<char> gone(static_cast<size_t>(n), 0);
    bool any = false;
    for (int i = n - 1; i >= 0; --i) {
        const RIng& b = nodes[static_cast<size_t>(i)];
        if (std::isnan(b.PRICE))
            continue;  // a price that equals nothing is never merged
        auto [it, inserted] = first.try_emplace(MergeKey{b.KOD_ING, b.KOD_OTDEL, b.MY_LEVEL, b.PRICE}, i);
        if (inserted)
            continue;
        RIng& a = nodes[static_cast<size_t>(it->second)];
        a.BRUTTO = a.BRUTTO + b.BRUTTO;
        a.NETTO = a.NETTO + b.NETTO;
        a.DEPTH = std::max(a.DEPTH, b.DEPTH);
        gone[static_cast<size_t>(i)] = 1;
        any = true;
    }
    if (!any)
        return;
    size_t out = 0;
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (gone[i])
            continue;
        if (out != i)
            nodes[out] = std::move(nodes[i]);
        ++out;
    }
    nodes.resize(out);
}

AmountList CopyAmountList(AmountList&& list)
{
    AmountList copy;
    copy.storage() = std::move(list.storage());
    std::reverse(copy.storage().begin(), copy.storage().end());
    list.clear();
    return copy;
}

AmountList AmountListFromDataset(db::Query& rows)
{
    AmountList list;
    for (rows.first(); !rows.eof(); rows.next()) {
        RIng n;
        n.KOD_ING = rows.field(QStringLiteral("KOD_ING")).asInt64();
        n.BRUTTO = rows.field(QStringLiteral("KOLVO")).asDouble();
        n.PRICE = rows.field(QStringLiteral("CENA")).asDouble();
        n.CENA = n.PRICE;
        n.KOD_OTDEL = rows.field(QStringLiteral("KOD_OTDEL")).asInt64();
        n.MY_LEVEL = 0;
        n.NAME = QStringLiteral("None");
        list.pushHead(std::move(n));
    }
    return list;
}

RawSums SumRawNodes(const AmountList& list)
{
    RawSums s;
    for (const RIng& n : list) {
        if (n.MY_LEVEL != 0)
            continue;
        s.cost = s.cost + n.PRICE * n.BRUTTO;
        s.kalories = s.kalories + n.KALORIES * n.BRUTTO;
    }
    return s;
}

} // namespace costing
