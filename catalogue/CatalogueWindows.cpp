#include "CatalogueWindows.h"

#include "Unit_Ed.h"
#include "Unit_Firma.h"
#include "Unit_GrIng.h"
#include "Unit_GrToSklad.h"
#include "Unit_Ing.h"
#include "Unit_IngSklad.h"
#include "Unit_CopyCena.h"
#include "ProductsTabMenus.h"
#include "Unit_Menu.h"
#include "Unit_Menu_R.h"
#include "Unit_Menu_S.h"
#include "Unit_MenusTab.h"
#include "Unit_MoveMenu.h"
#include "Unit_MoveIng.h"
#include "Unit_NSection.h"
#include "Unit_Otdel.h"
#include "Unit_ProductsTab.h"
#include "Unit_SelectFirma.h"
#include "Unit_SelectOtdel.h"
#include "Unit_Sklad.h"
#include "Unit_StructureBox.h"
#include "CatalogueUi.h"
#include "base/Unit_Base.h"
#include "entries/ShowStat.h"
#include "util/Messages.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Timers.h"

void CreateCatalogueWindows()
{
    Form_SelectFirma = new TForm_SelectFirma;
    Form_Firma = new TForm_Firma;
    Form_Otdel = new TForm_Otdel;
    Form_Sklad = new TForm_Sklad;
    Form_Ed = new TForm_Ed;
    Form_GrIng = new TForm_GrIng;
    Form_Ing = new TForm_Ing;
    Form_GrToSklad = new TForm_GrToSklad;
    Form_IngSklad = new TForm_IngSklad;
    Form_MoveIng = new TForm_MoveIng;
    Form_Menu = new TForm_Menu;
    Form_Menu_R = new TForm_Menu_R;
    Form_MoveMenu = new TForm_MoveMenu;
}

void CreateSelectOtdelWindow() { Form_SelectOtdel = new TForm_SelectOtdel; }

void CreateNSectionWindow()
{
    Form_CopyCena = new TForm_CopyCena;
    Form_NSection = new TForm_NSection;
}

void AttachCatalogueWindows()
{
    // The lists of the windows still to come connect before the tabs, as the
    // data module's handlers did.
    Form_SelectFirma->AttachData();
    Form_SelectOtdel->AttachData();
    Form_GrToSklad->AttachData();
    Form_MoveIng->AttachData();
    StructureBox = new TStructureBox(Form_Main);
    ProductsTab = new TProductsTab(Form_Main);
    ProductsTabMenus = new TProductsTabMenus(ProductsTab);
    Form_MoveMenu->AttachData();
    Form_Menu_S = new TForm_Menu_S;
    MenusTab = new TMenusTab(Form_Main);

    // The statistics window of printing picks with the shared pickers.
    printing::StatPickers pickers;
    pickers.firma = [](qint64& kod, QString& name) {
        Form_SelectFirma->Prepare(QStringLiteral("Выбор предприятия"), 1);
        bool chosen = false;
        if (Msg::execModal(Form_SelectFirma) == QDialog::Accepted && cat::HasRow(Form_SelectFirma->Q_Vibor)) {
            kod = Form_SelectFirma->Q_Vibor->field(QStringLiteral("KOD")).asInt64();
            name = Form_SelectFirma->Q_Vibor->field(QStringLiteral("NAME")).asString();
            chosen = true;
        }
        Form_SelectFirma->Q_Vibor->close();
        return chosen;
    };
    pickers.otdel = [](qint64 firma, qint64& kod, QString& name) {
        db::Query* q = Form_SelectOtdel->Q_O;
        Form_Base->OpenRead(q, QStringLiteral("SELECT * FROM OTDEL WHERE KOD_FIRMA = ") + QString::number(firma) +
                                   QStringLiteral(" ORDER BY NAME"));
        bool chosen = false;
        if (Msg::execModal(Form_SelectOtdel) == QDialog::Accepted && cat::HasRow(q)) {
            kod = q->field(QStringLiteral("KOD")).asInt64();
            name = q->field(QStringLiteral("NAME")).asString();
            chosen = true;
        }
        q->close();
        return chosen;
    };
    printing::SetStatPickers(pickers);
}

void DestroyCatalogueWindows()
{
    ProductsTabMenus = nullptr;  // owned by the tab
    delete MenusTab;
    MenusTab = nullptr;
    delete Form_Menu_S;
    Form_Menu_S = nullptr;
    delete ProductsTab;
    ProductsTab = nullptr;
    delete StructureBox;
    StructureBox = nullptr;
    delete Form_NSection;
    Form_NSection = nullptr;
    delete Form_CopyCena;
    Form_CopyCena = nullptr;
    delete Form_SelectOtdel;
    Form_SelectOtdel = nullptr;
    delete Form_MoveMenu;
    Form_MoveMenu = nullptr;
    delete Form_Menu_R;
    Form_Menu_R = nullptr;
    delete Form_Menu;
    Form_Menu = nullptr;
    delete Form_MoveIng;
    Form_MoveIng = nullptr;
    delete Form_IngSklad;
    Form_IngSklad = nullptr;
    delete Form_GrToSklad;
    Form_GrToSklad = nullptr;
    delete Form_Ing;
    Form_Ing = nullptr;
    delete Form_GrIng;
    Form_GrIng = nullptr;
    delete Form_Ed;
    Form_Ed = nullptr;
    delete Form_Sklad;
    Form_Sklad = nullptr;
    delete Form_Otdel;
    Form_Otdel = nullptr;
    delete Form_Firma;
    Form_Firma = nullptr;
    delete Form_SelectFirma;
    Form_SelectFirma = nullptr;
}
