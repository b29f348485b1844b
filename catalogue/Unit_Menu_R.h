#pragma once

#include "util/FirstUse.h"

#include "ListEditDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

// A section of the current menu: its name, print order and the department
// whose prices it shows.
class TForm_Menu_R : public TListEditDialog {
    Q_OBJECT
public:
    explicit TForm_Menu_R(QWidget* parent = nullptr);

    void FormShow() override;
    void Btn_OkClick();
    void Button1Click();

    QLineEdit* E_Name;
    QLineEdit* E_Sort;
    QLabel* Panel1;  // the chosen department
    QPushButton* Button1;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    // Key of the chosen department, 0 when none.
    qint64 OtdelKod = 0;
};

extern FirstUse<TForm_Menu_R> Form_Menu_R;
