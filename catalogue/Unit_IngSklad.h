#pragma once

#include "util/FirstUse.h"

#include "costing/DepartmentRows.h"

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TRadioGroup;

// The row of a product in one department: stock price, markup, price method
// and selling price with the calculated price shown live, write-off method,
// visibility, point-of-sale code, barcode and accounting code (each of which
// may go to all the product's rows), minimum stock. Showing the dialog writes
// nothing; OK checks the fields, saves the row, carries prices into other
// departments when asked, recomputes a raw product's prices everywhere and
// writes the protocol line with the change.
class TForm_IngSklad : public QDialog {
    Q_OBJECT
public:
    explicit TForm_IngSklad(QWidget* parent = nullptr);
    ~TForm_IngSklad() override;

    // The opener's preset of the spreading choice for the row's level and method.
    void Preset_RG_All(int myLevel, int metodCena);
    void FormShow();
    void Load_IngSklad();
    void Calc_Cena_IngSklad();
    void R_MetodClick();
    // Exit checks of the price and markup fields: false (with the message and
    // the focus back) when the field is refused.
    bool E_CenaExit();
    bool E_ProcExit();
    bool E_CenaProdExit();
    void E_CenaProdKeyUp();
    void CB_ShtrihKodClick();
    void CB_Kod1SClick();
    void Btn_OkClick();

    // The row to edit (ING_SKLAD.KOD), set by the opener before showing.
    qint64 RowKod = 0;
    // The row as it was read on showing.
    costing::DepartmentRow Row;
    // Set only while OK saves.
    std::uint8_t OkPressed = 0;

    QLabel* Panel1;
    QLineEdit* E_Cena;
    QLineEdit* E_Cena_Raschot;
    QLineEdit* E_CenaProd;
    QLineEdit* E_Proc;
    QLabel* L_Proc;
    TRadioGroup* R_Metod;
    TRadioGroup* RG_All;
    TRadioGroup* RG_NoIng;
    TRadioGroup* RG_OpenClose;
    QLineEdit* E_Kassa;
    QLineEdit* E_Skod;
    QCheckBox* CB_ShtrihKod;
    QLineEdit* E_1S;
    QCheckBox* CB_Kod1S;
    QLineEdit* E_Limit;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Exit;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Checks of OK, in order; false after the refusal.
    bool checkFields();
    // The prices shown recomputed from the fields as OK saves them.
    void showAsSaved();
    void Save_IngSklad();
    void showMarkup(double selling, double cost);
    bool composite() const { return Row.myLevel > 0; }
    bool loading_ = false;
};

extern FirstUse<TForm_IngSklad> Form_IngSklad;
