#include "Spreadsheet.h"

namespace automation {

QString OfficeUnreachableText()
{
    return QStringLiteral("Проверте установлен ли у Вас OpenOffice верссии не ниже 3.2 !");
}

QString OfficeStoppedText()
{
    return QStringLiteral("LibreOffice остановился во время печати, документ не построен. Повторите печать.");
}

OfficeStopped::OfficeStopped() : OfficeError(OfficeStoppedText().toStdString()) {}

namespace {

[[noreturn]] void unsupported(const char* what)
{
    throw OfficeError(std::string("this document cannot ") + what);
}

} // namespace

void Document::setSheetName(int, const QString&) { unsupported("rename a sheet"); }
void Document::removeSheet(int) { unsupported("remove a sheet"); }
void Document::setBlockFormulas(const CellAddress&, const QList<QStringList>&) { unsupported("hold formulas"); }
void Document::setCharColor(const QList<RangeAddress>&, int) { unsupported("colour characters"); }
void Document::setVertJustify(const RangeAddress&, int) { unsupported("align vertically"); }
void Document::setNumberFormat(const RangeAddress&, const QString&) { unsupported("format numbers"); }
void Document::setPageMargins(int, const PageMargins&) { unsupported("set page margins"); }
PageMargins Document::pageMargins(int) { unsupported("read page margins"); }

} // namespace automation
