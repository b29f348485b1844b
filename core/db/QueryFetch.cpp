// Reading a statement's result into the query's rows: the columns' kinds
// and names from the output message, then each row's values.

#include "Query.h"

#include "Database.h"
#include "FbStatus.h"
#include "QueryBound.h"
#include "Transaction.h"

#include <cmath>
#include <cstring>

using namespace Firebird;

namespace db {

namespace {

QByteArray readBlob(IAttachment* att, ITransaction* tra, ISC_QUAD* id)
{
    FbStatus st;
    IBlob* blob = att->openBlob(&st, tra, id, 0, nullptr);
    st.check();
    QByteArray out;
    char buf[32768];
    for (;;) {
        unsigned got = 0;
        int rc = blob->getSegment(&st, sizeof buf, buf, &got);
        if (rc == IStatus::RESULT_OK || rc == IStatus::RESULT_SEGMENT) {
            out.append(buf, static_cast<int>(got));
            continue;
        }
        if (st.failed()) {
            blob->release();
            st.check();
        }
        break;
    }
    blob->close(&st);
    if (st.failed()) {
        blob->release();
        st.check();
    }
    return out;
}

} // namespace

void Query::readRow(const unsigned char* buf, const std::vector<RowView::Column>& layout, QVector<QVariant>& row)
{
    const int n = static_cast<int>(layout.size());
    row.resize(fields_.size());
    for (int i = 0; i < n; ++i) {
        const RowView::Column& c = layout[static_cast<size_t>(i)];
        if (*reinterpret_cast<const short*>(buf + c.nullOffset)) {
            row[i] = QVariant();
            continue;
        }
        const unsigned char* p = buf + c.offset;
        const int scale = c.scale;
        auto scaled = [scale](qint64 x) -> QVariant {
            if (scale == 0)
                return QVariant::fromValue<qint64>(x);
            return QVariant(static_cast<double>(x) * std::pow(10.0, scale));
        };
        switch (c.type) {
        case SQL_TEXT:
            row[i] = QByteArray(reinterpret_cast<const char*>(p), static_cast<int>(c.length));
            break;
        case SQL_VARYING: {
            unsigned short len;
            std::memcpy(&len, p, sizeof len);
            row[i] = QByteArray(reinterpret_cast<const char*>(p + sizeof len), len);
            break;
        }
        case SQL_SHORT: {
            short x;
            std::memcpy(&x, p, sizeof x);
            row[i] = scaled(x);
            break;
        }
        case SQL_LONG: {
            ISC_LONG x;
            std::memcpy(&x, p, sizeof x);
            row[i] = scaled(x);
            break;
        }
        case SQL_INT64: {
            ISC_INT64 x;
            std::memcpy(&x, p, sizeof x);
            row[i] = scaled(x);
            break;
        }
        case SQL_FLOAT: {
            float x;
            std::memcpy(&x, p, sizeof x);
            row[i] = static_cast<double>(x);
            break;
        }
        case SQL_DOUBLE:
        case SQL_D_FLOAT: {
            double x;
            std::memcpy(&x, p, sizeof x);
            row[i] = x;
            break;
        }
        case SQL_TYPE_DATE: {
            ISC_DATE x;
            std::memcpy(&x, p, sizeof x);
            row[i] = decodeDate(x);
            break;
        }
        case SQL_TYPE_TIME: {
            ISC_TIME x;
            std::memcpy(&x, p, sizeof x);
            row[i] = decodeTime(x);
            break;
        }
        case SQL_TIMESTAMP: {
            ISC_TIMESTAMP x;
            std::memcpy(&x, p, sizeof x);
            row[i] = QDateTime(decodeDate(x.timestamp_date), decodeTime(x.timestamp_time));
            break;
        }
        case SQL_BLOB: {
            ISC_QUAD id;
            std::memcpy(&id, p, sizeof id);
            row[i] = readBlob(db_->attachment(), tr_->handle(), &id);
            break;
        }
        case SQL_BOOLEAN:
            row[i] = *p != 0;
            break;
        default:
            row[i] = QVariant();
        }
    }
}

const Query::OutputShape& Query::outputShape(void* stmtPtr)
{
    if (outputShape_ && outputShape_->calculated == calcNames_.size())
        return *outputShape_;
    outputShape_.reset();
    auto* s = static_cast<IStatement*>(stmtPtr);
    FbStatus st;
    auto shape = std::make_unique<OutputShape>();
    shape->meta = s->getOutputMetadata(&st);
    st.check();
    IMessageMetadata* out = shape->meta;
    const unsigned n = out->getCount(&st);
    fields_.clear();
    fieldIndex_.clear();
    for (unsigned i = 0; i < n; ++i) {
        FieldInfo fi;
        fi.name = QString::fromUtf8(out->getAlias(&st, i));
        if (fi.name.isEmpty())
            fi.name = QString::fromUtf8(out->getField(&st, i));
        fi.relation = QString::fromUtf8(out->getRelation(&st, i));
        fi.length = static_cast<int>(out->getLength(&st, i));
        fi.scale = out->getScale(&st, i);
        const unsigned t = out->getType(&st, i) & ~1u;
        const unsigned charset = out->getCharSet(&st, i);
        switch (t) {
        case SQL_TEXT:
        case SQL_VARYING:
            fi.kind = FieldKind::Text;
            fi.binary = charset == 1;  // OCTETS
            break;
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            fi.kind = fi.scale == 0 ? FieldKind::Integer : FieldKind::Float;
            break;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            fi.kind = FieldKind::Float;
            break;
        case SQL_TYPE_DATE:
            fi.kind = FieldKind::Date;
            break;
        case SQL_TYPE_TIME:
            fi.kind = FieldKind::Time;
            break;
        case SQL_TIMESTAMP:
            fi.kind = FieldKind::Timestamp;
            break;
        case SQL_BLOB:
            fi.kind = out->getSubType(&st, i) == 1 ? FieldKind::TextBlob : FieldKind::BinaryBlob;
            fi.binary = fi.kind == FieldKind::BinaryBlob || charset == 1;
            break;
        case SQL_BOOLEAN:
            fi.kind = FieldKind::Boolean;
            break;
        default:
            fi.kind = FieldKind::Null;
        }
        const QString key = fi.name.toUpper();
        if (!fieldIndex_.contains(key))
            fieldIndex_.insert(key, static_cast<int>(fields_.size()));
        fields_.append(fi);
    }
    for (int c = 0; c < calcNames_.size(); ++c) {
        FieldInfo fi;
        fi.name = calcNames_[c];
        fi.kind = calcKinds_[c];
        fi.calculated = true;
        fieldIndex_.insert(fi.name.toUpper(), static_cast<int>(fields_.size()));
        // Its handler names it as it was declared, once a row.
        fieldIndex_.insert(fi.name, static_cast<int>(fields_.size()));
        fields_.append(fi);
    }
    shape->layout = layoutOf(out);
    shape->length = out->getMessageLength(&st);
    st.check();
    shape->calculated = calcNames_.size();
    outputShape_ = std::move(shape);
    return *outputShape_;
}

void Query::fetchInto(void* stmtPtr, std::unique_ptr<Bound>& in)
{
    auto* s = static_cast<IStatement*>(stmtPtr);
    const OutputShape& shape = outputShape(stmtPtr);
    IMessageMetadata* out = shape.meta;
    const std::vector<RowView::Column>& layout = shape.layout;
    FbStatus st;
    rows_.clear();
    keyRowsColumn_ = -1;
    QByteArray buffer(static_cast<int>(shape.length), 0);
    auto* buf = reinterpret_cast<unsigned char*>(buffer.data());
    if (stmtType_ == isc_info_sql_stmt_select || stmtType_ == isc_info_sql_stmt_select_for_upd) {
        IResultSet* rs = s->openCursor(&st, tr_->handle(), in->meta, in->buffer.isEmpty() ? nullptr : in->buffer.data(),
                                       out, 0);
        st.check();
        while (rs->fetchNext(&st, buf) == IStatus::RESULT_OK) {
            QVector<QVariant> row;
            readRow(buf, layout, row);
            rows_.append(std::move(row));
        }
        if (st.failed()) {
            rs->release();
            st.check();
        }
        rs->close(&st);
        if (st.failed())
            rs->release();
    } else {
        s->execute(&st, tr_->handle(), in->meta, in->buffer.isEmpty() ? nullptr : in->buffer.data(), out, buf);
        st.check();
        if (!layout.empty()) {
            QVector<QVariant> row;
            readRow(buf, layout, row);
            rows_.append(std::move(row));
        }
    }
    for (int r = 0; r < rows_.size(); ++r)
        computeCalcFields(r);
}

} // namespace db
