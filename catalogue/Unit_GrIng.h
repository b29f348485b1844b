#pragma once

#include "util/FirstUse.h"

#include "ListEditDialog.h"

class QLineEdit;
class QPushButton;

// Name of a product group: a new group or the products tab's current group.
class TForm_GrIng : public TListEditDialog {
    Q_OBJECT
public:
    explicit TForm_GrIng(QWidget* parent = nullptr);

    void FormShow() override;
    void Btn_OkClick();

    QLineEdit* E_Name;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Exit;
};

extern FirstUse<TForm_GrIng> Form_GrIng;
