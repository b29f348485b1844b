// The shared small dialogs: their validations, messages and remembered values.

#include "support/AppEnv.h"

#include "ui/Unit_Alarm.h"
#include "ui/Unit_Gauge.h"
#include "ui/Unit_Name.h"
#include "ui/Unit_Period.h"
#include "ui/Unit_RG.h"
#include "ui/Unit_Sutki.h"
#include "grid/Greying.h"
#include "ui/UserLists.h"
#include "util/Clock.h"
#include "util/OfficeSession.h"
#include "util/Settings.h"

#include <gtest/gtest.h>

namespace {

// Presses OK and tells whether the dialog closed with OK.
bool pressOk(QDialog* d, QPushButton* ok)
{
    d->setResult(0);
    ok->click();
    return d->result() == QDialog::Accepted;
}

struct PinnedClock {
    explicit PinnedClock(const QDateTime& at) { Clock::setSource([at] { return at; }); }
    ~PinnedClock() { Clock::setSource({}); }
};

} // namespace

TEST(NameDialog, TextAndOrderNumberAreValidated)
{
    AppEnv env(false);
    TForm_Name& d = *Form_Name;
    auto ok = [&d] { return pressOk(&d, d.BitBtn1); };

    d.Edit1->clear();
    EXPECT_FALSE(ok());
    EXPECT_EQ(env.messages.value(0), QStringLiteral("Поле не заполнено !"));
    d.Edit1->setText(QStringLiteral("Склад №2"));
    EXPECT_TRUE(ok());

    d.Panel2->show();
    const struct {
        const char* order;
        bool accepted;
    } cases[] = {{"12", true}, {"0", true}, {"", false}, {"-3", false}, {"1.5", false}, {"1,5", false}, {" 7", false}};
    for (const auto& c : cases) {
        env.messages.clear();
        d.Edit2->setText(QString::fromLatin1(c.order));
        EXPECT_EQ(ok(), c.accepted) << c.order;
        if (!c.accepted) {
            EXPECT_EQ(env.messages.value(0), *c.order ? QStringLiteral("Только положительные целые числа !")
                                                      : QStringLiteral("Поле не заполнено !"))
                << c.order;
        }
    }
    d.Panel2->hide();

    // A caller for which an empty text is an answer (a password) says so.
    d.acceptsEmpty = true;
    d.Edit1->clear();
    EXPECT_TRUE(ok());
    d.acceptsEmpty = false;
}

TEST(PeriodDialog, OffersTheLast30DaysAndChecksTheEditLock)
{
    PinnedClock clock(QDateTime(QDate(2026, 5, 20), QTime(10, 0)));
    AppEnv env(false);
    TForm_Period d;  // created now: the clock above decides its dates
    EXPECT_EQ(d.Date_Start->date(), QDate(2026, 4, 20));
    EXPECT_EQ(d.Date_Finish->date(), QDate(2026, 5, 20));
    EXPECT_TRUE(d.CB_AllDate->isChecked());
    EXPECT_EQ(d.AllDates, 1);
    EXPECT_FALSE(d.Date_Start->isEnabled());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Выбор периода"));

    MyParams->v.DateDocEdit = true;
    MyParams->v.MyDateDocEdit = QDate(2026, 5, 1);
    // The lock tests the start date even with "Все даты" checked.
    EXPECT_FALSE(pressOk(&d, d.BitBtn1));
    EXPECT_EQ(env.messages.value(0),
              QStringLiteral("Администратор установил запрет на корректировку документов ранше даты: 01.05.2026"));
    d.Date_Start->setDate(QDate(2026, 5, 1));
    EXPECT_TRUE(pressOk(&d, d.BitBtn1));
    MyParams->v.DateDocEdit = false;

    env.messages.clear();
    d.CB_AllDate->click();  // the dates shown are checked
    d.Date_Start->setDate(QDate(2026, 5, 21));
    EXPECT_FALSE(pressOk(&d, d.BitBtn1));
    EXPECT_EQ(env.messages.value(0), QStringLiteral("Дата начала периода не может быть больше даты конца периода !"));
    d.Date_Start->setDate(QDate(2026, 5, 20));
    EXPECT_TRUE(pressOk(&d, d.BitBtn1));  // equal dates
}

// With "Все даты" the two dates are hidden: whatever they hold does not stop OK.
TEST(PeriodDialog, AllDatesLeaveTheHiddenDatesUnchecked)
{
    AppEnv env(false);
    TForm_Period& d = *Form_Period;
    ASSERT_TRUE(d.CB_AllDate->isChecked());
    d.Date_Start->setDate(QDate(2026, 5, 21));
    d.Date_Finish->setDate(QDate(2026, 5, 20));
    EXPECT_TRUE(pressOk(&d, d.BitBtn1));
    EXPECT_EQ(env.messages, QStringList{});
    d.CB_AllDate->click();
    EXPECT_FALSE(pressOk(&d, d.BitBtn1));
    EXPECT_EQ(env.messages.value(0), QStringLiteral("Дата начала периода не может быть больше даты конца периода !"));
}

TEST(PeriodDialog, CancelRestoresTheRememberedPeriod)
{
    AppEnv env(false);
    TForm_Period& d = *Form_Period;
    d.CB_AllDate->click();  // unchecked: the fields open
    EXPECT_EQ(d.AllDates, 0);
    EXPECT_TRUE(d.Date_Start->isEnabled());
    d.Date_Start->setDate(QDate(2026, 1, 10));
    d.Date_Finish->setDate(QDate(2026, 1, 20));
    d.show();  // remembers what it shows
    d.Date_Start->setDate(QDate(2025, 1, 1));
    d.Date_Finish->setDate(QDate(2025, 2, 1));
    d.BitBtn2->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(d.Date_Start->date(), QDate(2026, 1, 10));
    EXPECT_EQ(d.Date_Finish->date(), QDate(2026, 1, 20));
    EXPECT_EQ(d.AllDates, 0);

    // The check box keeps its state; the flag and the fields follow it.
    d.show();
    d.CB_AllDate->click();
    d.BitBtn2->click();
    EXPECT_EQ(d.AllDates, 1);
    EXPECT_FALSE(d.Date_Start->isEnabled());
}

TEST(TimeDialog, EqualTimesAreAcceptedAReversedRangeIsNot)
{
    PinnedClock clock(QDateTime(QDate(2026, 5, 20), QTime(13, 45, 10, 500)));
    AppEnv env(false);
    TForm_Sutki& d = *Form_Sutki;
    EXPECT_EQ(d.AnyTime, 1);
    d.show();
    EXPECT_EQ(d.Time_Start->time(), QTime(13, 45, 10));
    EXPECT_EQ(d.Time_End->time(), QTime(13, 45, 10));
    EXPECT_TRUE(pressOk(&d, d.BitBtn1));

    d.CB_All->click();
    EXPECT_EQ(d.AnyTime, 0);
    EXPECT_TRUE(d.Time_Start->isEnabled());
    d.Time_End->setTime(QTime(12, 0));
    EXPECT_FALSE(pressOk(&d, d.BitBtn1));
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Начало должно быть раньше окончания !")});
    d.hide();
}

TEST(ChoiceDialog, ReadsTheChosenItem)
{
    AppEnv env(false);
    TForm_RG& d = *Form_RG;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Выбор"));
    d.RG->setTitle(QStringLiteral("Цены"));
    d.RG->setItems({QStringLiteral("Складские"), QStringLiteral("Продажные")});
    d.RG->setItemIndex(1);
    EXPECT_TRUE(pressOk(&d, d.BitBtn1));
    EXPECT_EQ(d.RG->itemIndex(), 1);
    d.RG->setItems({QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")});
    EXPECT_EQ(d.RG->itemIndex(), 1);  // the index survives new items
    d.RG->setItemIndex(-1);
    EXPECT_EQ(d.RG->itemIndex(), -1);
}

TEST(AlarmWindow, PrintsOneLinePerRowOfTheFirstColumn)
{
    AppEnv env(false);
    const TOfficeSession saved = OfficeSession;
    QMap<QPair<int, int>, QString> cells;
    QStringList calls;
    OfficeSession.OfficeConnect = [&] { calls << "connect"; return true; };
    OfficeSession.OfficeNewCalc = [&] { calls << "new"; return true; };
    OfficeSession.SetCellString = [&](int c, int r, const QString& t) { cells[{c, r}] = t; };
    OfficeSession.ShowDocument = [&] { calls << "show"; };
    OfficeSession.OfficeDisconnect = [&] { calls << "disconnect"; };
    QStringList excel;
    OfficeSession.ExcelWriteColumn = [&](const QStringList& lines) { excel = lines; };

    Form_Alarm->Memo1->setPlainText(QStringLiteral("Продукт <<Соль>> без цены\nПродукт <<Перец>> без цены\n"));
    MyParams->v.PrintPrgOpenOffice = true;
    Form_Alarm->BitBtn1->click();
    EXPECT_EQ(calls, (QStringList{"connect", "new", "show", "disconnect"}));
    EXPECT_EQ(cells.size(), 2);
    EXPECT_EQ(cells.value({0, 0}), QStringLiteral("Продукт <<Соль>> без цены"));
    EXPECT_EQ(cells.value({0, 1}), QStringLiteral("Продукт <<Перец>> без цены"));

    MyParams->v.PrintPrgOpenOffice = false;
    Form_Alarm->BitBtn1->click();
    EXPECT_EQ(excel.size(), 2);

    // No office suite: the user is told, nothing else happens.
    MyParams->v.PrintPrgOpenOffice = true;
    OfficeSession.OfficeConnect = [] { return false; };
    calls.clear();
    Form_Alarm->BitBtn1->click();
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Проверте установлен ли у Вас OpenOffice верссии не ниже 3.2 !")});
    EXPECT_TRUE(calls.isEmpty());
    OfficeSession = saved;
}

TEST(GaugeWindow, StaysOnTopWithoutTakingTheFocus)
{
    AppEnv env(false);
    EXPECT_EQ(Form_Gauge->windowTitle(), QStringLiteral("Ход выполнения"));
    EXPECT_TRUE(Form_Gauge->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(Form_Gauge->testAttribute(Qt::WA_ShowWithoutActivating));
}

TEST(GaugeWindow, AValuePastTheMaximumShowsAsTheMaximum)
{
    AppEnv env(false);
    TGauge* g = Form_Gauge->Gauge1;
    g->setRange(0, 40);
    g->setValue(10);
    g->setValue(41);  // the last rows of a run may count past the rows it expected
    EXPECT_EQ(g->value(), 40);
    g->setValue(-3);
    EXPECT_EQ(g->value(), 0);
}
