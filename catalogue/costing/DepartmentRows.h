#pragma once

#include "Recompute.h"
#include "RowPrices.h"
#include "engine/ShownRow.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>
#include <vector>

// A product's rows in the departments (ING_SKLAD): the prices of one row and
// how they follow from the stock price or the card, the row's save, carrying
// prices and codes into the product's other rows, the uniqueness of codes,
// copying prices from one department into another, visibility, and the cards
// a product is used in. Reads go to ctx.read, writes to ctx.write, which the
// caller has started; nothing here commits.
namespace costing {

// One department row with what is shown of its product.
struct DepartmentRow {
    qint64 kod = 0;
    qint64 kodIng = 0;
    qint64 kodFirma = 0;
    qint64 kodOtdel = 0;
    double cena = 0;    // stock price
    double myCena = 0;  // selling price
    int percent = 0;    // the department's markup
    int metod = 0;      // 0 markup and rounding, 1 markup, 2 selling price by hand
    int noIng = 0;      // 1 always written off whole
    int openClose = 0;  // 1 hidden in the department
    int kodKassa = 0;   // point-of-sale code, 0 none
    QString sKod;       // barcode
    QString kod1S;      // accounting code
    double limit = 0;   // minimum stock
    QString name;       // of the product
    int myLevel = 0;    // 0 raw, above 0 made by a card
    int kvoPorc = 1;
    int cenaCompute = 0;  // the card is priced at stock (0) or selling prices
    int percentPlus = 0;  // the card's markup
    // The row's columns the department dialog writes back, as they were read.
    engine::ShownRow shown;
};

// The row with key kod; std::nullopt when there is none.
std::optional<DepartmentRow> ReadDepartmentRow(const Context& ctx, qint64 kod);
// Key of the product's row in the department, 0 when it has none.
qint64 FindDepartmentRow(const Context& ctx, qint64 ing, qint64 otdel);
// The product's level as stored now (read on the write transaction).
int ProductLevel(const Context& ctx, qint64 ing);

// The cost of one unit of a composite in the row's department (RowCost): its
// card expanded to raw products, priced by the product's price flag. A fault
// of the card throws CardError.
double CompositeCost(const Context& ctx, const DepartmentRow& row);

// The values the department dialog saves.
struct DepartmentEdit {
    qint64 kod = 0;
    bool writeCena = true;  // a hand-priced composite keeps its stock price
    double cena = 0;
    double myCena = 0;
    int percent = 0;
    int metod = 0;
    int noIng = 0;
    int openClose = 0;
    int kodKassa = 0;
    QString sKod;
    QString kod1S;
    double limit = 0;
};
void WriteDepartmentRow(const Context& ctx, const DepartmentEdit& e);

enum class CodeKind { Barcode, Accounting };
// Gives every row of the product the code.
void SpreadCode(const Context& ctx, qint64 ing, CodeKind kind, const QString& code);
// The product holding the code in another row, or std::nullopt when it is
// free. Point-of-sale codes are unique over every row. A barcode or an
// accounting code to be given to all the product's rows (spread) must not be
// held by another product in any department; one kept in its row alone must
// be held by no other row.
std::optional<QString> KassaCodeHolder(const Context& ctx, int code, qint64 rowKod);
std::optional<QString> CodeHolder(const Context& ctx, CodeKind kind, const QString& code, qint64 rowKod, qint64 ing,
                                  bool spread);

// Where prices are carried: 1 the product's rows of the enterprise, 2 of every enterprise.
// The stock price goes to the rows of a raw product; returns the rows written.
int SpreadStockPrice(const Context& ctx, qint64 ing, int where, qint64 firma, double cena);
// The selling price goes to the product's rows priced by hand.
int SpreadHandPrice(const Context& ctx, qint64 ing, int where, qint64 firma, double myCena);

// The protocol line of a saved row; notes are appended as they stand.
QString PriceChangeLogText(const QString& name, const QString& cena, const QString& percent, const QString& calculated,
                           const QString& selling, int metod, const QString& notes = {});

// Copy of markup, stock price, method and selling price from the rows of one
// department into the rows of the same products in another department, or
// only those of one of its warehouses; with onlyZero only into rows whose
// selling price is 0. Products without a row in the source keep theirs.
struct PriceCopy {
    qint64 sourceOtdel = 0;
    qint64 targetOtdel = 0;
    qint64 targetSklad = 0;  // 0: the whole department
    bool onlyZero = true;
};
// Returns the number of source rows; progress counts the source rows done.
int CopyPrices(const Context& ctx, const PriceCopy& copy, const engine::Progress& progress = {});

// Hides or opens the products in the department, or the rows by key.
void SetProductsHidden(const Context& ctx, const std::vector<qint64>& ings, qint64 otdel, bool hidden);
void SetRowsHidden(const Context& ctx, const std::vector<qint64>& rowKods, bool hidden);

// The cards that list the product, its own self row included, by name:
// NAME, KVO_PORC, SHORT_NAME (unit) of the card's product and KOLVO (net quantity).
QStringList WhereUsedQueryText(qint64 ing);
struct UsageRow {
    QString name;
    int kvoPorc = 0;
    QString unit;
    double kolvo = 0;
};
std::vector<UsageRow> WhereUsed(const Context& ctx, qint64 ing);

} // namespace costing
