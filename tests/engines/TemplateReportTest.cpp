// The report run against the in-memory office on a real database: header,
// headings, subtotals, the closing of inner groups, the end block, failures.

#include "automation/RecordingOffice.h"
#include "reports/TemplateReport.h"
#include "support/TemplateFixture.h"
#include "words/AmountInWords.h"

#include "engine/Kopecks.h"

#include <gtest/gtest.h>

using namespace templates;
using automation::RecordedBook;
using automation::RecordingOffice;

namespace {

struct Line {
    int otdel;
    const char* otdelName;
    int group;
    const char* groupName;
    const char* name;
    double summa;
};

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TemplateForm f;
        f.NAME_SHABLON = QStringLiteral("Ведомость");
        f.HEAD_YX = QStringLiteral("F7");
        f.TAIL_YX = QStringLiteral("F12");
        f.START_LINE = QStringLiteral("A");
        f.END_LINE = QStringLiteral("F");
        f.SETKA = OutlineGrid;
        f.UNICNAME = 501;
        f.SHABLON = QByteArray("xls");
        form = InsertTemplate(t, 2, f);

        RecordedBook b;
        b.sheets.resize(1);
        b.sheets[0].cells[{0, 0}].content = QStringLiteral("Остатки");
        b.sheets[0].cells[{7, 0}].content = QStringLiteral("Итого");
        b.sheets[0].cells[{11, 0}].content = QStringLiteral("Подпись");
        office.prototype = b;

        progress.start = [this](int max) { log << QStringLiteral("start %1").arg(max); };
        progress.step = [this](int pos) { lastStep = pos; };
        progress.close = [this] { log << QStringLiteral("close"); };
    }

    void variable(const TemplateVariable& v) { InsertVariable(t, form, v); }

    // The usual variables of a report with departments and groups.
    void standardVariables(bool withGroupSubtotal = true, bool otdelHeading = true)
    {
        variable(PlacedVariable(QStringLiteral("name_d"), LocHeader, QStringLiteral("B2")));
        TemplateVariable otdel2 = PlacedVariable(QStringLiteral("otdel2"), LocGroup, QStringLiteral("A1"));
        otdel2.ENABLED = otdelHeading ? 1 : 0;
        variable(otdel2);
        variable(PlacedVariable(QStringLiteral("group2"), LocGroup, QStringLiteral("B1")));
        if (withGroupSubtotal) {
            variable(PlacedVariable(QStringLiteral("sum_g"), LocGroup, QStringLiteral("F1")));
            TemplateVariable ng = PlacedVariable(QStringLiteral("n_g"), LocGroup, QStringLiteral("A1"));
            ng.ENABLED = 0;
            variable(ng);
        }
        variable(PlacedVariable(QStringLiteral("sum_o"), LocGroup, QStringLiteral("F1")));
        variable(PlacedVariable(QStringLiteral("nstr"), LocTable, QStringLiteral("A1")));
        variable(PlacedVariable(QStringLiteral("name"), LocTable, QStringLiteral("B1")));
        variable(PlacedVariable(QStringLiteral("summa"), LocTable, QStringLiteral("F1")));
        TemplateVariable s5 = PlacedVariable(QStringLiteral("s5"), LocTable, QStringLiteral("E1"));
        s5.STATIC_TYPE = 1;
        s5.TEXT_STATIC = QStringLiteral("шт.");
        variable(s5);
        variable(PlacedVariable(QStringLiteral("sum_all"), LocEnd, QStringLiteral("F1")));
        TemplateVariable txt = PlacedVariable(QStringLiteral("sum_txt"), LocEnd, QStringLiteral("A3"),
                                              QStringLiteral("F3"));
        txt.MERGEE = 1;
        variable(txt);
    }

    reports::StandardReport report(const QVector<Line>& lines)
    {
        reports::StandardReport r;
        r.listNo = 2;
        r.levels = {{QStringLiteral("otdel2"), {QStringLiteral("sum_o")}, QStringLiteral("n_o")},
                    {QStringLiteral("group2"), {QStringLiteral("sum_g")}, QStringLiteral("n_g")}};
        r.rowCount = static_cast<int>(lines.size());
        r.header = [](reports::TemplateRun& run) { run.putText(QStringLiteral("name_d"), QStringLiteral("Остатки")); };
        r.groupCode = [lines](int row, int level) {
            return QString::number(level == 0 ? lines[row].otdel : lines[row].group);
        };
        r.groupName = [lines](int row, int level) {
            return QString::fromUtf8(level == 0 ? lines[row].otdelName : lines[row].groupName);
        };
        r.amounts = [lines](int row) { return QVector<qint64>{engine::Kopecks(lines[row].summa)}; };
        r.rowVariables = [lines](reports::TemplateRun& run, int row) {
            run.putText(QStringLiteral("name"), QString::fromUtf8(lines[row].name));
            run.putAmount(QStringLiteral("summa"), 0);
        };
        r.end = [](reports::TemplateRun& run, const QVector<qint64>& totals) {
            const double total = totals.value(0) / 100.0;
            run.putKopecks(QStringLiteral("sum_all"), totals.value(0));
            words::MoneyNames names;
            names.rub = QStringLiteral("руб.");
            names.kop = QStringLiteral("коп.");
            run.putText(QStringLiteral("sum_txt"), words::AmountInWords(total, names));
        };
        return r;
    }

    void run(const reports::StandardReport& r)
    {
        RefreshRead(t);
        reports::RunStandardReport({&t.db(), &t.read()}, office, t.folder() + QStringLiteral("templates/"), r,
                                   progress);
    }

    QVariant at(const char* a1) { return office.last().at(QString::fromLatin1(a1)); }

    TestDb t;
    qint64 form = 0;
    RecordingOffice office;
    reports::Progress progress;
    QStringList log;
    int lastStep = 0;
};

TEST_F(ReportTest, EmptyDataPutsTheEndBlockUnderTheHeader)
{
    standardVariables();
    run(report({}));
    EXPECT_EQ(at("B2"), QStringLiteral("Остатки"));
    EXPECT_EQ(at("A1"), QStringLiteral("Остатки"));
    EXPECT_EQ(at("A8"), QStringLiteral("Итого"));
    EXPECT_EQ(at("F8"), QVariant(0.0));
    EXPECT_EQ(at("A10"), QStringLiteral("Нольруб. 0коп."));
    EXPECT_EQ(at("A12"), QStringLiteral("Подпись"));
    EXPECT_EQ(office.last().cellCalls + office.last().rowCalls, 3);  // name_d, sum_all and sum_txt only
    EXPECT_EQ(log, (QStringList{QStringLiteral("start 0"), QStringLiteral("close")}));
    EXPECT_TRUE(office.last().visible);
}

TEST_F(ReportTest, HeadingsRowsSubtotalsAndAnOuterChangeClosingTheInnerGroup)
{
    standardVariables();
    run(report({{1, "Кухня", 10, "Овощи", "Морковь", 10},
                {1, "Кухня", 10, "Овощи", "Лук", 20},
                {1, "Кухня", 11, "Мясо", "Говядина", 5},
                // The same group code continues into the next department.
                {2, "Бар", 11, "Мясо", "Свинина", 7}}));
    EXPECT_EQ(at("A8"), QStringLiteral("Кухня"));
    EXPECT_EQ(at("B9"), QStringLiteral("Овощи"));
    EXPECT_EQ(at("A10"), QVariant(1.0));
    EXPECT_EQ(at("B10"), QStringLiteral("Морковь"));
    EXPECT_EQ(at("E10"), QStringLiteral("шт."));
    EXPECT_EQ(at("A11"), QVariant(2.0));
    EXPECT_EQ(at("F12"), QVariant(30.0));  // Овощи
    EXPECT_EQ(at("B13"), QStringLiteral("Мясо"));
    EXPECT_EQ(at("B14"), QStringLiteral("Говядина"));
    EXPECT_EQ(at("F15"), QVariant(5.0));   // Мясо of Кухня closes before the department
    EXPECT_EQ(at("F16"), QVariant(35.0));  // Кухня
    EXPECT_EQ(at("A17"), QStringLiteral("Бар"));
    EXPECT_EQ(at("B18"), QStringLiteral("Мясо"));  // heading again under the new department
    EXPECT_EQ(at("A19"), QVariant(4.0));
    EXPECT_EQ(at("F20"), QVariant(7.0));   // Мясо of Бар alone
    EXPECT_EQ(at("F21"), QVariant(7.0));   // Бар
    EXPECT_EQ(at("A22"), QStringLiteral("Итого"));
    EXPECT_EQ(at("F22"), QVariant(42.0));
    EXPECT_EQ(at("A24"), QStringLiteral("Сорок два руб. 0коп."));
    EXPECT_EQ(lastStep, 4);
    // The grid ends on the last subtotal row.
    RecordedBook& b = office.last();
    EXPECT_EQ(b.stateAt(QStringLiteral("F21")).bottomWidth, 35);
    EXPECT_EQ(b.stateAt(QStringLiteral("A22")).topWidth, 0);
    EXPECT_EQ(b.controllerLocks, 0);
    EXPECT_EQ(log.back(), QStringLiteral("close"));
}

TEST_F(ReportTest, DisabledHeadingTakesNoRowMissingSubtotalStillTakesOne)
{
    standardVariables(false, false);
    run(report({{1, "Кухня", 10, "Овощи", "Морковь", 10}, {1, "Кухня", 11, "Мясо", "Говядина", 5}}));
    EXPECT_EQ(at("B8"), QStringLiteral("Овощи"));
    EXPECT_EQ(at("B9"), QStringLiteral("Морковь"));
    EXPECT_FALSE(at("A10").isValid());  // the group's row, without subtotal variables
    EXPECT_EQ(at("B11"), QStringLiteral("Мясо"));
    EXPECT_EQ(at("B12"), QStringLiteral("Говядина"));
    EXPECT_FALSE(at("F13").isValid());
    EXPECT_EQ(at("F14"), QVariant(15.0));  // department subtotal
    EXPECT_EQ(at("A15"), QStringLiteral("Итого"));
}

TEST_F(ReportTest, FailurePartWayClosesTheDocumentAndTheProgressWindow)
{
    standardVariables();
    auto r = report({{1, "Кухня", 10, "Овощи", "Морковь", 10}, {1, "Кухня", 10, "Овощи", "Лук", 20}});
    auto rowVariables = r.rowVariables;
    r.rowVariables = [rowVariables](reports::TemplateRun& run, int row) {
        if (row == 1)
            throw std::runtime_error("обрыв связи");
        rowVariables(run, row);
    };
    EXPECT_THROW(run(r), std::runtime_error);
    RecordedBook& b = office.last();
    EXPECT_TRUE(b.closed);
    EXPECT_FALSE(b.visible);
    EXPECT_EQ(b.controllerLocks, 0);
    EXPECT_EQ(b.actionLocks, 0);
    EXPECT_FALSE(office.connected());
    EXPECT_EQ(log.back(), QStringLiteral("close"));

    // A row that prints a figure of its own for the amount it sums stops the run.
    auto own = report({{1, "Кухня", 10, "Овощи", "Морковь", 10}});
    own.rowVariables = [](reports::TemplateRun& run, int) { run.putKopecks(QStringLiteral("summa"), 1000); };
    EXPECT_THROW(run(own), std::logic_error);
    EXPECT_TRUE(office.last().closed);
}

TEST_F(ReportTest, NoDefaultTemplateOrBadTemplateStartsNothing)
{
    standardVariables();
    auto r = report({});
    r.listNo = 3;
    try {
        run(r);
        FAIL();
    } catch (const TemplateError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Для этого списка печати не назначен шаблон по умолчанию !"));
    }
    // A template whose enabled variable names no cell.
    variable(PlacedVariable(QStringLiteral("date"), LocHeader, QStringLiteral("c3")));
    EXPECT_THROW(run(report({})), TemplateError);
    EXPECT_EQ(office.connects, 0);
    EXPECT_TRUE(log.isEmpty());
}

} // namespace
