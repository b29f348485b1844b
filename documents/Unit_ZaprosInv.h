#pragma once

#include "util/FirstUse.h"

#include "ui/RadioGroup.h"

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>

// How the lines of an inventory are filled: the counted quantity (zero or
// the book quantity), negative stock, hidden products.
class TForm_ZaprosInv : public QDialog {
    Q_OBJECT
public:
    explicit TForm_ZaprosInv(QWidget* parent = nullptr);
    ~TForm_ZaprosInv() override;

    TRadioGroup* RadioGroup1;
    QCheckBox* CheckBox1;
    TRadioGroup* RadioGroup2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

    void FormCreate();
    void RadioGroup1Click();

protected:
    void showEvent(QShowEvent* event) override;
};

extern FirstUse<TForm_ZaprosInv> Form_ZaprosInv;
