// Direct printing: the virtual sheet, the cell printer, the menu and codes
// layouts on a recording canvas, the parameter file, the stored design texts,
// a real PDF print, and the switch that keeps it all out of sight.

#include "../catalogue/MenuFixture.h"

#include "Printing.h"
#include "Unit_DirectPrint.h"
#include "direct/DesignTexts.h"
#include "direct/MenuDirect.h"
#include "engine/WriteRoad.h"
#include "ui/RadioGroup.h"
#include "util/ProgramFiles.h"
#include "automation/RecordingOffice.h"
#include "workbooks/KartaExport.h"

#include <QFile>
#include <QPrinter>

#include <gtest/gtest.h>

namespace {

using direct::PrintParams;

// A page of 2100 x 2970 pixels (10 per millimetre); a text is 4 pixels high
// per point and 2 pixels wide per character and point.
class RecordingCanvas : public direct::Canvas {
public:
    struct Text {
        int page, x, y;
        QString text;
        bool bold;
    };
    struct Rule {
        int page, x1, x2, y, pen;
    };
    int width = 2100, height = 2970;
    int page = 1;
    int points = 0;
    int jobs = 0;
    direct::FontStyle st;
    std::vector<Text> texts;
    std::vector<Rule> rules;

    int pageWidth() const override { return width; }
    int pageHeight() const override { return height; }
    void setFont(const QString&, int p) override { points = p; }
    direct::FontStyle style() const override { return st; }
    void setStyle(const direct::FontStyle& s) override { st = s; }
    int textHeight(const QString&) const override { return 4 * points; }
    int textWidth(const QString& t) const override { return 2 * points * static_cast<int>(t.size()); }
    void textOut(int x, int y, const QString& t) override { texts.push_back({page, x, y, t, st.bold}); }
    void line(int x1, int x2, int y, int pen) override { rules.push_back({page, x1, x2, y, pen}); }
    void beginJob() override { ++jobs; }
    void newPage() override { ++page; }
    void endJob() override {}

    const Text* find(const QString& t) const
    {
        for (const Text& x : texts)
            if (x.text == t)
                return &x;
        return nullptr;
    }
};

TEST(DirectPrint, PricesAreWholeKopecksSplitIntoRoublesAndKopecks)
{
    EXPECT_EQ(direct::PriceText(125.5), QStringLiteral("125р 50к"));
    EXPECT_EQ(direct::PriceText(80), QStringLiteral("80р 00к"));
    EXPECT_EQ(direct::PriceText(12.05), QStringLiteral("12р 05к"));
    EXPECT_EQ(direct::PriceText(0.5), QStringLiteral("50к"));
    // Rounded before the split: cutting would lose a kopeck to the binary fraction.
    EXPECT_EQ(direct::PriceText(19.99), QStringLiteral("19р 99к"));
    EXPECT_EQ(direct::PriceText(0.29), QStringLiteral("29к"));
    EXPECT_EQ(direct::PriceText(1.15), QStringLiteral("1р 15к"));
    EXPECT_EQ(direct::PriceText(8.2), QStringLiteral("8р 20к"));
    EXPECT_EQ(direct::PriceText(0), QStringLiteral("00к"));
}

TEST(DirectPrint, ColumnsFollowTheUsableWidthRoundedToEven)
{
    const direct::MenuColumns m = direct::MenuColumnsFor(190);
    EXPECT_EQ(m.nameWidth, 137);
    EXPECT_EQ(m.section, 70);
    EXPECT_EQ(m.yield, 142);  // 142.5 to the even neighbour
    EXPECT_EQ(m.price, 171);
    const direct::CodesColumns c = direct::CodesColumnsFor(190);
    EXPECT_EQ(c.nameWidth, 91);
    EXPECT_EQ(c.section, 34);
    EXPECT_EQ(c.code, 99);
    EXPECT_EQ(c.barcode, 141);
    EXPECT_EQ(direct::RoundEven(2.5), 2);
    EXPECT_EQ(direct::RoundEven(3.5), 4);
    EXPECT_EQ(direct::RoundEven(-0.5), 0);
}

TEST(DirectPrint, CellsStandOnTheSheetsLinesAndBreakToANewPage)
{
    RecordingCanvas c;
    PrintParams p;  // 10 mm margins, 6 mm pitch, cap 8 mm
    int line = 1;
    direct::PrintCell(c, p, 70, line, p.fontSize, QStringLiteral("Супы"), true);
    ASSERT_EQ(c.texts.size(), 1u);
    // The cap is 8 mm, but a text never stands taller than its 6 mm line
    // (60 px), or it would print over the next: 15 points.
    EXPECT_EQ(c.points, 15);
    EXPECT_EQ(c.texts[0].x, 700 + 100);
    EXPECT_EQ(c.texts[0].y, 60 + 100);
    ASSERT_EQ(c.rules.size(), 1u);
    EXPECT_EQ(c.rules[0].x1, 100);
    EXPECT_EQ(c.rules[0].x2, 2000);  // 200 mm of the virtual sheet
    EXPECT_EQ(c.rules[0].y, 60 + 60 + 100);
    EXPECT_EQ(c.rules[0].pen, 2);

    // A price over 99 roubles at the price column (171 mm) would pass the
    // right margin at 15 points (300 px from 1810): it prints smaller, within it.
    direct::PrintCell(c, p, 171, line, p.fontSize, QStringLiteral("12500р 00к"), false);
    EXPECT_EQ(c.texts.back().x, 1710 + 100);
    EXPECT_EQ(c.points, 9);
    EXPECT_LE(c.texts.back().x + c.textWidth(c.texts.back().text), 2000);

    // 6 mm x n + 6 mm + 20 mm must stay within 297 mm: line 45 fits, 46 does not.
    line = 45;
    direct::PrintCell(c, p, 0, line, p.fontSize, QStringLiteral("последняя"), false);
    EXPECT_EQ(c.page, 1);
    line = 46;
    direct::PrintCell(c, p, 0, line, p.fontSize, QStringLiteral("первая"), false);
    EXPECT_EQ(c.page, 2);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(c.texts.back().y, 160);
}

TEST(DirectPrint, HostileSizesAndWidthsStillEnd)
{
    RecordingCanvas c;
    PrintParams p;
    p.fontSize = 0;  // no size is small enough
    int line = 1;
    direct::PrintCell(c, p, 0, line, p.fontSize, QStringLiteral("Q"), false);
    EXPECT_EQ(c.points, 1);

    PrintParams wide;
    wide.leftMargin = 105;  // no usable width at all
    RecordingCanvas c2;
    line = 1;
    direct::PrintWrapped(c2, wide, 0, line, QStringLiteral("Борщ"), true);
    // One character a line, the rule under the last only.
    ASSERT_EQ(c2.texts.size(), 4u);
    EXPECT_EQ(line, 4);
    EXPECT_EQ(c2.rules.size(), 1u);
}

TEST(DirectPrint, TheMenuPrintsActiveSectionsAndDishesWithWrappedNames)
{
    RecordingCanvas c;
    PrintParams p;
    direct::DesignTexts texts{QStringLiteral("Кафе\r\n\r\nМЕНЮ"), QStringLiteral("Наименование  Выход  Цена"),
                              QStringLiteral("\r\nПриятного аппетита")};
    const QString longName = QString(60, QChar(0x0416));  // 60 x 2 x 15 px = 1800 px > 137 mm
    QVector<direct::MenuSection> sections{
        {QStringLiteral("Супы"), true,
         {{QStringLiteral("Борщ"), QStringLiteral("250"), 125.5, true},
          {QStringLiteral("Щи"), QStringLiteral("250"), 80.0, false},
          {longName, QStringLiteral("300/50"), 0.5, true}}},
        {QStringLiteral("Закрытый"), false, {{QStringLiteral("Чай"), QStringLiteral("200"), 10.0, true}}},
    };
    int steps = 0, maximum = 0;
    reports::Progress progress{[&](int m) { maximum = m; }, [&](int) { ++steps; }, [] {}};
    direct::menu::Print(c, {p, texts, sections}, progress);

    EXPECT_EQ(maximum, 2);
    EXPECT_EQ(steps, 2);  // every section row advances, the closed one too
    // Heading lines 1-3, an empty line, the caption with its rule on line 5.
    EXPECT_EQ(c.find(QStringLiteral("Кафе"))->y, 160);
    EXPECT_EQ(c.find(QStringLiteral("МЕНЮ"))->y, 100 + 180);
    EXPECT_EQ(c.find(QStringLiteral("Наименование  Выход  Цена"))->y, 100 + 300);
    const auto* section = c.find(QStringLiteral("Супы"));
    ASSERT_TRUE(section);
    EXPECT_TRUE(section->bold);
    EXPECT_EQ(section->x, 100 + 700);
    EXPECT_EQ(section->y, 100 + 360);
    const auto* borsch = c.find(QStringLiteral("Борщ"));
    EXPECT_FALSE(borsch->bold);
    EXPECT_EQ(borsch->y, 100 + 420);
    EXPECT_EQ(c.find(QStringLiteral("125р 50к"))->x, 100 + 1710);
    EXPECT_EQ(c.find(QStringLiteral("125р 50к"))->y, borsch->y);
    EXPECT_EQ(c.find(QStringLiteral("250"))->x, 100 + 1420);
    EXPECT_FALSE(c.find(QStringLiteral("Щи")));
    EXPECT_FALSE(c.find(QStringLiteral("Закрытый")));
    EXPECT_FALSE(c.find(QStringLiteral("Чай")));
    // The long name: 45 characters fit in 1370 px; the price stands on its first line.
    const auto* first = c.find(longName.left(45));
    ASSERT_TRUE(first);
    EXPECT_EQ(c.find(QStringLiteral("50к"))->y, first->y);
    const auto* rest = c.find(longName.mid(45));
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->y, first->y + 60);
    EXPECT_EQ(c.find(QStringLiteral("Приятного аппетита"))->y, rest->y + 120);
    // Rules: caption, section, Борщ, the long name's last line.
    EXPECT_EQ(c.rules.size(), 4u);
    EXPECT_EQ(c.rules.back().y, rest->y + 60);
    EXPECT_EQ(c.jobs, 1);
}

TEST(DirectPrint, ADishThatNoLongerFitsStartsTheNextSheet)
{
    RecordingCanvas c;
    PrintParams p;
    QVector<direct::MenuDish> dishes;
    for (int i = 0; i < 60; ++i)
        dishes.push_back({QStringLiteral("Блюдо %1").arg(i), QStringLiteral("100"), 1.0 + i, true});
    direct::menu::Print(c, {p, {QStringLiteral("М"), QStringLiteral("Т"), QString()}, {{QStringLiteral("Всё"), true, dishes}}});
    EXPECT_EQ(c.page, 2);
    // The first dish of sheet 2 has its yield, price and name on line 1.
    const auto* name = [&]() -> const RecordingCanvas::Text* {
        for (const auto& t : c.texts)
            if (t.page == 2)
                return &t;
        return nullptr;
    }();
    ASSERT_TRUE(name);
    EXPECT_EQ(name->text, QStringLiteral("100"));
    EXPECT_EQ(name->y, 160);
    int onLineOne = 0;
    for (const auto& t : c.texts)
        onLineOne += t.page == 2 && t.y == 160;
    EXPECT_EQ(onLineOne, 3);
}

TEST(DirectPrint, TheCodesListHasOneHeaderAndASectionHeadingPerSection)
{
    RecordingCanvas c;
    PrintParams p;
    p.lines = false;
    QVector<direct::CodeLine> rows{{1, QStringLiteral("Супы"), QStringLiteral("Борщ"), QStringLiteral("0042"), QStringLiteral("460001")},
                                   {1, QStringLiteral("Супы"), QStringLiteral("Щи"), QString(), QString()},
                                   {2, QStringLiteral("Напитки"), QStringLiteral("Чай"), QStringLiteral("7"), QStringLiteral("8")}};
    QList<int> positions;
    direct::codes::Print(c, {p, rows}, {{}, [&](int v) { positions << v; }, {}});
    EXPECT_EQ(positions, (QList<int>{2, 3, 4}));
    EXPECT_TRUE(c.find(QStringLiteral("Наименование"))->bold);
    EXPECT_EQ(c.find(QStringLiteral("Код 1С"))->x, 100 + 990);
    EXPECT_EQ(c.find(QStringLiteral("Штрих-код"))->x, 100 + 1410);
    EXPECT_EQ(c.find(QStringLiteral("Супы"))->x, 100 + 340);
    EXPECT_EQ(c.find(QStringLiteral("Напитки"))->y, 100 + 5 * 60);  // header, Супы, Борщ, Щи, then here
    EXPECT_EQ(c.find(QStringLiteral("0042"))->y, c.find(QStringLiteral("Борщ"))->y);
    // Rules: the header and the two section headings; the dish lines have none.
    EXPECT_EQ(c.rules.size(), 3u);
}

TEST(DirectPrint, TheParameterFileHasNineLinesInWindows1251)
{
    direct::PrtParLines l;
    l.road = 1;
    l.leftMargin = QStringLiteral("10");
    l.topMargin = QStringLiteral("10");
    l.scaleWidth = QStringLiteral("100");
    l.scaleHeight = QStringLiteral("100");
    l.linePitch = QStringLiteral("6");
    l.lines = true;
    l.fontName = QStringLiteral("MS Sans Serif");
    l.fontPoints = 8;
    EXPECT_EQ(direct::PrtParBytes(l), QByteArray("1\r\n10\r\n10\r\n100\r\n100\r\n6\r\n1\r\nMS Sans Serif\r\n8\r\n"));
    l.fontName = QStringLiteral("Шрифт");
    l.lines = false;
    EXPECT_TRUE(direct::PrtParBytes(l).contains("0\r\n\xd8\xf0\xe8\xf4\xf2\r\n8\r\n"));
}

TEST(DirectPrint, TheWindowsStartFromTheirStartValuesAndStayOutOfSight)
{
    CatEnv env;
    // Nothing of the program shows the variant window, the parameters or the export panel.
    EXPECT_FALSE(printing::DirectPrintChosen());
    EXPECT_FALSE(ProductsTab->Panel3->isVisibleTo(Form_Main));
    EXPECT_FALSE(ProductsTab->Panel3->isEnabled());
    for (QWidget* w : QApplication::allWidgets()) {
        EXPECT_NE(w->windowTitle(), QStringLiteral("Параметры прямой печати"));
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            EXPECT_NE(b->text(), QStringLiteral("Настройка прямой печати"));
        }
    }

    TForm_VariantsPrint* v = VariantsPrint();
    v->FormShow();
    EXPECT_TRUE(v->BitBtn1->isEnabled());
    EXPECT_FALSE(v->BitBtn2->isEnabled());
    EXPECT_TRUE(v->RadioGroup1->isHidden());

    TForm_PrintParam* p = PrintParam();
    const direct::PrintParams start = p->params();
    EXPECT_EQ(start.scaleWidth, 100);
    EXPECT_EQ(start.leftMargin, 10);
    EXPECT_EQ(start.linePitch, 6);
    EXPECT_TRUE(start.lines);
    EXPECT_EQ(start.fontName, QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(start.fontSize, 8);
    // The up-downs stop at their ends and the edits follow them.
    for (int i = 0; i < 50; ++i)
        p->HStr->up->click();
    EXPECT_EQ(p->HStr->position(), 40);
    EXPECT_EQ(p->E_HStr->text(), QStringLiteral("40"));

    // The choice's button writes the parameter file with its road.
    Msg::setModalHandler([](QDialog*) { return int(QDialog::Rejected); });
    v->RadioGroup1->setItemIndex(1);
    v->BitBtn2Click();
    Msg::setModalHandler({});
    QFile f(programFolder() + QStringLiteral("MyPrtPar.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("1\r\n10\r\n10\r\n100\r\n100\r\n40\r\n1\r\nMS Sans Serif\r\n8\r\n"));
    EXPECT_TRUE(printing::DirectPrintChosen());
    v->RadioGroup1->setItemIndex(0);
}

TEST(DirectPrint, DesignTextsAreStoredWithTheirProtocolLineAndCancelReloadsThem)
{
    CatEnv env;
    TForm_DesignMenu* d = DesignMenu();
    const direct::DesignTexts shipped = direct::ShippedDesignTexts(engine::ProgramContext());
    EXPECT_EQ(d->texts().tab, shipped.tab);
    EXPECT_TRUE(shipped.head.endsWith(QString(62, QLatin1Char(' ')) + QStringLiteral("М Е Н Ю")));

    d->M_Z->setPlainText(QStringLiteral("Столовая \"Берёзка\"\nобеды"));
    d->E_T->setText(QStringLiteral("Блюдо        Выход   Цена"));
    d->BitBtn1Click();
    EXPECT_EQ(env.text(QStringLiteral("SELECT MEMO_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'DisMenuHead'")),
              QStringLiteral("Столовая \"Берёзка\"\r\nобеды"));
    EXPECT_EQ(env.logLines(QStringLiteral("Изменено оформление печати меню")), 1);

    d->E_T->setText(QStringLiteral("не сохранено"));
    d->BitBtn2Click();
    EXPECT_EQ(d->E_T->text(), QStringLiteral("Блюдо        Выход   Цена"));

    // A caption the column cannot hold is refused before anything is written.
    d->E_T->setText(QString(251, QLatin1Char('x')));
    d->BitBtn1Click();
    EXPECT_FALSE(env.messages.isEmpty());
    EXPECT_EQ(env.text(QStringLiteral("SELECT STRING_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'DisMenuTab'")),
              QStringLiteral("Блюдо        Выход   Цена"));
}

// Texts as users type them: an apostrophe is stored as typed; characters
// Windows-1251 cannot hold are named in a refusal and nothing is written.
TEST(DirectPrint, DesignTextsWithQuotesAreStoredAndOthersRefusedByName)
{
    CatEnv env;
    TForm_DesignMenu* d = DesignMenu();
    d->show();
    d->M_Z->setPlainText(QStringLiteral("Кафе «У Д'Артаньяна»"));
    d->E_T->setText(QStringLiteral("Блюдо 'дня'   Выход   Цена"));
    d->BitBtn1->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(env.text(QStringLiteral("SELECT MEMO_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'DisMenuHead'")),
              QStringLiteral("Кафе «У Д'Артаньяна»"));

    d->show();
    d->M_Z->setPlainText(QStringLiteral("Кафе ☕ «菜单»"));
    d->BitBtn1->click();
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(env.messages.last().contains(QStringLiteral("☕菜单"))) << env.messages.last().toStdString();
    EXPECT_EQ(env.text(QStringLiteral("SELECT MEMO_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'DisMenuHead'")),
              QStringLiteral("Кафе «У Д'Артаньяна»"));
    EXPECT_EQ(env.logLines(QStringLiteral("Изменено оформление печати меню")), 1);
    d->BitBtn2->click();
}

TEST(DirectPrint, AMenuReadFromTheDatabasePrintsToAPdf)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    setPrice(env, s.borsch, s.kitchen, 125.5, 2);
    setPrice(env, s.tea, s.bar, 19.99, 2);
    const qint64 menu = newMenu(s.firma, QStringLiteral("Обед"), QDate(2026, 12, 7));
    const qint64 hot = newRazdel(menu, s.kitchen, QStringLiteral("Горячее"), 1);
    const qint64 drinks = newRazdel(menu, s.bar, QStringLiteral("Напитки"), 2);
    newDish(hot, s.borsch);
    newDish(hot, s.cutlet);
    newDish(drinks, s.tea);
    const QVector<direct::MenuSection> sections = direct::ReadMenu(engine::ProgramContext(), menu);
    ASSERT_EQ(sections.size(), 2);
    EXPECT_EQ(sections[0].name, QStringLiteral("Горячее"));
    ASSERT_EQ(sections[0].dishes.size(), 2);
    EXPECT_EQ(sections[0].dishes[0].name, QStringLiteral("Борщ"));
    EXPECT_DOUBLE_EQ(sections[0].dishes[0].price.value_or(-1), 125.5);

    TForm_PrintParam* p = PrintParam();
    const QString pdf = env.t().folder() + QStringLiteral("/menu.pdf");
    p->printer->setOutputFormat(QPrinter::PdfFormat);
    p->printer->setOutputFileName(pdf);
    printing::Prt_MenuDirect(menu);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("%PDF"));
    if (qEnvironmentVariableIsSet("TARELIA_KEEP_PDF"))
        QFile::copy(pdf, qEnvironmentVariable("TARELIA_KEEP_PDF"));
}

TEST(KartaExport, OneRowPerNodeWithItsFormulaAndTheTotalUnderThem)
{
    automation::RecordingOffice office;
    costing::AmountList list;
    // Built tail first: the head (the product itself) is pushed last.
    list.pushHead({9007199254740993LL, 1, 0, 2, 1, 1, 80, 0.25, 0.2, 30, 30, 0, QStringLiteral("Картофель")});
    list.pushHead({5, 1, -1, 1, 1, 1, 100, 1, 1, 1, 1, 0, QStringLiteral("не печатается")});
    list.pushHead({7, 1, 2, 0, 1, 4, 100, 2, 2, 55.5, 55.5, 0, QStringLiteral("Пюре")});
    workbooks::cardexport::Write(office, std::move(list), QStringLiteral("Пюре на 2"));
    automation::RecordedBook& b = office.last();
    EXPECT_EQ(b.at(QStringLiteral("A1")), QStringLiteral("Пюре на 2"));
    EXPECT_EQ(b.at(QStringLiteral("I2")), QStringLiteral("Сумма"));
    EXPECT_EQ(b.at(QStringLiteral("A3")), QStringLiteral("Пюре"));
    EXPECT_EQ(b.at(QStringLiteral("B3")).toDouble(), 2.0);
    EXPECT_EQ(b.at(QStringLiteral("C3")).toDouble(), 100.0);
    EXPECT_EQ(b.at(QStringLiteral("E3")).toDouble(), 4.0);
    EXPECT_EQ(b.at(QStringLiteral("G3")).toDouble(), 0.0);
    EXPECT_EQ(b.at(QStringLiteral("I3")), QStringLiteral("=B3 * D3"));
    // A negative level gives no row: the rows stay contiguous.
    EXPECT_EQ(b.at(QStringLiteral("A4")), QStringLiteral("Картофель"));
    EXPECT_EQ(b.at(QStringLiteral("F4")), QStringLiteral("9007199254740993"));
    EXPECT_EQ(b.at(QStringLiteral("H4")).toDouble(), 0.2);
    EXPECT_EQ(b.at(QStringLiteral("I5")), QStringLiteral("=SUM(I3:I4)"));
    EXPECT_EQ(b.stateAt(QStringLiteral("I5")).formula, QStringLiteral("=SUM(I3:I4)"));
    EXPECT_TRUE(b.visible);

    // An empty list: title and captions, no total summing its own cell.
    workbooks::cardexport::Write(office, costing::AmountList{}, QStringLiteral("Пусто"));
    EXPECT_FALSE(office.last().at(QStringLiteral("I3")).isValid());
}

} // namespace
