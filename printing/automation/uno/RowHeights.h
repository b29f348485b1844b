#pragma once

// The rows a document gave wrapped text while it was filled with its heights
// held, brought to the heights their texts need once it is unlocked: a range
// outside merged areas is fitted to its contents, a range starting a merged
// area only grows (RowsToFit). The office's own optimal height costs it about
// a millisecond a call whatever the rows, so rows far apart (a card's dish
// name on every card) are fitted together, as the office's "optimal row
// height" on a selection of them does, and a grown row's heights before and
// after are read through one row list.

#include "automation/RecordingOffice.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <functional>
#include <map>
#include <set>
#include <tuple>

namespace automation::unorows {

struct Target {
    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> office;
    com::sun::star::uno::Reference<com::sun::star::frame::XModel> model;
    std::function<com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet>(int)> sheet;
};

// The first cells of the ranges that start a merged area, as (sheet, row,
// column). Cells of one format share the answer (a merge is part of a cell's
// format), so the office is asked once per format among them.
std::set<std::tuple<int, int, int>> MergeStarts(const Target& t, const QList<RangeAddress>& ranges);

// Fits and grows the rows of the ranges given wrapped text while locked,
// and fits the rows asked to be fitted besides (`fit`, by sheet).
void FitWrapped(const Target& t, const QList<RangeAddress>& wrapped, const std::map<int, std::set<int>>& fit = {});

// What a locked document leaves to its unlock, when the office adjusts
// heights again: the ranges given wrapped text, the rows asked to be fitted
// and the blocks of rows to keep on one page.
class Pending {
public:
    void wrapped(const QList<RangeAddress>& ranges) { wrapped_.append(ranges); }
    void fit(int sheet, int firstRow, int lastRow);
    void keep(int sheet, const QList<std::pair<int, int>>& blocks, const QList<int>& kinds)
    {
        kept_.append({sheet, blocks, kinds});
    }
    // Fits and grows the rows (FitWrapped), then keeps the blocks on their
    // pages as the rows' heights paginate them; nothing is left pending. A
    // sheet with blocks to keep is fitted from the bottom up, its blocks
    // measured band by band as they are fitted.
    void adjust(const Target& t);

private:
    QList<RangeAddress> wrapped_;
    std::map<int, std::set<int>> fit_;                         // rows, by sheet
    struct Kept {
        int sheet;
        QList<std::pair<int, int>> blocks;
        QList<int> kinds;
    };
    QList<Kept> kept_;
};

} // namespace automation::unorows
