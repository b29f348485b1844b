#include "IngUsageWorkbook.h"

#include "automation/BufferedDocument.h"
#include "costing/DepartmentRows.h"

namespace workbooks {

std::vector<UsageLine> ReadUsageLines(const engine::Context& ctx, qint64 ing)
{
    std::vector<UsageLine> lines;
    for (const costing::UsageRow& r : costing::WhereUsed(ctx, ing))
        lines.push_back({r.name, r.kvoPorc, r.unit, r.kolvo});
    return lines;
}

QString UsageTitle(const QString& productName)
{
    return QStringLiteral("Продукт ") + productName + QStringLiteral(" используется в следующих блюдах:");
}

bool WriteIngUsageWorkbook(automation::Office& office, const QString& productName, const std::vector<UsageLine>& lines,
                           const Progress& progress)
{
    std::unique_ptr<automation::Document> doc = NewWorkbook(office);
    if (!doc)
        return false;
    try {
        {
        Locked locked(*doc);
        doc->setPageMargins(0, {PointsToHmm(30), PointsToHmm(10)});
        static const int widths[] = {750, 9400, 1800, 1400, 2000};
        for (int c = 0; c < 5; ++c)
            doc->setColumnWidth(0, c, widths[c]);
        automation::Font title{QStringLiteral("Arial"), 12};
        title.weight = automation::kWeightBold;
        doc->setFont({0, 0, 0, 4, 0}, title);
        doc->setVertJustify({0, 0, 0, 4, 0}, 2);
        doc->setHoriJustify({0, 0, 0, 4, 0}, 2);
        doc->merge({0, 0, 0, 4, 0});
        doc->setWrapped({0, 0, 0, 4, 0}, true);
        doc->setString({0, 0, 0}, UsageTitle(productName));
        doc->setFont({0, 0, 2, 4, 2}, automation::Font{QStringLiteral("Arial"), 12});
        doc->setBlockValues({0, 0, 2}, {QVariantList{QStringLiteral("№"), QStringLiteral("Наименование блюда"),
                                                     QStringLiteral("Ед.изм."), QStringLiteral("Порц"),
                                                     QStringLiteral("Кол-во")}});
        int position = kUsageLayoutSteps;
        if (progress.step)
            progress.step(position);
        {
            automation::BufferedDocument d(*doc);
            int n = 1;
            for (const UsageLine& l : lines) {
                const int row = n + 2;
                d.setValue({0, 0, row}, n);
                PutText(d, {0, 1, row}, l.name);
                PutText(d, {0, 2, row}, l.unit);
                d.setValue({0, 3, row}, l.kvoPorc);
                d.setValue({0, 4, row}, l.kolvo);
                ++n;
                if (progress.step)
                    progress.step(++position);
            }
            d.flush();
        }
        doc->setTableBorder({0, 0, 2, 4, 2 + static_cast<int>(lines.size())}, ThinFrame());
        }
        // The wrapped title shows all its lines.
        doc->fitRowHeights(0, 0, 0);
    } catch (...) {
        Abandon(office, *doc);
        throw;
    }
    doc->show();
    office.disconnect();
    return true;
}

} // namespace workbooks
