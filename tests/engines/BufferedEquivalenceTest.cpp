// The row-buffered document against one call per cell over generated runs of
// writes, formats (number formats among them) and block moves and copies (from rows written or waiting,
// onto rows waiting or apart): the stored cells must come out the same.

#include "automation/BufferedDocument.h"
#include "automation/RecordingOffice.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

using namespace automation;

// One generated operation, applied the same way to any document.
void randomStep(QRandomGenerator& rnd, Document& d, int& row)
{
    const int kind = rnd.bounded(100);
    const int column = rnd.bounded(8);
    if (kind < 45) {
        d.setString({0, column, row}, QStringLiteral("т%1").arg(rnd.bounded(1000)));
    } else if (kind < 66) {
        d.setValue({0, column, row}, rnd.bounded(10000) / 4.0);
    } else if (kind < 70) {
        // A number's column format, as a template report gives it cell by cell.
        d.setNumberFormat({0, column, row, column, row}, rnd.bounded(2) ? QStringLiteral("0,00") : QStringLiteral("0,####"));
    } else if (kind < 78) {
        TableBorder b;
        b.bottom.outerWidth = rnd.bounded(2) ? 35 : 0;
        b.isBottomValid = true;
        b.isTopValid = rnd.bounded(4) == 0;
        b.top.outerWidth = 35;
        // Now and then over the row above as well, its inner line another width:
        // lines on shared cells must land in the order they were drawn.
        const int top = row > 0 && rnd.bounded(4) == 0 ? row - 1 : row;
        b.isHorizontalValid = top < row;
        b.horizontal.outerWidth = 10;
        d.setTableBorder({0, 0, top, 7, row}, b);
    } else if (kind < 83) {
        Font f;
        f.name = QStringLiteral("DejaVu Sans");
        f.weight = rnd.bounded(2) ? kWeightBold : kWeightNormal;
        f.underline = rnd.bounded(2);
        d.setFont({0, column, row, std::min(column + rnd.bounded(3), 7), row}, f);
    } else if (kind < 86) {
        d.merge({0, column, row, std::min(column + 1, 7), row});
    } else if (kind < 88) {
        d.setWrapped({0, column, row, column, row}, true);
    } else if (kind < 90) {
        d.setHoriJustify({0, column, row, column, row}, 1 + rnd.bounded(3));
    } else if (kind < 91) {
        // A block parked on the second sheet and brought back further down.
        d.moveRange({1, 0, 0}, {0, 0, std::max(row - 3, 0), 7, row});
        d.copyRange({0, 0, row + 2}, {1, 0, 0, 7, 3});
        row += 6;
    } else if (kind < 92) {
        // The first rows, written or still waiting, copied below as a card's
        // header is, and written into at once.
        d.copyRange({0, 0, row + 1}, {0, 0, 0, 7, 2});
        d.setString({0, column, row + 2}, QStringLiteral("заголовок"));
        row += 4;
    } else if (kind < 93 && row > 4) {
        // A parked block copied over rows that may still wait for their values.
        d.copyRange({0, 0, row - 4}, {1, 0, 0, 7, 1});
    } else if (kind < 94 && row > 4) {
        // Writing again into an earlier row.
        d.setString({0, column, row - 4}, QStringLiteral("снова"));
    } else if (kind < 95 && row > 8) {
        // Rows taken out above the one written: the rows below move up.
        d.removeRows(0, row - 6, 2);
        row -= 2;
    } else {
        ++row;  // the next table row
    }
}

// The runs start on a template's cells, on both sheets: labels the writes
// go around or over, a formula and a text of two lines that no block may
// write back. The buffered document reads them once a sheet and asks the
// office nothing more about its cells.
TEST(BufferedEquivalence, GeneratedRunsStoreTheSameCells)
{
    for (quint32 seed = 1; seed <= 40; ++seed) {
        RecordingOffice plainOffice, bufferedOffice;
        plainOffice.connect();
        bufferedOffice.connect();
        auto plain = plainOffice.newCalc();
        auto inner = bufferedOffice.newCalc();
        QRandomGenerator labels(seed);
        for (int i = 0; i < 40; ++i) {
            const CellAddress at{labels.bounded(2), labels.bounded(8), labels.bounded(60)};
            const int kind = labels.bounded(10);
            for (Document* d : {plain.get(), inner.get()}) {
                if (kind == 0)
                    d->setFormula(at, QStringLiteral("=1+%1").arg(i));
                else if (kind == 1)
                    d->setString(at, QStringLiteral("две\nстроки %1").arg(i));
                else
                    d->setString(at, QStringLiteral("метка %1").arg(i));
            }
        }
        {
            BufferedDocument buffered(*inner);
            QRandomGenerator a(seed), b(seed);
            int rowA = 0, rowB = 0;
            for (int i = 0; i < 600; ++i) {
                randomStep(a, *plain, rowA);
                randomStep(b, buffered, rowB);
            }
            buffered.show();
        }
        const RecordedBook& p = plainOffice.last();
        const RecordedBook& q = bufferedOffice.last();
        for (int sheet = 0; sheet < 2; ++sheet) {
            const auto& x = p.sheets[sheet];
            const auto& y = q.sheets[sheet];
            ASSERT_EQ(x.cells.size(), y.cells.size()) << "seed " << seed;
            for (const auto& [pos, st] : x.cells) {
                const CellState other = y.cells.at(pos);
                ASSERT_EQ(st.content, other.content) << "seed " << seed << " at " << pos.first << ":" << pos.second;
                ASSERT_EQ(st.fontWeight, other.fontWeight) << "seed " << seed;
                ASSERT_EQ(st.fontUnderline, other.fontUnderline) << "seed " << seed;
                ASSERT_EQ(st.wrapped, other.wrapped) << "seed " << seed;
                ASSERT_EQ(st.numberFormat, other.numberFormat) << "seed " << seed;
                ASSERT_EQ(st.horiJustify, other.horiJustify) << "seed " << seed;
                ASSERT_EQ(st.topWidth, other.topWidth) << "seed " << seed;
                ASSERT_EQ(st.bottomWidth, other.bottomWidth) << "seed " << seed;
            }
            ASSERT_EQ(x.merges, y.merges) << "seed " << seed;
        }
        EXPECT_LT(q.cellCalls + q.rowCalls, p.cellCalls) << "seed " << seed;
        EXPECT_LE(q.readCalls, 2 * 2) << "seed " << seed;
    }
}

// Values written to two sheets in turn, the same rows on both, each stay on
// the sheet they were written to.
TEST(BufferedEquivalence, ValuesWrittenToTwoSheetsInTurnStayOnTheirSheets)
{
    RecordingOffice office;
    office.connect();
    auto inner = office.newCalc();
    if (inner->sheetCount() < 2)
        inner->insertSheet(1, QStringLiteral("Заказ"));
    {
        BufferedDocument buffered(*inner);
        for (int row = 0; row < 3; ++row) {
            buffered.setString({0, 0, row}, QStringLiteral("статистика %1").arg(row));
            buffered.setValue({1, 0, row}, row + 0.5);
            buffered.setValue({0, 1, row}, row);
        }
        buffered.setString({1, 1, 0}, QStringLiteral("заказ"));
        buffered.show();
    }
    const RecordedBook& b = office.last();
    ASSERT_GE(b.sheets.size(), 2u);
    EXPECT_EQ(b.sheets[0].cells.size(), 6u);
    EXPECT_EQ(b.sheets[1].cells.size(), 4u);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(b.sheets[0].cells.at({row, 0}).content, QStringLiteral("статистика %1").arg(row));
        EXPECT_EQ(b.sheets[0].cells.at({row, 1}).content, QVariant(double(row)));
        EXPECT_EQ(b.sheets[1].cells.at({row, 0}).content, QVariant(row + 0.5));
    }
    EXPECT_EQ(b.sheets[1].cells.at({0, 1}).content, QStringLiteral("заказ"));
}

// Rows that leave the same cells out (a statement's issues skip the receipt
// columns): where the cells left out hold nothing, the rows and the row below
// them go as one block; where one of them holds something, it keeps it, and
// each run of adjacent columns goes down the rows in one call.
TEST(BufferedEquivalence, RowsWithGapsGoAsOneBlockUnlessAGapHoldsSomething)
{
    for (const bool gapFilled : {false, true}) {
        RecordingOffice office;
        office.connect();
        auto inner = office.newCalc();
        if (gapFilled)
            inner->setString({0, 3, 10}, QStringLiteral("занято"));  // D11
        {
            BufferedDocument buffered(*inner);
            for (int row = 0; row < 50; ++row) {
                buffered.setValue({0, 0, row}, row + 1);
                buffered.setString({0, 1, row}, QStringLiteral("Продукт %1").arg(row));
                buffered.setValue({0, 4, row}, row * 1.5);  // C and D left out
                buffered.setValue({0, 5, row}, row * 3.0);
            }
            buffered.setString({0, 2, 50}, QStringLiteral("другая строка"));
            buffered.show();
        }
        const RecordedBook& b = office.last();
        if (gapFilled) {
            EXPECT_EQ(b.rowCalls, 2);       // A:B and E:F down the 50 rows
            EXPECT_EQ(b.cellCalls, 1 + 1);  // D11 before, C51
            EXPECT_EQ(b.at(QStringLiteral("D11")), QStringLiteral("занято"));
        } else {
            EXPECT_EQ(b.rowCalls, 1);  // A1:F51
            EXPECT_EQ(b.cellCalls, 0);
            EXPECT_EQ(b.sheets[0].cells.size(), 50u * 4 + 1) << "the empty cells of the block stay as they were";
        }
        EXPECT_EQ(b.at(QStringLiteral("B50")), QStringLiteral("Продукт 49"));
        EXPECT_EQ(b.at(QStringLiteral("F50")), QVariant(147.0));
        EXPECT_FALSE(b.at(QStringLiteral("C50")).isValid());
        EXPECT_FALSE(b.at(QStringLiteral("A51")).isValid());
        EXPECT_EQ(b.at(QStringLiteral("C51")), QStringLiteral("другая строка"));
    }
}

// A report's groups: a heading, its rows and a subtotal, group after group,
// go as one block when the office tells the rows hold nothing yet; a
// document whose office cannot tell sends them as before, with the same cells.
TEST(BufferedEquivalence, GroupsWithHeadingsAndSubtotalsGoAsOneBlock)
{
    for (const bool officeTells : {true, false}) {
        RecordingOffice office;
        office.connect();
        auto recorded = office.newCalc();
        std::unique_ptr<Document> untold;
        Document* inner = recorded.get();
        struct Untold : public RecordingDocument {
            using RecordingDocument::RecordingDocument;
            std::optional<QList<RangeAddress>> filledCells(const RangeAddress&) override { return std::nullopt; }
        };
        if (!officeTells) {
            untold = std::make_unique<Untold>(office.books.back());
            inner = untold.get();
        }
        {
            BufferedDocument buffered(*inner);
            int row = 2;
            for (int group = 0; group < 3; ++group) {
                buffered.setString({0, 1, row++}, QStringLiteral("Группа %1").arg(group + 1));
                for (int i = 0; i < 5; ++i, ++row)
                    for (int c = 0; c < 5; ++c)
                        buffered.setValue({0, c, row}, group * 100 + i * 10 + c);
                buffered.setValue({0, 3, row++}, group);
            }
            buffered.show();
        }
        const RecordedBook& b = office.last();
        EXPECT_EQ(b.rowCalls, officeTells ? 1 : 3);
        EXPECT_EQ(b.cellCalls, officeTells ? 0 : 6);
        EXPECT_EQ(b.sheets[0].cells.size(), 3u * (1 + 25 + 1));
        EXPECT_EQ(b.at(QStringLiteral("B3")), QStringLiteral("Группа 1"));
        EXPECT_EQ(b.at(QStringLiteral("E8")), QVariant(44.0));
        EXPECT_EQ(b.at(QStringLiteral("D9")), QVariant(0.0));
        EXPECT_EQ(b.at(QStringLiteral("B10")), QStringLiteral("Группа 2"));
        EXPECT_FALSE(b.at(QStringLiteral("A10")).isValid());
        EXPECT_EQ(b.at(QStringLiteral("D23")), QVariant(2.0));
    }
}

} // namespace

// Cards as the technological cards lay them out: a header block of labels
// and a heading row copied below the card before, its values and table rows
// written around them. Where the labels are plain texts the cards go in one
// block that writes them back as they were; a label holding a formula or a
// text of two lines would not come back from its contents, so the rows go
// around it. Either way the sheet holds what one call per cell leaves.
TEST(BufferedEquivalence, CardsAroundTheirLabelsGoAsOneBlock)
{
    struct Case {
        const char* what;
        QString label;     // B5 of the template's header
        bool formula;
        bool oneBlock;
    };
    const QList<Case> cases{{"plain labels", QStringLiteral("Выход:"), false, true},
                            {"a formula", QStringLiteral("=1+1"), true, false},
                            {"a text of two lines", QStringLiteral("Выход\nпорции:"), false, false}};
    for (const Case& c : cases) {
        RecordingOffice plainOffice, bufferedOffice;
        plainOffice.connect();
        bufferedOffice.connect();
        auto plain = plainOffice.newCalc();
        auto inner = bufferedOffice.newCalc();
        for (Document* d : {plain.get(), inner.get()}) {
            d->setString({0, 0, 0}, QStringLiteral("Технологическая карта"));
            for (int row = 1; row < 6; ++row)
                d->setString({0, 1, row}, QStringLiteral("Метка %1:").arg(row));
            if (c.formula)
                d->setFormula({0, 1, 4}, c.label);
            else
                d->setString({0, 1, 4}, c.label);
            for (int column = 0; column < 5; ++column)
                d->setString({0, column, 6}, QStringLiteral("Графа %1").arg(column));
        }
        auto fill = [](Document& d) {
            int start = 0;
            for (int card = 0; card < 6; ++card) {
                if (card > 0)
                    d.copyRange({0, 0, start}, {0, 0, 0, 4, 6});
                for (int row = 1; row < 6; ++row)
                    d.setString({0, 2, start + row}, QStringLiteral("карта %1, %2").arg(card).arg(row));
                const int lines = 3 + card % 4;
                for (int line = 0; line < lines; ++line) {
                    const int row = start + 7 + line;
                    d.setValue({0, 0, row}, line + 1);
                    d.setString({0, 1, row}, QStringLiteral("Продукт %1").arg(line));
                    d.setValue({0, 2, row}, 0.125 * line);
                    d.setValue({0, 3, row}, 0.1 * line);
                    d.setString({0, 4, row}, QStringLiteral("кг"));
                }
                start += 7 + lines + 2;
            }
        };
        fill(*plain);
        const int before = bufferedOffice.last().rowCalls + bufferedOffice.last().cellCalls;
        {
            BufferedDocument buffered(*inner);
            fill(buffered);
            buffered.show();
        }
        const RecordedBook& p = plainOffice.last();
        const RecordedBook& q = bufferedOffice.last();
        ASSERT_EQ(p.sheets[0].cells.size(), q.sheets[0].cells.size()) << c.what;
        for (const auto& [pos, st] : p.sheets[0].cells) {
            ASSERT_EQ(st.content, q.sheets[0].cells.at(pos).content) << c.what << " at " << pos.first << ":" << pos.second;
            ASSERT_EQ(st.formula, q.sheets[0].cells.at(pos).formula) << c.what;
        }
        // The first card goes before the first copy takes its header along:
        // its header values and its lines; the other five cards follow in one.
        const int calls = q.rowCalls + q.cellCalls - before;
        if (c.oneBlock)
            EXPECT_EQ(calls, 3) << c.what;
        else
            EXPECT_GE(calls, 2 * 6) << c.what;
    }
}
