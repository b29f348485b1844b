// Every paper printed by a real headless LibreOffice with the largest figures
// a kitchen writes (up to 999,999,999.99, prices to the ten-thousandth),
// long names and a long enterprise: exported as PDF and read back, each shows
// every figure and text whole within its page.

#include "OfficeEnvironment.h"
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

#include <gtest/gtest.h>

#include <functional>

using automation::Document;

namespace {

const QString kLongFirma = QStringLiteral("Общество с ограниченной ответственностью \"Комбинат школьного питания "
                                          "Северного административного округа\"");
const QString kLongDish = QStringLiteral("Котлета \"Нежная\" по-домашнему с гарниром из картофельного пюре");

class PaperFigures : public ::testing::Test {
protected:
    void SetUp() override
    {
        Clock::setSource([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 30)); });
        for (const QString& sql : {
                 QStringLiteral("INSERT INTO FIRMA (KOD, NAME, INN, KPP, ADDR_JUR, RS, BANK, BIK, LOCAL_FIRMA) VALUES "
                                "(5001, '%1', '7701000001', '770101001', 'г. Москва, ул. Лесная, д. 1', "
                                "'40702810000000000001', 'ПАО Сбербанк', '044525225', 1)")
                     .arg(QString(kLongFirma).replace(QLatin1Char('\''), QStringLiteral("''"))),
                 QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (5010, 'ООО \"Овощная база\"', 0)"),
                 QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (5002, 5001, 'Горячий цех')"),
                 QStringLiteral("INSERT INTO SKLAD (KOD, KOD_OTDEL, NAME) VALUES (5006, 5002, 'Основной склад')"),
                 QStringLiteral("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (5003, 'Килограмм', 'кг')"),
                 QStringLiteral("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (5004, 'Порция', 'порц')"),
                 QStringLiteral("INSERT INTO GROUP_ING (KOD, NAME) VALUES (5005, 'Вторые блюда')"),
                 QStringLiteral("INSERT INTO ING (KOD, NAME, KOD_GROUP, ED_IZM, MY_LEVEL, KVO_PORC, KALORIES) "
                                "VALUES (5101, 'Фарш говяжий', 5005, 5003, 0, 1, 2500)"),
                 QStringLiteral("INSERT INTO ING (KOD, NAME, KOD_GROUP, ED_IZM, MY_LEVEL, KVO_PORC, KALORIES) "
                                "VALUES (5102, 'Шафран', 5005, 5003, 0, 1, 1000000)"),
                 QStringLiteral("INSERT INTO ING (KOD, NAME, KOD_GROUP, ED_IZM, MY_LEVEL, KVO_PORC, VIHOD_BLUDA, "
                                "KALORIES) VALUES (5105, '%1', 5005, 5004, 1, 1, '150/100', 350)")
                     .arg(kLongDish),
                 QStringLiteral("INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_FIRMA, KOD_OTDEL, KOD_SKLAD, KOLVO, CENA, "
                                "MY_CENA, NO_ING) VALUES (5201, 5101, 5001, 5002, 5006, 999999.9999, 999.99, "
                                "999.99, 0)"),
                 QStringLiteral("INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_FIRMA, KOD_OTDEL, KOD_SKLAD, KOLVO, CENA, "
                                "MY_CENA, NO_ING, LIMIT) VALUES (5202, 5102, 5001, 5002, 5006, 0.0001, 1000000.1234, "
                                "1000000.1234, 0, 1)"),
                 QStringLiteral("INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_FIRMA, KOD_OTDEL, CENA, MY_CENA, METOD_CENA, "
                                "NO_ING, KOD_KASSA, KOD_1S, S_KOD) VALUES (5205, 5105, 5001, 5002, 999000123.28, "
                                "999000123.28, 2, 0, 46, '00-000000042', '4600000000404')"),
                 QStringLiteral("INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) "
                                "VALUES (5321, 5105, 5102, 999, 100, 1)"),
                 // A receipt from the partner, posted.
                 QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                "KOD_PARTNER_IMPORT, INT_PARAM1, PROVODKA) VALUES (6001, 'П-0157', '2026-11-30', 5, "
                                "5001, 5010, 5002, 11)"),
                 QStringLiteral("INSERT INTO MOVES (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
                                "VALUES (6101, 6001, 5101, 5002, 999999.9999, 999.99, 1)"),
                 QStringLiteral("INSERT INTO MOVES (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
                                "VALUES (6102, 6001, 5102, 5002, 0.0001, 1000000.1234, 1)"),
                 // A posted sale of the dish, its write-off of saffron.
                 QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, PROVODKA, P) "
                                "VALUES (6002, 'Р-12', '2026-11-30', 3, 5001, 11, 0)"),
                 QStringLiteral("INSERT INTO REAL_BLUDO (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                                "VALUES (6201, 6002, 5105, 5002, 999, 1000000.1234, 1000000.1234)"),
                 QStringLiteral("INSERT INTO MOVES (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
                                "VALUES (6103, 6002, 5102, 5002, 999.999, 999999.99, 2)"),
                 // A production not posted yet, for the technological cards.
                 QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, PROVODKA, P) "
                                "VALUES (6010, 'П-4', '2026-12-07', 7, 5001, 0, 0)"),
                 QStringLiteral("INSERT INTO REAL_BLUDO (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                                "VALUES (6211, 6010, 5105, 5002, 999999, 0, 0)"),
                 QStringLiteral("INSERT INTO MENU (KOD, KOD_FIRMA, NAME, DATE_MENU, PERCENT, NO_ROUND) "
                                "VALUES (7001, 5001, 'Обед', '2026-12-07', 0, 2)"),
                 QStringLiteral("INSERT INTO MENU_RAZDEL (KOD, KOD_MENU, KOD_OTDEL, MY_SORT, NAME, IS_ACTIVE) "
                                "VALUES (7011, 7001, 5002, 1, 'Вторые блюда', 1)"),
                 QStringLiteral("INSERT INTO MENU_STR (KOD, KOD_MENU_RAZDEL, KOD_ING, MY_ACTIVE, NO_ROUND) "
                                "VALUES (7021, 7011, 5105, 1, 2)"),
             })
            t.exec(sql);
        RefreshRead(t);
        settings.rub = QStringLiteral("руб.");
        settings.kop = QStringLiteral("коп.");
    }
    void TearDown() override { Clock::setSource({}); }

    engine::Context ctx() { return {&t.db(), &t.read(), &t.write(), &settings}; }
    QString cache() { return t.folder() + QStringLiteral("templates/"); }

    TestDb t{TestDb::WithSamples};
    engine::Settings settings;
};

struct Paper {
    QString name;
    std::function<void(automation::Office&)> print;
    int pages = 1;
    std::function<void(Document&)> check = {};  // of what it made, besides
};

TEST_F(PaperFigures, EveryPaperShowsItsFiguresAndTextsWhole)
{
    const QList<Paper> papers = {
        {QStringLiteral("waybill"),
         [&](automation::Office& o) { reports::RunStandardReport(ctx(), o, cache(), reports::waybill::Build(ctx(), {6001})); }},
        {QStringLiteral("stock_balance"),
         [&](automation::Office& o) {
             reports::ostatki::Options b;
             b.scope = reports::ostatki::Department;
             b.firma = 5001;
             b.otdel = 5002;
             reports::RunStandardReport(ctx(), o, cache(), reports::ostatki::Build(ctx(), b));
         }},
        {QStringLiteral("stock_balance_svod"),
         [&](automation::Office& o) {
             reports::ostatki::Options b;
             b.scope = reports::ostatki::AllEnterprises;
             b.svod = true;
             reports::RunStandardReport(ctx(), o, cache(), reports::ostatki::Build(ctx(), b));
         }},
        {QStringLiteral("turnover_operations"),
         [&](automation::Office& o) {
             reports::TurnoverOptions s;
             s.start = QDate(2026, 11, 1);
             s.end = QDate(2026, 11, 30);
             s.allFirma = false;
             s.firma = 5001;
             s.firmaName = kLongFirma;
             reports::RunStandardReport(ctx(), o, cache(), reports::turnover::Build(ctx(), s));
         }},
        {QStringLiteral("turnover_products"),
         [&](automation::Office& o) {
             reports::TurnoverOptions s;
             s.start = QDate(2026, 11, 1);
             s.end = QDate(2026, 11, 30);
             s.shortForm = true;
             s.balances = true;
             reports::RunStandardReport(ctx(), o, cache(), reports::turnover::Build(ctx(), s));
         }},
        {QStringLiteral("inventory"),
         [&](automation::Office& o) {
             reports::InventLine l;
             l.name = kLongDish;
             l.groupKod = QStringLiteral("5005");
             l.nameGroup = QStringLiteral("Вторые блюда");
             l.shortName = QStringLiteral("порц");
             l.kolvo = 0.0001;
             l.cena = 1000000.1234;
             l.myKolvo = 999999.9999;
             l.myCena = 999.99;
             l.cenaP = 999.99;
             reports::RunStandardReport(ctx(), o, cache(),
                                        reports::InventReport({kLongFirma, QStringLiteral("Горячий цех"),
                                                               QStringLiteral("Основной склад"), QDate(2026, 12, 7)},
                                                              {l}, reports::MoneyNamesOf(ctx())));
         }},
        {QStringLiteral("menu"), [&](automation::Office& o) { reports::menu::Print(ctx(), {7001}, o, cache()); }},
        {QStringLiteral("products_statement"),
         [&](automation::Office& o) {
             reports::statements::Options s;
             s.document = 6002;
             reports::ProductLine l;
             l.name = kLongDish;
             l.shortName = QStringLiteral("порц");
             l.kolvo = 999;
             l.cena = 1000000.1234;
             l.cenaSklad = 1000000.1234;
             s.lines = {l};
             reports::statements::Print(ctx(), s, o, cache());
         },
         1,
         [](Document& d) {
             EXPECT_TRUE(d.cellState({0, 1, 2}).content.toString().startsWith(QStringLiteral("Предприятие: Общество")));
             EXPECT_EQ(d.cellState({0, 1, 4}).content, QVariant(QStringLiteral("БИК: 044525225")));
         }},
        {QStringLiteral("ingredients_statement"),
         [&](automation::Office& o) {
             reports::statements::Options s;
             s.document = 6002;
             s.ingredients = true;
             reports::statements::Print(ctx(), s, o, cache());
         },
         1,
         [](Document& d) { EXPECT_EQ(d.cellState({0, 5, 1}).content, QVariant(QStringLiteral("от 30.11.2026"))); }},
        {QStringLiteral("costing_card"),
         [&](automation::Office& o) {
             reports::card::Options c;
             c.product = 5105;
             c.firmaName = kLongFirma;
             c.otdel = 5002;
             c.otdelName = QStringLiteral("Горячий цех");
             c.priceChoice = 1;
             reports::card::Print(ctx(), c, o, cache());
         }},
        {QStringLiteral("tech_cards"),
         [&](automation::Office& o) {
             reports::techcards::Options c;
             c.document = 6010;
             c.mode = 2;
             reports::techcards::Print(ctx(), c, o, cache());
         }},
        {QStringLiteral("statistics"),
         [&](automation::Office& o) {
             workbooks::StatOptions s;
             s.start = s.end = QDate(2026, 11, 30);
             s.days = 1;
             s.percent = 0;
             workbooks::StatData d;
             d.consumption = {{5101, kLongDish, 999999.999}};
             d.stock = {{5101, kLongDish, QStringLiteral("кг"), 0.001, 999.99}};
             workbooks::stat::Write(o, s, d);
         },
         2},
        {QStringLiteral("limits"),
         [&](automation::Office& o) {
             workbooks::LimitRow r;
             r.nameF = kLongFirma;
             r.nameO = QStringLiteral("Горячий цех");
             r.nameS = QStringLiteral("Основной склад");
             r.name = kLongDish;
             r.limit = 999999.9999;
             r.kolvo = 999999.999;
             r.cena = 1000000.1234;
             workbooks::limits::Write(o, {r});
         }},
        {QStringLiteral("where_used"),
         [&](automation::Office& o) {
             workbooks::usage::Write(o, QStringLiteral("Фарш говяжий"),
                                     {{kLongDish, 1000, QStringLiteral("порц"), 999999.9999}});
         }},
        {QStringLiteral("codes"),
         [&](automation::Office& o) { workbooks::menucodes::Print(o, {reports::LoadMenuCodes(ctx(), 7001)}); }},
        {QStringLiteral("protocol"),
         [&](automation::Office& o) {
             reports::ProtocolPrint::Options p;
             p.lines = {{QStringLiteral("07.12.2026"), QStringLiteral("23:59:59"),
                         QStringLiteral("Константинопольский Александр Владимирович"),
                         QStringLiteral("Калькуляционные карты"),
                         QStringLiteral("Изменение цены продукта Фарш говяжий в отделе Горячий цех с 999,99 на "
                                        "1000000,12")}};
             reports::ProtocolPrint::Print(o, p);
         }},
    };
    for (const Paper& p : papers) {
        KeepingOffice keeping(TestOffice());
        p.print(keeping);
        ASSERT_EQ(keeping.documents.size(), 1u) << p.name.toStdString();
        Document& d = *keeping.documents.front();
        const QList<PdfPage> pages = PdfPages(d, p.name);
        EXPECT_EQ(pages.size(), p.pages) << p.name.toStdString();
        ExpectWholeOnPaper(pages, p.name);
        if (p.check)
            p.check(d);
        d.close();
    }
}

} // namespace
