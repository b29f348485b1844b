// The posting button of the movement tab with the program's windows: the
// confirmations and the price rule asked, what is posted, the protocol line,
// the list standing on the document again, and un-posting of every pair.

#include "MoveEnv.h"

#include "Unit_Provodka.h"
#include "ui/RadioGroup.h"
#include "support/HeldTables.h"

#include <QPushButton>

namespace {

class MovePosting : public ::testing::Test {
protected:
    MoveEnv env;
    void click() { Guard([] { MoveTab->Btn_ProvodkaClick(); }); }
};

const QString kZero = QStringLiteral("В табличной части документа у всех продуктов нулевое количество. Документ не проводится !");

} // namespace

TEST_F(MovePosting, AReceiptWithEmptyLinesPostsTheOthersWithTheChosenRule)
{
    const qint64 flour = env.product(QStringLiteral("Мука"), 10, 50.00, 55.00);
    const qint64 salt = env.product(QStringLiteral("Соль"), 5, 8.00, 9.00);
    const qint64 d = env.doc(5, env.kitchen);
    env.line(d, flour, 30, 58.00);
    env.line(d, salt, 0, 8.00);
    env.select(d);
    {
        ModalScript script;
        script.then(choose<TForm_Provodka>(1));
        click();
    }
    EXPECT_TRUE(env.sawMessage(QStringLiteral("После проводки документа любые изменения в нём будут невозможны!  Продолжить?")));
    EXPECT_TRUE(env.messages.last().startsWith(QStringLiteral("Так как выбраный документ будет менять цены")));
    EXPECT_EQ(env.docField(d, "PROVODKA"), 11);
    EXPECT_EQ(env.docField(d, "EDIT_CENA"), 1);
    EXPECT_DOUBLE_EQ(env.kolvo(flour, env.kitchen), 40);
    EXPECT_DOUBLE_EQ(env.cena(flour, env.kitchen), 56.00);
    EXPECT_DOUBLE_EQ(env.kolvo(salt, env.kitchen), 5);
    EXPECT_EQ(env.count(QStringLiteral("MOVES"), QStringLiteral("KOD_DOC = %1").arg(d)), 1);
    EXPECT_EQ(env.logLines(QStringLiteral("Проводка документа № П-1 от 07.12.2026")), 1);
    // The list stands on the document again, which now reads as posted.
    EXPECT_EQ(env.current(), d);
    EXPECT_EQ(MoveTab->Btn_Provodka->text(), QStringLiteral("Снять пр."));
}

TEST_F(MovePosting, ADocumentWithNothingButEmptyLinesIsNotPosted)
{
    const qint64 flour = env.product(QStringLiteral("Мука"), 10, 50.00);
    const qint64 d = env.doc(6, env.kitchen);
    env.line(d, flour, 0, 50.00);
    env.line(d, flour, 0, 51.00);
    env.select(d);
    const PostingSnapshot before = env.snapshot();
    click();
    EXPECT_TRUE(env.sawMessage(kZero));
    EXPECT_EQ(env.snapshot(), before);
    EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE"), QStringLiteral("ARM = 'Движение'")), 0);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
}

TEST_F(MovePosting, RefusalsAndCancelledQuestionsChangeNothing)
{
    const qint64 flour = env.product(QStringLiteral("Мука"), 10, 50.00);
    const qint64 inv = env.doc(1, env.kitchen, 0, 0, 0, QStringLiteral("И-1"));
    const qint64 sale = env.doc(3, 0, 0, 0, 0, QStringLiteral("Р-1"));
    const qint64 receipt = env.doc(5, env.kitchen, 0, 0, 0, QStringLiteral("П-2"));
    env.line(receipt, flour, 5, 50.00);
    const PostingSnapshot before = env.snapshot();

    env.select(inv);
    click();
    EXPECT_TRUE(env.messages.last().startsWith(QStringLiteral("Проводка документов инвентаризации осуществляется")));
    env.select(sale);
    click();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Проводка документов производства и реализации осуществляются в окне "
                                                  "\"Производство и реализация\" !"));
    // Cancel at the confirmation, then at the price rule.
    env.select(receipt);
    env.answers = {0};
    click();
    {
        ModalScript script;
        script.then([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
        click();
    }
    EXPECT_EQ(env.snapshot(), before);
}

TEST_F(MovePosting, UnpostingAnIssueOffersNoPriceChoiceAndKeepsTheLines)
{
    const qint64 flour = env.product(QStringLiteral("Мука"), 10, 50.00);
    const qint64 d = env.doc(6, env.kitchen);
    env.line(d, flour, 4, 50.00);
    env.select(d);
    click();
    EXPECT_DOUBLE_EQ(env.kolvo(flour, env.kitchen), 6);
    EXPECT_EQ(env.docField(d, "EDIT_CENA"), 0);
    {
        ModalScript script;
        script.then([](QWidget* w) {
            auto* dlg = qobject_cast<TForm_DelProv*>(w);
            ASSERT_NE(dlg, nullptr);
            EXPECT_FALSE(dlg->RadioGroup1->isEnabled());
            EXPECT_EQ(dlg->RadioGroup1->itemIndex(), 0);
            dlg->Btn_Ok->click();
        });
        click();
    }
    EXPECT_DOUBLE_EQ(env.kolvo(flour, env.kitchen), 10);
    EXPECT_EQ(env.docField(d, "PROVODKA"), 0);
    EXPECT_EQ(env.count(QStringLiteral("MOVES"), QStringLiteral("KOD_DOC = %1").arg(d)), 1);
    EXPECT_EQ(env.logLines(QStringLiteral("Отмена проводки документа № П-1 от 07.12.2026")), 1);
    EXPECT_EQ(env.current(), d);
    EXPECT_EQ(MoveTab->Btn_Provodka->text(), QStringLiteral("Провести"));
}

TEST_F(MovePosting, SplitTransferOfADishWritesOffItsIngredientsAndEitherHalfUnpostsItWhole)
{
    for (int half = 0; half < 2; ++half) {
        SCOPED_TRACE(half == 0 ? "sender" : "receiver");
        MoveEnv e;
        const qint64 potato = e.product(QStringLiteral("Картофель"), 100, 20.00, 20.00);
        const qint64 milk = e.product(QStringLiteral("Молоко"), 50, 60.00, 60.00);
        const qint64 puree = e.dish(QStringLiteral("Пюре картофельное с молоком, порция 200 г"), {{potato, 0.18}, {milk, 0.05}});
        e.setStock(puree, e.bar, 3, 40.00, 40.00);
        const qint64 d = e.doc(4, e.kitchen, e.bar, 0, 0, QStringLiteral("ВП-7"));
        e.line(d, puree, 200, 50.00);
        e.line(d, milk, 0, 60.00);
        const PostingSnapshot before = [&] {
            // The empty line goes with the posting; the snapshot is of what is kept.
            e.t().exec(QStringLiteral("DELETE FROM MOVES WHERE KOLVO = 0"));
            PostingSnapshot s = e.snapshot();
            e.line(d, milk, 0, 60.00);
            return s;
        }();
        e.select(d);
        {
            ModalScript script;
            script.then(choose<TForm_Provodka>(0));
            Guard([] { MoveTab->Btn_ProvodkaClick(); });
        }
        const qint64 n = e.docField(d, "INT_PARAM3");
        ASSERT_NE(n, 0);
        EXPECT_DOUBLE_EQ(e.kolvo(potato, e.kitchen), 100 - 200 * 0.18);
        EXPECT_DOUBLE_EQ(e.kolvo(milk, e.kitchen), 50 - 200 * 0.05);
        EXPECT_DOUBLE_EQ(e.kolvo(puree, e.kitchen), 0);
        EXPECT_DOUBLE_EQ(e.kolvo(puree, e.bar), 203);
        EXPECT_DOUBLE_EQ(e.cena(puree, e.bar), 40.00);
        EXPECT_EQ(e.docField(n, "DOC_TYPE"), 4);
        EXPECT_EQ(e.current(), d);

        e.select(half == 0 ? d : n);
        {
            ModalScript script;
            script.then(choose<TForm_DelProv>(1));
            Guard([] { MoveTab->Btn_ProvodkaClick(); });
        }
        EXPECT_EQ(e.snapshot(), before);
        // The receiver's document is kept as the sender's unposted transfer.
        EXPECT_EQ(e.current(), n);
        EXPECT_EQ(e.docField(n, "PROVODKA"), 0);
        EXPECT_EQ(e.docField(n, "INT_PARAM1"), e.kitchen);
        EXPECT_EQ(e.count(QStringLiteral("DOCS"), QStringLiteral("KOD = %1").arg(d)), 0);
    }
}

TEST_F(MovePosting, ProductionDocumentsAreUnpostedWithAHintWhereToPostThemAgain)
{
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 20.00, 20.00);
    const qint64 w = env.doc(7, 0, 0, 0, 0, QStringLiteral("ПР-1"));
    const qint64 o = env.doc(2, 0, 0, 0, 0, QStringLiteral("ПР-1"));
    env.t().exec(QStringLiteral("UPDATE DOCS SET INT_PARAM3 = %1 WHERE KOD = %2").arg(o).arg(w));
    env.t().exec(QStringLiteral("UPDATE DOCS SET INT_PARAM3 = %1 WHERE KOD = %2").arg(w).arg(o));
    env.t().exec(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) VALUES (%1, %2, %3, 2, 20)")
                     .arg(w)
                     .arg(potato)
                     .arg(env.kitchen));
    env.t().exec(QStringLiteral("EXECUTE PROCEDURE PROVODKA_MOVE %1").arg(w));
    env.t().exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 11 WHERE KOD = %1").arg(o));
    env.select(o);
    {
        ModalScript script;
        script.then(choose<TForm_DelProv>(0));
        click();
    }
    EXPECT_EQ(env.messages.last(), QStringLiteral("Перепровести документ производства можно в окне \"Производство и реализация\""));
    EXPECT_EQ(env.current(), w);
    EXPECT_EQ(env.count(QStringLiteral("DOCS"), QStringLiteral("KOD = %1").arg(o)), 0);
    EXPECT_DOUBLE_EQ(env.kolvo(potato, env.kitchen), 10);
}

TEST_F(MovePosting, ItsRoadHoldsTheDocumentsTheLinesAndTheStock)
{
    const qint64 flour = env.product(QStringLiteral("Мука"), 10, 50.00);
    const qint64 d = env.doc(6, env.kitchen);
    env.line(d, flour, 3, 50.00);
    env.select(d);
    HeldTables held({QStringLiteral("DOCS"), QStringLiteral("MOVES"), QStringLiteral("ING_SKLAD"), QStringLiteral("ING")});
    click();
    EXPECT_EQ(held.roads(), 1);
    EXPECT_TRUE(held.open().isEmpty()) << held.open().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(env.docField(d, "PROVODKA"), 11);
}
