#pragma once

// The stock limits dialog: which rows (the warehouse, department or
// enterprise handed by the caller, or all) and whether zero limits
// count. OK builds the limits workbook; the choices stay for the next opening.

#include "workbooks/LimitsWorkbook.h"

#include <QDialog>

class QPushButton;
class TRadioGroup;

class TForm_Limit : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Limit(QWidget* parent = nullptr);

    TRadioGroup* RadioGroup1;
    TRadioGroup* RadioGroup2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

    void FormCreate();
    // The keys the dialog was opened for (0: that list is empty).
    qint64 Firma = 0;
    qint64 Otdel = 0;
    qint64 Sklad = 0;

    // Builds the workbook for the choices and the keys above.
    void BitBtn1Click();
    // The choices with the given current keys (0: the list is empty).
    workbooks::LimitOptions Options(qint64 sklad, qint64 otdel, qint64 firma) const;
};

extern TForm_Limit* Form_Limit;
