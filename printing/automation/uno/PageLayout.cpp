#include "PageLayout.h"

#include <algorithm>
#include <iterator>
#include <tuple>
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

// What makes two blocks alike: their kind, their rows and the rows from
// each down to the next block (-1 for the last).
using Likeness = std::tuple<int, int, int>;

Likeness likeness(const Blocks& blocks, const std::vector<int>& kinds, int i)
{
    const auto [first, last] = blocks[i];
    const int gap = i + 1 < blocks.size() ? blocks[i + 1].first - last - 1 : -1;
    return {kinds[i], last - first, gap};
}

// The blocks from `split` on by their likeness: the first of each, and
// whether one recurs with a block below it.
struct Likenesses {
    Likenesses(const Blocks& blocks, const std::vector<int>& kinds, int split) : blocks_(blocks), kinds_(kinds)
    {
        for (int i = split; i < blocks.size(); ++i) {
            const Likeness l = likeness(blocks, kinds, i);
            first_.emplace(l, i);
            ++count_[l];
        }
    }
    int firstLike(int i) const { return first_.at(likeness(blocks_, kinds_, i)); }
    bool recurs(int i) const
    {
        const Likeness l = likeness(blocks_, kinds_, i);
        return count_.at(l) > 1 && std::get<2>(l) >= 0;
    }

private:
    const Blocks& blocks_;
    const std::vector<int>& kinds_;
    std::map<Likeness, int> first_;
    std::map<Likeness, int> count_;
};

// What is measured of the blocks from `split` on: the first block of each
// likeness, and the rows below it one by one where another like it follows;
// a block after one whose likeness recurs is counted from that one's top
// (`counted`), the rest measured.
QList<std::pair<int, int>> likeRanges(const Blocks& blocks, const std::vector<int>& kinds, int split,
                                      std::vector<bool>& counted)
{
    const int n = static_cast<int>(blocks.size());
    const Likenesses like(blocks, kinds, split);
    QList<std::pair<int, int>> ranges;
    counted.assign(n, false);
    for (int i = split; i < n; ++i) {
        counted[i] = like.firstLike(i) != i && i > split && like.recurs(i - 1);
        if (!counted[i])
            ranges << blocks[i];
        if (like.firstLike(i) == i && like.recurs(i))
            for (int r = blocks[i].second + 1; r < blocks[i + 1].first; ++r)
                ranges << std::pair{r, r};
    }
    return ranges;
}

// The tops of the blocks from `split` on and of the rows down to the next
// block, and of the rows of `ranges` besides (likeRanges); the rows below a
// block counted from those below the first like it.
void measureBlocks(Pagination& pages, const Blocks& blocks, const std::vector<int>& kinds, int split,
                   QList<std::pair<int, int>> ranges, std::map<int, long>& tops)
{
    const int n = static_cast<int>(blocks.size());
    std::vector<bool> counted;
    ranges << likeRanges(blocks, kinds, split, counted);
    pages.measure(ranges, tops);
    const Likenesses like(blocks, kinds, split);
    // A block counted starts where the rows below the one before it end.
    for (int i = split; i < n; ++i) {
        const int first = like.firstLike(i);
        const auto [top, last] = blocks[i];
        if (counted[i])
            tops.emplace(last + 1, tops.at(top) + tops.at(blocks[first].second + 1) - tops.at(blocks[first].first));
        if (first != i && like.recurs(i)) {
            const int below = blocks[first].second + 1;
            for (int r = last + 2; r <= blocks[i + 1].first; ++r)
                tops.emplace(r, tops.at(last + 1) + tops.at(below + r - last - 1) - tops.at(below));
        }
    }
}

// The blocks in order of their rows, with their kinds (without kinds every
// block is a kind of its own).
void sortBlocks(Blocks& blocks, const QList<int>& kinds, std::vector<int>& kindOf)
{
    std::vector<std::tuple<int, int, int>> sorted;
    for (int i = 0; i < blocks.size(); ++i)
        sorted.push_back({blocks[i].first, blocks[i].second, kinds.size() == blocks.size() ? kinds[i] : -1 - i});
    std::sort(sorted.begin(), sorted.end());
    kindOf.clear();
    for (int i = 0; i < blocks.size(); ++i) {
        blocks[i] = {std::get<0>(sorted[i]), std::get<1>(sorted[i])};
        kindOf.push_back(std::get<2>(sorted[i]));
    }
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
int layOut(Pagination& pages, const Blocks& blocks, const std::vector<int>& kinds, int split, long height,
           std::set<int> starts, std::set<int> manual)
{
    const int n = static_cast<int>(blocks.size());
    std::map<int, long> tops;
    const auto top = [&](int row) {
        auto at = tops.find(row);
        if (at != tops.end())
            return at->second;
        const auto above = tops.find(row - 1);
        if (above != tops.end())
            return tops.emplace(row, above->second + pages.height(row - 1)).first->second;
        pages.measure({{row, row}}, tops);
        return tops.at(row);
    };

    // The page the office ends inside the split block is to be counted
    // alike: its rows up to the one starting the next page fit the height,
    // with that row they do not.
    QList<std::pair<int, int>> ranges;
    const int inside = *starts.upper_bound(blocks[split].first);
    const int pageStart = *std::prev(starts.find(inside));
    const bool check = !manual.count(inside);
    if (check)
        ranges << std::pair{pageStart, inside - 1} << std::pair{inside, inside};
    measureBlocks(pages, blocks, kinds, split, ranges, tops);
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
    // A forced block's last page starts as far into it as in the first like
    // it, where no break of its own lies inside: that one is measured.
    std::map<int, int> lastStart;  // of each forced block: the row its last page starts at
    std::map<std::pair<Likeness, int>, int> measuredLike;  // the first forced block measured, by likeness and last page
    std::map<int, int> likeFirst;                          // of the others: that block
    ranges.clear();
    for (int i = split; i < n; ++i)
        if (forced[i]) {
            lastStart[i] = *std::prev(starts.upper_bound(blocks[i].second));
            if (!anyInside(manual, blocks[i].first, blocks[i].second)) {
                const auto [like, added] = measuredLike.emplace(
                    std::pair{likeness(blocks, kinds, i), lastStart[i] - blocks[i].first}, i);
                if (!added) {
                    likeFirst[i] = like->second;
                    continue;
                }
            }
            ranges << std::pair{lastStart[i], lastStart[i]};
        }
    if (!ranges.isEmpty())
        pages.measure(ranges, tops);
    for (const auto& [i, like] : likeFirst)
        tops.emplace(lastStart[i], top(blocks[i].first) + top(lastStart[like]) - top(blocks[like].first));

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

void KeepTogether(Pagination& pages, QList<std::pair<int, int>> blocks, std::optional<long> pageHeight,
                  QList<int> kinds)
{
    if (blocks.isEmpty())
        return;
    std::vector<int> kindOf;
    sortBlocks(blocks, kinds, kindOf);
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
        from = layOut(pages, blocks, kindOf, split, *pageHeight, starts, manual);
    }
    oneAtATime(pages, blocks, from);
}

std::vector<Band> Bands(QList<std::pair<int, int>> blocks, int rows, const QList<int>& kinds)
{
    std::vector<int> kindOf;
    sortBlocks(blocks, kinds, kindOf);
    std::vector<Band> bands;
    for (int i = 0; i < blocks.size(); ++i) {
        const auto [first, last] = blocks[i];
        const int next = i + 1 < blocks.size() ? blocks[i + 1].first : last + 1;
        // A block overlapping the band before joins it.
        if (bands.empty() || (bands.back().last - bands.back().first + 1 >= rows && first > bands.back().last))
            bands.push_back({first, first, {}});
        Band& b = bands.back();
        b.last = std::max({b.last, last, next - 1});
    }
    // What keeping the blocks measures, each range in its band, and the row
    // below each band: where the next one starts.
    std::vector<bool> counted;
    auto band = bands.begin();
    for (const auto& range : likeRanges(blocks, kindOf, 0, counted)) {
        while (range.first > band->last)
            ++band;
        band->ranges << range;
    }
    for (Band& b : bands) {
        if (b.ranges.isEmpty() || b.ranges.front().first != b.first)
            b.ranges.prepend({b.first, b.first});
        b.ranges << std::pair{b.last, b.last};
    }
    return bands;
}

std::map<int, long> JoinBands(const std::vector<Band>& bands, const std::vector<std::map<int, long>>& measured, long top)
{
    std::map<int, long> tops;
    for (size_t i = 0; i < bands.size(); ++i) {
        const long from = measured[i].at(bands[i].first);
        for (const auto& [row, at] : measured[i])
            tops[row] = top + at - from;
        top = tops.at(bands[i].last + 1);
    }
    return tops;
}

} // namespace automation::unopages
