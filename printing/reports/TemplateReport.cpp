#include "TemplateReport.h"

#include "Figures.h"

#include "engine/Kopecks.h"

#include <stdexcept>

namespace reports {

using namespace templates;

TemplateRun::TemplateRun(const engine::Context& ctx, automation::Office& office, QString cacheFolder, int listNo,
                         Progress progress, Road road)
    : ctx_(ctx), office_(office), cacheFolder_(std::move(cacheFolder)), progress_(std::move(progress)), road_(road)
{
    tpl_ = LoadDefaultTemplate(ctx_, listNo);
}

TemplateRun::~TemplateRun()
{
    if (finished_)
        return;
    if (raw_) {
        if (buffered_) {
            buffered_.reset();  // sends what is pending, so the locks come off a consistent document
        }
        AbandonTemplateSheet(office_, *raw_);
    }
    if (progressShown_ && progress_.close)
        progress_.close();
}

void TemplateRun::startProgress(int maximum)
{
    position_ = 0;
    progressShown_ = true;
    if (progress_.start)
        progress_.start(maximum);
}

int TemplateRun::stepProgress()
{
    ++position_;
    if (progress_.step)
        progress_.step(position_);
    return position_;
}

void TemplateRun::open()
{
    row = OpenPrintTemplate(office_, cacheFolder_, tpl_.form, raw_);
    columnFormats_ = ReadColumnFormats(*raw_, tpl_.variables, row);
    if (road_ == Road::RowBuffered)
        buffered_ = std::make_unique<automation::BufferedDocument>(*raw_);
}

automation::Document& TemplateRun::document()
{
    if (buffered_)
        return *buffered_;
    return *raw_;
}

void TemplateRun::place(int mode, int& atRow)
{
    // The table's rows take the columns' formats; the header and the end
    // block bring their own.
    const bool inTable = !headerPlacing_ && !endPlaced_;
    PutTemplateVariables(document(), value, mode, atRow, tpl_.variables, tpl_.form, inTable ? &columnFormats_ : nullptr,
                         figureFormat_);
}

void TemplateRun::put(const QString& name, int mode)
{
    value.Name = name;
    if (headerPlacing_) {
        int headerRow = 1;
        place(mode, headerRow);
    } else {
        place(mode, row);
    }
}

void TemplateRun::putNone(const QString& name, int mode)
{
    value.Typ = KindNone;
    put(name, mode);
}

void TemplateRun::putText(const QString& name, const QString& text, int mode)
{
    value.Typ = KindText;
    value.S = OneLine(text);
    put(name, mode);
}

void TemplateRun::putInt(const QString& name, qint64 v, int mode)
{
    value.Typ = KindInteger;
    value.I = v;
    put(name, mode);
}

void TemplateRun::putFloat(const QString& name, double v, int mode)
{
    value.Typ = KindFloat;
    value.F = Settled(v);
    put(name, mode);
}

void TemplateRun::putMoney(const QString& name, double roubles, int mode)
{
    putKopecks(name, engine::Units(Settled(roubles), 2), mode);
}

void TemplateRun::putKopecks(const QString& name, qint64 kopecks, int mode)
{
    putFloat(name, static_cast<double>(kopecks) / 100.0, mode);
}

void TemplateRun::putAmount(const QString& name, int index, int mode)
{
    if (index < 0 || index >= rowAmounts_.size())
        throw std::logic_error("the report places an amount its row does not sum");
    amountPlaced_[index] = true;
    putKopecks(name, rowAmounts_[index], mode);
}

void TemplateRun::beginRow(const QVector<qint64>& amounts)
{
    rowAmounts_ = amounts;
    amountPlaced_.fill(false, amounts.size());
}

void TemplateRun::endRow()
{
    for (int i = 0; i < rowAmounts_.size(); ++i)
        if (rowAmounts_[i] != 0 && !amountPlaced_[i])
            throw std::logic_error("the report sums an amount its row does not print");
    rowAmounts_.clear();
    amountPlaced_.clear();
}

void TemplateRun::putFigure(const QString& name, double v, const QString& format, int mode)
{
    figureFormat_ = format;  // a failure ends the run: no later figure sees it
    putFloat(name, engine::Printed(Settled(v)), mode);
    figureFormat_.clear();
}

void TemplateRun::putPrice(const QString& name, double v, int mode)
{
    putFigure(name, v, automation::kPriceFormat, mode);
}

void TemplateRun::putQuantity(const QString& name, double v, int mode)
{
    putFigure(name, v, automation::kQuantityFormat, mode);
}

void TemplateRun::putDate(const QString& name, const QDate& v, int mode)
{
    value.Typ = KindDate;
    value.D = QDateTime(v, QTime(0, 0));
    put(name, mode);
}

void TemplateRun::header(const std::function<void()>& set)
{
    headerPlacing_ = true;
    try {
        set();
    } catch (...) {
        headerPlacing_ = false;
        throw;
    }
    headerPlacing_ = false;
}

void TemplateRun::endBlock()
{
    MoveTemplateRange(document(), tpl_.form.TAIL_YX, tpl_.form.HEAD_YX, row, true);
    endPlaced_ = true;
}

void TemplateRun::finish()
{
    if (progressShown_ && progress_.close)
        progress_.close();
    progressShown_ = false;
    if (buffered_)
        buffered_->flush();
    FinishTemplateSheet(office_, *raw_, tpl_.form, row);
    finished_ = true;
}

void RunStandardReport(const engine::Context& ctx, automation::Office& office, const QString& cacheFolder,
                       const StandardReport& report, const Progress& progress, Road road)
{
    TemplateRun run(ctx, office, cacheFolder, report.listNo, progress, road);
    run.startProgress(report.rowCount);
    run.open();
    if (report.header)
        run.header([&] { report.header(run); });

    const int levels = static_cast<int>(report.levels.size());
    QVector<QString> keys(levels, QStringLiteral("-"));
    QVector<QVector<qint64>> sums(levels);
    QVector<qint64> totals;

    auto add = [](QVector<qint64>& to, const QVector<qint64>& amounts) {
        if (to.size() < amounts.size())
            to.resize(amounts.size());
        for (int i = 0; i < amounts.size(); ++i)
            to[i] += amounts[i];
    };
    auto closeLevel = [&](int level) {
        const GroupLevel& g = report.levels[level];
        if (g.rowEndVariable.isEmpty())
            return;  // a level with headings only
        const QVector<qint64>& s = sums[level];
        for (int i = 0; i < g.subtotalVariables.size(); ++i)
            run.putKopecks(g.subtotalVariables[i], i < s.size() ? s[i] : 0);
        run.put(g.rowEndVariable, RowNext);
    };

    for (int r = 0; r < report.rowCount; ++r) {
        // The outermost level whose group changes; it and every level inside it close.
        int changed = levels;
        for (int l = 0; l < levels; ++l)
            if (report.groupCode(r, l) != keys[l]) {
                changed = l;
                break;
            }
        for (int l = levels - 1; l >= changed; --l) {
            if (keys[l] != QStringLiteral("-"))
                closeLevel(l);
            sums[l].clear();
        }
        for (int l = 0; l < levels; ++l) {
            const QString code = report.groupCode(r, l);
            if (code == keys[l])
                continue;
            keys[l] = code;
            for (int inner = l + 1; inner < levels; ++inner)
                keys[inner] = QStringLiteral("+");
            run.putText(report.levels[l].headingVariable, report.groupName(r, l), RowNextWhenEnabled);
        }
        const QVector<qint64> a = report.amounts ? report.amounts(r) : QVector<qint64>();
        for (int l = 0; l < levels; ++l)
            add(sums[l], a);
        add(totals, a);
        run.beginRow(a);
        run.putInt(QStringLiteral("nstr"), run.stepProgress());
        if (report.rowVariables)
            report.rowVariables(run, r);
        run.endRow();
        for (int i = 0; i < report.spareVariables.size(); ++i)
            run.put(report.spareVariables[i], i + 1 == report.spareVariables.size() ? RowNext : RowStay);
    }
    for (int l = levels - 1; l >= 0; --l)
        if (keys[l] != QStringLiteral("-"))
            closeLevel(l);

    run.endBlock();
    if (report.end)
        report.end(run, totals);
    run.finish();
}

words::MoneyNames MoneyNamesOf(const engine::Context& ctx)
{
    const engine::Settings& s = ctx.values();
    words::MoneyNames names;
    names.language = s.my_language;
    names.rod = s.rod;
    names.rub = s.rub;
    names.kop = s.kop;
    return names;
}

} // namespace reports
