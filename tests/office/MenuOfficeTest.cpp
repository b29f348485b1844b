// The menu prints in a real headless LibreOffice: the menu from the shipped
// sample of list 6, and the codes sheet with its bars, stored and read back;
// the sheet exported as PDF draws its bar codes in the bar-code font.

#include "printing/MenuPrintFixture.h"

#include "OfficeEnvironment.h"
#include "automation/uno/UnoOffice.h"
#include "engine/Clock.h"
#include "reports/MenuReport.h"
#include "support/KeepingOffice.h"
#include "support/TemplateFixture.h"
#include "workbooks/MenuCodesWorkbook.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using automation::Document;
using namespace menu_print;

namespace {

class MenuOfficeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeMenu(t);
        settings.rub = QStringLiteral("руб.");
        settings.kop = QStringLiteral("коп.");
        Clock::setSource([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 30)); });
    }
    void TearDown() override { Clock::setSource({}); }

    engine::Context ctx() { return {&t.db(), &t.read(), &t.write(), &settings}; }
    // The binary's one office (it has the program's fonts in its profile).
    automation::UnoOffice& office() { return TestOffice(); }
    static QString path(const QString& name) { return QDir(TestOfficeFolder()).filePath(name); }

    TestDb t{TestDb::WithSamples};  // the shipped sample of list 6 among them
    engine::Settings settings;
};

QVariant at(Document& d, const char* a1)
{
    const QString s = QString::fromLatin1(a1);
    return d.cellState({0, s.at(0).unicode() - u'A', s.mid(1).toInt() - 1}).content;
}

TEST_F(MenuOfficeTest, MenuFromTheShippedSampleStoredAndReadBack)
{
    RefreshRead(t);
    KeepingOffice keeping(office());
    reports::menu::Options o;
    o.menu = kMenu;
    reports::menu::Print(ctx(), o, keeping, t.folder() + QStringLiteral("templates/"));
    ASSERT_EQ(keeping.documents.size(), 1u);
    std::unique_ptr<Document> d = StoreAndReload(*keeping.documents.front(), QStringLiteral("menu.xls"));
    EXPECT_EQ(at(*d, "A1"), QStringLiteral("Меню"));
    EXPECT_EQ(at(*d, "B2"), QStringLiteral("Дата: 07.12.2026"));
    EXPECT_EQ(at(*d, "A5"), QStringLiteral("Кухня"));
    EXPECT_TRUE(d->cellState({0, 0, 4}).merged);
    EXPECT_EQ(at(*d, "B6"), QStringLiteral("Супы"));
    EXPECT_EQ(at(*d, "A7"), QVariant(1.0));
    EXPECT_EQ(at(*d, "B7"), QStringLiteral("Борщ"));
    EXPECT_EQ(at(*d, "D7"), QVariant(125.5));
    EXPECT_EQ(at(*d, "E7"), QStringLiteral("125руб. 50коп."));
    EXPECT_EQ(at(*d, "F7"), QVariant(250.0));
    EXPECT_EQ(at(*d, "A12"), QStringLiteral("Кухня"));
    EXPECT_EQ(at(*d, "B14"), QStringLiteral("Салат"));
    EXPECT_EQ(at(*d, "B18"), QStringLiteral("Зав. производством ______________"));
    EXPECT_GT(d->cellState({0, 5, 13}).bottomWidth, 0);  // the grid reaches the last table row
    ExpectNumbersFormatted(*d, 20, 6);
    d->close();
}

TEST_F(MenuOfficeTest, CodesSheetKeepsLeadingZerosAndDrawsBars)
{
    RefreshRead(t);
    KeepingOffice keeping(office());
    ASSERT_TRUE(workbooks::menucodes::Print(keeping, {reports::LoadMenuCodes(ctx(), kMenu)}));
    ASSERT_EQ(keeping.documents.size(), 1u);
    Document& sheet = *keeping.documents.front();
    sheet.storeToFile(path(QStringLiteral("codes.pdf")), QStringLiteral("calc_pdf_Export"));
    std::unique_ptr<Document> d = StoreAndReload(sheet, QStringLiteral("codes.xls"));
    EXPECT_EQ(at(*d, "A2"), QStringLiteral("Кухня"));
    EXPECT_TRUE(d->cellState({0, 0, 1}).merged);
    EXPECT_EQ(at(*d, "C4"), QString::number(kBorschRow));
    EXPECT_EQ(at(*d, "E4"), QStringLiteral("00042"));
    EXPECT_EQ(at(*d, "F11"), QStringLiteral("0012"));
    EXPECT_EQ(at(*d, "G4"), QStringLiteral("*4600000000017*"));
    EXPECT_EQ(d->cellState({0, 6, 3}).fontName, workbooks::BarCodeFontName());
    EXPECT_EQ(d->cellState({0, 5, 10}).bottomWidth > 0, true);
    d->close();

    // The PDF embeds the bar-code font: the office found it.
    QFile pdf(path(QStringLiteral("codes.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().contains("TareliaCode39")) << "the bar-code font was not used";
    // The office tells the fonts it knows (the codes print warns by it).
    EXPECT_TRUE(office().hasFont(workbooks::BarCodeFontName()));
    EXPECT_FALSE(office().hasFont(QStringLiteral("Tarelia Code 40")));

    // Where a bar code reader is installed, the rendered page reads back.
    const QString zbar = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    const QString toPng = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (zbar.isEmpty() || toPng.isEmpty())
        return;
    // Every page: column G may go to a page of its own.
    ASSERT_EQ(QProcess::execute(toPng, {QStringLiteral("-r"), QStringLiteral("200"), QStringLiteral("-png"),
                                        path(QStringLiteral("codes.pdf")), path(QStringLiteral("page"))}),
              0);
    QStringList pages;
    for (const QString& name : QDir(TestOfficeFolder()).entryList({QStringLiteral("page*.png")}, QDir::Files))
        pages << path(name);
    ASSERT_FALSE(pages.isEmpty());
    QProcess p;
    p.start(zbar, QStringList{QStringLiteral("-q"), QStringLiteral("--raw")} + pages);
    ASSERT_TRUE(p.waitForFinished(30000));
    const QStringList read = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_TRUE(read.contains(QStringLiteral("4600000000017"))) << read.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(read.contains(QStringLiteral("TEA-15"))) << read.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(read.contains(QStringLiteral("0012"))) << read.join(QLatin1Char(' ')).toStdString();
}

} // namespace
