#include "PageBreaks.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/TablePageBreakData.hpp>
#include <com/sun/star/sheet/XPrintAreas.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetPageBreak.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
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

// The sheet's pages counted over its used columns and the rows to its last
// block only while the blocks are kept: the office paginates the whole of a
// sheet whose formats reach its last row, tens of thousands of empty pages,
// on every count.
class PrintedRows {
public:
    PrintedRows(const Reference<sheet::XSpreadsheet>& sheet, int lastRow)
        : areas_(sheet, UNO_QUERY_THROW), before_(areas_->getPrintAreas())
    {
        if (before_.getLength() > 0)
            return;  // the sheet's own print ranges stand
        const Reference<sheet::XSheetCellCursor> cursor = sheet->createCursor();
        Reference<sheet::XUsedAreaCursor>(cursor, UNO_QUERY_THROW)->gotoEndOfUsedArea(false);
        const table::CellRangeAddress end = Reference<sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
        uno::Sequence<table::CellRangeAddress> rows(1);
        table::CellRangeAddress& a = rows.getArray()[0];
        a.Sheet = end.Sheet;
        a.StartColumn = 0;
        a.EndColumn = end.EndColumn;
        a.StartRow = 0;
        a.EndRow = lastRow;
        areas_->setPrintAreas(rows);
        set_ = true;
    }
    ~PrintedRows()
    {
        try {
            if (set_)
                areas_->setPrintAreas(before_);
        } catch (...) {
        }
    }
    PrintedRows(const PrintedRows&) = delete;
    PrintedRows& operator=(const PrintedRows&) = delete;

private:
    Reference<sheet::XPrintAreas> areas_;
    uno::Sequence<table::CellRangeAddress> before_;
    bool set_ = false;
};

} // namespace

void KeepTogether(const Reference<sheet::XSpreadsheet>& sheet, QList<std::pair<int, int>> blocks)
{
    if (blocks.isEmpty())
        return;
    std::sort(blocks.begin(), blocks.end());
    int lastRow = 0;
    for (const auto& b : blocks)
        lastRow = std::max(lastRow, b.second);
    const PrintedRows counted(sheet, lastRow);
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
