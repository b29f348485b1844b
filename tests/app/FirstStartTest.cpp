// A new user's first start: the program's folder holds nothing but the
// program. And the start-up's answers when the connection file or the local
// database cannot be used.

#include "Program.h"

#include "support/ShippedSamplesCheck.h"

#include "templates/SampleTemplates.h"

#include "base/Unit_Base.h"
#include "db/Codec.h"
#include "db/Database.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Vhod.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/ProgramFiles.h"
#include "util/Unit_Util.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The program started from an empty folder of its own, with every message recorded.
class FirstStart : public ::testing::Test {
protected:
    FirstStart()
    {
        oldHome_ = qgetenv("TARELIA_HOME");
        qputenv("TARELIA_HOME", dir_.path().toLocal8Bit());
        folder_ = dir_.path() + QLatin1Char('/');
        Msg::setResponder([this](const Msg::Request& r) {
            messages.append(r.text);
            return 0;
        });
        // The connection dialog, when start-up shows it, is cancelled.
        Msg::setModalHandler([this](QDialog* d) {
            dialogs.append(d->windowTitle());
            return int(QDialog::Rejected);
        });
        CurrentUserFio.clear();
        CurrentUserLogin.clear();
        CurrentUserKod = 0;
    }
    ~FirstStart() override
    {
        if (Form_Main)
            DestroyWindows();
        Msg::setResponder({});
        Msg::setModalHandler({});
        if (oldHome_.isEmpty())
            qunsetenv("TARELIA_HOME");
        else
            qputenv("TARELIA_HOME", oldHome_);
    }
    void write(const QString& name, const QByteArray& bytes)
    {
        QFile f(folder_ + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // The program's start until the message loop would run; false when it ends at once.
    bool start()
    {
        return CreateWindows(true);
    }

    QTemporaryDir dir_;
    QString folder_;
    QByteArray oldHome_;
    QStringList messages;
    QStringList dialogs;
};

} // namespace

TEST_F(FirstStart, AnEmptyFolderGetsTheShippedDatabaseAndReachesTheLogIn)
{
    if (db::Database::localServerListens())
        GTEST_SKIP() << "a Firebird server serves localhost here: the first start opens the file through it";
    ASSERT_TRUE(start());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(QFile::exists(folder_ + QStringLiteral("Net.txt")));
    EXPECT_TRUE(QFile::exists(folder_ + QStringLiteral("basecalc.fdb")));
    ASSERT_TRUE(Form_Base->MyDB->connected());
    EXPECT_EQ(StartupDone, 1);
    ASSERT_EQ(Form_Vhod->ComboBox1->count(), 1);
    EXPECT_EQ(Form_Vhod->ComboBox1->itemText(0), QStringLiteral("Администратор"));
    // Every print list with a sample prints at once: the sample is its default.
    ExpectEverySampleInstalled(*Form_Base->MyDB);

    // The administrator's check field: the empty password followed by his login.
    Form_Base->QRead1->close();
    Form_Base->QRead1->setSql(QStringLiteral("SELECT F FROM PERSON WHERE LOGIN = 'Администратор'"));
    Form_Base->QRead1->open();
    EXPECT_EQ(Form_Util->UnscrambleString(Form_Base->QRead1->field(0).asBytes()), db::toCp1251(QStringLiteral("Администратор")));
    Form_Base->QRead1->close();

    // The new user types the start of the login, the field completes it, Enter logs in.
    Form_Vhod->show();
    QApplication::setActiveWindow(Form_Vhod);  // completion works in the field that has the focus
    Form_Vhod->ComboBox1->lineEdit()->setFocus();
    for (QChar c : QStringLiteral("Адм")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(Form_Vhod->ComboBox1->lineEdit(), &press);
    }
    EXPECT_EQ(Form_Vhod->ComboBox1->currentText(), QStringLiteral("Администратор"));
    QTest::keyClick(Form_Vhod->ComboBox1->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(Form_Vhod->result(), QDialog::Accepted) << messages.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(CurrentUserLogin, QStringLiteral("Администратор"));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QStringLiteral(" | ")).toStdString();
}

TEST(MakeDatabase, WritesTheShippedDatabaseWithEverySampleTemplate)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/basecalc.fdb");
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/make_database"), {path});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    db::Database database;
    database.setDatabaseName(path);
    database.open();
    ExpectEverySampleInstalled(database);
    database.close();

    // The same samples from a folder pass its checks: each table is read as a workbook.
    const QDir samples(dir.path() + QStringLiteral("/samples"));
    samples.mkpath(QStringLiteral("."));
    for (const QString& f : QDir(templates::ShippedSamplesFolder()).entryList({QStringLiteral("*.sql"), QStringLiteral("*.xls")}))
        QFile::copy(templates::ShippedSamplesFolder() + QLatin1Char('/') + f, samples.filePath(f));
    QProcess loaded;
    loaded.start(QCoreApplication::applicationDirPath() + QStringLiteral("/make_database"),
                 {dir.path() + QStringLiteral("/loaded.fdb"), samples.path()});
    ASSERT_TRUE(loaded.waitForFinished(60000));
    EXPECT_EQ(loaded.exitCode(), 0) << loaded.readAllStandardError().toStdString();
    QFile::remove(dir.path() + QStringLiteral("/loaded.fdb"));

    // Asked for its usage, or given an option it does not know, it writes nothing.
    for (const QStringList& args : {QStringList{QStringLiteral("--help")}, QStringList{QStringLiteral("-h")},
                                    QStringList{QStringLiteral("--force")}}) {
        QProcess asked;
        asked.setWorkingDirectory(dir.path());
        asked.start(QCoreApplication::applicationDirPath() + QStringLiteral("/make_database"), args);
        ASSERT_TRUE(asked.waitForFinished(60000));
        const bool help = args[0] != QLatin1String("--force");
        EXPECT_EQ(asked.exitCode(), help ? 0 : 2) << args[0].toStdString();
        const QString usage = QString::fromUtf8(help ? asked.readAllStandardOutput() : asked.readAllStandardError());
        EXPECT_TRUE(usage.startsWith(QStringLiteral("Использование: make_database"))) << usage.toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("basecalc.fdb")});
    }
}

// A database that could not print or could not be made is refused in words,
// with no file left behind.
TEST(MakeDatabase, RefusesInWordsAndLeavesNoFile)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    d.mkdir(QStringLiteral("empty"));
    d.mkdir(QStringLiteral("half"));
    QFile(d.filePath(QStringLiteral("half/waybill.sql"))).open(QIODevice::WriteOnly);
    // Samples that cannot print: a table that is no workbook, one that cannot be read, statements the database refuses.
    for (const char* folder : {"damaged", "unreadable", "invalid"}) {
        d.mkdir(QString::fromLatin1(folder));
        QFile::copy(templates::ShippedSamplesFolder() + QStringLiteral("/menu.sql"),
                    d.filePath(QString::fromLatin1(folder) + QStringLiteral("/menu.sql")));
    }
    QFile damaged(d.filePath(QStringLiteral("damaged/menu.xls")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    QFile sample(templates::ShippedSamplesFolder() + QStringLiteral("/menu.xls"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    damaged.write(sample.readAll().chopped(600));  // cut short
    damaged.close();
    QFile::link(QStringLiteral("/proc/self/mem"), d.filePath(QStringLiteral("unreadable/menu.xls")));  // refused to root too
    sample.copy(d.filePath(QStringLiteral("invalid/menu.xls")));
    QFile invalid(d.filePath(QStringLiteral("invalid/menu.sql")));
    ASSERT_TRUE(invalid.open(QIODevice::WriteOnly));
    invalid.write("INSERT INTO NO_SUCH_TABLE VALUES (:FORM);\n");
    invalid.close();
    const QString file = d.filePath(QStringLiteral("basecalc.fdb"));
    const struct {
        QStringList args;
        QString words;
    } cases[] = {
        {{QString()}, QStringLiteral("Не указано имя файла базы данных.")},
        {{d.filePath(QStringLiteral("нет/basecalc.fdb"))}, QStringLiteral("Папки < %1 > нет").arg(d.filePath(QStringLiteral("нет")))},
        {{d.filePath(QString(200, QChar(0x44F)) + QStringLiteral(".fdb"))}, QStringLiteral("слишком длинное")},
        {{file, d.filePath(QStringLiteral("нет"))}, QStringLiteral("Папки образцов шаблонов < %1 > нет").arg(d.filePath(QStringLiteral("нет")))},
        {{file, d.filePath(QStringLiteral("empty"))}, QStringLiteral("нет ни одного образца шаблона")},
        {{file, d.filePath(QStringLiteral("half"))}, QStringLiteral("нет его таблицы < waybill.xls >")},
        {{d.filePath(QStringLiteral("half/waybill.sql/basecalc.fdb"))},
         QStringLiteral("< %1 > — это файл, а не папка").arg(d.filePath(QStringLiteral("half/waybill.sql")))},
        {{QStringLiteral("/sys/kernel/basecalc.fdb")}, QStringLiteral("в папку /sys/kernel нельзя записывать")},  // refused to root too
        {{file, d.filePath(QStringLiteral("damaged"))},
         QStringLiteral("Таблица образца < %1 > повреждена").arg(d.filePath(QStringLiteral("damaged/menu.xls")))},
        {{file, d.filePath(QStringLiteral("unreadable"))},
         QStringLiteral("Файл образца < %1 > не читается").arg(d.filePath(QStringLiteral("unreadable/menu.xls")))},
        {{file, d.filePath(QStringLiteral("invalid"))},
         QStringLiteral("Образец шаблона < %1 > не загружен: база данных не приняла его оператор № 1")
             .arg(d.filePath(QStringLiteral("invalid/menu.sql")))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/make_database"), c.args);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 1);
        const QString told = QString::fromUtf8(p.readAllStandardError());
        EXPECT_TRUE(told.contains(c.words)) << told.toStdString();
        for (const char* english : {"I/O error", "Permission denied", "Dynamic SQL", "cannot read"})
            EXPECT_FALSE(told.contains(QString::fromLatin1(english))) << told.toStdString();
        EXPECT_TRUE(d.entryList(QDir::Files).isEmpty()) << "left: " << d.entryList(QDir::Files).join(QLatin1Char(' ')).toStdString();
    }
}

TEST_F(FirstStart, AConnectionFileThatCannotBeReadLeavesTheProgramUp)
{
    write(QStringLiteral("Net.txt"), "Local\r\n");  // one line only
    ASSERT_TRUE(start()) << "the program ended";
    EXPECT_FALSE(Form_Base->MyDB->connected());
    EXPECT_EQ(StartupDone, 0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Net.txt"))) << messages[0].toStdString();
    EXPECT_TRUE(Form_Main->Btn_Net->isVisibleTo(Form_Main));
    EXPECT_TRUE(dialogs.isEmpty());
}

TEST_F(FirstStart, ALocalFileThatCannotBeOpenedIsNamedWithoutSendingForAServer)
{
    write(QStringLiteral("basecalc.fdb"), QByteArray(4096, 'x'));  // not a database
    write(QStringLiteral("Net.txt"), "Local\r\n" + db::toCp1251(folder_) + "basecalc.fdb\r\n");
    EXPECT_FALSE(start());
    ASSERT_EQ(messages.size(), 2) << messages.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(messages[0].contains(folder_ + QStringLiteral("basecalc.fdb"))) << messages[0].toStdString();
    EXPECT_FALSE(messages[0].contains(QStringLiteral("FireBird"))) << messages[0].toStdString();
    EXPECT_EQ(dialogs.size(), 1);  // the connection settings, cancelled
    // Even then the program says why it ends before it does.
    EXPECT_EQ(messages[1], QStringLiteral("Для вступления изменений настроек в силу, программу необходимо перезагрузить !"));
    EXPECT_EQ(QFile(folder_ + QStringLiteral("basecalc.fdb")).size(), 4096);  // left as it was
}
