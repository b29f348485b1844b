// The text a recorded workbook prints as for golden files, and the progress
// wrapper every long run drives.

#include "automation/BookDump.h"
#include "reports/Progress.h"

#include <gtest/gtest.h>

using namespace automation;

TEST(BookDump, CellsMergesWidthsAndFormatsInAStableOrder)
{
    RecordingOffice office;
    ASSERT_TRUE(office.connect());
    auto doc = office.newCalc();
    doc->setColumnWidth(0, 1, 3000);
    doc->setColumnWidth(0, 0, 2200);
    doc->setBlockValues({0, 0, 1}, {QVariantList{QStringLiteral("Борщ \"домашний\"\nс\\пампушками"), 12.5, 0.1 + 0.2}});
    doc->setString({0, 0, 0}, QStringLiteral("Заголовок"));
    doc->merge({0, 0, 0, 2, 0});
    doc->setWrapped({0, 0, 1, 0, 3}, true);
    doc->setHoriJustify({0, 1, 1, 2, 1}, 3);
    doc->setFont({0, 0, 0, 0, 0}, {QStringLiteral("DejaVu Sans"), 14, kWeightBold, 1, 1});
    TableBorder b;
    b.top = b.bottom = b.left = b.right = b.horizontal = b.vertical = {0, 0, 35};
    b.isTopValid = b.isBottomValid = b.isLeftValid = b.isRightValid = b.isHorizontalValid = b.isVerticalValid = true;
    doc->setTableBorder({0, 0, 1, 2, 2}, b);
    doc->fitRowHeights(0, 1, 2);
    doc->fitRowHeights(0, 4, 4);
    doc->show();

    EXPECT_EQ(DumpBook(office.last()),
              QStringLiteral("sheet 1 \"Лист1\"\n"
                             "  columns A 2200, B 3000\n"
                             "  merges A1:C1\n"
                             "  fitted rows 2-3, 5\n"
                             "  A1 text \"Заголовок\"\n"
                             "  A2 text \"Борщ \\\"домашний\\\"\\nс\\\\пампушками\"\n"
                             "  B2 number 12.5\n"
                             "  C2 number 0.30000000000000004\n"
                             "  format A2:A4 wrap\n"
                             "  format B2:C2 align right\n"
                             "  format A1 font \"DejaVu Sans\" 14 bold italic underline\n"
                             "  format A2:C3 border top 35 bottom 35 left 35 right 35\n"
                             "sheet 2 \"Лист2\"\n"
                             "shown\n"));
}

TEST(BookDump, NoWorkbookAndSeveralWorkbooks)
{
    RecordingOffice office;
    EXPECT_EQ(DumpBooks(office), QStringLiteral("no workbook\n"));
    ASSERT_TRUE(office.connect());
    office.newCalc()->lockControllers();
    office.newCalc()->close();
    const QString dump = DumpBooks(office);
    EXPECT_TRUE(dump.startsWith(QStringLiteral("== workbook 1\n"))) << dump.toStdString();
    EXPECT_TRUE(dump.contains(QStringLiteral("not shown, locks left 1/0\n== workbook 2\n"))) << dump.toStdString();
    EXPECT_TRUE(dump.endsWith(QStringLiteral("not shown, closed\n"))) << dump.toStdString();
}

TEST(Progress, ShownForItsScopeHoweverItEnds)
{
    QStringList calls;
    const reports::Progress p{[&](int m) { calls << QStringLiteral("start %1").arg(m); },
                              [&](int n) { calls << QStringLiteral("step %1").arg(n); },
                              [&] { calls << QStringLiteral("close"); }};
    try {
        reports::ProgressShown shown(p, 10);
        shown.step(3);
        shown.step(4, 10);
        shown.step(5, 20);  // the count grew while running
        throw std::runtime_error("the run failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(calls, (QStringList{QStringLiteral("start 10"), QStringLiteral("step 3"), QStringLiteral("step 4"),
                                  QStringLiteral("start 20"), QStringLiteral("step 5"), QStringLiteral("close")}));

    calls.clear();
    {
        reports::ProgressShown shown(p, 2);
        shown.close();  // before a message
        shown.step(1);
    }
    EXPECT_EQ(calls, (QStringList{QStringLiteral("start 2"), QStringLiteral("close")}));

    // No functions: a silent run.
    reports::ProgressShown silent(reports::Progress{}, 5);
    silent.step(1, 6);
}

// The office adjusts no height while the screen is locked: rows given wrapped
// text then are fitted at the last unlock; where the text starts a merged
// area the row only grows (its template height may be more than one line).
TEST(RecordingOffice, RowsWrappedWhileLockedAreFittedAtTheLastUnlock)
{
    RecordingOffice office;
    ASSERT_TRUE(office.connect());
    auto doc = office.newCalc();
    doc->setWrapped({0, 0, 0, 0, 0}, true);  // before the lock: the office fits it itself
    doc->lockControllers();
    doc->lockControllers();
    doc->merge({0, 1, 3, 4, 3});
    doc->setWrapped({0, 1, 3, 4, 3}, true);
    doc->setWrappedOn({{0, 2, 5, 2, 6}, {0, 2, 8, 2, 8}}, true);
    doc->setWrapped({0, 3, 7, 3, 7}, false);
    doc->unlockControllers();
    EXPECT_TRUE(office.last().sheets[0].fittedRows.empty());
    doc->unlockControllers();
    EXPECT_EQ(office.last().sheets[0].fittedRows, (std::set<int>{5, 6, 8}));
    EXPECT_EQ(office.last().log.filter(QStringLiteral("fitRowHeights")),
              (QStringList{QStringLiteral("fitRowHeights 5 6"), QStringLiteral("fitRowHeights 8 8")}));
    EXPECT_EQ(office.last().sheets[0].grownRows, (std::set<int>{3}));
}

// A number reads back as the office shows it in its cell's format; a cell
// nobody formatted shows the standard format's decimal point.
TEST(RecordingOffice, NumbersShowInTheirCellsFormat)
{
    struct Case {
        double v;
        const char* code;
        const char* shown;
    };
    const Case cases[] = {
        {1003, "0,00", "1003,00"},        {0.125, "0,00", "0,13"},        {-2.675, "0,00", "-2,68"},
        {0.335, "0,####", "0,335"},       {2000, "0,####", "2000"},       {0.36749999999999994, "0,####", "0,3675"},
        {0.335, "0,00##", "0,335"},       {50000, "0,00##", "50000,00"},  {33.333333333333336, "0,00##", "33,3333"},
        {-0.001, "0,00", "0,00"},         {9.995, "0,00", "10,00"},       {1003, "# ##0,00", "1\u00A0003,00"},
        {12, "0", "12"},                  {22.8, "", "22.8"},             {0.18823529411764706, "", "0.1882352941"},
        {25970.89, "@", "25970.89"},
    };
    RecordingOffice office;
    ASSERT_TRUE(office.connect());
    auto doc = office.newCalc();
    for (const Case& c : cases) {
        doc->setValue({0, 0, 0}, c.v);
        doc->setNumberFormat({0, 0, 0, 0, 0}, QString::fromUtf8(c.code));
        EXPECT_EQ(doc->cellState({0, 0, 0}).shown, QString::fromUtf8(c.shown)) << c.v << " in \"" << c.code << "\"";
    }
}
