#pragma once

#include "Error.h"

#include <QByteArray>
#include <QObject>
#include <QString>

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

// The single attachment of the program. The database name is handed to
// Firebird as it stands, except that "localhost:PATH" opens PATH through the
// embedded engine when no Firebird server listens on this computer.
class Database : public QObject {
    Q_OBJECT
public:
    explicit Database(QObject* parent = nullptr);
    ~Database() override;

    void setDatabaseName(const QString& name) { name_ = name; }
    const QString& databaseName() const { return name_; }
    void setParams(const ConnectParams& params) { params_ = params; }
    const ConnectParams& params() const { return params_; }

    void open();
    void close();
    bool connected() const { return attachment_ != nullptr; }
    // The name actually attached (the local path when the embedded engine serves).
    const QString& attachedName() const { return attachedName_; }

    // Writes a new, empty database file (WIN1251, dialect 3, 8 KB pages) and leaves it closed.
    static void create(const QString& path, const ConnectParams& params = {});

    // The name Firebird is given for a connection string: "localhost:PATH" becomes PATH
    // when nothing listens on the local server port.
    static QString resolveName(const QString& name);
    static bool localServerListens(int port = 3050);

    Firebird::IAttachment* attachment() const { return attachment_; }
    static Firebird::IMaster* master();

signals:
    void aboutToClose();

private:
    friend class Transaction;
    void registerTransaction(Transaction* t);
    void unregisterTransaction(Transaction* t);

    QString name_;
    QString attachedName_;
    ConnectParams params_;
    Firebird::IAttachment* attachment_ = nullptr;
    QList<Transaction*> transactions_;
};

// Turns a Firebird status into our error; used by the whole client layer.
[[noreturn]] void throwStatus(Firebird::IStatus* status);

} // namespace db
