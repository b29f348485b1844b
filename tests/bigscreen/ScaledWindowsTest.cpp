// The program on a large screen (1280 x 1024, narrow: windows that honour it
// grow by 1280 / 800): what shows besides the windows themselves (message
// boxes, popup menus, drop-down lists, grid rows) grows with them, and
// nothing grows twice. With TARELIA_SHOTS naming a folder, the message box
// and the group menu are saved there as pictures to look at.

#include "../catalogue/CatalogueFixture.h"
#include "support/ReportDialogs.h"
#include "support/TemplateFixture.h"
#include "support/WindowsFit.h"

#include "Unit_GrIng.h"
#include "Unit_ProductsTab.h"
#include "grid/DatasetModel.h"
#include "ui/InputDialogs.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Name.h"
#include "ui/Unit_Vhod.h"
#include "util/Globals.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

double basePoints() { return QApplication::font().pointSizeF(); }
constexpr double kMainPoints = 8.25;  // the main window's design font

using windowsfit::shoot;

} // namespace

TEST(ScaledWindows, TheScreenIsLargeAndTheProgramZooms)
{
    CatEnv env;
    const QRect g = QGuiApplication::primaryScreen()->geometry();
    ASSERT_EQ(g.size(), QSize(1280, 1024)) << "the test runs on the large screen of its fixture";
    EXPECT_FALSE(SystemScalesFonts());
    EXPECT_EQ(WindowZoom, 1);
    EXPECT_EQ(NarrowScreen, 1);
    EXPECT_DOUBLE_EQ(CurrentZoom(true), 1.6);
    EXPECT_NEAR(Form_Main->font().pointSizeF(), kMainPoints * 1.6, 0.01);
}

TEST(ScaledWindows, MessageBoxesGrowWithTheWindows)
{
    CatEnv env;
    Msg::setResponder({});  // the real box
    double points = 0;
    QString text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        points = box->font().pointSizeF();
        text = box->text();
        shoot(box, QStringLiteral("message-box"));
        box->accept();
    });
    Msg::notice(QStringLiteral("Группа << Напитки >> добавлена в основной склад подразделений."));
    EXPECT_EQ(text, QStringLiteral("Группа << Напитки >> добавлена в основной склад подразделений."));
    EXPECT_NEAR(points, basePoints() * 1.6, 0.01);
}

TEST(ScaledWindows, PopupMenusAndListsTakeTheirWindowsFont)
{
    CatEnv env;
    Form_Main->show();
    Form_Main->SetActivePage(Form_Main->Sheet_All_Ing);
    QMenu* menu = ProductsTab->PopupMenu_Group;
    menu->popup(ProductsTab->Grid_GrIng->mapToGlobal(QPoint(20, 20)));
    QApplication::processEvents();
    EXPECT_NEAR(menu->font().pointSizeF(), ProductsTab->Grid_GrIng->font().pointSizeF(), 0.01);
    EXPECT_NEAR(menu->font().pointSizeF(), kMainPoints * 1.6, 0.01);
    // The item's text fits the menu.
    QAction* item = menu->actions().front();
    EXPECT_GE(menu->actionGeometry(item).width(), menu->fontMetrics().horizontalAdvance(item->text()));
    shoot(menu, QStringLiteral("group-menu"));
    menu->close();

    // The log-in dialog's drop-down list of logins.
    Form_Vhod->FillLogins({QStringLiteral("Администратор"), QStringLiteral("Повар")});
    Form_Vhod->show();
    Form_Vhod->ComboBox1->showPopup();
    QApplication::processEvents();
    EXPECT_NEAR(Form_Vhod->ComboBox1->view()->font().pointSizeF(), Form_Vhod->font().pointSizeF(), 0.01);
    EXPECT_GT(Form_Vhod->font().pointSizeF(), basePoints() * 1.5);
    shoot(Form_Vhod->ComboBox1->view()->window(), QStringLiteral("login-list"));
    Form_Vhod->ComboBox1->hidePopup();
    shoot(Form_Vhod, QStringLiteral("login"));
    Form_Vhod->hide();
    Form_Main->hide();
}

TEST(ScaledWindows, GridRowsAreTallerThanTheirText)
{
    CatEnv env;
    const qint64 kg = env.unit();
    const qint64 veg = env.group(QStringLiteral("Овощи и зелень для салатов"));
    const qint64 firma = env.firma(QStringLiteral("Кафе «У Д'Артаньяна»"));
    env.ing(QStringLiteral("Картофель молодой мытый"), veg, kg);
    Form_Main->resize(1280, 1000);
    Form_Main->SetActivePage(Form_Main->Sheet_All_Ing);
    ProductsTab->Sheet_IngShow();
    CatEnv::at(StructureBox->Q_Firma, firma);
    StructureBox->Timer_OtdelTimer();
    StructureBox->Timer_SkladTimer();
    ProductsTab->Timer_GrIngTimer();
    CatEnv::at(ProductsTab->Q_GrIng, veg);
    ProductsTab->CB_Context_IngClick();
    shoot(Form_Main, QStringLiteral("products-tab"));
    for (db::DbGrid* grid : {ProductsTab->Grid_GrIng, ProductsTab->Grid_Ing}) {
        EXPECT_NEAR(grid->font().pointSizeF(), kMainPoints * 1.6, 0.01);
        EXPECT_GT(grid->verticalHeader()->defaultSectionSize(), grid->fontMetrics().height());
    }
}

TEST(ScaledWindows, AWindowIsScaledOnce)
{
    CatEnv env;
    const double once = Form_GrIng->font().pointSizeF();
    EXPECT_NEAR(once, basePoints() * 1024 / 600, 0.01);  // a dialog that does not honour the narrow screen
    const QSize size = Form_GrIng->size();
    ScaleWindow(Form_GrIng, false);
    EXPECT_DOUBLE_EQ(Form_GrIng->font().pointSizeF(), once);
    EXPECT_EQ(Form_GrIng->size(), size);
}

TEST(ScaledWindows, OkAndCancelLeaveRoomRoundTheirText)
{
    CatEnv env;
    std::vector<QPushButton*> buttons{Form_Name->BitBtn1, Form_Name->BitBtn2, Form_Vhod->BitBtn1, Form_Vhod->BitBtn2};
    for (auto& [w, name] : windowsfit::reportDialogs())
        for (QPushButton* b : w->findChildren<QPushButton*>())
            if (b->isVisibleTo(w) && (b->text() == QStringLiteral("OK") || b->text() == QStringLiteral("Отмена")))
                buttons.push_back(b);
    for (QPushButton* b : buttons) {
        const QFontMetrics fm = b->fontMetrics();
        EXPECT_GE(b->sizeHint().width(), fm.horizontalAdvance(b->text()) + 3 * fm.averageCharWidth()) << b->text().toStdString();
        EXPECT_GT(b->sizeHint().height(), fm.height() * 3 / 2 - 1);
    }
}

TEST(ScaledWindows, TheMainWindowAndEveryTabFitTheScreen)
{
    CatEnv env;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QTabWidget* tabs = Form_Main->PageControl1;
    for (int i = 0; i < tabs->count(); ++i) {
        QWidget* page = tabs->widget(i);
        const QSize need = page->minimumSizeHint();
        EXPECT_LE(need.width(), screen.width()) << tabs->tabText(i).toStdString();
        EXPECT_LE(need.height(), screen.height()) << tabs->tabText(i).toStdString();
    }
    const QSize main = Form_Main->minimumSizeHint();
    EXPECT_LE(main.width(), screen.width());
    EXPECT_LE(main.height(), screen.height());
}

TEST(ScaledWindows, TheMainDialogsFitTheScreen)
{
    CatEnv env;
    // A transfer between departments of an enterprise with a long name: the
    // name panels take the room, the captions beside them stay whole.
    const QString longName = QStringLiteral("Общество с ограниченной ответственностью «Комбинат питания „Школьник“ имени Д'Артаньяна»");
    Form_DocMove->L_Firma->setText(longName);
    Form_DocMove->RG_Typ->setItemIndex(2);
    Form_DocMove->RG_TypClick();
    Form_DocMove->L_Firma1->setText(longName);
    // The template window with a variable chosen: its name, place and kind in bold.
    Form_Print->L_Name_Var->setText(QStringLiteral("Поставщик: расчётный счёт и банк"));
    Form_Print->L_Location->setText(QStringLiteral("Шапка документа"));
    Form_Print->L_Static->setText(QStringLiteral("ДИНАМИЧЕСКАЯ"));
    windowsfit::expectDialogsFit();
}

// The report dialogs grow with the other windows and still fit the screen.
TEST(ScaledWindows, TheReportDialogsGrowAndFitTheScreen)
{
    CatEnv env;
    const auto dialogs = windowsfit::reportDialogs();
    for (auto& [w, name] : dialogs)
        EXPECT_GT(w->font().pointSizeF(), basePoints() * 1.5) << name;
    windowsfit::expectDialogsFit(dialogs);
}

// Enter in a report dialog, wherever the focus is (a choice, a tick, an
// edit), presses its OK, not a button that opens another window.
TEST(ScaledWindows, EnterInAReportDialogPressesItsOk)
{
    CatEnv env;
    for (auto& [w, name] : windowsfit::reportDialogs()) {
        ASSERT_NE(w, nullptr) << name;
        QPushButton* ok = nullptr;
        for (QPushButton* b : w->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("OK"))
                ok = b;
        if (!ok)
            continue;  // a window of choices only
        w->show();
        QApplication::processEvents();
        for (QPushButton* b : w->findChildren<QPushButton*>())
            EXPECT_EQ(b->isDefault(), b == ok) << name << ": " << b->text().toStdString();
        w->hide();
    }
}

TEST(ScaledWindows, TheTemplateWindowWithATemplateOpenKeepsWithinTheScreen)
{
    // A variable with a large font of its own, its sample shown in it.
    CatEnv env;
    const qint64 form = InsertTemplate(env.t(), 2, TableLayout(QStringLiteral("Остатки по группам товаров и блюд"), 777), 0);
    env.t().exec(QStringLiteral("UPDATE PRINT_FORMS SET OBRAZ = 0 WHERE KOD = %1").arg(form));
    templates::TemplateVariable v = PlacedVariable(QStringLiteral("name"), 0, QStringLiteral("B8"));
    v.MY_FONT = 1;
    v.FONT_NAME = QStringLiteral("DejaVu Sans");
    v.FONT_SIZE = 20;
    v.FONT_BOLD = 1;
    InsertVariable(env.t(), form, v);
    RefreshRead(env.t());
    Form_Print->show();
    Form_Print->QPrintSpis->locate(QStringLiteral("KOD_SPISOK"), 2);
    Form_Print->Timer_Open_FormsTimer();
    Form_Print->QPrintForms->locate(QStringLiteral("KOD"), form);
    Form_Print->Timer_Open_VarTimer();
    QApplication::processEvents();
    shoot(Form_Print, QStringLiteral("templates-open"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(Form_Print->frameGeometry().right(), screen.right());
    const QRect exit(Form_Print->BtnExit->mapTo(Form_Print, QPoint(0, 0)), Form_Print->BtnExit->size());
    EXPECT_TRUE(Form_Print->rect().contains(exit));
    Form_Print->hide();
}
