#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

namespace printing {

// The pickers the costing card print asks for an enterprise and a department.
struct KartaPickers {
    // An own enterprise; true with its key and name when one was chosen.
    std::function<bool(qint64& kod, QString& name)> firma;
    // A department of the enterprise; true with its key and name when one was chosen.
    std::function<bool(qint64 firma, qint64& kod, QString& name)> otdel;
};

// The costing card window's print button: the dialog of the card print for
// the product whose card is open, with the window's price choice (0 stock
// prices, 1 selling prices).
void ShowPrintKarta(qint64 product, int priceChoice, const KartaPickers& pickers);

} // namespace printing
