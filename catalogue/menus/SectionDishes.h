#pragma once

#include "MenuPrice.h"

#include "engine/Context.h"

#include <QStringList>

#include <functional>

namespace db {
class Query;
}

// The dish list of a menu section with its menu price, for every window and
// report that shows or sends a section's dishes.
namespace menus {

// The text of a section's dish list: the line's own columns (KOD,
// KOD_MENU_RAZDEL, KOD_ING, MY_ACTIVE, NO_ROUND), the section's (its key as
// KOD1, KOD_MENU, KOD_OTDEL, MY_SORT, its name as NAME, IS_ACTIVE), the menu's PERCENT, the dish (its name as NAME1,
// DOP_INFO, VIHOD_BLUDA, MY_SECTION, PERCENT_SKIDKA, MY_TIME, MY_ALARM,
// KALORIES) and its row in the section's department (MY_CENA, KOD_ING_SKLAD,
// METOD_CENA, KOD_KASSA, S_KOD); dishes by name.
QStringList MenuStrSql(qint64 razdelKod);

// The inputs of the menu price in the current row of such a list (inside a
// calculated-fields handler: the row being calculated); NULLs count as 0.
MenuLine LineOf(const db::Query& q);

// Declares the calculated field CENA_MENU on the list (before it opens) and
// fills it for every fetched row by the given rule with the settings of the
// context of that moment; a row without a price keeps the field empty.
void InstallCenaMenu(db::Query* q, std::function<engine::Context()> context, MenuPriceUse use = MenuPriceUse::List);

// Reopens the list on a section's dishes (the text above); CENA_MENU is
// filled when InstallCenaMenu was called on it once.
void OpenMenuStr(db::Query* q, qint64 razdelKod);

} // namespace menus
