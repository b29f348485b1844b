#pragma once

// Blocks of rows kept on one page each in an office's sheet (PageLayout.h):
// the office paginates, gives the rows' tops and takes the breaks; the page
// style gives the printable height.

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include <QList>

#include <map>
#include <utility>

namespace automation::unopages {

// Blocks (first, last) of the sheet's rows, counted from 0, in any order,
// with their kinds where given (unopages::KeepTogether). `known` holds tops
// of rows measured beforehand, in twips from the sheet's top: a range whose
// first row and the row below it are there is not measured again.
void KeepTogether(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
                  const com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet>& sheet,
                  const QList<std::pair<int, int>>& blocks, const QList<int>& kinds = {},
                  const std::map<int, long>& known = {});

// The top of each range's first row and of the row below it, in twips from
// the sheet's top, into `tops` by row: the ranges named in one call, their
// positions and sizes read from a few threads at once.
void MeasureRows(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
                 const com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet>& sheet,
                 const QList<std::pair<int, int>>& ranges, std::map<int, long>& tops);

} // namespace automation::unopages
