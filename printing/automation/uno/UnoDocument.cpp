#include "UnoDocument.h"

#include "CallLane.h"
#include "RowHeights.h"
#include "UnoCalls.h"

#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertyState.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/XActionLockable.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/FillDirection.hpp>
#include <com/sun/star/sheet/XCellFormatRangesSupplier.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangeFormula.hpp>
#include <com/sun/star/sheet/XCellRangeMovement.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XCellSeries.hpp>
#include <com/sun/star/sheet/XSheetCellRangeContainer.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/BorderLine.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellVertJustify2.hpp>
#include <com/sun/star/table/TableBorder.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

using namespace com::sun::star;
using com::sun::star::uno::Any;
using com::sun::star::uno::Reference;
using com::sun::star::uno::Sequence;
using com::sun::star::uno::UNO_QUERY;
using com::sun::star::uno::UNO_QUERY_THROW;

namespace automation::unodoc {

using unocalls::ou;
using unocalls::prop;
using unocalls::qs;
using unocalls::unoCell;
using unocalls::unoRange;

namespace {

table::BorderLine unoLine(const BorderLine& l)
{
    table::BorderLine b;
    b.Color = l.color;
    b.InnerLineWidth = static_cast<sal_Int16>(l.innerWidth);
    b.OuterLineWidth = static_cast<sal_Int16>(l.outerWidth);
    b.LineDistance = 0;
    return b;
}

class UnoDocument : public Document {
public:
    UnoDocument(Reference<lang::XComponent> component, Reference<uno::XComponentContext> office, bool headless,
                bool windowsAvailable)
        : component_(std::move(component)), office_(std::move(office)), headless_(headless),
          windowsAvailable_(windowsAvailable)
    {
        doc_.set(component_, UNO_QUERY_THROW);
        sheets_.set(doc_->getSheets(), UNO_QUERY_THROW);
    }

    ~UnoDocument() override = default;

    // Every call of this thread reaches the office through model(),
    // sheetList() or sheet(), which first wait for the calls going on in the
    // background (CallLane): it finds them done. Only the background calls
    // themselves take what they need without waiting.
    const Reference<sheet::XSpreadsheetDocument>& model()
    {
        lane_.settle();
        return doc_;
    }
    const Reference<container::XIndexAccess>& sheetList()
    {
        lane_.settle();
        return sheets_;
    }
    Reference<sheet::XSpreadsheet> sheet(int index)
    {
        lane_.settle();
        return sheetNow(index);
    }

    // Sheets are looked up once; inserting or removing a sheet forgets them.
    Reference<sheet::XSpreadsheet> sheetNow(int index)
    {
        if (index >= 0 && index < static_cast<int>(sheetCache_.size()) && sheetCache_[index].is())
            return sheetCache_[index];
        Reference<sheet::XSpreadsheet> s(sheets_->getByIndex(index), UNO_QUERY_THROW);
        if (index >= static_cast<int>(sheetCache_.size()))
            sheetCache_.resize(index + 1);
        sheetCache_[index] = s;
        return s;
    }

    // Moves and copies go through the first sheet (any sheet of the
    // document can be named in the addresses); asked for once.
    Reference<sheet::XCellRangeMovement> movement()
    {
        if (!movement_.is())
            movement_.set(sheetNow(0), UNO_QUERY_THROW);
        return movement_;
    }

    Reference<table::XCellRange> range(const RangeAddress& r)
    {
        return sheet(r.sheet)->getCellRangeByPosition(r.startColumn, r.startRow, r.endColumn, r.endRow);
    }

    Reference<beans::XPropertySet> props(const RangeAddress& r)
    {
        return Reference<beans::XPropertySet>(range(r), UNO_QUERY_THROW);
    }

    int sheetCount() override
    {
        try {
            return sheetList()->getCount();
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void insertSheet(int index, const QString& name) override
    {
        try {
            sheetCache_.clear();
            columnsCache_.clear();
            movement_.clear();
            model()->getSheets()->insertNewByName(ou(name), static_cast<sal_Int16>(index));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    QString sheetName(int index) override
    {
        try {
            Reference<container::XNamed> named(sheetList()->getByIndex(index), UNO_QUERY_THROW);
            return qs(named->getName());
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void setString(const CellAddress& c, const QString& text) override
    {
        try {
            Reference<text::XText> t(sheet(c.sheet)->getCellByPosition(c.column, c.row), UNO_QUERY_THROW);
            t->setString(ou(text));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void setFormula(const CellAddress& c, const QString& formula) override
    {
        try {
            sheet(c.sheet)->getCellByPosition(c.column, c.row)->setFormula(ou(formula));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void setValue(const CellAddress& c, double value) override
    {
        try {
            sheet(c.sheet)->getCellByPosition(c.column, c.row)->setValue(value);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    // Goes on in the background (CallLane), as the copies of blocks do: a
    // print makes its next rows meanwhile.
    void setBlockValues(const CellAddress& c, const QList<QVariantList>& rows) override
    {
        if (rows.isEmpty() || rows.front().isEmpty())
            return;
        const int width = static_cast<int>(rows.front().size());
        Sequence<Sequence<Any>> data(static_cast<sal_Int32>(rows.size()));
        Sequence<Any>* outRows = data.getArray();
        for (int r = 0; r < rows.size(); ++r) {
            Sequence<Any> row(width);
            Any* out = row.getArray();
            for (int i = 0; i < width; ++i) {
                const QVariant& v = rows[r].value(i);
                // An empty text, or no value, leaves the cell empty.
                if (!v.isValid() || v.typeId() == QMetaType::QString)
                    out[i] <<= ou(v.toString());
                else
                    out[i] <<= v.toDouble();
            }
            outRows[r] = row;
        }
        Reference<sheet::XSpreadsheet> s;
        try {
            s = sheetNow(c.sheet);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
        const RangeAddress cells{c.sheet, c.column, c.row, c.column + width - 1, c.row + static_cast<int>(rows.size()) - 1};
        lane_.add(cells, cells, [s, cells, data = std::move(data)] {
            try {
                Reference<sheet::XCellRangeData>(
                    s->getCellRangeByPosition(cells.startColumn, cells.startRow, cells.endColumn, cells.endRow),
                    UNO_QUERY_THROW)
                    ->setDataArray(data);
            } catch (const uno::Exception& e) {
                unocalls::rethrowIn("setBlockValues", e);
            }
        });
    }

    std::optional<QList<RangeAddress>> filledCells(const RangeAddress& r) override
    {
        try {
            Reference<sheet::XCellRangesQuery> query(range(r), UNO_QUERY_THROW);
            // What a range write would wipe: values, texts, formulas and notes.
            const sal_Int16 held = sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME | sheet::CellFlags::STRING |
                                   sheet::CellFlags::ANNOTATION | sheet::CellFlags::FORMULA;
            Reference<sheet::XSheetCellRanges> found = query->queryContentCells(held);
            QList<RangeAddress> out;
            if (!found.is())
                return out;
            const Sequence<table::CellRangeAddress> addresses = found->getRangeAddresses();
            for (const table::CellRangeAddress& a : addresses)
                out.append({a.Sheet, a.StartColumn, a.StartRow, a.EndColumn, a.EndRow});
            return out;
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    std::optional<Contents> contents(const RangeAddress& r) override
    {
        try {
            const Reference<table::XCellRange> cells = range(r);
            Contents out;
            const Sequence<Sequence<Any>> data = Reference<sheet::XCellRangeData>(cells, UNO_QUERY_THROW)->getDataArray();
            for (const Sequence<Any>& row : data) {
                QVariantList values;
                values.reserve(row.getLength());
                for (const Any& a : row) {
                    double number = 0;
                    rtl::OUString text;
                    if (a >>= number)
                        values.append(number);
                    else if ((a >>= text) && !text.isEmpty())
                        values.append(qs(text));
                    else
                        values.append(QVariant());
                }
                out.rows.append(values);
            }
            // A formula would come back as its result, a note not at all, and
            // a text of several paragraphs or with formatted parts as plain text.
            Reference<sheet::XSheetCellRanges> found =
                Reference<sheet::XCellRangesQuery>(cells, UNO_QUERY_THROW)
                    ->queryContentCells(sheet::CellFlags::FORMULA | sheet::CellFlags::ANNOTATION |
                                        sheet::CellFlags::FORMATTED);
            if (found.is())
                for (const table::CellRangeAddress& a : found->getRangeAddresses())
                    out.notPlain.append({a.Sheet, a.StartColumn, a.StartRow, a.EndColumn, a.EndRow});
            return out;
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void moveRange(const CellAddress& to, const RangeAddress& from) override
    {
        lane_.settle();
        try {
            movement()->moveRange(unoCell(to), unoRange(from));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    // Goes on in the background (CallLane): a print copying a block per card
    // goes on meanwhile.
    void copyRange(const CellAddress& to, const RangeAddress& from) override
    {
        const RangeAddress target{to.sheet, to.column, to.row, to.column + from.endColumn - from.startColumn,
                                  to.row + from.endRow - from.startRow};
        Reference<sheet::XCellRangeMovement> mover;
        try {
            mover = movement();
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
        lane_.add(from, target, [mover, to = unoCell(to), from = unoRange(from)] {
            try {
                mover->copyRange(to, from);
            } catch (const uno::Exception& e) {
                unocalls::rethrowIn("copyRange", e);
            }
        });
    }

    void removeRows(int sheetIndex, int index, int count) override
    {
        try {
            Reference<table::XColumnRowRange> cr(sheet(sheetIndex), UNO_QUERY_THROW);
            cr->getRows()->removeByIndex(index, count);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void merge(const RangeAddress& r) override
    {
        try {
            Reference<util::XMergeable> m(range(r), UNO_QUERY_THROW);
            m->merge(true);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    // The columns of a sheet, looked up once (as the sheets are).
    Reference<container::XIndexAccess> columns(int index)
    {
        if (index >= 0 && index < static_cast<int>(columnsCache_.size()) && columnsCache_[index].is())
            return columnsCache_[index];
        Reference<container::XIndexAccess> c(
            Reference<table::XColumnRowRange>(sheetNow(index), UNO_QUERY_THROW)->getColumns(), UNO_QUERY_THROW);
        if (index >= static_cast<int>(columnsCache_.size()))
            columnsCache_.resize(index + 1);
        columnsCache_[index] = c;
        return c;
    }

    // Goes on in the background (CallLane), as the widths of a workbook's
    // columns one after another do.
    void setColumnWidth(int sheetIndex, int column, int width) override
    {
        Reference<container::XIndexAccess> all;
        try {
            all = columns(sheetIndex);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
        // No other call of the lane depends on a column's width.
        const RangeAddress cells{sheetIndex, column, -1, column, -1};
        lane_.add(cells, cells, [all, column, width] {
            try {
                Reference<beans::XPropertySet>(all->getByIndex(column), UNO_QUERY_THROW)
                    ->setPropertyValue("Width", Any(static_cast<sal_Int32>(width)));
            } catch (const uno::Exception& e) {
                unocalls::rethrowIn("setColumnWidth", e);
            }
        });
    }

    // One call in the background for all of them: columns of the same width
    // side by side take it together, each change costing the office what a
    // change of one column does.
    void setColumnWidths(int sheetIndex, int firstColumn, const QList<int>& widths) override
    {
        if (widths.isEmpty())
            return;
        Reference<sheet::XSpreadsheet> s;
        try {
            s = sheetNow(sheetIndex);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
        const int lastColumn = firstColumn + static_cast<int>(widths.size()) - 1;
        const RangeAddress cells{sheetIndex, firstColumn, -1, lastColumn, -1};
        lane_.add(cells, cells, [s, firstColumn, widths] {
            try {
                for (int i = 0; i < widths.size();) {
                    int j = i;
                    while (j + 1 < widths.size() && widths[j + 1] == widths[i])
                        ++j;
                    Reference<table::XColumnRowRange> columns(
                        s->getCellRangeByPosition(firstColumn + i, 0, firstColumn + j, 0), UNO_QUERY_THROW);
                    Reference<beans::XPropertySet>(columns->getColumns(), UNO_QUERY_THROW)
                        ->setPropertyValue("Width", Any(static_cast<sal_Int32>(widths[i])));
                    i = j + 1;
                }
            } catch (const uno::Exception& e) {
                unocalls::rethrowIn("setColumnWidths", e);
            }
        });
    }

    void fitRowHeights(int sheetIndex, int firstRow, int lastRow) override
    {
        if (lastRow < firstRow)
            return;
        try {
            Reference<table::XColumnRowRange> cr(range({sheetIndex, 0, firstRow, 0, lastRow}), UNO_QUERY_THROW);
            Reference<beans::XPropertySet>(cr->getRows(), UNO_QUERY_THROW)
                ->setPropertyValue("OptimalHeight", Any(true));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void fitRowsAtUnlock(int sheetIndex, int firstRow, int lastRow) override
    {
        pending_.fit(sheetIndex, firstRow, lastRow);
        try {
            if (locks_ == 0)
                adjustRows();
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void keepRowsTogether(int sheetIndex, const QList<std::pair<int, int>>& blocks, const QList<int>& kinds) override
    {
        pending_.keep(sheetIndex, blocks, kinds);
        try {
            if (locks_ == 0)
                adjustRows();
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void setWrapped(const RangeAddress& r, bool wrapped) override
    {
        try {
            props(r)->setPropertyValue("IsTextWrapped", Any(wrapped));
            if (wrapped && locks_ > 0)
                pending_.wrapped({r});
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void setHoriJustify(const RangeAddress& r, int justify) override
    {
        // Codes the office does not know leave the template's alignment.
        if (justify < 0 || justify > 5)
            return;
        try {
            props(r)->setPropertyValue("HoriJustify", Any(static_cast<table::CellHoriJustify>(justify)));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    // The font's five properties in one call (names in alphabetical order).
    static void applyFont(const Reference<uno::XInterface>& target, const Font& f)
    {
        static const rtl::OUString names[] = {"CharFontName", "CharHeight", "CharPosture", "CharUnderline",
                                              "CharWeight"};
        const Any values[] = {Any(ou(f.name)), Any(static_cast<float>(f.height)),
                              Any(static_cast<awt::FontSlant>(f.posture)), Any(static_cast<sal_Int16>(f.underline)),
                              Any(f.weight)};
        Reference<beans::XMultiPropertySet>(target, UNO_QUERY_THROW)
            ->setPropertyValues(Sequence<rtl::OUString>(names, 5), Sequence<Any>(values, 5));
    }

    void setFont(const RangeAddress& r, const Font& f) override
    {
        try {
            applyFont(range(r), f);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    // Several ranges as one object, so that one call sets a property on all.
    Reference<beans::XPropertySet> rangesOf(const QList<RangeAddress>& ranges)
    {
        Reference<lang::XMultiServiceFactory> factory(model(), UNO_QUERY_THROW);
        Reference<sheet::XSheetCellRangeContainer> container(
            factory->createInstance("com.sun.star.sheet.SheetCellRanges"), UNO_QUERY_THROW);
        Sequence<table::CellRangeAddress> addresses(static_cast<sal_Int32>(ranges.size()));
        for (int i = 0; i < ranges.size(); ++i)
            addresses.getArray()[i] = unoRange(ranges[i]);
        container->addRangeAddresses(addresses, false);
        return Reference<beans::XPropertySet>(container, UNO_QUERY_THROW);
    }

    void setWrappedOn(const QList<RangeAddress>& ranges, bool wrapped) override
    {
        if (ranges.isEmpty())
            return;
        try {
            rangesOf(ranges)->setPropertyValue("IsTextWrapped", Any(wrapped));
            if (wrapped && locks_ > 0)
                pending_.wrapped(ranges);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void setHoriJustifyOn(const QList<RangeAddress>& ranges, int justify) override
    {
        if (ranges.isEmpty() || justify < 0 || justify > 5)
            return;
        try {
            rangesOf(ranges)->setPropertyValue("HoriJustify", Any(static_cast<table::CellHoriJustify>(justify)));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void setFontOn(const QList<RangeAddress>& ranges, const Font& f) override
    {
        if (ranges.isEmpty())
            return;
        try {
            applyFont(rangesOf(ranges), f);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void setTableBorder(const RangeAddress& r, const TableBorder& b) override
    {
        try {
            props(r)->setPropertyValue("TableBorder", Any(unoBorder(b)));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    static table::TableBorder unoBorder(const TableBorder& b)
    {
        table::TableBorder t;
        t.TopLine = unoLine(b.top);
        t.BottomLine = unoLine(b.bottom);
        t.LeftLine = unoLine(b.left);
        t.RightLine = unoLine(b.right);
        t.HorizontalLine = unoLine(b.horizontal);
        t.VerticalLine = unoLine(b.vertical);
        t.IsTopLineValid = b.isTopValid;
        t.IsBottomLineValid = b.isBottomValid;
        t.IsLeftLineValid = b.isLeftValid;
        t.IsRightLineValid = b.isRightValid;
        t.IsHorizontalLineValid = b.isHorizontalValid;
        t.IsVerticalLineValid = b.isVerticalValid;
        t.Distance = 0;
        t.IsDistanceValid = false;
        return t;
    }

    // Several ranges in one call: a cell range collection takes the lines
    // range by range, as separate calls would. A line under each row alone
    // goes as the cells' bottom line, which costs the office a fraction of
    // that, where the cells have their other lines and their style in common
    // (the office gives every cell the lines the cells share).
    void setTableBorders(const QList<RangeAddress>& ranges, const TableBorder& b) override
    {
        if (ranges.isEmpty())
            return;
        try {
            const Reference<beans::XPropertySet> all = rangesOf(ranges);
            const bool underOnly = b.isBottomValid && !b.isTopValid && !b.isLeftValid && !b.isRightValid &&
                                   !b.isHorizontalValid && !b.isVerticalValid;
            if (underOnly) {
                static const rtl::OUString names[] = {"BottomBorder", "CellStyle"};
                const Sequence<beans::PropertyState> states =
                    Reference<beans::XPropertyState>(all, UNO_QUERY_THROW)->getPropertyStates(Sequence<rtl::OUString>(names, 2));
                if (states[0] != beans::PropertyState_AMBIGUOUS_VALUE &&
                    states[1] != beans::PropertyState_AMBIGUOUS_VALUE) {
                    all->setPropertyValue("BottomBorder", Any(unoLine(b.bottom)));
                    return;
                }
            }
            all->setPropertyValue("TableBorder", Any(unoBorder(b)));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void lockControllers() override
    {
        try {
            Reference<frame::XModel>(model(), UNO_QUERY_THROW)->lockControllers();
            ++locks_;
            // Row heights stay as the template has them while the document
            // is filled, whichever way the cells are written.
            const Reference<beans::XPropertySet> props(model(), UNO_QUERY_THROW);
            props->setPropertyValue("IsAdjustHeightEnabled", Any(false));
            // Filling is no step for the user to undo one write at a time:
            // the office keeps no undo copies of what the writes replace
            // until the document is handed over.
            bool undo = false;
            if (locks_ == 1 && (props->getPropertyValue("IsUndoEnabled") >>= undo) && undo) {
                props->setPropertyValue("IsUndoEnabled", Any(false));
                undoHeld_ = true;
            }
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    // The last unlock fits the rows and keeps the blocks on their pages
    // while the office still holds back its repaints: each of those calls
    // then costs it no repaint of the rows below.
    void unlockControllers() override
    {
        try {
            const Reference<frame::XModel> m(model(), UNO_QUERY_THROW);
            Reference<beans::XPropertySet>(m, UNO_QUERY_THROW)->setPropertyValue("IsAdjustHeightEnabled", Any(true));
            std::exception_ptr failed;
            if (locks_ == 1) {
                try {
                    adjustRows();
                } catch (...) {
                    failed = std::current_exception();
                }
            }
            m->unlockControllers();
            if (locks_ > 0)
                --locks_;
            if (locks_ > 0)
                return;
            if (undoHeld_) {
                undoHeld_ = false;
                Reference<beans::XPropertySet>(m, UNO_QUERY_THROW)->setPropertyValue("IsUndoEnabled", Any(true));
            }
            if (failed)
                std::rethrow_exception(failed);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void addActionLock() override
    {
        try {
            Reference<document::XActionLockable>(model(), UNO_QUERY_THROW)->addActionLock();
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void removeActionLock() override
    {
        try {
            Reference<document::XActionLockable>(model(), UNO_QUERY_THROW)->removeActionLock();
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void show() override
    {
        lane_.settle();
        // A headless office has no screen; showing a window there breaks it.
        if (headless_)
            return;
        if (!windowsAvailable_)
            throw OfficeError(QStringLiteral("Документ готов, но показать его нельзя: LibreOffice на этом компьютере "
                                             "установлен без оконного интерфейса (нужен пакет libreoffice-calc).")
                                  .toStdString());
        try {
            Reference<frame::XController> controller =
                Reference<frame::XModel>(model(), UNO_QUERY_THROW)->getCurrentController();
            if (controller.is() && controller->getFrame().is())
                controller->getFrame()->getContainerWindow()->setVisible(true);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void close() override
    {
        lane_.settleQuietly();
        try {
            Reference<util::XCloseable> c(doc_, UNO_QUERY);
            if (c.is())
                c->close(true);
            else
                component_->dispose();
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void setSheetName(int index, const QString& name) override
    {
        try {
            Reference<container::XNamed>(sheetList()->getByIndex(index), UNO_QUERY_THROW)->setName(ou(name));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void removeSheet(int index) override
    {
        try {
            const rtl::OUString name = Reference<container::XNamed>(sheetList()->getByIndex(index), UNO_QUERY_THROW)->getName();
            sheetCache_.clear();
            columnsCache_.clear();
            movement_.clear();
            model()->getSheets()->removeByName(name);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void setBlockFormulas(const CellAddress& c, const QList<QStringList>& rows) override
    {
        if (rows.isEmpty() || rows.front().isEmpty())
            return;
        try {
            const int width = static_cast<int>(rows.front().size());
            Sequence<Sequence<rtl::OUString>> data(static_cast<sal_Int32>(rows.size()));
            for (int r = 0; r < rows.size(); ++r) {
                Sequence<rtl::OUString> row(width);
                for (int i = 0; i < width; ++i)
                    row.getArray()[i] = ou(rows[r].value(i));
                data.getArray()[r] = row;
            }
            const Reference<table::XCellRange> target =
                range({c.sheet, c.column, c.row, c.column + width - 1, c.row + static_cast<int>(rows.size()) - 1});
            if (width == 1 && rows.size() >= kFillDownAtLeast && filledDown(target, data))
                return;
            Reference<sheet::XCellRangeFormula>(target, UNO_QUERY_THROW)->setFormulaArray(data);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    // A column of one formula for each row (=D4*E4, =D5*E5, ...): the office
    // fills it down from the first cell in a fraction of the time it takes to
    // read each formula's text. Only over cells of one format and without
    // notes, which the fill would otherwise change; what it filled is read
    // back, and anything but the formulas asked for is written over as asked.
    static constexpr int kFillDownAtLeast = 50;
    bool filledDown(const Reference<table::XCellRange>& target, const Sequence<Sequence<rtl::OUString>>& formulas)
    {
        Reference<container::XIndexAccess> formats(
            Reference<sheet::XCellFormatRangesSupplier>(target, UNO_QUERY_THROW)->getCellFormatRanges(),
            UNO_QUERY_THROW);
        if (formats->getCount() != 1)
            return false;
        Reference<sheet::XSheetCellRanges> notes =
            Reference<sheet::XCellRangesQuery>(target, UNO_QUERY_THROW)->queryContentCells(sheet::CellFlags::ANNOTATION);
        if (notes.is() && notes->getRangeAddresses().hasElements())
            return false;
        target->getCellByPosition(0, 0)->setFormula(formulas[0][0]);
        Reference<sheet::XCellSeries>(target, UNO_QUERY_THROW)->fillAuto(sheet::FillDirection_TO_BOTTOM, 1);
        return Reference<sheet::XCellRangeFormula>(target, UNO_QUERY_THROW)->getFormulaArray() == formulas;
    }

    void setCharColor(const QList<RangeAddress>& ranges, int color) override
    {
        if (ranges.isEmpty())
            return;
        try {
            rangesOf(ranges)->setPropertyValue("CharColor", Any(static_cast<sal_Int32>(color)));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void setVertJustify(const RangeAddress& r, int justify) override
    {
        try {
            props(r)->setPropertyValue("VertJustify", Any(static_cast<sal_Int32>(justify)));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    static lang::Locale russian()
    {
        lang::Locale l;
        l.Language = "ru";
        l.Country = "RU";
        return l;
    }

    // The document's key of a format code, added when the document has none.
    sal_Int32 formatKey(const QString& code)
    {
        Reference<util::XNumberFormats> formats =
            Reference<util::XNumberFormatsSupplier>(model(), UNO_QUERY_THROW)->getNumberFormats();
        const sal_Int32 key = formats->queryKey(ou(code), russian(), false);
        return key >= 0 ? key : formats->addNew(ou(code), russian());
    }

    void setNumberFormat(const RangeAddress& r, const QString& code) override
    {
        try {
            props(r)->setPropertyValue("NumberFormat", Any(formatKey(code)));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    // The format alone: a template's column formats are read before it is filled.
    QString numberFormat(const CellAddress& c) override
    {
        try {
            sal_Int32 key = 0;
            if (!(Reference<beans::XPropertySet>(sheet(c.sheet)->getCellByPosition(c.column, c.row), UNO_QUERY_THROW)
                      ->getPropertyValue("NumberFormat") >>= key) ||
                key == 0)
                return {};
            rtl::OUString code;
            Reference<util::XNumberFormatsSupplier>(model(), UNO_QUERY_THROW)
                ->getNumberFormats()
                ->getByKey(key)
                ->getPropertyValue("FormatString") >>= code;
            return qs(code);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    // One key and one call for all the ranges: a column's format placed on
    // every card of a long print costs what one range does.
    void setNumberFormatOn(const QList<RangeAddress>& ranges, const QString& code) override
    {
        if (ranges.isEmpty())
            return;
        try {
            rangesOf(ranges)->setPropertyValue("NumberFormat", Any(formatKey(code)));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    // Every page style prints without the office's own header and footer
    // (the sheet's name, "Page 1" in its interface language).
    void plainPages()
    {
        try {
            Reference<container::XNameAccess> families =
                Reference<style::XStyleFamiliesSupplier>(model(), UNO_QUERY_THROW)->getStyleFamilies();
            Reference<container::XNameAccess> pages(families->getByName("PageStyles"), UNO_QUERY_THROW);
            const Sequence<rtl::OUString> names = pages->getElementNames();
            for (sal_Int32 i = 0; i < names.getLength(); ++i) {
                Reference<beans::XPropertySet> style(pages->getByName(names[i]), UNO_QUERY_THROW);
                style->setPropertyValue("HeaderIsOn", Any(false));
                style->setPropertyValue("FooterIsOn", Any(false));
            }
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    Reference<beans::XPropertySet> pageStyle(int index, bool own)
    {
        Reference<beans::XPropertySet> sheetProps(sheet(index), UNO_QUERY_THROW);
        Reference<container::XNameAccess> families =
            Reference<style::XStyleFamiliesSupplier>(model(), UNO_QUERY_THROW)->getStyleFamilies();
        Reference<container::XNameContainer> pages(families->getByName("PageStyles"), UNO_QUERY_THROW);
        rtl::OUString name;
        sheetProps->getPropertyValue("PageStyle") >>= name;
        if (own) {
            // The sheets share the default page style; each gets one of its own.
            const rtl::OUString mine = ou(QStringLiteral("Лист %1").arg(index + 1));
            if (!pages->hasByName(mine)) {
                Reference<lang::XMultiServiceFactory> factory(model(), UNO_QUERY_THROW);
                pages->insertByName(mine, Any(factory->createInstance("com.sun.star.style.PageStyle")));
            }
            if (name != mine) {
                sheetProps->setPropertyValue("PageStyle", Any(mine));
                name = mine;
            }
        }
        return Reference<beans::XPropertySet>(pages->getByName(name), UNO_QUERY_THROW);
    }

    // A page style's properties in one call: the office counts the sheet's
    // pages again after each change of its page style.
    static void setStyle(const Reference<beans::XPropertySet>& style, std::vector<std::pair<const char*, Any>> values)
    {
        if (values.empty())
            return;
        std::sort(values.begin(), values.end(),
                  [](const auto& a, const auto& b) { return std::strcmp(a.first, b.first) < 0; });
        Sequence<rtl::OUString> names(static_cast<sal_Int32>(values.size()));
        Sequence<Any> anys(static_cast<sal_Int32>(values.size()));
        for (size_t i = 0; i < values.size(); ++i) {
            names.getArray()[i] = rtl::OUString::createFromAscii(values[i].first);
            anys.getArray()[i] = values[i].second;
        }
        Reference<beans::XMultiPropertySet>(style, UNO_QUERY_THROW)->setPropertyValues(names, anys);
    }

    void setPageMargins(int index, const PageMargins& m) override
    {
        try {
            std::vector<std::pair<const char*, Any>> values;
            if (m.left >= 0)
                values.push_back({"LeftMargin", Any(static_cast<sal_Int32>(m.left))});
            if (m.right >= 0)
                values.push_back({"RightMargin", Any(static_cast<sal_Int32>(m.right))});
            setStyle(pageStyle(index, true), values);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void setLandscape(int index) override
    {
        try {
            Reference<beans::XPropertySet> style = pageStyle(index, true);
            static const rtl::OUString sizes[] = {"Height", "Width"};
            const Sequence<Any> v =
                Reference<beans::XMultiPropertySet>(style, UNO_QUERY_THROW)->getPropertyValues(Sequence<rtl::OUString>(sizes, 2));
            sal_Int32 height = 0;
            sal_Int32 width = 0;
            v[0] >>= height;
            v[1] >>= width;
            std::vector<std::pair<const char*, Any>> values{{"IsLandscape", Any(true)}};
            if (width < height) {
                values.push_back({"Width", Any(height)});
                values.push_back({"Height", Any(width)});
            }
            setStyle(style, values);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    PageMargins pageMargins(int index) override
    {
        try {
            Reference<beans::XPropertySet> style = pageStyle(index, false);
            PageMargins m;
            sal_Int32 v = 0;
            style->getPropertyValue("LeftMargin") >>= v;
            m.left = v;
            style->getPropertyValue("RightMargin") >>= v;
            m.right = v;
            return m;
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void storeToFile(const QString& path, const QString& filter) override
    {
        try {
            Sequence<beans::PropertyValue> args(2);
            args.getArray()[0] = prop("FilterName", Any(ou(filter)));
            args.getArray()[1] = prop("Overwrite", Any(true));
            Reference<frame::XStorable>(model(), UNO_QUERY_THROW)
                ->storeToURL(ou(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)),
                             args);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    CellState cellState(const CellAddress& c) override
    {
        try {
            CellState st;
            Reference<table::XCell> cell = sheet(c.sheet)->getCellByPosition(c.column, c.row);
            switch (cell->getType()) {
            case table::CellContentType_VALUE:
                st.content = cell->getValue();
                st.shown = qs(Reference<text::XText>(cell, UNO_QUERY_THROW)->getString());
                break;
            case table::CellContentType_TEXT:
                st.content = qs(Reference<text::XText>(cell, UNO_QUERY_THROW)->getString());
                break;
            case table::CellContentType_FORMULA: {
                st.content = qs(cell->getFormula());
                st.formula = st.content.toString();
                st.formulaValue = cell->getValue();
                st.shown = qs(Reference<text::XText>(cell, UNO_QUERY_THROW)->getString());
                break;
            }
            default:
                break;
            }
            Reference<beans::XPropertySet> p(cell, UNO_QUERY_THROW);
            Reference<util::XMergeable> m(
                sheet(c.sheet)->getCellRangeByPosition(c.column, c.row, c.column, c.row), UNO_QUERY_THROW);
            st.merged = m->getIsMerged();
            st.wrapped = p->getPropertyValue("IsTextWrapped").get<bool>();
            table::CellHoriJustify j{};
            p->getPropertyValue("HoriJustify") >>= j;
            st.horiJustify = static_cast<int>(j);
            st.fontName = qs(p->getPropertyValue("CharFontName").get<rtl::OUString>());
            st.fontHeight = p->getPropertyValue("CharHeight").get<float>();
            st.fontWeight = p->getPropertyValue("CharWeight").get<float>();
            awt::FontSlant slant{};
            p->getPropertyValue("CharPosture") >>= slant;
            st.fontPosture = static_cast<int>(slant);
            st.fontUnderline = p->getPropertyValue("CharUnderline").get<sal_Int16>();
            table::BorderLine line;
            p->getPropertyValue("TopBorder") >>= line;
            st.topWidth = line.OuterLineWidth;
            p->getPropertyValue("BottomBorder") >>= line;
            st.bottomWidth = line.OuterLineWidth;
            p->getPropertyValue("LeftBorder") >>= line;
            st.leftWidth = line.OuterLineWidth;
            p->getPropertyValue("RightBorder") >>= line;
            st.rightWidth = line.OuterLineWidth;
            sal_Int32 vert = 0;
            p->getPropertyValue("VertJustify") >>= vert;
            st.vertJustify = vert;
            sal_Int32 color = -1;
            p->getPropertyValue("CharColor") >>= color;
            st.charColor = color;
            sal_Int32 key = 0;
            if ((p->getPropertyValue("NumberFormat") >>= key) && key != 0) {
                Reference<util::XNumberFormats> formats =
                    Reference<util::XNumberFormatsSupplier>(model(), UNO_QUERY_THROW)->getNumberFormats();
                Reference<beans::XPropertySet> f = formats->getByKey(key);
                rtl::OUString code;
                f->getPropertyValue("FormatString") >>= code;
                st.numberFormat = qs(code);
            }
            Reference<table::XColumnRowRange> rowOf(sheet(c.sheet)->getCellRangeByPosition(c.column, c.row, c.column, c.row),
                                                    UNO_QUERY_THROW);
            Reference<beans::XPropertySet>(rowOf->getRows()->getByIndex(0), UNO_QUERY_THROW)->getPropertyValue("Height") >>=
                st.rowHeight;
            return st;
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

private:
    // What the lock held back: the rows' heights, then the pages.
    void adjustRows()
    {
        pending_.adjust({office_, Reference<frame::XModel>(model(), UNO_QUERY_THROW),
                         [this](int index) { return sheet(index); }});
    }

    Reference<lang::XComponent> component_;
    Reference<uno::XComponentContext> office_;  // the office's own context
    bool headless_ = false;
    bool windowsAvailable_ = true;
    Reference<sheet::XSpreadsheetDocument> doc_;
    Reference<container::XIndexAccess> sheets_;
    std::vector<Reference<sheet::XSpreadsheet>> sheetCache_;
    std::vector<Reference<container::XIndexAccess>> columnsCache_;
    Reference<sheet::XCellRangeMovement> movement_;
    int locks_ = 0;
    bool undoHeld_ = false;  // the office's undo was turned off at the first lock
    unorows::Pending pending_;
    CallLane lane_;  // last: its copies end before the rest goes
};

} // namespace

std::unique_ptr<Document> Wrap(const Reference<lang::XComponent>& component,
                               const Reference<uno::XComponentContext>& office, bool headless, bool windowsAvailable)
{
    return std::make_unique<UnoDocument>(component, office, headless, windowsAvailable);
}

void PlainPages(Document& document) { static_cast<UnoDocument&>(document).plainPages(); }

} // namespace automation::unodoc
