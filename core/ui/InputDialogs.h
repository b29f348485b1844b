#pragma once

class QBoxLayout;
class QDialog;
class QPushButton;
class QWidget;

// Pieces shared by the small input dialogs (log-in, text, period, time of
// day). They validate on their OK button and, when everything is valid,
// click a hidden second OK that closes the dialog with the OK result.
struct InputButtons {
    QPushButton* ok;        // "OK", the default button; its dialog connects the validation
    QPushButton* cancel;    // "Отмена", closes with the Cancel result
    QPushButton* hiddenOk;  // hidden "OK", closes with the OK result
};

class QString;

// A button of an OK/Cancel row ("OK", "Отмена"): room round its text at any
// font size.
QPushButton* NewRowButton(const QString& text, QWidget* parent);

// The row of "OK" (the default button) and "Отмена" added to the layout, at
// its right or centred; the dialog connects both.
struct OkCancelRow {
    QPushButton* ok;
    QPushButton* cancel;
};
OkCancelRow AddOkCancelRow(QWidget* parent, QBoxLayout* layout, bool centred = false);

// Adds the row of "OK" and "Отмена" to the layout, at its right or centred.
InputButtons AddInputButtons(QDialog* dialog, QBoxLayout* layout, bool centred = false);

// An input field switched on or off: enabled it is painted in the window
// colour, disabled in the button-face colour.
void SetFieldEnabled(QWidget* w, bool on);
