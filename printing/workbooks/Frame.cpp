#include "Frame.h"

#include <algorithm>
#include <cmath>

namespace workbooks {

Locked::Locked(automation::Document& d) : d_(d)
{
    d_.lockControllers();
    d_.addActionLock();
}

Locked::~Locked()
{
    try {
        d_.removeActionLock();
        d_.unlockControllers();
    } catch (...) {
    }
}

automation::TableBorder ThinFrame()
{
    automation::BorderLine line;
    line.outerWidth = 35;
    line.innerWidth = 0;
    line.color = 1;
    automation::TableBorder border;
    border.top = border.bottom = border.left = border.right = border.horizontal = border.vertical = line;
    border.isTopValid = border.isBottomValid = border.isLeftValid = border.isRightValid = border.isHorizontalValid =
        border.isVerticalValid = true;
    return border;
}

int PointsToHmm(double points) { return static_cast<int>(std::lround(points * 2540.0 / 72.0)); }

int NumberColumnWidth(int width, qsizetype last)
{
    // A digit of the office's 10-point sans-serif type, with room to spare.
    constexpr int kDigit = 250;
    int digits = 1;
    for (qsizetype n = last; n >= 10; n /= 10)
        ++digits;
    return width + kDigit * std::max(0, digits - 3);
}

void PutText(automation::Document& d, const automation::CellAddress& cell, const QString& text)
{
    if (!text.isEmpty())
        d.setString(cell, automation::OneLine(text));
}

std::unique_ptr<automation::Document> NewWorkbook(automation::Office& office)
{
    if (!office.connect())
        return nullptr;
    std::unique_ptr<automation::Document> doc;
    try {
        doc = office.newCalc();
    } catch (const automation::OfficeStopped&) {
        office.disconnect();
        throw;
    } catch (const automation::OfficeError&) {
        doc.reset();
    }
    if (!doc)
        office.disconnect();
    return doc;
}

void Abandon(automation::Office& office, automation::Document& d)
{
    try {
        d.close();
    } catch (...) {
    }
    try {
        office.disconnect();
    } catch (...) {
    }
}

void KeepSheets(automation::Document& d, int sheets)
{
    for (int n = d.sheetCount(); n > sheets; --n)
        d.removeSheet(n - 1);
}

bool FillAndShow(automation::Office& office, const std::function<void(automation::Document&)>& fill, int sheets)
{
    std::unique_ptr<automation::Document> doc = NewWorkbook(office);
    if (!doc)
        return false;
    try {
        fill(*doc);
        KeepSheets(*doc, sheets);
    } catch (...) {
        Abandon(office, *doc);
        throw;
    }
    doc->show();
    office.disconnect();
    return true;
}

} // namespace workbooks
