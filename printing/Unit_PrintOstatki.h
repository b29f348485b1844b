#pragma once

// The stock balance print options: the scope, the quantity filters, hidden
// products, and the summing over departments and warehouses.

#include "reports/Ostatki.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

class QButtonGroup;

class TForm_PrintOstatki : public QDialog {
    Q_OBJECT
public:
    explicit TForm_PrintOstatki(QWidget* parent = nullptr);

    // "Выводить на печать": the four scopes.
    QGroupBox* RG;
    QRadioButton* RG_Items[4];
    QButtonGroup* RG_Group;
    QCheckBox* CB_Minus;
    QCheckBox* CB_Zero;
    QCheckBox* CB_Plus;
    QCheckBox* CB_OpenClose;
    QGroupBox* GroupBox1;
    QLabel* Label1;
    QCheckBox* CB_Sum;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    int itemIndex() const;
    void setItemIndex(int item);
    void CB_SumClick();

    // The choices for the chosen enterprise, department and warehouse.
    reports::ostatki::Options options(qint64 firma, qint64 otdel, qint64 sklad) const;
};

extern TForm_PrintOstatki* Form_PrintOstatki;

namespace printing {
// The dialog, created on first use and kept for the rest of the run.
TForm_PrintOstatki* PrintOstatkiForm();
}
