#include "MenuExport.h"

#include "Dbf.h"

#include "db/Codec.h"
#include "db/Query.h"
#include "engine/FileCause.h"
#include "engine/Settled.h"
#include "menus/SectionDishes.h"
#include "util/Scrambler.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace exchange {

namespace {

// The decimal separator of prices in the menu file.
constexpr QChar kDecimalSeparator = QLatin1Char(',');

const char* const kMenuHead = "<<<< МЕНЮ ПРОГРАММЫ ТАРЕЛИЯ >>>>";
const char* const kSectionHead = "<<<< НОВАЯ ГРУППА МЕНЮ >>>>";
const char* const kMenuEnd = "<<<< КОНЕЦ ФАЙЛА МЕНЮ ПРОГРАММЫ ТАРЕЛИИ >>>>";

std::optional<qint64> optInt(const db::Field& f)
{
    if (f.isNull())
        return std::nullopt;
    return f.asInt64();
}

QString text(const std::optional<qint64>& v) { return v ? QString::number(*v) : QString(); }

// Up to 15 significant digits, the separator above, an exponent written as E-5.
QString priceText(const std::optional<double>& v)
{
    if (!v)
        return {};
    if (*v == 0)
        return QStringLiteral("0");
    QString s = QString::number(*v, 'g', 15);
    const int e = static_cast<int>(s.indexOf(QLatin1Char('e')));
    if (e >= 0)
        s = s.left(e) + QLatin1Char('E') + QString::number(s.mid(e + 1).toInt());
    s.replace(QLatin1Char('.'), kDecimalSeparator);
    return s;
}

// One value is one line: line breaks inside a text become blanks.
QString oneLine(QString s)
{
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

} // namespace

// ---- loading ----

std::optional<Menu> LoadMenu(const Context& ctx, qint64 menuKey)
{
    const QString key = QString::number(menuKey);
    db::Query q(ctx.database, ctx.read);
    q.setSql(QStringLiteral("SELECT KOD, NAME, DATE_MENU FROM MENU WHERE KOD = ") + key);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    Menu menu;
    menu.kod = q.field(QStringLiteral("KOD")).asInt64();
    menu.name = q.field(QStringLiteral("NAME")).asString();
    menu.date = q.field(QStringLiteral("DATE_MENU")).asDate();
    q.close();

    q.setSql(QStringList{QStringLiteral("select MENU_RAZDEL.*, OTDEL.NAME AS NAME_O from MENU_RAZDEL"),
                         QStringLiteral("LEFT OUTER JOIN OTDEL ON OTDEL.KOD = MENU_RAZDEL.KOD_OTDEL"),
                         QStringLiteral("WHERE KOD_MENU = ") + key, QStringLiteral("ORDER BY MY_SORT")});
    q.open();
    for (q.first(); !q.eof(); q.next()) {
        MenuSection s;
        s.kod = q.field(QStringLiteral("KOD")).asInt64();
        s.name = q.field(QStringLiteral("NAME")).asString();
        s.mySort = optInt(q.field(QStringLiteral("MY_SORT")));
        s.kodOtdel = optInt(q.field(QStringLiteral("KOD_OTDEL")));
        s.nameO = q.field(QStringLiteral("NAME_O")).asString();
        menu.sections.append(s);
    }
    q.close();

    for (MenuSection& s : menu.sections) {
        q.setSql(menus::MenuStrSql(s.kod));
        q.open();
        for (q.first(); !q.eof(); q.next()) {
            MenuDish d;
            d.kodIngSklad = q.field(QStringLiteral("KOD_ING_SKLAD")).asInt64();
            d.name = q.field(QStringLiteral("NAME1")).asString();
            d.vihodBluda = q.field(QStringLiteral("VIHOD_BLUDA")).asString();
            d.dopInfo = q.field(QStringLiteral("DOP_INFO")).asString();
            d.myActive = optInt(q.field(QStringLiteral("MY_ACTIVE")));
            d.percentSkidka = optInt(q.field(QStringLiteral("PERCENT_SKIDKA")));
            d.mySection = optInt(q.field(QStringLiteral("MY_SECTION")));
            d.sKod = q.field(QStringLiteral("S_KOD")).asString();
            d.myTime = optInt(q.field(QStringLiteral("MY_TIME")));
            d.myAlarm = optInt(q.field(QStringLiteral("MY_ALARM")));
            d.kodKassa = q.field(QStringLiteral("KOD_KASSA")).asInt64();
            d.cenaMenu = menus::CenaMenu(ctx, menus::LineOf(q), menus::MenuPriceUse::List);
            s.dishes.append(d);
        }
        q.close();
    }
    return menu;
}

// ---- companion program ----

MenuText MenuFileText(const Menu& menu)
{
    QStringList lines;
    lines << QString::fromUtf8(kMenuHead) << QString::number(menu.kod) << menu.date.toString(QStringLiteral("dd"))
          << menu.date.toString(QStringLiteral("MM")) << menu.date.toString(QStringLiteral("yyyy")) << oneLine(menu.name);
    for (const MenuSection& s : menu.sections) {
        lines << QString::fromUtf8(kSectionHead) << QString::number(s.kod) << oneLine(s.name) << text(s.mySort)
              << text(s.kodOtdel) << oneLine(s.nameO);
        for (const MenuDish& d : s.dishes) {
            // A dish without a menu price would reach the till at no price.
            if (!d.cenaMenu || *d.cenaMenu == 0)
                return {{}, MissingPrice{s.kod, d.name}};
            lines << QString::number(d.kodIngSklad) << oneLine(d.name) << priceText(d.cenaMenu) << oneLine(d.vihodBluda)
                  << oneLine(d.dopInfo) << text(d.myActive) << text(d.percentSkidka) << text(d.mySection)
                  << oneLine(d.sKod) << text(d.myTime) << text(d.myAlarm);
        }
    }
    lines << QString::fromUtf8(kMenuEnd);
    QByteArray out;
    for (const QString& l : lines)
        out += db::toCp1251(l) + "\r\n";
    return {out, std::nullopt};
}

QByteArray PackContainer(const QByteArray& plain, Scrambler& scrambler, const QByteArray& stamp)
{
    quint32 sum = 0;
    for (char c : plain)
        sum += static_cast<quint8>(c);
    const QByteArray seed = scrambler.SeedFromStamp(stamp).left(Scrambler::kStampLength);
    QByteArray out = seed + QByteArray::number(sum).rightJustified(10, '0');
    out.reserve(out.size() + plain.size());
    for (char c : plain)
        out.append(static_cast<char>(static_cast<quint8>(c) ^ scrambler.NextKeyByte()));
    return out;
}

std::optional<QByteArray> UnpackContainer(const QByteArray& container, Scrambler& scrambler)
{
    constexpr int kHead = Scrambler::kStampLength + 10;
    if (container.size() < kHead)
        return std::nullopt;
    for (int i = 0; i < kHead; ++i)
        if (container[i] < '0' || container[i] > '9')
            return std::nullopt;
    const qint64 stored = container.mid(Scrambler::kStampLength, 10).toLongLong();
    scrambler.SeedFromStamp(container.left(Scrambler::kStampLength));
    QByteArray plain(container.size() - kHead, Qt::Uninitialized);
    quint32 sum = 0;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const quint8 b = static_cast<quint8>(container[kHead + i]) ^ scrambler.NextKeyByte();
        plain[i] = static_cast<char>(b);
        sum += b;
    }
    if (static_cast<qint64>(sum) != stored)
        return std::nullopt;
    return plain;
}

QString MenuFileName(const QString& menuName, const QString& extension)
{
    static const QString unfit = QStringLiteral("\\/:*?\"<>|");
    QString name;
    for (const QChar c : menuName)
        name += c.unicode() < 0x20 || unfit.contains(c) ? QLatin1Char('_') : c;
    // Blanks and dots at the ends: a leading dot hides the file, trailing ones are dropped by the point of sale's system.
    while (name.startsWith(QLatin1Char(' ')) || name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char(' ')) || name.endsWith(QLatin1Char('.')))
        name.chop(1);
    return (name.isEmpty() ? QStringLiteral("Меню") : name) + QLatin1Char('.') + extension;
}

// ---- TorgService ----

QString EncodeGroupNumber(qint64 n)
{
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    QString s;
    qint64 v = n < 0 ? 0 : n;
    do {
        s.prepend(QLatin1Char(digits[v % 62]));
        v /= 62;
    } while (v > 0);
    if (s.size() == 1)
        s.prepend(QLatin1Char('0'));
    return s.leftJustified(10, QLatin1Char('0'));
}

QVector<TillCodeGap> DishesWithoutTillCode(const Context& ctx, qint64 menuKey)
{
    db::Query q(ctx.database, ctx.read);
    q.setSql(QStringList{
        QStringLiteral("SELECT MENU_RAZDEL.KOD_OTDEL, ING.NAME, OTDEL.NAME AS NAME_OTDEL FROM MENU_RAZDEL"),
        QStringLiteral("INNER JOIN MENU_STR ON MENU_STR.KOD_MENU_RAZDEL = MENU_RAZDEL.KOD"),
        QStringLiteral("INNER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = MENU_STR.KOD_ING AND ING_SKLAD.KOD_OTDEL = MENU_RAZDEL.KOD_OTDEL"),
        QStringLiteral("INNER JOIN ING ON ING.KOD = MENU_STR.KOD_ING"),
        QStringLiteral("INNER JOIN OTDEL ON OTDEL.KOD = MENU_RAZDEL.KOD_OTDEL"),
        QStringLiteral("WHERE MENU_RAZDEL.KOD_MENU = ") + QString::number(menuKey) + QStringLiteral(" AND ING_SKLAD.KOD_KASSA = 0"),
        QStringLiteral("ORDER BY MENU_RAZDEL.KOD_OTDEL, ING.NAME")});
    q.open();
    QVector<TillCodeGap> gaps;
    for (q.first(); !q.eof(); q.next())
        gaps.append({q.field(QStringLiteral("KOD_OTDEL")).asInt64(), q.field(QStringLiteral("NAME")).asString(),
                     q.field(QStringLiteral("NAME_OTDEL")).asString()});
    return gaps;
}

QStringList TillCodeWarningLines(const QVector<TillCodeGap>& gaps)
{
    QStringList lines{QStringLiteral("Нижеследующие блюда из передаваемого меню не имеют кодов для кассы:"), QStringLiteral(" ")};
    std::optional<qint64> otdel;
    for (const TillCodeGap& g : gaps) {
        if (!otdel || *otdel != g.kodOtdel) {
            otdel = g.kodOtdel;
            lines << QString(19, QLatin1Char(' ')) + QStringLiteral("Подразделение < ") + g.otdel + QStringLiteral(" >");
        }
        lines << g.dish;
    }
    lines << QStringLiteral(" ") << QStringLiteral("Меню не передано !!!");
    return lines;
}

TorgTables BuildTorgServiceTables(const Menu& menu, CodeKind kind, const QDate& today)
{
    using dbf::Value;
    dbf::Writer products(dbf::ProductsFields());
    dbf::Writer names(dbf::NamesFields());
    qint64 n = 0;
    for (const MenuSection& s : menu.sections) {
        const QString group = EncodeGroupNumber(++n);
        names.append({Value::of(group), Value::of(s.name), Value::of(1.0)});
        for (const MenuDish& d : s.dishes) {
            if (!d.myActive || *d.myActive <= 0)
                continue;
            const qint64 code = kind == CodeKind::Till ? d.kodKassa : d.kodIngSklad;
            const QString codeText = QString::number(code).rightJustified(13, QLatin1Char('0'));
            // A code cut to its field would name another dish at the till.
            if (code < 0 || codeText.size() > 13)
                return {{}, {}, d.name};
            const Value section = d.mySection ? Value::of(static_cast<double>(*d.mySection)) : Value::blank();
            if (!products.append({Value::of(codeText), Value::of(d.name), Value::of(engine::Settled(d.cenaMenu.value_or(0))), Value::blank(),
                                  Value::blank(), section, Value::of(group), Value::blank(), Value::blank()}))
                return {{}, {}, d.name};
        }
    }
    return {products.image(today), names.image(today), {}};
}

QByteArray ZimpCommand() { return QByteArrayLiteral("CLEAR_PRODUCTS\r\n"); }

bool WriteWhole(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error)
            *error = engine::WriteFailureCause(path, f.errorString());
        return false;
    }
    return true;
}

} // namespace exchange
