#include "Scrambler.h"

#include "Clock.h"

namespace {

// One-based cells of the register that are summed for each new byte.
constexpr std::array<int, 12> kTaps = {1, 3, 5, 7, 11, 13, 17, 19, 23, 29, 36, 127};

void appendDigits(QByteArray& out, int value, int width)
{
    out.append(QByteArray::number(value).rightJustified(width, '0'));
}

} // namespace

std::uint8_t Scrambler::NextKeyByte()
{
    int sum = 0;
    for (int tap : kTaps)
        sum += r_[tap - 1];
    const auto b = static_cast<std::uint8_t>(sum % 255);
    // Shift up by one cell; the last one falls off.
    for (int i = kRegisterSize - 1; i > 0; --i)
        r_[i] = r_[i - 1];
    r_[0] = b;
    return b;
}

QByteArray Scrambler::SeedFromStamp(const QByteArray& stamp)
{
    for (int i = kStampLength; i < kRegisterSize; ++i)
        r_[i] = static_cast<std::uint8_t>(i + 1);
    const QByteArray used = stamp.size() < kStampLength ? TimeStamp() : stamp;
    for (int i = 0; i < kStampLength; ++i)
        r_[i] = static_cast<std::uint8_t>(used[i]);
    for (int i = 0; i < kRegisterSize; ++i)
        NextKeyByte();
    return used;
}

QByteArray Scrambler::ScrambleString(const QByteArray& text)
{
    const QByteArray stamp = SeedFromStamp(QByteArray(1, ' '));
    return stamp + xorWithStream(text);
}

QByteArray Scrambler::UnscrambleString(const QByteArray& scrambled)
{
    SeedFromStamp(scrambled.left(kStampLength));
    return xorWithStream(scrambled.mid(kStampLength));
}

QByteArray Scrambler::ApplyFixedKey(const QByteArray& data)
{
    SeedFromStamp(QByteArray(kFixedKey));
    for (qsizetype i = 0; i < data.size(); ++i)
        NextKeyByte();
    return xorWithStream(data);
}

QByteArray Scrambler::TimeStamp()
{
    const QDateTime now = Clock::now();
    const QDate d = now.date();
    const QTime t = now.time();
    QByteArray s;
    s.reserve(kStampLength);
    appendDigits(s, d.year(), 4);
    appendDigits(s, d.month(), 2);
    appendDigits(s, t.hour(), 2);
    appendDigits(s, t.minute(), 2);
    appendDigits(s, t.second(), 2);
    appendDigits(s, t.msec(), 3);
    return s;
}

QByteArray Scrambler::xorWithStream(const QByteArray& data)
{
    QByteArray out(data.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < data.size(); ++i)
        out[i] = static_cast<char>(static_cast<std::uint8_t>(data[i]) ^ NextKeyByte());
    return out;
}
