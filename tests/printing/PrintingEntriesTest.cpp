// What the other subsystems call of printing: amounts in words after the
// settings as they stand, and the warning window's print into Calc.

#include "ProgramOffice.h"
#include "automation/RecordingOffice.h"
#include "entries/AmountInWords.h"
#include "support/AppEnv.h"
#include "ui/Unit_Alarm.h"
#include "util/Settings.h"

#include <gtest/gtest.h>

namespace {

TEST(PrintingEntries, AmountInWordsReadsTheSettingsAtEachCall)
{
    AppEnv env;
    MyParams->v.rub = QStringLiteral("руб.");
    MyParams->v.kop = QStringLiteral("коп.");
    MyParams->v.my_language = 0;
    MyParams->v.rod = 1;
    EXPECT_EQ(printing::AmountInWords(21.5), QStringLiteral("Двадцать одна руб. 50коп."));
    MyParams->v.my_language = 1;
    MyParams->v.rod = 2;
    MyParams->v.rub = QStringLiteral("грн.");
    EXPECT_EQ(printing::AmountInWords(1), QStringLiteral("Однэ грн. 0коп."));
}

TEST(PrintingEntries, WarningLinesGoToCalcWhicheverProgramIsChosen)
{
    AppEnv env;
    auto owned = std::make_unique<automation::RecordingOffice>();
    automation::RecordingOffice* office = owned.get();
    automation::SetProgramOffice(std::move(owned));
    for (bool openOffice : {false, true}) {
        MyParams->v.PrintPrgOpenOffice = openOffice;
        PrintLinesToSpreadsheet({QStringLiteral("Нулевая цена у продукта << Чай >>"), QStringLiteral("вторая")});
        automation::RecordedBook& book = office->last();
        EXPECT_EQ(book.at(QStringLiteral("A1")), QStringLiteral("Нулевая цена у продукта << Чай >>"));
        EXPECT_EQ(book.at(QStringLiteral("A2")), QStringLiteral("вторая"));
        EXPECT_TRUE(book.visible);
        EXPECT_FALSE(office->connected());
    }
    EXPECT_EQ(office->books.size(), 2);
    EXPECT_TRUE(env.messages.isEmpty());

    office->reachable = false;
    PrintLinesToSpreadsheet({QStringLiteral("x")});
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Проверте установлен ли у Вас OpenOffice верссии не ниже 3.2 !")});
    automation::SetProgramOffice(nullptr);
}

} // namespace
