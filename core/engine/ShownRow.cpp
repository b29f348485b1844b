#include "ShownRow.h"

#include "RowRefusal.h"
#include "db/Query.h"

#include <QStringList>

#include <stdexcept>

namespace engine {

namespace {

bool numeric(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool text(const QVariant& v) { return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray; }

// Both values come from the same column; the list and the road may read it
// into types of different widths. No value and the column's empty value (an
// empty text, a number 0: no warehouse, no partner) show alike, and a save or
// a posting writes the one for the other: neither is a change.
bool same(const QVariant& a, const QVariant& b)
{
    const bool aNull = !a.isValid() || a.isNull();
    const bool bNull = !b.isValid() || b.isNull();
    if (aNull && bNull)
        return true;
    if (aNull || bNull) {
        const QVariant& other = aNull ? b : a;
        if (numeric(other))
            return other.toDouble() == 0;
        return text(other) && other.toString().isEmpty();
    }
    if (numeric(a) && numeric(b))
        return a.toDouble() == b.toDouble();
    return a.toString() == b.toString();
}

} // namespace

ShownRow ShownRow::of(const db::Query& q, const QString& table, const QString& name, const QList<Column>& columns)
{
    ShownRow r;
    if (!q.active() || q.isEmpty())
        return r;
    r.table_ = table;
    r.key_ = q.field(QStringLiteral("KOD")).asInt64();
    r.name_ = name;
    for (const Column& c : columns)
        r.values_.append(Value{c.first, c.second, q.field(c.first).value()});
    return r;
}

ShownRow ShownRow::byKey(const QString& table, qint64 key, const QString& name)
{
    ShownRow r;
    r.table_ = table;
    r.key_ = key;
    r.name_ = name;
    return r;
}

void ShownRow::drop(const QString& column)
{
    values_.removeIf([&](const Value& v) { return v.column == column; });
}

void ShownRow::readAs(const QString& column, std::function<QVariant(const QVariant&)> reading)
{
    for (Value& v : values_)
        if (v.column == column)
            v.reading = reading;
}

void ClaimShownRow(const Context& ctx, const ShownRow& shown)
{
    if (shown.isEmpty())
        return;
    QStringList columns;
    for (const ShownRow::Value& v : shown.values_)
        columns << v.column;
    if (columns.isEmpty())
        columns << QStringLiteral("KOD");
    db::Query q(ctx.database, ctx.write);
    // Taken as an update takes it: another road on the row waits for this one.
    q.setSql(QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + shown.table_ +
             QStringLiteral(" WHERE KOD = ") + QString::number(shown.key_) + QStringLiteral(" WITH LOCK"));
    q.open();
    if (q.isEmpty())
        throw RowRefusal(shown.table_, shown.key_, RowGoneText(shown.name_));
    const QString name = QStringLiteral("«") + shown.name_ + QStringLiteral("»");
    QStringList changed;
    for (int i = 0; i < shown.values_.size(); ++i) {
        const ShownRow::Value& v = shown.values_[i];
        const QVariant stored = q.field(i).value();
        if (!(v.reading ? same(v.reading(v.value), v.reading(stored)) : same(v.value, stored)))
            changed << v.title;
    }
    changed.removeDuplicates();  // the columns of one field (a font's name, size and style) name it once
    if (!changed.isEmpty())
        throw RowRefusal(shown.table_, shown.key_,
                         QStringLiteral("Пока окно было открыто, на другом рабочем месте изменили ") + name +
                             QStringLiteral(": ") + changed.join(QStringLiteral(", ")) +
                             QStringLiteral(". Ничего не записано: откройте окно снова, чтобы увидеть новые значения."));
}

void ClaimShownRow(const Context& ctx, const ShownRow& shown, const QString& table, qint64 key)
{
    if (shown.isEmpty() || shown.key() != key || shown.table().compare(table, Qt::CaseInsensitive) != 0)
        throw std::logic_error("row " + QString::number(key).toStdString() + " of " + table.toStdString() +
                               " is saved with what its dialog showed of it");
    ClaimShownRow(ctx, shown);
}

QString RowGoneText(const QString& name)
{
    return QStringLiteral("На другом рабочем месте удалили «") + name + QStringLiteral("». Ничего не записано.");
}

void ClaimRow(const Context& ctx, const QString& table, qint64 key, const QString& name)
{
    ClaimShownRow(ctx, ShownRow::byKey(table, key, name));
}

} // namespace engine
