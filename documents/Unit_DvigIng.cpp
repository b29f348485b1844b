#include "Unit_DvigIng.h"

#include "CatalogueUi.h"
#include "Unit_ProductsTab.h"
#include "Unit_SelectFirma.h"
#include "Unit_SelectOtdel.h"
#include "base/Unit_Base.h"
#include "entries/CurrentStructure.h"
#include "ui/Scaling.h"
#include "ui/Unit_Period.h"
#include "util/Clock.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

FirstUse<TForm_DvigIng> Form_DvigIng;

namespace {
const QString kAllOtdel = QStringLiteral("Все подразделения");

void filterRow(QWidget* parent, QGridLayout* grid, int row, const QString& caption, QLineEdit*& text, QCheckBox*& all,
               QPushButton*& select)
{
    grid->addWidget(new QLabel(caption, parent), row, 0);
    text = new QLineEdit(parent);
    text->setReadOnly(true);
    cat::ShowNamesFromStart(text);
    text->setAccessibleName(caption);
    all = new QCheckBox(QStringLiteral("Все"), parent);
    all->setAccessibleName(caption + QStringLiteral(": все"));
    select = new QPushButton(QStringLiteral("Выбор"), parent);
    select->setAccessibleName(caption + QStringLiteral(": выбор"));
    grid->addWidget(text, row, 1);
    grid->addWidget(all, row, 2);
    grid->addWidget(select, row, 3);
}

} // namespace

TForm_DvigIng::TForm_DvigIng(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Движение продукта"));
    QMyMoves = new db::Query(Form_Base->MyDB, Form_Base->TransactionRead, this);
    QMyMoves->addCalcField(QStringLiteral("PR"));
    QMyMoves->onCalcFields = &TForm_DvigIng::QMyMovesCalcFields;

    auto* layout = new QVBoxLayout(this);
    auto* filters = new QGridLayout;
    filterRow(this, filters, 0, QStringLiteral("Предприятие"), P_F, CB_F, Btn_SelectF);
    filterRow(this, filters, 1, QStringLiteral("Подразделение"), P_O, CB_O, Btn_SelectO);
    filterRow(this, filters, 2, QStringLiteral("Предприятие - Контрагент"), P_K, CB_K, Btn_SelectK);
    filterRow(this, filters, 3, QStringLiteral("Период"), P_D, CB_D, Btn_SelectD);
    filters->setColumnStretch(1, 1);
    layout->addLayout(filters);
    BitBtn1 = new QPushButton(QStringLiteral("Показать"), this);
    auto* showRow = new QHBoxLayout;
    showRow->addStretch();
    showRow->addWidget(BitBtn1);
    layout->addLayout(showRow);

    DBGrid1 = new db::DbGrid(this);
    DBGrid1->setAccessibleName(QStringLiteral("Строки движения"));
    DBGrid1->setQuery(QMyMoves);
    DBGrid1->setColumns({{QStringLiteral("DATE_DOC"), QStringLiteral("Дата"), 80, QStringLiteral("dd.mm.yyyy")},
                         {QStringLiteral("NAME_D"), QStringLiteral("№ документа"), 200},
                         {QStringLiteral("SHORT_NAME"), QStringLiteral("Ед.изм."), 60},
                         {QStringLiteral("KOLVO"), QStringLiteral("Кол-во"), 90, db::kQuantityDisplay, Qt::AlignRight},
                         {QStringLiteral("CENA"), QStringLiteral("Цена"), 90, db::kPriceDisplay, Qt::AlignRight},
                         {QStringLiteral("SUMMA"), QStringLiteral("Сумма"), 100, QStringLiteral("0.00"), Qt::AlignRight},
                         {QStringLiteral("PR"), QStringLiteral("+/-"), 40, {}, Qt::AlignCenter}});
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(DBGrid1, 3);
    DBGrid2 = new db::DbGrid(this);
    DBGrid2->setAccessibleName(QStringLiteral("Предприятия строк"));
    DBGrid2->setQuery(QMyMoves);
    DBGrid2->setColumns({{QStringLiteral("NAME_F"), QStringLiteral("Предприятие"), 200},
                         {QStringLiteral("NAME_O"), QStringLiteral("Подразделение"), 200},
                         {QStringLiteral("NAME_K"), QStringLiteral("Предприятие - Контрагент"), 220}});
    DBGrid2->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(DBGrid2, 1);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
    // The boxes follow their state, however it changed: mouse, keyboard or an assistive tool.
    connect(CB_F, &QCheckBox::toggled, this, [this] { CB_FClick(); });
    connect(CB_O, &QCheckBox::toggled, this, [this] { CB_OClick(); });
    connect(CB_K, &QCheckBox::toggled, this, [this] { CB_KClick(); });
    connect(CB_D, &QCheckBox::toggled, this, [this] { CB_DClick(); });
    connect(Btn_SelectF, &QPushButton::clicked, this, [this] { Guard([this] { Btn_SelectFClick(); }); });
    connect(Btn_SelectO, &QPushButton::clicked, this, [this] { Guard([this] { Btn_SelectOClick(); }); });
    connect(Btn_SelectK, &QPushButton::clicked, this, [this] { Guard([this] { Btn_SelectKClick(); }); });
    connect(Btn_SelectD, &QPushButton::clicked, this, [this] { Guard([this] { Btn_SelectDClick(); }); });
    FormCreate();
}

TForm_DvigIng::~TForm_DvigIng()
{
    if (Form_DvigIng.made() == this)
        Form_DvigIng = nullptr;
}

void TForm_DvigIng::FormCreate()
{
    DateEnd = Clock::today();
    DateStart = DateEnd.addDays(-30);
    resize(820, 600);
    ScaleWindow(this, false);
}

void TForm_DvigIng::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    QMyMoves->close();
}

void TForm_DvigIng::QMyMovesCalcFields(db::Query& q)
{
    q.setCalc(QStringLiteral("PR"), q.field(QStringLiteral("TYPE_MOVES")).asInt64() == 1 ? QStringLiteral("+")
                                                                                               : QStringLiteral("-"));
}

void TForm_DvigIng::ShowMoves()
{
    QMyMoves->close();
    QMyMoves->clearSql();
    QMyMoves->addSql(QStringLiteral("select MOVES.TYPE_MOVES, MOVES.CENA, MOVES.KOLVO, MOVES.SUMMA, ING.NAME, "
                                    "DOCS.DATE_DOC, DOCS.NAME AS NAME_D,"));
    QMyMoves->addSql(QStringLiteral("ED_IZM.SHORT_NAME, EXP.NAME AS NAME_F, IMP.NAME AS NAME_K, OTDEL.NAME AS NAME_O from MOVES"));
    QMyMoves->addSql(QStringLiteral("LEFT OUTER JOIN DOCS ON DOCS.KOD = MOVES.KOD_DOC"));
    QMyMoves->addSql(QStringLiteral("LEFT OUTER JOIN ING ON ING.KOD = MOVES.KOD_ING"));
    QMyMoves->addSql(QStringLiteral("LEFT OUTER JOIN OTDEL ON OTDEL.KOD = MOVES.KOD_OTDEL"));
    QMyMoves->addSql(QStringLiteral("LEFT OUTER JOIN FIRMA EXP ON EXP.KOD = DOCS.KOD_PARTNER_EXPORT"));
    QMyMoves->addSql(QStringLiteral("LEFT OUTER JOIN FIRMA IMP ON IMP.KOD = DOCS.KOD_PARTNER_IMPORT"));
    QMyMoves->addSql(QStringLiteral("LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM"));
    QMyMoves->addSql(QStringLiteral("WHERE MOVES.KOD_ING = ") + Key(KodIng) + QStringLiteral(" AND DOCS.PROVODKA > 0"));
    if (!CB_D->isChecked())
        QMyMoves->addSql(QStringLiteral("AND DOCS.DATE_DOC >= :DS AND DOCS.DATE_DOC <= :DE"));
    if (!CB_O->isChecked())
        QMyMoves->addSql(QStringLiteral("AND MOVES.KOD_OTDEL = ") + Key(KodOtdel));
    if (!CB_F->isChecked())
        QMyMoves->addSql(QStringLiteral("AND DOCS.KOD_PARTNER_EXPORT = ") + Key(KodFirma));
    if (!CB_K->isChecked())
        QMyMoves->addSql(QStringLiteral("AND DOCS.KOD_PARTNER_IMPORT = ") + Key(KodKontragent));
    QMyMoves->addSql(QStringLiteral("ORDER BY DOCS.DATE_DOC, DOCS.TIME_DOC, DOCS.KOD_PARTNER_EXPORT, ING.NAME"));
    if (!CB_D->isChecked()) {
        QMyMoves->param(QStringLiteral("DS")).setDate(DateStart);
        QMyMoves->param(QStringLiteral("DE")).setDate(DateEnd);
    }
    QMyMoves->open();
}

void TForm_DvigIng::BitBtn1Click()
{
    if (!CB_F->isChecked() && KodFirma == 0) {
        Msg::notice(QStringLiteral("Надо выбрать предприятие !"));
        return;
    }
    if (!CB_O->isChecked() && KodOtdel == 0) {
        Msg::notice(QStringLiteral("Надо выбрать подразделение !"));
        return;
    }
    if (!CB_K->isChecked() && KodKontragent == 0) {
        Msg::notice(QStringLiteral("Надо выбрать контрагента !"));
        return;
    }
    ShowMoves();
}

void TForm_DvigIng::resetDepartment()
{
    CB_O->setChecked(true);  // first: its handler must not overwrite the text below
    KodOtdel = 0;
    P_O->setText(kAllOtdel);
    NameOtdel.clear();
    Btn_SelectO->setEnabled(false);
}

void TForm_DvigIng::showPeriod()
{
    P_D->setText(DateStart.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" .. ") +
                 DateEnd.toString(QStringLiteral("dd.MM.yyyy")));
}

void TForm_DvigIng::CB_FClick()
{
    if (CB_F->isChecked()) {
        P_F->setText(QStringLiteral("Всё предприятия"));
        Btn_SelectF->setEnabled(false);
        resetDepartment();
        CB_O->setEnabled(false);
    } else {
        P_F->setText(NameFirma);
        Btn_SelectF->setEnabled(true);
        CB_O->setEnabled(true);
    }
}

void TForm_DvigIng::CB_OClick()
{
    if (CB_O->isChecked()) {
        P_O->setText(QStringLiteral("Всё подразделения"));
        Btn_SelectO->setEnabled(false);
    } else {
        P_O->setText(NameOtdel);
        Btn_SelectO->setEnabled(true);
    }
}

void TForm_DvigIng::CB_KClick()
{
    if (CB_K->isChecked()) {
        P_K->setText(QStringLiteral("Всё контрагенты"));
        Btn_SelectK->setEnabled(false);
    } else {
        P_K->setText(NameKontragent);
        Btn_SelectK->setEnabled(true);
    }
}

void TForm_DvigIng::CB_DClick()
{
    if (CB_D->isChecked()) {
        P_D->setText(QStringLiteral("За всё время"));
        Btn_SelectD->setEnabled(false);
    } else {
        showPeriod();
        Btn_SelectD->setEnabled(true);
    }
}

void TForm_DvigIng::Btn_SelectFClick()
{
    TForm_SelectFirma* p = Form_SelectFirma;
    p->Prepare(QStringLiteral("Выбор предприятия"), 1);
    if (Msg::execModal(p) == QDialog::Accepted && !p->Q_Vibor->isEmpty()) {
        NameFirma = p->Q_Vibor->field(QStringLiteral("NAME")).asString();
        KodFirma = p->Q_Vibor->field(QStringLiteral("KOD")).asInt64();
        P_F->setText(NameFirma);
        resetDepartment();
    }
    p->Q_Vibor->close();
}

void TForm_DvigIng::Btn_SelectKClick()
{
    TForm_SelectFirma* p = Form_SelectFirma;
    p->Prepare(QStringLiteral("Выбор контрагента"), 3);
    if (Msg::execModal(p) == QDialog::Accepted && !p->Q_Vibor->isEmpty()) {
        NameKontragent = p->Q_Vibor->field(QStringLiteral("NAME")).asString();
        KodKontragent = p->Q_Vibor->field(QStringLiteral("KOD")).asInt64();
        P_K->setText(NameKontragent);
    }
    p->Q_Vibor->close();
}

void TForm_DvigIng::Btn_SelectOClick()
{
    if (KodFirma == 0) {
        Msg::notice(QStringLiteral("Не выбрано предприятие !"));
        return;
    }
    TForm_SelectOtdel* p = Form_SelectOtdel;
    Form_Base->OpenRead(p->Q_O, QStringLiteral("SELECT * FROM OTDEL WHERE KOD_FIRMA = ") + Key(KodFirma) +
                                    QStringLiteral(" ORDER BY NAME"));
    if (Msg::execModal(p) == QDialog::Accepted && !p->Q_O->isEmpty()) {
        NameOtdel = p->Q_O->field(QStringLiteral("NAME")).asString();
        KodOtdel = p->Q_O->field(QStringLiteral("KOD")).asInt64();
        P_O->setText(NameOtdel);
    }
    p->Q_O->close();
}

void TForm_DvigIng::Btn_SelectDClick()
{
    TForm_Period* p = Form_Period;
    p->CB_AllDate->setChecked(false);
    p->CB_AllDateClick();
    if (Msg::execModal(p) != QDialog::Accepted)
        return;
    if (p->CB_AllDate->isChecked()) {
        CB_D->setChecked(true);
        CB_DClick();
        return;
    }
    DateStart = p->Date_Start->date();
    DateEnd = p->Date_Finish->date();
    showPeriod();
}

void TForm_DvigIng::Prepare(qint64 ing, const QString& ingName, qint64 firma, const QString& firmaName, qint64 otdel,
                            const QString& otdelName)
{
    KodIng = ing;
    KodFirma = firma;
    NameFirma = firmaName;
    P_F->setText(firmaName);
    CB_F->setChecked(false);
    Btn_SelectF->setEnabled(true);
    CB_O->setEnabled(true);
    KodOtdel = otdel;
    NameOtdel = otdelName;
    P_O->setText(otdelName);
    CB_O->setChecked(false);
    Btn_SelectO->setEnabled(true);
    CB_K->setChecked(true);
    P_K->setText(QStringLiteral("Все контрагенты"));
    Btn_SelectK->setEnabled(false);
    CB_D->setChecked(false);
    showPeriod();
    Btn_SelectD->setEnabled(true);
    ShowMoves();
    setWindowTitle(QStringLiteral("История движения продукта << ") + ingName + QStringLiteral(" >>"));
}

// ---- the products tab's two history buttons ----

namespace {

void openHistory(qint64 ing, const QString& name)
{
    const catalogue::CurrentStructure at = catalogue::CurrentStructureRows();
    Form_DvigIng->Prepare(ing, name, at.firma, at.firmaName, at.otdel, at.otdelName);
    Msg::execModal(Form_DvigIng);
}

} // namespace

void CreateHistoryWindow()
{
    Form_DvigIng.make();
    if (ProductsTab) {
        ProductsTab->hooks.dvigIngClick = openHistory;
        ProductsTab->hooks.dvigIng2Click = openHistory;
    }
}

void DestroyHistoryWindow()
{
    if (ProductsTab) {
        ProductsTab->hooks.dvigIngClick = nullptr;
        ProductsTab->hooks.dvigIng2Click = nullptr;
    }
    Form_DvigIng.destroy();
}
