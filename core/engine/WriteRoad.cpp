#include "WriteRoad.h"

#include "Changes.h"
#include "Clock.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <algorithm>
#include <stdexcept>
#include <vector>


namespace {

struct Tables {
    std::vector<const char*> writes;
    std::vector<const char*> reads;
};

// What each kind of road changes and what shared tables it reads as it goes
// (joins, checks, the rounding procedure, the costing of a card).
Tables tablesOf(WriteTransaction::Reserve reserve)
{
    using R = WriteTransaction::Reserve;
    switch (reserve) {
    case R::Documents:
        // Posting reads products and cards (a production's and a split
        // transfer's expansion) and changes only the stock rows of them; a
        // production or sales document takes its lines from a menu.
        return {{"DOCS", "MOVES", "INVENT", "REAL_BLUDO", "ING_SKLAD"},
                {"FIRMA", "OTDEL", "SKLAD", "SKLAD_GRING", "ED_IZM", "GROUP_ING", "MY_PARAM", "ING", "KARTA", "MENU",
                 "MENU_RAZDEL", "MENU_STR"}};
    case R::Prices:
        return {{"ING", "ING_SKLAD", "KARTA"}, {"FIRMA", "OTDEL", "SKLAD", "SKLAD_GRING", "ED_IZM", "GROUP_ING", "MY_PARAM"}};
    case R::Structure:
        // Stock rows made for every product of every group, or deleted with
        // their department; a deleted warehouse's groups move to another.
        return {{"FIRMA", "OTDEL", "SKLAD", "SKLAD_GRING", "ED_IZM", "GROUP_ING", "ING_SKLAD"},
                {"ING", "KARTA", "MY_PARAM", "DOCS", "MOVES", "INVENT", "REAL_BLUDO", "MENU", "MENU_RAZDEL",
                 "MENU_STR"}};
    case R::Catalogue:
        // A product's stock rows are made in every department that keeps its
        // group; a product in a card, a menu or a document is not deleted.
        return {{"GROUP_ING", "ING", "ING_SKLAD", "SKLAD_GRING", "KARTA", "ED_IZM"},
                {"FIRMA", "OTDEL", "SKLAD", "MY_PARAM", "DOCS", "MOVES", "INVENT", "REAL_BLUDO", "MENU_STR"}};
    case R::Menus:
        return {{"MENU", "MENU_RAZDEL", "MENU_STR"},
                {"FIRMA", "OTDEL", "SKLAD", "SKLAD_GRING", "ED_IZM", "GROUP_ING", "MY_PARAM", "ING", "ING_SKLAD", "KARTA"}};
    case R::Templates:
        return {{"PRINT_SPISOK", "PRINT_FORMS", "PRINT_VARIABLES"}, {"MY_PARAM"}};
    case R::Users:
        return {{"PERSON", "PERSON_POLICY"}, {}};
    case R::Settings:
        return {{"MY_PARAM"}, {}};
    case R::Protocol:
        return {{"LOG_TABLE"}, {}};
    }
    return {};
}

} // namespace

std::vector<unsigned char> WriteTransaction::params(Reserve reserve)
{
    const Tables t = tablesOf(reserve);
    return db::Transaction::reservingParams(t.writes, t.reads, reservationWait);
}

WriteTransaction::WriteTransaction(const engine::Context& ctx, Reserve reserve) : ctx_(ctx), reserve_(reserve)
{
    if (!ctx_.write)
        throw std::logic_error("WriteTransaction: the context has no write transaction");
    if (ctx_.write->active())
        throw std::logic_error("WriteTransaction: opened while the write transaction is already active; "
                               "an inner writer takes the outer road's context instead");
    ctx_.write->start(params(reserve));
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
    // A table changed outside the reservation was taken as the road went,
    // out of the one order: a programming error, whatever the road did. The
    // tests refuse the road for it; in use the user's change is kept (the
    // worst it risks is a wait for another workstation) and the slip is
    // only logged.
    const std::vector<const char*> writes = tablesOf(reserve_).writes;
    engine::ChangeSet changes;
    changes.tables = ctx_.write->changes();
    QStringList slips;
    for (auto it = changes.tables.cbegin(); it != changes.tables.cend(); ++it) {
        const QByteArray table = it.key().toLatin1();
        if (table != "LOG_TABLE" &&
            std::none_of(writes.begin(), writes.end(), [&](const char* w) { return table == w; })) {
            if (refuseUnreservedWrites) {
                rollback();
                throw std::logic_error("WriteTransaction: the road changed " + table.toStdString() +
                                       ", which its kind does not reserve for writing");
            }
            slips.append(QStringLiteral("Ошибка программы: изменения записаны в таблицу %1, которую эта операция не "
                                        "резервирует заранее. Изменения сохранены; сообщите об этой ошибке "
                                        "разработчикам программы.")
                             .arg(it.key()));
        }
    }
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
    // Told with the road ended, so that nothing waits on the user inside it.
    for (const QString& slip : slips) {
        if (reportSlip)
            reportSlip(slip);
        else
            qWarning("%s", qPrintable(slip));
    }
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
