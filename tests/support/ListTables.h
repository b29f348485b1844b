#pragma once

// Every list a window holds reads the tables it subscribes to, no more and
// no fewer: the tests check each held list as it opens against the server's
// plan of its statement. A table read but not subscribed to is a change the
// list would miss; one subscribed to but not read, reloads for nothing.

#include "db/Query.h"
#include "grid/ListHolder.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

// The tables a detailed plan reads, upper case and sorted.
inline QStringList TablesOfPlan(const QString& plan)
{
    static const QRegularExpression table(QStringLiteral(R"re(\b(Table|Procedure) "([^"]+)")re"));
    QStringList out;
    for (auto it = table.globalMatch(plan); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString name = (m.captured(1) == QLatin1String("Procedure") ? QStringLiteral("PROCEDURE ") : QString()) +
                             m.captured(2).toUpper();
        if (!out.contains(name))
            out << name;
    }
    out.sort();
    return out;
}

// The held lists a test has handed a statement of its own, standing in for the window's.
inline QSet<const db::Query*>& StandIns()
{
    static QSet<const db::Query*> lists;
    return lists;
}

// While it lives, the held list reads the test's own statement and is not checked.
class StandInStatement {
public:
    explicit StandInStatement(const db::Query* list) : list_(list) { StandIns().insert(list); }
    ~StandInStatement() { StandIns().remove(list_); }
    StandInStatement(const StandInStatement&) = delete;
    StandInStatement& operator=(const StandInStatement&) = delete;

private:
    const db::Query* list_;
};

inline void CheckListTables()
{
    db::ListHolder::setOpenedCheck([](db::ListHolder& list) {
        if (StandIns().contains(list.query()))
            return;
        QStringList subscribed;
        for (const QString& t : list.tables())
            if (!subscribed.contains(t.toUpper()))
                subscribed << t.toUpper();
        subscribed.sort();
        const QStringList read = TablesOfPlan(list.query()->plan());
        if (read != subscribed)
            ADD_FAILURE() << "a list subscribes to " << subscribed.join(QLatin1Char(' ')).toStdString() << " but reads "
                          << read.join(QLatin1Char(' ')).toStdString() << ": " << list.query()->sql().simplified().toStdString();
    });
}
