#include "Recompute.h"

#include "BlockUpdate.h"
#include "CardSource.h"
#include "CostingError.h"
#include "Expansion.h"
#include "RecomputeRoad.h"
#include "RowPrices.h"

#include "db/Query.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <unordered_map>
#include <cstdio>

namespace costing {


// ---- row queries ----

namespace {

QStringList rowQueryText(const RecomputeScope& scope, bool& hasWhere)
{
    QStringList t{QStringLiteral("SELECT ING_SKLAD.*, ING.NAME AS NAME_I, ING.MY_LEVEL, ING.PERCENT_PLUS, ING.CENA_COMPUTE, "
                                 "ING.KVO_PORC, ING.KOD AS INGKOD, ING.KALORIES, OTDEL.NAME AS NAME_O FROM ING_SKLAD"),
                  QStringLiteral("INNER JOIN ING ON ING.KOD = ING_SKLAD.KOD_ING"),
                  QStringLiteral("INNER JOIN OTDEL ON OTDEL.KOD = ING_SKLAD.KOD_OTDEL")};
    hasWhere = false;
    if (scope.product != 0) {
        t << QStringLiteral("WHERE ING_SKLAD.KOD_ING = ") + QString::number(scope.product);
        hasWhere = true;
        return t;
    }
    if (scope.where == 0) {
        t << QStringLiteral("WHERE ING_SKLAD.KOD_OTDEL = ") + QString::number(scope.otdel);
        hasWhere = true;
    } else if (scope.where == 1) {
        t << QStringLiteral("WHERE ING_SKLAD.KOD_FIRMA = ") + QString::number(scope.firma);
        hasWhere = true;
    }
    const QString joint = hasWhere ? QStringLiteral("AND") : QStringLiteral("WHERE");
    if (scope.what == 0) {
        t << joint << QStringLiteral("ING_SKLAD.KOD_ING = ") + QString::number(scope.selectedProduct);
        hasWhere = true;
    } else if (scope.what == 1) {
        t << joint << QStringLiteral("ING.KOD_GROUP = ") + QString::number(scope.selectedGroup);
        hasWhere = true;
    }
    return t;
}

// Rows of one level in the order of their keys, so that every run takes them alike.
const QString kOrder = QStringLiteral("ORDER BY ING.MY_LEVEL, ING_SKLAD.KOD");

RecomputeScope effective(const RecomputeScope& in)
{
    RecomputeScope s = in;
    if (s.product != 0) {
        s.keepStockPrice = false;
        s.skipHidden = true;
    }
    return s;
}

} // namespace

QStringList LevelQueryText(const RecomputeScope& scope)
{
    bool hasWhere = false;
    QStringList t = rowQueryText(scope, hasWhere);
    t << kOrder;
    return t;
}

QStringList PriceQueryText(const RecomputeScope& scopeIn)
{
    const RecomputeScope scope = effective(scopeIn);
    bool hasWhere = false;
    QStringList t = rowQueryText(scope, hasWhere);
    if (scope.skipHidden) {
        if (hasWhere)
            t << QStringLiteral("AND (ING.MY_LEVEL = 0 OR (ING.MY_LEVEL > 0 AND ING_SKLAD.OPEN_CLOSE = 0))");
        else
            t << QStringLiteral("WHERE ING.MY_LEVEL = 0 OR (ING.MY_LEVEL > 0 AND ING_SKLAD.OPEN_CLOSE = 0)");
    }
    t << kOrder;
    return t;
}

// ---- roads ----

namespace {

// The cores the machine has to spare besides the run's own thread, by the
// load of the last minute and by the threads runnable this moment (a build
// that has just started shows in the second long before the first), one core
// left over for the others' next burst. A thread of the run's own that finds
// no spare core only waits for one the others hold: the run gets slower, not
// faster (measured: threads taken on the last free core lost more than they won).
int spareCores()
{
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    int busy = 0;
    double load = 0;
    if (getloadavg(&load, 1) == 1)
        busy = static_cast<int>(std::ceil(load));
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        int runnable = 0;
        if (std::fscanf(f, "%*f %*f %*f %d/", &runnable) == 1)
            busy = std::max(busy, runnable - 1);  // the run's own thread is one of them
        std::fclose(f);
    }
    return std::max(0, cores - 2 - busy);
}

ReferenceRoad& referenceRoad()
{
    static ReferenceRoad road;
    return road;
}

// The program's road: the run's catalogue read once, card levels remembered,
// statements that would store the value already there left out, and the
// price writes sent in blocks at the end of the run.
class MemoryRoad final : public RecomputeRoad {
public:
    MemoryRoad(const Context& ctx, const RecomputeScope& scope, const std::vector<qint64>& departments)
        : ctx_(ctx),
          spare_(scope.product != 0 ? 0 : scope.helpers < 0 ? spareCores() : scope.helpers),
          snapshot_(scope.product != 0
                        ? CatalogueSnapshot::ProductTree(ctx.database, ctx.write, scope.product, departments)
                        : CatalogueSnapshot(ctx.database, ctx.write, departments)),
          expander_(snapshot_),
          writer_(spare_ > 0 ? std::make_unique<BlockWriter>() : nullptr),
          cena_(ctx.database, ctx.write, QStringLiteral("ING_SKLAD"), {QStringLiteral("CENA")}, writer_.get()),
          prices_(ctx.database, ctx.write, QStringLiteral("ING_SKLAD"), {QStringLiteral("CENA"), QStringLiteral("MY_CENA")},
                  writer_.get()),
          myCena_(ctx.database, ctx.write, QStringLiteral("ING_SKLAD"), {QStringLiteral("MY_CENA")}, writer_.get()),
          kalories_(ctx.database, ctx.write, QStringLiteral("ING"), {QStringLiteral("KALORIES")}, writer_.get())
    {
        expander_.NodeNames = false;  // the run only sums the nodes
    }
    ~MemoryRoad() override
    {
        // Blocks not sent yet name the statements the updates below own.
        writer_.reset();
    }

    std::vector<PriceRow> rows(const RecomputeScope& scope, bool prices) override
    {
        // The row queries' joins, conditions and order, on the snapshot: the
        // rows that pass, by level, empty levels first (as the server sorts
        // them), then by key. The rows come in key order and a card has few
        // levels: each row goes straight to its place among its level's.
        using Level = std::pair<bool, int>;  // (not empty, level)
        struct Taken {
            int place;  // in the snapshot
            int level;  // an index into levels
            const CatalogueSnapshot::Product* product;
        };
        const std::vector<CatalogueSnapshot::DepartmentRow>& all = snapshot_.departmentRows();
        std::vector<Level> levels;
        std::vector<Taken> taken;
        qint64 lastOtdel = 0;
        const QString* lastName = nullptr;
        for (int i = 0; i < static_cast<int>(all.size()); ++i) {
            const CatalogueSnapshot::DepartmentRow& s = all[static_cast<size_t>(i)];
            const CatalogueSnapshot::Product* p = snapshot_.product(s.kodIng);
            if (!p)
                continue;
            if (!lastName || s.kodOtdel != lastOtdel) {
                lastName = snapshot_.departmentName(s.kodOtdel);
                lastOtdel = s.kodOtdel;
            }
            if (!lastName)
                continue;
            if (scope.product != 0) {
                if (s.kodIng != scope.product)
                    continue;
            } else {
                if (scope.where == 0 && s.kodOtdel != scope.otdel)
                    continue;
                if (scope.where == 1 && (s.firmaNull || s.kodFirma != scope.firma))
                    continue;
                if (scope.what == 0 && s.kodIng != scope.selectedProduct)
                    continue;
                if (scope.what == 1 && (p->groupNull || p->group != scope.selectedGroup))
                    continue;
            }
            if (prices && scope.skipHidden &&
                (p->levelNull || !(p->myLevel == 0 || (p->myLevel > 0 && s.openClose == 0))))
                continue;
            const Level l{!p->levelNull, p->levelNull ? 0 : p->myLevel};
            auto at = std::find(levels.begin(), levels.end(), l);
            if (at == levels.end())
                at = levels.insert(levels.end(), l);
            taken.push_back({i, static_cast<int>(at - levels.begin()), p});
        }
        // Where each level's rows begin.
        std::vector<int> order(levels.size());
        for (size_t l = 0; l < levels.size(); ++l)
            order[l] = static_cast<int>(l);
        std::sort(order.begin(), order.end(), [&levels](int a, int b) { return levels[a] < levels[b]; });
        std::vector<int> next(levels.size(), 0);
        for (const Taken& t : taken)
            ++next[static_cast<size_t>(t.level)];
        for (int k = 0, from = 0; k < static_cast<int>(order.size()); ++k) {
            const int count = next[static_cast<size_t>(order[k])];
            next[static_cast<size_t>(order[k])] = from;
            from += count;
        }
        std::vector<const Taken*> sorted(taken.size());
        for (const Taken& t : taken)
            sorted[static_cast<size_t>(next[static_cast<size_t>(t.level)]++)] = &t;
        std::vector<PriceRow> out;
        out.reserve(taken.size());
        lastName = nullptr;
        for (const Taken* t : sorted) {
            const CatalogueSnapshot::DepartmentRow& s = all[static_cast<size_t>(t->place)];
            const CatalogueSnapshot::Product* p = t->product;
            PriceRow& r = out.emplace_back();
            r.kod = s.kod;
            r.kodIng = s.kodIng;
            r.kodOtdel = s.kodOtdel;
            r.level = p->myLevel;
            r.levelNull = p->levelNull;
            r.kolvo = s.kolvo;
            r.cena = s.cena;
            r.myCena = s.myCena;
            r.kalories = p->kalories;
            r.percent = s.percent;
            r.metod = s.metod;
            r.percentPlus = p->percentPlus;
            r.cenaCompute = p->cenaCompute;
            r.openClose = s.openClose;
            r.nameI = &p->name;
            if (!lastName || s.kodOtdel != lastOtdel) {
                lastName = snapshot_.departmentName(s.kodOtdel);
                lastOtdel = s.kodOtdel;
            }
            r.nameO = lastName;
            r.place = t->place;
            r.productPlace = snapshot_.placeOf(*p);
        }
        return out;
    }

    int computeLevel(qint64 ing) override
    {
        // A level depends only on which products of the tree are composite;
        // it is remembered until a level changes between zero and non-zero.
        auto it = levels_.find(ing);
        if (it != levels_.end())
            return it->second;
        int level = 0;
        snapshot_.cardAnyDepartment(ing, children_);
        if (!children_.empty() && children_.front().kodIng != ing && !treeHeight(ing, level)) {
            // A circle in the cards: the expander's walk names its products.
            heights_.clear();
            level = expander_.ComputeLevel(ing);
        }
        levels_.emplace(ing, level);
        return level;
    }
    // The depth of a product's card tree as the expander's level walk finds
    // it (a part with a stored level goes one deeper than its own parts), each
    // part's depth worked out once for the whole run. False on a circle.
    bool treeHeight(qint64 ing, int& height)
    {
        auto [it, added] = heights_.try_emplace(ing, -1);
        if (!added) {
            height = it->second;
            return height >= 0;
        }
        std::vector<LevelChild> parts;
        snapshot_.cardAnyDepartment(ing, parts);
        int h = 0;
        for (const LevelChild& c : parts) {
            int below = 0;
            if (c.myLevel != 0 && !treeHeight(c.kodIng, below))
                return false;
            h = std::max(h, 1 + below);
        }
        heights_[ing] = h;
        height = h;
        return true;
    }
    const AmountList& expand(qint64 ing, qint64 otdel, int priceFlag) override
    {
        return expander_.ExpandToRawInto(list_, ing, otdel, 1.0, priceFlag, 0, false);
    }
    bool ownNodeSums(const PriceRow& r, int priceFlag, RawSums& out) override
    {
        // The expansion of a product with nothing to expand is its start node
        // alone (quantity 1); its sums are that node's, added to nothing. The
        // row names the places of its product and of itself, which the start
        // node's look-ups by key would find.
        const CatalogueSnapshot::Product* p = &snapshot_.productAt(r.productPlace);
        const CatalogueSnapshot::DepartmentRow* s = snapshot_.onlyRowAt(r.place);
        if (!s)
            s = snapshot_.firstSklad(r.kodIng, r.kodOtdel);
        if (!s) {
            out.cost = 0.0 + 0.0 * 1.0;
            out.kalories = 0.0 + 0.0 * 1.0;
            return true;
        }
        if (p->myLevel != 0)
            return false;
        const double price = priceFlag == 0 ? s->cena : s->myCena;
        out.cost = 0.0 + price * 1.0;
        out.kalories = 0.0 + p->kalories * 1.0;
        return true;
    }
    int& watch() override { return expander_.ZeroPriceWatch; }
    QStringList& zeroPriceLines() override { return expander_.ZeroPriceLines; }

    void writeLevel(qint64 ing, int old, int level) override
    {
        if (level == old)
            return;
        if (!levelQ_) {
            levelQ_ = std::make_unique<db::Query>(ctx_.database, ctx_.write);
            levelQ_->setSql(QStringLiteral("UPDATE ING SET MY_LEVEL = :LL WHERE KOD = :KD"));
        }
        levelQ_->param(QStringLiteral("LL")).setInt(level);
        levelQ_->param(QStringLiteral("KD")).setInt64(ing);
        levelQ_->execSql();
        snapshot_.setLevel(ing, level);
        // The remembered depths stay: only a composite is re-levelled, and it
        // drops to zero only with no parts (a leaf either way, one step down)
        // or with itself as its first part, when every walk that reached it
        // as a composite met a circle, which forgets every depth anyway.
        if ((old == 0) != (level == 0))
            levels_.clear();
    }
    void writeCena(const PriceRow& r, double cena) override
    {
        mirror(r, cena, r.myCena);
        if (cena != r.cena)
            cena_.add(r.kod, &cena);
    }
    void writePrices(const PriceRow& r, double cena, double myCena) override
    {
        mirror(r, cena, myCena);
        if (cena != r.cena || myCena != r.myCena) {
            const double v[] = {cena, myCena};
            prices_.add(r.kod, v);
        }
    }
    void writeMyCena(const PriceRow& r, double myCena) override
    {
        mirror(r, r.cena, myCena);
        if (myCena != r.myCena)
            myCena_.add(r.kod, &myCena);
    }
    // The snapshot's row holds the row's prices as they were read until the
    // run prices it, once: prices the same to the bit leave it as it is.
    void mirror(const PriceRow& r, double cena, double myCena)
    {
        if (std::memcmp(&cena, &r.cena, sizeof cena) != 0 || std::memcmp(&myCena, &r.myCena, sizeof myCena) != 0)
            snapshot_.setPrices(r.place, cena, myCena);
    }
    void writeKalories(qint64 ing, double kalories) override
    {
        // A product's calories are written once, at the end, with the value its
        // last department row gave (each row would have stored its own in turn).
        snapshot_.setKalories(ing, kalories);
        auto [it, added] = kaloriesHeld_.try_emplace(ing, kalories);
        if (added)
            kaloriesOrder_.push_back(ing);
        else
            it->second = kalories;
    }
    void finish() override
    {
        for (qint64 ing : kaloriesOrder_)
            kalories_.add(ing, &kaloriesHeld_[ing]);
        kaloriesOrder_.clear();
        kaloriesHeld_.clear();

        cena_.flush();
        prices_.flush();
        myCena_.flush();
        kalories_.flush();
        if (writer_)
            writer_->drain();
    }

private:
    Context ctx_;
    // Cores to spare for a whole-catalogue run: at most two connections read
    // the catalogue beside the run's own, and the writes go from a thread of
    // their own, only while there are.
    int spare_;
    CatalogueSnapshot snapshot_;
    Expander expander_;
    std::unordered_map<qint64, int> levels_;
    std::unordered_map<qint64, int> heights_;  // -1 while a part's depth is being worked out
    std::vector<LevelChild> children_;
    AmountList list_;  // the last expansion's, its storage kept for the next
    std::unique_ptr<db::Query> levelQ_;
    // A run over many rows with a core to spare sends its blocks from a thread
    // of its own while it computes the next rows: nothing else it does needs
    // the database meanwhile.
    std::unique_ptr<BlockWriter> writer_;
    BlockUpdate cena_;
    BlockUpdate prices_;
    BlockUpdate myCena_;
    BlockUpdate kalories_;
    std::unordered_map<qint64, double> kaloriesHeld_;
    std::vector<qint64> kaloriesOrder_;
};

// Reports progress about every half percent, and at the end.
class ProgressReporter {
public:
    explicit ProgressReporter(const engine::Progress& progress) : progress_(progress) {}
    void setMaximum(int maximum)
    {
        maximum_ = maximum;
        step_ = std::max(1, maximum / 200);
        report();
    }
    void advance()
    {
        ++position_;
        if (position_ - reported_ >= step_ || position_ >= maximum_)
            report();
    }

private:
    void report()
    {
        reported_ = position_;
        const int maximum = std::max(maximum_, position_);
        if (maximum != shownMaximum_ && progress_.start)
            progress_.start(maximum);
        shownMaximum_ = maximum;
        if (progress_.step)
            progress_.step(position_);
    }
    const engine::Progress& progress_;
    int shownMaximum_ = -1;
    int maximum_ = 0;
    int position_ = 0;
    int reported_ = 0;
    int step_ = 1;
};

void checkFinite(double value, const PriceRow& r)
{
    if (!std::isfinite(value))
        throw CardError(QStringLiteral("Цену продукта << ") + *r.nameI + QStringLiteral(" >> в подразделении(отделе) << ") +
                        *r.nameO + QStringLiteral(" >> рассчитать нельзя: проверьте цены и калькуляционные карты его состава !"));
}

// The departments of the scope's rows, so that the run reads no other; empty for all.
std::vector<qint64> scopeDepartments(const Context& ctx, const RecomputeScope& scope)
{
    if (scope.product == 0 && scope.where == 2)
        return {};
    bool hasWhere = false;
    QStringList t = rowQueryText(scope, hasWhere);
    t[0] = QStringLiteral("SELECT DISTINCT ING_SKLAD.KOD_OTDEL FROM ING_SKLAD");
    db::Query q(ctx.database, ctx.write);
    q.setSql(t);
    q.open();
    std::vector<qint64> deps;
    for (q.first(); !q.eof(); q.next())
        deps.push_back(q.field(0).asInt64());
    if (deps.empty() || deps.size() > 200)
        return deps.empty() ? std::vector<qint64>{-1} : std::vector<qint64>{};
    return deps;
}

} // namespace

void SetReferenceRoad(ReferenceRoad road) { referenceRoad() = std::move(road); }

RecomputeResult RecomputePrices(const Context& ctx, const RecomputeScope& scopeIn, const engine::Progress& progress, Road road)
{
    const RecomputeScope scope = effective(scopeIn);
    RecomputeResult result;
    ProgressReporter reporter(progress);

    std::unique_ptr<RecomputeRoad> roadImpl;
    if (road == Road::Literal) {
        if (!referenceRoad())
            throw std::logic_error("no reference road installed");
        roadImpl = referenceRoad()(ctx);
    } else {
        roadImpl = std::make_unique<MemoryRoad>(ctx, scope, scopeDepartments(ctx, scope));
    }

    // The price rows as they stand before the levels are checked count for the progress bar.
    std::vector<PriceRow> rows = roadImpl->rows(scope, false);
    const int levelRows = static_cast<int>(rows.size());
    int priceRows = 0;
    for (const PriceRow& r : rows)
        if (!scope.skipHidden || r.level == 0 || (r.level > 0 && r.openClose == 0))
            ++priceRows;
    reporter.setMaximum(levelRows + priceRows);

    // Pass 1: levels of the composites (raw products are never re-levelled here).
    {
        std::unordered_map<qint64, int> written;
        for (const PriceRow& r : rows) {
            reporter.advance();
            if (r.level <= 0)
                continue;
            const int computed = roadImpl->computeLevel(r.kodIng);
            if (computed == r.level)
                continue;
            auto w = written.find(r.kodIng);
            roadImpl->writeLevel(r.kodIng, w != written.end() ? w->second : r.level, computed);
            written[r.kodIng] = computed;
        }
        result.levelsChanged = static_cast<int>(written.size());
    }

    // Pass 2: prices and calories, in the order of the new levels (raw products first).
    // With no level changed the price rows are the level rows that pass the price query's condition.
    if (result.levelsChanged == 0) {
        if (scope.skipHidden)
            std::erase_if(rows, [](const PriceRow& r) {
                return r.levelNull || !(r.level == 0 || (r.level > 0 && r.openClose == 0));
            });
    } else {
        rows = roadImpl->rows(scope, true);
    }
    reporter.setMaximum(levelRows + static_cast<int>(rows.size()));
    roadImpl->watch() = 0;
    roadImpl->zeroPriceLines().clear();
    for (const PriceRow& r : rows) {
        reporter.advance();
        double cost = 0;
        double kalories = 0;
        if (r.kolvo > 0 && scope.keepStockPrice) {
            cost = r.cena;
            kalories = r.kalories;
        } else {
            // A raw product's list is its own node: its cost is its stock price,
            // whatever its price flag says, and it has no card whose markup would
            // add to it (RowCost), so only its row's markup makes its selling price.
            const int priceFlag = r.level == 0 ? 0 : r.cenaCompute;
            RawSums sums;
            if (!roadImpl->ownNodeSums(r, priceFlag, sums)) {
                const AmountList& list = roadImpl->expand(r.kodIng, r.kodOtdel, priceFlag);
                if (roadImpl->watch() == 1) {
                    result.aborted = true;
                    break;
                }
                sums = SumRawNodes(list);
            }
            cost = RowCost(r.level, sums.cost, r.percentPlus);
            kalories = sums.kalories;
        }
        checkFinite(cost, r);
        checkFinite(kalories, r);

        if (r.metod == 2) {
            if (r.myCena < cost) {
                result.warnings << QStringLiteral("Расчётная цена блюда << ") + *r.nameI +
                                       QStringLiteral(" >> в подразделении(отделе) << ") + *r.nameO +
                                       QStringLiteral(" >> больше назначенной вручную !");
                result.manualPriceWarning = true;
            }
            if (r.level > 0)
                roadImpl->writeCena(r, cost);
        } else {
            const double sale = PricesByMethod(ctx, cost, r.percent, r.metod, r.myCena).selling;
            checkFinite(sale, r);
            if (r.level > 0)
                roadImpl->writePrices(r, cost, sale);
            else
                roadImpl->writeMyCena(r, sale);
        }
        if (r.kalories != kalories)
            roadImpl->writeKalories(r.kodIng, kalories);
        ++result.rowsPriced;
    }
    roadImpl->finish();

    if (result.aborted) {
        result.warnings << roadImpl->zeroPriceLines()
                        << QStringLiteral("При расчёте обнаружены продукты которые участвуют в составных")
                        << QStringLiteral("продуктах а сами не имеют цены. Расчёт прерван !!!") << QStringLiteral(" ");
        result.zeroPriceWatch = 50;
    } else {
        result.zeroPriceWatch = roadImpl->watch();
    }
    return result;
}

} // namespace costing
