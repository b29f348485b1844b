// The menu prints against the in-memory office on a real database: the menu
// from its template (department and section headings, numbering, money texts,
// calories), the codes sheet and the CSV file.

#include "printing/MenuPrintFixture.h"

#include "automation/RecordingOffice.h"
#include "db/Codec.h"
#include "direct/MenuDirect.h"
#include "engine/Clock.h"
#include "reports/MenuCsv.h"
#include "reports/MenuReport.h"
#include "support/EngineEnv.h"
#include "support/ReportGolden.h"
#include "support/TemplateFixture.h"
#include "workbooks/MenuCodesWorkbook.h"

#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace templates;
using namespace menu_print;
using automation::RecordedBook;
using automation::RecordingOffice;

namespace {

TEST(MenuMoneyText, PadsKopecksToTwoDigitsWithOneSignBeforeANegativeAmount)
{
    const QString r = QStringLiteral("руб."), k = QStringLiteral("коп.");
    EXPECT_EQ(reports::MenuMoneyText(125.5, r, k), QStringLiteral("125руб. 50коп."));
    EXPECT_EQ(reports::MenuMoneyText(0.07, r, k), QStringLiteral("0руб. 07коп."));
    EXPECT_EQ(reports::MenuMoneyText(80, r, k), QStringLiteral("80руб. 00коп."));
    EXPECT_EQ(reports::MenuMoneyText(-1.5, r, k), QStringLiteral("-1руб. 50коп."));
    EXPECT_EQ(reports::MenuMoneyText(-0.07, r, k), QStringLiteral("-0руб. 07коп."));
    // Hundredths round to nearest with ties to even.
    EXPECT_EQ(reports::MenuMoneyText(0.125, r, k), QStringLiteral("0руб. 12коп."));
    EXPECT_EQ(reports::MenuMoneyText(0.375, r, k), QStringLiteral("0руб. 38коп."));
}

TEST(MenuCsvPrice, ShortestFormWithADecimalComma)
{
    EXPECT_EQ(reports::MenuCsvPrice(125.5), QStringLiteral("125,5"));
    EXPECT_EQ(reports::MenuCsvPrice(80.0), QStringLiteral("80"));
    EXPECT_EQ(reports::MenuCsvPrice(0.07), QStringLiteral("0,07"));
    EXPECT_EQ(reports::MenuCsvPrice(1234567.25), QStringLiteral("1234567,25"));
    EXPECT_EQ(reports::MenuCsvPrice(0.0), QStringLiteral("0"));
    EXPECT_EQ(reports::MenuCsvPrice(std::nullopt), QString());
}

class MenuPrint : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeMenu(env.t);
        env.settings.rub = QStringLiteral("руб.");
        env.settings.kop = QStringLiteral("коп.");
        Clock::setSource([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 30)); });
    }
    void TearDown() override { Clock::setSource({}); }

    // The layout of the shipped sample: header A1:F4, end block A5:F7.
    void menuTemplate(bool otdelHeading = true)
    {
        TemplateForm f = TableLayout(QStringLiteral("Меню"), 601);
        f.HEAD_YX = QStringLiteral("F4");
        f.TAIL_YX = QStringLiteral("F7");
        const qint64 form = InsertTemplate(env.t, reports::kMenuList, f);
        InsertVariable(env.t, form, PlacedVariable(QStringLiteral("date"), LocHeader, QStringLiteral("B2")));
        TemplateVariable otdel = PlacedVariable(QStringLiteral("otdel"), LocGroup, QStringLiteral("A1"));
        otdel.ENABLED = otdelHeading ? 1 : 0;
        InsertVariable(env.t, form, otdel);
        InsertVariable(env.t, form, PlacedVariable(QStringLiteral("group"), LocGroup, QStringLiteral("B1")));
        const char* table[][2] = {{"nstr", "A1"}, {"name", "B1"}, {"vihod", "C1"},
                                  {"cena", "D1"}, {"cena2", "E1"}, {"kalories_menu", "F1"}};
        for (const auto& v : table)
            InsertVariable(env.t, form, PlacedVariable(QString::fromLatin1(v[0]), LocTable, QString::fromLatin1(v[1])));
        RecordedBook b;
        b.sheets.resize(1);
        b.sheets[0].cells[{0, 0}].content = QStringLiteral("Меню");
        b.sheets[0].cells[{5, 1}].content = QStringLiteral("Зав. производством");
        office.prototype = b;
        RefreshRead(env.t);
    }

    void print(bool otdelHeading = true)
    {
        menuTemplate(otdelHeading);
        reports::Progress p;
        p.start = [this](int max) { maximum = max; };
        p.step = [this](int pos) { steps = pos; };
        reports::menu::Options o;
        o.menu = kMenu;
        reports::menu::Print(env.ctx(), o, office, cache.path(), p);
    }

    QVariant at(const QString& a1) { return office.last().at(a1); }

    EngineEnv env;
    RecordingOffice office;
    QTemporaryDir cache;
    int maximum = -1;
    int steps = 0;
};

TEST_F(MenuPrint, DepartmentsABAGiveThreeHeadingsAndDishesAreNumberedOverTheMenu)
{
    print();
    EXPECT_EQ(at(QStringLiteral("B2")), QStringLiteral("07.12.2026"));
    EXPECT_EQ(at(QStringLiteral("A5")), QStringLiteral("Кухня"));
    EXPECT_EQ(at(QStringLiteral("B6")), QStringLiteral("Супы"));
    // The inactive cutlet is passed over: the soup is the only dish of its section.
    EXPECT_EQ(at(QStringLiteral("A7")), 1.0);
    EXPECT_EQ(at(QStringLiteral("B7")), QStringLiteral("Борщ"));
    EXPECT_EQ(at(QStringLiteral("C7")), QStringLiteral("250"));
    EXPECT_EQ(at(QStringLiteral("D7")), 125.5);
    EXPECT_EQ(at(QStringLiteral("E7")), QStringLiteral("125руб. 50коп."));
    EXPECT_EQ(at(QStringLiteral("F7")), 250.0);  // 250.5, ties to even
    EXPECT_EQ(at(QStringLiteral("A8")), QStringLiteral("Бар"));
    EXPECT_EQ(at(QStringLiteral("B9")), QStringLiteral("Напитки"));
    EXPECT_EQ(at(QStringLiteral("A10")), 2.0);
    EXPECT_EQ(at(QStringLiteral("B10")), QStringLiteral("Компот"));
    EXPECT_EQ(at(QStringLiteral("E10")), QStringLiteral("0руб. 07коп."));
    EXPECT_EQ(at(QStringLiteral("F10")), 252.0);  // 251.5, ties to even
    EXPECT_EQ(at(QStringLiteral("A11")), 3.0);
    EXPECT_EQ(at(QStringLiteral("B11")), QStringLiteral("Чай"));
    EXPECT_EQ(at(QStringLiteral("E11")), QStringLiteral("15руб. 00коп."));
    // The kitchen comes back after the bar: a heading again.
    EXPECT_EQ(at(QStringLiteral("A12")), QStringLiteral("Кухня"));
    EXPECT_EQ(at(QStringLiteral("B13")), QStringLiteral("Салаты"));
    EXPECT_EQ(at(QStringLiteral("A14")), 4.0);
    // The inactive section is left out; the desserts have a heading and no dish.
    EXPECT_EQ(at(QStringLiteral("A15")), QStringLiteral("Бар"));
    EXPECT_EQ(at(QStringLiteral("B16")), QStringLiteral("Десерты"));
    EXPECT_EQ(at(QStringLiteral("B18")), QStringLiteral("Зав. производством"));  // end block at row 17
    int salads = 0;
    for (int row = 5; row <= 17; ++row)
        salads += at(QStringLiteral("B%1").arg(row)) == QStringLiteral("Салат") ? 1 : 0;
    EXPECT_EQ(salads, 1);  // not the salad of the inactive section
    // One step per dish line of an active section (the inactive cutlet too),
    // one for the section without dishes.
    EXPECT_EQ(maximum, 6);
    EXPECT_EQ(steps, 5);
    EXPECT_TRUE(office.last().visible);
}

TEST_F(MenuPrint, ADisabledDepartmentHeadingTakesNoRow)
{
    print(false);
    EXPECT_EQ(at(QStringLiteral("B5")), QStringLiteral("Супы"));
    EXPECT_EQ(at(QStringLiteral("B6")), QStringLiteral("Борщ"));
    EXPECT_EQ(at(QStringLiteral("B7")), QStringLiteral("Напитки"));
    EXPECT_EQ(at(QStringLiteral("A8")), 2.0);
}

TEST_F(MenuPrint, AMenuWithoutActiveSectionsPrintsHeaderAndEndBlockOnly)
{
    env.t.exec(QStringLiteral("UPDATE MENU_RAZDEL SET IS_ACTIVE = 0"));
    print();
    EXPECT_EQ(maximum, 0);
    EXPECT_EQ(at(QStringLiteral("B6")), QStringLiteral("Зав. производством"));  // end block at row 5
    EXPECT_FALSE(at(QStringLiteral("A5")).isValid());
}

TEST_F(MenuPrint, CsvWritesEverySectionAndDishWithBlanksForSeparatorsAndLineBreaks)
{
    RefreshRead(env.t);
    const QVector<reports::MenuSectionLine> sections = reports::LoadMenuSections(env.ctx(), kMenu);
    const QString expected = QStringLiteral(
        "Супы;0;0;0;0\r\n"
        "Борщ;5000000020;4600000000017;125,5;со сметаной  зеленью\r\n"
        "Котлета;5000000024;;90;\r\n"
        "Напитки;0;0;0;0\r\n"
        "Компот;5000000021;;0,07;\r\n"
        "Чай;5000000023;TEA-15;15;горячий с лимоном\r\n"
        "Салаты;0;0;0;0\r\n"
        "Салат;5000000022;0012;80;\r\n"
        "Архив;0;0;0;0\r\n"
        "Салат;5000000022;0012;80;\r\n"
        "Десерты;0;0;0;0\r\n");
    EXPECT_EQ(reports::MenuCsvBytes(sections), db::toCp1251(expected));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("menu.csv"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(4000, 'x'));
    }
    reports::WriteMenuCsv(path, sections);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), db::toCp1251(expected));  // only this run's lines
    EXPECT_THROW(reports::WriteMenuCsv(dir.filePath(QStringLiteral("no/such/folder/menu.csv")), sections),
                 std::runtime_error);
}

TEST_F(MenuPrint, ALineBreakInANameBecomesABlankOnEverySheet)
{
    env.t.exec(QStringLiteral("UPDATE ING SET NAME = 'Борщ' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'украинский' "
                              "WHERE KOD = 900010"));
    env.t.exec(QStringLiteral("UPDATE MENU_RAZDEL SET NAME = 'Супы' || ASCII_CHAR(10) || 'горячие' WHERE KOD = 900041"));
    print();
    EXPECT_EQ(at(QStringLiteral("B6")), QStringLiteral("Супы горячие"));
    EXPECT_EQ(at(QStringLiteral("B7")), QStringLiteral("Борщ украинский"));

    const QList<workbooks::MenuCodeLine> codes = reports::LoadMenuCodes(env.ctx(), kMenu);
    ASSERT_FALSE(codes.isEmpty());
    EXPECT_EQ(codes.front().nameRazdel, QStringLiteral("Супы горячие"));
    EXPECT_EQ(codes.front().name, QStringLiteral("Борщ украинский"));

    const QVector<direct::MenuSection> direct = direct::ReadMenu(env.ctx(), kMenu);
    ASSERT_FALSE(direct.isEmpty());
    ASSERT_FALSE(direct.front().dishes.isEmpty());
    EXPECT_EQ(direct.front().name, QStringLiteral("Супы горячие"));
    EXPECT_EQ(direct.front().dishes.front().name, QStringLiteral("Борщ украинский"));
}

class MenuCodes : public MenuPrint {
protected:
    QList<workbooks::MenuCodeLine> lines()
    {
        RefreshRead(env.t);
        return reports::LoadMenuCodes(env.ctx(), kMenu);
    }
};

TEST_F(MenuCodes, SheetHasHeadingsPerDepartmentAndSectionAndTheDishCodesAsTexts)
{
    int progressed = 0;
    ASSERT_TRUE(workbooks::menucodes::Print(office, {lines()}, {{}, [&](int n) { progressed = n; }, {}}));
    const RecordedBook& b = office.last();
    const QStringList header = {"№", "Наименование блюда", "Код продукта", "Код кассы", "Код 1С", "Штрих код", "*Штрих код*"};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(b.state({0, c, 0}).content, header[c]);
    EXPECT_EQ(b.stateAt(QStringLiteral("A1")).horiJustify, 2);
    EXPECT_EQ(b.stateAt(QStringLiteral("B1")).fontWeight, automation::kWeightBold);

    EXPECT_EQ(b.at(QStringLiteral("A2")), QStringLiteral("Кухня"));
    EXPECT_TRUE(b.stateAt(QStringLiteral("A2")).merged);
    EXPECT_EQ(b.stateAt(QStringLiteral("A2")).fontWeight, automation::kWeightBold);
    EXPECT_EQ(b.at(QStringLiteral("B3")), QStringLiteral("Супы"));
    EXPECT_EQ(b.stateAt(QStringLiteral("B3")).fontWeight, automation::kWeightBold);
    const QVariantList borsch = {1.0, QStringLiteral("Борщ"), QStringLiteral("5000000020"), QStringLiteral("17"),
                                 QStringLiteral("00042"), QStringLiteral("4600000000017"),
                                 QStringLiteral("*4600000000017*")};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(b.state({0, c, 3}).content, borsch[c]) << "column " << c;
    // Bar, then the kitchen again: three department headings.
    EXPECT_EQ(b.at(QStringLiteral("A5")), QStringLiteral("Бар"));
    EXPECT_EQ(b.at(QStringLiteral("B6")), QStringLiteral("Напитки"));
    EXPECT_EQ(b.at(QStringLiteral("A7")), 2.0);
    EXPECT_EQ(b.at(QStringLiteral("B7")), QStringLiteral("Компот"));
    EXPECT_EQ(b.at(QStringLiteral("C7")), QString::number(kKompotRow));
    // No bar code: no bars either, not the start and stop marks alone.
    EXPECT_TRUE(b.at(QStringLiteral("F7")).toString().isEmpty());
    EXPECT_FALSE(b.at(QStringLiteral("G7")).isValid());
    EXPECT_EQ(b.at(QStringLiteral("A8")), 3.0);
    EXPECT_EQ(b.at(QStringLiteral("A9")), QStringLiteral("Кухня"));
    EXPECT_EQ(b.at(QStringLiteral("B10")), QStringLiteral("Салаты"));
    EXPECT_EQ(b.at(QStringLiteral("A11")), 4.0);
    EXPECT_EQ(b.at(QStringLiteral("F11")), QStringLiteral("0012"));
    EXPECT_FALSE(b.at(QStringLiteral("A12")).isValid());  // no inactive section, no inactive dish, no empty section
    EXPECT_EQ(progressed, 4);

    // The bars cover the used rows of column G under its caption, which
    // stays in letters, and nothing below them.
    EXPECT_NE(b.stateAt(QStringLiteral("G1")).fontName, workbooks::BarCodeFontName());
    for (int row = 2; row <= 11; ++row)
        EXPECT_EQ(b.stateAt(QStringLiteral("G%1").arg(row)).fontName, workbooks::BarCodeFontName()) << row;
    EXPECT_NE(b.stateAt(QStringLiteral("G12")).fontName, workbooks::BarCodeFontName());
    EXPECT_EQ(b.stateAt(QStringLiteral("G4")).horiJustify, 2);
    // The frame reaches F of the last row; column G has none.
    EXPECT_EQ(b.stateAt(QStringLiteral("F11")).bottomWidth, 35);
    EXPECT_EQ(b.stateAt(QStringLiteral("A1")).topWidth, 35);
    EXPECT_EQ(b.stateAt(QStringLiteral("G4")).leftWidth, 0);
    EXPECT_EQ(b.stateAt(QStringLiteral("A12")).topWidth, 0);
    EXPECT_EQ(b.sheets[0].columnWidths.at(1), 7200);
    EXPECT_TRUE(b.visible);
    EXPECT_EQ(b.controllerLocks, 0);
}

TEST_F(MenuCodes, NoActiveDishMeansNoLineAndAnUnreachableOfficeMakesNothing)
{
    env.t.exec(QStringLiteral("UPDATE MENU_STR SET MY_ACTIVE = 0 WHERE KOD <> 900055"));
    const QList<workbooks::MenuCodeLine> one = lines();
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one[0].kodIng, QString::number(kSaladRow));
    office.reachable = false;
    EXPECT_FALSE(workbooks::menucodes::Print(office, {one}));
    EXPECT_TRUE(office.books.isEmpty());

    env.t.exec(QStringLiteral("UPDATE MENU_RAZDEL SET IS_ACTIVE = 0"));
    EXPECT_TRUE(lines().isEmpty());
}

} // namespace

// Golden cases of the menu prints; options "menu" is the menu's key.
// "menu": the menu from the shipped sample of list 6.
TARELIA_GOLDEN_RUNNER(menu)
{
    golden.useTemplate(QStringLiteral("menu"));
    reports::menu::Options o;
    o.menu = golden.options.value(QStringLiteral("menu")).toInteger();
    reports::menu::Print(golden.ctx(), o, golden.office, golden.cache());
}

// "menu_codes": the codes sheet.
TARELIA_GOLDEN_RUNNER(menu_codes)
{
    const QList<workbooks::MenuCodeLine> lines =
        reports::LoadMenuCodes(golden.ctx(), golden.options.value(QStringLiteral("menu")).toInteger());
    golden.notes << QStringLiteral("%1 dishes").arg(lines.size());
    if (!lines.isEmpty())
        workbooks::menucodes::Print(golden.office, {lines});
}

// "menu_csv": the CSV file, one note per line (each ended by CR LF).
TARELIA_GOLDEN_RUNNER(menu_csv)
{
    const QByteArray bytes = reports::MenuCsvBytes(
        reports::LoadMenuSections(golden.ctx(), golden.options.value(QStringLiteral("menu")).toInteger()));
    for (const QByteArray& line : bytes.split('\n'))
        if (!line.isEmpty())
            golden.notes << (line.endsWith('\r') ? QString() : QStringLiteral("(no CR) ")) +
                                db::fromCp1251(line.endsWith('\r') ? line.chopped(1) : line);
}
