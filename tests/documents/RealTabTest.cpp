// The production and sales tab with the program's windows on a real
// database: documents filled from a menu at the menu's document price,
// header edits, copies, posting from the tab, the keypad and the search.

#include "../catalogue/MenuFixture.h"
#include "MoveEnv.h"

#include "Unit_DocReal.h"
#include "Unit_Provodka.h"
#include "Unit_RealTab.h"
#include "Unit_SelectMenu.h"
#include "costing/Rounding.h"
#include "engine/Context.h"
#include "engine/DocumentClaim.h"
#include "ui/Keypad.h"
#include "support/UserInput.h"
#include "ui/Unit_Name.h"
#include "grid/Greying.h"
#include "support/HeldTables.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

class RealEnv : public MoveEnv {
public:
    RealEnv() : clock(QDate(2026, 12, 7)) {}

    qint64 realDoc(int type, int p, const QString& name = QStringLiteral("Р-1"), int provodka = 0)
    {
        const qint64 k = num(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
        t().exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                "KOD_PARTNER_IMPORT, P, PROVODKA) VALUES (%1, '%2', '2026-12-01', '09:00:00', %3, %4, %4, %5, %6)")
                     .arg(k)
                     .arg(name)
                     .arg(type)
                     .arg(firmaKod)
                     .arg(p)
                     .arg(provodka));
        return k;
    }
    qint64 realLine(qint64 doc, qint64 ing, double kolvo, double cena, qint64 otdel = 0, double cenaSklad = 0)
    {
        const qint64 k = num(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
        t().exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                                "VALUES (%1, %2, %3, %4, %5, %6, %7)")
                     .arg(k)
                     .arg(doc)
                     .arg(ing)
                     .arg(otdel ? otdel : kitchen)
                     .arg(kolvo)
                     .arg(cena)
                     .arg(cenaSklad));
        return k;
    }
    // Борщ 7, Компот 50 and Суп 0 on the document, shown on the sales tab
    // with its lines read and "Сдвигать позицию курсора" as given.
    void showThreeLines(qint64 doc, bool next)
    {
        realLine(doc, product(QStringLiteral("Борщ"), 0, 1, 5), 7, 5);
        realLine(doc, product(QStringLiteral("Компот"), 0, 1, 5), 50, 5);
        realLine(doc, product(QStringLiteral("Суп"), 0, 1, 5), 0, 5);
        Form_Main->PageControl1->setCurrentWidget(Form_Main->Sheet_Real);
        input::showActive(Form_Main, RealTab->Grid_RealBludo);
        show(doc);
        RealTab->Timer_RealTimer();
        RealTab->CB_Next->setChecked(next);
        QApplication::processEvents();
    }
    // Line values of a document by product name (of one department, when given).
    QMap<QString, QPair<double, double>> lines(qint64 doc, const char* priceColumn = "CENA", qint64 otdel = 0)
    {
        auto q = t().select(QStringLiteral("SELECT ING.NAME, REAL_BLUDO.KOLVO, REAL_BLUDO.%1 FROM REAL_BLUDO "
                                           "INNER JOIN ING ON ING.KOD = REAL_BLUDO.KOD_ING WHERE KOD_DOC = %2")
                                .arg(QLatin1String(priceColumn))
                                .arg(doc) +
                            (otdel ? QStringLiteral(" AND KOD_OTDEL = %1").arg(otdel) : QString()));
        QMap<QString, QPair<double, double>> out;
        for (q->first(); !q->eof(); q->next())
            out.insert(q->field(0).asString(), {q->field(1).asDouble(), q->field(2).asDouble()});
        return out;
    }
    void show(qint64 doc) { RealTab->ShowDocument(doc); }
    qint64 currentDoc() { return cat::KeyOf(RealTab->Q_Docs_Real); }

    PinnedClock clock;
};

// The header dialog's step: number, optionally a menu through the chooser, OK.
std::function<void(QWidget*)> fillHeader(const QString& name, bool chooseMenu, int type = 1, int p = 0)
{
    return [=](QWidget*) {
        TForm_DocReal* f = Form_DocReal;
        f->E_Name->setText(name);
        f->RG_TypeDoc->setItemIndex(type);
        f->RG_PF->setItemIndex(p);
        if (chooseMenu)
            f->Btn_SelectMenu->click();
        f->Btn_Ok->click();
    };
}

// The chooser's step: the sections and dishes loaded, then OK on the first menu.
std::function<void(QWidget*)> pickMenu(QMap<QString, QVariant>* shownPrices = nullptr)
{
    return [=](QWidget*) {
        Form_SelectMenu->Timer_RazdelTimer();
        EXPECT_TRUE(Form_SelectMenu->BtnOk->isEnabled());
        EXPECT_TRUE(Form_SelectMenu->Q_Menu_Str->active());
        if (shownPrices)
            *shownPrices = byName(Form_SelectMenu->Q_Menu_Str, QStringLiteral("CENA_MENU"));
        Form_SelectMenu->BtnOk->click();
    };
}

} // namespace

TEST(RealTab, AMenuFillsTheDocumentAtTheMenuPriceWithStockPricesAndNoQuantities)
{
    RealEnv env;
    const qint64 soup = env.product(QStringLiteral("Суп"), 0, 7.5, 12.34);
    const qint64 tea = env.product(QStringLiteral("Чай"), 0, 2.25, 12.34);
    setPrice(env, soup, env.kitchen, 12.34, 2);  // set by hand
    setPrice(env, tea, env.kitchen, 12.34, 2);
    const qint64 menu = newMenu(env.firmaKod, QStringLiteral("Обед"), QDate(2026, 12, 7), -10);
    const qint64 razdel = newRazdel(menu, env.kitchen, QStringLiteral("Первое"), 1);
    newDish(razdel, soup, 1);  // hand prices are not rounded
    newDish(razdel, tea, 0);
    if (!StructureBox->Q_Firma->active())
        Form_Base->OpenRead(StructureBox->Q_Firma, QStringLiteral("SELECT * FROM FIRMA WHERE LOCAL_FIRMA = 1 ORDER BY NAME"));
    CatEnv::at(StructureBox->Q_Firma, env.firmaKod);

    QMap<QString, QVariant> shown;
    {
        ModalScript script;
        script.then(fillHeader(QStringLiteral("Р-7"), true)).then(pickMenu(&shown));
        Guard([] { RealTab->Btn_Add_RealClick(); });
    }
    const qint64 doc = env.currentDoc();
    ASSERT_NE(doc, 0) << env.messages.join(QLatin1Char('|')).toStdString();
    const double stepped = costing::RoundPrice(engine::ProgramContext(), 12.34 * 0.9);
    ASSERT_NE(stepped, 11.11);  // the two rules differ here
    const auto l = env.lines(doc);
    EXPECT_DOUBLE_EQ(l.value(QStringLiteral("Суп")).second, 11.11);
    EXPECT_DOUBLE_EQ(l.value(QStringLiteral("Чай")).second, stepped);
    EXPECT_DOUBLE_EQ(l.value(QStringLiteral("Суп")).first, 0);
    EXPECT_DOUBLE_EQ(env.lines(doc, "CENA_SKLAD").value(QStringLiteral("Суп")).second, 7.5);
    EXPECT_DOUBLE_EQ(env.lines(doc, "CENA_SKLAD").value(QStringLiteral("Чай")).second, 2.25);
    // The chooser showed what the document received.
    EXPECT_DOUBLE_EQ(shown.value(QStringLiteral("Суп")).toDouble(), 11.11);
    EXPECT_DOUBLE_EQ(shown.value(QStringLiteral("Чай")).toDouble(), stepped);
    EXPECT_EQ(env.docField(doc, "DOC_TYPE"), 3);
    EXPECT_EQ(env.logLines(QStringLiteral("Создан документ № Р-7")), 1);
    EXPECT_EQ(RealTab->L_Period_Real->text(), QStringLiteral("Любая дата документа"));
}

TEST(RealTab, HeaderChecksAndTheModesOfAProduction)
{
    RealEnv env;
    Form_DocReal->PrepareNew(0, QString());
    Form_DocReal->E_Name->setText(QStringLiteral("Р-1"));
    Form_DocReal->Btn_SelectMenuClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Сначала необходимо выбрать предприятие !"));
    Form_DocReal->Btn_OkClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Не выбрано предприятие !"));
    Form_DocReal->PrepareNew(env.firmaKod, QStringLiteral("Общество с ограниченной ответственностью «Столовая» на Большой Садовой"));
    EXPECT_EQ(Form_DocReal->E_Firma->cursorPosition(), 0);  // a long name shows its start
    Form_DocReal->Btn_OkClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Не выбрано меню !"));
    // "Готовые продукты" is no choice for a production.
    Form_DocReal->RG_TypeDoc->setItemIndex(0);
    Form_DocReal->RG_PF->setItemIndex(1);
    Form_DocReal->RG_PFClick();
    EXPECT_EQ(Form_DocReal->RG_PF->itemIndex(), 0);
    EXPECT_EQ(env.messages.last(), QStringLiteral("При производстве можно списывать только составляющие ингредиенты или полуфабрикаты!"));
    EXPECT_EQ(env.count(QStringLiteral("DOCS")), 0);
}

TEST(RealTab, AnEditWithoutAMenuKeepsTheLinesAndWithAMenuReplacesThem)
{
    RealEnv env;
    const qint64 soup = env.product(QStringLiteral("Суп"), 0, 7.5, 20);
    const qint64 tea = env.product(QStringLiteral("Чай"), 0, 2, 5);
    const qint64 menu = newMenu(env.firmaKod, QStringLiteral("Обед"), QDate(2026, 12, 7));
    newDish(newRazdel(menu, env.kitchen, QStringLiteral("Первое"), 1), tea);
    const qint64 doc = env.realDoc(3, 0);
    env.realLine(doc, soup, 4, 20);
    env.show(doc);
    {
        ModalScript script;
        script.then(fillHeader(QStringLiteral("Р-2"), false));
        Guard([] { RealTab->Btn_Upd_RealClick(); });
    }
    EXPECT_EQ(env.lines(doc).keys(), QStringList{QStringLiteral("Суп")});
    EXPECT_EQ(env.text(QStringLiteral("SELECT NAME FROM DOCS WHERE KOD = %1").arg(doc)), QStringLiteral("Р-2"));
    EXPECT_EQ(env.logLines(QStringLiteral("Отредактирован документ № Р-2")), 1);
    {
        ModalScript script;
        script.then(fillHeader(QStringLiteral("Р-3"), true)).then(pickMenu());
        Guard([] { RealTab->Btn_Upd_RealClick(); });
    }
    EXPECT_EQ(env.lines(doc).keys(), QStringList{QStringLiteral("Чай")});
    EXPECT_EQ(env.logLines(QStringLiteral("Создан документ № Р-3")), 1);
    EXPECT_EQ(env.currentDoc(), doc);

    // A posted document is not edited.
    env.t().exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 11 WHERE KOD = %1").arg(doc));
    env.show(doc);
    Guard([] { RealTab->Btn_Upd_RealClick(); });
    EXPECT_EQ(env.messages.last(), QStringLiteral("Документ уже проведён, изменения невозможны !"));
}

TEST(RealTab, ACopyOfAPostedDocumentIsTodaysAtCurrentPricesAndKeepsItsMode)
{
    RealEnv env;
    const qint64 soup = env.product(QStringLiteral("Суп"), 0, 7.5, 20);
    const qint64 tea = env.product(QStringLiteral("Чай"), 0, 2, 5);
    const qint64 doc = env.realDoc(7, 2, QStringLiteral("П-1"), 11);
    env.realLine(doc, soup, 4, 18);
    env.realLine(doc, tea, 3, 4);
    env.setStock(soup, env.kitchen, 0, 8, 21.37);
    env.show(doc);
    RealTab->Timer_Real->stop();
    RealTab->Open_RealBludo();

    auto copy = [&](const QString& name, int choice) {
        ModalScript script;
        script.then([name](QWidget*) {
                  Form_Name->Edit1->setText(name);
                  Form_Name->accept();
              })
            .then(chooseItem(choice));
        Guard([] { RealTab->Btn_Copy_RealClick(); });
        return env.currentDoc();
    };
    const qint64 withQ = copy(QStringLiteral("П-2"), 0);
    ASSERT_NE(withQ, doc);
    EXPECT_EQ(env.docField(withQ, "PROVODKA"), 0);
    EXPECT_EQ(env.docField(withQ, "P"), 2);
    EXPECT_EQ(env.docField(withQ, "DOC_TYPE"), 7);
    EXPECT_EQ(env.text(QStringLiteral("SELECT DATE_DOC FROM DOCS WHERE KOD = %1").arg(withQ)), QStringLiteral("2026-12-07"));
    auto l = env.lines(withQ);
    EXPECT_DOUBLE_EQ(l.value(QStringLiteral("Суп")).first, 4);
    EXPECT_DOUBLE_EQ(l.value(QStringLiteral("Суп")).second, costing::RoundPrice(engine::ProgramContext(), 21.37));
    EXPECT_DOUBLE_EQ(env.lines(withQ, "CENA_SKLAD").value(QStringLiteral("Суп")).second, 8);
    EXPECT_EQ(env.logLines(QStringLiteral("Копирование документа № <<П-1>> в документ № <<П-2>>")), 1);

    env.show(doc);
    RealTab->Timer_Real->stop();
    RealTab->Open_RealBludo();
    const qint64 noQ = copy(QStringLiteral("П-3"), 1);
    l = env.lines(noQ);
    EXPECT_EQ(l.size(), 2);
    EXPECT_DOUBLE_EQ(l.value(QStringLiteral("Чай")).first, 0);

    // An open inventory holds copies back as it holds new documents.
    env.doc(1, env.kitchen, 0, 0, 0, QStringLiteral("И-1"));
    const int before = env.count(QStringLiteral("DOCS"));
    Guard([] { RealTab->Btn_Copy_RealClick(); });
    Guard([] { RealTab->Btn_Add_RealClick(); });
    EXPECT_EQ(env.count(QStringLiteral("DOCS")), before);
    EXPECT_EQ(env.messages.count(QStringLiteral(
                  "Нельзя создать документ РЕАЛИЗАЦИИ/ПРОИЗВОДСТВА пока имеются непроведённые документы ИНВЕНТАРИЗАЦИИ ! "
                  "Сначала нужно эти документы провести или удалить.")),
              2);
}

TEST(RealTab, PostingFromTheTabWritesOffCommitsWithItsLineAndRefusesAllZero)
{
    RealEnv env;
    const qint64 soup = env.product(QStringLiteral("Суп"), 10, 7.5, 20);
    const qint64 sale = env.realDoc(3, 1, QStringLiteral("Р-5"));
    env.realLine(sale, soup, 2, 12.3456);
    env.show(sale);
    RealTab->Timer_Real->stop();
    RealTab->Open_RealBludo();
    Guard([] { RealTab->Btn_Provodka_RealClick(); });
    EXPECT_TRUE(env.sawMessage(QStringLiteral("После проводки документа любые изменения в нём будут невозможны!  Продолжить?")));
    EXPECT_EQ(env.docField(sale, "PROVODKA"), 11);
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT CENA FROM MOVES WHERE KOD_DOC = %1").arg(sale)).toDouble(), 12.35);
    EXPECT_DOUBLE_EQ(env.kolvo(soup, env.kitchen), 8);
    EXPECT_EQ(env.logLines(QStringLiteral("Проводка документа № Р-5")), 1);
    EXPECT_EQ(env.currentDoc(), sale);
    // Once posted: refused, and the keypad only clears its display.
    Guard([] { RealTab->Btn_Provodka_RealClick(); });
    EXPECT_EQ(env.messages.last(), QStringLiteral("Документ уже проведён !"));
    RealTab->Timer_Real->stop();
    RealTab->Open_RealBludo();
    RealTab->Keypad->DigitClick(5);
    Guard([] { RealTab->Keypad->Btn_OKSClick(); });
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT KOLVO FROM REAL_BLUDO WHERE KOD_DOC = %1").arg(sale)).toDouble(), 2);
    EXPECT_TRUE(RealTab->Keypad->E_Klava->text().isEmpty());

    const qint64 zero = env.realDoc(7, 0, QStringLiteral("П-9"));
    env.realLine(zero, soup, 0, 20);
    env.show(zero);
    RealTab->Timer_Real->stop();
    RealTab->Open_RealBludo();
    const PostingSnapshot before = env.snapshot();
    {
        ModalScript script;
        script.then(choose<TForm_Provodka>(0));
        Guard([] { RealTab->Btn_Provodka_RealClick(); });
    }
    EXPECT_EQ(env.messages.last(),
              QStringLiteral("Во всех строках документа нулевое или отрицательное количество. Документ проводится не будет !"));
    EXPECT_EQ(env.snapshot(), before);
    EXPECT_EQ(env.count(QStringLiteral("REAL_BLUDO"), QStringLiteral("KOD_DOC = %1").arg(zero)), 1);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
}

TEST(RealTab, AProductionPostedFromTheTabGetsItsOutputUnderTheChosenRule)
{
    RealEnv env;
    const qint64 flour = env.product(QStringLiteral("Мука"), 10, 50);
    const qint64 bread = env.dish(QStringLiteral("Хлеб"), {{flour, 0.5}});
    env.setStock(bread, env.kitchen, 0, 0, 0);
    const qint64 doc = env.realDoc(7, 0, QStringLiteral("П-4"));
    env.realLine(doc, bread, 4, 30, 0, 25);
    env.show(doc);
    RealTab->Timer_Real->stop();
    RealTab->Open_RealBludo();
    {
        ModalScript script;
        script.then(choose<TForm_Provodka>(2));
        Guard([] { RealTab->Btn_Provodka_RealClick(); });
    }
    EXPECT_NEAR(env.kolvo(flour, env.kitchen), 8, 1e-9);
    EXPECT_NEAR(env.kolvo(bread, env.kitchen), 4, 1e-9);
    EXPECT_DOUBLE_EQ(env.cena(bread, env.kitchen), 25);  // "Поставить новую": the line's stock price
    const qint64 output = env.docField(doc, "INT_PARAM3");
    EXPECT_EQ(env.docField(output, "DOC_TYPE"), 2);
    EXPECT_EQ(env.docField(output, "EDIT_CENA"), 2);
}

TEST(RealTab, TheKeypadSetsTheQuantityAndTheSearchBindsTheTypedText)
{
    RealEnv env;
    const qint64 a = env.product(QStringLiteral("Чай \"O'Neil\""), 0, 1, 5);
    const qint64 b = env.product(QStringLiteral("Кофе"), 0, 1, 5);
    const qint64 doc = env.realDoc(3, 1);
    env.realLine(doc, a, 0, 5);
    env.realLine(doc, b, 0, 5);
    env.show(doc);
    RealTab->Timer_Real->stop();
    RealTab->Open_RealBludo();
    RealTab->CB_Next->setChecked(true);
    db::Query* l = RealTab->Q_Real_Bludo;
    l->first();
    const qint64 first = cat::KeyOf(l);
    RealTab->Real_Bludo_KeyDown(Qt::Key_2);
    RealTab->Real_Bludo_KeyDown(Qt::Key_Comma);
    RealTab->Real_Bludo_KeyDown(Qt::Key_5);
    Guard([] { RealTab->Real_Bludo_KeyDown(Qt::Key_Return); });
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT KOLVO FROM REAL_BLUDO WHERE KOD = %1").arg(first)).toDouble(), 2.5);
    EXPECT_NE(cat::KeyOf(l), first);  // the cursor moved on

    RealTab->E_Context_Real->setText(QStringLiteral("o'nei"));
    RealTab->CB_Context_Real->setChecked(true);
    Guard([] { RealTab->CB_Context_RealClick(); });
    ASSERT_TRUE(l->active());
    EXPECT_EQ(namesOf(l), QStringList{QStringLiteral("Чай \"O'Neil\"")});
}

TEST(RealTab, ADocumentWhoseLinesTheSearchHidesIsStillPosted)
{
    RealEnv env;
    const qint64 soup = env.product(QStringLiteral("Суп"), 10, 7.5, 20);
    const qint64 sale = env.realDoc(3, 1, QStringLiteral("Р-6"));
    env.realLine(sale, soup, 2, 12);
    env.show(sale);
    RealTab->Timer_Real->stop();
    RealTab->E_Context_Real->setText(QStringLiteral("Борщ"));
    RealTab->CB_Context_Real->setChecked(true);
    Guard([] { RealTab->CB_Context_RealClick(); });
    ASSERT_FALSE(cat::HasRow(RealTab->Q_Real_Bludo));

    env.messages.clear();
    Guard([] { RealTab->Btn_Provodka_RealClick(); });
    EXPECT_FALSE(env.sawMessage(QStringLiteral("Заполните документ!")));
    EXPECT_EQ(env.docField(sale, "PROVODKA"), 11);
    EXPECT_DOUBLE_EQ(env.kolvo(soup, env.kitchen), 8);
    EXPECT_FALSE(RealTab->CB_Context_Real->isChecked());
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
}

TEST(RealTab, TheKeypadAnswersTheMouseAndAnEmptyOkDoesNothing)
{
    RealEnv env;
    const qint64 tea = env.product(QStringLiteral("Чай"), 0, 1, 5);
    const qint64 doc = env.realDoc(3, 1);
    const qint64 line = env.realLine(doc, tea, 0, 5);
    Form_Main->PageControl1->setCurrentWidget(Form_Main->Sheet_Real);
    input::showActive(Form_Main, RealTab->Grid_RealBludo);
    env.show(doc);
    RealTab->Timer_Real->stop();
    RealTab->Open_RealBludo();
    ASSERT_TRUE(RealTab->Keypad->isVisible());
    env.messages.clear();

    QTest::mouseClick(RealTab->Keypad->Btn_OKS, Qt::LeftButton);
    EXPECT_EQ(env.messages, QStringList{});
    input::clickKeypad(RealTab->Keypad, QStringLiteral("4,5"));
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT KOLVO FROM REAL_BLUDO WHERE KOD = %1").arg(line)).toDouble(), 4.5);
    EXPECT_EQ(RealTab->Btn_Take_Real->frameShadow(), QFrame::Raised);
    EXPECT_EQ(env.messages, QStringList{});
    // A quantity beyond the bound of a line: the message, nothing written.
    input::clickKeypad(RealTab->Keypad, QStringLiteral("1000000000000000"));
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Количество 1000000000000000 вне допустимых пределов (по модулю не больше 1000000).")});
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT KOLVO FROM REAL_BLUDO WHERE KOD = %1").arg(line)).toDouble(), 4.5);
    RealTab->Keypad->Clear();
    Form_Main->hide();
}

TEST(RealTab, TheSearchTakesItsWholeLengthAndTypedWildcardsLiterally)
{
    RealEnv env;
    const QString longName = QString(96, QChar(0x0416)) + QStringLiteral("_5%!");  // a name of 100 characters
    const qint64 a = env.product(longName, 0, 1, 5);
    const qint64 b = env.product(QStringLiteral("Жаркое 5 порций"), 0, 1, 5);
    const qint64 doc = env.realDoc(3, 1);
    env.realLine(doc, a, 0, 5);
    env.realLine(doc, b, 0, 5);
    env.show(doc);
    RealTab->Timer_Real->stop();
    db::Query* l = RealTab->Q_Real_Bludo;
    auto search = [](const QString& text) {
        RealTab->E_Context_Real->setText(text);
        RealTab->CB_Context_Real->setChecked(true);
        Guard([] { RealTab->CB_Context_RealClick(); });
    };
    env.messages.clear();
    search(longName.toLower() + QStringLiteral("и ещё"));  // the field keeps a name's length
    EXPECT_EQ(RealTab->E_Context_Real->text().size(), 100);
    EXPECT_EQ(namesOf(l), QStringList{longName});
    search(QStringLiteral("жаркоё"));  // е and ё alike
    EXPECT_EQ(namesOf(l), QStringList{QStringLiteral("Жаркое 5 порций")});
    search(QStringLiteral("_5%"));
    EXPECT_EQ(namesOf(l), QStringList{longName});
    search(QStringLiteral("ж_5"));
    EXPECT_EQ(namesOf(l), QStringList{longName});
    search(QStringLiteral("%"));
    EXPECT_EQ(namesOf(l), QStringList{longName});
    EXPECT_EQ(env.messages, QStringList{});
}

TEST(RealTab, TypedDigitsLandOnTheChosenLineAndNeverSwitchTheDocument)
{
    RealEnv env;
    const qint64 doc = env.realDoc(3, 1);
    const qint64 later = env.realDoc(3, 1, QStringLiteral("Р-2"));
    env.t().exec(QStringLiteral("UPDATE DOCS SET TIME_DOC = '10:00:00' WHERE KOD = %1").arg(later));
    env.showThreeLines(doc, false);

    // The soup's quantity with main-row digits, then with the numeric pad's.
    input::clickCell(RealTab->Grid_RealBludo, 2, QStringLiteral("KOLVO"));
    input::typeThenEnter(QStringLiteral("72"), RealTab->Grid_RealBludo);
    QApplication::processEvents();
    EXPECT_EQ(env.lines(doc).value(QStringLiteral("Суп")).first, 72);
    input::typeThenEnter(QStringLiteral("5,5"), RealTab->Grid_RealBludo, Qt::KeypadModifier);
    QApplication::processEvents();
    const auto typed = env.lines(doc);
    EXPECT_EQ(typed.value(QStringLiteral("Борщ")).first, 7);
    EXPECT_EQ(typed.value(QStringLiteral("Компот")).first, 50);
    EXPECT_EQ(typed.value(QStringLiteral("Суп")).first, 5.5);

    // A digit typed on the document list stays on the keypad: the list keeps its document.
    RealTab->Grid_DocReal->setFocus();
    QTest::keyClick(RealTab->Grid_DocReal, Qt::Key_0);
    EXPECT_EQ(env.currentDoc(), doc);
    EXPECT_EQ(RealTab->Keypad->E_Klava->text(), QStringLiteral("0"));
    RealTab->Keypad->Clear();
    Form_Main->hide();
}

TEST(RealTab, TheKeypadsRoadHoldsTheDocumentsAndTheirLines)
{
    RealEnv env;
    const qint64 a = env.product(QStringLiteral("Чай"), 0, 1, 5);
    const qint64 doc = env.realDoc(3, 1);
    env.realLine(doc, a, 0, 5);
    env.show(doc);
    RealTab->Timer_Real->stop();
    RealTab->Open_RealBludo();
    RealTab->Q_Real_Bludo->first();
    HeldTables held({QStringLiteral("DOCS"), QStringLiteral("REAL_BLUDO"), QStringLiteral("ING_SKLAD")});
    RealTab->Real_Bludo_KeyDown(Qt::Key_3);
    Guard([] { RealTab->Real_Bludo_KeyDown(Qt::Key_Return); });
    EXPECT_EQ(held.roads(), 1);
    EXPECT_TRUE(held.open().isEmpty()) << held.open().join(QLatin1Char(' ')).toStdString();
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT KOLVO FROM REAL_BLUDO WHERE KOD_DOC = %1").arg(doc)).toDouble(), 3);
}

// Each road of the tab, its header dialog and the posting dialogs holds the
// documents, their lines and the stock from its first step: new from a menu,
// header edited, copied, posted, and un-posted from the movement tab.
TEST(RealTab, EachDocumentRoadHoldsTheDocumentsTheirLinesAndTheStock)
{
    RealEnv env;
    const qint64 soup = env.product(QStringLiteral("Суп"), 10, 7.5, 20);
    const qint64 menu = newMenu(env.firmaKod, QStringLiteral("Обед"), QDate(2026, 12, 7));
    newDish(newRazdel(menu, env.kitchen, QStringLiteral("Первое"), 1), soup);
    const qint64 receipt = env.doc(5, env.kitchen);
    env.line(receipt, soup, 1, 7.5);
    env.t().exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 11 WHERE KOD = %1").arg(receipt));
    const qint64 sale = env.realDoc(3, 1, QStringLiteral("Р-5"));
    env.realLine(sale, soup, 2, 20);
    if (!StructureBox->Q_Firma->active())
        Form_Base->OpenRead(StructureBox->Q_Firma, QStringLiteral("SELECT * FROM FIRMA WHERE LOCAL_FIRMA = 1 ORDER BY NAME"));
    CatEnv::at(StructureBox->Q_Firma, env.firmaKod);
    const auto onSale = [&] {
        env.show(sale);
        RealTab->Timer_Real->stop();
        RealTab->Open_RealBludo();
    };
    const QStringList documents{QStringLiteral("DOCS"), QStringLiteral("REAL_BLUDO"), QStringLiteral("MOVES"),
                                QStringLiteral("ING_SKLAD")};
    ExpectEachHolds({
        {"document made from a menu", documents,
         [] {
             ModalScript script;
             script.then(fillHeader(QStringLiteral("Р-7"), true)).then(pickMenu());
             Guard([] { RealTab->Btn_Add_RealClick(); });
         },
         2},
        {"header changed", documents,
         [&] {
             onSale();
             ModalScript script;
             script.then(fillHeader(QStringLiteral("Р-6"), false, 1, 1));
             Guard([] { RealTab->Btn_Upd_RealClick(); });
         }},
        {"document copied", documents,
         [&] {
             onSale();
             ModalScript script;
             script
                 .then([](QWidget*) {
                     Form_Name->Edit1->setText(QStringLiteral("Р-8"));
                     Form_Name->accept();
                 })
                 .then(chooseItem(0));
             Guard([] { RealTab->Btn_Copy_RealClick(); });
         },
         2},
        {"document posted", documents,
         [&] {
             onSale();
             Guard([] { RealTab->Btn_Provodka_RealClick(); });
         }},
        {"document un-posted", documents,
         [&] {
             env.select(sale);
             ModalScript script;
             script.then(choose<TForm_DelProv>(0));
             Guard([] { MoveTab->Btn_ProvodkaClick(); });
         }},
    });
    EXPECT_EQ(env.text(QStringLiteral("SELECT NAME FROM DOCS WHERE KOD = %1").arg(sale)), QStringLiteral("Р-6"));
    EXPECT_EQ(env.count(QStringLiteral("DOCS"), QStringLiteral("NAME IN ('Р-7', 'Р-8')")), 2);
    EXPECT_EQ(env.docField(sale, "PROVODKA"), 0);
    EXPECT_DOUBLE_EQ(env.kolvo(soup, env.kitchen), 10);
}

// Quantities typed with the keys a kitchen moves by between them: each lands
// on the line it was typed for, and the next one on the line the key moved
// to; Tab and Shift+Tab go to the next and the previous line, the last line
// staying; after every key the cursor stands on the line's quantity, a click
// on another cell too. Another workstation ("!") removing a line or making
// the lines anew has the quantity refused, and the next go to the same dish's
// new line in the same department or to none; the document deleted leaves
// the list on its neighbour, on no line.
TEST(RealTab, QuantitiesTypedOneAfterAnotherLandOnTheLinesTheKeysChoose)
{
    enum Elsewhere { Nothing, KompotRemoved, LinesMadeAnew, DocumentDeleted };
    const struct {
        bool next;  // "Сдвигать курсор"
        const char* walk;
        const char* quantities;  // of Борщ, Компот, Суп ("-" no line), and Компот of the bar where it has one
        Elsewhere elsewhere = Nothing;
        bool barKompot = false;  // Компот sold in the bar too, 20: the last line
    } walks[] = {
        {true, "@1:KOLVO 3 @0:KOLVO 9 Enter", "9 3 0"},
        {true, "@0:KOLVO 4 Tab 35 Enter", "4 35 0"},
        {true, "@1:KOLVO 4 Backtab 5 Enter 6 Enter", "5 6 0"},
        {true, "@0:KOLVO Tab 5 Enter", "7 5 0"},
        {true, "@0:KOLVO 4 Down 6 Enter", "4 6 0"},
        {false, "@2:KOLVO 4 Up 6 Up 1 Enter", "1 6 4"},
        {true, "@2:KOLVO 3 Home 8 Enter", "7 50 8"},
        {false, "@1:KOLVO 9 End 4 Enter", "7 4 0"},
        {false, "@2:KOLVO 4 PgUp 6 Enter", "6 50 4"},
        {true, "@0:KOLVO 4 PgDn 6 Enter", "4 50 6"},
        {true, "@1:KOLVO ! 5 Enter 6 Enter", "7 - 0", KompotRemoved},
        {true, "@1:KOLVO ! 5 Enter 6 Enter", "7 6 0", LinesMadeAnew},
        {true, "@1:KOLVO ! 5 Enter 6 Enter", "- - -", DocumentDeleted},
        {true, "@0:NAME 4 Tab 35 Enter", "4 35 0"},
        {false, "@1:NAME_O Right 6 Left Enter", "7 6 0"},
        {false, "@2:KOLVO Tab 5 Enter", "7 50 5"},
        {true, "@3:KOLVO ! 5 Enter 6 Enter", "7 50 0 6", LinesMadeAnew, true},
    };
    for (const auto& walk : walks) {
        SCOPED_TRACE(testing::Message() << walk.walk << " next " << walk.next << " elsewhere " << walk.elsewhere);
        RealEnv env;
        // The document before it, whose line no number must reach.
        const qint64 before = env.realDoc(3, 1, QStringLiteral("Р-0"));
        env.t().exec(QStringLiteral("UPDATE DOCS SET TIME_DOC = '08:00:00' WHERE KOD = %1").arg(before));
        env.realLine(before, env.product(QStringLiteral("Чай"), 0, 1, 5), 0, 5);
        const qint64 doc = env.realDoc(3, 1);
        env.showThreeLines(doc, walk.next);
        const qint64 kompot = env.num(QStringLiteral("SELECT KOD FROM ING WHERE NAME = 'Компот'"));
        if (walk.barKompot) {
            env.realLine(doc, kompot, 20, 5, env.bar);
            env.show(doc);
            RealTab->Timer_RealTimer();
        }
        const auto elsewhere = [&] {
            if (walk.elsewhere == KompotRemoved)
                env.t().exec(QStringLiteral("DELETE FROM REAL_BLUDO WHERE KOD_DOC = %1 AND KOD_ING = "
                                            "(SELECT KOD FROM ING WHERE NAME = 'Компот')")
                                 .arg(doc));
            if (walk.elsewhere == LinesMadeAnew)
                env.t().exec(QStringLiteral("UPDATE REAL_BLUDO SET KOD = GEN_ID(MY_GEN, 1) WHERE KOD_DOC = %1").arg(doc));
            if (walk.elsewhere == DocumentDeleted) {
                env.t().exec(QStringLiteral("DELETE FROM REAL_BLUDO WHERE KOD_DOC = %1").arg(doc));
                env.t().exec(QStringLiteral("DELETE FROM DOCS WHERE KOD = %1").arg(doc));
            }
        };

        for (const QString& step : QString::fromLatin1(walk.walk).split(QLatin1Char(' '))) {
            input::play(step, RealTab->Grid_RealBludo, Qt::NoModifier, elsewhere);
            const QModelIndex at = RealTab->Grid_RealBludo->currentIndex();
            if (at.isValid()) {
                EXPECT_EQ(at.column(), RealTab->Keypad->entryColumn()) << "after " << step.toStdString();
            }
        }
        if (walk.elsewhere == DocumentDeleted) {
            // The lines of the document the list moved to, read after their pause.
            QTest::qWait(RealTab->Timer_Real->interval() + 100);
            input::play(QStringLiteral("7 Enter"), RealTab->Grid_RealBludo);
        }
        const auto lines = env.lines(doc, "CENA", env.kitchen);
        QStringList quantities;
        for (const QString& name : {QStringLiteral("Борщ"), QStringLiteral("Компот"), QStringLiteral("Суп")})
            quantities << (lines.contains(name) ? QString::number(lines.value(name).first) : QStringLiteral("-"));
        if (walk.barKompot)
            quantities << QString::number(env.lines(doc, "CENA", env.bar).value(QStringLiteral("Компот")).first);
        EXPECT_EQ(quantities.join(QLatin1Char(' ')).toStdString(), walk.quantities);
        const QStringList told{walk.elsewhere == Nothing           ? QString()
                               : walk.elsewhere == DocumentDeleted ? engine::DocumentGoneText(QStringLiteral("Р-1"))
                                                                   : engine::LineGoneText()};
        EXPECT_EQ(env.messages, walk.elsewhere == Nothing ? QStringList{} : told);
        EXPECT_TRUE(RealTab->Keypad->E_Klava->text().isEmpty());
        EXPECT_EQ(env.currentDoc(), walk.elsewhere == DocumentDeleted ? before : doc);
        EXPECT_EQ(env.lines(before).value(QStringLiteral("Чай")).first, 0);
        Form_Main->hide();
    }
}
