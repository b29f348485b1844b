#pragma once

#include "util/FirstUse.h"

#include "grid/DatasetModel.h"
#include "db/Query.h"

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QWidget>

// The users window: the users of the system and the rights of the selected one.
// Shown modally by the main window; the user list's scroll handler follows it.
class TForm_Personal : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Personal(QWidget* parent = nullptr);
    ~TForm_Personal() override;

    db::DbGrid* Grid_Person;
    db::DbGrid* Grid_Policy;
    db::Query* QPolicy;  // rights of the selected user
    QPushButton* Btn_Add;
    QPushButton* Btn_Upd;
    QPushButton* Btn_Del;
    QPushButton* Btn_Edit_Policy;

    void Btn_AddClick();
    void Btn_UpdClick();
    void Btn_DelClick();
    void Btn_Edit_PolicyClick();
    // Reloads the rights of the selected user.
    void ReloadRights();
};

extern FirstUse<TForm_Personal> Form_Personal;

// The user chooser of the protocol filter: one user, or all of them.
class TForm_User : public QDialog {
    Q_OBJECT
public:
    explicit TForm_User(QWidget* parent = nullptr);
    ~TForm_User() override;

    db::DbGrid* Grid_User;
    QCheckBox* CB_All;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

    void CB_AllClick();
};

extern FirstUse<TForm_User> Form_User;
