// The structure box's lists: a move in the enterprise or department list greys
// the detail grids (here and on the products tab) and restarts the detail's
// one-shot timer, so holding a cursor key costs no query; the timer reloads
// the departments, then the warehouses. A detail list reads its master's key
// as a parameter, so a reload that a commit brings follows the master too.

#include "Unit_StructureBox.h"

#include "CatalogueUi.h"
#include "Unit_ProductsTab.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "grid/DatasetModel.h"
#include "ui/Unit_Main.h"
#include "grid/Greying.h"
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

const QString kOtdelSql = QStringLiteral("Select * from OTDEL where KOD_FIRMA = :KOD_FIRMA ORDER BY NAME");
const QString kSkladSql = QStringLiteral("Select * from SKLAD where KOD_OTDEL = :KOD_OTDEL ORDER BY NAME");

// Points a detail list at its master's row: its text (which closes the list
// when it had another) and the master's key.
void follow(db::Query* detail, const QString& sql, const QString& param, qint64 key)
{
    if (detail->sql() != sql)
        detail->setSql(sql);
    detail->param(param).setInt64(key);
}

// The key a detail's reload stands on after its master moved: no row has it,
// so the reload opens on the first row, as a fresh load does.
const QVariant kFirstRow = QVariant::fromValue<qint64>(0);

} // namespace

void TStructureBox::ConnectLists()
{
    auto hold = [this](const char* table, int debounceMs) {
        auto* list = new db::ListHolder(Form_Base->MyDB, Form_Base->TransactionRead, this, debounceMs);
        list->setTables({QString::fromLatin1(table)});
        return list;
    };
    List_Firma = hold("FIRMA", 400);
    List_Otdel = hold("OTDEL", 400);
    List_Sklad = hold("SKLAD", 450);
    List_Ed = hold("ED_IZM", 400);
    Q_Firma = List_Firma->query();
    Q_Otdel = List_Otdel->query();
    Q_Sklad = List_Sklad->query();
    Q_Ed = List_Ed->query();
    Q_Otdel->setSql(kOtdelSql);
    Q_Sklad->setSql(kSkladSql);
    Q_Ed->setSql(QStringLiteral("SELECT * FROM ED_IZM ORDER BY NAME"));

    connect(Q_Firma, &db::Query::afterScroll, this, &TStructureBox::Q_FirmaAfterScroll);
    connect(Q_Otdel, &db::Query::afterScroll, this, &TStructureBox::Q_OtdelAfterScroll);
    // A detail's reload after a move of its master comes from its timer, or
    // sooner from a commit that reloaded the list while the timer waited.
    for (db::ListHolder* list : {List_Otdel, List_Sklad}) {
        auto done = list == List_Otdel ? &TStructureBox::Otdel_Reloaded : &TStructureBox::Sklad_Reloaded;
        auto run = [this, done] { Guard([this, done] { (this->*done)(); }); };
        connect(list->timer(), &QTimer::timeout, this, run);
        connect(list, &db::ListHolder::reopened, this, run);
    }
}

void TStructureBox::Q_FirmaAfterScroll()
{
    if (!StartupDone)
        return;
    List_Otdel->timer()->stop();
    List_Sklad->timer()->stop();
    List_Otdel->standOn(QVariant());
    List_Sklad->standOn(QVariant());
    otdelDue_ = skladDue_ = false;
    TProductsTab* tab = ProductsTab;
    if (tab)
        tab->StopStockReload();
    for (QWidget* g : {static_cast<QWidget*>(Grid_Otdel), static_cast<QWidget*>(Grid_Sklad),
                       tab ? static_cast<QWidget*>(tab->Grid_Otdel1) : nullptr,
                       tab ? static_cast<QWidget*>(tab->Grid_Sklad1) : nullptr})
        GreyOut(g);
    // A partner has no departments of its own here: its lists are not reloaded.
    const bool own = intOf(Q_Firma, "LOCAL_FIRMA") != 0;
    if (!own) {
        if (tab)
            tab->GreyStockList();
    } else {
        if (Q_Otdel->hasParam(QStringLiteral("KOD_FIRMA")))
            Q_Otdel->param(QStringLiteral("KOD_FIRMA")).setInt64(cat::KeyOf(Q_Firma));
        List_Otdel->standOn(kFirstRow);
        otdelDue_ = true;
        List_Otdel->timer()->start();
    }
    for (QWidget* b : {Btn_Add_Otdel, Btn_Upd_Otdel, Btn_Del_Otdel, Btn_Add_Sklad, Btn_Upd_Sklad, Btn_Del_Sklad})
        setEnabled(b, own);
}

void TStructureBox::Q_OtdelAfterScroll()
{
    if (!StartupDone)
        return;
    List_Sklad->timer()->stop();
    List_Sklad->standOn(QVariant());
    skladDue_ = false;
    if (ProductsTab)
        ProductsTab->StopStockReload();
    GreyOut(Grid_Sklad);
    if (ProductsTab)
        GreyOut(ProductsTab->Grid_Sklad1);
    QWidget* page = Form_Main->ActivePage();
    if (page == Form_Main->Sheet_Ing || page == Form_Main->Sheet_Setup) {
        if (Q_Sklad->hasParam(QStringLiteral("KOD_OTDEL")))
            Q_Sklad->param(QStringLiteral("KOD_OTDEL")).setInt64(cat::KeyOf(Q_Otdel));
        List_Sklad->standOn(kFirstRow);
        skladDue_ = true;
        List_Sklad->timer()->start();
    }
}

void TStructureBox::OpenFirma(const QString& sql)
{
    const qint64 stood = cat::KeyOf(Q_Firma);
    Form_Base->OpenRead(Q_Firma, sql);
    cat::StandAgain(Q_Firma, stood);
}

void TStructureBox::Timer_OtdelTimer()
{
    if (!StartupDone)
        return;
    List_Otdel->timer()->stop();
    List_Sklad->timer()->stop();
    List_Otdel->standOn(QVariant());
    otdelDue_ = false;
    const qint64 stood = cat::KeyOf(Q_Otdel);
    Q_Otdel->close();
    if (cat::HasRow(Q_Firma)) {
        follow(Q_Otdel, kOtdelSql, QStringLiteral("KOD_FIRMA"), cat::KeyOf(Q_Firma));
        Q_Otdel->open();
        cat::StandAgain(Q_Otdel, stood);
    }
    Release(Grid_Otdel);
    if (ProductsTab)
        Release(ProductsTab->Grid_Otdel1);
    Timer_SkladTimer();
}

void TStructureBox::Otdel_Reloaded()
{
    if (!otdelDue_)
        return;
    // A list that was closed, or an enterprise list emptied meanwhile, is
    // loaded afresh; otherwise the holder has reloaded the departments.
    if (!Q_Otdel->active() || !cat::HasRow(Q_Firma)) {
        Timer_OtdelTimer();
        return;
    }
    otdelDue_ = false;
    Release(Grid_Otdel);
    if (ProductsTab)
        Release(ProductsTab->Grid_Otdel1);
    Timer_SkladTimer();
}

void TStructureBox::Timer_SkladTimer()
{
    if (!StartupDone)
        return;
    List_Sklad->timer()->stop();
    List_Sklad->standOn(QVariant());
    skladDue_ = false;
    const qint64 stood = cat::KeyOf(Q_Sklad);
    Q_Sklad->close();
    if (cat::HasRow(Q_Otdel)) {
        follow(Q_Sklad, kSkladSql, QStringLiteral("KOD_OTDEL"), cat::KeyOf(Q_Otdel));
        Q_Sklad->open();
        cat::StandAgain(Q_Sklad, stood);
    }
    Sklad_Loaded();
}

void TStructureBox::Sklad_Reloaded()
{
    if (!skladDue_)
        return;
    if (!Q_Sklad->active() || !cat::HasRow(Q_Otdel)) {
        Timer_SkladTimer();
        return;
    }
    skladDue_ = false;
    Sklad_Loaded();
}

void TStructureBox::Sklad_Loaded()
{
    Release(Grid_Sklad);
    if (ProductsTab) {
        Release(ProductsTab->Grid_Sklad1);
        ProductsTab->Sklad_Reopened();
    }
}
