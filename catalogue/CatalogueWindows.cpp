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
#include "entries/ReportPickers.h"
#include "util/Messages.h"
#include "ui/Unit_Main.h"
#include "grid/Greying.h"

namespace {

// The enterprise and department pickers as the report dialogs ask them.
class SharedPickers final : public printing::ReportPickers {
public:
    bool firma(qint64& kod, QString& name) override
    {
        Form_SelectFirma->Prepare(QStringLiteral("Выбор предприятия"), 1);
        db::Query* q = Form_SelectFirma->Q_Vibor;
        const bool chosen = Msg::execModal(Form_SelectFirma) == QDialog::Accepted && cat::HasRow(q);
        if (chosen) {
            kod = cat::KeyOf(q);
            name = q->field(QStringLiteral("NAME")).asString();
        }
        q->close();
        return chosen;
    }

    bool otdel(qint64 firma, Order order, qint64& kod, QString& name) override
    {
        Form_SelectOtdel->AttachData();
        db::Query* q = Form_SelectOtdel->Q_O;
        q->close();
        q->setSql(QStringLiteral("SELECT * FROM OTDEL WHERE KOD_FIRMA = ") + QString::number(firma) +
                  (order == Order::ByName ? QStringLiteral(" ORDER BY NAME") : QString()));
        q->open();
        const bool chosen = Msg::execModal(Form_SelectOtdel) == QDialog::Accepted && cat::HasRow(q);
        if (chosen) {
            kod = cat::KeyOf(q);
            name = q->field(QStringLiteral("NAME")).asString();
        }
        q->close();
        return chosen;
    }
};

SharedPickers sharedPickers;

} // namespace

void CreateCatalogueWindows()
{
    Form_SelectFirma = new TForm_SelectFirma;
    Form_Firma.make();
    Form_Otdel.make();
    Form_Sklad.make();
    Form_Ed.make();
    Form_GrIng.make();
    Form_Ing.make();
    Form_GrToSklad = new TForm_GrToSklad;
    Form_IngSklad.make();
    Form_MoveIng = new TForm_MoveIng;
    Form_Menu.make();
    Form_Menu_R.make();
    Form_MoveMenu = new TForm_MoveMenu;
}

void CreateSelectOtdelWindow() { Form_SelectOtdel = new TForm_SelectOtdel; }

void CreateNSectionWindow()
{
    Form_CopyCena.make();
    Form_NSection.make();
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
    MenusTab = new TMenusTab(Form_Main);
    Form_Menu_S.make();  // shows the tab's sections and dishes

    // The report dialogs of printing pick with the shared pickers.
    printing::SetReportPickers(&sharedPickers);
}

void DestroyCatalogueWindows()
{
    printing::SetReportPickers(nullptr);
    ProductsTabMenus = nullptr;  // owned by the tab
    Form_Menu_S.destroy();
    delete MenusTab;
    MenusTab = nullptr;
    delete ProductsTab;
    ProductsTab = nullptr;
    delete StructureBox;
    StructureBox = nullptr;
    Form_NSection.destroy();
    Form_CopyCena.destroy();
    delete Form_SelectOtdel;
    Form_SelectOtdel = nullptr;
    delete Form_MoveMenu;
    Form_MoveMenu = nullptr;
    Form_Menu_R.destroy();
    Form_Menu.destroy();
    delete Form_MoveIng;
    Form_MoveIng = nullptr;
    Form_IngSklad.destroy();
    delete Form_GrToSklad;
    Form_GrToSklad = nullptr;
    Form_Ing.destroy();
    Form_GrIng.destroy();
    Form_Ed.destroy();
    Form_Sklad.destroy();
    Form_Otdel.destroy();
    Form_Firma.destroy();
    delete Form_SelectFirma;
    Form_SelectFirma = nullptr;
}
