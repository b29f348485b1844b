#pragma once

#include <QString>
#include <QStringList>

class TestDb;

// Turns the test's shipped database into one that a program of an older
// schema step left behind: the columns later steps add are gone (LOG_TABLE's
// area and action columns narrower), version rows and settings rows of later
// steps are gone, and the procedures hold the forms of that step: the older
// program's own where this program mends them (fixtures/older_procedures.sql),
// without any exception. The procedures later steps install, and those whose
// shipped bodies need columns the old tables lack, keep empty bodies;
// ADD_ING_TO_INV has its five old parameters before step 17, DELETE_PROVODKA
// is missing before step 14.
void MakeOldDatabase(TestDb& t, int step);

// The procedures the upgrade installs last, with the step that does it.
struct InstalledProcedure {
    const char* name;
    int step;
};
extern const InstalledProcedure kUpgradeProcedures[8];

// The schema as the system tables give it: tables with their columns in order
// (type, length, character set, sub-type, segment size, NOT NULL, default,
// computed), primary keys, indexes, generators, triggers with their sources,
// procedures with their parameters. One sorted line per item.
QString DescribeSchema(TestDb& t);
// The stored source of a procedure's body.
QString ProcedureSource(TestDb& t, const QString& name);
