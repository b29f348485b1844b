#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

namespace db {
class Query;
}

// The costing card window (Form_Karta) comes later: the body of its component
// search timer Timer_KK lives here, connected when the catalogue's windows are
// attached. The window, once built, sets its editing state, its component and
// group queries and its component search (or takes the body over itself).
class TKartaLists : public QObject {
    Q_OBJECT
public:
    explicit TKartaLists(QObject* parent = nullptr);

    std::function<bool()> kartaEditing;
    QPointer<db::Query> QI;
    QPointer<db::Query> QG;
    std::function<void()> CB_ContextClick;

    void Timer_KKTimer();
};

extern TKartaLists* KartaLists;
