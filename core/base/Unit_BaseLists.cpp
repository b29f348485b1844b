// Scroll and calculated-field handlers of the data module's shared lists:
// a move in a master list greys its detail grids and restarts the detail's
// one-shot timer (Unit_Timers), so holding a cursor key costs no query.

#include "Unit_Base.h"

#include "grid/DatasetModel.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Timers.h"
#include "ui/Unit_Gauge.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Settings.h"

#include <QPushButton>

namespace {

// Neither before the first row nor after the last: not during opening or closing.
bool inside(const db::Query* q) { return !q->bof() && !q->eof(); }

bool hasRows(const db::Query* q) { return q->active() && !q->isEmpty(); }

// A column of the current row, 0 when there is none (an empty list, a NULL).
qint64 intOf(const db::Query* q, const char* name)
{
    const QString f = QString::fromLatin1(name);
    if (!hasRows(q) || q->recNo() < 0 || !q->hasField(f))
        return 0;
    const db::Field v = q->field(f);
    return v.isNull() ? 0 : v.asInt64();
}

bool productsTabShown() { return Form_Main->ActivePage() == Form_Main->Sheet_Ing; }

bool productsListsShown()
{
    return productsTabShown() && (Form_Main->ActiveInnerPage() == Form_Main->Sheet_All_Ing ||
                                  Form_Main->ActiveInnerPage() == Form_Main->Sheet_Sklad_Ing);
}

bool moveTabShown() { return productsTabShown() && Form_Main->ActiveInnerPage() == Form_Main->Sheet_Move; }

bool menusTabShown() { return Form_Main->ActivePage() == Form_Main->Sheet_Menu; }

void setEnabled(QWidget* w, bool on)
{
    if (w)
        w->setEnabled(on);
}

QString docTypeName(qint64 type, bool productionList)
{
    switch (type) {
    case 1:
        return QStringLiteral("Инв");
    case 2:
        return QStringLiteral("Произв");
    case 3:
        return QStringLiteral("Реал");
    case 4:
        return QStringLiteral("Вн.пер");
    case 5:
        return QStringLiteral("Прих");
    case 6:
        return QStringLiteral("Расх");
    case 7:
        // In the production and sales list a write-off reads as production.
        return productionList ? QStringLiteral("Произв") : QStringLiteral("РасхП");
    default:
        return QStringLiteral("???");
    }
}

template <typename... A>
void call(const std::function<void(A...)>& f, A... args)
{
    if (f)
        f(args...);
}

void stopTimer(QTimer* t)
{
    if (t)
        t->stop();
}

// The editor's unsaved changes before leaving a print list, template or variable.
void askToSaveTemplate(TPrintEditorLink& editor)
{
    if (!editor.isModified || !editor.isModified())
        return;
    if (Msg::confirm(QStringLiteral("Сохранить изменения ?"))) {
        Form_Base->PrintSaving = 1;
        call(editor.BtnSaveClick);
    }
    call(editor.HE);
}

} // namespace

void TForm_Base::InitListHandlers()
{
    auto on = [this](void (TForm_Base::*handler)()) { return [this, handler](db::Query&) { (this->*handler)(); }; };
    Q_Firma->afterScroll = on(&TForm_Base::Q_FirmaAfterScroll);
    Q_Otdel->afterScroll = on(&TForm_Base::Q_OtdelAfterScroll);
    Q_Sklad->afterScroll = on(&TForm_Base::Q_SkladAfterScroll);
    Q_GrIng->beforeScroll = on(&TForm_Base::Q_GrIngBeforeScroll);
    Q_GrIng->afterScroll = on(&TForm_Base::Q_GrIngAfterScroll);
    Q_Dvig->beforeScroll = on(&TForm_Base::Q_DvigBeforeScroll);
    Q_Dvig->afterScroll = on(&TForm_Base::Q_DvigAfterScroll);
    Q_Dvig->afterClose = on(&TForm_Base::Q_DvigAfterClose);
    Q_Docs->beforeScroll = on(&TForm_Base::Q_DocsBeforeScroll);
    Q_Docs->afterScroll = on(&TForm_Base::Q_DocsAfterScroll);
    Q_Firma_Menu->afterScroll = on(&TForm_Base::Q_Firma_MenuAfterScroll);
    Q_Menu->beforeScroll = on(&TForm_Base::Q_MenuBeforeScroll);
    Q_Menu->afterScroll = on(&TForm_Base::Q_MenuAfterScroll);
    Q_Menu_Razdel->afterScroll = on(&TForm_Base::Q_Menu_RazdelAfterScroll);
    Q_Docs_Real->afterScroll = on(&TForm_Base::Q_Docs_RealAfterScroll);
    QPerson->afterScroll = on(&TForm_Base::QPersonAfterScroll);
    QPrintSpis->beforeScroll = on(&TForm_Base::QPrintSpisBeforeScroll);
    QPrintSpis->afterScroll = on(&TForm_Base::QPrintSpisAfterScroll);
    QPrintForms->beforeScroll = on(&TForm_Base::QPrintFormsBeforeScroll);
    QPrintForms->afterScroll = on(&TForm_Base::QPrintFormsAfterScroll);
    QPrintVar->beforeScroll = on(&TForm_Base::QPrintVarBeforeScroll);
    QPrintVar->afterScroll = on(&TForm_Base::QPrintVarAfterScroll);

    Q_Moves->addCalcField(QStringLiteral("TypDvig"));
    Q_Moves->onCalcFields = [this](db::Query& q) { Q_MovesCalcFields(q); };
    Q_Dvig->addCalcField(QStringLiteral("TD"));
    Q_Dvig->onCalcFields = [this](db::Query& q) { Q_DvigCalcFields(q); };
    Q_Docs->addCalcField(QStringLiteral("TD"));
    Q_Docs->onCalcFields = [this](db::Query& q) { Q_DocsCalcFields(q); };
    Q_Docs_Real->addCalcField(QStringLiteral("TD"));
    Q_Docs_Real->onCalcFields = [this](db::Query& q) { Q_Docs_RealCalcFields(q); };
    Q_Ing->addCalcField(QStringLiteral("K_Brutto"), db::FieldKind::Float);
    Q_Ing->onCalcFields = [this](db::Query& q) { Q_IngCalcFields(q); };
    Q_Ing_Sklad->addCalcField(QStringLiteral("PPPP"), db::FieldKind::Float);
    Q_Ing_Sklad->onCalcFields = [this](db::Query& q) { Q_Ing_SkladCalcFields(q); };
}

// ---- enterprise -> department -> warehouse -> groups -> products ----

void TForm_Base::Q_FirmaAfterScroll()
{
    if (!StartupDone)
        return;
    TForm_Timers* t = Form_Timers;
    t->Timer_Otdel->stop();
    t->Timer_Sklad->stop();
    t->Timer_Ing_Sklad->stop();
    for (QWidget* g : {Form_Main->Grid_Otdel.data(), Form_Main->Grid_Sklad.data(), Form_Main->Grid_Otdel1.data(),
                       Form_Main->Grid_Sklad1.data()})
        GreyOut(g);
    // A partner has no departments of its own here: its lists are not reloaded.
    const bool own = intOf(Q_Firma, "LOCAL_FIRMA") != 0;
    if (!own)
        GreyOut(Form_Main->Grid_Ing_Sklad);
    else
        t->Timer_Otdel->start();
    for (QWidget* b : {Form_Main->Btn_Add_Otdel.data(), Form_Main->Btn_Upd_Otdel.data(), Form_Main->Btn_Del_Otdel.data(),
                       Form_Main->Btn_Add_Sklad.data(), Form_Main->Btn_Upd_Sklad.data(), Form_Main->Btn_Del_Sklad.data()})
        setEnabled(b, own);
}

void TForm_Base::Q_OtdelAfterScroll()
{
    if (!StartupDone)
        return;
    Form_Timers->Timer_Sklad->stop();
    Form_Timers->Timer_Ing_Sklad->stop();
    GreyOut(Form_Main->Grid_Sklad);
    GreyOut(Form_Main->Grid_Sklad1);
    QWidget* page = Form_Main->ActivePage();
    if (page == Form_Main->Sheet_Ing || page == Form_Main->Sheet_Setup)
        Form_Timers->Timer_Sklad->start();
}

void TForm_Base::Q_SkladAfterScroll()
{
    if (!StartupDone)
        return;
    TForm_Timers* t = Form_Timers;
    if (inside(Q_Sklad)) {
        t->Timer_GrIng->stop();
        t->Timer_Ing_Sklad->stop();
        t->Timer_Ing->stop();
        GreyOut(Form_Main->Grid_Ing_Sklad);
        GreyOut(Form_Main->Grid_Ing);
        GreyOut(Form_Main->Grid_GrIng);
    }
    t->Timer_GrIng->start();
}

void TForm_Base::Q_GrIngBeforeScroll()
{
    if (!StartupDone)
        return;
    TForm_Timers* t = Form_Timers;
    const bool picker = t->menuPickerShown();
    if (!(productsListsShown() || picker) || !inside(Q_GrIng))
        return;
    if (t->hooks.menuPickerTimer_Ing)
        t->hooks.menuPickerTimer_Ing->stop();
    if (picker) {
        GreyOut(t->hooks.menuPickerGrid_Ing_S);
    } else {
        GreyOut(Form_Main->Grid_Ing);
        t->Timer_Ing_Sklad->stop();
        GreyOut(Form_Main->Grid_Ing_Sklad);
    }
}

void TForm_Base::Q_GrIngAfterScroll()
{
    if (!StartupDone)
        return;
    TForm_Timers* t = Form_Timers;
    const bool picker = t->menuPickerShown();
    // Any sub-tab of the products tab: the movement sub-tab's selector grids follow the groups too.
    if (!(productsTabShown() || picker))
        return;
    t->Timer_Ing->start();
    if (!picker)
        t->Timer_Ing_Sklad->start();
}

// ---- movement documents ----

void TForm_Base::Q_DvigBeforeScroll()
{
    if (!inside(Q_Dvig))
        return;
    Form_Timers->Timer_Moves->stop();
    GreyOut(Form_Main->Grid_DvigIng);
}

void TForm_Base::Q_DvigAfterScroll()
{
    Form_Timers->Timer_Moves->start();
    QPushButton* b = Form_Main->Btn_Provodka;
    if (!b)
        return;
    const qint64 provodka = intOf(Q_Dvig, "PROVODKA");
    const qint64 type = intOf(Q_Dvig, "DOC_TYPE");
    b->setText(provodka > 10 ? QStringLiteral("Снять пр.") : QStringLiteral("Провести"));
    // A posted inventory stays posted while un-posting inventories is forbidden.
    b->setEnabled(!(provodka > 10 && type == 1 && MyParams->v.InvProvodka));
}

void TForm_Base::Q_DvigAfterClose()
{
    if (!moveTabShown())
        return;
    Form_Timers->Timer_Moves->stop();
    GreyOut(Form_Main->Grid_DvigIng);
    Q_Moves->close();
}

// ---- inventory documents ----

void TForm_Base::Q_DocsBeforeScroll()
{
    if (!StartupDone || !inside(Q_Docs))
        return;
    TForm_Timers* t = Form_Timers;
    t->Timer_Invent->stop();
    if (t->inventShown() && t->hooks.inventWindow->isActiveWindow())
        GreyOut(t->hooks.inventGrid);
}

void TForm_Base::Q_DocsAfterScroll()
{
    if (!StartupDone)
        return;
    TForm_Timers* t = Form_Timers;
    if (!t->inventShown())
        return;
    t->Timer_Invent->start();
    const bool open = intOf(Q_Docs, "PROVODKA") < 11;
    for (const QPointer<QWidget>& b : t->hooks.inventButtons)
        setEnabled(b, open);
}

// ---- menus ----

void TForm_Base::Q_Firma_MenuAfterScroll()
{
    Form_Timers->Timer_Menu->stop();
    if (inside(Q_Firma_Menu)) {
        GreyOut(Form_Main->Grid_Menu);
        GreyOut(Form_Main->Grid_R_Menu);
        GreyOut(Form_Main->Grid_S_Menu);
    }
    Form_Timers->Timer_Menu->start();
}

void TForm_Base::Q_MenuBeforeScroll()
{
    if (!StartupDone || !inside(Q_Menu))
        return;
    Form_Timers->Timer_Menu_Razdel->stop();
    Form_Timers->Timer_Menu_Str->stop();
    GreyOut(Form_Main->Grid_R_Menu);
    GreyOut(Form_Main->Grid_S_Menu);
}

void TForm_Base::Q_MenuAfterScroll()
{
    if (!StartupDone || !menusTabShown())
        return;
    Q_Menu_Str->close();
    Form_Timers->Timer_Menu_Razdel->start();
}

void TForm_Base::Q_Menu_RazdelAfterScroll()
{
    if (!StartupDone)
        return;
    // A long operation walks the sections under the progress window.
    if (Form_Gauge && Form_Gauge->isVisible())
        return;
    if (inside(Q_Menu_Razdel)) {
        Form_Timers->Timer_Menu_Str->stop();
        GreyOut(Form_Main->Grid_S_Menu);
    }
    if (menusTabShown()) {
        Q_Menu_Str->close();
        Form_Timers->Timer_Menu_Str->start();
    }
}

// ---- production and sales ----

void TForm_Base::Q_Docs_RealAfterScroll()
{
    if (!StartupDone)
        return;
    Form_Timers->Timer_Real->stop();
    GreyOut(Form_Main->Grid_RealBludo);
    Q_Real_Bludo->close();
    Form_Timers->Timer_Real->start();
}

// ---- users ----

void TForm_Base::QPersonAfterScroll()
{
    TForm_Timers* t = Form_Timers;
    if (!t->personalShown())
        return;
    t->Timer_PersonPolicy->stop();
    GreyOut(t->hooks.personalRightsGrid);
    t->Timer_PersonPolicy->start();
}

// ---- print templates ----

void TForm_Base::QPrintSpisBeforeScroll()
{
    if (!StartupDone || !Form_Timers->printEditorShown() || !inside(QPrintSpis))
        return;
    TPrintEditorLink& e = Form_Timers->hooks.printEditor;
    stopTimer(e.Timer_Open_Forms);
    stopTimer(e.Timer_Open_Var);
    askToSaveTemplate(e);
}

void TForm_Base::QPrintSpisAfterScroll()
{
    if (!StartupDone || !Form_Timers->printEditorShown())
        return;
    TPrintEditorLink& e = Form_Timers->hooks.printEditor;
    if (e.Timer_Open_Forms)
        e.Timer_Open_Forms->start();
    GreyOut(e.GridForms);
    GreyOut(e.GridVar);
    call(e.setSpisKod, intOf(QPrintSpis, "KOD"));
}

void TForm_Base::QPrintFormsBeforeScroll()
{
    if (!StartupDone || !Form_Timers->printEditorShown() || !inside(QPrintForms))
        return;
    TPrintEditorLink& e = Form_Timers->hooks.printEditor;
    stopTimer(e.Timer_Open_Var);
    askToSaveTemplate(e);
}

void TForm_Base::QPrintFormsAfterScroll()
{
    if (!StartupDone || !Form_Timers->printEditorShown())
        return;
    TPrintEditorLink& e = Form_Timers->hooks.printEditor;
    if (e.Timer_Open_Var)
        e.Timer_Open_Var->start();
    GreyOut(e.GridVar);
    call(e.setFormKod, intOf(QPrintForms, "KOD"));
    call(e.Zap_Forma);
    // Protected samples are read-only unless the editor is in maintenance.
    const bool editable = intOf(QPrintForms, "OBRAZ") != 1 || (e.maintenance && e.maintenance());
    for (const QPointer<QWidget>& w : e.editWidgets)
        setEnabled(w, editable);
}

void TForm_Base::QPrintVarBeforeScroll()
{
    if (!StartupDone || !Form_Timers->printEditorShown())
        return;
    askToSaveTemplate(Form_Timers->hooks.printEditor);
}

void TForm_Base::QPrintVarAfterScroll()
{
    if (!StartupDone || !Form_Timers->printEditorShown())
        return;
    TPrintEditorLink& e = Form_Timers->hooks.printEditor;
    call(e.Zap_Var);
    if (e.Enabled_Var) {
        QPalette p = e.Enabled_Var->palette();
        p.setColor(QPalette::WindowText, intOf(QPrintVar, "ENABLED") > 0 ? Qt::red : Qt::black);
        e.Enabled_Var->setPalette(p);
    }
}

// ---- calculated fields ----

void TForm_Base::Q_MovesCalcFields(db::Query& q)
{
    const qint64 t = q.hasField(QStringLiteral("TYPE_MOVES")) ? q.field(QStringLiteral("TYPE_MOVES")).asInt64() : 0;
    q.setCalc(QStringLiteral("TypDvig"), t == 1 ? QStringLiteral(" +") : t == 2 ? QStringLiteral(" -") : QString());
}

void TForm_Base::Q_DvigCalcFields(db::Query& q)
{
    const qint64 t = q.hasField(QStringLiteral("DOC_TYPE")) ? q.field(QStringLiteral("DOC_TYPE")).asInt64() : 0;
    q.setCalc(QStringLiteral("TD"), docTypeName(t, false));
}

void TForm_Base::Q_DocsCalcFields(db::Query& q) { Q_DvigCalcFields(q); }

void TForm_Base::Q_Docs_RealCalcFields(db::Query& q)
{
    const qint64 t = q.hasField(QStringLiteral("DOC_TYPE")) ? q.field(QStringLiteral("DOC_TYPE")).asInt64() : 0;
    q.setCalc(QStringLiteral("TD"), docTypeName(t, true));
}

void TForm_Base::Q_IngCalcFields(db::Query& q)
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

void TForm_Base::Q_Ing_SkladCalcFields(db::Query& q)
{
    if (!q.hasField(QStringLiteral("CENA")) || !q.hasField(QStringLiteral("MY_CENA")))
        return;
    const double cena = q.field(QStringLiteral("CENA")).asDouble();
    const double myCena = q.field(QStringLiteral("MY_CENA")).asDouble();
    q.setCalc(QStringLiteral("PPPP"), cena > 0 ? myCena * 100 / cena - 100 : 0.0);
}
