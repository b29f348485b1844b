#pragma once

#include "util/FirstUse.h"

#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QDialog>
#include <QPushButton>

#include <cstdint>

// A date period with the choice "Все даты". The callers read Date_Start,
// Date_Finish and AllDates after an OK result.
class TForm_Period : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Period(QWidget* parent = nullptr);
    ~TForm_Period() override;

    QDateEdit* Date_Start;
    QDateEdit* Date_Finish;
    QCheckBox* CB_AllDate;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;  // hidden OK

    // 1 all dates, 0 the period of the two fields.
    std::uint8_t AllDates = 1;

    void FormCreate();
    void FormShow();
    void CB_AllDateClick();
    void BitBtn1Click();
    void BitBtn2Click();

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QDate rememberedStart_;
    QDate rememberedFinish_;
    std::uint8_t rememberedAll_ = 1;
};

extern FirstUse<TForm_Period> Form_Period;

// The refusal of a period that begins before the edit-lock date, or an empty
// text when the lock is off or the period begins on or after it.
QString EditLockRefusal(const QDate& start);
