#pragma once

#include "util/FirstUse.h"

#include "ListEditDialog.h"

class QLineEdit;
class QPushButton;

// A unit of measure: a new one or the current row of the structure box's Q_Ed.
class TForm_Ed : public TListEditDialog {
    Q_OBJECT
public:
    explicit TForm_Ed(QWidget* parent = nullptr);

    void FormShow() override;
    void Btn_OkClick();

    QLineEdit* E_Name;
    QLineEdit* E_SName;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Exit;
};

extern FirstUse<TForm_Ed> Form_Ed;
