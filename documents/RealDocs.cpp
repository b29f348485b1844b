#include "RealDocs.h"

#include "costing/Rounding.h"
#include "db/Query.h"
#include "engine/Changes.h"
#include "engine/DocumentClaim.h"
#include "engine/EngineDb.h"
#include "menus/MenuPrice.h"

namespace realdocs {

namespace {

const QString kLinesSelect = QStringLiteral(
    "SELECT REAL_BLUDO.*, ING.NAME, ING.KVO_PORC, ING.CENA_COMPUTE, GROUP_ING.NAME AS GROUP_NAME, "
    "GROUP_ING.KOD AS GROUP_KOD, ED_IZM.SHORT_NAME, OTDEL.NAME AS NAME_O from REAL_BLUDO");

qint64 intOr0(const db::Query& q, const QString& name)
{
    const db::Field f = q.field(name);
    return f.isNull() ? 0 : f.asInt64();
}

double floatOr0(const db::Query& q, const QString& name)
{
    const db::Field f = q.field(name);
    return f.isNull() ? 0 : f.asDouble();
}

void bindKeyOrNull(db::Query& q, const QString& name, const db::Field& f)
{
    if (f.isNull())
        q.param(name).setNull();
    else
        q.param(name).setInt64(f.asInt64());
}

} // namespace

movement::ListQuery DocsRealQuery(bool periodOn, const QDate& start, const QDate& finish)
{
    movement::ListQuery r;
    r.lines << QStringLiteral("SELECT DOCS.*, FIRMA.NAME AS NAME_F FROM DOCS")
            << QStringLiteral("LEFT OUTER JOIN FIRMA ON FIRMA.KOD = DOCS.KOD_PARTNER_EXPORT");
    if (periodOn) {
        r.lines << QStringLiteral("WHERE (DOC_TYPE = 7 OR DOC_TYPE = 3) AND DATE_DOC >= :DS AND DATE_DOC <= :DE");
        r.params.append({QStringLiteral("DS"), QVariant(start)});
        r.params.append({QStringLiteral("DE"), QVariant(finish)});
    } else {
        r.lines << QStringLiteral("WHERE DOC_TYPE = 7 OR DOC_TYPE = 3");
    }
    r.lines << QStringLiteral("ORDER BY DATE_DOC, TIME_DOC");
    return r;
}

movement::ListQuery RealBludoQuery(qint64 doc, bool contextOn, const QString& text)
{
    movement::ListQuery r;
    r.lines << kLinesSelect << QStringLiteral("LEFT OUTER JOIN OTDEL ON OTDEL.KOD = REAL_BLUDO.KOD_OTDEL")
            << QStringLiteral("LEFT OUTER JOIN ING ON ING.KOD = REAL_BLUDO.KOD_ING")
            << QStringLiteral("LEFT OUTER JOIN GROUP_ING ON GROUP_ING.KOD = ING.KOD_GROUP")
            << QStringLiteral("LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM")
            << QStringLiteral("WHERE KOD_DOC = ") + Key(doc);
    if (contextOn) {
        r.lines << QStringLiteral("AND ") + engine::NameContains(QStringLiteral("ING.NAME"), QStringLiteral("S"));
        r.params.append({QStringLiteral("S"), QVariant(engine::NameSearchText(text))});
    }
    r.lines << QStringLiteral("ORDER BY OTDEL.KOD, GROUP_ING.NAME, ING.NAME");
    return r;
}

bool InventoryOpen(const engine::Context& ctx)
{
    auto q = engine::Writer(ctx, QStringLiteral("SELECT COUNT(KOD) FROM DOCS WHERE DOC_TYPE = 1 AND PROVODKA < 11"));
    q->open();
    return q->field(0).asInt64() > 0;
}

namespace {

const QString kPosted = QStringLiteral("Документ уже проведён, изменения невозможны !");

} // namespace

// A production or sales document counts as posted above 0.
engine::UnpostedDocument Claim(const engine::Context& ctx, qint64 doc)
{
    return engine::ClaimUnposted(ctx, doc, kPosted, 0);
}

qint64 SaveHeader(const engine::Context& ctx, const Header& h, const engine::ShownRow& shown)
{
    R_Record r(QStringLiteral("DOCS"), h.kod);
    r.addString(QStringLiteral("NAME"), h.name)
        .addDate(QStringLiteral("DATE_DOC"), h.date)
        .addInt(QStringLiteral("DOC_TYPE"), h.type)
        .addInt(QStringLiteral("KOD_PARTNER_EXPORT"), h.firma)
        .addInt(QStringLiteral("KOD_PARTNER_IMPORT"), h.firma)
        .addInt(QStringLiteral("P"), h.p)
        .addTime(QStringLiteral("TIME_DOC"), h.time);
    return engine::SaveDocumentHeader(ctx, r, shown, kPosted, 0);
}

void SetLineQuantity(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 line, double value)
{
    auto q = engine::Writer(ctx, QStringLiteral("UPDATE REAL_BLUDO SET KOLVO = :P WHERE KOD = ") + Key(line) +
                                     QStringLiteral(" AND KOD_DOC = ") + Key(doc.kod()));
    q->param(QStringLiteral("P")).setDouble(value);
    q->execSql();
    if (q->rowsAffected() == 0)
        throw engine::RowRefusal(QStringLiteral("REAL_BLUDO"), line, engine::LineGoneText());
    // The lines' list reads again only this line.
    engine::NoteChange(ctx, QStringLiteral("REAL_BLUDO"), line);
}

int FillFromMenu(const engine::Context& ctx, const engine::UnpostedDocument& document, qint64 menu, bool replace)
{
    const qint64 doc = document.kod();
    if (replace)
        engine::Exec(ctx, QStringLiteral("DELETE FROM REAL_BLUDO WHERE KOD_DOC = ") + Key(doc));
    auto m = engine::Writer(
        ctx, QStringList{QStringLiteral("select MENU_STR.NO_ROUND, MENU_STR.KOD_ING, MENU_RAZDEL.KOD_OTDEL, MENU.PERCENT, "
                                        "ING_SKLAD.MY_CENA, ING_SKLAD.METOD_CENA, ING_SKLAD.CENA AS CENA_SKLAD from MENU_STR"),
                         QStringLiteral("INNER JOIN MENU_RAZDEL ON MENU_RAZDEL.KOD = MENU_STR.KOD_MENU_RAZDEL"),
                         QStringLiteral("INNER JOIN ING ON ING.KOD = MENU_STR.KOD_ING"),
                         QStringLiteral("INNER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD AND ING_SKLAD.KOD_OTDEL = "
                                        "MENU_RAZDEL.KOD_OTDEL"),
                         QStringLiteral("INNER JOIN MENU ON MENU.KOD = MENU_RAZDEL.KOD_MENU"),
                         QStringLiteral("WHERE MENU_RAZDEL.KOD_MENU = ") + Key(menu),
                         QStringLiteral("ORDER BY MENU_RAZDEL.MY_SORT, MENU_STR.KOD")}
                 .join(QLatin1Char('\n')));
    m->open();
    auto ins = engine::Writer(ctx, QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_OTDEL, KOD_ING, CENA, CENA_SKLAD) "
                                                  "VALUES (:KD, :KO, :KI, :C, :CS)"));
    int n = 0;
    for (m->first(); !m->eof(); m->next()) {
        menus::MenuLine line;
        line.price = floatOr0(*m, QStringLiteral("MY_CENA"));
        line.percent = static_cast<int>(intOr0(*m, QStringLiteral("PERCENT")));
        line.noRound = static_cast<int>(intOr0(*m, QStringLiteral("NO_ROUND")));
        line.method = static_cast<int>(intOr0(*m, QStringLiteral("METOD_CENA")));
        const double price = menus::CenaMenu(ctx, line, menus::MenuPriceUse::Document).value_or(0);
        ins->param(QStringLiteral("KD")).setString(Key(doc));
        ins->param(QStringLiteral("KO")).setString(Key(intOr0(*m, QStringLiteral("KOD_OTDEL"))));
        ins->param(QStringLiteral("KI")).setString(Key(intOr0(*m, QStringLiteral("KOD_ING"))));
        ins->param(QStringLiteral("C")).setDouble(price);
        ins->param(QStringLiteral("CS")).setDouble(floatOr0(*m, QStringLiteral("CENA_SKLAD")));
        ins->execSql();
        ++n;
    }
    return n;
}

qint64 CopyDocument(const engine::Context& ctx, qint64 source, const QString& name, const QDate& date,
                    const QTime& time, bool withQuantity, const QList<qint64>& lines)
{
    auto g = engine::Writer(ctx, QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    g->open();
    const qint64 kod = g->field(0).asInt64();
    auto s = engine::Writer(ctx, QStringLiteral("SELECT * FROM DOCS WHERE KOD = ") + Key(source));
    s->open();
    if (s->isEmpty())
        throw std::runtime_error(QStringLiteral("Нет исходного документа !").toStdString());
    // The copy writes off the same way as its source.
    auto ins = engine::Writer(ctx, QStringLiteral("INSERT INTO DOCS (KOD, DATE_DOC, TIME_DOC, DOC_TYPE, NAME, KOD_PARTNER_EXPORT, "
                                                  "KOD_PARTNER_IMPORT, INT_PARAM1, INT_PARAM2, INT_PARAM3, TYPE_CENA, P) "
                                                  "VALUES (:K, :DD, :TD, :DT, :N, :KE, :KI, :I1, :I2, :I3, :TC, :P)"));
    ins->param(QStringLiteral("K")).setInt64(kod);
    ins->param(QStringLiteral("DD")).setDate(date);
    ins->param(QStringLiteral("TD")).setTime(time);
    bindKeyOrNull(*ins, QStringLiteral("DT"), s->field(QStringLiteral("DOC_TYPE")));
    ins->param(QStringLiteral("N")).setString(name);
    bindKeyOrNull(*ins, QStringLiteral("KE"), s->field(QStringLiteral("KOD_PARTNER_EXPORT")));
    bindKeyOrNull(*ins, QStringLiteral("KI"), s->field(QStringLiteral("KOD_PARTNER_IMPORT")));
    bindKeyOrNull(*ins, QStringLiteral("I1"), s->field(QStringLiteral("INT_PARAM1")));
    bindKeyOrNull(*ins, QStringLiteral("I2"), s->field(QStringLiteral("INT_PARAM2")));
    // A posted production names its output here; the copy is not posted and names nothing.
    const qint64 type = intOr0(*s, QStringLiteral("DOC_TYPE"));
    if (type == 7 || type == 3)
        ins->param(QStringLiteral("I3")).setNull();
    else
        bindKeyOrNull(*ins, QStringLiteral("I3"), s->field(QStringLiteral("INT_PARAM3")));
    bindKeyOrNull(*ins, QStringLiteral("TC"), s->field(QStringLiteral("TYPE_CENA")));
    ins->param(QStringLiteral("P")).setInt64(intOr0(*s, QStringLiteral("P")));
    ins->execSql();

    auto price = engine::Writer(ctx, QStringLiteral("SELECT ING_SKLAD.CENA, ING_SKLAD.MY_CENA, REAL_BLUDO.KOD_ING, "
                                                    "REAL_BLUDO.KOD_OTDEL, REAL_BLUDO.KOLVO FROM DOCS "
                                                    "INNER JOIN REAL_BLUDO ON REAL_BLUDO.KOD_DOC = DOCS.KOD "
                                                    "INNER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = REAL_BLUDO.KOD_ING AND "
                                                    "ING_SKLAD.KOD_OTDEL = REAL_BLUDO.KOD_OTDEL "
                                                    "WHERE REAL_BLUDO.KOD = :L"));
    auto line = engine::Writer(ctx, QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, CENA, KOLVO, CENA_SKLAD) "
                                                   "VALUES (:KD, :KI, :KO, :C, :KV, :CS)"));
    for (const qint64 l : lines) {
        price->close();
        price->param(QStringLiteral("L")).setInt64(l);
        price->open();
        if (price->isEmpty())
            continue;
        const qint64 otdel = intOr0(*price, QStringLiteral("KOD_OTDEL"));
        line->param(QStringLiteral("KD")).setInt64(kod);
        line->param(QStringLiteral("KI")).setInt64(intOr0(*price, QStringLiteral("KOD_ING")));
        if (otdel > 0)
            line->param(QStringLiteral("KO")).setInt64(otdel);
        else
            line->param(QStringLiteral("KO")).setNull();
        line->param(QStringLiteral("C")).setDouble(costing::RoundPrice(ctx, floatOr0(*price, QStringLiteral("MY_CENA"))));
        line->param(QStringLiteral("KV")).setDouble(withQuantity ? floatOr0(*price, QStringLiteral("KOLVO")) : 0.0);
        line->param(QStringLiteral("CS")).setDouble(floatOr0(*price, QStringLiteral("CENA")));
        line->execSql();
    }
    return kod;
}

} // namespace realdocs
