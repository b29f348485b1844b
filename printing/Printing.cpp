#include "Printing.h"

#include "Unit_Oborotka.h"
#include "ProgramOffice.h"
#include "Unit_Stat.h"

#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "ui/Scaling.h"
#include "util/Messages.h"
#include "util/Settings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>



TPrintStubDialog::TPrintStubDialog(const QString& caption, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(caption);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(new QLabel(printing::NotBuiltText(), this));
}

int TPrintStubDialog::exec()
{
    Msg::notice(printing::NotBuiltText(), windowTitle());
    return QDialog::Rejected;
}


void CreatePrintingWindows()
{
    Form_Print = new TForm_Print;
    Form_PrintHelp.make();
    Form_ExpImp.make();
    // The print dialogs grow with the other windows on a large screen.
    Form_Var.make([](TForm_Var* w) {
        if (!w->testAttribute(Qt::WA_Resized))
            w->resize(w->sizeHint());
        ScaleWindow(w, false);
    });
}

void DestroyPrintingWindows()
{
    // The office connection goes while the program still runs; the office
    // and the documents shown in it stay with the user.
    automation::SetProgramOffice(nullptr);
    DestroyOborotkaWindows();
    Form_Var.destroy();
    Form_ExpImp.destroy();
    Form_PrintHelp.destroy();
    delete Form_Print;
    Form_Print = nullptr;
    delete Form_PrtDvig;
    Form_PrtDvig = nullptr;
    delete Form_PrintKarta;
    Form_PrintKarta = nullptr;
    delete Form_PrintReal;
    Form_PrintReal = nullptr;
    delete Form_PrintOstatki;
    Form_PrintOstatki = nullptr;
    delete Form_Svod;
    Form_Svod = nullptr;
    delete Form_DesignMenu;
    Form_DesignMenu = nullptr;
    delete Form_PrintParam;
    Form_PrintParam = nullptr;
    delete Form_VariantsPrint;
    Form_VariantsPrint = nullptr;
    delete Form_Limit;
    Form_Limit = nullptr;
    delete Form_Stat;
    Form_Stat = nullptr;
}
