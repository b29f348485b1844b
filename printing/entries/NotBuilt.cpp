#include "NotBuilt.h"

namespace printing {

QString NotBuiltText()
{
    return QStringLiteral("Печать документов и отчётов в этой версии программы ещё не доступна.");
}

} // namespace printing
