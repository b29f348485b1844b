#include "Products.h"

#include "CatalogueDb.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "util/Globals.h"
#include "util/Unit_Util.h"

namespace products {

using cat::Exec;
using cat::Exists;
using cat::Writer;

namespace {

const QString kArea = QStringLiteral("Продукты и блюда");

void Log(const QString& action)
{
    Form_Util->WriteLog(CurrentUserFio, CurrentUserLogin, kArea, action);
}

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

// The statements that remove one product that passed the checks.
void DeleteIngRows(qint64 ing)
{
    const QString p = Key(ing);
    Exec(QStringLiteral("DELETE FROM ING_SKLAD WHERE KOD_ING = ") + p);
    Exec(QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER = ") + p);
    // Backups left behind by card edits: rows naming the product in other
    // cards' stale backups, and the backup of its own card.
    Exec(QStringLiteral("DELETE FROM KARTA WHERE KOD_ING = ") + p + QStringLiteral(" AND NOT ") +
         QString::fromLatin1(kLiveCardRow));
    Exec(QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER IN (SELECT I.KOD_UPDATE FROM ING I WHERE I.KOD = ") + p +
         QStringLiteral(" AND I.KOD_UPDATE IS NOT NULL AND NOT EXISTS (SELECT 1 FROM ING O WHERE O.KOD <> ") + p +
         QStringLiteral(" AND (O.KOD = I.KOD_UPDATE OR O.KOD_UPDATE = I.KOD_UPDATE)))"));
    Exec(QStringLiteral("DELETE FROM ING WHERE KOD = ") + p);
}

} // namespace

// ---- groups ----

qint64 CreateGroup(const QString& name)
{
    WriteTransaction w;
    R_Record r(QStringLiteral("GROUP_ING"));
    r.addString(QStringLiteral("NAME"), name);
    const qint64 kod = Form_Util->InsertRecord(r);
    db::Query* q = Form_Base->QRead1;
    q->close();
    q->setSql(QStringLiteral("SELECT KOD FROM SKLAD WHERE FIRST_SKLAD = '1'"));
    q->open();
    QList<qint64> main;
    for (q->first(); !q->eof(); q->next())
        main << q->field(0).asInt64();
    q->close();
    db::Query* ins = Writer(QStringLiteral("INSERT INTO SKLAD_GRING (KOD_SKLAD, KOD_GRING) VALUES (:KS, :KG)"));
    for (qint64 s : main) {
        ins->param(QStringLiteral("KS")).setString(Key(s));
        ins->param(QStringLiteral("KG")).setString(Key(kod));
        ins->execSql();
    }
    Log(QStringLiteral("Добавлена группа блюд:") + name);
    return kod;
}

void RenameGroup(qint64 kod, const QString& name)
{
    WriteTransaction w;
    R_Record r(QStringLiteral("GROUP_ING"), kod);
    r.addString(QStringLiteral("NAME"), name);
    Form_Util->UpdateRecord(r);
    Log(QStringLiteral("Изменения в группе блюд:") + name);
}

QString GroupDeleteRefusal(qint64 kod)
{
    if (Exists(QStringLiteral("SELECT KOD FROM ING WHERE KOD_GROUP = ") + Key(kod)))
        return QStringLiteral("Удалить можно только пустую группу, т.е. ту, в которой нет продуктов !");
    return {};
}

void DeleteGroup(qint64 kod, const QString& name)
{
    WriteTransaction w;
    Exec(QStringLiteral("DELETE FROM GROUP_ING WHERE KOD = ") + Key(kod));
    Exec(QStringLiteral("DELETE FROM SKLAD_GRING WHERE KOD_GRING = ") + Key(kod));
    Log(QStringLiteral("Удаление группы блюд под названием <<") + name + QStringLiteral(">>"));
}

void SetGroupSection(qint64 kod, int n, const QString& name)
{
    WriteTransaction w;
    db::Query* q = Writer(QStringLiteral("UPDATE ING SET MY_SECTION = :N WHERE KOD_GROUP = ") + Key(kod));
    q->param(QStringLiteral("N")).setInt(n);
    q->execSql();
    Log(QStringLiteral("Продуктам и блюдам группы ") + name + QStringLiteral(" значение номера секции заменено на ") +
        QString::number(n));
}

void MoveGroupToSklad(qint64 group, qint64 target, qint64 otdel, qint64 oldSklad, const QString& groupName,
                      const QString& targetName)
{
    WriteTransaction w;
    Exec(QStringLiteral("UPDATE ING_SKLAD SET KOD_SKLAD = ") + Key(target) + QStringLiteral("\nWHERE KOD_OTDEL = ") +
         Key(otdel) + QStringLiteral(" AND KOD_GROUP = ") + Key(group));
    Exec(QStringLiteral("DELETE FROM SKLAD_GRING WHERE KOD_SKLAD = ") + Key(oldSklad) + QStringLiteral(" AND KOD_GRING = ") +
         Key(group));
    db::Query* ins = Writer(QStringLiteral("INSERT INTO SKLAD_GRING (KOD_SKLAD, KOD_GRING) VALUES (:KS, :KG)"));
    ins->param(QStringLiteral("KS")).setString(Key(target));
    ins->param(QStringLiteral("KG")).setString(Key(group));
    ins->execSql();
    Log(QStringLiteral("Группа блюд <<") + groupName + QStringLiteral(">> перемещена на склад <<") + targetName +
        QStringLiteral(">>"));
}

// ---- products ----

qint64 CreateIng(const IngData& d)
{
    WriteTransaction w;
    const qint64 kod = Form_Util->InsertRecord(IngRecord(d, 0));
    db::Query* q = Writer(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO)\nVALUES (:KI, :KI, 1)"));
    q->param(QStringLiteral("KI")).setString(Key(kod));
    q->execSql();
    cat::RunProc(QStringLiteral("ADD_ING_TO_ING_SKLAD"),
                 {{QStringLiteral("KOD_ING"), Key(kod)}, {QStringLiteral("KOD_GROUP"), Key(d.group)}});
    Log(QStringLiteral("Создан новый продукт:") + d.name);
    return kod;
}

void UpdateIng(qint64 kod, const IngData& d, bool normChanged)
{
    WriteTransaction w;
    Form_Util->UpdateRecord(IngRecord(d, kod));
    if (normChanged) {
        db::Query* q = Writer(QStringLiteral("UPDATE KARTA SET PERCENT = :P WHERE KOD_ING = ") + Key(kod) +
                              QStringLiteral(" AND KOD_ING_MASTER IN (SELECT KOD FROM ING WHERE MANUAL_BRUTTO = 0)"));
        q->param(QStringLiteral("P")).setDouble(d.vihod);
        q->execSql();
    }
    Log(QStringLiteral("Изменён продукт:") + d.name);
}

void HideIngElsewhere(qint64 ing, qint64 otdel)
{
    WriteTransaction w;
    Exec(QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = 1 WHERE KOD_ING = ") + Key(ing) + QStringLiteral(" AND KOD_OTDEL <> ") +
         Key(otdel));
    w.commit();
}

void MoveIngToGroup(qint64 ing, qint64 group, const QString& ingName, const QString& groupName)
{
    WriteTransaction w;
    Exec(QStringLiteral("UPDATE ING SET KOD_GROUP = ") + Key(group) + QStringLiteral("\nWHERE KOD = ") + Key(ing));
    // Read on the write transaction, so the new group is seen.
    db::Query* r = Form_Base->QRead2;
    r->close();
    r->setTransaction(Form_Base->TransactionWrite);
    struct Row {
        qint64 group, sklad, otdel;
    };
    QList<Row> rows;
    try {
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
    } catch (...) {
        r->close();
        r->setTransaction(Form_Base->TransactionRead);
        throw;
    }
    r->setTransaction(Form_Base->TransactionRead);
    for (const Row& row : rows)
        Exec(QStringLiteral("UPDATE ING_SKLAD SET KOD_GROUP = ") + Key(row.group) + QStringLiteral(",\nKOD_SKLAD = ") +
             Key(row.sklad) + QStringLiteral("\nWHERE KOD_ING = ") + Key(ing) + QStringLiteral(" AND\nKOD_OTDEL = ") +
             Key(row.otdel));
    Log(QStringLiteral("Перемещение продукта <<") + ingName + QStringLiteral(">> в группу <<") + groupName +
        QStringLiteral(">>"));
}

IngUse IngInUse(qint64 ing)
{
    const QString p = Key(ing);
    if (Exists(QStringLiteral("SELECT KOD FROM KARTA WHERE KOD_ING = ") + p + QStringLiteral(" AND KOD_ING_MASTER <> ") + p +
               QStringLiteral(" AND ") + QString::fromLatin1(kLiveCardRow)))
        return IngUse::Karta;
    if (Exists(QStringLiteral("SELECT KOD FROM INVENT WHERE KOD_ING = ") + p))
        return IngUse::Invent;
    if (Exists(QStringLiteral("SELECT KOD FROM REAL_BLUDO WHERE KOD_ING = ") + p))
        return IngUse::Real;
    if (Exists(QStringLiteral("SELECT KOD FROM MOVES WHERE KOD_ING = ") + p))
        return IngUse::Moves;
    if (Exists(QStringLiteral("SELECT KOD FROM MENU_STR WHERE KOD_ING = ") + p))
        return IngUse::Menu;
    if (Exists(QStringLiteral("SELECT KOLVO FROM ING_SKLAD WHERE KOD_ING = ") + p + QStringLiteral(" AND KOLVO <> 0")))
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

void DeleteIng(qint64 ing, const QString& name)
{
    WriteTransaction w;
    DeleteIngRows(ing);
    Log(QStringLiteral("Удаление блюда <<") + name + QStringLiteral(">>"));
}

int DeleteAllIng(const QList<qint64>& ings, const QString& groupName)
{
    WriteTransaction w;
    int skipped = 0;
    for (qint64 ing : ings) {
        if (IngInUse(ing) != IngUse::None) {
            ++skipped;
            continue;
        }
        DeleteIngRows(ing);
    }
    Log(QStringLiteral("Удаление всех блюд их группы <<") + groupName + QStringLiteral(">>"));
    return skipped;
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
    // CONTAINING: a case-insensitive substring match (Cyrillic included) with
    // no wildcards of its own, so the typed text is searched for as it stands.
    if (f.search)
        q->addSql(QStringLiteral("WHERE ING.NAME CONTAINING :S"));
    else
        q->addSql(QStringLiteral("WHERE ING.KOD_GROUP = ") + Key(f.group));
    if (!f.showHidden)
        q->addSql(QStringLiteral("AND OPEN_CLOSE = 0"));
    if (f.menuOnly)
        q->addSql(QStringLiteral("AND USE_MENU = '+'"));
    q->addSql(QStringLiteral("AND ING_SKLAD.KOD_OTDEL = ") + Key(f.otdel > 0 ? f.otdel : 0));
    q->addSql(QStringLiteral("ORDER BY ING.NAME"));
    if (f.search)
        q->param(QStringLiteral("S")).setString(f.text);
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
        q->addSql(QStringLiteral("AND ING.NAME CONTAINING :S"));
    } else {
        q->addSql(QStringLiteral("WHERE ING_SKLAD.KOD_SKLAD = ") + Key(f.sklad) + QStringLiteral(" And ING.KOD_GROUP = ") +
                  Key(f.group));
    }
    if (!f.showHidden)
        q->addSql(QStringLiteral("AND OPEN_CLOSE = 0"));
    q->addSql(QStringLiteral("order by ING.name"));
    if (f.search)
        q->param(QStringLiteral("S")).setString(f.text);
    q->prepare();
    q->open();
}

} // namespace products
