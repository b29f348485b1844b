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
    Form_IngToDoc.make();
    MoveTab = new TMoveTab(Form_Main);
    Form_SelectMenu.make();
    RealTab = new TRealTab(Form_Main);
}

void DestroyDocumentsWindows()
{
    delete RealTab;
    RealTab = nullptr;
    Form_SelectMenu.destroy();
    Form_DocReal.destroy();
    delete MoveTab;
    MoveTab = nullptr;
    Form_IngToDoc.destroy();
    Form_DocMove.destroy();
    Form_DelProv.destroy();
    Form_Provodka.destroy();
}
