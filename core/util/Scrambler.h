#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>

// Hides short secrets (passwords, the database password file) and the text of
// the point-of-sale exchange files by XOR-ing them with the bytes of a small
// additive register generator. Everything here is a byte string: a scrambled
// value may hold any byte, zero included.
//
// Every operation reseeds the register first; an instance is not reentrant.
class Scrambler {
public:
    static constexpr int kRegisterSize = 128;
    static constexpr int kStampLength = 15;
    // Seed of the database password file's outer layer.
    static constexpr const char* kFixedKey = "MMMNNNBBBVVVCCC";

    // Advances the register one step and returns the new byte (0..254).
    std::uint8_t NextKeyByte();

    // Seeds the register with the first 15 bytes of the stamp; a stamp shorter
    // than 15 bytes is replaced by the current time stamp. Returns the stamp
    // used (the whole given one when it was long enough).
    QByteArray SeedFromStamp(const QByteArray& stamp);

    // The current time stamp followed by the text XOR-ed with the keystream
    // seeded by it; 15 + text.size() bytes.
    QByteArray ScrambleString(const QByteArray& text);

    // Reverses ScrambleString: everything after the 15-byte stamp, XOR-ed with
    // the keystream of that stamp. Empty for 15 bytes or fewer.
    QByteArray UnscrambleString(const QByteArray& scrambled);

    // Seeds with the fixed key, skips data.size() bytes and XORs the data with
    // the following ones. Its own inverse.
    QByteArray ApplyFixedKey(const QByteArray& data);

    // "yyyymmhhnnsszzz" of the program clock: year, month, hour, minute,
    // second, millisecond (no day of the month).
    static QByteArray TimeStamp();

private:
    QByteArray xorWithStream(const QByteArray& data);

    std::array<std::uint8_t, kRegisterSize> r_{}; // r_[0] is the register's first cell
};
