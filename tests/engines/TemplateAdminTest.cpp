// The template window's writers on a real database: one default per list,
// the sample taking the default back, copies sharing the cache number, the
// upload's checks, and the stepping of cell references.

#include "support/EngineEnv.h"
#include "support/TemplateFixture.h"

#include "automation/RecordingOffice.h"
#include "engine/WriteRoad.h"
#include "templates/TemplateAdmin.h"

#include <gtest/gtest.h>

using namespace templates;

namespace {

const QByteArray kXls = XlsBytes();

TemplateForm layout(const QString& name) { return TableLayout(name, 555); }

class TemplateAdminTest : public ::testing::Test {
protected:
    EngineEnv env;
    qint64 sample = 0;  // the sample of list 2, its default as shipped
    qint64 own = 0;     // a template of the user's, not the default

    void SetUp() override
    {
        sample = InsertTemplate(env.t, 2, layout(QStringLiteral("Образец")), 1);
        own = InsertTemplate(env.t, 2, layout(QStringLiteral("Свой")), 0);
        env.t.exec(QStringLiteral("UPDATE PRINT_FORMS SET OBRAZ = 0 WHERE KOD = %1").arg(own));
        InsertVariable(env.t, own, PlacedVariable(QStringLiteral("nstr"), LocTable, QStringLiteral("A8")));
        InsertVariable(env.t, own, PlacedVariable(QStringLiteral("name"), LocTable, QStringLiteral("B8")));
        env.t.exec(QStringLiteral("UPDATE PRINT_VARIABLES SET OPIS = 'Номер строки', MY_SORT = 10 WHERE NAMEVAR = 'nstr'"));
        RefreshRead(env.t);
    }

    QList<qint64> defaults(int list = 2)
    {
        QList<qint64> out;
        auto q = env.t.select(QStringLiteral("SELECT KOD FROM PRINT_FORMS WHERE KOD_SPISKA = %1 AND DEFAUL = 1").arg(list));
        for (q->first(); !q->eof(); q->next())
            out << q->field(0).asInt64();
        return out;
    }

    FormPanel panelOf(bool defaul)
    {
        FormPanel f;
        f.name = QStringLiteral("Свой");
        f.headYX = QStringLiteral("F7");
        f.tailYX = QStringLiteral("F12");
        f.startLine = QStringLiteral("A");
        f.endLine = QStringLiteral("F");
        f.defaul = defaul;
        return f;
    }

    void save(qint64 kod, bool defaul, const std::optional<VarPanel>& v = std::nullopt)
    {
        WriteTransaction w(env.ctx(), templates::kRoad);
        SaveTemplate(w.context(), 2, kod, panelOf(defaul), v);
        w.commit(QStringLiteral("Настройка"), QStringLiteral("test"));
        RefreshRead(env.t);
    }
};

TEST_F(TemplateAdminTest, OneDefaultPerListAndTheSampleTakesItBack)
{
    save(own, true);
    EXPECT_EQ(defaults(), QList<qint64>{own});
    // The default saved with its box cleared: the sample is the default again.
    save(own, false);
    EXPECT_EQ(defaults(), QList<qint64>{sample});
    // A template that is not the default, saved with its box clear, leaves the default alone.
    save(own, false);
    EXPECT_EQ(defaults(), QList<qint64>{sample});
}

TEST_F(TemplateAdminTest, SavingStoresEveryVariableFieldOfThePanel)
{
    const qint64 var = env.t.scalar(QStringLiteral("SELECT KOD FROM PRINT_VARIABLES WHERE NAMEVAR = 'name'")).toLongLong();
    VarPanel v;
    v.kod = var;
    v.enabled = true;
    v.xStart = QStringLiteral("C8");
    v.xEnd = QStringLiteral("E8");
    v.mergee = true;
    v.alignment = 2;
    v.myAlignment = true;
    v.textBefore = QStringLiteral("д'Артаньян: ");
    v.myFont = true;
    v.fontName = QStringLiteral("DejaVu Sans");
    v.fontSize = 14;
    v.fontItalic = true;
    save(own, false, v);
    auto q = env.t.select(QStringLiteral("SELECT * FROM PRINT_VARIABLES WHERE KOD = %1").arg(var));
    EXPECT_EQ(q->field(QStringLiteral("X_START")).asString(), QStringLiteral("C8"));
    EXPECT_EQ(q->field(QStringLiteral("X_END")).asString(), QStringLiteral("E8"));
    EXPECT_EQ(q->field(QStringLiteral("HORIZONTAL_ALIGNMENT")).asInt(), 4);  // right
    EXPECT_EQ(q->field(QStringLiteral("TEXT_BEFORE_VALUE")).asString(), QStringLiteral("д'Артаньян: "));
    EXPECT_EQ(q->field(QStringLiteral("FONT_SIZE")).asDouble(), 14.0);
    EXPECT_EQ(q->field(QStringLiteral("FONT_ITALIC")).asInt(), 1);
    EXPECT_EQ(q->field(QStringLiteral("FONT_BOLD")).asInt(), 0);
    // The other variable is untouched.
    EXPECT_EQ(env.t.scalar(QStringLiteral("SELECT X_START FROM PRINT_VARIABLES WHERE NAMEVAR = 'nstr'")).toString(),
              QStringLiteral("A8"));
}

TEST_F(TemplateAdminTest, DeletingTheDefaultHandsItToTheSampleAnotherLeavesIt)
{
    save(own, true);
    {
        WriteTransaction w(env.ctx(), templates::kRoad);
        EXPECT_TRUE(DeleteTemplate(w.context(), own, 2));
        w.commit(QStringLiteral("Настройка"), QStringLiteral("test"));
    }
    RefreshRead(env.t);
    EXPECT_EQ(defaults(), QList<qint64>{sample});
    EXPECT_EQ(env.t.scalar(QStringLiteral("SELECT COUNT(*) FROM PRINT_VARIABLES WHERE KOD_FORMA = %1").arg(own)).toInt(), 0);

    const qint64 other = InsertTemplate(env.t, 2, layout(QStringLiteral("Другой")), 0);
    {
        WriteTransaction w(env.ctx(), templates::kRoad);
        EXPECT_FALSE(DeleteTemplate(w.context(), other, 2));
        w.commit(QStringLiteral("Настройка"), QStringLiteral("test"));
    }
    RefreshRead(env.t);
    EXPECT_EQ(defaults(), QList<qint64>{sample});
}

TEST_F(TemplateAdminTest, CopyKeepsTheCacheNumberAndTheVariablesAndIsNeitherSampleNorDefault)
{
    save(own, true);
    qint64 copy = 0;
    {
        WriteTransaction w(env.ctx(), templates::kRoad);
        copy = CopyTemplate(w.context(), own, 2, QStringLiteral("Копия «ёлка»"));
        w.commit(QStringLiteral("Настройка"), QStringLiteral("test"));
    }
    RefreshRead(env.t);
    auto q = env.t.select(QStringLiteral("SELECT * FROM PRINT_FORMS WHERE KOD = %1").arg(copy));
    EXPECT_EQ(q->field(QStringLiteral("NAME_SHABLON")).asString(), QStringLiteral("Копия «ёлка»"));
    EXPECT_EQ(q->field(QStringLiteral("UNICNAME")).asInt(), 555);
    EXPECT_EQ(q->field(QStringLiteral("OBRAZ")).asInt(), 0);
    EXPECT_EQ(q->field(QStringLiteral("DEFAUL")).asInt(), 0);  // not the default
    EXPECT_EQ(q->field(QStringLiteral("SHABLON")).asBytes(), kXls);
    EXPECT_EQ(defaults(), QList<qint64>{own});
    const TemplateVariables vars = ReadStoredVariables(env.ctx(), copy);
    ASSERT_EQ(vars.all().size(), 2);
    EXPECT_EQ(vars.find(QStringLiteral("NAME"))->X_START, QStringLiteral("B8"));
    EXPECT_EQ(env.t.scalar(QStringLiteral("SELECT OPIS FROM PRINT_VARIABLES WHERE KOD_FORMA = %1 AND NAMEVAR = 'nstr'")
                               .arg(copy))
                  .toString(),
              QStringLiteral("Номер строки"));

    // A source gone meanwhile: refused, nothing written.
    WriteTransaction w(env.ctx(), templates::kRoad);
    try {
        CopyTemplate(w.context(), 987654321, 2, QStringLiteral("x"));
        FAIL();
    } catch (const TemplateError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Нет оразца, новый шаблон не может быть создан. Обратитесь к разработчику !"));
    }
}

TEST_F(TemplateAdminTest, UploadGivesAFreshCacheNumberAfterTheFileAndTheCellsAreChecked)
{
    automation::RecordingOffice office;
    const TemplateForm stored = *ReadStoredForm(env.ctx(), own);
    const TemplateVariables vars = ReadStoredVariables(env.ctx(), own);
    EXPECT_EQ(CheckUploadable(office, kXls, QStringLiteral("t.xls"), stored, vars), QString());
    EXPECT_TRUE(office.last().closed);  // the document opened for the check is closed again

    // Not a spreadsheet: a text file renamed .xls.
    EXPECT_THROW(CheckUploadable(office, QByteArray("just text"), QStringLiteral("t.xls"), stored, vars), TemplateError);
    // No office: what can be checked still is, and what could not is said.
    automation::RecordingOffice none;
    none.reachable = false;
    const QString unchecked = CheckUploadable(none, kXls, QStringLiteral("t.xls"), stored, vars);
    EXPECT_TRUE(unchecked.contains(QStringLiteral("< t.xls > не открывался для проверки"))) << unchecked.toStdString();
    EXPECT_TRUE(unchecked.contains(automation::OfficeUnreachableText()));
    EXPECT_THROW(CheckUploadable(none, QByteArray("just text"), QStringLiteral("t.xls"), stored, vars), TemplateError);
    TemplateForm upsideDown = stored;
    upsideDown.TAIL_YX = QStringLiteral("F3");
    EXPECT_THROW(CheckUploadable(none, kXls, QStringLiteral("t.xls"), upsideDown, vars), TemplateError);
    // A template whose end lies above its header cannot be used.
    TemplateForm bad = stored;
    bad.TAIL_YX = QStringLiteral("F3");
    EXPECT_THROW(CheckUploadable(office, kXls, QStringLiteral("t.xls"), bad, vars), TemplateError);

    qint32 unicname = 0;
    {
        WriteTransaction w(env.ctx(), templates::kRoad);
        unicname = UploadSpreadsheet(w.context(), own, kXls + "2");
        w.commit(QStringLiteral("Настройка"), QStringLiteral("test"));
    }
    RefreshRead(env.t);
    EXPECT_NE(unicname, 555);
    EXPECT_EQ(env.t.scalar(QStringLiteral("SELECT UNICNAME FROM PRINT_FORMS WHERE KOD = %1").arg(own)).toInt(), unicname);
    EXPECT_EQ(env.t.scalar(QStringLiteral("SELECT UNICNAME FROM PRINT_FORMS WHERE KOD = %1").arg(sample)).toInt(), 555);
}

TEST_F(TemplateAdminTest, DeveloperVariableStoreAndNewSample)
{
    VarDefinition v;
    v.namevar = QStringLiteral("itogo");
    v.name = QStringLiteral("Итого");
    v.location = LocTotals;
    v.sort = 50;
    qint64 kod = 0;
    qint64 added = 0;
    {
        WriteTransaction w(env.ctx(), templates::kRoad);
        kod = StoreVariable(w.context(), own, 0, v);
        v.name = QStringLiteral("Итого по документу");
        StoreVariable(w.context(), own, kod, v);
        added = AddSampleTemplate(w.context(), 7);
        w.commit(QStringLiteral("Настройка"), QStringLiteral("test"));
    }
    RefreshRead(env.t);
    auto q = env.t.select(QStringLiteral("SELECT * FROM PRINT_VARIABLES WHERE KOD = %1").arg(kod));
    EXPECT_EQ(q->field(QStringLiteral("NAME")).asString(), QStringLiteral("Итого по документу"));
    EXPECT_EQ(q->field(QStringLiteral("KOD_FORMA")).asInt64(), own);
    EXPECT_EQ(q->field(QStringLiteral("MY_SORT")).asInt(), 50);
    EXPECT_EQ(q->field(QStringLiteral("LOCATION")).asInt(), LocTotals);
    // Not written by any report until it is enabled and placed.
    EXPECT_NE(q->field(QStringLiteral("ENABLED")).asInt(), 1);
    auto s = env.t.select(QStringLiteral("SELECT * FROM PRINT_FORMS WHERE KOD = %1").arg(added));
    EXPECT_EQ(s->field(QStringLiteral("NAME_SHABLON")).asString(), QStringLiteral("Образец"));
    EXPECT_EQ(s->field(QStringLiteral("OBRAZ")).asInt(), 1);
    EXPECT_EQ(s->field(QStringLiteral("KOD_SPISKA")).asInt(), 7);
    EXPECT_TRUE(s->field(QStringLiteral("SHABLON")).isNull());
}

TEST(CellRefSteps, ColumnsAndRowsStayWithinTheSheet)
{
    EXPECT_EQ(StepCellRef(QStringLiteral("A1"), 0), QStringLiteral("A1"));
    EXPECT_EQ(StepCellRef(QStringLiteral("Z5"), 1), QStringLiteral("AA5"));
    EXPECT_EQ(StepCellRef(QStringLiteral("AZ3"), 1), QStringLiteral("BA3"));
    EXPECT_EQ(StepCellRef(QStringLiteral("AA3"), 0), QStringLiteral("Z3"));
    EXPECT_EQ(StepCellRef(QStringLiteral("ZZ3"), 1), QStringLiteral("ZZ3"));
    EXPECT_EQ(StepCellRef(QStringLiteral("C1"), 2), QStringLiteral("C1"));
    EXPECT_EQ(StepCellRef(QStringLiteral("C9"), 3), QStringLiteral("C10"));
    EXPECT_EQ(StepCellRef(QStringLiteral("ab12"), 2), QStringLiteral("AB11"));
    // A grid limit has no row, and gets none.
    EXPECT_EQ(StepCellRef(QStringLiteral("A"), 1), QStringLiteral("B"));
    EXPECT_EQ(StepCellRef(QStringLiteral("F"), 3), QStringLiteral("F"));
}

} // namespace
