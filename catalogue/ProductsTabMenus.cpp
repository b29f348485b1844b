#include "ProductsTabMenus.h"

#include "Unit_StructureBox.h"
#include "util/Globals.h"

#include "CatalogueUi.h"
#include "entries/Print_IngUsage.h"
#include "Unit_CopyCena.h"
#include "Unit_ProductsTab.h"
#include "base/Unit_Base.h"
#include "costing/DepartmentRows.h"
#include "engine/WriteRoad.h"
#include "grid/DatasetModel.h"
#include "util/Messages.h"
#include "db/Query.h"
#include "ui/Unit_Gauge.h"
#include "ui/Unit_Main.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QMenu>

#include <vector>

TProductsTabMenus* ProductsTabMenus = nullptr;

namespace {

void attach(QMenu* menu, db::DbGrid* grid)
{
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(grid, &QWidget::customContextMenuRequested, menu,
                     [menu, grid](const QPoint& p) { menu->popup(grid->viewport()->mapToGlobal(p)); });
}

std::vector<qint64> column(const db::Query* q, const QString& field)
{
    std::vector<qint64> out;
    if (!cat::HasRow(q))
        return out;
    const int col = q->fieldIndex(field);
    for (int r = 0; r < q->recordCount(); ++r)
        out.push_back(q->valueAt(r, col).toLongLong());
    return out;
}

bool hiddenRow(const db::Query* q)
{
    return cat::HasRow(q) && q->hasField(QStringLiteral("OPEN_CLOSE")) && q->field(QStringLiteral("OPEN_CLOSE")).asInt() > 0;
}

// A row about to leave a list that does not show hidden rows: the list moves
// to the next row (the previous one at the end), where the commit's reload
// finds it again.
void stepOffHidden(db::Query* q, bool leaves)
{
    if (leaves) {
        if (q->recNo() < q->recordCount() - 1)
            q->next();
        else if (q->recNo() > 0)
            q->prior();
    }
}

} // namespace

TProductsTabMenus::TProductsTabMenus(TProductsTab* tab) : QObject(tab), tab_(tab)
{
    const auto item = [this](QMenu* menu, const QString& text, void (TProductsTabMenus::*handler)()) {
        QAction* a = menu->addAction(text);
        connect(a, &QAction::triggered, this, [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
        return a;
    };
    PopupMenu_Cena = new QMenu(tab->Grid_Otdel1);
    N1 = item(PopupMenu_Cena, QStringLiteral("Копировать цены отдела"), &TProductsTabMenus::N1Click);
    N2 = item(PopupMenu_Cena, QStringLiteral("Копировать цены склада"), &TProductsTabMenus::N2Click);
    attach(PopupMenu_Cena, tab->Grid_Otdel1);
    attach(PopupMenu_Cena, tab->Grid_Sklad1);

    PopupMenu_All = new QMenu(tab->Grid_Ing);
    N1_All = item(PopupMenu_All, QStringLiteral("Скрыть"), &TProductsTabMenus::N1_AllClick);
    N2_All = item(PopupMenu_All, QStringLiteral("Открыть"), &TProductsTabMenus::N2_AllClick);
    N3 = item(PopupMenu_All, QStringLiteral("Скрыть всё выбранное"), &TProductsTabMenus::N3Click);
    N4 = item(PopupMenu_All, QStringLiteral("Открыть всё выбранное"), &TProductsTabMenus::N4Click);
    PopupMenu_All->addSeparator();
    N7 = item(PopupMenu_All, QStringLiteral("Где используется"), &TProductsTabMenus::N7Click);
    connect(PopupMenu_All, &QMenu::aboutToShow, this, &TProductsTabMenus::PopupMenu_AllPopup);
    attach(PopupMenu_All, tab->Grid_Ing);

    PopupMenu_Sklad = new QMenu(tab->Grid_Ing_Sklad);
    N1_Sklad = item(PopupMenu_Sklad, QStringLiteral("Скрыть"), &TProductsTabMenus::N1_SkladClick);
    N2_Sklad = item(PopupMenu_Sklad, QStringLiteral("Открыть"), &TProductsTabMenus::N2_SkladClick);
    N5 = item(PopupMenu_Sklad, QStringLiteral("Скрыть всё выбранное"), &TProductsTabMenus::N5Click);
    N6 = item(PopupMenu_Sklad, QStringLiteral("Открыть всё выбранное"), &TProductsTabMenus::N6Click);
    PopupMenu_Sklad->addSeparator();
    N8 = item(PopupMenu_Sklad, QStringLiteral("Где используется"), &TProductsTabMenus::N8Click);
    connect(PopupMenu_Sklad, &QMenu::aboutToShow, this, &TProductsTabMenus::PopupMenu_SkladPopup);
    attach(PopupMenu_Sklad, tab->Grid_Ing_Sklad);
}

// ---- price copy ----

void TProductsTabMenus::copyPrices(int mode)
{
    if (Form_Main->ActiveInnerPage() == Form_Main->Sheet_Move || !Form_CopyCena)
        return;
    // Copied prices are prices: the right that guards them on the stock tab.
    if (!CheckRight(Right::PriceProps))
        return;
    // The copy goes into the current department, or its current warehouse.
    if (!cat::HasRow(StructureBox->Q_Otdel) || (mode == 2 && !cat::HasRow(StructureBox->Q_Sklad)))
        return;
    Form_CopyCena->Tag = mode;
    Msg::execModal(Form_CopyCena);
}

void TProductsTabMenus::N1Click() { copyPrices(1); }

void TProductsTabMenus::N2Click() { copyPrices(2); }

// ---- hide and open ----

void TProductsTabMenus::PopupMenu_AllPopup()
{
    const bool hidden = hiddenRow(tab_->Q_Ing);
    N1_All->setEnabled(!hidden);
    N2_All->setEnabled(hidden);
}

void TProductsTabMenus::PopupMenu_SkladPopup()
{
    const bool hidden = hiddenRow(tab_->Q_Ing_Sklad);
    N1_Sklad->setEnabled(!hidden);
    N2_Sklad->setEnabled(hidden);
}

void TProductsTabMenus::hideProduct(bool hidden)
{
    db::Query* q = tab_->Q_Ing;
    if (!cat::HasRow(q) || !cat::HasRow(StructureBox->Q_Otdel))
        return;
    const qint64 ing = cat::KeyOf(q);
    stepOffHidden(q, hidden && !tab_->CB_Closed1->isChecked());
    WriteTransaction w(costing::kRoad);
    costing::SetProductsHidden(w.context(), {ing}, cat::KeyOf(StructureBox->Q_Otdel), hidden);
    w.commit();
    tab_->Grid_Ing->setFocus();
}

void TProductsTabMenus::hideRow(bool hidden)
{
    db::Query* q = tab_->Q_Ing_Sklad;
    if (!cat::HasRow(q))
        return;
    const qint64 kod = cat::KeyOf(q);
    stepOffHidden(q, hidden && !tab_->CB_Closed2->isChecked());
    WriteTransaction w(costing::kRoad);
    costing::SetRowsHidden(w.context(), {kod}, hidden);
    w.commit();
    tab_->Grid_Ing_Sklad->setFocus();
}

void TProductsTabMenus::hideProductList(bool hidden)
{
    const std::vector<qint64> ings = column(tab_->Q_Ing, QStringLiteral("KOD"));
    if (ings.empty() || !cat::HasRow(StructureBox->Q_Otdel))
        return;
    WriteTransaction w(costing::kRoad);
    costing::SetProductsHidden(w.context(), ings, cat::KeyOf(StructureBox->Q_Otdel), hidden);
    w.commit();
    tab_->Grid_Ing->setFocus();
}

void TProductsTabMenus::hideStockList(bool hidden)
{
    const std::vector<qint64> rows = column(tab_->Q_Ing_Sklad, QStringLiteral("KOD"));
    if (rows.empty())
        return;
    WriteTransaction w(costing::kRoad);
    costing::SetRowsHidden(w.context(), rows, hidden);
    w.commit();
    tab_->Grid_Ing_Sklad->setFocus();
}

void TProductsTabMenus::N1_AllClick() { hideProduct(true); }
void TProductsTabMenus::N2_AllClick() { hideProduct(false); }
void TProductsTabMenus::N3Click() { hideProductList(true); }
void TProductsTabMenus::N4Click() { hideProductList(false); }
void TProductsTabMenus::N1_SkladClick() { hideRow(true); }
void TProductsTabMenus::N2_SkladClick() { hideRow(false); }
void TProductsTabMenus::N5Click() { hideStockList(true); }
void TProductsTabMenus::N6Click() { hideStockList(false); }

// ---- where-used ----

void TProductsTabMenus::whereUsed(qint64 ing, const QString& name) { printing::Print_IngUsage(ing, name); }

void TProductsTabMenus::N7Click()
{
    if (cat::HasRow(tab_->Q_Ing))
        whereUsed(cat::KeyOf(tab_->Q_Ing), tab_->Q_Ing->field(QStringLiteral("NAME")).asString());
}

void TProductsTabMenus::N8Click()
{
    db::Query* q = tab_->Q_Ing_Sklad;
    if (cat::HasRow(q))
        whereUsed(q->field(QStringLiteral("KOD_ING")).asInt64(), q->field(QStringLiteral("NAME")).asString());
}
