#include "WorkbookFile.h"

#include <QSet>
#include <QString>
#include <QVector>

namespace templates {

namespace {

quint32 le(const QByteArray& b, qint64 at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<quint8>(b[at + i]);
    return v;
}

// ---- the compound file of an Excel 97 workbook ----

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFreeSector = 0xFFFFFFFF;

class CompoundFile {
public:
    explicit CompoundFile(const QByteArray& b) : b_(b) {}

    bool workbook()
    {
        static const QByteArray signature = QByteArray::fromHex("D0CF11E0A1B11AE1");
        if (b_.size() < 512 || !b_.startsWith(signature) || le(b_, 0x1C, 2) != 0xFFFE)
            return false;
        const quint32 shift = le(b_, 0x1E, 2);
        if (shift != 9 && shift != 12)
            return false;
        sector_ = 1 << shift;
        if (!readFat())
            return false;
        const QByteArray directory = chain(le(b_, 0x30, 4), -1);
        if (directory.isEmpty())
            return false;
        const quint32 cutoff = le(b_, 0x38, 4);
        for (qint64 at = 0; at + 128 <= directory.size(); at += 128) {
            const int nameBytes = static_cast<int>(le(directory, at + 0x40, 2));
            if (directory[at + 0x42] != 2 || nameBytes < 2 || nameBytes > 64)
                continue;
            const QString name = QString::fromUtf16(reinterpret_cast<const char16_t*>(directory.constData() + at),
                                                    nameBytes / 2 - 1);
            if (name.compare(QLatin1String("Workbook"), Qt::CaseInsensitive) != 0 &&
                name.compare(QLatin1String("Book"), Qt::CaseInsensitive) != 0)
                continue;
            const quint32 size = le(directory, at + 0x78, 4);
            if (size < 4)
                return false;
            if (size < cutoff)  // kept in the mini stream: its place is checked no further
                return true;
            const QByteArray stream = chain(le(directory, at + 0x74, 4), size);
            if (stream.size() < size)
                return false;
            // The first record is the workbook's BOF (Excel 2 to 97).
            const quint32 bof = le(stream, 0, 2);
            return bof == 0x0809 || bof == 0x0409 || bof == 0x0209 || bof == 0x0009;
        }
        return false;
    }

private:
    bool inFile(quint32 sector) const { return (qint64(sector) + 2) * sector_ <= b_.size(); }
    QByteArray sectorBytes(quint32 sector) const { return b_.mid((qint64(sector) + 1) * sector_, sector_); }

    // The sectors of the allocation table, from the header's list and the list's own sectors.
    bool readFat()
    {
        QVector<quint32> fatSectors;
        const quint32 count = le(b_, 0x2C, 4);
        for (int i = 0; i < 109 && quint32(fatSectors.size()) < count; ++i)
            fatSectors << le(b_, 0x4C + 4 * i, 4);
        quint32 next = le(b_, 0x44, 4);
        for (int guard = 0; quint32(fatSectors.size()) < count && next != kEndOfChain && next != kFreeSector; ++guard) {
            if (!inFile(next) || guard > b_.size() / sector_)
                return false;
            const QByteArray list = sectorBytes(next);
            for (int i = 0; i + 4 < sector_ && quint32(fatSectors.size()) < count; i += 4)
                fatSectors << le(list, i, 4);
            next = le(list, sector_ - 4, 4);
        }
        if (count == 0 || quint32(fatSectors.size()) != count)
            return false;
        for (quint32 s : fatSectors) {
            if (!inFile(s))
                return false;
            const QByteArray part = sectorBytes(s);
            for (int i = 0; i < sector_; i += 4)
                fat_ << le(part, i, 4);
        }
        return true;
    }

    // The bytes of a chain of sectors, at most `limit` of them (-1: the whole
    // chain); empty when the chain leaves the file or loops.
    QByteArray chain(quint32 sector, qint64 limit) const
    {
        QByteArray out;
        QSet<quint32> seen;
        while (sector != kEndOfChain && (limit < 0 || out.size() < limit)) {
            if (sector >= quint32(fat_.size()) || !inFile(sector) || seen.contains(sector))
                return {};
            seen.insert(sector);
            out += sectorBytes(sector);
            sector = fat_[sector];
        }
        return out;
    }

    const QByteArray& b_;
    int sector_ = 512;
    QVector<quint32> fat_;
};

// ---- the zip archive of an .xlsx or .ods ----

bool zipWorkbook(const QByteArray& b)
{
    if (!b.startsWith(QByteArrayLiteral("PK\x03\x04")) || b.size() < 22)
        return false;
    // The end of the central directory: within the last 64 KB and 22 bytes.
    qint64 end = -1;
    for (qint64 at = b.size() - 22; at >= 0 && at >= b.size() - 22 - 0xFFFF; --at)
        if (le(b, at, 4) == 0x06054B50) {
            end = at;
            break;
        }
    if (end < 0)
        return false;
    const quint32 entries = le(b, end + 10, 2);
    const qint64 size = le(b, end + 12, 4);
    const qint64 start = le(b, end + 16, 4);
    if (start + size > end)
        return false;
    bool xlsx = false, ods = false;
    qint64 at = start;
    for (quint32 i = 0; i < entries; ++i) {
        if (at + 46 > end || le(b, at, 4) != 0x02014B50)
            return false;
        const qint64 nameLength = le(b, at + 28, 2);
        const qint64 local = le(b, at + 42, 4);
        if (at + 46 + nameLength > end || local + 30 > start || le(b, local, 4) != 0x04034B50)
            return false;
        const QByteArray name = b.mid(at + 46, nameLength);
        xlsx = xlsx || name == "xl/workbook.xml" || name == "xl/workbook.bin";
        if (name == "mimetype") {
            const qint64 data = local + 30 + le(b, local + 26, 2) + le(b, local + 28, 2);
            ods = le(b, local + 8, 2) == 0 &&
                  b.mid(data, le(b, local + 18, 4)).startsWith("application/vnd.oasis.opendocument.spreadsheet");
        }
        at += 46 + nameLength + le(b, at + 30, 2) + le(b, at + 32, 2);
    }
    return xlsx || ods;
}

} // namespace

bool IsWorkbook(const QByteArray& bytes)
{
    return CompoundFile(bytes).workbook() || zipWorkbook(bytes);
}

} // namespace templates
