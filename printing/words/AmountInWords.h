#pragma once

#include <QString>

// Amounts of money written out in words, in Russian or in Ukrainian.
namespace words {

// The settings the money text is built from.
struct MoneyNames {
    int language = 0;  // 0 Russian, any other value Ukrainian
    int rod = 0;       // gender of the whole unit: 0 masculine, 1 feminine, 2 neuter
    QString rub;       // name of the whole unit, appended as typed
    QString kop;       // name of the hundredth unit, appended as typed
};

// A non-negative whole number in words. digits: its decimal text without
// leading zeros; gender: 1 masculine, 2 feminine, 3 neuter (of the counted
// unit, so it changes only the last word). The text starts with a capital and
// ends with one blank; zero is "Ноль" without a blank.
QString NumberInWordsRu(const QString& digits, int gender);
QString NumberInWordsUa(const QString& digits, int gender);

// The money text: the whole units in words, the unit name, a blank, the
// hundredths as plain digits and the hundredth unit's name, for example
// "Двенадцать руб. 50коп.". A negative amount gets "Минус " ("Мiнус ")
// in front; the sign is that of the amount rounded to hundredths, so a sum
// whose terms cancel to a tiny negative rest reads as zero.
QString AmountInWords(double amount, const MoneyNames& names);

} // namespace words
