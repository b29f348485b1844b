#include "MovementDb.h"

#include "db/Query.h"
#include "engine/Changes.h"
#include "engine/DocumentClaim.h"
#include "engine/EngineDb.h"
#include "engine/Kopecks.h"

#include <cmath>
#include <stdexcept>

namespace movement {

ListQuery DocsMoveQuery(const ListFilter& f)
{
    ListQuery q;
    q.lines << QStringLiteral("SELECT DOCS.*, exp.NAME AS F_From, imp.NAME AS F_To, expo.NAME AS O_From, impo.NAME as O_To FROM DOCS")
            << QStringLiteral("LEFT OUTER JOIN FIRMA exp ON DOCS.KOD_PARTNER_EXPORT = exp.KOD")
            << QStringLiteral("LEFT OUTER JOIN FIRMA imp ON DOCS.KOD_PARTNER_IMPORT = imp.KOD")
            << QStringLiteral("LEFT OUTER JOIN OTDEL expo ON DOCS.INT_PARAM1 = expo.KOD")
            << QStringLiteral("LEFT OUTER JOIN OTDEL impo ON DOCS.INT_PARAM2 = impo.KOD");
    if (!(f.allDates && f.detail == 0 && f.type == 0 && !f.lockOn))
        q.lines << QStringLiteral("WHERE");
    bool condition = false;
    if (f.lockOn && f.allDates) {
        q.lines << QStringLiteral("DATE_DOC >= :DSAdm");
        q.params.append({QStringLiteral("DSAdm"), f.lockDate});
        condition = true;
    } else if (!f.allDates) {
        const QDate start = f.lockOn && f.lockDate > f.start ? f.lockDate : f.start;
        q.lines << QStringLiteral("DATE_DOC >= :DS AND DATE_DOC <= :DE");
        q.params.append({QStringLiteral("DS"), start});
        q.params.append({QStringLiteral("DE"), f.finish});
        condition = true;
    }
    if (f.type != 0) {
        const QString c = f.type == 8 ? QStringLiteral("((DOC_TYPE = 5) or (DOC_TYPE = 6) or (DOC_TYPE = 7))")
                                      : QStringLiteral("DOC_TYPE = ") + QString::number(f.type);
        q.lines << (condition ? QStringLiteral("AND ") : QString()) + c;
        condition = true;
    }
    if (f.detail == 1 || f.detail == 2) {
        const QString c = f.detail == 1 ? QStringLiteral("KOD_PARTNER_EXPORT = :K") : QStringLiteral("INT_PARAM1 = :K");
        q.lines << (condition ? QStringLiteral("AND ") : QString()) + c;
        q.params.append({QStringLiteral("K"), QString::number(f.detail == 1 ? f.firma : f.otdel)});
    }
    q.lines << QStringLiteral("ORDER BY DATE_DOC, TIME_DOC, NAME, DOC_TYPE");
    return q;
}

QString PeriodCaption(bool allDates, const QDate& start, const QDate& finish)
{
    if (allDates)
        return QStringLiteral("Любая дата документа");
    return start.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" <...> ") +
           finish.toString(QStringLiteral("dd.MM.yyyy"));
}

namespace {

qint64 newKey(const engine::Context& ctx)
{
    auto q = engine::Writer(ctx, QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    q->open();
    return q->field(0).asInt64();
}

void keyOrNull(db::Param& p, const db::Field& f)
{
    if (f.isNull() || f.asInt64() <= 0)
        p.setNull();
    else
        p.setString(QString::number(f.asInt64()));
}

} // namespace

qint64 CopyDocument(const engine::Context& ctx, qint64 source, const QString& name, const QDate& date, const QTime& time,
                    bool withQuantity)
{
    db::Database* database = ctx.database;
    db::Transaction* tr = ctx.write;
    const qint64 kod = newKey(ctx);
    db::Query src(database, tr);
    src.setSql(QStringLiteral("SELECT * FROM DOCS WHERE KOD = ") + Key(source));
    src.open();
    if (src.isEmpty())
        throw db::DbError(QStringLiteral("Нет исходного документа !"));
    const int priceKind = src.field(QStringLiteral("TYPE_CENA")).isNull() ? 0 : src.field(QStringLiteral("TYPE_CENA")).asInt();

    db::Query ins(database, tr);
    ins.setSql(QStringList{QStringLiteral("INSERT INTO DOCS (KOD, DATE_DOC, TIME_DOC, DOC_TYPE, NAME, KOD_PARTNER_EXPORT,"),
                           QStringLiteral("KOD_PARTNER_IMPORT, INT_PARAM1, INT_PARAM2, TYPE_CENA, P)"),
                           QStringLiteral("VALUES (:K, :DD, :TD, :DT, :N, :KE, :KI, :I1, :I2, :TC, :PP)")});
    ins.param(QStringLiteral("K")).setString(Key(kod));
    ins.param(QStringLiteral("DD")).setDate(date);
    ins.param(QStringLiteral("TD")).setTime(time);
    ins.param(QStringLiteral("DT")).setInt(src.field(QStringLiteral("DOC_TYPE")).asInt());
    ins.param(QStringLiteral("N")).setString(name);
    keyOrNull(ins.param(QStringLiteral("KE")), src.field(QStringLiteral("KOD_PARTNER_EXPORT")));
    keyOrNull(ins.param(QStringLiteral("KI")), src.field(QStringLiteral("KOD_PARTNER_IMPORT")));
    keyOrNull(ins.param(QStringLiteral("I1")), src.field(QStringLiteral("INT_PARAM1")));
    keyOrNull(ins.param(QStringLiteral("I2")), src.field(QStringLiteral("INT_PARAM2")));
    ins.param(QStringLiteral("TC")).setInt(priceKind);
    // A copied transfer writes off what its source wrote off.
    ins.param(QStringLiteral("PP")).setInt(src.field(QStringLiteral("P")).isNull() ? 0 : src.field(QStringLiteral("P")).asInt());
    ins.execSql();

    db::Query lines(database, tr);
    lines.setSql(QStringList{QStringLiteral("SELECT MOVES.KOD_ING, MOVES.KOD_OTDEL, MOVES.TYPE_MOVES, MOVES.KOLVO,"),
                             QStringLiteral("ING_SKLAD.CENA, ING_SKLAD.MY_CENA FROM MOVES"),
                             QStringLiteral("INNER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = MOVES.KOD_ING AND ING_SKLAD.KOD_OTDEL = MOVES.KOD_OTDEL"),
                             QStringLiteral("WHERE MOVES.KOD_DOC = ") + Key(source),
                             QStringLiteral("ORDER BY MOVES.KOD")});
    lines.open();
    db::Query line(database, tr);
    line.setSql(QStringList{QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, TYPE_MOVES, CENA, KOLVO)"),
                            QStringLiteral("VALUES (:KD, :KI, :KO, :TM, :C, :KV)")});
    for (lines.first(); !lines.eof(); lines.next()) {
        line.param(QStringLiteral("KD")).setString(Key(kod));
        line.param(QStringLiteral("KI")).setString(Key(lines.field(0).asInt64()));
        keyOrNull(line.param(QStringLiteral("KO")), lines.field(1));
        line.param(QStringLiteral("TM")).setInt(lines.field(2).isNull() ? 0 : lines.field(2).asInt());
        line.param(QStringLiteral("C")).setDouble(priceKind == 0 ? lines.field(4).asDouble() : lines.field(5).asDouble());
        line.param(QStringLiteral("KV")).setDouble(withQuantity ? lines.field(3).asDouble() : 0.0);
        line.execSql();
    }
    return kod;
}

QString PostedRefusal() { return QStringLiteral("Нельзя вносить изменения в проведённый документ !!!"); }

engine::UnpostedDocument Claim(const engine::Context& ctx, qint64 doc)
{
    return engine::ClaimUnposted(ctx, doc, PostedRefusal());
}

// The lines' own lists read again only the lines a writer names.
static void noteLine(const engine::Context& ctx, qint64 line) { engine::NoteChange(ctx, QStringLiteral("MOVES"), line); }

void RepriceLines(const engine::Context& ctx, const engine::UnpostedDocument& document, qint64 otdel, int kind)
{
    const qint64 doc = document.kod();
    db::Database* database = ctx.database;
    db::Transaction* tr = ctx.write;
    db::Query lines(database, tr);
    lines.setSql(QStringLiteral("SELECT KOD, KOD_ING FROM MOVES WHERE KOD_DOC = ") + Key(doc) + QStringLiteral(" ORDER BY KOD"));
    lines.open();
    db::Query price(database, tr);
    db::Query upd(database, tr);
    upd.setSql(QStringLiteral("UPDATE MOVES SET CENA = :C WHERE KOD = :K"));
    for (lines.first(); !lines.eof(); lines.next()) {
        price.setSql(QStringLiteral("SELECT CENA, MY_CENA FROM ING_SKLAD WHERE KOD_ING = ") + Key(lines.field(1).asInt64()) +
                     QStringLiteral(" AND KOD_OTDEL = ") + Key(otdel));
        price.open();
        const double c = price.isEmpty() ? 0.0 : price.field(kind == 0 ? 0 : 1).asDouble();
        price.close();
        upd.param(QStringLiteral("C")).setDouble(c);
        upd.param(QStringLiteral("K")).setString(Key(lines.field(0).asInt64()));
        upd.execSql();
        noteLine(ctx, lines.field(0).asInt64());
    }
}

qint64 AddLine(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 otdel, qint64 ing, int priceKind)
{
    // The price as the stock row holds it now, not as a list last showed it.
    db::Query price(ctx.database, ctx.write);
    price.setSql(QStringLiteral("SELECT CENA, MY_CENA FROM ING_SKLAD WHERE KOD_ING = ") + Key(ing) +
                 QStringLiteral(" AND KOD_OTDEL = ") + Key(otdel));
    price.open();
    const double cena = price.isEmpty() ? 0.0 : price.field(priceKind == 0 ? 0 : 1).asDouble();
    price.close();
    // The key is drawn on the reading transaction, as the row writer draws its keys.
    auto key = engine::Reader(ctx, QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    key->open();
    const qint64 kod = key->field(0).asInt64();
    auto w = engine::Writer(ctx, QStringList{QStringLiteral("INSERT INTO MOVES (KOD, KOD_DOC, KOD_ING, KOLVO, CENA, KOD_OTDEL)"),
                                             QStringLiteral("VALUES (:K, :KD, :KI, :KV, :CN, :KO)")}
                                     .join(QLatin1Char('\n')));
    w->param(QStringLiteral("K")).setString(Key(kod));
    w->param(QStringLiteral("KD")).setString(Key(doc.kod()));
    w->param(QStringLiteral("KI")).setString(Key(ing));
    w->param(QStringLiteral("KV")).setDouble(0);
    w->param(QStringLiteral("CN")).setDouble(engine::ToKopeck(cena));
    w->param(QStringLiteral("KO")).setString(Key(otdel));
    w->execSql();
    noteLine(ctx, kod);
    return kod;
}

void SetLineValue(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 line, const QString& column,
                  double value)
{
    auto q = engine::Writer(ctx, QStringLiteral("UPDATE MOVES SET ") + column + QStringLiteral(" = :P WHERE KOD = ") +
                                     Key(line) + QStringLiteral(" AND KOD_DOC = ") + Key(doc.kod()));
    q->param(QStringLiteral("P")).setDouble(value);
    q->execSql();
    if (q->rowsAffected() == 0)
        throw engine::RowRefusal(QStringLiteral("MOVES"), line, engine::LineGoneText());
    noteLine(ctx, line);
}

void SetLineSum(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 line, double sum)
{
    // The line's quantity and price as they stand now, not as a list last showed them.
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("SELECT KOLVO, CENA FROM MOVES WHERE KOD = ") + Key(line) + QStringLiteral(" AND KOD_DOC = ") +
             Key(doc.kod()));
    q.open();
    if (q.isEmpty())
        throw engine::RowRefusal(QStringLiteral("MOVES"), line, engine::LineGoneText());
    const double kolvo = q.field(0).isNull() ? 0 : q.field(0).asDouble();
    const double cena = q.field(1).isNull() ? 0 : q.field(1).asDouble();
    q.close();
    // The figure derived is that decimal to six places, as the papers print
    // it: 1 000,00 typed for 300 leaves 3,333333, whose line reads 1 000,00.
    if (kolvo != 0)
        return SetLineValue(ctx, doc, line, QStringLiteral("CENA"), engine::Printed(sum / kolvo));
    if (cena != 0)
        return SetLineValue(ctx, doc, line, QStringLiteral("KOLVO"), engine::Printed(sum / cena));
    throw std::runtime_error(QStringLiteral("При вводе суммы или количество или цена не должны быть равными нулю, "
                                            "чтоб программа могла произвести расчёт !")
                                 .toStdString());
}

void DeleteLine(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 line)
{
    auto q = engine::Writer(ctx, QStringLiteral("DELETE FROM MOVES WHERE KOD = :K AND KOD_DOC = :D"));
    q->param(QStringLiteral("K")).setString(Key(line));
    q->param(QStringLiteral("D")).setString(Key(doc.kod()));
    q->execSql();
    if (q->rowsAffected() == 0)
        throw engine::RowRefusal(QStringLiteral("MOVES"), line, engine::LineGoneText());
    noteLine(ctx, line);
}

void DeleteLines(const engine::Context& ctx, const engine::UnpostedDocument& doc)
{
    auto q = engine::Writer(ctx, QStringLiteral("DELETE FROM MOVES WHERE KOD_DOC = :K"));
    q->param(QStringLiteral("K")).setString(Key(doc.kod()));
    q->execSql();
}

} // namespace movement

#include "db/Codec.h"

namespace movement {

QString CharsOutsideCp1251(const QString& text)
{
    return db::unstorableCharacters(text);
}

QString Cp1251Refusal(const QString& chars)
{
    return QStringLiteral("Символы \"") + chars + QStringLiteral("\" не могут быть сохранены в базе данных. Замените их.");
}

} // namespace movement
