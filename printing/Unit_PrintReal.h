#pragma once

#include "entries/PrintReal.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QPushButton;
class QWidget;
class TRadioGroup;

// The print choice of the production and sales tab: the statement of the
// products, the statement of the ingredients, or the technological cards.
class TForm_PrintReal : public QDialog {
    Q_OBJECT
public:
    explicit TForm_PrintReal(QWidget* parent = nullptr);
    void BitBtn1Click();

    // The tab's current document (set before each showing).
    printing::RealPrintDocument Doc;

    TRadioGroup* RG;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
};

// The options of the two statements: the current document or a period.
class TForm_Svod : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Svod(QWidget* parent = nullptr);
    // Greys what does not apply to the current document; for a period it
    // offers the document type, and the posting state for the products statement.
    void UpdateSvodControls();
    void Btn_OkClick();

    // 0 the products statement, 1 the ingredients statement (set before each showing).
    int Choice = 0;
    // The tab's current document (set before each showing).
    printing::RealPrintDocument Doc;

    TRadioGroup* RG_What;
    QGroupBox* GroupBox1;
    QDateEdit* Date_Start;
    QDateEdit* Date_Finish;
    TRadioGroup* RG_Type;
    TRadioGroup* RG_Provodka;
    QWidget* Panel1;
    QCheckBox* CB_PrintForGroup;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

protected:
    void showEvent(QShowEvent* event) override;
};

// Both created on first use and kept while the program runs.
extern TForm_PrintReal* Form_PrintReal;
extern TForm_Svod* Form_Svod;
