#pragma once

#include <QByteArray>
#include <QString>

namespace db {

// Windows-1251 is the text of the database and of the program's own files;
// CP866 is the text of dBase exchange tables. Characters a code page cannot
// hold become '?'.
QString fromCp1251(const QByteArray& bytes);
QByteArray toCp1251(const QString& text);
QString fromCp866(const QByteArray& bytes);
QByteArray toCp866(const QString& text);

} // namespace db
