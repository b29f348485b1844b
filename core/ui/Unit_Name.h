#pragma once

#include "util/FirstUse.h"

#include <QDateEdit>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// Text or number input shared by many callers: they set the caption and
// the fields, show it modally and read Edit1 (and Edit2, DateTimePicker1)
// after an OK result.
class TForm_Name : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Name(QWidget* parent = nullptr);
    ~TForm_Name() override;

    QLineEdit* Edit1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QDateEdit* DateTimePicker1;  // hidden unless the caller shows it
    QFrame* Panel2;              // order number, shown when the caller wants one
    QLabel* Label2;
    QLineEdit* Edit2;
    QPushButton* BitBtn3;        // hidden OK
    bool acceptsEmpty = false;   // set by a caller for which an empty text is an answer (a password)

    void FormShow();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;
};

extern FirstUse<TForm_Name> Form_Name;

// Whether the text is a non-negative whole number made of the digits 0 to 9 only.
bool IsPlainDigits(const QString& text);
