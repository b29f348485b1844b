#include "ProductsEngine.h"

#include "db/Query.h"
#include "engine/EngineDb.h"
#include "engine/RowRefusal.h"

namespace products {

using engine::Exec;
using engine::Exists;
using engine::Writer;

namespace {

R_Record IngRecord(const IngData& d, qint64 kod)
{
    R_Record r(QStringLiteral("ING"), kod);
    r.addString(QStringLiteral("NAME"), d.name)
        .addInt(QStringLiteral("KOD_GROUP"), d.group)
        .addInt(QStringLiteral("ED_IZM"), d.edIzm)
        .addString(QStringLiteral("DOP_INFO"), d.dopInfo)
        .addString(QStringLiteral("USE_MENU"), d.useMenu ? QStringLiteral("+") : QStringLiteral(" "))
        .addInt(QStringLiteral("MY_SECTION"), d.section)
        .addInt(QStringLiteral("PERCENT_SKIDKA"), d.maxDiscount)
        .addInt(QStringLiteral("KVO_PORC"), d.portions)
        .addFloat(QStringLiteral("VIHOD"), d.vihod)
        .addInt(QStringLiteral("MY_TIME"), d.time)
        .addInt(QStringLiteral("MY_ALARM"), d.alarm)
        .addFloat(QStringLiteral("KALORIES"), d.kalories);
    return r;
}

// A card row of another product's card: a live card row, or the backup of a
// card whose edit cycle is still open. Backups of finished or abandoned
// cycles (their key names no product) do not count.
const char* const kLiveCardRow =
    "(EXISTS (SELECT 1 FROM ING M WHERE M.KOD = KARTA.KOD_ING_MASTER)"
    " OR EXISTS (SELECT 1 FROM ING M WHERE M.KOD_UPDATE = KARTA.KOD_ING_MASTER AND M.FLAG_UPDATE = 1))";

// The warehouse keeps the group's products.
void LinkGroupToSklad(const engine::Context& ctx, qint64 group, qint64 sklad)
{
    auto ins = Writer(ctx, QStringLiteral("INSERT INTO SKLAD_GRING (KOD_SKLAD, KOD_GRING) VALUES (:KS, :KG)"));
    ins->param(QStringLiteral("KS")).setString(Key(sklad));
    ins->param(QStringLiteral("KG")).setString(Key(group));
    ins->execSql();
}

// The statements that remove one product that passed the checks; false
// when another workstation deleted it.
bool DeleteIngRows(const engine::Context& ctx, qint64 ing)
{
    const QString p = Key(ing);
    Exec(ctx, QStringLiteral("DELETE FROM ING_SKLAD WHERE KOD_ING = ") + p);
    Exec(ctx, QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER = ") + p);
    // Backups left behind by card edits: rows naming the product in other
    // cards' stale backups, and the backup of its own card.
    Exec(ctx, QStringLiteral("DELETE FROM KARTA WHERE KOD_ING = ") + p + QStringLiteral(" AND NOT ") +
         QString::fromLatin1(kLiveCardRow));
    Exec(ctx, QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER IN (SELECT I.KOD_UPDATE FROM ING I WHERE I.KOD = ") + p +
         QStringLiteral(" AND I.KOD_UPDATE IS NOT NULL AND NOT EXISTS (SELECT 1 FROM ING O WHERE O.KOD <> ") + p +
         QStringLiteral(" AND (O.KOD = I.KOD_UPDATE OR O.KOD_UPDATE = I.KOD_UPDATE)))"));
    auto q = Writer(ctx, QStringLiteral("DELETE FROM ING WHERE KOD = ") + p);
    q->execSql();
    return q->rowsAffected() > 0;
}

} // namespace

// ---- groups ----

qint64 CreateGroup(const engine::Context& ctx, const QString& name)
{
    R_Record r(QStringLiteral("GROUP_ING"));
    r.addString(QStringLiteral("NAME"), name);
    const qint64 kod = engine::InsertRecord(ctx, r);
    const QList<qint64> main = engine::Keys(ctx, QStringLiteral("SELECT KOD FROM SKLAD WHERE FIRST_SKLAD = '1'"));
    for (qint64 s : main)
        LinkGroupToSklad(ctx, kod, s);
    return kod;
}

void RenameGroup(const engine::Context& ctx, qint64 kod, const QString& name)
{
    R_Record r(QStringLiteral("GROUP_ING"), kod);
    r.addString(QStringLiteral("NAME"), name);
    engine::UpdateRecord(ctx, r);
}

QString GroupDeleteRefusal(const engine::Context& ctx, qint64 kod)
{
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM ING WHERE KOD_GROUP = ") + Key(kod)))
        return QStringLiteral("Удалить можно только пустую группу, т.е. ту, в которой нет продуктов !");
    return {};
}

void DeleteGroup(const engine::Context& ctx, qint64 kod)
{
    Exec(ctx, QStringLiteral("DELETE FROM GROUP_ING WHERE KOD = ") + Key(kod));
    Exec(ctx, QStringLiteral("DELETE FROM SKLAD_GRING WHERE KOD_GRING = ") + Key(kod));
}

void SetGroupSection(const engine::Context& ctx, qint64 kod, int n)
{
    auto q = Writer(ctx, QStringLiteral("UPDATE ING SET MY_SECTION = :N WHERE KOD_GROUP = ") + Key(kod));
    q->param(QStringLiteral("N")).setInt(n);
    q->execSql();
}

void MoveGroupToSklad(const engine::Context& ctx, qint64 group, qint64 target, qint64 otdel, qint64 oldSklad)
{
    Exec(ctx, QStringLiteral("UPDATE ING_SKLAD SET KOD_SKLAD = ") + Key(target) + QStringLiteral("\nWHERE KOD_OTDEL = ") +
         Key(otdel) + QStringLiteral(" AND KOD_GROUP = ") + Key(group));
    Exec(ctx, QStringLiteral("DELETE FROM SKLAD_GRING WHERE KOD_SKLAD = ") + Key(oldSklad) + QStringLiteral(" AND KOD_GRING = ") +
         Key(group));
    LinkGroupToSklad(ctx, group, target);
}

// ---- products ----

qint64 CreateIng(const engine::Context& ctx, const IngData& d)
{
    const qint64 kod = engine::InsertRecord(ctx, IngRecord(d, 0));
    auto q = Writer(ctx, QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO)\nVALUES (:KI, :KI, 1)"));
    q->param(QStringLiteral("KI")).setString(Key(kod));
    q->execSql();
    RunProc(ctx, QStringLiteral("ADD_ING_TO_ING_SKLAD"),
                 {{QStringLiteral("KOD_ING"), Key(kod)}, {QStringLiteral("KOD_GROUP"), Key(d.group)}});
    return kod;
}

void UpdateIng(const engine::Context& ctx, qint64 kod, const IngData& d, bool normChanged)
{
    engine::UpdateRecord(ctx, IngRecord(d, kod));
    if (normChanged) {
        auto q = Writer(ctx, QStringLiteral("UPDATE KARTA SET PERCENT = :P WHERE KOD_ING = ") + Key(kod) +
                              QStringLiteral(" AND KOD_ING_MASTER IN (SELECT KOD FROM ING WHERE MANUAL_BRUTTO = 0)"));
        q->param(QStringLiteral("P")).setDouble(d.vihod);
        q->execSql();
    }
}

void HideIngElsewhere(const engine::Context& ctx, qint64 ing, qint64 otdel)
{
    Exec(ctx, QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = 1 WHERE KOD_ING = ") + Key(ing) + QStringLiteral(" AND KOD_OTDEL <> ") +
         Key(otdel));
}

void MoveIngToGroup(const engine::Context& ctx, qint64 ing, qint64 group)
{
    Exec(ctx, QStringLiteral("UPDATE ING SET KOD_GROUP = ") + Key(group) + QStringLiteral("\nWHERE KOD = ") + Key(ing));
    // Read on the write transaction, so the new group is seen.
    auto r = Writer(ctx);
    struct Row {
        qint64 group, sklad, otdel;
    };
    QList<Row> rows;
    r->setSql(QStringList{
        QStringLiteral("select group_ing.name, sklad.name, ing.name, sklad.kod sklad_kod,"),
        QStringLiteral("group_ing.kod group_ing_kod, sklad_gring.kod sklad_gring_kod,"),
        QStringLiteral("otdel.kod otdel_kod, firma.kod firma_kod, ing.kod ing_kod from ing"),
        QStringLiteral("inner join group_ing on (ing.kod_group = group_ing.kod)"),
        QStringLiteral("inner join sklad_gring on (group_ing.kod = sklad_gring.kod_gring)"),
        QStringLiteral("inner join sklad on (sklad_gring.kod_sklad = sklad.kod)"),
        QStringLiteral("inner join otdel on (sklad.kod_otdel = otdel.kod)"),
        QStringLiteral("inner join firma on (otdel.kod_firma = firma.kod)"),
        QStringLiteral("WHERE ING.KOD = ") + Key(ing)});
    r->open();
    for (r->first(); !r->eof(); r->next())
        rows.append({r->field(QStringLiteral("GROUP_ING_KOD")).asInt64(), r->field(QStringLiteral("SKLAD_KOD")).asInt64(),
                     r->field(QStringLiteral("OTDEL_KOD")).asInt64()});
    r->close();
    for (const Row& row : rows)
        Exec(ctx, QStringLiteral("UPDATE ING_SKLAD SET KOD_GROUP = ") + Key(row.group) + QStringLiteral(",\nKOD_SKLAD = ") +
             Key(row.sklad) + QStringLiteral("\nWHERE KOD_ING = ") + Key(ing) + QStringLiteral(" AND\nKOD_OTDEL = ") +
             Key(row.otdel));
}

IngUse IngInUse(const engine::Context& ctx, qint64 ing)
{
    const QString p = Key(ing);
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM KARTA WHERE KOD_ING = ") + p + QStringLiteral(" AND KOD_ING_MASTER <> ") + p +
               QStringLiteral(" AND ") + QString::fromLatin1(kLiveCardRow)))
        return IngUse::Karta;
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM INVENT WHERE KOD_ING = ") + p))
        return IngUse::Invent;
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM REAL_BLUDO WHERE KOD_ING = ") + p))
        return IngUse::Real;
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM MOVES WHERE KOD_ING = ") + p))
        return IngUse::Moves;
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM MENU_STR WHERE KOD_ING = ") + p))
        return IngUse::Menu;
    if (Exists(ctx, QStringLiteral("SELECT KOLVO FROM ING_SKLAD WHERE KOD_ING = ") + p + QStringLiteral(" AND KOLVO <> 0")))
        return IngUse::Stock;
    return IngUse::None;
}

QString IngUseText(IngUse use)
{
    switch (use) {
    case IngUse::Karta:
        return QStringLiteral("Данный продукт имеется в враскладках блюд, удалите сначала эти блюда !");
    case IngUse::Invent:
        return QStringLiteral("Данный продукт имеется в документах инвентаризации, удалите сначала эти документы !");
    case IngUse::Real:
        return QStringLiteral("Данный продукт имеется в документах реализации, удалите сначала эти документы !");
    case IngUse::Moves:
        return QStringLiteral("Данный продукт имеется в документах движения, удалите сначала эти документы !");
    case IngUse::Menu:
        return QStringLiteral("Данный продукт имеется в меню, удалите сначала эти меню !");
    case IngUse::Stock:
        return QStringLiteral("Данный продукт имеет ненулевые остатки на складах !");
    case IngUse::None:
        break;
    }
    return {};
}

void DeleteIng(const engine::Context& ctx, qint64 ing)
{
    DeleteIngRows(ctx, ing);
}

DeletedIngs DeleteAllIng(const engine::Context& ctx, const QList<qint64>& ings)
{
    DeletedIngs r;
    for (qint64 ing : ings) {
        if (IngInUse(ctx, ing) != IngUse::None) {
            ++r.skipped;
            continue;
        }
        r.deleted += DeleteIngRows(ctx, ing) ? 1 : 0;
    }
    if (r.deleted == 0 && r.skipped == 0 && !ings.isEmpty())
        throw engine::RowRefusal(QStringLiteral("ING"), ings.last(),
                                 QStringLiteral("Продукты удалены на другом рабочем месте. Ничего не записано."));
    return r;
}

// ---- lists ----

void OpenIngList(db::Query* q, const IngListFilter& f)
{
    q->close();
    q->clearSql();
    q->addSql(QStringLiteral("select ING.*, ED_IZM.SHORT_NAME, GROUP_ING.NAME AS NAME_GR, ING_SKLAD.OPEN_CLOSE FROM ING"));
    q->addSql(QStringLiteral("LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM"));
    q->addSql(QStringLiteral("LEFT OUTER JOIN GROUP_ING ON GROUP_ING.KOD = ING.KOD_GROUP"));
    q->addSql(QStringLiteral("LEFT OUTER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD"));
    if (f.search)
        q->addSql(QStringLiteral("WHERE ") + engine::NameContains(QStringLiteral("ING.NAME"), QStringLiteral("S")));
    else
        q->addSql(QStringLiteral("WHERE ING.KOD_GROUP = ") + Key(f.group));
    if (!f.showHidden)
        q->addSql(QStringLiteral("AND OPEN_CLOSE = 0"));
    if (f.menuOnly)
        q->addSql(QStringLiteral("AND USE_MENU = '+'"));
    q->addSql(QStringLiteral("AND ING_SKLAD.KOD_OTDEL = ") + Key(f.otdel > 0 ? f.otdel : 0));
    q->addSql(QStringLiteral("ORDER BY ING.NAME"));
    if (f.search)
        q->param(QStringLiteral("S")).setString(engine::NameSearchText(f.text));
    q->prepare();
    q->open();
}

void OpenStockList(db::Query* q, const StockListFilter& f)
{
    q->close();
    q->clearSql();
    q->addSql(QStringLiteral("SELECT ING_SKLAD.*, ING.KOD_GROUP, ING.NAME, ING.ED_IZM, ING.KVO_PORC, ING.CENA_COMPUTE, "
                             "ING.MY_LEVEL, ING.PERCENT_PLUS, ED_IZM.SHORT_NAME from ING_SKLAD"));
    q->addSql(QStringLiteral("JOIN ING ON ING.KOD = ING_SKLAD.KOD_ING"));
    q->addSql(QStringLiteral("LEFT OUTER JOIN ED_IZM ON ING.ED_IZM = ED_IZM.KOD"));
    if (f.search) {
        q->addSql(QStringLiteral("WHERE ING_SKLAD.KOD_OTDEL = ") + Key(f.otdel));
        q->addSql(QStringLiteral("AND ") + engine::NameContains(QStringLiteral("ING.NAME"), QStringLiteral("S")));
    } else {
        q->addSql(QStringLiteral("WHERE ING_SKLAD.KOD_SKLAD = ") + Key(f.sklad) + QStringLiteral(" And ING.KOD_GROUP = ") +
                  Key(f.group));
    }
    if (!f.showHidden)
        q->addSql(QStringLiteral("AND OPEN_CLOSE = 0"));
    q->addSql(QStringLiteral("order by ING.name"));
    if (f.search)
        q->param(QStringLiteral("S")).setString(engine::NameSearchText(f.text));
    q->prepare();
    q->open();
}

} // namespace products
