// A column of the current row, read as the program wants it.

#include "Query.h"

#include "Codec.h"
#include "QueryBound.h"

#include <cmath>

namespace db {

QString formatFloat(double v)
{
    if (v == 0)
        return QStringLiteral("0");
    QString s = QString::number(v, 'g', 15);
    if (s.contains(QLatin1Char('e')))
        s = QString::number(v, 'f', 15);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

const QVariant& Field::raw() const
{
    if (q_->cur_ < 0 && q_->calcRow_ < 0) {
        static const QVariant null;
        return null;
    }
    const int row = q_->calcRow_ >= 0 ? q_->calcRow_ : q_->cur_;
    return q_->rows_[row][index_];
}

const QString& Field::name() const { return q_->fields_[index_].name; }

const FieldInfo& Field::info() const { return q_->fields_[index_]; }

bool Field::isNull() const
{
    const QVariant& v = raw();
    return !v.isValid() || v.isNull();
}

QVariant Field::value() const
{
    const QVariant& v = raw();
    if (!v.isValid() || v.isNull())
        return QVariant();
    const FieldInfo& fi = info();
    if ((fi.kind == FieldKind::Text || fi.kind == FieldKind::TextBlob) && !fi.binary &&
        v.typeId() == QMetaType::QByteArray)
        return fromCp1251(v.toByteArray());
    return v;
}

QString Field::asString() const
{
    const QVariant v = value();
    if (!v.isValid())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
        return formatFloat(v.toDouble());
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    case QMetaType::QByteArray:
        return fromCp1251(v.toByteArray());
    default:
        return v.toString();
    }
}

QByteArray Field::asBytes() const
{
    const QVariant& v = raw();
    if (!v.isValid() || v.isNull())
        return QByteArray();
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    return toCp1251Lossy(asString());  // read from the database: every character came from Windows-1251
}

qint64 Field::asInt64() const
{
    const QVariant v = value();
    if (!v.isValid())
        return 0;
    switch (v.typeId()) {
    case QMetaType::LongLong:
        return v.toLongLong();
    case QMetaType::Double:
        return static_cast<qint64>(std::llround(v.toDouble()));
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::QString: {
        bool ok = false;
        qint64 r = v.toString().trimmed().toLongLong(&ok);
        if (!ok)
            throw DbError(QStringLiteral("\"%1\" не является целым числом (поле %2)").arg(v.toString(), name()));
        return r;
    }
    default:
        return v.toLongLong();
    }
}

double Field::asDouble() const
{
    const QVariant v = value();
    if (!v.isValid())
        return 0;
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        double r = QString(v.toString()).replace(QLatin1Char(','), QLatin1Char('.')).trimmed().toDouble(&ok);
        if (!ok)
            throw DbError(QStringLiteral("\"%1\" не является числом (поле %2)").arg(v.toString(), name()));
        return r;
    }
    return v.toDouble();
}

QDate Field::asDate() const
{
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return v.toDate();
}

QTime Field::asTime() const
{
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().time();
    return v.toTime();
}

QDateTime Field::asDateTime() const
{
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    if (v.typeId() == QMetaType::QTime)
        return QDateTime(kFbEpoch.addDays(15018), v.toTime());  // 30.12.1899, the zero of date-times
    return v.toDateTime();
}

} // namespace db
