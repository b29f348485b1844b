// The protocol tab against a real database: the list with each filter and
// order, the description of the filters, the text filter with typed
// wildcards and apostrophes, and the deletion that keeps its own area.

#include "support/AppEnv.h"
#include "support/HeldTables.h"

#include "Printing.h"
#include "ProgramOffice.h"
#include "automation/RecordingOffice.h"
#include "engine/ProtocolFilter.h"
#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Period.h"
#include "ui/Unit_ProtocolTab.h"
#include "ui/Unit_Sort.h"
#include "ui/Unit_Sutki.h"
#include "ui/Unit_Personal.h"
#include "util/Clock.h"
#include "util/Globals.h"
#include "util/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 3, 10);

// The program's clock stands at noon of kToday for the whole test.
struct PinnedClock {
    PinnedClock() { Clock::setSource([] { return QDateTime(kToday, QTime(12, 0)); }); }
    ~PinnedClock() { Clock::setSource({}); }
};

class ProtocolTabTest : public ::testing::Test {
protected:
    PinnedClock clock;
    AppEnv env;
    qint64 admin = 0;
    const qint64 petrov = 900001;

    void SetUp() override
    {
        env.testDb().exec(QStringLiteral("INSERT INTO PERSON (KOD, FIO, LOGIN) VALUES (900001, 'Петров П.П.', 'petrov')"));
        admin = env.testDb().scalar(QStringLiteral("SELECT KOD FROM PERSON WHERE LOGIN = 'Администратор'")).toLongLong();
        line(kToday, "10:00:00", admin, "Система", "Открытие программы");
        line(kToday, "09:00:00", petrov, "Продукты и блюда", "Принят O'Neil");
        line(kToday, "11:30:00", petrov, "Протокол", "Удаление по условию: Все даты; ");
        line(kToday, "00:00:00", admin, "Настройка", "Изменение степени округления");
        line(kToday.addDays(-1), "23:00:00", admin, "Движение", "Проведён документ <<Приход>>");
        line(kToday.addDays(-40), "08:00:00", petrov, "Протокол", "Удаление по условию: Период");
        Form_Base->QPerson->close();
        Form_Base->QPerson->open();
        env.loginAs(QStringLiteral("Администратор"));
        Form_Main->Apply_UserRights();
        Form_Main->show();
        Form_Main->SetActivePage(Form_Main->Sheet_Reg);
    }

    void line(const QDate& d, const char* time, qint64 user, const char* area, const char* action)
    {
        auto q = std::make_unique<db::Query>(&env.testDb().db(), &env.testDb().write());
        env.testDb().write().start();
        q->setSql(QStringLiteral("INSERT INTO LOG_TABLE (MY_DATE, MY_TIME, P_LOGIN, P_FIO, ARM, WHAT_ACTION, K_LOGIN) "
                                 "VALUES (:D, :T, 'x', 'x', :A, :W, :K)"));
        q->param(QStringLiteral("D")).setDate(d);
        q->param(QStringLiteral("T")).setTime(QTime::fromString(QString::fromLatin1(time), QStringLiteral("HH:mm:ss")));
        q->param(QStringLiteral("A")).setString(QString::fromUtf8(area));
        q->param(QStringLiteral("W")).setString(QString::fromUtf8(action));
        q->param(QStringLiteral("K")).setInt64(user);
        q->execSql();
        env.testDb().write().commit();
    }

    // The actions the list shows, in its order.
    QStringList shown() const
    {
        db::Query* q = Form_Base->Q_Protokol;
        QStringList out;
        if (!q->active())
            return out;
        for (int r = 0; r < q->recordCount(); ++r)
            out << q->valueAt(r, q->fieldIndex(QStringLiteral("WHAT_ACTION"))).toString();
        return out;
    }

    QStringList stored(const QString& where = QString())
    {
        auto q = env.testDb().select(QStringLiteral("SELECT WHAT_ACTION FROM LOG_TABLE ") + where + QStringLiteral(" ORDER BY KOD"));
        QStringList out;
        for (q->first(); !q->eof(); q->next())
            out << q->field(0).asString();
        return out;
    }

    QString label() const { return ProtocolTab->L_Parametr->text(); }

    // The next modal dialog is shown and handed to `f` in place of its event
    // loop; what `f` leaves is its result (a dialog left open is cancelled).
    static void answer(std::function<void()> f)
    {
        Msg::setModalHandler([f](QDialog* d) {
            const std::function<void()> step = f;  // the handler goes away with the next line
            Msg::setModalHandler({});
            d->setResult(QDialog::Rejected);
            d->show();
            step();
            if (d->isVisible())
                d->reject();
            return d->result();
        });
    }
    void TearDown() override { Msg::setModalHandler({}); }

    void allDates()
    {
        ProtokolDateFrom = -1.0;
        ProtocolTab->Open_Protokol();
    }
};

} // namespace

TEST_F(ProtocolTabTest, AtStartTheListShowsTodaysRowsOfAllUsersByDateAndTime)
{
    EXPECT_EQ(label(), QStringLiteral("Период с: 10.03.2026 по 10.03.2026; В любое время; Данные всех пользователей."));
    EXPECT_TRUE(Form_Base->Q_Protokol->sql().startsWith(QStringLiteral("SELECT * FROM LOG_TABLE")));
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("Изменение степени округления"), QStringLiteral("Принят O'Neil"),
                                    QStringLiteral("Открытие программы"), QStringLiteral("Удаление по условию: Все даты; ")}));
    // The list is open only while its tab is shown.
    Form_Main->SetActivePage(Form_Main->Sheet_Setup);
    EXPECT_FALSE(Form_Base->Q_Protokol->active());
    Form_Main->SetActivePage(Form_Main->Sheet_Reg);
    EXPECT_EQ(shown().size(), 4);
}

TEST_F(ProtocolTabTest, ThePeriodTimeAndUserFiltersEachNarrowTheList)
{
    // The period dialog: all dates, then yesterday alone.
    answer([] {
        Form_Period->CB_AllDate->setChecked(true);
        Form_Period->CB_AllDateClick();
        Form_Period->BitBtn1->click();
    });
    ProtocolTab->Btn_Period->click();
    EXPECT_EQ(ProtokolDateFrom, -1.0);
    EXPECT_EQ(shown().size(), 6);
    EXPECT_TRUE(label().startsWith(QStringLiteral("Все даты; В любое время; ")));

    answer([] {
        Form_Period->CB_AllDate->setChecked(false);
        Form_Period->CB_AllDateClick();
        Form_Period->Date_Start->setDate(kToday.addDays(-1));
        Form_Period->Date_Finish->setDate(kToday.addDays(-1));
        Form_Period->BitBtn1->click();
    });
    ProtocolTab->Btn_Period->click();
    EXPECT_EQ(shown(), QStringList{QStringLiteral("Проведён документ <<Приход>>")});
    EXPECT_TRUE(label().startsWith(QStringLiteral("Период с: 09.03.2026 по 09.03.2026; ")));

    // A time range from midnight filters by time too.
    ProtokolDateFrom = ProtokolDateTo = kToday.toJulianDay() - 2415019.0;
    answer([] {
        Form_Sutki->CB_All->setChecked(false);
        Form_Sutki->CB_AllClick();
        Form_Sutki->Time_Start->setTime(QTime(0, 0));
        Form_Sutki->Time_End->setTime(QTime(9, 30));
        Form_Sutki->BitBtn1->click();
    });
    ProtocolTab->Btn_Time->click();
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("Изменение степени округления"), QStringLiteral("Принят O'Neil")}));
    EXPECT_EQ(label(), QStringLiteral("Период с: 10.03.2026 по 10.03.2026; Время с: 00.00.00 по 09.30.00; Данные всех пользователей."));

    // One user.
    ProtokolTimeFrom = -1.0;
    answer([] {
        Form_User->CB_All->setChecked(false);
        Form_User->CB_AllClick();
        Form_Base->QPerson->locate(QStringLiteral("LOGIN"), QStringLiteral("petrov"));
        Form_User->BitBtn1->click();
    });
    ProtocolTab->Btn_User->click();
    EXPECT_EQ(ProtokolUser, petrov);
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("Принят O'Neil"), QStringLiteral("Удаление по условию: Все даты; ")}));
    EXPECT_EQ(label(), QStringLiteral("Период с: 10.03.2026 по 10.03.2026; В любое время; Пользователь Петров П.П.."));
}

TEST_F(ProtocolTabTest, CancelledDialogsChangeNoFilterAndOnlyTheSortRebuildsTheList)
{
    int opens = 0;
    QObject::connect(Form_Base->Q_Protokol, &db::Query::opened, [&] { ++opens; });
    const double from = ProtokolDateFrom;
    answer([] {
        Form_Period->CB_AllDate->setChecked(true);
        Form_Period->BitBtn2->click();
    });
    ProtocolTab->Btn_Period->click();
    answer([] { Form_Sutki->BitBtn2->click(); });
    ProtocolTab->Btn_Time->click();
    answer([] { Form_User->BitBtn2->click(); });
    ProtocolTab->Btn_User->click();
    EXPECT_EQ(ProtokolDateFrom, from);
    EXPECT_EQ(ProtokolTimeFrom, -1.0);
    EXPECT_EQ(ProtokolUser, -1);
    EXPECT_EQ(opens, 0);

    answer([] { Form_Sort->reject(); });
    ProtocolTab->Btn_Sort->click();
    EXPECT_EQ(opens, 1);
}

TEST_F(ProtocolTabTest, TheThreeOrders)
{
    allDates();
    auto sortBy = [](int index) {
        answer([index] {
            Form_Sort->RadioGroup1->setItemIndex(index);
            Form_Sort->BitBtn1->click();
        });
        ProtocolTab->Btn_Sort->click();
    };
    sortBy(1);  // action, date, time
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("Изменение степени округления"), QStringLiteral("Открытие программы"),
                                    QStringLiteral("Принят O'Neil"), QStringLiteral("Проведён документ <<Приход>>"),
                                    QStringLiteral("Удаление по условию: Все даты; "),
                                    QStringLiteral("Удаление по условию: Период")}));
    sortBy(2);  // date, action, time
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("Удаление по условию: Период"), QStringLiteral("Проведён документ <<Приход>>"),
                                    QStringLiteral("Изменение степени округления"), QStringLiteral("Открытие программы"),
                                    QStringLiteral("Принят O'Neil"), QStringLiteral("Удаление по условию: Все даты; ")}));
    sortBy(0);  // date, time
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("Удаление по условию: Период"), QStringLiteral("Проведён документ <<Приход>>"),
                                    QStringLiteral("Изменение степени округления"), QStringLiteral("Принят O'Neil"),
                                    QStringLiteral("Открытие программы"), QStringLiteral("Удаление по условию: Все даты; ")}));
}

TEST_F(ProtocolTabTest, TheTextFilterBindsWhatIsTypedLiterallyAndKeepsItsCase)
{
    allDates();
    TProtocolTab* t = ProtocolTab;
    t->CB_ParContext->click();
    EXPECT_TRUE(t->E_ParContext->isEnabled());
    EXPECT_FALSE(t->Grid_Protokol1->greyed());

    // Typing waits: the grids grey and the timer restarts with each key.
    t->E_ParContext->setText(QStringLiteral("O'Neil"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_L, Qt::NoModifier, QStringLiteral("l"));
    QApplication::sendEvent(t->E_ParContext, &release);
    EXPECT_TRUE(t->Timer_OpenLog->isActive());
    EXPECT_EQ(t->Timer_OpenLog->interval(), 1250);
    EXPECT_TRUE(t->Grid_Protokol1->greyed());
    EXPECT_TRUE(t->Grid_Protokol2->greyed());
    t->Timer_OpenLogTimer();
    EXPECT_EQ(shown(), QStringList{QStringLiteral("Принят O'Neil")});
    EXPECT_FALSE(t->Grid_Protokol1->greyed());
    EXPECT_FALSE(t->Timer_OpenLog->isActive());

    auto search = [t](const QString& text) {
        t->E_ParContext->setText(text);
        t->Timer_OpenLogTimer();
    };
    search(QStringLiteral("o'neil"));
    EXPECT_TRUE(shown().isEmpty());  // case counts
    // A typed '%' or '_' is a character like any other, not a wildcard.
    search(QStringLiteral("Прин_т"));
    EXPECT_TRUE(shown().isEmpty());
    search(QStringLiteral("Удаление%Период"));
    EXPECT_TRUE(shown().isEmpty());
    search(QStringLiteral("'; DELETE FROM LOG_TABLE; --"));
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(stored().size(), 6);
    search(QString());
    EXPECT_EQ(shown().size(), 6);

    // Clearing the box lifts the filter.
    search(QStringLiteral("Принят"));
    t->CB_ParContext->click();
    EXPECT_FALSE(t->E_ParContext->isEnabled());
    EXPECT_EQ(shown().size(), 6);
}

TEST_F(ProtocolTabTest, TheTextFilterFindsPercentSignsAndAWholeActionAtTheFieldsLength)
{
    const QString longAction = QString(208, QChar(0x0416)) + QStringLiteral("_50%\\ скидка");  // 220 characters
    ASSERT_EQ(longAction.size(), 220);
    line(QDate::currentDate(), "10:00:00", 1, "Протокол", longAction.toUtf8().constData());
    line(QDate::currentDate(), "10:00:01", 1, "Протокол", "Ж50 скидка");
    allDates();
    TProtocolTab* t = ProtocolTab;
    t->CB_ParContext->click();
    auto search = [t](const QString& text) {
        t->E_ParContext->setText(text);
        t->Timer_OpenLogTimer();
    };
    search(longAction);
    EXPECT_EQ(t->E_ParContext->text().size(), 220);
    EXPECT_EQ(shown(), QStringList{longAction});
    search(QStringLiteral("_50%\\"));
    EXPECT_EQ(shown(), QStringList{longAction});
    search(QStringLiteral("Ж_50"));
    EXPECT_EQ(shown(), QStringList{longAction});
}

TEST_F(ProtocolTabTest, DeletingWithEveryFilterOpenKeepsTheProtocolAreaAndItsOwnLine)
{
    allDates();
    // A text filter hides rows from the list but not from the deletion.
    ProtocolTab->CB_ParContext->click();
    ProtocolTab->E_ParContext->setText(QStringLiteral("Принят"));
    ProtocolTab->Timer_OpenLogTimer();

    env.answers = {0};
    ProtocolTab->Btn_Del->click();
    EXPECT_EQ(stored().size(), 6);  // cancelled

    ProtocolTab->Btn_Del->click();
    ASSERT_GE(env.messages.size(), 2);
    EXPECT_EQ(env.messages[env.messages.size() - 2],
              QStringLiteral("Вы уверены что хотите удалить все выбранные Вами записи из протокола ?"));
    EXPECT_EQ(env.messages.last(), QStringLiteral("Выбранные записи удалены !"));
    EXPECT_EQ(stored(), (QStringList{QStringLiteral("Удаление по условию: Все даты; "), QStringLiteral("Удаление по условию: Период"),
                                     QStringLiteral("Удаление по условию: Все даты; В любое время; Данные всех пользователей.")}));
    auto own = env.testDb().select(QStringLiteral("SELECT ARM, K_LOGIN, MY_DATE FROM LOG_TABLE ORDER BY KOD DESC"));
    EXPECT_EQ(own->field(0).asString(), QStringLiteral("Протокол"));
    EXPECT_EQ(own->field(1).asInt64(), admin);
    EXPECT_EQ(own->field(2).asDate(), kToday);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
}

TEST_F(ProtocolTabTest, DeletingOneUsersPeriodLeavesTheRest)
{
    ProtokolUser = petrov;
    ProtokolTimeFrom = 0.0;  // from midnight
    ProtokolTimeTo = 10.0 / 24;
    ProtocolTab->Open_Protokol();
    ProtocolTab->Btn_Del->click();
    // Petrov's "Принят" of today before ten goes; his protocol-area rows and everyone else's stay.
    EXPECT_EQ(stored(QStringLiteral("WHERE K_LOGIN = 900001")),
              (QStringList{QStringLiteral("Удаление по условию: Все даты; "), QStringLiteral("Удаление по условию: Период")}));
    EXPECT_EQ(stored(QStringLiteral("WHERE K_LOGIN <> 900001")).size(), 4);
    EXPECT_EQ(stored().last(),
              QStringLiteral("Удаление по условию: Период с: 10.03.2026 по 10.03.2026; Время с: 00.00.00 по 10.00.00; "
                             "Пользователь Петров П.П.."));
}

TEST_F(ProtocolTabTest, TheDeletionHoldsTheProtocolFromItsFirstStep)
{
    allDates();
    ExpectEachHolds({{"deletion", {QStringLiteral("LOG_TABLE")}, [] { ProtocolTab->Btn_Del->click(); }}});
    EXPECT_EQ(stored().size(), 3);
}

TEST_F(ProtocolTabTest, ThePrintButtonPrintsTheListWithItsTextFilterAndOrder)
{
    auto office = std::make_unique<automation::RecordingOffice>();
    automation::RecordingOffice* recording = office.get();
    automation::SetProgramOffice(std::move(office));
    allDates();
    ProtocolTab->CB_ParContext->click();
    ProtocolTab->E_ParContext->setText(QStringLiteral("Удаление"));
    Form_Sort->RadioGroup1->setItemIndex(protocol::ByActionDateTime);
    ProtocolTab->Open_Protokol();
    const QStringList listed = shown();
    ASSERT_EQ(listed.size(), 2);

    ProtocolTab->Btn_PrintLog->click();
    ASSERT_EQ(recording->books.size(), 1);
    const automation::RecordedBook& book = recording->last();
    EXPECT_EQ(book.at(QStringLiteral("C1")).toString(), QStringLiteral("Фио"));
    for (int i = 0; i < listed.size(); ++i)
        EXPECT_EQ(book.at(QStringLiteral("E%1").arg(i + 2)).toString(), listed[i]);
    EXPECT_FALSE(book.at(QStringLiteral("A4")).isValid());
    EXPECT_TRUE(book.visible);
    automation::SetProgramOffice(nullptr);
}

TEST_F(ProtocolTabTest, APrintDuringTheSearchPausePrintsTheListAsTheGridsShowIt)
{
    auto office = std::make_unique<automation::RecordingOffice>();
    automation::RecordingOffice* recording = office.get();
    automation::SetProgramOffice(std::move(office));
    allDates();
    const QStringList listed = shown();
    ASSERT_GT(listed.size(), 1);
    Form_Base->Q_Protokol->setRecNo(1);
    // A search typed a moment ago: the list is rebuilt only when the pause ends.
    ProtocolTab->CB_ParContext->click();
    allDates();
    ProtocolTab->E_ParContext->setText(QStringLiteral("Удаление"));
    ProtocolTab->E_ParContextKeyUp();
    ASSERT_TRUE(ProtocolTab->Timer_OpenLog->isActive());
    const QStringList before = shown();

    ProtocolTab->Btn_PrintLog->click();
    ASSERT_EQ(recording->books.size(), 1);
    const automation::RecordedBook& book = recording->last();
    for (int i = 0; i < before.size(); ++i)
        EXPECT_EQ(book.at(QStringLiteral("E%1").arg(i + 2)).toString(), before[i]);
    EXPECT_FALSE(book.at(QStringLiteral("E%1").arg(before.size() + 2)).isValid());
    // The grids stand on the first row again.
    EXPECT_EQ(Form_Base->Q_Protokol->recNo(), 0);
    ProtocolTab->Timer_OpenLog->stop();
    automation::SetProgramOffice(nullptr);
}
