#include "WriteRoad.h"

#include "Changes.h"
#include "Clock.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <stdexcept>


WriteTransaction::WriteTransaction(const engine::Context& ctx, Reserve reserve) : ctx_(ctx)
{
    if (!ctx_.write)
        throw std::logic_error("WriteTransaction: the context has no write transaction");
    if (ctx_.write->active())
        throw std::logic_error("WriteTransaction: opened while the write transaction is already active; "
                               "an inner writer takes the outer road's context instead");
    if (reserve == Reserve::Documents)
        ctx_.write->start(db::Transaction::reservingParams({"DOCS"}));
    else
        ctx_.write->start();
}

WriteTransaction::~WriteTransaction()
{
    if (ctx_.write && ctx_.write->active()) {
        try {
            ctx_.write->rollback();
        } catch (...) {
        }
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
    ctx_.write->commit();
    engine::ChangeSignal::instance()->announce(changes);
}

void WriteTransaction::rollback()
{
    if (ctx_.write->active())
        ctx_.write->rollback();
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
