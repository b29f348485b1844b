// The waybill of a movement document against the in-memory office: receipt
// or issue by type and last line, both parties, lines, total in figures and
// words, and the exchange records written on the way.

#include "automation/RecordingOffice.h"
#include "exchange/Obmen.h"
#include "reports/Waybill.h"
#include "support/EngineEnv.h"
#include "support/FlatOds.h"
#include "support/PaperCheck.h"
#include "support/TemplateFixture.h"
#include "engine/Clock.h"
#include "engine/Kopecks.h"

#include <QFile>

#include <algorithm>

#include <gtest/gtest.h>

using namespace templates;
using automation::RecordingOffice;

namespace {

class Waybill : public ::testing::Test {
protected:
    void SetUp() override
    {
        TemplateForm f = TableLayout(QStringLiteral("Накладная"), 601);
        f.HEAD_YX = QStringLiteral("H7");
        f.TAIL_YX = QStringLiteral("H10");
        f.END_LINE = QStringLiteral("H");
        const qint64 form = InsertTemplate(env.t, 1, f);
        auto var = [&](const char* name, int loc, const char* cell) {
            InsertVariable(env.t, form, PlacedVariable(QString::fromLatin1(name), loc, QString::fromLatin1(cell)));
        };
        var("name_d", LocHeader, "A1");
        var("date_d", LocHeader, "A2");
        const char* cols = "ABCDEFGH";
        const char* party[] = {"", "addr_", "inn_", "all_", "rs_", "bank_", "rs_b_", "bik_"};
        for (int i = 0; i < 8; ++i) {
            var((QByteArray(party[i]) + "pok").constData(), LocHeader, (QByteArray(1, cols[i]) + "3").constData());
            var((QByteArray(party[i]) + "prod").constData(), LocHeader, (QByteArray(1, cols[i]) + "4").constData());
        }
        var("nstr", LocTable, "A1");
        var("name", LocTable, "B1");
        var("ed_izm", LocTable, "C1");
        var("kolvo", LocTable, "D1");
        var("cena", LocTable, "E1");
        var("summa", LocTable, "F1");
        var("sum_all", LocEnd, "F1");
        var("sum_txt", LocEnd, "A2");
        var("kolvo_str", LocEnd, "A3");
        env.settings.rub = QStringLiteral("руб.");
        env.settings.kop = QStringLiteral("коп.");

        env.t.exec("INSERT INTO FIRMA (KOD, NAME, INN, KPP, ADDR_JUR, RS, BANK, BIK, LOCAL_FIRMA) VALUES "
                   "(900001, 'Столовая', '1', '2', 'Тверь', '4070', 'Сбербанк', '044', 1)");
        env.t.exec("INSERT INTO FIRMA (KOD, NAME, INN, KPP, ADDR_JUR, RS, BANK, BIK, LOCAL_FIRMA) VALUES "
                   "(900002, 'Поставщик', '77', '88', 'Москва', '4080', 'ВТБ', '045', 0)");
        env.t.exec("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (900010, 'килограмм', 'кг')");
        env.t.exec("INSERT INTO ING (KOD, NAME, ED_IZM) VALUES (900021, 'Морковь', 900010)");
        env.t.exec("INSERT INTO ING (KOD, NAME, ED_IZM) VALUES (900022, 'Лук', 900010)");
        env.t.exec("INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_OTDEL, KOD_KASSA, KOD_1S) VALUES (900031, 900021, 900005, 3, 'M-1')");
        office.prototype.sheets.resize(1);
        office.prototype.sheets[0].cells[{7, 0}].content = QStringLiteral("Итого");
        Clock::setSource([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 0)); });
    }
    void TearDown() override { Clock::setSource({}); }

    // A document with its lines (kolvo, cena, type of line; 0: not posted,
    // null). Lines with a type make a posted document.
    void document(int type, const QVector<std::tuple<qint64, double, double, int>>& lines, qint64 kod = 900100)
    {
        const bool posted = std::any_of(lines.begin(), lines.end(), [](const auto& l) { return std::get<3>(l) != 0; });
        env.t.exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, "
                                  "PROVODKA) VALUES (%1, '15', '2026-11-30', %2, 900001, 900002, %3)")
                       .arg(kod)
                       .arg(type)
                       .arg(posted ? 11 : 0));
        int n = 0;
        for (const auto& [ing, kolvo, cena, dir] : lines)
            env.t.exec(QStringLiteral("INSERT INTO MOVES (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
                                      "VALUES (%1, %2, %3, 900005, %4, %5, %6)")
                           .arg(kod * 10 + ++n)
                           .arg(kod)
                           .arg(ing)
                           .arg(kolvo)
                           .arg(cena)
                           .arg(dir ? QString::number(dir) : QStringLiteral("NULL")));
    }

    void run(qint64 doc = 900100, exchange::obmen::Export* x = nullptr)
    {
        RefreshRead(env.t);
        const engine::Context ctx = env.ctx();
        reports::RunStandardReport(ctx, office, env.t.folder() + QStringLiteral("/templates/"),
                                   reports::waybill::Build(ctx, {doc}, x));
    }
    QVariant at(const char* a1) { return office.last().at(QString::fromLatin1(a1)); }

    EngineEnv env;
    RecordingOffice office;
};

} // namespace

TEST_F(Waybill, ReceiptHasOwnEnterpriseAsBuyerAndTheSumInWords)
{
    document(5, {{900021, 1, 100, 1}, {900022, 1, 23.45, 1}});
    run();
    EXPECT_EQ(at("A1"), QStringLiteral("Приходная накладная № 15 от 30.11.2026"));
    EXPECT_EQ(at("A3"), QStringLiteral("Столовая"));
    EXPECT_EQ(at("B3"), QStringLiteral("Тверь"));
    EXPECT_EQ(at("C3"), QStringLiteral("1/2"));
    EXPECT_EQ(at("D3"), QStringLiteral("Столовая, ИНН/КПП: 1/2, Тверь"));
    EXPECT_EQ(at("E3"), QStringLiteral("4070"));
    EXPECT_EQ(at("F3"), QStringLiteral("Сбербанк"));
    EXPECT_EQ(at("G3"), QStringLiteral("4070 в Сбербанк"));
    EXPECT_EQ(at("H3"), QStringLiteral("044"));
    EXPECT_EQ(at("A4"), QStringLiteral("Поставщик"));
    EXPECT_EQ(at("D4"), QStringLiteral("Поставщик, ИНН/КПП: 77/88, Москва"));

    EXPECT_EQ(at("A8"), QVariant(1.0));
    EXPECT_EQ(at("B8"), QStringLiteral("Морковь"));
    EXPECT_EQ(at("C8"), QStringLiteral("кг"));
    EXPECT_EQ(at("F8"), QVariant(100.0));
    EXPECT_EQ(at("A9"), QVariant(2.0));
    EXPECT_EQ(at("E9"), QVariant(23.45));
    EXPECT_EQ(at("A10"), QStringLiteral("Итого"));
    EXPECT_DOUBLE_EQ(at("F10").toDouble(), 123.45);
    EXPECT_EQ(at("A11"), QStringLiteral("Сто двадцать три руб. 45коп."));
    EXPECT_EQ(at("A12"), QVariant(2.0));
}

// Requisites print only the parts an enterprise has: no "Счёт:  в", no
// "ИНН/КПП: 7705556677/," for a partner without KPP, address or bank.
TEST(Requisites, OnlyThePartsThatExist)
{
    struct Case {
        const char *inn, *kpp, *addr, *rs, *bank;
        const char *taxNumbers, *all, *accountAtBank;
    };
    const Case cases[] = {
        {"77", "88", "Москва", "4070", "ВТБ", "77/88", "Поставщик, ИНН/КПП: 77/88, Москва", "4070 в ВТБ"},
        {"7705556677", "", "", "", "", "7705556677", "Поставщик, ИНН: 7705556677", ""},
        {"", "770501001", " ", "4070", "", "770501001", "Поставщик, КПП: 770501001", "4070"},
        {"", "", "Москва", "", "ВТБ", "", "Поставщик, Москва", "ВТБ"},
    };
    for (const Case& c : cases) {
        const reports::Party p = reports::PartyOf(QStringLiteral("Поставщик"), QString::fromUtf8(c.inn),
                                                  QString::fromUtf8(c.kpp), QString::fromUtf8(c.addr),
                                                  QString::fromUtf8(c.rs), QString::fromUtf8(c.bank), QString());
        EXPECT_EQ(p.taxNumbers, QString::fromUtf8(c.taxNumbers)) << c.all;
        EXPECT_EQ(p.all, QString::fromUtf8(c.all));
        EXPECT_EQ(p.accountAtBank, QString::fromUtf8(c.accountAtBank)) << c.all;
    }
    EXPECT_EQ(reports::PartyOf({}, {}, {}, {}, {}, {}, {}).all, QString());
}

TEST_F(Waybill, TitleAndPartiesFollowTheDocumentType)
{
    struct Case { int type; int lastLine; bool receipt; };
    const Case cases[] = {{2, 1, true}, {3, 2, false}, {4, 1, true}, {4, 2, false},
                          {5, 2, true}, {6, 1, false}, {7, 2, false}};
    qint64 kod = 900200;
    for (const Case& c : cases) {
        // The internal move is decided by its last line only.
        document(c.type, {{900021, 1, 1, c.lastLine == 1 ? 2 : 1}, {900022, 1, 1, c.lastLine}}, ++kod);
        run(kod);
        const QString title = at("A1").toString();
        EXPECT_EQ(title.startsWith(QStringLiteral("Приходная накладная № ")), c.receipt) << c.type << " " << c.lastLine;
        EXPECT_EQ(title.startsWith(QStringLiteral("Расходная накладная № ")), !c.receipt) << c.type;
        EXPECT_EQ(at("A3"), c.receipt ? QStringLiteral("Столовая") : QStringLiteral("Поставщик")) << c.type;
        EXPECT_EQ(at("A4"), c.receipt ? QStringLiteral("Поставщик") : QStringLiteral("Столовая")) << c.type;
    }
    // An internal move without lines is an issue.
    document(4, {}, ++kod);
    run(kod);
    EXPECT_TRUE(at("A1").toString().startsWith(QStringLiteral("Расходная накладная № ")));
}

TEST_F(Waybill, NoLinesPutsTheEndBlockUnderTheHeaderWithZero)
{
    document(6, {});
    env.t.exec("UPDATE DOCS SET KOD_PARTNER_IMPORT = 1 WHERE KOD = 900100");  // no such enterprise
    run();
    // An enterprise that is not there leaves the buyer's cells as the template has them.
    for (const char* cell : {"A3", "B3", "C3", "D3", "E3", "F3", "G3", "H3"})
        EXPECT_FALSE(at(cell).isValid()) << cell;
    EXPECT_EQ(at("A8"), QStringLiteral("Итого"));
    EXPECT_EQ(at("F8"), QVariant(0.0));
    EXPECT_EQ(at("A9"), QStringLiteral("Нольруб. 0коп."));
    EXPECT_EQ(at("A10"), QVariant(0.0));

    // A document deleted meanwhile is refused before the office is asked.
    const int books = static_cast<int>(office.books.size());
    RefreshRead(env.t);
    EXPECT_THROW(reports::waybill::Build(env.ctx(), {900999}), std::runtime_error);
    EXPECT_EQ(office.books.size(), books);
}

TEST_F(Waybill, ExchangeRecordsFollowEachLinesOwnDirection)
{
    // An issue document whose first line comes into stock; the product
    // without an accounting code was named on two lines.
    env.t.exec("UPDATE ING SET NAME = 'Лук' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'репчатый' WHERE KOD = 900022");
    document(6, {{900021, 2, 10, 1}, {900022, 3, 5, 2}});
    const QString path = env.t.folder() + QStringLiteral("/obmen.dbf");
    exchange::obmen::CreateTable(path);
    exchange::obmen::Export x(env.ctx(), path);
    run(900100, &x);
    x.close();
    EXPECT_TRUE(at("A1").toString().startsWith(QStringLiteral("Расходная")));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const auto table = exchange::dbf::Read(f.readAll());
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->records.size(), 2);
    EXPECT_EQ(table->records[0][0], QByteArray("+"));
    EXPECT_EQ(exchange::dbf::TextOf(table->records[0][2]), QStringLiteral("M-1"));
    EXPECT_EQ(table->records[1][0], QByteArray("-"));
    EXPECT_EQ(exchange::dbf::TextOf(table->records[1][6]), QStringLiteral("15"));
    EXPECT_EQ(x.warningText(), exchange::obmen::MissingCodesHeading() + QStringLiteral("\n\nЛук репчатый"));

    // Lines not posted yet go as their posting will move them: a receipt's in.
    document(5, {{900021, 2, 10, 0}}, 900101);
    exchange::obmen::CreateTable(path);
    exchange::obmen::Export y(env.ctx(), path);
    run(900101, &y);
    y.close();
    QFile again(path);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    const auto unposted = exchange::dbf::Read(again.readAll());
    ASSERT_TRUE(unposted.has_value());
    ASSERT_EQ(unposted->records.size(), 1);
    EXPECT_EQ(unposted->records[0][0], QByteArray("+"));
}

// A receipt of 1,100 lines on the shipped sample, read back line by line
// against its ledger: each amount is the stored quantity times the stored
// price rounded once to the even kopeck (worked out here in whole numbers),
// and the paper reads across and adds up on every row, the words included.
TEST(LongWaybill, EveryLineIsItsLedgersAmountAndThePaperAddsUp)
{
    TestDb t(TestDb::WithSamples);
    engine::Settings settings;
    settings.rub = QStringLiteral("руб.");
    settings.kop = QStringLiteral("коп.");
    t.exec("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (1, 'Столовая', 1)");
    t.exec("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (2, 'килограмм', 'кг')");
    t.exec("INSERT INTO ING (KOD, NAME, ED_IZM) VALUES (3, 'Продукт', 2)");
    t.exec("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT) "
           "VALUES (4, 'П-1100', '2026-12-01', 5, 1, 1)");
    constexpr int kLines = 1100;
    std::vector<qint64> ledger;  // kopecks
    qint64 total = 0;
    t.write().start();
    db::Query q(&t.db(), &t.write());
    q.setSql(QStringLiteral("INSERT INTO MOVES (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
                            "VALUES (:K, 4, 3, 5, :Q, :C, 1)"));
    for (int i = 0; i < kLines; ++i) {
        // Quantities of up to four decimals, prices of up to four, or six as
        // the recomputation stores them; halves of a kopeck among them.
        const qint64 q4 = 1 + (qint64(i) * 7919) % 250000;
        const bool six = i % 7 == 3;
        const qint64 price = six ? 1 + (qint64(i) * 1000003) % 99999999 : 1 + (qint64(i) * 104729) % 9999999;
        const qint64 scale = six ? 1000000 : 10000;  // of the price
        // q4 × price in units of 10^-4 × 1/scale; kopecks, the half to the even one.
        const __int128 product = __int128(q4) * price * 100;
        const __int128 unit = __int128(10000) * scale;
        qint64 kopecks = static_cast<qint64>(product / unit);
        const __int128 twice = 2 * (product % unit);
        if (twice > unit || (twice == unit && kopecks % 2 != 0))
            ++kopecks;
        ledger.push_back(kopecks);
        total += kopecks;
        q.param(QStringLiteral("K")).setInt64(100 + i);
        q.param(QStringLiteral("Q")).setDouble(static_cast<double>(q4) / 10000.0);
        q.param(QStringLiteral("C")).setDouble(static_cast<double>(price) / static_cast<double>(scale));
        q.execSql();
    }
    t.write().commit();
    RefreshRead(t);

    automation::RecordingOffice office;
    office.prototype = ReadFlatOds(QStringLiteral(TARELIA_FIXTURES "/../../printing/templates/samples/waybill.fods"));
    const engine::Context ctx = ContextOn(t, &settings);
    reports::RunStandardReport(ctx, office, t.folder() + QStringLiteral("/templates/"), reports::waybill::Build(ctx, {4}));

    const automation::RecordedBook& b = *office.books.back();
    for (int i = 0; i < kLines; ++i)
        ASSERT_EQ(engine::Units(b.at(QStringLiteral("F%1").arg(9 + i)).toDouble(), 2), ledger[i]) << "line " << i + 1;
    EXPECT_EQ(engine::Units(b.at(QStringLiteral("F%1").arg(9 + kLines)).toDouble(), 2), total);
    const papercheck::Paper paper = papercheck::Waybill(reports::MoneyNamesOf(ctx));
    EXPECT_EQ(papercheck::ExpectReads(office, paper), kLines);
}
