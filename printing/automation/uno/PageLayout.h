#pragma once

// Blocks of rows kept on one page each: where the office's own pagination
// would split a block that fits on a page, a page break goes before it.
//
// A break placed moves every page after it. Asking the office after each
// break costs a pagination and a few calls per page, so from the first block
// the office splits on the pages are laid out on our side instead, as the
// office paginates: a page holds its rows while their heights add up to no
// more than its printable height, and a row starts a page where it does not
// fit or where a break was placed. A block the office splits however the
// pages fall (taller than a page, or told to break inside) starts a page,
// and the office's pagination through it is read once for all of them. The
// other breaks go in together, and one more pagination of the office
// confirms them.

#include <QList>

#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace automation::unopages {

// What keeping blocks together asks of the office.
class Pagination {
public:
    virtual ~Pagination() = default;
    // The rows that start a page as the office paginates the sheet now, row
    // 0 among them; `manual` gets those it was told to start one.
    virtual std::set<int> starts(std::set<int>& manual) = 0;
    // For each range of rows (first, last): the top of its first row and the
    // top of the row below it, in twips from the sheet's top (the unit the
    // office counts pages in), into `tops` by row.
    virtual void measure(const QList<std::pair<int, int>>& ranges, std::map<int, long>& tops) = 0;
    // The height of a row, in twips. The office finds a row's top by adding
    // up the heights of the rows above it, so a row below one whose top is
    // known is cheaper told by this one's height.
    virtual long height(int row)
    {
        std::map<int, long> tops;
        measure({{row, row}}, tops);
        return tops.at(row + 1) - tops.at(row);
    }
    // Each of the rows starts a page from now on (or no longer, `start` false).
    virtual void startPagesAt(const QList<int>& rows, bool start = true) = 0;
};

// Blocks (first, last) of rows, counted from 0, in any order; a block
// taller than a page starts a page of its own and runs on from there.
// `pageHeight` is the rows' printable height on a page, in twips, where the
// page style lets it be known. Without it, where blocks overlap, or where the
// office paginates otherwise than counted, the breaks go in one at a time,
// the office's pagination read again after each. `kinds`, when given, holds
// one number a block: blocks of one kind and as many rows hold rows of the
// same heights, and so do the rows from each down to the next block when as
// many lie between, so only the first of them is measured.
void KeepTogether(Pagination& pages, QList<std::pair<int, int>> blocks, std::optional<long> pageHeight,
                  QList<int> kinds = {});

// A sheet whose blocks are kept is fitted a band of rows at a time from the
// bottom up, each band's blocks measured right after it is fitted, while
// the rows above it are not fitted yet (RowHeights.h): the office then
// finds a top without adding up the heights of the fitted rows above.
struct Band {
    int first = 0, last = 0;
    QList<std::pair<int, int>> ranges;  // measured once it is fitted: its blocks and its last row
};
// Bands of at least `rows` rows over the blocks (first, last) in any order,
// each starting at a block's first row and running to the next band's,
// each to measure what of its blocks KeepTogether measures (the blocks of
// one kind, `kinds` as KeepTogether takes them, measured on the first) and
// its first and last rows.
std::vector<Band> Bands(QList<std::pair<int, int>> blocks, int rows, const QList<int>& kinds = {});
// The tops of every row measured, as the sheet stands once all rows are
// fitted: `measured` holds each band's tops as they were measured (the rows
// above it fitted or not), `top` the first band's first row's top now.
std::map<int, long> JoinBands(const std::vector<Band>& bands, const std::vector<std::map<int, long>>& measured, long top);

} // namespace automation::unopages
