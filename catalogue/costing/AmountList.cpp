#include "AmountList.h"

#include "db/Query.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>

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

bool sameKind(const RIng& a, const RIng& b)
{
    return a.KOD_ING == b.KOD_ING && a.KOD_OTDEL == b.KOD_OTDEL && a.MY_LEVEL == b.MY_LEVEL && a.PRICE == b.PRICE;
}

// The slot a kind starts looking from. The price goes in by its bits (the
// library's hash of a double hashes its bytes one by one, which cost a run
// more than the merge itself); -0 and 0 are one price.
size_t kindHash(const RIng& n)
{
    const double price = n.PRICE == 0 ? 0.0 : n.PRICE;
    quint64 h = static_cast<quint64>(n.KOD_ING);
    h = h * 1000003u ^ static_cast<quint64>(n.KOD_OTDEL);
    h = h * 1000003u ^ static_cast<quint64>(static_cast<unsigned>(n.MY_LEVEL));
    h = h * 1000003u ^ std::bit_cast<quint64>(price);
    // The table's width is a power of two: its slot is taken from the high bits.
    return static_cast<size_t>((h * 0x9E3779B97F4A7C15ull) >> 32);
}

} // namespace

void MergeAmountList(AmountList& list)
{
    std::vector<RIng>& nodes = list.storage();
    const int n = static_cast<int>(nodes.size());
    if (n < 2)
        return;
    // Walking from the head, the first node of each kind takes in the later
    // ones in list order, which is the order a pairwise fold would add them in.
    // The first node of each kind is found in a table of open addressing, a
    // slot holding a node's index + 1; removed nodes are marked in a second
    // table behind it. Both live in one buffer the thread keeps: lists are
    // merged by the ten thousand in a run and most are short.
    size_t width = 16;
    while (width < static_cast<size_t>(n) * 2)
        width *= 2;
    thread_local std::vector<int> table;
    table.assign(width + static_cast<size_t>(n), 0);
    int* first = table.data();
    int* gone = first + width;
    bool any = false;
    for (int i = n - 1; i >= 0; --i) {
        const RIng& b = nodes[static_cast<size_t>(i)];
        if (std::isnan(b.PRICE))
            continue;  // a price that equals nothing is never merged
        size_t s = kindHash(b) & (width - 1);
        while (first[s] != 0 && !sameKind(nodes[static_cast<size_t>(first[s] - 1)], b))
            s = (s + 1) & (width - 1);
        if (first[s] == 0) {
            first[s] = i + 1;
            continue;
        }
        RIng& a = nodes[static_cast<size_t>(first[s] - 1)];
        a.BRUTTO = a.BRUTTO + b.BRUTTO;
        a.NETTO = a.NETTO + b.NETTO;
        a.DEPTH = std::max(a.DEPTH, b.DEPTH);
        gone[i] = 1;
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
