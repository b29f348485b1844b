#pragma once

// The printing windows the other subsystems open. Until the printing
// subsystem is built, each operation tells the user so and changes nothing.

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cmath>
// The layout dialog's end memo is named M_E like the math constant; the
// constant is not used with it.
#ifdef M_E
#undef M_E
#endif

namespace db {
class DbGrid;
}

// The entries the other subsystems call, one header each, taking keys or
// plain data (printing/entries/).
#include "entries/AmountInWords.h"
#include "entries/Btn_PrintLogClick.h"
#include "entries/Btn_Print_MenuClick.h"
#include "entries/DirectPrint.h"
#include "entries/NotBuilt.h"
#include "entries/Office.h"
#include "entries/PrintKarta.h"
#include "entries/PrintReal.h"
#include "entries/Print_IngUsage.h"
#include "entries/Prt_Invent.h"
#include "entries/Prt_Ostatki.h"
#include "entries/PrtDvig.h"
#include "entries/ReportPickers.h"
#include "entries/ShowLimits.h"
#include "entries/ShowStat.h"

// ---- windows ----

// The print-template window, the container dialog, the variable dialog.
#include "Unit_DirectPrint.h"
#include "Unit_ExpImp.h"
#include "Unit_Limit.h"
#include "Unit_Print.h"
#include "Unit_PrintKarta.h"
#include "Unit_PrintReal.h"
#include "Unit_Var.h"
#include "Unit_PrintOstatki.h"
#include "Unit_PrtDvig.h"

// A print dialog of the other subsystems: shown modally, says that printing
// is not built yet and closes with Cancel.
class TPrintStubDialog : public QDialog {
    Q_OBJECT
public:
    TPrintStubDialog(const QString& caption, QWidget* parent = nullptr);
    int exec() override;
};


// Creates the printing windows (the program block calls it in its order).
void CreatePrintingWindows();
void DestroyPrintingWindows();
