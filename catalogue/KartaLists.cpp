#include "KartaLists.h"

#include "CatalogueUi.h"
#include "db/Query.h"
#include "ui/Unit_Timers.h"
#include "util/Unit_Util.h"

#include <QTimer>

TKartaLists* KartaLists = nullptr;

TKartaLists::TKartaLists(QObject* parent) : QObject(parent)
{
    connect(Form_Timers->Timer_KK, &QTimer::timeout, this, [this] { Guard([this] { Timer_KKTimer(); }); });
}

void TKartaLists::Timer_KKTimer()
{
    Form_Timers->Timer_KK->stop();
    if (!kartaEditing || !kartaEditing())
        return;
    if (QI)
        QI->close();
    if (cat::HasRow(QG) && CB_ContextClick)
        CB_ContextClick();
}
