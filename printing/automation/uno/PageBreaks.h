#pragma once

// Blocks of rows kept on one page each in an office's sheet (PageLayout.h):
// the office paginates, gives the rows' tops and takes the breaks; the page
// style gives the printable height.

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include <QList>

#include <utility>

namespace automation::unopages {

// Blocks (first, last) of the sheet's rows, counted from 0, in any order,
// with their kinds where given (unopages::KeepTogether).
void KeepTogether(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
                  const com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet>& sheet,
                  const QList<std::pair<int, int>>& blocks, const QList<int>& kinds = {});

} // namespace automation::unopages
