#include "CardSource.h"

#include "db/Query.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <unordered_set>

namespace costing {

namespace {

QString key(qint64 k) { return QString::number(k); }

} // namespace

// ---- SqlCardSource ----

SqlCardSource::SqlCardSource(db::Database* database, db::Transaction* transaction)
    : q_(std::make_unique<db::Query>(database, transaction))
{
}

SqlCardSource::~SqlCardSource() = default;

std::span<const CardRowData> SqlCardSource::cardInDepartment(qint64 master, qint64 otdel)
{
    auto it = cards_.find({master, otdel});
    if (it == cards_.end()) {
        std::vector<CardRowData> rows;
        db::Query& q = *q_;
        q.setSql(QStringList{
            QStringLiteral("SELECT KARTA.*, ING.VIHOD, ING.MY_LEVEL, ING.NAME, ING.PERCENT_PLUS,"),
            QStringLiteral("ING.KVO_PORC, ING.KALORIES, ING_SKLAD.CENA, ING_SKLAD.MY_CENA, ING_SKLAD.KOD_OTDEL, ING_SKLAD.NO_ING FROM KARTA"),
            QStringLiteral("INNER JOIN ING ON KARTA.KOD_ING = ING.KOD"),
            QStringLiteral("INNER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD"),
            QStringLiteral("WHERE KARTA.KOD_ING_MASTER = ") + key(master) + QStringLiteral(" AND ING_SKLAD.KOD_OTDEL = ") + key(otdel),
            QStringLiteral("AND KARTA.IS_ACTIVE > 0"),
            QStringLiteral("ORDER BY KARTA.KOD, ING_SKLAD.KOD")});
        q.open();
        const int fIng = q.fieldIndex(QStringLiteral("KOD_ING"));
        const int fKolvo = q.fieldIndex(QStringLiteral("KOLVO"));
        const int fPercent = q.fieldIndex(QStringLiteral("PERCENT"));
        const int fLevel = q.fieldIndex(QStringLiteral("MY_LEVEL"));
        const int fPorc = q.fieldIndex(QStringLiteral("KVO_PORC"));
        const int fKal = q.fieldIndex(QStringLiteral("KALORIES"));
        const int fName = q.fieldIndex(QStringLiteral("NAME"));
        const int fOtdel = q.fieldIndex(QStringLiteral("KOD_OTDEL"));
        const int fCena = q.fieldIndex(QStringLiteral("CENA"));
        const int fMyCena = q.fieldIndex(QStringLiteral("MY_CENA"));
        const int fNoIng = q.fieldIndex(QStringLiteral("NO_ING"));
        for (q.first(); !q.eof(); q.next()) {
            CardRowData r;
            r.kodIng = q.field(fIng).asInt64();
            r.kolvo = q.field(fKolvo).asDouble();
            r.percent = q.field(fPercent).asDouble();
            r.myLevel = q.field(fLevel).asInt();
            r.kvoPorc = q.field(fPorc).asInt();
            r.kalories = q.field(fKal).asDouble();
            r.name = &names_.try_emplace(r.kodIng, q.field(fName).asString()).first->second;
            r.kodOtdel = q.field(fOtdel).asInt64();
            r.cena = q.field(fCena).asDouble();
            r.myCena = q.field(fMyCena).asDouble();
            r.noIng = q.field(fNoIng).asInt();
            rows.push_back(std::move(r));
        }
        q.close();
        it = cards_.emplace(std::make_pair(master, otdel), std::move(rows)).first;
    }
    return it->second;
}

bool SqlCardSource::productInDepartment(qint64 ing, qint64 otdel, ProductData& out)
{
    db::Query& q = *q_;
    q.setSql(QStringList{
        QStringLiteral("SELECT ING.VIHOD, ING.MY_LEVEL, ING.NAME, ING.PERCENT_PLUS,"),
        QStringLiteral("ING.KVO_PORC, ING.KALORIES, ING_SKLAD.CENA, ING_SKLAD.MY_CENA, ING_SKLAD.KOD_OTDEL, ING_SKLAD.NO_ING FROM ING"),
        QStringLiteral("INNER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD"),
        QStringLiteral("WHERE ING.KOD = ") + key(ing) + QStringLiteral(" AND ING_SKLAD.KOD_OTDEL = ") + key(otdel),
        QStringLiteral("ORDER BY ING_SKLAD.KOD")});
    q.open();
    const bool found = !q.isEmpty();
    if (found) {
        out.myLevel = q.field(QStringLiteral("MY_LEVEL")).asInt();
        out.kvoPorc = q.field(QStringLiteral("KVO_PORC")).asInt();
        out.kalories = q.field(QStringLiteral("KALORIES")).asDouble();
        out.name = &names_.try_emplace(ing, q.field(QStringLiteral("NAME")).asString()).first->second;
        out.cena = q.field(QStringLiteral("CENA")).asDouble();
        out.myCena = q.field(QStringLiteral("MY_CENA")).asDouble();
        out.noIng = q.field(QStringLiteral("NO_ING")).asInt();
    }
    q.close();
    return found;
}

void SqlCardSource::cardAnyDepartment(qint64 master, std::vector<LevelChild>& out)
{
    auto it = levelCards_.find(master);
    if (it == levelCards_.end()) {
        std::vector<LevelChild> rows;
        db::Query& q = *q_;
        q.setSql(QStringList{QStringLiteral("SELECT KARTA.KOD_ING, ING.MY_LEVEL FROM KARTA"),
                             QStringLiteral("INNER JOIN ING ON KARTA.KOD_ING = ING.KOD"),
                             QStringLiteral("WHERE KARTA.KOD_ING_MASTER = ") + key(master),
                             QStringLiteral("AND KARTA.IS_ACTIVE > 0"),
                             QStringLiteral("ORDER BY KARTA.KOD")});
        q.open();
        for (q.first(); !q.eof(); q.next())
            rows.push_back(LevelChild{q.field(0).asInt64(), q.field(1).asInt()});
        q.close();
        it = levelCards_.emplace(master, std::move(rows)).first;
    }
    out = it->second;
}

double SqlCardSource::stockInDepartment(qint64 ing, qint64 otdel)
{
    db::Query& q = *q_;
    q.setSql(QStringList{QStringLiteral("SELECT ING.KALORIES, ING_SKLAD.KOLVO FROM ING"),
                         QStringLiteral("INNER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD"),
                         QStringLiteral("WHERE ING.KOD = ") + key(ing) + QStringLiteral(" AND ING_SKLAD.KOD_OTDEL = ") + key(otdel),
                         QStringLiteral("ORDER BY ING_SKLAD.KOD")});
    q.open();
    const double kolvo = q.isEmpty() ? 0.0 : q.field(QStringLiteral("KOLVO")).asDouble();
    q.close();
    return kolvo;
}

QString SqlCardSource::productName(qint64 ing)
{
    db::Query& q = *q_;
    q.setSql(QStringLiteral("SELECT NAME FROM ING WHERE KOD = ") + key(ing));
    q.open();
    const QString name = q.isEmpty() ? QString() : q.field(0).asString();
    q.close();
    return name;
}

// ---- CatalogueSnapshot ----

namespace {

// Rows whose key column holds one of many keys, read with one prepared
// statement that takes a fixed number of keys a run (places left over hold
// NULL, which matches nothing). Written into the text, every list of keys
// would be compiled anew, and the server takes longer to compile a long list
// than to read its rows.
class KeyedRead {
public:
    // The server tests every row it finds against each key of the run: much
    // longer runs cost more in tests than they save in runs.
    static constexpr size_t kKeys = 16;

    // select ends with the key column: "SELECT ... FROM T WHERE ... AND KOD".
    KeyedRead(db::Database* database, db::Transaction* transaction, const QString& select)
        : q_(database, transaction)
    {
        QStringList marks;
        for (size_t i = 0; i < kKeys; ++i) {
            names_.push_back(QStringLiteral("K%1").arg(i));
            marks << QLatin1Char(':') + names_.back();
        }
        q_.setSql(select + QStringLiteral(" IN (") + marks.join(QLatin1Char(',')) + QLatin1Char(')'));
    }

    void read(const std::vector<qint64>& keys, const std::function<void(const db::RowView&)>& each)
    {
        for (size_t from = 0; from < keys.size(); from += kKeys) {
            for (size_t i = 0; i < kKeys; ++i) {
                db::Param& p = q_.param(names_[i]);
                if (from + i < keys.size())
                    p.setInt64(keys[from + i]);
                else
                    p.setNull();
            }
            q_.stream(each);
        }
    }

private:
    db::Query q_;
    std::vector<QString> names_;
};

} // namespace

CatalogueSnapshot CatalogueSnapshot::ProductTree(db::Database* database, db::Transaction* transaction, qint64 product,
                                                const std::vector<qint64>& departments)
{
    return CatalogueSnapshot(database, transaction, TreeTag{}, std::vector<qint64>{product}, departments);
}

CatalogueSnapshot CatalogueSnapshot::ProductTrees(db::Database* database, db::Transaction* transaction,
                                                  const std::vector<qint64>& products,
                                                  const std::vector<qint64>& departments)
{
    return CatalogueSnapshot(database, transaction, TreeTag{}, products, departments);
}

namespace {

// The product and department-row reads: their columns, then a row of each.
const QString kProductColumns = QStringLiteral(
    "SELECT KOD, MY_LEVEL, KVO_PORC, KALORIES, NAME, PERCENT_PLUS, CENA_COMPUTE, KOD_GROUP FROM ING");
const QString kCardColumns =
    QStringLiteral("SELECT KOD, KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT FROM KARTA WHERE IS_ACTIVE > 0");
const QString kDepartmentRowColumns = QStringLiteral(
    "SELECT KOD, KOD_ING, KOD_OTDEL, KOLVO, CENA, MY_CENA, NO_ING, KOD_FIRMA, PERCENT, METOD_CENA, OPEN_CLOSE "
    "FROM ING_SKLAD");

CatalogueSnapshot::Product productOf(const db::RowView& r)
{
    CatalogueSnapshot::Product i;
    i.kod = r.asInt64(0);
    i.myLevel = r.asInt(1);
    i.levelNull = r.isNull(1);
    i.kvoPorc = r.asInt(2);
    i.kalories = r.asDouble(3);
    i.name = r.asString(4);
    i.percentPlus = r.asInt(5);
    i.cenaCompute = r.asInt(6);
    i.group = r.asInt64(7);
    i.groupNull = r.isNull(7);
    return i;
}

CatalogueSnapshot::DepartmentRow departmentRowOf(const db::RowView& r)
{
    CatalogueSnapshot::DepartmentRow d;
    d.kod = r.asInt64(0);
    d.kodIng = r.asInt64(1);
    d.kodOtdel = r.asInt64(2);
    d.kolvo = r.asDouble(3);
    d.cena = r.asDouble(4);
    d.myCena = r.asDouble(5);
    d.noIng = r.asInt(6);
    d.kodFirma = r.asInt64(7);
    d.firmaNull = r.isNull(7);
    d.percent = r.asInt(8);
    d.metod = r.asInt(9);
    d.openClose = r.asInt(10);
    return d;
}

} // namespace

CatalogueSnapshot::CatalogueSnapshot(db::Database* database, db::Transaction* transaction, TreeTag,
                                     const std::vector<qint64>& products, const std::vector<qint64>& departments)
{
    // Each read goes by the index of the keys it names and is put in key order
    // here: asked to sort, the server may walk a whole table in key order.

    // The card tree, a level at a time: the rows of every master reached so far.
    std::vector<std::pair<qint64, Karta>> rows;  // (KARTA.KOD, row)
    std::unordered_set<qint64> seen;
    std::vector<qint64> tree;
    for (qint64 p : products)
        if (seen.insert(p).second)
            tree.push_back(p);
    {
        KeyedRead cards(database, transaction, kCardColumns + QStringLiteral(" AND KOD_ING_MASTER"));
        std::vector<qint64> frontier = tree;
        while (!frontier.empty()) {
            std::vector<qint64> next;
            cards.read(frontier, [&](const db::RowView& r) {
                if (r.isNull(1) || r.isNull(2))
                    return;
                const Karta k{r.asInt64(1), r.asInt64(2), r.asDouble(3), r.asDouble(4)};
                rows.emplace_back(r.asInt64(0), k);
                if (seen.insert(k.ing).second) {
                    tree.push_back(k.ing);
                    next.push_back(k.ing);
                }
            });
            frontier = std::move(next);
        }
    }
    takeCards(rows);

    // The products and their department rows, with the columns and the
    // sifting of the whole catalogue's reads.
    std::sort(tree.begin(), tree.end());
    KeyedRead(database, transaction, kProductColumns + QStringLiteral(" WHERE KOD"))
        .read(tree, [this](const db::RowView& r) { ings_.push_back(productOf(r)); });
    inKeyOrder(ings_);
    indexProducts();

    // The departments are sifted here: a condition on them would lead the
    // server to their index, which covers most of the table.
    KeyedRead(database, transaction, kDepartmentRowColumns + QStringLiteral(" WHERE KOD_ING"))
        .read(tree, [this](const db::RowView& r) {
            if (!r.isNull(1) && !r.isNull(2))
                sklad_.push_back(departmentRowOf(r));
        });
    if (!departments.empty()) {
        const std::unordered_set<qint64> wanted(departments.begin(), departments.end());
        std::erase_if(sklad_, [&](const DepartmentRow& r) { return !wanted.count(r.kodOtdel); });
    }
    inKeyOrder(sklad_);
    indexDepartmentRows();
    linkCards();
    db::Query q(database, transaction);
    readDepartments(q);
}

void CatalogueSnapshot::readCards(db::Query& q, const QString& where, KartaRows& out)
{
    q.setSql(kCardColumns + where);
    q.stream([&out](const db::RowView& r) {
        if (r.isNull(1) || r.isNull(2))
            return;
        out.emplace_back(r.asInt64(0), Karta{r.asInt64(1), r.asInt64(2), r.asDouble(3), r.asDouble(4)});
    });
}

void CatalogueSnapshot::takeCards(KartaRows& rows)
{
    // Cards written master by master lie in this order already.
    const auto byMaster = [](const auto& a, const auto& b) {
        return a.second.master != b.second.master ? a.second.master < b.second.master : a.first < b.first;
    };
    if (!std::is_sorted(rows.begin(), rows.end(), byMaster))
        std::sort(rows.begin(), rows.end(), byMaster);
    karta_.reserve(rows.size());
    for (const auto& r : rows)
        karta_.push_back(r.second);
    indexCards();
}

void CatalogueSnapshot::readProductsInto(db::Query& q, const QString& tail, std::vector<Product>& out)
{
    q.setSql(kProductColumns + tail);
    q.stream([&out](const db::RowView& r) { out.push_back(productOf(r)); });
}

void CatalogueSnapshot::indexProducts()
{
    ingIndex_.reserve(ings_.size());
    for (size_t i = 0; i < ings_.size(); ++i)
        ingIndex_.insert(ings_[i].kod, static_cast<int>(i));
}

void CatalogueSnapshot::readDepartmentRowsInto(db::Query& q, const QString& tail, std::vector<DepartmentRow>& out)
{
    q.setSql(kDepartmentRowColumns + tail);
    q.stream([&out](const db::RowView& r) {
        if (!r.isNull(1) && !r.isNull(2))  // a row without a product or a department joins nothing
            out.push_back(departmentRowOf(r));
    });
}

void CatalogueSnapshot::indexDepartmentRows()
{
    skladByPair_.reserve(sklad_.size());
    nextSamePair_.assign(sklad_.size(), -1);
    for (int i = static_cast<int>(sklad_.size()) - 1; i >= 0; --i) {
        const DepartmentRow& s = sklad_[static_cast<size_t>(i)];
        auto [first, added] = skladByPair_.insert({s.kodIng, s.kodOtdel}, i);
        if (!added) {
            nextSamePair_[static_cast<size_t>(i)] = *first;
            *first = i;
            duplicatePairs_ = true;
        }
    }
}

void CatalogueSnapshot::indexCards()
{
    for (size_t i = 0; i < karta_.size();) {
        size_t j = i;
        while (j < karta_.size() && karta_[j].master == karta_[i].master)
            ++j;
        kartaByMaster_.insert(karta_[i].master, static_cast<int>(masterRanges_.size()));
        masterRanges_.emplace_back(static_cast<int>(i), static_cast<int>(j));
        i = j;
    }
}

void CatalogueSnapshot::linkCards()
{
    for (Karta& k : karta_)
        k.ingAt = ingIndex_.find(k.ing);
}

void CatalogueSnapshot::readDepartments(db::Query& q)
{
    q.setSql(QStringLiteral("SELECT KOD, NAME FROM OTDEL"));
    q.stream([this](const db::RowView& r) { otdel_.emplace(r.asInt64(0), r.asString(1)); });
}

const CatalogueSnapshot::Product* CatalogueSnapshot::product(qint64 kod) const
{
    const int at = ingIndex_.find(kod);
    return at < 0 ? nullptr : &ings_[static_cast<size_t>(at)];
}

const QString* CatalogueSnapshot::departmentName(qint64 kod) const
{
    auto it = otdel_.find(kod);
    return it == otdel_.end() ? nullptr : &it->second;
}

CatalogueSnapshot::~CatalogueSnapshot() = default;

CatalogueSnapshot::Product* CatalogueSnapshot::ing(qint64 kod)
{
    const int at = ingIndex_.find(kod);
    return at < 0 ? nullptr : &ings_[static_cast<size_t>(at)];
}

const CatalogueSnapshot::DepartmentRow* CatalogueSnapshot::firstSklad(qint64 ing, qint64 otdel) const
{
    const int at = skladByPair_.find({ing, otdel});
    return at < 0 ? nullptr : &sklad_[static_cast<size_t>(at)];
}

std::span<const CardRowData> CatalogueSnapshot::cardInDepartment(qint64 master, qint64 otdel)
{
    const std::pair<qint64, qint64> key{master, otdel};
    int at = memo_.find(key);
    if (at < 0) {
        const int first = static_cast<int>(memoRows_.size());
        const int range = kartaByMaster_.find(master);
        if (range >= 0) {
            const Range rows = masterRanges_[static_cast<size_t>(range)];
            for (int i = rows.first; i < rows.second; ++i) {
                const Karta& k = karta_[static_cast<size_t>(i)];
                if (k.ingAt < 0)
                    continue;
                for (int si = skladByPair_.find({k.ing, otdel}); si >= 0;
                     si = duplicatePairs_ ? nextSamePair_[static_cast<size_t>(si)] : -1)
                    memoRows_.push_back(MemoRow{&k, &ings_[static_cast<size_t>(k.ingAt)], &sklad_[static_cast<size_t>(si)]});
            }
        }
        if (memoValues_.capacity() < memoRows_.size())
            memoValues_.reserve(std::max(memoRows_.size(), 2 * memoValues_.capacity()));
        memoValues_.resize(memoRows_.size());
        at = static_cast<int>(memos_.size());
        memos_.push_back(Memo{first, static_cast<int>(memoRows_.size()), 0});
        memo_.insert(key, at);
    }
    Memo& memo = memos_[static_cast<size_t>(at)];
    const Range rows{memo.first, memo.last};
    if (memo.read != changes_) {
        // The values as they stand: the run has changed some since they were read.
        for (int i = rows.first; i < rows.second; ++i) {
            const MemoRow& m = memoRows_[static_cast<size_t>(i)];
            CardRowData& r = memoValues_[static_cast<size_t>(i)];
            r.kodIng = m.k->ing;
            r.kolvo = m.k->kolvo;
            r.percent = m.k->percent;
            r.myLevel = m.ing->myLevel;
            r.kvoPorc = m.ing->kvoPorc;
            r.kalories = m.ing->kalories;
            r.name = &m.ing->name;
            r.kodOtdel = m.sklad->kodOtdel;
            r.cena = m.sklad->cena;
            r.myCena = m.sklad->myCena;
            r.noIng = m.sklad->noIng;
        }
        memo.read = changes_;
    }
    return {memoValues_.data() + rows.first, static_cast<size_t>(rows.second - rows.first)};
}

bool CatalogueSnapshot::productInDepartment(qint64 kod, qint64 otdel, ProductData& out)
{
    const Product* in = ing(kod);
    const DepartmentRow* s = firstSklad(kod, otdel);
    if (!in || !s)
        return false;
    out.myLevel = in->myLevel;
    out.kvoPorc = in->kvoPorc;
    out.kalories = in->kalories;
    out.name = &in->name;
    out.cena = s->cena;
    out.myCena = s->myCena;
    out.noIng = s->noIng;
    return true;
}

void CatalogueSnapshot::cardAnyDepartment(qint64 master, std::vector<LevelChild>& out)
{
    out.clear();
    const int range = kartaByMaster_.find(master);
    if (range < 0)
        return;
    const Range rows = masterRanges_[static_cast<size_t>(range)];
    for (int i = rows.first; i < rows.second; ++i) {
        const Karta& k = karta_[static_cast<size_t>(i)];
        if (k.ingAt >= 0)
            out.push_back(LevelChild{k.ing, ings_[static_cast<size_t>(k.ingAt)].myLevel});
    }
}

double CatalogueSnapshot::stockInDepartment(qint64 kod, qint64 otdel)
{
    if (!ing(kod))
        return 0;
    const DepartmentRow* s = firstSklad(kod, otdel);
    return s ? s->kolvo : 0.0;
}

QString CatalogueSnapshot::productName(qint64 kod)
{
    const Product* in = ing(kod);
    return in ? in->name : QString();
}

namespace {

// Sets a mirrored value; true when it changed (bit for bit: a NaN never equals itself).
template <class T>
bool changed(T& stored, T value)
{
    if (std::memcmp(&stored, &value, sizeof value) == 0)
        return false;
    stored = value;
    return true;
}

} // namespace

void CatalogueSnapshot::setLevel(qint64 kod, int level)
{
    if (Product* in = ing(kod); in && changed(in->myLevel, level))
        ++changes_;
}

void CatalogueSnapshot::setKalories(qint64 kod, double kalories)
{
    if (Product* in = ing(kod); in && changed(in->kalories, kalories))
        ++changes_;
}

void CatalogueSnapshot::setPrices(int place, double cena, double myCena)
{
    DepartmentRow& s = sklad_.at(static_cast<size_t>(place));
    const bool a = changed(s.cena, cena);
    const bool b = changed(s.myCena, myCena);
    if (a || b)
        ++changes_;
}

} // namespace costing
