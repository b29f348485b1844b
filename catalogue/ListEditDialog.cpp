#include "ListEditDialog.h"

#include "CatalogueUi.h"
#include "db/Query.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QGridLayout>
#include <QPushButton>
#include <QShowEvent>

void TListEditDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Guard([this] { FormShow(); });
}

void TListEditDialog::addButtonRow(QGridLayout* grid, int row, QPushButton* ok, QPushButton* close,
                                   std::function<void()> onOk)
{
    grid->setRowStretch(row, 1);
    grid->addLayout(cat::ButtonRow(ok, {close}), row + 1, 0, 1, 2);
    // Enter in a field presses OK, never a picker's button that stands between the fields and OK.
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [onOk = std::move(onOk)] { Guard(onOk); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void EditListRow(TListEditDialog* dialog, db::Query* list, QWidget* grid, bool add)
{
    if (!add && !cat::HasRow(list))
        return;
    dialog->SavedKod = add ? 0 : cat::KeyOf(list);
    dialog->NewMode = add ? 1 : 0;
    if (Msg::execModal(dialog) != QDialog::Accepted)
        return;
    if (dialog->SavedKod != 0 && cat::HasRow(list))
        list->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(dialog->SavedKod));
    grid->setFocus();
}

void AddDetailRow(TListEditDialog* dialog, db::Query* master, db::Query* list, QWidget* grid)
{
    if (cat::HasRow(master))
        EditListRow(dialog, list, grid, true);
}
