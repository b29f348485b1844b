// A query's statement: its text and named parameters, preparing it, and
// running it (open, refresh, execSql). Binding, fetching, the fields and the
// cursor live in the units beside this one.

#include "Query.h"

#include "Codec.h"
#include "Database.h"
#include "FbStatus.h"
#include "QueryBound.h"
#include "Transaction.h"

#include <QRegularExpression>

using namespace Firebird;

namespace db {

namespace {

bool isProcedureText(const QString& sql)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*((CREATE\\s+OR\\s+ALTER|CREATE|ALTER|RECREATE)\\s+(PROCEDURE|TRIGGER|FUNCTION|PACKAGE)"
                       "|EXECUTE\\s+BLOCK)"),
        QRegularExpression::CaseInsensitiveOption);
    return re.match(sql).hasMatch();
}

// Replaces ":NAME" placeholders by '?' outside literals and comments.
QString parseParams(const QString& sql, QStringList& order)
{
    QString out;
    out.reserve(sql.size());
    const int n = sql.size();
    int i = 0;
    auto isIdent = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); };
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += sql.mid(i, j - i + 1);
            i = j + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            int j = sql.indexOf(QLatin1Char('\n'), i);
            if (j < 0)
                j = n;
            out += sql.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            int j = sql.indexOf(QStringLiteral("*/"), i + 2);
            j = j < 0 ? n : j + 2;
            out += sql.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char(':') && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == QLatin1Char('_'))) {
            int j = i + 1;
            while (j < n && isIdent(sql[j]))
                ++j;
            order.append(sql.mid(i + 1, j - i - 1).toUpper());
            out += QLatin1Char('?');
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace


Query::Query(Database* db, Transaction* tr, QObject* parent) : QObject(parent), db_(db), tr_(tr)
{
    connect(db_, &Database::aboutToClose, this, [this] {
        close();
        releaseStatement();
    });
}

Query::~Query()
{
    releaseStatement();
}

void Query::setSql(const QString& text)
{
    close();
    releaseStatement();
    lines_ = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    params_.clear();
    paramOrder_.clear();
    serverSql_.clear();
}

void Query::addSql(const QString& line)
{
    close();
    releaseStatement();
    lines_.append(line);
    params_.clear();
    paramOrder_.clear();
    serverSql_.clear();
}

Param& Query::param(const QString& name)
{
    if (serverSql_.isEmpty())
        prepareText();
    const QString key = name.toUpper();
    if (!paramOrder_.contains(key))
        throw DbError(QStringLiteral("Параметр %1 не найден в запросе").arg(name));
    return params_[key];
}

bool Query::hasParam(const QString& name) const
{
    QStringList order;
    QString text = sql();
    if (isProcedureText(text))
        return false;
    parseParams(text, order);
    return order.contains(name.toUpper());
}

QStringList Query::paramNames() const
{
    QStringList order;
    QString text = sql();
    if (!isProcedureText(text))
        parseParams(text, order);
    order.removeDuplicates();
    return order;
}

void Query::prepareText()
{
    const QString text = sql();
    paramOrder_.clear();
    serverSql_ = isProcedureText(text) ? text : parseParams(text, paramOrder_);
    if (serverSql_.isEmpty())
        serverSql_ = QStringLiteral(" ");
}

void Query::releaseStatement()
{
    if (!stmt_)
        return;
    auto* s = static_cast<IStatement*>(stmt_);
    FbStatus st;
    s->free(&st);
    if (st.failed())
        s->release();
    stmt_ = nullptr;
    forgetInputShape();
    outputShape_.reset();
}

void Query::prepare() { ensurePrepared(); }

QString Query::plan()
{
    ensurePrepared();
    FbStatus st;
    const char* text = static_cast<IStatement*>(stmt_)->getPlan(&st, true);
    st.check();
    return text ? QString::fromUtf8(text) : QString();
}

void Query::unprepare()
{
    close();
    releaseStatement();
}

void Query::ensurePrepared()
{
    if (stmt_)
        return;
    if (!db_ || !db_->connected() || !tr_)
        throw DbError(QStringLiteral("Нет подключения к базе данных"));
    if (lines_.join(QString()).trimmed().isEmpty())
        throw DbError(QStringLiteral("Текст запроса пуст"));
    if (serverSql_.isEmpty())
        prepareText();
    const QByteArray bytes = toCp1251(serverSql_);
    FbStatus st;
    IStatement* s = db_->attachment()->prepare(&st, tr_->handle(), static_cast<unsigned>(bytes.size()),
                                               bytes.constData(), 3, IStatement::PREPARE_PREFETCH_METADATA);
    st.check();
    stmtType_ = s->getType(&st);
    st.check();
    stmt_ = s;
    changedTables_.clear();
    // Comments (a statement may begin with one) are no part of what it writes.
    const QString bare = Database::withoutComments(serverSql_);
    if (stmtType_ == isc_info_sql_stmt_insert || stmtType_ == isc_info_sql_stmt_update ||
        stmtType_ == isc_info_sql_stmt_delete || stmtType_ == isc_info_sql_stmt_exec_procedure) {
        // The table a DML statement names right after its verb (one with
        // RETURNING reports itself as a procedure call), noted on each run.
        static const QRegularExpression target(
            QStringLiteral(R"(^\s*(?:INSERT\s+INTO|UPDATE\s+OR\s+INSERT\s+INTO|UPDATE|DELETE\s+FROM|MERGE\s+INTO)\s+"?([A-Za-z0-9_$]+))"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = target.match(bare);
        if (m.hasMatch())
            changedTables_ << m.captured(1).toUpper();
    }
    if (changedTables_.isEmpty()) {
        // A stored procedure: the tables its body (and what it runs) changes;
        // a block of statements: the tables its own body and what it runs change.
        static const QRegularExpression call(QStringLiteral(R"(^\s*EXECUTE\s+PROCEDURE\s+"?([A-Za-z0-9_$]+))"),
                                             QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression block(QStringLiteral(R"(^\s*EXECUTE\s+BLOCK\b)"),
                                              QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = call.match(bare);
        if (m.hasMatch())
            changedTables_ = db_->procedureTables(m.captured(1), tr_);
        else if (block.match(bare).hasMatch())
            changedTables_ = db_->tablesWrittenBy(bare, tr_);
    }
}

namespace {

Query::UnnotedWrites& unnotedWrites()
{
    static Query::UnnotedWrites handler;
    return handler;
}

bool isSystemTable(const QString& table)
{
    return table.startsWith(QLatin1String("RDB$")) || table.startsWith(QLatin1String("MON$")) ||
           table.startsWith(QLatin1String("SEC$"));
}

} // namespace

void Query::setUnnotedWritesHandler(UnnotedWrites handler) { unnotedWrites() = std::move(handler); }

void Query::forgetInputShape() { inputShape_.reset(); }

void Query::open()
{
    if (active_)
        return;
    ensurePrepared();
    auto in = bindParams();
    fetchInto(stmt_, in);
    showRowsRead();
}

void Query::showRowsRead()
{
    active_ = true;
    cur_ = rows_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.isEmpty();
    emit opened();
    emit afterOpen();
    fireAfterScroll();
}

void Query::refresh()
{
    if (!active_) {
        open();
        return;
    }
    QVector<FieldInfo> fields = fields_;
    QHash<QString, int> index = fieldIndex_;
    QVector<QVector<QVariant>> rows = rows_;
    try {
        ensurePrepared();
        auto in = bindParams();
        fetchInto(stmt_, in);
    } catch (...) {
        fields_ = std::move(fields);
        fieldIndex_ = std::move(index);
        rows_ = std::move(rows);
        throw;
    }
    // The rows read stay aside while the list closes on its former ones.
    std::swap(fields, fields_);
    std::swap(index, fieldIndex_);
    std::swap(rows, rows_);
    close();
    if (active_)  // a close handler opened the query again
        return;
    fields_ = std::move(fields);
    fieldIndex_ = std::move(index);
    rows_ = std::move(rows);
    showRowsRead();
}

void Query::close()
{
    if (!active_)
        return;
    emit beforeClose();
    active_ = false;
    rows_.clear();
    keyRowsColumn_ = -1;
    cur_ = -1;
    bof_ = eof_ = true;
    emit closed();
    emit afterClose();
}

void Query::noteChangedTable() { tr_->noteStatement(changedTables_); }

void Query::execSql()
{
    close();
    ensurePrepared();
    auto in = bindParams();
    const bool counting = unnotedWrites() && stmtType_ != isc_info_sql_stmt_ddl;
    const QHash<QString, qint64> before = counting ? db_->rowsWritten(tr_) : QHash<QString, qint64>();
    auto* s = static_cast<IStatement*>(stmt_);
    FbStatus st;
    if (stmtType_ == isc_info_sql_stmt_select || stmtType_ == isc_info_sql_stmt_select_for_upd ||
        stmtType_ == isc_info_sql_stmt_exec_procedure) {
        // Output values (EXECUTE PROCEDURE) stay readable through field().
        fetchInto(stmt_, in);
        active_ = false;
        cur_ = rows_.isEmpty() ? -1 : 0;
        bof_ = true;
        eof_ = rows_.isEmpty();
    } else {
        s->execute(&st, tr_->handle(), in->meta, in->buffer.isEmpty() ? nullptr : in->buffer.data(), nullptr,
                   nullptr);
        st.check();
    }
    noteChangedTable();
    rowsAffected_ = static_cast<int>(s->getAffectedRecords(&st));
    if (st.failed())
        rowsAffected_ = 0;
    if (counting) {
        const QHash<QString, qint64> after = db_->rowsWritten(tr_);
        const QHash<QString, QSet<qint64>> noted = tr_->changes();
        QStringList unnoted;
        for (auto it = after.cbegin(); it != after.cend(); ++it)
            if (it.value() != before.value(it.key()) && !isSystemTable(it.key()) && !noted.contains(it.key()))
                unnoted << it.key();
        if (!unnoted.isEmpty()) {
            unnoted.sort();
            unnotedWrites()(serverSql_, unnoted);
        }
    }
    if (stmtType_ == isc_info_sql_stmt_ddl) {
        // Metadata changed: a cached statement may refer to the old form of a
        // table, and a procedure may write elsewhere now.
        releaseStatement();
        if (db_)
            db_->forgetProcedureTables();
    }
}

} // namespace db
