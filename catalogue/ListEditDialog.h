#pragma once

#include "engine/ShownRow.h"

#include <QDialog>

#include <cstdint>
#include <functional>

class QGridLayout;
class QPushButton;
class QWidget;

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
    // What the dialog showed of the row it edits (empty for a new row): the
    // save refuses it when another workstation changed it meanwhile.
    engine::ShownRow Shown;

protected:
    using QDialog::QDialog;
    void showEvent(QShowEvent* event) override;
    // The bottom of the dialog's grid: a stretching row, then OK at the left,
    // the default button, which runs `onOk`, and the closing button at the
    // right, which cancels.
    void addButtonRow(QGridLayout* grid, int row, QPushButton* ok, QPushButton* close, std::function<void()> onOk);
};

// "Добавить" (add) and "Изменить" of a list: the dialog for a new row or for
// the current one (nothing happens without one). The dialog's commit has
// reloaded the list, which then stands on the written row; the grid takes the
// focus.
void EditListRow(TListEditDialog* dialog, db::Query* list, QWidget* grid, bool add);
// "Добавить" of a detail list: only under a current master row.
void AddDetailRow(TListEditDialog* dialog, db::Query* master, db::Query* list, QWidget* grid);

