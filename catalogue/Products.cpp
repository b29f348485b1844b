#include "Products.h"

#include "Unit_ProductsTab.h"
#include "engine/EngineDb.h"
#include "engine/RowRefusal.h"
#include "engine/WriteRoad.h"

namespace products {

namespace {
const QString kProductsArea = QStringLiteral("Продукты и блюда");
} // namespace

qint64 CreateGroup(const QString& name, db::ListHolder* shown)
{
    WriteTransaction w(products::kRoad);
    const auto result = products::CreateGroup(w.context(), name);
    ListStandsOn stand(shown, result);
    w.commit(kProductsArea, QStringLiteral("Добавлена группа блюд:") + name);
    return result;
}

void RenameGroup(qint64 kod, const QString& name, const engine::ShownRow& shown)
{
    WriteTransaction w(products::kRoad);
    engine::ClaimShownRow(w.context(), shown, QStringLiteral("GROUP_ING"), kod);
    products::RenameGroup(w.context(), kod, name);
    w.commit(kProductsArea, QStringLiteral("Изменения в группе блюд:") + name);
}

QString GroupDeleteRefusal(qint64 kod)
{
    return products::GroupDeleteRefusal(engine::ProgramContext(), kod);
}

void DeleteGroup(qint64 kod, const QString& name)
{
    WriteTransaction w(products::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("GROUP_ING"), kod, name);
    // A product may have come into the group since the window checked it.
    engine::RefuseIf(QStringLiteral("GROUP_ING"), kod, products::GroupDeleteRefusal(engine::InRoad(w.context()), kod));
    products::DeleteGroup(w.context(), kod);
    w.commit(kProductsArea, QStringLiteral("Удаление группы блюд под названием <<") + name + QStringLiteral(">>"));
}

void SetGroupSection(qint64 kod, int n, const QString& name)
{
    WriteTransaction w(products::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("GROUP_ING"), kod, name);
    products::SetGroupSection(w.context(), kod, n);
    w.commit(kProductsArea, QStringLiteral("Продуктам и блюдам группы ") + name + QStringLiteral(" значение номера секции заменено на ") +
        QString::number(n));
}

void MoveGroupToSklad(qint64 group, qint64 target, qint64 otdel, qint64 oldSklad, const QString& groupName, const QString& targetName)
{
    WriteTransaction w(products::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("GROUP_ING"), group, groupName);
    engine::ClaimRow(w.context(), QStringLiteral("SKLAD"), target, targetName);
    products::MoveGroupToSklad(w.context(), group, target, otdel, oldSklad);
    w.commit(kProductsArea, QStringLiteral("Группа блюд <<") + groupName + QStringLiteral(">> перемещена на склад <<") + targetName +
        QStringLiteral(">>"));
}

qint64 CreateIng(const IngData& d, const QString& groupName, const QString& unitName, db::ListHolder* shown)
{
    WriteTransaction w(products::kRoad);
    if (d.group != 0)
        engine::ClaimRow(w.context(), QStringLiteral("GROUP_ING"), d.group, groupName);
    if (d.edIzm != 0)
        engine::ClaimRow(w.context(), QStringLiteral("ED_IZM"), d.edIzm, unitName);
    const auto result = products::CreateIng(w.context(), d);
    ListStandsOn stand(shown, result);
    w.commit(kProductsArea, QStringLiteral("Создан новый продукт:") + d.name);
    return result;
}

void UpdateIng(qint64 kod, const IngData& d, bool normChanged, const engine::ShownRow& shown)
{
    WriteTransaction w(products::kRoad);
    engine::ClaimShownRow(w.context(), shown, QStringLiteral("ING"), kod);
    products::UpdateIng(w.context(), kod, d, normChanged);
    w.commit(kProductsArea, QStringLiteral("Изменён продукт:") + d.name);
}

void HideIngElsewhere(qint64 ing, qint64 otdel)
{
    WriteTransaction w(products::kRoad);
    products::HideIngElsewhere(w.context(), ing, otdel);
    w.commit();
}

void MoveIngToGroup(qint64 ing, qint64 group, const QString& ingName, const QString& groupName)
{
    WriteTransaction w(products::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("ING"), ing, ingName);
    engine::ClaimRow(w.context(), QStringLiteral("GROUP_ING"), group, groupName);
    products::MoveIngToGroup(w.context(), ing, group);
    w.commit(kProductsArea, QStringLiteral("Перемещение продукта <<") + ingName + QStringLiteral(">> в группу <<") + groupName +
        QStringLiteral(">>"));
}

IngUse IngInUse(qint64 ing)
{
    return products::IngInUse(engine::ProgramContext(), ing);
}

void DeleteIng(qint64 ing, const QString& name)
{
    WriteTransaction w(products::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("ING"), ing, name);
    // A card, a document, a menu or stock may have taken it up since the window checked it.
    engine::RefuseIf(QStringLiteral("ING"), ing, products::IngUseText(products::IngInUse(engine::InRoad(w.context()), ing)));
    products::DeleteIng(w.context(), ing);
    w.commit(kProductsArea, QStringLiteral("Удаление блюда <<") + name + QStringLiteral(">>"));
}

DeletedIngs DeleteAllIng(const QList<qint64>& ings, const QString& groupName)
{
    WriteTransaction w(products::kRoad);
    const auto result = products::DeleteAllIng(w.context(), ings);
    // Every one in use: nothing was deleted, and nothing is logged.
    if (result.deleted > 0)
        w.commit(kProductsArea, QStringLiteral("Удаление всех блюд их группы <<") + groupName + QStringLiteral(">>"));
    return result;
}

} // namespace products
