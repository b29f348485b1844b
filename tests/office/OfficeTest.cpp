// Printing against a real headless LibreOffice: the template converted from
// its source, uploaded into a database, opened as an untitled copy, filled by
// the report run, stored and read back cell by cell.

#include "OfficeEnvironment.h"
#include "automation/uno/UnoOffice.h"
#include "reports/TemplateReport.h"
#include "templates/SampleTemplates.h"
#include "templates/TemplateAdmin.h"
#include "reports/ProtocolPrint.h"
#include "support/KeepingOffice.h"
#include "support/TemplateFixture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace templates;
using automation::CellState;
using automation::Document;

namespace {

// One office for the whole binary: starting one costs about a second.
class OfficeEnvironment : public ::testing::Environment {
public:
    static automation::UnoOffice& office() { return *office_; }
    static QString folder() { return dir_->path(); }

    void SetUp() override
    {
        dir_ = new QTemporaryDir;
        office_ = new automation::UnoOffice(automation::HeadlessUnoOptions(dir_->path()));
    }
    void TearDown() override
    {
        delete office_;  // ends the office
        delete dir_;
    }

private:
    static inline automation::UnoOffice* office_ = nullptr;
    static inline QTemporaryDir* dir_ = nullptr;
};

[[maybe_unused]] auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new OfficeEnvironment);

} // namespace

automation::UnoOffice& TestOffice() { return OfficeEnvironment::office(); }
QString TestOfficeFolder() { return OfficeEnvironment::folder(); }

std::unique_ptr<automation::Document> StoreAndReload(automation::Document& d, const QString& fileName,
                                                     const char* lookVariable)
{
    const QString stored = QDir(TestOfficeFolder()).filePath(fileName);
    d.storeToFile(stored, fileName.endsWith(QStringLiteral(".ods")) ? QStringLiteral("calc8")
                                                                     : QStringLiteral("MS Excel 97"));
    if (const QString look = lookVariable ? qEnvironmentVariable(lookVariable) : QString(); !look.isEmpty()) {
        QDir().mkpath(look);
        d.storeToFile(QDir(look).filePath(QFileInfo(fileName).completeBaseName() + QStringLiteral(".pdf")),
                      QStringLiteral("calc_pdf_Export"));
    }
    d.close();
    EXPECT_TRUE(TestOffice().connect());
    return TestOffice().loadDocument(stored);
}

void ExpectNumbersFormatted(automation::Document& d, int rows, int columns)
{
    int numbers = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const automation::CellState st = d.cellState({0, c, r});
            if (st.content.typeId() != QMetaType::Double)
                continue;
            ++numbers;
            const QString f = st.numberFormat;
            EXPECT_FALSE(f.isEmpty() || f == QStringLiteral("General") || f == QStringLiteral("Standard"))
                << QString(QChar(u'A' + c)).toStdString() << r + 1 << " holds " << st.content.toDouble()
                << " in the standard format";
        }
    EXPECT_GT(numbers, 0);
}

namespace {

QByteArray sampleBytes()
{
    QFile f(QStringLiteral(TARELIA_SAMPLES "/report_skeleton.xls"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

class OfficeReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bytes = sampleBytes();
        ASSERT_FALSE(bytes.isEmpty()) << "sample template not converted";
        TemplateForm f;
        f.NAME_SHABLON = QStringLiteral("Ведомость");
        f.HEAD_YX = QStringLiteral("F7");
        f.TAIL_YX = QStringLiteral("F12");
        f.START_LINE = QStringLiteral("A");
        f.END_LINE = QStringLiteral("F");
        f.SETKA = OutlineGrid;
        f.UNICNAME = 7001;
        f.SHABLON = bytes;
        form = InsertTemplate(t, 2, f);
        InsertVariable(t, form, PlacedVariable(QStringLiteral("otdel"), LocHeader, QStringLiteral("B3")));
        TemplateVariable heading = PlacedVariable(QStringLiteral("group2"), LocGroup, QStringLiteral("B1"));
        heading.MY_FONT = 1;
        heading.FONT_NAME = QStringLiteral("DejaVu Sans");
        heading.FONT_SIZE = 11;
        heading.FONT_BOLD = 1;
        heading.FONT_UNDERLINE = 1;
        InsertVariable(t, form, heading);
        InsertVariable(t, form, PlacedVariable(QStringLiteral("sum_g"), LocGroup, QStringLiteral("F1")));
        InsertVariable(t, form, PlacedVariable(QStringLiteral("nstr"), LocTable, QStringLiteral("A1")));
        InsertVariable(t, form, PlacedVariable(QStringLiteral("name"), LocTable, QStringLiteral("B1")));
        InsertVariable(t, form, PlacedVariable(QStringLiteral("kolvo"), LocTable, QStringLiteral("D1")));
        TemplateVariable summa = PlacedVariable(QStringLiteral("summa"), LocTable, QStringLiteral("F1"));
        summa.TEXT_AFTER_VALUE = QStringLiteral("руб.");
        InsertVariable(t, form, summa);
        TemplateVariable s5 = PlacedVariable(QStringLiteral("s5"), LocTable, QStringLiteral("C1"));
        s5.STATIC_TYPE = 1;
        s5.TEXT_STATIC = QStringLiteral("кг");
        InsertVariable(t, form, s5);
        InsertVariable(t, form, PlacedVariable(QStringLiteral("sum_all"), LocEnd, QStringLiteral("F1")));
        InsertVariable(t, form, PlacedVariable(QStringLiteral("sum_txt"), LocEnd, QStringLiteral("B3")));
        RefreshRead(t);
    }

    reports::StandardReport report(int rows)
    {
        reports::StandardReport r;
        r.listNo = 2;
        r.levels = {{QStringLiteral("group2"), {QStringLiteral("sum_g")}, QStringLiteral("n_g")}};
        r.rowCount = rows;
        r.header = [](reports::TemplateRun& run) { run.putText(QStringLiteral("otdel"), QStringLiteral("Кухня №1")); };
        r.groupCode = [](int row, int) { return QString::number(row / 20); };
        r.groupName = [](int row, int) { return QStringLiteral("Группа %1").arg(row / 20 + 1); };
        r.amounts = [](int row) { return QVector<qint64>{row * 150}; };
        r.rowVariables = [](reports::TemplateRun& run, int row) {
            run.putText(QStringLiteral("name"), QStringLiteral("Продукт «%1»").arg(row + 1));
            run.putFloat(QStringLiteral("kolvo"), row + 0.25);
            run.putAmount(QStringLiteral("summa"), 0);
        };
        r.end = [](reports::TemplateRun& run, const QVector<qint64>& totals) {
            run.putKopecks(QStringLiteral("sum_all"), totals.value(0));
            run.putText(QStringLiteral("sum_txt"), QStringLiteral("прописью"));
        };
        return r;
    }

    // Runs the report and returns its stored and reloaded document.
    std::unique_ptr<Document> runAndReload(int rows, reports::Road road, const QString& name)
    {
        KeepingOffice keeping(OfficeEnvironment::office());
        reports::RunStandardReport({&t.db(), &t.read()}, keeping, cache(), report(rows), {}, road);
        EXPECT_EQ(keeping.documents.size(), 1u);
        return StoreAndReload(*keeping.documents.front(), name + QStringLiteral(".xls"));
    }

    QString cache() const { return t.folder() + QStringLiteral("templates/"); }

    TestDb t;
    qint64 form = 0;
    QByteArray bytes;
};

QVariant at(Document& d, const char* a1)
{
    QString s = QString::fromLatin1(a1);
    int column = s.at(0).unicode() - u'A';
    return d.cellState({0, column, s.mid(1).toInt() - 1}).content;
}

TEST_F(OfficeReportTest, FiftyRowsFromAnUntitledCopyStoredAndReadBack)
{
    auto doc = runAndReload(50, reports::Road::RowBuffered, QStringLiteral("fifty"));
    // The cached template is the uploaded file, unchanged by the run.
    QFile cached(cache() + QStringLiteral("7001.xls"));
    ASSERT_TRUE(cached.open(QIODevice::ReadOnly));
    EXPECT_EQ(cached.readAll(), bytes);

    Document& d = *doc;
    EXPECT_EQ(at(d, "A1"), QStringLiteral("Ведомость"));
    EXPECT_EQ(at(d, "B3"), QStringLiteral("Кухня №1"));
    EXPECT_EQ(at(d, "B7"), QStringLiteral("Наименование"));
    // Group 1: heading at 8, rows 1..20 at 9..28, subtotal at 29.
    EXPECT_EQ(at(d, "B8"), QStringLiteral("Группа 1"));
    const CellState heading = d.cellState({0, 1, 7});
    EXPECT_EQ(heading.fontWeight, automation::kWeightBold);
    EXPECT_EQ(heading.fontUnderline, 1);
    EXPECT_EQ(at(d, "A9"), QVariant(1.0));
    EXPECT_EQ(at(d, "B9"), QStringLiteral("Продукт «1»"));
    EXPECT_EQ(at(d, "C9"), QStringLiteral("кг"));
    EXPECT_EQ(at(d, "D9"), QVariant(0.25));
    EXPECT_EQ(at(d, "F9"), QStringLiteral("0,00 руб."));
    EXPECT_EQ(at(d, "A28"), QVariant(20.0));
    EXPECT_EQ(at(d, "F29"), QVariant(285.0));  // 1.5 × (0 + … + 19)
    // Group 2 from 30, group 3 (rows 41..50) from 52.
    EXPECT_EQ(at(d, "B30"), QStringLiteral("Группа 2"));
    EXPECT_EQ(at(d, "B52"), QStringLiteral("Группа 3"));
    EXPECT_EQ(at(d, "A62"), QVariant(50.0));
    EXPECT_EQ(at(d, "F62"), QStringLiteral("73,50 руб."));
    EXPECT_EQ(at(d, "F63"), QVariant(667.5));  // 1.5 × (40 + … + 49)
    // The end block follows the last subtotal, its merge and bold kept.
    EXPECT_EQ(at(d, "A64"), QStringLiteral("Итого:"));
    EXPECT_EQ(d.cellState({0, 0, 63}).fontWeight, automation::kWeightBold);
    EXPECT_EQ(at(d, "F64"), QVariant(1837.5));
    EXPECT_EQ(at(d, "A66"), QStringLiteral("Сумма прописью:"));
    EXPECT_EQ(at(d, "B66"), QStringLiteral("прописью"));
    EXPECT_TRUE(d.cellState({0, 1, 65}).merged);
    EXPECT_EQ(at(d, "A68"), QStringLiteral("Подпись ____________"));
    EXPECT_EQ(at(d, "F68"), QStringLiteral("М.П."));
    // The grid covers A8:F63 and stops there.
    EXPECT_GT(d.cellState({0, 0, 7}).topWidth, 0);
    EXPECT_GT(d.cellState({0, 5, 62}).bottomWidth, 0);
    EXPECT_GT(d.cellState({0, 3, 40}).rightWidth, 0);
    EXPECT_EQ(d.cellState({0, 0, 63}).bottomWidth, 0);
    EXPECT_EQ(d.cellState({0, 6, 20}).leftWidth, 0);
    // Nothing left on the second sheet.
    EXPECT_FALSE(d.cellState({1, 0, 0}).content.isValid());
    d.close();
}

TEST_F(OfficeReportTest, PerCellAndRowBufferedRoadsStoreTheSameDocument)
{
    auto a = runAndReload(45, reports::Road::PerCell, QStringLiteral("percell"));
    auto b = runAndReload(45, reports::Road::RowBuffered, QStringLiteral("buffered"));
    for (int r = 0; r < 62; ++r)
        for (int c = 0; c < 7; ++c) {
            const CellState x = a->cellState({0, c, r});
            const CellState y = b->cellState({0, c, r});
            ASSERT_EQ(x.content, y.content) << r << ":" << c;
            ASSERT_EQ(x.merged, y.merged) << r << ":" << c;
            ASSERT_EQ(x.fontWeight, y.fontWeight) << r << ":" << c;
            ASSERT_EQ(x.fontUnderline, y.fontUnderline) << r << ":" << c;
            ASSERT_EQ(x.topWidth, y.topWidth) << r << ":" << c;
            ASSERT_EQ(x.bottomWidth, y.bottomWidth) << r << ":" << c;
            ASSERT_EQ(x.leftWidth, y.leftWidth) << r << ":" << c;
            ASSERT_EQ(x.rightWidth, y.rightWidth) << r << ":" << c;
        }
    a->close();
    b->close();
}

TEST(Office, NewWorkbookHasTwoSheetsAndMissingFilesAreRefused)
{
    automation::UnoOffice& office = OfficeEnvironment::office();
    ASSERT_TRUE(office.connect());
    auto doc = office.newCalc();
    EXPECT_EQ(doc->sheetCount(), 2);
    doc->setString({1, 2, 3}, QStringLiteral("Лист два"));
    EXPECT_EQ(doc->cellState({1, 2, 3}).content, QStringLiteral("Лист два"));
    doc->close();
    EXPECT_THROW(office.loadDocument(OfficeEnvironment::folder() + QStringLiteral("/нет такого.xls")),
                 automation::OfficeError);
    office.disconnect();
}

// A line under each of many rows given in one call comes out as the same
// line given range by range: on cells without lines, on cells sharing a line
// of their own, and on cells of different lines, each of which keeps its own.
TEST(Office, LinesUnderManyRowsAreThoseOfEachRowOnItsOwn)
{
    automation::UnoOffice& office = OfficeEnvironment::office();
    ASSERT_TRUE(office.connect());
    automation::BorderLine thick{0, 0, 88};
    automation::TableBorder left, right, under;
    left.left = thick;
    left.isLeftValid = true;
    right.right = thick;
    right.isRightValid = true;
    under.bottom = {1, 0, 35};
    under.isBottomValid = true;
    struct Case {
        const char* name;
        std::function<void(Document&)> before;
    };
    const Case cases[] = {
        {"no lines", [](Document&) {}},
        {"a line shared", [&](Document& d) { d.setTableBorder({0, 0, 0, 4, 20}, right); }},
        {"lines of their own", [&](Document& d) {
             d.setTableBorder({0, 1, 3, 1, 3}, left);
             d.setTableBorder({0, 4, 12, 4, 17}, right);
         }},
    };
    for (const Case& c : cases) {
        auto batched = office.newCalc();
        auto alone = office.newCalc();
        c.before(*batched);
        c.before(*alone);
        QList<automation::RangeAddress> rows;
        for (int r = 0; r < 20; r += r % 4 == 3 ? 2 : 1)
            rows.append({0, 0, r, 4, r});
        batched->setTableBorders(rows, under);
        for (const automation::RangeAddress& r : rows)
            alone->setTableBorder(r, under);
        for (int r = 0; r < 21; ++r)
            for (int col = 0; col < 6; ++col) {
                const CellState x = batched->cellState({0, col, r});
                const CellState y = alone->cellState({0, col, r});
                ASSERT_EQ(std::make_tuple(x.topWidth, x.bottomWidth, x.leftWidth, x.rightWidth),
                          std::make_tuple(y.topWidth, y.bottomWidth, y.leftWidth, y.rightWidth))
                    << c.name << " " << r << ":" << col;
            }
        EXPECT_EQ(batched->cellState({0, 2, 5}).bottomWidth, 35) << c.name;
        EXPECT_EQ(batched->cellState({0, 2, 4}).bottomWidth, 0) << c.name;
        batched->close();
        alone->close();
    }
    office.disconnect();
}

TEST(Office, UnreachableOfficeGivesTheMessage)
{
    QTemporaryDir dir;
    automation::UnoOptions o = automation::HeadlessUnoOptions(dir.path());
    o.pipeName = QStringLiteral("tarelia_nobody_listens");
    o.soffice = dir.path() + QStringLiteral("/no-office");
    automation::UnoOffice office(o);
    EXPECT_FALSE(office.connect());
    std::unique_ptr<Document> doc;
    TemplateForm f;
    f.HEAD_YX = QStringLiteral("F7");
    f.TAIL_YX = QStringLiteral("F12");
    f.SHABLON = QByteArray("spreadsheet");
    try {
        OpenPrintTemplate(office, dir.path() + QStringLiteral("/cache/"), f, doc);
        FAIL();
    } catch (const TemplateError& e) {
        EXPECT_EQ(e.text(), automation::OfficeUnreachableText());
    }
}

} // namespace

namespace {

// A sample loaded from its manifest is the default of its list and prints.
TEST(SampleTemplates, InstalledFromTheManifestAndPrinted)
{
    TestDb t;
    t.write().start();
    EXPECT_EQ(templates::InstallSampleTemplates(t.db(), t.write(), QStringLiteral(TARELIA_SAMPLES)), 1);
    t.write().commit();
    RefreshRead(t);
    reports::StandardReport r;
    r.listNo = 2;
    r.rowCount = 3;
    r.header = [](reports::TemplateRun& run) { run.putText(QStringLiteral("otdel"), QStringLiteral("Бар")); };
    r.amounts = [](int row) { return QVector<qint64>{10000 * (row + 1)}; };
    r.rowVariables = [](reports::TemplateRun& run, int row) {
        run.putText(QStringLiteral("name"), QStringLiteral("Чай %1").arg(row + 1));
        run.putAmount(QStringLiteral("summa"), 0);
    };
    r.end = [](reports::TemplateRun& run, const QVector<qint64>& totals) {
        run.putKopecks(QStringLiteral("sum_all"), totals.value(0));
        run.putText(QStringLiteral("sum_txt"), QStringLiteral("Шестьсот руб. 0коп."));
    };
    KeepingOffice keeping(OfficeEnvironment::office());
    reports::RunStandardReport({&t.db(), &t.read()}, keeping, t.folder() + QStringLiteral("templates/"), r);
    Document& d = *keeping.documents.front();
    EXPECT_EQ(at(d, "B3"), QStringLiteral("Бар"));
    EXPECT_EQ(at(d, "A8"), QVariant(1.0));
    EXPECT_EQ(at(d, "B10"), QStringLiteral("Чай 3"));
    EXPECT_EQ(at(d, "A11"), QStringLiteral("Итого:"));
    EXPECT_EQ(at(d, "F11"), QVariant(600.0));
    EXPECT_EQ(at(d, "B13"), QStringLiteral("Шестьсот руб. 0коп."));
    d.close();
}

} // namespace

namespace {

// The upload's check against the office itself: the converted sample passes;
// a file with a spreadsheet's signature but damaged inside, and a text file,
// are refused.
TEST(TemplateUpload, TheOfficeOpensTheSampleAndRefusesDamagedFiles)
{
    automation::UnoOffice& office = OfficeEnvironment::office();
    const QByteArray good = sampleBytes();
    ASSERT_FALSE(good.isEmpty());
    EXPECT_NO_THROW(templates::CheckSpreadsheet(office, good, QStringLiteral("good.xls")));
    QByteArray damaged = good.left(512);
    damaged += QByteArray(4096, '\x5A');
    EXPECT_THROW(templates::CheckSpreadsheet(office, damaged, QStringLiteral("damaged.xls")), TemplateError);
    EXPECT_THROW(templates::CheckSpreadsheet(office, QByteArray("Дата;Время\n1;2\n"), QStringLiteral("text.xls")),
                 TemplateError);
    office.disconnect();
}

// 20,000 protocol lines into a new workbook of the office, read back.
TEST(ProtocolPrint, TwentyThousandLinesIntoTheOffice)
{
    KeepingOffice keeping(OfficeEnvironment::office());
    QList<reports::ProtocolPrint::Line> lines;
    for (int i = 0; i < 20000; ++i)
        lines.append({QStringLiteral("10.03.2026"), QStringLiteral("12:00:00"), QStringLiteral("Иванова М."),
                      QStringLiteral("Настройка"), QStringLiteral("Действие №%1").arg(i + 1)});
    ASSERT_TRUE(reports::ProtocolPrint::Print(keeping, {lines}));
    ASSERT_EQ(keeping.documents.size(), 1u);
    Document& doc = *keeping.documents[0];
    EXPECT_EQ(doc.cellState({0, 2, 0}).content, QStringLiteral("Фио"));
    EXPECT_EQ(doc.cellState({0, 4, 1}).content, QStringLiteral("Действие №1"));
    EXPECT_EQ(doc.cellState({0, 4, 20000}).content, QStringLiteral("Действие №20000"));
    EXPECT_FALSE(doc.cellState({0, 0, 20001}).content.isValid());
    // Wrapped down to the last line, not to a fixed row.
    EXPECT_TRUE(doc.cellState({0, 4, 20000}).wrapped);
    EXPECT_FALSE(doc.cellState({0, 4, 20001}).wrapped);
    const CellState last = doc.cellState({0, 4, 20000});
    EXPECT_EQ(last.bottomWidth, 35);
    EXPECT_EQ(last.rightWidth, 35);
    doc.close();
}

} // namespace
