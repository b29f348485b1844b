#pragma once

// The statements of the production and sales documents: what was sold or
// produced (print list 8, one row per line, optionally grouped by product
// group with subtotals) and what it consumed (print list 9, one row per raw
// product), of the current document or of a period.

#include "TemplateReport.h"

#include "costing/AmountList.h"
#include "engine/Kopecks.h"

#include <QDate>
#include <QVector>

#include <optional>

namespace reports {

// One printed row of the products statement.
struct ProductLine {
    QString name;
    QString shortName;
    double kolvo = 0;      // a period's row: its lines' quantities summed in decimal, as printed
    // A period's row: the lines it stands for at the selling price and at the
    // stock price, in that order.
    std::optional<engine::SummedRow> sums;
    double cena = 0;       // selling price (a line's sum is the quantity times it, rounded once)
    double cenaSklad = 0;  // stock price
    qint64 groupKod = 0;   // 0 without a group
    QString groupName;
};

// The header of the current document as the statements print it.
struct DocumentHead {
    bool found = false;
    QString name;
    QDate date;
    int docType = 0;
    int provodka = 0;
    int p = 0;  // expansion mode of the document's lines
    qint64 firma = 0;
};
DocumentHead ReadDocumentHead(const engine::Context& ctx, qint64 document);

} // namespace reports

namespace reports::statements {

struct Options {
    bool ingredients = false;  // the raw products consumed (list 9) rather than the products (list 8)
    int what = 0;         // 0 the current document, 1 the documents of a period
    qint64 document = 0;  // DOCS.KOD of the current document
    QVector<ProductLine> lines;  // products of the current document, as its tab shows them
    QDate start;          // the period, both days included
    QDate finish;
    int type = 0;         // 0 sales (DOC_TYPE 3), 1 production (7), 2 both
    int provodka = 0;     // products of a period: 0 posted, 1 not posted, 2 all
    bool byGroup = false; // products: a heading and a subtotal per product group
};

// The statement of the options: the products of the current document (its
// `lines`) or of the period, or the raw products they consumed. Throws
// costing::CardError, before anything is opened, for a card that cannot be
// expanded.
void Print(const engine::Context& ctx, const Options& options, automation::Office& office, const QString& cacheFolder,
           const Progress& progress = {});

} // namespace reports::statements

namespace reports {

// The products of the period: one row per product, selling and stock price,
// summed (in decimal) over the period's documents, in group name and product
// name order.
QVector<ProductLine> ProductsOfPeriod(const engine::Context& ctx, const statements::Options& options);

// One row of the ingredients statement: a raw product's amount, and for
// write-off lines merged into it their quantities summed in decimal and
// their sums, each rounded once, added up in kopecks.
struct IngredientLine {
    costing::RIng node;
    std::optional<engine::SummedRow> merged;
};

// The raw products consumed: of the period's posted documents or of the posted
// current document their write-off lines, merged by product, department and
// price; of a current document not yet posted its lines of positive quantity
// expanded by the document's mode. Throws costing::CardError for a card that
// cannot be expanded.
QVector<IngredientLine> IngredientsOf(const engine::Context& ctx, const statements::Options& options);

// "dd.mm.yyyy / dd.mm.yyyy".
QString PeriodText(const QDate& start, const QDate& finish);

} // namespace reports
