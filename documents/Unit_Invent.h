#pragma once

#include "util/FirstUse.h"

#include "grid/DatasetModel.h"
#include "db/Query.h"
#include "ui/Keypad.h"
#include "ui/RadioGroup.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

class QTimer;
namespace db {
class ListHolder;
}
namespace inventory {
struct InvDoc;
}

// The inventories window: the inventory documents and the lines of the
// current one, with the counted quantities and prices typed on the keypad,
// filling and posting.
class TForm_Invent : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Invent(QWidget* parent = nullptr);
    ~TForm_Invent() override;

    db::DbGrid* Grid_Doc;
    db::DbGrid* Grid_Inv;
    // The inventory documents and the lines of the current one, each held
    // with the tables it reads; the lines reload once the documents' cursor
    // rests for Timer_Invent.
    db::ListHolder* List_Docs;
    db::ListHolder* List_Inv;
    db::Query* Q_Docs;  // List_Docs's query
    db::Query* Q_Inv;   // List_Inv's query
    QTimer* Timer_Invent;
    QPushButton* Btn_Add;
    QPushButton* Btn_Upd;
    QPushButton* Btn_Zapolnit;
    QPushButton* Btn_Refresh;
    QPushButton* Btn_Provodka;
    QPushButton* Btn_Print;
    QPushButton* Btn_Exit;
    QCheckBox* CB_Context_Inv;
    QLineEdit* E_Context_Inv;
    TKeypad* Keypad;
    TRadioGroup* RadioGroup1;  // 0 counted quantity, 1 counted price
    QCheckBox* CB_Next;

    // Every inventory document, modal: the list opens for the window and closes after it.
    void Execute();
    void OpenDocs();
    void FormCreate();
    void FormShow();
    // Keeps the counted columns in view: numbers as wide as their titles, the name takes the rest.
    void FitInvColumns();
    void LoadInvLines();
    void Btn_AddClick();
    void Btn_UpdClick();
    void Btn_ZapolnitClick();
    void Btn_RefreshClick();
    void Btn_ProvodkaClick();
    void Btn_PrintClick();
    bool My_Key_Down(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);  // true when the keypad took the key
    void Btn_OKSClick(double value);
    void CB_Context_InvClick();
    void RadioGroup1Click();
    void Grid_InvColEnter(const QString& field);
    // The current document's posting buttons follow its state.
    void Q_DocsAfterScroll();
    void Timer_InventTimer();
    static void Q_DocsCalcFields(db::Query& q);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool hasDoc() const;
    inventory::InvDoc currentDoc() const;
    bool linesHaveRow() const;
    // Reopens the document list and moves to the key.
    void reopenDocs(qint64 kod);
    // The document list's own scroll handlers.
    void docsBeforeScroll();
    void docsScrolled();
    QList<QWidget*> keyed_;
    // Enter took a count and sent the focus back to the search, whose text
    // the user has not touched since.
    bool countedFromSearch_ = false;
};

extern FirstUse<TForm_Invent> Form_Invent;

// The inventory window and its two dialogs, created with the program's
// windows, and the products tab's "Инвентаризация" button wired to it.
void CreateInventoryWindows();
void DestroyInventoryWindows();
