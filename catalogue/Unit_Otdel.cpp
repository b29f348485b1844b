#include "Unit_Otdel.h"

#include "CatalogueUi.h"
#include "Structure.h"
#include "Unit_StructureBox.h"
#include "base/Unit_Base.h"
#include "util/Messages.h"

#include <QLineEdit>
#include <QPlainTextEdit>

FirstUse<TForm_Otdel> Form_Otdel;

TForm_Otdel::TForm_Otdel(QWidget* parent) : TNameInfoDialog(QStringLiteral("Подразделение (Отдел)"), QStringLiteral("OTDEL"), 254, parent) {}

db::Query* TForm_Otdel::List() const { return StructureBox->Q_Otdel; }

void TForm_Otdel::Btn_OkClick()
{
    if (!cat::Filled(E_Name, QStringLiteral("Нет наименования отдела !")))
        return;
    if (NewMode == 1)
        Msg::notice(QStringLiteral("Всем продуктам нового отдела будут присвоены цены основного раздела предприятия. "
                                   "В дальнейшем Вы сможете их поменять."));
    db::Query* firma = StructureBox->Q_Firma;
    const qint64 firmaKod = firma->field(QStringLiteral("KOD")).asInt64();
    const QString firmaName = firma->field(QStringLiteral("NAME")).asString();
    if (NewMode == 1) {
        SavedKod = structure::CreateOtdel(firmaKod, firmaName, E_Name->text(), M_Info->toPlainText());
    } else {
        SavedKod = StructureBox->Q_Otdel->field(QStringLiteral("KOD")).asInt64();
        structure::UpdateOtdel(SavedKod, firmaKod, firmaName, E_Name->text(), M_Info->toPlainText(), Shown);
    }
    accept();
}
