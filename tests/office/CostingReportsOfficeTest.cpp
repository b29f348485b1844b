// The costing card, both statements and the technological cards from the
// shipped sample templates, filled by a real LibreOffice, stored and read back.

#include "OfficeEnvironment.h"
#include "automation/uno/UnoOffice.h"
#include "catalogue/CostingFixture.h"
#include "reports/CostingCard.h"
#include "reports/Statements.h"
#include "reports/TechCards.h"
#include "support/KeepingOffice.h"
#include "support/PaperCheck.h"
#include "support/TemplateFixture.h"
#include "templates/SampleTemplates.h"

#include <gtest/gtest.h>

#include <functional>

using automation::CellAddress;
using automation::Document;

namespace {

QString shippedSample(const QString& name) { return QStringLiteral(TARELIA_SHIPPED_SAMPLES "/") + name; }

class CostingOffice : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings.rub = QStringLiteral("руб.");
        settings.kop = QStringLiteral("коп.");
        c.commit();
        c.t.write().start();
        for (const char* name : {"costing_card", "products_statement", "ingredients_statement", "tech_cards"}) {
            const QString base = QString::fromLatin1(name);
            templates::InstallSampleTemplate(c.t.db(), c.t.write(), shippedSample(base + QStringLiteral(".sql")),
                                             shippedSample(base + QStringLiteral(".xls")));
        }
        c.t.write().commit();

        flour = c.raw(QStringLiteral("Мука"), 40, 50);
        egg = c.raw(QStringLiteral("Яйцо"), 8, 10);
        dough = c.dish(QStringLiteral("Тесто"), 1);
        c.card(dough, flour, 0.2);
        c.card(dough, egg, 1);
        pie = c.dish(QStringLiteral("Пирог"), 2, 2);
        c.card(pie, dough, 1, 80);
        c.card(pie, egg, 2);
        c.exec(QStringLiteral("UPDATE ING_SKLAD SET MY_CENA = 150 WHERE KOD_ING = %1").arg(pie));
        c.exec(QStringLiteral("UPDATE ING SET RECEPT = 'Замесить' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'Испечь' "
                              "WHERE KOD = %1").arg(pie));
    }

    engine::Context ctx()
    {
        c.commit();
        RefreshRead(c.t);
        engine::Context x{&c.t.db(), &c.t.read()};
        x.settings = &settings;
        return x;
    }
    QString cache() { return c.t.folder() + QStringLiteral("templates/"); }

    // Runs a report into the office, stores the document, reads it back.
    template <typename Run>
    std::unique_ptr<Document> runAndReload(const QString& name, Run run)
    {
        KeepingOffice keeping(TestOffice());
        run(keeping);
        EXPECT_EQ(keeping.documents.size(), 1u);
        if (keeping.documents.empty())
            return {};
        // A look at the sheet, when the run asks for it.
        auto d = StoreAndReload(*keeping.documents.front(), name + QStringLiteral(".xls"), "TARELIA_SCREENSHOTS");
        if (d)
            ExpectNumbersFormatted(*d, 60, 16);
        return d;
    }

    static QVariant at(Document& d, const char* a1)
    {
        const QString s = QString::fromLatin1(a1);
        return d.cellState({0, s.at(0).unicode() - u'A', s.mid(1).toInt() - 1}).content;
    }

    qint64 doc(int type, int provodka, const QDate& date)
    {
        c.writing();
        const qint64 k = c.b->nextKey();
        c.exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, PROVODKA, P) "
                              "VALUES (%1, 'Д-%1', '%2', %3, %4, %5, 0)")
                   .arg(k)
                   .arg(date.toString(QStringLiteral("yyyy-MM-dd")))
                   .arg(type)
                   .arg(c.firma)
                   .arg(provodka));
        return k;
    }

    CostingDb c;
    engine::Settings settings;
    qint64 flour = 0, egg = 0, dough = 0, pie = 0;
};

// A suite a paper: each runs in a process and an office of its own (one
// ctest entry a suite), beside the others.
class CostingCardOffice : public CostingOffice {};
class StatementsOffice : public CostingOffice {};
class TechCardsOffice : public CostingOffice {};

TEST_F(CostingCardOffice, CostingCardInBothModes)
{
    for (int mode : {0, 1}) {
        reports::card::Options o;
        o.product = pie;
        o.firmaName = QStringLiteral("Столовая");
        o.otdel = c.otdel;
        o.otdelName = QStringLiteral("Кухня");
        o.mode = mode;
        o.priceChoice = 1;
        auto d = runAndReload(QStringLiteral("card%1").arg(mode), [&](automation::Office& office) {
            const engine::Context x = ctx();
            reports::card::Print(x, o, office, cache());
        });
        ASSERT_TRUE(d);
        EXPECT_EQ(at(*d, "A1"), QStringLiteral("Калькуляционная карта"));
        EXPECT_EQ(at(*d, "C5"), QStringLiteral("Пирог"));
        EXPECT_EQ(at(*d, "B7"), QStringLiteral("Наименование"));
        if (mode == 0) {
            EXPECT_EQ(at(*d, "B8"), QStringLiteral("П.Ф. - Тесто"));
            EXPECT_EQ(at(*d, "B9"), QStringLiteral("Яйцо"));
            EXPECT_EQ(at(*d, "B10"), QStringLiteral("Итого на порций:"));
            EXPECT_EQ(at(*d, "C10"), QStringLiteral("2"));
            EXPECT_EQ(at(*d, "C11"), QStringLiteral("150руб. 0коп."));
            EXPECT_EQ(at(*d, "B19"), QStringLiteral("Замесить"));
            EXPECT_EQ(at(*d, "B20"), QStringLiteral("Испечь"));
        } else {
            // 1.25 dough: 0.25 flour, 1.25 eggs; with the pie's own 2 eggs, 3.25 eggs.
            EXPECT_EQ(at(*d, "B10"), QStringLiteral("Итого на порций:"));
            EXPECT_EQ(at(*d, "G10"), QVariant(0.25 * 40 + 3.25 * 8));
        }
        d->close();
    }
}

TEST_F(StatementsOffice, BothStatementsOfAPeriod)
{
    const qint64 d1 = doc(3, 0, QDate(2011, 3, 2));
    c.exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) VALUES "
                          "(%1, %2, %3, 4, 150, 60)").arg(d1).arg(pie).arg(c.otdel));
    c.exec(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES "
                          "(%1, %2, %3, 0.5, 40, 2)").arg(d1).arg(flour).arg(c.otdel));
    c.exec(QStringLiteral("UPDATE DOCS SET PROVODKA = 11 WHERE KOD = %1").arg(d1));
    reports::statements::Options o;
    o.what = 1;
    o.start = QDate(2011, 3, 1);
    o.finish = QDate(2011, 3, 31);
    o.byGroup = true;
    auto p = runAndReload(QStringLiteral("products"), [&](automation::Office& office) {
        const engine::Context x = ctx();
        reports::statements::Print(x, o, office, cache());
    });
    ASSERT_TRUE(p);
    EXPECT_EQ(at(*p, "C2"), QStringLiteral("01.03.2011 / 31.03.2011"));
    EXPECT_EQ(at(*p, "B9"), QStringLiteral("Пирог"));
    EXPECT_EQ(at(*p, "F9"), QVariant(600.0));
    EXPECT_EQ(at(*p, "F10"), QVariant(600.0));
    EXPECT_EQ(at(*p, "B11"), QStringLiteral("Итого:"));
    EXPECT_EQ(at(*p, "C13"), QStringLiteral("Шестьсот руб. 0коп."));
    p->close();

    auto i = runAndReload(QStringLiteral("ingredients"), [&](automation::Office& office) {
        const engine::Context x = ctx();
        reports::statements::Options ingredients = o;
        ingredients.ingredients = true;
        reports::statements::Print(x, ingredients, office, cache());
    });
    ASSERT_TRUE(i);
    EXPECT_EQ(at(*i, "C2"), QStringLiteral("01.03.2011 / 31.03.2011"));
    EXPECT_EQ(at(*i, "D8"), QVariant(0.5));
    EXPECT_EQ(at(*i, "F8"), QVariant(20.0));
    EXPECT_EQ(at(*i, "C11"), QStringLiteral("Двадцать руб. 0коп."));
    i->close();
}

TEST_F(TechCardsOffice, TechnologicalCardsOfAThreeLineDocument)
{
    const qint64 d = doc(7, 0, QDate(2026, 12, 7));
    for (qint64 product : {pie, dough, egg})
        c.exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) VALUES "
                              "(%1, %2, %3, 2, 0)").arg(d).arg(product).arg(c.otdel));
    reports::techcards::Options o;
    o.document = d;
    o.mode = 2;
    auto doc = runAndReload(QStringLiteral("techcards"), [&](automation::Office& office) {
        EXPECT_TRUE(reports::techcards::Print(ctx(), o, office, cache()));
    });
    ASSERT_TRUE(doc);
    Document& s = *doc;
    // Card 1 (the pie, two rows): rows 8-9, end block 10-11, recipe 12-13, the next header from 16.
    EXPECT_EQ(at(s, "C3"), QStringLiteral("Пирог"));
    EXPECT_EQ(at(s, "B8"), QStringLiteral("П.Ф. - Тесто"));
    EXPECT_EQ(at(s, "B11"), QStringLiteral("Технология приготовления:"));
    EXPECT_EQ(at(s, "B12"), QStringLiteral("Замесить"));
    EXPECT_EQ(at(s, "B13"), QStringLiteral("Испечь"));
    EXPECT_EQ(at(s, "A16"), QStringLiteral("Технологическая карта"));
    EXPECT_EQ(at(s, "C18"), QStringLiteral("Тесто"));
    EXPECT_EQ(at(s, "B23"), QStringLiteral("Мука"));
    EXPECT_EQ(at(s, "C23"), QVariant(0.4));
    s.close();
}

// Eight cards of long names, half with a recipe of two or three lines: the
// copies of the blocks go on in the background while the report goes on,
// and the cards come out as with each call waited for, every cell and every
// row's height; every recipe line spans its merged cells, those merged for
// the first card of its length and those its copies brought.
TEST_F(TechCardsOffice, TechnologicalCardsAreTheSameWithCopiesInTheBackground)
{
    c.exec(QStringLiteral("UPDATE FIRMA SET NAME = 'ООО \"Столовая №1 при заводе точного машиностроения\"'"));
    const qint64 d = doc(7, 0, QDate(2026, 12, 7));
    for (int i = 0; i < 8; ++i) {
        const qint64 dish =
            c.dish(QStringLiteral("Котлета \"Нежная\" по-домашнему с гарниром из картофельного пюре №%1 ").arg(i).repeated(1 + i % 3).left(99), 1);
        c.card(dish, flour, 0.1 * (i + 1));
        c.card(dish, egg, 1);
        if (i % 2)
            c.exec(QStringLiteral("UPDATE ING SET RECEPT = 'Смешать' || ASCII_CHAR(13) || ASCII_CHAR(10) || "
                                  "'Обжарить с двух сторон до золотистой корочки на среднем огне, затем довести в духовке'%1 "
                                  "WHERE KOD = %2")
                       .arg(i % 4 == 3 ? QStringLiteral(" || ASCII_CHAR(13) || ASCII_CHAR(10) || 'Подать'") : QString())
                       .arg(dish));
        c.exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) VALUES (%1, %2, %3, %4, 0)")
                   .arg(d)
                   .arg(dish)
                   .arg(c.otdel)
                   .arg(i + 1));
    }
    reports::techcards::Options o;
    o.document = d;
    auto print = [&](bool oneCallAtATime) {
        KeepingOffice keeping(TestOffice());
        keeping.oneCallAtATime = oneCallAtATime;
        EXPECT_TRUE(reports::techcards::Print(ctx(), o, keeping, cache()));
        EXPECT_EQ(keeping.documents.size(), 1u);
        return keeping.documents.front();
    };
    const auto inOrder = print(true);
    const auto beside = print(false);
    constexpr int kRows = 170;  // the cards and a little below
    const auto cells = inOrder->contents({0, 0, 0, 5, kRows});
    ASSERT_TRUE(cells);
    EXPECT_EQ(beside->contents({0, 0, 0, 5, kRows})->rows, cells->rows);
    EXPECT_EQ(cells->rows[kRows - 10][0], QVariant()) << "the cards end above the rows compared";
    int recipeLines = 0;
    for (int r = 0; r < kRows; ++r) {
        ASSERT_EQ(beside->cellState({0, 0, r}).rowHeight, inOrder->cellState({0, 0, r}).rowHeight) << "row " << r + 1;
        const QString b = cells->rows[r][1].toString();
        if (b == QStringLiteral("Смешать") || b.startsWith(QStringLiteral("Обжарить")) || b == QStringLiteral("Подать")) {
            ++recipeLines;
            EXPECT_TRUE(beside->cellState({0, 1, r}).merged) << "row " << r + 1;
        }
    }
    EXPECT_EQ(recipeLines, 2 * 2 + 2 * 3);
    inOrder->close();
    beside->close();
}

} // namespace

// A sale of 1 x 10.125 and 0.5 kg x 20.25: the office shows each price with
// its decimals, each sum and the total as the words say them, in the same
// separators whatever its locale.
TEST_F(StatementsOffice, ASalesStatementShowsWhatItsWordsSay)
{
    // Requisites longer than the table is wide wrap within it.
    c.exec(QStringLiteral("UPDATE FIRMA SET NAME = 'ООО \"Столовая №1 при заводе точного машиностроения\"', "
                          "INN = '7701000001', KPP = '770101001', ADDR_JUR = 'г. Москва, ул. Лесная, д. 1, стр. 2, "
                          "помещение 14', RS = '40702810000000000001', BANK = 'ПАО «Банк Северный»', BIK = '044525000' "
                          "WHERE KOD = %1").arg(c.firma));
    const qint64 d1 = doc(3, 0, QDate(2011, 3, 2));
    reports::statements::Options o;
    o.document = d1;
    reports::ProductLine tea;
    tea.name = QStringLiteral("Чай");
    tea.kolvo = 1;
    tea.cena = 10.125;
    tea.cenaSklad = 3.333;
    reports::ProductLine sugar;
    sugar.name = QStringLiteral("Сахар");
    sugar.kolvo = 0.5;
    sugar.cena = 20.25;
    sugar.cenaSklad = 12.125;
    o.lines = {tea, sugar};
    auto p = runAndReload(QStringLiteral("sales"), [&](automation::Office& office) {
        const engine::Context x = ctx();
        reports::statements::Print(x, o, office, cache());
    });
    ASSERT_TRUE(p);
    auto shown = [&](const char* a1) {
        const QString s = QString::fromLatin1(a1);
        return p->cellState({0, s.at(0).unicode() - u'A', s.mid(1).toInt() - 1}).shown;
    };
    EXPECT_EQ(shown("D8"), QStringLiteral("1"));
    EXPECT_EQ(shown("E8"), QStringLiteral("10,125"));
    EXPECT_EQ(shown("F8"), QStringLiteral("10,12"));
    EXPECT_EQ(shown("D9"), QStringLiteral("0,5"));
    EXPECT_EQ(shown("F9"), QStringLiteral("10,12"));
    EXPECT_EQ(shown("H9"), QStringLiteral("6,06"));
    EXPECT_EQ(at(*p, "B10"), QStringLiteral("Итого:"));
    EXPECT_EQ(shown("F10"), QStringLiteral("20,24"));
    EXPECT_EQ(at(*p, "C12"), QStringLiteral("Двадцать руб. 24коп."));
    EXPECT_TRUE(p->cellState({0, 2, 2}).wrapped);
    p->close();
}

// The ledger's figures as the office shows them: the costing card's onion at
// 0.0357 kg and saffron at 0.0004 kg, a sale of 10 at 180.555 and a typed sum
// of 100 for 3 portions. Both papers read back read across, add up and show
// every figure as the papers print it.
TEST_F(CostingOffice, TheLedgersFiguresShowAndAddUp)
{
    const qint64 stew = c.dish(QStringLiteral("Гуляш"), 1);
    c.card(stew, c.raw(QStringLiteral("Лук"), 30, 36.125), 0.0357);
    c.card(stew, c.raw(QStringLiteral("Шафран"), 50000, 60000), 0.0004);
    reports::card::Options card;
    card.product = stew;
    card.otdel = c.otdel;
    card.priceChoice = 1;
    reports::statements::Options sale;
    sale.document = doc(3, 0, QDate(2026, 12, 5));
    for (const auto& [kolvo, cena] : {std::pair{10.0, 180.555}, {3.0, 100.0 / 3}, {2000.0, 0.335}})
        sale.lines.append({QStringLiteral("Блюдо"), QString(), kolvo, std::nullopt, cena, cena / 2});

    papercheck::Paper cardPaper;
    cardPaper.across = {{'C', 'E', 'G'}, {'C', 'F', 'H'}};
    cardPaper.summed = QStringLiteral("GH");
    papercheck::Paper salePaper;
    salePaper.across = {{'D', 'E', 'F'}, {'D', 'G', 'H'}};
    salePaper.summed = QStringLiteral("FH");
    salePaper.wordsCaption = QStringLiteral("Сумма прописью:");
    salePaper.names = reports::MoneyNamesOf(ctx());
    const struct {
        QString name;
        std::function<void(automation::Office&)> print;
        const papercheck::Paper& paper;
        QStringList shown;  // D8, E8, F8, C9, F9, G9 as the office shows them
    } papers[] = {
        {QStringLiteral("ledger_card"), [&](automation::Office& o) { reports::card::Print(ctx(), card, o, cache()); },
         cardPaper, {QStringLiteral("0,0357"), QStringLiteral("30,00"), QStringLiteral("36,125"), QStringLiteral("0,0004"),
                     QStringLiteral("60000,00"), QStringLiteral("20,00")}},
        {QStringLiteral("ledger_sale"), [&](automation::Office& o) { reports::statements::Print(ctx(), sale, o, cache()); },
         salePaper, {QStringLiteral("10"), QStringLiteral("180,555"), QStringLiteral("1805,55"), QString(),
                     QStringLiteral("100,00"), QStringLiteral("16,666667")}},
    };
    for (const auto& p : papers) {
        auto d = runAndReload(p.name, p.print);
        ASSERT_TRUE(d);
        const auto cells = d->contents({0, 0, 0, 8, 24});
        ASSERT_TRUE(cells);
        int lines = 0;
        EXPECT_EQ(papercheck::Check(cells->rows, p.paper, &lines) +
                      papercheck::CheckShown(cells->rows, papercheck::ShownOf(*d, cells->rows), p.paper),
                  QStringList{}) << p.name.toStdString();
        EXPECT_GE(lines, 2);
        const CellAddress at[] = {{0, 3, 7}, {0, 4, 7}, {0, 5, 7}, {0, 2, 8}, {0, 5, 8}, {0, 6, 8}};
        for (int i = 0; i < 6; ++i) {
            if (!p.shown[i].isEmpty()) {
                EXPECT_EQ(d->cellState(at[i]).shown, p.shown[i]) << p.name.toStdString() << " " << i;
            }
        }
        d->close();
    }
}

// A statement far longer than the rows its template formats in advance: in
// the office the last lines and subtotals show in their columns' formats
// too, and the whole paper reads across and adds up.
TEST_F(StatementsOffice, ALongStatementShowsItsLastRowsFormatted)
{
    const qint64 sold = doc(3, 11, QDate(2026, 12, 2));
    c.exec(QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 1100) DO BEGIN "
                          "IF (MOD(I, 100) = 1) THEN INSERT INTO GROUP_ING (KOD, NAME) VALUES (800000 + :I, 'Группа ' || "
                          "LPAD(:I, 4, '0')); "
                          "INSERT INTO ING (KOD, NAME, KOD_GROUP, MY_LEVEL, KVO_PORC) VALUES (900000 + :I, 'Блюдо ' || "
                          "LPAD(:I, 4, '0'), 800001 + (:I - 1) / 100 * 100, 2, 1); "
                          "INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) VALUES "
                          "(%1, 900000 + :I, %2, MOD(:I, 7) + 0.25, 10 + MOD(:I, 50) * 0.355e0, 5.125); "
                          "I = I + 1; END END")
               .arg(sold)
               .arg(c.otdel));
    reports::statements::Options o;
    o.what = 1;
    o.start = QDate(2026, 12, 1);
    o.finish = QDate(2026, 12, 31);
    o.byGroup = true;
    auto d = runAndReload(QStringLiteral("long_statement"), [&](automation::Office& office) {
        reports::statements::Print(ctx(), o, office, cache());
    });
    ASSERT_TRUE(d);
    const auto cells = d->contents({0, 0, 0, 7, 1140});
    ASSERT_TRUE(cells);
    papercheck::Paper paper;
    paper.across = {{'D', 'E', 'F'}, {'D', 'G', 'H'}};
    paper.summed = QStringLiteral("FH");
    paper.bareSubtotals = true;
    paper.wordsCaption = QStringLiteral("Сумма прописью:");
    paper.names = reports::MoneyNamesOf(ctx());
    int lines = 0;
    EXPECT_EQ(papercheck::Check(cells->rows, paper, &lines), QStringList{});
    EXPECT_EQ(lines, 1100);
    // How the last rows show, read cell by cell: from row 1,116 (the last
    // group's end, its subtotal and the total) on.
    QList<QVariantList> last = cells->rows;
    for (int r = 0; r < 1115 && r < last.size(); ++r)
        last[r] = QVariantList();
    EXPECT_EQ(papercheck::CheckShown(last, papercheck::ShownOf(*d, last), paper), QStringList{});
    d->close();
}
