// The exchange files byte for byte: the menu file and its container, the
// TorgService tables against golden files, and the totals files read back.

#include "exchange/Dbf.h"
#include "exchange/MenuExport.h"
#include "exchange/ShiftTotals.h"

#include "db/Codec.h"
#include "engine/Clock.h"
#include "util/Scrambler.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "cannot read " << path.toStdString();
    return f.readAll();
}

std::optional<qint64> optInt(const QJsonValue& v)
{
    if (v.isNull() || v.isUndefined())
        return std::nullopt;
    return static_cast<qint64>(v.toDouble());
}

exchange::Menu menuFromJson(const QJsonObject& o)
{
    exchange::Menu m;
    m.kod = static_cast<qint64>(o[QStringLiteral("kod")].toDouble());
    m.name = o[QStringLiteral("name")].toString();
    m.date = QDate::fromString(o[QStringLiteral("date")].toString(), Qt::ISODate);
    for (const QJsonValue& sv : o[QStringLiteral("sections")].toArray()) {
        const QJsonObject so = sv.toObject();
        exchange::MenuSection s;
        s.kod = static_cast<qint64>(so[QStringLiteral("kod")].toDouble());
        s.name = so[QStringLiteral("name")].toString();
        s.mySort = optInt(so[QStringLiteral("mySort")]);
        s.kodOtdel = optInt(so[QStringLiteral("kodOtdel")]);
        s.nameO = so[QStringLiteral("nameO")].toString();
        for (const QJsonValue& dv : so[QStringLiteral("dishes")].toArray()) {
            const QJsonObject d = dv.toObject();
            exchange::MenuDish x;
            x.kodIngSklad = static_cast<qint64>(d[QStringLiteral("kodIngSklad")].toDouble());
            x.name = d[QStringLiteral("name")].toString();
            if (!d[QStringLiteral("cenaMenu")].isNull())
                x.cenaMenu = d[QStringLiteral("cenaMenu")].toDouble();
            x.vihodBluda = d[QStringLiteral("vihodBluda")].toString();
            x.dopInfo = d[QStringLiteral("dopInfo")].toString();
            x.myActive = optInt(d[QStringLiteral("myActive")]);
            x.percentSkidka = optInt(d[QStringLiteral("percentSkidka")]);
            x.mySection = optInt(d[QStringLiteral("mySection")]);
            x.sKod = d[QStringLiteral("sKod")].toString();
            x.myTime = optInt(d[QStringLiteral("myTime")]);
            x.myAlarm = optInt(d[QStringLiteral("myAlarm")]);
            x.kodKassa = static_cast<qint64>(d[QStringLiteral("kodKassa")].toDouble());
            s.dishes.append(x);
        }
        m.sections.append(s);
    }
    return m;
}

std::vector<std::string> menuCases()
{
    const QDir root(QStringLiteral(TARELIA_FIXTURES));
    std::vector<std::string> cases;
    for (const QString& d : root.entryList({QStringLiteral("exchange_menu_*")}, QDir::Dirs))
        cases.push_back(d.toStdString());
    return cases;
}

} // namespace

// ---- golden files ----

class MenuGolden : public ::testing::TestWithParam<std::string> {
protected:
    QString file(const char* name) const
    {
        return QStringLiteral(TARELIA_FIXTURES "/") + QString::fromStdString(GetParam()) + QLatin1Char('/') + QLatin1String(name);
    }
};

TEST_P(MenuGolden, FilesMatchByteForByte)
{
    const exchange::Menu menu = menuFromJson(QJsonDocument::fromJson(readFile(file("menu.json"))).object());
    const QJsonObject settings = QJsonDocument::fromJson(readFile(file("settings.json"))).object();
    const QByteArray expectedText = readFile(file("expected.txt"));
    const QByteArray stamp = readFile(file("stamp.txt"));

    // The plain text, then the container around it.
    const exchange::MenuText text = exchange::MenuFileText(menu);
    ASSERT_FALSE(text.missingPrice.has_value());
    EXPECT_EQ(text.text, expectedText);
    Scrambler scrambler;
    const QByteArray container = exchange::PackContainer(text.text, scrambler, stamp);
    EXPECT_EQ(container, readFile(file("expected.mnu")));
    quint32 sum = 0;
    for (char c : expectedText)
        sum += static_cast<quint8>(c);
    EXPECT_EQ(container.left(15), stamp);
    EXPECT_EQ(container.mid(15, 10), QByteArray::number(sum).rightJustified(10, '0'));
    EXPECT_EQ(Scrambler().UnscrambleString(stamp + container.mid(25)), expectedText);

    // The TorgService tables.
    const auto kind = settings[QStringLiteral("codeKind")].toInt() == 1 ? exchange::CodeKind::Till : exchange::CodeKind::Unique;
    const QDate today = QDate::fromString(settings[QStringLiteral("today")].toString(), Qt::ISODate);
    const exchange::TorgTables t = exchange::BuildTorgServiceTables(menu, kind, today);
    ASSERT_TRUE(t.unfitDish.isEmpty());
    EXPECT_EQ(t.products.toHex(' '), readFile(file("Products.dbf")).toHex(' '));
    EXPECT_EQ(t.names.toHex(' '), readFile(file("Names.dbf")).toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, MenuGolden, ::testing::ValuesIn(menuCases()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(MenuFiles, EmptyTablesAreThePeersImages)
{
    const QByteArray products = exchange::dbf::EmptyImage(exchange::dbf::ProductsFields());
    const QByteArray names = exchange::dbf::EmptyImage(exchange::dbf::NamesFields());
    EXPECT_EQ(products.size(), 322);
    EXPECT_EQ(names.size(), 130);
    EXPECT_EQ(products, readFile(QStringLiteral(TARELIA_FIXTURES "/exchange_menu_empty/Products.dbf")));
    EXPECT_EQ(names, readFile(QStringLiteral(TARELIA_FIXTURES "/exchange_menu_empty/Names.dbf")));
}

TEST(MenuFiles, GroupNumbers)
{
    const std::pair<qint64, const char*> cases[] = {
        {0, "0000000000"}, {1, "0100000000"}, {9, "0900000000"},  {10, "0A00000000"},  {36, "0a00000000"},
        {61, "0z00000000"}, {62, "1000000000"}, {63, "1100000000"}, {100, "1c00000000"}, {3844, "1000000000"},
    };
    for (const auto& [n, text] : cases)
        EXPECT_EQ(exchange::EncodeGroupNumber(n), QLatin1String(text)) << n;
}

TEST(MenuFiles, ADishWithoutPriceStopsTheFile)
{
    exchange::Menu m;
    m.sections.append({7, QStringLiteral("Салаты"), 2, 2, QStringLiteral("Кухня"), {}});
    exchange::MenuDish d;
    d.name = QStringLiteral("Оливье");
    m.sections[0].dishes = {d};  // the price rule gave none
    EXPECT_EQ(exchange::MenuFileText(m).missingPrice->dish, QStringLiteral("Оливье"));
    m.sections[0].dishes[0].cenaMenu = 0;
    EXPECT_EQ(exchange::MenuFileText(m).missingPrice->sectionKod, 7);
}

TEST(MenuFiles, TorgServiceRefusesValuesItsFieldsCannotHold)
{
    exchange::Menu m;
    m.sections.append({1, QStringLiteral("Супы"), 1, 2, QStringLiteral("Кухня"), {}});
    exchange::MenuDish d;
    d.name = QStringLiteral("Щи");
    d.cenaMenu = 10;
    d.myActive = 1;
    d.kodIngSklad = 1234567890123;  // 13 digits fit
    m.sections[0].dishes = {d};
    EXPECT_TRUE(exchange::BuildTorgServiceTables(m, exchange::CodeKind::Unique, {}).unfitDish.isEmpty());

    m.sections[0].dishes[0].kodIngSklad = 12345678901234;
    EXPECT_EQ(exchange::BuildTorgServiceTables(m, exchange::CodeKind::Unique, {}).unfitDish, QStringLiteral("Щи"));

    m.sections[0].dishes[0].kodIngSklad = 5;
    m.sections[0].dishes[0].mySection = 1000;  // SECTION is N 3
    EXPECT_EQ(exchange::BuildTorgServiceTables(m, exchange::CodeKind::Unique, {}).unfitDish, QStringLiteral("Щи"));

    // A name longer than its field is cut to the field, as the till expects.
    m.sections[0].dishes[0].mySection = 1;
    m.sections[0].dishes[0].name = QString(70, QChar(0x0416));
    const auto table = exchange::dbf::Read(exchange::BuildTorgServiceTables(m, exchange::CodeKind::Unique, {}).products);
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->records.size(), 1);
    EXPECT_EQ(exchange::dbf::TextOf(table->records[0][table->fieldIndex("NAME")]), QString(60, QChar(0x0416)));
}

// ---- dBase reader ----

namespace {

// A totals table as the till writes it: CODE, SECTION, KASSA, KASSIR, DATEO, KOL, PRICE.
QVector<exchange::dbf::FieldDef> totalsFields()
{
    return {{"CODE", 'C', 13, 0}, {"SECTION", 'N', 3, 0}, {"KASSA", 'N', 3, 0}, {"KASSIR", 'C', 20, 0},
            {"DATEO", 'D', 8, 0},  {"KOL", 'N', 19, 4},    {"PRICE", 'N', 19, 4}};
}

} // namespace

TEST(DbfReader, RefusesHeadersThatDoNotDescribeTheFile)
{
    exchange::dbf::Writer w(totalsFields());
    using V = exchange::dbf::Value;
    for (int i = 0; i < 3; ++i)
        w.append({V::of(QStringLiteral("0000000000123")), V::of(1.0), V::of(2.0), V::of(QStringLiteral("Кассир")),
                  V::of(QStringLiteral("20261207")), V::of(1.0), V::of(10.0)});
    const QByteArray good = w.image(QDate(2026, 12, 7));
    ASSERT_TRUE(exchange::dbf::Read(good).has_value());

    QString why;
    EXPECT_FALSE(exchange::dbf::Read(good.left(good.size() - 40), &why)) << "truncated";
    EXPECT_FALSE(exchange::dbf::Read(good.left(20), &why)) << "shorter than a header";
    EXPECT_FALSE(exchange::dbf::Read(QByteArray(), &why));

    QByteArray longer = good;  // header length 10 bytes past the terminator
    longer[8] = static_cast<char>(static_cast<quint8>(longer[8]) + 10);
    EXPECT_FALSE(exchange::dbf::Read(longer, &why));
    QByteArray shorter = good;  // header length inside the descriptors
    shorter[8] = static_cast<char>(static_cast<quint8>(shorter[8]) - 32);
    EXPECT_FALSE(exchange::dbf::Read(shorter, &why));
    QByteArray record = good;  // record length not the sum of the fields
    record[10] = static_cast<char>(static_cast<quint8>(record[10]) + 1);
    EXPECT_FALSE(exchange::dbf::Read(record, &why));
    QByteArray count = good;  // more records than the file holds
    count[4] = 100;
    EXPECT_FALSE(exchange::dbf::Read(count, &why));
    QByteArray flag = good;  // a record that does not start with its flag
    const int headerLength = static_cast<quint8>(good[8]) | (static_cast<quint8>(good[9]) << 8);
    flag[headerLength] = 'X';
    EXPECT_FALSE(exchange::dbf::Read(flag, &why));
}

// ---- totals file of the companion program ----

namespace {

const char* const kHead = "<<<< ИТОГОВЫЙ ФАЙЛ ПОДАВАЛЬНИ >>>>";
const char* const kDeferred = "<<<< ОТЛОЖЕННЫЕ ПЛАТЕЖИ И СКИДКИ >>>>";
const char* const kEnd = "<<<< КОНЕЦ ИТОГОВОГО ФАЙЛА ПОДАВАЛЬНИ >>>>";

QByteArray plainOf(const QStringList& lines)
{
    QByteArray b;
    for (const QString& l : lines)
        b += db::toCp1251(l) + "\r\n";
    return b;
}

// The container built with the program's scrambler: seed, sum, scrambled text.
QByteArray pdzOf(const QByteArray& plain)
{
    quint32 sum = 0;
    for (char c : plain)
        sum += static_cast<quint8>(c);
    Scrambler s;
    const QByteArray scrambled = s.UnscrambleString(QByteArray("202612071830555") + plain);  // XOR is its own inverse
    return QByteArray("202612071830555") + QByteArray::number(sum).rightJustified(10, '0') + scrambled;
}

QStringList totalsLines(const QStringList& items)
{
    return QStringList{QString::fromUtf8(kHead), QStringLiteral("7"), QStringLiteral("12"), QStringLiteral("2026"),
                       QStringLiteral("Смена 15"), QStringLiteral("не читается")} +
           items + QStringList{QString::fromUtf8(kDeferred), QStringLiteral("что угодно"), QString::fromUtf8(kEnd)};
}

} // namespace

TEST(TotalsFile, ReadsEveryItemInFileOrder)
{
    Scrambler s;
    const auto t = exchange::ParseShiftTotals(
        pdzOf(plainOf(totalsLines({"101", "12.50", "2", "102", "12,50", "1,5", "101", "12.5", "-1", "1 OR 1=1", "3", "1"}))), s);
    ASSERT_EQ(t.status, exchange::TotalsStatus::Ok);
    EXPECT_EQ(t.date, QDate(2026, 12, 7));
    EXPECT_EQ(t.name, QStringLiteral("Смена 15"));
    ASSERT_EQ(t.items.size(), 4);
    EXPECT_EQ(t.items[0].code, 101);
    EXPECT_EQ(t.items[1].code, 102);
    EXPECT_EQ(t.items[2].code, 101);
    EXPECT_EQ(t.items[0].price, t.items[1].price);
    EXPECT_EQ(t.items[0].price, 12.5);
    EXPECT_EQ(t.items[1].quantity, 1.5);
    EXPECT_EQ(t.items[2].quantity, -1);
    EXPECT_FALSE(t.items[3].code.has_value());  // not a number: an unknown dish
    EXPECT_EQ(t.items[3].codeText, QStringLiteral("1 OR 1=1"));
}

TEST(TotalsFile, RefusesDamagedAndForeignFiles)
{
    using exchange::TotalsStatus;
    Scrambler s;
    const QByteArray good = pdzOf(plainOf(totalsLines({"101", "10", "1"})));
    ASSERT_EQ(exchange::ParseShiftTotals(good, s).status, TotalsStatus::Ok);

    auto status = [&s](const QByteArray& b) { return exchange::ParseShiftTotals(b, s).status; };
    QByteArray changed = good;
    changed[40] = static_cast<char>(changed[40] ^ 0x01);
    EXPECT_EQ(status(changed), TotalsStatus::Damaged) << "a changed byte";
    EXPECT_EQ(status(good.left(24)), TotalsStatus::Damaged) << "shorter than the head";
    EXPECT_EQ(status(good.left(good.size() - 10)), TotalsStatus::Damaged) << "truncated";
    QByteArray letter = good;
    letter[3] = 'x';
    EXPECT_EQ(status(letter), TotalsStatus::Damaged) << "a letter in the seed";
    letter = good;
    letter[20] = ' ';
    EXPECT_EQ(status(letter), TotalsStatus::Damaged) << "a blank in the sum";

    QStringList lines = totalsLines({"101", "10", "1"});
    lines[0] = QStringLiteral("<<<< МЕНЮ ПРОГРАММЫ ТАРЕЛИЯ >>>>");
    EXPECT_EQ(status(pdzOf(plainOf(lines))), TotalsStatus::Damaged) << "a menu file";
    lines = totalsLines({"101", "10", "1"});
    lines.removeLast();
    EXPECT_EQ(status(pdzOf(plainOf(lines))), TotalsStatus::Damaged) << "no end marker";
    lines = totalsLines({"101", "10", "1"});
    lines.removeAt(lines.indexOf(QString::fromUtf8(kDeferred)));
    EXPECT_EQ(status(pdzOf(plainOf(lines))), TotalsStatus::OldVersion);
    lines.removeLast();
    EXPECT_EQ(status(pdzOf(plainOf(lines))), TotalsStatus::Damaged) << "neither marker";
}

TEST(TotalsFile, EveryItemAndTheDateAreChecked)
{
    using exchange::TotalsStatus;
    Scrambler s;
    auto status = [&s](const QStringList& lines) { return exchange::ParseShiftTotals(pdzOf(plainOf(lines)), s).status; };
    EXPECT_EQ(status(totalsLines({"101", "10", "1", "102", "десять", "1"})), TotalsStatus::Damaged) << "a price";
    EXPECT_EQ(status(totalsLines({"101", "10", "1", "102", "10", ""})), TotalsStatus::Damaged) << "an empty quantity";
    EXPECT_EQ(status(totalsLines({"101", "10", "1", "102", "10"})), TotalsStatus::Damaged) << "an item cut short";
    EXPECT_EQ(status(totalsLines({"101", "1.2.3", "1"})), TotalsStatus::Damaged);
    EXPECT_EQ(status(totalsLines({})), TotalsStatus::Ok) << "a shift without sales";

    QStringList lines = totalsLines({"101", "10", "1"});
    lines[1] = QStringLiteral("31");
    lines[2] = QStringLiteral("02");
    EXPECT_EQ(status(lines), TotalsStatus::Damaged) << "31 February";
    lines[1] = QStringLiteral("07.");
    lines[2] = QStringLiteral("12");
    EXPECT_EQ(status(lines), TotalsStatus::Damaged) << "not a number";
}

TEST(TotalsFile, AShortYearIsReadAsTheShortDateFormatReadsIt)
{
    Clock::setSource([] { return QDateTime(QDate(2026, 12, 7), QTime(10, 0)); });
    Scrambler s;
    auto dateOf = [&s](const QString& year) {
        QStringList lines = totalsLines({"101", "10", "1"});
        lines[3] = year;
        const auto t = exchange::ParseShiftTotals(pdzOf(plainOf(lines)), s);
        return t.status == exchange::TotalsStatus::Ok ? t.date : QDate();
    };
    EXPECT_EQ(dateOf(QStringLiteral("26")), QDate(2026, 12, 7));
    EXPECT_EQ(dateOf(QStringLiteral("2026")), QDate(2026, 12, 7));
    EXPECT_EQ(dateOf(QStringLiteral("6")), QDate(2006, 12, 7));
    EXPECT_EQ(dateOf(QStringLiteral("27")), QDate(2027, 12, 7));
    // 2075 and 1976: read so, and refused as no shift's date (below).
    EXPECT_EQ(dateOf(QStringLiteral("75")), QDate());
    EXPECT_EQ(dateOf(QStringLiteral("76")), QDate());
    EXPECT_EQ(dateOf(QStringLiteral("0026")), QDate()) << "a year of the first century is a damaged file";
    Clock::setSource({});
}

// A shift's date lies between 2000 and the end of next year; any other would
// fall outside every report period. Refused naming the year's line.
TEST(TotalsFile, ShiftDatesOutsideTwoThousandToNextYearAreRefusedByTheirLine)
{
    Clock::setSource([] { return QDateTime(QDate(2026, 12, 7), QTime(10, 0)); });
    Scrambler s;
    const struct {
        const char* day;
        const char* month;
        const char* year;
        const char* refused;  // the date as the refusal shows it; none: read
    } cases[] = {
        {"1", "1", "2000", nullptr},  {"31", "12", "2027", nullptr},     {"31", "12", "1999", "31.12.1999"},
        {"1", "1", "2028", "01.01.2028"}, {"7", "12", "202", "07.12.0202"}, {"7", "12", "76", "07.12.1976"},
    };
    for (const auto& c : cases) {
        QStringList lines = totalsLines({"101", "10", "1"});
        lines[1] = QString::fromLatin1(c.day);
        lines[2] = QString::fromLatin1(c.month);
        lines[3] = QString::fromLatin1(c.year);
        const auto t = exchange::ParseShiftTotals(pdzOf(plainOf(lines)), s);
        if (!c.refused) {
            EXPECT_EQ(t.status, exchange::TotalsStatus::Ok) << c.year;
            continue;
        }
        EXPECT_EQ(t.status, exchange::TotalsStatus::OutOfRange) << c.year;
        EXPECT_EQ(t.refusal.toStdString(), QStringLiteral("Строка 4: дата смены %1 вне допустимых пределов (с 01.01.2000 "
                                                          "по 31.12.2027).")
                                               .arg(QLatin1String(c.refused))
                                               .toStdString());
        EXPECT_TRUE(t.items.isEmpty());
    }
    Clock::setSource({});
}

TEST(TotalsFile, NumbersTakeAnySeparator)
{
    EXPECT_EQ(exchange::ParseTotalsNumber(QStringLiteral("12.50")), 12.5);
    EXPECT_EQ(exchange::ParseTotalsNumber(QStringLiteral("12,50")), 12.5);
    EXPECT_EQ(exchange::ParseTotalsNumber(QStringLiteral("12/5")), 12.5);
    EXPECT_EQ(exchange::ParseTotalsNumber(QStringLiteral(" 7 ")), 7);  // blanks round a number are no separators
    EXPECT_EQ(exchange::ParseTotalsNumber(QStringLiteral("-0,5")), -0.5);
    EXPECT_FALSE(exchange::ParseTotalsNumber(QStringLiteral("")));
    EXPECT_FALSE(exchange::ParseTotalsNumber(QStringLiteral("-")));
    EXPECT_FALSE(exchange::ParseTotalsNumber(QStringLiteral("1-2")));
    EXPECT_FALSE(exchange::ParseTotalsNumber(QStringLiteral("1..5")));
}

TEST(TotalsFile, ADocumentNameOfTheFullTwoHundredCharactersIsAcceptedAndOneMoreRefused)
{
    using exchange::TotalsStatus;
    Scrambler s;
    QStringList lines = totalsLines({"101", "10", "1"});
    lines[4] = QString(200, QChar(0x0416));
    const auto t = exchange::ParseShiftTotals(pdzOf(plainOf(lines)), s);
    ASSERT_EQ(t.status, TotalsStatus::Ok);
    EXPECT_EQ(t.name, QString(200, QChar(0x0416)));
    lines[4] = QString(201, QChar(0x0416));
    EXPECT_EQ(exchange::ParseShiftTotals(pdzOf(plainOf(lines)), s).status, TotalsStatus::Damaged);
}

// Prices and quantities keep to what a kitchen sells: a value on the bound
// is read, one beyond it refuses the file, naming the line it stands on.
TEST(TotalsFile, ValuesBeyondAKitchensBoundsAreRefusedByTheirLine)
{
    using exchange::TotalsStatus;
    Scrambler s;
    const struct {
        QStringList items;
        TotalsStatus status;
        QString refusal;  // its beginning
    } cases[] = {
        {{"101", "10000000", "1000000"}, TotalsStatus::Ok, {}},
        {{"101", "-10000000", "-1000000"}, TotalsStatus::Ok, {}},
        {{"101", "10", "-9223372036854775808"}, TotalsStatus::OutOfRange,
         QStringLiteral("Строка 9: количество -9223372036854775808 вне допустимых пределов")},
        {{"101", "10", "1000000,001"}, TotalsStatus::OutOfRange, QStringLiteral("Строка 9: количество")},
        {{"101", "10000000.01", "1"}, TotalsStatus::OutOfRange, QStringLiteral("Строка 8: цена")},
        {{"101", "10", "1", "102", "10", "2000000"}, TotalsStatus::OutOfRange, QStringLiteral("Строка 12: количество")},
    };
    for (const auto& c : cases) {
        const auto t = exchange::ParseShiftTotals(pdzOf(plainOf(totalsLines(c.items))), s);
        EXPECT_EQ(t.status, c.status) << c.items.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(t.refusal.startsWith(c.refusal)) << t.refusal.toStdString();
        EXPECT_EQ(t.refusal.isEmpty(), c.refusal.isEmpty());
        if (c.status != TotalsStatus::Ok) {
            EXPECT_TRUE(t.items.isEmpty());
        }
    }
}
