#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
namespace db {
class DbGrid;
class Query;
} // namespace db

// The users window comes later: the handler of its user list (QPerson) and
// the body of its rights timer Timer_PersonPolicy live here, connected when
// the core windows are wired. The window, once built, sets itself, its rights
// grid and its rights query (or takes the handlers over itself).
class TUserLists : public QObject {
    Q_OBJECT
public:
    explicit TUserLists(QObject* parent = nullptr);
    ~TUserLists() override;

    QPointer<QWidget> personalWindow;
    QPointer<db::DbGrid> personalRightsGrid;
    QPointer<db::Query> personalRightsQuery;
    bool personalShown() const;

    void QPersonAfterScroll();
    void Timer_PersonPolicyTimer();
};

extern TUserLists* UserLists;
