#pragma once

#include "engine/WriteRoad.h"
#include "engine/Context.h"

#include <QString>

namespace db {
class Query;
}

// The structure engine: enterprises, departments, warehouses and units, the
// writes and the checks behind the structure dialogs. Writers write on
// ctx.write (opened by the caller's WriteTransaction) and never commit; checks
// read on ctx.read. The handlers' writers with their protocol lines are in
// Structure.h of the catalogue.
namespace structure {

// The reservation of every road that runs these writers (engine/WriteRoad.h).
inline constexpr WriteTransaction::Reserve kRoad = WriteTransaction::Reserve::Structure;

struct FirmaData {
    QString name, info, bank, bik, rs, ks, inn, kpp, phone, addrJur, addrReal;
    bool local = false;
};

// A new enterprise; an own one gets its main department and main warehouse
// (named otdel and sklad) and every product a row there. Returns its key.
qint64 CreateFirma(const engine::Context& ctx, const FirmaData& d, const QString& otdel, const QString& sklad);
void UpdateFirma(const engine::Context& ctx, qint64 kod, const FirmaData& d);

// A new department of the enterprise with its main warehouse (the
// department's name in double quotes) and the product rows priced as in the
// enterprise's main department. Returns the department's key.
qint64 CreateOtdel(const engine::Context& ctx, qint64 firma, const QString& name, const QString& info);
void UpdateOtdel(const engine::Context& ctx, qint64 kod, qint64 firma, const QString& name, const QString& info);

qint64 CreateSklad(const engine::Context& ctx, qint64 firma, qint64 otdel, const QString& name, const QString& info);
void UpdateSklad(const engine::Context& ctx, qint64 kod, qint64 firma, qint64 otdel, const QString& name, const QString& info);

qint64 CreateEd(const engine::Context& ctx, const QString& name, const QString& shortName);
void UpdateEd(const engine::Context& ctx, qint64 kod, const QString& name, const QString& shortName);

// Deletion checks: the refusal text, empty when the row may go.
QString FirmaDeleteRefusal(const engine::Context& ctx, qint64 firma);
QString OtdelDeleteRefusal(const engine::Context& ctx, qint64 otdel, bool mainOtdel);
QString SkladDeleteRefusal(const engine::Context& ctx, qint64 sklad, bool mainSklad);
// Some product row of the enterprise / department has stock other than 0.
bool FirmaHasStock(const engine::Context& ctx, qint64 firma);
bool OtdelHasStock(const engine::Context& ctx, qint64 otdel);
// Products that use the unit.
int EdUseCount(const engine::Context& ctx, qint64 ed);

// The deletions themselves (after the checks and confirmations).
void DeleteFirma(const engine::Context& ctx, qint64 firma);
void DeleteOtdel(const engine::Context& ctx, qint64 otdel);
// The warehouse's groups move to the department's main warehouse first.
void DeleteSklad(const engine::Context& ctx, qint64 sklad, qint64 otdel);
void DeleteEd(const engine::Context& ctx, qint64 ed);

// The enterprise picker's list: own enterprises (localFilter 1), partners
// (0) or all (2 and above), narrowed to names containing the typed text
// (any letter case) when context is set. The text is bound, never pasted.
void OpenFirmaPicker(db::Query* q, const QString& table, int localFilter, bool context, const QString& text);

} // namespace structure
