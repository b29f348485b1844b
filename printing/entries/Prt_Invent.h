#pragma once

#include <QtGlobal>

namespace printing {

// The inventory sheet of the inventory document (its header and lines).
void Prt_Invent(qint64 doc);

} // namespace printing
