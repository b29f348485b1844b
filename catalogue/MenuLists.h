#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QTimer;
class QWidget;
namespace db {
class DbGrid;
}

// The lists of the menus tab and of the menu dish picker (Form_Menu_S), whose
// windows come later: their scroll handlers and timer bodies live here and are
// connected when the catalogue's windows are attached, so the lists already
// behave as they will. Each window, once built, sets its controls and list
// builders below (or takes these handlers over into itself). An empty slot
// does nothing.
class TMenuLists : public QObject {
    Q_OBJECT
public:
    explicit TMenuLists(QObject* parent = nullptr);

    // Menus tab: its grids and list builders Open_FirmaMenus, Open_MenuRazdel
    // (which ends by running Timer_Menu_StrTimer itself) and Open_MenuStr.
    QPointer<db::DbGrid> Grid_Menu, Grid_R_Menu, Grid_S_Menu;
    std::function<void()> Open_FirmaMenus, Open_MenuRazdel, Open_MenuStr;

    // Menu dish picker: the window, its product timer and grid, and Open_Sklad_Menu.
    QPointer<QWidget> menuPicker;
    QPointer<QTimer> menuPickerTimer_Ing;
    QPointer<db::DbGrid> menuPickerGrid_Ing_S;
    std::function<void()> Open_Sklad_Menu;
    bool menuPickerShown() const;

    // Subscribed to Q_Firma_Menu, Q_Menu, Q_Menu_Razdel and Timer_Menu,
    // Timer_Menu_Razdel, Timer_Menu_Str.
    void Q_Firma_MenuAfterScroll();
    void Q_MenuBeforeScroll();
    void Q_MenuAfterScroll();
    void Q_Menu_RazdelAfterScroll();
    void Timer_MenuTimer();
    void Timer_Menu_RazdelTimer();
    void Timer_Menu_StrTimer();
    // The picker's part of a move in the group list (the products tab calls it):
    // its product timer stops, and its grid greys while it is shown.
    void Q_GrIngBeforeScroll(bool pickerShown);
};

extern TMenuLists* MenuLists;
