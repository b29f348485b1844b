#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <functional>

// The one clock of the program: today, now and time stamps. Tests pin it.
namespace Clock {

QDateTime now();
inline QDate today() { return now().date(); }
inline QTime timeOfDay() { return now().time(); }

// Replaces the clock (tests); an empty function restores the system clock.
void setSource(std::function<QDateTime()> source);

} // namespace Clock
