#include "Obmen.h"

#include "db/Query.h"
#include "engine/Clock.h"
#include "engine/EngineDb.h"

#include <stdexcept>

namespace exchange::obmen {

namespace {

constexpr int kHeaderLength = 257;
constexpr int kRecordLength = 160;
constexpr char kFileEnd = 0x1A;

std::runtime_error fileError(const QFile& f, const QString& what)
{
    return std::runtime_error((what + QStringLiteral(" ") + f.fileName() + QStringLiteral(": ") + f.errorString())
                                  .toStdString());
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
}

} // namespace

const QVector<dbf::FieldDef>& Fields()
{
    static const QVector<dbf::FieldDef> f = {
        {"TYPE", 'C', 1, 0},   {"KOD", 'C', 11, 0},  {"KOD1S", 'C', 50, 0}, {"KOLVO", 'F', 20, 7},
        {"CENA", 'F', 19, 7},  {"DATE", 'D', 8, 0},  {"DOC", 'C', 50, 0},
    };
    return f;
}

QByteArray EmptyImage()
{
    QByteArray b = dbf::EmptyImage(Fields());
    b[1] = 109;  // 2009
    b[2] = 2;
    b[3] = 4;
    return b;
}

void CreateTable(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw fileError(f, QStringLiteral("Не удаётся создать файл"));
    const QByteArray image = EmptyImage();
    if (f.write(image) != image.size() || !f.flush())
        throw fileError(f, QStringLiteral("Не удаётся записать файл"));
    f.close();
}

// ---- table ----

Table::Table(const QString& path) : file_(path)
{
    if (!file_.open(QIODevice::ReadWrite))
        throw fileError(file_, QStringLiteral("Не удаётся открыть файл"));
    const QByteArray head = file_.read(32);
    auto le = [&head](int at, int bytes) {
        quint32 v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = (v << 8) | static_cast<quint8>(head[at + i]);
        return v;
    };
    if (head.size() < 32 || head[0] != 0x03 || le(8, 2) != kHeaderLength || le(10, 2) != kRecordLength) {
        file_.close();
        throw std::runtime_error(
            (QStringLiteral("Файл ") + path + QStringLiteral(" не является таблицей обмена")).toStdString());
    }
    count_ = static_cast<int>(le(4, 4));
    if (file_.size() < kHeaderLength + qint64(count_) * kRecordLength) {
        file_.close();
        throw std::runtime_error((QStringLiteral("Файл ") + path + QStringLiteral(" короче своих записей")).toStdString());
    }
}

Table::~Table() { close(); }

void Table::close()
{
    if (file_.isOpen())
        file_.close();
}

void Table::append(const Record& r, const QDate& today)
{
    if (!file_.isOpen())
        throw std::runtime_error("exchange table is closed");
    const QVector<dbf::Value> values = {
        dbf::Value::of(r.incoming ? QStringLiteral("+") : QStringLiteral("-")),
        dbf::Value::of(r.kod),
        dbf::Value::of(r.kod1s),
        dbf::Value::of(r.kolvo),
        dbf::Value::of(r.cena),
        r.date.isValid() ? dbf::Value::of(r.date.toString(QStringLiteral("yyyyMMdd"))) : dbf::Value::blank(),
        dbf::Value::of(r.doc),
    };
    const std::optional<QByteArray> rec = dbf::EncodeRecord(Fields(), values);
    if (!rec) {
        throw std::runtime_error(
            (QStringLiteral("Количество %1 или цена %2 не помещается в таблицу обмена (документ %3)")
                 .arg(r.kolvo, 0, 'f', 3)
                 .arg(r.cena, 0, 'f', 2)
                 .arg(r.doc))
                .toStdString());
    }
    // The record goes over the old end marker, then the header follows it:
    // a failure between the two leaves the old count, which still describes
    // a valid table (the extra bytes lie beyond its records).
    const qint64 at = kHeaderLength + qint64(count_) * kRecordLength;
    QByteArray tail = *rec;
    tail += kFileEnd;
    if (!file_.seek(at) || file_.write(tail) != tail.size())
        throw fileError(file_, QStringLiteral("Не удаётся записать файл"));
    QByteArray header;
    header += static_cast<char>(today.year() - 1900);
    header += static_cast<char>(today.month());
    header += static_cast<char>(today.day());
    header += le32(static_cast<quint32>(count_ + 1));
    if (!file_.seek(1) || file_.write(header) != header.size() || !file_.flush())
        throw fileError(file_, QStringLiteral("Не удаётся записать файл"));
    ++count_;
}

// ---- the rule per printed line ----

QString MissingCodesHeading()
{
    return QStringLiteral("У следующих продуктов нет кодов для передачу в бухгалтерскую программу :");
}

Export::Export(const Context& ctx, const QString& path)
    : table_(path),
      codes_(engine::Reader(ctx, QStringLiteral("SELECT KOD_KASSA, KOD_1S FROM ING_SKLAD WHERE KOD_ING = :KI AND KOD_OTDEL = :KO")))
{
}

Export::~Export() = default;

void Export::add(const Line& line)
{
    db::Query* q = codes_.get();
    q->param(QStringLiteral("KI")).setInt64(line.product);
    q->param(QStringLiteral("KO")).setInt64(line.department);
    q->open();
    Record r;
    if (!q->isEmpty()) {
        r.kod = q->field(QStringLiteral("KOD_KASSA")).isNull() ? QString()
                                                                : QString::number(q->field(QStringLiteral("KOD_KASSA")).asInt64());
        r.kod1s = q->field(QStringLiteral("KOD_1S")).asString();
    }
    q->close();
    r.incoming = line.typeMoves == 1;
    r.kolvo = line.kolvo;
    r.cena = line.cena;
    r.date = line.docDate;
    r.doc = line.docName;
    table_.append(r, Clock::today());
    if (r.kod1s.isEmpty()) {
        if (warning_.isEmpty())
            warning_ << MissingCodesHeading() << QString();
        warning_ << line.productName;
    }
}

void Export::close() { table_.close(); }

} // namespace exchange::obmen
