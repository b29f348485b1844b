#pragma once

// What the office's document and its connection share: texts between Qt and
// the office, a property value, and the office's exceptions as ours.

#include "automation/Spreadsheet.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <rtl/ustring.hxx>

#include <QString>

#include <string>

namespace automation::unocalls {

inline rtl::OUString ou(const QString& s)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), static_cast<sal_Int32>(s.size()));
}

inline QString qs(const rtl::OUString& s)
{
    return QString(reinterpret_cast<const QChar*>(s.getStr()), static_cast<int>(s.getLength()));
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

} // namespace automation::unocalls

#define rethrow(e) ::automation::unocalls::rethrowIn(__func__, e)
