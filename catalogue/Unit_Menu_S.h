#pragma once

#include "util/FirstUse.h"

#include <QDialog>
#include <QVariant>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTimer;
namespace db {
class DbGrid;
class ListHolder;
class Query;
} // namespace db

// The dishes of the menus tab's current section: the department's menu
// products, browsed warehouse -> group -> product or searched by a part of
// the name, are added to the section or removed from it. The window shows
// the tab's sections and dishes in grids of its own and follows the section
// by the tab's dish timer; its product lists are its own. Every list reloads
// itself after a commit changed a table it reads.
class TForm_Menu_S : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Menu_S(QWidget* parent = nullptr);

    // The warehouses of the section's department, then groups and products.
    void Open_Sklad_Menu();
    void Open_GrIng_Menu();
    void Open_Ing_Menu();
    void Set_Context_Menu();

    void SKLAfterScroll();
    void GrIngAfterScroll();
    void Timer_GrIngTimer();
    void Timer_IngTimer();
    void FormShow();
    void CB_Context_IngClick();
    void Btn_Add_IngClick();
    void Btn_DelClick();
    void Btn_KartaClick();

    static QVariant IngCellStyle(const db::Query& q, int row, const QString& field, int role);

    db::ListHolder* List_SKL;
    db::ListHolder* List_GrIng;
    db::ListHolder* List_Ing;
    db::Query* SKL;
    db::Query* GrIng;
    db::Query* Ing;
    db::DbGrid* Grid_R_Menu;
    QLineEdit* DBEdit1;  // department of the current section
    db::DbGrid* Grid_Sklad_S;
    db::DbGrid* Grid_GrIng_S;
    db::DbGrid* Grid_Ing_S;
    QLineEdit* D_Info;
    db::DbGrid* Grid_S_Menu;
    QCheckBox* CB_Context_Ing;
    QLineEdit* E_Context_Ing;
    QCheckBox* CB_Closed;
    QPushButton* Btn_Add_Ing;
    QPushButton* Btn_Del;
    QPushButton* Btn_Karta;
    QPushButton* Btn_Exit;
    QTimer* Timer_GrIng;
    QTimer* Timer_Ing;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showDetails();
};

extern FirstUse<TForm_Menu_S> Form_Menu_S;
