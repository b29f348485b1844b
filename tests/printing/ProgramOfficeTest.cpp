// The program's office and its Calc context: nothing reachable until an
// office is installed, a new workbook as the context's document, a new
// connection after the use ended.

#include "ProgramOffice.h"
#include "automation/RecordingOffice.h"

#include <gtest/gtest.h>

using automation::RecordingOffice;

namespace {

TEST(ProgramOffice, CalcContextOnTheInstalledOffice)
{
    EXPECT_FALSE(automation::OfficeConnect());  // nothing installed: no office
    auto owned = std::make_unique<RecordingOffice>();
    RecordingOffice* office = owned.get();
    automation::SetProgramOffice(std::move(owned));
    ASSERT_TRUE(automation::OfficeConnect());
    ASSERT_TRUE(automation::OfficeNewCalc());
    EXPECT_EQ(automation::OfficeVariants().OfficeDocument->sheetCount(), 2);
    EXPECT_FALSE(automation::OfficeLoadDocument(QStringLiteral("/nowhere/1.xls")));
    automation::OfficeDisconnect();
    // The next use connects anew.
    ASSERT_TRUE(automation::OfficeConnect());
    EXPECT_EQ(office->connects, 2);
    automation::SetProgramOffice(nullptr);
    EXPECT_FALSE(automation::OfficeConnect());
}

} // namespace
