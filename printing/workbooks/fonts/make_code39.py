#!/usr/bin/env python3
"""Writes the bar-code font of the codes sheet: Code 39 as a TrueType font.

Each encodable character is drawn as its nine elements, five bars and four
spaces, three of them wide, followed by one narrow space between characters.
Lower-case letters draw as their capitals. Run with FontForge's Python module:

    python3 make_code39.py OUTPUT.ttf
"""
import sys

import fontforge

FAMILY = "Tarelia Code 39"
PS_NAME = "TareliaCode39"

# Elements bar, space, bar, ... ; 1 is a wide element.
PATTERNS = {
    "0": "000110100", "1": "100100001", "2": "001100001", "3": "101100000",
    "4": "000110001", "5": "100110000", "6": "001110000", "7": "000100101",
    "8": "100100100", "9": "001100100",
    "A": "100001001", "B": "001001001", "C": "101001000", "D": "000011001",
    "E": "100011000", "F": "001011000", "G": "000001101", "H": "100001100",
    "I": "001001100", "J": "000011100", "K": "100000011", "L": "001000011",
    "M": "101000010", "N": "000010011", "O": "100010010", "P": "001010010",
    "Q": "000000111", "R": "100000110", "S": "001000110", "T": "000010110",
    "U": "110000001", "V": "011000001", "W": "111000000", "X": "010010001",
    "Y": "110010000", "Z": "011010000",
    "-": "010000101", ".": "110000100", " ": "011000100", "*": "010010100",
    "$": "010101000", "/": "010100010", "+": "010001010", "%": "000101010",
}

EM = 1000
NARROW = 50
WIDE = 125           # 2.5 : 1
BAR_BOTTOM = 0
BAR_TOP = 800


def draw(glyph, pattern):
    pen = glyph.glyphPen()
    x = 0
    for i, wide in enumerate(pattern):
        w = WIDE if wide == "1" else NARROW
        if i % 2 == 0:  # a bar
            pen.moveTo((x, BAR_BOTTOM))
            pen.lineTo((x, BAR_TOP))
            pen.lineTo((x + w, BAR_TOP))
            pen.lineTo((x + w, BAR_BOTTOM))
            pen.closePath()
        x += w
    pen = None
    glyph.width = x + NARROW  # the gap to the next character


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_code39.py OUTPUT.ttf")
    for p in PATTERNS.values():
        assert len(p) == 9 and p.count("1") == 3, p
    font = fontforge.font()
    font.encoding = "UnicodeBmp"
    font.em = EM
    font.ascent = 800
    font.descent = 200
    font.familyname = FAMILY
    font.fullname = FAMILY
    font.fontname = PS_NAME
    font.weight = "Regular"
    font.copyright = "Generated at build time from the Code 39 bar table."
    font.version = "1.0"
    font.createChar(-1, ".notdef").width = 500
    for ch, pattern in PATTERNS.items():
        draw(font.createChar(ord(ch)), pattern)
        if ch.isalpha():
            draw(font.createChar(ord(ch.lower())), pattern)
    for glyph in font.glyphs():
        glyph.correctDirection()
    font.generate(sys.argv[1])


if __name__ == "__main__":
    main()
