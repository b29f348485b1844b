#include "Greying.h"

#include "DatasetModel.h"

#include <QPalette>
#include <QWidget>

void GreyOut(QWidget* grid)
{
    if (!grid)
        return;
    if (auto* g = qobject_cast<db::DbGrid*>(grid)) {
        g->greyOut();
        return;
    }
    grid->setEnabled(false);
    QPalette p = grid->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    grid->setPalette(p);
}

void Release(QWidget* grid)
{
    if (!grid)
        return;
    if (auto* g = qobject_cast<db::DbGrid*>(grid)) {
        g->release();
        return;
    }
    grid->setEnabled(true);
    grid->setPalette(QPalette());
}
