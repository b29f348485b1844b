#include "SectionDishes.h"

#include "db/Query.h"

namespace menus {

QStringList MenuStrSql(qint64 razdelKod)
{
    return {
        // The section's key and the dish's name under names of their own, beside the line's KOD and the section's NAME.
        QStringLiteral("select MENU_STR.*, MENU_RAZDEL.KOD AS KOD1, MENU_RAZDEL.KOD_MENU, MENU_RAZDEL.KOD_OTDEL,"),
        QStringLiteral("MENU_RAZDEL.MY_SORT, MENU_RAZDEL.NAME, MENU_RAZDEL.IS_ACTIVE,"),
        QStringLiteral("MENU.PERCENT, ING.NAME AS NAME1, ING.DOP_INFO, ING.VIHOD_BLUDA,"),
        QStringLiteral("ING.MY_SECTION, ING.PERCENT_SKIDKA, ING.MY_TIME, ING.MY_ALARM, ING.KALORIES, ING_SKLAD.MY_CENA,"),
        QStringLiteral("ING_SKLAD.KOD AS KOD_ING_SKLAD, ING_SKLAD.METOD_CENA,"),
        QStringLiteral("ING_SKLAD.KOD_KASSA, ING_SKLAD.S_KOD from MENU_STR"),
        QStringLiteral("INNER JOIN MENU_RAZDEL ON MENU_RAZDEL.KOD = MENU_STR.KOD_MENU_RAZDEL"),
        QStringLiteral("INNER JOIN ING ON ING.KOD = MENU_STR.KOD_ING"),
        QStringLiteral("INNER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD AND ING_SKLAD.KOD_OTDEL = MENU_RAZDEL.KOD_OTDEL"),
        QStringLiteral("INNER JOIN MENU ON MENU.KOD = MENU_RAZDEL.KOD_MENU"),
        QStringLiteral("WHERE MENU_STR.KOD_MENU_RAZDEL = ") + QString::number(razdelKod),
        QStringLiteral("ORDER BY ING.NAME"),
    };
}

namespace {

double number(const db::Query& q, const char* name)
{
    const QString f = QString::fromLatin1(name);
    if (!q.hasField(f))
        return 0;
    const db::Field v = q.field(f);
    return v.isNull() ? 0 : v.asDouble();
}

} // namespace

MenuLine LineOf(const db::Query& q)
{
    MenuLine l;
    l.price = number(q, "MY_CENA");
    l.percent = static_cast<int>(number(q, "PERCENT"));
    l.noRound = static_cast<int>(number(q, "NO_ROUND"));
    l.method = static_cast<int>(number(q, "METOD_CENA"));
    return l;
}

void InstallCenaMenu(db::Query* q, std::function<engine::Context()> context, MenuPriceUse use)
{
    q->addCalcField(QStringLiteral("CENA_MENU"), db::FieldKind::Float);
    q->onCalcFields = [context = std::move(context), use](db::Query& row) {
        const std::optional<double> price = CenaMenu(context(), LineOf(row), use);
        row.setCalc(QStringLiteral("CENA_MENU"), price ? QVariant(*price) : QVariant());
    };
}

void OpenMenuStr(db::Query* q, qint64 razdelKod)
{
    q->close();
    q->setSql(MenuStrSql(razdelKod));
    q->open();
}

} // namespace menus
