#include "MenuCodesWorkbook.h"

#include "Frame.h"

namespace workbooks {

namespace {

// The sheet's own type, in which a long name wrapped over several lines
// gets the height it prints at: the office measures a wrapped row of the
// 10-point sans-serif type it falls back to a line short for every few
// lines, and a name of four lines ran over the dish above. The header and
// the headings are bold.
const automation::Font kPlain{QStringLiteral("DejaVu Sans"), 9, automation::kWeightNormal};
const automation::Font kBold{QStringLiteral("DejaVu Sans"), 9, automation::kWeightBold};

constexpr int kColumns = 7;  // A to G
constexpr int kFramedLast = 5;  // the frame ends at column F
constexpr int kBarColumn = 6;   // G

automation::RangeAddress rowRange(int row, int first, int last) { return {0, first, row, last, row}; }

// Dish lines go out in runs between headings, one range write per run.
class DishRuns {
public:
    explicit DishRuns(automation::Document& d) : d_(d) {}
    void add(int row, const QVariantList& values)
    {
        if (run_.isEmpty())
            first_ = row;
        run_.append(values);
    }
    void send()
    {
        if (run_.isEmpty())
            return;
        d_.setBlockValues({0, 0, first_}, run_);
        run_.clear();
    }

private:
    automation::Document& d_;
    QList<QVariantList> run_;
    int first_ = 0;
};

void fill(automation::Document& doc, const QList<MenuCodeLine>& lines, const Progress& progress)
{
    // The columns are 245.5 mm together: the pages go across, where they fit
    // at full size, so the bars stay the size the reader scans. A 13-digit
    // bar code and an accounting code such as "00-000000042" fit their
    // columns on one line, in the office's sans-serif type whichever it has.
    doc.setColumnWidths(0, 0, {NumberColumnWidth(850, lines.size()), 7200, 2500, 2500, 3000, 3300, 5200});
    doc.setBlockValues({0, 0, 0}, {QVariantList{QStringLiteral("№"), QStringLiteral("Наименование блюда"),
                                                QStringLiteral("Код продукта"), QStringLiteral("Код кассы"),
                                                QStringLiteral("Код 1С"), QStringLiteral("Штрих код"),
                                                QStringLiteral("*Штрих код*")}});
    doc.setHoriJustify(rowRange(0, 0, kColumns - 1), 2);
    doc.setFont(rowRange(0, 0, kColumns - 1), kBold);
    doc.setWrapped(rowRange(0, 0, kColumns - 1), true);

    // Rows count from 0 here: the header is row 0, the first line row 1.
    int next = 1;
    int number = 1;
    QString department = QStringLiteral("-9");
    QString section = QStringLiteral("-9");
    DishRuns runs(doc);
    QList<automation::RangeAddress> headings;
    int done = 0;
    for (const MenuCodeLine& l : lines) {
        // Ordered by the sections' sort number first: a department that
        // comes back after another one gets a heading again.
        if (l.kodOtdel != department) {
            runs.send();
            doc.setString({0, 0, next}, l.nameOtdel);
            doc.merge(rowRange(next, 0, kFramedLast));
            doc.setHoriJustify(rowRange(next, 0, kFramedLast), 2);
            headings << rowRange(next, 0, kColumns - 1);
            department = l.kodOtdel;
            ++next;
        }
        if (l.kodRazdel != section) {
            runs.send();
            doc.setString({0, 1, next}, l.nameRazdel);
            headings << rowRange(next, 0, kColumns - 1);
            section = l.kodRazdel;
            ++next;
        }
        // A dish without a bar code has no bars: the start and stop marks
        // alone would encode nothing.
        const QString bars = l.sKod.isEmpty() ? QString() : QLatin1Char('*') + l.sKod + QLatin1Char('*');
        runs.add(next, QVariantList{double(number), l.name, l.kodIng, l.kodKassa, l.kod1s, l.sKod, bars});
        ++next;
        ++number;
        ++done;
        if (progress.step)
            progress.step(done);
    }
    runs.send();
    const int last = next - 1;
    // A long name, code or caption wraps within its column instead of being
    // cut; the rows grow when the sheet is unlocked.
    if (last >= 1) {
        doc.setWrapped({0, 1, 1, kFramedLast, last}, true);
        doc.setFont({0, 0, 1, kFramedLast, last}, kPlain);
        doc.setFontOn(headings, kBold);
    }

    // The bars over the column's dish rows; its caption stays in letters.
    if (last >= 1)
        doc.setFont({0, kBarColumn, 1, kBarColumn, last},
                    automation::Font{BarCodeFontName(), kBarCodeFontHeight, automation::kWeightNormal});
    doc.setHoriJustify({0, kBarColumn, 0, kBarColumn, last}, 2);

    doc.setTableBorder({0, 0, 0, kFramedLast, last}, ThinFrame());
    // The page last: once the sheet has a page style of its own, the office
    // counts its pages again on every change made after it.
    doc.setLandscape(0);
}

} // namespace

QString BarCodeFontName() { return QStringLiteral("Tarelia Code 39"); }

QString BarCodeFontMissingText()
{
    return QStringLiteral("LibreOffice не видит шрифт штрих-кода «%1»: штрих-коды показаны текстом и не сканируются. "
                          "Закройте все окна LibreOffice и напечатайте коды снова.")
        .arg(BarCodeFontName());
}

bool menucodes::Print(automation::Office& office, const Options& options, const Progress& progress)
{
    if (progress.start)
        progress.start(static_cast<int>(options.lines.size()));
    return FillAndShow(office, [&](automation::Document& doc) {
        Locked locked(doc);
        fill(doc, options.lines, progress);
    });
}

} // namespace workbooks
