#pragma once

#include "Context.h"

#include <QString>

#include <functional>
#include <vector>

// The write road. A handler opens it, hands its context to the engines, and
// ends with commit(area, action): the protocol line and the commit in one
// call, so a change and its line commit together or not at all. Leaving the
// scope without a commit rolls everything back.
//
//     Guard([&] {
//         WriteTransaction w(products::kRoad);      // the program's context
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
    // What the road takes at its start. Every road reserves, before its
    // snapshot, each table it changes (for protected writing) and each shared
    // table it reads (for protected reading); the server takes reservations
    // in one fixed order, whatever the road. Two roads that share a table
    // then take turns from their first step: the second waits briefly and
    // sees what the first committed, instead of each holding a table the
    // other waits for until the server's deadlock timeout breaks the tie, or
    // failing on a row the other changed. The protocol line, written last,
    // is the only table a road takes as it goes.
    //  - Documents: document headers and lines of every kind, posting,
    //    un-posting, deletion, inventories, copies and new documents, the
    //    shift totals;
    //  - Prices: price recomputation, costing card edits, a stock row's prices,
    //    prices copied from another department;
    //  - Structure: enterprises, departments, warehouses and units, with the
    //    stock rows made or deleted with them;
    //  - Catalogue: product groups and products with their stock rows;
    //  - Menus: menus, their sections and dishes;
    //  - Templates: print lists, templates and their variables;
    //  - Users: users and their rights;
    //  - Settings: the settings' rows;
    //  - Protocol: the protocol itself (log-in lines, deleted lines).
    // Each engine names the kind of the roads that run its writers beside
    // them (posting::kRoad, products::kRoad, ...); a road that changes a
    // table its kind does not reserve for writing is a programming error:
    // with refuseUnreservedWrites set (the tests and the benchmarks set it)
    // it is refused at its commit (std::logic_error), so no caller can choose
    // a kind that does not hold what the engine writes; in the program the
    // change commits and the slip is logged.
    enum class Reserve { Documents, Prices, Structure, Catalogue, Menus, Templates, Users, Settings, Protocol };

    // The transaction parameters of a road of that kind.
    static std::vector<unsigned char> params(Reserve reserve);
    // How long a road waits, in seconds, for another workstation's
    // reservation or row before it gives up as a lock conflict (told in the
    // conflict's words): a road held open elsewhere never holds this one
    // for good.
    static inline int reservationWait = 10;
    // Refuse a road that changed a table its kind does not reserve (the
    // tests' and benchmarks' setting; the program keeps the change).
    static inline bool refuseUnreservedWrites = false;
    // Where the program tells such a slip once the road has committed: the
    // data module points it at the dialog service, as for every other fault.
    static inline std::function<void(const QString&)> reportSlip;

    // On engine::ProgramContext(); defined with the data module, so no engine links it.
    explicit WriteTransaction(Reserve reserve);
    WriteTransaction(const engine::Context& ctx, Reserve reserve);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    const engine::Context& context() const { return ctx_; }
    Reserve reserve() const { return reserve_; }

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
    Reserve reserve_;
};

namespace engine {

// Appends one protocol line to LOG_TABLE on ctx.write, without committing.
// Texts longer than their columns are cut, so a long name never makes the
// server refuse the change. Throws when the write transaction is not active.
void WriteLogLine(const Context& ctx, const QString& area, const QString& action);

} // namespace engine
