#include "Unit_Timers.h"

#include "grid/DatasetModel.h"

#include <QPalette>
#include <QWidget>

TForm_Timers* Form_Timers = nullptr;

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

TForm_Timers::TForm_Timers(QObject* parent) : QObject(parent)
{
}

TForm_Timers::~TForm_Timers()
{
    if (Form_Timers == this)
        Form_Timers = nullptr;
}

QTimer* TForm_Timers::makeTimer(int interval)
{
    auto* t = new QTimer(this);
    t->setSingleShot(true);
    t->setInterval(interval);
    return t;
}
