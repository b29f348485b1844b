// The connection settings and database password dialogs (the files beside the
// program) and the users, user card and rights windows against a real database.

#include "support/AppEnv.h"
#include "support/HeldTables.h"

#include "base/Unit_Base.h"
#include "db/Codec.h"
#include "ui/Unit_Name.h"
#include "ui/Unit_Net.h"
#include "ui/Unit_Person.h"
#include "ui/Unit_Personal.h"
#include "ui/Unit_Policy.h"
#include "ui/Unit_Psw.h"
#include "util/Globals.h"
#include "util/ProgramFiles.h"
#include "util/Unit_Util.h"
#include "util/Messages.h"
#include "ui/Unit_Main.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray fileBytes(const QString& name)
{
    QFile f(programFolder() + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& name, const QByteArray& bytes)
{
    QFile f(programFolder() + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Fills the connection dialog and presses OK; true when it closed with OK.
bool pressNetOk(int mode, const QStringList& ip, const QString& path, const QString& port = QString())
{
    Form_Net->setResult(0);
    Form_Net->RadioGroup1->setItemIndex(mode);
    Form_Net->RadioGroup1Click();
    const QList<QLineEdit*> edits = {Form_Net->E_IP1, Form_Net->E_IP2, Form_Net->E_IP3, Form_Net->E_IP4};
    for (int i = 0; i < 4; ++i)
        edits[i]->setText(ip.value(i));
    Form_Net->E_Path->setText(path);
    Form_Net->E_Port->setText(port);
    Form_Net->BtnOK->click();
    return Form_Net->result() == QDialog::Accepted;
}

int logLines(AppEnv& env) { return env.testDb().scalar(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE")).toInt(); }

QString lastLog(AppEnv& env)
{
    return env.testDb()
        .scalar(QStringLiteral("SELECT FIRST 1 WHAT_ACTION FROM LOG_TABLE ORDER BY KOD DESC"))
        .toString();
}

bool selectUser(const QString& login);

// Fills the user card, as the users' list shows the user oldLogin, and presses its OK; true when it closed with OK.
bool saveCard(bool newUser, const QString& fio, const QString& login, const QString& p1, const QString& p2,
              qint64 kod = 0, const QString& oldLogin = QString())
{
    TForm_Person* c = Form_Person;
    c->setResult(0);
    c->newUser = newUser;
    c->editKod = kod;
    c->editLogin = oldLogin;
    c->Shown = !newUser && selectUser(oldLogin) ? PersonShown(*Form_Base->QPerson) : engine::ShownRow();
    c->E_FIO->setText(fio);
    c->E_Login->setText(login);
    c->E_Pass1->setText(p1);
    c->E_Pass2->setText(p2);
    c->BitBtn2->click();
    return c->result() == QDialog::Accepted;
}

qint64 userKey(AppEnv& env, const QString& login)
{
    return env.testDb()
        .scalar(QStringLiteral("SELECT KOD FROM PERSON WHERE LOGIN = '") + login + QStringLiteral("'"))
        .toLongLong();
}

QList<QPair<int, QString>> rightsOf(AppEnv& env, qint64 kod)
{
    QList<QPair<int, QString>> rows;
    auto q = env.testDb().select(QStringLiteral("SELECT PARAM1, PARAM3 FROM PERSON_POLICY WHERE KOD_PERSON = ") +
                                 QString::number(kod) + QStringLiteral(" ORDER BY KOD"));
    for (q->first(); !q->eof(); q->next())
        rows.append({q->field(0).asInt(), q->field(1).asString()});
    return rows;
}

bool selectUser(const QString& login)
{
    db::Query* p = Form_Base->QPerson;
    p->close();
    p->open();
    return p->locate(QStringLiteral("LOGIN"), login);
}

} // namespace

TEST(ConnectionDialog, WritesNetTxtOfBothModesByteForByte)
{
    AppEnv env(false);
    const QString local = programFolder() + QStringLiteral("any-name-at-all.fdb");
    writeFile(QStringLiteral("any-name-at-all.fdb"), "x");
    ASSERT_TRUE(pressNetOk(0, {}, local));
    EXPECT_EQ(fileBytes(QStringLiteral("Net.txt")), "Local\r\nlocalhost:" + db::toCp1251(local) + "\r\n");

    ASSERT_TRUE(pressNetOk(1, {QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("0"), QStringLiteral("256")},
                           QStringLiteral("E:\\Данные\\BaseCalc.FDB")));
    EXPECT_EQ(fileBytes(QStringLiteral("Net.txt")), "Net-IP\r\n192.168.0.256:E:\\" + db::toCp1251(QStringLiteral("Данные")) +
                                                        "\\BaseCalc.FDB\r\n");
    // A path of the server's own file system.
    ASSERT_TRUE(pressNetOk(1, {QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1")},
                           QStringLiteral("/var/lib/firebird/data/basecalc.fdb")));
    EXPECT_EQ(fileBytes(QStringLiteral("Net.txt")), "Net-IP\r\n10.0.0.1:/var/lib/firebird/data/basecalc.fdb\r\n");
    // A server on a port of its own, in either mode.
    ASSERT_TRUE(pressNetOk(1, {QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1")},
                           QStringLiteral("/var/lib/firebird/data/basecalc.fdb"), QStringLiteral("3077")));
    EXPECT_EQ(fileBytes(QStringLiteral("Net.txt")), "Net-IP\r\n10.0.0.1/3077:/var/lib/firebird/data/basecalc.fdb\r\n");
    ASSERT_TRUE(pressNetOk(0, {}, local, QStringLiteral("3051")));
    EXPECT_EQ(fileBytes(QStringLiteral("Net.txt")), "Local\r\nlocalhost/3051:" + db::toCp1251(local) + "\r\n");
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
}

TEST(ConnectionDialog, EveryRefusalNamesItsFieldAndWritesNothing)
{
    AppEnv env(false);
    writeFile(QStringLiteral("Net.txt"), "Local\r\nlocalhost:untouched\r\n");
    const QByteArray before = fileBytes(QStringLiteral("Net.txt"));
    const QString digits = QStringLiteral("В поле должно быть не менее одной и не более трёх цифр");
    const QString badPath = QStringLiteral("Путь к базе данных указан неверно !");
    const QStringList ip = {QStringLiteral("127"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1")};
    struct Case {
        int mode;
        QStringList ip;
        QString path;
        QString text;
        QLineEdit* focus;
        QString port;
    };
    const QString badPort = QStringLiteral("Порт сервера должен быть числом от 1 до 65535 или не указан !");
    const QString dataPath = QStringLiteral("C:\\Data\\basecalc.fdb");
    writeFile(QStringLiteral("kept-basecalc.fdb"), "x");
    const QList<Case> cases = {
        {0, {}, QStringLiteral("/tmp/short.fdb"), QStringLiteral("Укажите путь к базе данных !!!"), Form_Net->E_Path},
        {0, {}, programFolder() + QStringLiteral("missing/basecalc.fdb"), QStringLiteral("По указанному пути файл не найден !!!"),
         Form_Net->E_Path},
        {1, {QStringLiteral("127"), QString(), QStringLiteral("0"), QStringLiteral("1")}, QStringLiteral("C:\\Data\\basecalc.fdb"),
         digits, Form_Net->E_IP2},
        {1, {QStringLiteral("127"), QStringLiteral("0"), QStringLiteral("-1"), QStringLiteral("1")},
         QStringLiteral("C:\\Data\\basecalc.fdb"), digits, Form_Net->E_IP3},
        {1, {QStringLiteral("127"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("12a")},
         QStringLiteral("C:\\Data\\basecalc.fdb"), digits, Form_Net->E_IP4},
        {1, ip, QStringLiteral("C:/Data/basecalc.fdb"), badPath, Form_Net->E_Path},
        {1, ip, QStringLiteral("C:\\basecalc.fd"), badPath, Form_Net->E_Path},
        {1, ip, QStringLiteral("C:\\Data\\basecalc.gdb"), badPath, Form_Net->E_Path},
        {1, ip, QStringLiteral("Data\\x\\basecalc.fdb"), badPath, Form_Net->E_Path},
        {1, ip, dataPath, badPort, Form_Net->E_Port, QStringLiteral("65536")},
        {1, ip, dataPath, badPort, Form_Net->E_Port, QStringLiteral("0")},
        {0, {}, programFolder() + QStringLiteral("kept-basecalc.fdb"), badPort, Form_Net->E_Port, QStringLiteral("30a")},
    };
    Form_Net->show();
    for (const Case& c : cases) {
        env.messages.clear();
        EXPECT_FALSE(pressNetOk(c.mode, c.ip, c.path, c.port)) << c.path.toStdString();
        EXPECT_EQ(env.messages, QStringList{c.text}) << c.path.toStdString();
        EXPECT_EQ(Form_Net->focusWidget(), c.focus) << c.path.toStdString();
    }
    Form_Net->hide();
    EXPECT_EQ(fileBytes(QStringLiteral("Net.txt")), before);
}

TEST(ConnectionDialog, ReadsNetTxtBackOnEveryShowing)
{
    AppEnv env(false);
    writeFile(QStringLiteral("Net.txt"), "NET-ip\r\n192.168.1.20:D:\\Data\\basecalc.fdb\r\n");
    Form_Net->FormShow();
    EXPECT_EQ(Form_Net->RadioGroup1->itemIndex(), 1);
    EXPECT_EQ(Form_Net->E_IP1->text(), QStringLiteral("192"));
    EXPECT_EQ(Form_Net->E_IP4->text(), QStringLiteral("20"));
    EXPECT_EQ(Form_Net->E_Path->text(), QStringLiteral("D:\\Data\\basecalc.fdb"));
    EXPECT_TRUE(Form_Net->E_IP1->isEnabled());

    writeFile(QStringLiteral("Net.txt"), "local\r\nlocalhost:/srv/base/basecalc.fdb\r\n");
    Form_Net->FormShow();
    EXPECT_EQ(Form_Net->RadioGroup1->itemIndex(), 0);
    EXPECT_EQ(Form_Net->E_Path->text(), QStringLiteral("/srv/base/basecalc.fdb"));
    EXPECT_FALSE(Form_Net->E_IP1->isEnabled());

    // Without a colon the path is empty; an unknown mode leaves the dialog alone.
    writeFile(QStringLiteral("Net.txt"), "Local\r\nbasecalc.fdb\r\n");
    Form_Net->FormShow();
    EXPECT_TRUE(Form_Net->E_Path->text().isEmpty());
    Form_Net->E_Path->setText(QStringLiteral("kept"));
    writeFile(QStringLiteral("Net.txt"), "Remote\r\nx:y\r\n");
    Form_Net->FormShow();
    EXPECT_EQ(Form_Net->E_Path->text(), QStringLiteral("kept"));

    Form_Net->Btn_DefaultClick();
    EXPECT_EQ(Form_Net->RadioGroup1->itemIndex(), 0);
    EXPECT_EQ(Form_Net->E_Path->text(), programFolder() + QStringLiteral("basecalc.fdb"));

    // OK on what was read writes it back as it was: host and port included.
    writeFile(QStringLiteral("basecalc.fdb"), "x");
    const QByteArray here = db::toCp1251(programFolder()) + "basecalc.fdb\r\n";
    for (const QByteArray& kept : {"Local\r\n127.0.0.1/3077:" + here, "Local\r\nlocalhost/3051:" + here,
                                   QByteArray("NET-IP\r\n10.0.0.1/3077:D:\\Data\\basecalc.fdb\r\n")}) {
        writeFile(QStringLiteral("Net.txt"), kept);
        Form_Net->FormShow();
        Form_Net->setResult(0);
        Form_Net->BtnOK->click();
        EXPECT_EQ(Form_Net->result(), QDialog::Accepted) << env.messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(fileBytes(QStringLiteral("Net.txt")).toUpper(), kept.toUpper());
    }
    EXPECT_EQ(Form_Net->E_IP4->text(), QStringLiteral("1"));
    EXPECT_EQ(Form_Net->E_Port->text(), QStringLiteral("3077"));
    Form_Net->Btn_DefaultClick();
    EXPECT_TRUE(Form_Net->E_Port->text().isEmpty());

    TForm_Net::pickDatabaseFile = [](QWidget*) { return QStringLiteral("/picked/basecalc.fdb"); };
    Form_Net->SpeedButton1Click();
    EXPECT_EQ(Form_Net->E_Path->text(), QStringLiteral("/picked/basecalc.fdb"));
    TForm_Net::pickDatabaseFile = [](QWidget*) { return QString(); };
    Form_Net->SpeedButton1Click();
    EXPECT_EQ(Form_Net->E_Path->text(), QStringLiteral("/picked/basecalc.fdb"));
}

TEST(PasswordDialog, RefusalsEmptyTheEditsAndWriteNothing)
{
    AppEnv env(false);
    Form_Psw->RadioGroup1->setItemIndex(1);
    Form_Psw->RadioGroup1Click();
    struct Case {
        QString p1, p2, text;
        bool cleared;
    };
    const QList<Case> cases = {
        {QString(), QStringLiteral("abc123"), QStringLiteral("Вы не ввели пароль !!!"), false},
        {QStringLiteral("abc123"), QStringLiteral("ABC123"), QStringLiteral("Пароль и подтверждение пароля не совпадают !!!"), true},
        {QStringLiteral("abc12"), QStringLiteral("abc12"),
         QStringLiteral("Длинна пароля должна быть не меньше 6 и не больше 8 символов !!!"), true},
        {QStringLiteral("abc123456"), QStringLiteral("abc123456"),
         QStringLiteral("Длинна пароля должна быть не меньше 6 и не больше 8 символов !!!"), true},
        {QStringLiteral("abc 123"), QStringLiteral("abc 123"),
         QStringLiteral("Пароль должен состоять только из латинских букв и цифр без пробелов !!!"), true},
        {QStringLiteral("пароль1"), QStringLiteral("пароль1"),
         QStringLiteral("Пароль должен состоять только из латинских букв и цифр без пробелов !!!"), true},
    };
    for (const Case& c : cases) {
        env.messages.clear();
        Form_Psw->EPsw->setText(c.p1);
        Form_Psw->EPsw2->setText(c.p2);
        Form_Psw->BitBtn1Click();
        EXPECT_EQ(env.messages, QStringList{c.text});
        EXPECT_EQ(Form_Psw->EPsw->text().isEmpty(), c.cleared || c.p1.isEmpty());
    }
    // The default password, cancelled: nothing written, the dialog stays.
    Form_Psw->RadioGroup1->setItemIndex(0);
    Form_Psw->RadioGroup1Click();
    EXPECT_FALSE(Form_Psw->EPsw->isVisibleTo(Form_Psw));
    env.answers = {0};
    Form_Psw->BitBtn1Click();
    EXPECT_FALSE(QFile::exists(programFolder() + QStringLiteral("psw.txt")));
}

TEST(PasswordDialog, WritesAPswTxtTheStartUpReadsBack)
{
    AppEnv env(false);
    bool closed = false;
    QObject::connect(Form_Psw, &QDialog::accepted, [&] { closed = true; });
    Form_Psw->RadioGroup1->setItemIndex(1);
    Form_Psw->RadioGroup1Click();
    Form_Psw->EPsw->setText(QStringLiteral("Secret77"));
    Form_Psw->EPsw2->setText(QStringLiteral("Secret77"));
    Form_Psw->BitBtn1Click();
    EXPECT_TRUE(closed);
    EXPECT_EQ(env.messages.value(0),
              QStringLiteral("Для того чтоб изменения вступили в силу, необходимо перезапустить программу !"));
    EXPECT_EQ(fileBytes(QStringLiteral("psw.txt")).size(), 15 + 8);
    EXPECT_EQ(readPswTxt(Form_Util->scrambler()).value_or("?"), QByteArray("Secret77"));

    Form_Psw->RadioGroup1->setItemIndex(0);
    Form_Psw->RadioGroup1Click();
    env.answers = {1};
    Form_Psw->BitBtn1Click();
    EXPECT_EQ(readPswTxt(Form_Util->scrambler()).value_or("?"), QByteArray("plovdaxem"));
    EXPECT_EQ(Form_Psw->EPsw->text(), QStringLiteral("plovdaxem"));
}

TEST(Users, ANewUserGetsScrambledFieldsAllRightsAndItsProtocolLine)
{
    AppEnv env;
    env.loginAs(QStringLiteral("Администратор"));
    const int before = logLines(env);
    ASSERT_TRUE(saveCard(true, QStringLiteral("Петров"), QStringLiteral("petrov"), QStringLiteral("x1"), QStringLiteral("x1")));
    const qint64 kod = userKey(env, QStringLiteral("petrov"));
    ASSERT_NE(kod, 0);
    auto q = env.testDb().select(QStringLiteral("SELECT FIO, PASSW, F FROM PERSON WHERE KOD = ") + QString::number(kod));
    EXPECT_EQ(q->field(0).asString(), QStringLiteral("Петров"));
    EXPECT_EQ(Form_Util->UnscrambleString(q->field(1).asBytes()), QByteArray("x1"));
    EXPECT_EQ(Form_Util->UnscrambleString(q->field(2).asBytes()), QByteArray("x1petrov"));
    EXPECT_EQ(rightsOf(env, kod), (QList<QPair<int, QString>>{{1, QStringLiteral("Все права")}}));
    EXPECT_EQ(logLines(env), before + 1);
    EXPECT_EQ(lastLog(env), QStringLiteral("Введён новый пользователь <<Петров>> Логин <<petrov>>"));
    EXPECT_EQ(Form_Base->QPerson->field(QStringLiteral("KOD")).asInt64(), kod);

    // Without a password, after the question: the marker, and empty edits when reopened.
    env.answers = {1};
    ASSERT_TRUE(saveCard(true, QStringLiteral("Сидоров"), QStringLiteral("sid'orov"), QString(), QString()));
    const qint64 sid = userKey(env, QStringLiteral("sid''orov"));
    auto s = env.testDb().select(QStringLiteral("SELECT PASSW, F FROM PERSON WHERE KOD = ") + QString::number(sid));
    EXPECT_EQ(Form_Util->UnscrambleString(s->field(0).asBytes()), QByteArray(kNoPasswordMarker));
    EXPECT_EQ(Form_Util->UnscrambleString(s->field(1).asBytes()), QByteArray("sid'orov"));
    ASSERT_TRUE(selectUser(QStringLiteral("sid'orov")));
    QTimer::singleShot(0, [] {
        EXPECT_TRUE(Form_Person->E_Pass1->text().isEmpty());
        EXPECT_EQ(Form_Person->E_Login->text(), QStringLiteral("sid'orov"));
        Form_Person->reject();
    });
    Form_Personal->Btn_UpdClick();
}

TEST(Users, CardRefusalsWriteNothing)
{
    AppEnv env;
    env.loginAs(QStringLiteral("Администратор"));
    ASSERT_TRUE(saveCard(true, QStringLiteral("Иванов"), QStringLiteral("IVAN"), QStringLiteral("p"), QStringLiteral("p")));
    ASSERT_TRUE(saveCard(true, QStringLiteral("Иванова"), QStringLiteral("ivan"), QStringLiteral("p"), QStringLiteral("p")));
    const int before = logLines(env);
    const qint64 ivan = userKey(env, QStringLiteral("ivan"));
    struct Case {
        bool isNew;
        QString fio, login, p1, p2, text;
        QString oldLogin;
    };
    const QList<Case> cases = {
        {true, QString(), QStringLiteral("a"), QString(), QString(), QStringLiteral("Не указаны Ф.И.О. сотрудника!")},
        {true, QStringLiteral("А"), QString(), QString(), QString(), QStringLiteral("Не указан логин сотрудника!")},
        {true, QStringLiteral("А"), QStringLiteral("администратор"), QString(), QString(),
         QStringLiteral("Нельзя создавать логин \"Администратор\"")},
        {true, QStringLiteral("А"), QStringLiteral("IVAN"), QString(), QString(), QStringLiteral("Такой Логин уже имеется в базе !")},
        // A change of letter case only is still checked against the other users.
        {false, QStringLiteral("Иванова"), QStringLiteral("IVAN"), QString(), QString(),
         QStringLiteral("Такой Логин уже имеется в базе !"), QStringLiteral("ivan")},
        {true, QStringLiteral("А"), QStringLiteral("new"), QStringLiteral("a"), QStringLiteral("b"),
         QStringLiteral("Несовпадают пароли в первом и втором поле. Повторите ввод!")},
    };
    for (const Case& c : cases) {
        env.messages.clear();
        EXPECT_FALSE(saveCard(c.isNew, c.fio, c.login, c.p1, c.p2, c.isNew ? 0 : ivan, c.oldLogin));
        EXPECT_EQ(env.messages, QStringList{c.text}) << c.text.toStdString();
    }
    // The question about an empty password, cancelled.
    env.messages.clear();
    env.answers = {0};
    EXPECT_FALSE(saveCard(true, QStringLiteral("А"), QStringLiteral("new"), QString(), QString()));
    EXPECT_EQ(logLines(env), before);
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT COUNT(*) FROM PERSON")).toInt(), 3);

    // A new login differing from another only in case is a different login.
    EXPECT_TRUE(saveCard(true, QStringLiteral("Иван"), QStringLiteral("Ivan"), QStringLiteral("p"), QStringLiteral("p")));
    // An edit keeping its own login saves.
    EXPECT_TRUE(saveCard(false, QStringLiteral("Иванова М."), QStringLiteral("ivan"), QStringLiteral("q"), QStringLiteral("q"),
                         ivan, QStringLiteral("ivan")));
    EXPECT_EQ(lastLog(env), QStringLiteral("Отредактирован пользователь <<Иванова М.>> Логин <<ivan>>"));
}

TEST(Users, RightsAreStoredInTheEditorsOrder)
{
    AppEnv env;
    env.loginAs(QStringLiteral("Администратор"));
    ASSERT_TRUE(saveCard(true, QStringLiteral("Кассир"), QStringLiteral("kass"), QStringLiteral("p"), QStringLiteral("p")));
    const qint64 kod = userKey(env, QStringLiteral("kass"));
    auto save = [&](const QList<QCheckBox*>& ticked) {
        Form_Policy->ShowRights({});
        for (QCheckBox* b : ticked)
            b->setChecked(true);
        Form_Policy->personKod = kod;
        Form_Policy->personFio = QStringLiteral("Кассир");
        Form_Policy->personLogin = QStringLiteral("kass");
        Form_Policy->Btn_OkClick();
        return rightsOf(env, kod);
    };
    using Rows = QList<QPair<int, QString>>;
    EXPECT_EQ(save({Form_Policy->CB_All, Form_Policy->CB_Menu, Form_Policy->CB_Inv}), (Rows{{1, QStringLiteral("Все права")}}));
    EXPECT_EQ(save({Form_Policy->CB_Real}), (Rows{{7, QStringLiteral("Производство и реализация")}}));
    EXPECT_EQ(save({Form_Policy->CB_DelIng, Form_Policy->CB_Menu}),
              (Rows{{6, QStringLiteral("Меню / Наряды")}, {12, QStringLiteral("Удаление продукта")}}));
    // The products tab needs one of its sub-tabs.
    EXPECT_EQ(save({Form_Policy->CB_Ing}), Rows{});
    EXPECT_EQ(save({Form_Policy->CB_Ing, Form_Policy->CB_Sklad}),
              (Rows{{4, QStringLiteral("Наличие на складах и цены")}, {2, QStringLiteral("Продукты и блюда")}}));
    EXPECT_EQ(lastLog(env), QStringLiteral("Отредактированы права пользователя <<Кассир>> Логин <<kass>>"));

    Form_Policy->ShowRights({1});
    EXPECT_TRUE(Form_Policy->CB_All->isChecked());
    EXPECT_FALSE(Form_Policy->CB_Menu->isEnabled());
    Form_Policy->ShowRights({4, 2, 17});
    EXPECT_FALSE(Form_Policy->CB_All->isChecked());
    EXPECT_TRUE(Form_Policy->CB_Menu->isEnabled());
    EXPECT_TRUE(Form_Policy->CB_Sklad->isChecked());
    EXPECT_TRUE(Form_Policy->CB_Ing->isChecked());
}

TEST(Users, GuardsOfTheAdministratorAndOfOnesOwnRights)
{
    AppEnv env;
    env.loginAs(QStringLiteral("Администратор"));
    ASSERT_TRUE(selectUser(QStringLiteral("Администратор")));
    Form_Personal->Btn_DelClick();
    Form_Personal->Btn_Edit_PolicyClick();
    EXPECT_EQ(env.messages, (QStringList{QStringLiteral("Нелзя удалить запись \"Администратор\" !!!"),
                                         QStringLiteral("Нельзя поменять права пользователю \"Администратор\" !!!")}));

    ASSERT_TRUE(saveCard(true, QStringLiteral("Старший"), QStringLiteral("boss"), QStringLiteral("p"), QStringLiteral("p")));
    env.loginAs(QStringLiteral("boss"));
    env.messages.clear();
    ASSERT_TRUE(selectUser(QStringLiteral("boss")));
    Form_Personal->Btn_Edit_PolicyClick();
    ASSERT_TRUE(selectUser(QStringLiteral("Администратор")));
    Form_Personal->Btn_UpdClick();
    EXPECT_EQ(env.messages, (QStringList{QStringLiteral("Нельзя поменять права самому себе !!!"),
                                         QStringLiteral("Пароль Администратора может изменить только Администратор !!!")}));
}

TEST(Users, DeletionRemovesRightsAndPersonAndKeepsTheCursorNearby)
{
    AppEnv env;
    env.loginAs(QStringLiteral("Администратор"));
    // In full-name order: Аамодт, Администратор, Борисов.
    ASSERT_TRUE(saveCard(true, QStringLiteral("Аамодт"), QStringLiteral("ant"), QStringLiteral("p"), QStringLiteral("p")));
    ASSERT_TRUE(saveCard(true, QStringLiteral("Борисов"), QStringLiteral("bor"), QStringLiteral("p"), QStringLiteral("p")));
    const qint64 ant = userKey(env, QStringLiteral("ant"));
    const qint64 admin = userKey(env, QStringLiteral("Администратор"));

    ASSERT_TRUE(selectUser(QStringLiteral("ant")));
    env.answers = {0};
    Form_Personal->Btn_DelClick();
    EXPECT_NE(userKey(env, QStringLiteral("ant")), 0);

    env.answers = {1};
    Form_Personal->Btn_DelClick();
    EXPECT_EQ(userKey(env, QStringLiteral("ant")), 0);
    EXPECT_TRUE(rightsOf(env, ant).isEmpty());
    EXPECT_EQ(lastLog(env), QStringLiteral("Удалён пользователь <<Аамодт>> Логин <<ant>>"));
    // The first row deleted: the cursor goes to the row that followed it.
    EXPECT_EQ(Form_Base->QPerson->field(QStringLiteral("KOD")).asInt64(), admin);
    // Any other: to the row before it.
    ASSERT_TRUE(selectUser(QStringLiteral("bor")));
    Form_Personal->Btn_DelClick();
    EXPECT_EQ(Form_Base->QPerson->field(QStringLiteral("KOD")).asInt64(), admin);
    EXPECT_EQ(userKey(env, QStringLiteral("bor")), 0);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
}

// Each save of the users window holds the users and their rights from its
// road's first step.
TEST(Users, EachSaveHoldsTheUsersAndTheirRights)
{
    AppEnv env;
    env.loginAs(QStringLiteral("Администратор"));
    const QStringList users{QStringLiteral("PERSON"), QStringLiteral("PERSON_POLICY")};
    ExpectEachHolds({
        {"user added", users,
         [] { saveCard(true, QStringLiteral("Кассир"), QStringLiteral("kass"), QStringLiteral("p"), QStringLiteral("p")); }},
        {"user changed", users,
         [&] {
             saveCard(false, QStringLiteral("Кассир Смены"), QStringLiteral("kass"), QStringLiteral("q"), QStringLiteral("q"),
                      userKey(env, QStringLiteral("kass")), QStringLiteral("kass"));
         }},
        {"rights saved", users,
         [&] {
             Form_Policy->ShowRights({});
             Form_Policy->CB_Real->setChecked(true);
             Form_Policy->personKod = userKey(env, QStringLiteral("kass"));
             Form_Policy->personFio = QStringLiteral("Кассир Смены");
             Form_Policy->personLogin = QStringLiteral("kass");
             Form_Policy->Btn_OkClick();
         }},
        {"user deleted", users,
         [] {
             selectUser(QStringLiteral("kass"));
             Form_Personal->Btn_DelClick();
         }},
    });
    EXPECT_EQ(userKey(env, QStringLiteral("kass")), 0);
    EXPECT_EQ(logLines(env), 4);
}

TEST(Users, TheSettingsRightIsShownTickedAndStoredUnderItsOwnNumber)
{
    AppEnv env;
    env.loginAs(QStringLiteral("Администратор"));
    ASSERT_TRUE(saveCard(true, QStringLiteral("Техник"), QStringLiteral("tech"), QStringLiteral("p"), QStringLiteral("p")));
    const qint64 kod = userKey(env, QStringLiteral("tech"));
    Form_Policy->ShowRights({16});
    EXPECT_TRUE(Form_Policy->CB_Setup->isChecked());
    EXPECT_FALSE(Form_Policy->CB_Protokol->isChecked());
    Form_Policy->ShowRights({15, 16});
    EXPECT_TRUE(Form_Policy->CB_Setup->isChecked());
    EXPECT_TRUE(Form_Policy->CB_Protokol->isChecked());
    Form_Policy->ShowRights({});
    Form_Policy->CB_Setup->setChecked(true);
    Form_Policy->personKod = kod;
    Form_Policy->personFio = QStringLiteral("Техник");
    Form_Policy->personLogin = QStringLiteral("tech");
    Form_Policy->Btn_OkClick();
    EXPECT_EQ(rightsOf(env, kod), (QList<QPair<int, QString>>{{16, QStringLiteral("Настройка")}}));
}

namespace {

bool waitFor(const std::function<bool()>& done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QStringList rightsShown()
{
    QStringList shown;
    QAbstractItemModel* m = Form_Personal->Grid_Policy->model();
    for (int r = 0; r < m->rowCount(); ++r)
        shown.append(m->index(r, 0).data().toString());
    return shown;
}

// Presses the users button of the main window; `inside` runs while the users
// window is up, `onDialog` answers the dialogs opened from it.
void throughUsersButton(const std::function<void()>& inside, const std::function<int(QDialog*)>& onDialog)
{
    bool opened = false;
    Msg::setModalHandler([&](QDialog* d) {
        if (d != Form_Personal)
            return onDialog(d);
        opened = true;
        d->show();  // as its modal loop would
        inside();
        d->hide();
        return int(QDialog::Rejected);
    });
    Form_Main->Apply_UserRights();  // the logged-in administrator's buttons
    Form_Main->Btn_Person->click();
    Msg::setModalHandler({});
    EXPECT_TRUE(opened) << "the users button did not open the users window modally";
}

} // namespace

TEST(Users, TheAdministratorsPasswordThroughTheUsersButton)
{
    AppEnv env;
    env.loginAs(QStringLiteral("Администратор"));
    QStringList prompts;
    QString typed;        // what the administrator types into the password prompt
    QString newPassword;  // what the card then saves, empty: the card is only looked at
    bool cardOpened = false;
    const auto onDialog = [&](QDialog* d) -> int {
        if (d == Form_Name) {
            prompts.append(Form_Name->windowTitle());
            Form_Name->setResult(0);
            Form_Name->Edit1->setText(typed);
            Form_Name->BitBtn1->click();
            return Form_Name->result();
        }
        if (d == Form_Person) {
            cardOpened = true;
            if (newPassword.isEmpty())
                return int(QDialog::Rejected);
            Form_Person->setResult(0);
            Form_Person->E_Pass1->setText(newPassword);
            Form_Person->E_Pass2->setText(newPassword);
            Form_Person->BitBtn2->click();
            return Form_Person->result();
        }
        ADD_FAILURE() << "unexpected dialog " << d->windowTitle().toStdString();
        return int(QDialog::Rejected);
    };
    const auto editAdmin = [&] {
        throughUsersButton([] { ASSERT_TRUE(selectUser(QStringLiteral("Администратор")));
                                Form_Personal->Btn_Upd->click(); },
                           onDialog);
    };

    // The shipped administrator has no password: an empty answer opens the card, which gives him one.
    typed.clear();
    newPassword = QStringLiteral("кухня7");
    editAdmin();
    EXPECT_EQ(prompts, QStringList{QStringLiteral("Введите пароль администратора")});
    EXPECT_TRUE(cardOpened);
    EXPECT_EQ(env.messages, QStringList{});
    const qint64 admin = userKey(env, QStringLiteral("Администратор"));
    auto q = env.testDb().select(QStringLiteral("SELECT PASSW FROM PERSON WHERE KOD = ") + QString::number(admin));
    EXPECT_EQ(Form_Util->UnscrambleString(q->field(0).asBytes()), db::toCp1251(QStringLiteral("кухня7")));

    // Now an empty or a wrong answer is refused and the card stays closed; the right one opens it.
    newPassword.clear();
    for (const QString& wrong : {QString(), QStringLiteral("кухня"), QStringLiteral("КУХНЯ7")}) {
        cardOpened = false;
        env.messages.clear();
        typed = wrong;
        editAdmin();
        EXPECT_FALSE(cardOpened) << wrong.toStdString();
        EXPECT_EQ(env.messages, QStringList{QStringLiteral("Неверный пароль !")}) << wrong.toStdString();
    }
    cardOpened = false;
    env.messages.clear();
    typed = QStringLiteral("кухня7");
    editAdmin();
    EXPECT_TRUE(cardOpened);
    EXPECT_EQ(env.messages, QStringList{});
    // Elsewhere an empty text is still refused by the input dialog.
    EXPECT_FALSE(Form_Name->acceptsEmpty);
}

TEST(Users, TheRightsGridFollowsTheSelectedUser)
{
    AppEnv env;
    env.loginAs(QStringLiteral("Администратор"));
    ASSERT_TRUE(saveCard(true, QStringLiteral("Повар"), QStringLiteral("cook"), QStringLiteral("p"), QStringLiteral("p")));
    const qint64 cook = userKey(env, QStringLiteral("cook"));
    env.testDb().exec(QStringLiteral("DELETE FROM PERSON_POLICY WHERE KOD_PERSON = ") + QString::number(cook));
    env.testDb().exec(QStringLiteral("INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1, PARAM3) VALUES (") +
                      QString::number(cook) + QStringLiteral(", 5, 'Движение')"));
    env.testDb().exec(QStringLiteral("INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1, PARAM3) VALUES (") +
                      QString::number(cook) + QStringLiteral(", 8, 'Инвентаризация')"));
    ASSERT_TRUE(selectUser(QStringLiteral("cook")));

    throughUsersButton(
        [&] {
            // Opened on the selected user's rights.
            EXPECT_EQ(rightsShown(), (QStringList{QStringLiteral("Движение"), QStringLiteral("Инвентаризация")}));
            db::Query* person = Form_Base->QPerson;
            ASSERT_TRUE(person->locate(QStringLiteral("LOGIN"), QStringLiteral("Администратор")));
            EXPECT_TRUE(waitFor([] { return rightsShown() == QStringList{QStringLiteral("Все права")}; }))
                << rightsShown().join(QLatin1Char('|')).toStdString();
            ASSERT_TRUE(person->locate(QStringLiteral("LOGIN"), QStringLiteral("cook")));
            EXPECT_TRUE(waitFor([] { return rightsShown().size() == 2; }))
                << rightsShown().join(QLatin1Char('|')).toStdString();
        },
        [](QDialog*) { return int(QDialog::Rejected); });
}

TEST(PasswordDialog, APswTxtPasswordOver255BytesIsRefusedInWords)
{
    AppEnv env(false);
    writeFile(QStringLiteral("psw.txt"), encodePsw(QByteArray(300, 'a'), Form_Util->scrambler()));
    Form_Base->FormCreate();
    EXPECT_FALSE(Form_Base->MyDB->connected());
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].startsWith(QStringLiteral("Файл psw.txt повреждён: пароль в нём длиннее 255 байт.")))
        << env.messages[0].toStdString();
    // 255 bytes are still a password.
    writeFile(QStringLiteral("psw.txt"), encodePsw(QByteArray(255, 'a'), Form_Util->scrambler()));
    EXPECT_EQ(readPswTxt(Form_Util->scrambler()).value_or(QByteArray()).size(), 255);
}
