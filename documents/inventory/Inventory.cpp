#include "Inventory.h"

#include "engine/Context.h"
#include "db/Query.h"

namespace inventory {

namespace {

QString key(qint64 k) { return QString::number(k); }


} // namespace

int UnpostedDocuments(const engine::Context& ctx)
{
    db::Query q(ctx.database, ctx.read);
    q.setSql(QStringLiteral("SELECT COUNT(KOD) FROM DOCS WHERE PROVODKA < 11"));
    q.open();
    return static_cast<int>(q.field(QStringLiteral("COUNT")).asInt64());
}

void ClearLines(const engine::Context& ctx, qint64 docKod)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("DELETE FROM INVENT WHERE KOD_DOC = ") + key(docKod));
    q.execSql();
}

void Fill(const engine::Context& ctx, const InvDoc& doc, const FillOptions& options, bool clearFirst)
{
    if (clearFirst)
        ClearLines(ctx, doc.kod);
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("EXECUTE PROCEDURE ADD_ING_TO_INV (:FLAG, :KOD_OTDEL, :KOD_SKLAD, :KOD_DOC, :MY_ZERO, :OPEN_CLOSE)"));
    q.param(QStringLiteral("FLAG")).setInt(options.bookQuantity ? 1 : 0);
    q.param(QStringLiteral("KOD_OTDEL")).setInt64(doc.otdel);
    q.param(QStringLiteral("KOD_SKLAD")).setInt64(doc.sklad);
    q.param(QStringLiteral("KOD_DOC")).setInt64(doc.kod);
    q.param(QStringLiteral("MY_ZERO")).setInt(options.zeroNegative ? 1 : 0);
    q.param(QStringLiteral("OPEN_CLOSE")).setInt(options.hiddenToo ? 1 : 0);
    q.execSql();
}

bool LaterPostedInventory(const engine::Context& ctx, const InvDoc& doc)
{
    db::Query q(ctx.database, ctx.read);
    q.setSql(QStringList{QStringLiteral("SELECT DOCS.KOD, INVENT.KOD FROM DOCS"),
                         QStringLiteral("JOIN INVENT ON DOCS.KOD = INVENT.KOD_DOC"),
                         QStringLiteral("WHERE (DOCS.DATE_DOC > :D OR (DOCS.DATE_DOC = :D AND DOCS.TIME_DOC > :T))"),
                         QStringLiteral("AND DOCS.PROVODKA > 10 AND DOCS.INT_PARAM1 = :S")});
    q.param(QStringLiteral("D")).setDate(doc.date);
    q.param(QStringLiteral("T")).setTime(doc.time);
    q.param(QStringLiteral("S")).setInt64(doc.otdel);
    q.open();
    return !q.isEmpty();
}

int LineCount(const engine::Context& ctx, qint64 docKod)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("SELECT KOD FROM INVENT WHERE KOD_DOC = ") + key(docKod));
    q.open();
    return q.recordCount();
}

int DeleteUnchangedLines(const engine::Context& ctx, qint64 docKod)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringList{QStringLiteral("DELETE FROM INVENT WHERE KOD_DOC = ") + key(docKod),
                         QStringLiteral(" AND KOLVO = MY_KOLVO AND CENA = MY_CENA")});
    q.execSql();
    return LineCount(ctx, docKod);
}

void Post(const engine::Context& ctx, const InvDoc& doc)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("EXECUTE PROCEDURE INVENT_PROVODKA (:KOD_DOC, :KOD_OTDEL)"));
    q.param(QStringLiteral("KOD_DOC")).setInt64(doc.kod);
    q.param(QStringLiteral("KOD_OTDEL")).setInt64(doc.otdel);
    q.execSql();
}

bool IsComposite(const engine::Context& ctx, qint64 ingKod)
{
    db::Query q(ctx.database, ctx.read);
    q.setSql(QStringLiteral("Select MY_LEVEL from ing where KOD = ") + key(ingKod));
    q.open();
    return !q.isEmpty() && q.field(QStringLiteral("MY_LEVEL")).asInt64() > 0;
}

void SetCounted(const engine::Context& ctx, qint64 lineKod, Column column, double value)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql((column == Column::Quantity ? QStringLiteral("UPDATE INVENT SET MY_KOLVO = :P WHERE KOD = ")
                                         : QStringLiteral("UPDATE INVENT SET MY_CENA = :P WHERE KOD = ")) +
             key(lineKod));
    q.param(QStringLiteral("P")).setDouble(value);
    q.execSql();
}

void RefreshBookValues(const engine::Context& ctx, qint64 otdel, const QList<InvLine>& lines)
{
    db::Query stock(ctx.database, ctx.read);
    db::Query w(ctx.database, ctx.write);
    for (const InvLine& line : lines) {
        stock.close();
        stock.setSql(QStringLiteral("SELECT KOLVO, CENA, MY_CENA FROM ING_SKLAD WHERE KOD_ING = ") + key(line.ing) +
                     QStringLiteral(" AND KOD_OTDEL = ") + key(otdel));
        stock.open();
        w.setSql(QStringLiteral("UPDATE INVENT SET KOLVO = :K, CENA = :C, CENA_P = :CP WHERE KOD = ") + key(line.kod));
        // A product gone from the department's stock counts nothing on the books.
        const bool found = !stock.isEmpty();
        w.param(QStringLiteral("K")).setDouble(found ? stock.field(QStringLiteral("KOLVO")).asDouble() : 0);
        w.param(QStringLiteral("C")).setDouble(found ? stock.field(QStringLiteral("CENA")).asDouble() : 0);
        w.param(QStringLiteral("CP")).setDouble(found ? stock.field(QStringLiteral("MY_CENA")).asDouble() : 0);
        w.execSql();
    }
}

} // namespace inventory
