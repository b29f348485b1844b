#include "TechCards.h"

#include "engine/Clock.h"

#include "CostingCard.h"
#include "ProductNames.h"

#include "costing/CardSource.h"
#include "costing/Expansion.h"

#include "db/Query.h"
#include "engine/EngineDb.h"

#include <QHash>

#include <algorithm>
#include <map>

namespace reports {

using templates::RowNext;
using templates::RowNextWhenEnabled;

namespace {

struct CardLine {
    qint64 ing = 0;
    qint64 otdel = 0;
    double kolvo = 0;
    int cenaCompute = 0;
    int kvoPorc = 0;
    QString vihod;
    QString name;
    QString otdelName;
    QString recept;
};

QVector<CardLine> readLines(const engine::Context& ctx, qint64 document)
{
    auto q = engine::Reader(
        ctx, QStringList{QStringLiteral("SELECT REAL_BLUDO.*, ING.CENA_COMPUTE, ING.KVO_PORC, ING.VIHOD_BLUDA, ING.NAME AS "
                                        "ING_NAME, ING.RECEPT, ED_IZM.SHORT_NAME, OTDEL.NAME AS OTDEL_NAME FROM REAL_BLUDO"),
                         QStringLiteral("INNER JOIN ING ON ING.KOD = REAL_BLUDO.KOD_ING"),
                         QStringLiteral("LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM"),
                         QStringLiteral("LEFT OUTER JOIN OTDEL ON OTDEL.KOD = REAL_BLUDO.KOD_OTDEL"),
                         QStringLiteral("WHERE REAL_BLUDO.KOD_DOC = ") + Key(document),
                         QStringLiteral("AND REAL_BLUDO.KOLVO > 0")}
                 .join(QLatin1Char('\n')));
    q->open();
    QVector<CardLine> lines;
    lines.reserve(q->recordCount());
    const int fIng = q->fieldIndex(QStringLiteral("KOD_ING"));
    const int fOtdel = q->fieldIndex(QStringLiteral("KOD_OTDEL"));
    const int fKolvo = q->fieldIndex(QStringLiteral("KOLVO"));
    const int fCc = q->fieldIndex(QStringLiteral("CENA_COMPUTE"));
    const int fPorc = q->fieldIndex(QStringLiteral("KVO_PORC"));
    const int fVihod = q->fieldIndex(QStringLiteral("VIHOD_BLUDA"));
    const int fName = q->fieldIndex(QStringLiteral("ING_NAME"));
    const int fOtdelName = q->fieldIndex(QStringLiteral("OTDEL_NAME"));
    const int fRecept = q->fieldIndex(QStringLiteral("RECEPT"));
    for (q->first(); !q->eof(); q->next()) {
        CardLine l;
        l.ing = q->field(fIng).asInt64();
        l.otdel = q->field(fOtdel).asInt64();
        l.kolvo = q->field(fKolvo).asDouble();
        l.cenaCompute = q->field(fCc).asInt();
        l.kvoPorc = q->field(fPorc).asInt();
        l.vihod = q->field(fVihod).asString();
        l.name = q->field(fName).asString();
        l.otdelName = q->field(fOtdelName).asString();
        l.recept = q->field(fRecept).asString();
        lines.append(l);
    }
    return lines;
}

QString firmaName(const engine::Context& ctx, qint64 document)
{
    auto q = engine::Reader(ctx, QStringLiteral("SELECT FIRMA.NAME FROM DOCS JOIN FIRMA ON FIRMA.KOD = "
                                                "DOCS.KOD_PARTNER_EXPORT WHERE DOCS.KOD = ") +
                                     Key(document));
    q->open();
    return q->isEmpty() ? QString() : q->field(0).asString();
}

// A card's end block and the next card's header block go below the card
// as two copies the first time, and as one copy of those rows afterwards:
// every card rewrites all that its header and recipe hold, so the rows from
// one end block to the next header serve every later card whose header
// lies as far below its end block.
class Joints {
public:
    Joints(automation::Document& document, const templates::TemplateForm& form)
        : doc_(document), form_(form),
          endRows_(templates::RowNumber(form.TAIL_YX) - templates::RowNumber(form.HEAD_YX)),
          headRows_(templates::RowNumber(form.HEAD_YX)),
          columns_(std::max(templates::ColumnNumber(templates::ColumnLetters(form.TAIL_YX)),
                            templates::ColumnNumber(form.HEAD_YX)))
    {
    }

    int endRows() const { return endRows_; }

    // The end block from sheet row `row` on and the header block from `span`
    // rows below it (rows counted from 1).
    void place(int row, int span)
    {
        const auto joint = from_.find(span);
        if (joint != from_.end()) {
            const int first = joint->second - 1;
            doc_.copyRange({0, 0, row - 1}, {0, 0, first, columns_ - 1, first + span + headRows_ - 1});
            return;
        }
        templates::MoveTemplateRange(doc_, form_.TAIL_YX, form_.HEAD_YX, row, false);
        templates::CopyTemplateRange(doc_, form_.HEAD_YX, row + span);
        from_.emplace(span, row);
    }

private:
    automation::Document& doc_;
    const templates::TemplateForm& form_;
    const int endRows_, headRows_, columns_;
    std::map<int, int> from_;  // the first row of the first such pair, by its span
};

} // namespace

bool techcards::Print(const engine::Context& ctx, const Options& options, automation::Office& office,
                      const QString& cacheFolder, const Progress& progress)
{
    const QVector<CardLine> lines = readLines(ctx, options.document);
    if (lines.isEmpty())
        return false;
    const QString firma = firmaName(ctx, options.document);
    // The cards, products and prices of the lines' departments, read once for all cards.
    std::vector<qint64> departments;
    for (const CardLine& l : lines)
        if (std::find(departments.begin(), departments.end(), l.otdel) == departments.end())
            departments.push_back(l.otdel);
    costing::CatalogueSnapshot source(ctx.database, ctx.read, departments);
    costing::Expander expander(source);
    ProductNames names(ctx);

    TemplateRun run(ctx, office, cacheFolder, 10, progress);
    const templates::TemplateForm& form = run.tpl().form;
    // The recipe goes below each card only when the template holds an enabled variable for it.
    const templates::TemplateVariable* recept = run.tpl().variables.find(QStringLiteral("recept"));
    const bool recipe = recept && recept->ENABLED == 1;

    run.startProgress(static_cast<int>(lines.size()));
    run.open();
    // Each card's rows, counted from 0, go on one page where they fit on one;
    // cards of the same texts (numbers take no more than a line) are of one
    // kind, the heights of their rows alike.
    QList<std::pair<int, int>> cards;
    QList<int> kinds;
    QHash<QString, int> kindOf;
    const int headRows = templates::RowNumber(form.HEAD_YX);
    Joints joints(run.document(), form);
    int blockStart = 1;
    for (int i = 0; i < lines.size(); ++i) {
        const int cardStart = blockStart;
        const CardLine& l = lines[i];
        run.stepProgress();
        // The card's header lands in its own copy of the header block.
        auto head = [&](const std::function<void()>& f) {
            const int keep = run.row;
            run.row = blockStart;
            f();
            run.row = keep;
        };
        head([&] {
            // Header variables count their rows from the block start.
            run.putDate(QStringLiteral("date"), Clock::today());
            run.putText(QStringLiteral("firma"), firma);
            run.putText(QStringLiteral("otdel"), l.otdelName);
            run.putText(QStringLiteral("fo"), firma + QStringLiteral(", ") + l.otdelName);
            run.putText(QStringLiteral("bludo"), l.name);
            run.putQuantity(QStringLiteral("kolvo"), l.kolvo);
            run.putText(QStringLiteral("vihod"), l.vihod);
        });

        costing::AmountList list;
        if (options.mode == 1)
            list = expander.ExpandToRawNoIng(l.ing, l.otdel, l.kolvo, l.cenaCompute, 0, false);
        else
            expander.ExpandOneLevel(l.kvoPorc, 0, l.ing, l.otdel, l.kolvo, l.cenaCompute, list);
        list = costing::CopyAmountList(std::move(list));
        const QChar apart(0x1f);
        QString texts = l.otdelName + apart + l.name + apart + l.vihod;

        int counter = 0;
        for (const costing::RIng& n : list) {
            if (options.mode == 1 && n.MY_LEVEL != 0)
                continue;
            const QString ing = n.MY_LEVEL > 0 ? QStringLiteral("П.Ф. - ") + n.NAME : n.NAME;
            const QString& unit = names.of(n.KOD_ING).unit;
            run.putInt(QStringLiteral("nstr"), ++counter);
            run.putText(QStringLiteral("ing"), ing);
            run.putQuantity(QStringLiteral("brutto"), n.BRUTTO);
            run.putQuantity(QStringLiteral("netto"), n.NETTO);
            run.putText(QStringLiteral("edizm"), unit);
            texts += apart + ing + apart + unit;
            run.put(QStringLiteral("s1"));
            run.put(QStringLiteral("s2"));
            run.put(QStringLiteral("s3"), RowNext);
        }

        // A copy of the end block, so that it stays parked for the next card;
        // the recipe's lines go from the row below it on, and the next card
        // starts two rows below them (a row below the end block without a recipe).
        const QStringList recipeLines = recipe ? MemoLines(l.recept) : QStringList();
        const int endRow = run.row;
        blockStart = recipe ? endRow + joints.endRows() + static_cast<int>(recipeLines.size()) + 2
                            : endRow + joints.endRows() + 1;
        if (i + 1 < lines.size())
            joints.place(endRow, blockStart - endRow);
        else
            templates::MoveTemplateRange(run.document(), form.TAIL_YX, form.HEAD_YX, endRow, false);
        run.row = endRow + joints.endRows() + 1;
        int cardEnd = run.row - 2;  // the end block's last row, a row left empty below it
        if (recipe) {
            --run.row;
            for (const QString& line : recipeLines)
                run.putText(QStringLiteral("recept"), line, RowNextWhenEnabled);
            cardEnd = std::max(cardEnd, run.row - 1);
            run.row += 2;
        }
        Q_ASSERT(run.row == blockStart);
        cards.append({cardStart - 1, cardEnd - 1});
        texts += apart + recipeLines.join(apart);
        auto kind = kindOf.constFind(texts);
        if (kind == kindOf.cend())
            kind = kindOf.insert(texts, static_cast<int>(kindOf.size()));
        kinds.append(*kind);
        if (i + 1 < lines.size())
            run.row = blockStart + headRows;  // the next card's first table row
    }
    // Every row of the cards gets the height its texts need: the copies
    // take no heights along, and the template's own rows are fitted alike.
    run.document().fitRowsAtUnlock(0, 0, cards.back().second);
    run.document().keepRowsTogether(0, cards, kinds);
    run.finish();
    return true;
}

} // namespace reports
