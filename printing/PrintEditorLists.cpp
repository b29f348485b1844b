// The print-template setup window's lists: leaving a print list, a template or
// a variable with unsaved changes asks to save them; a move restarts the
// window's own timers that reload the templates and variables.

#include "Unit_Print.h"

#include "base/Unit_Base.h"
#include "db/Query.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "grid/Greying.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QPalette>

namespace {

bool inside(const db::Query* q) { return !q->bof() && !q->eof(); }

qint64 intOf(const db::Query* q, const char* name)
{
    const QString f = QString::fromLatin1(name);
    if (!q->active() || q->isEmpty() || q->recNo() < 0 || !q->hasField(f))
        return 0;
    const db::Field v = q->field(f);
    return v.isNull() ? 0 : v.asInt64();
}

} // namespace

void TForm_Print::makeLists()
{
    if (List_Spis || !Form_Base)
        return;
    auto hold = [this](const QString& table, db::DbGrid* grid) {
        auto* list = new db::ListHolder(Form_Base->MyDB, Form_Base->TransactionRead, this);
        list->setTables({table});
        list->setGrid(grid);
        return list;
    };
    List_Spis = hold(QStringLiteral("PRINT_SPISOK"), GridSpis);
    List_Forms = hold(QStringLiteral("PRINT_FORMS"), GridForms);
    List_Var = hold(QStringLiteral("PRINT_VARIABLES"), GridVar);
    QPrintSpis = List_Spis->query();
    QPrintForms = List_Forms->query();
    QPrintVar = List_Var->query();
}

void TForm_Print::ConnectLists()
{
    makeLists();
    if (!List_Spis)
        return;
    GridSpis->setQuery(QPrintSpis);
    GridSpis->setColumns({{QStringLiteral("NAME_SPISOK"), QStringLiteral("Наименование формы печати"), 0}});
    GridForms->setQuery(QPrintForms);
    GridForms->setColumns({{QStringLiteral("NAME_SHABLON"), QStringLiteral("Наименование шаблона"), 0}});
    GridVar->setQuery(QPrintVar);
    GridVar->setColumns({{QStringLiteral("NAME"), QStringLiteral("Наименование переменной"), 0}});
    connect(QPrintSpis, &db::Query::beforeScroll, this, &TForm_Print::QPrintSpisBeforeScroll);
    connect(QPrintSpis, &db::Query::afterScroll, this, &TForm_Print::QPrintSpisAfterScroll);
    connect(QPrintForms, &db::Query::beforeScroll, this, &TForm_Print::QPrintFormsBeforeScroll);
    connect(QPrintForms, &db::Query::afterScroll, this, &TForm_Print::QPrintFormsAfterScroll);
    connect(QPrintVar, &db::Query::beforeScroll, this, &TForm_Print::QPrintVarBeforeScroll);
    connect(QPrintVar, &db::Query::afterScroll, this, &TForm_Print::QPrintVarAfterScroll);
}

// The unsaved changes before leaving a print list, template or variable.
void TForm_Print::AskToSave()
{
    if (!Modified)
        return;
    if (Msg::confirm(QStringLiteral("Сохранить изменения ?"))) {
        PrintSaving = 1;
        // A save refused (the template changed elsewhere) is told, and the move goes on.
        Guard([this] { BtnSaveClick(); });
    }
    MarkUnmodified();
}

void TForm_Print::QPrintSpisBeforeScroll()
{
    if (List_Spis->reopening())
        return;
    if (!StartupDone || !isVisible() || !inside(QPrintSpis))
        return;
    Timer_Open_Forms->stop();
    Timer_Open_Var->stop();
    AskToSave();
}

void TForm_Print::QPrintSpisAfterScroll()
{
    if (List_Spis->reopening())
        return;
    if (!StartupDone || !isVisible())
        return;
    Timer_Open_Forms->start();
    GridForms->greyOut();
    GridVar->greyOut();
}

void TForm_Print::QPrintFormsBeforeScroll()
{
    if (List_Forms->reopening())
        return;
    if (!StartupDone || !isVisible() || !inside(QPrintForms))
        return;
    Timer_Open_Var->stop();
    AskToSave();
}

void TForm_Print::QPrintFormsAfterScroll()
{
    if (List_Forms->reopening())
        return;
    if (!StartupDone)
        return;
    if (isVisible()) {
        Timer_Open_Var->start();
        GridVar->greyOut();
        Zap_Forma();
    }
    // Protected samples are read-only unless the developer mode is on.
    const bool editable = intOf(QPrintForms, "OBRAZ") != 1 || ConstructorMode;
    for (QWidget* w : {static_cast<QWidget*>(GroupBox1), static_cast<QWidget*>(GroupBox2), static_cast<QWidget*>(BtnSave),
                       static_cast<QWidget*>(BtnDelete)})
        w->setEnabled(editable);
}

void TForm_Print::QPrintVarBeforeScroll()
{
    if (List_Var->reopening())
        return;
    if (!StartupDone || !isVisible())
        return;
    AskToSave();
}

void TForm_Print::QPrintVarAfterScroll()
{
    if (List_Var->reopening())
        return;
    if (!StartupDone || !isVisible())
        return;
    Zap_Var();
    colourEnabledVar();
}
