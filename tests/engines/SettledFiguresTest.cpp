// A stored or computed number within a millionth of zero is written as 0 by
// the limits sheet and by the exchange tables: never "-0.0000000" or a stray
// 4E-07 for what cancelled out.

#include "automation/RecordingOffice.h"
#include "engine/Kopecks.h"
#include "exchange/Dbf.h"
#include "exchange/MenuExport.h"
#include "exchange/Obmen.h"
#include "workbooks/LimitsWorkbook.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray fieldOf(const QByteArray& image, const char* field)
{
    const auto table = exchange::dbf::Read(image);
    if (!table || table->records.isEmpty()) {
        ADD_FAILURE() << "no record";
        return {};
    }
    return table->records[0][table->fieldIndex(field)].trimmed();
}

} // namespace

TEST(SettledFigures, NumbersWithinAMillionthOfZeroAreWrittenAsZero)
{
    struct Case {
        double value;
        double written;
    };
    const Case cases[] = {{0.1 + 0.2 - 0.3, 0}, {0.3 - 0.2 - 0.1, 0}, {-9e-7, 0}, {4e-7, 0}, {1e-6, 1e-6}, {-0.25, -0.25}};
    QTemporaryDir dir;
    const QDate today(2026, 12, 7);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);

        // The limits sheet: a heading per enterprise, department and warehouse, then the line.
        automation::RecordingOffice office;
        workbooks::LimitRow row;
        row.name = QStringLiteral("Мука");
        row.limit = row.kolvo = row.cena = c.value;
        ASSERT_TRUE(workbooks::limits::Write(office, {row}));
        // The limit, the quantity and the price as the papers print them, to six decimals.
        for (int column : {2, 3, 4})
            EXPECT_EQ(office.last().state({0, column, 4}).content.toDouble(), engine::Printed(c.written));

        // The accounting exchange table.
        const QString path = dir.filePath(QStringLiteral("obmen.dbf"));
        exchange::obmen::CreateTable(path);
        {
            exchange::obmen::Table table(path);
            exchange::obmen::Record r;
            r.kolvo = r.cena = c.value;
            table.append(r, today);
            table.commit();
        }
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray image = f.readAll();
        EXPECT_EQ(fieldOf(image, "KOLVO"), QByteArray::number(c.written, 'f', 7));
        EXPECT_EQ(fieldOf(image, "CENA"), QByteArray::number(c.written, 'f', 7));

        // The point-of-sale products table.
        exchange::Menu menu;
        exchange::MenuDish dish;
        dish.kodIngSklad = 1;
        dish.name = QStringLiteral("Компот");
        dish.myActive = 1;
        dish.cenaMenu = c.value;
        menu.sections.append({1, QStringLiteral("Напитки"), 1, {}, {}, {dish}});
        const exchange::TorgTables t = exchange::BuildTorgServiceTables(menu, exchange::CodeKind::Unique, today);
        EXPECT_EQ(fieldOf(t.products, "PRICE"), QByteArray::number(c.written, 'f', 4));
    }
}
