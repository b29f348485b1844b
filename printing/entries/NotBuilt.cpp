#include "NotBuilt.h"

#include "util/Messages.h"

namespace printing {

QString NotBuiltText()
{
    return QStringLiteral("Печать документов и отчётов в этой версии программы ещё не доступна.");
}

void ShowNotBuilt() { Msg::notice(NotBuiltText(), QStringLiteral("Печать")); }

} // namespace printing
