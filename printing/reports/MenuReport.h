#pragma once

// The menu of the menus tab: its sections and dishes as the tab lists them,
// printed from the default template of list 6 (a heading per department and
// per section, a line per active dish numbered over the whole menu), and the
// codes of its active dishes for the codes sheet.

#include "TemplateReport.h"
#include "workbooks/MenuCodesWorkbook.h"

#include <QVector>

#include <optional>

namespace reports {

constexpr int kMenuList = 6;

struct MenuDishLine {
    QString name;             // ING.NAME
    qint64 kodIngSklad = 0;   // the dish's ING_SKLAD row in the section's department
    QString sKod;             // bar code
    QString dopInfo;
    QString vihod;            // VIHOD_BLUDA
    double kalories = 0;
    int myActive = 0;
    std::optional<double> cenaMenu;  // the menu price; empty where the rule gives none
};

struct MenuSectionLine {
    qint64 kod = 0;
    QString name;
    std::optional<qint64> kodOtdel;
    QString nameO;            // the department's name
    int isActive = 0;
    QVector<MenuDishLine> dishes;  // every dish with a row in the department, by name
};

// Every section of the menu by its sort number, each with its dishes, active
// or not, priced by the menu price rule.
QVector<MenuSectionLine> LoadMenuSections(const engine::Context& ctx, qint64 menu);

// A menu price as the menu prints it: roubles, the unit name, a blank, the
// kopecks in two digits and their name; one minus sign before a negative
// amount ("-1руб. 50коп.").
QString MenuMoneyText(double amount, const QString& rub, const QString& kop);

// The active dishes of the menu's active sections, by section sort number,
// department, section and dish name.
QList<workbooks::MenuCodeLine> LoadMenuCodes(const engine::Context& ctx, qint64 menu);

} // namespace reports

namespace reports::menu {

struct Options {
    qint64 menu = 0;
};

// Fills the default template of list 6 with the menu and shows it.
void Print(const engine::Context& ctx, const Options& options, automation::Office& office, const QString& cacheFolder,
           const Progress& progress = {}, Road road = Road::RowBuffered);

} // namespace reports::menu
