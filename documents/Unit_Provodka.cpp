#include "Unit_Provodka.h"

#include "CatalogueUi.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"

#include <QPushButton>
#include <QVBoxLayout>

FirstUse<TForm_Provodka> Form_Provodka;
FirstUse<TForm_DelProv> Form_DelProv;

namespace {

template <typename Dialog>
void build(Dialog* d, const QString& title, const QString& caption, const QStringList& items, const QString& cancel)
{
    d->setWindowTitle(title);
    auto* top = new QVBoxLayout(d);
    d->RadioGroup1 = new TRadioGroup(caption, items, d);
    d->RadioGroup1->setItemIndex(0);
    top->addWidget(d->RadioGroup1);
    d->Btn_Ok = new QPushButton(QStringLiteral("OK"), d);
    d->Btn_Cancel = new QPushButton(cancel, d);
    d->Btn_Ok->setDefault(true);
    top->addLayout(cat::ButtonRow(d->Btn_Ok, {d->Btn_Cancel}));
    QObject::connect(d->Btn_Ok, &QPushButton::clicked, d, &QDialog::accept);
    QObject::connect(d->Btn_Cancel, &QPushButton::clicked, d, &QDialog::reject);
    d->adjustSize();
    ScaleWindow(d, false);
}

} // namespace

TForm_Provodka::TForm_Provodka(QWidget* parent) : QDialog(parent)
{
    build(this, QStringLiteral("Пересчёт цены"), QStringLiteral("Действия с ценой на принимающем складе"),
          {QStringLiteral("Оставить старую цену"), QStringLiteral("Расчитать средевзвешенную"), QStringLiteral("Поставить новую")},
          QStringLiteral("Отмена"));
}

TForm_Provodka::~TForm_Provodka()
{
    if (Form_Provodka.made() == this)
        Form_Provodka = nullptr;
}

TForm_DelProv::TForm_DelProv(QWidget* parent) : QDialog(parent)
{
    build(this, QStringLiteral("Снять у документа проводку"), QStringLiteral("Если документ менял цены то:"),
          {QStringLiteral("Цены НЕ ТРОГАТЬ"), QStringLiteral("восстановить старые цены")}, QStringLiteral("Отмена"));
}

TForm_DelProv::~TForm_DelProv()
{
    if (Form_DelProv.made() == this)
        Form_DelProv = nullptr;
}
