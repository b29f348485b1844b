#pragma once

#include <QString>

#include <stdexcept>

namespace engine {

// A road refused to change a row that another workstation changed or deleted
// since the window showed it. Nothing of the road may be kept; text() says so
// in the user's words. The handler's guard has the lists that show the row
// read it again (table() and key()), so the window shows what the road found.
class RowRefusal : public std::runtime_error {
public:
    RowRefusal(const QString& table, qint64 key, const QString& text)
        : std::runtime_error(text.toStdString()), table_(table.toUpper()), key_(key)
    {
    }
    const QString& table() const { return table_; }
    qint64 key() const { return key_; }
    QString text() const { return QString::fromUtf8(what()); }

private:
    QString table_;
    qint64 key_;
};

// A check the road makes again inside itself on row `key` of `table`, which a
// list showed: `refusal`, the check's words (the same the window gave before
// the road), refuses the road; empty, the road goes on.
inline void RefuseIf(const QString& table, qint64 key, const QString& refusal)
{
    if (!refusal.isEmpty())
        throw RowRefusal(table, key, refusal);
}

} // namespace engine
