#pragma once

// The stored texts of the printed menu and the parameter file the print
// variant window leaves beside the program.

#include "MenuDirect.h"

#include <QByteArray>

namespace direct {

// The texts as stored (settings DisMenuHead, DisMenuTab, DisMenuTail).
DesignTexts ReadDesignTexts(const engine::Context& ctx);
// The texts a new database holds, the same constants the upgrade stores.
DesignTexts ShippedDesignTexts(const engine::Context& ctx);
// Updates the three stored rows on the write transaction; a missing row is not
// created. Memo lines are stored with CR LF between them.
void StoreDesignTexts(const engine::Context& ctx, const DesignTexts& texts);

// MyPrtPar.txt: nine lines, Windows-1251, each ended by CR LF.
struct PrtParLines {
    int road = 0;  // 0 spreadsheet templates, 1 direct printing
    QString leftMargin, topMargin, scaleWidth, scaleHeight, linePitch;
    bool lines = true;
    QString fontName;
    int fontPoints = 8;
};
QByteArray PrtParBytes(const PrtParLines& l);
// Creates or replaces the file; throws std::runtime_error naming it when it cannot be written.
void WritePrtPar(const QString& path, const PrtParLines& l);

} // namespace direct
