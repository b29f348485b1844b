// Amounts in words: a table of amounts worked out by hand from the rules of
// the Russian and Ukrainian number words, every gender and both languages.

#include "words/AmountInWords.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    double amount;
    int language;  // 0 Russian, 1 Ukrainian
    int rod;       // 0 masculine, 1 feminine, 2 neuter
    const char* expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.amount << " lang " << c.language << " rod " << c.rod; }

class AmountInWordsTable : public ::testing::TestWithParam<Case> {};

TEST_P(AmountInWordsTable, ReadsAsWritten)
{
    const Case& c = GetParam();
    words::MoneyNames names;
    names.language = c.language;
    names.rod = c.rod;
    names.rub = c.language == 0 ? QStringLiteral("руб.") : QStringLiteral("грн.");
    names.kop = QStringLiteral("коп.");
    EXPECT_EQ(words::AmountInWords(c.amount, names), QString::fromUtf8(c.expected));
}

const Case kRussian[] = {
    {0.0, 0, 0, "Нольруб. 0коп."},
    {0.45, 0, 0, "Нольруб. 45коп."},
    {0.01, 0, 0, "Нольруб. 1коп."},
    {0.10, 0, 0, "Нольруб. 10коп."},
    {1.05, 0, 0, "Один руб. 5коп."},
    {1.05, 0, 1, "Одна руб. 5коп."},
    {1.05, 0, 2, "Одно руб. 5коп."},
    {1.5, 0, 0, "Один руб. 50коп."},
    {2, 0, 0, "Два руб. 0коп."},
    {2, 0, 1, "Две руб. 0коп."},
    {2, 0, 2, "Два руб. 0коп."},
    {5, 0, 0, "Пять руб. 0коп."},
    {10, 0, 0, "Десять руб. 0коп."},
    {11, 0, 1, "Одиннадцать руб. 0коп."},
    {12, 0, 0, "Двенадцать руб. 0коп."},
    {20, 0, 0, "Двадцать руб. 0коп."},
    {21, 0, 0, "Двадцать один руб. 0коп."},
    {21, 0, 1, "Двадцать одна руб. 0коп."},
    {101, 0, 0, "Сто один руб. 0коп."},
    {110, 0, 0, "Сто десять руб. 0коп."},
    {115, 0, 0, "Сто пятнадцать руб. 0коп."},
    {999, 0, 0, "Девятьсот девяносто девять руб. 0коп."},
    {1000, 0, 0, "Одна тысяча руб. 0коп."},
    {1000, 0, 2, "Одна тысяча руб. 0коп."},
    {1001, 0, 0, "Одна тысяча один руб. 0коп."},
    {2000, 0, 0, "Две тысячи руб. 0коп."},
    {2002, 0, 1, "Две тысячи две руб. 0коп."},
    {4000, 0, 0, "Четыре тысячи руб. 0коп."},
    {5000, 0, 0, "Пять тысяч руб. 0коп."},
    {10000, 0, 0, "Десять тысяч руб. 0коп."},
    {11000, 0, 0, "Одиннадцать тысяч руб. 0коп."},
    {21000, 0, 0, "Двадцать одна тысяча руб. 0коп."},
    {1000000, 0, 0, "Один миллион руб. 0коп."},
    {1000001, 0, 0, "Один миллион один руб. 0коп."},
    {1000001, 0, 2, "Один миллион одно руб. 0коп."},
    {1002000, 0, 0, "Один миллион две тысячи руб. 0коп."},
    {2500000, 0, 0, "Два миллиона пятьсот тысяч руб. 0коп."},
    {3000000, 0, 0, "Три миллиона руб. 0коп."},
    {999999999.99, 0, 0,
     "Девятьсот девяносто девять миллионов девятьсот девяносто девять тысяч девятьсот девяносто девять руб. 99коп."},
    {1e9, 0, 0, "Один миллиард руб. 0коп."},
    {5e12, 0, 0, "Пять триллионов руб. 0коп."},
    // Sixteen digits: the group above the trillions has no scale word.
    {1e15, 0, 0, "Один руб. 0коп."},
    {-12.50, 0, 0, "Минус Двенадцать руб. 50коп."},
    // Hundredths round to nearest, ties to even.
    {0.125, 0, 0, "Нольруб. 12коп."},
    {0.375, 0, 0, "Нольруб. 38коп."},
    // Terms that cancel to a tiny negative rest read as zero, never "Минус Ноль".
    {-0.0000001, 0, 0, "Нольруб. 0коп."},
    {-0.004, 0, 0, "Нольруб. 0коп."},
    {-0.006, 0, 0, "Минус Нольруб. 1коп."},
};

const Case kUkrainian[] = {
    {0.0, 1, 0, "Нольгрн. 0коп."},
    {1, 1, 0, "Один грн. 0коп."},
    {1, 1, 1, "Одна грн. 0коп."},
    {1, 1, 2, "Однэ грн. 0коп."},
    {2, 1, 1, "Двi грн. 0коп."},
    {2, 1, 2, "Два грн. 0коп."},
    {4, 1, 0, "Чотири грн. 0коп."},
    {11, 1, 0, "Одинадцять грн. 0коп."},
    {16, 1, 0, "Шiстнадцять грн. 0коп."},
    {21, 1, 1, "Двадцять одна грн. 0коп."},
    {101, 1, 1, "Сто одна грн. 0коп."},
    {200, 1, 0, "Двiсти грн. 0коп."},
    {999, 1, 0, "Дев'ятсот дев'яносто дев'ять грн. 0коп."},
    {1000, 1, 0, "Одна тисяча грн. 0коп."},
    {2000, 1, 0, "Двi тисячi грн. 0коп."},
    {5000, 1, 0, "П'ять тисяч грн. 0коп."},
    {1000000, 1, 0, "Один мильйон грн. 0коп."},
    {5000000, 1, 0, "П'ять мильйонiв грн. 0коп."},
    {3e9, 1, 0, "Три мильйарда грн. 0коп."},
    {1e12, 1, 0, "Один трильйон грн. 0коп."},
    {-7.07, 1, 0, "Мiнус Сiм грн. 7коп."},
    {-0.0000001, 1, 0, "Нольгрн. 0коп."},
};

INSTANTIATE_TEST_SUITE_P(Russian, AmountInWordsTable, ::testing::ValuesIn(kRussian));
INSTANTIATE_TEST_SUITE_P(Ukrainian, AmountInWordsTable, ::testing::ValuesIn(kUkrainian));

TEST(NumberInWords, ZeroWordAndGroupsOfZeros)
{
    EXPECT_EQ(words::NumberInWordsRu(QStringLiteral("0"), 1), QStringLiteral("Ноль"));
    EXPECT_EQ(words::NumberInWordsUa(QStringLiteral("0"), 3), QStringLiteral("Ноль"));
    // Words end with exactly one blank, and zero groups leave no double blank.
    EXPECT_EQ(words::NumberInWordsRu(QStringLiteral("1000000"), 1), QStringLiteral("Один миллион "));
    EXPECT_EQ(words::NumberInWordsRu(QStringLiteral("100010"), 1), QStringLiteral("Сто тысяч десять "));
    EXPECT_EQ(words::NumberInWordsUa(QStringLiteral("12"), 2), QStringLiteral("Дванадцять "));
}

} // namespace
