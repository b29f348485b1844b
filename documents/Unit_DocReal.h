#pragma once

#include "engine/ShownRow.h"
#include "util/FirstUse.h"

#include <QDialog>

class QDateEdit;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class TRadioGroup;
namespace db {
class Query;
}

// "Документ реализации/производства": the header of a production or sales
// document, and for a new one (or on request for an edited one) the menu its
// lines are taken from. Created once and reused; the tab prepares it.
class TForm_DocReal : public QDialog {
    Q_OBJECT
public:
    explicit TForm_DocReal(QWidget* parent = nullptr);
    ~TForm_DocReal() override;

    // A new document of today in the enterprise (0: none chosen yet).
    void PrepareNew(qint64 firma, const QString& firmaName);
    // The current document of the list.
    void PrepareEdit(const db::Query& doc);

    void RG_TypeDocClick();
    void RG_PFClick();
    void Btn_SelectFirmaClick();
    void Btn_SelectMenuClick();
    void Btn_OkClick();

    QDateEdit* Date_Doc;
    QTimeEdit* Time_Doc;
    QLineEdit* E_Name;
    QLineEdit* E_Firma;
    QPushButton* Btn_SelectFirma;
    QLineEdit* E_Menu;
    QPushButton* Btn_SelectMenu;
    TRadioGroup* RG_TypeDoc;
    TRadioGroup* RG_PF;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    qint64 KodFirma = 0;
    qint64 KodMenu = 0;
    bool IsNewDoc = false;
    qint64 DocKod = 0;     // the document being edited
    // What the dialog showed of it: its save refuses a header another
    // workstation changed since.
    engine::ShownRow Shown;
    qint64 SavedKod = 0;   // the document the last save wrote
};

extern FirstUse<TForm_DocReal> Form_DocReal;
