#pragma once

#include <QString>
#include <QStringList>

namespace db {
class Database;
class Transaction;
} // namespace db

// The schema upgrade of older databases: steps 3 to kVersion, each adding
// columns, repairing data, adding settings rows and print-template variables
// or installing procedure bodies, and each recording itself in MY_VERSION.
// What a step adds is read from the schema sources (the shipped tables,
// procedures, settings and version texts); only the procedure forms that a
// later step replaces are kept apart, in schema/upgrade/.
namespace schema {

// The step a database stands at: the NUMBER_VER of its highest MY_VERSION row
// above 2 (2 when there is none) and that row's NAME_VER.
struct DatabaseStep {
    int step = 2;
    QString nameVer;
};

// Reads the version rows on the read transaction, which must be active.
DatabaseStep readStep(db::Database& db, db::Transaction& read);

// Runs one step: starts the write transaction, runs the step's actions with
// its version row, commits. The driving rows are read on the read
// transaction. On any failure the write transaction is rolled back, so
// nothing of the step stays, and the error is raised again. A step that
// another workstation upgrading the same database at the same moment runs is
// waited for and then taken as done: false, nothing written.
bool runStep(db::Database& db, db::Transaction& read, db::Transaction& write, int step);

// Gives the database exactly the procedure bodies and exceptions of the
// schema sources, whatever step and bodies an older program left: those that
// are missing or differ are created or altered, all in one write transaction,
// which starts only when something differs. Returns their names. The read
// transaction must be active.
QStringList alignProcedures(db::Database& db, db::Transaction& read, db::Transaction& write);

// The procedure scripts the steps run, by name, each a complete script:
// "SET TERM ^ ;", one procedure definition ending in "^", "SET TERM ; ^".
QString procedureScript(const QString& name);

// Reading the schema sources.
// The last definition of a procedure in the sources: the form the shipped
// database ends with ("CREATE OR ALTER PROCEDURE NAME (...) ... END").
QString shippedProcedure(const QString& name);
// The names of every procedure the sources define, in the order first met.
QStringList shippedProcedureNames();
// The definition of a column as the shipped table declares it
// ("P SMALLINT DEFAULT 0").
QString shippedColumn(const QString& table, const QString& column);

// The SQL value expression that gives a setting's shipped value (as the new
// database and the upgrade step that adds the setting store it).
QString shippedSettingSql(const QString& key);

} // namespace schema
