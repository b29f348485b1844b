// A column of formulas written into a real office: one formula per row,
// relative to its row, comes out as asked (the office fills it down from the
// first cell); formulas that do not follow their row, or a column where a
// cell has a format of its own, come out as asked too, the format kept.

#include "OfficeEnvironment.h"

#include <gtest/gtest.h>

namespace {

using namespace automation;

QList<QStringList> column(int rows, const std::function<QString(int)>& formulaOfRow)
{
    QList<QStringList> out;
    for (int r = 4; r < 4 + rows; ++r)
        out.append(QStringList{formulaOfRow(r)});
    return out;
}

TEST(FormulaColumnOffice, EachRowGetsTheFormulaAskedForItsFormatsKept)
{
    ASSERT_TRUE(TestOffice().connect());
    auto doc = TestOffice().newCalc();
    QList<QVariantList> values;
    for (int r = 4; r < 4 + 120; ++r)
        values.append(QVariantList{r * 1.0, 0.5});
    doc->setBlockValues({0, 3, 3}, values);  // D4:E123
    doc->setBlockValues({1, 3, 3}, values);
    Font bold;
    bold.name = QStringLiteral("DejaVu Sans");
    bold.weight = kWeightBold;
    doc->setFont({1, 5, 70, 5, 70}, bold);  // F71 of the second sheet has a format of its own

    struct Case {
        const char* what;
        int sheet, column;
        std::function<QString(int)> formula;
    };
    const Case cases[] = {
        {"one formula down the rows", 0, 5, [](int r) { return QStringLiteral("=D%1*E%1").arg(r); }},
        {"the same cells on every row", 0, 6, [](int) { return QStringLiteral("=D4*E4"); }},
        {"a row that breaks the pattern", 0, 7,
         [](int r) { return r == 90 ? QStringLiteral("=D4+1") : QStringLiteral("=D%1*E%1").arg(r); }},
        {"over a cell with its own font", 1, 5, [](int r) { return QStringLiteral("=D%1*E%1").arg(r); }},
    };
    for (const Case& c : cases) {
        const QList<QStringList> asked = column(120, c.formula);
        doc->setBlockFormulas({c.sheet, c.column, 3}, asked);
        for (int i = 0; i < asked.size(); ++i) {
            const CellState st = doc->cellState({c.sheet, c.column, 3 + i});
            ASSERT_EQ(st.formula, asked[i].front()) << c.what << ", row " << 4 + i;
        }
    }
    EXPECT_DOUBLE_EQ(doc->cellState({0, 5, 3}).formulaValue, 2.0);    // F4 = 4 * 0.5
    EXPECT_DOUBLE_EQ(doc->cellState({0, 5, 122}).formulaValue, 61.5);  // F123
    EXPECT_EQ(doc->cellState({1, 5, 70}).fontWeight, kWeightBold);
    EXPECT_EQ(doc->cellState({1, 5, 71}).fontWeight, kWeightNormal);
    doc->close();
}

} // namespace
