#pragma once

#include "engine/WriteRoad.h"
#include "engine/Context.h"

#include <QDate>
#include <QString>
#include <QVariant>

// Menus, their sections and dish lines on the context's write transaction.
// Nothing here starts, commits or rolls back: the handler's write road does,
// with its protocol line.
namespace menus {

// The reservation of every road that runs these writers (engine/WriteRoad.h).
inline constexpr WriteTransaction::Reserve kRoad = WriteTransaction::Reserve::Menus;

// ---- checks of typed values ----

// A menu percent: an optionally signed whole number ("-5", "0", "12").
bool ParsePercent(const QString& text, int* value);
// A section's print order: digits only, a whole number of at least 0.
bool ParseSort(const QString& text, int* value);

// ---- menus ----

struct MenuData {
    QString name;
    QDate date;
    int percent = 0;
    qint64 firma = 0;
    int noRound = 0;  // 0 all prices rounded, 1 hand prices not, 2 none
};
// A new menu (kod 0) or the menu's new parameters; an edited menu's rounding
// mode is copied onto every dish line of its sections. Returns the key.
qint64 SaveMenu(const engine::Context& ctx, const MenuData& d, qint64 kod);

// Removes a menu with its sections and dishes (the server's DELETE_MENU).
void DeleteMenu(const engine::Context& ctx, qint64 kod);
// Removes every menu of every enterprise (all) or those dated from..to;
// returns how many went.
int DeleteMenusOfPeriod(const engine::Context& ctx, bool all, const QDate& from, const QDate& to);

// A copy of the menu under a new name dated `day`, percent 0, with the same
// sections (department, order, name) and the same dishes; the rounding mode
// and the on/off states are the new rows' defaults. Returns its key.
qint64 CopyMenu(const engine::Context& ctx, qint64 source, const QString& newName, const QDate& day);

// ---- sections ----

struct RazdelData {
    QString name;
    int sort = 0;
    qint64 menu = 0;
    qint64 otdel = 0;
};
// A new section (kod 0) or the section's new fields. Returns the key.
qint64 SaveRazdel(const engine::Context& ctx, const RazdelData& d, qint64 kod);
// Removes the section's dishes, then the section.
void DeleteRazdel(const engine::Context& ctx, qint64 kod);
// Switches a section on (IS_ACTIVE 0 becomes 1) or off (anything else becomes 0).
void SwitchRazdel(const engine::Context& ctx, qint64 kod, int isActive);

// ---- dishes ----

// Whether the section already holds the dish.
bool DishInRazdel(const engine::Context& ctx, qint64 razdel, qint64 ing);
// Adds the dish to the section with the given rounding mode; returns the line's key.
qint64 AddDish(const engine::Context& ctx, qint64 razdel, qint64 ing, int noRound);
// Removes one dish line.
void RemoveDish(const engine::Context& ctx, qint64 kod);
// Switches a dish on (MY_ACTIVE empty or 0 becomes 1) or off (anything else becomes 0).
void SwitchDish(const engine::Context& ctx, qint64 kod, const QVariant& myActive);
// Moves a dish line to another section.
void MoveDish(const engine::Context& ctx, qint64 kod, qint64 targetRazdel);

} // namespace menus
