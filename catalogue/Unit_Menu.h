#pragma once

#include "util/FirstUse.h"

#include "ListEditDialog.h"

class QDateEdit;
class QLineEdit;
class QPushButton;
class TRadioGroup;

// A menu's name, date, percent and rounding mode: a new menu of the current
// enterprise of the menus tab or its current menu. It also holds the global
// choice of when menus apply their percent (RG_Do), stored the moment it changes.
class TForm_Menu : public TListEditDialog {
    Q_OBJECT
public:
    explicit TForm_Menu(QWidget* parent = nullptr);

    void FormShow() override;
    void Btn_OkClick();
    void RG_DoClick();

    QLineEdit* E_Name;
    QDateEdit* DateTimePicker1;
    QLineEdit* E_Percent;
    TRadioGroup* RG_NoRound;
    TRadioGroup* RG_Do;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;
};

extern FirstUse<TForm_Menu> Form_Menu;
