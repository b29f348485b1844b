#pragma once

#include "util/FirstUse.h"

#include <QDialog>

class QPushButton;
class QTimer;
namespace db {
class DbGrid;
class Query;
} // namespace db

// "Выбор меню/наряда": the menu a production or sales document is filled
// from. The caller puts the menus into Q_Vibor and opens it, shows the window
// and on OK reads the current menu; it closes Q_Vibor in either case. The
// sections and dishes of the menu under the cursor are only shown, each dish
// with the price the document will receive.
class TForm_SelectMenu : public QDialog {
    Q_OBJECT
public:
    explicit TForm_SelectMenu(QWidget* parent = nullptr);
    ~TForm_SelectMenu() override;

    void FormShow();
    void Q_ViborAfterScroll();
    void Timer_RazdelTimer();
    void Q_Menu_RazdelAfterScroll();
    void Timer_StrTimer();
    void Open_Razdel_Vibor();
    void Open_Str_Vibor();
    static void Q_Menu_StrCalcFields(db::Query& q);

    db::Query* Q_Vibor;
    db::Query* Q_Menu_Razdel;
    db::Query* Q_Menu_Str;
    db::DbGrid* GridFirma;
    db::DbGrid* GridRazdel;
    db::DbGrid* GridStr;
    QTimer* Timer_Razdel;
    QTimer* Timer_Str;
    QPushButton* BtnOk;
    QPushButton* BtnCancel;

protected:
    void showEvent(QShowEvent* event) override;
};

extern FirstUse<TForm_SelectMenu> Form_SelectMenu;
