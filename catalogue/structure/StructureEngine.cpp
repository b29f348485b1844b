#include "StructureEngine.h"

#include "db/Query.h"
#include "engine/EngineDb.h"

namespace structure {

using engine::Exec;
using engine::Exists;
using engine::RunProc;

namespace {

R_Record FirmaRecord(const FirmaData& d, qint64 kod)
{
    R_Record r(QStringLiteral("FIRMA"), kod);
    r.addString(QStringLiteral("NAME"), d.name)
        .addString(QStringLiteral("INFO"), d.info)
        .addString(QStringLiteral("BANK"), d.bank)
        .addString(QStringLiteral("BIK"), d.bik)
        .addString(QStringLiteral("RS"), d.rs)
        .addString(QStringLiteral("KS"), d.ks)
        .addString(QStringLiteral("INN"), d.inn)
        .addString(QStringLiteral("KPP"), d.kpp)
        .addString(QStringLiteral("PHONE"), d.phone)
        .addString(QStringLiteral("ADDR_JUR"), d.addrJur)
        .addString(QStringLiteral("ADDR_REAL"), d.addrReal)
        .addInt(QStringLiteral("LOCAL_FIRMA"), d.local ? 1 : 0);
    return r;
}

} // namespace

qint64 CreateFirma(const engine::Context& ctx, const FirmaData& d, const QString& otdel, const QString& sklad)
{
    const qint64 kod = engine::InsertRecord(ctx, FirmaRecord(d, 0));
    if (d.local)
        RunProc(ctx, QStringLiteral("CREATE_FIRST_OTDEL"), {{QStringLiteral("KOD_FIRMA"), Key(kod)},
                                                       {QStringLiteral("NAME_OTDEL"), otdel},
                                                       {QStringLiteral("NAME_SKLAD"), sklad}});
    return kod;
}

void UpdateFirma(const engine::Context& ctx, qint64 kod, const FirmaData& d)
{
    engine::UpdateRecord(ctx, FirmaRecord(d, kod));
}

qint64 CreateOtdel(const engine::Context& ctx, qint64 firma, const QString& name, const QString& info)
{
    R_Record r(QStringLiteral("OTDEL"));
    r.addString(QStringLiteral("NAME"), name)
        .addString(QStringLiteral("DOP_INFO"), info)
        .addInt(QStringLiteral("KOD_FIRMA"), firma)
        .addString(QStringLiteral("FIRST_OTDEL"), QStringLiteral("0"));
    const qint64 otdel = engine::InsertRecord(ctx, r);
    // The main warehouse is named after the department, in double quotes; a
    // long department name is cut so that the quoted name fits the
    // warehouse's 100 characters.
    R_Record s(QStringLiteral("SKLAD"));
    s.addString(QStringLiteral("NAME"), QStringLiteral("\"") + name.left(98) + QStringLiteral("\""))
        .addString(QStringLiteral("DOP_INFO"), QStringLiteral(" "))
        .addInt(QStringLiteral("KOD_FIRMA"), firma)
        .addInt(QStringLiteral("KOD_OTDEL"), otdel)
        .addString(QStringLiteral("FIRST_SKLAD"), QStringLiteral("1"));
    const qint64 sklad = engine::InsertRecord(ctx, s);
    RunProc(ctx, QStringLiteral("ALL_ING_TO_SKLAD"), {{QStringLiteral("KOD_FIRMA"), Key(firma)},
                                                 {QStringLiteral("KOD_OTDEL"), Key(otdel)},
                                                 {QStringLiteral("KOD_SKLAD"), Key(sklad)}});
    return otdel;
}

void UpdateOtdel(const engine::Context& ctx, qint64 kod, qint64 firma, const QString& name, const QString& info)
{
    R_Record r(QStringLiteral("OTDEL"), kod);
    r.addString(QStringLiteral("NAME"), name)
        .addString(QStringLiteral("DOP_INFO"), info)
        .addInt(QStringLiteral("KOD_FIRMA"), firma);
    engine::UpdateRecord(ctx, r);
}

qint64 CreateSklad(const engine::Context& ctx, qint64 firma, qint64 otdel, const QString& name, const QString& info)
{
    R_Record r(QStringLiteral("SKLAD"));
    r.addString(QStringLiteral("NAME"), name)
        .addString(QStringLiteral("DOP_INFO"), info)
        .addInt(QStringLiteral("KOD_FIRMA"), firma)
        .addInt(QStringLiteral("KOD_OTDEL"), otdel)
        .addString(QStringLiteral("FIRST_SKLAD"), QStringLiteral("0"));
    const qint64 kod = engine::InsertRecord(ctx, r);
    return kod;
}

void UpdateSklad(const engine::Context& ctx, qint64 kod, qint64 firma, qint64 otdel, const QString& name, const QString& info)
{
    R_Record r(QStringLiteral("SKLAD"), kod);
    r.addString(QStringLiteral("NAME"), name)
        .addString(QStringLiteral("DOP_INFO"), info)
        .addInt(QStringLiteral("KOD_FIRMA"), firma)
        .addInt(QStringLiteral("KOD_OTDEL"), otdel);
    engine::UpdateRecord(ctx, r);
}

qint64 CreateEd(const engine::Context& ctx, const QString& name, const QString& shortName)
{
    R_Record r(QStringLiteral("ED_IZM"));
    r.addString(QStringLiteral("NAME"), name).addString(QStringLiteral("SHORT_NAME"), shortName);
    const qint64 kod = engine::InsertRecord(ctx, r);
    return kod;
}

void UpdateEd(const engine::Context& ctx, qint64 kod, const QString& name, const QString& shortName)
{
    R_Record r(QStringLiteral("ED_IZM"), kod);
    r.addString(QStringLiteral("NAME"), name).addString(QStringLiteral("SHORT_NAME"), shortName);
    engine::UpdateRecord(ctx, r);
}

// ---- deletion checks ----

QString FirmaDeleteRefusal(const engine::Context& ctx, qint64 firma)
{
    const QString k = Key(firma);
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM DOCS WHERE KOD_PARTNER_EXPORT = ") + k))
        return QStringLiteral("Данное предприятие имеет документы движения. Для того чтоб удалить это предприятие, "
                              "сначала удалите у него все документы движения !");
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM DOCS WHERE KOD_PARTNER_IMPORT = ") + k))
        return QStringLiteral("Данное предприятие является контрагентом в документах движения других предприятий. "
                              "Для того чтоб удалить это предприятие, сначала удалите эти документы !");
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM MENU WHERE KOD_FIRMA = ") + k))
        return QStringLiteral("Имеются меню, привязанные к удаляемому предприятию. Для удаления предприятия сначало "
                              "нужно удалить эти меню !");
    return {};
}

bool FirmaHasStock(const engine::Context& ctx, qint64 firma)
{
    return Exists(ctx, QStringLiteral("SELECT KOD FROM ING_SKLAD WHERE KOD_FIRMA = ") + Key(firma) +
                  QStringLiteral(" AND KOLVO <> 0"));
}

QString OtdelDeleteRefusal(const engine::Context& ctx, qint64 otdel, bool mainOtdel)
{
    if (mainOtdel)
        return QStringLiteral("Этот отдел является основным, его нельзя удалить, можно только переименовать !");
    const QString k = Key(otdel);
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM MOVES WHERE KOD_OTDEL = ") + k))
        return QStringLiteral("Имеются документы движения содержащие в проводках этот отдел. Удаление невозможно !");
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM MENU_RAZDEL WHERE KOD_OTDEL = ") + k))
        return QStringLiteral("Имеются меню, разделы которых ссылаются на этот отдел. Удаление невозможно !");
    // Production and sales lines, and document headers (own department, or the
    // receiving one of a transfer; an inventory's second key is its warehouse).
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM REAL_BLUDO WHERE KOD_OTDEL = ") + k))
        return QStringLiteral("Имеются документы производства и реализации, содержащие этот отдел. Удаление невозможно !");
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM DOCS WHERE INT_PARAM1 = ") + k + QStringLiteral(" OR (INT_PARAM2 = ") + k +
               QStringLiteral(" AND DOC_TYPE <> 1)")))
        return QStringLiteral("Имеются документы, в которых указан этот отдел. Удаление невозможно !");
    return {};
}

bool OtdelHasStock(const engine::Context& ctx, qint64 otdel)
{
    return Exists(ctx, QStringLiteral("SELECT KOD FROM ING_SKLAD WHERE KOD_OTDEL = ") + Key(otdel) +
                  QStringLiteral(" AND KOLVO <> 0"));
}

QString SkladDeleteRefusal(const engine::Context& ctx, qint64 sklad, bool mainSklad)
{
    if (mainSklad)
        return QStringLiteral("Этот склад является основным, его нельзя удалить, можно только переименовать !");
    auto q = engine::Reader(ctx);
    q->setSql(QStringLiteral("SELECT KOD FROM ING_SKLAD WHERE KOD_SKLAD = :K"));
    q->param(QStringLiteral("K")).setString(Key(sklad));
    q->open();
    const bool holds = !q->isEmpty();
    q->close();
    if (holds)
        return QStringLiteral("Нельзя удалить склад, в котором имеются продукты. Сначала переместите все продукты этого "
                              "склада на другой !!!");
    if (Exists(ctx, QStringLiteral("SELECT KOD FROM DOCS WHERE DOC_TYPE = 1 AND INT_PARAM2 = ") + Key(sklad)))
        return QStringLiteral("Имеются документы инвентаризации этого склада. Удаление невозможно !");
    return {};
}

int EdUseCount(const engine::Context& ctx, qint64 ed)
{
    auto q = engine::Reader(ctx);
    q->setSql(QStringLiteral("Select Count(KOD) From ING where ED_IZM = ") + Key(ed));
    q->open();
    const int n = q->field(0).asInt();
    q->close();
    return n;
}

// ---- deletions ----

void DeleteFirma(const engine::Context& ctx, qint64 firma)
{
    RunProc(ctx, QStringLiteral("DELETE_FIRMA"), {{QStringLiteral("KOD_FIRMA"), Key(firma)}});
}

void DeleteOtdel(const engine::Context& ctx, qint64 otdel)
{
    RunProc(ctx, QStringLiteral("DELETE_OTDEL"), {{QStringLiteral("KOD_OTDEL"), Key(otdel)}});
}

void DeleteSklad(const engine::Context& ctx, qint64 sklad, qint64 otdel)
{
    const qint64 main =
        engine::FirstKey(ctx, QStringLiteral("SELECT KOD FROM SKLAD WHERE FIRST_SKLAD = '1' AND KOD_OTDEL = ") + Key(otdel));
    if (main > 0)
        Exec(ctx, QStringLiteral("UPDATE SKLAD_GRING SET KOD_SKLAD = ") + Key(main) + QStringLiteral(" WHERE KOD_SKLAD = ") +
             Key(sklad));
    RunProc(ctx, QStringLiteral("DELETE_SKLAD"), {{QStringLiteral("KOD_SKLAD"), Key(sklad)}});
}

void DeleteEd(const engine::Context& ctx, qint64 ed)
{
    Exec(ctx, QStringLiteral("DELETE FROM ED_IZM WHERE KOD = ") + Key(ed));
}

void OpenFirmaPicker(db::Query* q, const QString& table, int localFilter, bool context, const QString& text)
{
    q->close();
    q->clearSql();
    const bool filtered = localFilter < 2;
    if (context) {
        if (filtered) {
            q->addSql(QStringLiteral("SELECT KOD, NAME FROM ") + table + QStringLiteral(" WHERE LOCAL_FIRMA = :L"));
            q->addSql(QStringLiteral("AND NAME CONTAINING :S"));
        } else {
            q->addSql(QStringLiteral("SELECT KOD, NAME FROM ") + table);
            q->addSql(QStringLiteral("WHERE NAME CONTAINING :S"));
        }
        q->addSql(QStringLiteral("ORDER BY NAME"));
        q->param(QStringLiteral("S")).setString(text);
    } else if (filtered) {
        q->addSql(QStringLiteral("SELECT KOD, NAME FROM ") + table + QStringLiteral(" WHERE LOCAL_FIRMA = :L ORDER BY NAME"));
    } else {
        q->addSql(QStringLiteral("SELECT KOD, NAME FROM ") + table + QStringLiteral(" ORDER BY NAME"));
    }
    if (filtered)
        q->param(QStringLiteral("L")).setInt(localFilter);
    q->prepare();
    q->open();
}

} // namespace structure
