#pragma once

#include "engine/ShownRow.h"
#include "util/FirstUse.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <optional>

namespace db {
class Query;
}

// The user card: full name, login and password of one user, new or edited.
class TForm_Person : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Person(QWidget* parent = nullptr);
    ~TForm_Person() override;

    QLineEdit* E_FIO;
    QLineEdit* E_Login;
    QLineEdit* E_Pass1;
    QLineEdit* E_Pass2;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;  // hidden OK

    // New user (set by the users window's "Создать") or edit of the selected one.
    bool newUser = true;
    // The edited user's key and stored login (edit mode).
    qint64 editKod = 0;
    QString editLogin;
    // What the card showed of the edited user (PersonShown): the save refuses
    // it when another workstation changed or deleted the user meanwhile.
    engine::ShownRow Shown;

    void FormShow();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent* event) override;
};

extern FirstUse<TForm_Person> Form_Person;

// Column widths of PERSON and the longest password whose scrambled forms fit.
constexpr int kFioLength = 50;
constexpr int kLoginLength = 20;
constexpr int kPasswordLength = 100 - 15 - kLoginLength;

// What the user card shows of the current row of the users' list.
engine::ShownRow PersonShown(const db::Query& person);

// The protocol text of a saved user card.
QString PersonSavedText(bool newUser, const QString& fio, const QString& login);
