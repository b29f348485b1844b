// The products tab's lists: a move in the warehouse or group list greys the
// product and stock grids and restarts their one-shot timers; the timers
// reload the groups, the product list and the stock list. When the structure
// box reopens the warehouses itself, that chain runs at once.

#include "Unit_ProductsTab.h"

#include "CatalogueUi.h"
#include "Unit_StructureBox.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "grid/DatasetModel.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Timers.h"
#include "util/Globals.h"
#include "util/Unit_Util.h"

#include <QTimer>

namespace {

// Neither before the first row nor after the last: not during opening or closing.
bool inside(const db::Query* q) { return !q->bof() && !q->eof(); }

bool productsTabShown() { return Form_Main->ActivePage() == Form_Main->Sheet_Ing; }

bool productsListsShown()
{
    return productsTabShown() && (Form_Main->ActiveInnerPage() == Form_Main->Sheet_All_Ing ||
                                  Form_Main->ActiveInnerPage() == Form_Main->Sheet_Sklad_Ing);
}

} // namespace

void TProductsTab::ConnectLists()
{
    TForm_Base* b = Form_Base;
    TForm_Timers* t = Form_Timers;
    connect(StructureBox->Q_Sklad, &db::Query::afterScroll, this, &TProductsTab::Q_SkladAfterScroll);
    connect(b->Q_GrIng, &db::Query::beforeScroll, this, &TProductsTab::Q_GrIngBeforeScroll);
    connect(b->Q_GrIng, &db::Query::afterScroll, this, &TProductsTab::Q_GrIngAfterScroll);
    connect(b, &TForm_Base::startListsReopened, this, [this] { CB_Context_IngClick(); });
    const struct {
        QTimer* timer;
        void (TProductsTab::*body)();
    } timers[] = {{t->Timer_GrIng, &TProductsTab::Timer_GrIngTimer},
                  {t->Timer_Ing, &TProductsTab::Timer_IngTimer},
                  {t->Timer_Ing_Sklad, &TProductsTab::Timer_Ing_SkladTimer},
                  {t->Timer_Context_Ing, &TProductsTab::Timer_Context_IngTimer},
                  {t->Timer_Context_IngSklad, &TProductsTab::Timer_Context_IngSkladTimer}};
    for (const auto& x : timers) {
        auto body = x.body;
        connect(x.timer, &QTimer::timeout, this, [this, body] { Guard([this, body] { (this->*body)(); }); });
    }
    b->Q_Ing->addCalcField(QStringLiteral("K_Brutto"), db::FieldKind::Float);
    b->Q_Ing->onCalcFields = &TProductsTab::Q_IngCalcFields;
    b->Q_Ing_Sklad->addCalcField(QStringLiteral("PPPP"), db::FieldKind::Float);
    b->Q_Ing_Sklad->onCalcFields = &TProductsTab::Q_Ing_SkladCalcFields;
}

// ---- scroll handlers ----

void TProductsTab::Q_SkladAfterScroll()
{
    if (!StartupDone)
        return;
    TForm_Timers* t = Form_Timers;
    if (inside(StructureBox->Q_Sklad)) {
        t->Timer_GrIng->stop();
        t->Timer_Ing_Sklad->stop();
        t->Timer_Ing->stop();
        GreyOut(Grid_Ing_Sklad);
        GreyOut(Grid_Ing);
        GreyOut(Grid_GrIng);
    }
    t->Timer_GrIng->start();
}

void TProductsTab::Q_GrIngBeforeScroll()
{
    if (!StartupDone)
        return;
    TForm_Timers* t = Form_Timers;
    if (!productsListsShown() || !inside(Form_Base->Q_GrIng))
        return;
    GreyOut(Grid_Ing);
    t->Timer_Ing_Sklad->stop();
    GreyOut(Grid_Ing_Sklad);
}

void TProductsTab::Q_GrIngAfterScroll()
{
    ++groupMoves_;
    if (!StartupDone)
        return;
    TForm_Timers* t = Form_Timers;
    // Any sub-tab of the products tab: the movement sub-tab's selector grids follow the groups too.
    if (!productsTabShown())
        return;
    t->Timer_Ing->start();
    t->Timer_Ing_Sklad->start();
}

// ---- timers ----

void TProductsTab::Timer_GrIngTimer()
{
    TForm_Timers* t = Form_Timers;
    t->Timer_GrIng->stop();
    t->Timer_Ing->stop();
    t->Timer_Ing_Sklad->stop();
    db::Query* sklad = StructureBox->Q_Sklad;
    Form_Base->Q_GrIng->close();
    if (cat::HasRow(sklad))
        Form_Base->OpenRead(Form_Base->Q_GrIng,
                            QStringList{QStringLiteral("SELECT GROUP_ING.*, SKLAD_GRING.* FROM SKLAD_GRING"),
                                        QStringLiteral("INNER JOIN GROUP_ING ON GROUP_ING.KOD = SKLAD_GRING.KOD_GRING"),
                                        QStringLiteral("WHERE KOD_SKLAD = ") + Key(cat::KeyOf(sklad)),
                                        QStringLiteral("ORDER BY NAME")}
                                .join(QLatin1Char('\n')));
    if (Form_Main->ActiveInnerPage() == Form_Main->Sheet_Sklad_Ing)
        Timer_Ing_SkladTimer();
    else if (Form_Main->ActiveInnerPage() == Form_Main->Sheet_All_Ing)
        Timer_IngTimer();
}

void TProductsTab::Sklad_Reopened()
{
    TForm_Timers* t = Form_Timers;
    // Opening the warehouses started the groups' timer; its run, and the list
    // timers the groups start in turn, are done now rather than after their
    // pauses, in the order they would come. The stock list is built before
    // the groups only when nothing builds it after them.
    const bool groupsDue = StructureBox->Q_Sklad->active() && t->Timer_GrIng->isActive();
    const bool stockFollows = Form_Main->ActiveInnerPage() == Form_Main->Sheet_Sklad_Ing ||
                              (productsTabShown() && cat::HasRow(StructureBox->Q_Sklad));
    if (!groupsDue || !stockFollows) {
        Timer_Ing_SkladTimer();
        Sync_SelectorGrids();
    }
    if (!groupsDue)
        return;
    Timer_GrIngTimer();
    if (t->Timer_Ing->isActive())
        Timer_IngTimer();
    if (t->Timer_Ing_Sklad->isActive())
        Timer_Ing_SkladTimer();
}

void TProductsTab::Timer_IngTimer()
{
    if (!StartupDone)
        return;
    Form_Timers->Timer_Ing->stop();
    CB_Context_IngClick();
    Sync_SelectorGrids();
}

void TProductsTab::Timer_Ing_SkladTimer()
{
    if (!StartupDone)
        return;
    Form_Timers->Timer_Ing_Sklad->stop();
    CB_Context_IngSkladClick();
    Sync_SelectorGrids();
}

void TProductsTab::Timer_Context_IngTimer()
{
    if (!StartupDone)
        return;
    Form_Timers->Timer_Context_Ing->stop();
    Form_Timers->Timer_Ing->stop();
    CB_Context_IngClick();
}

void TProductsTab::Timer_Context_IngSkladTimer()
{
    if (!StartupDone)
        return;
    Form_Timers->Timer_Context_IngSklad->stop();
    Form_Timers->Timer_Ing_Sklad->stop();
    CB_Context_IngSkladClick();
}

// ---- calculated fields ----

void TProductsTab::Q_IngCalcFields(db::Query& q)
{
    if (!q.hasField(QStringLiteral("VIHOD")))
        return;
    const db::Field vihod = q.field(QStringLiteral("VIHOD"));
    // A yield of 0 (or none) has no gross coefficient: the cell stays empty.
    if (vihod.isNull() || vihod.asDouble() == 0) {
        q.setCalc(QStringLiteral("K_Brutto"), QVariant());
        return;
    }
    const long double v = vihod.asDouble();
    q.setCalc(QStringLiteral("K_Brutto"), static_cast<double>(100.0L * 100.0L / (v * 100.0L)));
}

void TProductsTab::Q_Ing_SkladCalcFields(db::Query& q)
{
    if (!q.hasField(QStringLiteral("CENA")) || !q.hasField(QStringLiteral("MY_CENA")))
        return;
    const double cena = q.field(QStringLiteral("CENA")).asDouble();
    const double myCena = q.field(QStringLiteral("MY_CENA")).asDouble();
    q.setCalc(QStringLiteral("PPPP"), cena > 0 ? myCena * 100 / cena - 100 : 0.0);
}
