#pragma once

#include "Context.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class Scrambler;

// The menu as the point-of-sale programs receive it: the companion program's
// scrambled text file and the TorgService tables.
namespace exchange {

struct MenuDish {
    qint64 kodIngSklad = 0;
    QString name;
    std::optional<double> cenaMenu;
    QString vihodBluda;
    QString dopInfo;
    std::optional<qint64> myActive;
    std::optional<qint64> percentSkidka;
    std::optional<qint64> mySection;
    QString sKod;
    std::optional<qint64> myTime;
    std::optional<qint64> myAlarm;
    qint64 kodKassa = 0;
};

struct MenuSection {
    qint64 kod = 0;
    QString name;
    std::optional<qint64> mySort;
    std::optional<qint64> kodOtdel;
    QString nameO;  // the department's name
    QVector<MenuDish> dishes;
};

struct Menu {
    qint64 kod = 0;
    QString name;
    QDate date;
    QVector<MenuSection> sections;
};

// The menu with its sections (by MY_SORT) and each section's dishes (by name)
// with their menu prices, as the menus tab lists them. nullopt: no such menu.
std::optional<Menu> LoadMenu(const Context& ctx, qint64 menuKey);

// ---- companion program ----

// The first dish without a menu price stops an export.
struct MissingPrice {
    qint64 sectionKod = 0;
    QString dish;
};

// The plain text of the menu file, Windows-1251, CR LF after every line; or
// the first dish without a price.
struct MenuText {
    QByteArray text;
    std::optional<MissingPrice> missingPrice;
};
MenuText MenuFileText(const Menu& menu);

// The file name a save dialog proposes for a menu's file: the menu's name,
// each character a file name cannot hold here or on the point of sale put as
// "_", blanks and dots left off its ends (a name such as "Обед 03.12" would
// otherwise be taken as having an extension of its own), "Меню" for a name
// that leaves nothing, then "." and the extension.
QString MenuFileName(const QString& menuName, const QString& extension);

// The exchange container: the 15-character seed, the byte sum of the plain
// text modulo 2^32 as 10 digits, the text XOR-ed with the keystream of the
// seed. An empty stamp takes a fresh one from the clock.
QByteArray PackContainer(const QByteArray& plain, Scrambler& scrambler, const QByteArray& stamp = {});
// The plain text of a container; nullopt when its first 25 bytes are not all
// digits or the sum does not match.
std::optional<QByteArray> UnpackContainer(const QByteArray& container, Scrambler& scrambler);

// ---- TorgService ----

// The group number of the n-th section: base 62, one digit padded to two,
// then filled with "0" on the right to 10 characters.
QString EncodeGroupNumber(qint64 n);

// Dishes of the menu whose department row has no till code (KOD_KASSA 0),
// by department and name, and the warning window's lines for them.
struct TillCodeGap {
    qint64 kodOtdel = 0;
    QString dish;
    QString otdel;
};
QVector<TillCodeGap> DishesWithoutTillCode(const Context& ctx, qint64 menuKey);
QStringList TillCodeWarningLines(const QVector<TillCodeGap>& gaps);

// Products.dbf and Names.dbf of the menu: one Names record per section, one
// Products record per active dish; or the first dish whose code or section
// does not fit its field.
struct TorgTables {
    QByteArray products;
    QByteArray names;
    QString unfitDish;  // not empty: nothing may be written
};
TorgTables BuildTorgServiceTables(const Menu& menu, CodeKind kind, const QDate& today);

// The one line of Zimp.zfl.
QByteArray ZimpCommand();

// Writes `bytes` to `path` through a temporary file renamed at the end, so
// a failure leaves the target as it was. False with the reason, in words, on failure.
bool WriteWhole(const QString& path, const QByteArray& bytes, QString* error);

} // namespace exchange
