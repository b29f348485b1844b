#include "NameInfoDialog.h"

#include "CatalogueUi.h"
#include "db/Query.h"
#include "ui/Scaling.h"
#include "util/Unit_Util.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TNameInfoDialog::TNameInfoDialog(const QString& caption, const QString& table, int nameLength, QWidget* parent)
    : TListEditDialog(parent), table_(table)
{
    setWindowTitle(caption);
    auto* top = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    E_Name = new QLineEdit(this);
    E_Name->setMaxLength(nameLength);
    M_Info = new QPlainTextEdit(this);
    form->addRow(QStringLiteral("Наименование"), E_Name);
    form->addRow(QStringLiteral("Дополнительная информация"), M_Info);
    top->addLayout(form);
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Otmena = new QPushButton(QStringLiteral("Отмена"), this);
    Btn_Exit = new QPushButton(QStringLiteral("Выход"), this);
    top->addLayout(cat::ButtonRow(Btn_Ok, {Btn_Otmena, Btn_Exit}));
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Otmena, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OtmenaClick(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    resize(480, 260);
    ScaleWindow(this, false);
}

void TNameInfoDialog::FormShow()
{
    if (NewMode == 1) {
        E_Name->clear();
        M_Info->clear();
        Shown = {};
    } else {
        Btn_OtmenaClick();
    }
    E_Name->setFocus();
}

void TNameInfoDialog::Btn_OtmenaClick()
{
    db::Query* q = List();
    const bool row = q->active() && !q->isEmpty();
    E_Name->setText(row ? q->field(QStringLiteral("NAME")).asString() : QString());
    M_Info->setPlainText(row ? q->field(QStringLiteral("DOP_INFO")).asString() : QString());
    if (NewMode != 1)
        Shown = engine::ShownRow::of(*q, table_, E_Name->text(),
                                     {{QStringLiteral("NAME"), QStringLiteral("наименование")},
                                      {QStringLiteral("DOP_INFO"), QStringLiteral("дополнительная информация")}});
}
