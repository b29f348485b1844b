#pragma once

// How many decimals a price or a quantity shows, on the papers, in the
// office and in the lists, and the number formats that show them: one
// constant for all. Header only, Qt Core only, so the spreadsheet layer
// takes it without the database's.

#include <QString>

namespace engine {

// Prices and quantities print with the decimals they have, up to six.
constexpr int kPrintedPlaces = 6;

// The format of a quantity (the decimals it has, up to kPrintedPlaces) and of
// a price (two to kPrintedPlaces), with the decimal separator given: "0.######"
// and "0.00####" for a point, "0,######" and "0,00####" for the office's comma.
inline QString QuantityFormat(QChar separator)
{
    return QStringLiteral("0") + separator + QString(kPrintedPlaces, QLatin1Char('#'));
}

inline QString PriceFormat(QChar separator)
{
    return QStringLiteral("0") + separator + QStringLiteral("00") + QString(kPrintedPlaces - 2, QLatin1Char('#'));
}

} // namespace engine
