#include "Unit_Sklad.h"

#include "CatalogueUi.h"
#include "Structure.h"
#include "Unit_StructureBox.h"
#include "base/Unit_Base.h"

#include <QLineEdit>
#include <QPlainTextEdit>

FirstUse<TForm_Sklad> Form_Sklad;

TForm_Sklad::TForm_Sklad(QWidget* parent) : TNameInfoDialog(QStringLiteral("Склад"), QStringLiteral("SKLAD"), 100, parent) {}

db::Query* TForm_Sklad::List() const { return StructureBox->Q_Sklad; }

void TForm_Sklad::Btn_OkClick()
{
    if (!cat::Filled(E_Name, QStringLiteral("Нет наименования склада !")))
        return;
    db::Query* firma = StructureBox->Q_Firma;
    db::Query* otdel = StructureBox->Q_Otdel;
    const qint64 firmaKod = firma->field(QStringLiteral("KOD")).asInt64();
    const QString firmaName = firma->field(QStringLiteral("NAME")).asString();
    const qint64 otdelKod = otdel->field(QStringLiteral("KOD")).asInt64();
    const QString otdelName = otdel->field(QStringLiteral("NAME")).asString();
    if (NewMode == 1) {
        SavedKod = structure::CreateSklad(firmaKod, otdelKod, firmaName, otdelName, E_Name->text(), M_Info->toPlainText());
    } else {
        SavedKod = StructureBox->Q_Sklad->field(QStringLiteral("KOD")).asInt64();
        structure::UpdateSklad(SavedKod, firmaKod, otdelKod, firmaName, otdelName, E_Name->text(), M_Info->toPlainText(),
                               Shown);
    }
    accept();
}
