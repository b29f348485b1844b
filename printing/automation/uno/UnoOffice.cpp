#include "UnoOffice.h"

#include "automation/DetachedProcess.h"
#include "automation/RecordingOffice.h"
#include "RowHeights.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

#include <map>
#include <set>

#include <com/sun/star/awt/FontDescriptor.hpp>
#include <com/sun/star/awt/XDevice.hpp>
#include <com/sun/star/awt/XToolkit.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XCellRangeMovement.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XSheetCellRangeContainer.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/BorderLine.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/TableBorder.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/sheet/XCellRangeFormula.hpp>
#include <com/sun/star/sheet/XCellFormatRangesSupplier.hpp>
#include <com/sun/star/sheet/XCellSeries.hpp>
#include <com/sun/star/sheet/FillDirection.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/CellVertJustify2.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/document/XActionLockable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/ustring.hxx>

#include <signal.h>
#include <unistd.h>

#include <vector>

using namespace com::sun::star;
using com::sun::star::uno::Any;
using com::sun::star::uno::Reference;
using com::sun::star::uno::Sequence;
using com::sun::star::uno::UNO_QUERY;
using com::sun::star::uno::UNO_QUERY_THROW;

namespace automation {

namespace {

rtl::OUString ou(const QString& s)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), static_cast<sal_Int32>(s.size()));
}

QString qs(const rtl::OUString& s)
{
    return QString(reinterpret_cast<const QChar*>(s.getStr()), static_cast<int>(s.getLength()));
}

// Called in the handler of the exception e.
[[noreturn]] void rethrowIn(const char* call, const uno::Exception& e)
{
    try {
        throw;
    } catch (const lang::DisposedException&) {
        // The bridge to an office that ended disposes of every object it reached.
        throw OfficeStopped();
    } catch (...) {
    }
    throw OfficeError(std::string(call) + ": " + qs(e.Message).toStdString());
}
#define rethrow(e) rethrowIn(__func__, e)

beans::PropertyValue prop(const char* name, const Any& value)
{
    beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

table::BorderLine unoLine(const BorderLine& l)
{
    table::BorderLine b;
    b.Color = l.color;
    b.InnerLineWidth = static_cast<sal_Int16>(l.innerWidth);
    b.OuterLineWidth = static_cast<sal_Int16>(l.outerWidth);
    b.LineDistance = 0;
    return b;
}

// The import filter the office chose for a loaded file: a damaged or foreign
// file is often read as plain text, which no template or workbook is.
bool readAsText(const Reference<lang::XComponent>& component)
{
    Reference<frame::XModel> model(component, UNO_QUERY);
    if (!model.is())
        return false;
    const Sequence<beans::PropertyValue> args = model->getArgs();
    for (sal_Int32 i = 0; i < args.getLength(); ++i)
        if (args[i].Name == "FilterName") {
            rtl::OUString name;
            args[i].Value >>= name;
            const QString filter = qs(name);
            return filter.startsWith(QLatin1String("Text")) || filter.contains(QLatin1String("csv"), Qt::CaseInsensitive);
        }
    return false;
}

table::CellRangeAddress unoRange(const RangeAddress& r)
{
    table::CellRangeAddress a;
    a.Sheet = static_cast<sal_Int16>(r.sheet);
    a.StartColumn = r.startColumn;
    a.StartRow = r.startRow;
    a.EndColumn = r.endColumn;
    a.EndRow = r.endRow;
    return a;
}

table::CellAddress unoCell(const CellAddress& c)
{
    table::CellAddress a;
    a.Sheet = static_cast<sal_Int16>(c.sheet);
    a.Column = c.column;
    a.Row = c.row;
    return a;
}

// An office that ends while a call is being written closes the pipe under
// the writer: the write is to fail (the bridge then reports the office gone),
// not to end this process by SIGPIPE. A handler set by someone else stays.
void ignoreBrokenPipe()
{
    struct sigaction current {};
    if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        ::signal(SIGPIPE, SIG_IGN);
}

// The client side of UNO needs its bootstrap file before the first call.
void ensureBootstrapVariable()
{
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        qputenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc");
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

    // Sheets are looked up once; inserting or removing a sheet forgets them.
    Reference<sheet::XSpreadsheet> sheet(int index)
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
            movement_.set(sheet(0), UNO_QUERY_THROW);
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
            return sheets_->getCount();
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void insertSheet(int index, const QString& name) override
    {
        try {
            sheetCache_.clear();
            movement_.clear();
            doc_->getSheets()->insertNewByName(ou(name), static_cast<sal_Int16>(index));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    QString sheetName(int index) override
    {
        try {
            Reference<container::XNamed> named(sheets_->getByIndex(index), UNO_QUERY_THROW);
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

    void setBlockValues(const CellAddress& c, const QList<QVariantList>& rows) override
    {
        if (rows.isEmpty() || rows.front().isEmpty())
            return;
        try {
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
            Reference<sheet::XCellRangeData> r(
                range({c.sheet, c.column, c.row, c.column + width - 1, c.row + static_cast<int>(rows.size()) - 1}),
                UNO_QUERY_THROW);
            r->setDataArray(data);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
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
        try {
            movement()->moveRange(unoCell(to), unoRange(from));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void copyRange(const CellAddress& to, const RangeAddress& from) override
    {
        try {
            movement()->copyRange(unoCell(to), unoRange(from));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
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

    void setColumnWidth(int sheetIndex, int column, int width) override
    {
        try {
            Reference<table::XColumnRowRange> cr(sheet(sheetIndex), UNO_QUERY_THROW);
            Reference<beans::XPropertySet> p(cr->getColumns()->getByIndex(column), UNO_QUERY_THROW);
            p->setPropertyValue("Width", Any(static_cast<sal_Int32>(width)));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
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

    void keepRowsTogether(int sheetIndex, const QList<std::pair<int, int>>& blocks) override
    {
        pending_.keep(sheetIndex, blocks);
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
        Reference<lang::XMultiServiceFactory> factory(doc_, UNO_QUERY_THROW);
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
    // range by range, as separate calls would.
    void setTableBorders(const QList<RangeAddress>& ranges, const TableBorder& b) override
    {
        if (ranges.isEmpty())
            return;
        try {
            Reference<lang::XMultiServiceFactory> factory(doc_, UNO_QUERY_THROW);
            Reference<sheet::XSheetCellRangeContainer> container(
                factory->createInstance("com.sun.star.sheet.SheetCellRanges"), UNO_QUERY_THROW);
            Sequence<table::CellRangeAddress> addresses(static_cast<sal_Int32>(ranges.size()));
            for (int i = 0; i < ranges.size(); ++i)
                addresses.getArray()[i] = unoRange(ranges[i]);
            container->addRangeAddresses(addresses, false);
            Reference<beans::XPropertySet>(container, UNO_QUERY_THROW)
                ->setPropertyValue("TableBorder", Any(unoBorder(b)));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void lockControllers() override
    {
        try {
            Reference<frame::XModel>(doc_, UNO_QUERY_THROW)->lockControllers();
            ++locks_;
            // Row heights stay as the template has them while the document
            // is filled, whichever way the cells are written.
            const Reference<beans::XPropertySet> props(doc_, UNO_QUERY_THROW);
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

    void unlockControllers() override
    {
        try {
            Reference<beans::XPropertySet>(doc_, UNO_QUERY_THROW)
                ->setPropertyValue("IsAdjustHeightEnabled", Any(true));
            Reference<frame::XModel>(doc_, UNO_QUERY_THROW)->unlockControllers();
            if (locks_ > 0)
                --locks_;
            if (locks_ > 0)
                return;
            adjustRows();
            if (undoHeld_) {
                undoHeld_ = false;
                Reference<beans::XPropertySet>(doc_, UNO_QUERY_THROW)->setPropertyValue("IsUndoEnabled", Any(true));
            }
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void addActionLock() override
    {
        try {
            Reference<document::XActionLockable>(doc_, UNO_QUERY_THROW)->addActionLock();
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void removeActionLock() override
    {
        try {
            Reference<document::XActionLockable>(doc_, UNO_QUERY_THROW)->removeActionLock();
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void show() override
    {
        // A headless office has no screen; showing a window there breaks it.
        if (headless_)
            return;
        if (!windowsAvailable_)
            throw OfficeError(QStringLiteral("Документ готов, но показать его нельзя: LibreOffice на этом компьютере "
                                             "установлен без оконного интерфейса (нужен пакет libreoffice-calc).")
                                  .toStdString());
        try {
            Reference<frame::XModel> model(doc_, UNO_QUERY_THROW);
            Reference<frame::XController> controller = model->getCurrentController();
            if (controller.is() && controller->getFrame().is())
                controller->getFrame()->getContainerWindow()->setVisible(true);
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void close() override
    {
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
            Reference<container::XNamed>(sheets_->getByIndex(index), UNO_QUERY_THROW)->setName(ou(name));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void removeSheet(int index) override
    {
        try {
            const rtl::OUString name = Reference<container::XNamed>(sheets_->getByIndex(index), UNO_QUERY_THROW)->getName();
            sheetCache_.clear();
            movement_.clear();
            doc_->getSheets()->removeByName(name);
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

    // The document's key of a format code in the Russian notation, added when new.
    sal_Int32 formatKey(const QString& code)
    {
        Reference<util::XNumberFormats> formats =
            Reference<util::XNumberFormatsSupplier>(doc_, UNO_QUERY_THROW)->getNumberFormats();
        sal_Int32 key = formats->queryKey(ou(code), russian(), false);
        if (key < 0)
            key = formats->addNew(ou(code), russian());
        return key;
    }

    // The format code of a key; empty for the standard format.
    QString formatCode(sal_Int32 key)
    {
        if (key == 0)
            return {};
        Reference<util::XNumberFormats> formats =
            Reference<util::XNumberFormatsSupplier>(doc_, UNO_QUERY_THROW)->getNumberFormats();
        rtl::OUString code;
        formats->getByKey(key)->getPropertyValue("FormatString") >>= code;
        return qs(code);
    }

    void setNumberFormat(const RangeAddress& r, const QString& code) override
    {
        try {
            props(r)->setPropertyValue("NumberFormat", Any(formatKey(code)));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

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

    QString numberFormat(const CellAddress& c) override
    {
        try {
            Reference<beans::XPropertySet> p(sheet(c.sheet)->getCellByPosition(c.column, c.row), UNO_QUERY_THROW);
            sal_Int32 key = 0;
            p->getPropertyValue("NumberFormat") >>= key;
            return formatCode(key);
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
                Reference<style::XStyleFamiliesSupplier>(doc_, UNO_QUERY_THROW)->getStyleFamilies();
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
            Reference<style::XStyleFamiliesSupplier>(doc_, UNO_QUERY_THROW)->getStyleFamilies();
        Reference<container::XNameContainer> pages(families->getByName("PageStyles"), UNO_QUERY_THROW);
        rtl::OUString name;
        sheetProps->getPropertyValue("PageStyle") >>= name;
        if (own) {
            // The sheets share the default page style; each gets one of its own.
            const rtl::OUString mine = ou(QStringLiteral("Лист %1").arg(index + 1));
            if (!pages->hasByName(mine)) {
                Reference<lang::XMultiServiceFactory> factory(doc_, UNO_QUERY_THROW);
                pages->insertByName(mine, Any(factory->createInstance("com.sun.star.style.PageStyle")));
            }
            if (name != mine) {
                sheetProps->setPropertyValue("PageStyle", Any(mine));
                name = mine;
            }
        }
        return Reference<beans::XPropertySet>(pages->getByName(name), UNO_QUERY_THROW);
    }

    void setPageMargins(int index, const PageMargins& m) override
    {
        try {
            Reference<beans::XPropertySet> style = pageStyle(index, true);
            if (m.left >= 0)
                style->setPropertyValue("LeftMargin", Any(static_cast<sal_Int32>(m.left)));
            if (m.right >= 0)
                style->setPropertyValue("RightMargin", Any(static_cast<sal_Int32>(m.right)));
        } catch (const uno::Exception& e) {
            rethrow(e);
        }
    }

    void setLandscape(int index) override
    {
        try {
            Reference<beans::XPropertySet> style = pageStyle(index, true);
            sal_Int32 width = 0;
            sal_Int32 height = 0;
            style->getPropertyValue("Width") >>= width;
            style->getPropertyValue("Height") >>= height;
            style->setPropertyValue("IsLandscape", Any(true));
            if (width < height) {
                style->setPropertyValue("Width", Any(height));
                style->setPropertyValue("Height", Any(width));
            }
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
            Reference<frame::XStorable>(doc_, UNO_QUERY_THROW)
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
            if (p->getPropertyValue("NumberFormat") >>= key)
                st.numberFormat = formatCode(key);
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
        pending_.adjust({office_, Reference<frame::XModel>(doc_, UNO_QUERY_THROW),
                         [this](int index) { return sheet(index); }});
    }

    Reference<lang::XComponent> component_;
    Reference<uno::XComponentContext> office_;  // the office's own context
    bool headless_ = false;
    bool windowsAvailable_ = true;
    Reference<sheet::XSpreadsheetDocument> doc_;
    Reference<container::XIndexAccess> sheets_;
    std::vector<Reference<sheet::XSpreadsheet>> sheetCache_;
    Reference<sheet::XCellRangeMovement> movement_;
    int locks_ = 0;
    bool undoHeld_ = false;  // the office's undo was turned off at the first lock
    unorows::Pending pending_;
};

} // namespace

// How long an office is still looked for once the program that started it ended.
constexpr int kEndedStartGraceMs = 3000;

struct UnoOffice::Impl {
    UnoOptions options;
    Reference<uno::XComponentContext> local;
    Reference<uno::XComponentContext> remote;
    Reference<frame::XDesktop2> desktop;
    bool started = false;  // this object started the office
    qint64 pid = 0;        // of the started office
    bool inUse = false;    // between connect() and disconnect()

    // An office installed without any window plug-in runs headless only.
    bool windowsAvailable() const
    {
        const QFileInfo soffice(options.soffice);
        return !QDir(soffice.absolutePath()).entryList({QStringLiteral("libvclplug_*")}, QDir::Files).isEmpty();
    }

    rtl::OUString connectString() const
    {
        return ou(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(options.pipeName));
    }

    bool alive()
    {
        if (!desktop.is())
            return false;
        try {
            desktop->getComponents();
            return true;
        } catch (const uno::Exception&) {
            desktop.clear();
            remote.clear();
            return false;
        }
    }

    bool resolve()
    {
        try {
            Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(local);
            remote.set(resolver->resolve(connectString()), UNO_QUERY_THROW);
            desktop = frame::Desktop::create(remote);
            return true;
        } catch (const uno::Exception&) {
            remote.clear();
            desktop.clear();
            return false;
        }
    }

    // The profile's fonts folder; the office reads it when it starts.
    QString fontFolder() const
    {
        QString profile = options.profileFolder;
        if (profile.isEmpty()) {
            QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
            if (config.isEmpty())
                config = QDir::homePath() + QStringLiteral("/.config");
            profile = config + QStringLiteral("/libreoffice/4");
        }
        return profile + QStringLiteral("/user/fonts");
    }

    void installFonts() const { InstallFonts(options.fontFiles, fontFolder()); }

    void start()
    {
        installFonts();
        QStringList args;
        if (options.headless || !windowsAvailable())
            args << QStringLiteral("--headless") << QStringLiteral("--invisible");
        args << QStringLiteral("--norestore") << QStringLiteral("--nologo") << QStringLiteral("--nodefault")
             << QStringLiteral("--nolockcheck");
        if (!options.profileFolder.isEmpty()) {
            QDir().mkpath(options.profileFolder);
            args << QStringLiteral("-env:UserInstallation=") +
                        QUrl::fromLocalFile(QFileInfo(options.profileFolder).absoluteFilePath())
                            .toString(QUrl::FullyEncoded);
        }
        args << QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(options.pipeName);
        // Never a pipe that may close under the office: its output goes to a file. The office
        // inherits none of our files (the database and its locks among them).
        started = StartDetached({options.soffice, args, options.logFile}, &pid);
    }
};

UnoOffice::UnoOffice(UnoOptions options) : d(std::make_unique<Impl>())
{
    d->options = std::move(options);
}

UnoOffice::~UnoOffice()
{
    if (d->started && d->options.headless)
        terminate();
}

bool UnoOffice::connect()
{
    if (d->alive()) {
        d->inUse = true;
        return true;
    }
    ignoreBrokenPipe();
    try {
        ensureBootstrapVariable();
        if (!d->local.is())
            d->local = cppu::defaultBootstrap_InitialComponentContext();
    } catch (const uno::Exception&) {
        return false;
    }
    if (!d->resolve()) {
        d->start();
        if (!d->started)
            return false;
        QElapsedTimer timer;
        timer.start();
        QElapsedTimer ended;  // since the started program ended
        while (!d->resolve()) {
            if (timer.elapsed() > d->options.startTimeoutMs)
                return false;
            // The start program may end after handing its arguments to an
            // office already running (the user's own): that one gets a moment
            // to accept; an office that fails to come up is not waited for.
            // It was there to start, so it stopped (killed, or it crashed)
            // rather than being missing: the next print starts it again.
            if (!ended.isValid() && ::kill(static_cast<pid_t>(d->pid), 0) != 0)
                ended.start();
            if (ended.isValid() && ended.elapsed() > kEndedStartGraceMs)
                throw OfficeStopped();
            // The program's windows keep painting while the office starts; what
            // the user types waits until the print has its office.
            if (QCoreApplication::instance())
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QThread::msleep(50);
        }
    }
    d->inUse = true;
    return true;
}

void UnoOffice::disconnect() { d->inUse = false; }

bool UnoOffice::connected() const { return d->inUse && d->desktop.is(); }

std::unique_ptr<Document> UnoOffice::newCalc()
{
    std::unique_ptr<Document> doc = loadDocument(QString());
    // A workbook the program lays out holds only what it shows.
    static_cast<UnoDocument*>(doc.get())->plainPages();
    // The office names a new sheet in its own interface language ("Sheet1").
    for (int i = 0; i < doc->sheetCount(); ++i) {
        const QString name = QStringLiteral("Лист%1").arg(i + 1);
        if (doc->sheetName(i) != name)
            doc->setSheetName(i, name);
    }
    return doc;
}

std::unique_ptr<Document> UnoOffice::loadDocument(const QString& path)
{
    if (!d->desktop.is())
        throw OfficeError("no office connection");
    try {
        Sequence<beans::PropertyValue> args(2);
        args.getArray()[0] = prop("Hidden", Any(true));
        args.getArray()[1] = prop("AsTemplate", Any(true));
        const rtl::OUString url =
            path.isEmpty() ? rtl::OUString("private:factory/scalc")
                           : ou(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded));
        if (!path.isEmpty() && !QFileInfo(path).isFile())
            throw OfficeError("no file " + path.toStdString());
        Reference<frame::XComponentLoader> loader(d->desktop, UNO_QUERY_THROW);
        Reference<lang::XComponent> component = loader->loadComponentFromURL(url, "_blank", 0, args);
        if (!component.is())
            throw OfficeError("cannot open " + path.toStdString());
        Reference<sheet::XSpreadsheetDocument> sd(component, UNO_QUERY);
        if (!sd.is() || (!path.isEmpty() && readAsText(component))) {
            Reference<util::XCloseable>(component, UNO_QUERY_THROW)->close(true);
            throw OfficeError("not a spreadsheet: " + path.toStdString());
        }
        auto doc = std::make_unique<UnoDocument>(component, d->remote, d->options.headless, d->windowsAvailable());
        // The engine parks blocks on the second sheet.
        while (doc->sheetCount() < 2)
            doc->insertSheet(doc->sheetCount(), QStringLiteral("Лист%1").arg(doc->sheetCount() + 1));
        return doc;
    } catch (const uno::Exception& e) {
        rethrow(e);
    }
}

std::unique_ptr<Document> UnoOffice::editDocument(const QString& path)
{
    if (!d->desktop.is())
        throw OfficeError("no office connection");
    if (!QFileInfo(path).isFile())
        throw OfficeError("no file " + path.toStdString());
    try {
        Sequence<beans::PropertyValue> args(1);
        args.getArray()[0] = prop("Hidden", Any(true));
        Reference<frame::XComponentLoader> loader(d->desktop, UNO_QUERY_THROW);
        Reference<lang::XComponent> component = loader->loadComponentFromURL(
            ou(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)), "_blank", 0, args);
        if (!component.is())
            throw OfficeError("cannot open " + path.toStdString());
        Reference<sheet::XSpreadsheetDocument> sd(component, UNO_QUERY);
        if (!sd.is() || (!path.isEmpty() && readAsText(component))) {
            Reference<util::XCloseable>(component, UNO_QUERY_THROW)->close(true);
            throw OfficeError("not a spreadsheet: " + path.toStdString());
        }
        auto doc = std::make_unique<UnoDocument>(component, d->remote, d->options.headless, d->windowsAvailable());
        doc->show();
        return doc;
    } catch (const uno::Exception& e) {
        rethrow(e);
    }
}

bool UnoOffice::hasFont(const QString& family)
{
    if (!d->alive())
        return true;
    try {
        Reference<awt::XToolkit> toolkit(
            d->remote->getServiceManager()->createInstanceWithContext("com.sun.star.awt.Toolkit", d->remote),
            UNO_QUERY_THROW);
        const Sequence<awt::FontDescriptor> fonts = toolkit->createScreenCompatibleDevice(1, 1)->getFontDescriptors();
        const rtl::OUString name = ou(family);
        for (sal_Int32 i = 0; i < fonts.getLength(); ++i)
            if (fonts[i].Name == name)
                return true;
        return false;
    } catch (const uno::Exception&) {
        return true;
    }
}

void UnoOffice::terminate()
{
    if (d->alive()) {
        try {
            d->desktop->terminate();
        } catch (const uno::Exception&) {
        }
    }
    d->desktop.clear();
    d->remote.clear();
    // The office still writes its profile while it ends; wait for it, so
    // that its folder can be removed.
    if (d->started && d->pid > 0) {
        QElapsedTimer timer;
        timer.start();
        while (::kill(static_cast<pid_t>(d->pid), 0) == 0 && timer.elapsed() < 10000)
            QThread::msleep(20);
    }
    d->started = false;
    d->pid = 0;
    d->inUse = false;
}

UnoOptions ProgramUnoOptions()
{
    UnoOptions o;
    o.fontFiles = ProgramFontFiles();
    o.pipeName = QStringLiteral("tarelia_%1").arg(getuid());
    o.headless = false;
    return o;
}

UnoOptions HeadlessUnoOptions(const QString& folder)
{
    UnoOptions o;
    o.pipeName = QStringLiteral("tarelia_headless_%1").arg(getpid());
    o.headless = true;
    o.profileFolder = folder + QStringLiteral("/profile");
    o.logFile = folder + QStringLiteral("/office.log");
    o.fontFiles = ProgramFontFiles();
    return o;
}

} // namespace automation
