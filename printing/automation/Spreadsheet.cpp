#include "Spreadsheet.h"

namespace automation {

QString OfficeUnreachableText()
{
    return QStringLiteral("Проверте установлен ли у Вас OpenOffice верссии не ниже 3.2 !");
}

} // namespace automation
