#include "PageBreaks.h"

#include "PageLayout.h"
#include "UnoCalls.h"

#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/sheet/TablePageBreakData.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangesAccess.hpp>
#include <com/sun/star/sheet/XPrintAreas.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetPageBreak.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/BorderLine.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/ShadowFormat.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace automation::unopages {

using namespace com::sun::star;
using uno::Any;
using uno::Reference;
using uno::Sequence;
using uno::UNO_QUERY_THROW;

namespace {

// A length the office gives in hundredths of a millimetre, in twips. A twip
// is longer, so the office's own twips come back exactly.
long twips(sal_Int32 hundredthsOfMm) { return std::lround(hundredthsOfMm * 72.0 / 127.0); }

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

// While it stands, the sheet's one print range is named twice: the office
// paginates a sheet of several print ranges not at all, so a break placed
// meanwhile costs no pagination of the whole sheet, as each otherwise does.
// The print range is put back as it was; the next count paginates once.
class BreaksUncounted {
public:
    explicit BreaksUncounted(const Reference<sheet::XSpreadsheet>& sheet)
        : areas_(sheet, UNO_QUERY_THROW), before_(areas_->getPrintAreas())
    {
        if (before_.getLength() != 1)
            return;  // none: the rows are not kept; several: the office counts no pages already
        Sequence<table::CellRangeAddress> twice(2);
        twice.getArray()[0] = twice.getArray()[1] = before_[0];
        areas_->setPrintAreas(twice);
        set_ = true;
    }
    ~BreaksUncounted()
    {
        try {
            if (set_)
                areas_->setPrintAreas(before_);
        } catch (...) {
        }
    }
    BreaksUncounted(const BreaksUncounted&) = delete;
    BreaksUncounted& operator=(const BreaksUncounted&) = delete;

private:
    Reference<sheet::XPrintAreas> areas_;
    Sequence<table::CellRangeAddress> before_;
    bool set_ = false;
};

bool drawn(const table::BorderLine& line) { return line.InnerLineWidth + line.OuterLineWidth + line.LineDistance > 0; }

// The height the office gives the rows of each of the sheet's pages, in
// twips, as it works it out from the page style: the page less its top and
// bottom margins, at the style's scale. Nothing for a style whose pages
// hold anything else above or below the rows (a header or footer, the row
// and column headings, a border or shadow, repeated rows) or that fits the
// sheet to a number of pages (the office then drops the breaks).
std::optional<long> printableHeight(const Reference<frame::XModel>& model, const Reference<sheet::XSpreadsheet>& sheet)
{
    if (Reference<sheet::XPrintAreas>(sheet, UNO_QUERY_THROW)->getPrintTitleRows())
        return std::nullopt;
    rtl::OUString styleName;
    Reference<beans::XPropertySet>(sheet, UNO_QUERY_THROW)->getPropertyValue("PageStyle") >>= styleName;
    const Reference<container::XNameAccess> styles(
        Reference<style::XStyleFamiliesSupplier>(model, UNO_QUERY_THROW)->getStyleFamilies()->getByName("PageStyles"),
        UNO_QUERY_THROW);
    const Reference<beans::XMultiPropertySet> style(styles->getByName(styleName), UNO_QUERY_THROW);
    static const rtl::OUString names[] = {"BottomBorder", "BottomBorderDistance", "BottomMargin", "FooterIsOn",
                                          "HeaderIsOn",   "Height",               "PageScale",    "PrintHeaders",
                                          "ScaleToPages", "ScaleToPagesX",        "ScaleToPagesY", "ShadowFormat",
                                          "TopBorder",    "TopBorderDistance",    "TopMargin"};
    const Sequence<Any> v = style->getPropertyValues(Sequence<rtl::OUString>(names, std::size(names)));
    table::BorderLine bottomBorder, topBorder;
    sal_Int32 bottomDistance = 0, bottomMargin = 0, height = 0, topDistance = 0, topMargin = 0;
    bool footer = false, header = false, headings = false;
    sal_Int16 scale = 100, toPages = 0, toPagesX = 0, toPagesY = 0;
    table::ShadowFormat shadow;
    if (!(v[0] >>= bottomBorder) || !(v[1] >>= bottomDistance) || !(v[2] >>= bottomMargin) || !(v[3] >>= footer) ||
        !(v[4] >>= header) || !(v[5] >>= height) || !(v[6] >>= scale) || !(v[7] >>= headings) ||
        !(v[8] >>= toPages) || !(v[9] >>= toPagesX) || !(v[10] >>= toPagesY) || !(v[11] >>= shadow) ||
        !(v[12] >>= topBorder) || !(v[13] >>= topDistance) || !(v[14] >>= topMargin))
        return std::nullopt;
    if (footer || header || headings || toPages > 0 || toPagesX > 0 || toPagesY > 0 || drawn(topBorder) ||
        drawn(bottomBorder) || topDistance > 0 || bottomDistance > 0 || shadow.Location != table::ShadowLocation_NONE)
        return std::nullopt;
    // The office's page rectangle from its top margin to its bottom one,
    // both ends scaled, its last twip counted.
    const long zoom = scale > 0 ? std::max<long>(scale, 10) : 100;
    const long top = twips(topMargin) * 100 / zoom;
    const long bottom = (twips(height) - 1 - twips(bottomMargin)) * 100 / zoom;
    return bottom - top + 1;
}

// The ranges of column A by their names on the sheet ('Sheet'.A12:A40), in
// one call; none when the office cannot read the names, and each is then
// taken by its position.
Sequence<Reference<table::XCellRange>> cellsOf(const Reference<frame::XModel>& model,
                                               const Reference<sheet::XSpreadsheet>& sheet,
                                               const QList<std::pair<int, int>>& ranges)
{
    QString sheetName = unocalls::qs(Reference<container::XNamed>(sheet, UNO_QUERY_THROW)->getName());
    sheetName = QLatin1Char('\'') + sheetName.replace(QLatin1Char('\''), QStringLiteral("''")) + QStringLiteral("'.A");
    QStringList names;
    names.reserve(ranges.size());
    for (const auto& [first, last] : ranges)
        names << sheetName + QString::number(first + 1) + QStringLiteral(":A") + QString::number(last + 1);
    try {
        const Sequence<Reference<table::XCellRange>> cells =
            Reference<sheet::XCellRangesAccess>(Reference<sheet::XSpreadsheetDocument>(model, UNO_QUERY_THROW)->getSheets(),
                                                UNO_QUERY_THROW)
                ->getCellRangesByName(unocalls::ou(names.join(QLatin1Char(';'))));
        if (cells.getLength() == static_cast<sal_Int32>(ranges.size()))
            return cells;
    } catch (const lang::IllegalArgumentException&) {
    }
    return {};
}

class OfficePages : public Pagination {
public:
    OfficePages(const Reference<frame::XModel>& model, const Reference<sheet::XSpreadsheet>& sheet,
                const std::map<int, long>& known)
        : model_(model), sheet_(sheet), breaks_(sheet, UNO_QUERY_THROW), known_(known)
    {
    }

    std::set<int> starts(std::set<int>& manual) override
    {
        std::set<int> all{0};
        const Sequence<sheet::TablePageBreakData> breaks = breaks_->getRowPageBreaks();
        for (const sheet::TablePageBreakData& b : breaks) {
            all.insert(b.Position);
            if (b.ManualBreak)
                manual.insert(b.Position);
        }
        return all;
    }

    // What was measured beforehand, the rest from the office.
    void measure(const QList<std::pair<int, int>>& ranges, std::map<int, long>& tops) override
    {
        QList<std::pair<int, int>> asked;
        for (const auto& [first, last] : ranges) {
            const auto top = known_.find(first);
            const auto below = known_.find(last + 1);
            if (top != known_.end() && below != known_.end()) {
                tops[first] = top->second;
                tops[last + 1] = below->second;
            } else {
                asked << std::pair{first, last};
            }
        }
        if (!asked.isEmpty())
            MeasureRows(model_, sheet_, asked, tops);
    }

    long height(int row) override
    {
        sal_Int32 h = 0;
        Reference<beans::XPropertySet>(rowList()->getByIndex(row), UNO_QUERY_THROW)->getPropertyValue("Height") >>= h;
        return twips(h);
    }

    void startPagesAt(const QList<int>& rows, bool start) override
    {
        const Reference<container::XIndexAccess> list = rowList();
        std::optional<BreaksUncounted> uncounted;
        if (rows.size() > 1)
            uncounted.emplace(sheet_);
        unocalls::inParallel(rows.size(), [&](size_t i) {
            Reference<beans::XPropertySet>(list->getByIndex(rows[static_cast<int>(i)]), UNO_QUERY_THROW)
                ->setPropertyValue("IsStartOfNewPage", Any(start));
        });
    }

private:
    const Reference<container::XIndexAccess>& rowList()
    {
        if (!rows_.is())
            rows_.set(Reference<table::XColumnRowRange>(sheet_, UNO_QUERY_THROW)->getRows(), UNO_QUERY_THROW);
        return rows_;
    }

    Reference<frame::XModel> model_;
    Reference<sheet::XSpreadsheet> sheet_;
    Reference<sheet::XSheetPageBreak> breaks_;
    Reference<container::XIndexAccess> rows_;
    const std::map<int, long>& known_;
};
} // namespace

void MeasureRows(const Reference<frame::XModel>& model, const Reference<sheet::XSpreadsheet>& sheet,
                 const QList<std::pair<int, int>>& ranges, std::map<int, long>& tops)
{
    const Sequence<Reference<table::XCellRange>> cells = cellsOf(model, sheet, ranges);
    std::vector<std::pair<long, long>> found(ranges.size());
    unocalls::inParallel(ranges.size(), [&](size_t i) {
        const auto [first, last] = ranges[static_cast<int>(i)];
        const Reference<table::XCellRange> cell =
            cells.getLength() > 0 ? cells[static_cast<sal_Int32>(i)] : sheet->getCellRangeByPosition(0, first, 0, last);
        static const rtl::OUString names[] = {"Position", "Size"};
        const Sequence<Any> v = Reference<beans::XMultiPropertySet>(cell, UNO_QUERY_THROW)
                                    ->getPropertyValues(Sequence<rtl::OUString>(names, 2));
        awt::Point at;
        awt::Size size;
        v[0] >>= at;
        v[1] >>= size;
        // The size counts the range's bottom edge in.
        found[i] = {twips(at.Y), twips(at.Y + size.Height - 1)};
    });
    for (int i = 0; i < ranges.size(); ++i) {
        tops[ranges[i].first] = found[i].first;
        tops[ranges[i].second + 1] = found[i].second;
    }
}

void KeepTogether(const Reference<frame::XModel>& model, const Reference<sheet::XSpreadsheet>& sheet,
                  const QList<std::pair<int, int>>& blocks, const QList<int>& kinds, const std::map<int, long>& known)
{
    if (blocks.isEmpty())
        return;
    int lastRow = 0;
    for (const auto& b : blocks)
        lastRow = std::max(lastRow, b.second);
    const PrintedRows counted(sheet, lastRow);
    OfficePages pages(model, sheet, known);
    unopages::KeepTogether(pages, blocks, printableHeight(model, sheet), kinds);
}

} // namespace automation::unopages
