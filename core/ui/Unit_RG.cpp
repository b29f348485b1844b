#include "Unit_RG.h"

#include "InputDialogs.h"
#include "Scaling.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

FirstUse<TForm_RG> Form_RG;

TForm_RG::TForm_RG(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Выбор"));
    auto* layout = new QVBoxLayout(this);
    RG = new TRadioGroup(this);
    RG->setMinimumWidth(300);
    layout->addWidget(RG);
    const InputButtons buttons = AddInputButtons(this, layout);
    BitBtn1 = buttons.ok;
    BitBtn2 = buttons.cancel;
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    adjustSize();
    ScaleWindow(this, false);
}

TForm_RG::~TForm_RG()
{
    if (Form_RG.made() == this)
        Form_RG = nullptr;
}
