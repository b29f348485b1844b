#pragma once

#include <QString>

#include <stdexcept>

namespace db {

// A failure reported by the server or by the client layer. what() holds the
// text as UTF-8; message() the same text for the windows.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message, long gdsCode = 0)
        : std::runtime_error(message.toStdString()), message_(message), gdsCode_(gdsCode)
    {
    }
    const QString& message() const { return message_; }
    // The first Firebird error code of the status vector (isc_...), 0 for client-side errors.
    long gdsCode() const { return gdsCode_; }

private:
    QString message_;
    long gdsCode_;
};

// Whether a server error (its first code) means that the connection to the
// database is gone: the network broke, the server went down or ended this
// attachment. Nothing of an open transaction was kept then.
inline bool IsConnectionLost(long gdsCode)
{
    switch (gdsCode) {
    case 335544324L:  // isc_bad_db_handle
    case 335544528L:  // isc_shutdown
    case 335544648L:  // isc_conn_lost
    case 335544721L:  // isc_network_error
    case 335544726L:  // isc_net_read_err
    case 335544727L:  // isc_net_write_err
    case 335544741L:  // isc_lost_db_connection
    case 335544856L:  // isc_att_shutdown
        return true;
    default:
        return false;
    }
}

// What the user is told when the connection was lost in the middle of a change.
inline QString ConnectionLostText(const QString& whatWasNotDone = QStringLiteral("Изменения не записаны"))
{
    return QStringLiteral("Связь с сервером базы данных потеряна. ") + whatWasNotDone +
           QStringLiteral(": ничего не сохранено. Проверьте сеть и сервер и подключитесь к базе данных заново.");
}

// What the user is told when the connection was lost while the program only
// read (a list reloaded, a row clicked, a tab shown): nothing was being
// written, so nothing is said of saving.
inline QString ConnectionLostReadingText()
{
    return QStringLiteral("Связь с сервером базы данных потеряна: список не удалось прочитать. Проверьте сеть и сервер "
                          "и подключитесь к базе данных заново.");
}

// What the user is told when the connection was lost after the change had
// committed (while the lists were being read again): the change is kept.
inline QString ConnectionLostAfterSaveText()
{
    return QStringLiteral("Связь с сервером базы данных потеряна после того, как изменения были записаны: изменения "
                          "сохранены, но списки на экране могут их не показывать. Проверьте сеть и сервер и "
                          "подключитесь к базе данных заново.");
}

// What the user is told when something else failed after the change had
// committed: the change is kept, and what failed is named.
inline QString FailedAfterSaveText(const QString& failure)
{
    return QStringLiteral("Изменения сохранены, но после их записи произошла ошибка: ") + failure;
}

// The commit request was sent and the connection dropped before its answer
// came: the server may have committed the change or not, and nobody on this
// side can tell which. The transaction has ended on this side.
class CommitUncertain : public DbError {
public:
    using DbError::DbError;
};

// What the user is told when the connection was lost while the commit itself was under way.
inline QString ConnectionLostDuringCommitText()
{
    return QStringLiteral("Связь с сервером базы данных потеряна в момент записи изменений: изменения могли быть "
                          "сохранены. Прежде чем повторять действие, проверьте документ или данные, которые Вы "
                          "изменяли. Проверьте сеть и сервер и подключитесь к базе данных заново.");
}

// What the user is told when a list could not be read again after a change
// had committed: the change is kept, the list shows its former rows greyed.
inline QString ListNotReadAgainText(const QString& failure)
{
    return QStringLiteral("Изменения сохранены, но список на экране не удалось прочитать заново (") + failure +
           QStringLiteral("). Его прежние строки показаны серым и могут не показывать изменения.");
}

// Whether a server error (its first code) means that another workstation held
// what the change needed: a deadlock, a lock conflict, an update conflict or a
// lock wait that ran out. The change was refused whole.
inline bool IsLockConflict(long gdsCode)
{
    switch (gdsCode) {
    case 335544336L:  // isc_deadlock
    case 335544345L:  // isc_lock_conflict
    case 335544451L:  // isc_update_conflict
    case 335544510L:  // isc_lock_timeout
        return true;
    default:
        return false;
    }
}

// What the user is told when another workstation held what the change needed.
inline QString LockConflictText(const QString& whatWasNotDone = QStringLiteral("Изменения не записаны"))
{
    return whatWasNotDone + QStringLiteral(": другой пользователь в это время изменяет те же данные. "
                                           "Ничего не записано, повторите действие немного позже.");
}

} // namespace db

