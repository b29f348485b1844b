#pragma once

// The technological cards of a production or sales document not yet posted
// (print list 10): one card per line of positive quantity, one below the
// other on one sheet, each with its own copy of the template's header block,
// the dish's composition scaled to the line's quantity and the recipe.

#include "TemplateReport.h"

#include <QDate>

namespace reports {

struct TechCardsOptions {
    qint64 document = 0;  // DOCS.KOD
    int mode = 1;         // 1 semi-finished products expanded down to raw products, 2 the card's own rows
    QDate today;
};

// The cards; false, with nothing opened, when the document has no line of
// positive quantity. Throws costing::CardError for a card that cannot be expanded.
bool PrintTechCards(const engine::Context& ctx, automation::Office& office, const QString& cacheFolder,
                    const TechCardsOptions& options, const Progress& progress = {});

} // namespace reports
