#pragma once

#include "util/FirstUse.h"

// The developer's print variable dialog: program name, caption, place, kind
// and sort number of a template variable, added or edited.

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

class TForm_Var : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Var(QWidget* parent = nullptr);

    void FormCreate();
    // Checks and stores; closes with OK when stored.
    void BitBtn1Click();

    bool AddMode = false;
    qint64 FormKod = 0;    // the template the variable belongs to
    QString FormName;      // and its name, as the template window shows it
    qint64 VarKod = 0;     // the variable edited (0 when adding)
    qint64 StoredKod = 0;  // the key the last store gave

    QLineEdit* E_Caption;
    QLineEdit* E_Name;
    QComboBox* CB_Location;
    QComboBox* CB_Type;
    QLineEdit* E_Sort;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
};

extern FirstUse<TForm_Var> Form_Var;
