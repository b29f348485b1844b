#pragma once

#include <QByteArray>
#include <QString>

namespace db {

// Windows-1251 is the text of the database and of the program's own files;
// CP866 is the text of dBase exchange tables.
QString fromCp1251(const QByteArray& bytes);
// Throws DbError naming the characters Windows-1251 cannot hold: a text is
// stored as typed or not at all.
QByteArray toCp1251(const QString& text);
// For matching only (a search box's pattern): characters Windows-1251 cannot
// hold become '?', which matches nothing stored.
QByteArray toCp1251Lossy(const QString& text);
// The characters of the text Windows-1251 cannot hold, each once, in the
// order they come; whole characters (an emoji is one).
QString unstorableCharacters(const QString& text);
// The refusal of a text with such characters, naming them; empty when the
// text can be stored.
QString unstorableTextRefusal(const QString& text);
// Characters CP866 cannot hold become '?'.
QString fromCp866(const QByteArray& bytes);
QByteArray toCp866(const QString& text);

} // namespace db
