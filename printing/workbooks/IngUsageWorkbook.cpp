#include "IngUsageWorkbook.h"

#include "costing/DepartmentRows.h"
#include "engine/Kopecks.h"
#include "engine/Settled.h"

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

namespace {

constexpr int kBlockRows = 500;

void layout(automation::Document& doc, const QString& productName, const std::vector<UsageLine>& lines,
            const Progress& progress)
{
    Locked locked(doc);
    // The quantity column holds 999 999 999,99; the first, the last line's number.
    doc.setColumnWidths(0, 0, {NumberColumnWidth(750, lines.size()), 9400, 1800, 1400, 2800});
    automation::Font title{QStringLiteral("Arial"), 12};
    title.weight = automation::kWeightBold;
    doc.setFont({0, 0, 0, 4, 0}, title);
    doc.setVertJustify({0, 0, 0, 4, 0}, 2);
    doc.setHoriJustify({0, 0, 0, 4, 0}, 2);
    doc.merge({0, 0, 0, 4, 0});
    doc.setWrapped({0, 0, 0, 4, 0}, true);
    doc.setString({0, 0, 0}, UsageTitle(automation::OneLine(productName)));
    doc.setFont({0, 0, 2, 4, 2}, automation::Font{QStringLiteral("Arial"), 12});
    doc.setBlockValues({0, 0, 2}, {QVariantList{QStringLiteral("№"), QStringLiteral("Наименование блюда"),
                                                QStringLiteral("Ед.изм."), QStringLiteral("Порц"),
                                                QStringLiteral("Кол-во")}});
    if (progress.step)
        progress.step(kUsageLayoutSteps);
    // Line n in sheet row n + 3, in blocks; a gone composite leaves its name and unit empty.
    QList<QVariantList> block;
    int n = 0;
    for (const UsageLine& l : lines) {
        ++n;
        block.append(QVariantList{n, automation::OneLine(l.name), automation::OneLine(l.unit), l.kvoPorc,
                                  engine::Printed(engine::Settled(l.kolvo))});
        if (block.size() == kBlockRows || n == static_cast<int>(lines.size())) {
            doc.setBlockValues({0, 0, 3 + n - static_cast<int>(block.size())}, block);
            block.clear();
            if (progress.step)
                progress.step(kUsageLayoutSteps + n);
        }
    }
    const int last = 2 + static_cast<int>(lines.size());
    if (!lines.empty()) {
        // A long name wraps instead of being cut; the quantities as every
        // paper prints them: with the decimals they have, up to six.
        doc.setWrapped({0, 1, 3, 1, last}, true);
        doc.setNumberFormat({0, 4, 3, 4, last}, automation::kQuantityFormat);
    }
    doc.setTableBorder({0, 0, 2, 4, last}, ThinFrame());
    // The page last: once the sheet has a page style of its own, the office
    // counts its pages again on every change made after it.
    doc.setPageMargins(0, {PointsToHmm(30), PointsToHmm(10)});
}

} // namespace

bool usage::Print(const engine::Context& ctx, const Options& options, automation::Office& office,
                  const Progress& progress)
{
    const std::vector<UsageLine> lines = ReadUsageLines(ctx, options.ing);
    if (progress.start)
        progress.start(static_cast<int>(lines.size()) + kUsageLayoutSteps);
    return Write(office, options.name, lines, progress);
}

bool usage::Write(automation::Office& office, const QString& productName, const std::vector<UsageLine>& lines,
                  const Progress& progress)
{
    return FillAndShow(office, [&](automation::Document& doc) {
        layout(doc, productName, lines, progress);
        // The wrapped title shows all its lines.
        doc.fitRowHeights(0, 0, 0);
    });
}

} // namespace workbooks
