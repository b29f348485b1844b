#include "BufferedDocument.h"

namespace automation {

namespace {

bool overlaps(const RangeAddress& a, const RangeAddress& b)
{
    return a.sheet == b.sheet && a.startRow <= b.endRow && b.startRow <= a.endRow && a.startColumn <= b.endColumn &&
           b.startColumn <= a.endColumn;
}

QString lineText(const BorderLine& l) { return QStringLiteral("%1/%2/%3").arg(l.color).arg(l.innerWidth).arg(l.outerWidth); }

enum Kind { Merge, Wrap, Justify, FontKind, Border };

} // namespace

BufferedDocument::~BufferedDocument()
{
    try {
        flush();
    } catch (...) {
    }
}

void BufferedDocument::flush()
{
    if (!pending_)
        return;
    pending_ = false;
    // Each run of adjacent columns goes in one call.
    auto it = values_.begin();
    while (it != values_.end()) {
        const int start = it->first;
        QVariantList run;
        int next = start;
        while (it != values_.end() && it->first == next) {
            run.append(it->second);
            ++next;
            ++it;
        }
        if (run.size() == 1) {
            const QVariant& v = run.front();
            if (v.typeId() == QMetaType::QString)
                inner_.setString({sheet_, start, row_}, v.toString());
            else
                inner_.setValue({sheet_, start, row_}, v.toDouble());
        } else {
            inner_.setRowValues({sheet_, start, row_}, run);
        }
    }
    values_.clear();
}

void BufferedDocument::put(const CellAddress& cell, const QVariant& value)
{
    if (pending_ && (cell.sheet != sheet_ || cell.row != row_))
        flush();
    if (!pending_) {
        pending_ = true;
        sheet_ = cell.sheet;
        row_ = cell.row;
    }
    values_[cell.column] = value;
}

bool BufferedDocument::repeated(int kind, const RangeAddress& range, const QString& params)
{
    if (range.sheet != formatSheet_ || range.startRow != formatRow_) {
        applied_.clear();
        formatSheet_ = range.sheet;
        formatRow_ = range.startRow;
    }
    for (const Applied& a : applied_)
        if (a.kind == kind && a.range == range && a.params == params)
            return true;
    for (int i = applied_.size() - 1; i >= 0; --i)
        if (applied_[i].kind == kind && overlaps(applied_[i].range, range))
            applied_.removeAt(i);
    applied_.append({kind, range, params});
    return false;
}

int BufferedDocument::sheetCount()
{
    flush();
    return inner_.sheetCount();
}

void BufferedDocument::insertSheet(int index, const QString& name)
{
    flush();
    applied_.clear();
    formatSheet_ = -1;
    inner_.insertSheet(index, name);
}

QString BufferedDocument::sheetName(int sheet)
{
    flush();
    return inner_.sheetName(sheet);
}

void BufferedDocument::setString(const CellAddress& cell, const QString& text) { put(cell, text); }

void BufferedDocument::setValue(const CellAddress& cell, double value) { put(cell, value); }

void BufferedDocument::setRowValues(const CellAddress& cell, const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        put({cell.sheet, cell.column + i, cell.row}, values[i]);
}

void BufferedDocument::moveRange(const CellAddress& to, const RangeAddress& from)
{
    flush();
    applied_.clear();
    inner_.moveRange(to, from);
}

void BufferedDocument::copyRange(const CellAddress& to, const RangeAddress& from)
{
    flush();
    applied_.clear();
    inner_.copyRange(to, from);
}

void BufferedDocument::removeRows(int sheet, int index, int count)
{
    flush();
    applied_.clear();
    inner_.removeRows(sheet, index, count);
}

void BufferedDocument::merge(const RangeAddress& range)
{
    if (!repeated(Merge, range, QString()))
        inner_.merge(range);
}

void BufferedDocument::setWrapped(const RangeAddress& range, bool wrapped)
{
    if (!repeated(Wrap, range, QString::number(wrapped)))
        inner_.setWrapped(range, wrapped);
}

void BufferedDocument::setHoriJustify(const RangeAddress& range, int justify)
{
    if (!repeated(Justify, range, QString::number(justify)))
        inner_.setHoriJustify(range, justify);
}

void BufferedDocument::setFont(const RangeAddress& range, const Font& f)
{
    const QString params = QStringLiteral("%1|%2|%3|%4|%5")
                               .arg(f.name)
                               .arg(f.height)
                               .arg(f.weight)
                               .arg(f.posture)
                               .arg(f.underline);
    if (!repeated(FontKind, range, params))
        inner_.setFont(range, f);
}

void BufferedDocument::setTableBorder(const RangeAddress& range, const TableBorder& b)
{
    const QString params = QStringList{lineText(b.top),
                                       lineText(b.bottom),
                                       lineText(b.left),
                                       lineText(b.right),
                                       lineText(b.horizontal),
                                       lineText(b.vertical),
                                       QStringLiteral("%1%2%3%4%5%6")
                                           .arg(b.isTopValid)
                                           .arg(b.isBottomValid)
                                           .arg(b.isLeftValid)
                                           .arg(b.isRightValid)
                                           .arg(b.isHorizontalValid)
                                           .arg(b.isVerticalValid)}
                               .join(QLatin1Char(';'));
    if (!repeated(Border, range, params))
        inner_.setTableBorder(range, b);
}

void BufferedDocument::lockControllers()
{
    flush();
    inner_.lockControllers();
}

void BufferedDocument::unlockControllers()
{
    flush();
    inner_.unlockControllers();
}

void BufferedDocument::addActionLock()
{
    flush();
    inner_.addActionLock();
}

void BufferedDocument::removeActionLock()
{
    flush();
    inner_.removeActionLock();
}

void BufferedDocument::show()
{
    flush();
    inner_.show();
}

void BufferedDocument::close()
{
    values_.clear();
    pending_ = false;
    applied_.clear();
    inner_.close();
}

void BufferedDocument::storeToFile(const QString& path, const QString& filter)
{
    flush();
    inner_.storeToFile(path, filter);
}

CellState BufferedDocument::cellState(const CellAddress& cell)
{
    flush();
    return inner_.cellState(cell);
}

} // namespace automation
