#include "DepartmentRows.h"

#include "AmountList.h"
#include "CardSource.h"
#include "Expansion.h"

#include "db/Query.h"
#include "engine/Changes.h"

namespace costing {

namespace {

const QString& codeColumn(CodeKind kind)
{
    static const QString barcode = QStringLiteral("S_KOD");
    static const QString accounting = QStringLiteral("KOD_1S");
    return kind == CodeKind::Barcode ? barcode : accounting;
}

// The name of the product of the first row found, or std::nullopt.
std::optional<QString> firstName(db::Query& q)
{
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    return q.field(QStringLiteral("NAME")).asString();
}

// " AND KOD_FIRMA = :F" for the enterprise's rows only.
QString enterpriseFilter(int where) { return where == 1 ? QStringLiteral(" AND KOD_FIRMA = :F") : QString(); }

} // namespace

std::optional<DepartmentRow> ReadDepartmentRow(const Context& ctx, qint64 kod)
{
    db::Query q(ctx.database, ctx.read);
    q.setSql(QStringList{QStringLiteral("SELECT ING_SKLAD.*, ING.NAME, ING.MY_LEVEL, ING.KVO_PORC, ING.CENA_COMPUTE, "
                                        "ING.PERCENT_PLUS FROM ING_SKLAD"),
                         QStringLiteral("INNER JOIN ING ON ING.KOD = ING_SKLAD.KOD_ING"),
                         QStringLiteral("WHERE ING_SKLAD.KOD = :K")});
    q.param(QStringLiteral("K")).setInt64(kod);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    const auto f = [&q](const char* name) { return q.field(QString::fromLatin1(name)); };
    DepartmentRow r;
    r.kod = kod;
    r.kodIng = f("KOD_ING").asInt64();
    r.kodFirma = f("KOD_FIRMA").asInt64();
    r.kodOtdel = f("KOD_OTDEL").asInt64();
    r.cena = f("CENA").asDouble();
    r.myCena = f("MY_CENA").asDouble();
    r.percent = f("PERCENT").asInt();
    r.metod = f("METOD_CENA").asInt();
    r.noIng = f("NO_ING").asInt();
    r.openClose = f("OPEN_CLOSE").asInt();
    r.kodKassa = f("KOD_KASSA").asInt();
    r.sKod = f("S_KOD").asString();
    r.kod1S = f("KOD_1S").asString();
    r.limit = f("LIMIT").asDouble();
    r.name = f("NAME").asString();
    r.myLevel = f("MY_LEVEL").asInt();
    r.kvoPorc = f("KVO_PORC").asInt();
    r.cenaCompute = f("CENA_COMPUTE").asInt();
    r.percentPlus = f("PERCENT_PLUS").asInt();
    r.shown = engine::ShownRow::of(q, QStringLiteral("ING_SKLAD"), r.name,
                                   {{QStringLiteral("CENA"), QStringLiteral("цена складская")},
                                    {QStringLiteral("MY_CENA"), QStringLiteral("цена продажи")},
                                    {QStringLiteral("PERCENT"), QStringLiteral("% надбавки")},
                                    {QStringLiteral("METOD_CENA"), QStringLiteral("метод расчёта цены продажи")},
                                    {QStringLiteral("NO_ING"), QStringLiteral("метод списания")},
                                    {QStringLiteral("OPEN_CLOSE"), QStringLiteral("видимость в подразделении")},
                                    {QStringLiteral("KOD_KASSA"), QStringLiteral("код для кассы")},
                                    {QStringLiteral("S_KOD"), QStringLiteral("штрих-код")},
                                    {QStringLiteral("KOD_1S"), QStringLiteral("код в 1С")},
                                    {QStringLiteral("LIMIT"), QStringLiteral("минимальное количество на складе")}});
    return r;
}

qint64 FindDepartmentRow(const Context& ctx, qint64 ing, qint64 otdel)
{
    db::Query q(ctx.database, ctx.read);
    q.setSql(QStringLiteral("SELECT KOD FROM ING_SKLAD WHERE KOD_ING = :I AND KOD_OTDEL = :O"));
    q.param(QStringLiteral("I")).setInt64(ing);
    q.param(QStringLiteral("O")).setInt64(otdel);
    q.open();
    return q.isEmpty() ? 0 : q.field(0).asInt64();
}

int ProductLevel(const Context& ctx, qint64 ing)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("SELECT MY_LEVEL FROM ING WHERE KOD = ") + QString::number(ing));
    q.open();
    return q.isEmpty() ? 0 : q.field(0).asInt();
}

double CompositeCost(const Context& ctx, const DepartmentRow& row)
{
    SqlCardSource source(ctx.database, ctx.read);
    Expander expander(source);
    const AmountList list = expander.ExpandToRaw(row.kodIng, row.kodOtdel, 1.0, row.cenaCompute, 0, false);
    return RowCost(row.myLevel, SumRawNodes(list).cost, row.percentPlus);
}

void WriteDepartmentRow(const Context& ctx, const DepartmentEdit& e)
{
    QStringList sets;
    if (e.writeCena)
        sets << QStringLiteral("CENA = :CENA");
    sets << QStringLiteral("MY_CENA = :MY_CENA") << QStringLiteral("PERCENT = :PERCENT")
         << QStringLiteral("METOD_CENA = :METOD") << QStringLiteral("NO_ING = :NO_ING")
         << QStringLiteral("OPEN_CLOSE = :OPEN_CLOSE") << QStringLiteral("KOD_KASSA = :KASSA")
         << QStringLiteral("S_KOD = :S_KOD") << QStringLiteral("KOD_1S = :KOD_1S") << QStringLiteral("LIMIT = :LIMIT");
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("UPDATE ING_SKLAD SET ") + sets.join(QStringLiteral(", ")) +
             QStringLiteral(" WHERE KOD = ") + QString::number(e.kod));
    if (e.writeCena)
        q.param(QStringLiteral("CENA")).setDouble(e.cena);
    q.param(QStringLiteral("MY_CENA")).setDouble(e.myCena);
    q.param(QStringLiteral("PERCENT")).setInt(e.percent);
    q.param(QStringLiteral("METOD")).setInt(e.metod);
    q.param(QStringLiteral("NO_ING")).setInt(e.noIng);
    q.param(QStringLiteral("OPEN_CLOSE")).setInt(e.openClose);
    q.param(QStringLiteral("KASSA")).setInt(e.kodKassa);
    q.param(QStringLiteral("S_KOD")).setString(e.sKod);
    q.param(QStringLiteral("KOD_1S")).setString(e.kod1S);
    q.param(QStringLiteral("LIMIT")).setDouble(e.limit);
    q.execSql();
    engine::NoteChange(ctx, QStringLiteral("ING_SKLAD"), e.kod);
}

void SpreadCode(const Context& ctx, qint64 ing, CodeKind kind, const QString& code)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("UPDATE ING_SKLAD SET ") + codeColumn(kind) + QStringLiteral(" = :KS WHERE KOD_ING = :KI"));
    q.param(QStringLiteral("KS")).setString(code);
    q.param(QStringLiteral("KI")).setInt64(ing);
    q.execSql();
}

std::optional<QString> KassaCodeHolder(const Context& ctx, int code, qint64 rowKod)
{
    db::Query q(ctx.database, ctx.read);
    q.setSql(QStringLiteral("SELECT ING_SKLAD.KOD, ING.NAME FROM ING_SKLAD LEFT OUTER JOIN ING ON ING.KOD = "
                            "ING_SKLAD.KOD_ING WHERE ING_SKLAD.KOD_KASSA = :C AND ING_SKLAD.KOD <> :K"));
    q.param(QStringLiteral("C")).setInt(code);
    q.param(QStringLiteral("K")).setInt64(rowKod);
    return firstName(q);
}

std::optional<QString> CodeHolder(const Context& ctx, CodeKind kind, const QString& code, qint64 rowKod, qint64 ing,
                                  bool spread)
{
    db::Query q(ctx.database, ctx.read);
    const QString head = QStringLiteral("SELECT ING_SKLAD.KOD, ING.NAME FROM ING_SKLAD LEFT OUTER JOIN ING ON ING.KOD = "
                                        "ING_SKLAD.KOD_ING WHERE ING_SKLAD.") +
                         codeColumn(kind) + QStringLiteral(" = :S");
    if (spread) {
        // Every row of the product will carry the code: no other product may hold it anywhere.
        q.setSql(head + QStringLiteral(" AND ING_SKLAD.KOD_ING <> :I"));
        q.param(QStringLiteral("I")).setInt64(ing);
    } else {
        q.setSql(head + QStringLiteral(" AND ING_SKLAD.KOD <> :K"));
        q.param(QStringLiteral("K")).setInt64(rowKod);
    }
    q.param(QStringLiteral("S")).setString(code);
    return firstName(q);
}

int SpreadStockPrice(const Context& ctx, qint64 ing, int where, qint64 firma, double cena)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("UPDATE ING_SKLAD SET CENA = :C WHERE KOD_ING = :I") + enterpriseFilter(where) +
             QStringLiteral(" AND EXISTS (SELECT 1 FROM ING WHERE ING.KOD = ING_SKLAD.KOD_ING AND ING.MY_LEVEL = 0)"));
    q.param(QStringLiteral("C")).setDouble(cena);
    q.param(QStringLiteral("I")).setInt64(ing);
    if (where == 1)
        q.param(QStringLiteral("F")).setInt64(firma);
    q.execSql();
    return q.rowsAffected();
}

int SpreadHandPrice(const Context& ctx, qint64 ing, int where, qint64 firma, double myCena)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("UPDATE ING_SKLAD SET MY_CENA = :MC WHERE KOD_ING = :I") + enterpriseFilter(where) +
             QStringLiteral(" AND METOD_CENA = 2"));
    q.param(QStringLiteral("MC")).setDouble(myCena);
    q.param(QStringLiteral("I")).setInt64(ing);
    if (where == 1)
        q.param(QStringLiteral("F")).setInt64(firma);
    q.execSql();
    return q.rowsAffected();
}

QString PriceChangeLogText(const QString& name, const QString& cena, const QString& percent, const QString& calculated,
                           const QString& selling, int metod, const QString& notes)
{
    const QString method = metod == 0   ? QStringLiteral("; % надб. с округл.")
                            : metod == 1 ? QStringLiteral("; % надб. без округл.")
                                         : QStringLiteral("; цена уст. в ручную");
    return QStringLiteral("Изменение цен <<") + name + QStringLiteral(">> Цена = ") + cena + QStringLiteral("; % Надб.= ") +
           percent + QStringLiteral("; Расч.цена = ") + calculated + QStringLiteral("; Прод.цена = ") + selling + method +
           notes;
}

int CopyPrices(const Context& ctx, const PriceCopy& copy, const engine::Progress& progress)
{
    db::Query src(ctx.database, ctx.write);
    src.setSql(QStringLiteral("SELECT KOD_ING, PERCENT, CENA, METOD_CENA, MY_CENA FROM ING_SKLAD WHERE KOD_OTDEL = ") +
               QString::number(copy.sourceOtdel));
    src.open();
    const int total = src.recordCount();
    QString sql = QStringLiteral("UPDATE ING_SKLAD SET PERCENT = :P, CENA = :C, METOD_CENA = :M, MY_CENA = :MC\n"
                                 "WHERE KOD_ING = :I AND KOD_OTDEL = ") +
                  QString::number(copy.targetOtdel);
    if (copy.targetSklad != 0)
        sql += QStringLiteral("\nAND KOD_SKLAD = ") + QString::number(copy.targetSklad);
    if (copy.onlyZero)
        sql += QStringLiteral("\nAND MY_CENA = 0");
    db::Query upd(ctx.database, ctx.write);
    upd.setSql(sql);
    int done = 0;
    if (total > 0 && progress.start)
        progress.start(total);
    for (src.first(); !src.eof(); src.next()) {
        const auto f = [&src](const char* name) { return src.field(QString::fromLatin1(name)); };
        upd.param(QStringLiteral("P")).setInt(f("PERCENT").asInt());
        upd.param(QStringLiteral("C")).setDouble(f("CENA").asDouble());
        upd.param(QStringLiteral("M")).setInt(f("METOD_CENA").asInt());
        upd.param(QStringLiteral("MC")).setDouble(f("MY_CENA").asDouble());
        upd.param(QStringLiteral("I")).setInt64(f("KOD_ING").asInt64());
        upd.execSql();
        ++done;
        if (progress.step)
            progress.step(done);
    }
    return total;
}

void SetProductsHidden(const Context& ctx, const std::vector<qint64>& ings, qint64 otdel, bool hidden)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = ") + (hidden ? QStringLiteral("1") : QStringLiteral("0")) +
             QStringLiteral(" WHERE KOD_ING = :I AND KOD_OTDEL = ") + QString::number(otdel));
    for (qint64 ing : ings) {
        q.param(QStringLiteral("I")).setInt64(ing);
        q.execSql();
    }
}

void SetRowsHidden(const Context& ctx, const std::vector<qint64>& rowKods, bool hidden)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = ") + (hidden ? QStringLiteral("1") : QStringLiteral("0")) +
             QStringLiteral(" WHERE KOD = :K"));
    for (qint64 kod : rowKods) {
        q.param(QStringLiteral("K")).setInt64(kod);
        q.execSql();
    }
}

QStringList WhereUsedQueryText(qint64 ing)
{
    return {QStringLiteral("SELECT ING.NAME, ING.KVO_PORC, ED_IZM.SHORT_NAME, KARTA.KOLVO FROM KARTA"),
            QStringLiteral("LEFT OUTER JOIN ING ING ON ING.KOD = KARTA.KOD_ING_MASTER"),
            QStringLiteral("LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM"),
            QStringLiteral("WHERE KARTA.KOD_ING = ") + QString::number(ing), QStringLiteral("ORDER BY ING.NAME")};
}

std::vector<UsageRow> WhereUsed(const Context& ctx, qint64 ing)
{
    db::Query q(ctx.database, ctx.read);
    q.setSql(WhereUsedQueryText(ing));
    q.open();
    std::vector<UsageRow> rows;
    for (q.first(); !q.eof(); q.next())
        rows.push_back({q.field(0).asString(), q.field(1).asInt(), q.field(2).asString(), q.field(3).asDouble()});
    return rows;
}

} // namespace costing
