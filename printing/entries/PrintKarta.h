#pragma once

#include <QtGlobal>

namespace printing {

// The costing card window's print button: the dialog of the card print for
// the product whose card is open, with the window's price choice (0 stock
// prices, 1 selling prices). It picks with the registered report pickers.
void ShowPrintKarta(qint64 product, int priceChoice);

} // namespace printing
