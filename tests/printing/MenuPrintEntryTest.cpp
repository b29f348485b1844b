// The menus tab's print button in the program: its three choices, a cancel,
// and a menu without sections.

#include "MenuPrintFixture.h"

#include "ProgramOffice.h"
#include "automation/RecordingOffice.h"
#include "base/Unit_Base.h"
#include "db/Codec.h"
#include "Unit_DirectPrint.h"
#include "entries/Btn_Print_MenuClick.h"
#include "ui/RadioGroup.h"
#include "support/AppEnv.h"
#include "support/TemplateFixture.h"
#include "ui/Unit_Gauge.h"
#include "ui/Unit_RG.h"
#include "util/Unit_Util.h"
#include "workbooks/MenuCodesWorkbook.h"

#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace menu_print;

namespace {

class MenuPrintButton : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeMenu(env.testDb());
        auto owned = std::make_unique<automation::RecordingOffice>();
        office = owned.get();
        automation::SetProgramOffice(std::move(owned));
        savedPicker = printing::PickMenuCsvPath;
        printing::PickMenuCsvPath = [this](const QString& last) {
            offered << last;
            return picked;
        };
        refresh();
    }
    void TearDown() override
    {
        Msg::setModalHandler({});
        printing::PickMenuCsvPath = savedPicker;
        automation::SetProgramOffice(nullptr);
    }

    void refresh()
    {
        Form_Base->TransactionRead->commit();
        Form_Base->TransactionRead->start();
    }

    // The choice dialog answers with the item, or is cancelled (-1).
    bool click(int item, qint64 menu = kMenu)
    {
        Msg::setModalHandler([this, item](QDialog* d) {
            ++choices;
            if (d != Form_RG)
                return int(QDialog::Rejected);
            items = Form_RG->RG->items();
            if (item < 0)
                return int(QDialog::Rejected);
            Form_RG->RG->setItemIndex(item);
            return int(QDialog::Accepted);
        });
        bool walked = false;
        EXPECT_TRUE(Guard([&] { walked = printing::Btn_Print_MenuClick(menu); }));
        return walked;
    }

    AppEnv env;
    automation::RecordingOffice* office = nullptr;
    std::function<QString(const QString&)> savedPicker;
    QStringList offered;
    QString picked;
    QStringList items;
    int choices = 0;
};

TEST_F(MenuPrintButton, CsvChoiceWritesTheFileAndProposesTheMenusName)
{
    QTemporaryDir dir;
    picked = dir.filePath(QStringLiteral("обед.csv"));
    EXPECT_TRUE(click(2));
    EXPECT_EQ(items, (QStringList{QStringLiteral("Печать меню"), QStringLiteral("Печать кодов выбранного меню"),
                                  QStringLiteral("Печать выбранного меню в формате CSV")}));
    QFile f(picked);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith(db::toCp1251(QStringLiteral("Супы;0;0;0;0\r\nБорщ;5000000020;"))));
    EXPECT_TRUE(office->books.isEmpty());

    picked.clear();  // the save dialog cancelled
    env.testDb().exec(QStringLiteral("UPDATE MENU SET NAME = 'Ужин 03.12 / зал' WHERE KOD = 900030"));
    refresh();
    EXPECT_FALSE(click(2));
    // The menu's name, in the folder chosen last time; "/" cannot be in a file's name.
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Обед.csv"), dir.filePath(QStringLiteral("Ужин 03.12 _ зал.csv"))}));
}

TEST_F(MenuPrintButton, CodesChoiceMakesTheSheetAndHidesTheProgressWindow)
{
    EXPECT_FALSE(click(1));
    ASSERT_EQ(office->books.size(), 1);
    EXPECT_EQ(office->last().at(QStringLiteral("A2")), QStringLiteral("Кухня"));
    EXPECT_TRUE(office->last().visible);
    EXPECT_FALSE(Form_Gauge->isVisible());
    EXPECT_TRUE(env.messages.isEmpty());

    // An office running since before the bar-code font was installed: the
    // sheet is made and the user is told why its codes do not scan.
    office->missingFonts = {workbooks::BarCodeFontName()};
    EXPECT_FALSE(click(1));
    EXPECT_EQ(office->books.size(), 2);
    EXPECT_EQ(env.messages, QStringList{workbooks::BarCodeFontMissingText()});
    office->missingFonts.clear();
    env.messages.clear();

    // No active dish: nothing at all, not even the office.
    env.testDb().exec(QStringLiteral("UPDATE MENU_STR SET MY_ACTIVE = 0"));
    refresh();
    EXPECT_FALSE(click(1));
    EXPECT_EQ(office->books.size(), 2);
    EXPECT_TRUE(env.messages.isEmpty());
}

TEST_F(MenuPrintButton, CodesGoToThePrinterWhenThePrintVariantSaysSo)
{
    TForm_PrintParam* p = PrintParam();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("codes.pdf"));
    p->printer->setOutputFormat(QPrinter::PdfFormat);
    p->printer->setOutputFileName(pdf);
    VariantsPrint()->RadioGroup1->setItemIndex(1);
    EXPECT_FALSE(click(1));
    VariantsPrint()->RadioGroup1->setItemIndex(0);
    EXPECT_TRUE(office->books.isEmpty());
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("%PDF"));
}

TEST_F(MenuPrintButton, MenuChoicePrintsFromTheTemplateOfListSix)
{
    templates::TemplateForm f = TableLayout(QStringLiteral("Меню"), 602);
    f.HEAD_YX = QStringLiteral("F4");
    f.TAIL_YX = QStringLiteral("F7");
    const qint64 form = InsertTemplate(env.testDb(), 6, f);
    InsertVariable(env.testDb(), form, PlacedVariable(QStringLiteral("name"), templates::LocTable, QStringLiteral("B1")));
    InsertVariable(env.testDb(), form, PlacedVariable(QStringLiteral("kalories_menu"), templates::LocTable,
                                                      QStringLiteral("F1")));
    refresh();
    EXPECT_TRUE(click(0));
    ASSERT_EQ(office->books.size(), 1);
    EXPECT_EQ(office->last().at(QStringLiteral("B5")), QStringLiteral("Борщ"));
    EXPECT_EQ(office->last().at(QStringLiteral("B8")), QStringLiteral("Салат"));
    EXPECT_FALSE(Form_Gauge->isVisible());
}

TEST_F(MenuPrintButton, CancelOrAMenuWithoutSectionsDoesNothing)
{
    picked = QStringLiteral("/tmp/never-written.csv");
    EXPECT_FALSE(click(-1));
    EXPECT_EQ(choices, 1);
    EXPECT_TRUE(offered.isEmpty());
    EXPECT_TRUE(office->books.isEmpty());

    env.testDb().exec(QStringLiteral("DELETE FROM MENU_STR"));
    env.testDb().exec(QStringLiteral("DELETE FROM MENU_RAZDEL"));
    refresh();
    EXPECT_FALSE(click(2));
    EXPECT_EQ(choices, 1);  // the choice was not offered
    EXPECT_TRUE(env.messages.isEmpty());
}

} // namespace
