#include "Unit_Sklad.h"

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

TForm_Sklad* Form_Sklad = nullptr;

TForm_Sklad::TForm_Sklad(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Склад"));
    auto* top = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    E_Name = new QLineEdit(this);
    E_Name->setMaxLength(100);
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

void TForm_Sklad::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Guard([this] { FormShow(); });
}

void TForm_Sklad::FormShow()
{
    if (NewMode == 1) {
        E_Name->clear();
        M_Info->clear();
    } else {
        Btn_OtmenaClick();
    }
    E_Name->setFocus();
}

void TForm_Sklad::Btn_OtmenaClick()
{
    db::Query* q = Form_Base->Q_Sklad;
    const bool row = q->active() && !q->isEmpty();
    E_Name->setText(row ? q->field(QStringLiteral("NAME")).asString() : QString());
    M_Info->setPlainText(row ? q->field(QStringLiteral("DOP_INFO")).asString() : QString());
}

void TForm_Sklad::Btn_OkClick()
{
    if (E_Name->text().isEmpty()) {
        Msg::notice(QStringLiteral("Нет наименования склада !"));
        E_Name->setFocus();
        return;
    }
    db::Query* firma = Form_Base->Q_Firma;
    db::Query* otdel = Form_Base->Q_Otdel;
    const qint64 firmaKod = firma->field(QStringLiteral("KOD")).asInt64();
    const QString firmaName = firma->field(QStringLiteral("NAME")).asString();
    const qint64 otdelKod = otdel->field(QStringLiteral("KOD")).asInt64();
    const QString otdelName = otdel->field(QStringLiteral("NAME")).asString();
    if (NewMode == 1) {
        SavedKod = structure::CreateSklad(firmaKod, otdelKod, firmaName, otdelName, E_Name->text(), M_Info->toPlainText());
    } else {
        SavedKod = Form_Base->Q_Sklad->field(QStringLiteral("KOD")).asInt64();
        structure::UpdateSklad(SavedKod, firmaKod, otdelKod, firmaName, otdelName, E_Name->text(), M_Info->toPlainText());
    }
    accept();
}
