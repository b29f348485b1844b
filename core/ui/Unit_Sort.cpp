#include "Unit_Sort.h"

#include "RadioGroup.h"
#include "Scaling.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

FirstUse<TForm_Sort> Form_Sort;

TForm_Sort::TForm_Sort(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Сортировка протокола"));
    auto* layout = new QVBoxLayout(this);
    RadioGroup1 = new TRadioGroup(QString(),
                                  {QStringLiteral("По дате и времени"), QStringLiteral("По действиям оператора, дате, времени"),
                                   QStringLiteral("По дате, действиям оператора, времени")},
                                  this);
    RadioGroup1->setItemIndex(0);
    layout->addWidget(RadioGroup1);
    auto* row = new QHBoxLayout;
    row->addStretch();
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);
    BitBtn1->setMinimumWidth(90);
    row->addWidget(BitBtn1);
    row->addStretch();
    layout->addLayout(row);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    adjustSize();
    ScaleWindow(this, false);
}

TForm_Sort::~TForm_Sort()
{
    if (Form_Sort.made() == this)
        Form_Sort = nullptr;
}
