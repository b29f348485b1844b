#include "Unit_MenusTab.h"

#include "CatalogueUi.h"
#include "MenuStore.h"
#include "entries/Btn_Print_MenuClick.h"
#include "Unit_Menu.h"
#include "Unit_Menu_R.h"
#include "Unit_Menu_S.h"
#include "Unit_MoveMenu.h"
#include "IngSkladDialog.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "grid/DatasetModel.h"
#include "menus/SectionDishes.h"
#include "ui/Unit_Gauge.h"
#include "ui/Unit_Dice.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Name.h"
#include "ui/Unit_Period.h"
#include "ui/Unit_Timers.h"
#include "engine/Clock.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPalette>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

TMenusTab* MenusTab = nullptr;

namespace {

bool inside(const db::Query* q) { return !q->bof() && !q->eof(); }

bool tabShown() { return Form_Main->ActivePage() == Form_Main->Sheet_Menu; }

QString textOf(const db::Query* q, const char* field)
{
    const QString f = QString::fromLatin1(field);
    return cat::HasRow(q) && q->hasField(f) ? q->field(f).asString() : QString();
}

QDate dateOf(const db::Query* q, const char* field)
{
    return cat::HasRow(q) ? q->field(QString::fromLatin1(field)).asDate() : QDate();
}

QVariant valueAt(const db::Query& q, int row, const char* field)
{
    const int col = q.fieldIndex(QString::fromLatin1(field));
    return col < 0 ? QVariant() : q.valueAt(row, col);
}

QPushButton* button(const QString& text, QWidget* parent, const QString& hint = {})
{
    auto* b = new QPushButton(text, parent);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

// A grid with its buttons under it, in rows of the given width.
QGroupBox* gridBox(QWidget* parent, db::DbGrid*& grid, std::initializer_list<QPushButton**> buttons,
                   std::initializer_list<std::pair<QString, QString>> texts, int perRow)
{
    auto* box = new QGroupBox(parent);
    auto* col = new QVBoxLayout(box);
    col->setContentsMargins(2, 2, 2, 2);
    grid = new db::DbGrid(box);
    col->addWidget(grid, 1);
    auto* rows = new QGridLayout;
    auto text = texts.begin();
    int i = 0;
    for (QPushButton** b : buttons) {
        *b = button(text->first, box, text->second);
        rows->addWidget(*b, i / perRow, i % perRow);
        ++text;
        ++i;
    }
    col->addLayout(rows);
    return box;
}

// Functions of other windows that are not part of this version yet.
void notBuilt(const QString& what) { Msg::notice(what + QStringLiteral(" в этой версии программы ещё не доступна.")); }

} // namespace

QVariant TMenusTab::RazdelCellStyle(const db::Query& q, int row, const QString& field, int role)
{
    return cat::RazdelCellStyle(q, row, field, role);
}

QVariant TMenusTab::StrCellStyle(const db::Query& q, int row, const QString&, int role)
{
    if (role == Qt::ForegroundRole)
        return QPalette().color(QPalette::ButtonText);
    if (role != Qt::BackgroundRole)
        return {};
    const QVariant on = valueAt(q, row, "MY_ACTIVE");
    const bool off = !on.isValid() || on.toLongLong() < 1;
    return QPalette().color(off ? QPalette::Button : QPalette::Base);
}

TMenusTab::TMenusTab(QObject* parent) : QObject(parent)
{
    // The refresh timers stay with the other lists' timers; their bodies are this tab's.
    Timer_Menu = Form_Timers->Timer_Menu;
    Timer_Menu_Razdel = Form_Timers->Timer_Menu_Razdel;
    Timer_Menu_Str = Form_Timers->Timer_Menu_Str;
    const struct {
        QTimer* timer;
        void (TMenusTab::*body)();
    } timers[] = {{Timer_Menu, &TMenusTab::Timer_MenuTimer},
                  {Timer_Menu_Razdel, &TMenusTab::Timer_Menu_RazdelTimer},
                  {Timer_Menu_Str, &TMenusTab::Timer_Menu_StrTimer}};
    for (const auto& x : timers) {
        auto body = x.body;
        connect(x.timer, &QTimer::timeout, this, [this, body] { Guard([this, body] { (this->*body)(); }); });
    }

    build();

    const struct {
        QPushButton* b;
        void (TMenusTab::*h)();
    } handlers[] = {{Btn_Add_Menu, &TMenusTab::Btn_Add_MenuClick},
                    {Btn_Upd_Menu, &TMenusTab::Btn_Upd_MenuClick},
                    {Btn_Del_Menu, &TMenusTab::Btn_Del_MenuClick},
                    {Btn_Copy_Menu, &TMenusTab::Btn_Copy_MenuClick},
                    {Btn_Add_R_Menu, &TMenusTab::Btn_Add_R_MenuClick},
                    {Btn_Upd_R_Menu, &TMenusTab::Btn_Upd_R_MenuClick},
                    {Btn_Del_R_Menu, &TMenusTab::Btn_Del_R_MenuClick},
                    {Btn_OpenGR, &TMenusTab::Btn_OpenGRClick},
                    {Btn_Edit_Menu, &TMenusTab::Btn_Edit_MenuClick},
                    {Btn_Edit_Bludo, &TMenusTab::Btn_Edit_BludoClick},
                    {Btn_Move_Bludo_Menu, &TMenusTab::Btn_Move_Bludo_MenuClick},
                    {Btn_Otkl, &TMenusTab::Btn_OtklClick},
                    {Btn_Sent_Menu, &TMenusTab::Btn_Sent_MenuClick},
                    {Btn_Print_Menu, &TMenusTab::Btn_Print_MenuClick}};
    for (const auto& h : handlers) {
        auto handler = h.h;
        connect(h.b, &QPushButton::clicked, this, [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    }

    // The tab follows its lists itself.
    TForm_Base* b = Form_Base;
    connect(b->Q_Firma_Menu, &db::Query::afterScroll, this, &TMenusTab::Q_Firma_MenuAfterScroll);
    connect(b->Q_Menu, &db::Query::beforeScroll, this, &TMenusTab::Q_MenuBeforeScroll);
    connect(b->Q_Menu, &db::Query::afterScroll, this, &TMenusTab::Q_MenuAfterScroll);
    connect(b->Q_Menu_Razdel, &db::Query::afterScroll, this, &TMenusTab::Q_Menu_RazdelAfterScroll);
    menus::InstallCenaMenu(b->Q_Menu_Str, [] { return engine::ProgramContext(); });
    b->Q_Firma_Menu->setSql(QStringLiteral("select * from FIRMA WHERE LOCAL_FIRMA = 1 order by NAME"));
    Form_Main->Sheet_Menu->installEventFilter(this);
}

void TMenusTab::build()
{
    QWidget* sheet = Form_Main->Sheet_Menu;
    auto* split = new QSplitter(Qt::Horizontal, sheet);
    auto* left = new QWidget(split);
    auto* lcol = new QVBoxLayout(left);
    lcol->setContentsMargins(0, 0, 0, 0);
    Grid_Firma_M = new db::DbGrid(left);
    lcol->addWidget(Grid_Firma_M, 2);
    lcol->addWidget(gridBox(left, Grid_Menu, {&Btn_Add_Menu, &Btn_Upd_Menu, &Btn_Del_Menu, &Btn_Copy_Menu},
                            {{QStringLiteral("Создать меню"), {}},
                             {QStringLiteral("Редактировать меню"), {}},
                             {QStringLiteral("Удалить меню"), {}},
                             {QStringLiteral("Копировать меню"), {}}},
                            2),
                    5);
    Btn_Print_Menu = button(QStringLiteral("Печать меню"), left);
    Btn_Sent_Menu = button(QStringLiteral("Передать меню\nв реализацию"), left,
                           QStringLiteral("Передать меню в программу Подавальня или в TorgService"));
    Btn_Sent_Menu->setMinimumHeight(2 * Btn_Print_Menu->sizeHint().height());
    Image6 = new QLabel(left);
    Image6->setFixedSize(48, 48);
    auto* dieRow = new QHBoxLayout;
    dieRow->addStretch();
    dieRow->addWidget(Image6);
    dieRow->addStretch();
    lcol->addLayout(dieRow);
    lcol->addWidget(Btn_Print_Menu);
    lcol->addWidget(Btn_Sent_Menu);
    if (Form_Dice)
        Form_Dice->AddDie({sheet, Image6, Qt::yellow, Qt::blue, 1, -1});

    auto* right = new QWidget(split);
    auto* rcol = new QVBoxLayout(right);
    rcol->setContentsMargins(0, 0, 0, 0);
    rcol->addWidget(gridBox(right, Grid_R_Menu, {&Btn_Add_R_Menu, &Btn_Upd_R_Menu, &Btn_Del_R_Menu, &Btn_OpenGR},
                            {{QStringLiteral("Добавить раздел в меню"), {}},
                             {QStringLiteral("Редактировать раздел"), {}},
                             {QStringLiteral("Удалить раздел"), {}},
                             {QStringLiteral("Вкл / Выкл"), {}}},
                            4),
                    2);
    rcol->addWidget(gridBox(right, Grid_S_Menu, {&Btn_Edit_Menu, &Btn_Edit_Bludo, &Btn_Move_Bludo_Menu, &Btn_Otkl},
                            {{QStringLiteral("Список"), {}},
                             {QStringLiteral("Цена блюда"), {}},
                             {QStringLiteral("Переместить"), {}},
                             {QStringLiteral("Вкл / Выкл"), QStringLiteral("Временное отключение блюда для печати")}},
                            4),
                    3);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({320, 680});
    sheet->layout()->addWidget(split);

    TForm_Base* b = Form_Base;
    Grid_Firma_M->setQuery(b->Q_Firma_Menu);
    cat::SetColumns(Grid_Firma_M, {{QStringLiteral("NAME"), QStringLiteral("Предприятие"), 200}});
    Grid_Menu->setQuery(b->Q_Menu);
    cat::SetColumns(Grid_Menu, {{QStringLiteral("NAME"), QStringLiteral("Меню"), 150},
                                {QStringLiteral("DATE_MENU"), QStringLiteral("Дата"), 75, QStringLiteral("dd.mm.yyyy")},
                                {QStringLiteral("PERCENT"), QStringLiteral("% надб."), 50}},
                    true);
    Grid_R_Menu->setQuery(b->Q_Menu_Razdel);
    cat::SetColumns(Grid_R_Menu, {{QStringLiteral("NAME"), QStringLiteral("Раздел меню"), 220},
                                  {QStringLiteral("NAME_O"), QStringLiteral("Подразделение"), 160},
                                  {QStringLiteral("MY_SORT"), QStringLiteral("Порядок"), 60}});
    Grid_R_Menu->datasetModel()->setCellStyle(&TMenusTab::RazdelCellStyle);
    Grid_S_Menu->setQuery(b->Q_Menu_Str);
    cat::SetColumns(Grid_S_Menu, {{QStringLiteral("NAME1"), QStringLiteral("Блюдо"), 240},
                                  {QStringLiteral("VIHOD_BLUDA"), QStringLiteral("Выход"), 90},
                                  {QStringLiteral("MY_CENA"), QStringLiteral("Цена"), 70, QStringLiteral("0.00")},
                                  {QStringLiteral("CENA_MENU"), QStringLiteral("Цена меню"), 75, QStringLiteral("0.00")}});
    Grid_S_Menu->datasetModel()->setCellStyle(&TMenusTab::StrCellStyle);
    for (db::DbGrid* g : {Grid_Firma_M, Grid_Menu, Grid_R_Menu, Grid_S_Menu})
        g->horizontalHeader()->setStretchLastSection(true);
    Grid_Menu->setEditButton(Btn_Upd_Menu);
    Grid_R_Menu->setEditButton(Btn_Upd_R_Menu);
    Grid_S_Menu->setEditButton(Btn_Otkl);
}

bool TMenusTab::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Form_Main->Sheet_Menu && event->type() == QEvent::Show && !event->spontaneous())
        Guard([this] { Sheet_MenuShow(); });
    return QObject::eventFilter(watched, event);
}

void TMenusTab::Sheet_MenuShow()
{
    db::Query* q = Form_Base->Q_Firma_Menu;
    q->close();
    q->open();
    Open_FirmaMenus();
}

// ---- list builders ----

void TMenusTab::Open_FirmaMenus()
{
    if (!StartupDone)
        return;
    TForm_Base* b = Form_Base;
    b->Q_Menu->close();
    if (!cat::HasRow(b->Q_Firma_Menu)) {
        // No enterprise: nothing of another one's menus stays on show.
        b->Q_Menu_Str->close();
        b->Q_Menu_Razdel->close();
        return;
    }
    b->OpenRead(b->Q_Menu, QStringLiteral("SELECT * FROM MENU WHERE KOD_FIRMA = ") + Key(cat::KeyOf(b->Q_Firma_Menu)) +
                               QStringLiteral("\nORDER BY DATE_MENU, NAME"));
    Grid_Menu->release();
    Timer_Menu_Razdel->stop();
    Timer_Menu_RazdelTimer();
}

void TMenusTab::Open_MenuRazdel()
{
    Timer_Menu_Razdel->stop();
    TForm_Base* b = Form_Base;
    if (!cat::HasRow(b->Q_Menu)) {
        b->Q_Menu_Str->close();
        b->Q_Menu_Razdel->close();
        return;
    }
    b->OpenRead(b->Q_Menu_Razdel,
                QStringList{QStringLiteral("select MENU_RAZDEL.*, OTDEL.NAME AS NAME_O from MENU_RAZDEL"),
                            QStringLiteral("LEFT OUTER JOIN OTDEL ON OTDEL.KOD = MENU_RAZDEL.KOD_OTDEL"),
                            QStringLiteral("WHERE KOD_MENU = ") + Key(cat::KeyOf(b->Q_Menu)), QStringLiteral("ORDER BY MY_SORT")}
                    .join(QLatin1Char('\n')));
    Timer_Menu_Str->stop();
    Timer_Menu_StrTimer();
}

void TMenusTab::Open_MenuStr()
{
    Timer_Menu_Str->stop();
    TForm_Base* b = Form_Base;
    if (!cat::HasRow(b->Q_Menu_Razdel)) {
        b->Q_Menu_Str->close();
        return;
    }
    menus::OpenMenuStr(b->Q_Menu_Str, cat::KeyOf(b->Q_Menu_Razdel));
}

// ---- moves and timers ----

void TMenusTab::Q_Firma_MenuAfterScroll()
{
    Timer_Menu->stop();
    if (inside(Form_Base->Q_Firma_Menu)) {
        Grid_Menu->greyOut();
        Grid_R_Menu->greyOut();
        Grid_S_Menu->greyOut();
    }
    Timer_Menu->start();
}

void TMenusTab::Q_MenuBeforeScroll()
{
    if (!StartupDone || !inside(Form_Base->Q_Menu))
        return;
    Timer_Menu_Razdel->stop();
    Timer_Menu_Str->stop();
    Grid_R_Menu->greyOut();
    Grid_S_Menu->greyOut();
}

void TMenusTab::Q_MenuAfterScroll()
{
    if (!StartupDone || !tabShown())
        return;
    Form_Base->Q_Menu_Str->close();
    Timer_Menu_Razdel->start();
}

void TMenusTab::Q_Menu_RazdelAfterScroll()
{
    if (!StartupDone)
        return;
    // A long operation walks the sections under the progress window.
    if (Form_Gauge && Form_Gauge->isVisible())
        return;
    if (inside(Form_Base->Q_Menu_Razdel)) {
        Timer_Menu_Str->stop();
        Grid_S_Menu->greyOut();
    }
    if (tabShown()) {
        Form_Base->Q_Menu_Str->close();
        Timer_Menu_Str->start();
    }
}

void TMenusTab::Timer_MenuTimer()
{
    Timer_Menu->stop();
    Open_FirmaMenus();
}

void TMenusTab::Timer_Menu_RazdelTimer()
{
    Timer_Menu_Razdel->stop();
    Timer_Menu_Str->stop();
    if (!cat::HasRow(Form_Base->Q_Menu)) {
        // An enterprise without menus shows no sections or dishes.
        Form_Base->Q_Menu_Str->close();
        Form_Base->Q_Menu_Razdel->close();
        return;
    }
    Grid_R_Menu->release();
    Grid_S_Menu->release();
    Open_MenuRazdel();
}

void TMenusTab::Timer_Menu_StrTimer()
{
    Timer_Menu_Str->stop();
    if (!cat::HasRow(Form_Base->Q_Menu_Razdel)) {
        Form_Base->Q_Menu_Str->close();
        return;
    }
    Grid_S_Menu->release();
    Open_MenuStr();
}

// ---- menus ----

void TMenusTab::Btn_Add_MenuClick()
{
    if (!cat::HasRow(Form_Base->Q_Firma_Menu))
        return;
    AddListRow(Form_Menu, Form_Base->Q_Menu, Grid_Menu);
}

void TMenusTab::Btn_Upd_MenuClick() { EditListRow(Form_Menu, Form_Base->Q_Menu, Grid_Menu); }

void TMenusTab::Btn_Del_MenuClick()
{
    if (!cat::HasRow(Form_Base->Q_Menu))
        return;
    const int choice = cat::ChooseRG(QString(), {QStringLiteral("Удалить выбранное меню"), QStringLiteral("Удалить за период")});
    if (choice == 0)
        Del_Menu_One();
    else if (choice == 1)
        Del_Menu_Period();
}

void TMenusTab::Del_Menu_One()
{
    TForm_Base* b = Form_Base;
    db::Query* q = b->Q_Menu;
    if (!Msg::confirm(QStringLiteral("Вы действительно желаете удалить это меню ?"), QStringLiteral("Удаление меню")))
        return;
    menus::DeleteMenu(cat::KeyOf(q), textOf(q, "NAME"), dateOf(q, "DATE_MENU"));
    const qint64 back = cat::StepBackKey(q);
    b->Q_Menu_Str->close();
    b->Q_Menu_Razdel->close();
    cat::ReopenAt(q, back);
}

void TMenusTab::Del_Menu_Period()
{
    TForm_Period* p = Form_Period;
    const QDate today = Clock::today();
    p->Date_Start->setDate(today);
    p->Date_Finish->setDate(today);
    p->CB_AllDate->setChecked(false);
    p->CB_AllDateClick();
    if (Msg::execModal(p) != QDialog::Accepted)
        return;
    const bool all = p->CB_AllDate->isChecked();
    const QDate from = p->Date_Start->date();
    const QDate to = p->Date_Finish->date();
    const QString question =
        all ? QStringLiteral("Вы уверены что желаете удалить все меню из базы данных ?")
            : QStringLiteral("Вы уверены что желаете удалить все меню из базы данных за период с ") +
                  from.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" по ") + to.toString(QStringLiteral("dd.MM.yyyy"));
    if (!Msg::confirm(question, QStringLiteral("Удаление меню")))
        return;
    menus::DeleteMenusOfPeriod(all, from, to);
    TForm_Base* b = Form_Base;
    b->Q_Menu_Str->close();
    b->Q_Menu_Razdel->close();
    b->Q_Menu->close();
    b->Q_Menu->open();
}

void TMenusTab::Btn_Copy_MenuClick()
{
    db::Query* q = Form_Base->Q_Menu;
    if (!cat::HasRow(q))
        return;
    TForm_Name* n = Form_Name;
    n->setWindowTitle(QStringLiteral("Наименование нового меню"));
    n->DateTimePicker1->hide();
    n->Panel2->hide();
    n->Edit1->clear();
    const int maxLength = n->Edit1->maxLength();
    n->Edit1->setMaxLength(100);  // the length of a menu's name
    const int result = Msg::execModal(n);
    n->Edit1->setMaxLength(maxLength);
    if (result != QDialog::Accepted || !menus::TextFits(n->Edit1))
        return;
    menus::CopyMenu(cat::KeyOf(q), n->Edit1->text());
    Q_Firma_MenuAfterScroll();
}

// ---- sections ----

void TMenusTab::Btn_Add_R_MenuClick()
{
    if (!cat::HasRow(Form_Base->Q_Menu))
        return;
    AddListRow(Form_Menu_R, Form_Base->Q_Menu_Razdel, Grid_R_Menu);
}

void TMenusTab::Btn_Upd_R_MenuClick() { EditListRow(Form_Menu_R, Form_Base->Q_Menu_Razdel, Grid_R_Menu); }

void TMenusTab::Btn_Del_R_MenuClick()
{
    db::Query* r = Form_Base->Q_Menu_Razdel;
    if (!cat::HasRow(r))
        return;
    if (!Msg::confirm(QStringLiteral("Вы действительно желаете удалить раздел ?"), QStringLiteral("Удаление раздела меню")))
        return;
    db::Query* m = Form_Base->Q_Menu;
    menus::DeleteRazdel(cat::KeyOf(r), textOf(r, "NAME"), textOf(m, "NAME"), dateOf(m, "DATE_MENU"));
    cat::ReopenAt(r, cat::StepBackKey(r));
}

void TMenusTab::Btn_OpenGRClick()
{
    db::Query* r = Form_Base->Q_Menu_Razdel;
    if (!cat::HasRow(r))
        return;
    const qint64 kod = cat::KeyOf(r);
    menus::SwitchRazdel(kod, r->field(QStringLiteral("IS_ACTIVE")).asInt(), textOf(r, "NAME"),
                        textOf(Form_Base->Q_Menu, "NAME"));
    cat::ReopenAt(r, kod);
}

// ---- dishes ----

void TMenusTab::Btn_Edit_MenuClick()
{
    if (!cat::HasRow(Form_Base->Q_Menu_Razdel)) {
        Msg::notice(QStringLiteral("Сначала создайте хотябы один раздел меню/наряда !"));
        return;
    }
    Form_Menu_S->Open_Sklad_Menu();
    Msg::execModal(Form_Menu_S);
}

void TMenusTab::Btn_Edit_BludoClick()
{
    TForm_Base* b = Form_Base;
    db::Query* s = b->Q_Menu_Str;
    if (!cat::HasRow(b->Q_Menu) || !cat::HasRow(s))
        return;
    // The dish's row in the section's department.
    if (!ingsklad::EditDepartmentRow(s->field(QStringLiteral("KOD_ING_SKLAD")).asInt64()).accepted)
        return;
    // The list shows the new selling price and menu price.
    cat::ReopenAt(s, cat::KeyOf(s));
    Grid_S_Menu->setFocus();
}

void TMenusTab::Btn_Move_Bludo_MenuClick()
{
    TForm_Base* b = Form_Base;
    db::Query* s = b->Q_Menu_Str;
    if (!cat::HasRow(b->Q_Menu) || !cat::HasRow(s))
        return;
    TForm_MoveMenu* f = Form_MoveMenu;
    f->AttachData();
    db::Query* q = f->Q_MoveMenu;
    q->close();
    q->setSql(QStringLiteral("SELECT NAME, KOD FROM MENU_RAZDEL WHERE KOD_MENU = ") + Key(cat::KeyOf(b->Q_Menu)));
    q->open();
    if (Msg::execModal(f) != QDialog::Accepted)
        return;
    const qint64 kod = cat::KeyOf(s);
    const QString name = textOf(s, "NAME1");
    // Another section that already lists the dish refuses it, as the dish picker does.
    const qint64 target = f->TargetRazdelKod;
    const qint64 ing = s->field(QStringLiteral("KOD_ING")).asInt64();
    if (target != s->field(QStringLiteral("KOD_MENU_RAZDEL")).asInt64() && menus::DishInRazdel(target, ing)) {
        Msg::notice(QStringLiteral("В этом разделе меню уже имеется блюдо << ") + name + QStringLiteral(" >>"));
        return;
    }
    const qint64 back = cat::StepBackKey(s);
    menus::MoveDish(kod, target, name);
    cat::ReopenAt(s, back);
}

void TMenusTab::Btn_OtklClick()
{
    db::Query* s = Form_Base->Q_Menu_Str;
    if (!cat::HasRow(s))
        return;
    const qint64 kod = cat::KeyOf(s);
    menus::SwitchDish(kod, s->field(QStringLiteral("MY_ACTIVE")).value(), textOf(s, "NAME1"));
    cat::ReopenAt(s, kod);
}

// ---- out of the tab ----

void TMenusTab::Btn_Sent_MenuClick() { notBuilt(QStringLiteral("Передача меню в программы реализации")); }

void TMenusTab::Btn_Print_MenuClick()
{
    if (!cat::HasRow(Form_Base->Q_Menu) || !cat::HasRow(Form_Base->Q_Menu_Razdel))
        return;
    // The menu and the CSV file go through every section: the tab stands on the first one after them.
    if (printing::Btn_Print_MenuClick(cat::KeyOf(Form_Base->Q_Menu)) && cat::HasRow(Form_Base->Q_Menu_Razdel)) {
        Form_Base->Q_Menu_Razdel->first();
        Open_MenuStr();
    }
}
