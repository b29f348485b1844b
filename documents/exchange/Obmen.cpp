#include "Obmen.h"

#include "db/Query.h"
#include "engine/Clock.h"
#include "engine/EngineDb.h"
#include "engine/FileCause.h"
#include "engine/Kopecks.h"
#include "engine/Settled.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>
#include <stdexcept>

namespace exchange::obmen {

namespace {

constexpr int kHeaderLength = 257;
constexpr int kRecordLength = 160;
constexpr char kFileEnd = 0x1A;

std::runtime_error fileError(const QString& what, const QString& path, const QString& cause)
{
    return std::runtime_error((what + QStringLiteral(" ") + path + QStringLiteral(": ") + cause).toStdString());
}

// Writes `bytes` to a temporary file beside `path` and renames it over the
// file only when every byte is on disk; a failure leaves the earlier file
// (or none) and throws with the cause.
void replaceFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    // Unbuffered: a short write is seen at once and retried, so the error of
    // the write that fails (no space left) is the one reported.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw fileError(QStringLiteral("Не удаётся создать файл"), path, engine::WriteFailureCause(path, f.errorString()));
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = f.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            throw fileError(QStringLiteral("Не удаётся записать файл"), path, engine::WriteFailureCause(path, f.errorString()));
        done += n;
    }
    if (!f.commit())
        throw fileError(QStringLiteral("Не удаётся записать файл"), path, engine::WriteFailureCause(path, f.errorString()));
}

// A quantity or a price on its decimal to the field's places: the half of
// the last place rounds as the papers round it, not by the binary residue.
double onDecimal(double v)
{
    v = engine::Settled(v);
    if (!std::isfinite(v) || std::fabs(v) >= 1e11)
        return v;  // too wide for the field whatever its last places
    return static_cast<double>(engine::Units(v, kPlaces)) / 1e7;
}

void putLe32(QByteArray& b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace

const QVector<dbf::FieldDef>& Fields()
{
    static const QVector<dbf::FieldDef> f = {
        {"TYPE", 'C', 1, 0},   {"KOD", 'C', 11, 0},  {"KOD1S", 'C', 50, 0}, {"KOLVO", 'F', 20, kPlaces},
        {"CENA", 'F', 19, kPlaces},  {"DATE", 'D', 8, 0},  {"DOC", 'C', 50, 0},
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
    replaceFile(path, EmptyImage());
}

// ---- table ----

Table::Table(const QString& path) : path_(path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw fileError(QStringLiteral("Не удаётся открыть файл"), path, engine::ReadFailureCause(path));
    image_ = f.readAll();
    auto le = [this](int at, int bytes) {
        quint32 v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = (v << 8) | static_cast<quint8>(image_[at + i]);
        return v;
    };
    if (image_.size() < kHeaderLength || image_[0] != 0x03 || le(8, 2) != kHeaderLength || le(10, 2) != kRecordLength)
        throw std::runtime_error(
            (QStringLiteral("Файл ") + path + QStringLiteral(" не является таблицей обмена")).toStdString());
    count_ = static_cast<int>(le(4, 4));
    const qint64 records = kHeaderLength + qint64(count_) * kRecordLength;
    if (count_ < 0 || image_.size() < records)
        throw std::runtime_error((QStringLiteral("Файл ") + path + QStringLiteral(" короче своих записей")).toStdString());
    image_.truncate(records);  // the end marker and anything after it
}

void Table::append(const Record& r, const QDate& today)
{
    if (!open_)
        throw std::runtime_error("exchange table is closed");
    const QVector<dbf::Value> values = {
        dbf::Value::of(r.incoming ? QStringLiteral("+") : QStringLiteral("-")),
        dbf::Value::of(r.kod),
        dbf::Value::of(r.kod1s),
        dbf::Value::of(onDecimal(r.kolvo)),
        dbf::Value::of(onDecimal(r.cena)),
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
    image_ += *rec;
    ++count_;
    image_[1] = static_cast<char>(today.year() - 1900);
    image_[2] = static_cast<char>(today.month());
    image_[3] = static_cast<char>(today.day());
    putLe32(image_, 4, static_cast<quint32>(count_));
}

void Table::commit()
{
    if (!open_)
        return;
    open_ = false;
    replaceFile(path_, image_ + kFileEnd);
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

void Export::close() { table_.commit(); }

} // namespace exchange::obmen
