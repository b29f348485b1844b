#include "DocumentsWindows.h"

#include "Unit_DocMove.h"
#include "Unit_DocReal.h"
#include "Unit_RealTab.h"
#include "Unit_SelectMenu.h"
#include "Unit_IngToDoc.h"
#include "Unit_MoveTab.h"
#include "Unit_Provodka.h"
#include "ui/Unit_Main.h"

void CreateDocumentsWindows()
{
    Form_Provodka.make();
    Form_DelProv.make();
    Form_DocMove.make();
    Form_DocReal.make();
}

void AttachDocumentsWindows()
{
    Form_IngToDoc = new TForm_IngToDoc;
    MoveTab = new TMoveTab(Form_Main);
    Form_SelectMenu = new TForm_SelectMenu;
    RealTab = new TRealTab(Form_Main);
}

void DestroyDocumentsWindows()
{
    delete RealTab;
    RealTab = nullptr;
    delete Form_SelectMenu;
    Form_SelectMenu = nullptr;
    Form_DocReal.destroy();
    delete MoveTab;
    MoveTab = nullptr;
    delete Form_IngToDoc;
    Form_IngToDoc = nullptr;
    Form_DocMove.destroy();
    Form_DelProv.destroy();
    Form_Provodka.destroy();
}
