#include "Database.h"

#include "Query.h"
#include "Transaction.h"

#include <QRegularExpression>
#include <QSet>

#include "Codec.h"
#include "FbStatus.h"
#include "Transaction.h"

#include <firebird/Interface.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <exception>
#include <thread>
#include <utility>
#include <vector>

using namespace Firebird;

namespace db {

namespace {


QByteArray buildDpb(const ConnectParams& params, bool forCreate)
{
    FbStatus st;
    IXpbBuilder* dpb = Database::master()->getUtilInterface()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    st.check();
    dpb->insertString(&st, isc_dpb_user_name, params.user.toUtf8().constData());
    dpb->insertBytes(&st, isc_dpb_password, params.password.constData(), params.password.size());
    dpb->insertString(&st, isc_dpb_lc_ctype, params.lcCtype.toLatin1().constData());
    // File names travel as UTF-8 whatever the machine's locale, so folders with Cyrillic names work.
    dpb->insertTag(&st, isc_dpb_utf8_filename);
    if (forCreate) {
        dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
        dpb->insertInt(&st, isc_dpb_page_size, 8192);
        dpb->insertString(&st, isc_dpb_set_db_charset, "WIN1251");
    }
    st.check();
    QByteArray out(reinterpret_cast<const char*>(dpb->getBuffer(&st)), static_cast<int>(dpb->getBufferLength(&st)));
    dpb->dispose();
    st.check();
    return out;
}

} // namespace

void throwStatus(IStatus* status)
{
    char buf[2048];
    Database::master()->getUtilInterface()->formatStatus(buf, sizeof buf, status);
    long code = 0;
    const intptr_t* v = status->getErrors();
    if (v && v[0] == isc_arg_gds)
        code = static_cast<long>(v[1]);
    // Server texts may carry user data in the connection's character set.
    QByteArray raw(buf);
    QString text = QString::fromUtf8(raw);
    if (text.contains(QChar::ReplacementCharacter))
        text = fromCp1251(raw);
    throw DbError(text.trimmed(), code);
}

IMaster* Database::master()
{
    static IMaster* m = fb_get_master_interface();
    return m;
}

Database::Database(QObject* parent) : QObject(parent) {}

Database::~Database()
{
    close();
    transactions_.clear();
}

bool Database::localServerListens(int port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        ok = true;
    } else if (errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, 300) == 1) {
            int err = 0;
            socklen_t len = sizeof err;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
            ok = err == 0;
        }
    }
    ::close(fd);
    return ok;
}

std::optional<LocalServerName> Database::localServerName(const QString& name)
{
    // "localhost:PATH" or "localhost/PORT:PATH"
    static const QString host = QStringLiteral("localhost");
    if (!name.startsWith(host, Qt::CaseInsensitive))
        return std::nullopt;
    const int colon = static_cast<int>(name.indexOf(QLatin1Char(':'), host.size()));
    if (colon < 0)
        return std::nullopt;
    const QString between = name.mid(host.size(), colon - host.size());
    LocalServerName local;
    local.path = name.mid(colon + 1);
    if (between.isEmpty())
        return local;
    if (!between.startsWith(QLatin1Char('/')))
        return std::nullopt;
    bool ok = false;
    local.port = between.mid(1).toInt(&ok);
    local.portNamed = true;
    if (!ok)
        return std::nullopt;
    return local;
}

QString Database::resolveName(const QString& name, bool embeddedFallback)
{
    const std::optional<LocalServerName> local = localServerName(name);
    if (!embeddedFallback || !local || localServerListens(local->port))
        return name;
    return local->path;
}

namespace {

IAttachment* attach(const QString& target, const QByteArray& dpb, FbStatus& st)
{
    IProvider* prov = Database::master()->getDispatcher();
    IAttachment* att = prov->attachDatabase(&st, target.toUtf8().constData(), static_cast<unsigned>(dpb.size()),
                                            reinterpret_cast<const unsigned char*>(dpb.constData()));
    prov->release();
    return st.failed() ? nullptr : att;
}

// The attachment made ahead, and the thread making it.
struct Ahead {
    std::thread thread;
    QString name;
    QByteArray dpb;
    bool embeddedFallback = true;
    QString target;
    IAttachment* attachment = nullptr;
    std::exception_ptr error;  // why it could not be made
    // Nobody took it: the process ends, and the attachment with it.
    ~Ahead()
    {
        if (thread.joinable())
            thread.join();
    }
};

Ahead& ahead()
{
    static Ahead a;
    return a;
}

// Waits for the attachment made ahead; gives it for the same name,
// parameters and fallback (with the name it attached), and drops it
// otherwise. Its failure for the same of them is thrown: the server that did
// not answer is not waited for twice.
IAttachment* takeAhead(const QString& name, const QByteArray& dpb, bool embeddedFallback, QString& target)
{
    Ahead& a = ahead();
    if (!a.thread.joinable())
        return nullptr;
    a.thread.join();
    IAttachment* att = std::exchange(a.attachment, nullptr);
    const std::exception_ptr error = std::exchange(a.error, nullptr);
    const bool same = a.name == name && a.dpb == dpb && a.embeddedFallback == embeddedFallback;
    if (error && same)
        std::rethrow_exception(error);
    if (att && !same) {
        FbStatus st;
        att->detach(&st);
        if (st.failed())
            att->release();
        att = nullptr;
    }
    target = a.target;
    return att;
}

} // namespace

void Database::attachAhead(const QString& name, const ConnectParams& params, bool embeddedFallback)
{
    QString unused;
    takeAhead(QString(), QByteArray(), true, unused);
    Ahead& a = ahead();
    a.name = name;
    a.dpb = buildDpb(params, false);
    a.embeddedFallback = embeddedFallback;
    a.target.clear();
    a.thread = std::thread([&a] {
        try {
            const QString target = resolveName(a.name, a.embeddedFallback);
            FbStatus st;
            a.attachment = attach(target, a.dpb, st);
            a.target = target;
            st.check();
        } catch (...) {
            a.error = std::current_exception();
        }
    });
}

void Database::open()
{
    if (attachment_)
        return;
    const QByteArray dpb = buildDpb(params_, false);
    QString target;
    IAttachment* att = takeAhead(name_, dpb, embeddedFallback_, target);
    if (!att) {
        target = resolveName(name_, embeddedFallback_);
        FbStatus st;
        att = attach(target, dpb, st);
        st.check();
    }
    attachment_ = att;
    attachedName_ = target;
    procedureTables_.clear();
}

void Database::close()
{
    if (!attachment_)
        return;
    emit aboutToClose();
    for (Transaction* t : transactions_)
        t->dropOnClose();
    FbStatus st;
    attachment_->detach(&st);
    // A successful detach releases the interface; when the server is gone the
    // attachment is dropped on this side anyway so that the program can close.
    if (st.failed())
        attachment_->release();
    attachment_ = nullptr;
    procedureTables_.clear();
    relationNames_.clear();
}

QString Database::withoutComments(const QString& sql)
{
    QString out;
    out.reserve(sql.size());
    const int n = static_cast<int>(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            int j = i + 1;
            while (j < n && !(sql[j] == c && !(j + 1 < n && sql[j + 1] == c)))
                j += sql[j] == c ? 2 : 1;
            out += sql.mid(i, j - i + 1);
            i = j + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            const int j = static_cast<int>(sql.indexOf(QLatin1Char('\n'), i));
            i = j < 0 ? n : j;
            out += QLatin1Char(' ');
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const int j = static_cast<int>(sql.indexOf(QStringLiteral("*/"), i + 2));
            i = j < 0 ? n : j + 2;
            out += QLatin1Char(' ');
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QStringList Database::tablesWrittenBy(const QString& source, Transaction* tr)
{
    readProcedures(tr);
    const QList<QString> names = procedureTables_.keys();
    QStringList tables;
    for (const QString& e : namedBy(source, QSet<QString>(names.cbegin(), names.cend()))) {
        const QStringList some = e.startsWith(QLatin1String("PROCEDURE ")) ? procedureTables(e.mid(10), tr) : QStringList{e};
        for (const QString& t : some)
            if (!tables.contains(t))
                tables << t;
    }
    return tables;
}

QHash<QString, qint64> Database::rowsWritten(Transaction* tr)
{
    static const unsigned char items[] = {isc_info_insert_count, isc_info_update_count, isc_info_delete_count,
                                          isc_info_end};
    std::vector<unsigned char> buf(65536);
    FbStatus st;
    attachment_->getInfo(&st, sizeof items, items, static_cast<unsigned>(buf.size()), buf.data());
    st.check();
    // Numbers of the answer are little-endian whatever the machine.
    const auto number = [&buf](size_t at, int bytes) {
        quint32 v = 0;
        for (int b = bytes - 1; b >= 0; --b)
            v = (v << 8) | buf[at + static_cast<size_t>(b)];
        return v;
    };
    QHash<int, qint64> byId;
    for (size_t p = 0; p + 3 <= buf.size() && buf[p] != isc_info_end && buf[p] != isc_info_truncated;) {
        const size_t len = number(p + 1, 2);
        // Pairs of a relation id (2 bytes) and its count (4 bytes).
        for (size_t q = p + 3; q + 6 <= p + 3 + len; q += 6)
            byId[static_cast<int>(number(q, 2))] += number(q + 2, 4);
        p += 3 + len;
    }
    QHash<QString, qint64> out;
    for (auto it = byId.cbegin(); it != byId.cend(); ++it) {
        if (!relationNames_.contains(it.key())) {
            // Read again: a table made since the names were read.
            Query q(this, tr);
            q.setSql(QStringLiteral("SELECT RDB$RELATION_ID, TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS"));
            q.open();
            for (; !q.eof(); q.next())
                relationNames_.insert(q.field(0).asInt(), q.field(1).asString().toUpper());
        }
        out[relationNames_.value(it.key(), QStringLiteral("#%1").arg(it.key()))] += it.value();
    }
    return out;
}

QStringList Database::writtenBy(const QString& source)
{
    static const QRegularExpression writes(
        QStringLiteral(R"(\b(?:INSERT\s+INTO|UPDATE\s+OR\s+INSERT\s+INTO|UPDATE|DELETE\s+FROM|MERGE\s+INTO|(EXECUTE\s+PROCEDURE))\s+"?([A-Za-z0-9_$]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QString text = withoutComments(source);
    QStringList out;
    for (auto it = writes.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString name = m.captured(2).toUpper();
        const QString entry = m.captured(1).isEmpty() ? name : QStringLiteral("PROCEDURE ") + name;
        if (!out.contains(entry))
            out << entry;
    }
    return out;
}

QStringList Database::procedureTables(const QString& procedure, Transaction* tr)
{
    readProcedures(tr);
    return procedureTables_.value(procedure.toUpper());
}

QStringList Database::namedBy(const QString& source, const QSet<QString>& procedures)
{
    // A procedure that answers rows runs when a body selects from it.
    static const QRegularExpression selected(QStringLiteral(R"(\b(?:FROM|JOIN)\s+"?([A-Za-z0-9_$]+))"),
                                             QRegularExpression::CaseInsensitiveOption);
    QStringList out = writtenBy(source);
    for (auto it = selected.globalMatch(withoutComments(source)); it.hasNext();) {
        const QString name = it.next().captured(1).toUpper();
        const QString entry = QStringLiteral("PROCEDURE ") + name;
        if (procedures.contains(name) && !out.contains(entry))
            out << entry;
    }
    return out;
}

void Database::readProcedures(Transaction* tr)
{
    if (!procedureTables_.isEmpty() || !tr || !tr->active())
        return;
    QHash<QString, QString> sources;
    Query q(this, tr);
    q.setSql(QStringLiteral("SELECT TRIM(RDB$PROCEDURE_NAME), RDB$PROCEDURE_SOURCE FROM RDB$PROCEDURES "
                            "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"));
    q.open();
    for (; !q.eof(); q.next())
        sources.insert(q.field(0).asString().toUpper(), q.field(1).asString());
    q.close();
    const QList<QString> names = sources.keys();
    const QSet<QString> known(names.cbegin(), names.cend());
    QHash<QString, QStringList> direct;
    for (auto it = sources.cbegin(); it != sources.cend(); ++it)
        direct.insert(it.key(), namedBy(it.value(), known));
    // Each procedure takes the tables of the procedures it runs, however deep.
    for (auto it = direct.cbegin(); it != direct.cend(); ++it) {
        QStringList tables;
        QStringList pending{it.key()};
        QSet<QString> seen;
        while (!pending.isEmpty()) {
            const QString p = pending.takeLast();
            if (seen.contains(p))
                continue;
            seen.insert(p);
            for (const QString& e : direct.value(p)) {
                if (e.startsWith(QLatin1String("PROCEDURE ")))
                    pending << e.mid(10);
                else if (!tables.contains(e))
                    tables << e;
            }
        }
        procedureTables_.insert(it.key(), tables);
    }
    // Nothing written by any procedure still marks the map as read.
    if (procedureTables_.isEmpty())
        procedureTables_.insert(QString(), {});
}

void Database::create(const QString& path, const ConnectParams& params)
{
    const QByteArray dpb = buildDpb(params, true);
    FbStatus st;
    IProvider* prov = master()->getDispatcher();
    IAttachment* att = prov->createDatabase(&st, path.toUtf8().constData(), static_cast<unsigned>(dpb.size()),
                                            reinterpret_cast<const unsigned char*>(dpb.constData()));
    prov->release();
    st.check();
    att->detach(&st);
    if (st.failed()) {
        att->release();
        st.check();
    }
}

void Database::registerTransaction(Transaction* t) { transactions_.append(t); }

void Database::unregisterTransaction(Transaction* t) { transactions_.removeAll(t); }

} // namespace db
