// The statistics window picks with the catalogue's shared pickers, and the
// stock sub-tab's "Лимиты" opens the limits dialog, made on first use.

#include "Printing.h"
#include "Unit_ProductsTab.h"
#include "Unit_Stat.h"
#include "base/Unit_Base.h"
#include "db/Transaction.h"
#include "support/AppEnv.h"
#include "util/Messages.h"

#include <QCheckBox>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

TEST(StatisticsEntries, TheWindowPicksWithTheCataloguePickersAndLimitsOpensItsDialog)
{
    AppEnv env;
    env.testDb().exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (10, 'Столовая №1', 1)"));
    env.testDb().exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (11, 'Поставщик', 0)"));
    env.testDb().exec(QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (20, 10, 'Кухня')"));
    db::Transaction* read = Form_Base->TransactionRead;
    if (read->active())
        read->commit();
    read->start();

    QStringList shown;
    Msg::setModalHandler([&](QDialog* d) {
        shown << d->windowTitle();
        if (d == Form_Stat) {
            Form_Stat->CB_AllFirma->click();
            Form_Stat->Btn_FirmaClick();
            Form_Stat->CB_AllOtdel->click();
            Form_Stat->Btn_OtdelClick();
            return static_cast<int>(QDialog::Rejected);
        }
        return static_cast<int>(QDialog::Accepted);  // the pickers: their first row
    });
    EXPECT_EQ(Form_Stat, nullptr);
    printing::ShowStatistics();
    ASSERT_NE(Form_Stat, nullptr);
    EXPECT_EQ(Form_Stat->P_NameFirma->text(), QStringLiteral("Столовая №1"));
    EXPECT_EQ(Form_Stat->KodFirma, 10);
    EXPECT_EQ(Form_Stat->P_NameOtdel->text(), QStringLiteral("Кухня"));
    EXPECT_EQ(Form_Stat->KodOtdel, 20);

    ProductsTab->BitBtn1Click();
    ASSERT_NE(Form_Limit, nullptr);
    EXPECT_EQ(shown.last(), QStringLiteral("Печать лимитов"));
    Msg::setModalHandler({});
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join('\n').toStdString();
}

} // namespace
