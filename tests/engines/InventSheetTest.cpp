// The inventory sheet of an inventory document filled into the in-memory
// office: header, group headings, surplus and shortage, totals in words.

#include "automation/RecordingOffice.h"
#include "reports/Invent.h"
#include "support/EngineEnv.h"
#include "support/TemplateFixture.h"
#include "support/TurnoverData.h"

#include <gtest/gtest.h>

using namespace templates;
using namespace turnoverdata;

namespace {

class InventSheet : public ::testing::Test {
protected:
    void SetUp() override
    {
        env.settings.rub = QStringLiteral("руб.");
        env.settings.kop = QStringLiteral("коп.");
        Catalogue(x);
        x(QStringLiteral("INSERT INTO SKLAD (KOD, KOD_FIRMA, KOD_OTDEL, NAME, FIRST_SKLAD) VALUES (210, 101, 201, "
                         "'Овощной склад', '1')"));
        form = InsertTemplate(env.t, 5, TableLayout(QStringLiteral("Инвентаризация"), 605));
        const char* const row[] = {"nstr",    "name",   "ed_izm",   "cena",     "kolvo",     "summa",
                                   "kolvo2",  "cena2",  "izl",      "nedost",   "summa2",    "summa2_p",
                                   "cena_p",  "summa_p", "summa_s_r", "summa_p_r"};
        for (int i = 0; i < 16; ++i)
            variable(row[i], LocTable, QString(QLatin1Char('A' + i)) + QStringLiteral("1"));
        TemplateVariable s5 = PlacedVariable(QStringLiteral("s5"), LocTable, QStringLiteral("Q1"));
        s5.STATIC_TYPE = 1;
        s5.TEXT_STATIC = QStringLiteral("подп.");
        InsertVariable(env.t, form, s5);
        TemplateVariable name = PlacedVariable(QStringLiteral("name_d"), LocHeader, QStringLiteral("A1"));
        name.STATIC_TYPE = 1;
        name.TEXT_STATIC = QStringLiteral("ИНВЕНТАРИЗАЦИОННАЯ ОПИСЬ");
        InsertVariable(env.t, form, name);
        variable("firma", LocHeader, "B2");
        variable("otdel", LocHeader, "B3");
        variable("sklad", LocHeader, "B4");
        variable("date", LocHeader, "B5");
        variable("group", LocGroup, "B1");
        const char* const end[] = {"itog", "itog_s", "itog_p1", "itog_p1s", "itog_p2", "itog_p2s", "itog2_p", "itog2_p_s"};
        for (int i = 0; i < 8; ++i)
            variable(end[i], LocEnd, QStringLiteral("%1%2").arg(i % 2 ? QLatin1Char('B') : QLatin1Char('A')).arg(i / 2 + 1));
    }

    void variable(const char* name, int loc, const QString& cell)
    {
        InsertVariable(env.t, form, PlacedVariable(QString::fromLatin1(name), loc, cell));
    }
    void variable(const char* name, int loc, const char* cell) { variable(name, loc, QString::fromLatin1(cell)); }

    void doc(qint64 sklad)
    {
        x(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, INT_PARAM1, INT_PARAM2, "
                         "PROVODKA) VALUES (900, 'И-7', '2026-02-28', 1, 101, 201, %1, 1)")
              .arg(sklad ? QString::number(sklad) : QStringLiteral("NULL")));
    }
    void line(qint64 ing, double kolvo, double cena, double myKolvo, double myCena, double cenaP)
    {
        x(QStringLiteral("INSERT INTO INVENT (KOD_DOC, KOD_ING, KOLVO, CENA, MY_KOLVO, MY_CENA, CENA_P) VALUES "
                         "(900, %1, %2, %3, %4, %5, %6)")
              .arg(ing)
              .arg(kolvo)
              .arg(cena)
              .arg(myKolvo)
              .arg(myCena)
              .arg(cenaP));
    }
    void run()
    {
        RefreshRead(env.t);
        reports::RunStandardReport(env.ctx(), office, env.t.folder() + QStringLiteral("templates/"),
                                   reports::invent::Build(env.ctx(), {900}));
    }
    QVariant at(const char* a1) { return office.last().at(QString::fromLatin1(a1)); }

    EngineEnv env;
    Exec x = [this](const QString& sql) { env.t.exec(sql); };
    qint64 form = 0;
    automation::RecordingOffice office;
};

} // namespace

TEST_F(InventSheet, AShortageLineWithEveryVariableAndItsTotalsInWords)
{
    doc(210);
    line(Kartofel, 10, 5, 8, 6, 9);
    run();
    EXPECT_EQ(at("A1"), QStringLiteral("ИНВЕНТАРИЗАЦИОННАЯ ОПИСЬ"));
    EXPECT_EQ(at("B2"), QStringLiteral("Столовая №1"));
    EXPECT_EQ(at("B3"), QStringLiteral("Кухня"));
    EXPECT_EQ(at("B4"), QStringLiteral("Овощной склад"));
    EXPECT_EQ(at("B5"), QStringLiteral("28.02.2026"));
    EXPECT_EQ(at("B8"), QStringLiteral("Овощи"));
    const QVariantList expected{1.0, QStringLiteral("Картофель"), QStringLiteral("кг"), 5.0, 10.0, 50.0, 8.0, 6.0,
                                QVariant(), 2.0, -12.0, -18.0, 9.0, 90.0, 48.0, 72.0, QStringLiteral("подп.")};
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(office.last().at(QString(QLatin1Char('A' + i)) + QStringLiteral("9")), expected[i]) << i;
    EXPECT_EQ(at("A10"), QVariant(-12.0));
    EXPECT_EQ(at("B10"), QStringLiteral("Минус Двенадцать руб. 0коп."));
    EXPECT_EQ(at("A11"), QVariant(48.0));
    EXPECT_EQ(at("B11"), QStringLiteral("Сорок восемь руб. 0коп."));
    EXPECT_EQ(at("A12"), QVariant(72.0));
    EXPECT_EQ(at("A13"), QVariant(-18.0));
    EXPECT_EQ(at("B13"), QStringLiteral("Минус Восемнадцать руб. 0коп."));
}

TEST_F(InventSheet, SurplusAndShortageCancelToZeroAndGroupsHeadOnce)
{
    doc(0);  // the whole department
    line(Kartofel, 10, 6, 12, 6, 9);  // surplus 2
    line(Morkov, 10, 6, 8, 6, 9);     // shortage 2
    line(Govyadina, 3, 400, 3, 400, 500);  // counted as booked
    run();
    EXPECT_EQ(at("B4"), QStringLiteral("Все склады"));  // every warehouse of the department
    EXPECT_EQ(at("B8"), QStringLiteral("Овощи"));
    EXPECT_EQ(at("B9"), QStringLiteral("Картофель"));
    EXPECT_EQ(at("I9"), QVariant(2.0));  // surplus
    EXPECT_FALSE(at("J9").isValid());
    EXPECT_EQ(at("B10"), QStringLiteral("Морковь"));
    EXPECT_FALSE(at("I10").isValid());
    EXPECT_EQ(at("J10"), QVariant(2.0));  // shortage
    EXPECT_EQ(at("B11"), QStringLiteral("Мясо"));
    EXPECT_EQ(at("A12"), QVariant(3.0));
    EXPECT_FALSE(at("I12").isValid());  // equal: no surplus, a shortage of 0, as on every line
    EXPECT_EQ(at("J12"), QVariant(0.0));
    EXPECT_EQ(at("K12"), QVariant(0.0));
    EXPECT_EQ(at("A13"), QVariant(0.0));
    EXPECT_EQ(at("B13"), QStringLiteral("Нольруб. 0коп."));
    EXPECT_EQ(at("B16"), QStringLiteral("Нольруб. 0коп."));
}

TEST_F(InventSheet, ADocumentWithoutLines)
{
    doc(210);
    run();
    EXPECT_EQ(at("A8"), QVariant(0.0));
    EXPECT_EQ(at("B8"), QStringLiteral("Нольруб. 0коп."));
    EXPECT_EQ(at("B11"), QStringLiteral("Нольруб. 0коп."));
}
