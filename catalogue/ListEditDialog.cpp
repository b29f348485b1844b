#include "ListEditDialog.h"

#include "CatalogueUi.h"
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
    connect(ok, &QPushButton::clicked, this, [onOk = std::move(onOk)] { Guard(onOk); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}
