#pragma once

// What direct printing draws on: the printer's page in device pixels, text in
// a font of a given name and point size, and straight lines. The program's
// canvas is a QPainter on a QPrinter (printing/Unit_PrintParam.cpp); the
// tests record the calls.

#include <QString>

namespace direct {

struct FontStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool operator==(const FontStyle&) const = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;
    // The printable area of the page, in device pixels.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    // The font name and size of the canvas; the style is set apart and kept.
    virtual void setFont(const QString& name, int points) = 0;
    virtual FontStyle style() const = 0;
    virtual void setStyle(const FontStyle& style) = 0;
    virtual int textHeight(const QString& text) const = 0;
    virtual int textWidth(const QString& text) const = 0;
    // Text with its top-left corner at (x, y).
    virtual void textOut(int x, int y, const QString& text) = 0;
    // A horizontal line from x1 to x2 at y.
    virtual void line(int x1, int x2, int y, int penWidth) = 0;
    virtual void beginJob() = 0;
    virtual void newPage() = 0;
    virtual void endJob() = 0;
};

} // namespace direct
