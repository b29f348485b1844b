#include "LiteralRoad.h"

#include "costing/CostingError.h"
#include "costing/RecomputeRoad.h"

#include "db/Query.h"

#include <algorithm>
#include <deque>

namespace costing {

namespace {

// A walk deeper than this has gone round a cyclic card.
constexpr int kDepthLimit = 200;

QString key(qint64 k) { return QString::number(k); }

[[noreturn]] void tooDeep(qint64 kod)
{
    throw CardError(QStringLiteral("Циклическая ссылка в калькуляционных картах (продукт с кодом ") + key(kod) +
                    QStringLiteral(") !"));
}

} // namespace

LiteralRoad::LiteralRoad(db::Database* database, db::Transaction* transaction)
    : q1_(std::make_unique<db::Query>(database, transaction)), q2_(std::make_unique<db::Query>(database, transaction))
{
}

LiteralRoad::~LiteralRoad() = default;

void LiteralRoad::expandOneLevel(int kvoPorc, int pass, qint64 master, qint64 otdel, double amount, int priceFlag,
                                 List& list, bool noIng)
{
    db::Query& q = *q1_;
    q.close();
    q.clearSql();
    q.addSql(QStringLiteral("SELECT KARTA.*, ING.VIHOD, ING.MY_LEVEL, ING.NAME, ING.PERCENT_PLUS,"));
    q.addSql(noIng ? QStringLiteral("ING.KVO_PORC, ING.KALORIES, ING_SKLAD.CENA, ING_SKLAD.MY_CENA, ING_SKLAD.KOD_OTDEL, ING_SKLAD.NO_ING FROM KARTA")
                   : QStringLiteral("ING.KVO_PORC, ING.KALORIES, ING_SKLAD.CENA, ING_SKLAD.MY_CENA, ING_SKLAD.KOD_OTDEL FROM KARTA"));
    q.addSql(QStringLiteral("INNER JOIN ING ON KARTA.KOD_ING = ING.KOD"));
    q.addSql(QStringLiteral("INNER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD"));
    q.addSql(QStringLiteral("WHERE KARTA.KOD_ING_MASTER = ") + key(master) + QStringLiteral(" AND ING_SKLAD.KOD_OTDEL = ") +
             key(otdel));
    q.addSql(QStringLiteral("AND KARTA.IS_ACTIVE > 0"));
    q.addSql(QStringLiteral("ORDER BY KARTA.KOD, ING_SKLAD.KOD"));
    q.open();
    for (q.first(); !q.eof(); q.next()) {
        const double percent = q.field(QStringLiteral("PERCENT")).asDouble();
        if (kvoPorc <= 0 || !(percent > 0))
            throw CardError(QStringLiteral("В калькуляционной карте продукта с кодом ") + key(master) +
                            QStringLiteral(" нулевой выход или количество порций !"));
        RIng n;
        n.NAME = q.field(QStringLiteral("NAME")).asString();
        n.KOD_ING = q.field(QStringLiteral("KOD_ING")).asInt64();
        n.KOD_OTDEL = q.field(QStringLiteral("KOD_OTDEL")).asInt64();
        n.MY_LEVEL = q.field(QStringLiteral("MY_LEVEL")).asInt();
        if (noIng && q.field(QStringLiteral("NO_ING")).asInt() != 0)
            n.MY_LEVEL = 0;
        n.DEPTH = pass + 1;
        n.KVO_PORC = q.field(QStringLiteral("KVO_PORC")).asInt();
        n.PERCENT = percent;
        const double kolvo = q.field(QStringLiteral("KOLVO")).asDouble();
        n.NETTO = kolvo * amount / kvoPorc;
        n.BRUTTO = ((kolvo * amount) / kvoPorc) * 100 / percent;
        n.CENA = q.field(QStringLiteral("CENA")).asDouble();
        n.PRICE = priceFlag == 0 ? n.CENA : q.field(QStringLiteral("MY_CENA")).asDouble();
        n.EXPANDED = 0;
        n.KALORIES = q.field(QStringLiteral("KALORIES")).asDouble();
        if (ZeroPriceWatch < 5 && n.MY_LEVEL == 0 && n.CENA <= 0) {
            ZeroPriceLines << (noIng ? n.NAME : QStringLiteral("Нулевая цена у продукта << ") + n.NAME + QStringLiteral(" >>"));
            ZeroPriceWatch = 1;
        }
        list.push_front(std::move(n));
    }
    q.close();
}

double LiteralRoad::getStockCached(qint64 ing, qint64 otdel)
{
    for (const StockNode& s : stock_)
        if (s.ing == ing && s.otdel == otdel)
            return std::max(0.0, s.kolvo);
    db::Query& q = *q1_;
    q.close();
    q.setSql(QStringList{QStringLiteral("SELECT ING.KALORIES, ING_SKLAD.KOLVO FROM ING"),
                         QStringLiteral("INNER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD"),
                         QStringLiteral("WHERE ING.KOD = ") + key(ing) + QStringLiteral(" AND ING_SKLAD.KOD_OTDEL = ") + key(otdel),
                         QStringLiteral("ORDER BY ING_SKLAD.KOD")});
    q.open();
    const double kolvo = q.isEmpty() ? 0.0 : q.field(QStringLiteral("KOLVO")).asDouble();
    q.close();
    stock_.push_front(StockNode{ing, otdel, kolvo});
    return std::max(0.0, kolvo);
}

void LiteralRoad::takeFromStockCache(qint64 ing, qint64 otdel, double amount)
{
    for (StockNode& s : stock_) {
        if (s.ing == ing && s.otdel == otdel) {
            s.kolvo = s.kolvo - amount < 1e-10 ? 0.0 : s.kolvo - amount;
            return;
        }
    }
}

void LiteralRoad::applyStock(List& list, int mode)
{
    for (auto it = list.begin(); it != list.end(); ++it) {
        RIng& n = *it;
        if (n.MY_LEVEL == 0 || n.EXPANDED != 0)
            continue;
        if (mode > 2) {
            n.MY_LEVEL = 0;
            continue;
        }
        const double s = getStockCached(n.KOD_ING, n.KOD_OTDEL);
        if (s >= n.BRUTTO) {
            n.MY_LEVEL = 0;
            takeFromStockCache(n.KOD_ING, n.KOD_OTDEL, n.BRUTTO);
        } else if (s > 0) {
            const double r = n.NETTO / n.BRUTTO;
            RIng part = n;
            part.MY_LEVEL = 0;
            part.BRUTTO = s;
            part.NETTO = s * r;
            n.BRUTTO = n.BRUTTO - s;
            n.NETTO = n.BRUTTO * r;
            list.push_front(std::move(part));
            takeFromStockCache(n.KOD_ING, n.KOD_OTDEL, s);
        }
    }
}

void LiteralRoad::merge(List& list)
{
    for (auto a = list.begin(); a != list.end(); ++a) {
        for (auto b = std::next(a); b != list.end();) {
            if (b->KOD_ING == a->KOD_ING && b->KOD_OTDEL == a->KOD_OTDEL && b->MY_LEVEL == a->MY_LEVEL &&
                b->PRICE == a->PRICE) {
                a->BRUTTO = a->BRUTTO + b->BRUTTO;
                a->NETTO = a->NETTO + b->NETTO;
                a->DEPTH = std::max(a->DEPTH, b->DEPTH);
                b = list.erase(b);
            } else {
                ++b;
            }
        }
    }
}

AmountList LiteralRoad::toAmountList(List&& list)
{
    AmountList out;
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        out.pushHead(std::move(*it));
    return out;
}

LiteralRoad::List LiteralRoad::expandToRaw(qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode,
                                           bool production, bool noIng)
{
    List list;
    db::Query& q = *q2_;
    q.close();
    q.clearSql();
    q.addSql(QStringLiteral("SELECT ING.VIHOD, ING.MY_LEVEL, ING.NAME, ING.PERCENT_PLUS,"));
    q.addSql(noIng ? QStringLiteral("ING.KVO_PORC, ING.KALORIES, ING_SKLAD.CENA, ING_SKLAD.MY_CENA, ING_SKLAD.KOD_OTDEL, ING_SKLAD.NO_ING FROM ING")
                   : QStringLiteral("ING.KVO_PORC, ING.KALORIES, ING_SKLAD.CENA, ING_SKLAD.MY_CENA, ING_SKLAD.KOD_OTDEL FROM ING"));
    q.addSql(QStringLiteral("INNER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD"));
    q.addSql(QStringLiteral("WHERE ING.KOD = ") + key(ing) + QStringLiteral(" AND ING_SKLAD.KOD_OTDEL = ") + key(otdel));
    q.addSql(QStringLiteral("ORDER BY ING_SKLAD.KOD"));
    q.open();
    RIng s;
    s.KOD_ING = ing;
    s.KOD_OTDEL = otdel;
    s.DEPTH = 0;
    s.PERCENT = 100;
    s.BRUTTO = quantity;
    s.NETTO = quantity;
    s.EXPANDED = 0;
    if (q.isEmpty()) {
        q.close();
        s.MY_LEVEL = 0;
        list.push_front(std::move(s));
        return list;
    }
    s.NAME = q.field(QStringLiteral("NAME")).asString();
    s.MY_LEVEL = q.field(QStringLiteral("MY_LEVEL")).asInt();
    if (noIng && q.field(QStringLiteral("NO_ING")).asInt() != 0)
        s.MY_LEVEL = 0;
    s.KVO_PORC = q.field(QStringLiteral("KVO_PORC")).asInt();
    s.CENA = q.field(QStringLiteral("CENA")).asDouble();
    s.KALORIES = q.field(QStringLiteral("KALORIES")).asDouble();
    s.PRICE = priceFlag == 0 ? s.CENA : q.field(QStringLiteral("MY_CENA")).asDouble();
    q.close();
    list.push_front(std::move(s));

    if (stockMode > 0 && !production)
        applyStock(list, 0);
    for (int pass = 0;; ++pass) {
        bool any = false;
        const auto passHead = list.begin();
        for (auto it = passHead; it != list.end(); ++it) {
            if (it->MY_LEVEL == 0 || it->EXPANDED != 0)
                continue;
            if (it->DEPTH > kDepthLimit)
                tooDeep(it->KOD_ING);
            it->EXPANDED = 1;
            any = true;
            expandOneLevel(it->KVO_PORC, pass, it->KOD_ING, otdel, it->BRUTTO, priceFlag, list, noIng);
            if (stockMode > 0)
                applyStock(list, stockMode);
        }
        if (!any)
            break;
    }
    merge(list);
    return list;
}

AmountList LiteralRoad::ExpandToRaw(qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode,
                                    bool production)
{
    return toAmountList(expandToRaw(ing, otdel, quantity, priceFlag, stockMode, production, false));
}

AmountList LiteralRoad::ExpandToRawNoIng(qint64 ing, qint64 otdel, double quantity, int priceFlag, int stockMode,
                                         bool production)
{
    return toAmountList(expandToRaw(ing, otdel, quantity, priceFlag, stockMode, production, true));
}

AmountList LiteralRoad::ExpandDocumentRows(int stockMode, bool production, db::Query& rows)
{
    List all;
    for (rows.first(); !rows.eof(); rows.next()) {
        List one = expandToRaw(rows.field(QStringLiteral("KOD_ING")).asInt64(),
                               rows.field(QStringLiteral("KOD_OTDEL")).asInt64(),
                               rows.field(QStringLiteral("KOLVO")).asDouble(),
                               rows.field(QStringLiteral("CENA_COMPUTE")).asInt(), stockMode, production, true);
        all.splice(all.end(), one);
    }
    merge(all);
    return toAmountList(std::move(all));
}

void LiteralRoad::addCardChildren(int depth, List& list, qint64 master)
{
    db::Query& q = *q1_;
    q.close();
    q.setSql(QStringList{QStringLiteral("SELECT KARTA.KOD_ING, ING.MY_LEVEL FROM KARTA"),
                         QStringLiteral("INNER JOIN ING ON KARTA.KOD_ING = ING.KOD"),
                         QStringLiteral("WHERE KARTA.KOD_ING_MASTER = ") + key(master),
                         QStringLiteral("AND KARTA.IS_ACTIVE > 0"),
                         QStringLiteral("ORDER BY KARTA.KOD")});
    q.open();
    for (q.first(); !q.eof(); q.next()) {
        RIng n;
        n.KOD_ING = q.field(QStringLiteral("KOD_ING")).asInt64();
        n.MY_LEVEL = q.field(QStringLiteral("MY_LEVEL")).asInt();
        n.DEPTH = depth + 1;
        n.EXPANDED = 0;
        list.push_front(std::move(n));
    }
    q.close();
}

LiteralRoad::List LiteralRoad::levelTree(qint64 ing)
{
    List list;
    addCardChildren(0, list, ing);
    for (int pass = 1;; ++pass) {
        bool any = false;
        const auto passHead = list.begin();
        for (auto it = passHead; it != list.end(); ++it) {
            if (it->MY_LEVEL == 0 || it->EXPANDED != 0)
                continue;
            if (it->DEPTH > kDepthLimit)
                tooDeep(it->KOD_ING);
            it->EXPANDED = 1;
            any = true;
            addCardChildren(pass, list, it->KOD_ING);
        }
        if (!any)
            break;
    }
    return list;
}

int LiteralRoad::ComputeLevel(qint64 ing)
{
    // The first active card row being the product itself makes it raw; its
    // tree is not walked (with a stale level it would never end).
    List first;
    addCardChildren(0, first, ing);
    if (first.empty() || first.back().KOD_ING == ing)
        return 0;
    const List list = levelTree(ing);
    int level = 0;
    for (const RIng& n : list)
        level = std::max(level, n.DEPTH);
    return level;
}

bool LiteralRoad::IsNotInComposition(qint64 host, qint64 candidate)
{
    // Every product reached through active card rows, whatever its stored
    // level, each asked about once.
    std::list<qint64> seen{host};
    std::list<qint64> todo{host};
    while (!todo.empty()) {
        const qint64 master = todo.front();
        todo.pop_front();
        q1_->close();
        q1_->setSql(QStringLiteral("SELECT KOD_ING FROM KARTA WHERE IS_ACTIVE > 0 AND KOD_ING_MASTER = ") + key(master));
        q1_->open();
        std::list<qint64> parts;
        for (q1_->first(); !q1_->eof(); q1_->next())
            parts.push_back(q1_->field(0).asInt64());
        q1_->close();
        for (qint64 part : parts) {
            if (part == master)
                continue;
            if (part == candidate)
                return false;
            if (std::find(seen.begin(), seen.end(), part) == seen.end()) {
                seen.push_back(part);
                todo.push_back(part);
            }
        }
    }
    return true;
}

namespace {

// The reference road: the row queries and a query per expanded node, every
// statement run as it comes.
class LiteralRecomputeRoad final : public RecomputeRoad {
public:
    explicit LiteralRecomputeRoad(const Context& ctx) : ctx_(ctx), road_(ctx.database, ctx.write) {}

    std::vector<PriceRow> rows(const RecomputeScope& scope, bool prices) override
    {
        db::Query q(ctx_.database, ctx_.write);
        q.setSql(prices ? PriceQueryText(scope) : LevelQueryText(scope));
        q.open();
        std::vector<PriceRow> out;
        for (q.first(); !q.eof(); q.next()) {
            PriceRow r;
            r.kod = q.field(QStringLiteral("KOD")).asInt64();
            r.kodIng = q.field(QStringLiteral("INGKOD")).asInt64();
            r.kodOtdel = q.field(QStringLiteral("KOD_OTDEL")).asInt64();
            r.level = q.field(QStringLiteral("MY_LEVEL")).asInt();
            r.levelNull = q.field(QStringLiteral("MY_LEVEL")).isNull();
            r.kolvo = q.field(QStringLiteral("KOLVO")).asDouble();
            r.cena = q.field(QStringLiteral("CENA")).asDouble();
            r.myCena = q.field(QStringLiteral("MY_CENA")).asDouble();
            r.kalories = q.field(QStringLiteral("KALORIES")).asDouble();
            r.percent = q.field(QStringLiteral("PERCENT")).asInt();
            r.metod = q.field(QStringLiteral("METOD_CENA")).asInt();
            r.percentPlus = q.field(QStringLiteral("PERCENT_PLUS")).asInt();
            r.cenaCompute = q.field(QStringLiteral("CENA_COMPUTE")).asInt();
            r.openClose = q.field(QStringLiteral("OPEN_CLOSE")).asInt();
            r.nameI = &names_.emplace_back(q.field(QStringLiteral("NAME_I")).asString());
            r.nameO = &names_.emplace_back(q.field(QStringLiteral("NAME_O")).asString());
            out.push_back(std::move(r));
        }
        return out;
    }
    int computeLevel(qint64 ing) override { return road_.ComputeLevel(ing); }
    const AmountList& expand(qint64 ing, qint64 otdel, int priceFlag) override
    {
        return last_ = road_.ExpandToRaw(ing, otdel, 1.0, priceFlag, 0, false);
    }
    int& watch() override { return road_.ZeroPriceWatch; }
    QStringList& zeroPriceLines() override { return road_.ZeroPriceLines; }

    void writeLevel(qint64 ing, int, int level) override
    {
        run(QStringLiteral("UPDATE ING SET MY_LEVEL = :LL WHERE KOD = ") + QString::number(ing),
            [&](db::Query& q) { q.param(QStringLiteral("LL")).setInt(level); });
    }
    void writeCena(const PriceRow& r, double cena) override
    {
        run(QStringLiteral("UPDATE ING_SKLAD SET CENA = :CN WHERE KOD = ") + QString::number(r.kod),
            [&](db::Query& q) { q.param(QStringLiteral("CN")).setDouble(cena); });
    }
    void writePrices(const PriceRow& r, double cena, double myCena) override
    {
        run(QStringLiteral("UPDATE ING_SKLAD SET CENA = :CN, MY_CENA = :MCN WHERE KOD = ") + QString::number(r.kod),
            [&](db::Query& q) {
                q.param(QStringLiteral("CN")).setDouble(cena);
                q.param(QStringLiteral("MCN")).setDouble(myCena);
            });
    }
    void writeMyCena(const PriceRow& r, double myCena) override
    {
        run(QStringLiteral("UPDATE ING_SKLAD SET MY_CENA = :MCN WHERE KOD = ") + QString::number(r.kod),
            [&](db::Query& q) { q.param(QStringLiteral("MCN")).setDouble(myCena); });
    }
    void writeKalories(qint64 ing, double kalories) override
    {
        run(QStringLiteral("UPDATE ING SET KALORIES = :KL WHERE KOD = :KD "), [&](db::Query& q) {
            q.param(QStringLiteral("KL")).setDouble(kalories);
            q.param(QStringLiteral("KD")).setString(QString::number(ing));
        });
    }
    void finish() override {}

private:
    template <typename Bind>
    void run(const QString& sql, Bind bind)
    {
        db::Query q(ctx_.database, ctx_.write);
        q.setSql(sql);
        bind(q);
        q.execSql();
    }
    Context ctx_;
    LiteralRoad road_;
    AmountList last_;
    std::deque<QString> names_;  // what the rows' names point to
};

} // namespace

void InstallLiteralRoad()
{
    SetReferenceRoad([](const Context& ctx) -> std::unique_ptr<RecomputeRoad> {
        return std::make_unique<LiteralRecomputeRoad>(ctx);
    });
}

} // namespace costing
