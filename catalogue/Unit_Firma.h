#pragma once

#include "util/FirstUse.h"

#include "ListEditDialog.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Details of an enterprise: a new one (own or partner) or the current row of the structure box's Q_Firma.
class TForm_Firma : public TListEditDialog {
    Q_OBJECT
public:
    explicit TForm_Firma(QWidget* parent = nullptr);

    void FormShow() override;
    void CB_LocalClick();
    void Btn_OkClick();
    void Btn_OtmenaClick();

    QLineEdit* E_Name;
    QPlainTextEdit* M_DInfo;
    QLineEdit* E_Bank;
    QLineEdit* E_Bik;
    QLineEdit* E_RS;
    QLineEdit* E_KS;
    QLineEdit* E_INN;
    QLineEdit* E_KPP;
    QLineEdit* E_Phone;
    QLineEdit* E_Jur_Addr;
    QLineEdit* E_Real_Addr;
    QCheckBox* CB_Local;
    QLineEdit* E_Otdel;
    QLineEdit* E_Sklad;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Otmena;
    QPushButton* Btn_Exit;

private:
    void setMainNamesActive(bool on);
};

extern FirstUse<TForm_Firma> Form_Firma;
