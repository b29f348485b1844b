#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

// The point-of-sale exchange as the windows use it: the menus tab's send
// button and the production and sales tab's import button call these with
// their keys. Each asks its questions (file dialogs, the choice dialog, the
// warning window), runs the exchange engine and, on the write road, writes
// the protocol line that commits the change.

// File dialogs, replaceable (tests answer them). An empty result is a cancel.
struct ExchangeFileDialogs {
    // filter as "Description (*.ext)"; suffix added when the name has none
    std::function<QString(const QString& proposed, const QString& filter, const QString& suffix)> save;
    std::function<QString(const QString& filter)> open;
};
void SetExchangeFileDialogs(ExchangeFileDialogs dialogs);  // empty members restore the real ones

// Sends the menu to the point-of-sale program of the setting obmen.
void SendMenu(qint64 menuKey);
// The companion program's menu file; true when it was written.
bool ExportMenuFile(qint64 menuKey);
// Products.dbf, Names.dbf and Zimp.zfl; true when they were written.
bool ExportMenuTorgService(qint64 menuKey);

// Called with the new document's key after an import committed, before its
// closing message (the production and sales tab shows every date and stands
// on the document).
using ShowNewDocument = std::function<void(qint64 docKey)>;

// Shift totals of the point-of-sale program of the setting obmen, refused
// while an inventory is unposted. Returns the new document's key, 0 when
// none was made.
qint64 TakeShiftTotals(const ShowNewDocument& show = {});
qint64 ImportShiftTotals(const ShowNewDocument& show = {});
qint64 ImportTorgServiceTotals(const ShowNewDocument& show = {});
