#pragma once

// The costing card of one product in one department (print list 7): the
// card's rows, either as they stand (semi-finished products as single rows)
// or expanded down to raw products, with the end block of totals, markups
// and the recipe.

#include "TemplateReport.h"

#include "costing/AmountList.h"

#include <QDate>

namespace reports::card {

struct Options {
    qint64 product = 0;   // ING.KOD of the card
    QString firmaName;    // the enterprise as the dialog shows it
    qint64 otdel = 0;     // the department whose rows and prices are used
    QString otdelName;
    int mode = 0;         // 0 the card's own rows, 1 down to raw products
    int priceChoice = 0;  // 0 stock prices (CENA), otherwise selling prices (MY_CENA)
};

// The amounts the card prints, in card order. Throws costing::CardError for a
// card that cannot be expanded.
costing::AmountList Rows(const engine::Context& ctx, const Options& options);

// Fills the default template of list 7 with the card's rows. Throws
// costing::CardError, before anything is opened, for a card that cannot be
// expanded.
void Print(const engine::Context& ctx, const Options& options, automation::Office& office, const QString& cacheFolder,
           const Progress& progress = {});

} // namespace reports::card

namespace reports {

// The card's money text: the amount in hundredths rounded to nearest (ties to
// even), whole units, the unit name, a blank, the hundredths unpadded and
// their name: 50 gives "50руб. 0коп.", 0.05 "0руб. 5коп.". A negative amount
// carries its sign once, in front: -1.5 gives "-1руб. 50коп.".
QString CardMoneyText(double amount, const QString& rub, const QString& kop);

// The lines of a memo as the recipe prints them: split at line breaks, no
// line for the break that ends the text; an empty text has no lines.
QStringList MemoLines(const QString& text);

} // namespace reports
