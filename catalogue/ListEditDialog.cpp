#include "ListEditDialog.h"

#include "CatalogueUi.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QShowEvent>

void TListEditDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Guard([this] { FormShow(); });
}

void AddListRow(TListEditDialog* dialog, db::Query* list, QWidget* grid)
{
    dialog->NewMode = 1;
    if (Msg::execModal(dialog) != QDialog::Accepted)
        return;
    cat::ReopenAt(list, dialog->SavedKod);
    grid->setFocus();
}

void EditListRow(TListEditDialog* dialog, db::Query* list, QWidget* grid)
{
    if (!cat::HasRow(list))
        return;
    dialog->SavedKod = cat::KeyOf(list);
    dialog->NewMode = 0;
    if (Msg::execModal(dialog) != QDialog::Accepted)
        return;
    cat::ReopenAt(list, dialog->SavedKod);
    grid->setFocus();
}
