#pragma once

// The menu as a CSV file for other programs: Windows-1251, lines ended by
// CR LF, no header, five fields separated by ';' and never quoted. A section
// line is its name and four zeros; a dish line its name, ING_SKLAD key, bar
// code, menu price (shortest form, decimal comma) and additional information.
// Every section and dish is written, active or not.

#include "MenuReport.h"

#include <QByteArray>

namespace reports {

// The price as the file writes it: up to 15 significant digits, no
// thousands separator, a decimal comma (125.5 "125,5", 80 "80").
QString MenuCsvPrice(const std::optional<double>& price);

// The bytes of the file. A ';' or a line break inside a text becomes a blank,
// so that a line never shifts its fields.
QByteArray MenuCsvBytes(const QVector<MenuSectionLine>& sections);

// Writes the file in place of any file of that name; throws
// std::runtime_error naming the path when it cannot be written, and the file
// that was there stays as it was.
void WriteMenuCsv(const QString& path, const QVector<MenuSectionLine>& sections);

} // namespace reports
