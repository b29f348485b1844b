#pragma once

#include "Context.h"

#include <QString>

// The write road. A handler opens it, hands its context to the engines, and
// ends with commit(area, action): the protocol line and the commit in one
// call, so a change and its line commit together or not at all. Leaving the
// scope without a commit rolls everything back.
//
//     Guard([&] {
//         WriteTransaction w;                       // the program's context
//         const qint64 kod = products::CreateGroup(w.context(), name);
//         structure::SomethingElse(w.context(), kod);  // engines compose on one transaction
//         w.commit(QStringLiteral("Продукты и блюда"), QStringLiteral("Добавлена группа блюд:") + name);
//     });
//
// Opening the road while its write transaction is already active is a
// programming error (std::logic_error) raised at once; nobody's pending work
// is ever rolled back silently. Engines never open it: they write on ctx.write.
class WriteTransaction {
public:
    // What the road takes at its start. The roads that change stock and
    // prices share tables (documents, lines, stock rows, products, cards);
    // each reserves at its start every one of them it changes or reads, and
    // the server takes reservations in one fixed order before the road's
    // snapshot. Two such roads then take turns from their first step: the
    // second waits briefly and sees what the first committed, instead of
    // each holding a table the other waits for until the server's deadlock
    // timeout breaks the tie, or failing on a row the other changed.
    //  - Documents: posting, un-posting, deletion, inventories;
    //  - Prices: price recomputation, costing card edits, a stock row's prices,
    //    prices copied from another department;
    //  - Structure: enterprises, departments and warehouses made or deleted
    //    with their stock rows.
    enum class Reserve { Nothing, Documents, Prices, Structure };

    // On engine::ProgramContext(); both defined with the data module, so no engine links them.
    WriteTransaction();
    explicit WriteTransaction(Reserve reserve);
    explicit WriteTransaction(const engine::Context& ctx, Reserve reserve = Reserve::Nothing);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    const engine::Context& context() const { return ctx_; }

    // Writes the protocol line (user of the context, time of the clock) and
    // commits. After a commit that succeeds the road announces the tables (and
    // keys) it changed through engine::ChangeSignal (engine/Changes.h); the
    // lists' reloads cannot fail it. A connection lost during the commit
    // request throws db::CommitUncertain: the change may have been saved.
    void commit(const QString& area, const QString& action);
    // Commits without a protocol line, for the few changes that carry none.
    void commit();
    void rollback();

private:
    engine::Context ctx_;
};

namespace engine {

// Appends one protocol line to LOG_TABLE on ctx.write, without committing.
// Texts longer than their columns are cut, so a long name never makes the
// server refuse the change. Throws when the write transaction is not active.
void WriteLogLine(const Context& ctx, const QString& area, const QString& action);

} // namespace engine
