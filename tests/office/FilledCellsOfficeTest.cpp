// The office tells which cells hold something, and a row-buffered document
// writes a block over rows with gaps only where the gaps hold nothing: a text
// already in a gap stays, a cell with only a font stays empty with its font.

#include "OfficeEnvironment.h"
#include "automation/BufferedDocument.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

using namespace automation;

std::set<std::pair<int, int>> cellsOf(const QList<RangeAddress>& ranges)  // (row, column)
{
    std::set<std::pair<int, int>> cells;
    for (const RangeAddress& r : ranges)
        for (int row = r.startRow; row <= r.endRow; ++row)
            for (int column = r.startColumn; column <= r.endColumn; ++column)
                cells.insert({row, column});
    return cells;
}

TEST(FilledCellsOffice, ValuesTextsAndFormulasButNotFormatsOrEmptyTexts)
{
    ASSERT_TRUE(TestOffice().connect());
    auto doc = TestOffice().newCalc();
    Font bold;
    bold.name = QStringLiteral("DejaVu Sans");
    bold.weight = kWeightBold;
    doc->setValue({0, 0, 0}, 12.5);                   // A1
    doc->setString({0, 2, 1}, QStringLiteral("т"));  // C2
    doc->setFormula({0, 1, 2}, QStringLiteral("=A1*2"));  // B3
    doc->setFont({0, 3, 3, 3, 3}, bold);              // D4: a format only
    doc->setBlockValues({0, 4, 4}, {{QString()}});    // E5: an empty text
    doc->setString({0, 7, 0}, QStringLiteral("вне"));  // H1, outside the range asked
    const auto filled = doc->filledCells({0, 0, 0, 5, 5});
    ASSERT_TRUE(filled.has_value());
    EXPECT_EQ(cellsOf(*filled), (std::set<std::pair<int, int>>{{0, 0}, {1, 2}, {2, 1}}));
    EXPECT_TRUE(doc->filledCells({0, 3, 3, 4, 4})->isEmpty());
    doc->close();
}

TEST(FilledCellsOffice, BlocksOverGapsKeepWhatTheGapsHold)
{
    ASSERT_TRUE(TestOffice().connect());
    auto doc = TestOffice().newCalc();
    Font bold;
    bold.name = QStringLiteral("DejaVu Sans");
    bold.weight = kWeightBold;
    doc->setString({0, 3, 5}, QStringLiteral("занято"));  // D6, in the second band's gap
    doc->setFont({0, 2, 25, 2, 25}, bold);                 // C26, in the first band's gap: a font only
    {
        BufferedDocument buffered(*doc);
        for (int band : {20, 0})
            for (int row = band; row < band + 10; ++row) {
                buffered.setValue({0, 0, row}, row + 1);
                buffered.setString({0, 1, row}, QStringLiteral("Продукт %1").arg(row));
                buffered.setValue({0, 4, row}, row * 1.5);  // C and D left out
            }
        buffered.flush();
    }
    EXPECT_EQ(doc->cellState({0, 3, 5}).content, QStringLiteral("занято"));
    const CellState c26 = doc->cellState({0, 2, 25});
    EXPECT_FALSE(c26.content.isValid());
    EXPECT_EQ(c26.fontWeight, kWeightBold);
    EXPECT_EQ(doc->cellState({0, 1, 29}).content, QStringLiteral("Продукт 29"));
    EXPECT_EQ(doc->cellState({0, 4, 9}).content, QVariant(13.5));
    EXPECT_EQ(cellsOf(*doc->filledCells({0, 0, 0, 5, 30})).size(), 2u * 10 * 3 + 1);
    doc->close();
}

} // namespace

// What the cells hold comes back for the plain ones; a formula and a text of
// two lines are told apart. Rows written around such cells by a row-buffered
// document leave every one of them as it was.
TEST(FilledCellsOffice, PlainContentsComeBackAndTheRestIsTold)
{
    ASSERT_TRUE(TestOffice().connect());
    auto doc = TestOffice().newCalc();
    doc->setString({0, 1, 1}, QStringLiteral("Блюдо:"));          // B2
    doc->setValue({0, 2, 1}, 0.1);                                // C2
    doc->setFormula({0, 1, 3}, QStringLiteral("=C2*3"));          // B4
    doc->setString({0, 1, 4}, QStringLiteral("Выход\nпорции:"));  // B5
    const auto held = doc->contents({0, 0, 0, 2, 4});
    ASSERT_TRUE(held.has_value());
    ASSERT_EQ(held->rows.size(), 5);
    EXPECT_EQ(held->rows[1], (QVariantList{QVariant(), QStringLiteral("Блюдо:"), 0.1}));
    EXPECT_FALSE(held->rows[0][1].isValid());
    EXPECT_EQ(cellsOf(held->notPlain), (std::set<std::pair<int, int>>{{3, 1}, {4, 1}}));

    {
        BufferedDocument buffered(*doc);
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 4; ++column)
                if (!((row == 1 || row == 3 || row == 4) && column == 1))
                    buffered.setValue({0, column, row}, row * 10 + column);
        buffered.flush();
    }
    EXPECT_EQ(doc->cellState({0, 1, 1}).content, QStringLiteral("Блюдо:"));
    EXPECT_EQ(doc->cellState({0, 1, 3}).formula, QStringLiteral("=C2*3"));
    EXPECT_EQ(doc->cellState({0, 1, 3}).formulaValue, 36.0);
    EXPECT_EQ(doc->cellState({0, 1, 4}).content, QStringLiteral("Выход\nпорции:"));
    EXPECT_EQ(doc->cellState({0, 3, 7}).content, QVariant(73.0));
    doc->close();
}
