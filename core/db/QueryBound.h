#pragma once

// What the units of a query share: the bound input message and the shape it
// was built for, the output message's layout, and the server's date codes.

#include "FbStatus.h"
#include "Query.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QDate>
#include <QTime>

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

// The shape a parameter's value gives the input message: its kind and, for a
// text, its length. A statement keeps the message it built while every value
// fits it: the same kinds, texts no longer than before, or nulls (every
// parameter of the message may be NULL).
struct Query::InputShape {
    enum Kind : unsigned char { Null, Int64, Double, Date, Time, Timestamp, Text, Blob };
    struct Slot {
        Kind kind = Null;
        unsigned length = 0;  // a text's declared bytes
        unsigned offset = 0, nullOffset = 0, type = 0;  // where the message holds it
    };
    Firebird::IMessageMetadata* meta = nullptr;  // the built message, held while its shape fits
    unsigned length = 0;               // of the whole message
    std::vector<Slot> places;

    static Kind of(const QVariant& v, unsigned serverType)
    {
        if (serverType == SQL_BLOB)
            return Blob;
        if (!v.isValid() || v.isNull())
            return Null;
        switch (v.typeId()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::Bool:
            return Int64;
        case QMetaType::Double:
            return Double;
        case QMetaType::QDate:
            return Date;
        case QMetaType::QTime:
            return Time;
        case QMetaType::QDateTime:
            return Timestamp;
        default:
            return Text;
        }
    }
    ~InputShape()
    {
        if (meta)
            meta->release();
    }
};


// The statement's output message as the query reads it, described once while
// the statement stays prepared: where each column lies, and the query's
// fields built from it (with the calculated fields declared then).
struct Query::OutputShape {
    Firebird::IMessageMetadata* meta = nullptr;
    std::vector<RowView::Column> layout;
    unsigned length = 0;     // of the whole message
    qsizetype calculated = 0;  // calculated fields the query's fields were built with
    ~OutputShape()
    {
        if (meta)
            meta->release();
    }
};

// Day 0 of the server's dates.
inline const QDate kFbEpoch(1858, 11, 17);

inline ISC_DATE encodeDate(const QDate& d) { return static_cast<ISC_DATE>(kFbEpoch.daysTo(d)); }

inline ISC_TIME encodeTime(const QTime& t) { return static_cast<ISC_TIME>(t.msecsSinceStartOfDay()) * 10; }

inline QDate decodeDate(ISC_DATE d) { return kFbEpoch.addDays(d); }

inline QTime decodeTime(ISC_TIME t) { return QTime::fromMSecsSinceStartOfDay(static_cast<int>(t / 10)); }

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
