#include "Sheet.h"

#include "engine/Kopecks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace direct {

long long RoundEven(double v)
{
    const double r = std::floor(v);
    const double diff = v - r;
    long long n = static_cast<long long>(r);
    if (diff > 0.5 || (diff == 0.5 && (n % 2 != 0)))
        ++n;
    return n;
}

Sheet::Sheet(const Canvas& canvas, const PrintParams& p)
{
    pw = static_cast<int>(RoundEven(canvas.pageWidth() * double(p.scaleWidth) / 100.0));
    ph = static_cast<int>(RoundEven(canvas.pageHeight() * double(p.scaleHeight) / 100.0));
    kx = pw / 210.0;
    ky = ph / 297.0;
    left = static_cast<int>(RoundEven(p.leftMargin * kx));
    top = static_cast<int>(RoundEven(p.topMargin * ky));
    usableWidth = 210 - 2 * p.leftMargin;
    pitch = p.linePitch;
}

int Sheet::x(int mm) const { return static_cast<int>(RoundEven(mm * kx)) + left; }

int Sheet::y(int line) const { return static_cast<int>(RoundEven(double(pitch) * line * ky)) + top; }

bool Sheet::fits(int line, int qHeight) const
{
    return RoundEven(double(pitch) * line * ky) + qHeight + 2 * top <= ph;
}

int Sheet::ruleEnd() const { return static_cast<int>(RoundEven(usableWidth * kx)) + left; }

int ChooseFont(Canvas& canvas, const PrintParams& p, const Sheet& sheet, int sizeCap)
{
    // A text taller than the line pitch would run into the next line.
    const long long limit = RoundEven(std::min(sizeCap, sheet.pitch) * sheet.ky);
    int size = 40;
    canvas.setFont(p.fontName, size);
    while (size > 1 && canvas.textHeight(QStringLiteral("Q")) > limit) {
        --size;
        canvas.setFont(p.fontName, size);
    }
    return size;
}

void PrintCell(Canvas& canvas, const PrintParams& p, int x, int& line, int sizeCap, const QString& text, bool rule)
{
    const Sheet sheet(canvas, p);
    int size = ChooseFont(canvas, p, sheet, sizeCap);
    // A text that would pass the right margin gets a smaller size instead.
    while (size > 1 && sheet.x(x) + canvas.textWidth(text) > sheet.ruleEnd())
        canvas.setFont(p.fontName, --size);
    const int q = canvas.textHeight(QStringLiteral("Q"));
    if (!sheet.fits(line, q)) {
        canvas.newPage();
        line = 1;
    }
    canvas.textOut(sheet.x(x), sheet.y(line), text);
    if (rule) {
        const int y = static_cast<int>(RoundEven(double(sheet.pitch) * line * sheet.ky + q)) + sheet.top;
        canvas.line(sheet.left, sheet.ruleEnd(), y, 2);
    }
}

void PrintWrapped(Canvas& canvas, const PrintParams& p, int widthMm, int& line, const QString& text, bool rule)
{
    QString rest = text;
    // The width is measured in the font the cells print in.
    const Sheet sheet(canvas, p);
    ChooseFont(canvas, p, sheet, p.fontSize);
    const double limit = widthMm * sheet.kx;
    while (rest.size() > 1 && canvas.textWidth(rest) > limit) {
        int n = rest.size() - 1;
        while (n > 1 && canvas.textWidth(rest.left(n)) > limit)
            --n;
        PrintCell(canvas, p, 0, line, p.fontSize, rest.left(n), false);
        rest.remove(0, n);
        ++line;
        ChooseFont(canvas, p, sheet, p.fontSize);
    }
    PrintCell(canvas, p, 0, line, p.fontSize, rest, rule);
}

QString PriceText(double price)
{
    // Whole kopecks first, so 19.99 never prints as 19р 98к.
    long long kop = engine::Kopecks(price);
    const bool negative = kop < 0;
    kop = std::llabs(kop);
    const long long r = kop / 100;
    const QString k = QString::number(kop % 100).rightJustified(2, QLatin1Char('0'));
    const QString sign = negative ? QStringLiteral("-") : QString();
    if (r > 0)
        return sign + QString::number(r) + QStringLiteral("р ") + k + QStringLiteral("к");
    return sign + k + QStringLiteral("к");
}

MenuColumns MenuColumnsFor(int w)
{
    auto at = [w](int percent) { return static_cast<int>(RoundEven(w * percent / 100.0)); };
    return {at(72), at(37), at(75), at(90)};
}

CodesColumns CodesColumnsFor(int w)
{
    auto at = [w](int percent) { return static_cast<int>(RoundEven(w * percent / 100.0)); };
    return {at(48), at(18), at(52), at(74)};
}

} // namespace direct
