#pragma once

#include "ListEditDialog.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// A row of a list with a name and additional information (a department, a
// warehouse): the name in E_Name, the information in M_Info; each window
// writes its own row in Btn_OkClick.
class TNameInfoDialog : public TListEditDialog {
    Q_OBJECT
public:
    void FormShow() override;
    virtual void Btn_OkClick() = 0;
    // Refills the fields from the current row of the list, whatever NewMode is.
    void Btn_OtmenaClick();

    QLineEdit* E_Name;
    QPlainTextEdit* M_Info;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Otmena;
    QPushButton* Btn_Exit;

protected:
    // table: the table of the list's rows.
    TNameInfoDialog(const QString& caption, const QString& table, int nameLength, QWidget* parent);
    // The data module's list whose current row the dialog edits.
    virtual db::Query* List() const = 0;

private:
    QString table_;
};
