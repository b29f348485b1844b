#include "Deletion.h"

#include "engine/Context.h"
#include "engine/Changes.h"
#include "engine/DocumentClaim.h"
#include "engine/EngineDb.h"
#include "db/Query.h"

namespace deletion {

int RollbackMode(const Options& options, int provodka, int editCena)
{
    if (!options.rollback || provodka == 0)
        return 0;
    return options.restorePrices && editCena > 0 ? 2 : 1;
}

namespace {

struct DocState {
    bool exists = false;
    int type = 0;
    int provodka = 0;
    int editCena = 0;
    qint64 pair = 0;
};

// The document's row is claimed before it is read: the state read is then
// the one this deletion acts on, and two workstations deleting or posting the
// same document take turns.
DocState stateOf(const engine::Context& ctx, qint64 kod)
{
    engine::ClaimDocument(ctx, kod);
    // Read on the write transaction: the pair's other half may already be gone in this run.
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("SELECT DOC_TYPE, PROVODKA, EDIT_CENA, INT_PARAM3 FROM DOCS WHERE KOD = ") +
             QString::number(kod));
    q.open();
    DocState s;
    if (q.isEmpty())
        return s;
    s.exists = true;
    s.type = static_cast<int>(q.field(QStringLiteral("DOC_TYPE")).asInt64());
    s.provodka = static_cast<int>(q.field(QStringLiteral("PROVODKA")).asInt64());
    s.editCena = static_cast<int>(q.field(QStringLiteral("EDIT_CENA")).asInt64());
    s.pair = q.field(QStringLiteral("INT_PARAM3")).asInt64();
    return s;
}

void deleteDoc(const engine::Context& ctx, qint64 kod, const DocState& s, const Options& options)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("EXECUTE PROCEDURE DEL_DOC (:KOD_DOC, :OTKAT)"));
    q.param(QStringLiteral("KOD_DOC")).setInt64(kod);
    q.param(QStringLiteral("OTKAT")).setInt(RollbackMode(options, s.provodka, s.editCena));
    q.execSql();
    q.setSql(QStringLiteral("DELETE FROM DOCS WHERE KOD = ") + QString::number(kod));
    q.execSql();
    engine::NoteChange(ctx, QStringLiteral("DOCS"), kod);
}

} // namespace

void DeleteOneDoc(const engine::Context& ctx, qint64 kod, const Options& options)
{
    const DocState s = stateOf(ctx, kod);
    if (!s.exists)
        return;
    if (options.rollback)
        engine::TakeStockRows(ctx, engine::StockRowsOfDocuments({kod}));
    deleteDoc(ctx, kod, s, options);
}

bool DeleteWithPair(const engine::Context& ctx, qint64 kod, const Options& options)
{
    const DocState s = stateOf(ctx, kod);
    if (!s.exists)
        return false;
    const bool paired = (s.type == 4 || s.type == 7 || s.type == 2) && s.provodka > 10 && s.pair != 0;
    if (paired)
        engine::ClaimDocument(ctx, s.pair);
    if (options.rollback)
        engine::TakeStockRows(ctx, engine::StockRowsOfDocuments({kod, paired ? s.pair : 0}));
    if (paired)
        DeleteOneDoc(ctx, s.pair, options);
    deleteDoc(ctx, kod, s, options);
    return true;
}

} // namespace deletion
