#pragma once

#include "Context.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

// What a write road changed, announced after its commit succeeds. Lists
// subscribe to the tables they read instead of being reopened by hand.
//
// The write transaction notes the table of every INSERT, UPDATE, DELETE and
// MERGE run on it; a writer notes what no statement names (the tables a
// procedure or a trigger changes) and the keys it knows, right after the
// statement that changed those rows:
//
//     engine::Exec(ctx, QStringLiteral("UPDATE ING_SKLAD SET ... WHERE KOD = ") + Key(row));
//     engine::NoteChange(ctx, QStringLiteral("ING_SKLAD"), row);
//
// A table is announced with keys only when each statement that changed it
// was given its keys so; lists then read just those rows again.
// A road that is rolled back, or whose commit fails, announces nothing.
namespace engine {

struct ChangeSet {
    // Table (upper case) -> the keys noted for it; an empty set: keys unknown.
    QHash<QString, QSet<qint64>> tables;

    bool isEmpty() const { return tables.isEmpty(); }
    // True when one of these tables (any case) changed.
    bool touches(const QStringList& names) const;
};

// The one announcer of the process: every write road emits here.
class ChangeSignal : public QObject {
    Q_OBJECT
public:
    static ChangeSignal* instance();
    // Emits committed() unless nothing changed, then ended(), also when a
    // receiver of committed() throws (the write road calls it after its commit).
    void announce(const ChangeSet& changes);
    // Emits ended() alone: the road was rolled back.
    void discard();
    // Emits changedElsewhere(): a road found these rows changed or deleted by
    // another workstation and wrote nothing; the lists showing them read them
    // again.
    void seenElsewhere(const ChangeSet& changes);

signals:
    void committed(const engine::ChangeSet& changes);
    void changedElsewhere(const engine::ChangeSet& changes);
    // Every write road's end, committed or not, after committed().
    void ended();
};

// Notes on the context's write transaction that the change touches a table,
// with a key where one is known (0: none).
void NoteChange(const Context& ctx, const QString& table, qint64 key = 0);

} // namespace engine
