// The products tab's lists: a move in the warehouse or group list greys the
// product and stock grids and restarts their one-shot timers; the timers
// reload the groups, the product list and the stock list. When the structure
// box reopens the warehouses itself, that chain runs at once. A commit that
// changes what a list reads reloads it at once, on the row it stood on.

#include "Unit_ProductsTab.h"

#include "CatalogueUi.h"
#include "Unit_StructureBox.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "ui/Unit_Main.h"
#include "grid/Greying.h"
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

void TProductsTab::makeLists()
{
    const auto hold = [this](QStringList tables) {
        auto* list = new db::ListHolder(Form_Base->MyDB, Form_Base->TransactionRead, this);
        list->setTables(tables);
        return list;
    };
    List_GrIng = hold({QStringLiteral("SKLAD_GRING"), QStringLiteral("GROUP_ING")});
    List_Ing = hold({QStringLiteral("ING"), QStringLiteral("ED_IZM"), QStringLiteral("GROUP_ING"), QStringLiteral("ING_SKLAD")});
    List_Ing_Sklad = hold({QStringLiteral("ING_SKLAD"), QStringLiteral("ING"), QStringLiteral("ED_IZM")});
    Q_GrIng = List_GrIng->query();
    Q_Ing = List_Ing->query();
    // A stock row written by its key is read again in place.
    List_Ing_Sklad->setKeyTable(QStringLiteral("ING_SKLAD"));
    Q_Ing_Sklad = List_Ing_Sklad->query();
    // Before a warehouse is chosen the groups are those of every warehouse.
    Q_GrIng->setSql(QStringList{QStringLiteral("SELECT GROUP_ING.*, SKLAD_GRING.* FROM SKLAD_GRING"),
                                QStringLiteral("INNER JOIN GROUP_ING ON GROUP_ING.KOD = SKLAD_GRING.KOD_GRING"),
                                QStringLiteral("ORDER BY NAME")});
    Q_Ing->addCalcField(QStringLiteral("K_Brutto"), db::FieldKind::Float);
    Q_Ing->onCalcFields = &TProductsTab::Q_IngCalcFields;
    Q_Ing_Sklad->addCalcField(QStringLiteral("PPPP"), db::FieldKind::Float);
    Q_Ing_Sklad->onCalcFields = &TProductsTab::Q_Ing_SkladCalcFields;

    const auto timer = [this] {
        auto* t = new QTimer(this);
        t->setSingleShot(true);
        t->setInterval(400);
        return t;
    };
    Timer_GrIng = timer();
    Timer_Ing = timer();
    Timer_Ing_Sklad = timer();
    Timer_Context_Ing = timer();
    Timer_Context_IngSklad = timer();
}

void TProductsTab::ConnectLists()
{
    TForm_Base* b = Form_Base;
    connect(StructureBox->Q_Sklad, &db::Query::afterScroll, this, &TProductsTab::Q_SkladAfterScroll);
    connect(Q_GrIng, &db::Query::beforeScroll, this, &TProductsTab::Q_GrIngBeforeScroll);
    connect(Q_GrIng, &db::Query::afterScroll, this, &TProductsTab::Q_GrIngAfterScroll);
    // Start-up and reconnect: the groups open as they stand, the product list follows.
    connect(b, &TForm_Base::startListsReopened, this, [this] {
        if (!Q_GrIng->active())
            Q_GrIng->open();
        CB_Context_IngClick();
    });
    const struct {
        QTimer* timer;
        void (TProductsTab::*body)();
    } timers[] = {{Timer_GrIng, &TProductsTab::Timer_GrIngTimer},
                  {Timer_Ing, &TProductsTab::Timer_IngTimer},
                  {Timer_Ing_Sklad, &TProductsTab::Timer_Ing_SkladTimer},
                  {Timer_Context_Ing, &TProductsTab::Timer_Context_IngTimer},
                  {Timer_Context_IngSklad, &TProductsTab::Timer_Context_IngSkladTimer}};
    for (const auto& x : timers) {
        auto body = x.body;
        connect(x.timer, &QTimer::timeout, this, [this, body] { Guard([this, body] { (this->*body)(); }); });
    }
    // The groups load once shortly after start.
    Timer_GrIng->start();
}

ListStandsOn::ListStandsOn(db::ListHolder* list, qint64 key) : list_(list)
{
    if (list_)
        list_->standOn(QVariant::fromValue<qint64>(key));
}

ListStandsOn::~ListStandsOn()
{
    if (list_)
        list_->standOn(QVariant());
}

void TProductsTab::StopStockReload() { Timer_Ing_Sklad->stop(); }

void TProductsTab::GreyStockList() { GreyOut(Grid_Ing_Sklad); }

qint64 TProductsTab::CurrentGroup() const { return cat::KeyOf(Q_GrIng); }

QString TProductsTab::CurrentGroupName() const
{
    return cat::HasRow(Q_GrIng) ? Q_GrIng->field(QStringLiteral("NAME")).asString() : QString();
}

qint64 TProductsTab::CurrentIng() const { return cat::KeyOf(Q_Ing); }

qint64 TProductsTab::CurrentStockIng() const
{
    return cat::HasRow(Q_Ing_Sklad) ? Q_Ing_Sklad->field(QStringLiteral("KOD_ING")).asInt64() : 0;
}

// ---- scroll handlers ----

void TProductsTab::Q_SkladAfterScroll()
{
    if (!StartupDone)
        return;
    if (inside(StructureBox->Q_Sklad)) {
        Timer_GrIng->stop();
        Timer_Ing_Sklad->stop();
        Timer_Ing->stop();
        GreyOut(Grid_Ing_Sklad);
        GreyOut(Grid_Ing);
        GreyOut(Grid_GrIng);
    }
    Timer_GrIng->start();
}

void TProductsTab::Q_GrIngBeforeScroll()
{
    if (!StartupDone)
        return;
    if (!productsListsShown() || !inside(Q_GrIng))
        return;
    GreyOut(Grid_Ing);
    Timer_Ing_Sklad->stop();
    GreyOut(Grid_Ing_Sklad);
}

void TProductsTab::Q_GrIngAfterScroll()
{
    ++groupMoves_;
    if (!StartupDone)
        return;
    // Any sub-tab of the products tab: the movement sub-tab's selector grids follow the groups too.
    if (!productsTabShown())
        return;
    Timer_Ing->start();
    Timer_Ing_Sklad->start();
}

// ---- timers ----

void TProductsTab::Timer_GrIngTimer()
{
    Timer_GrIng->stop();
    Timer_Ing->stop();
    Timer_Ing_Sklad->stop();
    db::Query* sklad = StructureBox->Q_Sklad;
    const qint64 stood = cat::KeyOf(Q_GrIng);
    Q_GrIng->close();
    if (cat::HasRow(sklad)) {
        Form_Base->OpenRead(Q_GrIng,
                            QStringList{QStringLiteral("SELECT GROUP_ING.*, SKLAD_GRING.* FROM SKLAD_GRING"),
                                        QStringLiteral("INNER JOIN GROUP_ING ON GROUP_ING.KOD = SKLAD_GRING.KOD_GRING"),
                                        QStringLiteral("WHERE KOD_SKLAD = ") + Key(cat::KeyOf(sklad)),
                                        QStringLiteral("ORDER BY NAME")}
                                .join(QLatin1Char('\n')));
        cat::StandAgain(Q_GrIng, stood);
    }
    if (Form_Main->ActiveInnerPage() == Form_Main->Sheet_Sklad_Ing)
        Timer_Ing_SkladTimer();
    else if (Form_Main->ActiveInnerPage() == Form_Main->Sheet_All_Ing)
        Timer_IngTimer();
}

void TProductsTab::Sklad_Reopened()
{
    // Opening the warehouses started the groups' timer; its run, and the list
    // timers the groups start in turn, are done now rather than after their
    // pauses, in the order they would come. The stock list is built before
    // the groups only when nothing builds it after them.
    const bool groupsDue = StructureBox->Q_Sklad->active() && Timer_GrIng->isActive();
    const bool stockFollows = Form_Main->ActiveInnerPage() == Form_Main->Sheet_Sklad_Ing ||
                              (productsTabShown() && cat::HasRow(StructureBox->Q_Sklad));
    if (!groupsDue || !stockFollows) {
        Timer_Ing_SkladTimer();
        Sync_SelectorGrids();
    }
    if (!groupsDue)
        return;
    Timer_GrIngTimer();
    if (Timer_Ing->isActive())
        Timer_IngTimer();
    if (Timer_Ing_Sklad->isActive())
        Timer_Ing_SkladTimer();
}

void TProductsTab::Timer_IngTimer()
{
    if (!StartupDone)
        return;
    Timer_Ing->stop();
    CB_Context_IngClick();
    Sync_SelectorGrids();
}

void TProductsTab::Timer_Ing_SkladTimer()
{
    if (!StartupDone)
        return;
    Timer_Ing_Sklad->stop();
    CB_Context_IngSkladClick();
    Sync_SelectorGrids();
}

void TProductsTab::Timer_Context_IngTimer()
{
    if (!StartupDone)
        return;
    Timer_Context_Ing->stop();
    Timer_Ing->stop();
    CB_Context_IngClick();
}

void TProductsTab::Timer_Context_IngSkladTimer()
{
    if (!StartupDone)
        return;
    Timer_Context_IngSklad->stop();
    Timer_Ing_Sklad->stop();
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
