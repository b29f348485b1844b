#include "CostingCard.h"

#include "engine/Clock.h"

#include "costing/CardSource.h"
#include "costing/Expansion.h"

#include "db/Query.h"
#include "engine/EngineDb.h"
#include "engine/Kopecks.h"

#include <cmath>

namespace reports {

using templates::RowNext;

namespace {

struct CardProduct {
    QString name;
    int kvoPorc = 0;
    QString vihod;
    double kalories = 0;
    QString recept;
};

CardProduct readProduct(const engine::Context& ctx, qint64 product)
{
    CardProduct p;
    auto q = engine::Reader(ctx, QStringLiteral("SELECT NAME, KVO_PORC, VIHOD_BLUDA, KALORIES, RECEPT FROM ING WHERE KOD = ") +
                                     Key(product));
    q->open();
    if (q->isEmpty())
        return p;
    p.name = q->field(0).asString();
    p.kvoPorc = q->field(1).asInt();
    p.vihod = q->field(2).asString();
    p.kalories = q->field(3).asDouble();
    p.recept = q->field(4).asString();
    return p;
}

} // namespace

QString CardMoneyText(double amount, const QString& rub, const QString& kop)
{
    const qint64 c = engine::Kopecks(amount);
    const qint64 a = c < 0 ? -c : c;
    return (c < 0 ? QStringLiteral("-") : QString()) + QString::number(a / 100) + rub + QLatin1Char(' ') +
           QString::number(a % 100) + kop;
}

QStringList MemoLines(const QString& text)
{
    if (text.isEmpty())
        return {};
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (t.endsWith(QLatin1Char('\n')))
        t.chop(1);
    return t.split(QLatin1Char('\n'));
}

costing::AmountList card::Rows(const engine::Context& ctx, const Options& options)
{
    const CardProduct p = readProduct(ctx, options.product);
    costing::SqlCardSource source(ctx.database, ctx.read);
    costing::Expander expander(source);
    costing::AmountList list;
    if (options.mode == 0)
        expander.ExpandOneLevel(p.kvoPorc, 0, options.product, options.otdel, p.kvoPorc, options.priceChoice, list);
    else
        list = expander.ExpandToRaw(options.product, options.otdel, p.kvoPorc, options.priceChoice, 0, false);
    return costing::CopyAmountList(std::move(list));
}

void card::Print(const engine::Context& ctx, const Options& options, automation::Office& office,
                 const QString& cacheFolder, const Progress& progress)
{
    const costing::AmountList rows = Rows(ctx, options);
    const CardProduct p = readProduct(ctx, options.product);
    const engine::Settings& settings = ctx.values();
    TemplateRun run(ctx, office, cacheFolder, 7, progress);
    run.startProgress(rows.size());
    run.open();
    run.header([&] {
        run.putDate(QStringLiteral("date"), Clock::today());
        run.putText(QStringLiteral("firma"), options.firmaName);
        run.putText(QStringLiteral("otdel"), options.otdelName);
        run.putText(QStringLiteral("name_b"), p.name);
    });

    // Kopecks: each row's sums are its gross quantity times its prices,
    // rounded once; the totals, and what the end block works out from them,
    // are the sums of the printed row sums.
    qint64 sumStock = 0;
    qint64 sumPrice = 0;
    int counter = 0;
    for (const costing::RIng& n : rows) {
        run.stepProgress();
        if (options.mode != 0 && n.MY_LEVEL != 0)
            continue;
        const qint64 rowStock = engine::LineKopecks(n.BRUTTO, n.CENA);
        const qint64 rowPrice = engine::LineKopecks(n.BRUTTO, n.PRICE);
        sumStock += rowStock;
        sumPrice += rowPrice;
        run.putInt(QStringLiteral("nstr"), ++counter);
        run.putText(QStringLiteral("name_i"), n.MY_LEVEL > 0 ? QStringLiteral("П.Ф. - ") + n.NAME : n.NAME);
        run.putQuantity(QStringLiteral("kolvo"), n.BRUTTO);
        run.putQuantity(QStringLiteral("kolvo_n"), n.NETTO);
        run.putPrice(QStringLiteral("cena_s"), n.CENA);
        run.putPrice(QStringLiteral("cena_p"), n.PRICE);
        run.putKopecks(QStringLiteral("sum_i_s"), rowStock);
        run.putKopecks(QStringLiteral("sum_i_p"), rowPrice);
        run.putFloat(QStringLiteral("kalories_kk"), n.KALORIES * n.BRUTTO);
        run.put(QStringLiteral("s1"));
        run.put(QStringLiteral("s2"));
        run.put(QStringLiteral("s3"));
        run.put(QStringLiteral("s4"));
        run.put(QStringLiteral("s5"), RowNext);
    }

    run.endBlock();
    const int endRow = run.row;
    const double portions = p.kvoPorc;
    run.putText(QStringLiteral("porc"), QString::number(p.kvoPorc));
    run.putKopecks(QStringLiteral("itogo_s"), sumStock);
    run.putKopecks(QStringLiteral("itogo_p"), sumPrice);

    auto priceQuery = engine::Reader(ctx, QStringLiteral("SELECT MY_CENA FROM ING_SKLAD WHERE KOD_ING = ") +
                                              Key(options.product) + QStringLiteral(" AND KOD_OTDEL = ") +
                                              Key(options.otdel));
    priceQuery->open();
    // The selling price as cena_b prints it.
    const double price =
        engine::ToKopeck(priceQuery->isEmpty() ? 0.0 : priceQuery->field(0).asDouble());
    const double stock = static_cast<double>(sumStock) / 100.0;
    const double chosen = static_cast<double>(sumPrice) / 100.0;
    auto money = [&](double amount) { return CardMoneyText(amount, settings.rub, settings.kop); };
    if (sumStock != 0)
        run.putFloat(QStringLiteral("nac_p_s"), price * 100 / (stock / portions) - 100);
    if (sumPrice != 0)
        run.putFloat(QStringLiteral("nac_p_p"), price * 100 / (chosen / portions) - 100);
    run.putText(QStringLiteral("nac_s_s"), money(price - stock / portions));
    run.putText(QStringLiteral("nac_ps_s"), money(portions * price - stock));
    run.putText(QStringLiteral("nac_s_p"), money(price - chosen / portions));
    run.putText(QStringLiteral("nac_ps_p"), money(portions * price - chosen));
    run.putText(QStringLiteral("vihod"), p.vihod);
    run.putFloat(QStringLiteral("kalories_sum"), p.kalories);
    run.putText(QStringLiteral("cena_b"), money(price));
    for (const QString& line : MemoLines(p.recept))
        run.putText(QStringLiteral("recept"), line, RowNext);
    // The grid ends above the end block; the recipe lines are not part of the table.
    run.row = endRow;
    run.finish();
}

} // namespace reports
