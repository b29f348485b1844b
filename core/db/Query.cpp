#include "Query.h"

#include "Codec.h"
#include "Database.h"
#include "FbStatus.h"
#include "QueryBound.h"
#include "Transaction.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <functional>
#include <cstring>

using namespace Firebird;

namespace db {

namespace {

const QDate kFbEpoch(1858, 11, 17);

bool isProcedureText(const QString& sql)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*((CREATE\\s+OR\\s+ALTER|CREATE|ALTER|RECREATE)\\s+(PROCEDURE|TRIGGER|FUNCTION|PACKAGE)"
                       "|EXECUTE\\s+BLOCK)"),
        QRegularExpression::CaseInsensitiveOption);
    return re.match(sql).hasMatch();
}

// Replaces ":NAME" placeholders by '?' outside literals and comments.
QString parseParams(const QString& sql, QStringList& order)
{
    QString out;
    out.reserve(sql.size());
    const int n = sql.size();
    int i = 0;
    auto isIdent = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); };
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += sql.mid(i, j - i + 1);
            i = j + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            int j = sql.indexOf(QLatin1Char('\n'), i);
            if (j < 0)
                j = n;
            out += sql.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            int j = sql.indexOf(QStringLiteral("*/"), i + 2);
            j = j < 0 ? n : j + 2;
            out += sql.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char(':') && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == QLatin1Char('_'))) {
            int j = i + 1;
            while (j < n && isIdent(sql[j]))
                ++j;
            order.append(sql.mid(i + 1, j - i - 1).toUpper());
            out += QLatin1Char('?');
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

ISC_DATE encodeDate(const QDate& d) { return static_cast<ISC_DATE>(kFbEpoch.daysTo(d)); }

ISC_TIME encodeTime(const QTime& t) { return static_cast<ISC_TIME>(t.msecsSinceStartOfDay()) * 10; }

QDate decodeDate(ISC_DATE d) { return kFbEpoch.addDays(d); }

QTime decodeTime(ISC_TIME t) { return QTime::fromMSecsSinceStartOfDay(static_cast<int>(t / 10)); }

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

QString formatFloat(double v)
{
    if (v == 0)
        return QStringLiteral("0");
    QString s = QString::number(v, 'g', 15);
    if (s.contains(QLatin1Char('e')))
        s = QString::number(v, 'f', 15);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

// ---- Field ----

const QVariant& Field::raw() const
{
    if (q_->cur_ < 0 && q_->calcRow_ < 0) {
        static const QVariant null;
        return null;
    }
    const int row = q_->calcRow_ >= 0 ? q_->calcRow_ : q_->cur_;
    return q_->rows_[row][index_];
}

const QString& Field::name() const { return q_->fields_[index_].name; }

const FieldInfo& Field::info() const { return q_->fields_[index_]; }

bool Field::isNull() const
{
    const QVariant& v = raw();
    return !v.isValid() || v.isNull();
}

QVariant Field::value() const
{
    const QVariant& v = raw();
    if (!v.isValid() || v.isNull())
        return QVariant();
    const FieldInfo& fi = info();
    if ((fi.kind == FieldKind::Text || fi.kind == FieldKind::TextBlob) && !fi.binary &&
        v.typeId() == QMetaType::QByteArray)
        return fromCp1251(v.toByteArray());
    return v;
}

QString Field::asString() const
{
    const QVariant v = value();
    if (!v.isValid())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
        return formatFloat(v.toDouble());
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    case QMetaType::QByteArray:
        return fromCp1251(v.toByteArray());
    default:
        return v.toString();
    }
}

QByteArray Field::asBytes() const
{
    const QVariant& v = raw();
    if (!v.isValid() || v.isNull())
        return QByteArray();
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    return toCp1251Lossy(asString());  // read from the database: every character came from Windows-1251
}

qint64 Field::asInt64() const
{
    const QVariant v = value();
    if (!v.isValid())
        return 0;
    switch (v.typeId()) {
    case QMetaType::LongLong:
        return v.toLongLong();
    case QMetaType::Double:
        return static_cast<qint64>(std::llround(v.toDouble()));
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::QString: {
        bool ok = false;
        qint64 r = v.toString().trimmed().toLongLong(&ok);
        if (!ok)
            throw DbError(QStringLiteral("\"%1\" не является целым числом (поле %2)").arg(v.toString(), name()));
        return r;
    }
    default:
        return v.toLongLong();
    }
}

double Field::asDouble() const
{
    const QVariant v = value();
    if (!v.isValid())
        return 0;
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        double r = QString(v.toString()).replace(QLatin1Char(','), QLatin1Char('.')).trimmed().toDouble(&ok);
        if (!ok)
            throw DbError(QStringLiteral("\"%1\" не является числом (поле %2)").arg(v.toString(), name()));
        return r;
    }
    return v.toDouble();
}

QDate Field::asDate() const
{
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return v.toDate();
}

QTime Field::asTime() const
{
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().time();
    return v.toTime();
}

QDateTime Field::asDateTime() const
{
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    if (v.typeId() == QMetaType::QTime)
        return QDateTime(kFbEpoch.addDays(15018), v.toTime());  // 30.12.1899, the zero of date-times
    return v.toDateTime();
}

// ---- Query ----


Query::Query(Database* db, Transaction* tr, QObject* parent) : QObject(parent), db_(db), tr_(tr)
{
    connect(db_, &Database::aboutToClose, this, [this] {
        close();
        releaseStatement();
    });
}

Query::~Query()
{
    releaseStatement();
}

void Query::setTransaction(Transaction* tr)
{
    if (tr == tr_)
        return;
    close();
    tr_ = tr;
}

void Query::setSql(const QString& text)
{
    close();
    releaseStatement();
    lines_ = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    params_.clear();
    paramOrder_.clear();
    serverSql_.clear();
}

void Query::addSql(const QString& line)
{
    close();
    releaseStatement();
    lines_.append(line);
    params_.clear();
    paramOrder_.clear();
    serverSql_.clear();
}

Param& Query::param(const QString& name)
{
    if (serverSql_.isEmpty())
        prepareText();
    const QString key = name.toUpper();
    if (!paramOrder_.contains(key))
        throw DbError(QStringLiteral("Параметр %1 не найден в запросе").arg(name));
    return params_[key];
}

bool Query::hasParam(const QString& name) const
{
    QStringList order;
    QString text = sql();
    if (isProcedureText(text))
        return false;
    parseParams(text, order);
    return order.contains(name.toUpper());
}

QStringList Query::paramNames() const
{
    QStringList order;
    QString text = sql();
    if (!isProcedureText(text))
        parseParams(text, order);
    order.removeDuplicates();
    return order;
}

void Query::prepareText()
{
    const QString text = sql();
    paramOrder_.clear();
    serverSql_ = isProcedureText(text) ? text : parseParams(text, paramOrder_);
    if (serverSql_.isEmpty())
        serverSql_ = QStringLiteral(" ");
}

void Query::releaseStatement()
{
    if (!stmt_)
        return;
    auto* s = static_cast<IStatement*>(stmt_);
    FbStatus st;
    s->free(&st);
    if (st.failed())
        s->release();
    stmt_ = nullptr;
    forgetInputShape();
}

void Query::prepare() { ensurePrepared(); }

QString Query::plan()
{
    ensurePrepared();
    FbStatus st;
    const char* text = static_cast<IStatement*>(stmt_)->getPlan(&st, true);
    st.check();
    return text ? QString::fromUtf8(text) : QString();
}

void Query::unprepare()
{
    close();
    releaseStatement();
}

void Query::ensurePrepared()
{
    if (stmt_)
        return;
    if (!db_ || !db_->connected() || !tr_)
        throw DbError(QStringLiteral("Нет подключения к базе данных"));
    if (lines_.join(QString()).trimmed().isEmpty())
        throw DbError(QStringLiteral("Текст запроса пуст"));
    if (serverSql_.isEmpty())
        prepareText();
    const QByteArray bytes = toCp1251(serverSql_);
    FbStatus st;
    IStatement* s = db_->attachment()->prepare(&st, tr_->handle(), static_cast<unsigned>(bytes.size()),
                                               bytes.constData(), 3, IStatement::PREPARE_PREFETCH_METADATA);
    st.check();
    stmtType_ = s->getType(&st);
    st.check();
    stmt_ = s;
    changedTables_.clear();
    // Comments (a statement may begin with one) are no part of what it writes.
    const QString bare = Database::withoutComments(serverSql_);
    if (stmtType_ == isc_info_sql_stmt_insert || stmtType_ == isc_info_sql_stmt_update ||
        stmtType_ == isc_info_sql_stmt_delete || stmtType_ == isc_info_sql_stmt_exec_procedure) {
        // The table a DML statement names right after its verb (one with
        // RETURNING reports itself as a procedure call), noted on each run.
        static const QRegularExpression target(
            QStringLiteral(R"(^\s*(?:INSERT\s+INTO|UPDATE\s+OR\s+INSERT\s+INTO|UPDATE|DELETE\s+FROM|MERGE\s+INTO)\s+"?([A-Za-z0-9_$]+))"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = target.match(bare);
        if (m.hasMatch())
            changedTables_ << m.captured(1).toUpper();
    }
    if (changedTables_.isEmpty()) {
        // A stored procedure: the tables its body (and what it runs) changes;
        // a block of statements: the tables its own body and what it runs change.
        static const QRegularExpression call(QStringLiteral(R"(^\s*EXECUTE\s+PROCEDURE\s+"?([A-Za-z0-9_$]+))"),
                                             QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression block(QStringLiteral(R"(^\s*EXECUTE\s+BLOCK\b)"),
                                              QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = call.match(bare);
        if (m.hasMatch())
            changedTables_ = db_->procedureTables(m.captured(1), tr_);
        else if (block.match(bare).hasMatch())
            changedTables_ = db_->tablesWrittenBy(bare, tr_);
    }
}

namespace {

Query::UnnotedWrites& unnotedWrites()
{
    static Query::UnnotedWrites handler;
    return handler;
}

bool isSystemTable(const QString& table)
{
    return table.startsWith(QLatin1String("RDB$")) || table.startsWith(QLatin1String("MON$")) ||
           table.startsWith(QLatin1String("SEC$"));
}

} // namespace

void Query::setUnnotedWritesHandler(UnnotedWrites handler) { unnotedWrites() = std::move(handler); }

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
    IMessageMetadata* meta = nullptr;  // the built message, held while its shape fits
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

void Query::forgetInputShape() { inputShape_.reset(); }

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

void Query::fetchInto(void* stmtPtr, std::unique_ptr<Bound>& in)
{
    auto* s = static_cast<IStatement*>(stmtPtr);
    FbStatus st;
    IMessageMetadata* out = s->getOutputMetadata(&st);
    st.check();
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
    rows_.clear();
    keyRowsColumn_ = -1;
    const std::vector<RowView::Column> layout = layoutOf(out);
    QByteArray buffer(static_cast<int>(out->getMessageLength(&st)), 0);
    auto* buf = reinterpret_cast<unsigned char*>(buffer.data());
    if (stmtType_ == isc_info_sql_stmt_select || stmtType_ == isc_info_sql_stmt_select_for_upd) {
        IResultSet* rs = s->openCursor(&st, tr_->handle(), in->meta, in->buffer.isEmpty() ? nullptr : in->buffer.data(),
                                       out, 0);
        if (st.failed()) {
            out->release();
            st.check();
        }
        while (rs->fetchNext(&st, buf) == IStatus::RESULT_OK) {
            QVector<QVariant> row;
            readRow(buf, layout, row);
            rows_.append(std::move(row));
        }
        if (st.failed()) {
            rs->release();
            out->release();
            st.check();
        }
        rs->close(&st);
        if (st.failed())
            rs->release();
    } else {
        s->execute(&st, tr_->handle(), in->meta, in->buffer.isEmpty() ? nullptr : in->buffer.data(), out, buf);
        if (st.failed()) {
            out->release();
            st.check();
        }
        if (n > 0) {
            QVector<QVariant> row;
            readRow(buf, layout, row);
            rows_.append(std::move(row));
        }
    }
    out->release();
    for (int r = 0; r < rows_.size(); ++r)
        computeCalcFields(r);
}

void Query::computeCalcFields(int row)
{
    if (!onCalcFields || calcNames_.isEmpty())
        return;
    calcRow_ = row;
    try {
        onCalcFields(*this);
    } catch (...) {
        calcRow_ = -1;
        throw;
    }
    calcRow_ = -1;
}

bool Query::mergeRows(const QString& keyField, const Query& fresh, const QSet<qint64>& asked, const QStringList& orderFields)
{
    if (!active_ || !fresh.active_)
        return false;
    const int columns = static_cast<int>(fields_.size() - calcNames_.size());
    if (fresh.fields_.size() != columns)
        return false;
    for (int c = 0; c < columns; ++c)
        if (fresh.fields_[c].kind != fields_[c].kind)
            return false;
    const int key = fieldIndex(keyField);
    if (key < 0 || key >= columns)
        return false;
    QVector<int> order;
    for (const QString& f : orderFields) {
        const int c = fieldIndex(f);
        if (c < 0 || c >= columns)
            return false;
        order << c;
    }
    // The rows by key, kept while the rows stay (a list of many thousand
    // rows is merged into again and again).
    if (keyRowsColumn_ != key) {
        keyRows_.clear();
        keyRows_.reserve(rows_.size());
        for (int r = 0; r < rows_.size(); ++r) {
            const QVariant& v = std::as_const(rows_)[r][key];
            if (v.isValid() && !v.isNull())
                keyRows_.insert(v.toLongLong(), r);
        }
        keyRowsColumn_ = key;
    }
    QHash<qint64, int> listed;  // key -> row, for the asked keys only
    for (qint64 k : asked) {
        const auto it = keyRows_.constFind(k);
        if (it != keyRows_.constEnd())
            listed.insert(k, *it);
    }
    // Checked whole before anything changes.
    QVector<QPair<int, int>> replaced;  // list row, fresh row
    QSet<qint64> kept;
    for (int f = 0; f < fresh.rows_.size(); ++f) {
        const QVariant& v = fresh.rows_[f][key];
        const auto it = v.isValid() && !v.isNull() ? listed.constFind(v.toLongLong()) : listed.constEnd();
        if (it == listed.constEnd())
            return false;
        for (int c : order)
            if (fresh.rows_[f][c] != rows_[*it][c])
                return false;
        replaced.append({*it, f});
        kept.insert(it.key());
    }
    QList<int> dropped;
    for (auto it = listed.constBegin(); it != listed.constEnd(); ++it)
        if (!kept.contains(it.key())) {
            if (*it == cur_)
                return false;
            dropped << *it;
        }

    for (const auto& [row, f] : replaced) {
        for (int c = 0; c < columns; ++c)
            rows_[row][c] = fresh.rows_[f][c];
        computeCalcFields(row);
        emit rowRefreshed(row);
    }
    std::sort(dropped.begin(), dropped.end(), std::greater<int>());
    if (!dropped.isEmpty())
        keyRowsColumn_ = -1;
    for (int row : dropped) {
        emit rowAboutToBeRemoved(row);
        rows_.remove(row);
        if (row < cur_)
            --cur_;
        emit rowRemoved(row);
    }
    return true;
}

void Query::open()
{
    if (active_)
        return;
    ensurePrepared();
    auto in = bindParams();
    fetchInto(stmt_, in);
    showRowsRead();
}

void Query::showRowsRead()
{
    active_ = true;
    cur_ = rows_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.isEmpty();
    emit opened();
    emit afterOpen();
    fireAfterScroll();
}

void Query::refresh()
{
    if (!active_) {
        open();
        return;
    }
    QVector<FieldInfo> fields = fields_;
    QHash<QString, int> index = fieldIndex_;
    QVector<QVector<QVariant>> rows = rows_;
    try {
        ensurePrepared();
        auto in = bindParams();
        fetchInto(stmt_, in);
    } catch (...) {
        fields_ = std::move(fields);
        fieldIndex_ = std::move(index);
        rows_ = std::move(rows);
        throw;
    }
    // The rows read stay aside while the list closes on its former ones.
    std::swap(fields, fields_);
    std::swap(index, fieldIndex_);
    std::swap(rows, rows_);
    close();
    if (active_)  // a close handler opened the query again
        return;
    fields_ = std::move(fields);
    fieldIndex_ = std::move(index);
    rows_ = std::move(rows);
    showRowsRead();
}

void Query::close()
{
    if (!active_)
        return;
    emit beforeClose();
    active_ = false;
    rows_.clear();
    keyRowsColumn_ = -1;
    cur_ = -1;
    bof_ = eof_ = true;
    emit closed();
    emit afterClose();
}

void Query::noteChangedTable() { tr_->noteStatement(changedTables_); }

void Query::execSql()
{
    close();
    ensurePrepared();
    auto in = bindParams();
    const bool counting = unnotedWrites() && stmtType_ != isc_info_sql_stmt_ddl;
    const QHash<QString, qint64> before = counting ? db_->rowsWritten(tr_) : QHash<QString, qint64>();
    auto* s = static_cast<IStatement*>(stmt_);
    FbStatus st;
    if (stmtType_ == isc_info_sql_stmt_select || stmtType_ == isc_info_sql_stmt_select_for_upd ||
        stmtType_ == isc_info_sql_stmt_exec_procedure) {
        // Output values (EXECUTE PROCEDURE) stay readable through field().
        fetchInto(stmt_, in);
        active_ = false;
        cur_ = rows_.isEmpty() ? -1 : 0;
        bof_ = true;
        eof_ = rows_.isEmpty();
    } else {
        s->execute(&st, tr_->handle(), in->meta, in->buffer.isEmpty() ? nullptr : in->buffer.data(), nullptr,
                   nullptr);
        st.check();
    }
    noteChangedTable();
    rowsAffected_ = static_cast<int>(s->getAffectedRecords(&st));
    if (st.failed())
        rowsAffected_ = 0;
    if (counting) {
        const QHash<QString, qint64> after = db_->rowsWritten(tr_);
        const QHash<QString, QSet<qint64>> noted = tr_->changes();
        QStringList unnoted;
        for (auto it = after.cbegin(); it != after.cend(); ++it)
            if (it.value() != before.value(it.key()) && !isSystemTable(it.key()) && !noted.contains(it.key()))
                unnoted << it.key();
        if (!unnoted.isEmpty()) {
            unnoted.sort();
            unnotedWrites()(serverSql_, unnoted);
        }
    }
    if (stmtType_ == isc_info_sql_stmt_ddl) {
        // Metadata changed: a cached statement may refer to the old form of a
        // table, and a procedure may write elsewhere now.
        releaseStatement();
        if (db_)
            db_->forgetProcedureTables();
    }
}

// ---- cursor ----

void Query::fireAfterScroll()
{
    emit currentChanged(cur_);
    emit afterScroll();
}

void Query::scrollTo(int row, bool fireBefore)
{
    if (fireBefore)
        emit beforeScroll();
    cur_ = row;
    fireAfterScroll();
}

void Query::setRecNo(int row)
{
    if (!active_ || rows_.isEmpty() || row < 0 || row >= rows_.size() || row == cur_)
        return;
    bof_ = false;
    eof_ = false;
    scrollTo(row);
}

void Query::first()
{
    if (!active_)
        return;
    emit beforeScroll();
    bof_ = true;
    eof_ = rows_.isEmpty();
    cur_ = rows_.isEmpty() ? -1 : 0;
    fireAfterScroll();
}

void Query::last()
{
    if (!active_)
        return;
    emit beforeScroll();
    eof_ = true;
    bof_ = rows_.isEmpty();
    cur_ = static_cast<int>(rows_.size()) - 1;
    fireAfterScroll();
}

void Query::next()
{
    if (!active_)
        return;
    emit beforeScroll();
    if (cur_ + 1 >= rows_.size()) {
        eof_ = true;
        return;
    }
    bof_ = false;
    ++cur_;
    fireAfterScroll();
}

void Query::prior()
{
    if (!active_)
        return;
    emit beforeScroll();
    if (cur_ <= 0) {
        bof_ = true;
        return;
    }
    eof_ = false;
    --cur_;
    fireAfterScroll();
}

bool Query::locate(const QString& fieldName, const QVariant& value, bool caseInsensitive, bool partial)
{
    if (!active_)
        return false;
    const int col = fieldIndex(fieldName);
    if (col < 0)
        throw DbError(QStringLiteral("Поле %1 не найдено").arg(fieldName));
    const bool numeric = value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int ||
                         value.typeId() == QMetaType::Double || value.typeId() == QMetaType::UInt ||
                         value.typeId() == QMetaType::ULongLong;
    const QString text = value.toString();
    for (int r = 0; r < rows_.size(); ++r) {
        const QVariant v = valueAt(r, col);
        if (!v.isValid())
            continue;
        bool hit;
        if (numeric && (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double)) {
            if (value.typeId() == QMetaType::Double || v.typeId() == QMetaType::Double)
                hit = v.toDouble() == value.toDouble();
            else
                hit = v.toLongLong() == value.toLongLong();
        } else {
            const QString s = v.toString();
            const Qt::CaseSensitivity cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
            hit = partial ? s.startsWith(text, cs) : s.compare(text, cs) == 0;
        }
        if (hit) {
            emit beforeScroll();
            bof_ = false;
            eof_ = false;
            cur_ = r;
            fireAfterScroll();
            return true;
        }
    }
    return false;
}

int Query::fieldIndex(const QString& name) const
{
    // Most callers name a field as the list does, in upper case.
    const auto it = fieldIndex_.constFind(name);
    return it != fieldIndex_.constEnd() ? *it : fieldIndex_.value(name.toUpper(), -1);
}

Field Query::field(const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Поле %1 не найдено").arg(name));
    return Field(this, i);
}

QVariant Query::valueAt(int row, int column) const
{
    const QVariant& v = rows_[row][column];
    if (!v.isValid() || v.isNull())
        return QVariant();
    const FieldInfo& fi = fields_[column];
    if ((fi.kind == FieldKind::Text || fi.kind == FieldKind::TextBlob) && !fi.binary &&
        v.typeId() == QMetaType::QByteArray)
        return fromCp1251(v.toByteArray());
    return v;
}

void Query::addCalcField(const QString& name, FieldKind kind)
{
    if (calcNames_.contains(name, Qt::CaseInsensitive))
        return;
    calcNames_.append(name);
    calcKinds_.append(kind);
}

void Query::setCalc(const QString& name, const QVariant& value)
{
    const int col = fieldIndex(name);
    const int row = calcRow_ >= 0 ? calcRow_ : cur_;
    if (col < 0 || !fields_[col].calculated || row < 0)
        throw DbError(QStringLiteral("Вычисляемое поле %1 не найдено").arg(name));
    rows_[row][col] = value;
}

} // namespace db
