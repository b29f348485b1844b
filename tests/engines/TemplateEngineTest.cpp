// The template engine against the in-memory office: cell references, the
// block moves of a template, variable placement and the template cache.

#include "automation/BufferedDocument.h"
#include "automation/RecordingOffice.h"
#include "templates/TemplateEngine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace templates;
using automation::RecordedBook;
using automation::RecordingOffice;

namespace {

TEST(CellReferences, ColumnAndRowNumbers)
{
    EXPECT_EQ(ColumnNumber(QStringLiteral("A1")), 1);
    EXPECT_EQ(ColumnNumber(QStringLiteral("Z9")), 26);
    EXPECT_EQ(ColumnNumber(QStringLiteral("AA10")), 27);
    EXPECT_EQ(ColumnNumber(QStringLiteral("AB3")), 28);
    EXPECT_EQ(ColumnNumber(QStringLiteral("ZZ1")), 702);
    EXPECT_EQ(ColumnNumber(QStringLiteral("F")), 6);
    EXPECT_EQ(ColumnNumber(QString()), 1);
    EXPECT_EQ(RowNumber(QStringLiteral("B12")), 12);
    EXPECT_EQ(RowNumber(QStringLiteral("AB")), 1);
    EXPECT_EQ(RowNumber(QString()), 1);
    EXPECT_EQ(RowNumber(QStringLiteral("ZZ100")), 100);
    EXPECT_EQ(ColumnLetters(QStringLiteral("AB12")), QStringLiteral("AB"));
}

// A template with the header in A1:F7 and a five-row end block below it.
TemplateForm sampleForm()
{
    TemplateForm f;
    f.KOD = 1;
    f.NAME_SHABLON = QStringLiteral("Образец");
    f.HEAD_YX = QStringLiteral("F7");
    f.TAIL_YX = QStringLiteral("F12");
    f.START_LINE = QStringLiteral("A");
    f.END_LINE = QStringLiteral("F");
    f.SETKA = OutlineGrid;
    f.UNICNAME = 123;
    f.SHABLON = QByteArray("template bytes \x00\x01\x02", 18);
    return f;
}

RecordedBook sampleBook()
{
    RecordedBook b;
    b.sheets.resize(1);
    b.sheets[0].name = QStringLiteral("Лист1");
    auto& cells = b.sheets[0].cells;
    cells[{0, 0}].content = QStringLiteral("Накладная");
    cells[{6, 5}].content = QStringLiteral("шапка F7");
    cells[{7, 0}].content = QStringLiteral("Итого");      // A8, first row of the end block
    cells[{11, 5}].content = QStringLiteral("подвал F12");
    cells[{11, 0}].fontWeight = automation::kWeightBold;
    return b;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QStringLiteral("/cache/");
        office.prototype = sampleBook();
        form = sampleForm();
    }
    RecordedBook& book() { return office.last(); }

    QTemporaryDir dir;
    QString folder;
    RecordingOffice office;
    TemplateForm form;
    std::unique_ptr<automation::Document> doc;
};

TEST_F(EngineTest, OpenParksTheEndBlockMoveBringsItBackFinishDrawsTheGrid)
{
    const int first = OpenPrintTemplate(office, folder, form, doc);
    EXPECT_EQ(first, 8);
    RecordedBook& b = book();
    EXPECT_EQ(b.sourcePath, folder + QStringLiteral("123.xls"));
    // A8:F12 now stands at A1:F5 of the second sheet, nothing below the header.
    EXPECT_EQ(b.at(QStringLiteral("A1"), 1), QStringLiteral("Итого"));
    EXPECT_EQ(b.at(QStringLiteral("F5"), 1), QStringLiteral("подвал F12"));
    EXPECT_EQ(b.stateAt(QStringLiteral("A5"), 1).fontWeight, automation::kWeightBold);
    EXPECT_FALSE(b.at(QStringLiteral("A8")).isValid());
    EXPECT_EQ(b.at(QStringLiteral("F7")), QStringLiteral("шапка F7"));
    EXPECT_TRUE(b.log.contains(QStringLiteral("removeRows 7 25")));
    EXPECT_EQ(b.controllerLocks, 1);
    EXPECT_EQ(b.actionLocks, 1);

    // 20 table rows later.
    EXPECT_EQ(MoveTemplateRange(*doc, form.TAIL_YX, form.HEAD_YX, 28, true), 34);
    EXPECT_EQ(b.at(QStringLiteral("A28")), QStringLiteral("Итого"));
    EXPECT_EQ(b.at(QStringLiteral("F32")), QStringLiteral("подвал F12"));
    EXPECT_FALSE(b.at(QStringLiteral("A1"), 1).isValid());

    FinishTemplateSheet(office, *doc, form, 28);
    // The grid covers A8:F27 exactly.
    for (const char* inside : {"A8", "F8", "C15", "A27", "F27"}) {
        const auto st = b.stateAt(QString::fromLatin1(inside));
        EXPECT_EQ(st.topWidth, 35) << inside;
        EXPECT_EQ(st.bottomWidth, 35) << inside;
        EXPECT_EQ(st.leftWidth, 35) << inside;
        EXPECT_EQ(st.rightWidth, 35) << inside;
    }
    for (const char* outside : {"A7", "F7", "A28", "G8", "G27"}) {
        const auto st = b.stateAt(QString::fromLatin1(outside));
        EXPECT_EQ(st.topWidth + st.bottomWidth + st.leftWidth + st.rightWidth, 0) << outside;
    }
    EXPECT_EQ(b.controllerLocks, 0);
    EXPECT_EQ(b.actionLocks, 0);
    EXPECT_TRUE(b.visible);
    EXPECT_FALSE(office.connected());
}

TEST_F(EngineTest, CopiedEndBlockStaysParkedTheHeaderRepeatsAndOnlyTheFirstSheetIsShown)
{
    OpenPrintTemplate(office, folder, form, doc);
    EXPECT_EQ(MoveTemplateRange(*doc, form.TAIL_YX, form.HEAD_YX, 10, false), 16);
    RecordedBook& b = book();
    EXPECT_EQ(b.at(QStringLiteral("A10")), QStringLiteral("Итого"));
    EXPECT_EQ(b.at(QStringLiteral("A1"), 1), QStringLiteral("Итого"));
    EXPECT_EQ(CopyTemplateRange(*doc, form.HEAD_YX, 16), 24);
    EXPECT_EQ(b.at(QStringLiteral("A16")), QStringLiteral("Накладная"));
    EXPECT_EQ(b.at(QStringLiteral("F22")), QStringLiteral("шапка F7"));

    // The finished workbook holds only the sheet it shows, not the parked block.
    FinishTemplateSheet(office, *doc, form, 24);
    ASSERT_EQ(b.sheets.size(), 1u);
    EXPECT_EQ(b.sheets[0].name, QStringLiteral("Лист1"));
    EXPECT_EQ(b.at(QStringLiteral("A16")), QStringLiteral("Накладная"));
}

TEST_F(EngineTest, EmptyTableGetsNoGridAndOtherOutlinesDrawNothing)
{
    OpenPrintTemplate(office, folder, form, doc);
    MoveTemplateRange(*doc, form.TAIL_YX, form.HEAD_YX, 8, true);
    FinishTemplateSheet(office, *doc, form, 8);
    RecordedBook& b = book();
    EXPECT_EQ(b.formatCalls, 0);
    EXPECT_EQ(b.stateAt(QStringLiteral("A7")).bottomWidth, 0);
    EXPECT_EQ(b.stateAt(QStringLiteral("A8")).topWidth, 0);

    form.SETKA = OutlineLines;
    OpenPrintTemplate(office, folder, form, doc);
    FinishTemplateSheet(office, *doc, form, 20);
    EXPECT_EQ(book().formatCalls, 0);
}

TEST_F(EngineTest, UnreachableOfficeAndUnopenableTemplateStopWithAMessage)
{
    office.reachable = false;
    try {
        OpenPrintTemplate(office, folder, form, doc);
        FAIL() << "no error";
    } catch (const TemplateError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Проверте установлен ли у Вас OpenOffice верссии не ниже 3.2 !"));
    }
    EXPECT_TRUE(office.books.isEmpty());

    // A cache folder that cannot be made: the file is missing and cannot be opened.
    office.reachable = true;
    QFile blocker(dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        OpenPrintTemplate(office, dir.path() + QStringLiteral("/file/cache/"), form, doc);
        FAIL() << "no error";
    } catch (const TemplateError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Ошибка открытия шаблона !"));
    }
    EXPECT_EQ(doc, nullptr);

    // A template with no spreadsheet is refused in words, not opened as a bare workbook.
    form.SHABLON.clear();
    try {
        OpenPrintTemplate(office, folder, form, doc);
        FAIL() << "no error";
    } catch (const TemplateError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("нет файла электронной таблицы"))) << e.text().toStdString();
    }
    EXPECT_TRUE(office.books.isEmpty());
}

TEST_F(EngineTest, CacheFileIsWrittenOnceAndRewrittenWhenItsSizeDiffers)
{
    const QString path = EnsureCacheFile(folder, form);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), form.SHABLON);
    f.close();
    EXPECT_FALSE(QFile::permissions(path) & QFileDevice::WriteOwner);  // read-only
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size() == 1);  // no temporary left

    // A file of the right size is kept as it is.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QByteArray same(form.SHABLON.size(), 'x');
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(same);
    f.close();
    EnsureCacheFile(folder, form);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), same);
    f.close();

    // A cut file (an earlier write that broke off) is written again.
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("cut");
    f.close();
    QFile::setPermissions(path, QFile::ReadOwner);
    EnsureCacheFile(folder, form);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), form.SHABLON);
}

// ---- variables ----

TemplateVariable var(const char* name, int location, const char* xStart, const char* xEnd = nullptr)
{
    TemplateVariable v;
    v.NAMEVAR = QString::fromLatin1(name);
    v.ENABLED = 1;
    v.LOCATION = location;
    v.X_START = QString::fromLatin1(xStart);
    v.X_END = QString::fromLatin1(xEnd ? xEnd : xStart);
    return v;
}

R_Field value(const char* name, int kind)
{
    R_Field f;
    f.Name = QString::fromLatin1(name);
    f.Typ = kind;
    return f;
}

class PlacingTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        OpenPrintTemplate(office, folder, form, doc);
    }
    void add(const TemplateVariable& v) { vars.add(v); }
    int place(const R_Field& f, int mode, int row)
    {
        PutTemplateVariables(*doc, f, mode, row, vars, form);
        return row;
    }
    QVariant at(const char* a1) { return book().at(QString::fromLatin1(a1)); }
    TemplateVariables vars;
};

TEST_F(PlacingTest, ValueWithTextAroundBecomesOneTextOtherwiseTyped)
{
    TemplateVariable sum = var("sum_all", LocTotals, "E1");
    sum.TEXT_BEFORE_VALUE = QStringLiteral("Итого:");
    sum.TEXT_AFTER_VALUE = QStringLiteral("руб.");
    add(sum);
    add(var("plain", LocTable, "B1"));
    R_Field f = value("SUM_ALL", KindFloat);  // names match whatever their case
    f.F = 1234.5;
    place(f, RowStay, 20);
    EXPECT_EQ(at("E20"), QStringLiteral("Итого: 1234,50 руб."));
    f.Name = QStringLiteral("plain");
    place(f, RowStay, 21);
    EXPECT_EQ(at("B21"), QVariant(1234.5));

    R_Field i = value("plain", KindInteger);
    i.I = 42;
    place(i, RowStay, 22);
    EXPECT_EQ(at("B22"), QVariant(42.0));
    R_Field d = value("plain", KindDate);
    d.D = QDateTime(QDate(2026, 3, 7), QTime());
    place(d, RowStay, 23);
    EXPECT_EQ(at("B23"), QStringLiteral("07.03.2026"));
    R_Field t = value("plain", KindTime);
    t.T = QDateTime(QDate(2026, 3, 7), QTime(9, 5, 0));
    place(t, RowStay, 24);
    EXPECT_EQ(at("B24"), QStringLiteral("9:05:00"));
    R_Field s = value("plain", KindText);
    s.S = QStringLiteral("Картофель «молодой», 1'й сорт");
    place(s, RowStay, 25);
    EXPECT_EQ(at("B25"), s.S);
}

TEST_F(PlacingTest, APriceOrQuantityShowsItsDecimalsWhereItsColumnShowsFewer)
{
    add(var("f", LocTable, "B1"));
    const struct {
        const char* column;
        double v;
        QString figure;  // the papers' format it is given, empty for money
        const char* shown;
    } cases[] = {
        {"0,00", 0.335, automation::kPriceFormat, "0,00####"},  // a template made when prices showed two
        {"0,00", 12.5, automation::kPriceFormat, "0,00"},
        {"# ##0,00", 1234.5678, automation::kPriceFormat, "0,00####"},
        {"0,00\"р.\";[RED]-0,00\"р.\"", 0.125, automation::kPriceFormat, "0,00####"},
        {"0,00##", 142.633867, automation::kPriceFormat, "0,00####"},  // one made when they showed four
        {"0,00##", 142.6339, automation::kPriceFormat, "0,00##"},
        {"0,###", 0.3675, automation::kQuantityFormat, "0,######"},
        {"0,####", 0.00002, automation::kQuantityFormat, "0,######"},
        {"0,###", 0.375, automation::kQuantityFormat, "0,###"},
        {"0", 2000, automation::kQuantityFormat, "0"},
        {"0,00", 0.335, QString(), "0,00"},
        {"Основной", 0.3675, automation::kQuantityFormat, "Основной"},
    };
    int row = 20;
    for (const auto& c : cases) {
        const ColumnFormats formats{{2, QString::fromUtf8(c.column)}};
        R_Field f = value("f", KindFloat);
        f.F = c.v;
        int r = row;
        PutTemplateVariables(*doc, f, RowStay, r, vars, form, &formats, c.figure);
        EXPECT_EQ(book().stateAt(QStringLiteral("B%1").arg(row)).numberFormat, QString::fromUtf8(c.shown)) << c.column << " " << c.v;
        ++row;
    }
}

TEST_F(PlacingTest, EachKindAsTextWithOnlyOneSideOfText)
{
    TemplateVariable before = var("b", LocTable, "A1");
    before.TEXT_BEFORE_VALUE = QStringLiteral("№");
    TemplateVariable after = var("a", LocTable, "B1");
    after.TEXT_AFTER_VALUE = QStringLiteral("шт.");
    add(before);
    add(after);
    R_Field i = value("b", KindInteger);
    i.I = 7;
    place(i, RowStay, 10);
    EXPECT_EQ(at("A10"), QStringLiteral("№ 7"));
    R_Field f = value("a", KindFloat);
    f.F = 2.005;  // two decimals, decimal comma, no thousands separator
    place(f, RowStay, 10);
    EXPECT_EQ(at("B10"), QStringLiteral("2,00 шт."));
    f.F = 1234567.891;
    place(f, RowStay, 11);
    EXPECT_EQ(at("B11"), QStringLiteral("1234567,89 шт."));
    f.F = -0.001;
    place(f, RowStay, 12);
    EXPECT_EQ(at("B12"), QStringLiteral("0,00 шт."));
    R_Field d = value("a", KindDate);
    d.D = QDateTime(QDate(2026, 12, 31), QTime());
    place(d, RowStay, 13);
    EXPECT_EQ(at("B13"), QStringLiteral("31.12.2026 шт."));
    // No value: nothing, with or without the texts.
    place(value("a", KindNone), RowStay, 14);
    EXPECT_FALSE(at("B14").isValid());
}

TEST_F(PlacingTest, RowModesForEnabledDisabledAndUnknownVariables)
{
    add(var("on", LocTable, "A1"));
    TemplateVariable off = var("off", LocGroup, "A1");
    off.ENABLED = 0;
    add(off);
    EXPECT_EQ(place(value("on", KindText), RowStay, 10), 10);
    EXPECT_EQ(place(value("on", KindText), RowNext, 10), 11);
    EXPECT_EQ(place(value("on", KindText), RowNextWhenEnabled, 10), 11);
    EXPECT_EQ(place(value("off", KindText), RowNext, 10), 11);
    EXPECT_EQ(place(value("off", KindText), RowNextWhenEnabled, 10), 10);
    // A name the template lacks is a disabled variable: nothing written, the same row rules.
    R_Field missing = value("no_such", KindText);
    missing.S = QStringLiteral("x");
    EXPECT_EQ(place(missing, RowNextWhenEnabled, 10), 10);
    EXPECT_EQ(place(missing, RowNext, 10), 11);
    EXPECT_EQ(book().cellCalls, 3);
    EXPECT_EQ(book().formatCalls, 0);
}

TEST_F(PlacingTest, HeaderAndEndVariablesCountTheirOwnRows)
{
    add(var("date", LocHeader, "C3"));
    add(var("sum_txt", LocEnd, "C3", "F4"));
    R_Field h = value("date", KindText);
    h.S = QStringLiteral("шапка");
    place(h, RowStay, 1);
    EXPECT_EQ(at("C3"), QStringLiteral("шапка"));
    TemplateVariable& merged = const_cast<TemplateVariable&>(*vars.find(QStringLiteral("sum_txt")));
    merged.MERGEE = 1;
    R_Field e = value("sum_txt", KindText);
    e.S = QStringLiteral("подвал");
    place(e, RowStay, 28);
    EXPECT_EQ(at("C30"), QStringLiteral("подвал"));
    EXPECT_TRUE(book().sheets[0].merges.contains(automation::RangeAddress{0, 2, 29, 5, 30}));
}

TEST_F(PlacingTest, StaticTextMergeWrapAlignmentFontAndLines)
{
    TemplateVariable st = var("s1", LocTable, "D1", "F1");
    st.STATIC_TYPE = 1;
    st.TEXT_STATIC = QStringLiteral("подпись");
    st.MERGEE = 1;
    st.WRAPP = 1;
    st.MY_HORIZONTAL_ALIGNMENT = 1;
    st.HORIZONTAL_ALIGNMENT = 3;
    st.MY_FONT = 1;
    st.FONT_NAME = QStringLiteral("DejaVu Sans");
    st.FONT_SIZE = 11.6;
    st.FONT_BOLD = 1;
    st.FONT_ITALIC = 0;
    st.FONT_UNDERLINE = 1;
    add(st);
    place(value("s1", KindNone), RowStay, 15);  // static text shows even without a value
    RecordedBook& b = book();
    EXPECT_EQ(at("D15"), QStringLiteral("подпись"));
    EXPECT_TRUE(b.sheets[0].merges.contains(automation::RangeAddress{0, 3, 14, 5, 14}));
    for (const char* c : {"D15", "E15", "F15"}) {
        const auto s = b.stateAt(QString::fromLatin1(c));
        EXPECT_TRUE(s.wrapped);
        EXPECT_EQ(s.horiJustify, 2);  // centre
        EXPECT_EQ(s.fontName, QStringLiteral("DejaVu Sans"));
        EXPECT_EQ(s.fontHeight, 12);
        EXPECT_EQ(s.fontWeight, automation::kWeightBold);
        EXPECT_EQ(s.fontPosture, 0);
        EXPECT_EQ(s.fontUnderline, 1);  // single
    }
    EXPECT_FALSE(b.stateAt(QStringLiteral("G15")).wrapped);

    // A dynamic variable without a value still gets its formats.
    TemplateVariable w = var("w", LocTable, "B1");
    w.WRAPP = 1;
    add(w);
    place(value("w", KindNone), RowStay, 16);
    EXPECT_FALSE(at("B16").isValid());
    EXPECT_TRUE(b.stateAt(QStringLiteral("B16")).wrapped);

    // Template outline 1: a line under every table row; a group row only by its own switch.
    form.SETKA = OutlineLines;
    add(var("kolvo", LocTable, "C1"));
    TemplateVariable g = var("group2", LocGroup, "A1");
    add(g);
    place(value("kolvo", KindText), RowStay, 17);
    place(value("group2", KindText), RowStay, 18);
    EXPECT_EQ(b.stateAt(QStringLiteral("A17")).bottomWidth, 35);
    EXPECT_EQ(b.stateAt(QStringLiteral("F17")).bottomWidth, 35);
    EXPECT_EQ(b.stateAt(QStringLiteral("G17")).bottomWidth, 0);
    EXPECT_EQ(b.stateAt(QStringLiteral("A17")).topWidth, 0);
    EXPECT_EQ(b.stateAt(QStringLiteral("A18")).bottomWidth, 0);
    const_cast<TemplateVariable&>(*vars.find(QStringLiteral("group2"))).SETKA = 1;
    form.SETKA = OutlineNone;
    place(value("group2", KindText), RowStay, 19);
    EXPECT_EQ(b.stateAt(QStringLiteral("C19")).bottomWidth, 35);
}

TEST(TemplateValidation, BadReferencesAreRefusedBeforeUse)
{
    TemplateVariables none;
    TemplateForm f = sampleForm();
    EXPECT_NO_THROW(ValidateTemplate(f, none));
    for (const char* head : {"f7", "ABC7", "7", "F", "F0", ""}) {
        f = sampleForm();
        f.HEAD_YX = QString::fromLatin1(head);
        EXPECT_THROW(ValidateTemplate(f, none), TemplateError) << head;
    }
    f = sampleForm();
    f.TAIL_YX = QStringLiteral("F7");  // an end block needs a row
    EXPECT_THROW(ValidateTemplate(f, none), TemplateError);
    f = sampleForm();
    f.START_LINE = QStringLiteral("a");
    EXPECT_THROW(ValidateTemplate(f, none), TemplateError);
    f.SETKA = OutlineNone;  // columns of the outline are not used then
    EXPECT_NO_THROW(ValidateTemplate(f, none));

    f = sampleForm();
    TemplateVariables vars;
    TemplateVariable v = var("nstr", LocTable, "A");  // table rows take the report's row
    vars.add(v);
    TemplateVariable off = var("old", LocHeader, "", "");
    off.ENABLED = 0;  // disabled variables are never placed
    vars.add(off);
    EXPECT_NO_THROW(ValidateTemplate(f, vars));
    vars.add(var("date", LocHeader, "C"));  // a header variable needs its row
    try {
        ValidateTemplate(f, vars);
        FAIL();
    } catch (const TemplateError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("date")));
        EXPECT_TRUE(e.text().contains(QStringLiteral("Образец")));
    }

    // The last row of a sheet is 1,048,576: a reference below it is refused, naming the cell.
    f = sampleForm();
    f.TAIL_YX = QStringLiteral("F1048576");
    EXPECT_NO_THROW(ValidateTemplate(f, none));
    f.TAIL_YX = QStringLiteral("F1048577");
    EXPECT_THROW(ValidateTemplate(f, none), TemplateError);
    f = sampleForm();
    TemplateVariables far;
    far.add(var("itogo", LocEnd, "A1048577"));
    try {
        ValidateTemplate(f, far);
        FAIL();
    } catch (const TemplateError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("A1048577"))) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains(QStringLiteral("itogo")));
    }
}

TEST(TemplateValidation, UnicnameMustFitItsColumn)
{
    EXPECT_EQ(UnicnameFromKey(2147483647), 2147483647);
    EXPECT_THROW(UnicnameFromKey(2147483648LL), TemplateError);
    EXPECT_THROW(UnicnameFromKey(0), TemplateError);
}

// The row-buffered document stores exactly what one call per cell stores.
TEST(BufferedDocument, SameCellsFewerCalls)
{
    RecordingOffice a, b;
    a.connect();
    b.connect();
    auto plain = a.newCalc();
    auto inner = b.newCalc();
    {
        automation::BufferedDocument buffered(*inner);
        for (automation::Document* d : {plain.get(), static_cast<automation::Document*>(&buffered)}) {
            automation::TableBorder line;
            line.bottom.outerWidth = 35;
            line.isBottomValid = true;
            for (int r = 0; r < 10; ++r) {
                for (int c = 0; c < 6; ++c) {
                    if (c % 2)
                        d->setValue({0, c, r}, r * 10 + c);
                    else
                        d->setString({0, c, r}, QStringLiteral("т%1").arg(c));
                    d->setTableBorder({0, 0, r, 5, r}, line);
                }
                d->setString({0, 8, r}, QStringLiteral("отдельно"));  // a gap: its own call
                d->merge({0, 6, r, 7, r});
            }
            d->moveRange({0, 0, 20}, {0, 0, 0, 8, 1});
            d->setString({0, 0, 30}, QStringLiteral("последняя"));
        }
    }
    const RecordedBook& p = a.last();
    const RecordedBook& q = b.last();
    ASSERT_EQ(p.sheets[0].cells.size(), q.sheets[0].cells.size());
    for (const auto& [pos, st] : p.sheets[0].cells) {
        const auto other = q.sheets[0].cells.at(pos);
        EXPECT_EQ(st.content, other.content);
        EXPECT_EQ(st.bottomWidth, other.bottomWidth);
    }
    EXPECT_EQ(p.sheets[0].merges, q.sheets[0].merges);
    EXPECT_EQ(p.cellCalls, 10 * 7 + 1);
    EXPECT_EQ(q.rowCalls, 10);
    EXPECT_EQ(q.cellCalls, 10 + 1);  // each row goes before its merge: two calls cost less than asking first
    EXPECT_EQ(p.formatCalls, 10 * 6 + 10);
    EXPECT_EQ(q.formatCalls, 10 + 1);  // the merges, and the lines in one call: a merge on other cells leaves them waiting
}

} // namespace

namespace {

// Rows of the same cells go as one block, lines under them as one call; a
// font waits like the values, a structural change sends all first, a copy
// only what waits on its cells.
TEST(BufferedDocument, RowsOfTheSameCellsGoAsOneBlock)
{
    RecordingOffice office;
    office.connect();
    auto inner = office.newCalc();
    RecordedBook& book = office.last();
    automation::BufferedDocument d(*inner);
    automation::TableBorder line;
    line.bottom.outerWidth = 35;
    line.isBottomValid = true;
    for (int r = 10; r < 60; ++r) {
        for (int c = 0; c < 15; ++c) {
            d.setValue({0, c, r}, r * 100 + c);
            d.setTableBorder({0, 0, r, 14, r}, line);
        }
    }
    EXPECT_EQ(book.rowCalls + book.cellCalls + book.formatCalls, 0);  // all still waiting
    automation::Font bold;
    bold.weight = automation::kWeightBold;
    d.setString({0, 1, 60}, QStringLiteral("Группа"));
    d.setFont({0, 1, 60, 1, 60}, bold);
    EXPECT_EQ(book.rowCalls + book.cellCalls + book.formatCalls, 0);  // the font waits too
    d.copyRange({0, 0, 70}, {1, 0, 0, 5, 4});  // a parked block below them all
    d.copyRange({0, 0, 80}, {0, 0, 0, 5, 4});  // the first rows, where nothing waits
    EXPECT_EQ(book.rowCalls + book.cellCalls + book.formatCalls, 0);
    d.removeRows(0, 100, 1);
    EXPECT_EQ(book.rowCalls, 1);     // rows 10..59 in one block
    EXPECT_EQ(book.cellCalls, 1);    // the heading
    EXPECT_EQ(book.formatCalls, 2);  // its font, and the fifty lines in one call
    EXPECT_EQ(book.at(QStringLiteral("O60")), QVariant(5914.0));
    EXPECT_EQ(book.stateAt(QStringLiteral("O60")).bottomWidth, 35);
    EXPECT_EQ(book.stateAt(QStringLiteral("A60")).topWidth, 0);
    EXPECT_EQ(book.at(QStringLiteral("B61")), QStringLiteral("Группа"));
    EXPECT_EQ(book.stateAt(QStringLiteral("B61")).fontWeight, automation::kWeightBold);
}

// A range merged, or carried merged by a copy or a move, is not merged
// again; one a copy wrote over, moved away or taken out with its row is.
TEST(BufferedDocument, AMergeCarriedByACopyIsNotSentAgain)
{
    RecordingOffice office;
    office.connect();
    auto inner = office.newCalc();
    RecordedBook& book = office.last();
    automation::BufferedDocument d(*inner);
    const auto merge = [&](int sheet, int row) { d.merge({sheet, 1, row, 4, row}); };
    const struct {
        const char* step;
        std::function<void()> act;
        int merges;  // merge calls sent by then
    } steps[] = {
        {"B1:E1 and B3:E3", [&] { merge(0, 0); merge(0, 2); }, 2},
        {"B1:E1 again", [&] { merge(0, 0); }, 2},
        {"rows 1-3 copied to 11-13, B11:E11 merged", [&] { d.copyRange({0, 0, 10}, {0, 0, 0, 4, 2}); merge(0, 10); }, 2},
        {"an unmerged row copied over row 11", [&] { d.copyRange({0, 0, 10}, {0, 0, 5, 4, 5}); merge(0, 10); }, 3},
        {"row 13 moved to the second sheet", [&] { d.moveRange({1, 0, 0}, {0, 0, 12, 4, 12}); merge(1, 0); merge(0, 12); }, 4},
        {"row 1 taken out", [&] { d.removeRows(0, 0, 1); merge(0, 1); merge(0, 0); }, 5},
    };
    for (const auto& s : steps) {
        s.act();
        d.flush();
        EXPECT_EQ(book.formatCalls, s.merges) << s.step;
    }
}

// Lines under groups of rows apart (headings and subtotals between them) go
// in one call at the end; a line over cells already waiting for one sends
// those first.
TEST(BufferedDocument, LinesUnderRowsApartGoInOneCall)
{
    RecordingOffice office;
    office.connect();
    auto inner = office.newCalc();
    RecordedBook& book = office.last();
    {
        automation::BufferedDocument d(*inner);
        automation::TableBorder line;
        line.bottom.outerWidth = 35;
        line.isBottomValid = true;
        for (int group = 0; group < 10; ++group)
            for (int r = group * 12 + 1; r < group * 12 + 11; ++r)
                d.setTableBorder({0, 0, r, 9, r}, line);
        EXPECT_EQ(book.formatCalls, 0);
        automation::TableBorder box = line;
        box.top.outerWidth = 50;
        box.isTopValid = true;
        d.setTableBorder({0, 0, 200, 9, 200}, box);  // another kind
        EXPECT_EQ(book.formatCalls, 1);
        d.setTableBorder({0, 0, 201, 9, 202}, box);  // apart from row 200: waits with it
        EXPECT_EQ(book.formatCalls, 1);
        d.setTableBorder({0, 0, 202, 9, 203}, box);  // shares row 202
        EXPECT_EQ(book.formatCalls, 2);
    }
    EXPECT_EQ(book.formatCalls, 3);
    EXPECT_EQ(book.stateAt(QStringLiteral("J2")).bottomWidth, 35);
    EXPECT_EQ(book.stateAt(QStringLiteral("J12")).bottomWidth, 0);
    EXPECT_EQ(book.stateAt(QStringLiteral("A119")).bottomWidth, 35);
    EXPECT_EQ(book.stateAt(QStringLiteral("A203")).topWidth, 50);
    EXPECT_EQ(book.stateAt(QStringLiteral("A203")).bottomWidth, 35);

    // A row copied onto the first row of the lines waiting, or onto the
    // last, sends them first: the copy's cells are what stays.
    for (const int onto : {300, 309}) {
        {
            automation::BufferedDocument d(*inner);
            automation::TableBorder line;
            line.bottom.outerWidth = 35;
            line.isBottomValid = true;
            for (int r = 300; r < 310; ++r)
                d.setTableBorder({0, 0, r, 9, r}, line);
            d.copyRange({0, 0, onto}, {0, 0, 400, 9, 400});
        }
        EXPECT_EQ(book.state({0, 0, onto}).bottomWidth, 0) << onto;
        EXPECT_EQ(book.state({0, 0, 300 + 309 - onto}).bottomWidth, 35) << onto;
    }
}

} // namespace
