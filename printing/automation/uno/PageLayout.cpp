#include "PageLayout.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace automation::unopages {

namespace {

using Blocks = QList<std::pair<int, int>>;

// A row after `first` and no later than `last` is in `rows`.
bool anyInside(const std::set<int>& rows, int first, int last)
{
    const auto inside = rows.upper_bound(first);
    return inside != rows.end() && *inside <= last;
}

// The first block from `from` on that a page starts inside; -1 when none.
int firstSplit(const Blocks& blocks, int from, const std::set<int>& starts)
{
    for (int i = from; i < blocks.size(); ++i)
        if (anyInside(starts, blocks[i].first, blocks[i].second))
            return i;
    return -1;
}

// The blocks from `from` on kept one break at a time, the office's
// pagination read again after each.
void oneAtATime(Pagination& pages, const Blocks& blocks, int from)
{
    for (int next = from; next < blocks.size();) {
        std::set<int> manual;
        const std::set<int> starts = pages.starts(manual);
        const int split = firstSplit(blocks, next, starts);
        if (split < 0)
            return;
        // A block that starts its page already is taller than a page.
        if (!starts.count(blocks[split].first))
            pages.startPagesAt({blocks[split].first});
        next = split + 1;
    }
}

// The pages from block `split` on (the first one the office splits, as it
// paginates now: `starts`, `manual`) laid out on our side and their breaks
// set. Returns the block from which on the blocks are still to be kept one
// at a time: the number of blocks once the office confirmed the count.
int layOut(Pagination& pages, const Blocks& blocks, int split, long height, std::set<int> starts,
           std::set<int> manual)
{
    const int n = static_cast<int>(blocks.size());
    std::map<int, long> tops;
    const auto top = [&](int row) {
        auto at = tops.find(row);
        if (at == tops.end()) {
            pages.measure({{row, row}}, tops);
            at = tops.find(row);
        }
        return at->second;
    };

    // The page the office ends inside the split block is to be counted
    // alike: its rows up to the one starting the next page fit the height,
    // with that row they do not.
    QList<std::pair<int, int>> ranges = blocks.mid(split);
    const int inside = *starts.upper_bound(blocks[split].first);
    const int pageStart = *std::prev(starts.find(inside));
    const bool check = !manual.count(inside);
    if (check)
        ranges << std::pair{pageStart, inside - 1} << std::pair{inside, inside};
    pages.measure(ranges, tops);
    if (check && !(top(inside) - top(pageStart) <= height && top(inside + 1) - top(pageStart) > height))
        return split;

    // Blocks the office splits however the pages fall (taller than a page,
    // or told to break inside) start a page, and the office's pages through
    // them are read once for all of them.
    std::vector<bool> forced(n, false);
    QList<int> breaks;
    for (int i = split; i < n; ++i) {
        const auto [first, last] = blocks[i];
        forced[i] = top(last + 1) - top(first) > height || anyInside(manual, first, last);
        if (forced[i] && !manual.count(first))
            breaks << first;
    }
    if (!breaks.isEmpty()) {
        pages.startPagesAt(breaks);
        manual.clear();
        starts = pages.starts(manual);
    }
    std::map<int, int> lastStart;  // of each forced block: the row its last page starts at
    ranges.clear();
    for (int i = split; i < n; ++i)
        if (forced[i]) {
            lastStart[i] = *std::prev(starts.upper_bound(blocks[i].second));
            ranges << std::pair{lastStart[i], lastStart[i]};
        }
    if (!ranges.isEmpty())
        pages.measure(ranges, tops);

    // A row starts a page where the rows from the page's top down to it do
    // not fit the height, or where told to; a block that would not fit
    // starts one.
    QList<int> planned;
    long pageTop = 0;
    for (int i = split; i < n; ++i) {
        const auto [first, last] = blocks[i];
        if (forced[i]) {
            pageTop = top(lastStart[i]);
        } else if (i == split) {
            planned << first;
            pageTop = top(first);
        } else {
            if (top(first) - pageTop > height || anyInside(manual, blocks[i - 1].second, first - 1))
                for (int r = blocks[i - 1].second + 1; r < first; ++r)
                    if (manual.count(r) || top(r + 1) - pageTop > height)
                        pageTop = top(r);
            if (manual.count(first)) {
                pageTop = top(first);
            } else if (top(last + 1) - pageTop > height) {
                planned << first;
                pageTop = top(first);
            }
        }
    }
    if (!planned.isEmpty()) {
        pages.startPagesAt(planned);
        manual.clear();
        starts = pages.starts(manual);
    }
    for (int i = split; i < n; ++i)
        if (!forced[i] && anyInside(starts, blocks[i].first, blocks[i].second)) {
            // The office paginates otherwise than counted: from this block
            // on, the breaks counted go and they are placed one at a time.
            QList<int> counted;
            for (const int row : planned)
                if (row >= blocks[i].first)
                    counted << row;
            pages.startPagesAt(counted, false);
            return i;
        }
    return n;
}

} // namespace

void KeepTogether(Pagination& pages, QList<std::pair<int, int>> blocks, std::optional<long> pageHeight)
{
    if (blocks.isEmpty())
        return;
    std::sort(blocks.begin(), blocks.end());
    for (int i = 1; i < blocks.size(); ++i)
        if (blocks[i].first <= blocks[i - 1].second)
            pageHeight.reset();
    int from = 0;
    if (pageHeight) {
        std::set<int> manual;
        const std::set<int> starts = pages.starts(manual);
        const int split = firstSplit(blocks, 0, starts);
        if (split < 0)
            return;
        from = layOut(pages, blocks, split, *pageHeight, starts, manual);
    }
    oneAtATime(pages, blocks, from);
}

} // namespace automation::unopages
