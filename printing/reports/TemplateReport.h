#pragma once

// The run every template report follows: the default template of its print
// list, the document opened from it, the header, the table rows with group
// headings and subtotals, the end block with the totals, and the finished
// document shown to the user. No widgets: the progress window is reached
// through Progress, messages travel as TemplateError.

#include "Progress.h"

#include "automation/BufferedDocument.h"
#include "templates/TemplateEngine.h"
#include "words/AmountInWords.h"

#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

namespace reports {

// A text for one line of a sheet (also as the menu's file writes it).
using automation::OneLine;

// How cell values reach the office: one call per cell, or each row's values
// gathered into one range write with repeated formats applied once.
enum class Road { PerCell, RowBuffered };

// One run of a report on the default template of a list.
class TemplateRun {
public:
    TemplateRun(const engine::Context& ctx, automation::Office& office, QString cacheFolder, int listNo,
                Progress progress = {}, Road road = Road::RowBuffered);
    // A run that did not reach finish() unlocks and closes its document and
    // closes the progress window.
    ~TemplateRun();
    TemplateRun(const TemplateRun&) = delete;
    TemplateRun& operator=(const TemplateRun&) = delete;

    const templates::LoadedTemplate& tpl() const { return tpl_; }

    void startProgress(int maximum);
    // Gauge position + 1; returns the new position.
    int stepProgress();
    int position() const { return position_; }

    // Opens the template; the current row becomes the first table row.
    void open();
    automation::Document& document();

    // The value record, reused by every call: put() passes the kind and value
    // left by the call before.
    R_Field value;
    // The current row of the table.
    int row = 1;

    void put(const QString& name, int mode = templates::RowStay);
    void putNone(const QString& name, int mode = templates::RowStay);
    // A text goes on one line (OneLine): a row of a template has the height
    // of one line, and a name typed with a line break would show only its
    // last line there. Texts of several lines go a line per call.
    void putText(const QString& name, const QString& text, int mode = templates::RowStay);
    void putInt(const QString& name, qint64 v, int mode = templates::RowStay);
    // A value within a millionth of zero is placed as 0 (Settled).
    void putFloat(const QString& name, double v, int mode = templates::RowStay);
    // Money as the papers print it: brought to whole kopecks on its decimal,
    // so the office shows what a sum or the words built from it say.
    void putMoney(const QString& name, double roubles, int mode = templates::RowStay);
    void putKopecks(const QString& name, qint64 kopecks, int mode = templates::RowStay);
    // The table row's amount `index` as the standard run sums it into the
    // subtotals and totals (StandardReport::amounts): the printed cell and
    // the sums above and below it are one figure.
    void putAmount(const QString& name, int index, int mode = templates::RowStay);
    // A price or a quantity as the papers print it: with the decimals it
    // has, up to six (engine::Printed).
    void putPrice(const QString& name, double v, int mode = templates::RowStay);
    void putQuantity(const QString& name, double v, int mode = templates::RowStay);
    void putDate(const QString& name, const QDate& v, int mode = templates::RowStay);
    // A header variable: placed with base row 1, the current row untouched.
    void header(const std::function<void()>& set);

    // Places the parked end block at the current row (which stays, so end
    // variables count their rows from the block's first row).
    void endBlock();
    // Closes the progress window and finishes the sheet; the document then
    // belongs to the user.
    void finish();

    // The standard run's amounts of the row being placed; endRow() refuses
    // a row that left an amount other than 0 unplaced (a programming error).
    void beginRow(const QVector<qint64>& amounts);
    void endRow();

private:
    void place(int mode, int& atRow);
    void putFigure(const QString& name, double v, const QString& format, int mode);

    engine::Context ctx_;
    automation::Office& office_;
    QString cacheFolder_;
    Progress progress_;
    Road road_;
    templates::LoadedTemplate tpl_;
    // The table columns' number formats, given to every number they take.
    templates::ColumnFormats columnFormats_;
    QString figureFormat_;  // a price's or a quantity's while it is placed
    std::unique_ptr<automation::Document> raw_;
    std::unique_ptr<automation::BufferedDocument> buffered_;
    int position_ = 0;
    bool progressShown_ = false;
    bool finished_ = false;
    bool headerPlacing_ = false;
    bool endPlaced_ = false;
    QVector<qint64> rowAmounts_;
    QVector<bool> amountPlaced_;
};

// A group level of a report, outermost first in StandardReport::levels.
struct GroupLevel {
    QString headingVariable;        // "firma2", "otdel2", "sklad2", "group2"
    QStringList subtotalVariables;  // kind 3, the level's sums in order
    QString rowEndVariable;         // "n_f", "n_o", "n_s", "n_g"; empty: no subtotal row
};

// The data and variables of a report that follows the standard sequence.
struct StandardReport {
    int listNo = 0;
    QVector<GroupLevel> levels;
    int rowCount = 0;
    std::function<void(TemplateRun&)> header;
    std::function<QString(int row, int level)> groupCode;  // text of the group's code
    std::function<QString(int row, int level)> groupName;
    // The row's printed amounts in kopecks, summed per level (the subtotals,
    // placed as money) and in the totals; the row variables place each with
    // TemplateRun::putAmount (an amount of 0 may stay unplaced: the other
    // direction's of a statement row).
    std::function<QVector<qint64>(int row)> amounts;
    std::function<void(TemplateRun&, int row)> rowVariables;
    QStringList spareVariables{QStringLiteral("s1"), QStringLiteral("s2"), QStringLiteral("s3"),
                               QStringLiteral("s4"), QStringLiteral("s5")};  // the last ends the row
    std::function<void(TemplateRun&, const QVector<qint64>& totals)> end;
};

// Runs the standard sequence: header, rows with headings and subtotals (an
// outer group that changes closes every inner one first, innermost first),
// end block and end variables, finish.
void RunStandardReport(const engine::Context& ctx, automation::Office& office, const QString& cacheFolder,
                       const StandardReport& report, const Progress& progress = {}, Road road = Road::RowBuffered);

// The unit names, gender and language of amounts in words, from the settings.
words::MoneyNames MoneyNamesOf(const engine::Context& ctx);

} // namespace reports
