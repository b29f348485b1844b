#include "Unit_NSection.h"

#include "ui/Scaling.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FirstUse<TForm_NSection> Form_NSection;

TForm_NSection::TForm_NSection(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Выбор номера секции для группы блюд"));
    auto* top = new QVBoxLayout(this);
    RadioGroup1 = new QGroupBox(this);
    auto* items = new QVBoxLayout(RadioGroup1);
    RadioItems = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        auto* b = new QRadioButton(QStringLiteral("№ %1").arg(i + 1), RadioGroup1);
        RadioItems->addButton(b, i);
        items->addWidget(b);
    }
    RadioItems->button(0)->setChecked(true);
    top->addWidget(RadioGroup1);
    auto* buttons = new QHBoxLayout;
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    buttons->addWidget(Btn_Ok);
    buttons->addWidget(Btn_Cancel);
    top->addLayout(buttons);
    connect(Btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(320, 220);
    ScaleWindow(this, false);
}

int TForm_NSection::ItemIndex() const { return RadioItems->checkedId(); }

void TForm_NSection::SetItemIndex(int i)
{
    if (auto* b = RadioItems->button(i))
        b->setChecked(true);
}
