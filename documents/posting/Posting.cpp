#include "Posting.h"

#include "costing/CardSource.h"
#include "costing/Expansion.h"
#include "db/Error.h"
#include "db/Query.h"
#include "engine/Changes.h"
#include "engine/DocumentClaim.h"
#include "engine/EngineDb.h"

#include <memory>
#include <stdexcept>

namespace posting {

namespace {

qint64 intOrZero(const db::Query& q, const char* name)
{
    const db::Field f = q.field(QString::fromLatin1(name));
    return f.isNull() ? 0 : f.asInt64();
}

// A statement that changes the documents' rows of these keys, noted with them.
void execOnDocs(const Context& ctx, const QString& sql, std::initializer_list<qint64> docs)
{
    engine::Exec(ctx, sql);
    for (qint64 d : docs)
        engine::NoteChange(ctx, QStringLiteral("DOCS"), d);
}

void callProcedure(const Context& ctx, const QString& name, qint64 doc, const int* otkat)
{
    auto q = engine::Writer(ctx, QStringLiteral("EXECUTE PROCEDURE ") + name +
                                     (otkat ? QStringLiteral(" (:KOD_DOC, :OTKAT)") : QStringLiteral(" (:KOD_DOC)")));
    q->param(QStringLiteral("KOD_DOC")).setString(Key(doc));
    if (otkat)
        q->param(QStringLiteral("OTKAT")).setInt(*otkat);
    q->execSql();
}

// Whether the database's PROVODKA_MOVE takes a receipt's stock rows itself,
// in the order of their keys, as it posts them: the form with RECEIVE_ROW
// does. A database made by an earlier build keeps the form that goes line by
// line, whose rows must be taken first.
bool receiptTakesItsRows(const Context& ctx)
{
    auto q = engine::Writer(ctx, QStringLiteral("SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = 'PROVODKA_MOVE' "
                                                "AND RDB$PROCEDURE_SOURCE CONTAINING 'RECEIVE_ROW'"));
    q->open();
    return q->field(0).asInt() > 0;
}

// From this many lines on, a split transfer's expansion reads the card trees
// of its products at once instead of one product at a time.
constexpr int kLinesForSnapshot = 20;

// Directions of a document's lines: how many come in and how many go out.
struct Directions {
    int in = 0;
    int out = 0;
};

Directions directionsOf(const Context& ctx, qint64 doc)
{
    auto q = engine::Writer(ctx, QStringLiteral("SELECT TYPE_MOVES, COUNT(*) FROM MOVES WHERE KOD_DOC = ") + Key(doc) +
                                     QStringLiteral(" GROUP BY TYPE_MOVES"));
    q->open();
    Directions d;
    for (q->first(); !q->eof(); q->next()) {
        const int n = q->field(1).asInt();
        if (!q->field(0).isNull() && q->field(0).asInt() == 1)
            d.in += n;
        else
            d.out += n;
    }
    return d;
}

// The split of a transfer that writes off what its lines are made of.
qint64 postSplitTransfer(const Context& ctx, const DocHeader& x, int priceRule)
{
    const QString X = Key(x.kod);
    execOnDocs(ctx, QStringLiteral("UPDATE DOCS SET DOC_TYPE = 6 WHERE KOD = ") + X, {x.kod});
    const qint64 n = NewKey(ctx);
    {
        // The receipt keeps the price kind and the write-off mode, so the pair
        // un-posted and posted again moves the same goods the same way.
        auto q = engine::Writer(ctx, QStringLiteral("INSERT INTO DOCS (KOD, DATE_DOC, TIME_DOC, DOC_TYPE, NAME, KOD_PARTNER_EXPORT, "
                                                    "KOD_PARTNER_IMPORT, INT_PARAM1, INT_PARAM2, INT_PARAM3, EDIT_CENA, P, TYPE_CENA) "
                                                    "VALUES (:K, :DD, :TD, :DT, :N, :KPE, :KPI, :I1, :I2, :I3, :EC, :PP, :TC)"));
        q->param(QStringLiteral("K")).setString(Key(n));
        q->param(QStringLiteral("DD")).setDate(x.date);
        q->param(QStringLiteral("TD")).setTime(x.time);
        q->param(QStringLiteral("DT")).setInt(DocType::Receipt);
        q->param(QStringLiteral("N")).setString(x.name);
        q->param(QStringLiteral("KPE")).setString(Key(x.firmaImport));
        q->param(QStringLiteral("KPI")).setString(Key(x.firmaExport));
        q->param(QStringLiteral("I1")).setString(Key(x.otdel2));
        q->param(QStringLiteral("I2")).setString(Key(x.otdel1));
        q->param(QStringLiteral("I3")).setString(X);
        q->param(QStringLiteral("EC")).setInt(priceRule);
        q->param(QStringLiteral("PP")).setInt(x.p);
        q->param(QStringLiteral("TC")).setInt(x.typeCena);
        q->execSql();
        engine::NoteChange(ctx, QStringLiteral("DOCS"), n);
    }

    // What the lines are made of, with the sending department's stock taken
    // first; the expander and its stock cache live only for this posting.
    costing::AmountList writeOff;
    {
        auto rows = engine::Writer(ctx, QStringLiteral("SELECT MOVES.*, ING.CENA_COMPUTE, ING.KVO_PORC FROM MOVES "
                                                       "INNER JOIN ING ON ING.KOD = MOVES.KOD_ING WHERE KOD_DOC = ") + X +
                                            QStringLiteral(" ORDER BY MOVES.KOD + 0"));
        rows->open();
        // A long document reads the card trees of its products in the sending
        // department at once; a short one asks for what it meets.
        std::unique_ptr<costing::CardSource> source;
        if (rows->recordCount() > kLinesForSnapshot) {
            std::vector<qint64> products;
            for (rows->first(); !rows->eof(); rows->next())
                products.push_back(rows->field(QStringLiteral("KOD_ING")).asInt64());
            rows->first();
            source = std::make_unique<costing::CatalogueSnapshot>(costing::CatalogueSnapshot::ProductTrees(
                ctx.database, ctx.write, products, std::vector<qint64>{x.otdel1}));
        } else
            source = std::make_unique<costing::SqlCardSource>(ctx.database, ctx.write);
        costing::Expander expander(*source);
        writeOff = expander.ExpandDocumentRows(x.p, false, *rows);
    }

    {
        auto q = engine::Writer(ctx, QStringLiteral("UPDATE MOVES SET KOD_DOC = :KD, KOD_OTDEL = :KO, TYPE_MOVES = 1 WHERE KOD_DOC = ") + X);
        q->param(QStringLiteral("KD")).setString(Key(n));
        q->param(QStringLiteral("KO")).setString(Key(x.otdel2));
        q->execSql();
    }
    ProvodkaMove(ctx, n);
    execOnDocs(ctx, QStringLiteral("UPDATE DOCS SET DOC_TYPE = 4 WHERE KOD = ") + Key(n), {n});

    {
        auto q = engine::Writer(ctx, QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, TYPE_MOVES, KOLVO, CENA) "
                                                    "VALUES (:KD, :KI, :KO, :T, :K, :C)"));
        // Every parameter is made before any is held, so what is held stays where it is.
        for (const char* name : {"KD", "KI", "KO", "T", "K", "C"})
            q->param(QString::fromLatin1(name));
        q->param(QStringLiteral("KD")).setInt64(x.kod);
        q->param(QStringLiteral("T")).setInt(2);
        db::Param& ing = q->param(QStringLiteral("KI"));
        db::Param& otdel = q->param(QStringLiteral("KO"));
        db::Param& kolvo = q->param(QStringLiteral("K"));
        db::Param& cena = q->param(QStringLiteral("C"));
        for (const costing::RIng& node : writeOff) {
            if (node.MY_LEVEL != 0)
                continue;
            ing.setInt64(node.KOD_ING);
            otdel.setInt64(node.KOD_OTDEL);
            kolvo.setDouble(node.BRUTTO);
            cena.setDouble(node.PRICE);
            q->execSql();
        }
    }
    ProvodkaMove(ctx, x.kod);
    execOnDocs(ctx, QStringLiteral("UPDATE DOCS SET DOC_TYPE = 4, INT_PARAM3 = ") + Key(n) + QStringLiteral(" WHERE KOD = ") + X,
               {x.kod});
    return n;
}

} // namespace

qint64 NewKey(const Context& ctx)
{
    auto q = engine::Writer(ctx, QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    q->open();
    return q->field(0).asInt64();
}

bool ReadDoc(const Context& ctx, qint64 kod, DocHeader& out)
{
    auto q = engine::Writer(ctx, QStringLiteral("SELECT * FROM DOCS WHERE KOD = ") + Key(kod));
    q->open();
    if (q->isEmpty())
        return false;
    out = DocHeader{};
    out.kod = kod;
    out.name = q->field(QStringLiteral("NAME")).asString();
    out.date = q->field(QStringLiteral("DATE_DOC")).asDate();
    out.time = q->field(QStringLiteral("TIME_DOC")).asTime();
    out.type = static_cast<int>(intOrZero(*q, "DOC_TYPE"));
    out.firmaExport = intOrZero(*q, "KOD_PARTNER_EXPORT");
    out.firmaImport = intOrZero(*q, "KOD_PARTNER_IMPORT");
    out.otdel1 = intOrZero(*q, "INT_PARAM1");
    out.otdel2 = intOrZero(*q, "INT_PARAM2");
    out.pair = intOrZero(*q, "INT_PARAM3");
    out.provodka = static_cast<int>(intOrZero(*q, "PROVODKA"));
    out.typeCena = static_cast<int>(intOrZero(*q, "TYPE_CENA"));
    out.editCena = static_cast<int>(intOrZero(*q, "EDIT_CENA"));
    out.p = static_cast<int>(intOrZero(*q, "P"));
    return true;
}

void ProvodkaMove(const Context& ctx, qint64 doc)
{
    callProcedure(ctx, QStringLiteral("PROVODKA_MOVE"), doc, nullptr);
    // The procedure writes the document's own row, and a transfer's makes the
    // receiver's document, which the sender's names now.
    engine::NoteChange(ctx, QStringLiteral("DOCS"), doc);
    auto q = engine::Writer(ctx, QStringLiteral("SELECT INT_PARAM3 FROM DOCS WHERE DOC_TYPE = 4 AND KOD = ") + Key(doc));
    q->open();
    if (!q->isEmpty() && !q->field(0).isNull())
        engine::NoteChange(ctx, QStringLiteral("DOCS"), q->field(0).asInt64());
}

void DeleteProvodka(const Context& ctx, qint64 doc, int otkat)
{
    callProcedure(ctx, QStringLiteral("DELETE_PROVODKA"), doc, &otkat);
    // The procedure writes the document's own row only.
    engine::NoteChange(ctx, QStringLiteral("DOCS"), doc);
}

void DelDoc(const Context& ctx, qint64 doc, int otkat) { callProcedure(ctx, QStringLiteral("DEL_DOC"), doc, &otkat); }

PostOutcome PostMovement(const Context& ctx, qint64 doc, int priceRule)
{
    // Another workstation may have posted it since the list was read: posting
    // twice would move the goods twice.
    engine::ClaimUnposted(ctx, doc, QStringLiteral("Документ уже проведён !"));
    DocHeader x;
    ReadDoc(ctx, doc, x);
    if (x.type != DocType::Transfer && x.type != DocType::Receipt && x.type != DocType::Issue)
        throw std::logic_error("posting: not a movement document");
    const QString X = Key(doc);
    // A receipt's procedure takes its stock rows in the order of their keys
    // as it posts; the other movements take theirs first.
    if (x.type != DocType::Receipt || !receiptTakesItsRows(ctx))
        engine::TakeStockRows(ctx, engine::StockRowsOfDocuments({doc}));

    // A line without a quantity (none typed counts as none) moves nothing.
    engine::Exec(ctx, QStringLiteral("DELETE FROM MOVES WHERE COALESCE(KOLVO, 0) = 0 AND KOD_DOC = ") + X);
    {
        // Lines entered in the document already name its department: only the
        // others are written, for a line the posting writes a second time in
        // one transaction costs the server several times a first write.
        auto q = engine::Writer(ctx, QStringLiteral("UPDATE MOVES SET KOD_OTDEL = :O WHERE KOD_DOC = ") + X +
                                         QStringLiteral(" AND KOD_OTDEL IS DISTINCT FROM :O"));
        q->param(QStringLiteral("O")).setString(Key(x.otdel1));
        q->execSql();
    }
    {
        auto q = engine::Writer(ctx, QStringLiteral("SELECT FIRST 1 KOD FROM MOVES WHERE KOD_DOC = ") + X);
        q->open();
        if (q->isEmpty())
            return {};
    }
    if (x.type == DocType::Transfer || x.type == DocType::Receipt)
        execOnDocs(ctx, QStringLiteral("UPDATE DOCS SET EDIT_CENA = ") + QString::number(priceRule) + QStringLiteral(" WHERE KOD = ") + X,
                   {doc});

    PostOutcome out;
    out.posted = true;
    if (x.type == DocType::Transfer && x.p != 1) {
        out.pair = postSplitTransfer(ctx, x, priceRule);
        return out;
    }
    ProvodkaMove(ctx, doc);
    if (x.type == DocType::Transfer) {
        DocHeader after;
        ReadDoc(ctx, doc, after);
        out.pair = after.pair;
    }
    return out;
}

bool IsLockConflict(long gdsCode) { return db::IsLockConflict(gdsCode); }

QString LockConflictText(bool unposting)
{
    return db::LockConflictText(unposting ? QStringLiteral("Проводка не снята") : QStringLiteral("Документ не проведён"));
}

qint64 TransferReceiver(const Context& ctx, qint64 a, qint64 b)
{
    const Directions da = directionsOf(ctx, a);
    const Directions db = directionsOf(ctx, b);
    const bool aIn = da.in > 0 && da.out == 0;
    const bool bIn = db.in > 0 && db.out == 0;
    if (aIn && !bIn)
        return a;
    if (bIn && !aIn)
        return b;
    // A half without lines (an expansion that wrote nothing) says nothing:
    // the receiver's document is always made after the sender's.
    if (da.in + da.out == 0 || db.in + db.out == 0)
        return a > b ? a : b;
    return 0;
}

qint64 UnpostDocument(const Context& ctx, qint64 doc, int otkat)
{
    if (!engine::ClaimDocument(ctx, doc).exists)
        throw engine::DocumentRefusal(doc, true, engine::DocumentGoneText());
    DocHeader x;
    ReadDoc(ctx, doc, x);
    // Un-posted meanwhile elsewhere: a second un-posting would return the goods
    // twice. The list reads the document's row again.
    if (!x.posted())
        throw engine::DocumentRefusal(doc, false, QStringLiteral("Проводка этого документа уже снята."));
    if (x.pair != 0)
        engine::ClaimDocument(ctx, x.pair);
    engine::TakeStockRows(ctx, engine::StockRowsOfDocuments({doc, x.pair}));
    switch (x.type) {
    case DocType::Inventory:
    case DocType::Sales:
    case DocType::Receipt:
    case DocType::Issue:
        DeleteProvodka(ctx, doc, otkat);
        return doc;
    case DocType::Transfer: {
        DocHeader other;
        const bool paired = x.pair != 0 && ReadDoc(ctx, x.pair, other) && other.type == DocType::Transfer;
        qint64 receiver = paired ? TransferReceiver(ctx, doc, x.pair) : 0;
        if (!paired) {
            // A half left alone: only a receiver's document can be turned back.
            const Directions d = directionsOf(ctx, doc);
            if (d.out == 0 && d.in > 0)
                receiver = doc;
        }
        if (receiver == 0)
            throw std::runtime_error(
                QStringLiteral("Не удалось определить парный документ внутреннего перемещения. Проводка не снята.")
                    .toStdString());
        const qint64 sender = receiver == doc ? x.pair : doc;
        if (paired) {
            DelDoc(ctx, sender, 1);
            execOnDocs(ctx, QStringLiteral("DELETE FROM DOCS WHERE KOD = ") + Key(sender), {sender});
        }
        DeleteProvodka(ctx, receiver, otkat);
        return receiver;
    }
    case DocType::ProductionWriteOff:
        DeleteProvodka(ctx, doc, 0);
        if (x.pair != 0) {
            DeleteProvodka(ctx, x.pair, otkat);
            execOnDocs(ctx, QStringLiteral("DELETE FROM DOCS WHERE KOD = ") + Key(x.pair), {x.pair});
            // The write-off no longer names an output that is gone.
            execOnDocs(ctx, QStringLiteral("UPDATE DOCS SET INT_PARAM3 = NULL WHERE KOD = ") + Key(doc), {doc});
        }
        return doc;
    case DocType::Production:
        DeleteProvodka(ctx, doc, otkat);
        if (x.pair != 0) {
            DeleteProvodka(ctx, x.pair, 0);
            execOnDocs(ctx, QStringLiteral("DELETE FROM DOCS WHERE KOD = ") + Key(doc), {doc});
            execOnDocs(ctx, QStringLiteral("UPDATE DOCS SET INT_PARAM3 = NULL WHERE KOD = ") + Key(x.pair), {x.pair});
            return x.pair;
        }
        return doc;
    default:
        return 0;
    }
}

} // namespace posting
