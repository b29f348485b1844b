#pragma once

#include <QDate>
#include <QObject>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
class TRadioGroup;

// The settings controls of the settings tab (Form_Main->Sheet_Setup): each
// shows its setting and stores a change at once through its writer. The
// edit-lock date is stored when the tab is left (or the program closes
// while it is shown).
class TSettingsTab : public QObject {
    Q_OBJECT
public:
    explicit TSettingsTab(QObject* parent = nullptr);

    void R_Okrugl1Click();
    void R_Okrugl2Click();
    void RG_RodClick();
    void E_RubExit();
    void E_KopExit();
    void RG_LanguageClick();
    void RG_BruttoClick();
    void RG_ObmenClick();
    void RG_XLorOOClick();
    void CB_InvProvodkaClick();
    void CB_DelOtkatClick();
    void CB_DateDocEditClick();
    void Sheet_SetupShow();
    void Sheet_SetupHide();

    TRadioGroup* R_Okrugl1;
    TRadioGroup* R_Okrugl2;
    TRadioGroup* RG_Rod;
    QLineEdit* E_Rub;
    QLineEdit* E_Kop;
    TRadioGroup* RG_Language;
    TRadioGroup* RG_Brutto;
    TRadioGroup* RG_Obmen;
    TRadioGroup* RG_XLorOO;
    QGroupBox* GroupBox_Money;
    QGroupBox* GroupBox_More;
    QCheckBox* CB_DelOtkat;
    QCheckBox* CB_InvProvodka;
    QCheckBox* CB_DateDocEdit;
    QDateEdit* DateTimePicker1;
    QPushButton* Btn_Person;

    // The edit-lock date shown when the tab was last entered.
    QDate RememberedDate;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TSettingsTab* SettingsTab;
