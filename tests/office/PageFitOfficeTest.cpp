// Prints that must fit their paper, in a real headless LibreOffice and
// exported as PDF: the costing card's nine columns, the codes sheet's seven
// and a technological card come out on one page each, and a long dish name
// wraps in its cell, its row growing, instead of being cut: in the menu, the
// products statement, the technological card's heading and the codes sheet
// (whose bar code and captions wrap in their narrow columns too); so does a
// long counterparty on the statement by operations. Every paper shows
// nine-digit figures whole.

#include "OfficeEnvironment.h"
#include "automation/RecordingOffice.h"
#include "automation/uno/PageLayout.h"
#include "automation/uno/UnoOffice.h"
#include "engine/Clock.h"
#include "reports/CostingCard.h"
#include "reports/Invent.h"
#include "reports/MenuReport.h"
#include "reports/Ostatki.h"
#include "reports/ProtocolPrint.h"
#include "reports/Statements.h"
#include "reports/TechCards.h"
#include "reports/TurnoverReports.h"
#include "reports/Waybill.h"
#include "support/KeepingOffice.h"
#include "support/TemplateFixture.h"
#include "workbooks/IngUsageWorkbook.h"
#include "workbooks/LimitsWorkbook.h"
#include "workbooks/MenuCodesWorkbook.h"
#include "workbooks/StatWorkbook.h"

#include "../../bench/TechCardsData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

using automation::Document;

namespace {

// A row of one line of 10-point text is about 4.5 mm high.
constexpr int kOneLine = 452;

class PageFit : public ::testing::Test {
protected:
    void SetUp() override
    {
        Clock::setSource([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 30)); });
        for (const char* sql : {
                 "INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (5001, 'Столовая №1', 1)",
                 "INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (5002, 5001, 'Кухня')",
                 "INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (5003, 'Килограмм', 'кг')",
                 "INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (5004, 'Порция', 'порц')",
                 "INSERT INTO GROUP_ING (KOD, NAME) VALUES (5005, 'Вторые блюда')",
                 "INSERT INTO ING (KOD, NAME, KOD_GROUP, ED_IZM, MY_LEVEL, KVO_PORC, KALORIES) "
                 "VALUES (5101, 'Фарш говяжий', 0, 5003, 0, 1, 2500)",
                 "INSERT INTO ING (KOD, NAME, KOD_GROUP, ED_IZM, MY_LEVEL, KVO_PORC, VIHOD_BLUDA, KALORIES) "
                 "VALUES (5105, 'Котлета \"Нежная\" по-домашнему с гарниром из картофельного пюре и соусом сливочным "
                 "с грибами', 5005, 5004, 1, 1, '150/100', 350)",
                 "INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_FIRMA, KOD_OTDEL, KOLVO, CENA, MY_CENA, NO_ING) "
                 "VALUES (5201, 5101, 5001, 5002, 10, 400, 450, 0)",
                 "INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_FIRMA, KOD_OTDEL, CENA, MY_CENA, METOD_CENA, NO_ING, KOD_KASSA, "
                 "KOD_1S, S_KOD) VALUES (5205, 5105, 5001, 5002, 60, 120, 2, 0, 46, '00-000000042', '4600000000404')",
                 "INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) VALUES (5301, 5101, 5101, 1, 100, 1)",
                 "INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) VALUES (5321, 5105, 5101, 0.15, 100, 1)",
                 "INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, PROVODKA, P) "
                 "VALUES (6001, 'Р-12', '2026-03-02', 3, 5001, 11, 0)",
                 "INSERT INTO REAL_BLUDO (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                 "VALUES (6101, 6001, 5105, 5002, 4, 120, 60)",
                 "INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, PROVODKA, P) "
                 "VALUES (6010, 'П-4', '2026-12-07', 7, 5001, 0, 0)",
                 "INSERT INTO REAL_BLUDO (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                 "VALUES (6111, 6010, 5105, 5002, 6, 0, 0)",
                 "INSERT INTO MENU (KOD, KOD_FIRMA, NAME, DATE_MENU, PERCENT, NO_ROUND) "
                 "VALUES (900030, 5001, 'Обед', '2026-12-07', 0, 2)",
                 "INSERT INTO MENU_RAZDEL (KOD, KOD_MENU, KOD_OTDEL, MY_SORT, NAME, IS_ACTIVE) "
                 "VALUES (900041, 900030, 5002, 1, 'Вторые блюда', 1)",
                 "INSERT INTO MENU_STR (KOD, KOD_MENU_RAZDEL, KOD_ING, MY_ACTIVE, NO_ROUND) VALUES (900051, 900041, 5105, 1, 2)",
             })
            t.exec(QString::fromUtf8(sql));
        RefreshRead(t);
        settings.rub = QStringLiteral("руб.");
        settings.kop = QStringLiteral("коп.");
    }
    void TearDown() override { Clock::setSource({}); }

    engine::Context ctx() { return {&t.db(), &t.read(), &t.write(), &settings}; }
    QString cache() { return t.folder() + QStringLiteral("templates/"); }

    // Runs a print into the office; the document it made, or null.
    template <typename Run>
    std::shared_ptr<Document> print(Run run)
    {
        KeepingOffice keeping(TestOffice());
        run(keeping);
        EXPECT_EQ(keeping.documents.size(), 1u);
        return keeping.documents.empty() ? nullptr : keeping.documents.front();
    }

    // The pages of the document exported as PDF.
    static int pages(Document& d, const QString& name) { return static_cast<int>(PdfPages(d, name).size()); }

    // The cell wraps its text and its row is higher than one line.
    static void expectWrappedOverLines(Document& d, const char* a1)
    {
        const automation::CellAddress c = automation::ParseCell(QString::fromLatin1(a1));
        const automation::CellState st = d.cellState(c);
        EXPECT_TRUE(st.wrapped) << a1;
        EXPECT_GT(st.rowHeight, 3 * kOneLine / 2) << a1;
    }

    TestDb t{TestDb::WithSamples};
    engine::Settings settings;
};

TEST_F(PageFit, WidePrintsFitThePageAndTheCardsLeaveNothingParked)
{
    // A long enterprise wraps in the card's header: the card keeps its full size.
    auto card = print([&](automation::Office& office) {
        reports::card::Options o;
        o.product = 5105;
        o.firmaName = QStringLiteral("Общество с ограниченной ответственностью \"Комбинат школьного питания Северного "
                                     "административного округа города Москвы\"");
        o.otdel = 5002;
        o.otdelName = QStringLiteral("Кухня");
        o.priceChoice = 1;
        reports::card::Print(ctx(), o, office, cache());
    });
    ASSERT_TRUE(card);
    const QList<PdfPage> cardPages = PdfPages(*card, QStringLiteral("card"));
    ASSERT_EQ(cardPages.size(), 1);
    ExpectWholeOnPaper(cardPages, QStringLiteral("card"));
    for (const PdfWord& w : cardPages[0].words) {
        if (w.text == QStringLiteral("Наименование")) {
            EXPECT_GT(w.yMax - w.yMin, 12.5);  // a 10-point caption at its size
        }
    }
    card->close();

    auto codes = print([&](automation::Office& office) {
        workbooks::menucodes::Print(office, {reports::LoadMenuCodes(ctx(), 900030)});
    });
    ASSERT_TRUE(codes);
    const QList<PdfPage> codePages = PdfPages(*codes, QStringLiteral("codes"));
    EXPECT_EQ(codePages.size(), 1);
    ExpectWholeOnPaper(codePages, QStringLiteral("codes"));
    codes->close();

    auto tech = print([&](automation::Office& office) {
        reports::techcards::Options o;
        o.document = 6010;
        o.mode = 1;
        reports::techcards::Print(ctx(), o, office, cache());
    });
    ASSERT_TRUE(tech);
    EXPECT_EQ(tech->sheetCount(), 1);
    EXPECT_EQ(pages(*tech, QStringLiteral("tech")), 1);
    tech->close();
}

TEST_F(PageFit, LongNamesWrapAndTheirRowsGrow)
{
    auto menu = print([&](automation::Office& office) { reports::menu::Print(ctx(), {900030}, office, cache()); });
    ASSERT_TRUE(menu);
    expectWrappedOverLines(*menu, "B7");
    menu->close();

    auto statement = print([&](automation::Office& office) {
        reports::statements::Options o;
        o.what = 1;
        o.start = QDate(2026, 3, 1);
        o.finish = QDate(2026, 3, 31);
        o.type = 3;
        o.byGroup = true;
        reports::statements::Print(ctx(), o, office, cache());
    });
    ASSERT_TRUE(statement);
    expectWrappedOverLines(*statement, "B9");
    statement->close();

    auto tech = print([&](automation::Office& office) {
        reports::techcards::Options o;
        o.document = 6010;
        o.mode = 1;
        reports::techcards::Print(ctx(), o, office, cache());
    });
    ASSERT_TRUE(tech);
    expectWrappedOverLines(*tech, "C3");
    tech->close();

    auto codes = print([&](automation::Office& office) {
        workbooks::menucodes::Print(office, {reports::LoadMenuCodes(ctx(), 900030)});
    });
    ASSERT_TRUE(codes);
    expectWrappedOverLines(*codes, "B4");
    expectWrappedOverLines(*codes, "F4");
    expectWrappedOverLines(*codes, "C1");
    codes->close();

    // Names of a hundred characters and more, of four and five lines, one
    // under another: each row as high as its name prints, none over the dish
    // above it.
    QList<workbooks::MenuCodeLine> lines;
    for (const char* name :
         {"листьями куриной пармезаном Нежная гренками томатами черри хлеба Нежная свиной хлеба ткемали Шашл",
          "свиной семечками Суп-пюре гренками Котлета Суп-пюре Суп-пюре Цезарь хлеба листьями овощами р",
          "луком тыквы гарниром маринованным листьями маринованным хлеба соусом пармезаном гриль из Нежная "
          "семечками",
          "соусом пармезаном углях гарниром луком тыквенными гриль Шашлык на грибами гриль пармезаном маринованным"}) {
        workbooks::MenuCodeLine l;
        l.kodOtdel = l.kodRazdel = QStringLiteral("1");
        l.nameOtdel = QStringLiteral("Кухня");
        l.nameRazdel = QStringLiteral("Вторые блюда");
        l.name = QString::fromUtf8(name);
        l.kodIng = QStringLiteral("5205");
        lines << l;
    }
    auto names = print([&](automation::Office& office) { workbooks::menucodes::Print(office, {lines}); });
    ASSERT_TRUE(names);
    ExpectWholeOnPaper(PdfPages(*names, QStringLiteral("codes_long_names")), QStringLiteral("codes_long_names"));
    names->close();
}

} // namespace

namespace {

// The row of column B that holds `text`, counted from 0; -1 when none does.
int rowWith(Document& d, const QString& text, int rows = 60)
{
    for (int r = 0; r < rows; ++r)
        if (d.cellState({0, 1, r}).content == QVariant(text))
            return r;
    return -1;
}

// A 13-digit bar code and an accounting code stay on one line each: a dish
// with a short name keeps a row of one line.
TEST_F(PageFit, ABarCodeIsNotSplitOverLines)
{
    t.exec(QStringLiteral("UPDATE ING SET NAME = 'Котлета' WHERE KOD = 5105"));
    RefreshRead(t);
    auto codes = print([&](automation::Office& office) {
        workbooks::menucodes::Print(office, {reports::LoadMenuCodes(ctx(), 900030)});
    });
    ASSERT_TRUE(codes);
    ASSERT_EQ(codes->cellState({0, 5, 3}).content, QVariant(QStringLiteral("4600000000404")));
    EXPECT_LT(codes->cellState({0, 5, 3}).rowHeight, 3 * kOneLine / 2);
    // The whole code is printed, not its first twelve digits; the caption of
    // the bars is printed in letters.
    const QList<PdfPage> printed = PdfPages(*codes, QStringLiteral("codes_short"));
    ASSERT_EQ(printed.size(), 1);
    EXPECT_EQ(printed[0].count(QStringLiteral("4600000000404")), 1);
    EXPECT_EQ(printed[0].count(QStringLiteral("*Штрих")), 1);
    EXPECT_NE(codes->cellState({0, 6, 0}).fontName, workbooks::BarCodeFontName());
    EXPECT_EQ(codes->cellState({0, 6, 3}).fontName, workbooks::BarCodeFontName());
    codes->close();
}

// Each card's title and its cook's line are printed on one page, or the
// card, taller than a page, starts its page: no text above its title.
void ExpectCardsWholeOnTheirPages(const QList<PdfPage>& printed, int cards, const char* name)
{
    const QString title = QStringLiteral("Технологическая"), end = QStringLiteral("Повар");
    int titles = 0;
    int openPage = -1;     // the page of the title of a card not ended yet
    bool topsPage = false;  // that title tops its page
    for (int n = 0; n < printed.size(); ++n) {
        QList<PdfWord> words = printed[n].words;
        std::sort(words.begin(), words.end(), [](const PdfWord& a, const PdfWord& b) { return a.yMin < b.yMin; });
        for (const PdfWord& w : words) {
            if (w.text == title) {
                EXPECT_EQ(openPage, -1) << name << ": a card without its end before page " << n + 1;
                openPage = n;
                topsPage = w.yMin - 1 <= words.front().yMin;
                ++titles;
            } else if (w.text == end && openPage >= 0) {
                EXPECT_TRUE(openPage == n || topsPage) << name << ": card " << titles << " split at page " << n + 1;
                openPage = -1;
            }
        }
    }
    EXPECT_EQ(titles, cards) << name;
}

// Twelve technological cards go over several pages: every card's title row
// is as high as the first one's at least, and every card stays whole on its
// page. So do the 200 cards of a real production document, many of them
// taller than a page.
TEST_F(PageFit, EachTechnologicalCardOnOnePageUnderItsTitle)
{
    for (int i = 0; i < 11; ++i)
        t.exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                              "VALUES (6010, 5105, 5002, %1, 0, 0)").arg(i + 1));
    RefreshRead(t);
    auto tech = print([&](automation::Office& office) {
        reports::techcards::Options o;
        o.document = 6010;
        o.mode = 2;
        reports::techcards::Print(ctx(), o, office, cache());
    });
    ASSERT_TRUE(tech);
    const QString title = QStringLiteral("Технологическая карта");
    QList<int> titles;
    for (int r = 0; r < 200; ++r)
        if (tech->cellState({0, 0, r}).content == QVariant(title))
            titles << r;
    ASSERT_EQ(titles.size(), 12);
    const int height = tech->cellState({0, 0, titles[0]}).rowHeight;
    EXPECT_GT(height, 3 * kOneLine / 2 - kOneLine / 4);  // 14-point type
    for (int r : titles)
        EXPECT_GE(tech->cellState({0, 0, r}).rowHeight, height) << r + 1;

    const QList<PdfPage> printed = PdfPages(*tech, QStringLiteral("tech_twelve"));
    EXPECT_GE(printed.size(), 2);
    for (int n = 0; n < printed.size(); ++n)
        EXPECT_GE(printed[n].count(QStringLiteral("Технологическая")), 1) << "page " << n + 1;
    ExpectCardsWholeOnTheirPages(printed, 12, "tech_twelve");
    ExpectWholeOnPaper(printed, QStringLiteral("tech_twelve"));
    tech->close();

    db::Transaction write(&t.db(), db::Transaction::writeParams());
    write.start();
    costing_catalogue::Builder b(&t.db(), &write);
    std::mt19937 rng(7);
    const qint64 production = bench::WriteTechCardsData(b, t.db(), write, rng, QDate(2026, 12, 7)).production;
    write.commit();
    RefreshRead(t);
    auto many = print([&](automation::Office& office) {
        reports::techcards::Print(ctx(), {production, 1}, office, cache());
    });
    ASSERT_TRUE(many);
    const QList<PdfPage> pages = PdfPages(*many, QStringLiteral("tech_200"));
    EXPECT_GT(pages.size(), 100);
    ExpectCardsWholeOnTheirPages(pages, 200, "tech_200");
    ExpectWholeOnPaper(pages, QStringLiteral("tech_200"));
    many->close();
}

// Breaks counted on our side from the rows' heights (a sheet of generated
// rows and blocks, some taller than a page, some with breaks of their own)
// paginate the sheet as placing them one at a time, the pagination read
// after each, does, in three paginations. A count from a page height the
// office does not paginate by still keeps every block that fits on one page.
TEST_F(PageFit, BreaksCountedOnOurSidePaginateAsPlacedOneAtATime)
{
    using automation::unopages::KeepTogether;
    struct CountedSheet : automation::unopages::Pagination {
        std::vector<long> heights;
        long page = 15704;  // A4 less 1 cm above and below, in twips
        std::set<int> breaks;
        int paginations = 0;

        int measured = 0;  // ranges measured

        long top(int row) const { return std::accumulate(heights.begin(), heights.begin() + row, 0L); }
        std::set<int> starts(std::set<int>& manual) override
        {
            ++paginations;
            manual = breaks;
            std::set<int> all{0};
            long used = 0;
            for (int r = 0; r < static_cast<int>(heights.size()); ++r) {
                if (r > 0 && (breaks.count(r) || used + heights[r] > page)) {
                    all.insert(r);
                    used = 0;
                }
                used += heights[r];
            }
            return all;
        }
        void measure(const QList<std::pair<int, int>>& ranges, std::map<int, long>& tops) override
        {
            measured += static_cast<int>(ranges.size());
            for (const auto& [first, last] : ranges) {
                tops[first] = top(first);
                tops[last + 1] = top(last + 1);
            }
        }
        void startPagesAt(const QList<int>& rows, bool start) override
        {
            for (const int r : rows)
                start ? void(breaks.insert(r)) : void(breaks.erase(r));
        }
    };
    // Heights in 64ths of a page of 12,800 twips on every other sheet, so that
    // blocks end on a page's last twip too.
    const long kHeights[] = {256, 256, 256, 256, 320, 512, 512, 704, 1216};
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        const auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(rng); };
        CountedSheet sheet;
        if (seed % 2 == 0)
            sheet.page = 12800;
        QList<std::pair<int, int>> blocks;
        int row = pick(0, 3);
        for (int n = pick(5, 40); n > 0; --n) {
            const int size = pick(0, 9) == 0 ? pick(40, 90) : pick(3, 35);
            blocks.append({row, row + size - 1});
            row += size + pick(0, 3);
        }
        for (int r = 0; r <= row; ++r) {
            sheet.heights.push_back(kHeights[pick(0, 8)]);
            if (r > 0 && pick(0, 150) == 0)
                sheet.breaks.insert(r);
        }
        std::shuffle(blocks.begin(), blocks.end(), rng);

        CountedSheet placed = sheet;
        KeepTogether(placed, blocks, std::nullopt);
        CountedSheet counted = sheet;
        KeepTogether(counted, blocks, sheet.page);
        EXPECT_LE(counted.paginations, 3) << seed;
        std::set<int> manual;
        ASSERT_EQ(counted.starts(manual), placed.starts(manual)) << seed;

        for (const long off : {-300L, 300L}) {
            CountedSheet misjudged = sheet;
            KeepTogether(misjudged, blocks, sheet.page + off);
            const std::set<int> starts = misjudged.starts(manual);
            for (const auto& [first, last] : blocks) {
                const auto inside = starts.upper_bound(first);
                const bool split = inside != starts.end() && *inside <= last;
                const bool ownBreaks = std::any_of(sheet.breaks.begin(), sheet.breaks.end(),
                                                   [&](int r) { return r > first && r <= last; });
                if (sheet.top(last + 1) - sheet.top(first) <= sheet.page && !ownBreaks)
                    EXPECT_FALSE(split) << seed << " " << off << ": " << first + 1 << "-" << last + 1;
                else
                    EXPECT_TRUE(starts.count(first)) << seed << " " << off << ": " << first + 1 << "-" << last + 1;
            }
        }
    }

    // Cards of a few kinds, each kind's rows and the rows below it alike:
    // the first card of a kind is measured, the others counted from it, and
    // the pages come out as placed one at a time. A kind whose cards are not
    // alike still keeps every card that fits a page on one.
    for (unsigned seed = 1; seed <= 100; ++seed) {
        std::mt19937 rng(seed);
        const auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(rng); };
        std::vector<std::vector<long>> kindRows(6);
        for (std::vector<long>& rows : kindRows)
            for (int n = pick(3, 70); n > 0; --n)
                rows.push_back(kHeights[pick(0, 8)]);
        CountedSheet sheet;
        QList<std::pair<int, int>> blocks;
        QList<int> kinds;
        const bool lying = seed % 4 == 0;  // the last kind's cards differ
        for (int n = pick(20, 120); n > 0; --n) {
            const int kind = pick(0, 5);
            const int first = static_cast<int>(sheet.heights.size());
            for (const long h : kindRows[kind])
                sheet.heights.push_back(lying && kind == 5 ? kHeights[pick(0, 8)] : h);
            blocks.append({first, static_cast<int>(sheet.heights.size()) - 1});
            kinds.append(kind);
            sheet.heights.insert(sheet.heights.end(), 2, 256);
        }
        CountedSheet placed = sheet;
        KeepTogether(placed, blocks, std::nullopt);
        CountedSheet counted = sheet;
        KeepTogether(counted, blocks, sheet.page, kinds);
        std::set<int> manual;
        const std::set<int> starts = counted.starts(manual);
        if (!lying) {
            EXPECT_LE(counted.paginations, 4) << seed;
            EXPECT_LE(counted.measured, 5 * 6) << seed;  // a card, the rows below it and a last page of each kind, however many cards
            EXPECT_EQ(starts, placed.starts(manual)) << seed;
        }
        for (const auto& [first, last] : blocks) {
            const auto inside = starts.upper_bound(first);
            if (sheet.top(last + 1) - sheet.top(first) <= sheet.page) {
                EXPECT_FALSE(inside != starts.end() && *inside <= last) << seed << ": " << first + 1 << "-" << last + 1;
            }
        }
    }

    // The rows fitted a band at a time from the bottom up, each band's
    // blocks measured while the rows above it kept other heights: joined,
    // the tops are those of the sheet once every row is fitted. Blocks of
    // one kind are measured on the first of them.
    for (unsigned seed = 1; seed <= 100; ++seed) {
        std::mt19937 rng(seed);
        const auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(rng); };
        QList<std::pair<int, int>> blocks;
        QList<int> kinds;
        int row = pick(0, 5);
        for (int n = pick(1, 60); n > 0; --n) {
            const int size = pick(1, 40);
            blocks.append({row, row + size - 1});
            kinds.append(seed % 2 ? pick(0, 3) : static_cast<int>(kinds.size()));
            row += size + pick(0, 3);
        }
        std::vector<long> fitted(row + 2);
        for (long& h : fitted)
            h = kHeights[pick(0, 8)];
        const auto fittedTop = [&](int r) { return std::accumulate(fitted.begin(), fitted.begin() + r, 0L); };
        const int rows = pick(1, 200);
        const std::vector<automation::unopages::Band> bands = automation::unopages::Bands(blocks, rows, kinds);
        std::vector<std::map<int, long>> measured(bands.size());
        for (size_t i = 0; i < bands.size(); ++i) {
            if (i + 1 < bands.size()) {
                EXPECT_GE(bands[i].last - bands[i].first + 1, rows) << seed;
                EXPECT_EQ(bands[i].last + 1, bands[i + 1].first) << seed;
            }
            // The rows above the band not fitted yet: each 255 twips.
            const long above = 255L * bands[i].first;
            for (const auto& [first, last] : bands[i].ranges) {
                EXPECT_TRUE(first >= bands[i].first && last <= bands[i].last) << seed;
                measured[i][first] = above + fittedTop(first) - fittedTop(bands[i].first);
                measured[i][last + 1] = above + fittedTop(last + 1) - fittedTop(bands[i].first);
            }
        }
        const std::map<int, long> tops = automation::unopages::JoinBands(bands, measured, fittedTop(bands.front().first));
        for (const auto& [r, top] : tops)
            ASSERT_EQ(top, fittedTop(r)) << seed << ": row " << r;
        if (seed % 2 == 0) {
            for (const auto& [first, last] : blocks) {
                ASSERT_TRUE(tops.count(first) && tops.count(last + 1)) << seed;
            }
        }
    }
}

TEST_F(PageFit, LongWordsAndNamesWrapOnTheStatementsAndTheStockBalance)
{
    t.exec(QStringLiteral("UPDATE REAL_BLUDO SET KOLVO = 1777, CENA = 777.77 WHERE KOD = 6101"));
    RefreshRead(t);
    for (bool ingredients : {false, true}) {
        auto statement = print([&](automation::Office& office) {
            reports::statements::Options o;
            o.ingredients = ingredients;
            o.what = 1;
            o.start = QDate(2026, 3, 1);
            o.finish = QDate(2026, 3, 31);
            o.type = 3;
            reports::statements::Print(ctx(), o, office, cache());
        });
        ASSERT_TRUE(statement);
        // "Один миллион триста восемьдесят две тысячи …" is wider than its cell.
        const int words = rowWith(*statement, QStringLiteral("Сумма прописью:"));
        ASSERT_GE(words, 0);
        if (!ingredients) {
            EXPECT_TRUE(statement->cellState({0, 2, words}).content.toString().startsWith(QStringLiteral("Один миллион")));
        }
        EXPECT_TRUE(statement->cellState({0, 2, words}).wrapped) << ingredients;
        EXPECT_EQ(pages(*statement, QStringLiteral("statement_words")), 1) << ingredients;
        statement->close();
    }

    auto balance = print([&](automation::Office& office) {
        reports::ostatki::Options o;
        o.scope = reports::ostatki::Department;
        o.firma = 5001;
        o.otdel = 5002;
        o.noZero = false;
        reports::RunStandardReport(ctx(), office, cache(), reports::ostatki::Build(ctx(), o));
    });
    ASSERT_TRUE(balance);
    const int dish = rowWith(*balance, QStringLiteral("Котлета \"Нежная\" по-домашнему с гарниром из картофельного "
                                                      "пюре и соусом сливочным с грибами"));
    ASSERT_GE(dish, 0);
    expectWrappedOverLines(*balance, QStringLiteral("B%1").arg(dish + 1).toLatin1().constData());
    balance->close();
}

// Long counterparty names wrap on the statement by operations, with every
// department and with one (its first row then right under the captions):
// each row is high enough for all its name's lines, so no text runs over
// the rows above it, a short name keeps one line and the sheet one page.
TEST_F(PageFit, LongCounterpartiesWrapOnTheStatementByOperations)
{
    // Partners and the fewest lines their names take in the column.
    const QList<std::pair<QString, int>> partners = {
        {QStringLiteral("Общество с ограниченной ответственностью \"Торговый дом Северная продовольственная компания\""), 5},
        {QStringLiteral("Индивидуальный предприниматель Константинопольский Александр Владимирович"), 4},
        {QStringLiteral("ООО \"Овощ\""), 1},
    };
    for (int i = 0; i < partners.size(); ++i) {
        t.exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (%1, '%2', 0)")
                   .arg(5011 + i)
                   .arg(partners[i].first));
        t.exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, "
                              "INT_PARAM1, PROVODKA) VALUES (%1, 'П-%2', '2026-11-0%2', 5, 5001, %3, 5002, 11)")
                   .arg(6020 + i)
                   .arg(i + 1)
                   .arg(5011 + i));
        for (const int ing : {5101, 5105})
            t.exec(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
                                  "VALUES (%1, %2, 5002, 2, 45.5, 1)")
                       .arg(6020 + i)
                       .arg(ing));
    }
    RefreshRead(t);
    // A line of 8-point text needs more than 3 mm.
    constexpr int kSmallLine = 300;
    for (const bool oneDepartment : {false, true}) {
        auto statement = print([&](automation::Office& office) {
            reports::turnover::Options o;
            o.start = QDate(2026, 11, 1);
            o.end = QDate(2026, 11, 30);
            o.allFirma = false;
            o.firma = 5001;
            o.firmaName = QStringLiteral("Столовая №1");
            o.allOtdel = !oneDepartment;
            o.otdel = oneDepartment ? 5002 : 0;
            o.otdelName = oneDepartment ? QStringLiteral("Кухня") : QString();
            reports::RunStandardReport(ctx(), office, cache(), reports::turnover::Build(ctx(), o));
        });
        ASSERT_TRUE(statement);
        int printed = 0;
        for (int r = 6; r < 30; ++r) {
            const automation::CellState st = statement->cellState({0, 3, r});
            for (const auto& [name, lines] : partners) {
                if (st.content != QVariant(name))
                    continue;
                ++printed;
                EXPECT_TRUE(st.wrapped) << r + 1;
                EXPECT_GE(st.rowHeight, lines * kSmallLine) << r + 1;
                if (lines == 1 && statement->cellState({0, 4, r}).content == QVariant(QStringLiteral("Фарш говяжий"))) {
                    EXPECT_LT(st.rowHeight, 3 * kOneLine / 2) << r + 1;
                }
            }
        }
        EXPECT_EQ(printed, 6) << oneDepartment;
        EXPECT_EQ(pages(*statement, QStringLiteral("operations")), 1) << oneDepartment;
        statement->close();
    }
}

// A sales statement of 1,100 lines numbers every row whole, the thousandth and
// those after it too.
TEST_F(PageFit, ALongSalesStatementNumbersEveryRowWhole)
{
    reports::statements::Options sales;
    sales.document = 6001;
    for (int i = 1; i <= 1100; ++i) {
        reports::ProductLine l;
        l.name = QStringLiteral("Блюдо №%1").arg(i);
        l.shortName = QStringLiteral("порц");
        l.kolvo = 1;
        l.cena = 100;
        l.cenaSklad = 60;
        sales.lines.append(l);
    }
    auto d = print([&](auto& o) { reports::statements::Print(ctx(), sales, o, cache()); });
    ASSERT_TRUE(d);
    const QList<PdfPage> pages = PdfPages(*d, QStringLiteral("long_sales"));
    ExpectWholeOnPaper(pages, QStringLiteral("long_sales"));
    EXPECT_EQ(std::accumulate(pages.begin(), pages.end(), 0, [](int n, const PdfPage& p) { return n + p.count(QStringLiteral("1100")); }), 1);
    d->close();
}

// Every paper with the largest figures a kitchen writes (to 999 999 999,99 a
// line, subtotals and totals of ten digits, prices of a million to the
// ten-thousandth and of a hundred thousand to the millionth, quantities to
// the millionth) and a long enterprise shows each figure and text whole, on
// the pages it should take; the statements' requisites and date read as
// they should.
TEST_F(PageFit, EveryPaperShowsNineDigitFiguresWhole)
{
    const QString firm = QStringLiteral("Общество с ограниченной ответственностью \"Комбинат школьного питания "
                                        "Северного административного округа\"");
    const QString dish = QStringLiteral("Котлета \"Нежная\" по-домашнему с гарниром из картофельного пюре");
    t.exec(QStringLiteral("UPDATE FIRMA SET NAME = '%1', INN = '7701000001', KPP = '770101001', RS = "
                          "'40702810000000000001', BANK = 'ПАО Сбербанк', BIK = '044525225' WHERE KOD = 5001").arg(firm));
    for (const char* sql : {
             "INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (5010, 'ООО \"Овощная база\"', 0)",
             "INSERT INTO ING (KOD, NAME, KOD_GROUP, ED_IZM, MY_LEVEL, KVO_PORC, KALORIES) "
             "VALUES (5102, 'Шафран', 5005, 5003, 0, 1, 1000000)",
             "INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_FIRMA, KOD_OTDEL, CENA, MY_CENA, NO_ING) "
             "VALUES (5202, 5102, 5001, 5002, 1000000.1234, 1000000.1234, 0)",
             "UPDATE KARTA SET KOD_ING = 5102, KOLVO = 999 WHERE KOD = 5321",
             "UPDATE ING SET NAME = 'Котлета \"Нежная\" по-домашнему с гарниром из картофельного пюре' WHERE KOD = 5105",
             "UPDATE ING_SKLAD SET KOLVO = 999999.9999, CENA = 999.99, MY_CENA = 999.99 WHERE KOD = 5201",
             "UPDATE ING_SKLAD SET MY_CENA = 999000123.28 WHERE KOD = 5205",
             "UPDATE REAL_BLUDO SET KOLVO = 999999 WHERE KOD = 6111",
             "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
             "VALUES (6001, 5102, 5002, 999.999, 999999.99, 2)",
             "INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, INT_PARAM1, "
             "PROVODKA) VALUES (6002, 'Инвентаризация', '2026-11-30', 5, 5001, 5010, 5002, 11)",
             "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
             "VALUES (6002, 5101, 5002, 999999.9999, 999.99, 1)",
             // Six decimals, and a second line of nine digits beside each: ten-digit subtotals.
             "INSERT INTO ING (KOD, NAME, KOD_GROUP, ED_IZM, MY_LEVEL, KVO_PORC) VALUES (5103, 'Ваниль', 0, 5003, 0, 1)",
             "INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_FIRMA, KOD_OTDEL, KOLVO, CENA, MY_CENA, NO_ING) "
             "VALUES (5203, 5103, 5001, 5002, 9999.999999, 99999.999999, 99999.999999, 0)",
             "INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) VALUES (5322, 5105, 5103, 0.000999, 100, 1)",
             "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
             "VALUES (6001, 5103, 5002, 9999.999999, 99999.999999, 2)",
             "INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
             "VALUES (6002, 5103, 5002, 9999.999999, 99999.999999, 1)",
         })
        t.exec(QString::fromUtf8(sql));
    RefreshRead(t);
    reports::TurnoverOptions turnover;
    turnover.start = QDate(2026, 11, 1);
    turnover.end = QDate(2026, 11, 30);
    turnover.allFirma = false;
    turnover.firma = 5001;
    turnover.firmaName = firm;
    reports::statements::Options sales;
    sales.document = 6001;
    reports::ProductLine line;
    line.name = dish;
    line.shortName = QStringLiteral("порц");
    line.kolvo = 999;
    line.cena = line.cenaSklad = 1000000.1234;
    reports::ProductLine sixDecimals = line;
    sixDecimals.kolvo = 9999.999999;
    sixDecimals.cena = sixDecimals.cenaSklad = 99999.999999;
    sales.lines = {line, sixDecimals};
    reports::InventLine counted{dish, QStringLiteral("5005"), QStringLiteral("Вторые блюда"), QStringLiteral("порц"),
                                0.0001, 1000000.1234, 999999.9999, 999.99, 999.99};
    reports::InventLine countedToo{dish, QStringLiteral("5005"), QStringLiteral("Вторые блюда"), QStringLiteral("порц"),
                                   0.000001, 99999.999999, 9999.999999, 99999.999999, 99999.999999};
    workbooks::LimitRow limit{5001, 5002, 0, firm, QStringLiteral("Кухня"), QString(), dish, 999999.9999, 999999.999,
                              1000000.1234};
    workbooks::StatOptions period;
    period.start = period.end = QDate(2026, 11, 30);
    period.days = 1;
    period.percent = 0;
    const struct {
        const char* name;
        std::function<void(automation::Office&)> print;
        int pages = 1;
    } papers[] = {
        {"waybill", [&](auto& o) { reports::RunStandardReport(ctx(), o, cache(), reports::waybill::Build(ctx(), {6002})); }},
        {"balance", [&](auto& o) {
             reports::ostatki::Options b;
             b.scope = reports::ostatki::Department;
             b.firma = 5001;
             b.otdel = 5002;
             reports::RunStandardReport(ctx(), o, cache(), reports::ostatki::Build(ctx(), b));
         }},
        {"operations", [&](auto& o) { reports::RunStandardReport(ctx(), o, cache(), reports::turnover::Build(ctx(), turnover)); }},
        {"products", [&](auto& o) {
             reports::TurnoverOptions s = turnover;
             s.shortForm = s.balances = true;
             reports::RunStandardReport(ctx(), o, cache(), reports::turnover::Build(ctx(), s));
         }},
        {"inventory", [&](auto& o) {
             reports::RunStandardReport(ctx(), o, cache(),
                                        reports::InventReport({firm, QStringLiteral("Кухня"), QString(), QDate(2026, 12, 7)},
                                                              {counted, countedToo}, reports::MoneyNamesOf(ctx())));
         }},
        {"menu", [&](auto& o) { reports::menu::Print(ctx(), {900030}, o, cache()); }},
        {"sales", [&](auto& o) { reports::statements::Print(ctx(), sales, o, cache()); }},
        {"ingredients", [&](auto& o) {
             reports::statements::Options s = sales;
             s.ingredients = true;
             reports::statements::Print(ctx(), s, o, cache());
         }},
        {"card", [&](auto& o) { reports::card::Print(ctx(), {5105, firm, 5002, QStringLiteral("Кухня"), 0, 1}, o, cache()); }},
        {"tech", [&](auto& o) { reports::techcards::Print(ctx(), {6010, 2}, o, cache()); }},
        {"statistics", [&](auto& o) {
             workbooks::stat::Write(o, period, {{{5101, dish, 999999.999}}, {{5101, dish, QStringLiteral("кг"), 0.001, 999.99}}});
         }, 2},
        {"limits", [&](auto& o) { workbooks::limits::Write(o, {limit}); }},
        {"where_used", [&](auto& o) { workbooks::usage::Write(o, dish, {{dish, 1000, QStringLiteral("порц"), 999999.9999}}); }},
        {"codes", [&](auto& o) { workbooks::menucodes::Print(o, {reports::LoadMenuCodes(ctx(), 900030)}); }},
        {"protocol", [&](auto& o) {
             reports::ProtocolPrint::Print(o, {{{QStringLiteral("07.12.2026"), QStringLiteral("23:59:59"),
                                                 QStringLiteral("Константинопольский Александр Владимирович"),
                                                 QStringLiteral("Калькуляционные карты"), dish + QLatin1Char(' ') + dish}}});
         }},
    };
    for (const auto& p : papers) {
        auto d = print(p.print);
        ASSERT_TRUE(d) << p.name;
        const QList<PdfPage> pages = PdfPages(*d, QString::fromLatin1(p.name));
        EXPECT_EQ(pages.size(), p.pages) << p.name;
        ExpectWholeOnPaper(pages, QString::fromLatin1(p.name));
        if (QLatin1String(p.name) == QLatin1String("operations")) {
            // A document's number runs under no neighbour: an inventory's reads whole.
            bool whole = false;
            for (const PdfPage& pg : pages)
                for (const PdfWord& w : pg.words)
                    whole = whole || w.text == QStringLiteral("Инвентаризация");
            EXPECT_TRUE(whole);
        }
        if (QLatin1String(p.name) == QLatin1String("sales")) {
            EXPECT_TRUE(d->cellState({0, 1, 2}).content.toString().startsWith(QStringLiteral("Предприятие: Общество")));
            EXPECT_EQ(d->cellState({0, 1, 4}).content, QVariant(QStringLiteral("БИК: 044525225")));
        }
        if (QLatin1String(p.name) == QLatin1String("ingredients")) {
            EXPECT_EQ(d->cellState({0, 5, 1}).content, QVariant(QStringLiteral("от 02.03.2026")));
        }
        d->close();
    }
}

} // namespace
