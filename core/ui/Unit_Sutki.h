#pragma once

#include "util/FirstUse.h"

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QTimeEdit>

#include <cstdint>

// A time-of-day range with the choice "Любое время суток". The callers read
// Time_Start, Time_End and AnyTime after an OK result.
class TForm_Sutki : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Sutki(QWidget* parent = nullptr);
    ~TForm_Sutki() override;

    QTimeEdit* Time_Start;
    QTimeEdit* Time_End;
    QCheckBox* CB_All;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;  // hidden OK

    // 1 any time of day, 0 the range of the two fields.
    std::uint8_t AnyTime = 1;

    void FormCreate();
    void FormShow();
    void CB_AllClick();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;
};

extern FirstUse<TForm_Sutki> Form_Sutki;
