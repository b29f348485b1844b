#pragma once

#include <QLabel>

#include <QObject>
#include <QVariant>

class QPushButton;
class QTimer;
namespace db {
class DbGrid;
class Query;
} // namespace db

// The main window's menus tab ("Меню/Наряды"): own enterprises, their menus,
// the sections of the current menu and the dishes of the current section
// with their menu price. The tab owns the refresh of the four lists: its
// handlers follow the lists' moves, and the one-shot timers it runs reload
// each detail list once the cursor of its master rests.
class TMenusTab : public QObject {
    Q_OBJECT
public:
    explicit TMenusTab(QObject* parent = nullptr);

    void Sheet_MenuShow();

    // List builders.
    void Open_FirmaMenus();
    void Open_MenuRazdel();
    void Open_MenuStr();

    // Moves of the lists and the timers that follow them.
    void Q_Firma_MenuAfterScroll();
    void Q_MenuBeforeScroll();
    void Q_MenuAfterScroll();
    void Q_Menu_RazdelAfterScroll();
    void Timer_MenuTimer();
    void Timer_Menu_RazdelTimer();
    void Timer_Menu_StrTimer();

    // Menus.
    void Btn_Add_MenuClick();
    void Btn_Upd_MenuClick();
    void Btn_Del_MenuClick();
    void Btn_Copy_MenuClick();
    // Sections.
    void Btn_Add_R_MenuClick();
    void Btn_Upd_R_MenuClick();
    void Btn_Del_R_MenuClick();
    void Btn_OpenGRClick();
    // Dishes.
    void Btn_Edit_MenuClick();
    void Btn_Edit_BludoClick();
    void Btn_Move_Bludo_MenuClick();
    void Btn_OtklClick();
    // Out of the tab.
    void Btn_Sent_MenuClick();
    void Btn_Print_MenuClick();

    // Colouring of the section and dish grids.
    static QVariant RazdelCellStyle(const db::Query& q, int row, const QString& field, int role);
    static QVariant StrCellStyle(const db::Query& q, int row, const QString& field, int role);

    db::DbGrid* Grid_Firma_M;
    db::DbGrid* Grid_Menu;
    db::DbGrid* Grid_R_Menu;
    db::DbGrid* Grid_S_Menu;
    QPushButton* Btn_Add_Menu;
    QPushButton* Btn_Upd_Menu;
    QPushButton* Btn_Del_Menu;
    QPushButton* Btn_Copy_Menu;
    QPushButton* Btn_Add_R_Menu;
    QPushButton* Btn_Upd_R_Menu;
    QPushButton* Btn_Del_R_Menu;
    QPushButton* Btn_OpenGR;
    QPushButton* Btn_Edit_Menu;
    QPushButton* Btn_Edit_Bludo;
    QPushButton* Btn_Move_Bludo_Menu;
    QPushButton* Btn_Otkl;
    QLabel* Image6 = nullptr;  // the tab's spinning die
    QPushButton* Btn_Sent_Menu;
    QPushButton* Btn_Print_Menu;

    // Form_Timers' refresh timers of the menus lists, run by this tab.
    QTimer* Timer_Menu;
    QTimer* Timer_Menu_Razdel;
    QTimer* Timer_Menu_Str;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void Del_Menu_One();
    void Del_Menu_Period();
};

extern TMenusTab* MenusTab;
