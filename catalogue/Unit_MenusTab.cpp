#include "Unit_MenusTab.h"

#include "CatalogueUi.h"
#include "MenuStore.h"
#include "entries/Btn_Print_MenuClick.h"
#include "entries/MenusTabRows.h"
#include "Unit_Menu.h"
#include "Unit_Menu_R.h"
#include "Unit_Menu_S.h"
#include "Unit_MoveMenu.h"
#include "IngSkladDialog.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "menus/SectionDishes.h"
#include "ui/Unit_Gauge.h"
#include "ui/Unit_Dice.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Name.h"
#include "ui/Unit_Period.h"
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

int intOf(const db::Query* q, const char* field)
{
    return cat::HasRow(q) ? q->field(QString::fromLatin1(field)).asInt() : 0;
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
    const auto timer = [this](int interval, void (TMenusTab::*body)()) {
        auto* t = new QTimer(this);
        t->setSingleShot(true);
        t->setInterval(interval);
        connect(t, &QTimer::timeout, this, [this, body] { Guard([this, body] { (this->*body)(); }); });
        return t;
    };
    Timer_Menu = timer(400, &TMenusTab::Timer_MenuTimer);
    Timer_Menu_Razdel = timer(380, &TMenusTab::Timer_Menu_RazdelTimer);
    Timer_Menu_Str = timer(400, &TMenusTab::Timer_Menu_StrTimer);

    makeLists();
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
    connect(Q_Firma_Menu, &db::Query::afterScroll, this, &TMenusTab::Q_Firma_MenuAfterScroll);
    connect(Q_Menu, &db::Query::beforeScroll, this, &TMenusTab::Q_MenuBeforeScroll);
    connect(Q_Menu, &db::Query::afterScroll, this, &TMenusTab::Q_MenuAfterScroll);
    connect(Q_Menu_Razdel, &db::Query::afterScroll, this, &TMenusTab::Q_Menu_RazdelAfterScroll);
    // A reload after a commit leaves the details be while the master stands
    // on the row they show; they reload by their own tables. When its row went,
    // the master stands on another one and the details follow it.
    connect(List_Firma_Menu, &db::ListHolder::reopened, this, [this] {
        if (cat::KeyOf(Q_Firma_Menu) != followedFirma_)
            Q_Firma_MenuAfterScroll();
    });
    connect(List_Menu, &db::ListHolder::reopened, this, [this] {
        if (cat::KeyOf(Q_Menu) != followedMenu_) {
            Q_MenuBeforeScroll();
            Q_MenuAfterScroll();
        }
    });
    connect(List_Menu_Razdel, &db::ListHolder::reopened, this, [this] {
        if (cat::KeyOf(Q_Menu_Razdel) != followedRazdel_)
            Q_Menu_RazdelAfterScroll();
    });
    Form_Main->Sheet_Menu->installEventFilter(this);
    // The enterprises' menus load once shortly after start.
    Timer_Menu->start();
}

void TMenusTab::makeLists()
{
    TForm_Base* b = Form_Base;
    const auto hold = [this, b](QStringList tables) {
        auto* list = new db::ListHolder(b->MyDB, b->TransactionRead, this);
        list->setTables(tables);
        return list;
    };
    List_Firma_Menu = hold({QStringLiteral("FIRMA")});
    List_Menu = hold({QStringLiteral("MENU")});
    List_Menu_Razdel = hold({QStringLiteral("MENU_RAZDEL"), QStringLiteral("OTDEL")});
    List_Menu_Str = hold({QStringLiteral("MENU_STR"), QStringLiteral("MENU_RAZDEL"), QStringLiteral("MENU"), QStringLiteral("ING"),
                          QStringLiteral("ING_SKLAD")});
    Q_Firma_Menu = List_Firma_Menu->query();
    Q_Menu = List_Menu->query();
    Q_Menu_Razdel = List_Menu_Razdel->query();
    Q_Menu_Str = List_Menu_Str->query();
    menus::InstallCenaMenu(Q_Menu_Str, [] { return engine::ProgramContext(); });
    Q_Firma_Menu->setSql(QStringLiteral("select * from FIRMA WHERE LOCAL_FIRMA = 1 order by NAME"));
}

qint64 TMenusTab::firmaKey() const { return cat::KeyOf(Q_Firma_Menu); }

QString TMenusTab::firmaName() const { return textOf(Q_Firma_Menu, "NAME"); }

qint64 TMenusTab::menuKey() const { return cat::KeyOf(Q_Menu); }

qint64 TMenusTab::razdelKey() const { return cat::KeyOf(Q_Menu_Razdel); }

menus::MenuData TMenusTab::menuRow() const
{
    menus::MenuData d;
    d.name = textOf(Q_Menu, "NAME");
    d.date = dateOf(Q_Menu, "DATE_MENU");
    d.percent = intOf(Q_Menu, "PERCENT");
    d.firma = cat::HasRow(Q_Menu) ? Q_Menu->field(QStringLiteral("KOD_FIRMA")).asInt64() : 0;
    d.noRound = intOf(Q_Menu, "NO_ROUND");
    return d;
}

menus::RazdelData TMenusTab::razdelRow() const
{
    menus::RazdelData d;
    d.name = textOf(Q_Menu_Razdel, "NAME");
    d.sort = intOf(Q_Menu_Razdel, "MY_SORT");
    d.menu = cat::HasRow(Q_Menu_Razdel) ? Q_Menu_Razdel->field(QStringLiteral("KOD_MENU")).asInt64() : 0;
    d.otdel = cat::HasRow(Q_Menu_Razdel) ? Q_Menu_Razdel->field(QStringLiteral("KOD_OTDEL")).asInt64() : 0;
    return d;
}

QString TMenusTab::razdelOtdelName() const { return textOf(Q_Menu_Razdel, "NAME_O"); }

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

    Grid_Firma_M->setQuery(Q_Firma_Menu);
    cat::SetColumns(Grid_Firma_M, {{QStringLiteral("NAME"), QStringLiteral("Предприятие"), 200}});
    Grid_Menu->setQuery(Q_Menu);
    cat::SetColumns(Grid_Menu, {{QStringLiteral("NAME"), QStringLiteral("Меню"), 150},
                                {QStringLiteral("DATE_MENU"), QStringLiteral("Дата"), cat::DateColumnWidth(Grid_Menu, 75),
                                 QStringLiteral("dd.mm.yyyy")},
                                {QStringLiteral("PERCENT"), QStringLiteral("% надб."), 50}},
                    true);
    Grid_R_Menu->setQuery(Q_Menu_Razdel);
    cat::SetColumns(Grid_R_Menu, {{QStringLiteral("NAME"), QStringLiteral("Раздел меню"), 220},
                                  {QStringLiteral("NAME_O"), QStringLiteral("Подразделение"), 160},
                                  {QStringLiteral("MY_SORT"), QStringLiteral("Порядок"), 60}});
    Grid_R_Menu->datasetModel()->setCellStyle(&TMenusTab::RazdelCellStyle);
    Grid_S_Menu->setQuery(Q_Menu_Str);
    cat::SetColumns(Grid_S_Menu, {{QStringLiteral("NAME1"), QStringLiteral("Блюдо"), 240},
                                  {QStringLiteral("VIHOD_BLUDA"), QStringLiteral("Выход"), 90},
                                  {QStringLiteral("MY_CENA"), QStringLiteral("Цена"), 70, db::kPriceDisplay},
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
    // Each list is read again on the row it stood on while its master is the same.
    const qint64 stood = cat::KeyOf(Q_Firma_Menu);
    Q_Firma_Menu->close();
    Q_Firma_Menu->open();
    cat::StandAgain(Q_Firma_Menu, stood);
    Open_FirmaMenus();
}

// ---- list builders ----

void TMenusTab::Open_FirmaMenus()
{
    if (!StartupDone)
        return;
    const qint64 stood = cat::KeyOf(Q_Menu);
    Q_Menu->close();
    followedFirma_ = cat::KeyOf(Q_Firma_Menu);
    if (!cat::HasRow(Q_Firma_Menu)) {
        // No enterprise: nothing of another one's menus stays on show.
        Q_Menu_Str->close();
        Q_Menu_Razdel->close();
        return;
    }
    Form_Base->OpenRead(Q_Menu, QStringLiteral("SELECT * FROM MENU WHERE KOD_FIRMA = ") + Key(cat::KeyOf(Q_Firma_Menu)) +
                                    QStringLiteral("\nORDER BY DATE_MENU, NAME"));
    cat::StandAgain(Q_Menu, stood);
    Grid_Menu->release();
    Timer_Menu_Razdel->stop();
    Timer_Menu_RazdelTimer();
}

void TMenusTab::Open_MenuRazdel()
{
    Timer_Menu_Razdel->stop();
    followedMenu_ = cat::KeyOf(Q_Menu);
    if (!cat::HasRow(Q_Menu)) {
        Q_Menu_Str->close();
        Q_Menu_Razdel->close();
        return;
    }
    const qint64 stood = cat::KeyOf(Q_Menu_Razdel);
    Form_Base->OpenRead(Q_Menu_Razdel,
                        QStringList{QStringLiteral("select MENU_RAZDEL.*, OTDEL.NAME AS NAME_O from MENU_RAZDEL"),
                                    QStringLiteral("LEFT OUTER JOIN OTDEL ON OTDEL.KOD = MENU_RAZDEL.KOD_OTDEL"),
                                    QStringLiteral("WHERE KOD_MENU = ") + Key(cat::KeyOf(Q_Menu)), QStringLiteral("ORDER BY MY_SORT")}
                            .join(QLatin1Char('\n')));
    cat::StandAgain(Q_Menu_Razdel, stood);
    Timer_Menu_Str->stop();
    Timer_Menu_StrTimer();
}

void TMenusTab::Open_MenuStr()
{
    Timer_Menu_Str->stop();
    followedRazdel_ = cat::KeyOf(Q_Menu_Razdel);
    if (!cat::HasRow(Q_Menu_Razdel)) {
        Q_Menu_Str->close();
        return;
    }
    const qint64 stood = Q_Menu_Str->active() ? cat::KeyOf(Q_Menu_Str) : dishStood_;
    menus::OpenMenuStr(Q_Menu_Str, cat::KeyOf(Q_Menu_Razdel));
    cat::StandAgain(Q_Menu_Str, stood);
}

void TMenusTab::keepDishAndClose()
{
    if (Q_Menu_Str->active())
        dishStood_ = cat::KeyOf(Q_Menu_Str);
    Q_Menu_Str->close();
}

// ---- moves and timers ----

void TMenusTab::Q_Firma_MenuAfterScroll()
{
    if (List_Firma_Menu->reopening())
        return;
    followedFirma_ = cat::KeyOf(Q_Firma_Menu);
    Timer_Menu->stop();
    if (inside(Q_Firma_Menu)) {
        Grid_Menu->greyOut();
        Grid_R_Menu->greyOut();
        Grid_S_Menu->greyOut();
    }
    Timer_Menu->start();
}

void TMenusTab::Q_MenuBeforeScroll()
{
    if (List_Menu->reopening())
        return;
    if (!StartupDone || !inside(Q_Menu))
        return;
    Timer_Menu_Razdel->stop();
    Timer_Menu_Str->stop();
    Grid_R_Menu->greyOut();
    Grid_S_Menu->greyOut();
}

void TMenusTab::Q_MenuAfterScroll()
{
    if (List_Menu->reopening())
        return;
    if (!StartupDone || !tabShown())
        return;
    followedMenu_ = cat::KeyOf(Q_Menu);
    keepDishAndClose();
    Timer_Menu_Razdel->start();
}

void TMenusTab::Q_Menu_RazdelAfterScroll()
{
    if (List_Menu_Razdel->reopening())
        return;
    if (!StartupDone)
        return;
    // A long operation walks the sections under the progress window.
    if (Form_Gauge && Form_Gauge->isVisible())
        return;
    if (inside(Q_Menu_Razdel)) {
        Timer_Menu_Str->stop();
        Grid_S_Menu->greyOut();
    }
    if (tabShown()) {
        followedRazdel_ = cat::KeyOf(Q_Menu_Razdel);
        keepDishAndClose();
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
    if (!cat::HasRow(Q_Menu)) {
        // An enterprise without menus shows no sections or dishes.
        followedMenu_ = 0;
        Q_Menu_Str->close();
        Q_Menu_Razdel->close();
        return;
    }
    Grid_R_Menu->release();
    Grid_S_Menu->release();
    Open_MenuRazdel();
}

void TMenusTab::Timer_Menu_StrTimer()
{
    Timer_Menu_Str->stop();
    if (!cat::HasRow(Q_Menu_Razdel)) {
        followedRazdel_ = 0;
        Q_Menu_Str->close();
        return;
    }
    Grid_S_Menu->release();
    Open_MenuStr();
}

// ---- menus ----

// The dialogs write and commit; the lists have reloaded by then, and a new
// row becomes the current one.
void TMenusTab::Btn_Add_MenuClick() { AddDetailRow(Form_Menu, Q_Firma_Menu, Q_Menu, Grid_Menu); }

void TMenusTab::Btn_Upd_MenuClick() { EditListRow(Form_Menu, Q_Menu, Grid_Menu, false); }

void TMenusTab::Btn_Del_MenuClick()
{
    if (!cat::HasRow(Q_Menu))
        return;
    const int choice = cat::ChooseRG(QString(), {QStringLiteral("Удалить выбранное меню"), QStringLiteral("Удалить за период")});
    if (choice == 0)
        Del_Menu_One();
    else if (choice == 1)
        Del_Menu_Period();
}

void TMenusTab::Del_Menu_One()
{
    db::Query* q = Q_Menu;
    if (!Msg::confirmDestructive(QStringLiteral("Вы действительно желаете удалить это меню ?"),
                                 QStringLiteral("Удаление меню")))
        return;
    List_Menu->standOn(db::KeyBefore(q));
    menus::DeleteMenu(cat::KeyOf(q), textOf(q, "NAME"), dateOf(q, "DATE_MENU"));
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
    if (!Msg::confirmDestructive(question, QStringLiteral("Удаление меню")))
        return;
    if (menus::DeleteMenusOfPeriod(all, from, to) == 0)
        Msg::notice(all ? QStringLiteral("Ничего не удалено: в базе данных нет ни одного меню.")
                        : QStringLiteral("Ничего не удалено: в базе данных нет меню за период с ") +
                              from.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" по ") +
                              to.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("."));
}

void TMenusTab::Btn_Copy_MenuClick()
{
    db::Query* q = Q_Menu;
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
    menus::CopyMenu(cat::KeyOf(q), textOf(q, "NAME"), n->Edit1->text());
}

// ---- sections ----

void TMenusTab::Btn_Add_R_MenuClick() { AddDetailRow(Form_Menu_R, Q_Menu, Q_Menu_Razdel, Grid_R_Menu); }

void TMenusTab::Btn_Upd_R_MenuClick() { EditListRow(Form_Menu_R, Q_Menu_Razdel, Grid_R_Menu, false); }

void TMenusTab::Btn_Del_R_MenuClick()
{
    db::Query* r = Q_Menu_Razdel;
    if (!cat::HasRow(r))
        return;
    if (!Msg::confirmDestructive(QStringLiteral("Вы действительно желаете удалить раздел ?"),
                                 QStringLiteral("Удаление раздела меню")))
        return;
    List_Menu_Razdel->standOn(db::KeyBefore(r));
    menus::DeleteRazdel(cat::KeyOf(r), textOf(r, "NAME"), textOf(Q_Menu, "NAME"), dateOf(Q_Menu, "DATE_MENU"));
}

void TMenusTab::Btn_OpenGRClick()
{
    db::Query* r = Q_Menu_Razdel;
    if (!cat::HasRow(r))
        return;
    menus::SwitchRazdel(cat::KeyOf(r), r->field(QStringLiteral("IS_ACTIVE")).asInt(), textOf(r, "NAME"), textOf(Q_Menu, "NAME"));
}

// ---- dishes ----

void TMenusTab::Btn_Edit_MenuClick()
{
    if (!cat::HasRow(Q_Menu_Razdel)) {
        Msg::notice(QStringLiteral("Сначала создайте хотябы один раздел меню/наряда !"));
        return;
    }
    Msg::execModal(Form_Menu_S);
}

void TMenusTab::Btn_Edit_BludoClick()
{
    db::Query* s = Q_Menu_Str;
    if (!cat::HasRow(Q_Menu) || !cat::HasRow(s))
        return;
    // The dish's row in the section's department; its commit reloads the list
    // with the new selling price and menu price.
    if (!ingsklad::EditDepartmentRow(s->field(QStringLiteral("KOD_ING_SKLAD")).asInt64()).accepted)
        return;
    Grid_S_Menu->setFocus();
}

void TMenusTab::Btn_Move_Bludo_MenuClick()
{
    db::Query* s = Q_Menu_Str;
    if (!cat::HasRow(Q_Menu) || !cat::HasRow(s))
        return;
    TForm_MoveMenu* f = Form_MoveMenu;
    f->AttachData();
    db::Query* q = f->Q_MoveMenu;
    q->close();
    q->setSql(QStringLiteral("SELECT NAME, KOD FROM MENU_RAZDEL WHERE KOD_MENU = ") + Key(cat::KeyOf(Q_Menu)));
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
    List_Menu_Str->standOn(db::KeyBefore(s));
    menus::MoveDish(kod, target, name, f->TargetRazdelName);
}

void TMenusTab::Btn_OtklClick()
{
    db::Query* s = Q_Menu_Str;
    if (!cat::HasRow(s))
        return;
    menus::SwitchDish(cat::KeyOf(s), s->field(QStringLiteral("MY_ACTIVE")).value(), textOf(s, "NAME1"));
}

// ---- out of the tab ----

void TMenusTab::Btn_Sent_MenuClick() { notBuilt(QStringLiteral("Передача меню в программы реализации")); }

void TMenusTab::Btn_Print_MenuClick()
{
    if (!cat::HasRow(Q_Menu) || !cat::HasRow(Q_Menu_Razdel))
        return;
    // The menu and the CSV file go through every section: the tab stands on the first one after them.
    if (printing::Btn_Print_MenuClick(cat::KeyOf(Q_Menu)) && cat::HasRow(Q_Menu_Razdel)) {
        Q_Menu_Razdel->first();
        Open_MenuStr();
    }
}

// ---- calls of other subsystems ----

void catalogue::StandMenusTabOnSection(qint64 section)
{
    db::Query* razdel = MenusTab ? MenusTab->Q_Menu_Razdel : nullptr;
    if (!razdel || !razdel->active() || razdel->isEmpty())
        return;
    if (section == 0 || !razdel->locate(QStringLiteral("KOD"), QVariant::fromValue(section)))
        razdel->first();
}

qint64 catalogue::MenusTabMenu() { return MenusTab ? MenusTab->menuKey() : 0; }
