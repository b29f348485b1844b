#include "DocumentClaim.h"

#include "EngineDb.h"
#include "db/Query.h"

#include <stdexcept>

namespace engine {

DocumentRefusal::DocumentRefusal(qint64 document, bool gone, const QString& text)
    : RowRefusal(QStringLiteral("DOCS"), document, text), gone_(gone)
{
}

QString DocumentGoneText(const QString& name)
{
    return (name.isEmpty() ? QStringLiteral("Документ удалён")
                           : QStringLiteral("Документ № ") + name + QStringLiteral(" удалён")) +
           QStringLiteral(" на другом рабочем месте. Ничего не записано.");
}

QString LineGoneText()
{
    return QStringLiteral("Строка удалена из документа на другом рабочем месте. Ничего не записано.");
}

ClaimedDocument ClaimDocument(const Context& ctx, qint64 doc)
{
    db::Query q(ctx.database, ctx.write);
    // The lock takes the row as an update would, without changing it: the
    // lists showing documents need not read it again.
    q.setSql(QStringLiteral("SELECT PROVODKA, DOC_TYPE FROM DOCS WHERE KOD = ") + QString::number(doc) +
             QStringLiteral(" WITH LOCK"));
    q.open();
    ClaimedDocument out;
    if (q.isEmpty())
        return out;
    out.exists = true;
    out.provodka = q.field(0).isNull() ? 0 : q.field(0).asInt();
    out.type = q.field(1).isNull() ? 0 : q.field(1).asInt();
    return out;
}

UnpostedDocument ClaimUnposted(const Context& ctx, qint64 doc, const QString& postedRefusal, int postedAbove)
{
    const ClaimedDocument c = ClaimDocument(ctx, doc);
    if (!c.exists)
        throw DocumentRefusal(doc, true, DocumentGoneText());
    if (c.provodka > postedAbove)
        throw DocumentRefusal(doc, false, postedRefusal);
    return UnpostedDocument(doc);
}

qint64 SaveDocumentHeader(const Context& ctx, const R_Record& r, const ShownRow& shown, const QString& postedRefusal,
                          int postedAbove)
{
    if (r.KOD == 0)
        return InsertRecord(ctx, r);
    if (shown.key() != r.KOD || shown.table() != r.Table)
        throw std::logic_error("a document's header is saved with what its dialog showed of it");
    ClaimUnposted(ctx, r.KOD, postedRefusal, postedAbove);
    ClaimShownRow(ctx, shown);
    UpdateRecord(ctx, r);
    return r.KOD;
}

} // namespace engine
