#include "ProtocolFilter.h"

#include "engine/EngineDb.h"

#include <cmath>

namespace protocol {

namespace {

constexpr qint64 kDayZero = 2415019;  // the Julian day of 30.12.1899

// Adds one condition, "WHERE" for the first and "AND" for the others.
struct Conditions {
    Statement& st;
    bool any = false;
    void add(const QString& condition)
    {
        st.sql << (any ? QStringLiteral("AND ") : QStringLiteral("WHERE ")) + condition;
        any = true;
    }
};

// The period, time and user filters, shared by the list and the deletion.
void common(const Filter& f, Conditions& c)
{
    Statement& st = c.st;
    if (f.dateFrom > 0) {
        const QDate from = SerialToDate(f.dateFrom), to = SerialToDate(f.dateTo);
        c.add(QStringLiteral("MY_DATE >= :DS AND MY_DATE <= :DE"));
        st.params[QStringLiteral("DS")] = from;
        st.params[QStringLiteral("DE")] = to;
        st.label = QStringLiteral("Период с: ") + from.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" по ") +
                   to.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("; ");
    } else {
        st.label = QStringLiteral("Все даты; ");
    }
    if (f.timeFrom != -1.0) {
        const QTime from = FractionToTime(f.timeFrom), to = FractionToTime(f.timeTo);
        c.add(QStringLiteral("MY_TIME >= :TS AND MY_TIME <= :TE"));
        st.params[QStringLiteral("TS")] = from;
        st.params[QStringLiteral("TE")] = to;
        st.label += QStringLiteral("Время с: ") + from.toString(QStringLiteral("hh.mm.ss")) + QStringLiteral(" по ") +
                    to.toString(QStringLiteral("hh.mm.ss")) + QStringLiteral("; ");
    } else {
        st.label += QStringLiteral("В любое время; ");
    }
    if (f.user > 0) {
        c.add(QStringLiteral("K_LOGIN = ") + QString::number(f.user));
        st.label += QStringLiteral("Пользователь ") + f.userFio + QStringLiteral(".");
    } else {
        st.label += QStringLiteral("Данные всех пользователей.");
    }
}

} // namespace

double DateToSerial(const QDate& date) { return static_cast<double>(date.toJulianDay() - kDayZero); }

QDate SerialToDate(double serial) { return QDate::fromJulianDay(static_cast<qint64>(std::floor(serial)) + kDayZero); }

double TimeToFraction(const QTime& time) { return time.msecsSinceStartOfDay() / 86400000.0; }

QTime FractionToTime(double fraction)
{
    const double dayPart = fraction - std::floor(fraction);
    const int seconds = std::min(86399, static_cast<int>(std::llround(dayPart * 86400.0)));
    return QTime(0, 0).addSecs(seconds);
}

Statement Select(const Filter& f)
{
    Statement st;
    st.sql << QStringLiteral("SELECT * FROM LOG_TABLE");
    Conditions c{st};
    common(f, c);
    if (f.textOn) {
        // The typed text is bound and taken literally; the pattern may be longer than the column.
        c.add(QStringLiteral("LOG_TABLE.WHAT_ACTION LIKE CAST(:CTX AS VARCHAR(460) CHARACTER SET NONE) ESCAPE '\\'"));
        st.params[QStringLiteral("CTX")] = QString(QLatin1Char('%') + engine::LikeLiteral(f.text) + QLatin1Char('%'));
    }
    switch (f.order) {
    case ByActionDateTime:
        st.sql << QStringLiteral("ORDER BY WHAT_ACTION, MY_DATE, MY_TIME");
        break;
    case ByDateActionTime:
        st.sql << QStringLiteral("ORDER BY MY_DATE, WHAT_ACTION, MY_TIME");
        break;
    default:
        st.sql << QStringLiteral("ORDER BY MY_DATE, MY_TIME");
        break;
    }
    return st;
}

Statement Delete(const Filter& f)
{
    Statement st;
    st.sql << QStringLiteral("DELETE FROM LOG_TABLE");
    Conditions c{st};
    common(f, c);
    c.add(QStringLiteral("ARM <> 'Протокол'"));
    return st;
}

} // namespace protocol
