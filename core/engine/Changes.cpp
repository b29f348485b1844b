#include "Changes.h"

#include "db/Database.h"
#include "db/Transaction.h"

namespace engine {

bool ChangeSet::touches(const QStringList& names) const
{
    for (const QString& n : names) {
        // Tables are mostly named in upper case already.
        if (tables.contains(n) || tables.contains(n.toUpper()))
            return true;
    }
    return false;
}

ChangeSignal* ChangeSignal::instance()
{
    static ChangeSignal signal;
    return &signal;
}

void ChangeSignal::announce(const ChangeSet& changes)
{
    // The road's end is told even when a receiver of the change failed.
    try {
        if (!changes.isEmpty())
            emit committed(changes);
    } catch (...) {
        emit ended();
        throw;
    }
    emit ended();
}

void ChangeSignal::discard() { emit ended(); }

void ChangeSignal::seenElsewhere(const ChangeSet& changes)
{
    if (!changes.isEmpty())
        emit changedElsewhere(changes);
}

void NoteChange(const Context& ctx, const QString& table, qint64 key)
{
    if (ctx.write)
        ctx.write->noteChange(table, key);
}

} // namespace engine
