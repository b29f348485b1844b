#include "Unit_Period.h"

#include "InputDialogs.h"
#include "Scaling.h"
#include "util/Clock.h"
#include "util/Messages.h"
#include "util/Settings.h"
#include "util/Unit_Util.h"

#include <QFormLayout>
#include <QVBoxLayout>

FirstUse<TForm_Period> Form_Period;

QString EditLockRefusal(const QDate& start)
{
    const QDate lock = MyParams->v.MyDateDocEdit;
    if (!MyParams->v.DateDocEdit || !lock.isValid() || !(start < lock))
        return {};
    return QStringLiteral("Администратор установил запрет на корректировку документов ранше даты: ") +
           lock.toString(QStringLiteral("dd.MM.yyyy"));
}

TForm_Period::TForm_Period(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Выбор периода"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    Date_Start = new QDateEdit(this);
    Date_Finish = new QDateEdit(this);
    for (QDateEdit* d : {Date_Start, Date_Finish}) {
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        d->setCalendarPopup(true);
        d->setMinimumWidth(120);
    }
    form->addRow(QStringLiteral("Начало периода"), Date_Start);
    form->addRow(QStringLiteral("Конец периода"), Date_Finish);
    layout->addLayout(form);
    CB_AllDate = new QCheckBox(QStringLiteral("Все даты"), this);
    CB_AllDate->setChecked(true);
    layout->addWidget(CB_AllDate);

    const InputButtons buttons = AddInputButtons(this, layout);
    BitBtn1 = buttons.ok;
    BitBtn2 = buttons.cancel;
    BitBtn3 = buttons.hiddenOk;

    connect(CB_AllDate, &QCheckBox::toggled, this, [this] { CB_AllDateClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });

    FormCreate();
    adjustSize();
    ScaleWindow(this, false);
}

TForm_Period::~TForm_Period()
{
    if (Form_Period.made() == this)
        Form_Period = nullptr;
}

void TForm_Period::FormCreate()
{
    AllDates = 1;
    const QDate today = Clock::today();
    Date_Start->setDate(today.addDays(-30));
    Date_Finish->setDate(today);
    CB_AllDateClick();
}

void TForm_Period::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TForm_Period::FormShow()
{
    rememberedStart_ = Date_Start->date();
    rememberedFinish_ = Date_Finish->date();
    rememberedAll_ = AllDates;
}

void TForm_Period::CB_AllDateClick()
{
    const bool all = CB_AllDate->isChecked();
    SetFieldEnabled(Date_Start, !all);
    SetFieldEnabled(Date_Finish, !all);
    AllDates = all ? 1 : 0;
}

void TForm_Period::reject()
{
    // Cancel, Escape and the window's close button all restore the remembered period.
    BitBtn2Click();
    QDialog::reject();
}

void TForm_Period::BitBtn2Click()
{
    Date_Start->setDate(rememberedStart_);
    Date_Finish->setDate(rememberedFinish_);
    AllDates = rememberedAll_;
    CB_AllDateClick();
}

void TForm_Period::BitBtn1Click()
{
    // The lock is tested on the start date even when all dates are chosen.
    const QString refusal = EditLockRefusal(Date_Start->date());
    if (!refusal.isEmpty()) {
        Msg::notice(refusal);
        return;
    }
    // With all dates the two fields are hidden and mean nothing: their order is not checked.
    if (!CB_AllDate->isChecked() && Date_Finish->date() < Date_Start->date()) {
        Msg::notice(QStringLiteral("Дата начала периода не может быть больше даты конца периода !"));
        return;
    }
    BitBtn3->click();
}
