#pragma once

#include "entries/PrintKarta.h"

#include <QDialog>

class QLabel;
class QPushButton;
class TRadioGroup;

// The costing card print dialog: the enterprise and department whose rows
// and prices the card shows, and whether semi-finished products are expanded.
class TForm_PrintKarta : public QDialog {
    Q_OBJECT
public:
    explicit TForm_PrintKarta(QWidget* parent = nullptr);

    void Btn_FirmaClick();
    void Btn_OtdelClick();
    void Btn_OkClick();

    // What the card window hands over before each showing.
    qint64 Product = 0;
    int PriceChoice = 0;

    qint64 KodFirma = 0;
    qint64 KodOtdel = 0;
    QLabel* P_Firma;
    QLabel* P_Otdel;
    QPushButton* Btn_Firma;
    QPushButton* Btn_Otdel;
    TRadioGroup* RadioGroup1;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;
};

// Created on first use and kept while the program runs.
extern TForm_PrintKarta* Form_PrintKarta;
