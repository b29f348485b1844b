#include "RealPosting.h"

#include "costing/CardSource.h"
#include "costing/Expansion.h"
#include "db/Database.h"
#include "db/FbStatus.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "engine/Changes.h"
#include "engine/DocumentClaim.h"
#include "engine/EngineDb.h"
#include "engine/Kopecks.h"

#include <firebird/Interface.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <stdexcept>
#include <vector>

namespace posting {

namespace {

// From this many lines on, the expansion reads the card trees of the lines'
// products in their departments at once instead of one product at a time.
constexpr int kLinesForSnapshot = 20;

// The document's lines: from REAL_BLUDO (joined for the order of the tab's list)
// with what the card expansion reads of each product.
const QString kLinesFrom = QStringLiteral("FROM REAL_BLUDO "
                                          "LEFT OUTER JOIN OTDEL ON OTDEL.KOD = REAL_BLUDO.KOD_OTDEL "
                                          "LEFT OUTER JOIN ING ON ING.KOD = REAL_BLUDO.KOD_ING "
                                          "LEFT OUTER JOIN GROUP_ING ON GROUP_ING.KOD = ING.KOD_GROUP "
                                          "WHERE REAL_BLUDO.KOD_DOC = ");
const QString kLinesOrder = QStringLiteral(" ORDER BY OTDEL.KOD, GROUP_ING.NAME, ING.NAME, REAL_BLUDO.KOD");

// The document's lines in the order of the tab's list.
std::unique_ptr<db::Query> openLines(const Context& ctx, qint64 doc)
{
    auto q = engine::Writer(ctx, QStringLiteral("SELECT REAL_BLUDO.KOD, REAL_BLUDO.KOD_ING, REAL_BLUDO.KOD_OTDEL, REAL_BLUDO.KOLVO, "
                                                "REAL_BLUDO.CENA, COALESCE(ING.CENA_COMPUTE, 0) AS CENA_COMPUTE, ING.KVO_PORC ") +
                                     kLinesFrom + Key(doc) + kLinesOrder);
    q->open();
    return q;
}

// The document's lines coming in on the production output, one for each in
// the order of the tab's list (the order of their keys), written by the
// server in one statement: a missing product or quantity as 0, a missing
// department as none.
//
// The dishes come in at their stock price (CENA_SKLAD, what their write-off
// is valued at), never at the selling price CENA: the output's price rule
// makes the price it receives the dish's cost and raises the selling price
// from it by the markup. A line without a stock price (written before the
// column existed) comes in at the stock price its row has now, so no rule
// can move the cost for want of one.
void insertOutputLines(const Context& ctx, qint64 doc, qint64 output)
{
    engine::Exec(ctx, QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, TYPE_MOVES, KOLVO, CENA) SELECT ") +
                          Key(output) +
                          QStringLiteral(", COALESCE(REAL_BLUDO.KOD_ING, 0), NULLIF(REAL_BLUDO.KOD_OTDEL, 0), 1, "
                                         "COALESCE(REAL_BLUDO.KOLVO, 0), "
                                         "COALESCE(REAL_BLUDO.CENA_SKLAD, "
                                         "(SELECT FIRST 1 S.CENA FROM ING_SKLAD S WHERE S.KOD_ING = REAL_BLUDO.KOD_ING "
                                         "AND S.KOD_OTDEL = REAL_BLUDO.KOD_OTDEL ORDER BY S.KOD + 0), 0) ") +
                          kLinesFrom + Key(doc) + kLinesOrder);
}


struct MoveLine {
    qint64 ing = 0;
    qint64 otdel = 0;
    double kolvo = 0;
    double cena = 0;
};

// Writes the lines of one document in the order they are added. They go to
// the server a block at a time (one prepared EXECUTE BLOCK of kBlockRows
// inserts, executed per block); what is left goes one line at a time. Both
// statements are prepared once for the document. finish() sends the rest and
// must run before anything reads the lines back.
class MoveWriter {
public:
    MoveWriter(const Context& ctx, qint64 doc, int direction)
        : ctx_(ctx), db_(ctx.database), tr_(ctx.write), doc_(doc), direction_(direction)
    {
    }
    ~MoveWriter()
    {
        db::FbStatus st;
        if (meta_)
            meta_->release();
        if (block_)
            block_->free(&st);
    }
    MoveWriter(const MoveWriter&) = delete;
    MoveWriter& operator=(const MoveWriter&) = delete;

    void add(const MoveLine& l)
    {
        pending_.push_back(l);
        if (static_cast<int>(pending_.size()) == kBlockRows) {
            sendBlock();
            pending_.clear();
        }
    }
    void finish()
    {
        if (pending_.empty())
            return;
        auto q = engine::Writer(ctx_, QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, TYPE_MOVES, KOLVO, CENA) "
                                                  "VALUES (:KD, :KI, :KO, :T, :K, :C)"));
        for (const MoveLine& l : pending_) {
            q->param(QStringLiteral("KD")).setInt64(doc_);
            q->param(QStringLiteral("T")).setInt(direction_);
            q->param(QStringLiteral("KI")).setInt64(l.ing);
            if (l.otdel)
                q->param(QStringLiteral("KO")).setInt64(l.otdel);
            else
                q->param(QStringLiteral("KO")).setNull();
            q->param(QStringLiteral("K")).setDouble(l.kolvo);
            q->param(QStringLiteral("C")).setDouble(l.cena);
            q->execSql();
        }
        pending_.clear();
    }

private:
    // Preparing a block costs more the more inserts it holds and is paid on
    // every posting: a small block keeps most of what sending lines together
    // saves, and stays well inside the statement contexts an EXECUTE BLOCK may hold.
    static constexpr int kBlockRows = 16;

    void sendBlock()
    {
        db::FbStatus st;
        if (!block_)
            prepareBlock();
        std::vector<unsigned char> message(buffer_);
        unsigned char* buf = message.data();
        for (size_t r = 0; r < pending_.size(); ++r) {
            const MoveLine& l = pending_[r];
            const unsigned* at = &offsets_[r * kColumns];
            std::memcpy(buf + at[0], &l.ing, sizeof l.ing);
            const short otdelNull = l.otdel ? 0 : -1;
            std::memcpy(buf + at[1], &l.otdel, sizeof l.otdel);
            std::memcpy(buf + nullOffsets_[r], &otdelNull, sizeof otdelNull);
            std::memcpy(buf + at[2], &l.kolvo, sizeof l.kolvo);
            std::memcpy(buf + at[3], &l.cena, sizeof l.cena);
        }
        block_->execute(&st, tr_->handle(), meta_, buf, nullptr, nullptr);
        st.check();
        // The statement bypasses db::Query, which notes what a road changes.
        tr_->noteChange(QStringLiteral("MOVES"));
    }
    void prepareBlock()
    {
        QStringList params{QStringLiteral("KD BIGINT = ?"), QStringLiteral("T INTEGER = ?")};
        QString body;
        for (int r = 0; r < kBlockRows; ++r) {
            params << QStringLiteral("I%1 BIGINT = ?, O%1 BIGINT = ?, K%1 DOUBLE PRECISION = ?, C%1 DOUBLE PRECISION = ?").arg(r);
            body += QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, TYPE_MOVES, KOLVO, CENA) "
                                   "VALUES (:KD, :I%1, :O%1, :T, :K%1, :C%1);\n")
                        .arg(r);
        }
        const QByteArray text = (QStringLiteral("EXECUTE BLOCK (") + params.join(QStringLiteral(", ")) +
                                 QStringLiteral(") AS BEGIN\n") + body + QStringLiteral("END"))
                                    .toLatin1();
        db::FbStatus st;
        block_ = db_->attachment()->prepare(&st, tr_->handle(), static_cast<unsigned>(text.size()), text.constData(), 3, 0);
        st.check();
        meta_ = block_->getInputMetadata(&st);
        st.check();
        const unsigned n = meta_->getCount(&st);
        buffer_.assign(meta_->getMessageLength(&st), 0);
        // The document and the direction are the same for every block; every
        // value but a line's department is present.
        std::memcpy(buffer_.data() + meta_->getOffset(&st, 0), &doc_, sizeof doc_);
        const qint32 direction = direction_;
        std::memcpy(buffer_.data() + meta_->getOffset(&st, 1), &direction, sizeof direction);
        for (unsigned i = 0; i < n; ++i)
            std::memset(buffer_.data() + meta_->getNullOffset(&st, i), 0, sizeof(short));
        for (unsigned i = 2; i < n; ++i)
            offsets_.push_back(meta_->getOffset(&st, i));
        for (int r = 0; r < kBlockRows; ++r)
            nullOffsets_.push_back(meta_->getNullOffset(&st, static_cast<unsigned>(2 + r * kColumns + 1)));
        st.check();
    }

    static constexpr int kColumns = 4;  // of a line: product, department, quantity, price
    const Context& ctx_;
    db::Database* db_;
    db::Transaction* tr_;
    qint64 doc_;
    int direction_;
    std::vector<MoveLine> pending_;
    Firebird::IStatement* block_ = nullptr;
    Firebird::IMessageMetadata* meta_ = nullptr;
    std::vector<unsigned char> buffer_;  // the message with what every block shares
    std::vector<unsigned> offsets_;      // of each line's values, line by line
    std::vector<unsigned> nullOffsets_;  // of each line's department
};

MoveLine lineOf(const db::Query& q)
{
    MoveLine l;
    l.ing = q.field(QStringLiteral("KOD_ING")).isNull() ? 0 : q.field(QStringLiteral("KOD_ING")).asInt64();
    l.otdel = q.field(QStringLiteral("KOD_OTDEL")).isNull() ? 0 : q.field(QStringLiteral("KOD_OTDEL")).asInt64();
    l.kolvo = q.field(QStringLiteral("KOLVO")).isNull() ? 0 : q.field(QStringLiteral("KOLVO")).asDouble();
    l.cena = q.field(QStringLiteral("CENA")).isNull() ? 0 : q.field(QStringLiteral("CENA")).asDouble();
    return l;
}

// The production output paired with the write-off: same number, date, time
// and enterprises, pointing at each other.
qint64 insertOutput(const Context& ctx, const DocHeader& x, int priceRule)
{
    const qint64 n = NewKey(ctx);
    auto q = engine::Writer(ctx, QStringLiteral("INSERT INTO DOCS (KOD, DATE_DOC, TIME_DOC, DOC_TYPE, NAME, KOD_PARTNER_EXPORT, "
                                                "KOD_PARTNER_IMPORT, INT_PARAM2, INT_PARAM3, EDIT_CENA) "
                                                "VALUES (:K, :DD, :TD, :DT, :N, :KPE, :KPI, :I2, :I3, :EC)"));
    q->param(QStringLiteral("K")).setString(Key(n));
    q->param(QStringLiteral("DD")).setDate(x.date);
    q->param(QStringLiteral("TD")).setTime(x.time);
    q->param(QStringLiteral("DT")).setInt(DocType::Production);
    q->param(QStringLiteral("N")).setString(x.name);
    q->param(QStringLiteral("KPE")).setString(Key(x.firmaExport));
    q->param(QStringLiteral("KPI")).setString(Key(x.firmaImport));
    q->param(QStringLiteral("I2")).setInt64(x.otdel2);
    q->param(QStringLiteral("I3")).setString(Key(x.kod));
    q->param(QStringLiteral("EC")).setInt(priceRule);
    q->execSql();
    engine::NoteChange(ctx, QStringLiteral("DOCS"), n);
    engine::Exec(ctx, QStringLiteral("UPDATE DOCS SET INT_PARAM3 = ") + Key(n) + QStringLiteral(" WHERE KOD = ") + Key(x.kod));
    engine::NoteChange(ctx, QStringLiteral("DOCS"), x.kod);
    return n;
}

} // namespace

RealOutcome PostRealDocument(const Context& ctx, qint64 doc, int priceRule)
{
    engine::ClaimUnposted(ctx, doc, QStringLiteral("Документ уже проведён !"));
    DocHeader x;
    ReadDoc(ctx, doc, x);
    if (x.type != DocType::ProductionWriteOff && x.type != DocType::Sales)
        throw std::logic_error("posting: not a production or sales document");
    if (x.provodka > 0)
        throw engine::DocumentRefusal(doc, false, QStringLiteral("Документ уже проведён !"));
    const QString X = Key(doc);

    // A line never given a quantity makes and sells nothing.
    engine::Exec(ctx, QStringLiteral("DELETE FROM REAL_BLUDO WHERE KOD_DOC = ") + X + QStringLiteral(" AND COALESCE(KOLVO, 0) = 0"));
    auto lines = openLines(ctx, doc);
    if (lines->isEmpty())
        return {};

    RealOutcome out;
    out.posted = true;
    const bool production = x.type == DocType::ProductionWriteOff;
    if (production) {
        // The dishes come into stock before their write-off is expanded.
        out.output = insertOutput(ctx, x, priceRule);
        insertOutputLines(ctx, doc, out.output);
        ProvodkaMove(ctx, out.output);
    }

    MoveWriter moves(ctx, doc, 2);
    if (x.p == WriteOffMode::Finished) {
        for (lines->first(); !lines->eof(); lines->next()) {
            MoveLine l = lineOf(*lines);
            l.cena = engine::ToKopeck(l.cena);
            moves.add(l);
        }
    } else if (x.p >= 0) {
        // Mode 0 expands to raw products whatever the type; only the stock
        // modes keep the dish being produced out of its own stock.
        const int mode = x.p;
        const bool flag = mode >= WriteOffMode::FinishedAndMade && production;
        std::unique_ptr<costing::CardSource> source;
        if (lines->recordCount() > kLinesForSnapshot) {
            std::set<qint64> otdels;
            std::vector<qint64> products;
            for (lines->first(); !lines->eof(); lines->next()) {
                const MoveLine l = lineOf(*lines);
                otdels.insert(l.otdel);
                products.push_back(l.ing);
            }
            source = std::make_unique<costing::CatalogueSnapshot>(costing::CatalogueSnapshot::ProductTrees(
                ctx.database, ctx.write, products, std::vector<qint64>(otdels.begin(), otdels.end())));
        } else {
            source = std::make_unique<costing::SqlCardSource>(ctx.database, ctx.write);
        }
        costing::Expander expander(*source);
        const costing::AmountList writeOff = expander.ExpandDocumentRows(mode, flag, *lines);
        for (const costing::RIng& node : writeOff) {
            if (node.MY_LEVEL != 0)
                continue;
            moves.add(MoveLine{node.KOD_ING, node.KOD_OTDEL, node.BRUTTO, node.PRICE});
        }
    }
    moves.finish();
    ProvodkaMove(ctx, doc);
    return out;
}

} // namespace posting
