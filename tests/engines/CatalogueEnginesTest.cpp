// The products and structure engines on a test database with a context of
// their own, no program windows: writers compose on one write road, and the
// road commits with one protocol line or rolls everything back.

#include "support/EngineEnv.h"

#include "engine/WriteRoad.h"
#include "products/ProductsEngine.h"
#include "structure/StructureEngine.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class Engines : public ::testing::Test, public EngineEnv {
protected:
    qint64 num(const QString& sql) { return t.scalar(sql).toLongLong(); }
    int count(const QString& table, const QString& where = {})
    {
        return static_cast<int>(num(QStringLiteral("SELECT COUNT(*) FROM ") + table +
                                    (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where)));
    }
    // An own enterprise with its main department, committed.
    qint64 firma(const QString& name)
    {
        WriteTransaction w(ctx(), structure::kRoad);
        structure::FirmaData d;
        d.name = name;
        d.local = true;
        const qint64 k = structure::CreateFirma(w.context(), d, QStringLiteral("Кухня"), QStringLiteral("Склад"));
        w.commit();
        return k;
    }
    qint64 mainOtdel(qint64 firma)
    {
        return num(QStringLiteral("SELECT KOD FROM OTDEL WHERE FIRST_OTDEL = '1' AND KOD_FIRMA = %1").arg(firma));
    }
};

} // namespace

TEST_F(Engines, NestedWritersCommitTogetherWithOneProtocolLine)
{
    const qint64 f = firma(QStringLiteral("Столовая"));
    const int linesBefore = count(QStringLiteral("LOG_TABLE"));
    {
        WriteTransaction w(ctx(), products::kRoad);
        const qint64 ed = structure::CreateEd(w.context(), QStringLiteral("килограмм"), QStringLiteral("кг"));
        const qint64 g = products::CreateGroup(w.context(), QStringLiteral("Овощи"));
        products::IngData d;
        d.name = QStringLiteral("Картофель");
        d.group = g;
        d.edIzm = ed;
        products::CreateIng(w.context(), d);
        // Nothing is visible to another transaction before the road commits.
        EXPECT_EQ(count(QStringLiteral("ING")), 0);
        w.commit(QStringLiteral("Продукты и блюда"), QStringLiteral("Создан новый продукт:Картофель"));
    }
    EXPECT_EQ(count(QStringLiteral("ED_IZM"), QStringLiteral("SHORT_NAME = 'кг'")), 1);
    EXPECT_EQ(count(QStringLiteral("ING"), QStringLiteral("NAME = 'Картофель'")), 1);
    // The product has its row in the enterprise's department, through the main warehouse keeping the group.
    EXPECT_EQ(count(QStringLiteral("ING_SKLAD"), QStringLiteral("KOD_OTDEL = %1").arg(mainOtdel(f))), 1);
    ASSERT_EQ(count(QStringLiteral("LOG_TABLE")), linesBefore + 1);
    auto q = t.select(QStringLiteral("SELECT * FROM LOG_TABLE ORDER BY KOD DESC"));
    EXPECT_EQ(q->field(QStringLiteral("WHAT_ACTION")).asString(), QStringLiteral("Создан новый продукт:Картофель"));
    EXPECT_EQ(q->field(QStringLiteral("P_FIO")).asString(), user.fio);
    EXPECT_EQ(q->field(QStringLiteral("P_LOGIN")).asString(), user.login);
    EXPECT_EQ(q->field(QStringLiteral("K_LOGIN")).asInt64(), user.kod);
}

TEST_F(Engines, AFailingInnerWriterRollsBackTheOuterWork)
{
    firma(QStringLiteral("Столовая"));
    const int linesBefore = count(QStringLiteral("LOG_TABLE"));
    EXPECT_ANY_THROW({
        WriteTransaction w(ctx(), products::kRoad);
        products::CreateGroup(w.context(), QStringLiteral("Овощи"));
        // A name longer than its column: the server refuses the inner change.
        products::CreateGroup(w.context(), QString(500, QChar(0x0416)));
        w.commit(QStringLiteral("Продукты и блюда"), QStringLiteral("x"));
    });
    EXPECT_FALSE(t.write().active());
    EXPECT_EQ(count(QStringLiteral("GROUP_ING")), 0);
    EXPECT_EQ(count(QStringLiteral("SKLAD_GRING")), 0);
    EXPECT_EQ(count(QStringLiteral("LOG_TABLE")), linesBefore);
}

TEST_F(Engines, OpeningTheRoadTwiceIsRefusedAndLeavesTheOpenRoadIntact)
{
    WriteTransaction outer(ctx(), products::kRoad);
    const qint64 g = products::CreateGroup(outer.context(), QStringLiteral("Овощи"));
    EXPECT_THROW(WriteTransaction inner(ctx(), products::kRoad), std::logic_error);
    ASSERT_TRUE(t.write().active());
    products::RenameGroup(outer.context(), g, QStringLiteral("Зелень"));
    outer.commit(QStringLiteral("Продукты и блюда"), QStringLiteral("Изменения в группе блюд:Зелень"));
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT NAME FROM GROUP_ING WHERE KOD = %1").arg(g)).toString(), QStringLiteral("Зелень"));
    // A road left without a commit rolls back on leaving its scope.
    {
        WriteTransaction w(ctx(), products::kRoad);
        products::DeleteGroup(w.context(), g);
    }
    EXPECT_FALSE(t.write().active());
    EXPECT_EQ(count(QStringLiteral("GROUP_ING")), 1);
}

TEST_F(Engines, StructureDeletionsMoveGroupsAndKeepTheChecks)
{
    const qint64 f = firma(QStringLiteral("Столовая"));
    const qint64 otdel = mainOtdel(f);
    const qint64 main = num(QStringLiteral("SELECT KOD FROM SKLAD WHERE FIRST_SKLAD = '1' AND KOD_OTDEL = %1").arg(otdel));
    qint64 second = 0, g = 0;
    {
        WriteTransaction w(ctx(), structure::kRoad);
        // A long department name is cut so that its quoted main warehouse fits.
        const qint64 bar = structure::CreateOtdel(w.context(), f, QString(100, QChar(0x0411)), QString());
        second = structure::CreateSklad(w.context(), f, otdel, QStringLiteral("Холодный"), QString());
        g = products::CreateGroup(w.context(), QStringLiteral("Овощи"));
        products::MoveGroupToSklad(w.context(), g, second, otdel, main);
        w.commit();
        EXPECT_EQ(t.scalar(QStringLiteral("SELECT NAME FROM SKLAD WHERE KOD_OTDEL = %1").arg(bar)).toString(),
                  QStringLiteral("\"") + QString(98, QChar(0x0411)) + QStringLiteral("\""));
    }
    EXPECT_EQ(count(QStringLiteral("SKLAD_GRING"), QStringLiteral("KOD_GRING = %1 AND KOD_SKLAD = %2").arg(g).arg(second)), 1);
    EXPECT_FALSE(structure::SkladDeleteRefusal(ctx(), main, true).isEmpty());
    EXPECT_TRUE(structure::SkladDeleteRefusal(ctx(), second, false).isEmpty());
    {
        WriteTransaction w(ctx(), structure::kRoad);
        structure::DeleteSklad(w.context(), second, otdel);
        w.commit();
    }
    // The deleted warehouse's group went back to the department's main warehouse.
    EXPECT_EQ(count(QStringLiteral("SKLAD_GRING"), QStringLiteral("KOD_GRING = %1 AND KOD_SKLAD = %2").arg(g).arg(main)), 1);
    EXPECT_EQ(count(QStringLiteral("SKLAD"), QStringLiteral("KOD = %1").arg(second)), 0);
    EXPECT_TRUE(products::GroupDeleteRefusal(ctx(), g).isEmpty());
}
