#include "PageBreaks.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/TablePageBreakData.hpp>
#include <com/sun/star/sheet/XSheetPageBreak.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>

#include <algorithm>
#include <set>

namespace automation::unopages {

using namespace com::sun::star;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

// The rows that start a page, as the office paginates the sheet now.
std::set<int> pageStarts(const Reference<sheet::XSheetPageBreak>& breaks)
{
    std::set<int> starts{0};
    const uno::Sequence<sheet::TablePageBreakData> all = breaks->getRowPageBreaks();
    for (const sheet::TablePageBreakData& b : all)
        starts.insert(b.Position);
    return starts;
}

void startPageAt(const Reference<sheet::XSpreadsheet>& sheet, int row)
{
    Reference<table::XColumnRowRange> cr(sheet->getCellRangeByPosition(0, row, 0, row), UNO_QUERY_THROW);
    Reference<beans::XPropertySet>(cr->getRows(), UNO_QUERY_THROW)
        ->setPropertyValue("IsStartOfNewPage", uno::Any(true));
}

} // namespace

void KeepTogether(const Reference<sheet::XSpreadsheet>& sheet, QList<std::pair<int, int>> blocks)
{
    std::sort(blocks.begin(), blocks.end());
    const Reference<sheet::XSheetPageBreak> breaks(sheet, UNO_QUERY_THROW);
    // A break placed moves every page after it: the pagination is read again
    // after each, from the block that follows it on.
    int next = 0;
    while (next < blocks.size()) {
        const std::set<int> starts = pageStarts(breaks);
        int split = -1;
        for (int i = next; i < blocks.size() && split < 0; ++i) {
            const auto [first, last] = blocks[i];
            const auto inside = starts.upper_bound(first);
            if (inside != starts.end() && *inside <= last)
                split = i;
        }
        if (split < 0)
            return;
        // A block that starts its page already is taller than a page.
        if (!starts.count(blocks[split].first))
            startPageAt(sheet, blocks[split].first);
        next = split + 1;
    }
}

} // namespace automation::unopages
