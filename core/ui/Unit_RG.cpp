#include "Unit_RG.h"

#include "Scaling.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

TForm_RG* Form_RG = nullptr;

TForm_RG::TForm_RG(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Выбор"));
    auto* layout = new QVBoxLayout(this);
    RG = new TRadioGroup(this);
    RG->setMinimumWidth(300);
    layout->addWidget(RG);
    auto* buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Отмена"), this);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    layout->addLayout(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    adjustSize();
    ScaleWindow(this, false);
}

TForm_RG::~TForm_RG()
{
    if (Form_RG == this)
        Form_RG = nullptr;
}
