#include "RealPosting.h"

#include "costing/CardSource.h"
#include "costing/Expansion.h"
#include "db/Query.h"
#include "engine/Changes.h"
#include "engine/DocumentClaim.h"
#include "engine/EngineDb.h"
#include "engine/Kopecks.h"

#include <cmath>
#include <memory>
#include <set>
#include <stdexcept>

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

// Writes the lines of one document: the statement is prepared once and its
// parameters are looked up once.
class MoveWriter {
public:
    MoveWriter(const Context& ctx, qint64 doc, int direction)
        : q_(engine::Writer(ctx, QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, TYPE_MOVES, KOLVO, CENA) "
                                                "VALUES (:KD, :KI, :KO, :T, :K, :C)")))
    {
        // Every parameter is made before any is held: the table of
        // parameters then no longer grows, and what is held stays where it is.
        for (const char* name : {"KD", "KI", "KO", "T", "K", "C"})
            q_->param(QString::fromLatin1(name));
        q_->param(QStringLiteral("KD")).setInt64(doc);
        q_->param(QStringLiteral("T")).setInt(direction);
        ing_ = &q_->param(QStringLiteral("KI"));
        otdel_ = &q_->param(QStringLiteral("KO"));
        kolvo_ = &q_->param(QStringLiteral("K"));
        cena_ = &q_->param(QStringLiteral("C"));
    }
    void add(const MoveLine& l)
    {
        ing_->setInt64(l.ing);
        if (l.otdel)
            otdel_->setInt64(l.otdel);
        else
            otdel_->setNull();
        kolvo_->setDouble(l.kolvo);
        cena_->setDouble(l.cena);
        q_->execSql();
    }

private:
    std::unique_ptr<db::Query> q_;
    db::Param* ing_ = nullptr;
    db::Param* otdel_ = nullptr;
    db::Param* kolvo_ = nullptr;
    db::Param* cena_ = nullptr;
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
    ProvodkaMove(ctx, doc);
    return out;
}

} // namespace posting
