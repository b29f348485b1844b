// The log-in dialog against a real database: refusals, the log-in itself
// and the main window's log-in button.

#include "support/AppEnv.h"

#include "base/Unit_Base.h"
#include "db/Codec.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Vhod.h"
#include "util/Globals.h"
#include "util/Unit_Util.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A user with a password (bytes as the users window stores them) and rights.
qint64 addUser(const QString& fio, const QString& login, const QString& password, QList<int> rights = {})
{
    WriteTransaction w(WriteTransaction::Reserve::Users);
    db::Query* q = Form_Base->QWrite1;
    q->setSql(QStringLiteral("INSERT INTO PERSON (FIO, LOGIN, PASSW) VALUES (:FI, :LO, :PA) RETURNING KOD"));
    q->param(QStringLiteral("FI")).setString(fio);
    q->param(QStringLiteral("LO")).setString(login);
    const QByteArray plain = password.isEmpty() ? QByteArray(kNoPasswordMarker) : db::toCp1251(password);
    q->param(QStringLiteral("PA")).setBytes(Form_Util->ScrambleString(plain));
    q->execSql();
    const qint64 kod = q->field(QStringLiteral("KOD")).asInt64();
    for (int r : rights) {
        q->setSql(QStringLiteral("INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1) VALUES (") + Key(kod) + QStringLiteral(", ") +
                  QString::number(r) + QStringLiteral(")"));
        q->execSql();
    }
    w.commit();
    return kod;
}

int logLines(AppEnv& env) { return env.testDb().scalar(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE")).toInt(); }

// Types into the dialog and presses OK; true when it closed with OK.
bool tryLogin(const QString& login, const QString& password)
{
    Form_Vhod->setResult(0);
    Form_Vhod->ComboBox1->setEditText(login);
    Form_Vhod->Edit1->setText(password);
    Form_Vhod->BitBtn1->click();
    return Form_Vhod->result() == QDialog::Accepted;
}

} // namespace

TEST(Login, RefusalsShowTheirTextsAndChangeNothing)
{
    AppEnv env;
    addUser(QStringLiteral("Иванов И.И."), QStringLiteral("ivan"), QStringLiteral("секрет"), {2});
    CurrentUserKod = 77;
    UserRights = 0x10;
    const int before = logLines(env);

    EXPECT_FALSE(tryLogin(QString(), QStringLiteral("секрет")));
    EXPECT_FALSE(tryLogin(QStringLiteral("petr"), QStringLiteral("секрет")));
    EXPECT_FALSE(tryLogin(QStringLiteral("ivan"), QStringLiteral("Секрет")));
    EXPECT_FALSE(tryLogin(QStringLiteral("ivan"), QString()));
    // Typed text never reaches the SQL text: an apostrophe is just a login nobody has.
    EXPECT_FALSE(tryLogin(QStringLiteral("iv'an"), QStringLiteral("x")));
    EXPECT_FALSE(tryLogin(QStringLiteral("' OR ''='"), QStringLiteral("x")));
    EXPECT_FALSE(tryLogin(QStringLiteral("ivan "), QStringLiteral("секрет")));
    EXPECT_FALSE(tryLogin(QStringLiteral("a-login-longer-than-twenty-letters"), QStringLiteral("x")));
    EXPECT_EQ(env.messages, (QStringList{QStringLiteral("Вы не ввели Логин пользователя !!"),
                                         QStringLiteral("Нет такого пользователя !"), QStringLiteral("Неверный пароль !"),
                                         QStringLiteral("Неверный пароль !"), QStringLiteral("Нет такого пользователя !"),
                                         QStringLiteral("Нет такого пользователя !"), QStringLiteral("Нет такого пользователя !"),
                                         QStringLiteral("Нет такого пользователя !")}));
    EXPECT_EQ(logLines(env), before);
    EXPECT_EQ(CurrentUserKod, 77);
    EXPECT_EQ(UserRights, 0x10);
    EXPECT_TRUE(CurrentUserLogin.isEmpty());
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
}

TEST(Login, SetsTheUserItsRightsAndOneProtocolLine)
{
    AppEnv env;
    const qint64 kod = addUser(QStringLiteral("Иванов И.И."), QStringLiteral("ivan"), QStringLiteral("секрет"), {7, 15});
    const int before = logLines(env);
    ASSERT_TRUE(tryLogin(QStringLiteral("ivan"), QStringLiteral("секрет")));
    EXPECT_TRUE(env.messages.isEmpty());
    EXPECT_EQ(CurrentUserFio, QStringLiteral("Иванов И.И."));
    EXPECT_EQ(CurrentUserLogin, QStringLiteral("ivan"));
    EXPECT_EQ(CurrentUserKod, kod);
    EXPECT_EQ(UserRights, (1u << Right::Real) | (1u << Right::Reg));
    ASSERT_EQ(logLines(env), before + 1);
    auto q = env.testDb().select(QStringLiteral("SELECT * FROM LOG_TABLE ORDER BY KOD DESC"));
    EXPECT_EQ(q->field(QStringLiteral("ARM")).asString(), QStringLiteral("Система"));
    EXPECT_EQ(q->field(QStringLiteral("WHAT_ACTION")).asString(), QStringLiteral("Открытие программы"));
    EXPECT_EQ(q->field(QStringLiteral("P_LOGIN")).asString(), QStringLiteral("ivan"));
    EXPECT_EQ(q->field(QStringLiteral("P_FIO")).asString(), QStringLiteral("Иванов И.И."));
    EXPECT_EQ(q->field(QStringLiteral("K_LOGIN")).asInt64(), kod);
}

TEST(Login, AdministratorWithoutPasswordAndTheMarkerTypedOut)
{
    AppEnv env;
    ASSERT_TRUE(tryLogin(QStringLiteral("Администратор"), QString()));
    EXPECT_EQ(CurrentUserLogin, QStringLiteral("Администратор"));
    EXPECT_TRUE(HasRight(Right::Setup));
    // Typing the no-password marker is the same as leaving the field empty.
    EXPECT_TRUE(tryLogin(QStringLiteral("Администратор"), QString::fromLatin1(kNoPasswordMarker)));
    EXPECT_FALSE(tryLogin(QStringLiteral("Администратор"), QStringLiteral("x")));
}

TEST(Login, LoginsDifferingInCaseAreDifferentUsers)
{
    AppEnv env;
    const qint64 lower = addUser(QStringLiteral("Иван маленький"), QStringLiteral("ivan"), QStringLiteral("one"));
    const qint64 upper = addUser(QStringLiteral("Иван большой"), QStringLiteral("Ivan"), QStringLiteral("two"));
    EXPECT_FALSE(tryLogin(QStringLiteral("ivan"), QStringLiteral("two")));
    ASSERT_TRUE(tryLogin(QStringLiteral("Ivan"), QStringLiteral("two")));
    EXPECT_EQ(CurrentUserKod, upper);
    ASSERT_TRUE(tryLogin(QStringLiteral("ivan"), QStringLiteral("one")));
    EXPECT_EQ(CurrentUserKod, lower);
    EXPECT_EQ(CurrentUserFio, QStringLiteral("Иван маленький"));
    EXPECT_FALSE(tryLogin(QStringLiteral("IVAN"), QStringLiteral("one")));
}

TEST(Login, ListFilledAtStartUpInFullNameOrder)
{
    AppEnv env;
    addUser(QStringLiteral("Яковлев"), QStringLiteral("yak"), QString());
    addUser(QStringLiteral("Борисов"), QStringLiteral("bor"), QString());
    Form_Base->FormCreate();  // the start-up (or a reconnect) refills the list
    QStringList items;
    for (int i = 0; i < Form_Vhod->ComboBox1->count(); ++i)
        items << Form_Vhod->ComboBox1->itemText(i);
    EXPECT_EQ(items, (QStringList{QStringLiteral("Администратор"), QStringLiteral("bor"), QStringLiteral("yak")}));
    EXPECT_TRUE(Form_Vhod->ComboBox1->currentText().isEmpty());
}

TEST(Login, MainWindowButtonLogsInAppliesRightsAndStartsTheKeepAlive)
{
    AppEnv env;
    addUser(QStringLiteral("Кассир"), QStringLiteral("kassa"), QStringLiteral("123"), {7});
    QTimer::singleShot(0, [] {
        Form_Vhod->ComboBox1->setEditText(QStringLiteral("kassa"));
        Form_Vhod->Edit1->setText(QStringLiteral("123"));
        Form_Vhod->BitBtn1->click();
    });
    Form_Main->Btn_VhodClick();
    EXPECT_EQ(CurrentUserLogin, QStringLiteral("kassa"));
    EXPECT_EQ(Form_Main->ActivePage(), Form_Main->Sheet_Real);
    EXPECT_TRUE(Form_Main->TabShown(Form_Main->Sheet_Real));
    EXPECT_FALSE(Form_Main->TabShown(Form_Main->Sheet_Ing));
    EXPECT_TRUE(Form_Base->Timer_Timer->isActive());
    EXPECT_FALSE(Form_Vhod->isVisible());

    // Cancel leaves everything as it was; what was typed before it is gone
    // when the dialog comes up again.
    Form_Base->Timer_Timer->stop();
    QStringList shown;
    for (int round = 0; round < 2; ++round) {
        QTimer::singleShot(0, [&shown] {
            shown << Form_Vhod->ComboBox1->currentText() + QLatin1Char('|') + Form_Vhod->Edit1->text();
            Form_Vhod->ComboBox1->setEditText(QStringLiteral("kassa"));
            Form_Vhod->Edit1->setText(QStringLiteral("12"));
            Form_Vhod->BitBtn2->click();
        });
        Form_Main->Btn_VhodClick();
    }
    EXPECT_EQ(shown, (QStringList{QStringLiteral("|"), QStringLiteral("|")}));
    EXPECT_FALSE(Form_Base->Timer_Timer->isActive());
    EXPECT_EQ(CurrentUserLogin, QStringLiteral("kassa"));
}
