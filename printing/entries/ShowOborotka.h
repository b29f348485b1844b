#pragma once

#include <QString>

namespace printing {

// The turnover statement's options window, shown modally; its result as
// exec() gives it. exporting: the caller asked for the accounting exchange
// table, so only the statement by operations can be chosen during this
// showing; exportPath: the prepared table its rows go to (empty: none, as
// when the file dialog was cancelled).
int ShowOborotka(bool exporting, const QString& exportPath);

} // namespace printing
