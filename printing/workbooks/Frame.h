#pragma once

// What the workbooks laid out by the program share: the progress they
// report, the locks held while a document is filled, the thin frame, and a
// cell writer that leaves empty texts out (an empty cell stays empty).

#include "automation/Spreadsheet.h"
#include "engine/Progress.h"

#include <functional>
#include <memory>

namespace workbooks {

using engine::Progress;

// Keeps the document's locks while it is filled; releases them on the way out.
class Locked {
public:
    explicit Locked(automation::Document& d);
    ~Locked();
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    automation::Document& d_;
};

// A thin line round and between all cells of a range.
automation::TableBorder ThinFrame();

// Points (as page margins are usually given) in hundredths of a millimetre.
int PointsToHmm(double points);

// The width of a column that numbers its lines up to `last`: `width`, which
// holds three digits, and room for each digit more, so that no number
// prints as "###" (line 1,000 of a long list and on).
int NumberColumnWidth(int width, qsizetype last);

// Writes a text on one line (automation::OneLine), leaving an empty one out.
void PutText(automation::Document& d, const automation::CellAddress& cell, const QString& text);

// A new workbook in the office, or null (the office disconnected again)
// when it cannot be reached or gives none.
std::unique_ptr<automation::Document> NewWorkbook(automation::Office& office);

// Closes an unfinished workbook and the connection, swallowing what they throw.
void Abandon(automation::Office& office, automation::Document& d);

// A new workbook filled by `fill` and shown to the user, the connection
// released; false when the office cannot be reached. An unfinished workbook
// is not left to the user: what `fill` throws abandons it and goes on. The
// workbook keeps its first `sheets` sheets; those after them are removed.
bool FillAndShow(automation::Office& office, const std::function<void(automation::Document&)>& fill,
                 int sheets = 1);

// Removes the sheets after the first `sheets`, which a new workbook brings
// and the program leaves empty.
void KeepSheets(automation::Document& d, int sheets);

} // namespace workbooks
