#include "MenuDirect.h"

#include "db/Query.h"
#include "engine/EngineDb.h"
#include "menus/MenuPrice.h"
#include "menus/SectionDishes.h"
#include "reports/MenuReport.h"

#include <QRegularExpression>

namespace direct {

QVector<MenuSection> ReadMenu(const engine::Context& ctx, qint64 menu)
{
    QVector<MenuSection> out;
    auto razdel = engine::Reader(ctx, QStringLiteral("SELECT KOD, NAME, IS_ACTIVE FROM MENU_RAZDEL WHERE KOD_MENU = ") +
                                          Key(menu) + QStringLiteral(" ORDER BY MY_SORT"));
    razdel->open();
    for (; !razdel->eof(); razdel->next()) {
        MenuSection s;
        s.name = reports::OneLine(razdel->field(QStringLiteral("NAME")).asString());
        s.active = razdel->field(QStringLiteral("IS_ACTIVE")).asInt() == 1;
        if (s.active) {
            auto dishes = engine::Reader(ctx);
            dishes->setSql(menus::MenuStrSql(razdel->field(QStringLiteral("KOD")).asInt64()));
            dishes->open();
            for (; !dishes->eof(); dishes->next()) {
                MenuDish d;
                d.name = reports::OneLine(dishes->field(QStringLiteral("NAME1")).asString());
                d.yield = dishes->field(QStringLiteral("VIHOD_BLUDA")).asString();
                d.active = dishes->field(QStringLiteral("MY_ACTIVE")).asInt() == 1;
                d.price = menus::CenaMenu(ctx, menus::LineOf(*dishes));
                s.dishes.push_back(d);
            }
        }
        out.push_back(s);
    }
    return out;
}

QStringList MemoLines(const QString& text)
{
    return text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
}

namespace {

// The canvas style plus bold, for headings; back to the font dialog's style after.
void Bold(Canvas& canvas)
{
    FontStyle s = canvas.style();
    s.bold = true;
    canvas.setStyle(s);
}

} // namespace

void menu::Print(Canvas& canvas, const Options& options, const reports::Progress& progress)
{
    const PrintParams& p = options.params;
    const DesignTexts& texts = options.texts;
    const QVector<MenuSection>& sections = options.sections;
    const Sheet sheet(canvas, p);
    const MenuColumns col = MenuColumnsFor(sheet.usableWidth);
    if (progress.start)
        progress.start(sections.size());
    canvas.beginJob();
    int line = 1;
    for (const QString& l : MemoLines(texts.head)) {
        PrintCell(canvas, p, 0, line, p.fontSize, l, false);
        ++line;
    }
    ++line;
    PrintCell(canvas, p, 0, line, p.fontSize, texts.tab, true);
    ++line;
    int position = 0;
    for (const MenuSection& s : sections) {
        if (progress.step)
            progress.step(++position);
        if (!s.active)
            continue;
        Bold(canvas);
        PrintCell(canvas, p, col.section, line, p.fontSize, s.name, true);
        canvas.setStyle(p.fontStyle);
        ++line;
        for (const MenuDish& d : s.dishes) {
            if (!d.active)
                continue;
            PrintCell(canvas, p, col.yield, line, p.fontSize, d.yield, false);
            PrintCell(canvas, p, col.price, line, p.fontSize, PriceText(d.price.value_or(0)), false);
            PrintWrapped(canvas, p, col.nameWidth, line, d.name, p.lines);
            ++line;
        }
    }
    for (const QString& l : MemoLines(texts.tail)) {
        PrintCell(canvas, p, 0, line, p.fontSize, l, false);
        ++line;
    }
    canvas.endJob();
    if (progress.close)
        progress.close();
}

void codes::Print(Canvas& canvas, const Options& options, const reports::Progress& progress)
{
    const PrintParams& p = options.params;
    const QVector<CodeLine>& rows = options.rows;
    const Sheet sheet(canvas, p);
    const CodesColumns col = CodesColumnsFor(sheet.usableWidth);
    canvas.beginJob();
    int line = 1;
    Bold(canvas);
    PrintCell(canvas, p, 0, line, p.fontSize, QStringLiteral("Наименование"), false);
    PrintCell(canvas, p, col.code, line, p.fontSize, QStringLiteral("Код 1С"), false);
    PrintCell(canvas, p, col.barcode, line, p.fontSize, QStringLiteral("Штрих-код"), true);
    canvas.setStyle(p.fontStyle);
    ++line;
    std::optional<qint64> previous;
    int counter = 2;
    for (const CodeLine& r : rows) {
        if (progress.step)
            progress.step(counter);
        if (previous != r.section) {
            Bold(canvas);
            PrintCell(canvas, p, col.section, line, p.fontSize, r.sectionName, true);
            canvas.setStyle(p.fontStyle);
            ++line;
            previous = r.section;
        }
        PrintCell(canvas, p, col.code, line, p.fontSize, r.kod1s, false);
        PrintCell(canvas, p, col.barcode, line, p.fontSize, r.sKod, false);
        PrintWrapped(canvas, p, col.nameWidth, line, r.name, p.lines);
        ++line;
        ++counter;
    }
    canvas.endJob();
    if (progress.close)
        progress.close();
}

} // namespace direct
