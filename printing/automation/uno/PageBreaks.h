#pragma once

// Blocks of rows kept on one page each: where the office's own pagination
// would split a block that fits on a page, a page break goes before it.

#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include <QList>

#include <utility>

namespace automation::unopages {

// Blocks (first, last) of the sheet's rows, counted from 0, in any order. A
// block taller than a page starts a page of its own and runs on from there.
void KeepTogether(const com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet>& sheet,
                  QList<std::pair<int, int>> blocks);

} // namespace automation::unopages
