#pragma once

#include <QString>

namespace printing {

// The amount of money in words, after the settings rod, rub, kop and my_language.
QString AmountInWords(double amount);

} // namespace printing
