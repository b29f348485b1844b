#include "MenuReport.h"

#include "db/Query.h"
#include "engine/Clock.h"
#include "engine/EngineDb.h"
#include "engine/Kopecks.h"
#include "menus/SectionDishes.h"

namespace reports {

using namespace templates;

namespace {

QString text(const db::Field& f) { return f.isNull() ? QString() : f.asString(); }
QString name(const db::Field& f) { return OneLine(text(f)); }

} // namespace

QVector<MenuSectionLine> LoadMenuSections(const engine::Context& ctx, qint64 menu)
{
    QVector<MenuSectionLine> sections;
    auto q = engine::Reader(ctx);
    q->setSql(QStringList{QStringLiteral("select MENU_RAZDEL.*, OTDEL.NAME AS NAME_O from MENU_RAZDEL"),
                          QStringLiteral("LEFT OUTER JOIN OTDEL ON OTDEL.KOD = MENU_RAZDEL.KOD_OTDEL"),
                          QStringLiteral("WHERE KOD_MENU = ") + QString::number(menu),
                          QStringLiteral("ORDER BY MY_SORT")});
    q->open();
    for (q->first(); !q->eof(); q->next()) {
        MenuSectionLine s;
        s.kod = q->field(QStringLiteral("KOD")).asInt64();
        s.name = name(q->field(QStringLiteral("NAME")));
        const db::Field otdel = q->field(QStringLiteral("KOD_OTDEL"));
        if (!otdel.isNull())
            s.kodOtdel = otdel.asInt64();
        s.nameO = name(q->field(QStringLiteral("NAME_O")));
        s.isActive = q->field(QStringLiteral("IS_ACTIVE")).asInt();
        sections.append(s);
    }
    q->close();
    for (MenuSectionLine& s : sections) {
        q->setSql(menus::MenuStrSql(s.kod));
        q->open();
        for (q->first(); !q->eof(); q->next()) {
            MenuDishLine d;
            d.name = name(q->field(QStringLiteral("NAME1")));
            d.kodIngSklad = q->field(QStringLiteral("KOD_ING_SKLAD")).asInt64();
            d.sKod = text(q->field(QStringLiteral("S_KOD")));
            d.dopInfo = text(q->field(QStringLiteral("DOP_INFO")));
            d.vihod = text(q->field(QStringLiteral("VIHOD_BLUDA")));
            const db::Field kal = q->field(QStringLiteral("KALORIES"));
            d.kalories = kal.isNull() ? 0 : kal.asDouble();
            const db::Field active = q->field(QStringLiteral("MY_ACTIVE"));
            d.myActive = active.isNull() ? 0 : active.asInt();
            d.cenaMenu = menus::CenaMenu(ctx, menus::LineOf(*q), menus::MenuPriceUse::List);
            s.dishes.append(d);
        }
        q->close();
    }
    return sections;
}

QString MenuMoneyText(double amount, const QString& rub, const QString& kop)
{
    const qint64 c = engine::Kopecks(amount);
    const qint64 whole = c < 0 ? -c : c;
    return (c < 0 ? QStringLiteral("-") : QString()) + QString::number(whole / 100) + rub + QLatin1Char(' ') +
           QStringLiteral("%1").arg(whole % 100, 2, 10, QLatin1Char('0')) + kop;
}

namespace {

// Rows the progress window counts: one per dish line of an active section,
// one for an active section without dishes.
int ProgressRows(const engine::Context& ctx, qint64 menu)
{
    auto q = engine::Reader(ctx);
    q->setSql(QStringList{QStringLiteral("SELECT COUNT(*) FROM MENU_RAZDEL"),
                          QStringLiteral("LEFT OUTER JOIN MENU_STR ON MENU_STR.KOD_MENU_RAZDEL = MENU_RAZDEL.KOD"),
                          QStringLiteral("WHERE MENU_RAZDEL.KOD_MENU = ") + QString::number(menu),
                          QStringLiteral("AND MENU_RAZDEL.IS_ACTIVE > 0")});
    q->open();
    return q->field(0).asInt();
}

} // namespace

void menu::Print(const engine::Context& ctx, const Options& options, automation::Office& office,
                 const QString& cacheFolder, const Progress& progress, Road road)
{
    TemplateRun run(ctx, office, cacheFolder, kMenuList, progress, road);
    const QVector<MenuSectionLine> sections = LoadMenuSections(ctx, options.menu);
    run.startProgress(ProgressRows(ctx, options.menu));
    const engine::Settings& settings = ctx.values();
    auto q = engine::Reader(ctx, QStringLiteral("SELECT NAME FROM MENU WHERE KOD = ") + QString::number(options.menu));
    q->open();
    const QString menuName = q->isEmpty() ? QString() : text(q->field(0));
    q->close();
    run.open();
    // The menu's name where the template's header has a title for it.
    run.header([&] {
        run.putDate(QStringLiteral("date"), Clock::today());
        run.putText(QStringLiteral("name_d"), menuName);
    });

    QString department = QStringLiteral("-");
    int printed = 0;
    for (const MenuSectionLine& s : sections) {
        if (s.isActive <= 0)
            continue;
        // A department that comes back after another one gets a heading again.
        const QString code = s.kodOtdel ? QString::number(*s.kodOtdel) : QString();
        if (code != department) {
            department = code;
            run.putText(QStringLiteral("otdel"), s.nameO, RowNextWhenEnabled);
        }
        run.putText(QStringLiteral("group"), s.name, RowNextWhenEnabled);
        for (const MenuDishLine& d : s.dishes) {
            run.stepProgress();
            if (d.myActive <= 0)
                continue;
            const double price = d.cenaMenu.value_or(0);
            run.putInt(QStringLiteral("nstr"), ++printed);
            run.putText(QStringLiteral("name"), d.name);
            run.putText(QStringLiteral("vihod"), d.vihod);
            run.putMoney(QStringLiteral("cena"), price);
            run.putText(QStringLiteral("cena2"), MenuMoneyText(price, settings.rub, settings.kop));
            run.putInt(QStringLiteral("kalories_menu"), static_cast<qint64>(engine::RoundHalfEven(d.kalories)), RowNext);
        }
    }
    run.endBlock();
    run.finish();
}

QList<workbooks::MenuCodeLine> LoadMenuCodes(const engine::Context& ctx, qint64 menu)
{
    auto q = engine::Reader(ctx);
    q->setSql(QStringList{
        QStringLiteral("SELECT MENU_RAZDEL.KOD_OTDEL, MENU_RAZDEL.KOD, MENU_RAZDEL.NAME AS NAME_RAZDEL, ING.NAME, "
                       "OTDEL.NAME AS NAME_OTDEL, ING_SKLAD.KOD AS KOD_ING, ING_SKLAD.KOD_KASSA, ING_SKLAD.KOD_1S, "
                       "ING_SKLAD.S_KOD FROM MENU_RAZDEL"),
        QStringLiteral("INNER JOIN MENU_STR ON MENU_STR.KOD_MENU_RAZDEL = MENU_RAZDEL.KOD"),
        QStringLiteral("INNER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = MENU_STR.KOD_ING AND ING_SKLAD.KOD_OTDEL = "
                       "MENU_RAZDEL.KOD_OTDEL"),
        QStringLiteral("INNER JOIN ING ON ING.KOD = MENU_STR.KOD_ING"),
        QStringLiteral("INNER JOIN OTDEL ON OTDEL.KOD = MENU_RAZDEL.KOD_OTDEL"),
        QStringLiteral("WHERE MENU_RAZDEL.KOD_MENU = ") + QString::number(menu) +
            QStringLiteral(" AND MENU_RAZDEL.IS_ACTIVE = 1 AND MENU_STR.MY_ACTIVE = 1"),
        QStringLiteral("ORDER BY MENU_RAZDEL.MY_SORT, MENU_RAZDEL.KOD_OTDEL, MENU_RAZDEL.KOD, ING.NAME")});
    q->open();
    QList<workbooks::MenuCodeLine> lines;
    for (q->first(); !q->eof(); q->next()) {
        workbooks::MenuCodeLine l;
        l.kodOtdel = text(q->field(QStringLiteral("KOD_OTDEL")));
        l.kodRazdel = text(q->field(QStringLiteral("KOD")));
        l.nameRazdel = name(q->field(QStringLiteral("NAME_RAZDEL")));
        l.name = name(q->field(QStringLiteral("NAME")));
        l.nameOtdel = name(q->field(QStringLiteral("NAME_OTDEL")));
        l.kodIng = text(q->field(QStringLiteral("KOD_ING")));
        l.kodKassa = text(q->field(QStringLiteral("KOD_KASSA")));
        l.kod1s = text(q->field(QStringLiteral("KOD_1S")));
        l.sKod = text(q->field(QStringLiteral("S_KOD")));
        lines.append(l);
    }
    return lines;
}

} // namespace reports
