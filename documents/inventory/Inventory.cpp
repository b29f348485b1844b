#include "Inventory.h"

#include "engine/Context.h"
#include "engine/DocumentClaim.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "engine/Changes.h"
#include "engine/EngineDb.h"
#include "engine/Kopecks.h"

#include <stdexcept>

namespace inventory {

namespace {

QString key(qint64 k) { return QString::number(k); }

// Lines whose counted quantity and price are the book ones (a counted price
// alone differing keeps the line).
const char* const kUnchanged = " AND KOLVO = MY_KOLVO AND CENA = MY_CENA";

const char* const kPostedChange = "Нельзя вносить изменения в проведённые акты инвентаризации !";
const char* const kPostedAlready = "Документ уже проведён !!!";

} // namespace

Claimed Claim(const engine::Context& ctx, qint64 docKod)
{
    Claimed out;
    if (!engine::ClaimDocument(ctx, docKod).exists)
        return out;
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("SELECT PROVODKA, INT_PARAM1, INT_PARAM2, "
                            "(SELECT COUNT(*) FROM INVENT WHERE KOD_DOC = DOCS.KOD) AS N FROM DOCS WHERE KOD = ") +
             key(docKod));
    q.open();
    if (q.isEmpty())
        return out;
    out.exists = true;
    out.posted = !q.field(QStringLiteral("PROVODKA")).isNull() && q.field(QStringLiteral("PROVODKA")).asInt() > 10;
    out.lines = static_cast<int>(q.field(QStringLiteral("N")).asInt64());
    const db::Field o = q.field(QStringLiteral("INT_PARAM1")), s = q.field(QStringLiteral("INT_PARAM2"));
    out.otdel = o.isNull() ? 0 : o.asInt64();
    out.sklad = s.isNull() ? 0 : s.asInt64();
    return out;
}

namespace {

Claimed claimUnposted(const engine::Context& ctx, qint64 docKod, const char* postedText)
{
    engine::ClaimUnposted(ctx, docKod, QString::fromUtf8(postedText));
    return Claim(ctx, docKod);
}

} // namespace

engine::UnpostedDocument ClaimUnposted(const engine::Context& ctx, qint64 docKod)
{
    return engine::ClaimUnposted(ctx, docKod, QString::fromUtf8(kPostedChange));
}

int LinesToPost(const engine::Context& ctx, qint64 docKod, bool dropUnchanged)
{
    db::Query q(ctx.database, ctx.read);
    const QString all = QStringLiteral("SELECT COUNT(*) FROM INVENT WHERE KOD_DOC = ") + key(docKod);
    q.setSql(QStringLiteral("SELECT (") + all + QStringLiteral(") - (") + all +
             (dropUnchanged ? QLatin1String(kUnchanged) : QLatin1String(" AND 1 = 0")) +
             QStringLiteral(") FROM RDB$DATABASE"));
    q.open();
    return static_cast<int>(q.field(0).asInt64());
}

void RefuseNewWhileUnposted(const engine::Context& ctx)
{
    db::Query q(ctx.database, ctx.write && ctx.write->active() ? ctx.write : ctx.read);
    q.setSql(QStringLiteral("SELECT DISTINCT COALESCE(DOC_TYPE, 0) FROM DOCS WHERE PROVODKA < 11 ORDER BY 1"));
    q.open();
    // Their kinds as the refusal names them: "производства и реализации".
    QStringList kinds;
    for (q.first(); !q.eof(); q.next()) {
        const int type = q.field(0).asInt();
        const QString kind = type == 1   ? QStringLiteral("инвентаризации")
                             : type == 2 ? QStringLiteral("производства")
                             : type == 3 ? QStringLiteral("реализации")
                                         : QStringLiteral("движения");
        if (!kinds.contains(kind))
            kinds.append(kind);
    }
    if (kinds.isEmpty())
        return;
    const QString last = kinds.takeLast();
    throw std::runtime_error((QStringLiteral("Документ инвентаризации нельзя создать пока есть непроведённые документы ") +
                              (kinds.isEmpty() ? last : kinds.join(QStringLiteral(", ")) + QStringLiteral(" и ") + last) +
                              QStringLiteral("! Нужно эти документы провести или удалить."))
                                 .toStdString());
}

void ClearLines(const engine::Context& ctx, qint64 docKod)
{
    ClaimUnposted(ctx, docKod);
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("DELETE FROM INVENT WHERE KOD_DOC = ") + key(docKod));
    q.execSql();
}

void Fill(const engine::Context& ctx, const InvDoc& doc, const FillOptions& options, bool clearFirst)
{
    const Claimed c = claimUnposted(ctx, doc.kod, kPostedChange);
    if (c.lines > 0 && !clearFirst)
        throw std::runtime_error("Документ тем временем заполнен на другом рабочем месте. "
                                 "Ничего не изменено: обновите список и повторите заполнение.");
    if (clearFirst)
        ClearLines(ctx, doc.kod);
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("EXECUTE PROCEDURE ADD_ING_TO_INV (:FLAG, :KOD_OTDEL, :KOD_SKLAD, :KOD_DOC, :MY_ZERO, :OPEN_CLOSE)"));
    q.param(QStringLiteral("FLAG")).setInt(options.bookQuantity ? 1 : 0);
    q.param(QStringLiteral("KOD_OTDEL")).setInt64(c.otdel);
    q.param(QStringLiteral("KOD_SKLAD")).setInt64(c.sklad);
    q.param(QStringLiteral("KOD_DOC")).setInt64(doc.kod);
    q.param(QStringLiteral("MY_ZERO")).setInt(options.zeroNegative ? 1 : 0);
    q.param(QStringLiteral("OPEN_CLOSE")).setInt(options.hiddenToo ? 1 : 0);
    q.execSql();
    // Of the documents, the procedure writes this one's row only.
    engine::NoteChange(ctx, QStringLiteral("DOCS"), doc.kod);
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
    ClaimUnposted(ctx, docKod);
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("DELETE FROM INVENT WHERE KOD_DOC = ") + key(docKod) + QLatin1String(kUnchanged));
    q.execSql();
    return LineCount(ctx, docKod);
}

namespace {

// The lines of the document whose book quantity or price differs from the
// stock row the posting procedure reads for them (the product's first in the
// department).
QList<BookChange> bookChanges(const engine::Context& ctx, db::Transaction* t, qint64 docKod, qint64 otdel, bool dropUnchanged)
{
    db::Query q(ctx.database, t);
    // Driven from the document's lines, as the taking of the stock rows is.
    // Of a product's stock rows in the department (one, unless the data was
    // written by hand) the procedure reads the first by key: the others of a
    // line are passed over below. A composite product's price is the
    // recomputation's, never counted: it follows the book without a word.
    const QString counted = QStringLiteral("(ING.MY_LEVEL > 0) IS NOT TRUE");
    q.setSql(QStringList{
        QStringLiteral("SELECT I.KOD, ING.NAME, COALESCE(I.KOLVO, 0), COALESCE(S.KOLVO, 0), S.KOD, "
                       "(SELECT MIN(S2.KOD) FROM ING_SKLAD S2 WHERE S2.KOD_ING = I.KOD_ING AND S2.KOD_OTDEL = ") +
            key(otdel) + QStringLiteral("), IIF(") + counted + QStringLiteral(", COALESCE(I.CENA, 0), COALESCE(S.CENA, 0)), "
                                                                "COALESCE(S.CENA, 0) FROM INVENT I"),
        QStringLiteral("JOIN ING_SKLAD S ON S.KOD_ING = I.KOD_ING + 0 AND S.KOD_OTDEL = ") + key(otdel),
        QStringLiteral("JOIN ING ON ING.KOD = I.KOD_ING"),
        QStringLiteral("WHERE I.KOD_DOC = ") + key(docKod),
        QStringLiteral("AND (COALESCE(I.KOLVO, 0) <> COALESCE(S.KOLVO, 0) OR (COALESCE(I.CENA, 0) <> COALESCE(S.CENA, 0) AND ") +
            counted + QStringLiteral("))"),
        // The lines the clean-up before posting keeps (kUnchanged removes the others).
        dropUnchanged ? QStringLiteral("AND (I.KOLVO = I.MY_KOLVO AND I.CENA = I.MY_CENA) IS NOT TRUE") : QString(),
        QStringLiteral("ORDER BY ING.NAME, I.KOD")});
    q.open();
    QList<BookChange> out;
    for (q.first(); !q.eof(); q.next())
        if (q.field(4).asInt64() == q.field(5).asInt64())
            out.append(BookChange{q.field(0).asInt64(), q.field(1).asString(), q.field(2).asDouble(), q.field(3).asDouble(),
                                  q.field(6).asDouble(), q.field(7).asDouble()});
    return out;
}

// The same lines with the same book quantities and prices now: names aside,
// which another workstation may change without moving the book.
bool sameBook(const QList<BookChange>& a, const QList<BookChange>& b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (a[i].line != b[i].line || a[i].kolvo != b[i].kolvo || a[i].cena != b[i].cena)
            return false;
    return true;
}

// A figure as the inventory sheet prints it: up to six decimals, the decimal comma.
QString figure(double v) { return db::formatFloat(engine::Printed(v)); }

QString listed(const QList<BookChange>& changes)
{
    // A long list names the first lines and counts the rest: the box keeps within the screen.
    constexpr int kShown = 10;
    QStringList lines;
    for (int i = 0; i < changes.size() && i < kShown; ++i) {
        const BookChange& c = changes[i];
        QStringList moved;
        if (c.filledKolvo != c.kolvo)
            moved << QStringLiteral("в документе ") + figure(c.filledKolvo) + QStringLiteral(", на складе ") + figure(c.kolvo);
        if (c.filledCena != c.cena)
            moved << QStringLiteral("цена в документе ") + figure(c.filledCena) + QStringLiteral(", на складе ") + figure(c.cena);
        lines << c.name + QStringLiteral(": ") + moved.join(QStringLiteral("; "));
    }
    if (changes.size() > kShown)
        lines << QStringLiteral("и ещё строк: ") + QString::number(changes.size() - kShown);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QList<BookChange> BookChanges(const engine::Context& ctx, const InvDoc& doc, bool dropUnchanged)
{
    return bookChanges(ctx, ctx.read, doc.kod, doc.otdel, dropUnchanged);
}

QString BookChangesQuestion(const QList<BookChange>& changes)
{
    return QStringLiteral("После заполнения документа изменились остатки или цены по учёту (в подразделении проведён или "
                          "снят с проводки документ):\n") +
           listed(changes) +
           QStringLiteral("\n\nПровести документ по остаткам и ценам на складе? Расхождения с фактическим количеством будут "
                          "рассчитаны от них, а не от значений в документе; где фактическую цену не вводили, остаётся цена "
                          "склада. Чтобы сначала увидеть их в документе, откажитесь и нажмите \"Обновить\".");
}

void Post(const engine::Context& ctx, const InvDoc& doc, const QList<BookChange>& agreed)
{
    const Claimed c = claimUnposted(ctx, doc.kod, kPostedAlready);
    // The join drives from the document's lines ("+ 0" keeps the server from
    // walking the department's stock rows and looking each up among the
    // lines), so the taking grows with the lines, not with their square.
    engine::TakeStockRows(ctx, QStringLiteral("SELECT S.KOD FROM INVENT I JOIN ING_SKLAD S ON S.KOD_ING = I.KOD_ING + 0 "
                                              "WHERE I.KOD_DOC = ") +
                                   key(doc.kod) + QStringLiteral(" AND S.KOD_OTDEL = ") + key(c.otdel));
    // Taken, the stock rows stay as they are now until the road ends: the
    // book the differences come from is the one the user agreed to, or none moved.
    const QList<BookChange> now = bookChanges(ctx, ctx.write, doc.kod, c.otdel, false);
    if (!sameBook(now, agreed))
        throw std::runtime_error(
            (QStringLiteral("Пока документ проводился, остатки или цены по учёту в подразделении изменились на другом "
                            "рабочем месте") +
             (now.isEmpty() ? QStringLiteral(".") : QStringLiteral(":\n") + listed(now)) +
             QStringLiteral("\nНичего не записано: проведите документ ещё раз."))
                .toStdString());
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("EXECUTE PROCEDURE INVENT_PROVODKA (:KOD_DOC, :KOD_OTDEL)"));
    q.param(QStringLiteral("KOD_DOC")).setInt64(doc.kod);
    q.param(QStringLiteral("KOD_OTDEL")).setInt64(c.otdel);
    q.execSql();
    // Of the documents, the procedure writes this one's row only.
    engine::NoteChange(ctx, QStringLiteral("DOCS"), doc.kod);
}

bool IsComposite(const engine::Context& ctx, qint64 ingKod)
{
    db::Query q(ctx.database, ctx.read);
    q.setSql(QStringLiteral("Select MY_LEVEL from ing where KOD = ") + key(ingKod));
    q.open();
    return !q.isEmpty() && q.field(QStringLiteral("MY_LEVEL")).asInt64() > 0;
}

void SetCounted(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 lineKod, Column column, double value)
{
    const qint64 docKod = doc.kod();
    db::Query q(ctx.database, ctx.write);
    q.setSql((column == Column::Quantity ? QStringLiteral("UPDATE INVENT SET MY_KOLVO = :P WHERE KOD = ")
                                         : QStringLiteral("UPDATE INVENT SET MY_CENA = :P WHERE KOD = ")) +
             key(lineKod) + QStringLiteral(" AND KOD_DOC = ") + key(docKod));
    q.param(QStringLiteral("P")).setDouble(value);
    q.execSql();
    // Filled anew elsewhere, the document's lines have new keys: the count
    // belongs to none of them.
    if (q.rowsAffected() == 0)
        throw engine::RowRefusal(QStringLiteral("INVENT"), lineKod, engine::LineGoneText());
    engine::NoteChange(ctx, QStringLiteral("INVENT"), lineKod);
}

void RefreshBookValues(const engine::Context& ctx, qint64 docKod, qint64 lineKod)
{
    const Claimed c = claimUnposted(ctx, docKod, kPostedChange);
    db::Query lines(ctx.database, ctx.write);
    lines.setSql(QStringLiteral("SELECT KOD, KOD_ING FROM INVENT WHERE KOD_DOC = ") + key(docKod) +
                 (lineKod != 0 ? QStringLiteral(" AND KOD = ") + key(lineKod) : QString()) + QStringLiteral(" ORDER BY KOD"));
    lines.open();
    if (lineKod != 0 && lines.isEmpty())
        throw engine::RowRefusal(QStringLiteral("INVENT"), lineKod, engine::LineGoneText());
    db::Query stock(ctx.database, ctx.read);
    db::Query w(ctx.database, ctx.write);
    // A counted price nobody typed (still the book price the fill copied)
    // follows the book; a typed one stays.
    w.setSql(QStringLiteral("UPDATE INVENT SET MY_CENA = IIF(MY_CENA = CENA, :C, MY_CENA), KOLVO = :K, CENA = :C, CENA_P = :CP "
                            "WHERE KOD = :L"));
    for (lines.first(); !lines.eof(); lines.next()) {
        const qint64 line = lines.field(0).asInt64();
        stock.close();
        stock.setSql(QStringLiteral("SELECT KOLVO, CENA, MY_CENA FROM ING_SKLAD WHERE KOD_ING = ") +
                     key(lines.field(1).asInt64()) + QStringLiteral(" AND KOD_OTDEL = ") + key(c.otdel));
        stock.open();
        // A product gone from the department's stock counts nothing on the books.
        const bool found = !stock.isEmpty();
        w.param(QStringLiteral("K")).setDouble(found ? stock.field(QStringLiteral("KOLVO")).asDouble() : 0);
        w.param(QStringLiteral("C")).setDouble(found ? stock.field(QStringLiteral("CENA")).asDouble() : 0);
        w.param(QStringLiteral("CP")).setDouble(found ? stock.field(QStringLiteral("MY_CENA")).asDouble() : 0);
        w.param(QStringLiteral("L")).setInt64(line);
        w.execSql();
        engine::NoteChange(ctx, QStringLiteral("INVENT"), line);
    }
}

} // namespace inventory
