#pragma once

#include "util/FirstUse.h"

#include <QCheckBox>
#include <QDialog>
#include <QList>
#include <QPushButton>

// One right of PERSON_POLICY: its number (PARAM1), the editor's check box and its caption (PARAM3).
struct UserRightInfo {
    int number;
    const char* box;
    const char* caption;
};
// The sixteen rights in the editor's creation order (CB_All first).
const QList<UserRightInfo>& UserRightsTable();

// The rights editor of the user selected in the users window.
class TForm_Policy : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Policy(QWidget* parent = nullptr);
    ~TForm_Policy() override;

    QCheckBox* CB_All;
    QCheckBox* CB_Menu;
    QCheckBox* CB_Move;
    QCheckBox* CB_Sklad;
    QCheckBox* CB_Nomen;
    QCheckBox* CB_Ing;
    QCheckBox* CB_Setup;
    QCheckBox* CB_DelDoc;
    QCheckBox* CB_Inv;
    QCheckBox* CB_Protokol;
    QCheckBox* CB_Real;
    QCheckBox* CB_Kard;
    QCheckBox* CB_DelGroup;
    QCheckBox* CB_NewIng;
    QCheckBox* CB_DelIng;
    QCheckBox* CB_CenaIng;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    // The user whose rights are edited.
    qint64 personKod = 0;
    QString personFio;
    QString personLogin;

    void CB_AllClick();
    // Unticks every box (which enables them all), then ticks the boxes of the
    // given right numbers; right 1 alone stands for all rights.
    void ShowRights(const QList<int>& numbers);
    void Btn_OkClick();

    // The boxes in creation order, matching UserRightsTable().
    QList<QCheckBox*> boxes() const;
    QCheckBox* boxOf(int number) const;
};

extern FirstUse<TForm_Policy> Form_Policy;
