#pragma once

#include <QList>
#include <QObject>
#include <QVariant>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class TKeypad;
namespace db {
class DbGrid;
class ListHolder;
class Query;
} // namespace db

// The main window's tab "Производство и реализация": production write-offs
// and sales documents with their lines, the header dialog, copying, the
// import of shift totals, quantity entry on the keypad and posting.
class TRealTab : public QObject {
    Q_OBJECT
public:
    explicit TRealTab(QObject* parent = nullptr);
    ~TRealTab() override;

    void Sheet_RealShow();
    // Rebuilds the document list's statement; the caller opens it.
    void Open_DocsReal();
    // The lines of the current document; they keep the transaction they are on.
    void Open_RealBludo();
    // The list reopened on every date and standing on the document.
    void ShowDocument(qint64 kod);

    void Btn_Add_RealClick();
    void Btn_Upd_RealClick();
    void Btn_Copy_RealClick();
    void Btn_Del_RealClick();
    void Btn_Print_RealClick();
    void Btn_Take_RealClick();
    void Btn_Period_RealClick();
    void CB_Context_RealClick();
    // Posting (Unit_RealPosting.cpp).
    void Btn_Provodka_RealClick();
    // The keypad's OK: the quantity of the current line.
    void SetQuantity(double value);
    bool KeypadAllowed() const;
    // The keyboard on the tab's grids, keypad and buttons.
    bool Real_Bludo_KeyDown(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);  // true when the keypad took the key

    // List handlers.
    void Q_Docs_RealAfterScroll();
    void Timer_RealTimer();
    static void Q_Docs_RealCalcFields(db::Query& q);
    // A posted document is painted on the button face.
    static QVariant Grid_DocRealGetCellParams(const db::Query& q, int row, const QString& field, int role);

    QPushButton* Btn_Add_Real;
    QPushButton* Btn_Upd_Real;
    QPushButton* Btn_Copy_Real;
    QPushButton* Btn_Del_Real;
    QPushButton* Btn_Print_Real;
    QPushButton* Btn_Provodka_Real;
    QFrame* Btn_Take_Real;
    QLabel* Image7;
    QLabel* Label3;
    QPushButton* Btn_Period_Real;
    QLabel* L_Period_Real;
    QCheckBox* CB_Context_Real;
    QLineEdit* E_Context_Real;
    QCheckBox* CB_Next;
    db::DbGrid* Grid_DocReal;
    db::DbGrid* Grid_RealBludo;
    TKeypad* Keypad;

    // The documents and the lines of the current one, each held with the
    // tables it reads; the lines reload once the documents' cursor rests for Timer_Real.
    db::ListHolder* List_Docs_Real;
    db::ListHolder* List_Real_Bludo;
    db::Query* Q_Docs_Real;   // List_Docs_Real's query
    db::Query* Q_Real_Bludo;  // List_Real_Bludo's query
    QTimer* Timer_Real;

    // The document list is limited to the period chosen with "Период" (off: every date).
    bool RealPeriodFilter = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QWidget*> keyed_;
    void periodOff();
    void reopenAt(qint64 kod);
    // The document a write of the tab has just saved (its commit reloaded
    // the list): a period filter that was on is dropped, the list is built
    // again without it, and the list stands on the document.
    void standOnSaved(qint64 kod, bool filtered);
    void pressTake(bool down);
};

extern TRealTab* RealTab;
