#include "Unit_ZaprosInv.h"

#include "ui/InputDialogs.h"
#include "ui/Scaling.h"

#include <QLabel>
#include <QVBoxLayout>

FirstUse<TForm_ZaprosInv> Form_ZaprosInv;

TForm_ZaprosInv::TForm_ZaprosInv(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Инвентаризация"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    auto* info = new QLabel(QStringLiteral("В документе инвентаризации 4 колонки:\n"
                                           "1. Количество по документам;\n"
                                           "2. Цена по документам;\n"
                                           "3. Фактическое количество;\n"
                                           "4. Фактическая цена;\n\n"
                                           "Если Вам необходимо обнулить склад, то удобно поставить ноль.\n"
                                           "Для реальной инвентаризации удобно поставить кол-во по учёту."),
                            this);
    layout->addWidget(info);
    RadioGroup1 = new TRadioGroup(QStringLiteral("Колонка \"Факт.Кол-во\""),
                                  {QStringLiteral("Ставить ноль"), QStringLiteral("Количество по учёту")}, this);
    RadioGroup1->setItemIndex(1);
    layout->addWidget(RadioGroup1);
    CheckBox1 = new QCheckBox(QStringLiteral("Факт.кол-во ставить 0 если остаток отрицательный"), this);
    CheckBox1->setChecked(true);
    layout->addWidget(CheckBox1);
    RadioGroup2 = new TRadioGroup(QStringLiteral("Обработка скрытых документов"),
                                  {QStringLiteral("Скрытые продукты в документ инвентаризации не вносить"),
                                   QStringLiteral("Вносить в документ инвентаризации все продукты")},
                                  this);
    RadioGroup2->setItemIndex(0);
    layout->addWidget(RadioGroup2);
    layout->addSpacing(6);
    const InputButtons buttons = AddInputButtons(this, layout, true);
    BitBtn1 = buttons.ok;
    BitBtn2 = buttons.cancel;
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(RadioGroup1, &TRadioGroup::clicked, this, [this](int) { RadioGroup1Click(); });
    FormCreate();
}

TForm_ZaprosInv::~TForm_ZaprosInv()
{
    if (Form_ZaprosInv.made() == this)
        Form_ZaprosInv = nullptr;
}

void TForm_ZaprosInv::FormCreate()
{
    RadioGroup1Click();
    adjustSize();
    ScaleWindow(this, false);
}

// The dialog opens on OK whatever had the focus when it last closed: a Space
// pressed out of habit never picks "Ставить ноль", which zeroes every count.
void TForm_ZaprosInv::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    BitBtn1->setFocus();
}

void TForm_ZaprosInv::RadioGroup1Click() { CheckBox1->setVisible(RadioGroup1->itemIndex() == 1); }
