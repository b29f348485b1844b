// The catalogue's handler roads hold, while open, the tables they change:
// another workstation's no-wait change of a row there is refused, so two
// product saves, two unit saves or a menu edit beside a posting take turns
// from their first step.

#include "CatalogueFixture.h"

#include "MenuStore.h"
#include "Products.h"
#include "Structure.h"
#include "support/HeldTables.h"
#include "util/SettingsStore.h"


TEST(CatalogueRoads, EachHoldsTheTablesItChanges)
{
    CatEnv env;
    const qint64 firma = env.firma(QStringLiteral("Столовая"));
    const qint64 kg = env.unit();
    const qint64 vegetables = env.group(QStringLiteral("Овощи"));
    const qint64 potato = env.ing(QStringLiteral("Картофель"), vegetables, kg);
    menus::MenuData menu;
    menu.name = QStringLiteral("Обед");
    menu.date = QDate(2026, 12, 7);
    menu.firma = firma;
    const qint64 lunch = menus::SaveMenu(menu, 0, {}, {});
    ExpectEachHolds({
        {"group made", {"GROUP_ING", "SKLAD_GRING", "ING", "ING_SKLAD"}, [] { products::CreateGroup(QStringLiteral("Фрукты")); }},
        {"product made", {"ING", "ING_SKLAD", "GROUP_ING"}, [&] { env.ing(QStringLiteral("Лук"), vegetables, kg); }},
        {"product moved", {"ING", "ING_SKLAD"},
         [&] { products::MoveIngToGroup(potato, vegetables, QStringLiteral("Картофель"), QStringLiteral("Овощи")); }},
        {"unit made", {"ED_IZM"}, [] { structure::CreateEd(QStringLiteral("литр"), QStringLiteral("л")); }},
        {"unit changed", {"ED_IZM"}, [&] { structure::UpdateEd(kg, QStringLiteral("килограмм"), QStringLiteral("кгр"), engine::ShownRow::byKey(QStringLiteral("ED_IZM"), kg, {})); }},
        {"department made", {"OTDEL", "SKLAD", "ING_SKLAD"},
         [&] { structure::CreateOtdel(firma, QStringLiteral("Столовая"), QStringLiteral("Бар"), QString()); }},
        {"menu changed", {"MENU"}, [&] {
             menu.percent = 10;
             menus::SaveMenu(menu, lunch, engine::ShownRow::byKey(QStringLiteral("MENU"), lunch, {}), {});
         }},
        {"setting", {"MY_PARAM"}, [] { WriteCheckSetting(QStringLiteral("pkdd"), false); }},
    });
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
}
