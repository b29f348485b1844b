#pragma once

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

// The filters of the protocol list and the statements they give: the list
// itself (with the sort order and the text filter) and the deletion (the
// same period, time and user, never rows of the area "Протокол").
namespace protocol {

// Dates are kept as day numbers counted from 30.12.1899 and times of day as
// fractions of a day, as the program-wide filter values hold them.
double DateToSerial(const QDate& date);
QDate SerialToDate(double serial);
double TimeToFraction(const QTime& time);
QTime FractionToTime(double fraction);

// Sort orders of the sort dialog.
enum Order { ByDateTime = 0, ByActionDateTime = 1, ByDateActionTime = 2 };

struct Filter {
    double dateFrom = -1.0;  // above 0: the period from dateFrom to dateTo
    double dateTo = -1.0;
    double timeFrom = -1.0;  // -1.0: any time of day
    double timeTo = -1.0;
    qint64 user = -1;        // above 0: this PERSON.KOD only
    QString userFio;         // its full name, for the description
    bool textOn = false;     // the action must contain `text`
    QString text;
    int order = ByDateTime;
};

struct Statement {
    QStringList sql;
    QMap<QString, QVariant> params;  // bound by name: QDate, QTime or QString
    QString label;                   // the description of the filters in force
};

// "SELECT * FROM LOG_TABLE" with every filter and the order.
Statement Select(const Filter& f);
// "DELETE FROM LOG_TABLE" with the period, time and user filters (the text
// filter is not applied); rows of the area "Протокол" always stay.
Statement Delete(const Filter& f);

} // namespace protocol
