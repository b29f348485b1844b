#pragma once

// The virtual A4 sheet of direct printing: positions in millimetres of a
// 210 x 297 mm sheet laid over the printer's page, lines at a fixed pitch,
// and the cell printer every printed text goes through.

#include "Canvas.h"

#include <QString>

namespace direct {

// The parameters of the parameters window, read at each print.
struct PrintParams {
    int scaleWidth = 100;   // %, 1..200
    int scaleHeight = 100;  // %, 1..200
    int leftMargin = 10;    // mm, the right margin equals it
    int topMargin = 10;     // mm, the bottom margin equals it
    int linePitch = 6;      // mm, 1..40
    bool lines = true;      // a rule under each dish or code line
    QString fontName = QStringLiteral("MS Sans Serif");
    int fontSize = 8;       // the font dialog's size: the cap on the text height in mm
    FontStyle fontStyle;    // the font dialog's style
};

// Nearest whole number, an exact half to the even neighbour.
long long RoundEven(double v);

// The sheet over a canvas's page with the given parameters.
struct Sheet {
    Sheet(const Canvas& canvas, const PrintParams& p);
    int pw = 0, ph = 0;      // the scaled page, pixels
    double kx = 0, ky = 0;   // pixels per millimetre across and down
    int left = 0, top = 0;   // margins in pixels
    int usableWidth = 0;     // W, mm
    int pitch = 0;           // line pitch, mm
    // Pixel position of a column (mm from the left margin) and of line n.
    int x(int mm) const;
    int y(int line) const;
    // True when line n still fits above the bottom margin with text qHeight high.
    bool fits(int line, int qHeight) const;
    // The right end of a rule: the usable width from the left margin.
    int ruleEnd() const;
};

// Sets the canvas font: the largest size up to 40 points whose "Q" is at most
// sizeCap millimetres high on the sheet, and never higher than the line pitch
// (never below 1 point). Returns the size set.
int ChooseFont(Canvas& canvas, const PrintParams& p, const Sheet& sheet, int sizeCap);

// Prints text at column x (mm) on line `line`; a line that does not fit
// begins a new page and sets `line` to 1. A text that would run past the
// right margin is printed smaller, down to 1 point, so that it ends before
// it. With `rule`, a 2-pixel line under the text across the whole usable
// width. The caller advances the line.
void PrintCell(Canvas& canvas, const PrintParams& p, int x, int& line, int sizeCap, const QString& text, bool rule);

// Prints a text wrapped at widthMm: every leading part that fits on a line of
// its own at column 0, the rest at column 0 with the given rule. A part is at
// least one character, so a column narrower than any character still ends.
void PrintWrapped(Canvas& canvas, const PrintParams& p, int widthMm, int& line, const QString& text, bool rule);

// The price of a printed menu: whole kopecks, then "125р 50к", "80р 00к",
// "50к" below one rouble.
QString PriceText(double price);

// Columns in millimetres from the left margin for a usable width W.
struct MenuColumns {
    int nameWidth, section, yield, price;
};
MenuColumns MenuColumnsFor(int usableWidth);
struct CodesColumns {
    int nameWidth, section, code, barcode;
};
CodesColumns CodesColumnsFor(int usableWidth);

} // namespace direct
