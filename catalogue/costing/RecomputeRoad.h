#pragma once

#include "AmountList.h"
#include "Recompute.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <vector>

// What a price recomputation asks of the road it reads and writes through.
// The program's road reads the run's catalogue into memory; a reference road
// that asks the database at every node can be installed for checking it
// (Road::Literal runs it).
namespace costing {

// One department row of the scope with what the recomputation needs of it.
struct PriceRow {
    qint64 kod = 0;       // ING_SKLAD.KOD
    qint64 kodIng = 0;    // the product (ING.KOD)
    qint64 kodOtdel = 0;
    int level = 0;        // ING.MY_LEVEL
    bool levelNull = false;
    double kolvo = 0;     // stock
    double cena = 0;
    double myCena = 0;
    double kalories = 0;  // ING.KALORIES
    int percent = 0;      // the department's markup
    int metod = 0;
    int percentPlus = 0;  // the card's markup
    int cenaCompute = 0;
    int openClose = 0;
    const QString* nameI = nullptr;  // the product's and the department's names, kept by the road
    const QString* nameO = nullptr;
    int place = -1;       // where the road keeps the row and its product, for its own use
    int productPlace = -1;
};

// What the recomputation asks of a road.
class RecomputeRoad {
public:
    virtual ~RecomputeRoad() = default;
    // The level rows, or the price rows (which skip hidden composites when asked).
    virtual std::vector<PriceRow> rows(const RecomputeScope& scope, bool prices) = 0;
    virtual int computeLevel(qint64 ing) = 0;
    // ExpandToRaw for quantity 1 without stock; the list serves until the next call.
    virtual const AmountList& expand(qint64 ing, qint64 otdel, int priceFlag) = 0;
    // SumRawNodes(expand(...)) of the row's product in the row's department
    // without the list, for a product that has nothing to expand; false when
    // it has (or the road cannot tell).
    virtual bool ownNodeSums(const PriceRow&, int, RawSums&) { return false; }
    virtual int& watch() = 0;
    virtual QStringList& zeroPriceLines() = 0;
    // The writes; `old` is the value they replace.
    virtual void writeLevel(qint64 ing, int old, int level) = 0;
    virtual void writeCena(const PriceRow& r, double cena) = 0;
    virtual void writePrices(const PriceRow& r, double cena, double myCena) = 0;
    virtual void writeMyCena(const PriceRow& r, double myCena) = 0;
    virtual void writeKalories(qint64 ing, double kalories) = 0;
    // Sends whatever is still held back.
    virtual void finish() = 0;
};


using ReferenceRoad = std::function<std::unique_ptr<RecomputeRoad>(const Context&)>;
// Installs the road Road::Literal runs; without one that road throws std::logic_error.
void SetReferenceRoad(ReferenceRoad road);

} // namespace costing
