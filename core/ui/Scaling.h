#pragma once

#include "util/Zoom.h"

class QWidget;

// Window scaling of the program: when WindowZoom is set a window grows by
// screen height / 600 (by screen width / 800 in windows that honour
// NarrowScreen, when the screen is narrow); then it moves to the top-left
// corner. A window is scaled once, however often its creation handler runs.
void ScaleWindow(QWidget* window, bool honourNarrow, double heightBase = 600, double widthBase = 800);
