// The accounting exchange table obmen.dbf byte for byte: the new table, the
// records the per-line rule appends, and runs that fail half-way (a number
// too wide, a full disk), which leave the earlier table in place.

#include "exchange/Obmen.h"

#include "support/EngineEnv.h"
#include "engine/Clock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/mount.h>

#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "cannot read " << path.toStdString();
    return f.readAll();
}

// The new table written out by hand from the format, not from the code.
QByteArray expectedEmptyTable()
{
    QByteArray b(258, '\0');
    b[0] = 0x03;
    b[1] = 0x6D;
    b[2] = 0x02;
    b[3] = 0x04;
    b[8] = 0x01;  // 257
    b[9] = 0x01;
    b[10] = static_cast<char>(160);
    b[29] = 0x26;
    struct F { const char* name; char type; int len; int dec; };
    const F fields[] = {{"TYPE", 'C', 1, 0},  {"KOD", 'C', 11, 0}, {"KOD1S", 'C', 50, 0}, {"KOLVO", 'F', 20, 7},
                        {"CENA", 'F', 19, 7}, {"DATE", 'D', 8, 0}, {"DOC", 'C', 50, 0}};
    int at = 32;
    for (const F& f : fields) {
        for (int i = 0; f.name[i]; ++i)
            b[at + i] = f.name[i];
        b[at + 11] = f.type;
        b[at + 16] = static_cast<char>(f.len);
        b[at + 17] = static_cast<char>(f.dec);
        at += 32;
    }
    b[256] = 0x0D;
    b[257] = 0x1A;
    return b;
}

QByteArray pad(const QByteArray& s, int n) { return s.leftJustified(n, ' '); }
QByteArray right(const QByteArray& s, int n) { return s.rightJustified(n, ' '); }

class Obmen : public ::testing::Test {
protected:
    Obmen()
    {
        Clock::setSource([] { return QDateTime(QDate(2026, 12, 7), QTime(10, 0)); });
        path = env.t.folder() + QStringLiteral("/obmen.dbf");
        // Product 101 with both codes in department 11; product 102 without
        // the accounting code and till code 0; product 103 has no row in 11.
        env.t.exec("INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_OTDEL, KOD_KASSA, KOD_1S) VALUES (501, 101, 11, 17, '00-0123')");
        env.t.exec("INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_OTDEL, KOD_KASSA, KOD_1S) VALUES (502, 102, 11, 0, NULL)");
        env.t.exec("INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_OTDEL, KOD_KASSA, KOD_1S) VALUES (503, 103, 12, 5, 'X')");
    }
    ~Obmen() override { Clock::setSource({}); }

    exchange::obmen::Line line(qint64 product, int type, double kolvo, double cena, const QString& doc = QStringLiteral("15"))
    {
        exchange::obmen::Line l;
        l.product = product;
        l.department = 11;
        l.typeMoves = type;
        l.kolvo = kolvo;
        l.cena = cena;
        l.docDate = QDate(2026, 11, 30);
        l.docName = doc;
        l.productName = QStringLiteral("Продукт %1").arg(product);
        return l;
    }

    EngineEnv env;
    QString path;
};

} // namespace

TEST_F(Obmen, NewTableIsTheFixedImage)
{
    EXPECT_EQ(exchange::obmen::EmptyImage(), expectedEmptyTable());
    // An existing file of that name is replaced, never extended.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1000, 'x'));
    f.close();
    exchange::obmen::CreateTable(path);
    EXPECT_EQ(readFile(path), expectedEmptyTable());

    EXPECT_THROW(exchange::obmen::CreateTable(env.t.folder() + QStringLiteral("/no/such/folder/obmen.dbf")),
                 std::runtime_error);
}

TEST_F(Obmen, RecordsAreLaidOutByteForByte)
{
    exchange::obmen::CreateTable(path);
    {
        exchange::obmen::Export x(env.ctx(), path);
        x.add(line(101, 1, 2.5, 123.45));
        x.add(line(102, 2, 3, 10, QStringLiteral("Поставка")));
        // Halves of the seventh decimal go to the even place as the papers
        // round, whatever the binary residue of the stored figure.
        x.add(line(101, 1, 1.00000015, 12.34567885));
        EXPECT_EQ(x.count(), 3);
        x.close();
    }
    const QByteArray file = readFile(path);
    ASSERT_EQ(file.size(), 257 + 3 * 160 + 1);
    EXPECT_EQ(file[4], 3);  // record count
    EXPECT_EQ(file.mid(5, 3), QByteArray(3, '\0'));
    EXPECT_EQ(file.mid(1, 3), QByteArray("\x7E\x0C\x07"));  // last update 7 December 2026
    EXPECT_EQ(file.left(1), QByteArray(1, 0x03));
    EXPECT_EQ(file.mid(8, 4), expectedEmptyTable().mid(8, 4));
    EXPECT_EQ(file.mid(12, 245), expectedEmptyTable().mid(12, 245));

    const QByteArray first = QByteArray(" +") + pad("17", 11) + pad("00-0123", 50) + right("2.5000000", 20) +
                             right("123.4500000", 19) + "20261130" + pad("15", 50);
    ASSERT_EQ(first.size(), 160);
    EXPECT_EQ(file.mid(257, 160), first);
    // Till code 0 is written as "0"; the name in CP866.
    const QByteArray second = QByteArray(" -") + pad("0", 11) + pad("", 50) + right("3.0000000", 20) +
                              right("10.0000000", 19) + "20261130" +
                              pad("\x8F\xAE\xE1\xE2\xA0\xA2\xAA\xA0", 50);
    EXPECT_EQ(file.mid(417, 160), second);
    EXPECT_EQ(file.mid(577 + 63, 39), right("1.0000002", 20) + right("12.3456788", 19));
    EXPECT_EQ(file.right(1), QByteArray(1, 0x1A));
}

TEST_F(Obmen, ProductsWithoutAccountingCodeAreListedAndStillWritten)
{
    exchange::obmen::CreateTable(path);
    exchange::obmen::Export x(env.ctx(), path);
    x.add(line(101, 1, 1, 1));
    EXPECT_FALSE(x.missingCodes());
    x.add(line(102, 1, 1, 1));
    x.add(line(103, 2, 1, 1));  // no row in the line's department: both codes empty
    x.add(line(102, 1, 1, 1));  // once per line
    x.close();
    EXPECT_TRUE(x.missingCodes());
    EXPECT_EQ(x.warningText(), QStringLiteral("У следующих продуктов нет кодов для передачу в бухгалтерскую программу :\n\n"
                                              "Продукт 102\nПродукт 103\nПродукт 102"));
    const QByteArray file = readFile(path);
    ASSERT_EQ(file.size(), 257 + 4 * 160 + 1);
    EXPECT_EQ(file.mid(257 + 2 * 160 + 2, 11), QByteArray(11, ' '));  // product 103: KOD empty
}

TEST_F(Obmen, LongNamesAreCutToTheirFields)
{
    exchange::obmen::CreateTable(path);
    const QString longName = QString(60, QChar(0x0416));  // "Ж" x 60
    {
        exchange::obmen::Export x(env.ctx(), path);
        x.add(line(101, 1, 1, 1, longName));
        x.close();
    }
    const QByteArray file = readFile(path);
    ASSERT_EQ(file.size(), 257 + 160 + 1);
    EXPECT_EQ(file.mid(257 + 110, 50), QByteArray(50, '\x86'));
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

TEST_F(Obmen, FailedRunLeavesTheEarlierTableAndShortTablesAreRefused)
{
    exchange::obmen::CreateTable(path);
    {
        exchange::obmen::Export x(env.ctx(), path);
        x.add(line(101, 1, 1, 1));
        x.close();
    }
    const QByteArray earlier = readFile(path);
    ASSERT_EQ(earlier.size(), 257 + 160 + 1);
    {
        exchange::obmen::Export x(env.ctx(), path);
        x.add(line(101, 1, 2, 1));
        // A quantity wider than its field stops the run.
        EXPECT_THROW(x.add(line(101, 1, 1e15, 1)), std::runtime_error);
    }
    EXPECT_EQ(readFile(path), earlier);
    EXPECT_EQ(QDir(env.t.folder()).entryList({QStringLiteral("*obmen*")}, QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("obmen.dbf")});

    // A header counting two records: exactly two records' bytes (no end
    // marker) are read and appended to; one byte fewer is refused untouched.
    QByteArray two = earlier.left(257 + 160) + earlier.mid(257, 160);
    two[4] = 2;
    writeFile(path, two);
    {
        exchange::obmen::Export x(env.ctx(), path);
        x.add(line(102, 2, 1, 1));
        x.close();
        EXPECT_EQ(x.count(), 3);
    }
    const auto table = exchange::dbf::Read(readFile(path));
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(table->records.size(), 3);

    two.chop(1);
    writeFile(path, two);
    EXPECT_THROW(exchange::obmen::Export(env.ctx(), path), std::runtime_error);
    EXPECT_EQ(readFile(path), two);

    // A file that is not an exchange table is refused, not appended to.
    writeFile(path, "not a table");
    EXPECT_THROW(exchange::obmen::Export(env.ctx(), path), std::runtime_error);
}

// A disk that fills up while the table is written: a tmpfs of two pages
// holds the earlier table but not the new one beside it.
TEST_F(Obmen, FullDiskLeavesTheEarlierTableAndNamesTheCause)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    if (::mount("tmpfs", dir.path().toLocal8Bit().constData(), "tmpfs", 0, "size=8k") != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    struct Unmount {
        QString at;
        ~Unmount() { ::umount2(at.toLocal8Bit().constData(), MNT_DETACH); }
    } unmount{dir.path()};
    const QString small = dir.path() + QStringLiteral("/obmen.dbf");
    exchange::obmen::CreateTable(small);
    QString message;
    {
        exchange::obmen::Export x(env.ctx(), small);
        for (int i = 1; i <= 40; ++i)
            x.add(line(101, 1, i, 1));
        try {
            x.close();
        } catch (const std::runtime_error& e) {
            message = QString::fromUtf8(e.what());
        }
    }
    EXPECT_TRUE(message.contains(QStringLiteral("на диске нет свободного места"))) << message.toStdString();
    EXPECT_EQ(readFile(small), expectedEmptyTable());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("obmen.dbf")});
}

// A folder on a file system mounted read-only: the table can be neither
// made nor replaced there, and the user is told which folder, in words.
TEST_F(Obmen, AReadOnlyFolderIsNamedInWords)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray at = dir.path().toLocal8Bit();
    if (::mount("tmpfs", at.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "mounting a tmpfs needs root";
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{at};
    const QString kept = dir.path() + QStringLiteral("/obmen.dbf");
    exchange::obmen::CreateTable(kept);
    ASSERT_EQ(::mount("tmpfs", at.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0);

    auto refusal = [](const QString& path) {
        try {
            exchange::obmen::CreateTable(path);
        } catch (const std::runtime_error& e) {
            return QString::fromUtf8(e.what());
        }
        return QString();
    };
    const QString fresh = refusal(dir.path() + QStringLiteral("/new.dbf"));
    EXPECT_EQ(fresh, QStringLiteral("Не удаётся создать файл ") + dir.path() + QStringLiteral("/new.dbf: в папку ") +
                         dir.path() + QStringLiteral(" нельзя записывать. Выберите другую папку"));
    const QString existing = refusal(kept);
    EXPECT_EQ(existing, QStringLiteral("Не удаётся создать файл ") + kept +
                            QStringLiteral(": файл доступен только для чтения. Выберите другой файл или папку"));
    EXPECT_EQ(readFile(kept), expectedEmptyTable());
}
