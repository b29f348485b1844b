// The turnover statements and the inventory sheet from their shipped samples
// in a real LibreOffice: filled, stored as .xls and read back. With
// TARELIA_OFFICE_SHOTS naming a folder, each is also kept there as a PDF.

#include "OfficeEnvironment.h"
#include "automation/uno/UnoOffice.h"
#include "exchange/Obmen.h"
#include "reports/Invent.h"
#include "reports/TurnoverReports.h"
#include "templates/SampleTemplates.h"
#include "support/EngineEnv.h"
#include "support/KeepingOffice.h"
#include "support/TemplateFixture.h"
#include "support/TurnoverData.h"

#include "engine/Clock.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace turnoverdata;
using automation::Document;

namespace {

class ShippedSamples : public ::testing::Test {
protected:
    void SetUp() override
    {
        env.settings.rub = QStringLiteral("руб.");
        env.settings.kop = QStringLiteral("коп.");
        Clock::setSource([] { return QDateTime(QDate(2026, 3, 2), QTime(9, 0)); });
        env.t.write().start();
        for (const char* name : {"turnover_operations", "turnover_products", "inventory"}) {
            const QString base = QStringLiteral(TARELIA_SHIPPED_SAMPLES "/") + QString::fromLatin1(name);
            templates::InstallSampleTemplate(env.t.db(), env.t.write(), base + QStringLiteral(".sql"),
                                             base + QStringLiteral(".xls"));
        }
        env.t.write().commit();
        Catalogue(x);
        Stock(x, Kartofel, Stolovaya, Kuhnya, 10, QStringLiteral("00-501"), 501);
        Stock(x, Morkov, Stolovaya, Kuhnya, 4, QStringLiteral("00-502"), 502);
        Stock(x, Govyadina, Stolovaya, Bar, 3);
        Doc(x, 1001, QStringLiteral("П-17"), QDate(2026, 1, 10), 5, Stolovaya, Alfa, Kuhnya, 11);
        Move(x, 1001, Kartofel, Kuhnya, 40, 21.5, 1);
        Move(x, 1001, Morkov, Kuhnya, 12, 30, 1);
        Doc(x, 1002, QStringLiteral("Р-3"), QDate(2026, 1, 12), 6, Stolovaya, Beta, Kuhnya, 11);
        Move(x, 1002, Kartofel, Kuhnya, 3, 10.5, 2);
        Doc(x, 1003, QStringLiteral("П-18"), QDate(2026, 1, 20), 5, Stolovaya, Alfa, Bar, 11);
        Move(x, 1003, Govyadina, Bar, 5, 420, 1);
        RefreshRead(env.t);
    }
    void TearDown() override { Clock::setSource({}); }

    static automation::UnoOffice& office()
    {
        return TestOffice();
    }

    QString cache() { return env.t.folder() + QStringLiteral("templates/"); }

    // Stores the filled document, keeps a PDF for a look when asked, and reloads it.
    std::unique_ptr<Document> storeAndReload(KeepingOffice& keeping, const QString& name)
    {
        EXPECT_EQ(keeping.documents.size(), 1u);
        auto d = StoreAndReload(*keeping.documents.front(), name + QStringLiteral(".xls"), "TARELIA_OFFICE_SHOTS");
        if (d)
            ExpectNumbersFormatted(*d, 40, 16);
        return d;
    }

    static QVariant at(Document& d, const char* a1)
    {
        const QString s = QString::fromLatin1(a1);
        return d.cellState({0, s.at(0).unicode() - u'A', s.mid(1).toInt() - 1}).content;
    }

    EngineEnv env;
    Exec x = [this](const QString& sql) { env.t.exec(sql); };
};

} // namespace

TEST_F(ShippedSamples, StatementByOperationsWithItsExport)
{
    reports::TurnoverOptions o;
    o.start = QDate(2026, 1, 1);
    o.end = QDate(2026, 1, 31);
    const QString obmen = env.t.folder() + QStringLiteral("/obmen.dbf");
    exchange::obmen::CreateTable(obmen);
    KeepingOffice keeping(office());
    exchange::obmen::Export exported(env.ctx(), obmen);
    reports::RunStandardReport(env.ctx(), keeping, cache(), reports::turnover::Build(env.ctx(), o, &exported));
    exported.close();
    const QString missing = exported.missingCodes() ? exported.warningText() : QString();
    EXPECT_FALSE(missing.isEmpty());  // Говядина has no accounting code in the bar
    auto d = storeAndReload(keeping, QStringLiteral("turnover_operations"));
    EXPECT_EQ(at(*d, "C2"), QStringLiteral("01.01.2026 / 31.01.2026"));
    EXPECT_EQ(at(*d, "C3"), QStringLiteral("Все предприятия"));
    EXPECT_EQ(at(*d, "A7"), QStringLiteral("Столовая №1"));
    EXPECT_EQ(at(*d, "B8"), QStringLiteral("Кухня"));
    EXPECT_EQ(at(*d, "C9"), QStringLiteral("Овощи"));
    EXPECT_EQ(at(*d, "E10"), QStringLiteral("Картофель"));
    EXPECT_EQ(at(*d, "K10"), QVariant(31.5));
    // The counterparty is the other side of each document: the customer, the supplier.
    EXPECT_EQ(at(*d, "D10"), QStringLiteral("Покупатель Бета"));
    EXPECT_EQ(at(*d, "I11"), QVariant(860.0));
    EXPECT_EQ(at(*d, "D11"), QStringLiteral("Поставщик Альфа"));
    EXPECT_EQ(at(*d, "B15"), QStringLiteral("Бар"));
    EXPECT_EQ(at(*d, "E20"), QStringLiteral("Итого по предприятию:"));
    EXPECT_EQ(at(*d, "E21"), QStringLiteral("Итого за период:"));
    EXPECT_EQ(at(*d, "I21"), QVariant(860.0 + 360.0 + 2100.0));
    EXPECT_EQ(at(*d, "K21"), QVariant(31.5));
    d->close();
    QFile f(obmen);
    EXPECT_EQ(f.size(), 257 + 4 * 160 + 1);
}

TEST_F(ShippedSamples, StatementByProductsWithBalances)
{
    reports::TurnoverOptions o;
    o.start = QDate(2026, 1, 1);
    o.end = QDate(2026, 1, 31);
    o.allFirma = false;
    o.firma = Stolovaya;
    o.firmaName = QStringLiteral("Столовая №1");
    o.shortForm = o.balances = true;
    KeepingOffice keeping(office());
    reports::RunStandardReport(env.ctx(), keeping, cache(), reports::turnover::Build(env.ctx(), o));
    auto d = storeAndReload(keeping, QStringLiteral("turnover_products"));
    EXPECT_EQ(at(*d, "C3"), QStringLiteral("Столовая №1"));
    EXPECT_EQ(at(*d, "B7"), QStringLiteral("Кухня"));
    EXPECT_EQ(at(*d, "B8"), QStringLiteral("Овощи"));
    EXPECT_EQ(at(*d, "B9"), QStringLiteral("Картофель"));
    EXPECT_EQ(at(*d, "D9"), QVariant(-27.0));  // stock now 10 after 40 in and 3 out
    EXPECT_EQ(at(*d, "E9"), QVariant(40.0));
    EXPECT_EQ(at(*d, "G9"), QVariant(3.0));
    EXPECT_EQ(at(*d, "I9"), QVariant(10.0));
    EXPECT_EQ(at(*d, "C9"), QStringLiteral("кг"));
    d->close();
}

TEST_F(ShippedSamples, InventorySheet)
{
    x(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, INT_PARAM1, PROVODKA) "
                     "VALUES (900, 'И-7', '2026-02-28', 1, 101, 201, 1)"));
    x(QStringLiteral("INSERT INTO INVENT (KOD_DOC, KOD_ING, KOLVO, CENA, MY_KOLVO, MY_CENA, CENA_P) VALUES "
                     "(900, 501, 10, 5, 8, 6, 9)"));
    x(QStringLiteral("INSERT INTO INVENT (KOD_DOC, KOD_ING, KOLVO, CENA, MY_KOLVO, MY_CENA, CENA_P) VALUES "
                     "(900, 502, 4, 30, 5, 30, 45)"));
    x(QStringLiteral("INSERT INTO INVENT (KOD_DOC, KOD_ING, KOLVO, CENA, MY_KOLVO, MY_CENA, CENA_P) VALUES "
                     "(900, 503, 3, 400, 3, 400, 520)"));
    RefreshRead(env.t);
    KeepingOffice keeping(office());
    reports::RunStandardReport(env.ctx(), keeping, cache(), reports::invent::Build(env.ctx(), {900}));
    auto d = storeAndReload(keeping, QStringLiteral("inventory"));
    EXPECT_EQ(at(*d, "A1"), QStringLiteral("ИНВЕНТАРИЗАЦИОННАЯ ОПИСЬ"));
    EXPECT_EQ(at(*d, "C2"), QStringLiteral("Столовая №1"));
    EXPECT_EQ(at(*d, "C5"), QStringLiteral("28.02.2026"));
    EXPECT_EQ(at(*d, "B7"), QStringLiteral("Овощи"));
    EXPECT_EQ(at(*d, "B8"), QStringLiteral("Картофель"));
    EXPECT_EQ(at(*d, "K8"), QVariant(2.0));
    EXPECT_EQ(at(*d, "L8"), QVariant(-12.0));
    EXPECT_EQ(at(*d, "J9"), QVariant(1.0));
    EXPECT_EQ(at(*d, "B10"), QStringLiteral("Мясо"));
    EXPECT_EQ(at(*d, "B12"), QStringLiteral("Результат инвентаризации:"));
    EXPECT_EQ(at(*d, "F12"), QVariant(18.0));
    EXPECT_EQ(at(*d, "G12"), QStringLiteral("Восемнадцать руб. 0коп."));
    d->close();
}
