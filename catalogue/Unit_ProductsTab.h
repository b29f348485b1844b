#pragma once

#include <QObject>
#include <QVariant>

#include <functional>

class QBoxLayout;
class QCheckBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class QWidget;
namespace db {
class DbGrid;
class ListHolder;
class Query;
} // namespace db

// The main window's products tab ("Продукты и блюда"): the selector grids
// of own enterprises, departments, warehouses and groups on the left, the
// product list ("Номенклатура продуктов и блюд") and the stock and prices
// list ("Наличие на складах и цены") on the right, with their buttons.
class TProductsTab : public QObject {
    Q_OBJECT
public:
    explicit TProductsTab(QObject* parent = nullptr);

    // Tab and sub-tabs shown or hidden.
    void Sheet_IngShow();
    void Sheet_All_IngShow();
    void Sheet_Sklad_IngShow();
    void Sheet_All_IngHide();
    void Sheet_Sklad_IngHide();
    // Enables the selector grids for the visible sub-tab.
    void Sync_SelectorGrids();

    // The list builders the refresh timers run.
    void CB_Context_IngClick();
    void CB_Context_IngSkladClick();

    // The tab's lists (ProductsTabLists.cpp): makes its groups, products and
    // stock rows, subscribes its handlers to the warehouse and group lists and
    // its refresh timers.
    void ConnectLists();
    void Q_SkladAfterScroll();
    void Q_GrIngBeforeScroll();
    void Q_GrIngAfterScroll();
    void Timer_GrIngTimer();
    void Timer_IngTimer();
    void Timer_Ing_SkladTimer();
    void Timer_Context_IngTimer();
    void Timer_Context_IngSkladTimer();
    // The structure box reopened the warehouses: the groups and lists follow at once.
    void Sklad_Reopened();
    // The structure box moved: the stock list's pending reload is off, or its grid greys.
    void StopStockReload();
    void GreyStockList();
    // Keys of the current rows (0 without one) for the catalogue's dialogs:
    // the group, the product of the product list, the product of the stock row.
    qint64 CurrentGroup() const;
    QString CurrentGroupName() const;
    qint64 CurrentIng() const;
    qint64 CurrentStockIng() const;
    static void Q_IngCalcFields(db::Query& q);
    static void Q_Ing_SkladCalcFields(db::Query& q);

    // Groups.
    void Btn_Add_GRClick();
    void Btn_Upd_GRClick();
    void Btn_Del_GRClick();
    void N9Click();
    // Products.
    void Btn_Add_IngClick();
    void Btn_Upd_IngClick();
    void Btn_Del_IngClick();
    void Del_Ing_One();
    void Del_Ing_All();
    void Btn_Move_IngClick();
    void Move_IngToGroup();
    void Move_GroupToSklad();
    // Stock and prices.
    void Btn_Upd_IngSkladClick();
    void Btn_InvClick();
    void Btn_Print_IngSkladClick();
    void BitBtn1Click();
    // The hidden export panel of the stock sub-tab.
    void buildTestPanel(QWidget* sheet, QBoxLayout* lay);
    void Btn_TestClick();
    // Buttons that open the windows of other parts of the catalogue and of the documents
    // ("Расчёт цен" runs the price computation with its dialog).
    void Btn_KartaClick();
    void Btn_Copy_IngClick();
    void Btn_DvigIngClick();
    void Btn_DvigIng2Click();
    void Btn_CalcClick();

    // Cell colouring of the product and stock grids.
    static QVariant IngCellStyle(const db::Query& q, int row, const QString& field, int role);
    static QVariant StockCellStyle(const db::Query& q, int row, const QString& field, int role);

    // The tab's lists: the warehouse's groups, the group's products and their
    // stock rows, each reloaded when a commit changes the tables it reads.
    db::ListHolder* List_GrIng;
    db::ListHolder* List_Ing;
    db::ListHolder* List_Ing_Sklad;
    db::Query* Q_GrIng;
    db::Query* Q_Ing;
    db::Query* Q_Ing_Sklad;
    // A move in the warehouse or group list, or typing in a search box, waits
    // for the cursor to rest this long before the lists below it reload.
    QTimer* Timer_GrIng;
    QTimer* Timer_Ing;
    QTimer* Timer_Ing_Sklad;
    QTimer* Timer_Context_Ing;
    QTimer* Timer_Context_IngSklad;

    db::DbGrid* Grid_Firma1;
    db::DbGrid* Grid_Otdel1;
    db::DbGrid* Grid_Sklad1;
    db::DbGrid* Grid_GrIng;
    db::DbGrid* Grid_Ing;
    db::DbGrid* Grid_Ing_Sklad;
    QPushButton* Btn_Add_GR;
    QPushButton* Btn_Upd_GR;
    QPushButton* Btn_Del_GR;
    QMenu* PopupMenu_Group;
    // Sheet_All_Ing.
    QPushButton* Btn_Add_Ing;
    QPushButton* Btn_Upd_Ing;
    QPushButton* Btn_Del_Ing;
    QPushButton* Btn_Karta;
    QPushButton* Btn_Move_Ing;
    QPushButton* Btn_Copy_Ing;
    QPushButton* Btn_DvigIng;
    QCheckBox* CB_Context_Ing;
    QLineEdit* E_Context_Ing;
    QCheckBox* CB_Closed1;
    QLineEdit* DBEdit1;  // DOP_INFO of the current product
    QLineEdit* DBEdit3;  // NAME_GR of the current product
    // Sheet_Sklad_Ing.
    QPushButton* Btn_Upd_IngSklad;
    QPushButton* Btn_Inv;
    QCheckBox* CB_Context_IngSklad;
    QLineEdit* E_Context_IngSklad;
    QPushButton* Btn_Print_IngSklad;
    QPushButton* Btn_Calc;
    QPushButton* Btn_DvigIng2;
    QCheckBox* CB_Closed2;
    QPushButton* BitBtn1;
    QWidget* Panel3;
    QLineEdit* E_Test;
    QPushButton* Btn_Test;

    // Windows of other parts that this tab opens; each owner fills its own,
    // an empty slot does nothing.
    struct Hooks {
        // Btn_DvigIngClick, Btn_DvigIng2Click: the movement history Form_DvigIng of
        // the product list's or the stock list's current product (key and name).
        std::function<void(qint64 ing, const QString& name)> dvigIngClick;
        std::function<void(qint64 ing, const QString& name)> dvigIng2Click;
        std::function<void()> invent;            // the inventory window Form_Invent, modal
        std::function<void()> syncMoveSelectors; // selector grids on the movement sub-tab
    } hooks;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSelectors();
    void buildAllIng();
    void buildSkladIng();
    void makeLists();
    void showIngDetails();
    void showIngOnce(qint64 key);

    // The tab has had its show event (its sub-tab's comes first, while the tab is being shown).
    bool ingSheetShown_ = false;
    // Stock list builds and group list moves so far, to tell whether the stock list is current.
    int stockBuilds_ = 0;
    int groupMoves_ = 0;
    int groupMovesAtBuild_ = 0;
};

extern TProductsTab* ProductsTab;

// A list (may be null) stands on `key` after the commit made in this scope
// reloads it; a scope that ends without one (nothing changed, the road rolled
// back) leaves it on its row. Key 0: the list starts again at its first row.
class ListStandsOn {
public:
    ListStandsOn(db::ListHolder* list, qint64 key);
    ~ListStandsOn();
    ListStandsOn(const ListStandsOn&) = delete;
    ListStandsOn& operator=(const ListStandsOn&) = delete;

private:
    db::ListHolder* list_;
};
