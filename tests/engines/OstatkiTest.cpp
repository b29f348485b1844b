// The stock balance against the in-memory office: the statements per scope
// and filter, headings and subtotals per level, and the summed balance with
// its average prices.

#include "automation/RecordingOffice.h"
#include "reports/Ostatki.h"
#include "support/EngineEnv.h"
#include "support/TemplateFixture.h"
#include "engine/Clock.h"

#include <gtest/gtest.h>

using namespace templates;
using automation::RecordingOffice;
using reports::ostatki::Options;

namespace {

QStringList tail(const QStringList& lines, int from) { return lines.mid(from); }

class Ostatki : public ::testing::Test {
protected:
    void SetUp() override
    {
        TemplateForm f = TableLayout(QStringLiteral("Остатки"), 602);
        f.HEAD_YX = QStringLiteral("H3");
        f.TAIL_YX = QStringLiteral("H5");
        f.END_LINE = QStringLiteral("H");
        const qint64 form = InsertTemplate(env.t, 2, f);
        auto var = [&](const char* name, int loc, const char* cell, int enabled = 1) {
            TemplateVariable v = PlacedVariable(QString::fromLatin1(name), loc, QString::fromLatin1(cell));
            v.ENABLED = enabled;
            InsertVariable(env.t, form, v);
        };
        var("firma", LocHeader, "A1");
        var("otdel", LocHeader, "B1");
        var("sklad", LocHeader, "C1");
        var("date", LocHeader, "D1");
        for (const char* l : {"f", "o", "s", "g"}) {
            var((QByteArray("sum_all1_") + l).constData(), LocGroup, "G1");
            var((QByteArray("sum_all2_") + l).constData(), LocGroup, "H1");
            var((QByteArray("n_") + l).constData(), LocGroup, "A1", 0);
        }
        var("firma2", LocGroup, "A1");
        var("otdel2", LocGroup, "A1");
        var("sklad2", LocGroup, "A1");
        var("group2", LocGroup, "B1");
        var("nstr", LocTable, "A1");
        var("name", LocTable, "B1");
        var("ed_izm", LocTable, "C1");
        var("kolvo", LocTable, "D1");
        var("cena1", LocTable, "E1");
        var("cena2", LocTable, "F1");
        var("summa1", LocTable, "G1");
        var("summa2", LocTable, "H1");
        var("sum_all1", LocEnd, "G1");
        var("sum_all2", LocEnd, "H1");
        office.prototype.sheets.resize(1);
        office.prototype.sheets[0].cells[{3, 0}].content = QStringLiteral("Итого");

        env.t.exec("INSERT INTO FIRMA (KOD, NAME) VALUES (900001, 'Столовая')");
        env.t.exec("INSERT INTO FIRMA (KOD, NAME) VALUES (900002, 'Кафе')");
        env.t.exec("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (900003, 900001, 'Кухня')");
        env.t.exec("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (900004, 900002, 'Бар')");
        env.t.exec("INSERT INTO SKLAD (KOD, KOD_OTDEL, NAME) VALUES (900006, 900003, 'Основной')");
        env.t.exec("INSERT INTO SKLAD (KOD, KOD_OTDEL, NAME) VALUES (900007, 900003, 'Холодный')");
        env.t.exec("INSERT INTO SKLAD (KOD, KOD_OTDEL, NAME) VALUES (900008, 900004, 'Бар')");
        env.t.exec("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (900010, 'килограмм', 'кг')");
        env.t.exec("INSERT INTO GROUP_ING (KOD, NAME) VALUES (900011, 'Овощи')");
        env.t.exec("INSERT INTO GROUP_ING (KOD, NAME) VALUES (900012, 'Мясо')");
        env.t.exec("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (900021, 900011, 'Морковь', 900010)");
        env.t.exec("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (900022, 900011, 'Лук', 900010)");
        env.t.exec("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (900023, 900012, 'Говядина', 900010)");
        Clock::setSource([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 0)); });
    }
    void TearDown() override { Clock::setSource({}); }

    void row(qint64 ing, qint64 sklad, double kolvo, double cena, double myCena, int openClose = 0)
    {
        const qint64 otdel = sklad == 900008 ? 900004 : 900003;
        const qint64 firma = sklad == 900008 ? 900002 : 900001;
        env.t.exec(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOD_SKLAD, KOLVO, CENA, MY_CENA, "
                                  "OPEN_CLOSE) VALUES (%1, %2, %3, %4, %5, %6, %7, %8)")
                       .arg(ing).arg(firma).arg(otdel).arg(sklad).arg(kolvo).arg(cena).arg(myCena).arg(openClose));
    }

    Options options(int scope)
    {
        Options o;
        o.scope = scope;
        o.firma = 900001;
        o.otdel = 900003;
        o.sklad = 900006;
        return o;
    }

    void run(const Options& o)
    {
        RefreshRead(env.t);
        reports::RunStandardReport(env.ctx(), office, env.t.folder() + QStringLiteral("/templates/"),
                                   reports::ostatki::Build(env.ctx(), o));
    }
    void runSvod(const Options& o)
    {
        RefreshRead(env.t);
        Options svod = o;
        svod.svod = true;
        reports::RunStandardReport(env.ctx(), office, env.t.folder() + QStringLiteral("/templates/"),
                                   reports::ostatki::Build(env.ctx(), svod));
    }
    QVariant at(const char* a1) { return office.last().at(QString::fromLatin1(a1)); }

    EngineEnv env;
    RecordingOffice office;
};

} // namespace

TEST_F(Ostatki, StatementsFollowScopeAndFilters)
{
    Options o = options(3);
    o.noMinus = o.noZero = o.noPlus = false;
    o.noHidden = true;
    QStringList q = reports::ostatki::QueryLines(o);
    ASSERT_EQ(q.size(), 3 + 6 + 2 + 1);
    EXPECT_EQ(q[0], QStringLiteral("SELECT ING_SKLAD.*, ING.KOD_GROUP, ING.NAME, ING.ED_IZM, ING.KVO_PORC,"));
    EXPECT_EQ(q[3], QStringLiteral("LEFT OUTER JOIN ING       ON ING.KOD       = ING_SKLAD.KOD_ING"));
    EXPECT_EQ(tail(q, 9), (QStringList{QStringLiteral("WHERE"), QStringLiteral("ING_SKLAD.OPEN_CLOSE = 0"),
                                       QStringLiteral("ORDER BY ING_SKLAD.KOD_FIRMA, ING_SKLAD.KOD_OTDEL, "
                                                      "ING_SKLAD.KOD_SKLAD, ING.KOD_GROUP, ING.NAME")}));
    o.noHidden = false;
    EXPECT_EQ(reports::ostatki::QueryLines(o).size(), 10);  // no WHERE line at all

    o = options(0);
    o.noMinus = o.noZero = true;
    o.noPlus = o.noHidden = false;
    EXPECT_EQ(tail(reports::ostatki::QueryLines(o), 9),
              (QStringList{QStringLiteral("WHERE ING_SKLAD.KOD_SKLAD = 900006"), QStringLiteral("AND"),
                           QStringLiteral("ING_SKLAD.KOLVO > -0.000001"), QStringLiteral("AND"), QStringLiteral("ABS(ING_SKLAD.KOLVO) >= 0.000001"),
                           QStringLiteral("ORDER BY ING_SKLAD.KOD_FIRMA, ING_SKLAD.KOD_OTDEL, ING_SKLAD.KOD_SKLAD, "
                                          "ING.KOD_GROUP, ING.NAME")}));
    o = options(1);
    o.noPlus = true;
    EXPECT_EQ(tail(reports::ostatki::QueryLines(o), 9).mid(0, 7),
              (QStringList{QStringLiteral("WHERE ING_SKLAD.KOD_OTDEL = 900003"), QStringLiteral("AND"),
                           QStringLiteral("ING_SKLAD.KOLVO > -0.000001"), QStringLiteral("AND"), QStringLiteral("ING_SKLAD.KOLVO < 0.000001"),
                           QStringLiteral("AND"), QStringLiteral("ABS(ING_SKLAD.KOLVO) >= 0.000001")}));
    o = options(2);
    // The summed balance never reads the hidden-product filter.
    EXPECT_EQ(tail(reports::ostatki::SvodQueryLines(o), 9),
              (QStringList{QStringLiteral("WHERE ING_SKLAD.KOD_FIRMA = 900001"), QStringLiteral("AND"),
                           QStringLiteral("ING_SKLAD.KOLVO > -0.000001"), QStringLiteral("AND"), QStringLiteral("ABS(ING_SKLAD.KOLVO) >= 0.000001"),
                           QStringLiteral("ORDER BY ING.KOD_GROUP, ING.NAME, ING_SKLAD.KOD_ING")}));
    // Every statement runs on the database.
    RefreshRead(env.t);
    for (int scope = 0; scope < 4; ++scope) {
        EXPECT_NO_THROW(reports::ostatki::Build(env.ctx(), options(scope)));
        EXPECT_NO_THROW(env.t.select(reports::ostatki::SvodQueryLines(options(scope)).join(QLatin1Char('\n'))));
    }
}

TEST_F(Ostatki, WarehouseHeadingsAndSubtotalsUnderTheDepartment)
{
    row(900021, 900006, 2, 10, 15);
    row(900022, 900006, 1, 4, 6, 1);  // hidden, printed when the filter is off
    row(900022, 900007, 3, 5, 8);     // the same group continues in the next warehouse
    row(900023, 900007, -1, 100, 150); // left out: negative
    row(900023, 900008, 4, 100, 150); // another department
    Options o = options(1);
    o.noHidden = false;
    run(o);
    EXPECT_EQ(at("A1"), QStringLiteral("Столовая"));
    EXPECT_EQ(at("B1"), QStringLiteral("Кухня"));
    EXPECT_EQ(at("C1"), QStringLiteral("Все склады"));
    EXPECT_EQ(at("A4"), QStringLiteral("Основной"));
    EXPECT_EQ(at("B5"), QStringLiteral("Овощи"));
    EXPECT_EQ(at("B6"), QStringLiteral("< Close > Лук"));  // by name within the group
    EXPECT_EQ(at("B7"), QStringLiteral("Морковь"));
    EXPECT_EQ(at("G8"), QVariant(24.0));  // group under the first warehouse: 4 + 20
    EXPECT_EQ(at("G9"), QVariant(24.0));  // warehouse
    EXPECT_EQ(at("A10"), QStringLiteral("Холодный"));
    EXPECT_EQ(at("B11"), QStringLiteral("Овощи"));
    EXPECT_EQ(at("A12"), QVariant(3.0));
    EXPECT_EQ(at("G12"), QVariant(15.0));
    EXPECT_EQ(at("H12"), QVariant(24.0));
    EXPECT_EQ(at("G13"), QVariant(15.0));  // its own group subtotal
    EXPECT_EQ(at("G14"), QVariant(15.0));
    EXPECT_EQ(at("A15"), QStringLiteral("Итого"));
    EXPECT_EQ(at("G15"), QVariant(39.0));
    EXPECT_EQ(at("H15"), QVariant(2 * 15.0 + 6 + 24));
}

TEST_F(Ostatki, HiddenProductsAreMarkedAndAllScopesHaveTheirHeadings)
{
    row(900022, 900006, 1, 4, 6, 1);
    row(900023, 900008, 4, 100, 150);
    Options o = options(3);
    o.noHidden = false;
    run(o);
    EXPECT_EQ(at("A1"), QStringLiteral("Все предприятия"));
    EXPECT_EQ(at("B1"), QStringLiteral("Все подразделения"));
    EXPECT_EQ(at("A4"), QStringLiteral("Столовая"));
    EXPECT_EQ(at("A5"), QStringLiteral("Кухня"));
    EXPECT_EQ(at("A6"), QStringLiteral("Основной"));
    EXPECT_EQ(at("B7"), QStringLiteral("Овощи"));
    EXPECT_EQ(at("B8"), QStringLiteral("< Close > Лук"));
    EXPECT_EQ(at("G12"), QVariant(4.0));  // the enterprise's subtotal after group, warehouse, department
    EXPECT_EQ(at("A13"), QStringLiteral("Кафе"));
    EXPECT_EQ(at("G22"), QVariant(404.0));
}

TEST_F(Ostatki, SummedBalanceAveragesPrices)
{
    row(900021, 900006, 2, 10, 20);
    row(900021, 900008, 3, 20, 30);
    row(900022, 900006, 5, 4, 6);
    row(900022, 900008, -5, 4, 6);
    // Another product of the same name, group and unit stays a line of its own.
    env.t.exec("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (900024, 900011, 'Морковь', 900010)");
    row(900024, 900007, 1, 7, 9);
    Options o = options(3);
    o.noMinus = false;
    runSvod(o);
    EXPECT_EQ(at("A1"), QStringLiteral("Все предприятия"));
    EXPECT_EQ(at("B4"), QStringLiteral("Овощи"));
    EXPECT_EQ(at("B5"), QStringLiteral("Лук"));
    EXPECT_EQ(at("D5"), QVariant(0.0));
    EXPECT_FALSE(at("E5").isValid());  // no average of a zero quantity
    EXPECT_FALSE(at("F5").isValid());
    EXPECT_EQ(at("B6"), QStringLiteral("Морковь"));
    EXPECT_EQ(at("B7"), QStringLiteral("Морковь"));
    const int fiveAt = at("D6").toDouble() == 5 ? 6 : 7;
    EXPECT_EQ(office.last().at(QStringLiteral("E%1").arg(fiveAt)), QVariant(16.0));
    EXPECT_EQ(office.last().at(QStringLiteral("F%1").arg(fiveAt)), QVariant(26.0));
    EXPECT_EQ(office.last().at(QStringLiteral("G%1").arg(fiveAt)), QVariant(80.0));
    EXPECT_EQ(at("A8"), QStringLiteral("Итого"));
    EXPECT_EQ(at("G8"), QVariant(0.0 + 80 + 7));  // the totals: Лук 5 × 4 − 5 × 4, both Морковь
    EXPECT_EQ(at("H8"), QVariant(0.0 + 130 + 9));

    o.noMinus = true;  // the negative row goes before summing
    runSvod(o);
    EXPECT_EQ(at("D5"), QVariant(5.0));
    EXPECT_EQ(at("E5"), QVariant(4.0));
}

// Quantities that cancel (0.1 + 0.2 − 0.3) leave a residue of about 1e-16 in
// the stock row: it is zero to the zero filter, to the printed figures and to
// the summed balance's averages.
TEST_F(Ostatki, ResiduesOfCancellingQuantitiesAreZero)
{
    const double residue = 0.1 + 0.2 - 0.3;
    ASSERT_NE(residue, 0.0);
    row(900021, 900006, 2, 10, 15);
    env.t.exec(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOD_SKLAD, KOLVO, CENA, MY_CENA, "
                              "OPEN_CLOSE) VALUES (900022, 900001, 900003, 900006, %1, 30, 45, 0)")
                   .arg(residue, 0, 'g', 17));
    Options o = options(0);
    run(o);
    EXPECT_EQ(at("B5"), QStringLiteral("Морковь"));  // Лук, first by name, is left out as a zero row

    o.noZero = false;
    run(o);
    EXPECT_EQ(at("B5"), QStringLiteral("Лук"));
    EXPECT_EQ(at("D5"), QVariant(0.0));
    EXPECT_EQ(at("G5"), QVariant(0.0));
    runSvod(o);
    EXPECT_EQ(at("B5"), QStringLiteral("Лук"));
    EXPECT_EQ(at("D5"), QVariant(0.0));
    EXPECT_FALSE(at("E5").isValid());  // no average over a zero quantity
}
