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
    Form_Provodka = new TForm_Provodka;
    Form_DelProv = new TForm_DelProv;
    Form_DocMove = new TForm_DocMove;
    Form_DocReal = new TForm_DocReal;
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
    delete Form_DocReal;
    Form_DocReal = nullptr;
    delete MoveTab;
    MoveTab = nullptr;
    delete Form_IngToDoc;
    Form_IngToDoc = nullptr;
    delete Form_DocMove;
    Form_DocMove = nullptr;
    delete Form_DelProv;
    Form_DelProv = nullptr;
    delete Form_Provodka;
    Form_Provodka = nullptr;
}
