#pragma once

#include <QString>

namespace printing {

// The amount of money in words, after the settings rod, rub, kop and my_language
// as they stand at the call.
QString AmountInWords(double amount);

} // namespace printing
