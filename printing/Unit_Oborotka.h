#pragma once

// The turnover statement's options window and its product-or-group chooser.

#include "reports/Turnover.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class TRadioGroup;
namespace db {
class DbGrid;
class Query;
} // namespace db

class TForm_SelectIng : public QDialog {
    Q_OBJECT
public:
    explicit TForm_SelectIng(QWidget* parent = nullptr);

    TRadioGroup* RG;  // 0 groups, 1 products
    db::Query* GR;
    db::DbGrid* Grid_GrIng;
    db::Query* ING;
    db::DbGrid* Grid_Ing;
    QCheckBox* CB_Context;
    QLineEdit* E_Context;
    QTimer* Timer1;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;
    QPushButton* BitBtn1;

    void FormShow();
    void RGClick();
    void CB_ContextClick();
    void Timer1Timer();
    void GRAfterScroll();
    void Btn_OkClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

class TForm_Oborotka : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Oborotka(QWidget* parent = nullptr);

    QCheckBox* CB_AllFirma;
    QLabel* P_NameFirma;
    QPushButton* Btn_Firma;
    QCheckBox* CB_AllOtdel;
    QLabel* P_NameOtdel;
    QPushButton* Btn_Otdel;
    QDateEdit* Date_Start;
    QDateEdit* Date_End;
    QCheckBox* CB_Ing;
    QLabel* P_Ing;
    QPushButton* Btn_Ing;
    QComboBox* Combo_TypeDoc;
    TRadioGroup* RG_Provodka;
    TRadioGroup* RG;
    TRadioGroup* RG2;
    db::Query* Q_Vibor;
    db::DbGrid* GridFirma;
    QCheckBox* CB_Context;
    QLineEdit* E_Context;
    QTimer* Timer_Context;
    QPushButton* Btn_Add;
    QPushButton* Btn_Del;
    QPushButton* Btn_All_Add;
    QPushButton* Btn_All_Del;
    QPlainTextEdit* Memo_Filter;
    QPlainTextEdit* Memo2;
    QPlainTextEdit* Memo3;
    QCheckBox* CB_Short;
    QCheckBox* CB_Ostatki;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;
    QPushButton* BitBtn1;

    // The chosen keys (0: none); the product-or-group key keeps its kind.
    qint64 firmaKod = 0;
    qint64 otdelKod = 0;
    qint64 ingKod = 0;
    bool ingIsGroup = false;
    // The chosen counterparties, line for line with Memo_Filter.
    QVector<qint64> partners;

    // The options as the controls hold them.
    reports::TurnoverOptions Options() const;

    void FormShow();
    void FormHide();
    void CB_AllFirmaClick();
    void CB_AllOtdelClick();
    void CB_IngClick();
    void CB_ShortClick();
    void RGClick();
    void CB_ContextClick();
    void Timer_ContextTimer();
    void Btn_FirmaClick();
    void Btn_OtdelClick();
    void Btn_IngClick();
    void Btn_AddClick();
    void Btn_All_AddClick();
    void Btn_DelClick();
    void Btn_All_DelClick();
    void Btn_OkClick();
    // Checks the options, prints the statement and closes the window.
    void BuildTurnoverQuery();

    // Set by the caller for one showing: the statement by operations appends
    // its rows to this exchange table (the short form cannot be chosen).
    QString exportPath;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addPartner(int row);
};

// Both are created on first use and kept for the rest of the run.
extern TForm_Oborotka* Form_Oborotka;
extern TForm_SelectIng* Form_SelectIng;
TForm_Oborotka* OborotkaWindow();
TForm_SelectIng* SelectIngWindow();
void DestroyOborotkaWindows();
