#pragma once

// Reads a flat OpenDocument spreadsheet (.fods) into a recorded workbook:
// the sheets with their names, the cells' texts, numbers and number formats
// (of the rows a template formats in advance too), the merged
// areas and the column widths. The recording office then hands it out as
// the loaded template, so that a report's golden dump shows the template's
// own cells beside what the report wrote.

#include "automation/RecordingOffice.h"

automation::RecordedBook ReadFlatOds(const QString& path);
