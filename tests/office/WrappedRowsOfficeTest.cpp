// Wrapped texts grow their rows in a real LibreOffice: a template variable
// with wrapping and a 300-character text, and a protocol action of 220
// characters, come back, stored and reloaded, with rows high enough for
// every line; rows far apart fitted at once get the heights they get a few
// at a time; runs of them are fitted as one across the rows between that
// follow their contents' heights, and a row of a height of its own keeps it.

#include "OfficeEnvironment.h"
#include "automation/uno/UnoOffice.h"
#include "reports/ProtocolPrint.h"
#include "reports/TemplateReport.h"
#include "support/KeepingOffice.h"
#include "support/TemplateFixture.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#include <gtest/gtest.h>

using namespace templates;

namespace {

// One line of 10-point text is about 4.5 mm high.
constexpr int kOneLine = 600;

TEST(WrappedRowsOffice, AWrappedTemplateVariableShowsEveryLine)
{
    QFile sample(QStringLiteral(TARELIA_SAMPLES "/report_skeleton.xls"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    TestDb t;
    TemplateForm f = TableLayout(QStringLiteral("Перенос"), 7301);
    f.SHABLON = sample.readAll();
    const qint64 form = InsertTemplate(t, 2, f);
    InsertVariable(t, form, PlacedVariable(QStringLiteral("nstr"), LocTable, QStringLiteral("A1")));
    TemplateVariable name = PlacedVariable(QStringLiteral("name"), LocTable, QStringLiteral("B1"));
    name.WRAPP = 1;
    InsertVariable(t, form, name);
    InsertVariable(t, form, PlacedVariable(QStringLiteral("s5"), LocTable, QStringLiteral("F1")));
    RefreshRead(t);

    const QString longName = QStringLiteral("Салат из свежих овощей с зеленью и оливковым маслом, ").repeated(6).left(300);
    reports::StandardReport r;
    r.listNo = 2;
    r.rowCount = 2;
    r.rowVariables = [&](reports::TemplateRun& run, int row) {
        run.putText(QStringLiteral("name"), row == 0 ? longName : QStringLiteral("Чай"));
    };
    KeepingOffice keeping(TestOffice());
    reports::RunStandardReport({&t.db(), &t.read()}, keeping, t.folder() + QStringLiteral("cache/"), r);
    ASSERT_EQ(keeping.documents.size(), 1u);
    const auto back = StoreAndReload(*keeping.documents[0], QStringLiteral("wrapped_variable.ods"));
    const automation::CellState first = back->cellState({0, 1, 7});
    EXPECT_EQ(first.content, longName);
    EXPECT_TRUE(first.wrapped);
    // Column B is 6 cm wide: 300 characters need some eight lines.
    EXPECT_GT(first.rowHeight, 5 * kOneLine) << first.rowHeight;
    EXPECT_LT(back->cellState({0, 1, 8}).rowHeight, 2 * kOneLine);
    back->close();
}

TEST(WrappedRowsOffice, ALongProtocolActionShowsEveryLine)
{
    const QString action = QStringLiteral("Изменена цена продукта «Борщ украинский с пампушками» ").repeated(5).left(220);
    KeepingOffice keeping(TestOffice());
    ASSERT_TRUE(reports::ProtocolPrint::Print(
        keeping, {{{QStringLiteral("10.03.2026"), QStringLiteral("12:00:00"), QStringLiteral("Иванова М."),
                    QStringLiteral("Продукты и блюда"), action},
                   {QStringLiteral("10.03.2026"), QStringLiteral("12:01:00"), QStringLiteral("Иванова М."),
                    QStringLiteral("Система"), QStringLiteral("Выход")}}}));
    ASSERT_EQ(keeping.documents.size(), 1u);
    const auto back = StoreAndReload(*keeping.documents[0], QStringLiteral("protocol_wrapped.ods"));
    const automation::CellState row2 = back->cellState({0, 4, 1});
    EXPECT_EQ(row2.content, action);
    // Column E is 8.5 cm wide: 220 characters need four or five lines.
    EXPECT_GT(row2.rowHeight, 3 * kOneLine) << row2.rowHeight;
    EXPECT_LT(back->cellState({0, 4, 2}).rowHeight, 2 * kOneLine);
    EXPECT_LT(back->cellState({0, 4, 0}).rowHeight, 2 * kOneLine);
    back->close();
}

// Rows far apart given wrapped text at once, as a card's dish name is on every
// card, in merged areas (which only grow) and alone (which are fitted), some
// of them made tall before by a large font: the heights they get are those
// each gets when fitted with only a few others, and a merged row made tall
// keeps its height while a lone one made tall comes down.
struct Layout {
    static constexpr int kRows = 48;
    static bool merged(int i) { return i % 3 != 2; }
    static bool madeTall(int i) { return i % 8 == 5 || i % 8 == 6; }
    static int row(int i) { return 2 + 4 * i; }
    static QString text(int i)
    {
        return madeTall(i) ? QStringLiteral("Чай")
                           : QStringLiteral("Котлета \"Нежная\" по-домашнему с гарниром из пюре, ").repeated(4).left(7 + 23 * (i % 9));
    }
};

// Lays the rows out; `chunk` rows go per locked fill.
void fillRows(automation::Document& d, int chunk)
{
    using namespace automation;
    d.setColumnWidth(0, 1, 2500);
    d.setColumnWidth(0, 2, 1800);
    d.setColumnWidth(0, 3, 2200);
    Font large;
    large.name = QStringLiteral("DejaVu Sans");
    large.height = 40;
    for (int i = 0; i < Layout::kRows; ++i) {
        if (Layout::merged(i))
            d.merge({0, 1, Layout::row(i), 3, Layout::row(i)});
        if (Layout::madeTall(i)) {
            d.setFont({0, 1, Layout::row(i), 1, Layout::row(i)}, large);
            d.setString({0, 1, Layout::row(i)}, QStringLiteral("Ж"));
        }
        d.setString({0, 0, Layout::row(i)}, QStringLiteral("Блюдо:"));
    }
    Font plain;
    plain.name = QStringLiteral("DejaVu Sans");
    plain.height = 10;
    for (int from = 0; from < Layout::kRows; from += chunk) {
        d.lockControllers();
        for (int i = from; i < std::min(from + chunk, Layout::kRows); ++i) {
            const int r = Layout::row(i);
            const RangeAddress name{0, 1, r, Layout::merged(i) ? 3 : 1, r};
            d.setFont(name, plain);
            d.setString({0, 1, r}, Layout::text(i));
            d.setWrapped(name, true);
        }
        d.unlockControllers();
    }
}

TEST(WrappedRowsOffice, RowsFarApartGetTheHeightsTheyGetFewAtATime)
{
    ASSERT_TRUE(TestOffice().connect());
    auto together = TestOffice().newCalc();
    auto fewAtATime = TestOffice().newCalc();
    fillRows(*together, Layout::kRows);
    fillRows(*fewAtATime, 2);
    for (int i = 0; i < Layout::kRows; ++i) {
        const int r = Layout::row(i);
        const int height = together->cellState({0, 0, r}).rowHeight;
        EXPECT_EQ(height, fewAtATime->cellState({0, 0, r}).rowHeight) << "row " << r + 1;
        EXPECT_EQ(together->cellState({0, 0, r + 1}).rowHeight, fewAtATime->cellState({0, 0, r + 1}).rowHeight);
        if (Layout::madeTall(i) && Layout::merged(i)) {
            EXPECT_GT(height, 2 * kOneLine) << "a merged row keeps the height it had, row " << r + 1;
        } else if (Layout::madeTall(i)) {
            EXPECT_LT(height, 2 * kOneLine) << "a lone row is fitted to its text, row " << r + 1;
        } else if (Layout::text(i).size() > 100) {
            EXPECT_GT(height, 2 * kOneLine) << "a long name shows every line, row " << r + 1;
        }
    }
    together->close();
    fewAtATime->close();
}

// A sheet whose row 9 has a height of its own (1.5 cm); its other rows
// follow their contents.
QString sheetWithATallRow()
{
    const QString path = QDir(TestOfficeFolder()).filePath(QStringLiteral("tall_row.fods"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:automatic-styles>
  <style:style style:name="tall" style:family="table-row"><style:table-row-properties style:row-height="1.5cm" style:use-optimal-row-height="false"/></style:style>
 </office:automatic-styles>
 <office:body><office:spreadsheet><table:table table:name="Лист1">
  <table:table-row table:number-rows-repeated="8"><table:table-cell/></table:table-row>
  <table:table-row table:style-name="tall"><table:table-cell/></table:table-row>
  <table:table-row table:number-rows-repeated="20"><table:table-cell/></table:table-row>
 </table:table></office:spreadsheet></office:body>
</office:document>)");
    return path;
}

// Runs of wrapped rows (rows 2-4, 6-8, 10-12) with a heading in 16-point
// type between the first two and a total on the tall row between the others:
// the heading's row is fitted with the runs around it and shows its text
// whole, the tall row keeps its height.
TEST(WrappedRowsOffice, RunsJoinAcrossRowsFollowingTheirContentsButNotARowOfItsOwnHeight)
{
    using namespace automation;
    ASSERT_TRUE(TestOffice().connect());
    auto d = TestOffice().loadDocument(sheetWithATallRow());
    ASSERT_TRUE(d);
    const int tallBefore = d->cellState({0, 0, 8}).rowHeight;
    ASSERT_GT(tallBefore, 1400);
    d->setColumnWidth(0, 1, 3000);
    d->lockControllers();
    const QString longName = QStringLiteral("Котлета \"Нежная\" по-домашнему с гарниром из картофельного пюре");
    for (int run = 0; run < 3; ++run)
        for (int r = 1 + 4 * run; r < 4 + 4 * run; ++r) {
            d->setString({0, 1, r}, longName);
            d->setWrapped({0, 1, r, 1, r}, true);
        }
    Font heading;
    heading.name = QStringLiteral("DejaVu Sans");
    heading.height = 16;
    d->setFont({0, 1, 4, 1, 4}, heading);
    d->setString({0, 1, 4}, QStringLiteral("Группа"));
    d->setString({0, 1, 8}, QStringLiteral("Итого"));
    d->unlockControllers();
    for (const int r : {1, 2, 3, 5, 6, 7, 9, 10, 11})
        EXPECT_GT(d->cellState({0, 1, r}).rowHeight, 2 * kOneLine) << "row " << r + 1;
    EXPECT_GT(d->cellState({0, 1, 4}).rowHeight, kOneLine) << "the heading's 16 points";
    EXPECT_EQ(d->cellState({0, 1, 8}).rowHeight, tallBefore);
    d->close();
}

} // namespace
