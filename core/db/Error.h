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

} // namespace db
