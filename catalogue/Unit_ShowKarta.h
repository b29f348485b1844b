#pragma once

#include "util/FirstUse.h"

#include <QDialog>

namespace db {
class DbGrid;
class ListHolder;
class Query;
} // namespace db

// The read-only costing card of a dish. The opener fills QS for the dish,
// sets the caption and shows the window modally; hiding it closes QS and
// puts the design caption back. While shown, a committed change of the card,
// its products or their units reloads QS on the row it stood on.
class TForm_ShowKarta : public QDialog {
    Q_OBJECT
public:
    explicit TForm_ShowKarta(QWidget* parent = nullptr);
    ~TForm_ShowKarta() override;

    // The opener's steps for a dish: QS filled and opened, the caption, modal.
    static void Execute(qint64 dish, const QString& name);
    // The card rows of the dish into QS.
    void Fill(qint64 dish);

    db::ListHolder* List_Sostav;  // holds QS
    db::Query* QS;
    db::DbGrid* Grid_Sostav;

protected:
    void hideEvent(QHideEvent* event) override;
};

extern FirstUse<TForm_ShowKarta> Form_ShowKarta;
