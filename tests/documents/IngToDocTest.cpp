// The lines window of a movement document: adding, removing and clearing
// lines with their protocol lines, typed quantities, prices and sums through
// the keypad, the cursor's advance, and the product search.

#include "MoveEnv.h"

#include "Unit_IngToDoc.h"
#include "grid/ListHolder.h"
#include "ui/Keypad.h"
#include "ui/RadioGroup.h"
#include "support/UserInput.h"
#include "support/HeldTables.h"

#include "engine/DocumentClaim.h"
#include "util/Messages.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

class IngToDoc : public ::testing::Test {
protected:
    MoveEnv env;
    TForm_IngToDoc* w = nullptr;

    void open(qint64 doc)
    {
        env.select(doc);
        w = Form_IngToDoc;
        w->OpenFor(doc);
        w->FormShow();
    }
    void type(const QString& keys)
    {
        for (QChar c : keys) {
            const int key = c == QLatin1Char(',') ? int(Qt::Key_Comma) : c == QLatin1Char('-') ? int(Qt::Key_Minus) : int(c.unicode());
            Guard([&] { w->Keypad->KeyDown(key); });
        }
        Guard([&] { w->Keypad->KeyDown(Qt::Key_Return); });
    }
    double line(const char* column, int row)
    {
        auto q = env.t().select(QStringLiteral("SELECT %1 FROM MOVES WHERE KOD_DOC = %2 ORDER BY KOD")
                                    .arg(QLatin1String(column))
                                    .arg(w->DocKod));
        q->setRecNo(row);
        return q->field(0).asDouble();
    }
    void searchFor(const QString& text)
    {
        w->CB_Context->setChecked(true);
        w->E_Context->setText(text);
        Guard([&] { w->CB_ContextClick(); });
    }
    QStringList listed()
    {
        QStringList names;
        for (w->Q_Ing_Sklad->first(); !w->Q_Ing_Sklad->eof(); w->Q_Ing_Sklad->next())
            names << w->Q_Ing_Sklad->field(QStringLiteral("NAME")).asString();
        return names;
    }
};

} // namespace

TEST_F(IngToDoc, AddedLinesTakeTheDocumentsPriceKindRoundedToKopecksWithAProtocolLine)
{
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 21.004, 30.456);
    const qint64 selling = env.doc(6, env.kitchen, 0, 0, 1, QStringLiteral("Р-5"));
    open(selling);
    searchFor(QStringLiteral("картоф"));
    Guard([&] { w->Btn_AddClick(); });
    EXPECT_DOUBLE_EQ(line("CENA", 0), 30.46);
    EXPECT_DOUBLE_EQ(line("KOLVO", 0), 0);
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_OTDEL FROM MOVES WHERE KOD_DOC = %1").arg(selling)), env.kitchen);
    EXPECT_EQ(env.logLines(QStringLiteral("В документ № Р-5 добавлен продукт <<Картофель>>")), 1);
    EXPECT_TRUE(w->E_Context->text().isEmpty());

    const qint64 stock = env.doc(5, env.kitchen, 0, 0, 0, QStringLiteral("П-5"));
    open(stock);
    searchFor(QStringLiteral("КАРТ"));
    Guard([&] { w->Btn_AddClick(); });
    Guard([&] { w->Btn_AddClick(); });  // the search text is gone: the whole department stays listed
    EXPECT_DOUBLE_EQ(line("CENA", 0), 21.00);
    EXPECT_EQ(env.count(QStringLiteral("MOVES"), QStringLiteral("KOD_DOC = %1 AND KOD_ING = %2").arg(stock).arg(potato)), 2);
}

TEST_F(IngToDoc, TypedQuantitiesPricesAndSumsGoToTheirColumns)
{
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 20.00);
    const qint64 onion = env.product(QStringLiteral("Лук"), 10, 20.00);
    const qint64 d = env.doc(5, env.kitchen);
    env.line(d, potato, 3, 0);
    env.line(d, onion, 0, 20.00);
    env.line(d, onion, 0, 0);
    open(d);
    w->CB_Next->setChecked(false);
    w->CB_Kol->setChecked(false);
    db::Query* lines = w->Q_Moves;
    // Each typed value reads its line again in place, not the whole list.
    int reopened = 0;
    QObject counting;
    QObject::connect(w->List_Moves, &db::ListHolder::reopened, &counting, [&] { ++reopened; });

    // A sum over a quantity gives the price, to six decimals; over a price, the quantity.
    w->RadioGroup1->setItemIndex(2);
    type(QStringLiteral("100"));
    EXPECT_DOUBLE_EQ(line("CENA", 0), 33.333333);
    lines->setRecNo(1);
    w->RadioGroup1->setItemIndex(2);
    type(QStringLiteral("100"));
    EXPECT_DOUBLE_EQ(line("KOLVO", 1), 5);
    // Neither: the message, and the sum is gone from the display.
    lines->setRecNo(2);
    w->RadioGroup1->setItemIndex(2);
    type(QStringLiteral("7"));
    EXPECT_TRUE(env.messages.last().startsWith(QStringLiteral("При вводе суммы или количество или цена не должны быть равными нулю")));
    EXPECT_TRUE(w->Keypad->E_Klava->text().isEmpty());

    // A quantity with a decimal comma, the second comma ignored; a negative one taken as it is.
    lines->setRecNo(0);
    w->RadioGroup1->setItemIndex(0);
    type(QStringLiteral("12,,5"));
    EXPECT_DOUBLE_EQ(line("KOLVO", 0), 12.5);
    w->RadioGroup1->setItemIndex(1);
    type(QStringLiteral("-3"));
    EXPECT_DOUBLE_EQ(line("CENA", 0), -3);
    // A lone minus is no number: nothing written.
    const int before = env.messages.size();
    type(QStringLiteral("-"));
    EXPECT_GT(env.messages.size(), before);
    EXPECT_DOUBLE_EQ(line("CENA", 0), -3);
    EXPECT_EQ(reopened, 0);
    EXPECT_DOUBLE_EQ(lines->field(QStringLiteral("CENA")).asDouble(), -3);
    // Typed values commit without a protocol line.
    EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE"), QStringLiteral("ARM = 'Движение'")), 0);
}

// A typed quantity keeps to the bound of a line, as the point-of-sale files
// do: beyond it the message and nothing is written; the display is cleared,
// so the digits typed next make a number of their own. A price is no quantity.
TEST_F(IngToDoc, TypedQuantitiesKeepToTheBoundOfALine)
{
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 20.00);
    const qint64 d = env.doc(5, env.kitchen);
    env.line(d, potato, 4, 20.00);
    open(d);
    w->CB_Next->setChecked(false);
    w->CB_Kol->setChecked(false);
    w->RadioGroup1->setItemIndex(0);
    for (const QString& typed : {QStringLiteral("1000000000000000"), QStringLiteral("-1000000,5")}) {
        const double before = line("KOLVO", 0);
        type(typed);
        EXPECT_EQ(env.messages.last(),
                  QStringLiteral("Количество ") + typed + QStringLiteral(" вне допустимых пределов (по модулю не больше 1000000)."));
        EXPECT_TRUE(w->Keypad->E_Klava->text().isEmpty());
        EXPECT_DOUBLE_EQ(line("KOLVO", 0), before);
        type(QStringLiteral("3"));
        EXPECT_DOUBLE_EQ(line("KOLVO", 0), 3);
    }
    type(QStringLiteral("1000000"));
    EXPECT_DOUBLE_EQ(line("KOLVO", 0), 1e6);
    w->RadioGroup1->setItemIndex(1);
    type(QStringLiteral("2000000"));
    EXPECT_DOUBLE_EQ(line("CENA", 0), 2e6);
}

TEST_F(IngToDoc, TheCursorMovesOnAsTheTwoBoxesSay)
{
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 20.00);
    const qint64 d = env.doc(5, env.kitchen);
    env.line(d, potato, 0, 0);
    env.line(d, potato, 0, 0);
    open(d);
    db::Query* lines = w->Q_Moves;
    w->CB_Next->setChecked(true);
    w->CB_Kol->setChecked(true);
    lines->first();
    type(QStringLiteral("2"));
    EXPECT_EQ(w->RadioGroup1->itemIndex(), 1);
    EXPECT_EQ(lines->recNo(), 0);
    type(QStringLiteral("30"));
    EXPECT_EQ(w->RadioGroup1->itemIndex(), 0);
    EXPECT_EQ(lines->recNo(), 1);
    EXPECT_DOUBLE_EQ(line("KOLVO", 0), 2);
    EXPECT_DOUBLE_EQ(line("CENA", 0), 30);
    // At the last line the cursor stays.
    w->CB_Kol->setChecked(false);
    type(QStringLiteral("4"));
    EXPECT_EQ(lines->recNo(), 1);
    EXPECT_DOUBLE_EQ(line("KOLVO", 1), 4);
}

TEST_F(IngToDoc, TheSearchBindsTheTypedTextAndHiddenProductsNeedTheirBox)
{
    env.product(QStringLiteral("Сыр 'Российский'"), 1, 400.00);
    env.product(QStringLiteral("сырок глазированный"), 1, 40.00);
    const qint64 hidden = env.product(QStringLiteral("Сыроежки"), 1, 90.00);
    env.product(QStringLiteral("Масло"), 1, 90.00);
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = 1 WHERE KOD_ING = %1").arg(hidden));
    open(env.doc(5, env.kitchen));

    searchFor(QStringLiteral("СЫР"));
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("Сыр 'Российский'"), QStringLiteral("сырок глазированный")}));
    w->CB_Closed->setChecked(true);
    Guard([&] { w->CB_ContextClick(); });
    EXPECT_EQ(listed().size(), 3);
    searchFor(QStringLiteral("р 'рос"));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("Сыр 'Российский'")});
    searchFor(QStringLiteral("%' OR 1=1 --"));
    EXPECT_TRUE(listed().isEmpty());
    // A typed '%' or '_' is a character, not a wildcard.
    searchFor(QStringLiteral("с_р"));
    EXPECT_TRUE(listed().isEmpty());
    searchFor(QStringLiteral("%"));
    EXPECT_TRUE(listed().isEmpty());
}

TEST_F(IngToDoc, RemovingAndClearingAskFirstAndLeaveTheirProtocolLines)
{
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 20.00);
    const qint64 d = env.doc(5, env.kitchen, 0, 0, 0, QStringLiteral("П-3"));
    env.line(d, potato, 1, 20.00);
    env.line(d, potato, 2, 20.00);
    env.line(d, potato, 3, 20.00);
    open(d);
    env.answers = {0, 1};
    Guard([&] { w->Btn_DeleteClick(); });
    EXPECT_EQ(env.count(QStringLiteral("MOVES")), 3);
    Guard([&] { w->Btn_DeleteClick(); });
    EXPECT_EQ(env.count(QStringLiteral("MOVES")), 2);
    EXPECT_EQ(env.logLines(QStringLiteral("Из документа № П-3 удалён продукт <<Картофель>>")), 1);
    Guard([&] { w->Btn_ClearClick(); });
    EXPECT_EQ(env.count(QStringLiteral("MOVES")), 0);
    EXPECT_EQ(env.logLines(QStringLiteral("Табличная часть документа № П-3 очищена.")), 1);
    // Nothing left to remove: no question is asked.
    const int asked = env.messages.size();
    Guard([&] { w->Btn_DeleteClick(); });
    EXPECT_EQ(env.messages.size(), asked);

    // A double click on a line asks with the answer that removes nothing as
    // the default: Enter on the question keeps the line.
    env.line(d, potato, 4, 20.00);
    w->ReopenLines(0);
    input::showActive(w, w->Grid_Moves);
    Msg::setResponder({});  // the program's own box
    QString asks;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        asks = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    QTest::mouseDClick(w->Grid_Moves->viewport(), Qt::LeftButton, {},
                       w->Grid_Moves->visualRect(w->Grid_Moves->model()->index(0, 0)).center());
    EXPECT_EQ(asks, QStringLiteral("Убрать продукт из списка ?"));
    EXPECT_EQ(env.count(QStringLiteral("MOVES")), 1);
    w->hide();
}

TEST_F(IngToDoc, APostedDocumentTakesNoTypedValue)
{
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 20.00);
    const qint64 d = env.doc(5, env.kitchen);
    env.line(d, potato, 1, 20.00);
    env.t().exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 11 WHERE KOD = %1").arg(d));
    open(d);
    EXPECT_FALSE(w->Btn_Add->isEnabled());
    Guard([&] { w->Keypad->KeyDown(Qt::Key_5); });
    EXPECT_TRUE(w->Keypad->E_Klava->text().isEmpty());
    type(QStringLiteral("7"));
    EXPECT_DOUBLE_EQ(line("KOLVO", 0), 1);
}

TEST_F(IngToDoc, EnterFinishesATypedValueAndAddsNoLine)
{
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 20.00);
    const qint64 d = env.doc(5, env.kitchen, 0, 0, 0, QStringLiteral("П-7"));
    env.line(d, potato, 0, 20.00);
    open(d);
    w->CB_Next->setChecked(true);
    w->CB_Kol->setChecked(true);
    w->RadioGroup1->setItemIndex(0);
    input::showActive(w, w->Grid_Moves);

    // As a new user: 7 Enter, 42 Enter. The quantity, then the price go to the one line.
    input::typeThenEnter(QStringLiteral("7"), w->Grid_Moves);
    input::typeThenEnter(QStringLiteral("42"), w->Grid_Moves);
    EXPECT_EQ(env.count(QStringLiteral("MOVES"), QStringLiteral("KOD_DOC = %1").arg(d)), 1);
    EXPECT_DOUBLE_EQ(line("KOLVO", 0), 7);
    EXPECT_DOUBLE_EQ(line("CENA", 0), 42);
    EXPECT_EQ(env.logLines(QStringLiteral("В документ № П-7 добавлен продукт <<Картофель>>")), 0);

    // The keypad by mouse: 2, comma, 5, OK into the quantity.
    w->RadioGroup1->setItemIndex(0);
    input::clickKeypad(w->Keypad, QStringLiteral("2,5"));
    EXPECT_DOUBLE_EQ(line("KOLVO", 0), 2.5);
    EXPECT_EQ(env.count(QStringLiteral("MOVES"), QStringLiteral("KOD_DOC = %1").arg(d)), 1);

    // A focused button still acts on Enter.
    searchFor(QStringLiteral("картоф"));
    w->Btn_Add->setFocus();
    QTest::keyClick(w->Btn_Add, Qt::Key_Return);
    EXPECT_EQ(env.count(QStringLiteral("MOVES"), QStringLiteral("KOD_DOC = %1").arg(d)), 2);
    w->hide();
}

// The road of the search field: part of a name, Insert, the quantity, Enter,
// and the next name goes to the search field again; a line added there starts
// on its quantity whichever column the line before ended on. A search that
// finds nothing adds nothing, says so, and the number typed after it goes to
// no line.
TEST_F(IngToDoc, ProductsAreEnteredOneAfterAnotherFromTheSearchField)
{
    for (const char* name : {"Картофель", "Капуста", "Лук репчатый", "Морковь", "Свёкла"})
        env.product(QString::fromUtf8(name), 10, 20.00);
    {  // "Менять колонки ввода" clear; ticked: the walks below
        const qint64 d = env.doc(5, env.kitchen);
        open(d);
        w->CB_Next->setChecked(true);
        w->CB_Kol->setChecked(false);
        w->CB_Context->setChecked(false);
        w->E_Context->clear();
        input::showActive(w, w->Grid_Moves);
        QTest::mouseClick(w->CB_Context, Qt::LeftButton, {}, QPoint(4, w->CB_Context->height() / 2));
        ASSERT_EQ(QApplication::focusWidget(), w->E_Context);

        const struct {
            const char* part;
            const char* quantity;
            bool waits;  // for the list to follow the typed text; a quick typist does not
        } entries[] = {{"лук", "5", true}, {"морк", "12,5", true}, {"свек", "3", false}, {"карт", "7", true}, {"хрен", "4", true}};
        for (const auto& e : entries) {
            input::typeText(QString::fromUtf8(e.part));
            if (e.waits) {
                EXPECT_TRUE(QTest::qWaitFor([&] { return !w->Timer_IngToDoc->isActive(); }, 2000));
            }
            input::press(Qt::Key_Insert);
            input::typeThenEnter(QString::fromUtf8(e.quantity), w->Grid_Moves);
            EXPECT_EQ(QApplication::focusWidget(), w->E_Context) << e.part;
        }
        QStringList lines;
        auto q = env.t().select(QStringLiteral("SELECT ING.NAME, MOVES.KOLVO, MOVES.CENA FROM MOVES JOIN ING ON ING.KOD = "
                                               "MOVES.KOD_ING WHERE KOD_DOC = %1 ORDER BY MOVES.KOD")
                                    .arg(d));
        for (; !q->eof(); q->next())
            lines << q->field(0).asString() + QLatin1Char(' ') + QString::number(q->field(1).asDouble()) + QLatin1Char('/') +
                         QString::number(q->field(2).asDouble());
        EXPECT_EQ(lines.join(QStringLiteral(", ")).toStdString(),
                  "Лук репчатый 5/20, Морковь 12.5/20, Свёкла 3/20, Картофель 7/20");
        EXPECT_EQ(env.messages, QStringList{QStringLiteral("Поиск \"хрен\" не нашёл ни одного продукта. В документ ничего не добавлено.")});
        w->hide();
        env.messages.clear();
    }
}

TEST_F(IngToDoc, TypedDigitsLandOnTheChosenCellWhateverTheLinesAboveHold)
{
    const qint64 d = env.doc(5, env.kitchen);
    env.line(d, env.product(QStringLiteral("Картофель"), 10, 20.00), 7, 20.00);
    env.line(d, env.product(QStringLiteral("Морковь"), 10, 20.00), 50, 20.00);
    env.line(d, env.product(QStringLiteral("Лук"), 10, 20.00), 0, 20.00);
    open(d);
    w->CB_Next->setChecked(false);
    w->CB_Kol->setChecked(false);
    input::showActive(w, w->Grid_Moves);

    // A click on the onion's quantity, then main-row digits, numeric-pad digits.
    input::clickCell(w->Grid_Moves, 2, QStringLiteral("KOLVO"));
    input::typeThenEnter(QStringLiteral("72"), w->Grid_Moves);
    input::typeThenEnter(QStringLiteral("5,5"), w->Grid_Moves, Qt::KeypadModifier);
    // The keyboard alone: up to the carrot, 70 and Enter.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    input::typeThenEnter(QStringLiteral("70"), w->Grid_Moves);
    EXPECT_DOUBLE_EQ(line("KOLVO", 0), 7);
    EXPECT_DOUBLE_EQ(line("KOLVO", 1), 70);
    EXPECT_DOUBLE_EQ(line("KOLVO", 2), 5.5);

    // A number left with Tab is taken before the focus moves on.
    input::clickCell(w->Grid_Moves, 0, QStringLiteral("KOLVO"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_3);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_DOUBLE_EQ(line("KOLVO", 0), 3);
    EXPECT_TRUE(w->Keypad->E_Klava->text().isEmpty());
    w->hide();
}

// A number still in the display when the user moves to another cell is taken
// on the cell it was typed for; the move, not the cursor's advance, decides
// where the user goes on.
TEST_F(IngToDoc, ANumberLeftInTheDisplayGoesToTheCellItWasTypedFor)
{
    const qint64 d = env.doc(5, env.kitchen);
    env.line(d, env.product(QStringLiteral("Картофель"), 10, 20.00), 7, 20.00);
    env.line(d, env.product(QStringLiteral("Лук"), 10, 20.00), 0, 20.00);
    env.line(d, env.product(QStringLiteral("Морковь"), 10, 20.00), 50, 20.00);
    env.line(d, env.product(QStringLiteral("Соль"), 10, 20.00), 0, 0);
    open(d);
    w->CB_Next->setChecked(true);
    w->CB_Kol->setChecked(false);
    input::showActive(w, w->Grid_Moves);

    // A sum the salt's line cannot take keeps the user on it, the sum gone;
    // the next click moves.
    input::clickCell(w->Grid_Moves, 3, QStringLiteral("SUMMA"));
    input::press(Qt::Key_7);
    input::clickCell(w->Grid_Moves, 0, QStringLiteral("KOLVO"));
    EXPECT_TRUE(env.messages.last().startsWith(QStringLiteral("При вводе суммы")));
    EXPECT_EQ(w->Q_Moves->recNo(), 3);
    EXPECT_TRUE(w->Keypad->E_Klava->text().isEmpty());
    EXPECT_DOUBLE_EQ(line("KOLVO", 0), 7);

    // 3 on the onion's quantity, then a click on the potatoes' price.
    input::clickCell(w->Grid_Moves, 1, QStringLiteral("KOLVO"));
    input::press(Qt::Key_3);
    input::clickCell(w->Grid_Moves, 0, QStringLiteral("CENA"));
    EXPECT_DOUBLE_EQ(line("KOLVO", 1), 3);
    EXPECT_TRUE(w->Keypad->E_Klava->text().isEmpty());
    input::press(Qt::Key_Return);
    EXPECT_DOUBLE_EQ(line("CENA", 0), 20);
    input::typeThenEnter(QStringLiteral("25"), w->Grid_Moves);
    EXPECT_DOUBLE_EQ(line("CENA", 0), 25);

    // 6 on the potatoes' quantity, then Down: the onion's line, not the one after it.
    input::clickCell(w->Grid_Moves, 0, QStringLiteral("KOLVO"));
    input::press(Qt::Key_6);
    input::press(Qt::Key_Down);
    EXPECT_DOUBLE_EQ(line("KOLVO", 0), 6);
    input::typeThenEnter(QStringLiteral("11"), w->Grid_Moves);
    EXPECT_DOUBLE_EQ(line("KOLVO", 1), 11);
    // And Up from the carrots' quantity with 4 typed.
    input::clickCell(w->Grid_Moves, 2, QStringLiteral("KOLVO"));
    input::press(Qt::Key_4);
    input::press(Qt::Key_Up);
    input::typeThenEnter(QStringLiteral("12"), w->Grid_Moves);
    const QList<double> kolvo{line("KOLVO", 0), line("KOLVO", 1), line("KOLVO", 2)};
    EXPECT_EQ(kolvo, (QList<double>{6, 12, 4}));
    EXPECT_DOUBLE_EQ(line("CENA", 0), 25);
    EXPECT_DOUBLE_EQ(line("CENA", 1), 20);
    w->hide();
}

TEST_F(IngToDoc, AnAddedLinesPriceRoundsAnExactHalfKopeckToEvenAsTheSalesLinesDo)
{
    env.product(QStringLiteral("Соль"), 10, 0.125, 0.375);
    const qint64 stock = env.doc(5, env.kitchen);
    open(stock);
    searchFor(QStringLiteral("соль"));
    Guard([&] { w->Btn_AddClick(); });
    EXPECT_DOUBLE_EQ(line("CENA", 0), 0.12);
    const qint64 selling = env.doc(6, env.kitchen, 0, 0, 1);
    open(selling);
    searchFor(QStringLiteral("соль"));
    Guard([&] { w->Btn_AddClick(); });
    EXPECT_DOUBLE_EQ(line("CENA", 0), 0.38);
}

// A typed value's road and an added line's road hold the document, its lines
// and the stock while open: a posting elsewhere waits for them.
TEST_F(IngToDoc, ItsRoadsHoldTheDocumentsAndTheirLines)
{
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 20.00);
    const qint64 d = env.doc(5, env.kitchen);
    env.line(d, potato, 4, 20.00);
    open(d);
    const QStringList tables{QStringLiteral("DOCS"), QStringLiteral("MOVES"), QStringLiteral("ING_SKLAD")};
    {
        HeldTables held(tables);
        type(QStringLiteral("7"));
        EXPECT_EQ(held.roads(), 1);
        EXPECT_TRUE(held.open().isEmpty()) << held.open().join(QLatin1Char(' ')).toStdString();
    }
    {
        HeldTables held(tables);
        Guard([&] { w->Btn_AddClick(); });
        EXPECT_EQ(held.roads(), 1);
        EXPECT_TRUE(held.open().isEmpty()) << held.open().join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_DOUBLE_EQ(line("KOLVO", 0), 7);
    EXPECT_EQ(env.count(QStringLiteral("MOVES"), QStringLiteral("KOD_DOC = %1").arg(d)), 2);
}

// Numbers typed with the keys a kitchen moves by between them: each lands on
// the cell it was typed for, and the next one on the cell the key moved to,
// whatever the two boxes of the cursor's advance say; after every key the
// cursor stands on the cell the next number goes to. From the search field
// too, where a number typed before any word is no search text and letters
// start the next search. Лук's line removed elsewhere ("!") has the number
// refused, and the next one goes to Лук's other line, or to no line where
// Лук had two.
TEST_F(IngToDoc, TypedValuesLandOnTheCellsTheKeysChoose)
{
    enum Elsewhere { Nothing, LukRemoved, LukAddedAgain, LukOneOfTwoRemoved };
    const struct {
        bool next, swap;  // "Сдвигать позицию курсора", "Менять колонки ввода"
        const char* walk;
        const char* lines;  // quantity/price of each line: Морковь, Лук, Соль, and any added after its name
        Elsewhere elsewhere = Nothing;
        bool search = false;  // "Контекстный поиск": the walk starts in the search field
    } walks[] = {
        {true, false, "@0:KOLVO 4 Tab 35 Enter", "4/35 0/10 0/10"},
        {false, false, "@0:KOLVO 3 Tab 25 Enter", "3/25 0/10 0/10"},
        {true, true, "@0:KOLVO 4 Tab 35 Enter 7 Enter", "4/35 7/10 0/10"},
        {false, true, "@1:KOLVO 4 Tab 35 Enter 6 Enter", "0/10 6/35 0/10"},
        {true, false, "@0:CENA 12 Backtab 5 Enter", "5/12 0/10 0/10"},
        {true, false, "@0:CENA 35 Tab 70 Enter", "2/35 0/10 0/10"},
        {true, true, "@0:KOLVO 4 Right 35 Enter", "4/35 0/10 0/10"},
        {true, false, "@0:NAME 4 Right 35 Enter", "4/35 0/10 0/10"},
        {false, false, "@0:CENA 8 Left 2 Enter", "2/8 0/10 0/10"},
        {true, false, "@0:KOLVO 4 Down 6 Enter 9 Up Up 1 Enter", "1/10 6/10 9/10"},
        {true, true, "@0:KOLVO 4 @1:CENA 9 Enter 5 Enter", "4/10 0/9 5/10"},
        {false, false, "@2:KOLVO 1 Tab Tab 4 Enter", "0/10 0/10 1/4"},
        {true, false, "@2:KOLVO 4 PgUp 6 Enter", "6/10 0/10 4/10"},
        {false, true, "@0:CENA 8 End 2 Enter", "0.25/8 0/10 0/10"},
        {true, false, "@1:KOLVO 3 Home 7 Enter", "0/10 7/10 0/10"},
        {true, true, "лук Ins 5 Enter 45 Enter", "0/10 0/10 0/10 Лук 5/45", Nothing, true},
        {true, false, "лук Ins 5 Enter 45 Enter", "0/10 0/10 0/10 Лук 45/10", Nothing, true},
        {true, false, "@1:KOLVO ! 5 Enter 6 Enter", "0/10 0/10", LukRemoved},
        {true, true, "@1:KOLVO ! 5 Enter 6 Enter 7 Enter", "0/10 0/10 6/7", LukAddedAgain},
        {true, false, "@0:NAME 4 Tab 35 Enter", "4/35 0/10 0/10"},
        {false, false, "@2:CENA 4 Tab 5 Tab 6 Enter", "0/10 0/10 1.25/4.8"},
        {false, false, "@1:SUMMA Tab 5 Enter", "0/10 0/10 5/10"},
        {false, false, "@1:KOLVO Backtab 7 Enter", "0.7/10 0/10 0/10"},
        {false, false, "@0:KOLVO Backtab Left 3 Enter", "3/10 0/10 0/10"},
        {false, false, "@1:SUMMA Home 7 Enter", "0/10 7/10 0/10"},
        {false, false, "@0:CENA @2:ED_IZM 6 Enter", "0/10 0/10 0/6"},
        {true, true, "лук Ins 5 Enter мор Ins 3 Enter 7 Enter", "0/10 0/10 0/10 Лук 5/10 Морковь 3/7", Nothing, true},
        {true, false, "@1:KOLVO ! 5 Enter 12 Enter", "0/10 0/10 3/10", LukOneOfTwoRemoved},
    };
    for (const auto& walk : walks) {
        SCOPED_TRACE(testing::Message() << walk.walk << " next " << walk.next << " swap " << walk.swap);
        const qint64 d = env.doc(5, env.kitchen);
        QList<qint64> products;
        for (const char* name : {"Морковь", "Лук", "Соль"}) {
            products << env.product(QString::fromUtf8(name), 10, 10.00);
            env.line(d, products.last(), 0, 10.00);
        }
        const qint64 firstLuk = env.num(QStringLiteral("SELECT MIN(KOD) FROM MOVES WHERE KOD_DOC = %1 AND KOD_ING = %2").arg(d).arg(products[1]));
        if (walk.elsewhere == LukOneOfTwoRemoved)
            env.line(d, products[1], 3, 10.00);
        open(d);
        w->CB_Next->setChecked(walk.next);
        w->CB_Kol->setChecked(walk.swap);
        w->CB_Context->setChecked(walk.search);
        w->E_Context->clear();
        Guard([&] { w->CB_ContextClick(); });
        input::showActive(w, walk.search ? static_cast<QWidget*>(w->E_Context) : w->Grid_Moves);
        // The other workstation removes Лук's line, and may add Лук again.
        const auto elsewhere = [&] {
            env.t().exec(QStringLiteral("DELETE FROM MOVES WHERE KOD = %1").arg(firstLuk));
            if (walk.elsewhere == LukAddedAgain)
                env.line(d, products[1], 0, 10.00);
        };
        for (const QString& step : QString::fromUtf8(walk.walk).split(QLatin1Char(' '))) {
            input::play(step, w->Grid_Moves, Qt::NoModifier, elsewhere);
            const QModelIndex at = w->Grid_Moves->currentIndex();
            if (at.isValid()) {
                EXPECT_EQ(at.column(), w->Keypad->entryColumn()) << "after " << step.toStdString();
            }
        }
        QStringList lines;
        auto q = env.t().select(QStringLiteral("SELECT KOLVO, CENA, ING.NAME FROM MOVES JOIN ING ON ING.KOD = MOVES.KOD_ING "
                                               "WHERE KOD_DOC = %1 ORDER BY MOVES.KOD")
                                    .arg(d));
        for (; !q->eof(); q->next())
            lines << (q->recNo() < 3 ? QString() : q->field(2).asString() + QLatin1Char(' ')) +
                         QString::number(q->field(0).asDouble()) + QLatin1Char('/') + QString::number(q->field(1).asDouble());
        EXPECT_EQ(lines.join(QLatin1Char(' ')).toStdString(), walk.lines);
        EXPECT_EQ(env.messages, walk.elsewhere == Nothing ? QStringList{} : QStringList{engine::LineGoneText()});
        EXPECT_TRUE(w->Keypad->E_Klava->text().isEmpty());
        w->hide();
        env.messages.clear();
    }
}
