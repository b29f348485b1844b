#include "Unit_Otdel.h"

#include "Structure.h"
#include "base/Unit_Base.h"
#include "ui/Scaling.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TForm_Otdel* Form_Otdel = nullptr;

TForm_Otdel::TForm_Otdel(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Подразделение (Отдел)"));
    auto* top = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    E_Name = new QLineEdit(this);
    E_Name->setMaxLength(254);
    M_Info = new QPlainTextEdit(this);
    form->addRow(QStringLiteral("Наименование"), E_Name);
    form->addRow(QStringLiteral("Дополнительная информация"), M_Info);
    top->addLayout(form);
    auto* buttons = new QHBoxLayout;
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Otmena = new QPushButton(QStringLiteral("Отмена"), this);
    Btn_Exit = new QPushButton(QStringLiteral("Выход"), this);
    buttons->addWidget(Btn_Ok);
    buttons->addStretch();
    buttons->addWidget(Btn_Otmena);
    buttons->addWidget(Btn_Exit);
    top->addLayout(buttons);
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Otmena, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OtmenaClick(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    resize(480, 260);
    ScaleWindow(this, false);
}

void TForm_Otdel::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Guard([this] { FormShow(); });
}

void TForm_Otdel::FormShow()
{
    if (NewMode == 1) {
        E_Name->clear();
        M_Info->clear();
    } else {
        Btn_OtmenaClick();
    }
    E_Name->setFocus();
}

void TForm_Otdel::Btn_OtmenaClick()
{
    db::Query* q = Form_Base->Q_Otdel;
    const bool row = q->active() && !q->isEmpty();
    E_Name->setText(row ? q->field(QStringLiteral("NAME")).asString() : QString());
    M_Info->setPlainText(row ? q->field(QStringLiteral("DOP_INFO")).asString() : QString());
}

void TForm_Otdel::Btn_OkClick()
{
    if (E_Name->text().isEmpty()) {
        Msg::notice(QStringLiteral("Нет наименования отдела !"));
        E_Name->setFocus();
        return;
    }
    if (NewMode == 1)
        Msg::notice(QStringLiteral("Всем продуктам нового отдела будут присвоены цены основного раздела предприятия. "
                                   "В дальнейшем Вы сможете их поменять."));
    db::Query* firma = Form_Base->Q_Firma;
    const qint64 firmaKod = firma->field(QStringLiteral("KOD")).asInt64();
    const QString firmaName = firma->field(QStringLiteral("NAME")).asString();
    if (NewMode == 1) {
        SavedKod = structure::CreateOtdel(firmaKod, firmaName, E_Name->text(), M_Info->toPlainText());
    } else {
        SavedKod = Form_Base->Q_Otdel->field(QStringLiteral("KOD")).asInt64();
        structure::UpdateOtdel(SavedKod, firmaKod, firmaName, E_Name->text(), M_Info->toPlainText());
    }
    accept();
}
