#include "util/Clock.h"
#include "util/Scrambler.h"

#include <gtest/gtest.h>

#include <vector>

// Expected bytes were computed by hand from the algorithm (a separate short
// script following the register description step by step), not by this code.

namespace {

QByteArray bytes(std::initializer_list<unsigned char> list)
{
    QByteArray out;
    for (unsigned char c : list)
        out.append(static_cast<char>(c));
    return out;
}

std::vector<int> stream(Scrambler& s, int n)
{
    std::vector<int> out;
    for (int i = 0; i < n; ++i)
        out.push_back(s.NextKeyByte());
    return out;
}

void pinClock(int msec)
{
    Clock::setSource([msec] { return QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9, msec)); });
}

class ScramblerTest : public ::testing::Test {
protected:
    void SetUp() override { pinClock(12); }
    void TearDown() override { Clock::setSource({}); }
    Scrambler s;
};

} // namespace

TEST_F(ScramblerTest, KeystreamAndFixedKeyMatchHandComputedBytes)
{
    EXPECT_EQ(s.SeedFromStamp("202401021530123"), QByteArray("202401021530123"));
    EXPECT_EQ(stream(s, 16), (std::vector<int>{0x0D, 0xD0, 0xB8, 0x0D, 0x71, 0xF4, 0x31, 0x20,
                                               0x03, 0xD7, 0x16, 0xC7, 0x88, 0xDE, 0xD0, 0x4D}));
    s.SeedFromStamp(Scrambler::kFixedKey);
    EXPECT_EQ(stream(s, 16), (std::vector<int>{0x35, 0xD8, 0xC6, 0xC8, 0x20, 0xA3, 0x08, 0xCE,
                                               0x2F, 0xC3, 0x8B, 0x75, 0xE4, 0x18, 0x64, 0x53}));

    // The fixed-key layer undoes itself.
    const QByteArray data = QByteArray("202403070809012") + bytes({0x00, 0xFE, 0x41});
    const QByteArray once = s.ApplyFixedKey(data);
    EXPECT_NE(once, data);
    EXPECT_EQ(s.ApplyFixedKey(once), data);
}

TEST_F(ScramblerTest, SameStampSameStreamAndOnlyFifteenBytesCount)
{
    s.SeedFromStamp("202401021530123");
    const auto first = stream(s, 64);
    s.SeedFromStamp("202401021530123");
    EXPECT_EQ(stream(s, 64), first);
    EXPECT_EQ(s.SeedFromStamp("202401021530123ABCDE"), QByteArray("202401021530123ABCDE"));
    EXPECT_EQ(stream(s, 64), first);
    // A short stamp gives way to the clock's: 2024, March, 07:08:09.012 (no day).
    EXPECT_EQ(s.SeedFromStamp("abc"), QByteArray("202403070809012"));
}

TEST_F(ScramblerTest, ScrambleCarriesTheStampAndRoundTrips)
{
    const QByteArray abc = s.ScrambleString("abc");
    EXPECT_EQ(abc, QByteArray("202403070809012") + bytes({0x2F, 0x13, 0x74}));
    EXPECT_EQ(s.UnscrambleString(abc), QByteArray("abc"));

    pinClock(13);
    const QByteArray later = s.ScrambleString("abc");
    EXPECT_NE(later, abc);
    EXPECT_EQ(s.UnscrambleString(later), QByteArray("abc"));

    EXPECT_EQ(s.ScrambleString(QByteArray()), QByteArray("202403070809013"));
    EXPECT_EQ(s.UnscrambleString("202403070809013"), QByteArray());

    const QByteArray binary = bytes({0x00, 0xFF, 0x80, 0x00, 0x0D, 0x0A});
    EXPECT_EQ(s.UnscrambleString(s.ScrambleString(binary)), binary);
}

TEST_F(ScramblerTest, KeystreamNeverYields255)
{
    s.SeedFromStamp("202401021530123");
    for (int i = 0; i < 200000; ++i)
        ASSERT_NE(s.NextKeyByte(), 255) << "at byte " << i;
}
