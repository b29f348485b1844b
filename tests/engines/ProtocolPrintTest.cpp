// The protocol printed into a new workbook: the layout of the sheet, the
// lines sent in blocks, an empty selection, an office that cannot be reached,
// and the rows read with every filter of the protocol tab in its order.

#include "support/EngineEnv.h"
#include "support/ReportGolden.h"
#include "support/TemplateFixture.h"

#include "automation/RecordingOffice.h"
#include "engine/ProtocolFilter.h"
#include "reports/ProtocolPrint.h"

#include <QJsonObject>

#include <gtest/gtest.h>

using automation::RecordingOffice;
using reports::ProtocolPrint::Line;

// The protocol tab's list on a filter, opened as the tab opens it.
static std::unique_ptr<db::Query> tabList(const engine::Context& ctx, const protocol::Filter& f)
{
    const protocol::Statement st = protocol::Select(f);
    auto q = std::make_unique<db::Query>(ctx.database, ctx.read);
    q->setSql(st.sql);
    for (auto it = st.params.begin(); it != st.params.end(); ++it)
        q->param(it.key()).setValue(it.value());
    q->open();
    return q;
}

static bool print(automation::Office& office, const QList<Line>& lines, const reports::Progress& progress = {})
{
    return reports::ProtocolPrint::Print(office, {lines}, progress);
}

namespace {

QList<Line> generated(int n)
{
    QList<Line> lines;
    for (int i = 0; i < n; ++i)
        lines.append({QStringLiteral("10.03.2026"), QStringLiteral("09:%1:00").arg(i % 60, 2, 10, QLatin1Char('0')),
                      QStringLiteral("Иванова М."), QStringLiteral("Настройка"), QStringLiteral("Действие №%1").arg(i + 1)});
    return lines;
}

TEST(ProtocolPrint, LinesGoInBlocksUnderTheHeaderFramedAndWrapped)
{
    RecordingOffice office;
    QList<int> progress;
    int maximum = -1;
    bool closed = false;
    ASSERT_TRUE(print(office, generated(1201),
                      {[&](int m) { maximum = m; }, [&](int n) { progress << n; }, [&] { closed = true; }}));
    EXPECT_EQ(maximum, 1201);
    EXPECT_TRUE(closed);
    ASSERT_EQ(office.books.size(), 1);
    const automation::RecordedBook& b = office.last();
    const QStringList header{QStringLiteral("Дата"), QStringLiteral("Время"), QStringLiteral("Фио"),
                             QStringLiteral("Окно программы"), QStringLiteral("Действия")};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(b.state({0, c, 0}).content.toString(), header[c]);
    EXPECT_EQ(b.at(QStringLiteral("E2")).toString(), QStringLiteral("Действие №1"));
    EXPECT_EQ(b.at(QStringLiteral("C1202")).toString(), QStringLiteral("Иванова М."));
    EXPECT_EQ(b.at(QStringLiteral("E1202")).toString(), QStringLiteral("Действие №1201"));
    EXPECT_FALSE(b.at(QStringLiteral("A1203")).isValid());
    // Never cell by cell: the header and three blocks of rows.
    EXPECT_EQ(b.cellCalls, 0);
    EXPECT_EQ(b.rowCalls, 1 + 3);
    EXPECT_EQ(progress, (QList<int>{500, 1000, 1201}));
    EXPECT_EQ(b.sheets[0].columnWidths, (std::map<int, int>{{0, 2300}, {1, 1800}, {2, 3500}, {3, 3500}, {4, 8200}}));
    // Wrapped over the written rows, whose heights are fitted after the unlock.
    EXPECT_TRUE(b.stateAt(QStringLiteral("E1202")).wrapped);
    EXPECT_FALSE(b.stateAt(QStringLiteral("E1203")).wrapped);
    EXPECT_EQ(b.sheets[0].fittedRows.size(), 1202u);
    EXPECT_GT(b.log.indexOf(QStringLiteral("fitRowHeights 0 1201")), b.log.indexOf(QStringLiteral("unlockControllers")));
    EXPECT_TRUE(b.stateAt(QStringLiteral("C2")).wrapped);
    EXPECT_TRUE(b.stateAt(QStringLiteral("D2")).wrapped);
    EXPECT_FALSE(b.stateAt(QStringLiteral("B2")).wrapped);
    // The frame round A1:E1202 and between its cells.
    EXPECT_EQ(b.stateAt(QStringLiteral("A1")).topWidth, 35);
    EXPECT_EQ(b.stateAt(QStringLiteral("C600")).leftWidth, 35);
    EXPECT_EQ(b.stateAt(QStringLiteral("E1202")).bottomWidth, 35);
    EXPECT_EQ(b.stateAt(QStringLiteral("E1202")).rightWidth, 35);
    EXPECT_EQ(b.stateAt(QStringLiteral("A1203")).topWidth, 0);
    EXPECT_TRUE(b.visible);
    EXPECT_EQ(b.controllerLocks, 0);
    EXPECT_EQ(b.actionLocks, 0);
    EXPECT_FALSE(office.connected());
}

TEST(ProtocolPrint, AnEmptySelectionGivesTheFramedHeaderAndNoOfficeGivesNothing)
{
    RecordingOffice office;
    ASSERT_TRUE(print(office, {}));
    const automation::RecordedBook& b = office.last();
    EXPECT_EQ(b.stateAt(QStringLiteral("A1")).bottomWidth, 35);
    EXPECT_EQ(b.stateAt(QStringLiteral("E1")).rightWidth, 35);
    EXPECT_FALSE(b.at(QStringLiteral("A2")).isValid());
    EXPECT_EQ(b.stateAt(QStringLiteral("A2")).topWidth, 0);

    RecordingOffice none;
    none.reachable = false;
    bool closed = false;
    EXPECT_FALSE(print(none, generated(3), {{}, {}, [&] { closed = true; }}));
    EXPECT_TRUE(none.books.isEmpty());
    EXPECT_TRUE(closed) << "the progress window stays up";
}

class ProtocolRowsTest : public ::testing::Test {
protected:
    EngineEnv env;

    void line(const QDate& d, const char* time, qint64 user, const char* login, const char* area, const char* action)
    {
        env.t.write().start();
        db::Query q(&env.t.db(), &env.t.write());
        q.setSql(QStringLiteral("INSERT INTO LOG_TABLE (MY_DATE, MY_TIME, P_LOGIN, P_FIO, ARM, WHAT_ACTION, K_LOGIN) "
                                "VALUES (:D, :T, :L, :F, :A, :W, :K)"));
        q.param(QStringLiteral("D")).setDate(d);
        q.param(QStringLiteral("T")).setTime(QTime::fromString(QString::fromLatin1(time), QStringLiteral("HH:mm:ss")));
        q.param(QStringLiteral("L")).setString(QString::fromUtf8(login));
        q.param(QStringLiteral("F")).setString(QString::fromUtf8(login) + QStringLiteral(" (ФИО)"));
        q.param(QStringLiteral("A")).setString(QString::fromUtf8(area));
        q.param(QStringLiteral("W")).setString(QString::fromUtf8(action));
        q.param(QStringLiteral("K")).setInt64(user);
        q.execSql();
        env.t.write().commit();
    }

    void SetUp() override
    {
        env.t.exec(QStringLiteral("DELETE FROM LOG_TABLE"));
        const QDate day(2026, 3, 10);
        line(day, "10:00:00", 1, "admin", "Система", "Открытие программы");
        line(day, "09:00:00", 2, "petrov", "Продукты и блюда", "Принят O'Neil");
        line(day, "11:30:00", 2, "petrov", "Протокол", "Удаление 50% строк");
        line(day.addDays(-1), "23:00:00", 1, "admin", "Движение", "Проведён документ");
        RefreshRead(env.t);
    }

    // What the print copies of the tab's list on the filter.
    QStringList actions(const protocol::Filter& f)
    {
        QStringList out;
        for (const Line& l : reports::ProtocolPrint::LinesOf(*tabList(env.ctx(), f)))
            out << l.action;
        return out;
    }
};

TEST_F(ProtocolRowsTest, TheTabsFiltersAndOrderAreFollowed)
{
    protocol::Filter all;
    EXPECT_EQ(actions(all), (QStringList{QStringLiteral("Проведён документ"), QStringLiteral("Принят O'Neil"),
                                         QStringLiteral("Открытие программы"), QStringLiteral("Удаление 50% строк")}));
    protocol::Filter byAction = all;
    byAction.order = protocol::ByActionDateTime;
    EXPECT_EQ(actions(byAction), (QStringList{QStringLiteral("Открытие программы"), QStringLiteral("Принят O'Neil"),
                                              QStringLiteral("Проведён документ"), QStringLiteral("Удаление 50% строк")}));
    protocol::Filter text = all;
    text.textOn = true;
    text.text = QStringLiteral("O'Neil");
    EXPECT_EQ(actions(text), QStringList{QStringLiteral("Принят O'Neil")});
    protocol::Filter user = all;
    user.user = 2;
    EXPECT_EQ(actions(user).size(), 2);
    protocol::Filter morning = all;
    morning.timeFrom = 0;
    morning.timeTo = 10.0 / 24;
    EXPECT_EQ(actions(morning), (QStringList{QStringLiteral("Принят O'Neil"), QStringLiteral("Открытие программы")}));

    // The full name is printed, the login never; date and time as the grids show them.
    auto list = tabList(env.ctx(), text);
    const QList<Line> lines = reports::ProtocolPrint::LinesOf(*list);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].date, QStringLiteral("10.03.2026"));
    EXPECT_EQ(lines[0].time, QStringLiteral("09:00:00"));
    EXPECT_EQ(lines[0].fio, QStringLiteral("petrov (ФИО)"));
    EXPECT_EQ(lines[0].arm, QStringLiteral("Продукты и блюда"));
}

TEST_F(ProtocolRowsTest, ThePrintCopiesTheListAsShownWithoutMovingIt)
{
    protocol::Filter all;
    auto list = tabList(env.ctx(), all);
    list->setRecNo(2);
    // A row written after the list was opened is not printed: the list is not queried again.
    line(QDate(2026, 3, 10), "12:00:00", 1, "admin", "Система", "Позже открытия списка");
    RecordingOffice office;
    ASSERT_TRUE(print(office, reports::ProtocolPrint::LinesOf(*list)));
    EXPECT_EQ(list->recNo(), 2);
    const automation::RecordedBook& b = office.last();
    for (int r = 0; r < list->recordCount(); ++r)
        EXPECT_EQ(b.at(QStringLiteral("E%1").arg(r + 2)).toString(), list->valueAt(r, list->fieldIndex(QStringLiteral("WHAT_ACTION"))).toString());
    EXPECT_FALSE(b.at(QStringLiteral("E6")).isValid());

    // A closed list prints the header alone.
    list->close();
    EXPECT_TRUE(reports::ProtocolPrint::LinesOf(*list).isEmpty());
}

} // namespace

// Golden cases "protocol": options "filter" holds the tab's filter
// ("from"/"to" dates dd.MM.yyyy, "timeFrom"/"timeTo" hh:mm, "user" key,
// "text", "order" 0-2).
TARELIA_GOLDEN_RUNNER(protocol)
{
    const QJsonObject f = golden.options.value(QStringLiteral("filter")).toObject();
    protocol::Filter filter;
    if (f.contains(QStringLiteral("from"))) {
        filter.dateFrom = protocol::DateToSerial(QDate::fromString(f.value(QStringLiteral("from")).toString(), QStringLiteral("dd.MM.yyyy")));
        filter.dateTo = protocol::DateToSerial(QDate::fromString(f.value(QStringLiteral("to")).toString(), QStringLiteral("dd.MM.yyyy")));
    }
    if (f.contains(QStringLiteral("timeFrom"))) {
        filter.timeFrom = protocol::TimeToFraction(QTime::fromString(f.value(QStringLiteral("timeFrom")).toString(), QStringLiteral("hh:mm")));
        filter.timeTo = protocol::TimeToFraction(QTime::fromString(f.value(QStringLiteral("timeTo")).toString(), QStringLiteral("hh:mm")));
    }
    filter.user = f.value(QStringLiteral("user")).toInteger(-1);
    filter.text = f.value(QStringLiteral("text")).toString();
    filter.textOn = !filter.text.isEmpty();
    filter.order = f.value(QStringLiteral("order")).toInt(0);
    const QList<Line> lines = reports::ProtocolPrint::LinesOf(*tabList(golden.ctx(), filter));
    golden.notes << QStringLiteral("%1 lines").arg(lines.size());
    print(golden.office, lines);
}
