#pragma once

#include "util/FirstUse.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

// The log-in dialog: a login chosen or typed, its password, checked against
// the users table. An OK result means a user is logged in.
class TForm_Vhod : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Vhod(QWidget* parent = nullptr);
    ~TForm_Vhod() override;

    QLabel* Label1;
    QComboBox* ComboBox1;      // every login, in full-name order
    QLineEdit* Edit1;          // the password
    QToolButton* SpeedButton1; // help
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn4;      // hidden OK

    void FormCreate();
    void BitBtn1Click();
    void SpeedButton1Click();
    void FormHide();
    // The log-in list, filled by the start-up sequence.
    void FillLogins(const QStringList& logins);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TForm_Vhod* Form_Vhod;

// The picture that tells a fresh installation has no passwords.
class TForm_VhodHelp : public QWidget {
    Q_OBJECT
public:
    explicit TForm_VhodHelp(QWidget* parent = nullptr);
    ~TForm_VhodHelp() override;

    QLabel* Image1;
};

extern FirstUse<TForm_VhodHelp> Form_VhodHelp;

// ---- the log-in itself, without the dialog ----

enum class LoginCheck { NoLogin, NoSuchUser, WrongPassword, Ok };

struct LoginUser {
    LoginCheck result = LoginCheck::NoLogin;
    qint64 kod = 0;
    QString fio;
};

// Looks the login up (exact, case-sensitive) and compares the password, as
// Windows-1251 bytes, with the user's unscrambled PASSW; an empty password
// stands for the no-password marker. Changes nothing.
LoginUser CheckLogin(const QString& login, const QString& password);

// Makes the checked user the current one: CurrentUserFio, CurrentUserLogin
// (the login as typed), CurrentUserKod, the rights, and the protocol line
// "Открытие программы" in area "Система" (which commits).
void LogInUser(const LoginUser& user, const QString& login);
