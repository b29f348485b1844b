#include "Unit_Name.h"

#include "InputDialogs.h"
#include "Scaling.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

FirstUse<TForm_Name> Form_Name;

bool IsPlainDigits(const QString& text)
{
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

TForm_Name::TForm_Name(QWidget* parent) : QDialog(parent)
{
    auto* layout = new QVBoxLayout(this);
    Edit1 = new QLineEdit(this);
    Edit1->setMinimumWidth(360);
    layout->addWidget(Edit1);

    DateTimePicker1 = new QDateEdit(this);
    DateTimePicker1->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->hide();
    layout->addWidget(DateTimePicker1);

    Panel2 = new QFrame(this);
    auto* panel = new QHBoxLayout(Panel2);
    panel->setContentsMargins(0, 0, 0, 0);
    Label2 = new QLabel(QStringLiteral("Порядок (целое положительное число)  --->"), Panel2);
    Edit2 = new QLineEdit(Panel2);
    Edit2->setMaximumWidth(80);
    panel->addWidget(Label2);
    panel->addWidget(Edit2);
    panel->addStretch();
    Panel2->hide();
    layout->addWidget(Panel2);

    const InputButtons buttons = AddInputButtons(this, layout);
    BitBtn1 = buttons.ok;
    BitBtn2 = buttons.cancel;
    BitBtn3 = buttons.hiddenOk;

    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });

    adjustSize();
    ScaleWindow(this, false);
}

TForm_Name::~TForm_Name()
{
    if (Form_Name.made() == this)
        Form_Name = nullptr;
}

void TForm_Name::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TForm_Name::FormShow() { Edit1->setFocus(); }

void TForm_Name::BitBtn1Click()
{
    if (Edit1->text().isEmpty() && !acceptsEmpty) {
        Msg::notice(QStringLiteral("Поле не заполнено !"));
        Edit1->setFocus();
        return;
    }
    if (!Panel2->isHidden()) {
        if (Edit2->text().isEmpty()) {
            Msg::notice(QStringLiteral("Поле не заполнено !"));
            Edit2->setFocus();
            return;
        }
        if (!IsPlainDigits(Edit2->text())) {
            Msg::notice(QStringLiteral("Только положительные целые числа !"));
            Edit2->setFocus();
            return;
        }
    }
    BitBtn3->click();
}
