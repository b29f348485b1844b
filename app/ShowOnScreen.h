#pragma once

class QWidget;

// Shows a window and returns once it is on the screen: shown by the display
// and drawn. The user's input meanwhile waits for the event loop that follows.
void ShowOnScreen(QWidget* window);
