#include "KartaExport.h"

#include "Frame.h"

#include "costing/CardSource.h"
#include "costing/Expansion.h"
#include "engine/Context.h"

namespace workbooks::cardexport {

void Print(const engine::Context& ctx, const Options& options, automation::Office& office)
{
    costing::SqlCardSource source(ctx.database, ctx.read);
    costing::Expander expander(source);
    Write(office,
          expander.ExpandToRawNoIng(options.product, options.otdel, options.quantity, options.priceChoice, 0, false),
          options.title);
}

void Write(automation::Office& office, costing::AmountList&& list, const QString& title)
{
    using automation::CellAddress;
    if (!office.connect())
        throw automation::OfficeError(automation::OfficeUnreachableText().toStdString());
    auto doc = office.newCalc();
    // Column A holds 15 characters of the default font.
    doc->setColumnWidth(0, 0, 15 * 212);
    doc->setString({0, 0, 0}, title);
    const QVariantList captions{QStringLiteral("Наименование"), QStringLiteral("Кол-во"), QStringLiteral("% Вых"),
                                QStringLiteral("Цена"),         QStringLiteral("Порций"), QStringLiteral("Код"),
                                QStringLiteral("Уровень"),      QStringLiteral("Netto"),  QStringLiteral("Сумма")};
    doc->setBlockValues({0, 0, 1}, {captions});
    int row = 3;  // counted from 1, as the formulas name it
    for (const costing::RIng& n : list) {
        if (n.MY_LEVEL < 0)
            continue;
        doc->setBlockValues({0, 0, row - 1},
                            {{n.NAME, n.BRUTTO, n.PERCENT, n.PRICE, double(n.KVO_PORC), QString::number(n.KOD_ING),
                              double(n.DEPTH), n.NETTO}});
        doc->setFormula({0, 8, row - 1}, QStringLiteral("=B%1 * D%1").arg(row));
        ++row;
    }
    list.clear();
    if (row > 3)
        doc->setFormula({0, 8, row - 1}, QStringLiteral("=SUM(I3:I%1)").arg(row - 1));
    KeepSheets(*doc, 1);
    doc->show();
}

} // namespace workbooks::cardexport
