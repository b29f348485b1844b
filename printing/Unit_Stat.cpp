#include "Unit_Stat.h"

#include "ReportGauge.h"
#include "entries/Office.h"
#include "entries/ReportPickers.h"
#include "engine/EngineDb.h"
#include "ui/InputDialogs.h"
#include "ui/Scaling.h"
#include "util/Clock.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TForm_Stat* Form_Stat = nullptr;

namespace {

QLabel* namePanel(QWidget* parent)
{
    auto* l = new QLabel(parent);
    QFont f = l->font();
    f.setBold(true);
    f.setUnderline(true);
    l->setFont(f);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(260);
    // A long name is cut at the panel's edge rather than widening the window.
    l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return l;
}

QLineEdit* spinEdit(const QString& text, QWidget* parent)
{
    auto* e = new QLineEdit(text, parent);
    e->setReadOnly(true);
    QFont f = e->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 8);
    e->setFont(f);
    e->setAlignment(Qt::AlignCenter);
    return e;
}

QToolButton* arrow(Qt::ArrowType type, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setArrowType(type);
    return b;
}

} // namespace

TForm_Stat::TForm_Stat(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Статистика"));
    // Left through OK or Cancel only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* lay = new QVBoxLayout(this);
    auto* Label5 = new QLabel(QStringLiteral("Здесь расчитывается среднесуточное потребление продуктов за \n"
                                             "указаный период и на его основе делается прогноз на сколько \n"
                                             "суток хватит продуктов на складе. Так же составляется заявка\n"
                                             "на закупку продуктов (второй лист книги Excel). "),
                              this);
    Label5->setAlignment(Qt::AlignCenter);
    lay->addWidget(Label5);

    auto* scope = new QGridLayout;
    CB_AllFirma = new QCheckBox(QStringLiteral("Все предприятия"), this);
    CB_AllFirma->setChecked(true);
    P_NameFirma = namePanel(this);
    Btn_Firma = new QPushButton(QStringLiteral("Выбор"), this);
    Btn_Firma->setEnabled(false);
    CB_AllOtdel = new QCheckBox(QStringLiteral("Все подразделения"), this);
    CB_AllOtdel->setChecked(true);
    CB_AllOtdel->setEnabled(false);
    P_NameOtdel = namePanel(this);
    Btn_Otdel = new QPushButton(QStringLiteral("Выбор"), this);
    Btn_Otdel->setEnabled(false);
    scope->addWidget(CB_AllFirma, 0, 0);
    scope->addWidget(new QLabel(QStringLiteral("Предприятие"), this), 0, 1);
    scope->addWidget(P_NameFirma, 0, 2);
    scope->addWidget(Btn_Firma, 0, 3);
    scope->addWidget(CB_AllOtdel, 1, 0);
    scope->addWidget(new QLabel(QStringLiteral("Подразделение (Отдел)"), this), 1, 1);
    scope->addWidget(P_NameOtdel, 1, 2);
    scope->addWidget(Btn_Otdel, 1, 3);
    scope->setColumnStretch(2, 1);
    lay->addLayout(scope);

    auto* dates = new QHBoxLayout;
    Date_Start = new QDateEdit(this);
    Date_End = new QDateEdit(this);
    for (QDateEdit* d : {Date_Start, Date_End}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    }
    dates->addWidget(new QLabel(QStringLiteral("Начало периода"), this));
    dates->addWidget(Date_Start);
    dates->addWidget(new QLabel(QStringLiteral("Конец периода"), this));
    dates->addWidget(Date_End);
    dates->addStretch();
    lay->addLayout(dates);

    CB_Local = new QCheckBox(QStringLiteral("Внутреннее перемещение не учитывается"), this);
    CB_Bludo = new QCheckBox(QStringLiteral("Учитывать только элементарные продукты"), this);
    CB_Okrug = new QCheckBox(QStringLiteral("Округлять до целых единиц"), this);
    CB_Red = new QCheckBox(QStringLiteral("При расчёте заявки, отрицательные остатки считать как 0"), this);
    for (QCheckBox* c : {CB_Local, CB_Bludo, CB_Okrug, CB_Red}) {
        c->setChecked(true);
        lay->addWidget(c);
    }

    auto* percent = new QHBoxLayout;
    Edit_Percent = spinEdit(QStringLiteral("5"), this);
    SpinButton1Up = arrow(Qt::UpArrow, this);
    SpinButton1Down = arrow(Qt::DownArrow, this);
    auto* spin1 = new QVBoxLayout;
    spin1->addWidget(SpinButton1Up);
    spin1->addWidget(SpinButton1Down);
    percent->addWidget(Edit_Percent);
    percent->addLayout(spin1);
    percent->addWidget(new QLabel(QStringLiteral("Процент перестраховки. Этот показатель увеличивает\n"
                                                 "на указанное число процентов количество продуктов\n"
                                                 "в Вашей заявке на пополнение склада"),
                                  this));
    percent->addStretch();
    lay->addLayout(percent);

    auto* days = new QHBoxLayout;
    Edit_Days = spinEdit(QStringLiteral("7"), this);
    SpinButton2Up = arrow(Qt::UpArrow, this);
    SpinButton2Down = arrow(Qt::DownArrow, this);
    auto* spin2 = new QVBoxLayout;
    spin2->addWidget(SpinButton2Up);
    spin2->addWidget(SpinButton2Down);
    days->addWidget(new QLabel(QStringLiteral("Заявка для обеспечения продуктами на "), this));
    days->addWidget(Edit_Days);
    days->addLayout(spin2);
    days->addWidget(new QLabel(QStringLiteral("дней"), this));
    days->addStretch();
    lay->addLayout(days);

    const OkCancelRow buttons = AddOkCancelRow(this, lay);
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;

    connect(CB_AllFirma, &QCheckBox::toggled, this, &TForm_Stat::CB_AllFirmaClick);
    connect(CB_AllOtdel, &QCheckBox::toggled, this, &TForm_Stat::CB_AllOtdelClick);
    connect(Btn_Firma, &QPushButton::clicked, this, [this] { Guard([this] { Btn_FirmaClick(); }); });
    connect(Btn_Otdel, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OtdelClick(); }); });
    connect(SpinButton1Up, &QToolButton::clicked, this, &TForm_Stat::SpinButton1UpClick);
    connect(SpinButton1Down, &QToolButton::clicked, this, &TForm_Stat::SpinButton1DownClick);
    connect(SpinButton2Up, &QToolButton::clicked, this, &TForm_Stat::SpinButton2UpClick);
    connect(SpinButton2Down, &QToolButton::clicked, this, &TForm_Stat::SpinButton2DownClick);
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

void TForm_Stat::FormCreate()
{
    KodFirma = 0;
    KodOtdel = 0;
    resize(sizeHint());
    ScaleWindow(this, false);
    // Three digits in the edits' grown font.
    for (QLineEdit* e : {Edit_Percent, Edit_Days})
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    const QDate today = Clock::today();
    Date_Start->setDate(today.addDays(-7));
    Date_End->setDate(today);
}

void TForm_Stat::CB_AllFirmaClick()
{
    if (CB_AllFirma->isChecked()) {
        CB_AllOtdel->setChecked(true);  // its own handler runs when this changes it
        CB_AllOtdel->setEnabled(false);
        KodOtdel = 0;
        P_NameOtdel->clear();
        KodFirma = 0;
        P_NameFirma->clear();
        Btn_Firma->setEnabled(false);
    } else {
        Btn_Firma->setEnabled(true);
        CB_AllOtdel->setEnabled(true);
    }
}

void TForm_Stat::CB_AllOtdelClick()
{
    if (CB_AllOtdel->isChecked()) {
        KodOtdel = 0;
        P_NameOtdel->clear();
        Btn_Otdel->setEnabled(false);
    } else {
        Btn_Otdel->setEnabled(true);
    }
}

void TForm_Stat::Btn_FirmaClick()
{
    printing::ReportPickers* pickers = printing::RegisteredReportPickers();
    if (!pickers)
        return Msg::notBuilt(Btn_Firma->text());
    qint64 kod = 0;
    QString name;
    if (!pickers->firma(kod, name))
        return;
    P_NameFirma->setText(name);
    KodFirma = kod;
    KodOtdel = 0;
    P_NameOtdel->clear();
}

void TForm_Stat::Btn_OtdelClick()
{
    if (KodFirma == 0) {
        Msg::notice(QStringLiteral("Не выбрано предприятие !"));
        return;
    }
    printing::ReportPickers* pickers = printing::RegisteredReportPickers();
    if (!pickers)
        return Msg::notBuilt(Btn_Otdel->text());
    qint64 kod = 0;
    QString name;
    if (!pickers->otdel(KodFirma, printing::ReportPickers::Order::ByName, kod, name))
        return;
    P_NameOtdel->setText(name);
    KodOtdel = kod;
}

void TForm_Stat::SpinButton1UpClick()
{
    const int percent = Edit_Percent->text().toInt();
    if (percent < 50)
        Edit_Percent->setText(QString::number(percent + 1));
}

void TForm_Stat::SpinButton1DownClick()
{
    if (Edit_Percent->text() > QStringLiteral("0"))
        Edit_Percent->setText(QString::number(Edit_Percent->text().toInt() - 1));
}

void TForm_Stat::SpinButton2UpClick() { Edit_Days->setText(QString::number(Edit_Days->text().toInt() + 1)); }

void TForm_Stat::SpinButton2DownClick()
{
    if (Edit_Days->text() > QStringLiteral("1"))
        Edit_Days->setText(QString::number(Edit_Days->text().toInt() - 1));
}

workbooks::StatOptions TForm_Stat::Options() const
{
    workbooks::StatOptions o;
    o.allFirma = CB_AllFirma->isChecked();
    o.firma = KodFirma;
    o.allOtdel = CB_AllOtdel->isChecked();
    o.otdel = KodOtdel;
    o.start = Date_Start->date();
    o.end = Date_End->date();
    o.local = CB_Local->isChecked();
    o.rawOnly = CB_Bludo->isChecked();
    o.okrug = CB_Okrug->isChecked();
    o.red = CB_Red->isChecked();
    o.percent = Edit_Percent->text().toInt();
    o.days = Edit_Days->text().toInt();
    return o;
}

void TForm_Stat::Btn_OkClick()
{
    if (Date_End->date() < Date_Start->date()) {
        Msg::notice(QStringLiteral("Дата начала периода должна быть меньше или равна дате конца периода !"));
        return;
    }
    if (!CB_AllFirma->isChecked() && KodFirma == 0) {
        Msg::notice(QStringLiteral("Не выбрано предприятие !"));
        return;
    }
    if (!CB_AllOtdel->isChecked() && KodOtdel == 0) {
        Msg::notice(QStringLiteral("Не выбран отдел !"));
        return;
    }
    // A failure leaves the window open.
    printing::WriteWorkbook([&](const reports::Progress& gauge) {
        return workbooks::stat::Print(engine::ProgramContext(), Options(), printing::ProgramOffice(), gauge);
    });
    accept();
}

namespace printing {

void ShowStatistics()
{
    if (!Form_Stat)
        Form_Stat = new TForm_Stat;
    Msg::execModal(Form_Stat);
}

} // namespace printing
