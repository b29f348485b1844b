#pragma once

#include "util/FirstUse.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// Copy of the price parameters (markup, stock price, price method, selling
// price) of a department chosen here into the products of the main window's
// current department (Tag 1) or current warehouse (Tag 2). The chosen
// enterprise and department stay for the next use.
class TForm_CopyCena : public QDialog {
    Q_OBJECT
public:
    explicit TForm_CopyCena(QWidget* parent = nullptr);
    ~TForm_CopyCena() override;

    void Btn_FirmaClick();
    void Btn_OtdelClick();
    void Btn_OkClick();

    // 1 into the current department, 2 into the current warehouse; set by the caller.
    int Tag = 1;
    // The source; 0 while not chosen.
    qint64 KodFirma = 0;
    qint64 KodOtdel = 0;

    QLabel* Label1;
    QLabel* P_Firma;
    QLabel* P_Otdel;
    QPushButton* Btn_Firma;
    QPushButton* Btn_Otdel;
    QCheckBox* CB_Zero;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Exit;
};

extern FirstUse<TForm_CopyCena> Form_CopyCena;
