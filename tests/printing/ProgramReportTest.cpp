// A report started the way the program starts it: the data module's database,
// the cache folder of that database, the installed office and the progress
// window, with a failure reaching the handler's guard.

#include "ReportGauge.h"
#include "ProgramOffice.h"
#include "automation/RecordingOffice.h"
#include "support/AppEnv.h"
#include "support/TemplateFixture.h"
#include "ui/Unit_Gauge.h"
#include "util/TemplateCacheFiles.h"
#include "util/Unit_Util.h"

#include "base/Unit_Base.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace templates;

namespace {

class ProgramReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        TemplateForm f;
        f.NAME_SHABLON = QStringLiteral("Накладная");
        f.HEAD_YX = QStringLiteral("F7");
        f.TAIL_YX = QStringLiteral("F9");
        f.START_LINE = QStringLiteral("A");
        f.END_LINE = QStringLiteral("F");
        f.UNICNAME = 77;
        f.SHABLON = QByteArray("spreadsheet");
        const qint64 form = InsertTemplate(env.testDb(), 1, f);
        InsertVariable(env.testDb(), form, PlacedVariable(QStringLiteral("name"), LocTable, QStringLiteral("B1")));
        auto owned = std::make_unique<automation::RecordingOffice>();
        office = owned.get();
        automation::SetProgramOffice(std::move(owned));
        Form_Base->TransactionRead->commit();
        Form_Base->TransactionRead->start();
    }
    void TearDown() override { automation::SetProgramOffice(nullptr); }

    reports::StandardReport report(bool failing)
    {
        reports::StandardReport r;
        r.listNo = 1;
        r.rowCount = 3;
        r.rowVariables = [failing](reports::TemplateRun& run, int row) {
            if (failing && row == 2)
                throw std::runtime_error("Строка не прочитана");
            run.putText(QStringLiteral("name"), QStringLiteral("Строка %1").arg(row + 1));
        };
        return r;
    }

    AppEnv env;
    automation::RecordingOffice* office = nullptr;
};

TEST_F(ProgramReport, FillsFromTheCacheOfThisDatabaseAndHidesTheProgressWindow)
{
    ASSERT_TRUE(Guard([&] { printing::RunProgramReport(report(false)); }));
    const QString cached = TemplateCacheFolder(Form_Base->MyDB->databaseName()) + QStringLiteral("77.xls");
    EXPECT_EQ(office->last().sourcePath, cached);
    QFile f(cached);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("spreadsheet"));
    EXPECT_EQ(office->last().at(QStringLiteral("B10")), QStringLiteral("Строка 3"));
    EXPECT_TRUE(office->last().visible);
    EXPECT_FALSE(Form_Gauge->isVisible());
    EXPECT_TRUE(env.messages.isEmpty());
}

TEST_F(ProgramReport, FailureShowsItsTextClosesTheDocumentAndTheProgressWindow)
{
    EXPECT_FALSE(Guard([&] { printing::RunProgramReport(report(true)); }));
    EXPECT_TRUE(env.sawMessage(QStringLiteral("Строка не прочитана")));
    EXPECT_TRUE(office->last().closed);
    EXPECT_EQ(office->last().controllerLocks, 0);
    EXPECT_FALSE(Form_Gauge->isVisible());

    office->reachable = false;
    env.messages.clear();
    EXPECT_FALSE(Guard([&] { printing::RunProgramReport(report(false)); }));
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Проверте установлен ли у Вас OpenOffice верссии не ниже 3.2 !")});
    EXPECT_FALSE(Form_Gauge->isVisible());
}

} // namespace
