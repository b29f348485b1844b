#include "Dbf.h"

#include "db/Codec.h"

#include <QRegularExpression>

#include <cmath>

namespace exchange::dbf {

namespace {

constexpr char kHeaderEnd = 0x0D;
constexpr char kFileEnd = 0x1A;
constexpr int kHeaderSize = 32;
constexpr int kDescriptorSize = 32;

void putLe16(QByteArray& b, int at, int v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void putLe32(QByteArray& b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

quint32 le(const QByteArray& b, int at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<quint8>(b[at + i]);
    return v;
}

int recordLength(const QVector<FieldDef>& fields)
{
    int n = 1;  // deletion flag
    for (const FieldDef& f : fields)
        n += f.length;
    return n;
}

} // namespace

QByteArray EmptyImage(const QVector<FieldDef>& fields)
{
    const int headerLength = kHeaderSize + kDescriptorSize * static_cast<int>(fields.size()) + 1;
    QByteArray b(headerLength + 1, '\0');
    b[0] = 0x03;
    b[1] = 106;
    b[2] = 9;
    b[3] = 7;
    putLe16(b, 8, headerLength);
    putLe16(b, 10, recordLength(fields));
    b[29] = 0x26;
    int at = kHeaderSize;
    for (const FieldDef& f : fields) {
        for (int i = 0; i < f.name.size() && i < 10; ++i)
            b[at + i] = f.name[i];
        b[at + 11] = f.type;
        b[at + 16] = static_cast<char>(f.length);
        b[at + 17] = static_cast<char>(f.decimals);
        at += kDescriptorSize;
    }
    b[at] = kHeaderEnd;
    b[at + 1] = kFileEnd;
    return b;
}

const QVector<FieldDef>& ProductsFields()
{
    static const QVector<FieldDef> f = {
        {"CODE", 'C', 13, 0},   {"NAME", 'C', 60, 0},    {"PRICE", 'N', 19, 4},
        {"SHORTNAME", 'C', 12, 0}, {"ED", 'C', 5, 0},     {"SECTION", 'N', 3, 0},
        {"GROUP", 'C', 10, 0},  {"KOL", 'N', 19, 4},     {"CONTROL", 'C', 1, 0},
    };
    return f;
}

const QVector<FieldDef>& NamesFields()
{
    static const QVector<FieldDef> f = {{"NUM", 'C', 10, 0}, {"NAME", 'C', 60, 0}, {"TYPE", 'N', 1, 0}};
    return f;
}

// ---- writer ----

Writer::Writer(QVector<FieldDef> fields) : fields_(std::move(fields)) {}

std::optional<QByteArray> EncodeRecord(const QVector<FieldDef>& fields, const QVector<Value>& record)
{
    QByteArray rec(1, ' ');
    for (int i = 0; i < fields.size(); ++i) {
        const FieldDef& f = fields[i];
        const Value v = i < record.size() ? record[i] : Value::blank();
        QByteArray cell;
        if (v.kind == Value::Kind::Text) {
            cell = db::toCp866(v.text).left(f.length).leftJustified(f.length, ' ');
        } else if (v.kind == Value::Kind::Number) {
            if (!std::isfinite(v.number))
                return std::nullopt;
            cell = QByteArray::number(v.number, 'f', f.decimals);
            if (cell.size() > f.length)
                return std::nullopt;
            cell = cell.rightJustified(f.length, ' ');
        } else {
            cell = QByteArray(f.length, ' ');
        }
        rec += cell;
    }
    return rec;
}

bool Writer::append(const QVector<Value>& record)
{
    const std::optional<QByteArray> rec = EncodeRecord(fields_, record);
    if (!rec)
        return false;
    body_ += *rec;
    ++records_;
    return true;
}

QByteArray Writer::image(const QDate& today) const
{
    QByteArray b = EmptyImage(fields_);
    b.chop(1);  // the end-of-file byte goes after the records
    putLe32(b, 4, static_cast<quint32>(records_));
    if (records_ > 0 && today.isValid()) {
        b[1] = static_cast<char>(today.year() - 1900);
        b[2] = static_cast<char>(today.month());
        b[3] = static_cast<char>(today.day());
    }
    return b + body_ + kFileEnd;
}

// ---- reader ----

int Table::fieldIndex(const QByteArray& name) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::optional<Table> Read(const QByteArray& bytes, QString* reason)
{
    auto fail = [reason](const char* why) -> std::optional<Table> {
        if (reason)
            *reason = QString::fromLatin1(why);
        return std::nullopt;
    };
    if (bytes.size() < kHeaderSize + 1)
        return fail("shorter than a header");
    const qint64 count = le(bytes, 4, 4);
    const int headerLength = static_cast<int>(le(bytes, 8, 2));
    const int recLength = static_cast<int>(le(bytes, 10, 2));
    if (headerLength < kHeaderSize + 1 || headerLength > bytes.size())
        return fail("header length outside the file");

    Table t;
    int at = kHeaderSize;
    while (at < headerLength && bytes[at] != kHeaderEnd) {
        if (at + kDescriptorSize > headerLength)
            return fail("field descriptors run past the header length");
        FieldDef f;
        const QByteArray name = bytes.mid(at, 11);
        f.name = name.left(name.indexOf('\0') < 0 ? 11 : name.indexOf('\0')).trimmed();
        f.type = bytes[at + 11];
        f.length = static_cast<quint8>(bytes[at + 16]);
        f.decimals = static_cast<quint8>(bytes[at + 17]);
        if (f.name.isEmpty() || f.length == 0)
            return fail("empty field descriptor");
        t.fields.append(f);
        at += kDescriptorSize;
    }
    if (at >= headerLength || t.fields.isEmpty())
        return fail("no descriptor terminator inside the header");
    // dBase III ends the header with its terminator; some writers keep a
    // 263-byte back link after it (Visual FoxPro), nothing else is accepted.
    const int afterTerminator = headerLength - (at + 1);
    if (afterTerminator != 0 && afterTerminator != 263)
        return fail("header length does not end at the descriptors");
    if (recordLength(t.fields) != recLength)
        return fail("record length is not the sum of the fields");
    if (headerLength + count * recLength > bytes.size())
        return fail("file shorter than its records");

    for (qint64 r = 0; r < count; ++r) {
        const qsizetype base = headerLength + r * recLength;
        const char flag = bytes[base];
        if (flag != ' ' && flag != '*')
            return fail("a record without a deletion flag");
        if (flag == '*')
            continue;
        QVector<QByteArray> rec;
        qsizetype p = base + 1;
        for (const FieldDef& f : t.fields) {
            rec.append(bytes.mid(p, f.length));
            p += f.length;
        }
        t.records.append(rec);
        t.numbers.append(static_cast<int>(r + 1));
    }
    return t;
}

QString TextOf(const QByteArray& raw)
{
    QByteArray b = raw;
    while (!b.isEmpty() && (b.endsWith(' ') || b.endsWith('\0')))
        b.chop(1);
    return db::fromCp866(b);
}

std::optional<double> NumberOf(const QByteArray& raw, bool* ok)
{
    *ok = true;
    const QByteArray t = raw.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    if (!number.match(QString::fromLatin1(t)).hasMatch()) {
        *ok = false;
        return std::nullopt;
    }
    return t.toDouble(ok);
}

QDate DateOf(const QByteArray& raw)
{
    const QByteArray t = raw.trimmed();
    if (t.size() != 8)
        return {};
    for (char c : t)
        if (c < '0' || c > '9')
            return {};
    return QDate(t.left(4).toInt(), t.mid(4, 2).toInt(), t.mid(6, 2).toInt());
}

} // namespace exchange::dbf
