// Two workstations on the test server open the same row in an edit dialog
// that saves the whole row. The other one saves first; this one's save names
// what the other changed, writes nothing (its protocol line neither), keeps
// the other's values, and its list shows them. The same holds for every road
// on a row a list shows, from a button or a picker, when the other
// workstation deleted the row or the row it goes under, or put to use a row
// this one deletes; and a deletion that finds nothing to delete says so,
// logging nothing.

#include "MenuFixture.h"

#include "NameInfoDialog.h"
#include "ProgramOffice.h"
#include "Unit_Ed.h"
#include "Unit_Firma.h"
#include "Unit_GrIng.h"
#include "Unit_GrToSklad.h"
#include "Unit_Ing.h"
#include "Unit_IngSklad.h"
#include "Unit_Menu.h"
#include "Unit_Menu_R.h"
#include "Unit_Menu_S.h"
#include "Unit_MoveIng.h"
#include "Unit_MoveMenu.h"
#include "Unit_NSection.h"
#include "Unit_Otdel.h"
#include "Unit_Print.h"
#include "Unit_Sklad.h"
#include "automation/RecordingOffice.h"
#include "support/ServerStation.h"
#include "support/TemplateFixture.h"
#include "ui/Unit_Name.h"
#include "ui/Unit_Person.h"
#include "ui/Unit_Personal.h"
#include "ui/Unit_Policy.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>

namespace {

struct Kitchen {
    qint64 firma = 0, otdel = 0, sklad = 0, unit = 0, group = 0, potato = 0, stockRow = 0, menu = 0, razdel = 0, person = 0,
           templ = 0, templVar = 0;
    qint64 partner = 0, otdel2 = 0, sklad2 = 0, emptyGroup = 0, line = 0, razdel2 = 0, person2 = 0;
};
Kitchen kitchen;  // the kitchen of the row under test
// The other workstation's change, made at this one's next question or office check.
std::function<void()> meanwhile;

void openStructure(const Kitchen& k)
{
    Form_Main->SetActivePage(Form_Main->Sheet_Setup);
    StructureBox->Sheet_SetupShow();
    CatEnv::at(StructureBox->Q_Firma, k.firma);
    StructureBox->Timer_OtdelTimer();
    CatEnv::at(StructureBox->Q_Otdel, k.otdel);
    StructureBox->Timer_SkladTimer();
    CatEnv::at(StructureBox->Q_Sklad, k.sklad);
    CatEnv::at(StructureBox->Q_Ed, k.unit);
}

// The stock list of the kitchen's group ("Наличие на складах и цены") on the potato's row.
void openStock(const Kitchen& k)
{
    openStructure(k);
    Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
    ProductsTab->Sheet_IngShow();
    ProductsTab->Timer_GrIngTimer();
    CatEnv::at(ProductsTab->Q_GrIng, k.group);
    ProductsTab->CB_Context_IngSkladClick();
    ProductsTab->Timer_IngTimer();
    CatEnv::at(ProductsTab->Q_Ing_Sklad, k.stockRow);
    CatEnv::at(ProductsTab->Q_Ing, k.potato);
}

// The user's own change in the dialog: a text typed into a field, then OK.
template <typename Dialog, typename Field>
std::function<void()> typed(Field* Dialog::*field, const char* text, Dialog* dialog)
{
    return [=] {
        if constexpr (std::is_same_v<Field, QPlainTextEdit>)
            (dialog->*field)->setPlainText(QString::fromUtf8(text));
        else
            (dialog->*field)->setText(QString::fromUtf8(text));
        dialog->Btn_Ok->click();
    };
}

struct Edit {
    const char* what;
    const char* table;
    qint64 Kitchen::*row;
    const char* set;     // the other workstation's change of the row; none: it deletes the row
    const char* column;  // and the value it leaves there
    const char* kept;
    std::function<void(const Kitchen&)> open;  // the dialog opened by its button
    std::function<void()> save;
    const char* name;     // the row as the user knows it
    const char* changed;  // what the refusal names; none: the row is gone
    db::Query* list;      // this one's list, which shows the other's value after the refusal (a row gone: not at all)
    // How this one's road is reached: an edit dialog saved while the other
    // workstation acts (refused, it stays open); a picker chosen from
    // meanwhile (closed, then refused); a button pressed after the other acted.
    enum { Dialog, Picker, Button } road = Dialog;
    bool late = false;           // the other acts only after the window's own checks: meanwhile
    const char* told = nullptr;  // the refusal's words, when other than the above
};

// A handler run as its button runs it, the dialogs it opens answered in turn.
std::function<void()> handled(std::function<void()> handler, std::vector<std::function<void(QWidget*)>> answers = {})
{
    return [=] {
        ModalScript dialogs;
        for (const auto& answer : answers)
            dialogs.then(answer);
        Guard(handler);
    };
}
std::function<void()> clicked(QAbstractButton* button, std::vector<std::function<void(QWidget*)>> answers = {})
{
    return handled([button] { button->click(); }, std::move(answers));
}

// The other workstation deletes the row; this one's road on it writes nothing, and its list (if any) shows it no more.
Edit gone(const char* what, const char* table, qint64 Kitchen::*row, std::function<void(const Kitchen&)> open,
          std::function<void()> save, const char* name, db::Query* list, decltype(Edit::road) road = Edit::Button)
{
    return {what, table, row, nullptr, "COUNT(*)", "0", std::move(open), std::move(save), name, nullptr, list, road};
}

void picked(db::Query* list, qint64 kod, QAbstractButton* ok) { CatEnv::at(list, kod), ok->click(); }
void pickedTarget(QWidget*) { picked(Form_MoveMenu->Q_MoveMenu, kitchen.razdel2, Form_MoveMenu->Btn_Ok); }
// A name typed into the name dialog, then OK.
std::function<void(QWidget*)> named(const char* name)
{
    return [=](QWidget*) { Form_Name->Edit1->setText(QString::fromUtf8(name)), Form_Name->BitBtn1->click(); };
}

bool listed(db::Query* list, qint64 kod)
{
    for (int r = 0; list->active() && r < list->recordCount(); ++r)
        if (list->valueAt(r, list->fieldIndex(QStringLiteral("KOD"))).toLongLong() == kod)
            return true;
    return false;
}

// The menus tab on the kitchen's dish; the products tab on the kitchen's group and its products.
void onDish(const Kitchen& k) { openMenus(k.firma, k.menu, k.razdel), CatEnv::at(MenusTab->Q_Menu_Str, k.line); }
void onGroup(const Kitchen& k) { CatEnv::showProducts(k.firma, k.otdel, k.group), ProductsTab->Timer_IngTimer(); }

// The office whose check of an uploaded file the other workstation overtakes.
struct RacingOffice : automation::RecordingOffice {
    bool connect() override
    {
        if (meanwhile)
            std::exchange(meanwhile, {})();
        return RecordingOffice::connect();
    }
};

qint64 pickedOtdel = 0;  // the department the user picks for a new section

// The users window on the kitchen's user; its card.
void atPerson(const Kitchen& k)
{
    Form_Base->QPerson->close();
    Form_Base->QPerson->open();
    CatEnv::at(Form_Base->QPerson, k.person);
}
void openPerson(const Kitchen& k) { atPerson(k), Form_Personal->Btn_UpdClick(); }

// The template window on the kitchen's template of the stock list and its
// variable; the same from the settings tab, modal.
void atTemplate(const Kitchen& k)
{
    Form_Print->show();
    Form_Print->QPrintSpis->locate(QStringLiteral("KOD_SPISOK"), 2);
    Form_Print->Timer_Open_FormsTimer();
    CatEnv::at(Form_Print->QPrintForms, k.templ);
    Form_Print->Timer_Open_VarTimer();
}
void openTemplate(const Kitchen& k) { atTemplate(k), StructureBox->Btn_ShabClick(); }

// The user card saved with a password typed.
void savedPerson()
{
    Form_Person->E_Pass1->setText(QStringLiteral("1"));
    Form_Person->E_Pass2->setText(QStringLiteral("1"));
    Form_Person->BitBtn2->click();
}

// The template's panels changed and saved; the edit is then dropped, so the window closes without a question.
std::function<void()> savedTemplate(std::function<void()> change)
{
    return [=] {
        change();
        Form_Print->SE();  // as the user's edit marks it
        Form_Print->BtnSave->click();
        Form_Print->BtnCancelClick();
    };
}

std::vector<Edit> Edits()
{
    TForm_IngSklad* stockRow = Form_IngSklad;
    auto* box = StructureBox;
    TForm_Menu_R* razdel = Form_Menu_R;
    TMenusTab* menus = MenusTab;
    auto* products = ProductsTab;
    return {
        {"stock row prices", "ING_SKLAD", &Kitchen::stockRow, "CENA = 44, MY_CENA = 55", "CENA", "44",
         [](const Kitchen& k) { openStock(k), ProductsTab->Btn_Upd_IngSkladClick(); }, typed(&TForm_IngSklad::E_Proc, "30", stockRow),
         "Картофель", "цена складская, цена продажи", ProductsTab->Q_Ing_Sklad},
        // Codes never given are no text; the other's save wrote them as empty texts, which is no change.
        {"stock price by kopecks", "ING_SKLAD", &Kitchen::stockRow, "CENA = 40.4", "CENA", "40.4",
         [](const Kitchen& k) { openStock(k), ProductsTab->Btn_Upd_IngSkladClick(); }, typed(&TForm_IngSklad::E_Proc, "30", stockRow),
         "Картофель", "цена складская", ProductsTab->Q_Ing_Sklad},
        {"stock row with its codes saved empty", "ING_SKLAD", &Kitchen::stockRow, "CENA = 44, S_KOD = '', KOD_1S = ''", "CENA",
         "44", [](const Kitchen& k) { openStock(k), ProductsTab->Btn_Upd_IngSkladClick(); },
         typed(&TForm_IngSklad::E_Proc, "30", stockRow), "Картофель", "цена складская", ProductsTab->Q_Ing_Sklad},
        {"stock row hidden", "ING_SKLAD", &Kitchen::stockRow, "OPEN_CLOSE = 1", "OPEN_CLOSE", "1",
         [](const Kitchen& k) { openStock(k), ProductsTab->Btn_Upd_IngSkladClick(); }, typed(&TForm_IngSklad::E_Proc, "30", stockRow),
         "Картофель", "видимость в подразделении", nullptr},
        {"product", "ING", &Kitchen::potato, "VIHOD = 90", "VIHOD", "90",
         [](const Kitchen& k) { openStock(k), ProductsTab->Btn_Upd_IngClick(); },
         [] {
             Form_Ing->E_Section->setText(QStringLiteral("1"));
             typed(&TForm_Ing::E_Name, "Картофель молодой", static_cast<TForm_Ing*>(Form_Ing))();
         },
         "Картофель", "процент выхода", ProductsTab->Q_Ing},
        {"unit", "ED_IZM", &Kitchen::unit, "SHORT_NAME = 'кгр'", "SHORT_NAME", "кгр",
         [box](const Kitchen& k) { openStructure(k), box->Btn_Upd_EdClick(); }, typed(&TForm_Ed::E_Name, "кило", Form_Ed.get()),
         "килограмм", "сокращённое наименование", box->Q_Ed},
        {"unit deleted", "ED_IZM", &Kitchen::unit, nullptr, "COUNT(*)", "0",
         [box](const Kitchen& k) { openStructure(k), box->Btn_Upd_EdClick(); }, typed(&TForm_Ed::E_Name, "кило", Form_Ed.get()),
         "килограмм", nullptr, nullptr},
        {"enterprise", "FIRMA", &Kitchen::firma, "INN = '7701'", "INN", "7701",
         [box](const Kitchen& k) { openStructure(k), box->Btn_Upd_FirmaClick(); },
         typed(&TForm_Firma::E_Phone, "22-33", Form_Firma.get()), "Столовая", "ИНН", box->Q_Firma},
        {"department", "OTDEL", &Kitchen::otdel, "DOP_INFO = 'второй этаж'", "DOP_INFO", "второй этаж",
         [box](const Kitchen& k) { openStructure(k), box->Btn_Upd_OtdelClick(); },
         typed<TNameInfoDialog>(&TNameInfoDialog::E_Name, "Кухня №1", Form_Otdel.get()), "Кухня", "дополнительная информация",
         box->Q_Otdel},
        {"warehouse", "SKLAD", &Kitchen::sklad, "NAME = 'Холодный'", "NAME", "Холодный",
         [box](const Kitchen& k) { openStructure(k), box->Btn_Upd_SkladClick(); },
         typed<TNameInfoDialog>(&TNameInfoDialog::M_Info, "у окна", Form_Sklad.get()), "Основной склад", "наименование",
         box->Q_Sklad},
        {"menu", "MENU", &Kitchen::menu, "PERCENT = 5", "PERCENT", "5",
         [](const Kitchen& k) { openMenus(k.firma, k.menu), MenusTab->Btn_Upd_MenuClick(); },
         typed(&TForm_Menu::E_Name, "Ужин", Form_Menu.get()), "Обед", "процент повышения цены", MenusTab->Q_Menu},
        {"menu section", "MENU_RAZDEL", &Kitchen::razdel, "NAME = 'Супы-Б', MY_SORT = 5", "NAME", "Супы-Б",
         [](const Kitchen& k) { openMenus(k.firma, k.menu, k.razdel), MenusTab->Btn_Upd_R_MenuClick(); },
         typed(&TForm_Menu_R::E_Sort, "2", razdel), "Супы", "наименование раздела меню, порядок при печати", MenusTab->Q_Menu_Razdel},
        {"menu section deleted", "MENU_RAZDEL", &Kitchen::razdel, nullptr, "COUNT(*)", "0",
         [](const Kitchen& k) { openMenus(k.firma, k.menu, k.razdel), MenusTab->Btn_Upd_R_MenuClick(); },
         typed(&TForm_Menu_R::E_Sort, "2", razdel), "Супы", nullptr, nullptr},
        // A new section goes under a menu that is still there.
        {"section added to a menu deleted", "MENU", &Kitchen::menu, nullptr, "COUNT(*)", "0",
         [](const Kitchen& k) { openMenus(k.firma, k.menu), MenusTab->Btn_Add_R_MenuClick(); },
         [razdel] { razdel->OtdelKod = pickedOtdel, typed(&TForm_Menu_R::E_Name, "Салаты", razdel)(); }, "Обед", nullptr, nullptr},
        {"product group", "GROUP_ING", &Kitchen::group, "NAME = 'Овощи-Б'", "NAME", "Овощи-Б",
         [](const Kitchen& k) { CatEnv::showProducts(k.firma, k.otdel, k.group), ProductsTab->Btn_Upd_GRClick(); },
         typed(&TForm_GrIng::E_Name, "Овощи свежие", Form_GrIng.get()), "Овощи", "наименование группы", ProductsTab->Q_GrIng},
        {"product group deleted", "GROUP_ING", &Kitchen::group, nullptr, "COUNT(*)", "0",
         [](const Kitchen& k) { CatEnv::showProducts(k.firma, k.otdel, k.group), ProductsTab->Btn_Upd_GRClick(); },
         typed(&TForm_GrIng::E_Name, "Овощи свежие", Form_GrIng.get()), "Овощи", nullptr, nullptr},
        // The users' list is read again once its window is shown.
        {"user renamed with a new login", "PERSON", &Kitchen::person, "FIO = 'Петров-Б', LOGIN = 'petrov2'", "LOGIN", "petrov2",
         openPerson, savedPerson, "Петров", "Ф.И.О., логин", nullptr},
        {"user's password", "PERSON", &Kitchen::person, "PASSW = 'scrambled elsewhere'", "PASSW", "scrambled elsewhere", openPerson,
         savedPerson, "Петров", "пароль", nullptr},
        {"user deleted", "PERSON", &Kitchen::person, nullptr, "COUNT(*)", "0", openPerson, savedPerson, "Петров", nullptr, nullptr},
        {"template", "PRINT_FORMS", &Kitchen::templ, "NAME_SHABLON = 'Остатки-Б', ZOOM = 90", "NAME_SHABLON", "Остатки-Б",
         openTemplate, savedTemplate([] { Form_Print->RG_Setka->setItemIndex(1); }), "Остатки по группам",
         "наименование шаблона, масштаб", Form_Print->QPrintForms},
        {"template's variable", "PRINT_VARIABLES", &Kitchen::templVar, "TEXT_BEFORE_VALUE = 'Итого:', FONT_BOLD = 1, FONT_ITALIC = 1",
         "TEXT_BEFORE_VALUE", "Итого:", openTemplate, savedTemplate([] { Form_Print->E_Text_After->setText(QStringLiteral(" кг")); }),
         "name", "текст перед значением, шрифт", Form_Print->QPrintVar},
        // Saved on leaving it for the template above: refused, the move goes on.
        {"template left", "PRINT_FORMS", &Kitchen::templ, "ZOOM = 90", "ZOOM", "90", openTemplate,
         [] { Form_Print->SE(), Form_Print->QPrintForms->prior(); }, "Остатки по группам", "масштаб", nullptr},
        // Made the default: the list keeps its own default, the sample.
        {"template deleted", "PRINT_FORMS", &Kitchen::templ, nullptr, "COUNT(*)", "0", openTemplate,
         savedTemplate([] { Form_Print->DefaultForm->setChecked(true); }), "Остатки по группам", nullptr, nullptr},
        // Roads on a row a list shows, which the other workstation deleted.
        gone("section switched", "MENU_RAZDEL", &Kitchen::razdel, onDish, clicked(menus->Btn_OpenGR), "Супы", menus->Q_Menu_Razdel),
        gone("section deleted", "MENU_RAZDEL", &Kitchen::razdel, onDish, clicked(menus->Btn_Del_R_Menu), "Супы", menus->Q_Menu_Razdel),
        gone("dish switched", "MENU_STR", &Kitchen::line, onDish, clicked(menus->Btn_Otkl), "Борщ", menus->Q_Menu_Str),
        gone("dish moved", "MENU_STR", &Kitchen::line, onDish, clicked(menus->Btn_Move_Bludo_Menu, {pickedTarget}), "Борщ",
             menus->Q_Menu_Str),
        gone("dish moved to a section deleted", "MENU_RAZDEL", &Kitchen::razdel2,
             [menus](const Kitchen& k) { onDish(k), menus->Btn_Move_Bludo_Menu->click(); }, [] { pickedTarget(nullptr); }, "Вторые",
             menus->Q_Menu_Razdel, Edit::Picker),
        gone("dish taken out", "MENU_STR", &Kitchen::line, onDish, clicked(Form_Menu_S->Btn_Del), "Борщ", menus->Q_Menu_Str),
        // Picked from the menu products the search lists.
        gone("dish added to a section deleted", "MENU_RAZDEL", &Kitchen::razdel2,
             [](const Kitchen& k) {
                 openMenus(k.firma, k.menu, k.razdel2), Form_Menu_S->CB_Context_Ing->setChecked(true);
                 Form_Menu_S->CB_Context_IngClick();
             },
             clicked(Form_Menu_S->Btn_Add_Ing), "Вторые", menus->Q_Menu_Razdel),
        gone("menu deleted by its button", "MENU", &Kitchen::menu, onDish, clicked(menus->Btn_Del_Menu, {chooseItem(0)}), "Обед",
             menus->Q_Menu),
        gone("menu copied", "MENU", &Kitchen::menu, onDish, clicked(menus->Btn_Copy_Menu, {named("Ужин")}), "Обед", menus->Q_Menu),
        gone("group deleted by its button", "GROUP_ING", &Kitchen::emptyGroup,
             [](const Kitchen& k) { CatEnv::showProducts(k.firma, k.otdel, k.emptyGroup); }, clicked(products->Btn_Del_GR), "Фрукты",
             products->Q_GrIng),
        gone("group's section number", "GROUP_ING", &Kitchen::group, onGroup,
             handled([products] { products->N9Click(); }, {[](QWidget*) { Form_NSection->Btn_Ok->click(); }}), "Овощи", products->Q_GrIng),
        gone("group moved to a warehouse deleted", "SKLAD", &Kitchen::sklad2,
             [products](const Kitchen& k) { onGroup(k), products->Move_GroupToSklad(); },
             [] { picked(Form_GrToSklad->Q_GrToSklad, kitchen.sklad2, Form_GrToSklad->Btn_Ok); }, "Склад тары", nullptr, Edit::Dialog),
        gone("product moved to a group deleted", "GROUP_ING", &Kitchen::emptyGroup,
             [products](const Kitchen& k) { onGroup(k), products->Move_IngToGroup(); },
             [] { picked(Form_MoveIng->Q_MoveIng, kitchen.emptyGroup, Form_MoveIng->Btn_Ok); }, "Фрукты", products->Q_GrIng, Edit::Dialog),
        gone("product deleted", "ING", &Kitchen::potato, onGroup, clicked(products->Btn_Del_Ing, {chooseItem(0)}), "Картофель",
             products->Q_Ing),
        // Taken into stock after the window's own check, at its question.
        {"product deleted with stock taken meanwhile", "ING_SKLAD", &Kitchen::stockRow, "KOLVO = 5", "KOLVO", "5", onGroup,
         clicked(products->Btn_Del_Ing, {chooseItem(0)}), "", nullptr, nullptr, Edit::Button, true,
         "Данный продукт имеет ненулевые остатки на складах !"},
        {"every product of the group in use", "ING_SKLAD", &Kitchen::stockRow, "KOLVO = 5", "KOLVO", "5", onGroup,
         clicked(products->Btn_Del_Ing, {chooseItem(1)}), "", nullptr, nullptr, Edit::Button, false,
         "Ничего не удалено: ни один продукт этой группы удалить не удалось. Возможные причины: 1. Находится в раскладках "
         "блюд;  2. Имеется в документах инвентаризации;  3. В документах реализации;   4. В документах движения;   5. В "
         "Меню;   6. Имеет не нулевые остатки на складах.   Проверте и удалите такие документы и поставте нулевые остатки. "},
        {"every product of the group deleted", "ING", &Kitchen::potato, nullptr, "COUNT(*)", "0", onGroup,
         clicked(products->Btn_Del_Ing, {chooseItem(1)}), "", nullptr, products->Q_Ing, Edit::Button, false,
         "Продукты удалены на другом рабочем месте. Ничего не записано."},
        gone("enterprise deleted", "FIRMA", &Kitchen::partner, [box](const Kitchen& k) { openStructure(k), CatEnv::at(box->Q_Firma, k.partner); },
             clicked(box->Btn_Del_Firma), "Овощебаза", box->Q_Firma),
        gone("department deleted", "OTDEL", &Kitchen::otdel2, [box](const Kitchen& k) { openStructure(k), CatEnv::at(box->Q_Otdel, k.otdel2); },
             clicked(box->Btn_Del_Otdel), "Бар", box->Q_Otdel),
        gone("warehouse deleted", "SKLAD", &Kitchen::sklad2, [box](const Kitchen& k) { openStructure(k), CatEnv::at(box->Q_Sklad, k.sklad2); },
             clicked(box->Btn_Del_Sklad), "Склад тары", box->Q_Sklad),
        gone("unit deleted by its button", "ED_IZM", &Kitchen::unit, openStructure, clicked(box->Btn_Del_Ed), "килограмм", box->Q_Ed),
        gone("user deleted by the button", "PERSON", &Kitchen::person, atPerson, clicked(Form_Personal->Btn_Del), "Петров", nullptr),
        gone("user's rights", "PERSON", &Kitchen::person, [](const Kitchen& k) { atPerson(k), Form_Personal->Btn_Edit_PolicyClick(); },
             [] { Form_Policy->Btn_Ok->click(); }, "Петров", nullptr, Edit::Dialog),
        // Given after the card's own test of the login, at its question about saving no password: tested again in the road.
        {"login given meanwhile", "PERSON", &Kitchen::person2, "LOGIN = 'ivanov'", "LOGIN", "ivanov", openPerson,
         [] {
             Form_Person->E_Login->setText(QStringLiteral("ivanov")), Form_Person->E_Pass1->clear(), Form_Person->E_Pass2->clear();
             Form_Person->BitBtn2->click();
         },
         "Петров", nullptr, nullptr, Edit::Dialog, true,
         "Логин «ivanov» уже имеется в базе: его дали другому сотруднику на другом рабочем месте. Ничего не записано."},
        // Deleted while the office checks the file.
        {"spreadsheet uploaded", "PRINT_FORMS", &Kitchen::templ, nullptr, "COUNT(*)", "0", atTemplate, clicked(Form_Print->SpeedButton1),
         "Остатки по группам", nullptr, Form_Print->QPrintForms, Edit::Button, true},
        gone("template deleted by its button", "PRINT_FORMS", &Kitchen::templ, atTemplate, clicked(Form_Print->BtnDelete),
             "Остатки по группам", Form_Print->QPrintForms),
        // Renamed in the developer's mode.
        gone("template renamed", "PRINT_FORMS", &Kitchen::templ, [](const Kitchen& k) { atTemplate(k), Form_Print->Btn_ConstructorClick(); },
             [] { handled([] { Form_Print->E_NameDblClick(); }, {named("Остатки-2")})(), Form_Print->Btn_ConstructorClick(); },
             "Остатки по группам", Form_Print->QPrintForms),
    };
}

} // namespace

TEST(EditDialogsServer, ARowTheOtherWorkstationChangedMeanwhileIsNotWrittenOver)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    CatEnv env;
    ASSERT_TRUE(env.moveToTestServer());
    automation::SetProgramOffice(std::make_unique<RacingOffice>());
    const QString upload = QDir(env.t().folder()).filePath(QStringLiteral("new.xls"));
    QFile file(upload);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(XlsBytes()) > 0);
    file.close();
    const auto pickOpenFile = std::exchange(TForm_Print::pickOpenFile,
                                            [upload](QWidget*, const QString&, const QString&, const QString&) { return upload; });
    // Every question is answered OK, the other workstation acting first when its change is due meanwhile.
    Msg::setResponder([&](const Msg::Request& r) {
        env.messages.append(r.text);
        if (r.kind == Msg::Kind::Confirm && meanwhile)
            std::exchange(meanwhile, {})();
        return r.kind == Msg::Kind::Confirm ? 1 : 0;
    });
    // In every kitchen's departments.
    const qint64 borsch = env.ing(QStringLiteral("Борщ"), env.group(QStringLiteral("Супы")), env.unit(QStringLiteral("порция"), QStringLiteral("порц")));
    env.t().exec(QStringLiteral("UPDATE ING SET USE_MENU = '+' WHERE KOD = %1").arg(borsch));
    for (const Edit& edit : Edits()) {
        SCOPED_TRACE(edit.what);
        Kitchen k;
        k.firma = env.firma(QStringLiteral("Столовая"));
        k.otdel = env.mainOtdel(k.firma);
        k.sklad = env.mainSklad(k.otdel);
        k.group = env.group(QStringLiteral("Овощи"));
        k.unit = env.unit(QStringLiteral("килограмм"), QStringLiteral("кг"));  // no product uses it
        k.potato = env.ing(QStringLiteral("Картофель"), k.group, env.unit(QStringLiteral("штука"), QStringLiteral("шт")));
        k.stockRow = env.ingSklad(k.potato, k.otdel);
        env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 40, MY_CENA = 50, PERCENT = 25, METOD_CENA = 1, "
                                        "S_KOD = NULL, KOD_1S = NULL WHERE KOD = %1")
                         .arg(k.stockRow));
        k.menu = newMenu(k.firma, QStringLiteral("Обед"), QDate(2026, 12, 7));
        k.razdel = newRazdel(k.menu, k.otdel, QStringLiteral("Супы"), 1);
        pickedOtdel = k.otdel;
        env.t().exec(QStringLiteral("INSERT INTO PERSON (FIO, LOGIN) VALUES ('Петров', 'petrov')"));
        k.person = env.num(QStringLiteral("SELECT MAX(KOD) FROM PERSON"));
        InsertTemplate(env.t(), 2, TableLayout(QStringLiteral("Образец"), 1), 1);
        k.templ = InsertTemplate(env.t(), 2, TableLayout(QStringLiteral("Остатки по группам"), 777), 0);
        env.t().exec(QStringLiteral("UPDATE PRINT_FORMS SET OBRAZ = 0 WHERE KOD = %1").arg(k.templ));
        InsertVariable(env.t(), k.templ, PlacedVariable(QStringLiteral("name"), 0, QStringLiteral("B8")));
        k.templVar = env.num(QStringLiteral("SELECT MAX(KOD) FROM PRINT_VARIABLES"));
        k.partner = env.firma(QStringLiteral("Овощебаза"), QStringLiteral("Склад"), QStringLiteral("Склад"), false);
        env.t().exec(QStringLiteral("INSERT INTO OTDEL (KOD_FIRMA, NAME, FIRST_OTDEL) VALUES (%1, 'Бар', '0')").arg(k.firma));
        k.otdel2 = env.num(QStringLiteral("SELECT MAX(KOD) FROM OTDEL"));
        env.t().exec(QStringLiteral("INSERT INTO SKLAD (KOD_FIRMA, KOD_OTDEL, NAME, FIRST_SKLAD) VALUES (%1, %2, 'Склад тары', '0')")
                         .arg(k.firma)
                         .arg(k.otdel));
        k.sklad2 = env.num(QStringLiteral("SELECT MAX(KOD) FROM SKLAD"));
        env.t().exec(QStringLiteral("INSERT INTO GROUP_ING (NAME) VALUES ('Фрукты')"));
        k.emptyGroup = env.num(QStringLiteral("SELECT MAX(KOD) FROM GROUP_ING"));
        env.t().exec(QStringLiteral("INSERT INTO SKLAD_GRING (KOD_SKLAD, KOD_GRING) VALUES (%1, %2)").arg(k.sklad).arg(k.emptyGroup));
        k.razdel2 = newRazdel(k.menu, k.otdel, QStringLiteral("Вторые"), 2);
        k.line = newDish(k.razdel, borsch);
        env.t().exec(QStringLiteral("INSERT INTO PERSON (FIO, LOGIN) VALUES ('Сидоров', 'sidorov')"));
        k.person2 = env.num(QStringLiteral("SELECT MAX(KOD) FROM PERSON"));
        kitchen = k;
        const QString key = QString::number(k.*edit.row);
        const int lines = env.count(QStringLiteral("LOG_TABLE"));
        env.messages.clear();
        const auto elsewhere = [&] {
            // The other workstation's change announces nothing to this one's lists.
            ServerStation other(env.t().path());
            other.write().start();
            engine::Exec(other.ctx(), edit.set ? QStringLiteral("UPDATE %1 SET %2 WHERE KOD = %3").arg(QLatin1String(edit.table), QString::fromUtf8(edit.set), key)
                                               : QStringLiteral("DELETE FROM %1 WHERE KOD = %2").arg(QLatin1String(edit.table), key));
            other.write().commit();
        };
        const auto race = [&] {
            if (edit.late)
                meanwhile = elsewhere;
            else
                elsewhere();
        };
        if (edit.road == Edit::Button) {
            edit.open(k);
            race();
            edit.save();
        } else {
            ModalScript dialogs;
            dialogs.then([&](QWidget* dialog) {
                race();
                edit.save();
                // Refused, the dialog stays open with what the user typed.
                if (edit.road == Edit::Dialog) {
                    EXPECT_TRUE(dialog->isVisible());
                    static_cast<QDialog*>(dialog)->reject();
                }
            });
            edit.open(k);
        }
        const QString name = QStringLiteral("«%1»").arg(QString::fromUtf8(edit.name));
        const QString told = edit.told      ? QString::fromUtf8(edit.told)
                             : edit.changed ? QStringLiteral("Пока окно было открыто, на другом рабочем месте изменили %1: %2. Ничего не "
                                                           "записано: откройте окно снова, чтобы увидеть новые значения.")
                                                .arg(name, QString::fromUtf8(edit.changed))
                                          : QStringLiteral("На другом рабочем месте удалили %1. Ничего не записано.").arg(name);
        EXPECT_EQ(env.messages.value(env.messages.size() - 1).toStdString(), told.toStdString());
        EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE")), lines);
        EXPECT_FALSE(Form_Base->TransactionWrite->active());
        EXPECT_EQ(env.text(QStringLiteral("SELECT %1 FROM %2 WHERE KOD = %3").arg(QLatin1String(edit.column), QLatin1String(edit.table), key))
                      .toStdString(),
                  edit.kept);
        if (edit.list && edit.set) {
            EXPECT_EQ(edit.list->field(QString::fromLatin1(edit.column)).value().toString().toStdString(), edit.kept);
        } else if (edit.list) {
            EXPECT_FALSE(listed(edit.list, k.*edit.row));
        }
        EXPECT_EQ(env.count(QStringLiteral("MENU_RAZDEL"), QStringLiteral("KOD_MENU = %1 AND NAME = 'Салаты'").arg(k.menu)), 0);
        EXPECT_EQ(env.count(QStringLiteral("PRINT_FORMS"), QStringLiteral("KOD_SPISKA = 2 AND DEFAUL = 1")), 1);
        env.t().exec(QStringLiteral("DELETE FROM PRINT_FORMS"));
        Form_Print->hide();
    }
    automation::SetProgramOffice(nullptr);
    TForm_Print::pickOpenFile = pickOpenFile;
}
