#pragma once

#include "engine/ShownRow.h"
#include "util/FirstUse.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

namespace db {
class Query;
}

// The header of an inventory document: enterprise, department, warehouse
// (or all of them), name, date and time. OK writes the row with its protocol line.
class TForm_DocInv : public QDialog {
    Q_OBJECT
public:
    explicit TForm_DocInv(QWidget* parent = nullptr);
    ~TForm_DocInv() override;

    QLineEdit* P_NameFirma;
    QPushButton* Btn_Firma;
    QLineEdit* P_NameOtdel;
    QPushButton* Btn_Otdel;
    QLineEdit* P_NameSklad;
    QPushButton* Btn_Sklad;
    QCheckBox* CB_AllSklads;
    QLineEdit* E_Name;
    QDateEdit* DateTimePicker1;
    QTimeEdit* DateTimePicker2;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Exit;
    QPushButton* BitBtn1;  // hidden OK

    // The chosen keys (0: none; warehouse 0 also means every warehouse).
    qint64 KodFirma = 0;
    qint64 KodOtdel = 0;
    qint64 KodSklad = 0;
    // New document, or an edit of the current row of the document list.
    bool NewDoc = false;
    // The document's key: the new one after an insert, the edited one otherwise.
    qint64 KodDoc = 0;
    // An edited document's name as its list showed it: its lines are emptied
    // in the header's road, for the document to be filled anew by the header.
    QString ShownName;
    // What the dialog showed of the edited header: its save refuses a header
    // another workstation changed since, and then empties no lines either.
    engine::ShownRow Shown;

    void FormCreate();
    // Copies the current inventory of the inventories window's list.
    void LoadDoc(const db::Query& doc);
    // Prefills a new document for the enterprise and department given.
    void PrepareNew(qint64 firma, const QString& firmaName, qint64 otdel, const QString& otdelName);
    void Btn_FirmaClick();
    void Btn_OtdelClick();
    void Btn_SkladClick();
    void CB_AllSkladsClick();
    void Btn_OkClick();
};

extern FirstUse<TForm_DocInv> Form_DocInv;
