#include "Unit_Sutki.h"

#include "InputDialogs.h"
#include "Scaling.h"
#include "util/Clock.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QFormLayout>
#include <QVBoxLayout>

FirstUse<TForm_Sutki> Form_Sutki;

TForm_Sutki::TForm_Sutki(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Время суток"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    Time_Start = new QTimeEdit(this);
    Time_End = new QTimeEdit(this);
    for (QTimeEdit* t : {Time_Start, Time_End}) {
        t->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        t->setMinimumWidth(100);
    }
    form->addRow(QStringLiteral("От"), Time_Start);
    form->addRow(QStringLiteral("До"), Time_End);
    layout->addLayout(form);
    CB_All = new QCheckBox(QStringLiteral("Любое время суток"), this);
    CB_All->setChecked(true);
    layout->addWidget(CB_All);

    const InputButtons buttons = AddInputButtons(this, layout);
    BitBtn1 = buttons.ok;
    BitBtn2 = buttons.cancel;
    BitBtn3 = buttons.hiddenOk;

    connect(CB_All, &QCheckBox::toggled, this, [this] { CB_AllClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });

    FormCreate();
    adjustSize();
    ScaleWindow(this, false);
}

TForm_Sutki::~TForm_Sutki()
{
    if (Form_Sutki.made() == this)
        Form_Sutki = nullptr;
}

void TForm_Sutki::FormCreate()
{
    AnyTime = 1;
    CB_AllClick();
}

void TForm_Sutki::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TForm_Sutki::FormShow()
{
    const QTime now = Clock::timeOfDay();
    const QTime t(now.hour(), now.minute(), now.second());
    Time_Start->setTime(t);
    Time_End->setTime(t);
}

void TForm_Sutki::CB_AllClick()
{
    const bool any = CB_All->isChecked();
    SetFieldEnabled(Time_Start, !any);
    SetFieldEnabled(Time_End, !any);
    AnyTime = any ? 1 : 0;
}

void TForm_Sutki::BitBtn1Click()
{
    if (Time_End->time() < Time_Start->time()) {
        Msg::notice(QStringLiteral("Начало должно быть раньше окончания !"));
        return;
    }
    BitBtn3->click();
}
