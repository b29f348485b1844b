#pragma once

#include "exchange/MenuExport.h"

// The menu price of a dish line as the menus tab shows it ("Цена меню"): the
// selling price raised by the menu's percent and rounded as the line's
// rounding mode and the setting DOiliPOSLE say. The exports take every price
// from here.
std::optional<double> ExchangeMenuPrice(const exchange::PriceInputs& in);
