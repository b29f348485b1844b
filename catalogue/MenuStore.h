#pragma once

#include "engine/ShownRow.h"
#include "menus/MenuEngine.h"

#include <QDate>
#include <QString>
#include <QVariant>

class QLineEdit;

// The menus tab's writers: each opens the write road, runs the menus engine
// on it and ends with its protocol line (area "Меню/Наряды"), which commits
// the change and the line together. Inside another road call the engine's
// functions (menus::SaveMenu(ctx, ...)) instead.
namespace menus {

extern const QString kArea;

// The characters of a typed text that the database's Windows-1251 cannot
// hold, each once, in their order; empty when the text fits.
QString CharsOutside1251(const QString& text);
// True when the edit's text fits; otherwise refuses naming the characters and
// puts the focus back into the edit.
bool TextFits(QLineEdit* edit);
// True when a name is typed and fits; otherwise refuses with `missing` or
// with the characters that do not fit.
bool NameGiven(QLineEdit* edit, const QString& missing);

// A new menu (kod 0) of enterprise d.firma, refused when another workstation
// deleted the enterprise (firmaName, as the list showed it); or the menu kod,
// which its dialog showed as `shown`, refused when another workstation
// changed or deleted it since.
qint64 SaveMenu(const MenuData& d, qint64 kod, const engine::ShownRow& shown, const QString& firmaName);
// The writers of a row a list showed (a menu, a section, a dish line; the
// section a dish moves to, the menu copied) refuse it when another
// workstation deleted it meanwhile: nothing is written, no protocol line.
void DeleteMenu(qint64 kod, const QString& name, const QDate& date);
// One protocol line names the period, also when every menu goes; returns how
// many went. None in the period: nothing is written, no protocol line.
int DeleteMenusOfPeriod(bool all, const QDate& from, const QDate& to);
// The copy is dated today.
qint64 CopyMenu(qint64 source, const QString& shownName, const QString& newName);
// Whether menus apply their percent after the selling prices are rounded
// (setting DOiliPOSLE); stored at once with its protocol line.
void SetPercentAfterRounding(bool after);

// A new section (kod 0) of menu d.menu, refused when another workstation
// deleted the menu or the section's department (otdelName, as the dialog
// showed it); or the section kod, which its dialog showed as `shown`, refused
// when another workstation changed or deleted it since. The protocol names
// the menu by name and date.
qint64 SaveRazdel(const RazdelData& d, qint64 kod, const engine::ShownRow& shown, const QString& otdelName,
                  const QString& menuName, const QDate& menuDate);
void DeleteRazdel(qint64 kod, const QString& name, const QString& menuName, const QDate& menuDate);
void SwitchRazdel(qint64 kod, int isActive, const QString& name, const QString& menuName);

bool DishInRazdel(qint64 razdel, qint64 ing);
// Refused when another workstation deleted the section or the dish meanwhile.
qint64 AddDish(qint64 razdel, qint64 ing, int noRound, const QString& dishName, const QString& razdelName,
               const QString& menuName, const QDate& menuDate);
void RemoveDish(qint64 kod, const QString& dishName, const QString& razdelName, const QString& menuName,
                const QDate& menuDate);
void SwitchDish(qint64 kod, const QVariant& myActive, const QString& dishName);
void MoveDish(qint64 kod, qint64 targetRazdel, const QString& dishName, const QString& targetName);

} // namespace menus
