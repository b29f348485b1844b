#include "KartaWindows.h"

#include "CatalogueUi.h"
#include "Unit_Ing.h"
#include "Unit_KBrutto.h"
#include "Unit_Karta.h"
#include "Unit_ProductsTab.h"
#include "Unit_Recept.h"
#include "Unit_ShowKarta.h"
#include "base/Unit_Base.h"
#include "costing/CardEdit.h"
#include "grid/DatasetModel.h"
#include "ui/Unit_Alarm.h"
#include "ui/Unit_Name.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

void CreateKartaWindows()
{
    Form_Karta.make();
    Form_ShowKarta.make();
    Form_Recept.make();
    Form_KBrutto.make();
    auto wire = [](TForm_Ing* f) {
        f->showKBrutto = [](double& brutto, double& netto) { return TForm_KBrutto::Execute(brutto, netto); };
    };
    if (Form_Ing.made())
        wire(Form_Ing.made());
    else if (Form_Ing.armed())
        Form_Ing.make(wire);
}

void DestroyKartaWindows()
{
    if (Form_Ing.made())
        Form_Ing->showKBrutto = nullptr;
    Form_KBrutto.destroy();
    Form_Recept.destroy();
    Form_ShowKarta.destroy();
    Form_Karta.destroy();
}

void CopyIngClick()
{
    if (!ProductsTab || !cat::HasRow(ProductsTab->Q_Ing))
        return;
    db::Query* ing = ProductsTab->Q_Ing;
    TForm_Name* f = Form_Name;
    f->setWindowTitle(QStringLiteral("Наименование нового блюда"));
    f->Edit1->clear();
    f->DateTimePicker1->hide();
    f->Panel2->hide();
    const int maxLength = f->Edit1->maxLength();
    f->Edit1->setMaxLength(100);
    const int answer = Msg::execModal(f);
    f->Edit1->setMaxLength(maxLength);
    if (answer != QDialog::Accepted)
        return;
    const QString name = f->Edit1->text();
    const QString refusal = costing::UnstorableTextRefusal(name);
    if (!refusal.isEmpty()) {
        Msg::notice(refusal);
        return;
    }
    const qint64 source = cat::KeyOf(ing);
    const QString sourceName = ing->field(QStringLiteral("NAME")).asString();
    costing::CopyResult r;
    {
        WriteTransaction w(costing::kRoad);
        r = costing::CopyDish(w.context(), source, name);
        // The product list stands on the copy once the commit reloads it.
        ListStandsOn copy(ProductsTab->List_Ing, r.kod);
        // A price computation stopped by a zero price keeps the copy: the line commits it.
        w.commit(QStringLiteral("Продукты и блюда"),
                 QStringLiteral("Копирование блюда <<") + sourceName + QStringLiteral(">> в блюдо <<") + name +
                                QStringLiteral(">>"));
    }
    ProductsTab->Grid_Ing->setFocus();
    if (r.prices.aborted) {
        const QString lines = r.prices.warnings.join(QLatin1Char('\n'));
        if (Form_Alarm) {
            Form_Alarm->Memo1->setPlainText(lines);
            Msg::execModal(Form_Alarm);
            Form_Alarm->Memo1->clear();
        } else {
            Msg::warning(lines, QStringLiteral("Внимание ! ! !"));
        }
    }
}
