#include "MenuLists.h"

#include "CatalogueUi.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "grid/DatasetModel.h"
#include "ui/Unit_Gauge.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Timers.h"
#include "util/Globals.h"
#include "util/Unit_Util.h"

#include <QTimer>
#include <QWidget>

TMenuLists* MenuLists = nullptr;

namespace {

bool inside(const db::Query* q) { return !q->bof() && !q->eof(); }

bool menusTabShown() { return Form_Main->ActivePage() == Form_Main->Sheet_Menu; }

void run(const std::function<void()>& f)
{
    if (f)
        f();
}

} // namespace

TMenuLists::TMenuLists(QObject* parent) : QObject(parent)
{
    TForm_Base* b = Form_Base;
    connect(b->Q_Firma_Menu, &db::Query::afterScroll, this, &TMenuLists::Q_Firma_MenuAfterScroll);
    connect(b->Q_Menu, &db::Query::beforeScroll, this, &TMenuLists::Q_MenuBeforeScroll);
    connect(b->Q_Menu, &db::Query::afterScroll, this, &TMenuLists::Q_MenuAfterScroll);
    connect(b->Q_Menu_Razdel, &db::Query::afterScroll, this, &TMenuLists::Q_Menu_RazdelAfterScroll);
    const struct {
        QTimer* timer;
        void (TMenuLists::*body)();
    } timers[] = {{Form_Timers->Timer_Menu, &TMenuLists::Timer_MenuTimer},
                  {Form_Timers->Timer_Menu_Razdel, &TMenuLists::Timer_Menu_RazdelTimer},
                  {Form_Timers->Timer_Menu_Str, &TMenuLists::Timer_Menu_StrTimer}};
    for (const auto& x : timers) {
        auto body = x.body;
        connect(x.timer, &QTimer::timeout, this, [this, body] { Guard([this, body] { (this->*body)(); }); });
    }
}

bool TMenuLists::menuPickerShown() const { return menuPicker && menuPicker->isVisible(); }

void TMenuLists::Q_GrIngBeforeScroll(bool pickerShown)
{
    if (menuPickerTimer_Ing)
        menuPickerTimer_Ing->stop();
    if (pickerShown)
        GreyOut(menuPickerGrid_Ing_S);
}

void TMenuLists::Q_Firma_MenuAfterScroll()
{
    Form_Timers->Timer_Menu->stop();
    if (inside(Form_Base->Q_Firma_Menu)) {
        GreyOut(Grid_Menu);
        GreyOut(Grid_R_Menu);
        GreyOut(Grid_S_Menu);
    }
    Form_Timers->Timer_Menu->start();
}

void TMenuLists::Q_MenuBeforeScroll()
{
    if (!StartupDone || !inside(Form_Base->Q_Menu))
        return;
    Form_Timers->Timer_Menu_Razdel->stop();
    Form_Timers->Timer_Menu_Str->stop();
    GreyOut(Grid_R_Menu);
    GreyOut(Grid_S_Menu);
}

void TMenuLists::Q_MenuAfterScroll()
{
    if (!StartupDone || !menusTabShown())
        return;
    Form_Base->Q_Menu_Str->close();
    Form_Timers->Timer_Menu_Razdel->start();
}

void TMenuLists::Q_Menu_RazdelAfterScroll()
{
    if (!StartupDone)
        return;
    // A long operation walks the sections under the progress window.
    if (Form_Gauge && Form_Gauge->isVisible())
        return;
    if (inside(Form_Base->Q_Menu_Razdel)) {
        Form_Timers->Timer_Menu_Str->stop();
        GreyOut(Grid_S_Menu);
    }
    if (menusTabShown()) {
        Form_Base->Q_Menu_Str->close();
        Form_Timers->Timer_Menu_Str->start();
    }
}

void TMenuLists::Timer_MenuTimer()
{
    Form_Timers->Timer_Menu->stop();
    run(Open_FirmaMenus);
}

void TMenuLists::Timer_Menu_RazdelTimer()
{
    Form_Timers->Timer_Menu_Razdel->stop();
    Form_Timers->Timer_Menu_Str->stop();
    if (!cat::HasRow(Form_Base->Q_Menu))
        return;
    Release(Grid_R_Menu);
    Release(Grid_S_Menu);
    // The section list's builder ends by reloading the dishes.
    run(Open_MenuRazdel);
}

void TMenuLists::Timer_Menu_StrTimer()
{
    Form_Timers->Timer_Menu_Str->stop();
    if (!cat::HasRow(Form_Base->Q_Menu_Razdel))
        return;
    if (menuPickerShown())
        run(Open_Sklad_Menu);
    Release(Grid_S_Menu);
    run(Open_MenuStr);
}
