// The turnover statement's options window and its product-or-group chooser,
// headless on the program's windows: resets, refusals with their focus, the
// typed searches, the counterparty filter, the chooser's kind, printing.

#include "Unit_Oborotka.h"
#include "Unit_PrintOstatki.h"
#include "entries/PrtDvig.h"
#include "entries/Prt_Invent.h"
#include "Unit_SelectFirma.h"
#include "Unit_SelectOtdel.h"

#include "ProgramOffice.h"
#include "automation/RecordingOffice.h"
#include "support/AppEnv.h"
#include "support/PickersStub.h"
#include "support/TemplateFixture.h"
#include "support/TurnoverData.h"

#include "base/Unit_Base.h"
#include "db/Query.h"
#include "grid/DatasetModel.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_Gauge.h"
#include "util/Messages.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

using namespace turnoverdata;

namespace {

class OborotkaWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Catalogue([this](const QString& sql) { env.testDb().exec(sql); });
        env.testDb().exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (105, 'Кафе \"О''Брайен\"', 0)"));
        Form_Base->TransactionRead->commit();
        Form_Base->TransactionRead->start();
        f = ::OborotkaWindow();
        f->show();
    }
    void TearDown() override
    {
        f->hide();
        Msg::setModalHandler({});
    }

    // Runs the chooser: shown, `act` sets it, then OK (true) or Cancel.
    void choose(const std::function<void(TForm_SelectIng*)>& act, bool ok)
    {
        Msg::setModalHandler([&](QDialog* d) {
            auto* s = static_cast<TForm_SelectIng*>(d);
            s->show();
            act(s);
            s->hide();
            return ok ? QDialog::Accepted : QDialog::Rejected;
        });
        f->Btn_Ing->click();
        Msg::setModalHandler({});
    }

    AppEnv env;
    TForm_Oborotka* f = nullptr;
};

} // namespace

TEST_F(OborotkaWindow, ShowingResetsTheChoicesAndTheBoxesDependOnEachOther)
{
    f->CB_AllFirma->click();
    EXPECT_TRUE(f->Btn_Firma->isEnabled());
    EXPECT_TRUE(f->CB_AllOtdel->isEnabled());
    f->CB_AllOtdel->click();
    EXPECT_TRUE(f->Btn_Otdel->isEnabled());
    f->CB_Short->click();
    EXPECT_TRUE(f->CB_Ostatki->isEnabled());
    f->CB_Ostatki->click();
    f->Combo_TypeDoc->setCurrentIndex(8);
    f->hide();
    f->show();
    EXPECT_TRUE(f->CB_AllFirma->isChecked());
    EXPECT_TRUE(f->CB_AllOtdel->isChecked());
    EXPECT_FALSE(f->CB_AllOtdel->isEnabled());
    EXPECT_FALSE(f->Btn_Firma->isEnabled());
    EXPECT_EQ(f->P_Ing->text(), QStringLiteral("Все продукты"));
    EXPECT_EQ(f->Combo_TypeDoc->currentIndex(), 0);
    EXPECT_TRUE(f->CB_Ostatki->isChecked());  // kept between showings
    f->CB_Short->click();  // no balances without the short form
    EXPECT_FALSE(f->CB_Ostatki->isChecked());
    EXPECT_FALSE(f->CB_Ostatki->isEnabled());
}

TEST_F(OborotkaWindow, RefusalsPutTheFocusOnTheirControl)
{
    f->CB_AllFirma->click();
    f->Btn_Ok->click();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Не выбрано предприятие !"));
    EXPECT_EQ(f->focusWidget(), f->Btn_Firma);
    // The department picker asks for the enterprise first.
    f->CB_AllOtdel->click();
    f->Btn_Otdel->click();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Не выбрано предприятие !"));

    PickersStub pickers;
    pickers.onFirma = [](qint64& kod, QString& name) {
        kod = Stolovaya;
        name = QStringLiteral("Столовая №1");
        return true;
    };
    f->Btn_Firma->click();
    EXPECT_EQ(f->P_NameFirma->text(), QStringLiteral("Столовая №1"));
    f->Btn_Ok->click();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Не выбрано подразделение(отдел) !"));
    EXPECT_EQ(f->focusWidget(), f->Btn_Otdel);
    f->CB_AllOtdel->click();
    f->CB_Ing->click();
    f->Btn_Ok->click();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Не выбрана детализация выборки по продуктам !"));
    EXPECT_EQ(f->focusWidget(), f->Btn_Ing);
    f->CB_Ing->click();
    f->Date_Start->setDate(f->Date_End->date().addDays(1));
    f->Btn_Ok->click();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Дата начала периода не может быть больше дата конца периода !"));
    EXPECT_EQ(f->focusWidget(), f->Date_Start);
    f->Date_Start->setDate(f->Date_End->date());
    f->RG->setItemIndex(1);
    f->Btn_Ok->click();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Выбрана опция обработки документов выбранных партнёров, однако ни "
                                                  "один партнёр не выбран !"));
    EXPECT_EQ(f->focusWidget(), static_cast<QWidget*>(f->GridFirma));
    EXPECT_TRUE(f->isVisible());
}

TEST_F(OborotkaWindow, CounterpartiesAreSearchedByBoundTextAndMovedLineForLine)
{
    f->RG->setItemIndex(1);
    EXPECT_TRUE(f->RG2->isEnabled());
    EXPECT_EQ(f->Q_Vibor->recordCount(), 5);
    f->CB_Context->click();
    f->E_Context->setText(QStringLiteral("о'бр"));  // a quote in the typed text
    f->Timer_ContextTimer();
    ASSERT_EQ(f->Q_Vibor->recordCount(), 1);
    f->Btn_Add->click();
    f->Btn_Add->click();  // no duplicate check
    f->E_Context->setText(QStringLiteral("бета"));
    f->Timer_ContextTimer();
    f->Btn_All_Add->click();
    EXPECT_EQ(f->Memo_Filter->toPlainText(),
              QStringLiteral("Кафе \"О'Брайен\"\nКафе \"О'Брайен\"\nПокупатель Бета"));
    EXPECT_EQ(f->Memo2->toPlainText(), QStringLiteral(" imp.KOD = 105\n imp.KOD = 105\n imp.KOD = 103"));
    EXPECT_EQ(f->Memo3->toPlainText(), QStringLiteral(" imp.KOD <> 105\n imp.KOD <> 105\n imp.KOD <> 103"));
    QTextCursor c(f->Memo_Filter->document()->findBlockByNumber(1));
    f->Memo_Filter->setTextCursor(c);
    f->Btn_Del->click();
    EXPECT_EQ(f->Memo_Filter->toPlainText(), QStringLiteral("Кафе \"О'Брайен\"\nПокупатель Бета"));
    EXPECT_EQ(f->Memo3->toPlainText(), QStringLiteral(" imp.KOD <> 105\n imp.KOD <> 103"));
    EXPECT_EQ(f->Options().partners, (QVector<qint64>{105, Beta}));
    // Back to all counterparties: the choice stays but is not applied.
    f->RG->setItemIndex(0);
    EXPECT_FALSE(f->Q_Vibor->active());
    EXPECT_FALSE(f->RG2->isEnabled());
    EXPECT_FALSE(f->Options().selectedPartners);
    f->Btn_All_Del->click();
    EXPECT_TRUE(f->Memo2->toPlainText().isEmpty());
}

TEST_F(OborotkaWindow, TheChoosersKindStaysWithItsKey)
{
    f->CB_Ing->click();
    choose(
        [](TForm_SelectIng* s) {
            EXPECT_EQ(s->RG->itemIndex(), 1);
            s->RG->setItemIndex(0);
            ASSERT_TRUE(s->GR->locate(QStringLiteral("NAME"), QStringLiteral("Мясо")));
            s->Btn_Ok->click();
        },
        true);
    EXPECT_EQ(f->P_Ing->text(), QStringLiteral("Группа << Мясо >>"));
    // Opened again (product mode) and cancelled: still the group.
    choose([](TForm_SelectIng*) {}, false);
    EXPECT_EQ(f->P_Ing->text(), QStringLiteral("Группа << Мясо >>"));
    const reports::TurnoverOptions o = f->Options();
    EXPECT_TRUE(o.ingIsGroup);
    EXPECT_EQ(o.ing, Myaso);
    EXPECT_TRUE(reports::TurnoverStatementLines(o).contains(QStringLiteral("AND ING.KOD_GROUP = 402")));

    // A product found by typed text, е and ё alike.
    env.testDb().exec(QStringLiteral("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (509, 401, 'Свёкла', 301)"));
    Form_Base->TransactionRead->commit();
    Form_Base->TransactionRead->start();
    choose(
        [](TForm_SelectIng* s) {
            s->CB_Context->click();
            s->E_Context->setText(QStringLiteral("свекл"));
            s->Timer1Timer();
            EXPECT_EQ(s->ING->recordCount(), 1);
            s->E_Context->setText(QStringLiteral("морк"));
            s->Timer1Timer();
            ASSERT_EQ(s->ING->recordCount(), 1);
            EXPECT_EQ(s->ING->field(QStringLiteral("SHORT_NAME")).asString(), QStringLiteral("кг"));
        },
        true);
    EXPECT_EQ(f->P_Ing->text(), QStringLiteral("Продукт << Морковь >>"));
    EXPECT_FALSE(f->Options().ingIsGroup);
    EXPECT_FALSE(SelectIngWindow()->ING->active());
}

TEST_F(OborotkaWindow, TheChooserRefusesAnEmptyChoice)
{
    TForm_SelectIng* s = SelectIngWindow();
    s->show();
    s->CB_Context->click();
    s->E_Context->setText(QStringLiteral("нет такого"));
    s->Timer1Timer();
    s->Btn_Ok->click();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Не выбран ниодин продукт !"));
    EXPECT_TRUE(s->isVisible());
    s->hide();
}

TEST_F(OborotkaWindow, OkPrintsTheStatementAndClosesTheWindow)
{
    InsertVariable(env.testDb(), InsertTemplate(env.testDb(), 3, TableLayout(QStringLiteral("Оборотка"), 603)),
                   PlacedVariable(QStringLiteral("name"), templates::LocTable, QStringLiteral("B1")));
    Doc([this](const QString& s) { env.testDb().exec(s); }, 1001, QStringLiteral("П-1"), QDate(2026, 1, 10), 5, Alfa,
        Stolovaya, Kuhnya, 11);
    Move([this](const QString& s) { env.testDb().exec(s); }, 1001, Kartofel, Kuhnya, 2, 20, 1);
    Form_Base->TransactionRead->commit();
    Form_Base->TransactionRead->start();
    auto owned = std::make_unique<automation::RecordingOffice>();
    automation::RecordingOffice* office = owned.get();
    automation::SetProgramOffice(std::move(owned));
    f->Date_Start->setDate(QDate(2026, 1, 1));
    f->Date_End->setDate(QDate(2026, 1, 31));
    f->Btn_Ok->click();
    ASSERT_EQ(office->books.size(), 1);
    // The template has no heading variables: they take no row.
    EXPECT_EQ(office->last().at(QStringLiteral("B8")), QStringLiteral("Картофель"));
    EXPECT_EQ(f->result(), QDialog::Accepted);
    EXPECT_FALSE(f->isVisible());
    automation::SetProgramOffice(nullptr);
}

TEST_F(OborotkaWindow, AnExportShowingAllowsOnlyTheStatementByOperations)
{
    f->hide();
    f->CB_Short->setChecked(true);
    f->CB_ShortClick();
    f->CB_Ostatki->setChecked(true);
    bool shortEnabled = true;
    Msg::setModalHandler([&](QDialog*) {
        shortEnabled = f->CB_Short->isEnabled();
        EXPECT_FALSE(f->CB_Short->isChecked());
        EXPECT_FALSE(f->CB_Ostatki->isChecked());
        EXPECT_EQ(f->exportPath, QStringLiteral("/tmp/obmen.dbf"));
        return QDialog::Rejected;
    });
    printing::ShowOborotka(QStringLiteral("/tmp/obmen.dbf"), true);
    EXPECT_FALSE(shortEnabled);
    EXPECT_TRUE(f->CB_Short->isEnabled());  // enabled again when the window hides
    EXPECT_TRUE(f->exportPath.isEmpty());
}


TEST_F(OborotkaWindow, TheInventoryEntryPrintsTheDocumentsSheet)
{
    const qint64 form = InsertTemplate(env.testDb(), 5, TableLayout(QStringLiteral("Опись"), 605));
    InsertVariable(env.testDb(), form, PlacedVariable(QStringLiteral("otdel"), templates::LocHeader, QStringLiteral("B2")));
    InsertVariable(env.testDb(), form, PlacedVariable(QStringLiteral("name"), templates::LocTable, QStringLiteral("B1")));
    InsertVariable(env.testDb(), form, PlacedVariable(QStringLiteral("nedost"), templates::LocTable, QStringLiteral("C1")));
    env.testDb().exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, INT_PARAM1, "
                                     "PROVODKA) VALUES (900, 'И-1', '2026-02-28', 1, 101, 201, 1)"));
    env.testDb().exec(QStringLiteral("INSERT INTO INVENT (KOD_DOC, KOD_ING, KOLVO, CENA, MY_KOLVO, MY_CENA, CENA_P) "
                                     "VALUES (900, 501, 10, 5, 8, 6, 9)"));
    Form_Base->TransactionRead->commit();
    Form_Base->TransactionRead->start();
    auto owned = std::make_unique<automation::RecordingOffice>();
    automation::RecordingOffice* office = owned.get();
    automation::SetProgramOffice(std::move(owned));
    printing::Prt_Invent(900);
    ASSERT_EQ(office->books.size(), 1);
    EXPECT_EQ(office->last().at(QStringLiteral("B2")), QStringLiteral("Кухня"));
    // The template has no group heading: the line is the first table row.
    EXPECT_EQ(office->last().at(QStringLiteral("B8")), QStringLiteral("Картофель"));
    EXPECT_EQ(office->last().at(QStringLiteral("C8")), QVariant(2.0));
    automation::SetProgramOffice(nullptr);
}

TEST_F(OborotkaWindow, TheProgramsPickersChooseAnOwnEnterpriseAndItsDepartment)
{
    ASSERT_NE(printing::RegisteredReportPickers(), nullptr);
    QStringList listed, departments;
    Msg::setModalHandler([&](QDialog* d) {
        if (auto* s = dynamic_cast<TForm_SelectFirma*>(d)) {
            for (int r = 0; r < s->Q_Vibor->recordCount(); ++r)
                listed << s->Q_Vibor->valueAt(r, s->Q_Vibor->fieldIndex(QStringLiteral("NAME"))).toString();
            s->Q_Vibor->locate(QStringLiteral("NAME"), QStringLiteral("Столовая №1"));
            return int(QDialog::Accepted);
        }
        if (auto* o = dynamic_cast<TForm_SelectOtdel*>(d)) {
            for (int r = 0; r < o->Q_O->recordCount(); ++r)
                departments << o->Q_O->valueAt(r, o->Q_O->fieldIndex(QStringLiteral("NAME"))).toString();
            o->Q_O->locate(QStringLiteral("NAME"), QStringLiteral("Бар"));
            return int(QDialog::Accepted);
        }
        return int(QDialog::Rejected);
    });
    f->CB_AllFirma->click();
    f->Btn_Firma->click();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("Кафе Гамма"), QStringLiteral("Столовая №1")}));  // own ones only
    EXPECT_EQ(f->P_NameFirma->text(), QStringLiteral("Столовая №1"));
    EXPECT_EQ(f->firmaKod, Stolovaya);
    f->CB_AllOtdel->click();
    f->Btn_Otdel->click();
    EXPECT_EQ(f->P_NameOtdel->text(), QStringLiteral("Бар"));
    EXPECT_EQ(f->Options().otdel, Bar);
    EXPECT_EQ(departments, (QStringList{QStringLiteral("Бар"), QStringLiteral("Кухня")}));
    // The costing card print asks for them as stored.
    departments.clear();
    qint64 kod = 0;
    QString name;
    EXPECT_TRUE(printing::RegisteredReportPickers()->otdel(Stolovaya, printing::ReportPickers::Order::AsStored, kod, name));
    EXPECT_EQ(departments, (QStringList{QStringLiteral("Кухня"), QStringLiteral("Бар")}));
    // A new enterprise clears the department.
    f->Btn_Firma->click();
    EXPECT_EQ(f->otdelKod, 0);
    EXPECT_TRUE(f->P_NameOtdel->text().isEmpty());
}

TEST_F(OborotkaWindow, TheShortFormWithBalancesPrintsByProducts)
{
    const qint64 form = InsertTemplate(env.testDb(), 4, TableLayout(QStringLiteral("Оборотка по продуктам"), 604));
    InsertVariable(env.testDb(), form, PlacedVariable(QStringLiteral("name"), templates::LocTable, QStringLiteral("B1")));
    InsertVariable(env.testDb(), form, PlacedVariable(QStringLiteral("ost_end"), templates::LocTable, QStringLiteral("C1")));
    InsertVariable(env.testDb(), form, PlacedVariable(QStringLiteral("ed_izm"), templates::LocTable, QStringLiteral("D1")));
    const Exec x = [this](const QString& s) { env.testDb().exec(s); };
    Stock(x, Kartofel, Stolovaya, Kuhnya, 10);
    Doc(x, 1001, QStringLiteral("П-1"), QDate(2026, 1, 10), 5, Stolovaya, 0, Kuhnya, 11);
    Move(x, 1001, Kartofel, Kuhnya, 2, 20, 1);
    Doc(x, 1002, QStringLiteral("Р-9"), QDate(2026, 2, 10), 6, Stolovaya, 0, Kuhnya, 11);
    Move(x, 1002, Kartofel, Kuhnya, 1, 20, 2);  // after the period
    Form_Base->TransactionRead->commit();
    Form_Base->TransactionRead->start();
    auto owned = std::make_unique<automation::RecordingOffice>();
    automation::RecordingOffice* office = owned.get();
    automation::SetProgramOffice(std::move(owned));
    f->Date_Start->setDate(QDate(2026, 1, 1));
    f->Date_End->setDate(QDate(2026, 1, 31));
    f->CB_Short->click();
    f->CB_Ostatki->click();
    f->Btn_Ok->click();
    ASSERT_EQ(office->books.size(), 1);
    EXPECT_EQ(office->last().at(QStringLiteral("B8")), QStringLiteral("Картофель"));
    EXPECT_EQ(office->last().at(QStringLiteral("C8")), QVariant(11.0));
    EXPECT_EQ(office->last().at(QStringLiteral("D8")), QStringLiteral("кг"));
    EXPECT_EQ(Form_Gauge->windowTitle(), QStringLiteral("Ход выполнения"));
    EXPECT_FALSE(Form_Gauge->isVisible());
    EXPECT_FALSE(f->isVisible());
    automation::SetProgramOffice(nullptr);
}

// What users type in the search boxes: a text Windows-1251 cannot hold, one
// longer than any name, or % and _ (matched as themselves) find nothing,
// quietly, and the next search works.
TEST_F(OborotkaWindow, SearchTextsThatMatchNothingFindNothingQuietly)
{
    f->RG->setItemIndex(1);
    f->CB_Context->click();
    TForm_SelectIng* s = SelectIngWindow();
    s->show();
    s->CB_Context->click();
    for (const QString& typed : {QStringLiteral("Кафе ☕ 菜单"), QStringLiteral("о").repeated(400), QStringLiteral("%"),
                                 QStringLiteral("_"), QStringLiteral("Картофел_")}) {
        f->E_Context->setText(typed);
        f->Timer_ContextTimer();
        EXPECT_EQ(f->Q_Vibor->recordCount(), 0) << typed.left(20).toStdString();
        s->E_Context->setText(typed);
        s->Timer1Timer();
        EXPECT_EQ(s->ING->recordCount(), 0) << typed.left(20).toStdString();
    }
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    f->E_Context->setText(QStringLiteral("бета"));
    f->Timer_ContextTimer();
    EXPECT_EQ(f->Q_Vibor->recordCount(), 1);
    s->hide();
}

// A search box filled to its length with characters the pattern must escape
// finds the one name made of them, not the names they would stand for.
TEST_F(OborotkaWindow, FullSearchTextsOfEscapedCharactersFindTheirNamesOnly)
{
    auto& t = env.testDb();
    int kod = 900;
    // Names hold no quote: they go into the statements as they stand.
    for (const QChar c : {QLatin1Char('_'), QLatin1Char('%'), QLatin1Char('\\')}) {
        ++kod;
        t.exec(QStringLiteral("INSERT INTO ING (KOD, NAME) VALUES (%1, '%2x')").arg(kod).arg(QString(98, c)));
        t.exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (%1, '%2x', 0)").arg(kod).arg(QString(252, c)));
    }
    t.exec(QStringLiteral("INSERT INTO ING (KOD, NAME) VALUES (999, '%1')").arg(QString(99, QLatin1Char('Z'))));
    t.exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (999, '%1', 0)").arg(QString(253, QLatin1Char('Z'))));
    Form_Base->TransactionRead->commit();
    Form_Base->TransactionRead->start();

    f->RG->setItemIndex(1);
    f->CB_Context->click();
    TForm_SelectIng* s = SelectIngWindow();
    s->show();
    s->CB_Context->click();
    for (const QChar c : {QLatin1Char('_'), QLatin1Char('%'), QLatin1Char('\\')}) {
        f->E_Context->setText(QString(252, c));
        f->Timer_ContextTimer();
        ASSERT_EQ(f->Q_Vibor->recordCount(), 1) << c.toLatin1();
        EXPECT_EQ(f->Q_Vibor->field(QStringLiteral("NAME")).asString(), QString(252, c) + QLatin1Char('x'));
        s->E_Context->setText(QString(98, c));
        s->Timer1Timer();
        ASSERT_EQ(s->ING->recordCount(), 1) << c.toLatin1();
        EXPECT_EQ(s->ING->field(QStringLiteral("NAME")).asString(), QString(98, c) + QLatin1Char('x'));
    }
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    s->hide();
}

TEST_F(OborotkaWindow, BoxesThatSetOtherControlsAnswerTheMouseTheKeyboardAndAssistiveTools)
{
    // The turnover statement's short form enables the balances; the summed balance print disables its zero rows box.
    TForm_PrintOstatki* balances = printing::PrintOstatkiForm();
    balances->show();
    const QList<std::tuple<QCheckBox*, QWidget*, bool>> cases{{f->CB_Short, f->CB_Ostatki, true},
                                                              {balances->CB_Sum, balances->CB_Zero, false}};
    const QList<std::function<void(QCheckBox*)>> ways{
        [](QCheckBox* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2)); },
        [](QCheckBox* b) { QTest::keyClick(b, Qt::Key_Space); },
        [](QCheckBox* b) { QAccessible::queryAccessibleInterface(b)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction()); }};
    for (const auto& [box, follower, enabledWhenTicked] : cases)
        for (int way = 0; way < ways.size(); ++way)
            for (int i = 0; i < 2; ++i) {
                ways[way](box);
                EXPECT_EQ(follower->isEnabled(), box->isChecked() == enabledWhenTicked) << box->text().toStdString() << ", way " << way;
            }
    balances->hide();
}
