#pragma once

#include "engine/ShownRow.h"
#include "structure/StructureEngine.h"

// The structure dialogs' writers as handlers call them: each opens the
// program's write road, runs the engine (structure/StructureEngine.h) and
// commits with its protocol line (area "Настройка"); the checks read on the
// program's context. Inside another writer's road call the engine with
// w.context() instead. An update takes what its dialog showed of the row
// (engine/ShownRow.h) and refuses a row another workstation changed since.
namespace structure {


// A new enterprise; an own one gets its main department and main warehouse
// (named otdel and sklad) and every product a row there. Returns its key.
qint64 CreateFirma(const FirmaData& d, const QString& otdel, const QString& sklad);
void UpdateFirma(qint64 kod, const FirmaData& d, const engine::ShownRow& shown);

// A new department of the enterprise with its main warehouse (the
// department's name in double quotes) and the product rows priced as in the
// enterprise's main department. Returns the department's key. A new
// department or warehouse is refused when another workstation deleted its
// enterprise or department (as the user knows it: firmaName, otdelName).
qint64 CreateOtdel(qint64 firma, const QString& firmaName, const QString& name, const QString& info);
void UpdateOtdel(qint64 kod, qint64 firma, const QString& firmaName, const QString& name, const QString& info,
                 const engine::ShownRow& shown);

qint64 CreateSklad(qint64 firma, qint64 otdel, const QString& firmaName, const QString& otdelName,
                   const QString& name, const QString& info);
void UpdateSklad(qint64 kod, qint64 firma, qint64 otdel, const QString& firmaName, const QString& otdelName,
                 const QString& name, const QString& info, const engine::ShownRow& shown);

qint64 CreateEd(const QString& name, const QString& shortName);
void UpdateEd(qint64 kod, const QString& name, const QString& shortName, const engine::ShownRow& shown);

// Deletion checks: the refusal text, empty when the row may go.
QString FirmaDeleteRefusal(qint64 firma);
QString OtdelDeleteRefusal(qint64 otdel, bool mainOtdel);
QString SkladDeleteRefusal(qint64 sklad, bool mainSklad);
// Some product row of the enterprise / department has stock other than 0.
bool FirmaHasStock(qint64 firma);
bool OtdelHasStock(qint64 otdel);
// Products that use the unit; the refusal that names the unit in use.
int EdUseCount(qint64 ed);
QString EdInUseText(const QString& name);

// The deletions themselves (after the checks and confirmations); a row
// another workstation deleted meanwhile is refused, no protocol line written.
// Each makes the check again inside its road and refuses in its words when
// the row came into use meanwhile.
void DeleteFirma(qint64 firma, const QString& name);
void DeleteOtdel(qint64 otdel, const QString& name, const QString& firmaName);
// The warehouse's groups move to the department's main warehouse first.
void DeleteSklad(qint64 sklad, qint64 otdel, const QString& name, const QString& firmaName, const QString& otdelName);
void DeleteEd(qint64 ed, const QString& name, const QString& shortName);

} // namespace structure
