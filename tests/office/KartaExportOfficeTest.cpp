// The costing card export in a real LibreOffice: the office computes each
// row's amount and the total.

#include "OfficeEnvironment.h"
#include "automation/uno/UnoOffice.h"
#include "support/KeepingOffice.h"
#include "workbooks/KartaExport.h"

#include <gtest/gtest.h>

namespace {

TEST(KartaExportOffice, TheOfficeComputesTheAmountsAndTheirTotal)
{
    KeepingOffice keeping(TestOffice());
    costing::AmountList list;
    list.pushHead({11, 1, 0, 1, 1, 1, 90, 0.3, 0.27, 40, 40, 0, QStringLiteral("Морковь")});
    list.pushHead({10, 1, 0, 1, 1, 1, 80, 0.5, 0.4, 30, 30, 0, QStringLiteral("Картофель")});
    list.pushHead({7, 1, 2, 0, 1, 1, 100, 1, 1, 0, 0, 0, QStringLiteral("Пюре")});
    workbooks::cardexport::Write(keeping, std::move(list), QStringLiteral("Пюре"));
    ASSERT_EQ(keeping.documents.size(), 1u);
    automation::Document& doc = *keeping.documents[0];
    EXPECT_EQ(doc.cellState({0, 8, 3}).formula, QStringLiteral("=B4 * D4"));
    EXPECT_DOUBLE_EQ(doc.cellState({0, 8, 3}).formulaValue, 15.0);
    EXPECT_EQ(doc.cellState({0, 8, 5}).formula, QStringLiteral("=SUM(I3:I5)"));
    EXPECT_DOUBLE_EQ(doc.cellState({0, 8, 5}).formulaValue, 27.0);
    EXPECT_EQ(doc.cellState({0, 5, 2}).content, QStringLiteral("7"));
    doc.close();
}

} // namespace
