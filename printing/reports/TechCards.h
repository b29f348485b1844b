#pragma once

// The technological cards of a production or sales document not yet posted
// (print list 10): one card per line of positive quantity, one below the
// other on one sheet, each with its own copy of the template's header block,
// the dish's composition scaled to the line's quantity and the recipe.

#include "TemplateReport.h"

#include <QDate>

namespace reports::techcards {

struct Options {
    qint64 document = 0;  // DOCS.KOD
    int mode = 1;         // 1 semi-finished products expanded down to raw products, 2 the card's own rows
};

// The cards; false, with nothing opened, when the document has no line of
// positive quantity. Throws costing::CardError for a card that cannot be expanded.
bool Print(const engine::Context& ctx, const Options& options, automation::Office& office, const QString& cacheFolder,
           const Progress& progress = {});

} // namespace reports::techcards
