// A template report's table as the office receives it: one formatted table
// variable keeps the rows buffered (formats go once per run of rows), rows
// given wrapped text have their heights fitted once the document is
// unlocked, and numbers written inside texts round ties to even, as amounts
// in words do.

#include "automation/RecordingOffice.h"
#include "reports/TemplateReport.h"
#include "support/EngineEnv.h"
#include "support/TemplateFixture.h"
#include "templates/TemplateEngine.h"
#include "words/AmountInWords.h"

#include <gtest/gtest.h>

using namespace templates;
using automation::RecordedBook;
using automation::RecordingOffice;

namespace {

class ReportRows : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = InsertTemplate(env.t, 2, TableLayout(QStringLiteral("Строки"), 601));
        // Fifteen table variables in columns A to O; the last ends the row.
        for (int c = 0; c < 15; ++c) {
            TemplateVariable v = PlacedVariable(QStringLiteral("v%1").arg(c), LocTable,
                                                automation::CellName(c, 0));
            if (c == 3) {
                v.MY_FONT = 1;
                v.FONT_NAME = QStringLiteral("DejaVu Sans");
                v.FONT_SIZE = 9;
                v.FONT_BOLD = 1;
            }
            if (c == 5)
                v.WRAPP = 1;
            if (c == 7) {
                v.MY_HORIZONTAL_ALIGNMENT = 1;
                v.HORIZONTAL_ALIGNMENT = 4;
            }
            InsertVariable(env.t, form, v);
        }
        TemplateVariable total = PlacedVariable(QStringLiteral("sum_all"), LocEnd, QStringLiteral("B1"));
        total.TEXT_BEFORE_VALUE = QStringLiteral("Итого:");
        total.TEXT_AFTER_VALUE = QStringLiteral("руб.");
        InsertVariable(env.t, form, total);
        InsertVariable(env.t, form, PlacedVariable(QStringLiteral("sum_txt"), LocEnd, QStringLiteral("B2")));
        RefreshRead(env.t);
    }

    const RecordedBook& run(int rows, double total)
    {
        reports::StandardReport r;
        r.listNo = 2;
        r.rowCount = rows;
        r.spareVariables.clear();
        r.rowVariables = [](reports::TemplateRun& run, int row) {
            for (int c = 0; c < 15; ++c)
                run.putText(QStringLiteral("v%1").arg(c), QStringLiteral("строка %1 ячейка %2").arg(row).arg(c),
                            c == 14 ? RowNext : RowStay);
        };
        r.end = [total](reports::TemplateRun& run, const QVector<qint64>&) {
            run.putFloat(QStringLiteral("sum_all"), total);
            words::MoneyNames names;
            names.rub = QStringLiteral("руб.");
            names.kop = QStringLiteral("коп.");
            run.putText(QStringLiteral("sum_txt"), words::AmountInWords(total, names));
        };
        reports::RunStandardReport(env.ctx(), office, env.t.folder() + QStringLiteral("cache/"), r);
        return office.last();
    }

    EngineEnv env;
    qint64 form = 0;
    RecordingOffice office;
};

TEST_F(ReportRows, AFormattedVariableKeepsTheRowsBufferedAndWrappedRowsGrow)
{
    const RecordedBook& b = run(5000, 0);
    // Table rows 8..5007 (0-based 7..5006): values in blocks, each format once over the run.
    EXPECT_LE(b.rowCalls, 10) << b.rowCalls;
    EXPECT_LE(b.formatCalls, 10) << b.formatCalls << ": formats must go per run of rows, not per row";
    const automation::CellState bold = b.stateAt(QStringLiteral("D5007"));
    EXPECT_EQ(bold.fontWeight, automation::kWeightBold);
    EXPECT_EQ(bold.fontName, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(b.stateAt(QStringLiteral("D8")).fontHeight, 9);
    EXPECT_EQ(b.stateAt(QStringLiteral("C8")).fontName, QString());
    EXPECT_TRUE(b.stateAt(QStringLiteral("F5007")).wrapped);
    EXPECT_EQ(b.stateAt(QStringLiteral("H100")).horiJustify, 3);
    EXPECT_EQ(b.at(QStringLiteral("O5007")), QStringLiteral("строка 4999 ячейка 14"));

    // The wrapped rows, and only they, are fitted after the document is unlocked.
    const std::set<int>& fitted = b.sheets[0].fittedRows;
    ASSERT_EQ(fitted.size(), 5000u);
    EXPECT_EQ(*fitted.begin(), 7);
    EXPECT_EQ(*fitted.rbegin(), 5006);
    EXPECT_GT(b.log.indexOf(QStringLiteral("fitRowHeights 7 5006")), b.log.lastIndexOf(QStringLiteral("unlockControllers")));
}

TEST_F(ReportRows, TiesInTextsRoundToEvenAsTheAmountInWords)
{
    R_Field v;
    v.Typ = KindFloat;
    for (const auto& [value, text] : std::vector<std::pair<double, const char*>>{
             {0.125, "0,12"}, {0.375, "0,38"}, {2.5, "2,50"}, {-0.125, "-0,12"}, {-0.001, "0,00"}, {1234.5678, "1234,57"}}) {
        v.F = value;
        EXPECT_EQ(ValueText(v), QString::fromUtf8(text)) << value;
    }
    const RecordedBook& b = run(0, 0.125);
    // The end block stands right under the header: row 8.
    EXPECT_EQ(b.at(QStringLiteral("B8")), QStringLiteral("Итого: 0,12 руб."));
    EXPECT_EQ(b.at(QStringLiteral("B9")), QStringLiteral("Нольруб. 12коп."));
    EXPECT_TRUE(b.sheets[0].fittedRows.empty());
}

} // namespace
