#pragma once

// What the office's document and its connection share: texts between Qt and
// the office, addresses of cells and ranges, a property value, the office's
// exceptions as ours, and calls made from a few threads at once.

#include "automation/Spreadsheet.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/table/CellAddress.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <rtl/ustring.hxx>

#include <QString>

#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace automation::unocalls {

inline rtl::OUString ou(const QString& s)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), static_cast<sal_Int32>(s.size()));
}

inline QString qs(const rtl::OUString& s)
{
    return QString(reinterpret_cast<const QChar*>(s.getStr()), static_cast<int>(s.getLength()));
}

inline com::sun::star::table::CellRangeAddress unoRange(const RangeAddress& r)
{
    com::sun::star::table::CellRangeAddress a;
    a.Sheet = static_cast<sal_Int16>(r.sheet);
    a.StartColumn = r.startColumn;
    a.StartRow = r.startRow;
    a.EndColumn = r.endColumn;
    a.EndRow = r.endRow;
    return a;
}

inline com::sun::star::table::CellAddress unoCell(const CellAddress& c)
{
    com::sun::star::table::CellAddress a;
    a.Sheet = static_cast<sal_Int16>(c.sheet);
    a.Column = c.column;
    a.Row = c.row;
    return a;
}

// Called in the handler of the exception e.
[[noreturn]] inline void rethrowIn(const char* call, const com::sun::star::uno::Exception& e)
{
    try {
        throw;
    } catch (const com::sun::star::lang::DisposedException&) {
        // The bridge to an office that ended disposes of every object it reached.
        throw OfficeStopped();
    } catch (...) {
    }
    throw OfficeError(std::string(call) + ": " + qs(e.Message).toStdString());
}

inline com::sun::star::beans::PropertyValue prop(const char* name, const com::sun::star::uno::Any& value)
{
    com::sun::star::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

// Calls step(i) for i from 0 to count - 1 from a few threads at once: each
// call waits for the office's answer, and the office answers the calls of
// several threads one after another without waiting in between (sixteen
// threads: with eight it still waits for our next request now and then, a
// tenth of a print's measuring and page breaks). The first
// exception a call throws is thrown here once every thread has ended.
constexpr size_t kCallsForThreads = 16;
constexpr size_t kThreads = 16;

template <class Step>
inline void inParallel(size_t count, const Step& step)
{
    if (count < kCallsForThreads) {
        for (size_t i = 0; i < count; ++i)
            step(i);
        return;
    }
    std::mutex guard;
    std::exception_ptr failed;
    std::vector<std::thread> threads;
    for (size_t t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            try {
                for (size_t i = t; i < count; i += kThreads)
                    step(i);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(guard);
                if (!failed)
                    failed = std::current_exception();
            }
        });
    for (std::thread& th : threads)
        th.join();
    if (failed)
        std::rethrow_exception(failed);
}

} // namespace automation::unocalls

#define rethrow(e) ::automation::unocalls::rethrowIn(__func__, e)
