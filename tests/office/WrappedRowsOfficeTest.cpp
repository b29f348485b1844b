// Wrapped texts grow their rows in a real LibreOffice: a template variable
// with wrapping and a 300-character text, and a protocol action of 220
// characters, come back, stored and reloaded, with rows high enough for
// every line.

#include "OfficeEnvironment.h"
#include "automation/uno/UnoOffice.h"
#include "reports/ProtocolPrint.h"
#include "reports/TemplateReport.h"
#include "support/KeepingOffice.h"
#include "support/TemplateFixture.h"

#include <QFile>

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

} // namespace
