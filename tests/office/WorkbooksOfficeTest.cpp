// The statistics, limits and where-used workbooks made in a real office,
// stored and loaded again: the office computes the order's formulas, and
// the frames, formats and margins survive the file.

#include "OfficeEnvironment.h"

#include "support/KeepingOffice.h"
#include "workbooks/IngUsageWorkbook.h"
#include "workbooks/LimitsWorkbook.h"
#include "workbooks/StatWorkbook.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

using automation::CellState;
using automation::Document;

namespace {

// Stores the document as the office's own format and loads the copy; when
// TARELIA_KEEP_WORKBOOKS names a folder, the file is copied there to be looked at.
std::unique_ptr<Document> storedAndLoaded(Document& doc, const QString& name)
{
    const QString path = QDir(TestOfficeFolder()).filePath(name + QStringLiteral(".ods"));
    doc.storeToFile(path, QStringLiteral("calc8"));
    doc.close();
    const QString keep = qEnvironmentVariable("TARELIA_KEEP_WORKBOOKS");
    if (!keep.isEmpty()) {
        QFile::remove(QDir(keep).filePath(name + QStringLiteral(".ods")));
        QFile::copy(path, QDir(keep).filePath(name + QStringLiteral(".ods")));
    }
    TestOffice().connect();
    return TestOffice().loadDocument(path);
}

TEST(WorkbooksInOffice, StatisticsAndOrderComputedByTheOffice)
{
    workbooks::StatOptions o;
    o.start = QDate(2024, 3, 1);
    o.end = QDate(2024, 3, 7);
    workbooks::StatData d;
    d.consumption = {{1, QStringLiteral("Гречка"), 7}, {2, QStringLiteral("Мука"), 14}, {3, QStringLiteral("Сахар"), 70}};
    d.stock = {{1, QStringLiteral("Гречка"), QStringLiteral("кг"), 50, 2},
               {2, QStringLiteral("Мука"), QStringLiteral("кг"), 5, 3.5},
               {3, QStringLiteral("Сахар"), QStringLiteral("кг"), -1, 4.25},
               {4, QStringLiteral("Соль"), QStringLiteral("кг"), 2, 1}};
    KeepingOffice keeping(TestOffice());
    ASSERT_TRUE(workbooks::stat::Write(keeping, o, d));
    ASSERT_EQ(keeping.documents.size(), 1u);
    std::unique_ptr<Document> doc = storedAndLoaded(*keeping.documents[0], QStringLiteral("statistics"));

    EXPECT_EQ(doc->sheetName(0), QStringLiteral("Статистика потребления"));
    EXPECT_EQ(doc->sheetName(1), QStringLiteral("Заявка поставщикам"));
    EXPECT_EQ(doc->cellState({0, 0, 1}).content, QStringLiteral("за период с 01.03.2024 по 07.03.2024"));
    EXPECT_TRUE(doc->cellState({0, 0, 0}).merged);
    EXPECT_EQ(doc->cellState({0, 0, 1}).fontHeight, 16);
    EXPECT_EQ(doc->cellState({0, 6, 3}).content, 50.0);          // Гречка: 50 at 1 a day
    EXPECT_EQ(doc->cellState({0, 5, 5}).charColor, 0xFF0000);    // Сахар's negative stock
    EXPECT_EQ(doc->cellState({0, 6, 5}).content, QStringLiteral("?????"));
    EXPECT_FALSE(doc->cellState({0, 3, 6}).content.isValid());   // Соль was not used
    EXPECT_EQ(doc->cellState({0, 4, 3}).numberFormat, automation::kQuantityFormat);
    EXPECT_EQ(doc->cellState({0, 1, 4}).fontName, QStringLiteral("Times New Roman"));
    EXPECT_EQ(doc->pageMargins(0), (automation::PageMargins{529, 353}));
    EXPECT_EQ(doc->pageMargins(1), (automation::PageMargins{1588, 353}));

    // Мука: (14 - 5) * 1.05 = 9.45 -> 10; Сахар: 70 * 1.05 = 73.5 -> 74.
    const CellState first = doc->cellState({1, 5, 3});
    EXPECT_EQ(first.formula, workbooks::OrderSumFormula(4));
    EXPECT_DOUBLE_EQ(first.formulaValue, 35.0);
    const CellState second = doc->cellState({1, 5, 4});
    EXPECT_DOUBLE_EQ(second.formulaValue, 74 * 4.25);
    const CellState total = doc->cellState({1, 5, 5});
    EXPECT_EQ(total.formula, QStringLiteral("=SUM(F4:F5)"));
    EXPECT_DOUBLE_EQ(total.formulaValue, first.formulaValue + second.formulaValue);
    EXPECT_EQ(doc->cellState({1, 5, 4}).numberFormat, QStringLiteral("0,00"));
    EXPECT_EQ(doc->cellState({1, 5, 4}).bottomWidth, 35);
    EXPECT_EQ(doc->cellState({1, 5, 5}).rightWidth, 0);
    doc->close();
    TestOffice().disconnect();
}

// The order as an accountant adds it up: each sum is the quantity times the
// price as the sheet shows them, and the total the sum of the sums shown.
TEST(WorkbooksInOffice, OrderSumsAddUpAsShown)
{
    workbooks::StatOptions o;
    o.start = QDate(2024, 3, 1);
    o.end = QDate(2024, 3, 3);
    o.okrug = false;
    o.percent = 0;
    o.days = 1;  // a third of a unit of each
    workbooks::StatData d;
    for (qint64 k = 1; k <= 4; ++k) {
        const QString name = QStringLiteral("Продукт %1").arg(k);
        d.consumption.push_back({k, name, 1});
        d.stock.push_back({k, name, QStringLiteral("кг"), 0, k < 4 ? 10.01 : 142.633867});
    }
    // Halves of a kopeck: 1,5 × 0,35 and 0,5 × 1,07, to the even kopeck.
    d.consumption.push_back({5, QStringLiteral("Продукт 5"), 4.5});
    d.stock.push_back({5, QStringLiteral("Продукт 5"), QStringLiteral("кг"), 0, 0.35});
    d.consumption.push_back({6, QStringLiteral("Продукт 6"), 1.5});
    d.stock.push_back({6, QStringLiteral("Продукт 6"), QStringLiteral("кг"), 0, 1.07});
    KeepingOffice keeping(TestOffice());
    ASSERT_TRUE(workbooks::stat::Write(keeping, o, d));
    std::unique_ptr<Document> doc = storedAndLoaded(*keeping.documents[0], QStringLiteral("order"));
    EXPECT_EQ(doc->cellState({1, 3, 3}).content, 0.333333);
    EXPECT_EQ(doc->cellState({1, 3, 3}).shown, QStringLiteral("0,333333"));
    EXPECT_EQ(doc->cellState({1, 4, 6}).content, 142.633867);
    EXPECT_EQ(doc->cellState({1, 4, 6}).shown, QStringLiteral("142,633867"));
    EXPECT_EQ(doc->cellState({1, 4, 3}).shown, QStringLiteral("10,01"));
    double shown = 0;
    for (int r = 3; r < 9; ++r)
        shown += doc->cellState({1, 5, r}).formulaValue;
    EXPECT_DOUBLE_EQ(doc->cellState({1, 5, 3}).formulaValue, 3.34);   // 3.33666333
    EXPECT_DOUBLE_EQ(doc->cellState({1, 5, 6}).formulaValue, 47.54);  // 47.544574...
    EXPECT_DOUBLE_EQ(doc->cellState({1, 5, 7}).formulaValue, 0.52);   // 0.525, not the office's 0.53
    EXPECT_DOUBLE_EQ(doc->cellState({1, 5, 8}).formulaValue, 0.54);   // 0.535
    EXPECT_DOUBLE_EQ(doc->cellState({1, 5, 9}).formulaValue, shown);
    EXPECT_DOUBLE_EQ(shown, 58.62);
    // A quantity changed in the order changes its sum and the total.
    doc->setValue({1, 3, 7}, 2.5);  // 2,5 × 0,35 = 0,875: to the even 0,88
    EXPECT_DOUBLE_EQ(doc->cellState({1, 5, 7}).formulaValue, 0.88);
    EXPECT_DOUBLE_EQ(doc->cellState({1, 5, 9}).formulaValue, 58.98);
    doc->close();
    TestOffice().disconnect();
}

TEST(WorkbooksInOffice, LimitsAndWhereUsedStoredAndReadBack)
{
    KeepingOffice keeping(TestOffice());
    workbooks::LimitRow r;
    r.kodFirma = 1;
    r.kodOtdel = 2;
    r.kodSklad = 3;
    r.nameF = QStringLiteral("Столовая №1");
    r.nameO = QStringLiteral("Кухня");
    r.nameS = QStringLiteral("Основной");
    r.name = QStringLiteral("Мука");
    r.limit = 10;
    r.kolvo = 2.5;
    r.cena = 31.2;
    ASSERT_TRUE(workbooks::limits::Write(keeping, {r}));
    // No empty sheet beside it (a loaded copy gets the engine's second sheet again).
    EXPECT_EQ(keeping.documents.back()->sheetCount(), 1);
    std::unique_ptr<Document> limits = storedAndLoaded(*keeping.documents.back(), QStringLiteral("limits"));
    EXPECT_EQ(limits->sheetName(0), QStringLiteral("Лимиты"));
    EXPECT_EQ(limits->cellState({0, 1, 1}).content, QStringLiteral("Столовая №1"));
    EXPECT_EQ(limits->cellState({0, 1, 1}).fontWeight, automation::kWeightBold);
    EXPECT_EQ(limits->cellState({0, 0, 4}).content, 1.0);
    EXPECT_EQ(limits->cellState({0, 4, 4}).content, 31.2);
    EXPECT_EQ(limits->cellState({0, 4, 4}).numberFormat, automation::kPriceFormat);
    EXPECT_EQ(limits->cellState({0, 4, 4}).shown, QStringLiteral("31,20"));
    EXPECT_EQ(limits->cellState({0, 4, 4}).bottomWidth, 35);
    limits->close();

    ASSERT_TRUE(workbooks::usage::Write(keeping, QStringLiteral("Мука"),
                                                 {{QStringLiteral("Блины"), 10, QStringLiteral("шт"), 0.5},
                                                  {QStringLiteral("Оладьи"), 5, QStringLiteral("шт"), 0.3}}));
    EXPECT_EQ(keeping.documents.back()->sheetCount(), 1);
    std::unique_ptr<Document> usage = storedAndLoaded(*keeping.documents.back(), QStringLiteral("where-used"));
    EXPECT_EQ(usage->sheetName(0), QStringLiteral("Лист1"));  // whatever the office's own language
    EXPECT_EQ(usage->cellState({0, 0, 0}).content, QStringLiteral("Продукт Мука используется в следующих блюдах:"));
    EXPECT_TRUE(usage->cellState({0, 0, 0}).merged);
    EXPECT_TRUE(usage->cellState({0, 0, 0}).wrapped);
    EXPECT_EQ(usage->cellState({0, 1, 4}).content, QStringLiteral("Оладьи"));
    EXPECT_EQ(usage->cellState({0, 4, 4}).bottomWidth, 35);
    EXPECT_EQ(usage->cellState({0, 4, 4}).shown, QStringLiteral("0,3"));
    EXPECT_EQ(usage->pageMargins(0), (automation::PageMargins{1058, 353}));
    usage->close();

    // A product on 2,001 cards: lines 1,000 to 2,001 print their numbers whole.
    std::vector<workbooks::UsageLine> many(2001, {QStringLiteral("Блюдо"), 1, QStringLiteral("порц"), 0.15});
    ASSERT_TRUE(workbooks::usage::Write(keeping, QStringLiteral("Картофель"), many));
    const QList<PdfPage> pages = PdfPages(*keeping.documents.back(), QStringLiteral("where-used-2001"));
    ExpectWholeOnPaper(pages, QStringLiteral("where-used-2001"));
    EXPECT_EQ(pages.back().count(QStringLiteral("2001")), 1);
    keeping.documents.back()->close();
    TestOffice().disconnect();
}

// A long product name wraps in its cell and its row grows, on the limits and
// on both sheets of the statistics, instead of being cut at the column.
TEST(WorkbooksInOffice, LongNamesWrapOnTheLimitsAndTheStatistics)
{
    const QString name = QStringLiteral("Говядина охлаждённая (лопатка) бескостная высшего сорта 'Мираторг' "
                                        "в вакуумной упаковке");
    const auto expectGrown = [](Document& d, int sheet, int column, int row) {
        const CellState st = d.cellState({sheet, column, row});
        EXPECT_TRUE(st.wrapped) << sheet << " " << row;
        EXPECT_GT(st.rowHeight, 700) << sheet << " " << row;  // one line of 10 to 12 points is 4.5 to 5.3 mm
    };
    KeepingOffice keeping(TestOffice());
    workbooks::LimitRow r;
    r.nameF = QStringLiteral("Столовая №1");
    r.name = name;
    r.limit = 10;
    ASSERT_TRUE(workbooks::limits::Write(keeping, {r}));
    ASSERT_EQ(keeping.documents.back()->cellState({0, 1, 4}).content, QVariant(name));
    expectGrown(*keeping.documents.back(), 0, 1, 4);
    keeping.documents.back()->close();

    workbooks::StatOptions o;
    o.start = QDate(2024, 3, 1);
    o.end = QDate(2024, 3, 7);
    workbooks::StatData d;
    d.consumption = {{1, name, 70}};
    d.stock = {{1, name, QStringLiteral("кг"), 5, 589.9}};
    ASSERT_TRUE(workbooks::stat::Write(keeping, o, d));
    ASSERT_EQ(keeping.documents.back()->cellState({0, 1, 3}).content, QVariant(name));
    expectGrown(*keeping.documents.back(), 0, 1, 3);
    ASSERT_EQ(keeping.documents.back()->cellState({1, 1, 3}).content, QVariant(name));
    expectGrown(*keeping.documents.back(), 1, 1, 3);
    keeping.documents.back()->close();
    TestOffice().disconnect();
}

// The office's default page header and footer print the sheet's name and
// "Page 1" in its own interface language: a workbook the program lays out
// prints only what it shows. Read from the flat file the office stores.
TEST(WorkbooksInOffice, NoOfficeHeaderOrFooterOnTheProgramsWorkbooks)
{
    KeepingOffice keeping(TestOffice());
    workbooks::LimitRow r;
    r.nameF = QStringLiteral("Столовая №1");
    r.name = QStringLiteral("Мука");
    r.limit = 10;
    ASSERT_TRUE(workbooks::limits::Write(keeping, {r}));
    const QString path = QDir(TestOfficeFolder()).filePath(QStringLiteral("limits.fods"));
    keeping.documents.back()->storeToFile(path, QStringLiteral("OpenDocument Spreadsheet Flat XML"));
    keeping.documents.back()->close();
    TestOffice().disconnect();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray flat = f.readAll();
    const QByteArray pages = flat.mid(flat.indexOf("<office:master-styles>"));
    ASSERT_FALSE(pages.isEmpty());
    // Every header and footer with content is switched off.
    const QRegularExpression tag(QStringLiteral("<style:(header|footer)(\\s[^>]*)?>"));
    int shown = 0;
    for (auto m = tag.globalMatch(QString::fromUtf8(pages)); m.hasNext();) {
        const QString attributes = m.next().captured(2);
        if (!attributes.endsWith(QLatin1Char('/')) && !attributes.contains(QStringLiteral("style:display=\"false\"")))
            ++shown;
    }
    EXPECT_EQ(shown, 0) << pages.left(1000).constData();
}

} // namespace
