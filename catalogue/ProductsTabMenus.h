#pragma once

#include <QObject>

class QAction;
class QMenu;
class TProductsTab;

// The context menus of the products tab's grids: price copy into the current
// department or warehouse (departments and warehouses), hiding and opening
// products in the current department (products and stock rows), and the
// where-used list of a product handed to its workbook. The hide and open
// writes commit without a protocol line.
class TProductsTabMenus : public QObject {
    Q_OBJECT
public:
    explicit TProductsTabMenus(TProductsTab* tab);

    // Price copy: mode 1 into the department, 2 into the warehouse.
    void N1Click();
    void N2Click();
    // The product list: hide, open the current product; hide, open the whole list; where-used.
    void PopupMenu_AllPopup();
    void N1_AllClick();
    void N2_AllClick();
    void N3Click();
    void N4Click();
    void N7Click();
    // The stock list alike.
    void PopupMenu_SkladPopup();
    void N1_SkladClick();
    void N2_SkladClick();
    void N5Click();
    void N6Click();
    void N8Click();

    QMenu* PopupMenu_Cena;
    QAction* N1;
    QAction* N2;
    QMenu* PopupMenu_All;
    QAction* N1_All;
    QAction* N2_All;
    QAction* N3;
    QAction* N4;
    QAction* N7;
    QMenu* PopupMenu_Sklad;
    QAction* N1_Sklad;
    QAction* N2_Sklad;
    QAction* N5;
    QAction* N6;
    QAction* N8;

private:
    void copyPrices(int mode);
    void hideProduct(bool hidden);
    void hideRow(bool hidden);
    void hideProductList(bool hidden);
    void hideStockList(bool hidden);
    void whereUsed(qint64 ing, const QString& name);
    TProductsTab* tab_;
};

extern TProductsTabMenus* ProductsTabMenus;
