#pragma once

#include <QLabel>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace db {
class DbGrid;
class Query;
} // namespace db

// What the data module's template-list handlers use of the print-template
// editor; the program fills it from the editor when both exist.
struct TPrintEditorLink {
    QPointer<QWidget> window;               // shown while visible
    std::function<bool()> isModified;       // a template or variable edited and not saved
    std::function<bool()> maintenance;      // protected sample templates may be edited too
    QPointer<QTimer> Timer_Open_Forms;
    QPointer<QTimer> Timer_Open_Var;
    QPointer<db::DbGrid> GridForms;
    QPointer<db::DbGrid> GridVar;
    std::function<void(qint64)> setSpisKod;  // key of the current print list
    std::function<void(qint64)> setFormKod;  // key of the current template
    std::function<void()> BtnSaveClick;
    std::function<void()> HE;  // clears the modified state
    std::function<void()> Zap_Forma;
    std::function<void()> Zap_Var;
    // GroupBox1, then GroupBox2, BtnSave and BtnDelete, which follow its state.
    QList<QPointer<QWidget>> editWidgets;
    QPointer<QLabel> Enabled_Var;
};

// The one-shot refresh timers of the master-detail lists. A move in a
// master list greys its detail grids and (re)starts a timer; only when the
// cursor rests for the timer's interval does the detail list reload.
class TForm_Timers : public QObject {
    Q_OBJECT
public:
    explicit TForm_Timers(QObject* parent = nullptr);
    ~TForm_Timers() override;

    QTimer* Timer_Otdel;
    QTimer* Timer_Sklad;
    QTimer* Timer_GrIng;
    QTimer* Timer_Ing;
    QTimer* Timer_Context_Ing;
    QTimer* Timer_Ing_Sklad;
    QTimer* Timer_Context_IngSklad;
    QTimer* Timer_Invent;
    QTimer* Timer_Vibor;
    QTimer* Timer_IngToDoc;
    QTimer* Timer_Moves;
    QTimer* Timer_KK;
    QTimer* Timer_Menu;
    QTimer* Timer_Menu_Razdel;
    QTimer* Timer_Menu_Str;
    QTimer* Timer_Real;
    QTimer* Timer_PersonPolicy;

    void Timer_OtdelTimer();
    void Timer_SkladTimer();
    void Timer_GrIngTimer();
    void Timer_IngTimer();
    void Timer_Context_IngTimer();
    void Timer_Ing_SkladTimer();
    void Timer_Context_IngSkladTimer();
    void Timer_InventTimer();
    void Timer_ViborTimer();
    void Timer_IngToDocTimer();
    void Timer_MovesTimer();
    void Timer_KKTimer();
    void Timer_MenuTimer();
    void Timer_Menu_RazdelTimer();
    void Timer_Menu_StrTimer();
    void Timer_RealTimer();
    void Timer_PersonPolicyTimer();

    // The list builders and windows of other subsystems that the timers and
    // the data module's list handlers reach. Each owner fills its own; an
    // empty slot does nothing.
    struct Hooks {
        // Products tab: the stock list (CB_Context_IngSkladClick). The product
        // list is Form_Base->hooks.rerunProductList (CB_Context_IngClick).
        std::function<void()> rerunStockList;
        // Sync_SelectorGrids of the products tab.
        std::function<void()> syncSelectorGrids;
        // Menus tab: Open_FirmaMenus, Open_MenuRazdel (which ends by running
        // Timer_Menu_StrTimer itself) and Open_MenuStr.
        std::function<void()> openFirmaMenus;
        std::function<void()> openMenuRazdel;
        std::function<void()> openMenuStr;
        // Menu dish picker Form_Menu_S.
        QPointer<QWidget> menuPicker;
        QPointer<QTimer> menuPickerTimer_Ing;
        QPointer<db::DbGrid> menuPickerGrid_Ing_S;
        std::function<void()> openSkladMenu;  // Open_Sklad_Menu
        // Enterprise picker: CB_ContextClick of Form_SelectFirma.
        std::function<void()> selectFirmaContextClick;
        // Document filling window: CB_ContextClick of Form_IngToDoc.
        std::function<void()> ingToDocContextClick;
        // Costing card window: its editing state, component and group queries, component search.
        std::function<bool()> kartaEditing;
        QPointer<db::Query> kartaQI;
        QPointer<db::Query> kartaQG;
        std::function<void()> kartaContextClick;
        // Inventory window: the window, its lines grid, its post, change,
        // fill and refresh buttons, and LoadInvLines.
        QPointer<QWidget> inventWindow;
        QPointer<db::DbGrid> inventGrid;
        QList<QPointer<QWidget>> inventButtons;
        std::function<void()> loadInvLines;
        // Production and sales tab: Open_RealBludo.
        std::function<void()> openRealBludo;
        // Users window: the window, its rights grid and rights query.
        QPointer<QWidget> personalWindow;
        QPointer<db::DbGrid> personalRightsGrid;
        QPointer<db::Query> personalRightsQuery;
        // Print-template editor.
        TPrintEditorLink printEditor;
    } hooks;

    bool menuPickerShown() const { return hooks.menuPicker && hooks.menuPicker->isVisible(); }
    bool inventShown() const { return hooks.inventWindow && hooks.inventWindow->isVisible(); }
    bool personalShown() const { return hooks.personalWindow && hooks.personalWindow->isVisible(); }
    bool printEditorShown() const { return hooks.printEditor.window && hooks.printEditor.window->isVisible(); }

private:
    QTimer* makeTimer(int interval, void (TForm_Timers::*handler)());
};

extern TForm_Timers* Form_Timers;

// Greying of a grid that waits for its reload, and its release; both accept null.
void GreyOut(QWidget* grid);
void Release(QWidget* grid);
