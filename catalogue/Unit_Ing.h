#pragma once

#include "util/FirstUse.h"

#include "ListEditDialog.h"

#include <cstdint>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
// General parameters of a product: a new product of the products tab's
// current group, or its current product. The yield percent and the gross coefficient
// (100 / yield) follow each other as either is typed.
class TForm_Ing : public TListEditDialog {
    Q_OBJECT
public:
    explicit TForm_Ing(QWidget* parent = nullptr);

    void FormShow() override;
    void FormHide();
    void Load_Ing();
    void Clear_Ing();
    void E_ProcKeyUp();
    void E_KoefKeyUp();
    void L_EdCloseUp();
    void Button1Click();
    void Btn_OkClick();

    // The yield norm or the gross coefficient was changed while the dialog was open.
    std::uint8_t NormChanged = 0;
    qint64 KodEd = 0;
    qint64 KodGroup = 0;
    int KvoPorc = 1;

    // The gross-coefficient calculator: shown with both edits empty; true on
    // OK with the gross and net amounts typed. Set by its owner.
    std::function<bool(double& brutto, double& netto)> showKBrutto;

    QLineEdit* E_Name;
    QComboBox* L_Ed;
    QLineEdit* E_Proc;
    QLineEdit* E_Koef;
    QPushButton* Button1;
    QLineEdit* E_Kalories;
    QLineEdit* E_DInfo;
    QLineEdit* E_Section;
    QLineEdit* E_Max;
    QLineEdit* E_Time;
    QLineEdit* E_Alarm;
    QCheckBox* CB_UseMenu;
    QLabel* Label8;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Exit;

protected:
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openUnits();
    db::Query* units_ = nullptr;
    // The calories as read and as shown: a field left as shown saves them as read.
    double kalories_ = 0;
    QString kaloriesShown_;
};

extern FirstUse<TForm_Ing> Form_Ing;
