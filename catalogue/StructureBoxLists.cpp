// The structure box's lists: a move in the enterprise or department list greys
// the detail grids (here and on the products tab) and restarts the detail's
// one-shot timer, so holding a cursor key costs no query; the timer reloads
// the departments, then the warehouses.

#include "Unit_StructureBox.h"

#include "CatalogueUi.h"
#include "Unit_ProductsTab.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "grid/DatasetModel.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Timers.h"
#include "util/Globals.h"
#include "util/Unit_Util.h"

#include <QPushButton>
#include <QTimer>

namespace {

qint64 intOf(const db::Query* q, const char* name)
{
    const QString f = QString::fromLatin1(name);
    if (!q->active() || q->isEmpty() || q->recNo() < 0 || !q->hasField(f))
        return 0;
    const db::Field v = q->field(f);
    return v.isNull() ? 0 : v.asInt64();
}

void setEnabled(QWidget* w, bool on)
{
    if (w)
        w->setEnabled(on);
}

} // namespace

void TStructureBox::ConnectLists()
{
    connect(Form_Base->Q_Firma, &db::Query::afterScroll, this, &TStructureBox::Q_FirmaAfterScroll);
    connect(Form_Base->Q_Otdel, &db::Query::afterScroll, this, &TStructureBox::Q_OtdelAfterScroll);
    connect(Form_Timers->Timer_Otdel, &QTimer::timeout, this, [this] { Guard([this] { Timer_OtdelTimer(); }); });
    connect(Form_Timers->Timer_Sklad, &QTimer::timeout, this, [this] { Guard([this] { Timer_SkladTimer(); }); });
}

void TStructureBox::Q_FirmaAfterScroll()
{
    if (!StartupDone)
        return;
    TForm_Timers* t = Form_Timers;
    t->Timer_Otdel->stop();
    t->Timer_Sklad->stop();
    TProductsTab* tab = ProductsTab;
    if (tab)
        tab->StopStockReload();
    for (QWidget* g : {static_cast<QWidget*>(Grid_Otdel), static_cast<QWidget*>(Grid_Sklad),
                       tab ? static_cast<QWidget*>(tab->Grid_Otdel1) : nullptr,
                       tab ? static_cast<QWidget*>(tab->Grid_Sklad1) : nullptr})
        GreyOut(g);
    // A partner has no departments of its own here: its lists are not reloaded.
    const bool own = intOf(Form_Base->Q_Firma, "LOCAL_FIRMA") != 0;
    if (!own) {
        if (tab)
            tab->GreyStockList();
    } else {
        t->Timer_Otdel->start();
    }
    for (QWidget* b : {Btn_Add_Otdel, Btn_Upd_Otdel, Btn_Del_Otdel, Btn_Add_Sklad, Btn_Upd_Sklad, Btn_Del_Sklad})
        setEnabled(b, own);
}

void TStructureBox::Q_OtdelAfterScroll()
{
    if (!StartupDone)
        return;
    Form_Timers->Timer_Sklad->stop();
    if (ProductsTab)
        ProductsTab->StopStockReload();
    GreyOut(Grid_Sklad);
    if (ProductsTab)
        GreyOut(ProductsTab->Grid_Sklad1);
    QWidget* page = Form_Main->ActivePage();
    if (page == Form_Main->Sheet_Ing || page == Form_Main->Sheet_Setup)
        Form_Timers->Timer_Sklad->start();
}

void TStructureBox::Timer_OtdelTimer()
{
    if (!StartupDone)
        return;
    Form_Timers->Timer_Otdel->stop();
    Form_Timers->Timer_Sklad->stop();
    db::Query* firma = Form_Base->Q_Firma;
    Form_Base->Q_Otdel->close();
    if (cat::HasRow(firma))
        Form_Base->OpenRead(Form_Base->Q_Otdel, QStringLiteral("Select * from OTDEL where KOD_FIRMA = ") +
                                                    Key(cat::KeyOf(firma)) + QStringLiteral(" ORDER BY NAME"));
    Release(Grid_Otdel);
    if (ProductsTab)
        Release(ProductsTab->Grid_Otdel1);
    Timer_SkladTimer();
}

void TStructureBox::Timer_SkladTimer()
{
    if (!StartupDone)
        return;
    Form_Timers->Timer_Sklad->stop();
    db::Query* otdel = Form_Base->Q_Otdel;
    Form_Base->Q_Sklad->close();
    if (cat::HasRow(otdel))
        Form_Base->OpenRead(Form_Base->Q_Sklad, QStringLiteral("Select * from SKLAD where KOD_OTDEL = ") +
                                                    Key(cat::KeyOf(otdel)) + QStringLiteral(" ORDER BY NAME"));
    Release(Grid_Sklad);
    if (ProductsTab) {
        Release(ProductsTab->Grid_Sklad1);
        ProductsTab->Sklad_Reopened();
    }
}
