#include "RowHeights.h"

#include "PageBreaks.h"
#include "PageLayout.h"
#include "UnoCalls.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XSheetCellRangeContainer.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XUniqueCellFormatRangesSupplier.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include <algorithm>
#include <limits>
#include <map>
#include <vector>

namespace automation::unorows {

using unocalls::inParallel;

namespace {

using namespace com::sun::star;
using uno::Any;
using uno::Reference;
using uno::Sequence;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

// More runs of rows than this are fitted by one selection: selecting and
// fitting costs the office about what this many fits of a run do.
constexpr int kRunsWorthSelecting = 8;
// Runs of rows no more than this many rows apart are fitted as one where the
// rows between them follow their contents' heights.
constexpr int kJoinedAcross = 8;

bool holds(const table::CellRangeAddress& a, int row, int column)
{
    return a.StartRow <= row && row <= a.EndRow && a.StartColumn <= column && column <= a.EndColumn;
}

bool startsMerge(const Reference<sheet::XSpreadsheet>& sheet, int row, int column)
{
    return Reference<util::XMergeable>(sheet->getCellRangeByPosition(column, row, column, row), UNO_QUERY_THROW)
        ->getIsMerged();
}

sal_Int32 heightOf(const Reference<beans::XPropertySet>& row)
{
    sal_Int32 h = 0;
    row->getPropertyValue("Height") >>= h;
    return h;
}

// The office's optimal height for each run of rows of a sheet, a call a run.
void fitRuns(const Reference<sheet::XSpreadsheet>& sheet, const QList<std::pair<int, int>>& runs)
{
    for (const auto& [first, last] : runs) {
        Reference<table::XColumnRowRange> cr(sheet->getCellRangeByPosition(0, first, 0, last), UNO_QUERY_THROW);
        Reference<beans::XPropertySet>(cr->getRows(), UNO_QUERY_THROW)->setPropertyValue("OptimalHeight", Any(true));
    }
}

QString nameOf(const Reference<sheet::XSpreadsheet>& sheet)
{
    const rtl::OUString n = Reference<container::XNamed>(sheet, UNO_QUERY_THROW)->getName();
    return QString(reinterpret_cast<const QChar*>(n.getStr()), static_cast<int>(n.getLength()));
}

// The office's optimal height for every run at once: the runs selected in the
// document's view and fitted as the user would, the selection put back. The
// view measures as the row list does only at its zoom of 100 %, and works on
// the sheet it shows; elsewhere this leaves the rows to the caller (false).
bool fitBySelection(const Target& t, int sheetIndex, const QList<std::pair<int, int>>& runs)
{
    if (!t.office.is())
        return false;
    const Reference<frame::XController> controller = t.model->getCurrentController();
    if (!controller.is())
        return false;
    const Reference<sheet::XSpreadsheetView> view(controller, UNO_QUERY);
    const Reference<beans::XPropertySet> viewProps(controller, UNO_QUERY);
    const Reference<view::XSelectionSupplier> selection(controller, UNO_QUERY);
    const Reference<frame::XDispatchProvider> dispatcher(controller->getFrame(), UNO_QUERY);
    if (!view.is() || !viewProps.is() || !selection.is() || !dispatcher.is())
        return false;
    // A document open read-only offers no formatting in its view.
    const Reference<frame::XStorable> storable(t.model, UNO_QUERY);
    if (storable.is() && storable->isReadonly())
        return false;
    sal_Int16 zoom = 0;
    if (!(viewProps->getPropertyValue("ZoomValue") >>= zoom) || zoom != 100)
        return false;
    const Reference<sheet::XSpreadsheet> sheet = t.sheet(sheetIndex);
    if (nameOf(view->getActiveSheet()) != nameOf(sheet))
        return false;

    Reference<sheet::XSheetCellRangeContainer> marked(
        Reference<lang::XMultiServiceFactory>(t.model, UNO_QUERY_THROW)
            ->createInstance("com.sun.star.sheet.SheetCellRanges"),
        UNO_QUERY_THROW);
    Sequence<table::CellRangeAddress> addresses(static_cast<sal_Int32>(runs.size()));
    for (int i = 0; i < runs.size(); ++i) {
        table::CellRangeAddress& a = addresses.getArray()[i];
        a.Sheet = static_cast<sal_Int16>(sheetIndex);
        a.StartColumn = a.EndColumn = 0;
        a.StartRow = runs[i].first;
        a.EndRow = runs[i].second;
    }
    marked->addRangeAddresses(addresses, false);

    const Any before = selection->getSelection();
    selection->select(Any(Reference<sheet::XSheetCellRanges>(marked, UNO_QUERY_THROW)));
    Sequence<beans::PropertyValue> args(1);
    args.getArray()[0].Name = "aExtraHeight";
    args.getArray()[0].Value <<= static_cast<sal_Int16>(0);
    const Any result =
        frame::DispatchHelper::create(t.office)->executeDispatch(dispatcher, ".uno:SetOptimalRowHeight", "", 0, args);
    if (before.hasValue())
        selection->select(before);
    // No answer: the view offers no such command. (Its answer says nothing
    // more: the office reports a fit it made as failed.)
    return result.hasValue();
}

// Rows that only grow: their heights read before the fit, through one row
// list, and given back where the fit left a row lower.
class Grown {
public:
    Grown(const Reference<sheet::XSpreadsheet>& sheet, const std::set<int>& rows)
        : numbers_(rows.begin(), rows.end()), rows_(rows.size()), before_(rows.size())
    {
        if (rows.empty())
            return;
        const int first = *rows.begin();
        Reference<table::XColumnRowRange> cr(sheet->getCellRangeByPosition(0, first, 0, *rows.rbegin()),
                                             UNO_QUERY_THROW);
        const Reference<container::XIndexAccess> list(cr->getRows(), UNO_QUERY_THROW);
        inParallel(numbers_.size(), [&](size_t i) {
            rows_[i].set(list->getByIndex(numbers_[i] - first), UNO_QUERY_THROW);
            before_[i] = heightOf(rows_[i]);
        });
    }

    void keepHeights()
    {
        std::vector<sal_Int32> after(rows_.size());
        inParallel(rows_.size(), [&](size_t i) { after[i] = heightOf(rows_[i]); });
        for (size_t i = 0; i < rows_.size(); ++i)
            if (after[i] < before_[i])
                rows_[i]->setPropertyValue("Height", Any(before_[i]));
    }

private:
    std::vector<int> numbers_;
    std::vector<Reference<beans::XPropertySet>> rows_;
    std::vector<sal_Int32> before_;
};

} // namespace

std::set<std::tuple<int, int, int>> MergeStarts(const Target& t, const QList<RangeAddress>& ranges)
{
    std::map<int, std::set<std::pair<int, int>>> cells;  // by sheet: (row, column)
    for (const RangeAddress& r : ranges)
        cells[r.sheet].insert({r.startRow, r.startColumn});
    std::set<std::tuple<int, int, int>> starts;
    for (auto& [sheetIndex, left] : cells) {
        const Reference<sheet::XSpreadsheet> sheet = t.sheet(sheetIndex);
        if (left.size() > 1) {
            int top = left.begin()->first, bottom = left.rbegin()->first;
            int leftmost = left.begin()->second, rightmost = leftmost;
            for (const auto& [row, column] : left) {
                leftmost = std::min(leftmost, column);
                rightmost = std::max(rightmost, column);
            }
            const Reference<container::XIndexAccess> formats =
                Reference<sheet::XUniqueCellFormatRangesSupplier>(
                    sheet->getCellRangeByPosition(leftmost, top, rightmost, bottom), UNO_QUERY_THROW)
                    ->getUniqueCellFormatRanges();
            const sal_Int32 count = formats->getCount();
            for (sal_Int32 i = 0; i < count && !left.empty(); ++i) {
                const Sequence<table::CellRangeAddress> parts =
                    Reference<sheet::XSheetCellRanges>(formats->getByIndex(i), UNO_QUERY_THROW)->getRangeAddresses();
                std::vector<std::pair<int, int>> in;
                for (const auto& [row, column] : left)
                    for (const table::CellRangeAddress& a : parts)
                        if (holds(a, row, column)) {
                            in.push_back({row, column});
                            break;
                        }
                if (in.empty())
                    continue;
                const bool merged = startsMerge(sheet, in.front().first, in.front().second);
                for (const auto& c : in) {
                    if (merged)
                        starts.insert({sheetIndex, c.first, c.second});
                    left.erase(c);
                }
            }
        }
        // A cell no format named is asked on its own.
        for (const auto& [row, column] : left)
            if (startsMerge(sheet, row, column))
                starts.insert({sheetIndex, row, column});
    }
    return starts;
}

namespace {

// The rows of a sheet to fit and those to grow (RowsToFit).
struct SheetRows {
    std::set<int> fit, grow;
};

std::map<int, SheetRows> rowsToAdjust(const Target& t, const QList<RangeAddress>& wrapped,
                                      const std::map<int, std::set<int>>& fit)
{
    if (wrapped.isEmpty() && fit.empty())
        return {};
    // Rows fitted anyway need no asking whether their ranges start a merge.
    QList<RangeAddress> asked;
    for (const RangeAddress& r : wrapped) {
        const auto rows = fit.find(r.sheet);
        for (int row = r.startRow; row <= r.endRow; ++row)
            if (rows == fit.end() || !rows->second.count(row)) {
                asked.append(r);
                break;
            }
    }
    const std::set<std::tuple<int, int, int>> starts = MergeStarts(t, asked);
    const RowsToAdjust rows = RowsToFit(
        wrapped, [&starts](const CellAddress& c) { return starts.count({c.sheet, c.row, c.column}) > 0; }, fit);
    std::map<int, SheetRows> bySheet;
    for (const auto& [s, fitted] : rows.fit)
        bySheet[s].fit = fitted;
    for (const auto& [s, grown] : rows.grow)
        bySheet[s].grow = grown;
    return bySheet;
}

// The rows of `rows` from first to last.
std::set<int> within(const std::set<int>& rows, int first, int last)
{
    return std::set<int>(rows.lower_bound(first), rows.upper_bound(last));
}

// The runs of the rows, joined across the few rows between two of them
// whose heights follow their contents (the office's "optimal height", which
// a row keeps until it is given a height of its own): a fit gives those the
// heights the office gives them whenever their cells change. The office
// works through every cell of the sheet once for each run it fits, so runs
// fitted one by one, or by one selection of them, cost it the square of
// their number; joined, a sheet's rows are fitted in a pass or a few.
QList<std::pair<int, int>> joinedRuns(const Reference<sheet::XSpreadsheet>& sheet, const std::set<int>& rows)
{
    QList<std::pair<int, int>> runs = RowRuns(rows);
    if (runs.size() < 2)
        return runs;
    std::vector<int> between;
    for (int i = 1; i < runs.size(); ++i)
        if (runs[i].first - runs[i - 1].second - 1 <= kJoinedAcross)
            for (int r = runs[i - 1].second + 1; r < runs[i].first; ++r)
                between.push_back(r);
    const Reference<container::XIndexAccess> list(Reference<table::XColumnRowRange>(sheet, UNO_QUERY_THROW)->getRows(),
                                                  UNO_QUERY_THROW);
    std::vector<char> following(between.size());
    inParallel(between.size(), [&](size_t i) {
        bool optimal = false;
        Reference<beans::XPropertySet>(list->getByIndex(between[i]), UNO_QUERY_THROW)->getPropertyValue("OptimalHeight") >>=
            optimal;
        following[i] = optimal;
    });
    std::set<int> kept;  // rows between runs that keep their heights
    for (size_t i = 0; i < between.size(); ++i)
        if (!following[i])
            kept.insert(between[i]);
    QList<std::pair<int, int>> joined{runs.front()};
    for (int i = 1; i < runs.size(); ++i) {
        std::pair<int, int>& last = joined.back();
        const bool near = runs[i].first - last.second - 1 <= kJoinedAcross;
        const auto keeps = kept.lower_bound(last.second);
        if (near && (keeps == kept.end() || *keeps >= runs[i].first))
            last.second = runs[i].second;
        else
            joined.append(runs[i]);
    }
    return joined;
}

// The document's table of the characters a line may not begin or end with,
// made once and kept: without one, the office makes a new table each time
// it lays out a text of a cell, and reads its language's locale data into
// it again, half of what fitting rows of long texts costs it. The table
// keeps the locale's own characters, which each new one held.
void keepLineBreakTable(const Target& t)
{
    try {
        Reference<beans::XPropertySet>(
            Reference<lang::XMultiServiceFactory>(t.model, UNO_QUERY_THROW)->createInstance("com.sun.star.document.Settings"),
            UNO_QUERY_THROW)
            ->getPropertyValue("ForbiddenCharacters");
    } catch (const lang::DisposedException&) {
        throw;  // the office is gone
    } catch (const uno::Exception&) {
        // A document without the table only fits its rows slower.
    }
}

// Fits and grows the sheet's rows from first to last.
void adjustRows(const Target& t, int s, const SheetRows& rows, int first, int last)
{
    const std::set<int> fit = within(rows.fit, first, last);
    const std::set<int> grow = within(rows.grow, first, last);
    if (fit.empty() && grow.empty())
        return;
    const Reference<sheet::XSpreadsheet> sheet = t.sheet(s);
    Grown grown(sheet, grow);
    std::set<int> both = fit;
    both.insert(grow.begin(), grow.end());
    const QList<std::pair<int, int>> runs = joinedRuns(sheet, both);
    if (runs.size() <= kRunsWorthSelecting || !fitBySelection(t, s, runs))
        fitRuns(sheet, runs);
    grown.keepHeights();
}

// A band of rows fitted at a time, from the bottom up, while its blocks'
// rows are measured: at least this many rows.
constexpr int kBandRows = 8000;

// Fits the rows of a sheet whose blocks are kept on their pages, band by
// band from the bottom up, and measures each band's blocks right after the
// band is fitted. The office finds a row's top by adding up the heights of
// the rows above it, run of equal heights by run: above a band only rows
// not fitted yet lie, of a few heights, so measuring every block costs what
// its band holds, not what the sheet does. Returns the tops of the blocks'
// first rows and of the rows below them, in twips from the sheet's top.
std::map<int, long> fitMeasuring(const Target& t, int s, const SheetRows& rows, const QList<std::pair<int, int>>& blocks,
                                 const QList<int>& kinds)
{
    const std::vector<unopages::Band> bands = unopages::Bands(blocks, kBandRows, kinds);
    adjustRows(t, s, rows, bands.back().last + 1, std::numeric_limits<int>::max());
    std::vector<std::map<int, long>> measured(bands.size());
    for (size_t i = bands.size(); i-- > 0;) {
        adjustRows(t, s, rows, bands[i].first, bands[i].last);
        unopages::MeasureRows(t.model, t.sheet(s), bands[i].ranges, measured[i]);
    }
    adjustRows(t, s, rows, 0, bands.front().first - 1);
    std::map<int, long> first;
    unopages::MeasureRows(t.model, t.sheet(s), {{bands.front().first, bands.front().first}}, first);
    return unopages::JoinBands(bands, measured, first.at(bands.front().first));
}

} // namespace

void FitWrapped(const Target& t, const QList<RangeAddress>& wrapped, const std::map<int, std::set<int>>& fit)
{
    if (!wrapped.isEmpty() || !fit.empty())
        keepLineBreakTable(t);
    for (const auto& [s, rows] : rowsToAdjust(t, wrapped, fit))
        adjustRows(t, s, rows, 0, std::numeric_limits<int>::max());
}

void Pending::fit(int sheet, int firstRow, int lastRow)
{
    for (int r = firstRow; r <= lastRow; ++r)
        fit_[sheet].insert(r);
}

void Pending::adjust(const Target& t)
{
    const QList<RangeAddress> wrapped = std::move(wrapped_);
    wrapped_.clear();
    const std::map<int, std::set<int>> fit = std::move(fit_);
    fit_.clear();
    const QList<Kept> kept = std::move(kept_);
    kept_.clear();
    if (!wrapped.isEmpty() || !fit.empty())
        keepLineBreakTable(t);
    std::map<int, SheetRows> rows = rowsToAdjust(t, wrapped, fit);
    // The blocks of each sheet, with their kinds where every set of them
    // has them: its rows are fitted and measured together.
    std::map<int, Kept> bySheet;
    for (const Kept& k : kept) {
        Kept& all = bySheet.try_emplace(k.sheet, Kept{k.sheet, {}, {}}).first->second;
        if (all.kinds.size() == all.blocks.size() && k.kinds.size() == k.blocks.size()) {
            // Each set's kinds are its own.
            const int from = all.kinds.isEmpty() ? 0 : *std::max_element(all.kinds.cbegin(), all.kinds.cend()) + 1;
            for (const int kind : k.kinds)
                all.kinds << from + kind;
        } else {
            all.kinds.clear();
        }
        all.blocks += k.blocks;
    }
    std::map<int, std::map<int, long>> tops;
    for (const auto& [s, k] : bySheet)
        if (!k.blocks.isEmpty()) {
            tops[s] = fitMeasuring(t, s, rows[s], k.blocks, k.kinds);
            rows.erase(s);
        }
    for (const auto& [s, sheetRows] : rows)
        adjustRows(t, s, sheetRows, 0, std::numeric_limits<int>::max());
    for (const Kept& k : kept)
        unopages::KeepTogether(t.model, t.sheet(k.sheet), k.blocks, k.kinds, tops[k.sheet]);
}

} // namespace automation::unorows
