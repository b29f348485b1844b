// The waybill and the stock balance on the shipped sample templates in a real
// headless LibreOffice: filled, stored, read back. With TARELIA_OFFICE_OUT set,
// each document is also exported there as PDF to be looked at.

#include "OfficeEnvironment.h"
#include "automation/uno/UnoOffice.h"
#include "reports/Ostatki.h"
#include "reports/Waybill.h"
#include "support/EngineEnv.h"
#include "support/KeepingOffice.h"
#include "support/PaperCheck.h"
#include "support/TemplateFixture.h"
#include "templates/SampleTemplates.h"
#include "util/Clock.h"

#include <gtest/gtest.h>

using automation::Document;

namespace {

class StockReportsOffice : public ::testing::Test {
protected:
    void SetUp() override
    {
        env.t.write().start();
        ASSERT_GE(templates::InstallShippedSamples(env.t.db(), env.t.write()), 2);
        env.t.write().commit();
        env.settings.rub = QStringLiteral("руб.");
        env.settings.kop = QStringLiteral("коп.");
        Clock::setSource([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 0)); });

        auto& t = env.t;
        t.exec("INSERT INTO FIRMA (KOD, NAME, INN, KPP, ADDR_JUR, RS, BANK, BIK, LOCAL_FIRMA) VALUES (900001, "
               "'ООО \"Столовая №1\"', '6950000001', '695001001', 'г. Тверь, ул. Советская, д. 5', '40702810000000000001', "
               "'ПАО Сбербанк', '042809679', 1)");
        t.exec("INSERT INTO FIRMA (KOD, NAME, INN, KPP, ADDR_JUR, RS, BANK, BIK, LOCAL_FIRMA) VALUES (900002, "
               "'ООО \"Овощная база\"', '7700000002', '770001001', 'г. Москва, Рязанский пр-т, д. 2', "
               "'40702810000000000002', 'Банк ВТБ (ПАО)', '044525187', 0)");
        t.exec("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (900003, 900001, 'Горячий цех')");
        t.exec("INSERT INTO SKLAD (KOD, KOD_OTDEL, NAME) VALUES (900006, 900003, 'Основной склад')");
        t.exec("INSERT INTO SKLAD (KOD, KOD_OTDEL, NAME) VALUES (900007, 900003, 'Холодильная камера')");
        t.exec("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (900010, 'килограмм', 'кг')");
        t.exec("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (900013, 'штука', 'шт')");
        t.exec("INSERT INTO GROUP_ING (KOD, NAME) VALUES (900011, 'Овощи')");
        t.exec("INSERT INTO GROUP_ING (KOD, NAME) VALUES (900012, 'Мясо и птица')");
        const char* products[][4] = {{"900021", "900011", "Картофель продовольственный", "900010"},
                                     {"900022", "900011", "Морковь столовая", "900010"},
                                     {"900023", "900011", "Лук репчатый", "900010"},
                                     {"900024", "900012", "Говядина охлаждённая (лопатка)", "900010"},
                                     {"900025", "900012", "Яйцо куриное С1", "900013"}};
        for (auto& p : products)
            t.exec(QStringLiteral("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (%1, %2, '%3', %4)")
                       .arg(QString::fromUtf8(p[0]), QString::fromUtf8(p[1]), QString::fromUtf8(p[2]), QString::fromUtf8(p[3])));
    }
    void TearDown() override { Clock::setSource({}); }

    // Stores the run's document, exports a PDF when asked, and reads it back.
    std::unique_ptr<Document> storeAndReload(KeepingOffice& keeping, const QString& name)
    {
        EXPECT_EQ(keeping.documents.size(), 1u);
        auto d = StoreAndReload(*keeping.documents.front(), name + QStringLiteral(".ods"), "TARELIA_OFFICE_OUT");
        if (d)
            ExpectNumbersFormatted(*d, 40, 16);
        return d;
    }

    QString cache() const { return env.t.folder() + QStringLiteral("/templates/"); }

    static QVariant at(Document& d, const char* a1)
    {
        const QString s = QString::fromLatin1(a1);
        return d.cellState({0, s.at(0).unicode() - u'A', s.mid(1).toInt() - 1}).content;
    }

    EngineEnv env;
};

} // namespace

TEST_F(StockReportsOffice, WaybillFromTheSample)
{
    env.t.exec("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT) "
               "VALUES (900100, 'П-0157', '2026-11-30', 5, 900001, 900002)");
    const double lines[][3] = {{900021, 25, 32.5}, {900022, 10.5, 41.2}, {900023, 8, 28.9}, {900024, 12.35, 589}};
    int n = 0;
    for (auto& l : lines)
        env.t.exec(QStringLiteral("INSERT INTO MOVES (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
                                  "VALUES (%1, 900100, %2, 900003, %3, %4, 1)")
                       .arg(900110 + ++n).arg(qint64(l[0])).arg(l[1]).arg(l[2]));
    RefreshRead(env.t);
    KeepingOffice keeping(TestOffice());
    const engine::Context ctx = env.ctx();
    reports::RunStandardReport(ctx, keeping, cache(), reports::waybill::Build(ctx, {900100}));
    auto d = storeAndReload(keeping, QStringLiteral("waybill"));
    ASSERT_TRUE(d);
    EXPECT_EQ(at(*d, "A1"), QStringLiteral("Приходная накладная № П-0157 от 30.11.2026"));
    EXPECT_EQ(at(*d, "A3"), QStringLiteral("Поставщик: ООО \"Овощная база\", ИНН/КПП: 7700000002/770001001, г. Москва, "
                                           "Рязанский пр-т, д. 2"));
    EXPECT_EQ(at(*d, "A5").toString().left(31), QStringLiteral("Покупатель: ООО \"Столовая №1\", "));
    EXPECT_EQ(at(*d, "A6"), QStringLiteral("Счёт: 40702810000000000001 в ПАО Сбербанк"));
    EXPECT_EQ(at(*d, "F4"), QStringLiteral("БИК 044525187"));
    EXPECT_EQ(at(*d, "B8"), QStringLiteral("Наименование товара"));
    EXPECT_EQ(at(*d, "A9"), QVariant(1.0));
    EXPECT_EQ(at(*d, "B9"), QStringLiteral("Картофель продовольственный"));
    EXPECT_EQ(at(*d, "C12"), QStringLiteral("кг"));
    EXPECT_DOUBLE_EQ(at(*d, "F12").toDouble(), 12.35 * 589);
    EXPECT_EQ(at(*d, "E13"), QStringLiteral("Итого:"));
    const double total = 25 * 32.5 + 10.5 * 41.2 + 8 * 28.9 + 12.35 * 589;
    EXPECT_NEAR(at(*d, "F13").toDouble(), total, 1e-9);
    EXPECT_EQ(at(*d, "A14"), QStringLiteral("Всего наименований:"));
    EXPECT_EQ(at(*d, "C14"), QVariant(4.0));
    EXPECT_EQ(at(*d, "A15"), QStringLiteral("Сумма прописью: Восемь тысяч семьсот пятьдесят руб. 45коп."));
    EXPECT_EQ(at(*d, "A17"), QStringLiteral("Отпустил _______________"));
    EXPECT_EQ(at(*d, "A19"), QStringLiteral("М.П."));
    d->close();
}

// An issue to a partner with a tax number only, at the figures of a
// supplier's invoice: the office shows quantities and prices with the
// decimals they have (up to six; prices at least two), each sum as the
// stored quantity times the stored price rounded once, the total and its
// words as the sums add up; no lone caption stands for the missing bank
// details. The paper read back reads across and adds up.
TEST_F(StockReportsOffice, WaybillAddsUpAsPrinted)
{
    env.t.exec("INSERT INTO FIRMA (KOD, NAME, INN, LOCAL_FIRMA) VALUES (900009, 'ИП Смирнов А. В.', '7705556677', 0)");
    env.t.exec("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT) "
               "VALUES (900300, 'Р-0042', '2026-12-01', 6, 900001, 900009)");
    const double lines[][3] = {{900023, 2000, 0.335}, {900023, 1000, 0.333},    {900022, 3, 0.005},
                               {900021, 10, 2.675},   {900024, 10, 142.633867}, {900025, 0.3333, 22.5}};
    int n = 0;
    for (auto& l : lines)
        env.t.exec(QStringLiteral("INSERT INTO MOVES (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
                                  "VALUES (%1, 900300, %2, 900003, %3, %4, 2)")
                       .arg(900310 + ++n).arg(qint64(l[0])).arg(l[1], 0, 'g', 17).arg(l[2], 0, 'g', 17));
    RefreshRead(env.t);
    KeepingOffice keeping(TestOffice());
    const engine::Context ctx = env.ctx();
    reports::RunStandardReport(ctx, keeping, cache(), reports::waybill::Build(ctx, {900300}));
    auto d = storeAndReload(keeping, QStringLiteral("waybill_kopecks"));
    ASSERT_TRUE(d);
    auto shown = [&](const char* a1) {
        const QString s = QString::fromLatin1(a1);
        return d->cellState({0, s.at(0).unicode() - u'A', s.mid(1).toInt() - 1}).shown;
    };
    EXPECT_EQ(at(*d, "A5"), QStringLiteral("Покупатель: ИП Смирнов А. В., ИНН: 7705556677"));
    EXPECT_FALSE(at(*d, "A6").isValid());
    EXPECT_FALSE(at(*d, "F6").isValid());
    const char* const rows[][3] = {{"2000", "0,335", "670,00"}, {"1000", "0,333", "333,00"},     {"3", "0,005", "0,02"},
                                   {"10", "2,675", "26,75"},    {"10", "142,633867", "1426,34"}, {"0,3333", "22,50", "7,50"}};
    for (int i = 0; i < 6; ++i) {
        const QByteArray row = QByteArray::number(9 + i);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(shown(QByteArray(1, char('D' + c)).append(row).constData()), QString::fromUtf8(rows[i][c]))
                << char('D' + c) << row.constData();
    }
    EXPECT_EQ(shown("F15"), QStringLiteral("2463,61"));
    EXPECT_EQ(at(*d, "A17"), QStringLiteral("Сумма прописью: Две тысячи четыреста шестьдесят три руб. 61коп."));

    const papercheck::Paper paper = papercheck::Waybill(reports::MoneyNamesOf(ctx));
    const auto cells = d->contents({0, 0, 0, 5, 20});
    ASSERT_TRUE(cells);
    int read = 0;
    EXPECT_EQ(papercheck::Check(cells->rows, paper, &read), QStringList{});
    EXPECT_EQ(read, 6);
    d->close();
}

TEST_F(StockReportsOffice, StockBalanceFromTheSample)
{
    const double rows[][5] = {{900021, 900006, 120, 30.1, 45}, {900022, 900006, 35.5, 40.8, 60},
                              {900024, 900006, 18.2, 575, 790}, {900025, 900007, 360, 8.9, 12},
                              {900023, 900007, 22, 27.4, 39}};
    for (auto& r : rows)
        env.t.exec(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOD_SKLAD, KOLVO, CENA, MY_CENA) "
                                  "VALUES (%1, 900001, 900003, %2, %3, %4, %5)")
                       .arg(qint64(r[0])).arg(qint64(r[1])).arg(r[2]).arg(r[3]).arg(r[4]));
    RefreshRead(env.t);
    reports::ostatki::Options o;
    o.scope = reports::ostatki::Department;
    o.firma = 900001;
    o.otdel = 900003;
    o.sklad = 900006;
    KeepingOffice keeping(TestOffice());
    reports::RunStandardReport(env.ctx(), keeping, cache(), reports::ostatki::Build(env.ctx(), o));
    auto d = storeAndReload(keeping, QStringLiteral("stock_balance"));
    ASSERT_TRUE(d);
    EXPECT_EQ(at(*d, "A1"), QStringLiteral("Остатки продуктов на складах"));
    EXPECT_EQ(at(*d, "A2"), QStringLiteral("по состоянию на 07.12.2026"));
    EXPECT_EQ(at(*d, "C3"), QStringLiteral("ООО \"Столовая №1\""));
    EXPECT_EQ(at(*d, "C5"), QStringLiteral("Все склады"));
    EXPECT_EQ(at(*d, "B8"), QStringLiteral("Основной склад"));
    EXPECT_EQ(at(*d, "B9"), QStringLiteral("Овощи"));
    EXPECT_EQ(at(*d, "B10"), QStringLiteral("Картофель продовольственный"));
    EXPECT_EQ(at(*d, "B12"), QStringLiteral("Итого по группе:"));
    EXPECT_NEAR(at(*d, "G12").toDouble(), 120 * 30.1 + 35.5 * 40.8, 1e-9);
    EXPECT_EQ(at(*d, "B13"), QStringLiteral("Мясо и птица"));
    EXPECT_EQ(at(*d, "B16"), QStringLiteral("Итого по складу:"));
    const double total1 = 120 * 30.1 + 35.5 * 40.8 + 18.2 * 575 + 360 * 8.9 + 22 * 27.4;
    bool found = false;
    for (int r = 17; r < 40 && !found; ++r)
        if (d->cellState({0, 1, r - 1}).content == QStringLiteral("ИТОГО:")) {
            found = true;
            EXPECT_NEAR(d->cellState({0, 6, r - 1}).content.toDouble(), total1, 1e-9);
        }
    EXPECT_TRUE(found);
    d->close();

    // The summed balance on the same sample.
    KeepingOffice svod(TestOffice());
    o.scope = reports::ostatki::AllEnterprises;
    o.svod = true;
    reports::RunStandardReport(env.ctx(), svod, cache(), reports::ostatki::Build(env.ctx(), o));
    auto s = storeAndReload(svod, QStringLiteral("stock_balance_svod"));
    ASSERT_TRUE(s);
    EXPECT_EQ(at(*s, "C3"), QStringLiteral("Все предприятия"));
    EXPECT_EQ(at(*s, "B8"), QStringLiteral("Овощи"));
    EXPECT_EQ(at(*s, "B9"), QStringLiteral("Картофель продовольственный"));
    s->close();
}
