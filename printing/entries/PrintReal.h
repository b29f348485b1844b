#pragma once

#include "reports/Statements.h"

#include <QVector>

namespace printing {

// The production and sales tab's current document as its print needs it:
// no key when the tab's list is empty.
struct RealPrintDocument {
    qint64 kod = 0;
    bool posted = false;
    QVector<reports::ProductLine> lines;  // the document's lines as the tab shows them
};

// The production and sales tab's print button: the choice of the statements
// and the technological cards for the given document.
void ShowPrintReal(const RealPrintDocument& doc);

} // namespace printing
