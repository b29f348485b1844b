#pragma once

// The statistics window: enterprise and department, the period, four
// switches, the safety percent and the days the order covers. OK checks
// them, builds the consumption statistics and supplier order workbook and
// closes the window; its choices stay for the next opening.

#include "entries/ShowStat.h"
#include "workbooks/StatWorkbook.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class TForm_Stat : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Stat(QWidget* parent = nullptr);

    QCheckBox* CB_AllFirma;
    QLabel* P_NameFirma;
    QPushButton* Btn_Firma;
    QCheckBox* CB_AllOtdel;
    QLabel* P_NameOtdel;
    QPushButton* Btn_Otdel;
    QDateEdit* Date_Start;
    QDateEdit* Date_End;
    QCheckBox* CB_Local;
    QCheckBox* CB_Bludo;
    QCheckBox* CB_Okrug;
    QCheckBox* CB_Red;
    QLineEdit* Edit_Percent;
    QToolButton* SpinButton1Up;
    QToolButton* SpinButton1Down;
    QLineEdit* Edit_Days;
    QToolButton* SpinButton2Up;
    QToolButton* SpinButton2Down;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    qint64 KodFirma = 0;
    qint64 KodOtdel = 0;

    void FormCreate();
    void CB_AllFirmaClick();
    void CB_AllOtdelClick();
    void Btn_FirmaClick();
    void Btn_OtdelClick();
    void SpinButton1UpClick();
    void SpinButton1DownClick();
    void SpinButton2UpClick();
    void SpinButton2DownClick();
    void Btn_OkClick();

    // The options as the controls hold them.
    workbooks::StatOptions Options() const;
};

extern TForm_Stat* Form_Stat;
