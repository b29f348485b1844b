#pragma once

class QWidget;

// A detail grid greys while its list waits for a reload (the master row moved
// and the cursor has not rested yet) and is released when the list is back.
// Both accept null; a widget that is not a DbGrid is disabled and tinted.
void GreyOut(QWidget* grid);
void Release(QWidget* grid);
