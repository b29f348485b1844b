#include "Structure.h"

#include "engine/EngineDb.h"
#include "engine/RowRefusal.h"
#include "engine/WriteRoad.h"

namespace structure {

namespace {

const QString kStructureArea = QStringLiteral("Настройка");

QString SkladTail(const QString& firmaName, const QString& otdelName)
{
    return QStringLiteral(">>. Предприятие <<") + firmaName + QStringLiteral(">>, подразделение <<") + otdelName +
           QStringLiteral(">>");
}

} // namespace

qint64 CreateFirma(const FirmaData& d, const QString& otdel, const QString& sklad)
{
    WriteTransaction w(structure::kRoad);
    const auto result = structure::CreateFirma(w.context(), d, otdel, sklad);
    w.commit(kStructureArea, QStringLiteral("Создание предприятия <<") + d.name + QStringLiteral(">>"));
    return result;
}

void UpdateFirma(qint64 kod, const FirmaData& d, const engine::ShownRow& shown)
{
    WriteTransaction w(structure::kRoad);
    engine::ClaimShownRow(w.context(), shown, QStringLiteral("FIRMA"), kod);
    structure::UpdateFirma(w.context(), kod, d);
    w.commit(kStructureArea, QStringLiteral("Изменение реквизитов предприятия <<") + d.name + QStringLiteral(">>"));
}

qint64 CreateOtdel(qint64 firma, const QString& firmaName, const QString& name, const QString& info)
{
    WriteTransaction w(structure::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("FIRMA"), firma, firmaName);
    const auto result = structure::CreateOtdel(w.context(), firma, name, info);
    w.commit(kStructureArea, QStringLiteral("Создание подразделения <<") + name + QStringLiteral(">> в структуре предприятия <<") + firmaName +
        QStringLiteral(">>"));
    return result;
}

void UpdateOtdel(qint64 kod, qint64 firma, const QString& firmaName, const QString& name, const QString& info,
                 const engine::ShownRow& shown)
{
    WriteTransaction w(structure::kRoad);
    engine::ClaimShownRow(w.context(), shown, QStringLiteral("OTDEL"), kod);
    structure::UpdateOtdel(w.context(), kod, firma, name, info);
    w.commit(kStructureArea, QStringLiteral("Изменения подразделения <<") + name + QStringLiteral(">> в структуре предприятия <<") + firmaName +
        QStringLiteral(">>"));
}

qint64 CreateSklad(qint64 firma, qint64 otdel, const QString& firmaName, const QString& otdelName, const QString& name, const QString& info)
{
    WriteTransaction w(structure::kRoad);
    // The department's enterprise goes with it: the department answers for both.
    engine::ClaimRow(w.context(), QStringLiteral("OTDEL"), otdel, otdelName);
    const auto result = structure::CreateSklad(w.context(), firma, otdel, name, info);
    w.commit(kStructureArea, QStringLiteral("Создание склада <<") + name + SkladTail(firmaName, otdelName));
    return result;
}

void UpdateSklad(qint64 kod, qint64 firma, qint64 otdel, const QString& firmaName, const QString& otdelName, const QString& name,
                 const QString& info, const engine::ShownRow& shown)
{
    WriteTransaction w(structure::kRoad);
    engine::ClaimShownRow(w.context(), shown, QStringLiteral("SKLAD"), kod);
    structure::UpdateSklad(w.context(), kod, firma, otdel, name, info);
    w.commit(kStructureArea, QStringLiteral("Изменения склада <<") + name + SkladTail(firmaName, otdelName));
}

qint64 CreateEd(const QString& name, const QString& shortName)
{
    WriteTransaction w(structure::kRoad);
    const auto result = structure::CreateEd(w.context(), name, shortName);
    w.commit(kStructureArea, QStringLiteral("Добавление единицы измерения: ") + name + QStringLiteral(" (") + shortName + QStringLiteral(")"));
    return result;
}

void UpdateEd(qint64 kod, const QString& name, const QString& shortName, const engine::ShownRow& shown)
{
    WriteTransaction w(structure::kRoad);
    engine::ClaimShownRow(w.context(), shown, QStringLiteral("ED_IZM"), kod);
    structure::UpdateEd(w.context(), kod, name, shortName);
    w.commit(kStructureArea, QStringLiteral("Изменение единицы измерения: ") + name + QStringLiteral(" (") + shortName + QStringLiteral(")"));
}

QString FirmaDeleteRefusal(qint64 firma)
{
    return structure::FirmaDeleteRefusal(engine::ProgramContext(), firma);
}

bool FirmaHasStock(qint64 firma)
{
    return structure::FirmaHasStock(engine::ProgramContext(), firma);
}

QString OtdelDeleteRefusal(qint64 otdel, bool mainOtdel)
{
    return structure::OtdelDeleteRefusal(engine::ProgramContext(), otdel, mainOtdel);
}

bool OtdelHasStock(qint64 otdel)
{
    return structure::OtdelHasStock(engine::ProgramContext(), otdel);
}

QString SkladDeleteRefusal(qint64 sklad, bool mainSklad)
{
    return structure::SkladDeleteRefusal(engine::ProgramContext(), sklad, mainSklad);
}

int EdUseCount(qint64 ed)
{
    return structure::EdUseCount(engine::ProgramContext(), ed);
}

QString EdInUseText(const QString& name)
{
    return QStringLiteral("Единицу  \"") + name + QStringLiteral("\"  удалить невозможно, так как она используется в ингредиентах !");
}

void DeleteFirma(qint64 firma, const QString& name)
{
    WriteTransaction w(structure::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("FIRMA"), firma, name);
    engine::RefuseIf(QStringLiteral("FIRMA"), firma, structure::FirmaDeleteRefusal(engine::InRoad(w.context()), firma));
    structure::DeleteFirma(w.context(), firma);
    w.commit(kStructureArea, QStringLiteral("Удаление предприятия <<") + name + QStringLiteral(">>"));
}

void DeleteOtdel(qint64 otdel, const QString& name, const QString& firmaName)
{
    WriteTransaction w(structure::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("OTDEL"), otdel, name);
    // The main department stays main: what may have changed is its use.
    engine::RefuseIf(QStringLiteral("OTDEL"), otdel, structure::OtdelDeleteRefusal(engine::InRoad(w.context()), otdel, false));
    structure::DeleteOtdel(w.context(), otdel);
    w.commit(kStructureArea, QStringLiteral("Удаление подразделения <<") + name + QStringLiteral(">> из структуры предприятия <<") + firmaName +
        QStringLiteral(">>"));
}

void DeleteSklad(qint64 sklad, qint64 otdel, const QString& name, const QString& firmaName, const QString& otdelName)
{
    WriteTransaction w(structure::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("SKLAD"), sklad, name);
    engine::RefuseIf(QStringLiteral("SKLAD"), sklad, structure::SkladDeleteRefusal(engine::InRoad(w.context()), sklad, false));
    structure::DeleteSklad(w.context(), sklad, otdel);
    w.commit(kStructureArea, QStringLiteral("Удаление склада <<") + name + SkladTail(firmaName, otdelName));
}

void DeleteEd(qint64 ed, const QString& name, const QString& shortName)
{
    WriteTransaction w(structure::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("ED_IZM"), ed, name);
    if (structure::EdUseCount(engine::InRoad(w.context()), ed) >= 1)
        throw engine::RowRefusal(QStringLiteral("ED_IZM"), ed, EdInUseText(name));
    structure::DeleteEd(w.context(), ed);
    w.commit(kStructureArea, QStringLiteral("Удаление единицы измерения: ") + name + QStringLiteral(" (") + shortName + QStringLiteral(")"));
}

} // namespace structure
