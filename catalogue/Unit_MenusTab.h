#pragma once

#include "menus/MenuEngine.h"

#include <QLabel>

#include <QObject>
#include <QVariant>

class QPushButton;
class QTimer;
namespace db {
class DbGrid;
class ListHolder;
class Query;
} // namespace db

// The main window's menus tab ("Меню/Наряды"): own enterprises, their menus,
// the sections of the current menu and the dishes of the current section
// with their menu price. The tab owns the four lists: each reloads itself,
// on its row, when a commit changed a table it reads; the tab's handlers
// follow the lists' moves, and the one-shot timers it runs reload each detail
// list once the cursor of its master rests.
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

    // The lists and their queries.
    db::ListHolder* List_Firma_Menu;
    db::ListHolder* List_Menu;
    db::ListHolder* List_Menu_Razdel;
    db::ListHolder* List_Menu_Str;  // with the menu price CENA_MENU
    db::Query* Q_Firma_Menu;
    db::Query* Q_Menu;
    db::Query* Q_Menu_Razdel;
    db::Query* Q_Menu_Str;

    // The timers that reload the menus, the sections and the dishes once the
    // cursor of their master rests.
    QTimer* Timer_Menu;
    QTimer* Timer_Menu_Razdel;
    QTimer* Timer_Menu_Str;

    // The current rows for the tab's dialogs: keys (0 without a row) and fields.
    qint64 firmaKey() const;
    QString firmaName() const;
    qint64 menuKey() const;
    qint64 razdelKey() const;
    menus::MenuData menuRow() const;
    menus::RazdelData razdelRow() const;
    QString razdelOtdelName() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void makeLists();
    void Del_Menu_One();
    void Del_Menu_Period();
    // Closes the dishes' list, keeping the dish it stood on (dishStood_).
    void keepDishAndClose();

    // The master rows the detail lists were last loaded or scheduled for.
    qint64 followedFirma_ = 0;
    qint64 followedMenu_ = 0;
    qint64 followedRazdel_ = 0;
    // The dish the dishes' list stood on when a move of its masters closed it:
    // read again for the same section, the list stands there again.
    qint64 dishStood_ = 0;
};

extern TMenusTab* MenusTab;
