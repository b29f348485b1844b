#include "WriteRoad.h"

#include "Changes.h"
#include "Clock.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <stdexcept>
#include <vector>


WriteTransaction::WriteTransaction(const engine::Context& ctx, Reserve reserve) : ctx_(ctx)
{
    if (!ctx_.write)
        throw std::logic_error("WriteTransaction: the context has no write transaction");
    if (ctx_.write->active())
        throw std::logic_error("WriteTransaction: opened while the write transaction is already active; "
                               "an inner writer takes the outer road's context instead");
    // Both kinds read the structure, the groups, the units and the settings
    // as they go (joins, the rounding procedure): reserved for reading too, so
    // that nothing is taken after the start, when another road may hold it
    // and wait for what this one holds.
    const std::vector<const char*> catalogue{"FIRMA", "OTDEL", "SKLAD", "SKLAD_GRING", "ED_IZM", "GROUP_ING", "MY_PARAM"};
    switch (reserve) {
    case Reserve::Documents: {
        // Posting reads products and cards (a production's and a split
        // transfer's expansion) and changes only the stock rows of them.
        std::vector<const char*> reads = catalogue;
        reads.insert(reads.end(), {"ING", "KARTA"});
        ctx_.write->start(
            db::Transaction::reservingParams({"DOCS", "MOVES", "INVENT", "REAL_BLUDO", "ING_SKLAD"}, reads));
        break;
    }
    case Reserve::Prices:
        ctx_.write->start(db::Transaction::reservingParams({"ING", "ING_SKLAD", "KARTA"}, catalogue));
        break;
    case Reserve::Structure:
        // Stock rows made for every product of every group, or deleted with their department.
        ctx_.write->start(db::Transaction::reservingParams({"FIRMA", "OTDEL", "SKLAD", "SKLAD_GRING", "ING_SKLAD"},
                                                           {"ED_IZM", "GROUP_ING", "ING", "MY_PARAM"}));
        break;
    case Reserve::Nothing:
        ctx_.write->start();
        break;
    }
}

WriteTransaction::~WriteTransaction()
{
    if (ctx_.write && ctx_.write->active()) {
        try {
            ctx_.write->rollback();
        } catch (...) {
        }
        engine::ChangeSignal::instance()->discard();
    }
}

void WriteTransaction::commit(const QString& area, const QString& action)
{
    engine::WriteLogLine(ctx_, area, action);
    commit();
}

void WriteTransaction::commit()
{
    engine::ChangeSet changes;
    changes.tables = ctx_.write->changes();
    try {
        ctx_.write->commit();
    } catch (...) {
        // A commit whose outcome is unknown has ended the transaction: the
        // road ends here, announcing nothing.
        if (!ctx_.write->active())
            engine::ChangeSignal::instance()->discard();
        throw;
    }
    engine::ChangeSignal::instance()->announce(changes);
}

void WriteTransaction::rollback()
{
    if (ctx_.write->active()) {
        ctx_.write->rollback();
        engine::ChangeSignal::instance()->discard();
    }
}

namespace engine {

void WriteLogLine(const Context& ctx, const QString& area, const QString& action)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringList{QStringLiteral("INSERT INTO LOG_TABLE (MY_DATE, MY_TIME, P_LOGIN, P_FIO, ARM, WHAT_ACTION, K_LOGIN)"),
                         QStringLiteral("VALUES (:D, :T, :L, :F, :AR, :AC, :KL)")});
    const QDateTime now = Clock::now();
    q.param(QStringLiteral("D")).setDate(now.date());
    q.param(QStringLiteral("T")).setTime(now.time());
    // Each text is cut to its column, so a long name never makes the server refuse the change.
    q.param(QStringLiteral("L")).setString(ctx.user.login.left(20));
    q.param(QStringLiteral("F")).setString(ctx.user.fio.left(50));
    q.param(QStringLiteral("AR")).setString(area.left(40));
    q.param(QStringLiteral("AC")).setString(action.left(220));
    q.param(QStringLiteral("KL")).setString(QString::number(ctx.user.kod));
    q.execSql();
}

} // namespace engine
