#pragma once

#include "direct/MenuDirect.h"

#include <QVector>
#include <QtGlobal>

namespace printing {

// True when the print-variant window's choice is the printer (it never is in
// the program as delivered: the choice is hidden and stays at the templates).
bool DirectPrintChosen();
// The menu straight on the printer: heading, caption, active sections and dishes, end text.
void Prt_MenuDirect(qint64 menu);
// The codes list of a menu straight on the printer, rows in the codes query's order.
void PrintCodesDirect(const QVector<direct::CodeLine>& rows);

} // namespace printing
