// Binding a query's named parameters into the statement's input message;
// a message built once is kept while the values fit its shape.

#include "Query.h"

#include "Codec.h"
#include "Database.h"
#include "FbStatus.h"
#include "QueryBound.h"
#include "Transaction.h"

#include <algorithm>
#include <cstring>

using namespace Firebird;

namespace db {

namespace {

void writeBlob(IAttachment* att, ITransaction* tra, ISC_QUAD* id, const QByteArray& data)
{
    FbStatus st;
    IBlob* blob = att->createBlob(&st, tra, id, 0, nullptr);
    st.check();
    const int chunk = 32000;
    for (int off = 0; off < data.size(); off += chunk) {
        blob->putSegment(&st, static_cast<unsigned>(std::min(chunk, static_cast<int>(data.size()) - off)),
                         data.constData() + off);
        if (st.failed()) {
            blob->release();
            st.check();
        }
    }
    blob->close(&st);
    if (st.failed()) {
        blob->release();
        st.check();
    }
}

// Text a statement stores must be stored as typed (toCp1251 refuses what it
// cannot hold); a pattern a query only matches against may lose characters.
QByteArray variantBytes(const QVariant& v, bool storing)
{
    switch (v.typeId()) {
    case QMetaType::QByteArray:
        return v.toByteArray();
    case QMetaType::QString:
        return storing ? toCp1251(v.toString()) : toCp1251Lossy(v.toString());
    case QMetaType::Double:
        return QByteArray::number(v.toDouble(), 'g', 17);
    default:
        return toCp1251(v.toString());
    }
}

} // namespace

std::unique_ptr<Query::Bound> Query::bindParams()
{
    const unsigned count = static_cast<unsigned>(paramOrder_.size());
    // Every text on its way into the database is checked here, before the
    // statement runs: a text Windows-1251 cannot hold is refused naming its
    // characters, and nothing is written. A query that only reads may match
    // with such a text (a search box), which finds nothing it could not hold.
    const bool storing = stmtType_ != isc_info_sql_stmt_select && stmtType_ != isc_info_sql_stmt_select_for_upd;
    QVector<QVariant> values(static_cast<qsizetype>(count));
    for (unsigned i = 0; i < count; ++i) {
        values[i] = params_.value(paramOrder_[i]).value();
        if (storing && values[i].typeId() == QMetaType::QString) {
            const QString refusal = unstorableTextRefusal(values[i].toString());
            if (!refusal.isEmpty())
                throw DbError(refusal);
        }
    }
    // A message built for another count of parameters (the server found fewer
    // in the text than were named) is never taken as fitting.
    const bool kept = inputShape_ && inputShape_->places.size() == count;
    // The bytes of each text bound as one (a blob's are written when it is).
    QVector<QByteArray> texts(static_cast<qsizetype>(count));
    for (unsigned i = 0; i < count; ++i) {
        const bool blob = kept && inputShape_->places[i].kind == InputShape::Blob;
        if (!blob && InputShape::of(values[i], 0) == InputShape::Text)
            texts[i] = variantBytes(values[i], storing);
    }

    // The message built last time serves again while every value fits it.
    bool fits = kept;
    for (unsigned i = 0; fits && i < count; ++i) {
        const InputShape::Slot& slot = inputShape_->places[i];
        const InputShape::Kind kind = InputShape::of(values[i], slot.kind == InputShape::Blob ? SQL_BLOB : 0);
        fits = kind == slot.kind || (kind == InputShape::Null && slot.kind != InputShape::Blob);
        if (fits && kind == InputShape::Text)
            fits = static_cast<unsigned>(texts[i].size()) <= slot.length;
    }
    if (!fits)
        buildInputShape(values, texts);

    auto bound = std::make_unique<Bound>();
    IMessageMetadata* meta = inputShape_->meta;
    meta->addRef();
    bound->meta = meta;
    if (inputShape_->places.empty())
        return bound;
    bound->buffer.fill(0, static_cast<int>(inputShape_->length));
    unsigned char* buf = reinterpret_cast<unsigned char*>(bound->buffer.data());
    for (unsigned i = 0; i < count; ++i) {
        const InputShape::Slot& slot = inputShape_->places[i];
        const QVariant& v = values[i];
        unsigned char* p = buf + slot.offset;
        auto* nullFlag = reinterpret_cast<short*>(buf + slot.nullOffset);
        if (!v.isValid() || v.isNull()) {
            *nullFlag = -1;
            continue;
        }
        *nullFlag = 0;
        switch (slot.type) {
        case SQL_INT64: {
            const qint64 x = v.toLongLong();
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_DOUBLE: {
            const double x = v.toDouble();
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_TYPE_DATE: {
            const ISC_DATE x = encodeDate(v.toDate());
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_TYPE_TIME: {
            const ISC_TIME x = encodeTime(v.toTime());
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_TIMESTAMP: {
            const QDateTime dt = v.toDateTime();
            ISC_TIMESTAMP x{encodeDate(dt.date()), encodeTime(dt.time())};
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_VARYING: {
            const QByteArray& t = texts[i];
            const unsigned short len = static_cast<unsigned short>(t.size());
            std::memcpy(p, &len, sizeof len);
            std::memcpy(p + sizeof len, t.constData(), t.size());
            break;
        }
        case SQL_BLOB: {
            ISC_QUAD id;
            writeBlob(db_->attachment(), tr_->handle(), &id, variantBytes(v, storing));
            std::memcpy(p, &id, sizeof id);
            break;
        }
        default:
            throw DbError(QStringLiteral("Неподдерживаемый тип параметра %1").arg(paramOrder_[i]));
        }
    }
    return bound;
}

void Query::buildInputShape(const QVector<QVariant>& values, const QVector<QByteArray>& texts)
{
    inputShape_.reset();
    auto* s = static_cast<IStatement*>(stmt_);
    FbStatus st;
    IMessageMetadata* in = s->getInputMetadata(&st);
    st.check();
    auto shape = std::make_unique<InputShape>();
    const unsigned count = in->getCount(&st);
    if (count == 0) {
        shape->meta = in;
        inputShape_ = std::move(shape);
        return;
    }
    if (static_cast<int>(count) != paramOrder_.size()) {
        in->release();
        throw DbError(QStringLiteral("Число параметров запроса не совпадает с его текстом"));
    }
    IMetadataBuilder* b = in->getBuilder(&st);
    st.check();
    shape->places.resize(count);
    // setType keeps the length the server described for the column, so every
    // changed type states its own length (an 8-byte value in a SMALLINT's
    // 2-byte slot would overwrite the parameters behind it).
    for (unsigned i = 0; i < count; ++i) {
        const unsigned serverType = in->getType(&st, i) & ~1u;
        const InputShape::Kind kind = InputShape::of(values[i], serverType);
        shape->places[i].kind = kind;
        switch (kind) {
        case InputShape::Null:
        case InputShape::Blob:
            continue;
        case InputShape::Int64:
            b->setType(&st, i, SQL_INT64 + 1);
            b->setLength(&st, i, sizeof(ISC_INT64));
            break;
        case InputShape::Double:
            b->setType(&st, i, SQL_DOUBLE + 1);
            b->setLength(&st, i, sizeof(double));
            break;
        case InputShape::Date:
            b->setType(&st, i, SQL_TYPE_DATE + 1);
            b->setLength(&st, i, sizeof(ISC_DATE));
            break;
        case InputShape::Time:
            b->setType(&st, i, SQL_TYPE_TIME + 1);
            b->setLength(&st, i, sizeof(ISC_TIME));
            break;
        case InputShape::Timestamp:
            b->setType(&st, i, SQL_TIMESTAMP + 1);
            b->setLength(&st, i, sizeof(ISC_TIMESTAMP));
            break;
        case InputShape::Text: {
            const bool serverText = serverType == SQL_TEXT || serverType == SQL_VARYING;
            const unsigned charset = serverText ? in->getCharSet(&st, i) : 0;
            shape->places[i].length = static_cast<unsigned>(std::max<qsizetype>(texts[i].size(), 1));
            b->setType(&st, i, SQL_VARYING + 1);
            b->setCharSet(&st, i, charset);
            b->setLength(&st, i, shape->places[i].length);
            break;
        }
        }
        b->setScale(&st, i, 0);
        b->setSubType(&st, i, 0);
        st.check();
    }
    for (unsigned i = 0; i < count; ++i) {
        // Every parameter may be NULL.
        const unsigned t = in->getType(&st, i);
        const InputShape::Kind kind = shape->places[i].kind;
        if (!(t & 1) && (kind == InputShape::Null || kind == InputShape::Blob))
            b->setType(&st, i, t | 1);
    }
    IMessageMetadata* meta = b->getMetadata(&st);
    b->release();
    in->release();
    st.check();
    shape->meta = meta;
    shape->length = meta->getMessageLength(&st);
    for (unsigned i = 0; i < count; ++i) {
        InputShape::Slot& slot = shape->places[i];
        slot.offset = meta->getOffset(&st, i);
        slot.nullOffset = meta->getNullOffset(&st, i);
        slot.type = meta->getType(&st, i) & ~1u;
    }
    st.check();
    inputShape_ = std::move(shape);
}

} // namespace db
