#pragma once

// Every test program fails a statement that changed rows of a table its
// transaction did not note: no list would hear of that change.

#include "db/Query.h"

#include <gtest/gtest.h>

inline void FailUnnotedWrites()
{
    db::Query::setUnnotedWritesHandler([](const QString& statement, const QStringList& tables) {
        ADD_FAILURE() << "a statement changed " << tables.join(QStringLiteral(", ")).toStdString()
                      << " without noting it: " << statement.left(400).toStdString();
    });
}
