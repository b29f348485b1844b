#pragma once

// Sample templates written into a database. A sample is a spreadsheet file
// NAME.xls (converted at build time from its flat OpenDocument source) with
// its manifest NAME.sql: the statements that insert its PRINT_FORMS row and
// its variables, where :FORM is the new template's key, :UNICNAME a fresh
// cache number and :SHABLON the file's bytes.

#include <QString>

namespace db {
class Database;
class Transaction;
} // namespace db

namespace templates {

// Runs one manifest on the active write transaction; nothing is committed.
// Returns the new template's key.
qint64 InstallSampleTemplate(db::Database& database, db::Transaction& write, const QString& manifest,
                             const QString& spreadsheet);

// Every NAME.sql of the folder with its NAME.xls; the number installed.
int InstallSampleTemplates(db::Database& database, db::Transaction& write, const QString& folder);

// The folder of the sample templates built into the program: every
// printing/templates/samples/NAME.fods, converted, with its NAME.sql.
QString ShippedSamplesFolder();
// Installs every built-in sample (each the default of its print list, as its
// manifest says); the number installed.
int InstallShippedSamples(db::Database& database, db::Transaction& write);

} // namespace templates
