#include "Spreadsheet.h"

namespace automation {

QString OneLine(QString s)
{
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar& c : s)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return s;
}

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
void Document::setLandscape(int) { unsupported("turn the pages across"); }

} // namespace automation
