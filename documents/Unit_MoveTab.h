#pragma once

#include <QObject>
#include <QVariant>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class TRadioGroup;
namespace db {
class DbGrid;
class ListHolder;
class Query;
} // namespace db

// The products tab's third sub-tab "Движение": the movement documents of a
// period, a type and an enterprise or department, with their lines, and the
// buttons that create, copy, edit, fill, post, print and delete them.
class TMoveTab : public QObject {
    Q_OBJECT
public:
    explicit TMoveTab(QObject* parent = nullptr);
    ~TMoveTab() override;

    void Sheet_MoveShow();
    void Sheet_MoveHide();
    void Btn_CangePeriodClick();
    void Open_DocsMove();
    void R_DetailClick();
    void Combo_TypeDocChange();
    // The selector grids of the products tab while this sub-tab is shown; reruns the list.
    void Sync_MoveSelectors();

    void Btn_NewDocMoveClick();
    void New_DocMove();
    void Copy_DocMove(bool withQuantity);
    void Btn_UpdDocMoveClick();
    void Btn_ZapolClick();
    void Btn_PrintDocMoveClick();
    void Btn_DelDocMoveClick();
    // Posting and un-posting (Unit_MovePosting.cpp).
    void Btn_ProvodkaClick();

    // Stands the list on the document with the key (when it is listed).
    void LocateDoc(qint64 kod);

    // A posted document is painted on the button face.
    static QVariant Grid_DvigGetCellParams(const db::Query& q, int row, const QString& field, int role);

    // The document list's handlers: a move greys the lines and reloads them
    // once the cursor rests for Timer_Moves; the posting button follows the document.
    void Q_DvigBeforeScroll();
    void Q_DvigAfterScroll();
    void Q_DvigAfterClose();
    void Timer_MovesTimer();
    static void Q_DvigCalcFields(db::Query& q);
    static void Q_MovesCalcFields(db::Query& q);

    // The documents and the lines of the current one, each held with the tables it reads.
    db::ListHolder* List_Dvig;
    db::ListHolder* List_Moves;
    db::Query* Q_Dvig;   // List_Dvig's query
    db::Query* Q_Moves;  // List_Moves's query
    QTimer* Timer_Moves;

    QPushButton* Btn_NewDocMove;
    QPushButton* Btn_UpdDocMove;
    QPushButton* Btn_Zapol;
    QPushButton* Btn_Provodka;
    QPushButton* Btn_PrintDocMove;
    QPushButton* Btn_DelDocMove;
    QPushButton* Btn_CangePeriod;
    QLabel* L_Period;
    QComboBox* Combo_TypeDoc;
    TRadioGroup* R_Detail;
    db::DbGrid* Grid_Dvig;
    db::DbGrid* Grid_DvigIng;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void syncSelectorGrids();
    // The posting button follows the current document's state.
    void showPostingState();
};

extern TMoveTab* MoveTab;
