#include "Unit_Menu_S.h"

#include "CatalogueUi.h"
#include "MenuStore.h"
#include "Unit_MenusTab.h"
#include "Unit_ShowKarta.h"
#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "db/Query.h"
#include "engine/EngineDb.h"
#include "ui/Scaling.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QEvent>
#include <QHideEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

FirstUse<TForm_Menu_S> Form_Menu_S;

namespace {

QString textOf(const db::Query* q, const char* field)
{
    const QString f = QString::fromLatin1(field);
    return cat::HasRow(q) && q->hasField(f) ? q->field(f).asString() : QString();
}

qint64 otdelOfSection() { return MenusTab->razdelRow().otdel; }

db::DbGrid* titled(QWidget* parent, QVBoxLayout* col, int stretch)
{
    auto* g = new db::DbGrid(parent);
    col->addWidget(g, stretch);
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}

} // namespace

QVariant TForm_Menu_S::IngCellStyle(const db::Query& q, int row, const QString& field, int role)
{
    return cat::HiddenRowStyle(q, row, field, role);
}

TForm_Menu_S::TForm_Menu_S(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Выбор блюд в меню"));
    const auto timer = [this](void (TForm_Menu_S::*handler)()) {
        auto* t = new QTimer(this);
        t->setSingleShot(true);
        t->setInterval(400);
        connect(t, &QTimer::timeout, this, [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
        return t;
    };
    Timer_GrIng = timer(&TForm_Menu_S::Timer_GrIngTimer);
    Timer_Ing = timer(&TForm_Menu_S::Timer_IngTimer);
    // A move in the section list (the tab's or this window's) reloads the
    // dish list by the tab's dish timer; the warehouses follow the section's
    // department while the window is open.
    connect(MenusTab->Timer_Menu_Str, &QTimer::timeout, this, [this] {
        if (isVisible() && MenusTab->razdelKey() != 0)
            Guard([this] { Open_Sklad_Menu(); });
    });

    auto* top = new QVBoxLayout(this);
    auto* split = new QSplitter(Qt::Horizontal, this);
    top->addWidget(split, 1);

    // The menu's sections.
    auto* left = new QWidget(split);
    auto* lcol = new QVBoxLayout(left);
    lcol->setContentsMargins(0, 0, 0, 0);
    Grid_R_Menu = titled(left, lcol, 1);
    lcol->addWidget(new QLabel(QStringLiteral("Подразделение"), left));
    DBEdit1 = new QLineEdit(left);
    DBEdit1->setReadOnly(true);
    lcol->addWidget(DBEdit1);

    // The department's products.
    auto* mid = new QWidget(split);
    auto* mcol = new QVBoxLayout(mid);
    mcol->setContentsMargins(0, 0, 0, 0);
    auto* browse = new QHBoxLayout;
    auto* skladCol = new QVBoxLayout;
    auto* groupCol = new QVBoxLayout;
    Grid_Sklad_S = titled(mid, skladCol, 1);
    Grid_GrIng_S = titled(mid, groupCol, 1);
    browse->addLayout(skladCol, 1);
    browse->addLayout(groupCol, 1);
    mcol->addLayout(browse, 2);
    auto* search = new QHBoxLayout;
    CB_Context_Ing = new QCheckBox(QStringLiteral("Контекстный поиск  -->"), mid);
    E_Context_Ing = new QLineEdit(mid);
    E_Context_Ing->setMaxLength(100);
    search->addWidget(CB_Context_Ing);
    search->addWidget(E_Context_Ing, 1);
    mcol->addLayout(search);
    CB_Closed = new QCheckBox(QStringLiteral("Показывать скрытые продукты"), mid);
    mcol->addWidget(CB_Closed);
    Grid_Ing_S = titled(mid, mcol, 3);
    mcol->addWidget(new QLabel(QStringLiteral("Доп/ информация"), mid));
    D_Info = new QLineEdit(mid);
    D_Info->setReadOnly(true);
    mcol->addWidget(D_Info);

    // The section's dishes.
    auto* right = new QWidget(split);
    auto* rcol = new QVBoxLayout(right);
    rcol->setContentsMargins(0, 0, 0, 0);
    Grid_S_Menu = titled(right, rcol, 1);

    split->addWidget(left);
    split->addWidget(mid);
    split->addWidget(right);
    split->setSizes({200, 400, 400});

    Btn_Add_Ing = new QPushButton(QStringLiteral("  Добавить"), this);
    Btn_Add_Ing->setToolTip(QStringLiteral("Добавить продукт"));
    Btn_Del = new QPushButton(QStringLiteral("  Удалить"), this);
    Btn_Del->setToolTip(QStringLiteral("Удалить продукт"));
    Btn_Karta = new QPushButton(QStringLiteral("К/Карта"), this);
    Btn_Karta->setToolTip(QStringLiteral("Показать калькуляционную карту блюда"));
    Btn_Exit = new QPushButton(QStringLiteral("Выход"), this);
    Btn_Exit->setToolTip(QStringLiteral("Закрыть окно"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Btn_Add_Ing);
    buttons->addWidget(Btn_Del);
    buttons->addWidget(Btn_Karta);
    buttons->addStretch();
    buttons->addWidget(Btn_Exit);
    top->addLayout(buttons);

    TForm_Base* b = Form_Base;
    const auto hold = [this, b](QStringList tables) {
        auto* list = new db::ListHolder(b->MyDB, b->TransactionRead, this);
        list->setTables(tables);
        return list;
    };
    List_SKL = hold({QStringLiteral("SKLAD")});
    List_GrIng = hold({QStringLiteral("SKLAD_GRING"), QStringLiteral("GROUP_ING")});
    List_Ing = hold({QStringLiteral("ING"), QStringLiteral("ED_IZM"), QStringLiteral("ING_SKLAD")});
    SKL = List_SKL->query();
    GrIng = List_GrIng->query();
    Ing = List_Ing->query();
    db::Query* sections = MenusTab->Q_Menu_Razdel;
    Grid_R_Menu->setQuery(sections);
    cat::SetColumns(Grid_R_Menu, {{QStringLiteral("NAME"), QStringLiteral("Раздел меню"), 120},
                                  {QStringLiteral("MY_SORT"), QStringLiteral("Порядок"), 55}},
                    true);
    Grid_R_Menu->datasetModel()->setCellStyle(&cat::RazdelCellStyle);
    Grid_Sklad_S->setQuery(SKL);
    cat::SetColumns(Grid_Sklad_S, {{QStringLiteral("NAME"), QStringLiteral("Склад"), 150}});
    Grid_GrIng_S->setQuery(GrIng);
    cat::SetColumns(Grid_GrIng_S, {{QStringLiteral("NAME"), QStringLiteral("Группа"), 150}});
    Grid_Ing_S->setQuery(Ing);
    cat::SetColumns(Grid_Ing_S, {{QStringLiteral("NAME"), QStringLiteral("Наименование"), 200},
                                 {QStringLiteral("SHORT_NAME"), QStringLiteral("Ед.изм"), 50},
                                 {QStringLiteral("VIHOD_BLUDA"), QStringLiteral("Выход"), 70}});
    Grid_Ing_S->datasetModel()->setCellStyle(&TForm_Menu_S::IngCellStyle);
    Grid_Ing_S->setEditButton(Btn_Add_Ing);
    Grid_S_Menu->setQuery(MenusTab->Q_Menu_Str);
    cat::SetColumns(Grid_S_Menu, {{QStringLiteral("NAME1"), QStringLiteral("Блюдо"), 160},
                                  {QStringLiteral("DOP_INFO"), QStringLiteral("Доп. информация"), 100},
                                  {QStringLiteral("VIHOD_BLUDA"), QStringLiteral("Выход"), 60},
                                  {QStringLiteral("CENA_MENU"), QStringLiteral("Цена"), 60, QStringLiteral("0.00")}},
                    true);

    const auto click = [this](QPushButton* btn, void (TForm_Menu_S::*handler)()) {
        connect(btn, &QPushButton::clicked, this, [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    };
    click(Btn_Add_Ing, &TForm_Menu_S::Btn_Add_IngClick);
    click(Btn_Del, &TForm_Menu_S::Btn_DelClick);
    click(Btn_Karta, &TForm_Menu_S::Btn_KartaClick);
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    for (QCheckBox* box : {CB_Context_Ing, CB_Closed})
        connect(box, &QCheckBox::clicked, this, [this] { Guard([this] { CB_Context_IngClick(); }); });
    connect(SKL, &db::Query::currentChanged, this, [this] { Guard([this] { SKLAfterScroll(); }); });
    connect(GrIng, &db::Query::currentChanged, this, [this] { Guard([this] { GrIngAfterScroll(); }); });
    for (db::Query* q : {Ing, sections}) {
        connect(q, &db::Query::opened, this, &TForm_Menu_S::showDetails);
        connect(q, &db::Query::closed, this, &TForm_Menu_S::showDetails);
        connect(q, &db::Query::currentChanged, this, &TForm_Menu_S::showDetails);
    }
    E_Context_Ing->installEventFilter(this);

    resize(1000, 580);
    ScaleWindow(this, true);
}

void TForm_Menu_S::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Guard([this] { FormShow(); });
}

bool TForm_Menu_S::eventFilter(QObject* watched, QEvent* event)
{
    // The products follow the typing 400 ms after the last key is released.
    if (watched == E_Context_Ing) {
        if (event->type() == QEvent::KeyPress)
            Timer_Ing->stop();
        else if (event->type() == QEvent::KeyRelease)
            Timer_Ing->start();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Menu_S::hideEvent(QHideEvent* event)
{
    // Closed, the product lists wait for the next showing instead of reloading after every commit.
    Timer_GrIng->stop();
    Timer_Ing->stop();
    Ing->close();
    GrIng->close();
    SKL->close();
    QDialog::hideEvent(event);
}

void TForm_Menu_S::showDetails()
{
    DBEdit1->setText(MenusTab->razdelOtdelName());
    D_Info->setText(textOf(Ing, "DOP_INFO"));
    DBEdit1->home(false);
    D_Info->home(false);
}

void TForm_Menu_S::FormShow()
{
    Open_Sklad_Menu();
    Set_Context_Menu();
}

void TForm_Menu_S::Set_Context_Menu()
{
    const bool search = CB_Context_Ing->isChecked();
    cat::SetActive(E_Context_Ing, search);
    cat::SetActive(Grid_Sklad_S, !search);
    cat::SetActive(Grid_GrIng_S, !search);
}

void TForm_Menu_S::CB_Context_IngClick()
{
    Set_Context_Menu();
    Open_Sklad_Menu();
    if (CB_Context_Ing->isChecked())
        E_Context_Ing->setFocus();
}

// ---- lists ----

void TForm_Menu_S::Open_Sklad_Menu()
{
    SKL->close();
    if (CB_Context_Ing->isChecked()) {
        cat::SetActive(Grid_Sklad_S, false);
    } else {
        SKL->setSql(QStringLiteral("SELECT * FROM SKLAD WHERE KOD_OTDEL = ") + Key(otdelOfSection()) +
                    QStringLiteral("\nORDER BY NAME"));
        SKL->open();
        cat::SetActive(Grid_Sklad_S, true);
    }
    Timer_GrIngTimer();
}

void TForm_Menu_S::Timer_GrIngTimer()
{
    Timer_GrIng->stop();
    Timer_Ing->stop();
    Open_GrIng_Menu();
    Open_Ing_Menu();
}

void TForm_Menu_S::Timer_IngTimer()
{
    Timer_Ing->stop();
    Open_Ing_Menu();
}

void TForm_Menu_S::Open_GrIng_Menu()
{
    // A search spans every warehouse and group of the department.
    if (CB_Context_Ing->isChecked())
        return;
    Timer_GrIng->stop();
    Timer_Ing->stop();
    GrIng->close();
    if (!cat::HasRow(SKL))
        return;
    GrIng->setSql(QStringList{QStringLiteral("SELECT GROUP_ING.* FROM SKLAD_GRING"),
                              QStringLiteral("INNER JOIN GROUP_ING ON GROUP_ING.KOD = SKLAD_GRING.KOD_GRING"),
                              QStringLiteral("WHERE SKLAD_GRING.KOD_SKLAD = ") + Key(cat::KeyOf(SKL)),
                              QStringLiteral("ORDER BY NAME")});
    GrIng->open();
    cat::SetActive(Grid_GrIng_S, true);
}

void TForm_Menu_S::Open_Ing_Menu()
{
    Timer_Ing->stop();
    Ing->close();
    const bool search = CB_Context_Ing->isChecked();
    if (!search && !cat::HasRow(GrIng))
        return;
    QStringList sql{QStringLiteral("SELECT ING.*, ED_IZM.SHORT_NAME, ING_SKLAD.OPEN_CLOSE FROM ING"),
                    QStringLiteral("LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM"),
                    QStringLiteral("LEFT OUTER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD")};
    // The typed text is a parameter, matched as typed, wildcards and quotes included.
    sql << (search ? QStringLiteral("WHERE ") + engine::NameContains(QStringLiteral("ING.NAME"), QStringLiteral("S"))
                   : QStringLiteral("WHERE ING.KOD_GROUP = ") + Key(cat::KeyOf(GrIng)));
    sql << QStringLiteral("AND USE_MENU = '+'");
    sql << QStringLiteral("AND ING_SKLAD.KOD_OTDEL = ") + Key(otdelOfSection());
    if (!CB_Closed->isChecked())
        sql << QStringLiteral("AND ING_SKLAD.OPEN_CLOSE = 0");
    sql << QStringLiteral("ORDER BY ING.NAME");
    Ing->setSql(sql);
    if (search)
        Ing->param(QStringLiteral("S")).setString(engine::NameSearchText(E_Context_Ing->text()));
    Ing->open();
    cat::SetActive(Grid_Ing_S, true);
    cat::SetActive(D_Info, true);
}

void TForm_Menu_S::SKLAfterScroll()
{
    Timer_GrIng->stop();
    Timer_Ing->stop();
    GrIng->close();
    Ing->close();
    cat::SetActive(Grid_GrIng_S, false);
    cat::SetActive(Grid_Ing_S, false);
    cat::SetActive(D_Info, false);
    Timer_GrIng->start();
}

void TForm_Menu_S::GrIngAfterScroll()
{
    Timer_Ing->stop();
    Ing->close();
    cat::SetActive(Grid_Ing_S, false);
    cat::SetActive(D_Info, false);
    Timer_Ing->start();
}

// ---- dishes ----

void TForm_Menu_S::Btn_Add_IngClick()
{
    const qint64 section = MenusTab->razdelKey();
    // Nothing to add without a section and a product under the cursor.
    if (section == 0 || !cat::HasRow(Ing))
        return;
    const qint64 ing = cat::KeyOf(Ing);
    const QString name = textOf(Ing, "NAME");
    if (menus::DishInRazdel(section, ing)) {
        Msg::notice(QStringLiteral("В этом разделе меню уже имеется блюдо << ") + name + QStringLiteral(" >>"));
        return;
    }
    const menus::MenuData menu = MenusTab->menuRow();
    const qint64 line = menus::AddDish(section, ing, menu.noRound, name, MenusTab->razdelRow().name, menu.name, menu.date);
    // The commit has reloaded the section's dishes; the new one becomes the current one.
    MenusTab->Q_Menu_Str->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(line));
    Grid_S_Menu->setFocus();
}

void TForm_Menu_S::Btn_DelClick()
{
    db::Query* s = MenusTab->Q_Menu_Str;
    if (!cat::HasRow(s))
        return;
    if (!Msg::confirmDestructive(QStringLiteral("Вы действительно желаете убрать блюдо из меню ?"),
                                 QStringLiteral("Меню")))
        return;
    const qint64 kod = cat::KeyOf(s);
    const QString name = textOf(s, "NAME1");
    // The list stands on the row before after the commit reloads it (on the first row when the first one goes).
    MenusTab->List_Menu_Str->standOn(QVariant::fromValue(db::KeyBefore(s)));
    const menus::MenuData menu = MenusTab->menuRow();
    menus::RemoveDish(kod, name, MenusTab->razdelRow().name, menu.name, menu.date);
    Grid_S_Menu->setFocus();
}

void TForm_Menu_S::Btn_KartaClick()
{
    // The card of the product under the cursor of the product list.
    if (!cat::HasRow(Ing))
        return;
    TForm_ShowKarta::Execute(cat::KeyOf(Ing), Ing->field(QStringLiteral("NAME")).asString());
}
