#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QGridLayout;
class QPushButton;

namespace db {
class Query;
}

// An edit dialog of a list. The calling button sets NewMode and shows the
// dialog modally; on show the dialog fills its fields (FormShow) from the
// current row of the list or clears them; OK writes the row, keeps its key in
// SavedKod and closes.
class TListEditDialog : public QDialog {
    Q_OBJECT
public:
    virtual void FormShow() = 0;

    // 1 a new row, 0 the current row of the list; set by the caller.
    std::uint8_t NewMode = 0;
    // Key of the row written by the last successful save.
    qint64 SavedKod = 0;

protected:
    using QDialog::QDialog;
    void showEvent(QShowEvent* event) override;
    // The bottom of the dialog's grid: a stretching row, then OK at the left,
    // which runs `onOk`, and the closing button at the right, which cancels.
    void addButtonRow(QGridLayout* grid, int row, QPushButton* ok, QPushButton* close, std::function<void()> onOk);
};

