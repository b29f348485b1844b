#include "RowWriter.h"

#include "db/Query.h"

#include <stdexcept>

// ---- R_Record ----

R_Field& R_Record::append(const QString& name, int typ)
{
    if (Count >= kMaxFields)
        throw std::logic_error("R_Record: more than 60 fields for table " + Table.toStdString());
    R_Field& f = Array_Field[static_cast<size_t>(Count++)];
    f = R_Field{};
    f.Name = name;
    f.Typ = typ;
    return f;
}

R_Record& R_Record::addString(const QString& name, const QString& value)
{
    append(name, 1).S = value;
    return *this;
}

R_Record& R_Record::addInt(const QString& name, qint64 value)
{
    append(name, 2).I = value;
    return *this;
}

R_Record& R_Record::addFloat(const QString& name, double value)
{
    append(name, 3).F = value;
    return *this;
}

R_Record& R_Record::addDate(const QString& name, const QDate& value)
{
    append(name, 4).D = QDateTime(value, QTime(0, 0));
    return *this;
}

R_Record& R_Record::addTime(const QString& name, const QTime& value)
{
    append(name, 5).T = QDateTime(QDate(1899, 12, 30), value);
    return *this;
}

R_Record& R_Record::addNull(const QString& name)
{
    append(name, 0);
    return *this;
}

R_Record& R_Record::addLiteralNull(const QString& name)
{
    append(name, 6);
    return *this;
}

namespace {

void checkCount(const R_Record& r)
{
    if (r.Count < 1 || r.Count > R_Record::kMaxFields)
        throw std::logic_error("R_Record: field count out of 1..60 for table " + r.Table.toStdString());
}

} // namespace

void BindRecordFields(db::Query* q, const R_Record& r)
{
    for (int i = 0; i < r.Count; ++i) {
        const R_Field& f = r.Array_Field[static_cast<size_t>(i)];
        if (f.Typ >= 6)
            continue;
        db::Param& p = q->param(QStringLiteral("P") + f.Name);
        switch (f.Typ) {
        case 1:
            p.setString(f.S);
            break;
        case 2:
            p.setString(QString::number(f.I));
            break;
        case 3:
            p.setDouble(f.F);
            break;
        case 4:
            p.setDate(f.D.date());
            break;
        case 5:
            p.setTime(f.T.time());
            break;
        default:
            p.setNull();
        }
    }
}

QStringList InsertRecordSql(const R_Record& r)
{
    checkCount(r);
    QStringList lines;
    lines << QStringLiteral("INSERT INTO ") + r.Table + QStringLiteral(" (KOD,");
    for (int i = 0; i < r.Count; ++i)
        lines << QStringLiteral("  ") + r.Array_Field[static_cast<size_t>(i)].Name + (i + 1 < r.Count ? QStringLiteral(",") : QStringLiteral(")"));
    lines << QStringLiteral("VALUES (:PKOD,");
    for (int i = 0; i < r.Count; ++i) {
        const R_Field& f = r.Array_Field[static_cast<size_t>(i)];
        const QString end = i + 1 < r.Count ? QStringLiteral(",") : QStringLiteral(")");
        lines << (f.Typ >= 6 ? QStringLiteral("  NULL") : QStringLiteral("  :P") + f.Name) + end;
    }
    return lines;
}

QStringList UpdateRecordSql(const R_Record& r)
{
    checkCount(r);
    QStringList lines;
    lines << QStringLiteral("UPDATE ") + r.Table + QStringLiteral(" SET");
    for (int i = 0; i < r.Count; ++i) {
        const R_Field& f = r.Array_Field[static_cast<size_t>(i)];
        const QString end = i + 1 < r.Count ? QStringLiteral(",") : QString();
        lines << QStringLiteral("  ") + f.Name + (f.Typ >= 6 ? QStringLiteral(" = NULL") : QStringLiteral(" = :P") + f.Name) + end;
    }
    lines << QStringLiteral("WHERE KOD = ") + QString::number(r.KOD);
    return lines;
}

