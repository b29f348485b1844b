#pragma once

#include "engine/Context.h"

#include <QtGlobal>

#include <optional>

// The menu price of a dish: its selling price in the section's department
// raised by the menu's percent and brought to the rounding step as the
// line's rounding mode says. The price is never stored with the menu; the
// dish list of the menus tab, the menu print, the point-of-sale exports, the
// menu chooser of sales documents and the filling of a document from a menu
// all compute it here, each with its own variant of the rule.
namespace menus {

// One dish line of a menu.
struct MenuLine {
    double price = 0;    // ING_SKLAD.MY_CENA of the dish in the section's department
    int percent = 0;     // MENU.PERCENT, may be negative
    int noRound = 0;     // MENU_STR.NO_ROUND: 0 all rounded, 1 hand prices not rounded, 2 none rounded (empty counts as 0)
    int method = 0;      // ING_SKLAD.METOD_CENA: 2 is a price set by hand
};

// Who asks for the price.
enum class MenuPriceUse {
    // The dish list of the menus tab, the menu print and the exports. The
    // option "percent after rounding" (setting DOiliPOSLE) applies; a
    // rounding mode other than 0, 1 and 2 gives no price.
    List,
    // The menu chooser of sales documents: price x (100 + percent) / 100,
    // neither rounded nor brought to kopecks, whatever the modes.
    Chooser,
    // The lines of a production or sales document filled from a menu: the
    // percent always before rounding, an unknown rounding mode rounds as 0;
    // the result is brought to the nearest whole kopeck, as it is stored.
    Document,
};

// The rounding settings: step index (okrugl1, 0-5 = 10 k. .. 50 р.) and rule
// (okrugl2: 0 to the nearest, 1 up, 2 down, 3 none).
struct PriceRounding {
    int step = 1;
    int rule = 0;
};

// The menu price with explicit settings; std::nullopt where the list leaves
// the price empty (List with an unknown rounding mode).
std::optional<double> CenaMenu(const MenuLine& line, MenuPriceUse use, bool percentAfterRounding,
                               const PriceRounding& rounding);

// The same with the settings of the context (okrugl1, okrugl2 and DOiliPOSLE).
std::optional<double> CenaMenu(const engine::Context& ctx, const MenuLine& line, MenuPriceUse use = MenuPriceUse::List);

// v rounded to the nearest whole number, an exact half to the even neighbour.
qint64 RoundHalfEven(long double v);

} // namespace menus
