#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QPushButton;
class QWidget;
namespace db {
class DbGrid;
class Query;
} // namespace db

// The lists of the documents' windows, which come later: the movement
// sub-tab (Q_Dvig, Q_Moves), the inventory window (Q_Docs) and the document filling window.
// Their scroll handlers, calculated fields and timer bodies live here and are
// connected when the program's windows are created, so the lists already
// behave as they will. Each window, once built, sets its controls and list
// builders below (or takes these handlers over into itself). An empty slot
// does nothing.
class TDocumentLists : public QObject {
    Q_OBJECT
public:
    explicit TDocumentLists(QObject* parent = nullptr);

    // Movement sub-tab: the lines grid and the posting button.
    QPointer<db::DbGrid> Grid_DvigIng;
    QPointer<QPushButton> Btn_Provodka;
    // Inventory window Form_Invent: the window, its lines grid, its post,
    // change, fill and refresh buttons, and LoadInvLines.
    QPointer<QWidget> inventWindow;
    QPointer<db::DbGrid> inventGrid;
    QList<QPointer<QWidget>> inventButtons;
    std::function<void()> LoadInvLines;
    bool inventShown() const;
    // Document filling window Form_IngToDoc: its CB_ContextClick.
    std::function<void()> IngToDocContextClick;

    void Q_DvigBeforeScroll();
    void Q_DvigAfterScroll();
    void Q_DvigAfterClose();
    void Q_DocsBeforeScroll();
    void Q_DocsAfterScroll();
    void Timer_MovesTimer();
    void Timer_InventTimer();
    void Timer_IngToDocTimer();
    static void Q_MovesCalcFields(db::Query& q);
    static void Q_DvigCalcFields(db::Query& q);
    static void Q_DocsCalcFields(db::Query& q);
};

extern TDocumentLists* DocumentLists;

// Creates DocumentLists once the data module and the timers exist.
void AttachDocumentLists();
void DetachDocumentLists();
