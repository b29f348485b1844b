#pragma once

#include <QString>
#include <QtGlobal>

namespace printing {

// The where-used workbook of the product named name: the composites whose
// cards name it directly (name, unit, portions, net amount). A key of 0 (no
// current product) does nothing. Shows and hides the progress window itself.
void Print_IngUsage(qint64 ing, const QString& name);

} // namespace printing
