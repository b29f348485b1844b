#include "util/Clock.h"
#include "util/ProgramFiles.h"
#include "util/Scrambler.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class ProgramFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        savedHome = qgetenv("TARELIA_HOME");
        hadHome = qEnvironmentVariableIsSet("TARELIA_HOME");
        setHome(dir.path());
        Clock::setSource([] { return QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9, 12)); });
    }
    void TearDown() override
    {
        Clock::setSource({});
        if (hadHome)
            qputenv("TARELIA_HOME", savedHome);
        else
            qunsetenv("TARELIA_HOME");
    }
    static void setHome(const QString& path) { qputenv("TARELIA_HOME", path.toUtf8()); }

    QByteArray fileBytes(const QString& name) const
    {
        QFile f(programFolder() + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void putFile(const QString& name, const QByteArray& content) const
    {
        QFile f(programFolder() + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    QTemporaryDir dir;
    QByteArray savedHome;
    bool hadHome = false;
    Scrambler scrambler;
};

} // namespace

TEST_F(ProgramFilesTest, PasswordFileRoundTripsAndMatchesHandComputedBytes)
{
    EXPECT_EQ(programFolder(), dir.path() + "/");
    EXPECT_FALSE(readPswTxt(scrambler).has_value());

    writePswTxt("secret1", scrambler);
    // Hand-computed: stamp 202403070809012 + "secret1", then the fixed-key layer.
    const unsigned char expected[] = {0x70, 0xBE, 0xD4, 0x16, 0xE7, 0x70, 0x82, 0x29, 0x93, 0x56, 0x1E,
                                      0x2D, 0x75, 0xCC, 0xB7, 0xD0, 0xB4, 0xD3, 0x93, 0xE8, 0x11, 0x7D};
    EXPECT_EQ(fileBytes("psw.txt"), QByteArray(reinterpret_cast<const char*>(expected), sizeof expected));
    EXPECT_EQ(readPswTxt(scrambler), QByteArray("secret1"));
}

TEST_F(ProgramFilesTest, DefaultNetTxtIsWindows1251WithCrLf)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Кухня")));
    setHome(dir.path() + QStringLiteral("/Кухня"));

    EXPECT_TRUE(ensureDefaultNetTxt());
    const QByteArray folder = dir.path().toUtf8() + "/\xCA\xF3\xF5\xED\xFF/";
    EXPECT_EQ(fileBytes("Net.txt"), "Local\r\nlocalhost:" + folder + "basecalc.fdb\r\n");
    EXPECT_EQ(readNetTxt().connection, QStringLiteral("localhost:") + programFolder() + "basecalc.fdb");

    writeNetTxt({"Net-IP", "server:/srv/db/basecalc.fdb"});
    EXPECT_FALSE(ensureDefaultNetTxt());
    EXPECT_EQ(readNetTxt().mode, QStringLiteral("Net-IP"));
}

TEST_F(ProgramFilesTest, NetTxtSecondLineIsKeptExactly)
{
    putFile("Net.txt", "Net-IP\nserver:/srv/db/basecalc.fdb  \n");
    NetSettings s = readNetTxt();
    EXPECT_EQ(s.mode, QStringLiteral("Net-IP"));
    EXPECT_EQ(s.connection, QStringLiteral("server:/srv/db/basecalc.fdb  "));

    putFile("Net.txt", "Local\r\n \tlocalhost:/x/\xE1\xE0\xE7\xE0.fdb");
    EXPECT_EQ(readNetTxt().connection, QStringLiteral(" \tlocalhost:/x/база.fdb"));
}

TEST_F(ProgramFilesTest, BadNetTxtIsReportedAndLeftAsItWas)
{
    EXPECT_THROW(readNetTxt(), std::runtime_error);
    putFile("Net.txt", "Local\r\n");
    try {
        readNetTxt();
        ADD_FAILURE() << "a one-line Net.txt was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("Net.txt"), std::string::npos) << e.what();
    }

    EXPECT_THROW(writeNetTxt({"Local", QStringLiteral("localhost:/数据/basecalc.fdb")}), std::runtime_error);
    EXPECT_EQ(fileBytes("Net.txt"), QByteArray("Local\r\n"));
}
