#include "CardEdit.h"

#include "CardSource.h"
#include "Composition.h"
#include "CostingError.h"
#include "Expansion.h"

#include "db/Codec.h"
#include "db/Query.h"

#include <unordered_set>

namespace costing {

namespace {

QString key(qint64 k) { return QString::number(k); }

// What the operation wrote so far is seen on its write transaction.
db::Transaction* reading(const Context& ctx)
{
    return ctx.write && ctx.write->active() ? ctx.write : ctx.read;
}

bool exists(const Context& ctx, const QString& sql)
{
    db::Query q(ctx.database, reading(ctx));
    q.setSql(sql);
    q.open();
    return !q.isEmpty();
}

void exec(const Context& ctx, const QString& sql)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(sql);
    q.execSql();
}

// The product's backup key and level as the edit cycle needs them.
struct CycleKeys {
    qint64 backup = 0;  // 0: none yet
    int level = 0;
    QString name;
};

CycleKeys cycleKeys(const Context& ctx, qint64 product)
{
    db::Query q(ctx.database, reading(ctx));
    q.setSql(QStringLiteral("SELECT KOD_UPDATE, MY_LEVEL, NAME FROM ING WHERE KOD = ") + key(product));
    q.open();
    if (q.isEmpty())
        throw CardError(QStringLiteral("Продукт не найден"));
    CycleKeys k;
    k.backup = q.field(QStringLiteral("KOD_UPDATE")).isNull() ? 0 : q.field(QStringLiteral("KOD_UPDATE")).asInt64();
    k.level = q.field(QStringLiteral("MY_LEVEL")).asInt();
    k.name = q.field(QStringLiteral("NAME")).asString();
    return k;
}

// A backup key no product holds: rows kept under it never mix with a real card.
bool usableBackupKey(const Context& ctx, qint64 product, qint64 backup)
{
    return backup != 0 && backup != product && !exists(ctx, QStringLiteral("SELECT 1 FROM ING WHERE KOD = ") + key(backup));
}

void runCycleProc(const Context& ctx, const QString& name, qint64 product, qint64 backup, const int* level = nullptr)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("EXECUTE PROCEDURE ") + name + QStringLiteral(" :KOD_ING_MASTER, :KOD_UPDATE") +
             (level ? QStringLiteral(", :MY_LEVEL") : QString()));
    q.param(QStringLiteral("KOD_ING_MASTER")).setString(key(product));
    q.param(QStringLiteral("KOD_UPDATE")).setString(key(backup));
    if (level)
        q.param(QStringLiteral("MY_LEVEL")).setInt(*level);
    q.execSql();
}

} // namespace

std::vector<CardRow> CardRows(const Context& ctx, qint64 master)
{
    db::Query q(ctx.database, reading(ctx));
    q.setSql(QStringLiteral("SELECT KOD, KOD_ING, KOLVO, PERCENT, IS_ACTIVE FROM KARTA WHERE KOD_ING_MASTER = ") + key(master) +
             QStringLiteral(" ORDER BY KOD"));
    q.open();
    std::vector<CardRow> rows;
    for (q.first(); !q.eof(); q.next()) {
        CardRow r;
        r.kod = q.field(0).asInt64();
        r.ing = q.field(1).asInt64();
        r.kolvo = q.field(2).asDouble();
        r.percent = q.field(3).asDouble();
        r.active = q.field(4).isNull() ? 1 : q.field(4).asInt();
        rows.push_back(r);
    }
    return rows;
}

bool InUnpostedDocuments(const Context& ctx, qint64 product)
{
    const QString p = key(product);
    return exists(ctx, QStringLiteral("SELECT MOVES.KOD FROM MOVES\nINNER JOIN DOCS ON DOCS.KOD = MOVES.KOD_DOC\n"
                                      "WHERE MOVES.KOD_ING = ") +
                           p + QStringLiteral(" AND DOCS.PROVODKA = 0")) ||
           exists(ctx, QStringLiteral("SELECT REAL_BLUDO.KOD FROM REAL_BLUDO\nINNER JOIN DOCS ON DOCS.KOD = REAL_BLUDO.KOD_DOC\n"
                                      "WHERE REAL_BLUDO.KOD_ING = ") +
                           p + QStringLiteral(" AND DOCS.PROVODKA = 0"));
}

bool EditCycleOpen(const Context& ctx, qint64 product)
{
    return exists(ctx, QStringLiteral("SELECT 1 FROM ING WHERE FLAG_UPDATE = 1 AND KOD = ") + key(product));
}

qint64 StartEditCycle(const Context& ctx, qint64 product)
{
    // The product's row first: two workstations starting at once take turns.
    exec(ctx, QStringLiteral("UPDATE ING SET FLAG_UPDATE = FLAG_UPDATE WHERE KOD = ") + key(product));
    CycleKeys k = cycleKeys(ctx, product);
    const bool open = EditCycleOpen(ctx, product);
    const bool usable = usableBackupKey(ctx, product, k.backup);
    db::Query g(ctx.database, ctx.write);
    g.setSql(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    g.open();
    const qint64 fresh = g.field(0).asInt64();
    exec(ctx, QStringLiteral("UPDATE ING SET KOD_UPDATE = ") + key(fresh) + QStringLiteral(" WHERE KOD = ") + key(product));
    if (open && usable) {
        // Taken over: the backup of the open cycle is the card before it began.
        exec(ctx, QStringLiteral("UPDATE KARTA SET KOD_ING_MASTER = ") + key(fresh) + QStringLiteral(" WHERE KOD_ING_MASTER = ") +
                      key(k.backup));
        return fresh;
    }
    if (usable)
        exec(ctx, QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER = ") + key(k.backup));
    runCycleProc(ctx, QStringLiteral("START_EDIT_KALK"), product, fresh, &k.level);
    return fresh;
}

bool HoldsEditCycle(const Context& ctx, qint64 product, qint64 cycle)
{
    exec(ctx, QStringLiteral("UPDATE ING SET FLAG_UPDATE = FLAG_UPDATE WHERE KOD = ") + key(product));
    return cycle != 0 && exists(ctx, QStringLiteral("SELECT 1 FROM ING WHERE FLAG_UPDATE = 1 AND KOD = ") + key(product) +
                                         QStringLiteral(" AND KOD_UPDATE = ") + key(cycle));
}

void EndEditCycle(const Context& ctx, qint64 product)
{
    const CycleKeys k = cycleKeys(ctx, product);
    if (usableBackupKey(ctx, product, k.backup))
        runCycleProc(ctx, QStringLiteral("END_EDIT_KALK"), product, k.backup);
    else
        exec(ctx, QStringLiteral("UPDATE ING SET FLAG_UPDATE = 0 WHERE KOD = ") + key(product));
}

void CancelEditCycle(const Context& ctx, qint64 product)
{
    const CycleKeys k = cycleKeys(ctx, product);
    // Without a backup key no cycle was ever opened here: the card stays as it is.
    if (usableBackupKey(ctx, product, k.backup))
        runCycleProc(ctx, QStringLiteral("CLEAR_EDIT_KALK"), product, k.backup);
    else
        exec(ctx, QStringLiteral("UPDATE ING SET FLAG_UPDATE = 0 WHERE KOD = ") + key(product));
}

qint64 AddCardRow(const Context& ctx, qint64 master, qint64 ingredient, double percent)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("EXECUTE PROCEDURE ADD_TO_KALK :KOD_ING_MASTER, :KOD_ING, :KOLVO, :PERCENT"));
    q.param(QStringLiteral("KOD_ING_MASTER")).setString(key(master));
    q.param(QStringLiteral("KOD_ING")).setString(key(ingredient));
    q.param(QStringLiteral("KOLVO")).setInt(0);
    q.param(QStringLiteral("PERCENT")).setDouble(percent);
    q.execSql();
    return q.field(QStringLiteral("KOD_NEW_RECORD")).asInt64();
}

void DeleteCardRow(const Context& ctx, qint64 row)
{
    exec(ctx, QStringLiteral("DELETE FROM KARTA WHERE KOD = ") + key(row));
}

void SetCardRowActive(const Context& ctx, qint64 row, bool active)
{
    exec(ctx, QStringLiteral("UPDATE KARTA SET IS_ACTIVE = ") + (active ? QStringLiteral("1") : QStringLiteral("0")) +
                  QStringLiteral(" WHERE KOD = ") + key(row));
}

void SetCardRowValue(const Context& ctx, qint64 row, CardFigure figure, double value)
{
    db::Query q(ctx.database, ctx.write);
    if (figure == CardFigure::Net) {
        q.setSql(QStringLiteral("UPDATE KARTA SET KOLVO = :V WHERE KOD = ") + key(row));
        q.param(QStringLiteral("V")).setDouble(value);
        q.execSql();
        return;
    }
    double percent = value;
    if (figure == CardFigure::Coefficient) {
        percent = 100.0 / value;
    } else if (figure == CardFigure::Gross) {
        db::Query net(ctx.database, reading(ctx));
        net.setSql(QStringLiteral("SELECT KOLVO FROM KARTA WHERE KOD = ") + key(row));
        net.open();
        if (net.isEmpty())
            return;
        const double kolvo = net.field(0).asDouble();
        if (!(kolvo > 0))
            throw CardError(QStringLiteral("Нетто этой строки не задано, поэтому брутто не из чего пересчитать в "
                                           "коэффициент. Сначала введите нетто."));
        percent = 100.0 * kolvo / value;
    }
    q.setSql(QStringLiteral("UPDATE KARTA SET PERCENT = :V WHERE KOD = ") + key(row));
    q.param(QStringLiteral("V")).setDouble(percent);
    q.execSql();
}

void SaveRecipe(const Context& ctx, qint64 product, const QString& text)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("UPDATE ING SET RECEPT = :T WHERE KOD = ") + key(product));
    q.param(QStringLiteral("T")).setString(text);
    q.execSql();
}

bool MakesCycle(const Context& ctx, qint64 master, qint64 ingredient)
{
    // The master in the ingredient's composition, on the card rows as they are (Composition.h).
    return master == ingredient || !IsNotInComposition(ctx, ingredient, master);
}

void ResetYieldsFromNorm(const Context& ctx, qint64 master)
{
    exec(ctx, QStringLiteral("UPDATE KARTA SET PERCENT = (SELECT ING.VIHOD FROM ING WHERE ING.KOD = KARTA.KOD_ING)\n"
                             "WHERE KOD_ING_MASTER = ") +
                  key(master));
}

bool HasStock(const Context& ctx, qint64 product)
{
    return exists(ctx, QStringLiteral("SELECT 1 FROM ING_SKLAD WHERE KOLVO <> 0 AND KOD_ING = ") + key(product));
}

SaveResult SaveCard(const Context& ctx, qint64 product, CardHeader header)
{
    SaveResult r;
    r.hasStock = HasStock(ctx, product);
    EndEditCycle(ctx, product);
    r.emptyCard = CardRows(ctx, product).empty();
    if (r.emptyCard) {
        header.cenaCompute = 0;
        exec(ctx, QStringLiteral("UPDATE ING SET MY_LEVEL = 0 WHERE KOD = ") + key(product));
    }
    {
        SqlCardSource source(ctx.database, ctx.write);
        Expander engine(source);
        r.level = engine.ComputeLevel(product);
    }
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("UPDATE ING SET KVO_PORC = :KP, PERCENT_PLUS = :PP, VIHOD_BLUDA = :VB, CENA_COMPUTE = :CC,\n"
                            "MY_LEVEL = :L, MANUAL_BRUTTO = :MB WHERE KOD = ") +
             key(product));
    q.param(QStringLiteral("KP")).setInt(header.kvoPorc);
    q.param(QStringLiteral("PP")).setInt(header.percentPlus);
    q.param(QStringLiteral("VB")).setString(header.vihod);
    q.param(QStringLiteral("CC")).setInt(header.cenaCompute);
    q.param(QStringLiteral("L")).setInt(r.level);
    q.param(QStringLiteral("MB")).setInt(header.manualBrutto);
    q.execSql();
    if (!r.hasStock) {
        RecomputeScope scope;
        scope.product = product;
        r.prices = RecomputePrices(ctx, scope);
    }
    return r;
}

CopyResult CopyDish(const Context& ctx, qint64 source, const QString& name)
{
    CopyResult r;
    db::Query g(ctx.database, ctx.write);
    g.setSql(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    g.open();
    r.kod = g.field(0).asInt64();

    db::Query src(ctx.database, ctx.write);
    src.setSql(QStringLiteral("SELECT KOD_GROUP FROM ING WHERE KOD = ") + key(source));
    src.open();
    if (src.isEmpty())
        throw CardError(QStringLiteral("Продукт не найден"));
    const qint64 group = src.field(0).asInt64();

    // The general columns come over as the database holds them, NULLs included.
    db::Query ins(ctx.database, ctx.write);
    ins.setSql(QStringLiteral(
                   "INSERT INTO ING (KOD, KOD_GROUP, NAME, MY_LEVEL, USE_MENU, ED_IZM, VIHOD,\n"
                   "PERCENT_PLUS, PERCENT_SKIDKA, VIHOD_BLUDA, DOP_INFO, KVO_PORC, MY_SECTION, CENA_COMPUTE)\n"
                   "SELECT :K, KOD_GROUP, :N, MY_LEVEL, USE_MENU, ED_IZM, VIHOD,\n"
                   "PERCENT_PLUS, PERCENT_SKIDKA, VIHOD_BLUDA, DOP_INFO, KVO_PORC, MY_SECTION, CENA_COMPUTE\n"
                   "FROM ING WHERE KOD = ") +
               key(source));
    ins.param(QStringLiteral("K")).setString(key(r.kod));
    ins.param(QStringLiteral("N")).setString(name);
    ins.execSql();

    db::Query row(ctx.database, ctx.write);
    row.setSql(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE)\n"
                              "VALUES (:KIM, :KI, :KVO, :P, :A)"));
    for (const CardRow& c : CardRows(ctx, source)) {
        row.param(QStringLiteral("KIM")).setString(key(r.kod));
        // A raw product's self row names the copy itself.
        row.param(QStringLiteral("KI")).setString(key(c.ing == source ? r.kod : c.ing));
        row.param(QStringLiteral("KVO")).setDouble(c.kolvo);
        row.param(QStringLiteral("P")).setDouble(c.percent);
        row.param(QStringLiteral("A")).setInt(c.active);
        row.execSql();
    }

    db::Query proc(ctx.database, ctx.write);
    proc.setSql(QStringLiteral("EXECUTE PROCEDURE ADD_ING_TO_ING_SKLAD :KOD_ING, :KOD_GROUP"));
    proc.param(QStringLiteral("KOD_ING")).setString(key(r.kod));
    proc.param(QStringLiteral("KOD_GROUP")).setString(key(group));
    proc.execSql();

    RecomputeScope scope;
    scope.product = r.kod;
    r.prices = RecomputePrices(ctx, scope);
    return r;
}

QString UnstorableTextRefusal(const QString& text)
{
    return db::unstorableTextRefusal(text);
}

} // namespace costing
