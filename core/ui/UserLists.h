#pragma once

#include <QObject>
#include <QPointer>

class QTimer;
class QWidget;
namespace db {
class DbGrid;
class Query;
} // namespace db

// The users window comes later: the handler of its user list (QPerson) and
// its rights timer Timer_PersonPolicy live here, connected when the core
// windows are wired; the wiring then attaches the users window, its rights
// grid and its rights query. A move in the user list greys the rights and
// restarts the timer; the rights reload when the cursor rests.
class TUserLists : public QObject {
    Q_OBJECT
public:
    explicit TUserLists(QObject* parent = nullptr);
    ~TUserLists() override;

    QPointer<QWidget> personalWindow;
    QPointer<db::DbGrid> personalRightsGrid;
    QPointer<db::Query> personalRightsQuery;
    bool personalShown() const;
    void AttachPersonalWindow(QWidget* window, db::DbGrid* rightsGrid, db::Query* rightsQuery);

    QTimer* Timer_PersonPolicy;

    void QPersonAfterScroll();
    void Timer_PersonPolicyTimer();
};

extern TUserLists* UserLists;
