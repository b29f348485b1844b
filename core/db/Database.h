#pragma once

#include "Error.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QObject>
#include <QStringList>
#include <QString>

#include <optional>

namespace Firebird {
class IMaster;
class IAttachment;
class IUtil;
class IStatus;
} // namespace Firebird

namespace db {

class Transaction;

// Connection parameters as the connection component keeps them.
struct ConnectParams {
    QString user = QStringLiteral("SYSDBA");
    QByteArray password = QByteArrayLiteral("plovdaxem");
    QString lcCtype = QStringLiteral("WIN1251");
};

// "localhost:PATH" or "localhost/PORT:PATH": a database the Firebird server of
// this computer serves, the only names the embedded engine may open instead.
struct LocalServerName {
    int port = 3050;
    bool portNamed = false;
    QString path;
};

// The single attachment of the program. The database name is handed to
// Firebird as it stands, except that "localhost:PATH" opens PATH through the
// embedded engine when no Firebird server listens on this computer, unless
// the embedded fallback is turned off (a server is expected to serve the file).
class Database : public QObject {
    Q_OBJECT
public:
    explicit Database(QObject* parent = nullptr);
    ~Database() override;

    void setDatabaseName(const QString& name) { name_ = name; }
    const QString& databaseName() const { return name_; }
    void setParams(const ConnectParams& params) { params_ = params; }
    const ConnectParams& params() const { return params_; }
    // Off: a local server's name goes to that server even when none answers,
    // and the attachment fails instead of taking the file in-process.
    void setEmbeddedFallback(bool on) { embeddedFallback_ = on; }

    void open();
    void close();
    // Starts attaching `name` with `params` on a thread of its own, so that
    // the engine loads and the file opens while the program builds its
    // windows. The next open() waits for it and takes that attachment when
    // its name, parameters and embedded fallback are the same; otherwise, or
    // when attaching ahead failed, it is dropped and open() attaches as always
    // (and says what went wrong).
    static void attachAhead(const QString& name, const ConnectParams& params, bool embeddedFallback = true);
    bool connected() const { return attachment_ != nullptr; }
    // The name actually attached (the local path when the embedded engine serves).
    const QString& attachedName() const { return attachedName_; }

    // Writes a new, empty database file (WIN1251, dialect 3, 8 KB pages) and leaves it closed.
    static void create(const QString& path, const ConnectParams& params = {});

    // The name Firebird is given for a connection string: "localhost:PATH" becomes PATH
    // when nothing listens on the local server port and the fallback is allowed.
    static QString resolveName(const QString& name, bool embeddedFallback = true);
    static std::optional<LocalServerName> localServerName(const QString& name);
    static bool localServerListens(int port = 3050);

    Firebird::IAttachment* attachment() const { return attachment_; }

    // The tables a stored procedure of this database changes: those its body
    // inserts into, updates or deletes from, and those of the procedures it
    // runs (called, or selected from). Read once per attachment from the
    // procedures' sources on `tr`; forgotten when the attachment closes or a
    // DDL statement runs.
    QStringList procedureTables(const QString& procedure, Transaction* tr);
    void forgetProcedureTables() { procedureTables_.clear(); }
    // The tables a piece of PSQL writes (an EXECUTE BLOCK's body), with those
    // of the procedures it runs, however deep; upper case.
    QStringList tablesWrittenBy(const QString& source, Transaction* tr);
    // The tables and procedures one procedure body names as written (a
    // procedure as "PROCEDURE NAME"), upper case.
    static QStringList writtenBy(const QString& source);
    // The text without its comments ("--" to the end of the line, "/* */");
    // quoted literals and names are kept as they stand.
    static QString withoutComments(const QString& sql);

    // Rows this attachment has inserted, updated and deleted since it was
    // made, per table (upper case; system tables included), as the server
    // counts them. Table names are read on `tr`.
    QHash<QString, qint64> rowsWritten(Transaction* tr);
    static Firebird::IMaster* master();

signals:
    void aboutToClose();

private:
    friend class Transaction;
    void readProcedures(Transaction* tr);
    // writtenBy's entries, and each of the procedures that the body selects from.
    static QStringList namedBy(const QString& source, const QSet<QString>& procedures);
    void registerTransaction(Transaction* t);
    void unregisterTransaction(Transaction* t);

    QString name_;
    QString attachedName_;
    ConnectParams params_;
    bool embeddedFallback_ = true;
    Firebird::IAttachment* attachment_ = nullptr;
    QList<Transaction*> transactions_;
    QHash<QString, QStringList> procedureTables_;  // procedure -> tables, upper case
    QHash<int, QString> relationNames_;            // relation id -> table
};

// Turns a Firebird status into our error; used by the whole client layer.
[[noreturn]] void throwStatus(Firebird::IStatus* status);

} // namespace db
