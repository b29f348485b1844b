#include "EngineDb.h"

#include "Changes.h"
#include "RowRefusal.h"

#include "db/Query.h"

#include <QStringList>

namespace engine {

std::unique_ptr<db::Query> Reader(const Context& ctx, const QString& sql)
{
    auto q = std::make_unique<db::Query>(ctx.database, ctx.read);
    if (!sql.isEmpty())
        q->setSql(sql);
    return q;
}

std::unique_ptr<db::Query> Writer(const Context& ctx, const QString& sql)
{
    auto q = std::make_unique<db::Query>(ctx.database, ctx.write);
    if (!sql.isEmpty())
        q->setSql(sql);
    return q;
}

bool Exists(const Context& ctx, const QString& sql)
{
    auto q = Reader(ctx, sql);
    q->open();
    return !q->isEmpty();
}

QList<qint64> Keys(const Context& ctx, const QString& sql, const std::function<void(db::Query*)>& bind)
{
    auto q = Reader(ctx, sql);
    if (bind)
        bind(q.get());
    q->open();
    QList<qint64> keys;
    for (q->first(); !q->eof(); q->next())
        keys << q->field(0).asInt64();
    return keys;
}

qint64 FirstKey(const Context& ctx, const QString& sql)
{
    auto q = Reader(ctx, sql);
    q->open();
    return q->isEmpty() ? 0 : q->field(0).asInt64();
}

qint64 FreshKey(const Context& ctx) { return FirstKey(ctx, QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE")); }

void Exec(const Context& ctx, const QString& sql) { Writer(ctx, sql)->execSql(); }

Context InRoad(const Context& ctx)
{
    Context inRoad = ctx;
    inRoad.read = ctx.write;
    return inRoad;
}

void RunProc(const Context& ctx, const QString& name, const QList<QPair<QString, QString>>& params)
{
    QStringList names;
    for (const auto& k : params)
        names << QStringLiteral(":") + k.first;
    auto p = Writer(ctx, QStringLiteral("EXECUTE PROCEDURE ") + name + QStringLiteral(" ") + names.join(QStringLiteral(", ")));
    for (const auto& k : params)
        p->param(k.first).setString(k.second);
    p->prepare();
    p->execSql();
}

qint64 InsertRecord(const Context& ctx, const R_Record& r)
{
    const QStringList lines = InsertRecordSql(r);  // checks the count before anything runs
    auto gen = Reader(ctx, QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    gen->open();
    const qint64 kod = gen->field(QStringLiteral("GEN_ID")).asString().toLongLong();
    gen->close();
    auto q = Writer(ctx);
    q->setSql(lines);
    q->param(QStringLiteral("PKOD")).setString(QString::number(kod));
    BindRecordFields(q.get(), r);
    q->execSql();
    NoteChange(ctx, r.Table, kod);
    return kod;
}

void UpdateRecord(const Context& ctx, const R_Record& r)
{
    const QStringList lines = UpdateRecordSql(r);
    auto q = Writer(ctx);
    q->setSql(lines);
    BindRecordFields(q.get(), r);
    q->execSql();
    // No row of that key: another workstation deleted it. Nothing of the road may be kept or logged as done.
    if (q->rowsAffected() == 0)
        throw RowRefusal(r.Table, r.KOD, QStringLiteral("Запись удалена на другом рабочем месте. Ничего не записано."));
    NoteChange(ctx, r.Table, r.KOD);
}

QString LikeLiteral(const QString& text)
{
    QString out;
    out.reserve(text.size() * 2);
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

namespace {
// Longer than any name: a text this long finds nothing anyway.
constexpr int kNameSearchLength = 1000;
} // namespace

QString NameContains(const QString& column, const QString& param)
{
    return QStringLiteral("REPLACE(UPPER(%1 COLLATE WIN1251), 'Ё', 'Е') CONTAINING CAST(:%2 AS VARCHAR(%3))")
        .arg(column, param)
        .arg(kNameSearchLength);
}

QString NameSearchText(const QString& typed)
{
    return typed.left(kNameSearchLength).toUpper().replace(QChar(0x0401), QChar(0x0415));  // Ё as Е
}

void TakeStockRows(const Context& ctx, const QString& keys)
{
    Exec(ctx, QStringLiteral("EXECUTE BLOCK AS DECLARE VARIABLE K BIGINT; BEGIN "
                             "FOR SELECT DISTINCT T.K FROM (") +
                  keys +
                  QStringLiteral(") T (K) ORDER BY 1 INTO :K DO UPDATE ING_SKLAD SET KOD = KOD WHERE KOD = :K; END"));
}

QString StockRowsOfDocuments(const QList<qint64>& docs)
{
    QStringList in;
    for (qint64 d : docs)
        if (d != 0)
            in << Key(d);
    if (in.isEmpty())
        in << QStringLiteral("0");
    // Only the departments a posting of the document moves stock in: the
    // line's own and the document's two.
    return QStringLiteral("SELECT S.KOD FROM MOVES M JOIN DOCS D ON D.KOD = M.KOD_DOC "
                          "JOIN ING_SKLAD S ON S.KOD_ING = M.KOD_ING "
                          "AND S.KOD_OTDEL IN (M.KOD_OTDEL, D.INT_PARAM1, D.INT_PARAM2) WHERE M.KOD_DOC IN (") +
           in.join(QLatin1Char(',')) + QLatin1Char(')');
}

} // namespace engine
