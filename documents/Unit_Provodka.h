#pragma once

#include "util/FirstUse.h"

#include <QDialog>

class QPushButton;
class TRadioGroup;

// "Пересчёт цены": what posting does with the receiving side's stock price.
class TForm_Provodka : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Provodka(QWidget* parent = nullptr);
    ~TForm_Provodka() override;

    TRadioGroup* RadioGroup1;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;
};

// "Снять у документа проводку": whether un-posting restores the old prices.
class TForm_DelProv : public QDialog {
    Q_OBJECT
public:
    explicit TForm_DelProv(QWidget* parent = nullptr);
    ~TForm_DelProv() override;

    TRadioGroup* RadioGroup1;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;
};

extern FirstUse<TForm_Provodka> Form_Provodka;
extern FirstUse<TForm_DelProv> Form_DelProv;
