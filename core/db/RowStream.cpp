// The streaming read of a query: each row typed straight from the server's
// output message, with the message's layout read once for the whole read.

#include "Query.h"

#include "Codec.h"
#include "FbStatus.h"
#include "QueryBound.h"

#include <cmath>
#include <cstring>
#include <vector>

using namespace Firebird;

namespace db {

namespace {

constexpr double kPow10[] = {1, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8, 1e-9, 1e-10,
                             1e-11, 1e-12, 1e-13, 1e-14, 1e-15, 1e-16, 1e-17, 1e-18};

double Scaled(qint64 x, int scale)
{
    if (scale == 0)
        return static_cast<double>(x);
    if (scale < 0 && -scale < static_cast<int>(std::size(kPow10)))
        return static_cast<double>(x) * kPow10[-scale];
    return static_cast<double>(x) * std::pow(10.0, scale);
}

template <class T>
T Read(const unsigned char* p)
{
    T x;
    std::memcpy(&x, p, sizeof x);
    return x;
}

} // namespace

const RowView::Column& RowView::at(int column) const
{
    if (column < 0 || column >= count_)
        throw DbError(QStringLiteral("Нет поля с номером %1").arg(column));
    return columns_[column];
}

bool RowView::isNull(int column) const { return Read<short>(buf_ + at(column).nullOffset) != 0; }

double RowView::asDouble(int column) const
{
    const Column& c = at(column);
    if (Read<short>(buf_ + c.nullOffset))
        return 0;
    const unsigned char* p = buf_ + c.offset;
    switch (c.type) {
    case SQL_SHORT:
        return Scaled(Read<short>(p), c.scale);
    case SQL_LONG:
        return Scaled(Read<ISC_LONG>(p), c.scale);
    case SQL_INT64:
        return Scaled(Read<ISC_INT64>(p), c.scale);
    case SQL_FLOAT:
        return Read<float>(p);
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return Read<double>(p);
    case SQL_BOOLEAN:
        return *p ? 1 : 0;
    default:
        throw DbError(QStringLiteral("Поле %1 не числовое").arg(column));
    }
}

qint64 RowView::asInt64(int column) const
{
    const Column& c = at(column);
    if (Read<short>(buf_ + c.nullOffset))
        return 0;
    const unsigned char* p = buf_ + c.offset;
    if (c.scale == 0) {
        switch (c.type) {
        case SQL_SHORT:
            return Read<short>(p);
        case SQL_LONG:
            return Read<ISC_LONG>(p);
        case SQL_INT64:
            return Read<ISC_INT64>(p);
        default:
            break;
        }
    }
    return static_cast<qint64>(std::llround(asDouble(column)));
}

QString RowView::asString(int column) const
{
    const Column& c = at(column);
    if (Read<short>(buf_ + c.nullOffset))
        return QString();
    const unsigned char* p = buf_ + c.offset;
    switch (c.type) {
    case SQL_TEXT:
        return fromCp1251(QByteArray::fromRawData(reinterpret_cast<const char*>(p), static_cast<int>(c.length)));
    case SQL_VARYING: {
        const auto len = Read<unsigned short>(p);
        return fromCp1251(QByteArray::fromRawData(reinterpret_cast<const char*>(p + sizeof len), len));
    }
    default:
        throw DbError(QStringLiteral("Поле %1 не текстовое").arg(column));
    }
}

void Query::stream(const std::function<void(const RowView&)>& each)
{
    close();
    ensurePrepared();
    if (stmtType_ != isc_info_sql_stmt_select && stmtType_ != isc_info_sql_stmt_select_for_upd)
        throw DbError(QStringLiteral("Построчно читается только SELECT"));
    auto in = bindParams();
    auto* s = static_cast<IStatement*>(stmt_);
    FbStatus st;
    IMessageMetadata* out = s->getOutputMetadata(&st);
    st.check();
    const std::vector<RowView::Column> columns = layoutOf(out);
    std::vector<unsigned char> buffer(out->getMessageLength(&st));
    IResultSet* rs = s->openCursor(&st, tr_->handle(), in->meta, in->buffer.isEmpty() ? nullptr : in->buffer.data(),
                                   out, 0);
    if (st.failed()) {
        out->release();
        st.check();
    }
    RowView row;
    row.buf_ = buffer.data();
    row.columns_ = columns.data();
    row.count_ = static_cast<int>(columns.size());
    try {
        while (rs->fetchNext(&st, buffer.data()) == IStatus::RESULT_OK)
            each(row);
    } catch (...) {
        FbStatus closing;
        rs->close(&closing);
        if (closing.failed())
            rs->release();
        out->release();
        throw;
    }
    if (st.failed()) {
        rs->release();
        out->release();
        st.check();
    }
    rs->close(&st);
    if (st.failed())
        rs->release();
    out->release();
}

} // namespace db
