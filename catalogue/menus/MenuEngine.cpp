#include "MenuEngine.h"

#include "db/Query.h"
#include "engine/EngineDb.h"

#include <functional>

namespace menus {

using engine::Keys;
using engine::FreshKey;

// ---- checks ----

bool ParsePercent(const QString& text, int* value)
{
    if (text.isEmpty())
        return false;
    int minus = 0;
    int digits = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('-')) {
            if (i != 0)
                return false;
            ++minus;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ++digits;
        } else {
            return false;
        }
    }
    if (minus > 1 || digits == 0)
        return false;
    // A number beyond the column's range is no percent either.
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok)
        return false;
    if (value)
        *value = v;
    return true;
}

bool ParseSort(const QString& text, int* value)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok)
        return false;
    if (value)
        *value = v;
    return true;
}

// ---- menus ----

qint64 SaveMenu(const engine::Context& ctx, const MenuData& d, qint64 kod)
{
    R_Record r(QStringLiteral("MENU"), kod);
    r.addString(QStringLiteral("NAME"), d.name)
        .addDate(QStringLiteral("DATE_MENU"), d.date)
        .addInt(QStringLiteral("PERCENT"), d.percent)
        .addInt(QStringLiteral("KOD_FIRMA"), d.firma)
        .addInt(QStringLiteral("NO_ROUND"), d.noRound);
    if (kod == 0)
        return engine::InsertRecord(ctx, r);
    engine::UpdateRecord(ctx, r);
    for (qint64 razdel : Keys(ctx, QStringLiteral("SELECT KOD FROM MENU_RAZDEL WHERE KOD_MENU = ") + Key(kod))) {
        auto q = engine::Writer(ctx, QStringLiteral("UPDATE MENU_STR SET NO_ROUND = :TT\nWHERE KOD_MENU_RAZDEL = ") + Key(razdel));
        q->param(QStringLiteral("TT")).setInt(d.noRound);
        q->execSql();
    }
    return kod;
}

void DeleteMenu(const engine::Context& ctx, qint64 kod)
{
    engine::RunProc(ctx, QStringLiteral("DELETE_MENU"), {{QStringLiteral("KOD_MENU"), Key(kod)}});
}

int DeleteMenusOfPeriod(const engine::Context& ctx, bool all, const QDate& from, const QDate& to)
{
    const QList<qint64> keys =
        all ? Keys(ctx, QStringLiteral("SELECT KOD FROM MENU"))
            : Keys(ctx, QStringLiteral("SELECT KOD FROM MENU WHERE DATE_MENU >= :DS AND DATE_MENU <= :DE"), [&](db::Query* q) {
                  q->param(QStringLiteral("DS")).setDate(from);
                  q->param(QStringLiteral("DE")).setDate(to);
              });
    for (qint64 k : keys)
        DeleteMenu(ctx, k);
    return static_cast<int>(keys.size());
}

qint64 CopyMenu(const engine::Context& ctx, qint64 source, const QString& newName, const QDate& day)
{
    auto src = engine::Reader(ctx, QStringLiteral("SELECT KOD_FIRMA FROM MENU WHERE KOD = ") + Key(source));
    src->open();
    const QVariant firma = src->field(QStringLiteral("KOD_FIRMA")).value();

    const qint64 menu = FreshKey(ctx);
    auto ins = engine::Writer(ctx, QStringLiteral("INSERT INTO MENU (KOD, KOD_FIRMA, NAME, DATE_MENU, PERCENT)\n"
                                                  "VALUES (:KM, :K, :N, :D, :P)"));
    ins->param(QStringLiteral("KM")).setInt64(menu);
    ins->param(QStringLiteral("K")).setValue(firma);
    ins->param(QStringLiteral("N")).setString(newName);
    ins->param(QStringLiteral("D")).setDate(day);
    ins->param(QStringLiteral("P")).setInt(0);
    ins->execSql();

    auto sections = engine::Reader(ctx, QStringLiteral("SELECT * FROM MENU_RAZDEL WHERE KOD_MENU = ") + Key(source) +
                                            QStringLiteral("\nORDER BY MY_SORT"));
    sections->open();
    auto addRazdel = engine::Writer(ctx, QStringLiteral("INSERT INTO MENU_RAZDEL (KOD, KOD_MENU, KOD_OTDEL, MY_SORT, NAME)\n"
                                                        "VALUES (:KR, :K, :O, :S, :N)"));
    auto addDish = engine::Writer(ctx, QStringLiteral("INSERT INTO MENU_STR (KOD_MENU_RAZDEL, KOD_ING)\nVALUES (:KR, :KI)"));
    for (sections->first(); !sections->eof(); sections->next()) {
        const qint64 razdel = FreshKey(ctx);
        addRazdel->param(QStringLiteral("KR")).setInt64(razdel);
        addRazdel->param(QStringLiteral("K")).setInt64(menu);
        addRazdel->param(QStringLiteral("O")).setValue(sections->field(QStringLiteral("KOD_OTDEL")).value());
        addRazdel->param(QStringLiteral("S")).setValue(sections->field(QStringLiteral("MY_SORT")).value());
        addRazdel->param(QStringLiteral("N")).setValue(sections->field(QStringLiteral("NAME")).value());
        addRazdel->execSql();
        const qint64 from = sections->field(QStringLiteral("KOD")).asInt64();
        for (qint64 ing : Keys(ctx, QStringLiteral("SELECT KOD_ING FROM MENU_STR WHERE KOD_MENU_RAZDEL = ") + Key(from))) {
            addDish->param(QStringLiteral("KR")).setInt64(razdel);
            addDish->param(QStringLiteral("KI")).setInt64(ing);
            addDish->execSql();
        }
    }
    return menu;
}

// ---- sections ----

qint64 SaveRazdel(const engine::Context& ctx, const RazdelData& d, qint64 kod)
{
    R_Record r(QStringLiteral("MENU_RAZDEL"), kod);
    r.addString(QStringLiteral("NAME"), d.name)
        .addInt(QStringLiteral("MY_SORT"), d.sort)
        .addInt(QStringLiteral("KOD_MENU"), d.menu)
        .addInt(QStringLiteral("KOD_OTDEL"), d.otdel);
    if (kod == 0)
        return engine::InsertRecord(ctx, r);
    engine::UpdateRecord(ctx, r);
    return kod;
}

void DeleteRazdel(const engine::Context& ctx, qint64 kod)
{
    engine::Exec(ctx, QStringLiteral("DELETE FROM MENU_STR WHERE KOD_MENU_RAZDEL = ") + Key(kod));
    engine::Exec(ctx, QStringLiteral("DELETE FROM MENU_RAZDEL WHERE KOD = ") + Key(kod));
}

void SwitchRazdel(const engine::Context& ctx, qint64 kod, int isActive)
{
    engine::Exec(ctx, QStringLiteral("UPDATE MENU_RAZDEL SET IS_ACTIVE = ") +
                          (isActive == 0 ? QStringLiteral("1") : QStringLiteral("0")) + QStringLiteral(" WHERE KOD = ") + Key(kod));
}

// ---- dishes ----

bool DishInRazdel(const engine::Context& ctx, qint64 razdel, qint64 ing)
{
    return engine::Exists(ctx, QStringLiteral("SELECT ING.KOD FROM MENU_STR\n"
                                              "INNER JOIN ING ON ING.KOD = MENU_STR.KOD_ING\n"
                                              "INNER JOIN MENU_RAZDEL ON MENU_RAZDEL.KOD = MENU_STR.KOD_MENU_RAZDEL\n"
                                              "WHERE MENU_RAZDEL.KOD = ") +
                               Key(razdel) + QStringLiteral(" AND ING.KOD = ") + Key(ing));
}

qint64 AddDish(const engine::Context& ctx, qint64 razdel, qint64 ing, int noRound)
{
    R_Record r(QStringLiteral("MENU_STR"));
    r.addInt(QStringLiteral("KOD_MENU_RAZDEL"), razdel).addInt(QStringLiteral("KOD_ING"), ing).addInt(QStringLiteral("NO_ROUND"), noRound);
    return engine::InsertRecord(ctx, r);
}

void RemoveDish(const engine::Context& ctx, qint64 kod)
{
    engine::Exec(ctx, QStringLiteral("Delete from MENU_STR where KOD = ") + Key(kod));
}

void SwitchDish(const engine::Context& ctx, qint64 kod, const QVariant& myActive)
{
    const bool off = !myActive.isValid() || myActive.isNull() || myActive.toLongLong() == 0;
    engine::Exec(ctx, QStringLiteral("UPDATE MENU_STR SET MY_ACTIVE = ") + (off ? QStringLiteral("1") : QStringLiteral("0")) +
                          QStringLiteral(" WHERE KOD = ") + Key(kod));
}

void MoveDish(const engine::Context& ctx, qint64 kod, qint64 targetRazdel)
{
    engine::Exec(ctx, QStringLiteral("UPDATE MENU_STR SET KOD_MENU_RAZDEL = ") + Key(targetRazdel) +
                          QStringLiteral("\nWHERE KOD = ") + Key(kod));
}

} // namespace menus
