// The two single-byte code pages, checked against the C library's own tables.

#include "db/Codec.h"
#include "db/Error.h"

#include <gtest/gtest.h>

#include <iconv.h>

namespace {

// The character of one byte in a code page by iconv; U+FFFD when it has none.
char16_t viaIconv(const char* codepage, unsigned char byte)
{
    iconv_t cd = iconv_open("UTF-16LE", codepage);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << codepage;
    char in = static_cast<char>(byte);
    char out[4] = {};
    char* pin = &in;
    char* pout = out;
    size_t inLeft = 1, outLeft = sizeof out;
    const size_t rc = iconv(cd, &pin, &inLeft, &pout, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || outLeft != 2)
        return 0xFFFD;
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8);
}

QByteArray range(int from, int to)
{
    QByteArray out;
    for (int b = from; b <= to; ++b)
        out.append(static_cast<char>(b));
    return out;
}

const QString kUpper = QStringLiteral("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");
const QString kLower = QStringLiteral("абвгдежзийклмнопрстуфхцчшщъыьэюя");

} // namespace

TEST(Codec, BothCodePagesMatchTheSystemTables)
{
    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, static_cast<char>(b));
        EXPECT_EQ(db::fromCp1251(one).at(0).unicode(), viaIconv("CP1251", static_cast<unsigned char>(b))) << "CP1251 byte " << b;
        EXPECT_EQ(db::fromCp866(one).at(0).unicode(), viaIconv("CP866", static_cast<unsigned char>(b))) << "CP866 byte " << b;
        // Every character a page holds goes back to its byte.
        if (b != 0x98) {
            EXPECT_EQ(db::toCp1251(db::fromCp1251(one)), one) << "CP1251 byte " << b;
        }
        EXPECT_EQ(db::toCp866(db::fromCp866(one)), one) << "CP866 byte " << b;
    }
}

TEST(Codec, RussianAlphabetInBothCodePages)
{
    const QString all = kUpper + kLower + QStringLiteral("Ёё№");
    EXPECT_EQ(db::toCp1251(all), range(0xC0, 0xFF) + QByteArray("\xA8\xB8\xB9"));
    EXPECT_EQ(db::toCp866(all), range(0x80, 0xAF) + range(0xE0, 0xEF) + QByteArray("\xF0\xF1\xFC"));
    EXPECT_EQ(db::fromCp1251(db::toCp1251(all)), all);
    EXPECT_EQ(db::fromCp866(db::toCp866(all)), all);
    EXPECT_EQ(db::toCp866(QStringLiteral("Итого: 12,50 руб.")), QByteArray("\x88\xe2\xae\xa3\xae: 12,50 \xe0\xe3\xa1."));
}

TEST(Codec, UnmappableCharactersBecomeQuestionMarks)
{
    // Box drawing exists in CP866 only, the euro sign in Windows-1251 only.
    // Windows-1251 loses characters only where a text is matched, never stored.
    EXPECT_EQ(db::toCp1251Lossy(QStringLiteral("a═b")), QByteArray("a?b"));
    EXPECT_EQ(db::toCp866(QStringLiteral("5€")), QByteArray("5?"));
    EXPECT_EQ(db::toCp1251Lossy(QStringLiteral("Ä中\uFFFD")), QByteArray("???"));
    EXPECT_EQ(db::toCp866(QStringLiteral("«й»")), QByteArray("?\xa9?"));
    // A character outside the basic plane is one '?' per UTF-16 unit.
    EXPECT_EQ(db::toCp1251Lossy(QStringLiteral("x\U0001F600")), QByteArray("x??"));
    EXPECT_EQ(db::fromCp1251(QByteArray("\x98")), QString(QChar(0xFFFD)));
}

TEST(Codec, TextWindows1251CannotHoldIsRefusedNamingItsCharacters)
{
    EXPECT_EQ(db::unstorableCharacters(QStringLiteral("Crème brûlée")), QStringLiteral("èûé"));
    EXPECT_EQ(db::unstorableCharacters(QStringLiteral("Käse & Crêpes 🍕 🍕")), QStringLiteral("äê🍕"));  // the emoji whole, once
    EXPECT_TRUE(db::unstorableCharacters(QStringLiteral("Щи «Д'Артаньян» №5 — 10 €")).isEmpty());
    EXPECT_TRUE(db::unstorableTextRefusal(QStringLiteral("Борщ")).isEmpty());
    EXPECT_EQ(db::unstorableTextRefusal(QStringLiteral("Crème")),
              QStringLiteral("Текст нельзя записать в базу данных: символы \"è\" вне кодировки Windows-1251."));
    try {
        db::toCp1251(QStringLiteral("Käse"));
        ADD_FAILURE() << "stored with a lost character";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("\"ä\""))) << e.message().toStdString();
    }
    EXPECT_EQ(db::toCp1251(QStringLiteral("Щи")), QByteArray("\xd9\xe8"));
}
