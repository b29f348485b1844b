#pragma once

class QWidget;

// The program's zoom: when WindowZoom is set a window grows by screen
// height / 600 (by screen width / 800 in windows that honour NarrowScreen,
// when the screen is narrow).
bool IsNarrowScreen(int screenWidth, int screenHeight);
double ZoomFactor(int screenWidth, int screenHeight, bool honourNarrow, double heightBase = 600, double widthBase = 800);

// True when the system already draws the program larger than at 96 dots per
// inch (a larger font resolution or a device pixel ratio above 1): the
// program then leaves its own zoom off, so nothing is scaled twice.
bool SystemScalesFonts();

// The ratio on the primary screen now; 1 while WindowZoom is off.
double CurrentZoom(bool honourNarrow, double heightBase = 600, double widthBase = 800);

// Scales the font of a window the program shows without a creation handler
// of its own (a message box, a popup menu, a completion list) by the current
// zoom. A widget is scaled once, however often it is asked.
void ZoomFont(QWidget* widget, bool honourNarrow = true);

// From now on every message box and popup (menus, drop-down and completion
// lists) takes the zoom as it is polished: a popup of a window takes that
// window's font, one without a window is scaled itself. Windows of the
// program scale themselves on creation (ScaleWindow).
void ZoomPopupsFromNowOn();
