#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace db {
class Query;
}

// General parameters of a product: a new product of the current group, or
// the current row of Q_Ing. The yield percent and the gross coefficient
// (100 / yield) follow each other as either is typed.
class TForm_Ing : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Ing(QWidget* parent = nullptr);

    void FormShow();
    void FormHide();
    void Load_Ing();
    void Clear_Ing();
    void E_ProcKeyUp();
    void E_KoefKeyUp();
    void L_EdCloseUp();
    void Button1Click();
    void Btn_OkClick();

    // 1 a new product in the current group, 0 the current product; set by the caller.
    std::uint8_t NewMode = 0;
    // The yield norm or the gross coefficient was changed while the dialog was open.
    std::uint8_t NormChanged = 0;
    qint64 KodEd = 0;
    qint64 KodGroup = 0;
    int KvoPorc = 1;
    // Key of the row written by the last successful save.
    qint64 SavedKod = 0;

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
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openUnits();
    db::Query* units_ = nullptr;
};

extern TForm_Ing* Form_Ing;
