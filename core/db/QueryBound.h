#pragma once

// The bound input message of a query's statement, shared by the query's
// buffered and streaming reads.

#include "Query.h"

#include <firebird/Interface.h>

#include <QByteArray>

namespace db {

struct Query::Bound {
    Firebird::IMessageMetadata* meta = nullptr;
    QByteArray buffer;
    ~Bound()
    {
        if (meta)
            meta->release();
    }
};

} // namespace db
