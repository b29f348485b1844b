#pragma once

// The bound input message of a query's statement, shared by the query's
// buffered and streaming reads.

#include "FbStatus.h"
#include "Query.h"

#include <firebird/Interface.h>

#include <QByteArray>

#include <vector>

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

// Where each column of the output message lies, read once for a whole fetch.
inline std::vector<RowView::Column> layoutOf(Firebird::IMessageMetadata* meta)
{
    FbStatus st;
    const unsigned n = meta->getCount(&st);
    std::vector<RowView::Column> out(n);
    for (unsigned i = 0; i < n; ++i) {
        RowView::Column& c = out[i];
        c.offset = meta->getOffset(&st, i);
        c.nullOffset = meta->getNullOffset(&st, i);
        c.type = meta->getType(&st, i) & ~1u;
        c.length = meta->getLength(&st, i);
        c.scale = meta->getScale(&st, i);
    }
    st.check();
    return out;
}

} // namespace db
