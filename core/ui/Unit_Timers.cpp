#include "Unit_Timers.h"

#include "Unit_Main.h"
#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "db/Query.h"
#include "util/Globals.h"
#include "util/Unit_Util.h"

TForm_Timers* Form_Timers = nullptr;

void GreyOut(QWidget* grid)
{
    if (!grid)
        return;
    if (auto* g = qobject_cast<db::DbGrid*>(grid)) {
        g->greyOut();
        return;
    }
    grid->setEnabled(false);
    QPalette p = grid->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    grid->setPalette(p);
}

void Release(QWidget* grid)
{
    if (!grid)
        return;
    if (auto* g = qobject_cast<db::DbGrid*>(grid)) {
        g->release();
        return;
    }
    grid->setEnabled(true);
    grid->setPalette(QPalette());
}

namespace {

bool hasRows(const db::Query* q) { return q && q->active() && !q->isEmpty(); }

QString keyOf(const db::Query* q) { return Key(q->field(QStringLiteral("KOD")).asInt64()); }

} // namespace

TForm_Timers::TForm_Timers(QObject* parent) : QObject(parent)
{
    Timer_Otdel = makeTimer(400, &TForm_Timers::Timer_OtdelTimer);
    Timer_Sklad = makeTimer(450, &TForm_Timers::Timer_SkladTimer);
    Timer_GrIng = makeTimer(400, &TForm_Timers::Timer_GrIngTimer);
    Timer_Ing = makeTimer(400, &TForm_Timers::Timer_IngTimer);
    Timer_Context_Ing = makeTimer(400, &TForm_Timers::Timer_Context_IngTimer);
    Timer_Ing_Sklad = makeTimer(400, &TForm_Timers::Timer_Ing_SkladTimer);
    Timer_Context_IngSklad = makeTimer(400, &TForm_Timers::Timer_Context_IngSkladTimer);
    Timer_Invent = makeTimer(400, &TForm_Timers::Timer_InventTimer);
    Timer_Vibor = makeTimer(400, &TForm_Timers::Timer_ViborTimer);
    Timer_IngToDoc = makeTimer(400, &TForm_Timers::Timer_IngToDocTimer);
    Timer_Moves = makeTimer(400, &TForm_Timers::Timer_MovesTimer);
    Timer_KK = makeTimer(400, &TForm_Timers::Timer_KKTimer);
    Timer_Menu = makeTimer(400, &TForm_Timers::Timer_MenuTimer);
    Timer_Menu_Razdel = makeTimer(380, &TForm_Timers::Timer_Menu_RazdelTimer);
    Timer_Menu_Str = makeTimer(400, &TForm_Timers::Timer_Menu_StrTimer);
    Timer_Real = makeTimer(400, &TForm_Timers::Timer_RealTimer);
    Timer_PersonPolicy = makeTimer(400, &TForm_Timers::Timer_PersonPolicyTimer);
    // These two run once shortly after start.
    Timer_Menu->start();
    Timer_GrIng->start();
}

TForm_Timers::~TForm_Timers()
{
    if (Form_Timers == this)
        Form_Timers = nullptr;
}

QTimer* TForm_Timers::makeTimer(int interval, void (TForm_Timers::*handler)())
{
    auto* t = new QTimer(this);
    t->setSingleShot(true);
    t->setInterval(interval);
    connect(t, &QTimer::timeout, this, [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    return t;
}

// ---- enterprise -> department -> warehouse -> groups -> products ----

void TForm_Timers::Timer_OtdelTimer()
{
    if (!StartupDone)
        return;
    Timer_Otdel->stop();
    Timer_Sklad->stop();
    db::Query* firma = Form_Base->Q_Firma;
    Form_Base->Q_Otdel->close();
    if (hasRows(firma))
        Form_Base->OpenRead(Form_Base->Q_Otdel, QStringLiteral("Select * from OTDEL where KOD_FIRMA = ") + keyOf(firma) +
                                                    QStringLiteral(" ORDER BY NAME"));
    Release(Form_Main->Grid_Otdel);
    Release(Form_Main->Grid_Otdel1);
    Timer_SkladTimer();
}

void TForm_Timers::Timer_SkladTimer()
{
    if (!StartupDone)
        return;
    Timer_Sklad->stop();
    db::Query* otdel = Form_Base->Q_Otdel;
    Form_Base->Q_Sklad->close();
    if (hasRows(otdel))
        Form_Base->OpenRead(Form_Base->Q_Sklad, QStringLiteral("Select * from SKLAD where KOD_OTDEL = ") + keyOf(otdel) +
                                                    QStringLiteral(" ORDER BY NAME"));
    Release(Form_Main->Grid_Sklad);
    Release(Form_Main->Grid_Sklad1);
    Timer_Ing_SkladTimer();
    if (hooks.syncSelectorGrids)
        hooks.syncSelectorGrids();
}

void TForm_Timers::Timer_GrIngTimer()
{
    Timer_GrIng->stop();
    Timer_Ing->stop();
    Timer_Ing_Sklad->stop();
    db::Query* sklad = Form_Base->Q_Sklad;
    Form_Base->Q_GrIng->close();
    if (hasRows(sklad))
        Form_Base->OpenRead(Form_Base->Q_GrIng,
                            QStringList{QStringLiteral("SELECT GROUP_ING.*, SKLAD_GRING.* FROM SKLAD_GRING"),
                                        QStringLiteral("INNER JOIN GROUP_ING ON GROUP_ING.KOD = SKLAD_GRING.KOD_GRING"),
                                        QStringLiteral("WHERE KOD_SKLAD = ") + keyOf(sklad),
                                        QStringLiteral("ORDER BY NAME")}
                                .join(QLatin1Char('\n')));
    if (Form_Main->ActiveInnerPage() == Form_Main->Sheet_Sklad_Ing)
        Timer_Ing_SkladTimer();
    else if (Form_Main->ActiveInnerPage() == Form_Main->Sheet_All_Ing)
        Timer_IngTimer();
}

void TForm_Timers::Timer_IngTimer()
{
    if (!StartupDone)
        return;
    Timer_Ing->stop();
    if (Form_Base->hooks.rerunProductList)
        Form_Base->hooks.rerunProductList();
    if (!menuPickerShown() && hooks.syncSelectorGrids)
        hooks.syncSelectorGrids();
}

void TForm_Timers::Timer_Ing_SkladTimer()
{
    if (!StartupDone)
        return;
    Timer_Ing_Sklad->stop();
    if (hooks.rerunStockList)
        hooks.rerunStockList();
    if (hooks.syncSelectorGrids)
        hooks.syncSelectorGrids();
}

void TForm_Timers::Timer_Context_IngTimer()
{
    if (!StartupDone)
        return;
    Timer_Context_Ing->stop();
    Timer_Ing->stop();
    if (Form_Base->hooks.rerunProductList)
        Form_Base->hooks.rerunProductList();
}

void TForm_Timers::Timer_Context_IngSkladTimer()
{
    if (!StartupDone)
        return;
    Timer_Context_IngSklad->stop();
    Timer_Ing_Sklad->stop();
    if (hooks.rerunStockList)
        hooks.rerunStockList();
}

// ---- movement documents ----

void TForm_Timers::Timer_MovesTimer()
{
    Timer_Moves->stop();
    db::Query* dvig = Form_Base->Q_Dvig;
    if (!hasRows(dvig))
        return;
    Form_Base->OpenRead(Form_Base->Q_Moves,
                        QStringList{QStringLiteral("SELECT MOVES.*, ING.NAME, ED_IZM.SHORT_NAME AS ED_IZM FROM MOVES"),
                                    QStringLiteral("LEFT OUTER JOIN ING ON MOVES.KOD_ING = ING.KOD"),
                                    QStringLiteral("LEFT OUTER JOIN ED_IZM ON ING.ED_IZM = ED_IZM.KOD"),
                                    QStringLiteral("WHERE MOVES.KOD_DOC = ") + keyOf(dvig),
                                    QStringLiteral("ORDER BY KOD")}
                            .join(QLatin1Char('\n')));
    Release(Form_Main->Grid_DvigIng);
}

// ---- inventory ----

void TForm_Timers::Timer_InventTimer()
{
    Timer_Invent->stop();
    Release(hooks.inventGrid);
    if (hooks.loadInvLines)
        hooks.loadInvLines();
}

// ---- menus ----

void TForm_Timers::Timer_MenuTimer()
{
    Timer_Menu->stop();
    if (hooks.openFirmaMenus)
        hooks.openFirmaMenus();
}

void TForm_Timers::Timer_Menu_RazdelTimer()
{
    Timer_Menu_Razdel->stop();
    Timer_Menu_Str->stop();
    if (!hasRows(Form_Base->Q_Menu))
        return;
    Release(Form_Main->Grid_R_Menu);
    Release(Form_Main->Grid_S_Menu);
    // The section list's builder ends by reloading the dishes.
    if (hooks.openMenuRazdel)
        hooks.openMenuRazdel();
}

void TForm_Timers::Timer_Menu_StrTimer()
{
    Timer_Menu_Str->stop();
    if (!hasRows(Form_Base->Q_Menu_Razdel))
        return;
    if (menuPickerShown() && hooks.openSkladMenu)
        hooks.openSkladMenu();
    Release(Form_Main->Grid_S_Menu);
    if (hooks.openMenuStr)
        hooks.openMenuStr();
}

// ---- production and sales ----

void TForm_Timers::Timer_RealTimer()
{
    Timer_Real->stop();
    Release(Form_Main->Grid_RealBludo);
    if (hooks.openRealBludo)
        hooks.openRealBludo();
}

// ---- other windows ----

void TForm_Timers::Timer_ViborTimer()
{
    Timer_Vibor->stop();
    if (hooks.selectFirmaContextClick)
        hooks.selectFirmaContextClick();
}

void TForm_Timers::Timer_IngToDocTimer()
{
    Timer_IngToDoc->stop();
    if (hooks.ingToDocContextClick)
        hooks.ingToDocContextClick();
}

void TForm_Timers::Timer_KKTimer()
{
    Timer_KK->stop();
    if (!hooks.kartaEditing || !hooks.kartaEditing())
        return;
    if (hooks.kartaQI)
        hooks.kartaQI->close();
    if (hasRows(hooks.kartaQG) && hooks.kartaContextClick)
        hooks.kartaContextClick();
}

void TForm_Timers::Timer_PersonPolicyTimer()
{
    Timer_PersonPolicy->stop();
    db::Query* person = Form_Base->QPerson;
    if (!hooks.personalRightsQuery)
        return;
    hooks.personalRightsQuery->close();
    if (hasRows(person))
        Form_Base->OpenRead(hooks.personalRightsQuery, QStringLiteral("SELECT * FROM PERSON_POLICY WHERE KOD_PERSON = ") +
                                                           keyOf(person) + QStringLiteral(" ORDER BY PARAM1"));
    Release(hooks.personalRightsGrid);
}
