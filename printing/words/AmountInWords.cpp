#include "AmountInWords.h"

#include "engine/Kopecks.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace words {

namespace {

// Word tables by code; the units table carries the feminine one and two at
// 11 and 12 and the neuter one at 13, the tens table the teens at 11 to 19.
struct Tables {
    std::array<const char*, 14> units;
    std::array<const char*, 20> tens;
    std::array<const char*, 10> hundreds;
    std::array<const char*, 4> stems;  // thousands, millions, billions, trillions
    std::array<const char*, 3> thousandEndings;
    std::array<const char*, 3> millionEndings;
};

const Tables kRu{
    {"", "один", "два", "три", "четыре", "пять", "шесть", "семь", "восемь", "девять", "", "одна", "две", "одно"},
    {"", "десять", "двадцать", "тридцать", "сорок", "пятьдесят", "шестьдесят", "семьдесят", "восемьдесят",
     "девяносто", "", "одиннадцать", "двенадцать", "тринадцать", "четырнадцать", "пятнадцать", "шестнадцать",
     "семнадцать", "восемнадцать", "девятнадцать"},
    {"", "сто", "двести", "триста", "четыреста", "пятьсот", "шестьсот", "семьсот", "восемьсот", "девятьсот"},
    {"тысяч", "миллион", "миллиард", "триллион"},
    {"а", "и", ""},
    {"", "а", "ов"},
};

// The Ukrainian texts are written with the Latin small i and the ASCII
// apostrophe, as the printed documents have always shown them.
const Tables kUa{
    {"", "один", "два", "три", "чотири", "п'ять", "шiсть", "сiм", "вiсiм", "дев'ять", "", "одна", "двi", "однэ"},
    {"", "десять", "двадцять", "тридцять", "сорок", "п'ятдесят", "шiстдесят", "сiмдесят", "вiсiмдесят",
     "дев'яносто", "", "одинадцять", "дванадцять", "тринадцять", "чотирнадцять", "п'ятнадцять", "шiстнадцять",
     "сiмнадцять", "вiсiмнадцять", "дев'ятнадцять"},
    {"", "сто", "двiсти", "триста", "чотириста", "п'ятсот", "шiстсот", "сiмсот", "вiсiмсот", "дев'ятсот"},
    {"тисяч", "мильйон", "мильйард", "трильйон"},
    {"а", "i", ""},
    {"", "а", "iв"},
};

// Grammatical form of a counted noun after a digit's code: 1 "один",
// 2 "два".."четыре", 3 the rest. A teen always takes the third.
int formOf(int code, int position)
{
    if (code > 9 && position == 2)
        code = 5;
    if (code > 9)
        code -= 10;
    if (code == 1)
        return 1;
    if (code >= 2 && code <= 4)
        return 2;
    return 3;
}

QString numberInWords(const QString& digits, int gender, const Tables& t)
{
    if (digits.isEmpty() || digits.at(0) == QLatin1Char('0'))
        return QStringLiteral("Ноль");
    const int n = digits.size();
    auto digitAt = [&](int i) { return digits.at(i).digitValue(); };

    QString acc;
    int i = 0;
    while (i < n) {
        const int left = n - i;
        const int groupSize = left % 3 == 0 ? 3 : left % 3;
        bool nonZero = false;
        for (int k = 0; k < groupSize; ++k)
            if (digits.at(i + k) != QLatin1Char('0'))
                nonZero = true;

        const int groupEnd = i + groupSize;
        int form = 3;
        while (i < groupEnd) {
            const int l = n - i;
            const int position = l % 3;  // 1 units, 2 tens, 0 hundreds
            int code = digitAt(i);
            if (l == 4 && (code == 1 || code == 2))
                code += 10;  // "одна тысяча", "две тысячи"
            if (position == 2 && code == 1 && i + 1 < n && digits.at(i + 1) != QLatin1Char('0')) {
                code = 10 + digitAt(i + 1);
                ++i;  // the units digit goes with the teen
            }
            if (l == 1) {
                if (gender == 2 && (code == 1 || code == 2))
                    code += 10;
                else if (gender == 3 && code == 1)
                    code += 12;
            }
            const char* word = position == 0 ? t.hundreds[code] : position == 1 ? t.units[code] : t.tens[code];
            acc += QString::fromUtf8(word) + QLatin1Char(' ');
            form = formOf(code, position);
            ++i;
        }
        acc += QLatin1Char(' ');

        // Digits 4-6 from the right are thousands, 7-9 millions, 10-12
        // billions, 13-15 trillions; the last group and anything above the
        // trillions take no scale word.
        const int scale = (left - 1) / 3;  // 0 the last group, 1 thousands, ...
        if (nonZero && scale >= 1 && scale <= 4) {
            const auto& endings = scale == 1 ? t.thousandEndings : t.millionEndings;
            acc += QString::fromUtf8(t.stems[scale - 1]) + QString::fromUtf8(endings[form - 1]);
        }
        acc += QLatin1Char(' ');
    }

    QString out;
    out.reserve(acc.size());
    for (const QChar c : acc)
        if (!(c == QLatin1Char(' ') && out.endsWith(QLatin1Char(' '))))
            out += c;
    if (!out.isEmpty())
        out[0] = out.at(0).toUpper();
    return out;
}

} // namespace

QString NumberInWordsRu(const QString& digits, int gender) { return numberInWords(digits, gender, kRu); }

QString NumberInWordsUa(const QString& digits, int gender) { return numberInWords(digits, gender, kUa); }

QString AmountInWords(double amount, const MoneyNames& names)
{
    if (!std::isfinite(amount))
        amount = 0;
    // Hundredths rounded to nearest, ties to even (the default rounding mode).
    const double hundredths = static_cast<double>(engine::Hundredths(std::fabs(amount)));
    const bool negative = amount < 0 && hundredths != 0;

    // The decimal digits of the hundredths, exact for any size of amount.
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.0f", hundredths);
    const QString all = QString::fromLatin1(buf);
    const QString whole = all.size() > 2 ? all.left(all.size() - 2) : QStringLiteral("0");
    const int fraction = all.right(2).toInt();

    const bool russian = names.language == 0;
    const QString inWords =
        russian ? NumberInWordsRu(whole, names.rod + 1) : NumberInWordsUa(whole, names.rod + 1);
    QString result = inWords + names.rub + QLatin1Char(' ') + QString::number(fraction) + names.kop;
    if (negative)
        result.prepend(russian ? QStringLiteral("Минус ") : QStringLiteral("Мiнус "));
    return result;
}

} // namespace words
