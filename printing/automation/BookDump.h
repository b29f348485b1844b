#pragma once

// A recorded workbook printed as stable text, for golden files: per sheet
// its column widths, merged areas, rows whose heights were fitted, every
// cell with content (its kind and value), then the formats as rectangles of
// cells that share them (wrap, alignment, font, colour, the number format of
// the cells that hold something, border widths).

#include "RecordingOffice.h"

namespace automation {

QString DumpBook(const RecordedBook& book);
// Every workbook the office made, in order, each under "== workbook N".
QString DumpBooks(const RecordingOffice& office);

} // namespace automation
