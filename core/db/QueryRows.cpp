// The open list of a query: its cursor, finding a row, the calculated
// fields and merging rows read again by key.

#include "Query.h"

#include "Codec.h"

#include <algorithm>
#include <functional>

namespace db {

void Query::computeCalcFields(int row)
{
    if (!onCalcFields || calcNames_.isEmpty())
        return;
    calcRow_ = row;
    try {
        onCalcFields(*this);
    } catch (...) {
        calcRow_ = -1;
        throw;
    }
    calcRow_ = -1;
}

bool Query::mergeRows(const QString& keyField, const Query& fresh, const QSet<qint64>& asked, const QStringList& orderFields)
{
    if (!active_ || !fresh.active_)
        return false;
    const int columns = static_cast<int>(fields_.size() - calcNames_.size());
    if (fresh.fields_.size() != columns)
        return false;
    for (int c = 0; c < columns; ++c)
        if (fresh.fields_[c].kind != fields_[c].kind)
            return false;
    const int key = fieldIndex(keyField);
    if (key < 0 || key >= columns)
        return false;
    QVector<int> order;
    for (const QString& f : orderFields) {
        const int c = fieldIndex(f);
        if (c < 0 || c >= columns)
            return false;
        order << c;
    }
    // The rows by key, kept while the rows stay (a list of many thousand
    // rows is merged into again and again).
    if (keyRowsColumn_ != key) {
        keyRows_.clear();
        keyRows_.reserve(rows_.size());
        for (int r = 0; r < rows_.size(); ++r) {
            const QVariant& v = std::as_const(rows_)[r][key];
            if (v.isValid() && !v.isNull())
                keyRows_.insert(v.toLongLong(), r);
        }
        keyRowsColumn_ = key;
    }
    QHash<qint64, int> listed;  // key -> row, for the asked keys only
    for (qint64 k : asked) {
        const auto it = keyRows_.constFind(k);
        if (it != keyRows_.constEnd())
            listed.insert(k, *it);
    }
    // Checked whole before anything changes.
    QVector<QPair<int, int>> replaced;  // list row, fresh row
    QSet<qint64> kept;
    for (int f = 0; f < fresh.rows_.size(); ++f) {
        const QVariant& v = fresh.rows_[f][key];
        const auto it = v.isValid() && !v.isNull() ? listed.constFind(v.toLongLong()) : listed.constEnd();
        if (it == listed.constEnd())
            return false;
        for (int c : order)
            if (fresh.rows_[f][c] != rows_[*it][c])
                return false;
        replaced.append({*it, f});
        kept.insert(it.key());
    }
    QList<int> dropped;
    for (auto it = listed.constBegin(); it != listed.constEnd(); ++it)
        if (!kept.contains(it.key())) {
            if (*it == cur_)
                return false;
            dropped << *it;
        }

    for (const auto& [row, f] : replaced) {
        for (int c = 0; c < columns; ++c)
            rows_[row][c] = fresh.rows_[f][c];
        computeCalcFields(row);
        emit rowRefreshed(row);
    }
    std::sort(dropped.begin(), dropped.end(), std::greater<int>());
    if (!dropped.isEmpty())
        keyRowsColumn_ = -1;
    for (int row : dropped) {
        emit rowAboutToBeRemoved(row);
        rows_.remove(row);
        if (row < cur_)
            --cur_;
        emit rowRemoved(row);
    }
    return true;
}

void Query::fireAfterScroll()
{
    emit currentChanged(cur_);
    emit afterScroll();
}

void Query::scrollTo(int row, bool fireBefore)
{
    if (fireBefore)
        emit beforeScroll();
    cur_ = row;
    fireAfterScroll();
}

void Query::setRecNo(int row)
{
    if (!active_ || rows_.isEmpty() || row < 0 || row >= rows_.size() || row == cur_)
        return;
    bof_ = false;
    eof_ = false;
    scrollTo(row);
}

void Query::first()
{
    if (!active_)
        return;
    emit beforeScroll();
    bof_ = true;
    eof_ = rows_.isEmpty();
    cur_ = rows_.isEmpty() ? -1 : 0;
    fireAfterScroll();
}

void Query::last()
{
    if (!active_)
        return;
    emit beforeScroll();
    eof_ = true;
    bof_ = rows_.isEmpty();
    cur_ = static_cast<int>(rows_.size()) - 1;
    fireAfterScroll();
}

void Query::next()
{
    if (!active_)
        return;
    emit beforeScroll();
    if (cur_ + 1 >= rows_.size()) {
        eof_ = true;
        return;
    }
    bof_ = false;
    ++cur_;
    fireAfterScroll();
}

void Query::prior()
{
    if (!active_)
        return;
    emit beforeScroll();
    if (cur_ <= 0) {
        bof_ = true;
        return;
    }
    eof_ = false;
    --cur_;
    fireAfterScroll();
}

bool Query::locate(const QString& fieldName, const QVariant& value, bool caseInsensitive, bool partial)
{
    if (!active_)
        return false;
    const int col = fieldIndex(fieldName);
    if (col < 0)
        throw DbError(QStringLiteral("Поле %1 не найдено").arg(fieldName));
    const bool numeric = value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int ||
                         value.typeId() == QMetaType::Double || value.typeId() == QMetaType::UInt ||
                         value.typeId() == QMetaType::ULongLong;
    const QString text = value.toString();
    for (int r = 0; r < rows_.size(); ++r) {
        const QVariant v = valueAt(r, col);
        if (!v.isValid())
            continue;
        bool hit;
        if (numeric && (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double)) {
            if (value.typeId() == QMetaType::Double || v.typeId() == QMetaType::Double)
                hit = v.toDouble() == value.toDouble();
            else
                hit = v.toLongLong() == value.toLongLong();
        } else {
            const QString s = v.toString();
            const Qt::CaseSensitivity cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
            hit = partial ? s.startsWith(text, cs) : s.compare(text, cs) == 0;
        }
        if (hit) {
            emit beforeScroll();
            bof_ = false;
            eof_ = false;
            cur_ = r;
            fireAfterScroll();
            return true;
        }
    }
    return false;
}

int Query::fieldIndex(const QString& name) const
{
    // Most callers name a field as the list does, in upper case.
    const auto it = fieldIndex_.constFind(name);
    return it != fieldIndex_.constEnd() ? *it : fieldIndex_.value(name.toUpper(), -1);
}

Field Query::field(const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Поле %1 не найдено").arg(name));
    return Field(this, i);
}

QVariant Query::valueAt(int row, int column) const
{
    const QVariant& v = rows_[row][column];
    if (!v.isValid() || v.isNull())
        return QVariant();
    const FieldInfo& fi = fields_[column];
    if ((fi.kind == FieldKind::Text || fi.kind == FieldKind::TextBlob) && !fi.binary &&
        v.typeId() == QMetaType::QByteArray)
        return fromCp1251(v.toByteArray());
    return v;
}

void Query::addCalcField(const QString& name, FieldKind kind)
{
    if (calcNames_.contains(name, Qt::CaseInsensitive))
        return;
    calcNames_.append(name);
    calcKinds_.append(kind);
}

void Query::setCalc(const QString& name, const QVariant& value)
{
    const int col = fieldIndex(name);
    const int row = calcRow_ >= 0 ? calcRow_ : cur_;
    if (col < 0 || !fields_[col].calculated || row < 0)
        throw DbError(QStringLiteral("Вычисляемое поле %1 не найдено").arg(name));
    rows_[row][col] = value;
}

} // namespace db
