#include "Unit_SelectMenu.h"

#include "CatalogueUi.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "engine/WriteRoad.h"
#include "grid/DatasetModel.h"
#include "menus/MenuPrice.h"
#include "ui/Scaling.h"
#include "grid/Greying.h"
#include "util/Globals.h"
#include "util/Unit_Util.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

FirstUse<TForm_SelectMenu> Form_SelectMenu;

namespace {

double floatOf(const db::Query& q, const QString& name)
{
    if (!q.hasField(name))
        return 0;
    const db::Field f = q.field(name);
    return f.isNull() ? 0 : f.asDouble();
}

} // namespace

TForm_SelectMenu::TForm_SelectMenu(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Выбор меню/наряда"));
    TForm_Base* b = Form_Base;
    Q_Vibor = new db::Query(b->MyDB, b->TransactionRead, this);
    Q_Vibor->setSql(QStringLiteral("SELECT * FROM MENU ORDER BY DATE_MENU"));
    Q_Menu_Razdel = new db::Query(b->MyDB, b->TransactionRead, this);
    Q_Menu_Str = new db::Query(b->MyDB, b->TransactionRead, this);
    Q_Menu_Str->addCalcField(QStringLiteral("CENA_MENU"), db::FieldKind::Float);
    Q_Menu_Str->onCalcFields = &TForm_SelectMenu::Q_Menu_StrCalcFields;

    auto* top = new QVBoxLayout(this);
    auto* split = new QSplitter(Qt::Horizontal, this);
    GridFirma = new db::DbGrid(split);
    auto* right = new QSplitter(Qt::Vertical, split);
    GridRazdel = new db::DbGrid(right);
    GridStr = new db::DbGrid(right);
    split->addWidget(GridFirma);
    split->addWidget(right);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    top->addWidget(split, 1);
    GridFirma->setQuery(Q_Vibor);
    cat::SetColumns(GridFirma, {{QStringLiteral("NAME"), QStringLiteral("Наименование"), 220},
                                {QStringLiteral("DATE_MENU"), QStringLiteral("Дата меню"), 85}});
    GridRazdel->setQuery(Q_Menu_Razdel);
    cat::SetColumns(GridRazdel, {{QStringLiteral("NAME"), QStringLiteral("Раздел меню"), 200},
                                 {QStringLiteral("NAME_O"), QStringLiteral("Подразделение"), 160}});
    GridStr->setQuery(Q_Menu_Str);
    cat::SetColumns(GridStr, {{QStringLiteral("NAME1"), QStringLiteral("Блюдо"), 220},
                              {QStringLiteral("VIHOD_BLUDA"), QStringLiteral("Выход"), 80},
                              {QStringLiteral("CENA_MENU"), QStringLiteral("Цена"), 70, QStringLiteral("0.00")}});
    for (db::DbGrid* g : {GridFirma, GridRazdel, GridStr})
        g->horizontalHeader()->setStretchLastSection(true);

    BtnOk = new QPushButton(QStringLiteral("OK"), this);
    BtnCancel = new QPushButton(QStringLiteral("Выход (отмена)"), this);
    BtnOk->setDefault(true);
    top->addLayout(cat::ButtonRow(BtnOk, {BtnCancel}));
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    GridFirma->setEditButton(BtnOk);

    Timer_Razdel = new QTimer(this);
    Timer_Str = new QTimer(this);
    for (QTimer* t : {Timer_Razdel, Timer_Str}) {
        t->setInterval(400);
        t->setSingleShot(true);
    }
    connect(Timer_Razdel, &QTimer::timeout, this, [this] { Guard([this] { Timer_RazdelTimer(); }); });
    connect(Timer_Str, &QTimer::timeout, this, [this] { Guard([this] { Timer_StrTimer(); }); });
    connect(Q_Vibor, &db::Query::afterScroll, this, &TForm_SelectMenu::Q_ViborAfterScroll);
    connect(Q_Menu_Razdel, &db::Query::afterScroll, this, &TForm_SelectMenu::Q_Menu_RazdelAfterScroll);

    resize(820, 480);
    ScaleWindow(this, true);
}

TForm_SelectMenu::~TForm_SelectMenu()
{
    if (Form_SelectMenu.made() == this)
        Form_SelectMenu = nullptr;
}

void TForm_SelectMenu::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Guard([this] { FormShow(); });
}

void TForm_SelectMenu::FormShow() { BtnOk->setEnabled(cat::HasRow(Q_Vibor)); }

void TForm_SelectMenu::Q_ViborAfterScroll()
{
    if (!StartupDone)
        return;
    Timer_Razdel->stop();
    Timer_Str->stop();
    Q_Menu_Razdel->close();
    Q_Menu_Str->close();
    GreyOut(GridRazdel);
    GreyOut(GridStr);
    Timer_Razdel->start();
}

void TForm_SelectMenu::Timer_RazdelTimer()
{
    Timer_Razdel->stop();
    Release(GridRazdel);
    Open_Razdel_Vibor();
}

void TForm_SelectMenu::Q_Menu_RazdelAfterScroll()
{
    if (!StartupDone)
        return;
    Timer_Str->stop();
    Q_Menu_Str->close();
    GreyOut(GridStr);
    Timer_Str->start();
}

void TForm_SelectMenu::Timer_StrTimer()
{
    Timer_Str->stop();
    Release(GridStr);
    Open_Str_Vibor();
}

void TForm_SelectMenu::Open_Razdel_Vibor()
{
    Timer_Razdel->stop();
    Timer_Str->stop();
    if (!cat::HasRow(Q_Vibor))
        return;
    Q_Menu_Razdel->close();
    Q_Menu_Razdel->setSql(QStringList{QStringLiteral("select MENU_RAZDEL.*, OTDEL.NAME AS NAME_O from MENU_RAZDEL"),
                                      QStringLiteral("LEFT OUTER JOIN OTDEL ON OTDEL.KOD = MENU_RAZDEL.KOD_OTDEL"),
                                      QStringLiteral("WHERE KOD_MENU = ") + Key(cat::KeyOf(Q_Vibor)),
                                      QStringLiteral("ORDER BY MY_SORT")});
    Q_Menu_Razdel->open();
    // The dishes of the first section come at once, not after the pause.
    Timer_Str->stop();
    Release(GridStr);
    Open_Str_Vibor();
}

void TForm_SelectMenu::Open_Str_Vibor()
{
    Timer_Str->stop();
    Q_Menu_Str->close();
    if (!cat::HasRow(Q_Menu_Razdel))
        return;
    Q_Menu_Str->setSql(QStringList{
        QStringLiteral("select MENU_STR.*, MENU_RAZDEL.*, MENU.PERCENT, ING.NAME AS NAME1, ING.DOP_INFO, ING.VIHOD_BLUDA, "
                       "ING_SKLAD.MY_CENA, ING_SKLAD.KOD AS KOD_ING_SKLAD, ING_SKLAD.KOD_KASSA, ING_SKLAD.S_KOD, "
                       "ING_SKLAD.METOD_CENA from MENU_STR"),
        QStringLiteral("INNER JOIN MENU_RAZDEL ON MENU_RAZDEL.KOD = MENU_STR.KOD_MENU_RAZDEL"),
        QStringLiteral("INNER JOIN ING ON ING.KOD = MENU_STR.KOD_ING"),
        QStringLiteral("INNER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD AND ING_SKLAD.KOD_OTDEL = MENU_RAZDEL.KOD_OTDEL"),
        QStringLiteral("INNER JOIN MENU ON MENU.KOD = MENU_RAZDEL.KOD_MENU"),
        QStringLiteral("WHERE MENU_STR.KOD_MENU_RAZDEL = ") + Key(cat::KeyOf(Q_Menu_Razdel)),
        QStringLiteral("ORDER BY ING.NAME")});
    Q_Menu_Str->open();
}

void TForm_SelectMenu::Q_Menu_StrCalcFields(db::Query& q)
{
    // The price the document filled from this menu will receive.
    menus::MenuLine line;
    line.price = floatOf(q, QStringLiteral("MY_CENA"));
    line.percent = static_cast<int>(floatOf(q, QStringLiteral("PERCENT")));
    line.noRound = static_cast<int>(floatOf(q, QStringLiteral("NO_ROUND")));
    line.method = static_cast<int>(floatOf(q, QStringLiteral("METOD_CENA")));
    const std::optional<double> price = menus::CenaMenu(engine::ProgramContext(), line, menus::MenuPriceUse::Document);
    q.setCalc(QStringLiteral("CENA_MENU"), price ? QVariant(*price) : QVariant());
}
