#include "Unit_StructureBox.h"

#include "CatalogueUi.h"
#include "ListEditDialog.h"
#include "Structure.h"
#include "Unit_Ed.h"
#include "Unit_Firma.h"
#include "Unit_Otdel.h"
#include "Unit_Sklad.h"
#include "Printing.h"
#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "db/Query.h"
#include "ui/Unit_Main.h"
#include "grid/Greying.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TStructureBox* StructureBox = nullptr;

namespace {

QPushButton* button(const QString& text, QWidget* parent, QVBoxLayout* column)
{
    auto* b = new QPushButton(text, parent);
    column->addWidget(b);
    return b;
}

// A grid with its "Добавить", "Изменить", "Удалить" buttons on the right.
QHBoxLayout* gridWithButtons(db::DbGrid* grid, QPushButton*& add, QPushButton*& upd, QPushButton*& del, QWidget* parent)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(grid, 1);
    auto* column = new QVBoxLayout;
    add = button(QStringLiteral("Добавить"), parent, column);
    upd = button(QStringLiteral("Изменить"), parent, column);
    del = button(QStringLiteral("Удалить"), parent, column);
    column->addStretch();
    row->addLayout(column);
    grid->setEditButton(upd);
    return row;
}

} // namespace

TStructureBox::TStructureBox(QObject* parent) : QObject(parent)
{
    QWidget* sheet = Form_Main->Sheet_Setup;
    // Narrow margins and spacing, as on the products tab: the lists keep their titles whole on a narrow screen.
    sheet->layout()->setContentsMargins(2, 2, 2, 2);
    auto* panel = new QWidget(sheet);
    panel->setObjectName(QStringLiteral("Panel_Structure"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);

    GroupBox_Structure = new QGroupBox(QStringLiteral("Структура предприятия и контрагенты"), panel);
    auto* box = new QVBoxLayout(GroupBox_Structure);
    Grid_Firma = new db::DbGrid(GroupBox_Structure);
    Grid_Otdel = new db::DbGrid(GroupBox_Structure);
    Grid_Sklad = new db::DbGrid(GroupBox_Structure);
    box->addLayout(gridWithButtons(Grid_Firma, Btn_Add_Firma, Btn_Upd_Firma, Btn_Del_Firma, GroupBox_Structure), 3);
    auto* lower = new QHBoxLayout;
    lower->setSpacing(4);
    lower->addLayout(gridWithButtons(Grid_Otdel, Btn_Add_Otdel, Btn_Upd_Otdel, Btn_Del_Otdel, GroupBox_Structure), 1);
    lower->addLayout(gridWithButtons(Grid_Sklad, Btn_Add_Sklad, Btn_Upd_Sklad, Btn_Del_Sklad, GroupBox_Structure), 1);
    box->addLayout(lower, 2);
    row->addWidget(GroupBox_Structure, 3);

    GroupBox_Ed = new QGroupBox(QStringLiteral("Единицы измерения"), panel);
    auto* edBox = new QVBoxLayout(GroupBox_Ed);
    Grid_Ed = new db::DbGrid(GroupBox_Ed);
    auto* edButtons = new QHBoxLayout;
    Btn_Add_Ed = new QPushButton(QStringLiteral("Добавить"), GroupBox_Ed);
    Btn_Upd_Ed = new QPushButton(QStringLiteral("Изменить"), GroupBox_Ed);
    Btn_Del_Ed = new QPushButton(QStringLiteral("Удалить"), GroupBox_Ed);
    for (QPushButton* b : {Btn_Add_Ed, Btn_Upd_Ed, Btn_Del_Ed})
        edButtons->addWidget(b);
    edBox->addWidget(Grid_Ed, 1);
    edBox->addLayout(edButtons);
    Grid_Ed->setEditButton(Btn_Upd_Ed);
    Btn_Shab = new QPushButton(QStringLiteral("Настройка шаблонов"), GroupBox_Ed);
    edBox->addWidget(Btn_Shab);
    row->addWidget(GroupBox_Ed, 1);
    sheet->layout()->addWidget(panel);

    ConnectLists();
    Grid_Firma->setQuery(Q_Firma);
    cat::SetColumns(Grid_Firma, {{QStringLiteral("NAME"), QStringLiteral("Наименование предприятия"), 220},
                            {QStringLiteral("RS"), QStringLiteral("Расчётный счёт"), 150},
                            {QStringLiteral("BANK"), QStringLiteral("Наименование банка"), 180},
                            {QStringLiteral("BIK"), QStringLiteral("БИК"), 90},
                            {QStringLiteral("KS"), QStringLiteral("Кор. счёт"), 150},
                            {QStringLiteral("INN"), QStringLiteral("ИНН"), 100},
                            {QStringLiteral("KPP"), QStringLiteral("КПП"), 90},
                            {QStringLiteral("ADDR_JUR"), QStringLiteral("Юридический адрес"), 200},
                            {QStringLiteral("ADDR_REAL"), QStringLiteral("Фактический адрес"), 200},
                            {QStringLiteral("PHONE"), QStringLiteral("Телефон"), 110}});
    // Own enterprises are drawn in bold.
    Grid_Firma->datasetModel()->setCellStyle([](const db::Query& q, int row, const QString&, int role) -> QVariant {
        if (role != Qt::FontRole)
            return {};
        const int col = q.fieldIndex(QStringLiteral("LOCAL_FIRMA"));
        if (col < 0 || q.valueAt(row, col).toInt() != 1)
            return {};
        QFont f;
        f.setBold(true);
        return f;
    });
    Grid_Otdel->setQuery(Q_Otdel);
    cat::SetColumns(Grid_Otdel, {{QStringLiteral("NAME"), QStringLiteral("Наименование подразделения (отдела)"), 0}});
    Grid_Sklad->setQuery(Q_Sklad);
    cat::SetColumns(Grid_Sklad, {{QStringLiteral("NAME"), QStringLiteral("Наименование склада"), 0}});
    Grid_Ed->setQuery(Q_Ed);
    cat::SetColumns(Grid_Ed, {{QStringLiteral("NAME"), QStringLiteral("Наименование единицы"), 170},
                         {QStringLiteral("SHORT_NAME"), QStringLiteral("Сокр."), 60}},
                    true);
    for (db::DbGrid* g : {Grid_Otdel, Grid_Sklad, Grid_Ed})
        g->horizontalHeader()->setStretchLastSection(true);

    // In the design state departments and warehouses can be neither added nor deleted.
    for (QPushButton* b : {Btn_Add_Otdel, Btn_Del_Otdel, Btn_Add_Sklad, Btn_Del_Sklad})
        b->setEnabled(false);

    const struct {
        QPushButton* b;
        void (TStructureBox::*h)();
    } handlers[] = {{Btn_Add_Firma, &TStructureBox::Btn_Add_FirmaClick}, {Btn_Upd_Firma, &TStructureBox::Btn_Upd_FirmaClick},
                    {Btn_Del_Firma, &TStructureBox::Btn_Del_FirmaClick}, {Btn_Add_Otdel, &TStructureBox::Btn_Add_OtdelClick},
                    {Btn_Upd_Otdel, &TStructureBox::Btn_Upd_OtdelClick}, {Btn_Del_Otdel, &TStructureBox::Btn_Del_OtdelClick},
                    {Btn_Add_Sklad, &TStructureBox::Btn_Add_SkladClick}, {Btn_Upd_Sklad, &TStructureBox::Btn_Upd_SkladClick},
                    {Btn_Del_Sklad, &TStructureBox::Btn_Del_SkladClick}, {Btn_Add_Ed, &TStructureBox::Btn_Add_EdClick},
                    {Btn_Upd_Ed, &TStructureBox::Btn_Upd_EdClick},       {Btn_Del_Ed, &TStructureBox::Btn_Del_EdClick},
                    {Btn_Shab, &TStructureBox::Btn_ShabClick}};
    for (const auto& h : handlers) {
        auto handler = h.h;
        connect(h.b, &QPushButton::clicked, this, [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    }
    sheet->installEventFilter(this);
}

bool TStructureBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Form_Main->Sheet_Setup && event->type() == QEvent::Show && !event->spontaneous())
        Guard([this] { Sheet_SetupShow(); });
    return QObject::eventFilter(watched, event);
}

void TStructureBox::Sheet_SetupShow()
{
    if (!StartupDone)
        return;
    if (!Q_Ed->active())
        Q_Ed->open();
    OpenFirma(QStringLiteral("SELECT * FROM FIRMA ORDER BY NAME"));
    Timer_OtdelTimer();
}

// ---- enterprises ----

void TStructureBox::Btn_Add_FirmaClick() { EditListRow(Form_Firma, Q_Firma, Grid_Firma, true); }

void TStructureBox::Btn_Upd_FirmaClick() { EditListRow(Form_Firma, Q_Firma, Grid_Firma, false); }

void TStructureBox::Btn_Del_FirmaClick()
{
    db::Query* firma = Q_Firma;
    if (!cat::HasRow(firma))
        return;
    const QString caption = QStringLiteral("Удаление предприятия");
    if (!Msg::confirmDestructive(QStringLiteral("Вы уверены что хотите удалить предприятие ?"), caption))
        return;
    const qint64 kod = cat::KeyOf(firma);
    const QString refusal = structure::FirmaDeleteRefusal(kod);
    if (!refusal.isEmpty()) {
        Msg::notice(refusal);
        return;
    }
    if (structure::FirmaHasStock(kod) &&
        !Msg::confirmDestructive(QStringLiteral("У данного предприятие имеются не нулевые остатки на складах !  Продолжать удаление ?"),
                                 caption))
        return;
    structure::DeleteFirma(kod, firma->field(QStringLiteral("NAME")).asString());
}

// ---- departments ----

void TStructureBox::Btn_Add_OtdelClick()
{
    AddDetailRow(Form_Otdel, Q_Firma, Q_Otdel, Grid_Otdel);
}

void TStructureBox::Btn_Upd_OtdelClick() { EditListRow(Form_Otdel, Q_Otdel, Grid_Otdel, false); }

void TStructureBox::Btn_Del_OtdelClick()
{
    db::Query* otdel = Q_Otdel;
    if (!cat::HasRow(otdel))
        return;
    const qint64 kod = cat::KeyOf(otdel);
    const QString refusal =
        structure::OtdelDeleteRefusal(kod, otdel->field(QStringLiteral("FIRST_OTDEL")).asString() == QStringLiteral("1"));
    if (!refusal.isEmpty()) {
        Msg::notice(refusal);
        return;
    }
    const QString caption = QStringLiteral("Удаление подразделения");
    if (!Msg::confirmDestructive(QStringLiteral("Вы уверены что хотите удалить это подразделение (отдел) ?"), caption))
        return;
    // Stock is lost with the department: asked as for an enterprise.
    if (structure::OtdelHasStock(kod) &&
        !Msg::confirmDestructive(QStringLiteral("У данного подразделения имеются не нулевые остатки на складах !  Продолжать удаление ?"),
                                 caption))
        return;
    structure::DeleteOtdel(kod, otdel->field(QStringLiteral("NAME")).asString(),
                           Q_Firma->field(QStringLiteral("NAME")).asString());
}

// ---- warehouses ----

void TStructureBox::Btn_Add_SkladClick()
{
    AddDetailRow(Form_Sklad, Q_Otdel, Q_Sklad, Grid_Sklad);
}

void TStructureBox::Btn_Upd_SkladClick() { EditListRow(Form_Sklad, Q_Sklad, Grid_Sklad, false); }

void TStructureBox::Btn_Del_SkladClick()
{
    db::Query* sklad = Q_Sklad;
    if (!cat::HasRow(sklad))
        return;
    const qint64 kod = cat::KeyOf(sklad);
    const QString refusal =
        structure::SkladDeleteRefusal(kod, sklad->field(QStringLiteral("FIRST_SKLAD")).asString() == QStringLiteral("1"));
    if (!refusal.isEmpty()) {
        Msg::notice(refusal);
        return;
    }
    if (!Msg::confirmDestructive(QStringLiteral("Вы уверены что хотите удалить этот склад ?"),
                                 QStringLiteral("Удаление склада")))
        return;
    structure::DeleteSklad(kod, sklad->field(QStringLiteral("KOD_OTDEL")).asInt64(),
                           sklad->field(QStringLiteral("NAME")).asString(),
                           Q_Firma->field(QStringLiteral("NAME")).asString(),
                           Q_Otdel->field(QStringLiteral("NAME")).asString());
}

// ---- units ----

void TStructureBox::Btn_Add_EdClick() { EditListRow(Form_Ed, Q_Ed, Grid_Ed, true); }

void TStructureBox::Btn_Upd_EdClick() { EditListRow(Form_Ed, Q_Ed, Grid_Ed, false); }

void TStructureBox::Btn_Del_EdClick()
{
    db::Query* ed = Q_Ed;
    if (!cat::HasRow(ed))
        return;
    if (!Msg::confirmDestructive(QStringLiteral("Вы действительно желаете удалить эту единицу измерения ?"),
                                 QStringLiteral("Удаление единицы измерения")))
        return;
    const qint64 kod = cat::KeyOf(ed);
    const QString name = ed->field(QStringLiteral("NAME")).asString();
    if (structure::EdUseCount(kod) >= 1) {
        Msg::notice(structure::EdInUseText(name));
        Grid_Ed->setFocus();
        return;
    }
    structure::DeleteEd(kod, name, ed->field(QStringLiteral("SHORT_NAME")).asString());
}

void TStructureBox::Btn_ShabClick()
{
    if (Form_Print)
        Msg::execModal(Form_Print);
    else
        Msg::notBuilt(Btn_Shab->text());
}
