#include "Expansion.h"

#include "Composition.h"

#include "db/Query.h"

#include <algorithm>

namespace costing {

namespace {

QString quoted(const QString& name) { return QStringLiteral("<< ") + name + QStringLiteral(" >>"); }

} // namespace

// ---- one level ----

void Expander::addChildren(AmountList& list, int pass, qint64 master, qint64 otdel, int parentKvoPorc, double amount,
                           int priceFlag, bool noIng, std::vector<int>* parents, int parentIndex)
{
    for (const CardRowData& r : source_.cardInDepartment(master, otdel)) {
        if (parentKvoPorc <= 0)
            throw CardError(QStringLiteral("В калькуляционной карте продукта ") + quoted(source_.productName(master)) +
                            QStringLiteral(" не указано количество порций !"));
        if (!(r.percent > 0))
            throw CardError(QStringLiteral("В калькуляционной карте продукта ") + quoted(source_.productName(master)) +
                            QStringLiteral(" у продукта ") + quoted(*r.name) +
                            QStringLiteral(" не указан процент выхода !"));
        // Made where it stays, at the head: a node built aside and moved there
        // cost a run more than filling it.
        RIng& n = list.pushHead();
        if (NodeNames)
            n.NAME = *r.name;
        n.KOD_ING = r.kodIng;
        n.KOD_OTDEL = r.kodOtdel;
        n.MY_LEVEL = (noIng && r.noIng != 0) ? 0 : r.myLevel;
        n.DEPTH = pass + 1;
        n.KVO_PORC = r.kvoPorc;
        n.PERCENT = r.percent;
        n.NETTO = r.kolvo * amount / parentKvoPorc;
        n.BRUTTO = ((r.kolvo * amount) / parentKvoPorc) * 100 / r.percent;
        n.PRICE = priceFlag == 0 ? r.cena : r.myCena;
        n.CENA = r.cena;
        n.EXPANDED = 0;
        n.KALORIES = r.kalories;
        if (ZeroPriceWatch < 5 && n.MY_LEVEL == 0 && n.CENA <= 0) {
            ZeroPriceLines << (noIng ? *r.name : QStringLiteral("Нулевая цена у продукта ") + quoted(*r.name));
            ZeroPriceWatch = 1;
        }
        if (parents)
            parents->push_back(parentIndex);
    }
}

AmountList& Expander::ExpandOneLevel(int parentKvoPorc, int pass, qint64 master, qint64 otdel, double amount,
                                     int priceFlag, AmountList& list)
{
    addChildren(list, pass, master, otdel, parentKvoPorc, amount, priceFlag, false, nullptr, -1);
    return list;
}

// ---- stock ----

double Expander::GetStockCached(qint64 ing, qint64 otdel)
{
    auto it = stock_.find({ing, otdel});
    if (it == stock_.end())
        it = stock_.emplace(std::make_pair(ing, otdel), source_.stockInDepartment(ing, otdel)).first;
    return std::max(0.0, it->second);
}

bool Expander::TakeFromStockCache(qint64 ing, qint64 otdel, double amount)
{
    auto it = stock_.find({ing, otdel});
    if (it == stock_.end())
        return false;
    const double rest = it->second - amount;
    it->second = rest < 1e-10 ? 0.0 : rest;
    return true;
}

void Expander::applyStock(AmountList& list, int fromIndex, int mode, std::vector<int>* parents)
{
    // From the head down to fromIndex; a split node goes before the head and is not visited.
    for (int i = list.size() - 1; i >= fromIndex; --i) {
        RIng& n = list.atIndex(i);
        if (n.MY_LEVEL == 0 || n.EXPANDED != 0)
            continue;
        if (mode > 2) {
            n.MY_LEVEL = 0;
            continue;
        }
        const double s = GetStockCached(n.KOD_ING, n.KOD_OTDEL);
        if (s >= n.BRUTTO) {
            n.MY_LEVEL = 0;
            TakeFromStockCache(n.KOD_ING, n.KOD_OTDEL, n.BRUTTO);
        } else if (s > 0) {
            const double r = n.NETTO / n.BRUTTO;
            RIng part = n;
            part.MY_LEVEL = 0;
            part.BRUTTO = s;
            part.NETTO = s * r;
            n.BRUTTO = n.BRUTTO - s;
            n.NETTO = n.BRUTTO * r;
            const qint64 ing = n.KOD_ING;
            const qint64 otdel = n.KOD_OTDEL;
            list.pushHead(std::move(part));  // n may move with the storage: not used below
            if (parents)
                parents->push_back((*parents)[static_cast<size_t>(i)]);
            TakeFromStockCache(ing, otdel, s);
        }
    }
}

// ---- full expansion ----

void Expander::throwCycle(const AmountList& list, const std::vector<int>& parents, int index, qint64 root)
{
    // From the node up to the ancestor that is the same product (or the root).
    const qint64 kod = list.atIndex(index).KOD_ING;
    QList<qint64> chain{kod};
    int j = parents[static_cast<size_t>(index)];
    while (j >= 0) {
        chain.prepend(list.atIndex(j).KOD_ING);
        if (list.atIndex(j).KOD_ING == kod)
            break;
        j = parents[static_cast<size_t>(j)];
    }
    if (j < 0 && root != 0)
        chain.prepend(root);
    QStringList names;
    for (qint64 k : chain)
        names << quoted(source_.productName(k));
    throw CardError(QStringLiteral("Циклическая ссылка в калькуляционных картах: ") +
                    names.join(QStringLiteral(" -> ")) + QStringLiteral(" ! Исправьте состав продуктов."));
}

namespace {

bool hasAncestor(const AmountList& list, const std::vector<int>& parents, int index, qint64 kod)
{
    for (int j = parents[static_cast<size_t>(index)]; j >= 0; j = parents[static_cast<size_t>(j)])
        if (list.atIndex(j).KOD_ING == kod)
            return true;
    return false;
}

} // namespace

AmountList Expander::expandToRaw(qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode,
                                 bool production, bool noIng)
{
    AmountList list;
    expandInto(list, ing, otdel, quantity, priceFlag, stockMode, production, noIng);
    return list;
}

void Expander::expandInto(AmountList& list, qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode,
                          bool production, bool noIng)
{
    list.clear();
    std::vector<int>& parents = parents_;
    parents.clear();
    RIng start;
    start.KOD_ING = ing;
    start.KOD_OTDEL = otdel;
    start.DEPTH = 0;
    start.PERCENT = 100;
    start.BRUTTO = quantity;
    start.NETTO = quantity;
    start.EXPANDED = 0;
    ProductData p;
    if (!source_.productInDepartment(ing, otdel, p)) {
        start.MY_LEVEL = 0;
        list.pushHead(std::move(start));
        return;
    }
    if (NodeNames)
        start.NAME = *p.name;
    start.MY_LEVEL = (noIng && p.noIng != 0) ? 0 : p.myLevel;
    start.KVO_PORC = p.kvoPorc;
    start.CENA = p.cena;
    start.KALORIES = p.kalories;
    start.PRICE = priceFlag == 0 ? p.cena : p.myCena;
    list.pushHead(std::move(start));
    parents.push_back(-1);

    if (stockMode > 0 && !production)
        applyStock(list, 0, 0, &parents);

    // Each pass expands the composites that were in the list when it began,
    // from the head; what it adds waits for the next pass. Nodes older than the
    // previous pass's additions are all expanded or raw by then.
    int scanFrom = 0;
    for (int pass = 0;; ++pass) {
        const int n0 = list.size();
        bool any = false;
        for (int i = n0 - 1; i >= scanFrom; --i) {
            RIng& n = list.atIndex(i);
            if (n.MY_LEVEL == 0 || n.EXPANDED != 0)
                continue;
            n.EXPANDED = 1;
            any = true;
            const qint64 kod = n.KOD_ING;
            const int kvo = n.KVO_PORC;
            const double brutto = n.BRUTTO;
            if (hasAncestor(list, parents, i, kod))
                throwCycle(list, parents, i, 0);
            const int before = list.size();
            addChildren(list, pass, kod, otdel, kvo, brutto, priceFlag, noIng, &parents, i);
            // Older composites have met the stock rule already and their stock is spent,
            // so the rule needs to see only what this expansion added.
            if (stockMode > 0)
                applyStock(list, before, stockMode, &parents);
        }
        if (!any)
            break;
        scanFrom = n0;
    }
    MergeAmountList(list);
}

AmountList Expander::ExpandToRaw(qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode,
                                 bool production)
{
    return expandToRaw(ing, otdel, quantity, priceFlag, stockMode, production, false);
}

AmountList& Expander::ExpandToRawInto(AmountList& list, qint64 ing, qint64 otdel, double quantity, int priceFlag,
                                      int stockMode, bool production)
{
    expandInto(list, ing, otdel, quantity, priceFlag, stockMode, production, false);
    return list;
}

AmountList Expander::ExpandToRawNoIng(qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode,
                                      bool production)
{
    return expandToRaw(ing, otdel, quantity, priceFlag, stockMode, production, true);
}

AmountList Expander::ExpandDocumentRows(int stockMode, bool production, db::Query& rows)
{
    const int fIng = rows.fieldIndex(QStringLiteral("KOD_ING"));
    const int fOtdel = rows.fieldIndex(QStringLiteral("KOD_OTDEL"));
    const int fKolvo = rows.fieldIndex(QStringLiteral("KOLVO"));
    const int fFlag = rows.fieldIndex(QStringLiteral("CENA_COMPUTE"));
    std::vector<AmountList> lists;
    size_t total = 0;
    for (rows.first(); !rows.eof(); rows.next()) {
        lists.push_back(expandToRaw(rows.field(fIng).asInt64(), rows.field(fOtdel).asInt64(),
                                    rows.field(fKolvo).asDouble(), rows.field(fFlag).asInt(), stockMode, production,
                                    true));
        total += lists.back().storage().size();
    }
    // Joined once, the first row's nodes at the head: appending row by row
    // would move everything joined so far at every row.
    AmountList all;
    std::vector<RIng>& nodes = all.storage();
    nodes.reserve(total);
    for (auto it = lists.rbegin(); it != lists.rend(); ++it)
        nodes.insert(nodes.end(), std::make_move_iterator(it->storage().begin()),
                     std::make_move_iterator(it->storage().end()));
    MergeAmountList(all);
    return all;
}

// ---- levels ----

AmountList& Expander::AddCardChildren(int depth, AmountList& list, qint64 master)
{
    source_.cardAnyDepartment(master, levelRows_);
    for (const LevelChild& c : levelRows_) {
        RIng n;
        n.KOD_ING = c.kodIng;
        n.MY_LEVEL = c.myLevel;
        n.DEPTH = depth + 1;
        n.EXPANDED = 0;
        list.pushHead(std::move(n));
    }
    return list;
}

template <typename Visit>
void Expander::walkLevels(qint64 root, AmountList& list, Visit visit)
{
    // visit(node) is called for every node added; it returns true to stop the walk.
    std::vector<int> parents;
    auto add = [&](int depth, qint64 master, int parent) {
        const int before = list.size();
        AddCardChildren(depth, list, master);
        parents.resize(static_cast<size_t>(list.size()), parent);
        for (int i = list.size() - 1; i >= before; --i)
            if (visit(list.atIndex(i)))
                return true;
        return false;
    };
    if (add(0, root, -1))
        return;
    int scanFrom = 0;
    for (int pass = 1;; ++pass) {
        const int n0 = list.size();
        bool any = false;
        for (int i = n0 - 1; i >= scanFrom; --i) {
            RIng& n = list.atIndex(i);
            if (n.MY_LEVEL == 0 || n.EXPANDED != 0)
                continue;
            n.EXPANDED = 1;
            any = true;
            const qint64 kod = n.KOD_ING;
            if (kod == root || hasAncestor(list, parents, i, kod))
                throwCycle(list, parents, i, root);
            if (add(pass, kod, i))
                return;
        }
        if (!any)
            break;
        scanFrom = n0;
    }
}

int Expander::ComputeLevel(qint64 ing)
{
    source_.cardAnyDepartment(ing, levelRows_);
    if (levelRows_.empty() || levelRows_.front().kodIng == ing)
        return 0;
    AmountList list;
    int level = 0;
    walkLevels(ing, list, [&](const RIng& n) {
        level = std::max(level, n.DEPTH);
        return false;
    });
    return level;
}

bool Expander::IsNotInComposition(qint64 host, qint64 candidate)
{
    return costing::IsNotInComposition(host, candidate, [this](qint64 master, std::vector<qint64>& parts) {
        source_.cardAnyDepartment(master, levelRows_);
        for (const LevelChild& c : levelRows_)
            parts.push_back(c.kodIng);
    });
}

} // namespace costing
