#pragma once

#include "util/FirstUse.h"

#include "RadioGroup.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <optional>

// The database password dialog: the password the program connects with as
// the database administrator, written scrambled to psw.txt. Accepting it
// ends the program, which must be restarted to use the new password.
class TForm_Psw : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Psw(QWidget* parent = nullptr);
    ~TForm_Psw() override;

    QLabel* Label1;
    TRadioGroup* RadioGroup1;
    QLabel* Label2;
    QLineEdit* EPsw;
    QLabel* Label3;
    QLineEdit* EPsw2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;  // hidden OK

    void FormCreate();
    void RadioGroup1Click();
    void BitBtn1Click();
};

extern FirstUse<TForm_Psw> Form_Psw;

// The refusal of a typed password and its confirmation, checked in the
// dialog's order; true in clearEdits when both edits are emptied.
struct PswRefusal {
    QString text;
    bool clearEdits;
};
std::optional<PswRefusal> CheckOwnPassword(const QString& password, const QString& confirmation);
