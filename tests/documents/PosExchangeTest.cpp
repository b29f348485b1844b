// The exchange as the windows run it: dialogs answered, files written, the
// document and its protocol line committed together or not at all.

#include "support/ListTables.h"
#include "ExchangeCatalogue.h"

#include "PosExchange.h"
#include "Unit_MenusTab.h"
#include "exchange/MenuExport.h"

#include "support/AppEnv.h"

#include "base/Unit_Base.h"
#include "db/Codec.h"
#include "ui/Unit_Alarm.h"
#include "ui/Unit_RG.h"
#include "util/Scrambler.h"
#include "util/Settings.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace exchange_test;

namespace {

// Form_RG answered with an item (or cancelled), Form_Alarm closed with its text kept.
struct Dialogs {
    Dialogs()
    {
        Msg::setModalHandler([this](QDialog* w) {
            if (w == Form_RG) {
                if (rgItem < 0)
                    return static_cast<int>(QDialog::Rejected);
                Form_RG->RG->setItemIndex(rgItem);
                return static_cast<int>(QDialog::Accepted);
            }
            if (w == Form_Alarm) {
                ++alarms;
                alarmText = Form_Alarm->Memo1->toPlainText();
            }
            return static_cast<int>(QDialog::Rejected);
        });
    }
    ~Dialogs() { Msg::setModalHandler({}); }

    int rgItem = 0;
    QString alarmText;
    int alarms = 0;
};

QByteArray readFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class PosExchange : public ::testing::Test {
protected:
    PosExchange()
    {
        env.loginAs(QStringLiteral("Администратор"));
        makeCatalogue(env.testDb());
        out = env.testDb().folder() + QStringLiteral("out/");
        QDir().mkpath(out);
        SetExchangeFileDialogs({[this](const QString& proposed, const QString&, const QString&) {
                                    proposedName = proposed;
                                    return chosen;
                                },
                                [this](const QString& filter) {
                                    openFilter = filter;
                                    return chosen;
                                }});
    }
    ~PosExchange() override { SetExchangeFileDialogs({}); }

    int count(const QString& sql) { return env.testDb().scalar(sql).toInt(); }
    int documents() { return count("SELECT COUNT(*) FROM DOCS") + count("SELECT COUNT(*) FROM REAL_BLUDO"); }
    int protocolLines() { return count("SELECT COUNT(*) FROM LOG_TABLE"); }
    QString lastAction()
    {
        return env.testDb().scalar("SELECT ARM || ': ' || WHAT_ACTION FROM LOG_TABLE ORDER BY KOD DESC ROWS 1").toString();
    }
    QStringList outFiles() { return QDir(out).entryList(QDir::Files); }

    // A totals file of the companion program, scrambled with the program's scrambler.
    QByteArray pdz(const QStringList& items)
    {
        QStringList lines = {QStringLiteral("<<<< ИТОГОВЫЙ ФАЙЛ ПОДАВАЛЬНИ >>>>"), "6", "12", "2026", QStringLiteral("Смена 3"), ""};
        lines += items;
        lines << QStringLiteral("<<<< ОТЛОЖЕННЫЕ ПЛАТЕЖИ И СКИДКИ >>>>") << QStringLiteral("<<<< КОНЕЦ ИТОГОВОГО ФАЙЛА ПОДАВАЛЬНИ >>>>");
        QByteArray plain;
        for (const QString& l : lines)
            plain += db::toCp1251(l) + "\r\n";
        Scrambler s;
        return exchange::PackContainer(plain, s, "202612061900000");
    }

    AppEnv env;
    QString out;
    QString chosen;
    QString proposedName;
    QString openFilter;
};

} // namespace

// ---- menu export ----

TEST_F(PosExchange, MenuFileIsWrittenAndLogged)
{
    chosen = out + QStringLiteral("Обед.mnu");
    ASSERT_TRUE(ExportMenuFile(kMenu));
    EXPECT_EQ(proposedName, QStringLiteral("Обед.mnu"));
    EXPECT_EQ(outFiles(), QStringList{QStringLiteral("Обед.mnu")});  // no plain copy beside it
    const QByteArray file = readFile(chosen);
    const QString text = db::fromCp1251(Scrambler().UnscrambleString(file.left(15) + file.mid(25)));
    EXPECT_TRUE(text.startsWith(QStringLiteral("<<<< МЕНЮ ПРОГРАММЫ ТАРЕЛИЯ >>>>\r\n900030\r\n07\r\n12\r\n2026\r\nОбед\r\n"
                                               "<<<< НОВАЯ ГРУППА МЕНЮ >>>>\r\n900040\r\nСупы\r\n1\r\n900002\r\nКухня\r\n"
                                               "900020\r\nБорщ\r\n55\r\n250\r\nсо сметаной\r\n1\r\n0\r\n1\r\n\r\n15\r\n\r\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("900021\r\nКомпот\r\n13,75\r\n")));
    EXPECT_EQ(lastAction(), QStringLiteral("Меню / Наряды: Выгрузка меню <<Обед>> от 07.12.2026 для программы \"Подавальня\""));
    EXPECT_TRUE(env.sawMessage(QStringLiteral("Выгрузка меню закончена.")));
}

// The proposed name holds only what a file name can, and ends in ".mnu"; a
// name chosen without it (here the proposal with its extension erased) gets it.
TEST_F(PosExchange, MenuFileNameIsSafeAndEndsInMnu)
{
    const struct {
        const char* menu;
        const char* proposed;
    } cases[] = {
        {"Обед 03.12", "Обед 03.12.mnu"},
        {"Обед 05/12 \"Бизнес\"", "Обед 05_12 _Бизнес_.mnu"},
        {"..\\Ужин: 1*2?<3>| .", "_Ужин_ 1_2__3__.mnu"},
        {"...", "Меню.mnu"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.menu);
        env.testDb().exec(QStringLiteral("UPDATE MENU SET NAME = '%1' WHERE KOD = %2").arg(QString::fromUtf8(c.menu)).arg(kMenu));
        const QString proposed = QString::fromUtf8(c.proposed);
        chosen = out + proposed.chopped(4);
        ASSERT_TRUE(ExportMenuFile(kMenu));
        EXPECT_EQ(proposedName, proposed);
        EXPECT_TRUE(outFiles().contains(proposed)) << outFiles().join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_EQ(outFiles().size(), 4);
    // The file the chosen name becomes is there already: replaced only when the user agrees.
    writeFile(out + QStringLiteral("Меню.mnu"), "an older menu");
    env.answers = {0};
    EXPECT_FALSE(ExportMenuFile(kMenu));
    EXPECT_EQ(readFile(out + QStringLiteral("Меню.mnu")), QByteArray("an older menu"));
}

TEST_F(PosExchange, MenuFileRefusedOrCancelledLeavesNothing)
{
    const int lines = protocolLines();
    chosen.clear();
    EXPECT_FALSE(ExportMenuFile(kMenu));
    EXPECT_TRUE(env.messages.isEmpty());

    env.testDb().exec("UPDATE ING_SKLAD SET MY_CENA = 0 WHERE KOD = 900022");
    chosen = out + QStringLiteral("Обед.mnu");
    writeFile(chosen, "an older menu");
    EXPECT_FALSE(ExportMenuFile(kMenu));
    EXPECT_TRUE(env.sawMessage(QStringLiteral("Нет продажной цены блюда <<Салат>>. Выгрузка меню прервана.")));
    EXPECT_EQ(readFile(chosen), QByteArray("an older menu"));
    EXPECT_EQ(outFiles(), QStringList{QStringLiteral("Обед.mnu")});
    EXPECT_EQ(protocolLines(), lines);

    // A file that cannot be written is named with the cause in words, not the system's English.
    env.testDb().exec("UPDATE ING_SKLAD SET MY_CENA = 7 WHERE KOD = 900022");
    writeFile(out + "file", "x");
    QDir().mkpath(out + "folder.mnu");
    std::vector<std::pair<QString, QString>> unwritable = {
        {out + "missing/Обед.mnu", QStringLiteral("папки ") + out + QStringLiteral("missing нет. Выберите другую папку")},
        {out + "file/Обед.mnu", out + QStringLiteral("file — это файл, а не папка. Выберите другую папку")},
        {out + "folder.mnu", QStringLiteral("это папка, а не файл. Выберите другое имя файла")}};
    if (QFileInfo(QStringLiteral("/sys/kernel")).isDir())  // refused to root too
        unwritable.push_back({QStringLiteral("/sys/kernel/Обед.mnu"),
                              QStringLiteral("в папку /sys/kernel нельзя записывать. Выберите другую папку")});
    for (const auto& [path, cause] : unwritable) {
        env.messages.clear();
        chosen = path;
        EXPECT_FALSE(ExportMenuFile(kMenu));
        EXPECT_EQ(env.messages, QStringList{QStringLiteral("Не удалось записать файл ") + path + QStringLiteral(": ") + cause});
    }
    EXPECT_EQ(protocolLines(), lines);
}

TEST_F(PosExchange, TorgServiceTablesAreWrittenAndLogged)
{
    Dialogs d;
    chosen = out + QStringLiteral("Products.dbf");
    ASSERT_TRUE(ExportMenuTorgService(kMenu));
    EXPECT_EQ(proposedName, QStringLiteral("Products.dbf"));
    EXPECT_EQ(outFiles(), (QStringList{"Names.dbf", "Products.dbf", "Zimp.zfl"}));
    EXPECT_EQ(readFile(out + "Zimp.zfl"), QByteArray("CLEAR_PRODUCTS\r\n"));
    const auto products = exchange::dbf::Read(readFile(chosen));
    const auto names = exchange::dbf::Read(readFile(out + "Names.dbf"));
    ASSERT_TRUE(products && names);
    ASSERT_EQ(products->records.size(), 2);  // the inactive compote stays out
    EXPECT_EQ(products->records[0][0], QByteArray("0000000900020"));
    EXPECT_EQ(products->records[1][0], QByteArray("0000000900022"));
    EXPECT_EQ(names->records.size(), 2);
    EXPECT_EQ(lastAction(), QStringLiteral("Меню / Наряды: Выгрузка меню <<Обед>> от 07.12.2026 для программы \"TorgService\""));
}

TEST_F(PosExchange, TorgServiceWithTillCodesNeedsEveryCode)
{
    Dialogs d;
    d.rgItem = 1;
    chosen = out + QStringLiteral("Products.dbf");
    const int lines = protocolLines();
    EXPECT_FALSE(ExportMenuTorgService(kMenu));
    EXPECT_EQ(d.alarms, 1);
    EXPECT_TRUE(d.alarmText.contains(QStringLiteral("Подразделение < Бар >\nКомпот\n")));
    EXPECT_TRUE(outFiles().isEmpty());
    EXPECT_EQ(protocolLines(), lines);

    env.testDb().exec("UPDATE ING_SKLAD SET KOD_KASSA = 5 WHERE KOD = 900021");
    ASSERT_TRUE(ExportMenuTorgService(kMenu));
    const auto products = exchange::dbf::Read(readFile(chosen));
    ASSERT_TRUE(products);
    EXPECT_EQ(products->records[0][0], QByteArray("0000000000017"));

    d.rgItem = -1;  // a cancelled choice writes nothing more
    QFile::remove(chosen);
    EXPECT_FALSE(ExportMenuTorgService(kMenu));
    EXPECT_FALSE(QFile::exists(chosen));
}

// ---- shift totals ----

TEST_F(PosExchange, TotalsWaitForUnpostedInventories)
{
    env.testDb().exec("INSERT INTO DOCS (KOD, NAME, DOC_TYPE, PROVODKA) VALUES (900100, 'Инв', 1, 1)");
    chosen = out + "shift.pdz";
    writeFile(chosen, pdz({"900020", "55", "1"}));
    const int before = documents();
    EXPECT_EQ(TakeShiftTotals(), 0);
    EXPECT_TRUE(env.sawMessage(QStringLiteral("Нельзя принять документ РЕАЛИЗАЦИИ/ПРОИЗВОДСТВА пока имеются непроведённые "
                                              "документы ИНВЕНТАРИЗАЦИИ ! Сначала нужно эти документы провести или удалить.")));
    EXPECT_TRUE(openFilter.isEmpty());
    EXPECT_EQ(documents(), before);
}

TEST_F(PosExchange, CompanionTotalsBecomeOneSalesDocument)
{
    chosen = out + "shift.pdz";
    writeFile(chosen, pdz({"900020", "55.00", "2", "900022", "44,00", "1"}));
    qint64 shown = 0;
    const qint64 doc = TakeShiftTotals([&shown](qint64 k) { shown = k; });
    ASSERT_GT(doc, 0);
    EXPECT_EQ(shown, doc);
    EXPECT_EQ(openFilter, QStringLiteral("Итоги программы \"Подавалня\" (*.pdz)"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM REAL_BLUDO WHERE KOD_DOC = " + QString::number(doc)), 2);
    EXPECT_EQ(env.testDb().scalar("SELECT NAME FROM DOCS WHERE KOD = " + QString::number(doc)).toString(), QStringLiteral("Смена 3"));
    EXPECT_EQ(lastAction(), QStringLiteral("Производство и реализация: Приём итогов из программы \"Подавальни\""));
    EXPECT_EQ(env.messages.last(), QStringLiteral("Прием документа закончен!"));
    EXPECT_EQ(outFiles(), QStringList{"shift.pdz"});  // no unscrambled copy left
}

TEST_F(PosExchange, UnknownCodesAskBeforeGoingOn)
{
    Dialogs d;
    chosen = out + "shift.pdz";
    writeFile(chosen, pdz({"900020", "55", "2", "1 OR 1=1", "1", "1", "777", "1", "1"}));
    const int before = documents();
    const int lines = protocolLines();
    env.answers = {0};  // Cancel
    EXPECT_EQ(ImportShiftTotals(), 0);
    EXPECT_EQ(d.alarmText, QStringLiteral("Коды блюд необнаруженные в Вашей базе.\nУзнать наименования этих блюд вы можете\n"
                                          "в программе \"Подавальня\".\n \n1 OR 1=1\n777"));
    EXPECT_TRUE(env.sawMessage(QStringLiteral("Продолжить приём итогов смены без этих блюд?")));
    EXPECT_EQ(documents(), before);
    EXPECT_EQ(protocolLines(), lines);

    env.answers = {1};  // OK: only the known dish
    const qint64 doc = ImportShiftTotals();
    ASSERT_GT(doc, 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM REAL_BLUDO WHERE KOD_DOC = " + QString::number(doc)), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ING_SKLAD"), 3);  // the code line ran nowhere
}

TEST_F(PosExchange, RejectedTotalsWriteNothing)
{
    Dialogs d;
    chosen = out + "shift.pdz";
    const int before = documents();
    const int lines = protocolLines();
    const QString damaged =
        QStringLiteral("Выбранный файл повреждён или не является итоговым файлом модуля \"Подавальния\". Обработка завершена.");

    QByteArray changed = pdz({"900020", "55", "2"});
    changed[30] = static_cast<char>(changed[30] ^ 0x20);
    for (const QByteArray& bad : {changed, pdz({"900020", "пять", "2"})}) {
        env.messages.clear();
        writeFile(chosen, bad);
        EXPECT_EQ(ImportShiftTotals(), 0);
        EXPECT_EQ(env.messages, QStringList{damaged});
    }

    // A quantity no kitchen sells, with a right check sum: refused by its line.
    env.messages.clear();
    writeFile(chosen, pdz({"900020", "55", "-9223372036854775808"}));
    EXPECT_EQ(ImportShiftTotals(), 0);
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Итоги смены не приняты. Строка 9: количество -9223372036854775808 вне "
                                                       "допустимых пределов (по модулю не больше 1000000). Обработка завершена.")});

    env.messages.clear();
    env.answers = {1};
    writeFile(chosen, pdz({"777", "55", "2"}));
    EXPECT_EQ(ImportShiftTotals(), 0);
    EXPECT_TRUE(env.sawMessage(
        QStringLiteral("В принимаемых итогах нет ниодного блюда из Вашей базы данных. Приём итогов закончен.")));

    chosen.clear();  // the open dialog cancelled
    EXPECT_EQ(ImportShiftTotals(), 0);
    EXPECT_EQ(documents(), before);
    EXPECT_EQ(protocolLines(), lines);
}

TEST_F(PosExchange, TillTotalsBecomeOneSalesDocument)
{
    Dialogs d;
    MyParams->v.obmen = 1;
    chosen = out + "smena.dbf";
    writeFile(chosen, tillTable({{code13(kBorschRow), 1, 55}, {code13(kBorschRow), 2, 55}, {"00017", 1, 1}}));
    const qint64 doc = TakeShiftTotals();
    ASSERT_GT(doc, 0);
    EXPECT_EQ(openFilter, QStringLiteral("Итоги программы \"TorgService\" (*.dbf)"));
    EXPECT_EQ(env.testDb().scalar("SELECT SUM(KOLVO) FROM REAL_BLUDO WHERE KOD_DOC = " + QString::number(doc)).toDouble(), 3);
    EXPECT_EQ(lastAction(), QStringLiteral("Производство и реализация: Приём итогов из программы \"TorgService\""));
    EXPECT_EQ(outFiles(), QStringList{"smena.dbf"});
}

TEST_F(PosExchange, HostileTillTablesWriteNothing)
{
    Dialogs d;
    chosen = out + "smena.dbf";
    const int before = documents();
    const int lines = protocolLines();
    const QByteArray good = tillTable({{code13(kBorschRow), 1, 55}, {code13(kSaladRow), 1, 44}});
    QByteArray header = good;
    header[8] = static_cast<char>(static_cast<quint8>(header[8]) + 7);
    const QString damaged = QStringLiteral(
        "Выбранный файл повреждён или не является итоговой таблицей программы \"TorgService\". Обработка завершена.");
    for (const QByteArray& bad : {good.left(good.size() - 30), header, QByteArray("not a table")}) {
        env.messages.clear();
        writeFile(chosen, bad);
        EXPECT_EQ(ImportTorgServiceTotals(), 0);
        EXPECT_EQ(env.messages, QStringList{damaged});
    }

    // A table that cannot be opened is named with the cause in words, not the system's English.
    const std::pair<QString, QString> unreadable[] = {{out + "none.dbf", QStringLiteral("такого файла нет")},
                                                      {out, QStringLiteral("это папка, а не файл")}};
    for (const auto& [path, cause] : unreadable) {
        env.messages.clear();
        chosen = path;
        EXPECT_EQ(ImportTorgServiceTotals(), 0);
        EXPECT_EQ(env.messages, QStringList{QStringLiteral("Не удалось открыть файл ") + QDir::toNativeSeparators(path) +
                                            QStringLiteral(": ") + cause});
    }
    chosen = out + "smena.dbf";

    env.messages.clear();
    writeFile(chosen, tillTable({{code13(kBorschRow), 1, 55}, {code13(999999), 1, 44}}));
    EXPECT_EQ(ImportTorgServiceTotals(), 0);
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("В принимаемом файле имеются блюда, которые отсутствуют в Вашей базе. "
                                                       "Операция производиться не будет.")});
    EXPECT_EQ(documents(), before);
    EXPECT_EQ(protocolLines(), lines);
}

// ---- the menus tab ----

TEST_F(PosExchange, SendButtonExportsTheCurrentMenu)
{
    MenusTab->Q_Menu->close();
    MenusTab->Q_Menu->setSql(QStringLiteral("SELECT * FROM MENU WHERE KOD = 900030"));
    MenusTab->Q_Menu->open();
    chosen = out + QStringLiteral("Обед.mnu");
    ASSERT_EQ(MenusTab->Q_Menu->recordCount(), 1);
    emit MenusTab->Btn_Sent_Menu->clicked();  // the tab is hidden until log-in
    EXPECT_TRUE(QFile::exists(chosen));
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Выгрузка меню закончена.")});

    Dialogs d;
    MyParams->v.obmen = 1;
    chosen = out + QStringLiteral("Products.dbf");
    emit MenusTab->Btn_Sent_Menu->clicked();  // the tab is hidden until log-in
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("Zimp.zfl")));
}

TEST_F(PosExchange, AfterAnExportTheMenusTabStandsOnTheFirstSectionOrOnTheDishWithoutAPrice)
{
    db::Query* razdel = MenusTab->Q_Menu_Razdel;
    StandInStatement standIn(razdel);
    auto openSections = [razdel] {
        razdel->close();
        razdel->setSql(QStringLiteral("SELECT * FROM MENU_RAZDEL WHERE KOD_MENU = 900030 ORDER BY MY_SORT"));
        razdel->open();
        razdel->last();
    };
    chosen = out + QStringLiteral("Обед.mnu");
    openSections();
    ASSERT_EQ(razdel->field(QStringLiteral("KOD")).asInt64(), 900041);
    ASSERT_TRUE(ExportMenuFile(kMenu));
    EXPECT_EQ(razdel->field(QStringLiteral("KOD")).asInt64(), 900040);

    chosen = out + QStringLiteral("Products.dbf");
    openSections();
    {
        Dialogs d;
        ASSERT_TRUE(ExportMenuTorgService(kMenu));
    }
    EXPECT_EQ(razdel->field(QStringLiteral("KOD")).asInt64(), 900040);

    // Stopped at the drinks' compote: the tab stands on the drinks.
    env.testDb().exec("UPDATE ING_SKLAD SET MY_CENA = 0 WHERE KOD = 900021");
    chosen = out + QStringLiteral("Обед2.mnu");
    openSections();
    razdel->first();
    EXPECT_FALSE(ExportMenuFile(kMenu));
    EXPECT_TRUE(env.sawMessage(QStringLiteral("Нет продажной цены блюда <<Компот>>. Выгрузка меню прервана.")));
    EXPECT_EQ(razdel->field(QStringLiteral("KOD")).asInt64(), 900041);
}
