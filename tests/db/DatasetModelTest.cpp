// Grids on queries, shown headless: display formats, the model and the
// grid's two-way tie to the query's cursor.

#include "grid/DatasetModel.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

#include <utility>
#include <vector>

#include <gtest/gtest.h>

using db::formatNumber;
using db::GridColumn;

namespace {

const QChar kGroup(0x00A0);  // the thousands separator of a Russian workstation

QString grouped(const char* text) { return QString::fromUtf8(text).replace(QLatin1Char(' '), kGroup); }

void mouse(QWidget* w, QEvent::Type type, const QPoint& pos)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(DisplayFormat, NumbersAsTheGridsShowThem)
{
    EXPECT_EQ(formatNumber(12.5, QStringLiteral("0.00")), QStringLiteral("12,50"));
    // Money to hundredths by the papers' kopeck rule: a decimal half to the even kopeck.
    for (const auto& [value, shown] : std::vector<std::pair<double, const char*>>{
             {45.555, "45,56"}, {0.125, "0,12"}, {0.375, "0,38"}, {2.675, "2,68"}, {10.125, "10,12"}, {142.633867, "142,63"}}) {
        EXPECT_EQ(formatNumber(value, QStringLiteral("#.00")), QString::fromUtf8(shown)) << value;
        EXPECT_EQ(formatNumber(value, QStringLiteral("0.00")), QString::fromUtf8(shown)) << value;
    }
    EXPECT_EQ(formatNumber(-0.001, QStringLiteral("0.00")), QStringLiteral("0,00"));
    EXPECT_EQ(formatNumber(1234567.891, QStringLiteral("#,##0.00")), grouped("1 234 567,89"));
    EXPECT_EQ(formatNumber(-1234.5, QStringLiteral("#,##0.00")), grouped("-1 234,50"));
    EXPECT_EQ(formatNumber(999.999, QStringLiteral("#,##0.00")), grouped("1 000,00"));
    EXPECT_EQ(formatNumber(2.5, QStringLiteral("0.###")), QStringLiteral("2,5"));
    EXPECT_EQ(formatNumber(3, QStringLiteral("0.###")), QStringLiteral("3"));
    // Quantities and prices as the papers print them, on their decimal.
    for (const auto& [value, quantity, price] : std::vector<std::tuple<double, const char*, const char*>>{
             {0.335, "0,335", "0,335"},
             {2000, "2000", "2000,00"},
             {0.36749999999999994, "0,3675", "0,3675"},  // a sum's binary residue
             {0.00015, "0,0002", "0,0002"},              // half the fourth place, to the even one
             {142.633867, "142,6339", "142,6339"},
             {-0.00004, "0", "0,00"}}) {
        EXPECT_EQ(formatNumber(value, QStringLiteral("0.####")), QString::fromUtf8(quantity)) << value;
        EXPECT_EQ(formatNumber(value, QStringLiteral("0.00##")), QString::fromUtf8(price)) << value;
    }
    EXPECT_EQ(formatNumber(1e19, QStringLiteral("0.00")), QStringLiteral("10000000000000000000,00"));
    EXPECT_EQ(formatNumber(1.0 / 3.0, QString()), QStringLiteral("0,333333333333333"));
    EXPECT_EQ(db::displayText(QDate(2024, 2, 9), QString()), QStringLiteral("09.02.2024"));
    EXPECT_EQ(db::displayText(QVariant::fromValue<qint64>(1500), QStringLiteral("#,##0")), grouped("1 500"));
}

class DatasetModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        t.exec(QStringLiteral("INSERT INTO ING (KOD, NAME, VIHOD, KVO_PORC) VALUES (1, 'Борщ', 12.5, 1)"));
        t.exec(QStringLiteral("INSERT INTO ING (KOD, NAME, VIHOD, KVO_PORC) VALUES (2, 'Суп', 1234.5, 20)"));
        t.exec(QStringLiteral("INSERT INTO ING (KOD, NAME, VIHOD, KVO_PORC) VALUES (3, 'Чай', NULL, 300)"));
        q = std::make_unique<db::Query>(&t.db(), &t.read());
        q->setSql(QStringLiteral("SELECT KOD, NAME, VIHOD, KVO_PORC FROM ING ORDER BY KOD"));
    }
    const QList<GridColumn> columns{
        {"NAME", "Наименование", 150, "", {}, true},
        {"KOD", "Код", 0, "", {}, false},
        {"VIHOD", "Выход", 80, "#,##0.00", {}, true},
        {"kvo_porc", "Порций", 0, "0.00", Qt::AlignCenter, true},
    };
    TestDb t;
    std::unique_ptr<db::Query> q;
};

TEST_F(DatasetModelTest, ModelShowsTheVisibleColumnsOfEveryRow)
{
    db::DatasetModel m(q.get());
    m.setColumns(columns);
    EXPECT_EQ(m.rowCount(), 0);  // closed
    q->open();
    ASSERT_EQ(m.rowCount(), 3);
    ASSERT_EQ(m.columnCount(), 3);
    EXPECT_EQ(m.headerData(0, Qt::Horizontal, Qt::DisplayRole), QVariant(QStringLiteral("Наименование")));
    EXPECT_EQ(m.headerData(1, Qt::Horizontal, Qt::DisplayRole), QVariant(QStringLiteral("Выход")));
    auto text = [&](int r, int c) { return m.data(m.index(r, c), Qt::DisplayRole).toString(); };
    EXPECT_EQ(text(0, 0), QStringLiteral("Борщ"));
    EXPECT_EQ(text(0, 1), QStringLiteral("12,50"));
    EXPECT_EQ(text(1, 1), grouped("1 234,50"));
    EXPECT_EQ(text(2, 1), QString());  // NULL
    EXPECT_EQ(text(2, 2), QStringLiteral("300,00"));
    const auto align = [&](int c) { return m.data(m.index(0, c), Qt::TextAlignmentRole).value<Qt::Alignment>(); };
    EXPECT_TRUE(align(1) & Qt::AlignRight);
    EXPECT_TRUE(align(2) & Qt::AlignHCenter);
    q->close();
    EXPECT_EQ(m.rowCount(), 0);
}

TEST_F(DatasetModelTest, GridAndCursorFollowEachOther)
{
    db::DbGrid grid;
    grid.setQuery(q.get());
    grid.setColumns(columns);
    QPushButton edit;
    int edits = 0;
    QObject::connect(&edit, &QPushButton::clicked, [&] { ++edits; });
    grid.setEditButton(&edit);
    grid.resize(400, 300);
    grid.show();
    q->open();
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_EQ(grid.columnWidth(0), 150);

    q->locate(QStringLiteral("KOD"), 3);
    EXPECT_EQ(grid.currentIndex().row(), 2);
    q->prior();
    EXPECT_EQ(grid.currentIndex().row(), 1);

    // A click on a row moves the cursor, with the query's handlers.
    int scrolls = 0;
    QObject::connect(q.get(), &db::Query::afterScroll, [&] { ++scrolls; });
    QWidget* vp = grid.viewport();
    const QPoint row3 = grid.visualRect(grid.datasetModel()->index(2, 0)).center();
    const QPoint row1 = grid.visualRect(grid.datasetModel()->index(0, 1)).center();
    mouse(vp, QEvent::MouseButtonPress, row3);
    mouse(vp, QEvent::MouseButtonRelease, row3);
    EXPECT_EQ(q->recNo(), 2);
    EXPECT_EQ(scrolls, 1);
    mouse(vp, QEvent::MouseButtonPress, row1);
    mouse(vp, QEvent::MouseButtonRelease, row1);
    EXPECT_EQ(q->field("KOD").asInt(), 1);
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_EQ(scrolls, 2);
    EXPECT_EQ(edits, 0);

    // A double click on a row clicks the edit button, when it is enabled.
    mouse(vp, QEvent::MouseButtonDblClick, row3);
    EXPECT_EQ(edits, 1);
    edit.setEnabled(false);
    mouse(vp, QEvent::MouseButtonDblClick, row3);
    edit.setEnabled(true);
    mouse(vp, QEvent::MouseButtonDblClick, QPoint(vp->width() - 2, vp->height() - 2));  // below the rows
    EXPECT_EQ(edits, 1);

    // Reopened, the grid stands on the query's first row again.
    q->close();
    q->open();
    EXPECT_EQ(grid.currentIndex().row(), 0);

    grid.greyOut();
    EXPECT_FALSE(grid.isEnabled());
    EXPECT_EQ(grid.palette().color(QPalette::Base), grid.palette().color(QPalette::Button));
    grid.release();
    EXPECT_FALSE(grid.greyed());
    EXPECT_EQ(grid.palette().color(QPalette::Base), QApplication::palette(&grid).color(QPalette::Base));
}
